#include "db/errortext.h"
#include "platform/sql/database.h"
#include "platform/sql/tablemaintenance.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>
#include <sqlite3.h>

using namespace zr::sql;

using zr::test::column;

class TestEngine : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  Database *m_db = nullptr;

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
  }
  void cleanup() {
    m_db = nullptr;
    m_env.reset();
  }

  // Widths count GBK bytes: 10 Chinese characters fill string(20), 11 are refused whole.
  void widths_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fits");
    QTest::newRow("20 bytes chinese") << u"一二三四五六七八九十"_qs << true;
    QTest::newRow("22 bytes chinese") << u"一二三四五六七八九十一"_qs << false;
    QTest::newRow("20 ascii") << QString(20, u'x') << true;
    QTest::newRow("21 ascii") << QString(21, u'x') << false;
    QTest::newRow("19 ascii + one chinese") << (QString(19, u'x') + u"档"_qs) << false;
  }
  void widths() {
    QFETCH(QString, name);
    QFETCH(bool, fits);
    const QString sql = u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('001'," % sqlQuote(name) % u')';
    if (fits) {
      m_db->exec(sql);
      QCOMPARE(column(*m_db, u"SELECT USE_NAME FROM SYS_USER_TABLE"_qs), QStringList{name});
      return;
    }
    try {
      m_db->exec(sql);
      QFAIL("too long a value was stored");
    } catch (const EngineError &e) {
      QVERIFY(e.first().is(10029, 39, 45));
      QCOMPARE(zr::db::messageFor(e), u"数据太大,不能保存数据"_qs);
    }
    QCOMPARE(column(*m_db, u"SELECT COUNT(*) FROM SYS_USER_TABLE"_qs), QStringList{u"0"_qs});
  }

  // The check holds on writes the translator cannot see into, too.
  void widthHeldOnExpressions() {
    m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('001','一二三四五')"_qs);
    QVERIFY_THROWS_EXCEPTION(
        EngineError, m_db->exec(u"UPDATE SYS_USER_TABLE SET USE_NAME = USE_NAME || USE_NAME || 'x'"_qs));
    QCOMPARE(column(*m_db, u"SELECT USE_NAME FROM SYS_USER_TABLE"_qs), QStringList{u"一二三四五"_qs});
  }

  void errorRecords() {
    m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('001','a')"_qs);
    try {
      m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('001','b')"_qs);
      QFAIL("duplicate key stored");
    } catch (const EngineError &e) {
      QVERIFY(e.first().is(9729, 38, 1));
      QCOMPARE(zr::db::messageFor(e), u"数据库主键重复"_qs);
    }
    try {
      m_db->exec(u"SELECT * FROM NO_SUCH_TABLE"_qs);
      QFAIL("missing table read");
    } catch (const EngineError &e) {
      QCOMPARE(e.first().errorCode, 0);
      QVERIFY(e.message().contains(u"no such table"));
      QVERIFY(zr::db::messageFor(e).startsWith(u"数据库操作错误"));
      QVERIFY(zr::db::technicalText(e).startsWith(u"EDBEngineError:ErrorCode: (0,0,0,1)\t"));
    }
    // a second connection holding a write lock makes this one's write fail as a locked table
    Database other;
    other.open(m_db->directory());
    Transaction tx(other);
    other.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID) VALUES('009')"_qs);
    sqlite3_busy_timeout(m_db->handle(), 1);
    try {
      m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID) VALUES('010')"_qs);
      QFAIL("write through a lock");
    } catch (const EngineError &e) {
      QVERIFY(e.first().is(10243, 40, 3));
    }
  }

  void openFailures() {
    Database db;
    try {
      db.open(m_env->root() + u"/nowhere");
      QFAIL("opened a missing directory");
    } catch (const EngineError &e) {
      QVERIFY(e.first().is(10770, 42, 18));
    }
    QDir().mkpath(m_env->root() + u"/junk");
    QFile f(m_env->root() + u"/junk/" + QString::fromUtf16(kDatabaseFile));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    QVERIFY_THROWS_EXCEPTION(EngineError, db.open(m_env->root() + u"/junk"));
    QVERIFY(!Database::checkFile(f.fileName()).isEmpty());
    QVERIFY(Database::checkFile(m_db->filePath()).isEmpty());
  }

  void blankAsNullAndOrder() {
    const QStringList names{u"张三"_qs, u"阿明"_qs, u"王五"_qs, u"李四"_qs, u"Zoe"_qs, u"  "_qs};
    int n = 0;
    for (const QString &name : names)
      m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('" % QString::number(++n) % u"'," %
                 sqlQuote(name) % u')');
    QCOMPARE(column(*m_db,
                    u"SELECT USE_NAME FROM SYS_USER_TABLE WHERE NOT (USE_NAME IS NULL) ORDER BY USE_NAME"_qs),
             (QStringList{u"Zoe"_qs, u"阿明"_qs, u"李四"_qs, u"王五"_qs, u"张三"_qs}));
    QCOMPARE(column(*m_db, u"SELECT USE_ID FROM SYS_USER_TABLE WHERE USE_NAME IS NULL"_qs),
             QStringList{u"6"_qs});
    QCOMPARE(column(*m_db, u"SELECT MIN(USE_NAME) FROM SYS_USER_TABLE"_qs), QStringList{u"Zoe"_qs});
  }

  void datesAndNumbers() {
    m_db->exec(
        u"INSERT INTO ZR_ARCHIVE_LEND_TABLE(ARCHIVE_RECORD_ID,LEND_ID,LEND_DATE,RETURN_LIMIT_DATE) VALUES('A1','1','03/05/2024','2024-4-1')"_qs);
    QCOMPARE(column(*m_db, u"SELECT LEND_DATE FROM ZR_ARCHIVE_LEND_TABLE WHERE LEND_DATE = '03/05/2024'"_qs),
             QStringList{u"2024-03-05"_qs});
    QCOMPARE(column(*m_db, u"SELECT RETURN_LIMIT_DATE FROM ZR_ARCHIVE_LEND_TABLE"_qs),
             QStringList{u"2024-04-01"_qs});
    QCOMPARE(column(*m_db, u"SELECT COUNT(*) FROM ZR_ARCHIVE_LEND_TABLE WHERE NOT(RETURN_DATE IS NULL)"_qs),
             QStringList{u"0"_qs});
    QVERIFY_THROWS_EXCEPTION(ConversionError,
                             m_db->exec(u"UPDATE ZR_ARCHIVE_LEND_TABLE SET RETURN_DATE = '2024-13-01'"_qs));
    // an expression is held to the column's kind as well
    QVERIFY_THROWS_EXCEPTION(
        ConversionError, m_db->exec(u"UPDATE ZR_ARCHIVE_LEND_TABLE SET RETURN_DATE = LEND_DATE || 'x'"_qs));
    QVERIFY_THROWS_EXCEPTION(EngineError,
                             m_db->exec(u"UPDATE SYS_PRINT_TABLE SET TOP_MARGIN = NOTE_NOT_A_COLUMN"_qs));
  }

  void parameters() {
    Query ins(
        *m_db,
        u"INSERT INTO ZR_ARCHIVE_LEND_TABLE(ARCHIVE_RECORD_ID,LEND_ID,LEND_DATE,NOTE) VALUES(:A,:L,:D,:N)"_qs);
    ins.bind(u":A"_qs, u"A1"_qs);
    ins.bind(u"l"_qs, u"7"_qs);
    ins.bind(u"D"_qs, QDate(2024, 3, 5));
    ins.bind(u"N"_qs, u"备注  "_qs);
    QCOMPARE(ins.exec(), 1);
    Query upd(
        *m_db,
        u"UPDATE ZR_ARCHIVE_LEND_TABLE SET RETURN_DATE = :R, NOTE = :N WHERE LEND_ID = :OLD_LEND_ID AND ARCHIVE_RECORD_ID = :OLD_ARCHIVE_RECORD_ID"_qs);
    upd.bind(u"R"_qs, u"03/06/2024"_qs);
    upd.bind(u"N"_qs, u" "_qs);
    upd.bind(u"OLD_LEND_ID"_qs, u"7"_qs);
    upd.bind(u"OLD_ARCHIVE_RECORD_ID"_qs, u"A1"_qs);
    QCOMPARE(upd.exec(), 1);
    Query q(*m_db, u"SELECT RETURN_DATE, NOTE FROM ZR_ARCHIVE_LEND_TABLE WHERE RETURN_DATE > :D"_qs);
    q.bind(u"D"_qs, u"03/05/2024"_qs);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), u"2024-03-06"_qs);
    QVERIFY(q.isNull(1));
    QCOMPARE(q.columnDef(0).kind, ColumnKind::Date);
    QVERIFY(!q.next());
    Query bad(*m_db, u"UPDATE ZR_ARCHIVE_LEND_TABLE SET RETURN_DATE = :R"_qs);
    QVERIFY_THROWS_EXCEPTION(ConversionError, bad.bind(u"R"_qs, u"yesterday"_qs));
    QVERIFY_THROWS_EXCEPTION(EngineError, bad.bind(u"NOPE"_qs, 1));
  }

  void quotesNeverBreakAStatement() {
    const QString nasty = u"');DELETE FROM SYS_ID_TABLE--"_qs;
    m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,NOTE) VALUES('1'," % sqlQuote(nasty) % u')');
    QCOMPARE(column(*m_db, u"SELECT NOTE FROM SYS_USER_TABLE WHERE NOTE = " % sqlQuote(nasty)),
             QStringList{nasty});
    // two statements in one text are refused, not run
    QVERIFY_THROWS_EXCEPTION(EngineError,
                             m_db->exec(u"DELETE FROM SYS_USER_TABLE; DELETE FROM SYS_ID_TABLE"_qs));
    QCOMPARE(column(*m_db, u"SELECT COUNT(*) FROM SYS_USER_TABLE"_qs), QStringList{u"1"_qs});
  }

  void unencodableRefused() {
    try {
      m_db->exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('1','a😀')"_qs);
      QFAIL("stored text GBK cannot hold");
    } catch (const ConversionError &e) {
      QVERIFY(e.message().contains(u"GBK"));
    }
  }

  void transactionsRollBack() {
    {
      Transaction tx(*m_db);
      m_db->exec(u"INSERT INTO SYS_ID_TABLE(NAME_ID,AUTO_ID) VALUES('档案编号','是')"_qs);
      {
        Transaction inner(*m_db);
        m_db->exec(u"INSERT INTO SYS_ID_TABLE(NAME_ID,AUTO_ID) VALUES('分类编号','1')"_qs);
      } // inner rolled back
      tx.commit();
    }
    {
      Transaction tx(*m_db);
      m_db->exec(u"DELETE FROM SYS_ID_TABLE"_qs);
    }
    QCOMPARE(column(*m_db, u"SELECT NAME_ID FROM SYS_ID_TABLE"_qs), QStringList{u"档案编号"_qs});
  }

  void prefixUsesTheIndex() {
    Query plan(
        *m_db,
        u"EXPLAIN QUERY PLAN SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_TYPE_ID FROM 1 FOR 3) = '201'"_qs);
    QString text;
    while (plan.next())
      text += plan.value(3).toString();
    QVERIFY2(text.contains(u"SEARCH") && text.contains(u"ARCHIVE_TYPE_ID>? AND ARCHIVE_TYPE_ID<?"),
             qPrintable(text));
    m_db->exec(
        u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID) VALUES('A1','201'),('A2','201003'),('A3','2010'),('A4','202'),('A5','20')"_qs);
    QCOMPARE(
        column(
            *m_db,
            u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_TYPE_ID FROM 1 FOR 3) = '201' ORDER BY ARCHIVE_RECORD_ID"_qs),
        (QStringList{u"A1"_qs, u"A2"_qs, u"A3"_qs}));
  }

  void maintenance() {
    m_db->exec(
        u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID,PRIOR_ID) VALUES('201','文书档案',1,'G001')"_qs);
    const TableReport v = verifyTable(*m_db, u"ZR_ARCHIVE_TYPE_TABLE"_qs);
    QVERIFY2(v.ok, qPrintable(v.message));
    {
      Query open(*m_db, u"SELECT * FROM ZR_ARCHIVE_TYPE_TABLE"_qs);
      QVERIFY(open.next());
      const TableReport busy = rebuildTable(*m_db, u"zr_archive_type_table"_qs);
      QVERIFY(!busy.ok);
      QVERIFY(busy.message.contains(u"有未关闭的数据表"));
    }
    const TableReport r = rebuildTable(*m_db, u"ZR_ARCHIVE_TYPE_TABLE"_qs);
    QVERIFY2(r.ok, qPrintable(r.message));
    const TableReport c = compactTable(*m_db, u"ZR_ARCHIVE_TYPE_TABLE"_qs);
    QVERIFY2(c.ok, qPrintable(c.message));
    QCOMPARE(column(*m_db, u"SELECT ARCHIVE_TYPE_NAME FROM ZR_ARCHIVE_TYPE_TABLE"_qs),
             QStringList{u"文书档案"_qs});
    // the rebuilt table keeps its key, checks and indexes
    QVERIFY_THROWS_EXCEPTION(
        EngineError, m_db->exec(u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID) VALUES('201')"_qs));
    QVERIFY_THROWS_EXCEPTION(
        EngineError,
        m_db->exec(u"UPDATE ZR_ARCHIVE_TYPE_TABLE SET ARCHIVE_TYPE_NAME = '一二三四五六七八九十一'"_qs));
    QCOMPARE(
        column(
            *m_db,
            u"SELECT COUNT(*) FROM sqlite_schema WHERE type = 'index' AND tbl_name = 'ZR_ARCHIVE_TYPE_TABLE' AND sql IS NOT NULL"_qs),
        QStringList{u"1"_qs});
    QVERIFY(!verifyTable(*m_db, u"NO_SUCH"_qs).ok);
  }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
