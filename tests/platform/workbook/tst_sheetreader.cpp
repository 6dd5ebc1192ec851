// The first-worksheet reader on small workbooks made here: what each kind of cell reads as, which
// rows and columns the sheet has, and how damaged or hostile files are refused.
#include "platform/workbook/sheetreader.h"
#include "tests/platform/workbook/fixtures.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

using namespace zr::workbook;
using zr::test::XlsxParts;

namespace {

struct Sheet {
  QStringList headings;
  QList<QStringList> rows;
  qint64 rowCount = 0;
};

Sheet readAll(const QString &path, const ReadLimits &limits = {}) {
  auto r = SheetReader::open(path, limits);
  Sheet s;
  s.headings = r->headings();
  s.rowCount = r->rowCount();
  QStringList row;
  while (r->next(row))
    s.rows << row;
  return s;
}

QByteArray inl(const char *ref, const QString &text) {
  return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + zr::test::xmlEscaped(text) +
         "</t></is></c>";
}

// Styles shared by the cell cases: index -> number format.
XlsxParts withStyles(const QByteArray &rows) {
  XlsxParts p;
  p.rows = rows;
  p.formatCodes = {QStringLiteral("yyyy-mm-dd hh:mm:ss"), QStringLiteral("[h]:mm"), QStringLiteral("0.00"),
                   QStringLiteral("yyyy\"年\"m\"月\"d\"日\""), QStringLiteral("[Red]0.00;[Blue]-0.00")};
  //          0  1   2    3   4    5    6   7    8    9
  p.styles = {0, 14, 164, 31, 165, 166, 49, 167, 168, 22};
  return p;
}

} // namespace

class TestSheetReader : public QObject {
  Q_OBJECT

private:
  QTemporaryDir m_dir;
  QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
  void readsTheFirstWorksheet();
  void cellValues_data();
  void cellValues();
  void dateSystem1904();
  void extent_data();
  void extent();
  void emptySheetOpens();
  void declaredDimensionIsNotTrusted();
  void legacyXls();
  void hostileInputIsRefused_data();
  void hostileInputIsRefused();
  void dateFormatCodes_data();
  void dateFormatCodes();
};

void TestSheetReader::readsTheFirstWorksheet() {
  // Chinese text, shared and inline strings, an empty heading, a blank row between data rows,
  // a formula, dates, and a second worksheet that must not be read (it comes first in the zip).
  XlsxParts p = withStyles(
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
      "<c r=\"D1\" t=\"s\"><v>2</v></c>" +
      inl("E1", u"时间"_qs) + inl("F1", u"金额"_qs) + inl("G1", u"公式"_qs) +
      "</row>"
      "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>3</v></c>" +
      inl("B2", u"张三"_qs) +
      "<c r=\"D2\" s=\"1\"><v>45000</v></c><c r=\"E2\" s=\"2\"><v>45000.75</v></c>"
      "<c r=\"F2\"><v>4567.5</v></c><c r=\"G2\"><f>F2*2</f><v>9135</v></c></row>"
      "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>4</v></c><c r=\"B4\" t=\"s\"><v>5</v></c><c r=\"C4\"><v>3</v></c>"
      "<c r=\"F4\"><v>0.10000000000000001</v></c><c r=\"G4\" "
      "t=\"str\"><f>\"合\"&amp;\"计\"</f><v>合计</v></c></row>");
  p.sharedStrings = {u"编号"_qs, u"名称"_qs,    u"日期"_qs, u"123456789012345678"_qs,
                     u"0012"_qs, u"档案资料"_qs};
  p.secondSheet = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>其他</t></is></c></row>"
                  "<row r=\"9\"><c r=\"A9\"><v>1</v></c></row>";
  zr::test::writeXlsx(path(u"book.xlsx"_qs), p);

  const Sheet s = readAll(path(u"book.xlsx"_qs));
  QCOMPARE(s.headings,
           QStringList({u"编号"_qs, u"名称"_qs, u"F3"_qs, u"日期"_qs, u"时间"_qs, u"金额"_qs, u"公式"_qs}));
  QCOMPARE(s.rowCount, 3);
  QCOMPARE(s.rows.size(), 3);
  QCOMPARE(s.rows[0], QStringList({u"123456789012345678"_qs, u"张三"_qs, QString(), u"2023-03-15"_qs,
                                   u"2023-03-15 18:00:00"_qs, u"4567.5"_qs, u"9135"_qs}));
  QCOMPARE(s.rows[1], QStringList(7));
  QCOMPARE(s.rows[2],
           QStringList({u"0012"_qs, u"档案资料"_qs, u"3"_qs, QString(), QString(), u"0.1"_qs, u"合计"_qs}));
}

