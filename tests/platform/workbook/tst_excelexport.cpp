// The list export, read back from the written file: where each cell lands, which cells carry the
// text format, and how refusals and failures are reported.
#include "platform/ui/prompter.h"
#include "platform/workbook/excelexport.h"
#include "platform/workbook/xlsxreader.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

using namespace zr::workbook;

namespace {

QString ref(int row, int col) {
  QString letters;
  for (int c = col; c > 0; c = (c - 1) / 26)
    letters.prepend(QChar(u'A' + (c - 1) % 26));
  return letters + QString::number(row);
}

// Every cell of the first worksheet as "B3=text s@": s a string cell, n a number, @ the text format.
QStringList cellsOf(const QString &path) {
  XlsxReader r(path, ReadLimits{}, true);
  QStringList out;
  int row = 0;
  QList<RawCell> cells;
  while (r.nextRawRow(row, cells))
    for (const RawCell &c : cells)
      out << ref(row, c.column) + u'=' + c.text + u' ' + (c.type == u"n" || c.type.isEmpty() ? u'n' : u's') +
                 (c.formatCode == u"@" ? u"@"_qs : QString());
  return out;
}

TExcelFieldName entry(const QString &a, const QString &c = {}) {
  return {a, {}, c};
}

class ClosedSource final : public RowSource {
public:
  bool isOpen() const override { return false; }
  qint64 recordCount() const override { return 1; }
  void first() override {}
  bool eof() const override { return true; }
  void next() override {}
  int fieldIndex(const QString &) const override { return 0; }
  QString text(int) const override { return {}; }
};

const QStringList kFields{u"ID"_qs, u"NAME"_qs, u"NOTE"_qs};

} // namespace

Q_DECLARE_METATYPE(TExcelFieldArray)

class TestExcelExport : public QObject {
  Q_OBJECT

private:
  QTemporaryDir m_dir;
  QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
  void layout_data();
  void layout();
  void refusals_data();
  void refusals();
  void unwritablePathIsReported();
  void failedExportKeepsTheEarlierFile();
  void overlongValueFailsTheExport();
  void reportNameThatCannotNameASheet();
};

