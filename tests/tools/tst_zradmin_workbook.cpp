// "zradmin workbook dump": the exact lines a script gets, and the failure contract.
#include "tests/platform/workbook/fixtures.h"
#include "tools/zradmin/commands.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

class TestZradminWorkbook : public QObject {
  Q_OBJECT

private:
  QTemporaryDir m_dir;
  int run(const QStringList &args, QString &out, QString &err) {
    out.clear();
    err.clear();
    QTextStream o(&out), e(&err);
    const int rc = zr::admin::run(args, o, e);
    o.flush();
    e.flush();
    return rc;
  }

private slots:
  void dumpsHeadingsThenRows() {
    zr::test::XlsxParts p;
    p.rows = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>编号</t></is></c>"
             "<c r=\"C1\" t=\"inlineStr\"><is><t>备注</t></is></c></row>"
             "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>A001</t></is></c><c r=\"B2\"><v>4567.5</v></c>"
             "<c r=\"C2\" t=\"inlineStr\"><is><t>第一行&#10;第二行\t制表</t></is></c></row>"
             "<row r=\"4\"><c r=\"A4\" s=\"1\"><v>45000</v></c></row>";
    p.styles = {0, 14};
    const QString file = m_dir.filePath(u"dump.xlsx"_qs);
    zr::test::writeXlsx(file, p);
    QString out, err;
    QCOMPARE(run({u"workbook"_qs, u"dump"_qs, file}, out, err), 0);
    QCOMPARE(err, QString());
    QCOMPARE(out, u"编号\tF2\t备注\n"
                  "A001\t4567.5\t第一行\\n第二行\\t制表\n"
                  "\t\t\n"
                  "2023-03-15\t\t\n"_qs);
  }

  void unreadableFileFails() {
    const QString file = m_dir.filePath(u"broken.xlsx"_qs);
    zr::test::writeZip(file, {{u"readme.txt"_qs, "x"}});
    QString out, err;
    QCOMPARE(run({u"workbook"_qs, u"dump"_qs, file}, out, err), 1);
    QCOMPARE(out, QString());
    QCOMPARE(err, u"Excel文件:"_qs + file + u"\r\n该文件打开过程发生错误,数据不能导入\n"_qs);
  }

  void wrongArgumentsShowUsage() {
    QString out, err;
    QCOMPARE(run({u"workbook"_qs, u"show"_qs, u"x.xlsx"_qs}, out, err), 2);
    QVERIFY(err.startsWith(u"usage: zradmin workbook dump FILE"_qs));
  }
};

QTEST_GUILESS_MAIN(TestZradminWorkbook)
#include "tst_zradmin_workbook.moc"