void TestSheetReader::cellValues_data() {
  QTest::addColumn<QByteArray>("cell");
  QTest::addColumn<QString>("expected");
  QTest::newRow("integer") << QByteArray("<c r=\"A2\"><v>3</v></c>") << u"3"_qs;
  QTest::newRow("decimal") << QByteArray("<c r=\"A2\"><v>4567.5</v></c>") << u"4567.5"_qs;
  QTest::newRow("17 digits written") << QByteArray("<c r=\"A2\"><v>0.10000000000000001</v></c>") << u"0.1"_qs;
  QTest::newRow("exponent") << QByteArray("<c r=\"A2\"><v>1E+20</v></c>") << u"100000000000000000000"_qs;
  QTest::newRow("negative") << QByteArray("<c r=\"A2\" t=\"n\"><v>-2.5</v></c>") << u"-2.5"_qs;
  QTest::newRow("leading zeros") << QByteArray("<c r=\"A2\"><v>007</v></c>") << u"7"_qs;
  QTest::newRow("negative zero") << QByteArray("<c r=\"A2\"><v>-0</v></c>") << u"0"_qs;
  QTest::newRow("15 digits") << QByteArray("<c r=\"A2\"><v>-123456789012345</v></c>") << u"-123456789012345"_qs;
  QTest::newRow("17 digits, beyond a double")
      << QByteArray("<c r=\"A2\"><v>12345678901234567</v></c>") << u"12345678901234568"_qs;
  QTest::newRow("whole number written as decimal") << QByteArray("<c r=\"A2\"><v>-2.5E3</v></c>") << u"-2500"_qs;
  QTest::newRow("spaces around") << QByteArray("<c r=\"A2\"><v> 42 </v></c>") << u"42"_qs;
  QTest::newRow("number format 0.00") << QByteArray("<c r=\"A2\" s=\"5\"><v>3</v></c>") << u"3"_qs;
  QTest::newRow("colour sections") << QByteArray("<c r=\"A2\" s=\"8\"><v>3.25</v></c>") << u"3.25"_qs;
  QTest::newRow("text format, number") << QByteArray("<c r=\"A2\" s=\"6\"><v>12</v></c>") << u"12"_qs;
  QTest::newRow("date") << QByteArray("<c r=\"A2\" s=\"1\"><v>45000</v></c>") << u"2023-03-15"_qs;
  QTest::newRow("date format, time part")
      << QByteArray("<c r=\"A2\" s=\"1\"><v>45000.5</v></c>") << u"2023-03-15 12:00:00"_qs;
  QTest::newRow("date-time at midnight")
      << QByteArray("<c r=\"A2\" s=\"2\"><v>45000</v></c>") << u"2023-03-15"_qs;
  QTest::newRow("last second of the day")
      << QByteArray("<c r=\"A2\" s=\"1\"><v>45000.9999884259</v></c>") << u"2023-03-15 23:59:59"_qs;
  QTest::newRow("last day of year 9999")
      << QByteArray("<c r=\"A2\" s=\"1\"><v>2958465</v></c>") << u"9999-12-31"_qs;
  QTest::newRow("rounds to the next day")
      << QByteArray("<c r=\"A2\" s=\"2\"><v>45000.999999999</v></c>") << u"2023-03-16"_qs;
  QTest::newRow("built-in 22") << QByteArray("<c r=\"A2\" s=\"9\"><v>45000.25</v></c>")
                               << u"2023-03-15 06:00:00"_qs;
  QTest::newRow("east asian built-in")
      << QByteArray("<c r=\"A2\" s=\"3\"><v>36526</v></c>") << u"2000-01-01"_qs;
  QTest::newRow("quoted 年月日") << QByteArray("<c r=\"A2\" s=\"7\"><v>36526</v></c>") << u"2000-01-01"_qs;
  QTest::newRow("elapsed time") << QByteArray("<c r=\"A2\" s=\"4\"><v>0.5</v></c>")
                                << u"1899-12-30 12:00:00"_qs;
  QTest::newRow("date style, no date")
      << QByteArray("<c r=\"A2\" s=\"1\"><v>1E+10</v></c>") << u"10000000000"_qs;
  QTest::newRow("negative with date style") << QByteArray("<c r=\"A2\" s=\"1\"><v>-1</v></c>") << u"-1"_qs;
  QTest::newRow("boolean") << QByteArray("<c r=\"A2\" t=\"b\"><v>1</v></c>") << u"TRUE"_qs;
  QTest::newRow("error") << QByteArray("<c r=\"A2\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>") << u"#DIV/0!"_qs;
  QTest::newRow("formula, no cached value") << QByteArray("<c r=\"A2\" s=\"5\"><f>B2+1</f></c>") << QString();
  QTest::newRow("iso date") << QByteArray("<c r=\"A2\" t=\"d\"><v>2023-03-15T00:00:00</v></c>")
                            << u"2023-03-15"_qs;
  QTest::newRow("iso date-time") << QByteArray("<c r=\"A2\" t=\"d\"><v>2023-03-15T08:30:00</v></c>")
                                 << u"2023-03-15 08:30:00"_qs;
  QTest::newRow("rich inline runs")
      << QByteArray(
             "<c r=\"A2\" t=\"inlineStr\"><is><r><t>档案</t></r><r><rPr><b/></rPr><t>资料</t></r></is></c>")
      << u"档案资料"_qs;
  QTest::newRow("shared, phonetic run left out")
      << QByteArray("<c r=\"A2\" t=\"s\"><v>0</v></c>") << u"东京"_qs;
  QTest::newRow("escaped carriage return")
      << QByteArray("<c r=\"A2\" t=\"inlineStr\"><is><t>a_x000D_b</t></is></c>") << u"a\rb"_qs;
  QTest::newRow("blanks kept")
      << QByteArray("<c r=\"A2\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> x </t></is></c>")
      << u" x "_qs;
  QTest::newRow("prefixed namespace") << QByteArray("<c r=\"A2\" t=\"s\"><v>1</v></c>") << u"第二"_qs;
}