void TestExcelExport::layout_data() {
  QTest::addColumn<TExcelFieldArray>("columns");
  QTest::addColumn<TExcelFieldArray>("titles");
  QTest::addColumn<TExcelFieldArray>("footers");
  QTest::addColumn<bool>("id");
  QTest::addColumn<QList<QStringList>>("rows");
  QTest::addColumn<QStringList>("cells");

  const TExcelFieldArray two{entry(u"ID"_qs, u"编号"_qs), entry(u"NAME"_qs, u"名称"_qs)};
  const QList<QStringList> one{{u"A001"_qs, u"张三"_qs}};

  QTest::newRow("text format rule") << two << TExcelFieldArray{} << TExcelFieldArray{} << false
                                    << QList<QStringList>{{u"12345678901"_qs, u"12345.678"_qs},
                                                          {u"12345678"_qs, u"2023-01-05"_qs},
                                                          {u"123456789"_qs, u"1234567.8"_qs},
                                                          {u"  档案 "_qs, u"007"_qs}}
                                    << QStringList{u"A1=编号 s"_qs,         u"B1=名称 s"_qs,
                                                   u"A2=12345678901 s@"_qs, u"B2=12345.678 n"_qs,
                                                   u"A3=12345678 n"_qs,     u"B3=2023-01-05 s@"_qs,
                                                   u"A4=123456789 s@"_qs,   u"B4=1234567.8 n"_qs,
                                                   u"A5=档案 s"_qs,         u"B5=007 s"_qs};
  QTest::newRow("序号 moves the columns")
      << two << TExcelFieldArray{} << TExcelFieldArray{} << true
      << QList<QStringList>{{u"A001"_qs, u"张三"_qs}, {u"A002"_qs, u"李四"_qs}}
      << QStringList{u"A1=序号 s"_qs, u"B1=编号 s"_qs, u"C1=名称 s"_qs, u"A2=1 n"_qs,   u"B2=A001 s"_qs,
                     u"C2=张三 s"_qs, u"A3=2 n"_qs,    u"B3=A002 s"_qs, u"C3=李四 s"_qs};
  QTest::newRow("titles with labels: headings in row 3")
      << two << TExcelFieldArray{entry(u"档案目录"_qs, u"报表"_qs), entry(u"20230105001"_qs, u"批号"_qs)}
      << TExcelFieldArray{} << false << one
      << QStringList{u"A1=报表 s"_qs, u"B1=批号 s"_qs, u"A2=档案目录 s"_qs, u"B2=20230105001 s@"_qs,
                     u"A3=编号 s"_qs, u"B3=名称 s"_qs, u"A4=A001 s"_qs,     u"B4=张三 s"_qs};
  QTest::newRow("titles without labels: headings in row 2")
      << two << TExcelFieldArray{entry(u"档案目录"_qs)} << TExcelFieldArray{} << false << one
      << QStringList{u"A1=档案目录 s"_qs, u"A2=编号 s"_qs, u"B2=名称 s"_qs, u"A3=A001 s"_qs, u"B3=张三 s"_qs};
  QTest::newRow("a last title without label keeps labelled values")
      << two << TExcelFieldArray{entry(u"档案目录"_qs, u"报表"_qs), entry(u"第一页"_qs)} << TExcelFieldArray{}
      << false << one << QStringList{u"A1=报表 s"_qs, u"B1=第一页 s"_qs, u"A2=档案目录 s"_qs, u"A3=编号 s"_qs,
                                     u"B3=名称 s"_qs, u"A4=A001 s"_qs,   u"B4=张三 s"_qs};
  QTest::newRow("empty title entries are skipped")
      << two << TExcelFieldArray{entry(QString(), u"报表"_qs), entry(QString())} << TExcelFieldArray{}
      << false << one << QStringList{u"A1=编号 s"_qs, u"B1=名称 s"_qs, u"A2=A001 s"_qs, u"B2=张三 s"_qs};
  QTest::newRow("column without a field gets its caption only")
      << TExcelFieldArray{entry(u"ID"_qs, u"编号"_qs), entry(QString(), u"备注"_qs),
                          entry(u"NAME"_qs, u"名称"_qs)}
      << TExcelFieldArray{} << TExcelFieldArray{} << false << one
      << QStringList{u"A1=编号 s"_qs, u"B1=备注 s"_qs, u"C1=名称 s"_qs, u"A2=A001 s"_qs, u"C2=张三 s"_qs};
  QTest::newRow("footers start in column B")
      << two << TExcelFieldArray{}
      << TExcelFieldArray{entry(u"合计"_qs), entry(u"2023-01-05"_qs, u"打印日期"_qs),
                          entry(QString(), u"空"_qs)}
      << false << one
      << QStringList{u"A1=编号 s"_qs, u"B1=名称 s"_qs,     u"A2=A001 s"_qs,       u"B2=张三 s"_qs,
                     u"B3=合计 s"_qs, u"C3=打印日期 s"_qs, u"C4=2023-01-05 s@"_qs};
}

void TestExcelExport::layout() {
  QFETCH(TExcelFieldArray, columns);
  QFETCH(TExcelFieldArray, titles);
  QFETCH(TExcelFieldArray, footers);
  QFETCH(bool, id);
  QFETCH(QList<QStringList>, rows);
  QFETCH(QStringList, cells);
  zr::ui::ScriptedPrompterGuard prompter;
  ListRowSource source(kFields, rows);
  TZRExcel excel;
  excel.setDataSet(&source);
  excel.setReportName(u"档案资料"_qs);
  excel.setID(id);
  excel.setFileName(path(u"layout.xlsx"_qs));
  QVERIFY(excel.ExportDataSet(columns, titles, footers));
  QCOMPARE(prompter->texts(), QStringList());
  QStringList actual = cellsOf(path(u"layout.xlsx"_qs));
  actual.sort();
  cells.sort();
  QCOMPARE(actual, cells);
}

void TestExcelExport::refusals_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("message");
  QTest::newRow("no dataset") << 0 << u"没有数据源"_qs;
  QTest::newRow("dataset not open") << 1 << u"没有数据源"_qs;
  QTest::newRow("blank report name") << 2 << u"没有报表名称"_qs;
  QTest::newRow("no records") << 3 << u"没有数据"_qs;
}

