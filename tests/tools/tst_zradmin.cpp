#include "tests/support/testenv.h"
#include "tools/zradmin/commands.h"

#include <QtTest/QTest>

namespace {
struct Result {
  int rc;
  QString out;
  QString err;
};
Result zradmin(const QStringList &args) {
  QString o, e;
  QTextStream out(&o), err(&e);
  const int rc = zr::admin::run(args, out, err);
  out.flush();
  err.flush();
  return {rc, o, e};
}
} // namespace

class TestZrAdmin : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;

  Result sql(const QString &statement) { return zradmin({u"sql"_qs, statement}); }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    const Result r = zradmin({u"install"_qs, m_env->dataDir()});
    QCOMPARE(r.rc, 0);
    QCOMPARE(r.out.trimmed(), QDir(m_env->dataDir()).absolutePath());
  }
  void cleanup() { m_env.reset(); }

  void helpStatesEveryContract() {
    const Result r = zradmin({u"help"_qs});
    QCOMPARE(r.rc, 0);
    for (const char16_t *c : {u"zradmin install DIR", u"zradmin sql [--data DIR] STATEMENT"})
      QVERIFY(r.out.contains(QStringView(c)));
    QCOMPARE(zradmin({u"frobnicate"_qs}).rc, 2);
  }

  void installTwiceRefused() {
    const Result r = zradmin({u"install"_qs, m_env->dataDir()});
    QCOMPARE(r.rc, 1);
    QVERIFY(r.err.contains(u"已经存在"));
  }

  // Each construct of the dialect, run through the tool against the installed directory.
  void dialect_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("output");
    const QStringList volumes{
        u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID,ARCHIVE_ID,ARCHIVE_NAME,DATE_FIELD1,NUMBER_FIELD1) VALUES('A1','201001','2024000001','张氏家谱','03/05/2024','4567.50')"_qs,
        u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID,ARCHIVE_ID,ARCHIVE_NAME,DATE_FIELD1,NUMBER_FIELD1) VALUES('A2','201','2024000002','阿城县志','12/31/2023',3)"_qs,
        u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID,ARCHIVE_ID,ARCHIVE_NAME,NUMBER_FIELD1) VALUES('A3','202','2024000003','李氏 ''族谱''',0.1)"_qs,
        u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID,PRIOR_ID) VALUES('201','文书',1,'G001')"_qs,
        u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID,PRIOR_ID) VALUES('202','科技',2,'G001')"_qs,
    };
    QTest::newRow("prefix count")
        << volumes
        << u"SELECT COUNT(*) AS N FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_TYPE_ID FROM 1 FOR 3) = '201'"_qs
        << u"N\n2\n"_qs;
    QTest::newRow("numbers shortest, dates iso, NULL empty, GBK order")
        << volumes
        << u"SELECT ARCHIVE_NAME, DATE_FIELD1, NUMBER_FIELD1 FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_NAME"_qs
        << u"ARCHIVE_NAME\tDATE_FIELD1\tNUMBER_FIELD1\n阿城县志\t2023-12-31\t3\n李氏 '族谱'\t\t0.1\n张氏家谱\t2024-03-05\t4567.5\n"_qs;
    QTest::newRow("like search")
        << volumes
        << u"SELECT ARCHIVE_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_NAME LIKE '%谱%' ORDER BY ARCHIVE_ID"_qs
        << u"ARCHIVE_ID\n2024000001\n2024000003\n"_qs;
    QTest::newRow("date literal and extract")
        << volumes
        << u"SELECT ARCHIVE_RECORD_ID, EXTRACT(YEAR FROM DATE_FIELD1) Y FROM ZR_ARCHIVE_MASTER_TABLE WHERE DATE_FIELD1 > '01/01/2024'"_qs
        << u"ARCHIVE_RECORD_ID\tY\nA1\t2024\n"_qs;
    QTest::newRow("date number of the find dialogs")
        << volumes
        << u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE (10000 * EXTRACT(YEAR FROM DATE_FIELD1) +100 * EXTRACT(Month FROM DATE_FIELD1) + EXTRACT(DAY FROM DATE_FIELD1)) <= 20231231"_qs
        << u"ARCHIVE_RECORD_ID\nA2\n"_qs;
    QTest::newRow("comma join with aliases")
        << volumes
        << u"SELECT A.ARCHIVE_ID, B.ARCHIVE_TYPE_NAME FROM ZR_ARCHIVE_MASTER_TABLE A, ZR_ARCHIVE_TYPE_TABLE B WHERE A.ARCHIVE_TYPE_ID = B.ARCHIVE_TYPE_ID ORDER BY A.ARCHIVE_ID"_qs
        << u"ARCHIVE_ID\tARCHIVE_TYPE_NAME\n2024000002\t文书\n2024000003\t科技\n"_qs;
    QTest::newRow("aggregates with aliases")
        << volumes
        << u"SELECT MIN(DATE_FIELD1) As MinDate,MAX(DATE_FIELD1) As MaxDate FROM ZR_ARCHIVE_MASTER_TABLE"_qs
        << u"MinDate\tMaxDate\n2023-12-31\t2024-03-05\n"_qs;
    QTest::newRow("not in sub-select and is null")
        << volumes
        << u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE NOT(ARCHIVE_TYPE_ID IN(SELECT ARCHIVE_TYPE_ID FROM ZR_ARCHIVE_TYPE_TABLE)) OR DATE_FIELD1 IS NULL ORDER BY ARCHIVE_RECORD_ID"_qs
        << u"ARCHIVE_RECORD_ID\nA1\nA3\n"_qs;
    QTest::newRow("mixed case and blank as NULL")
        << QStringList{u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,EDIT_RIGHT,DElETE_RIGHT)VALUES('001',1,2,'是','  ','是')"_qs}
        << u"SELECT delete_right, EDIT_RIGHT IS NULL AS BLANK FROM sys_right_table"_qs
        << u"DELETE_RIGHT\tBLANK\n是\t1\n"_qs;
    QTest::newRow("a query without rows prints nothing")
        << QStringList() << u"SELECT * FROM SYS_USER_TABLE"_qs << QString();
  }
  void dialect() {
    QFETCH(QStringList, setup);
    QFETCH(QString, query);
    QFETCH(QString, output);
    for (const QString &s : setup) {
      const Result r = sql(s);
      QVERIFY2(r.rc == 0 && r.out.isEmpty(), qPrintable(s + u" -> " + r.err));
    }
    const Result r = sql(query);
    QVERIFY2(r.rc == 0, qPrintable(r.err));
    QCOMPARE(r.out, output);
  }

  void failures_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("message");
    QTest::newRow("key violation")
        << u"INSERT INTO SYS_COMPOSE_TABLE(COMPOSE_ID,COMPOSE_NAME) VALUES(1,'x')"_qs << u"数据库主键重复"_qs;
    QTest::newRow("21 bytes into 20")
        << u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('1','" % QString(21, u'a') % u"')"
        << u"数据太大,不能保存数据"_qs;
    QTest::newRow("bad date")
        << u"INSERT INTO ZR_ARCHIVE_LEND_TABLE(LEND_ID,ARCHIVE_RECORD_ID,LEND_DATE) VALUES('1','A','2024-13-01')"_qs
        << u"请按格式YYYY-MM-DD 输入日期"_qs;
    QTest::newRow("unknown table") << u"SELECT * FROM NOPE"_qs << u"数据库操作错误"_qs;
  }
  void failures() {
    QFETCH(QString, statement);
    QFETCH(QString, message);
    const Result r = sql(statement);
    QCOMPARE(r.rc, 1);
    QVERIFY2(r.err.startsWith(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
  }

  void explicitDataDirectory() {
    const Result r = zradmin(
        {u"sql"_qs, u"--data"_qs, m_env->dataDir(), u"SELECT COUNT(*) AS N FROM SYS_PROGRAM_TABLE"_qs});
    QCOMPARE(r.rc, 0);
    QCOMPARE(r.out, u"N\n9\n"_qs);
    const Result missing = zradmin({u"sql"_qs, u"--data"_qs, m_env->root() + u"/none", u"SELECT 1"_qs});
    QCOMPARE(missing.rc, 1);
    QCOMPARE(missing.err.trimmed(), u"数据库打开过程发生错误"_qs);
  }
};

QTEST_GUILESS_MAIN(TestZrAdmin)
#include "tst_zradmin.moc"