void TestSheetReader::cellValues() {
  QFETCH(QByteArray, cell);
  QFETCH(QString, expected);
  XlsxParts p = withStyles("<row r=\"1\">" + inl("A1", u"H"_qs) + "</row><row r=\"2\">" + cell + "</row>");
  p.sharedStrings = {u"<si><t>东京</t><rPh sb=\"0\" eb=\"2\"><t>とうきょう</t></rPh></si>"_qs, u"第二"_qs};
  zr::test::writeXlsx(path(u"cell.xlsx"_qs), p);
  const Sheet s = readAll(path(u"cell.xlsx"_qs));
  QCOMPARE(s.headings, QStringList({u"H"_qs}));
  QCOMPARE(s.rows.size(), 1);
  QCOMPARE(s.rows[0].value(0), expected);
}

void TestSheetReader::dateSystem1904() {
  XlsxParts p =
      withStyles("<row r=\"1\">" + inl("A1", u"H"_qs) + "</row><row r=\"2\"><c s=\"1\"><v>0</v></c></row>");
  p.date1904 = true;
  zr::test::writeXlsx(path(u"d1904.xlsx"_qs), p);
  QCOMPARE(readAll(path(u"d1904.xlsx"_qs)).rows.value(0).value(0), u"1904-01-01"_qs);
}