void TestExcelExport::refusals() {
  QFETCH(int, kind);
  QFETCH(QString, message);
  zr::ui::ScriptedPrompterGuard prompter;
  ClosedSource closed;
  ListRowSource some(kFields, {{u"A001"_qs}});
  ListRowSource none(kFields, {});
  TZRExcel excel;
  excel.setDataSet(kind == 0   ? nullptr
                   : kind == 1 ? static_cast<RowSource *>(&closed)
                   : kind == 3 ? &none
                               : &some);
  excel.setReportName(kind == 2 ? u"  "_qs : u"档案资料"_qs);
  excel.setFileName(path(u"refused.xlsx"_qs));
  QVERIFY(!excel.ExportDataSet({entry(u"ID"_qs, u"编号"_qs)}, {}, {}));
  QCOMPARE(prompter->texts(), QStringList{message});
  QVERIFY(!QFile::exists(path(u"refused.xlsx"_qs)));
}

void TestExcelExport::unwritablePathIsReported() {
  zr::ui::ScriptedPrompterGuard prompter;
  ListRowSource source(kFields, {{u"A001"_qs}});
  TZRExcel excel;
  excel.setDataSet(&source);
  excel.setReportName(u"档案资料"_qs);
  const QString target = path(u"no such folder/out.xlsx"_qs);
  excel.setFileName(target);
  QVERIFY(!excel.ExportDataSet({entry(u"ID"_qs, u"编号"_qs)}, {}, {}));
  QCOMPARE(prompter->texts(),
           QStringList{u"Excel文件:"_qs + target + u"\r\n该文件写入过程发生错误,数据没有导出"_qs});
}

void TestExcelExport::failedExportKeepsTheEarlierFile() {
  const QString target = path(u"keep.xlsx"_qs);
  {
    QFile f(target);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("earlier");
  }
  zr::ui::ScriptedPrompterGuard prompter;
  ListRowSource source(kFields, {{u"A001"_qs}});
  TZRExcel excel;
  excel.setDataSet(&source);
  excel.setReportName(u"档案资料"_qs);
  excel.setFileName(target);
  QVERIFY(!excel.ExportDataSet({entry(u"NO_SUCH_FIELD"_qs, u"编号"_qs)}, {}, {}));
  QCOMPARE(prompter->texts(), QStringList{u"Excel打开过程发生错误"_qs});
  QFile f(target);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), QByteArray("earlier"));
  QCOMPARE(QDir(m_dir.path()).entryList({u"keep.xlsx.*"_qs}), QStringList());
}

void TestExcelExport::overlongValueFailsTheExport() {
  // A cell holds at most 32767 characters; a longer memo fails the export instead of being cut.
  zr::ui::ScriptedPrompterGuard prompter;
  ListRowSource source(kFields, {{u"A001"_qs, QString(40000, u'档')}});
  TZRExcel excel;
  excel.setDataSet(&source);
  excel.setReportName(u"档案资料"_qs);
  excel.setFileName(path(u"long.xlsx"_qs));
  QVERIFY(!excel.ExportDataSet({entry(u"ID"_qs, u"编号"_qs), entry(u"NAME"_qs, u"名称"_qs)}, {}, {}));
  QCOMPARE(prompter->texts(), QStringList{u"Excel打开过程发生错误"_qs});
  QVERIFY(!QFile::exists(path(u"long.xlsx"_qs)));
  QCOMPARE(QDir(m_dir.path()).entryList({u"long.xlsx*"_qs}), QStringList());
}

void TestExcelExport::reportNameThatCannotNameASheet() {
  QCOMPARE(TZRExcel::sheetName(u"借阅/归还[2023]"_qs), u"借阅_归还_2023_"_qs);
  QCOMPARE(TZRExcel::sheetName(u"'引号'"_qs), u"_引号_"_qs);
  QCOMPARE(TZRExcel::sheetName(QString(40, u'档')).size(), 31);
  zr::ui::ScriptedPrompterGuard prompter;
  ListRowSource source(kFields, {{u"A001"_qs}});
  TZRExcel excel;
  excel.setDataSet(&source);
  excel.setReportName(u"借阅/归还:统计*"_qs);
  excel.setFileName(path(u"name.xlsx"_qs));
  QVERIFY(excel.ExportDataSet({entry(u"ID"_qs, u"编号"_qs)}, {}, {}));
  QCOMPARE(cellsOf(path(u"name.xlsx"_qs)), QStringList({u"A1=编号 s"_qs, u"A2=A001 s"_qs}));
}

QTEST_GUILESS_MAIN(TestExcelExport)
#include "tst_excelexport.moc"
