#include "db/idsettings.h"
#include "db/queries.h"
#include "platform/sql/database.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>

using namespace zr::db;

namespace {
const QString kDb = QString::fromUtf16(zr::sql::kDatabaseName);
}

class TestQueries : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    zr::sql::Database::registerNamed(kDb, m_db);
    m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,NOTE) VALUES('001','张三','1,234.5')"_qs);
    m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('002','李四')"_qs);
  }
  void cleanup() {
    zr::sql::Database::unregisterNamed(kDb);
    m_env.reset();
  }

  void execSqlReportsOnlyByResult() {
    QVERIFY(ExecSql(kDb, u"UPDATE SYS_USER_TABLE SET NOTE = 'x' WHERE USE_ID = '002'"_qs));
    QCOMPARE(QueryValue(kDb, u"SELECT NOTE FROM SYS_USER_TABLE WHERE USE_ID = '002'"_qs), u"x"_qs);
    QVERIFY(!ExecSql(kDb, u"INSERT INTO SYS_USER_TABLE(USE_ID) VALUES('001')"_qs)); // duplicate key
    QVERIFY(!ExecSql(kDb, u"UPDATE NO_SUCH_TABLE SET A = 1"_qs));
    QVERIFY(!ExecSql(u"NoSuchDatabase"_qs, u"DELETE FROM SYS_USER_TABLE"_qs));
    QCOMPARE(QueryNumber(kDb, u"SELECT COUNT(*) FROM SYS_USER_TABLE"_qs), 2.0);
  }

  void singleValues_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("value");
    QTest::addColumn<double>("number");
    QTest::newRow("text") << u"SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '001'"_qs << u"张三"_qs
                          << 0.0;
    QTest::newRow("number text with separators")
        << u"SELECT NOTE FROM SYS_USER_TABLE WHERE USE_ID = '001'"_qs << u"1,234.5"_qs << 1234.5;
    QTest::newRow("no row") << u"SELECT NOTE FROM SYS_USER_TABLE WHERE USE_ID = '999'"_qs << QString() << 0.0;
    QTest::newRow("null") << u"SELECT NOTE FROM SYS_USER_TABLE WHERE USE_ID = '002'"_qs << QString() << 0.0;
    QTest::newRow("count") << u"SELECT COUNT(USE_ID) FROM SYS_USER_TABLE"_qs << u"2"_qs << 2.0;
  }
  void singleValues() {
    QFETCH(QString, sql);
    QFETCH(QString, value);
    QFETCH(double, number);
    QCOMPARE(QueryValue(kDb, sql), value);
    QCOMPARE(QueryNumber(kDb, sql), number);
  }

  void queryRow() {
    QCOMPARE(QueryRow(kDb, u"SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '002'"_qs).toString(),
             u"李四"_qs);
    const QVariant row =
        QueryRow(kDb, u"SELECT USE_ID, USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '001'"_qs);
    QCOMPARE(row.toList(), (QVariantList{u"001"_qs, u"张三"_qs}));
    QVERIFY(!QueryRow(kDb, u"SELECT USE_ID FROM SYS_USER_TABLE WHERE USE_ID = '9'"_qs).isValid());
  }

  void errorsPassOn() {
    QVERIFY_THROWS_EXCEPTION(zr::sql::EngineError, QueryValue(kDb, u"SELECT X FROM NO_SUCH_TABLE"_qs));
    QVERIFY_THROWS_EXCEPTION(zr::sql::EngineError, QueryNumber(kDb, u"SELECT X FROM NO_SUCH_TABLE"_qs));
    QVERIFY_THROWS_EXCEPTION(zr::sql::EngineError, OpenQuery(kDb, u"SELECT X FROM NO_SUCH_TABLE"_qs));
  }

  void openQueryWalksRows() {
    auto c = OpenQuery(kDb, u"SELECT USE_ID FROM SYS_USER_TABLE ORDER BY USE_ID"_qs);
    QStringList ids;
    for (; !c->eof(); c->next())
      ids << c->text(0);
    QCOMPARE(ids, (QStringList{u"001"_qs, u"002"_qs}));
    QVERIFY(OpenQuery(kDb, u"SELECT USE_ID FROM SYS_USER_TABLE WHERE USE_ID = 'x'"_qs)->eof());
  }

  void formats_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("statement"); // empty: refused
    QTest::newRow("text and number") << u"UPDATE T SET A = %s WHERE B = %d"_qs << QVariantList{u"'x'"_qs, 12}
                                     << u"UPDATE T SET A = 'x' WHERE B = 12"_qs;
    QTest::newRow("number given as text") << u"%d"_qs << QVariantList{u" 7 "_qs} << u"7"_qs;
    QTest::newRow("percent") << u"LIKE '%%a'"_qs << QVariantList{} << u"LIKE '%a'"_qs;
    QTest::newRow("text for %d") << u"%d"_qs << QVariantList{u"abc"_qs} << QString();
    QTest::newRow("too few arguments") << u"%s %s"_qs << QVariantList{u"a"_qs} << QString();
    QTest::newRow("unknown conversion") << u"%x"_qs << QVariantList{1} << QString();
    QTest::newRow("trailing percent") << u"50%"_qs << QVariantList{} << QString();
  }
  void formats() {
    QFETCH(QString, format);
    QFETCH(QVariantList, args);
    QFETCH(QString, statement);
    if (statement.isEmpty())
      QVERIFY_THROWS_EXCEPTION(zr::sql::ConversionError, formatStatement(format, args));
    else
      QCOMPARE(formatStatement(format, args), statement);
  }

  void execSqlFmt() {
    QVERIFY(ExecSqlFmt(kDb, u"UPDATE SYS_USER_TABLE SET NOTE = %s WHERE USE_ID = %s"_qs,
                       {u"'y'"_qs, u"'001'"_qs}));
    QCOMPARE(QueryValue(kDb, u"SELECT NOTE FROM SYS_USER_TABLE WHERE USE_ID = '001'"_qs), u"y"_qs);
  }

  // Database settings: a missing row reads as no, a write inserts once and then updates.
  void idSettings() {
    QVERIFY(!ReadYesNoSetting(*m_db, u"档案编号"_qs));
    QCOMPARE(ReadIdSetting(*m_db, u"分类编号"_qs), QString());
    QVERIFY(WriteIdSetting(*m_db, u"档案编号"_qs, u"是"_qs));
    QVERIFY(ReadYesNoSetting(*m_db, u"档案编号"_qs));
    QVERIFY(WriteIdSetting(*m_db, u"档案编号"_qs, u"否"_qs));
    QVERIFY(!ReadYesNoSetting(*m_db, u"档案编号"_qs));
    QCOMPARE(QueryNumber(kDb, u"SELECT COUNT(*) FROM SYS_ID_TABLE"_qs), 1.0);
    // A name with a quote is a value like any other.
    QVERIFY(WriteIdSetting(*m_db, u"it's"_qs, u"a'b"_qs));
    QCOMPARE(ReadIdSetting(*m_db, u"it's"_qs), u"a'b"_qs);
  }
};

QTEST_GUILESS_MAIN(TestQueries)
#include "tst_queries.moc"