void TestSheetReader::extent_data() {
  QTest::addColumn<QByteArray>("rows");
  QTest::addColumn<QStringList>("headings");
  QTest::addColumn<int>("rowCount");
  const QByteArray head = "<row r=\"1\">" + inl("A1", u"甲"_qs) + inl("B1", u"乙"_qs) + "</row>";
  QTest::newRow("formatted empty cell ends the sheet")
      << head + "<row r=\"2\"><c r=\"A2\"><v>1</v></c></row><row r=\"6\"><c r=\"B6\" s=\"1\"/></row>"
      << QStringList{u"甲"_qs, u"乙"_qs} << 5;
  QTest::newRow("formatted row ends the sheet")
      << head + "<row r=\"2\"><c r=\"A2\"><v>1</v></c></row><row r=\"4\" s=\"1\" customFormat=\"1\"/>"
      << QStringList{u"甲"_qs, u"乙"_qs} << 3;
  QTest::newRow("empty row elements do not count")
      << head + "<row r=\"2\"><c r=\"A2\"><v>1</v></c></row><row r=\"3\" ht=\"20\" customHeight=\"1\"/>"
                "<row r=\"5\"><c r=\"A5\" s=\"0\"/><c r=\"B5\"><f>A1</f></c></row>"
      << QStringList{u"甲"_qs, u"乙"_qs} << 1;
  QTest::newRow("a value beyond the headings adds a column")
      << head + "<row r=\"3\"><c r=\"D3\"><v>7</v></c></row>"
      << QStringList{u"甲"_qs, u"乙"_qs, u"F3"_qs, u"F4"_qs} << 2;
  QTest::newRow("references left out")
      << QByteArray("<row><c t=\"inlineStr\"><is><t>甲</t></is></c><c/><c "
                    "t=\"inlineStr\"><is><t>丙</t></is></c></row><row><c><v>1</v></c></row>")
      << QStringList{u"甲"_qs, u"F2"_qs, u"丙"_qs} << 1;
  QTest::newRow("headings only") << head << QStringList{u"甲"_qs, u"乙"_qs} << 0;
  QTest::newRow("data without a first row")
      << QByteArray("<row r=\"3\"><c r=\"B3\"><v>1</v></c></row>") << QStringList{u"F1"_qs, u"F2"_qs} << 2;
}

void TestSheetReader::extent() {
  QFETCH(QByteArray, rows);
  QFETCH(QStringList, headings);
  QFETCH(int, rowCount);
  zr::test::writeXlsx(path(u"extent.xlsx"_qs), withStyles(rows));
  const Sheet s = readAll(path(u"extent.xlsx"_qs));
  QCOMPARE(s.headings, headings);
  QCOMPARE(s.rowCount, rowCount);
  QCOMPARE(s.rows.size(), rowCount);
  for (const QStringList &r : s.rows)
    QCOMPARE(r.size(), headings.size());
}

void TestSheetReader::emptySheetOpens() {
  zr::test::writeXlsx(path(u"empty.xlsx"_qs), XlsxParts{});
  const Sheet s = readAll(path(u"empty.xlsx"_qs));
  QVERIFY(s.headings.isEmpty());
  QCOMPARE(s.rowCount, 0);
  QVERIFY(s.rows.isEmpty());
}

void TestSheetReader::declaredDimensionIsNotTrusted() {
  // A dimension claiming the whole grid costs nothing: the sheet is as large as its cells.
  XlsxParts p;
  p.beforeData = "<dimension ref=\"A1:XFD1048576\"/>";
  p.rows = "<row r=\"1\">" + inl("A1", u"甲"_qs) + "</row><row r=\"2\"><c r=\"A2\"><v>5</v></c></row>";
  zr::test::writeXlsx(path(u"dim.xlsx"_qs), p);
  QElapsedTimer t;
  t.start();
  const Sheet s = readAll(path(u"dim.xlsx"_qs));
  QVERIFY(t.elapsed() < 2000);
  QCOMPARE(s.headings, QStringList{u"甲"_qs});
  QCOMPARE(s.rows, QList<QStringList>{QStringList{u"5"_qs}});
}

