// "zradmin report pdf" on the seed templates of a fresh data directory: the PDF's text holds
// the rows' values; and the refusals a script meets.
#include "tests/support/testenv.h"
#include "tools/zradmin/commands.h"

#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtTest/QtTest>

namespace {

const QString kVolumes = QStringLiteral(
    "SELECT ARCHIVE_RECORD_ID, ARCHIVE_ID AS 档案编号, ARCHIVE_NAME AS 档案名称, TEXT_NOTE AS 档案备注 "
    "FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID");
const QString kItems = QStringLiteral("SELECT DETAIL_ARCHIVE_ID AS 档案编号, DETAIL_ARCHIVE_NAME AS 档案名称, "
                                      "DETAIL_TEXT_NOTE AS 档案备注 FROM ZR_ARCHIVE_DETAIL_TABLE");
const QString kLoans = QStringLiteral("SELECT LEND_ID AS 借阅编号, LEND_DATE AS 借阅日期, LEND_NAME AS 借阅人员, "
                                      "RETURN_LIMIT_DATE AS 归还期限, RETURN_DATE AS 归还日期, NOTE AS 借阅备注 "
                                      "FROM ZR_ARCHIVE_LEND_TABLE");

} // namespace

class TestZradminReport : public QObject {
  Q_OBJECT

private:
  zr::test::TestEnv m_env;
  QString m_data;

  int run(const QStringList &args, QString &out, QString &err) {
    out.clear();
    err.clear();
    QTextStream o(&out), e(&err);
    const int rc = zr::admin::run(args, o, e);
    o.flush();
    e.flush();
    return rc;
  }
  void sql(const QString &statement) {
    QString out, err;
    if (run({QStringLiteral("sql"), QStringLiteral("--data"), m_data, statement}, out, err) != 0)
      QFAIL(qPrintable(err));
  }
  // The PDF's text. Noto CJK shares glyphs between ideographs and radicals, and the PDF text layer
  // names the radical: compatibility normalisation folds the Kangxi radicals back, and 页 is the
  // one supplement radical the seeds print.
  static QString pdfText(const QString &pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC)
        .replace(QChar(0x2EDA), QStringLiteral("页"));
  }