void TestSheetReader::legacyXls() {
  QFile f(path(u"old.xls"_qs));
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(zr::test::xlsBytes({{u"编号"_qs, QString(), u"金额"_qs},
                              {u"A001"_qs, u"张三"_qs, u"4567.5"_qs},
                              {QString(), QString(), QString()},
                              {u"A002"_qs, u"李四"_qs, u"3"_qs}}));
  f.close();
  const Sheet s = readAll(path(u"old.xls"_qs));
  QCOMPARE(s.headings, QStringList({u"编号"_qs, u"F2"_qs, u"金额"_qs}));
  QCOMPARE(s.rowCount, 3);
  QCOMPARE(s.rows, QList<QStringList>({{u"A001"_qs, u"张三"_qs, u"4567.5"_qs},
                                       {QString(), QString(), QString()},
                                       {u"A002"_qs, u"李四"_qs, u"3"_qs}}));
}

void TestSheetReader::hostileInputIsRefused_data() {
  QTest::addColumn<int>("kind");
  QTest::newRow("zip bomb: entry longer than declared") << 0;
  QTest::newRow("declared size beyond the limit") << 1;
  QTest::newRow("entry name with ../") << 2;
  QTest::newRow("entity expansion in shared strings") << 3;
  QTest::newRow("entity declared in the worksheet") << 4;
  QTest::newRow("a cell at XFD1048576") << 5;
  QTest::newRow("truncated file") << 6;
  QTest::newRow(".xls with a looping sector chain") << 7;
  QTest::newRow(".xls with a chain leaving the file") << 8;
  QTest::newRow("not a workbook") << 9;
  QTest::newRow("empty file") << 10;
  QTest::newRow("shared string that does not exist") << 11;
  QTest::newRow("rows out of order") << 12;
  QTest::newRow("malformed worksheet XML") << 13;
  QTest::newRow("zip without a workbook") << 14;
}

void TestSheetReader::hostileInputIsRefused() {
  QFETCH(int, kind);
  const QString file = path(u"hostile"_qs + QString::number(kind));
  XlsxParts p;
  p.rows = "<row r=\"1\">" + inl("A1", u"甲"_qs) + "</row><row r=\"2\"><c r=\"A2\"><v>1</v></c></row>";
  const QByteArray laughs = "<!DOCTYPE lolz [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
                            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                            "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
                            "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>";
  auto writeBytes = [&](const QByteArray &d) {
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(d);
  };
  switch (kind) {
  case 0:
  case 1: {
    QByteArray rows = p.rows;
    for (int i = 3; i < 200000; ++i)
      rows += "<row r=\"" + QByteArray::number(i) + "\"><c r=\"A" + QByteArray::number(i) +
              "\"><v>1</v></c></row>";
    p.rows = rows;
    zr::test::writeXlsx(file, p);
    zr::test::patchDeclaredSize(file, u"xl/worksheets/sheet1.xml"_qs, kind == 0 ? 4000u : 0xF0000000u);
    break;
  }
  case 2: {
    auto entries = zr::test::xlsxEntries(p);
    entries << zr::test::ZipEntry{u"../../evil.txt"_qs, "x"};
    zr::test::writeZip(file, entries);
    break;
  }
  case 3: {
    auto entries = zr::test::xlsxEntries(p);
    entries << zr::test::ZipEntry{u"xl/sharedStrings.xml"_qs,
                                  "<?xml version=\"1.0\"?>" + laughs + "<sst><si><t>&e;</t></si></sst>"};
    // The relationship to the shared strings is only written when there are some.
    p.sharedStrings = {u"x"_qs};
    entries = zr::test::xlsxEntries(p);
    entries.removeLast();
    entries << zr::test::ZipEntry{u"xl/sharedStrings.xml"_qs,
                                  "<?xml version=\"1.0\"?>" + laughs + "<sst><si><t>&e;</t></si></sst>"};
    zr::test::writeZip(file, entries);
    break;
  }
  case 4: {
    auto entries = zr::test::xlsxEntries(p);
    for (auto &e : entries)
      if (e.name == u"xl/worksheets/sheet1.xml")
        e.data =
            "<?xml version=\"1.0\"?>" + laughs +
            "<worksheet><sheetData><row r=\"1\"><c t=\"inlineStr\"><is><t>&e;</t></is></c></row></sheetData>"
            "</worksheet>";
    zr::test::writeZip(file, entries);
    break;
  }
  case 5:
    p.beforeData = "<dimension ref=\"A1:XFD1048576\"/>";
    p.rows += "<row r=\"1048576\"><c r=\"XFD1048576\" s=\"1\"/></row>";
    p.styles = {0, 14};
    zr::test::writeXlsx(file, p);
    break;
  case 6: {
    zr::test::writeXlsx(file, p);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.resize(f.size() / 2);
    break;
  }
  case 7:
  case 8: {
    QByteArray d = zr::test::xlsBytes({{u"编号"_qs}, {u"A001"_qs}});
    const qint64 at = zr::test::xlsFatEntryOffset(2);
    qToLittleEndian<quint32>(kind == 7 ? 3u : 100000u, d.data() + at); // sector 4 -> back to 3, or far away
    writeBytes(d);
    break;
  }
  case 9: writeBytes("编号,名称\nA001,张三\n"); break;
  case 10: writeBytes({}); break;
  case 11:
    p.rows += "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>99</v></c></row>";
    p.sharedStrings = {u"x"_qs};
    zr::test::writeXlsx(file, p);
    break;
  case 12:
    p.rows += "<row r=\"2\"><c r=\"A2\"><v>2</v></c></row>";
    zr::test::writeXlsx(file, p);
    break;
  case 13:
    p.rows += "<row r=\"3\"><c r=\"A3\"><v>1</c></row>";
    zr::test::writeXlsx(file, p);
    break;
  case 14: zr::test::writeZip(file, {{u"readme.txt"_qs, "hello"}}); break;
  }

  QElapsedTimer t;
  t.start();
  bool refused = false;
  try {
    readAll(file);
  } catch (const ReadError &) {
    refused = true;
  }
  QVERIFY(refused);
  QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
}

void TestSheetReader::dateFormatCodes_data() {
  QTest::addColumn<QString>("code");
  QTest::addColumn<bool>("date");
  QTest::newRow("General") << u"General"_qs << false;
  QTest::newRow("0.00") << u"0.00"_qs << false;
  QTest::newRow("scientific") << u"0.00E+00"_qs << false;
  QTest::newRow("yyyy/m/d") << u"yyyy/m/d"_qs << true;
  QTest::newRow("h:mm AM/PM") << u"h:mm AM/PM"_qs << true;
  QTest::newRow("[h]:mm:ss") << u"[h]:mm:ss"_qs << true;
  QTest::newRow("currency with locale") << u"[$¥-804]#,##0.00"_qs << false;
  QTest::newRow("quoted letters") << u"0\" days\""_qs << false;
  QTest::newRow("escaped letter") << u"0\\d"_qs << false;
  QTest::newRow("colour then date") << u"[Red]yyyy-mm-dd"_qs << true;
  QTest::newRow("date only in second section") << u"0;yyyy"_qs << false;
  QTest::newRow("chinese date") << u"yyyy\"年\"m\"月\"d\"日\""_qs << true;
}

void TestSheetReader::dateFormatCodes() {
  QFETCH(QString, code);
  QFETCH(bool, date);
  QCOMPARE(isDateFormatCode(code), date);
}

QTEST_GUILESS_MAIN(TestSheetReader)
#include "tst_sheetreader.moc"