private slots:
  void initTestCase() {
    m_data = m_env.root() + u"/data";
    QString out, err;
    QCOMPARE(run({QStringLiteral("install"), m_data}, out, err), 0);
    for (const char16_t *seed : {u"200700000007", u"200700000008", u"200700000009", u"200700000010", u"200700000011"})
      QVERIFY2(QFileInfo::exists(m_data + u'/' + QString::fromUtf16(seed)), "seed template not installed");
    sql(QStringLiteral("INSERT INTO ZR_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, ARCHIVE_ID, ARCHIVE_NAME, "
                       "TEXT_NOTE) VALUES ('A240501100001','001','2024000001','市政府工作报告','永久保存')"));
    sql(QStringLiteral("INSERT INTO ZR_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, ARCHIVE_ID, ARCHIVE_NAME) "
                       "VALUES ('A240501100002','001','2024000002','城市规划会议纪要')"));
    sql(QStringLiteral("INSERT INTO ZR_ARCHIVE_DETAIL_TABLE (ARCHIVE_RECORD_ID, DETAIL_RECORD_ID, DETAIL_ARCHIVE_ID, "
                       "DETAIL_ARCHIVE_NAME, DETAIL_TEXT_NOTE) VALUES ('A240501100001','C240501100001','2024000001-01',"
                       "'报告正文','原件')"));
    sql(QStringLiteral("INSERT INTO ZR_ARCHIVE_LEND_TABLE (LEND_ID, ARCHIVE_RECORD_ID, LEND_DATE, LEND_NAME, "
                       "RETURN_LIMIT_DATE, NOTE) VALUES ('202400000001','A240501100001','05/02/2024','张三','05/16/2024','查阅')"));
  }

  void seedTemplates_data() {
    QTest::addColumn<QString>("seed");
    QTest::addColumn<QString>("master");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QStringList>("expected");
    const QString loanList = QStringLiteral(
        "SELECT A.LEND_ID AS 借阅编号, B.ARCHIVE_ID AS 档案编号, B.ARCHIVE_NAME AS 档案名称, A.LEND_DATE AS 借阅日期, "
        "A.LEND_NAME AS 借阅人员, A.RETURN_LIMIT_DATE AS 归还期限, A.RETURN_DATE AS 归还日期, A.NOTE AS 借阅备注 "
        "FROM ZR_ARCHIVE_LEND_TABLE A, ZR_ARCHIVE_MASTER_TABLE B WHERE A.ARCHIVE_RECORD_ID = B.ARCHIVE_RECORD_ID");
    const QStringList head{QStringLiteral("某市档案馆"), QStringLiteral("第1页 共1页")};
    QTest::newRow("volume list") << u"200700000007"_qs << kVolumes << QString()
                                 << head + QStringList{u"档案资料"_qs, u"2024000001"_qs, u"市政府工作报告"_qs,
                                                       u"永久保存"_qs, u"城市规划会议纪要"_qs};
    QTest::newRow("item query list") << u"200700000008"_qs << kItems << QString()
                                     << head + QStringList{u"档案明细资料查询报表"_qs, u"2024000001-01"_qs, u"报告正文"_qs};
    QTest::newRow("items of a volume") << u"200700000009"_qs << kVolumes
                                       << QString(kItems + u" WHERE ARCHIVE_RECORD_ID = :ARCHIVE_RECORD_ID")
                                       << head + QStringList{u"档案名称:市政府工作报告"_qs, u"报告正文"_qs, u"原件"_qs,
                                                             u"档案名称:城市规划会议纪要"_qs};
    QTest::newRow("loan list") << u"200700000011"_qs << loanList << QString()
                               << head + QStringList{u"档案借阅资料"_qs, u"202400000001"_qs, u"2024-05-02"_qs, u"张三"_qs,
                                                     u"2024-05-16"_qs};
    QTest::newRow("loan slip") << u"200700000010"_qs << kVolumes
                               << QString(kLoans + u" WHERE ARCHIVE_RECORD_ID = :ARCHIVE_RECORD_ID")
                               << head + QStringList{u"档案借阅单"_qs, u"档案编号:2024000001"_qs, u"张三"_qs, u"查阅"_qs,
                                                     u"借阅人签字:"_qs};
  }
  void seedTemplates() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(QString, seed);
    QFETCH(QString, master);
    QFETCH(QString, detail);
    QFETCH(QStringList, expected);
    const QString pdf = m_env.root() + u'/' + seed + u".pdf";
    QStringList args{QStringLiteral("report"), QStringLiteral("pdf"), QStringLiteral("--data"), m_data,
                     QStringLiteral("--template"), m_data + u'/' + seed, QStringLiteral("--master"), master,
                     QStringLiteral("--var"), QStringLiteral("单位名称=某市档案馆")};
    if (!detail.isEmpty())
      args << QStringLiteral("--detail") << detail;
    args << pdf;
    QString out, err;
    QCOMPARE(run(args, out, err), 0);
    QCOMPARE(err, QString());
    QVERIFY(out.startsWith(pdf + u'\t'));
    const QString text = pdfText(pdf);
    for (const QString &e : expected)
      QVERIFY2(text.contains(e), qPrintable(e + u" missing from:\n" + text));
  }

  void refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString slip = m_data + u"/200700000010";
    const QString list = m_data + u"/200700000007";
    const QString out = m_env.root() + u"/x.pdf";
    const QString damaged = m_env.root() + u"/damaged";
    QFile f(damaged);
    f.open(QIODevice::WriteOnly);
    f.write("{\"format\": \"zr-grid-report\", \"version\": 1, \"columns\": [10], \"rows\": [{\"cells\": [{\"col\": 5}]}]}");
    f.close();
    auto a = [&](QString templ, QString master, QStringList more = {}) {
      return QStringList{u"report"_qs, u"pdf"_qs, u"--data"_qs, m_data, u"--template"_qs, templ, u"--master"_qs, master} + more
             << out;
    };
    QTest::newRow("master-detail without detail") << a(slip, kVolumes) << u"必须给出 --detail"_qs;
    QTest::newRow("single table with detail") << a(list, kVolumes, {u"--detail"_qs, kItems}) << u"不能使用 --detail"_qs;
    QTest::newRow("parameter not a master column")
        << a(slip, kVolumes, {u"--detail"_qs, kLoans + u" WHERE ARCHIVE_RECORD_ID = :NOSUCH"}) << u":NOSUCH"_qs;
    QTest::newRow("damaged template") << a(damaged, kVolumes) << u"报表模板文件已损坏"_qs;
    QTest::newRow("missing template") << a(m_env.root() + u"/none", kVolumes) << u"没有找到报表模版文件"_qs;
    QTest::newRow("bad statement") << a(list, u"SELECT * FROM NO_SUCH_TABLE"_qs) << QString();
  }
  void refusals() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QString out, err;
    QCOMPARE(run(args, out, err), 1);
    QVERIFY2(err.contains(message) && !err.isEmpty(), qPrintable(err));
    QCOMPARE(out, QString());
    QVERIFY(!QFileInfo::exists(m_env.root() + u"/x.pdf"));
  }
};

QTEST_MAIN(TestZradminReport)
#include "tst_zradmin_report.moc"
