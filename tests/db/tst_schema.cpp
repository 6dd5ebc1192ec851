#include "db/installer.h"
#include "db/schema.h"
#include "platform/sql/database.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>

using namespace zr::sql;

class TestSchema : public QObject {
  Q_OBJECT
private slots:
  // Every table with its key, as the rest of the system addresses them.
  void tablesAndKeys_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("key");
    const auto k = [](std::initializer_list<const char16_t *> l) {
      QStringList o;
      for (auto x : l)
        o << QString::fromUtf16(x);
      return o;
    };
    QTest::newRow("users") << u"SYS_USER_TABLE"_qs << k({u"USE_ID"});
    QTest::newRow("groups") << u"SYS_COMPOSE_TABLE"_qs << k({u"COMPOSE_ID"});
    QTest::newRow("programs") << u"SYS_PROGRAM_TABLE"_qs << k({u"COMPOSE_ID", u"PROGRAM_ID"});
    QTest::newRow("rights") << u"SYS_RIGHT_TABLE"_qs << k({u"USE_ID", u"COMPOSE_ID", u"PROGRAM_ID"});
    QTest::newRow("regions") << u"SYS_USER_REGION_RIGHT_TABLE"_qs << QStringList();
    QTest::newRow("company") << u"SYS_COMPANY_TABLE"_qs << k({u"COMPANY_ID"});
    QTest::newRow("ids") << u"SYS_ID_TABLE"_qs << k({u"NAME_ID"});
    QTest::newRow("categories") << u"ZR_ARCHIVE_TYPE_TABLE"_qs << k({u"ARCHIVE_TYPE_ID"});
    QTest::newRow("node names") << u"ZR_ARCHIVE_NODE_NAME_TABLE"_qs << QStringList();
    QTest::newRow("volume layout") << u"SYS_ARCHIVE_FIELD_TABLE"_qs << k({u"ARCHIVE_TYPE_ID", u"FIELD_NAME"});
    QTest::newRow("item layout") << u"SYS_ARCHIVE_DETAIL_FIELD_TABLE"_qs
                                 << k({u"ARCHIVE_TYPE_ID", u"FIELD_NAME"});
    QTest::newRow("volumes") << u"ZR_ARCHIVE_MASTER_TABLE"_qs << k({u"ARCHIVE_RECORD_ID"});
    QTest::newRow("staging") << u"ZR_TARCHIVE_MASTER_TABLE"_qs << k({u"ARCHIVE_RECORD_ID"});
    QTest::newRow("volume display") << u"ZR_ARCHIVE_MASTER_SHOW_TABLE"_qs << QStringList();
    QTest::newRow("import display") << u"ZR_INTO_ARCHIVE_SHOW_TABLE"_qs << QStringList();
    QTest::newRow("items") << u"ZR_ARCHIVE_DETAIL_TABLE"_qs << k({u"DETAIL_RECORD_ID"});
    QTest::newRow("volume mapping") << u"ZR_INTO_ARCHIVE_FIELD_TABLE"_qs
                                    << k({u"ARCHIVE_TYPE_ID", u"TABLE_FIELD_NAME"});
    QTest::newRow("item mapping") << u"ZR_INTO_ARCHIVE_DETAIL_FIELD_TABLE"_qs
                                  << k({u"ARCHIVE_TYPE_ID", u"TABLE_FIELD_NAME"});
    QTest::newRow("volume files") << u"ZR_MARCHIVE_MASTER_FILE_TABLE"_qs
                                  << k({u"FILE_RECORD_ID", u"ARCHIVE_RECORD_ID"});
    QTest::newRow("volume pictures") << u"ZR_MARCHIVE_MASTER_PICTURE_TABLE"_qs
                                     << k({u"ARCHIVE_RECORD_ID", u"PICTURE_RECORD_ID"});
    QTest::newRow("item files") << u"ZR_DARCHIVE_MASTER_FILE_TABLE"_qs << k({u"FILE_RECORD_ID"});
    QTest::newRow("item pictures") << u"ZR_DARCHIVE_MASTER_PICTURE_TABLE"_qs
                                   << k({u"DETAIL_RECORD_ID", u"PICTURE_RECORD_ID"});
    QTest::newRow("volume file contents") << u"ZR_MARCHIVE_DETAIL_FILE_TABLE"_qs << k({u"FILE_RECORD_ID"});
    QTest::newRow("item file contents") << u"ZR_DARCHIVE_DETAIL_FILE_TABLE"_qs << QStringList();
    QTest::newRow("item picture contents") << u"ZR_DARCHIVE_DETAIL_PICTURE_TABLE"_qs << QStringList();
    QTest::newRow("loans") << u"ZR_ARCHIVE_LEND_TABLE"_qs << k({u"LEND_ID", u"ARCHIVE_RECORD_ID"});
    QTest::newRow("borrowers") << u"ZR_LEND_NAME_TABLE"_qs << k({u"LEND_NAME"});
    for (int i = 1; i <= 12; ++i) {
      const QString n = QString::number(i);
      QTest::addRow("value list %d", i)
          << (u"ZR_TEXT_FIELD" % n % u"_TABLE") << QStringList{u"ARCHIVE_TYPE_ID"_qs, u"TEXT_FIELD" % n};
      QTest::addRow("item value list %d", i) << (u"ZR_DETAIL_TEXT_FIELD" % n % u"_TABLE")
                                             << QStringList{u"ARCHIVE_TYPE_ID"_qs, u"DETAIL_TEXT_FIELD" % n};
    }
    QTest::newRow("templates") << u"SYS_PRINT_NAME_TABLE"_qs << k({u"PRINT_INDEX", u"PRINT_ID"});
    QTest::newRow("template bodies") << u"SYS_PRINT_DATA_TABLE"_qs << QStringList();
    QTest::newRow("import template bodies") << u"SYS_PRINT_ARCHIVE_MASTER_TABLE"_qs << QStringList();
    QTest::newRow("margins") << u"SYS_PRINT_TABLE"_qs << k({u"PRINT_NAME"});
    for (const char16_t *g :
         {u"SYS_ARCHIVE_DBGRID_TABLE", u"SYS_ARCHIVE_DETAIL_TABLE", u"SYS_ARCHIVE_LEND_TABLE",
          u"SYS_QUERY_ARCHIVE_DETAIL_TABLE", u"SYS_QUERY_ARCHIVE_LEND_TABLE",
          u"SYS_SELECT_ARCHIVE_DETAIL_FILE_TABLE", u"SYS_SELECT_ARCHIVE_FILE_TABLE",
          u"SYS_SELECT_ARCHIVE_MASTER_FILE_TABLE", u"SYS_SELECT_ARCHIVE_PICTURE_TABLE"})
      QTest::newRow(QString::fromUtf16(g).toLatin1().constData())
          << QString::fromUtf16(g) << k({u"USE_ID", u"FORM_NAME", u"DBGRID_NAME", u"FIELD_NAME"});
    QTest::newRow("back") << u"SYS_BACK_TABLE"_qs << QStringList();
  }
  void tablesAndKeys() {
    QFETCH(QString, table);
    QFETCH(QStringList, key);
    static zr::test::TestEnv env;
    static Database &db = env.installAndOpen();
    const TableDef *t = db.catalog().table(table);
    QVERIFY2(t, qPrintable(table));
    QCOMPARE(t->key, key);
  }

  void everyTableInstalled() {
    zr::test::TestEnv env;
    Database &db = env.installAndOpen();
    QStringList expected;
    for (const auto &t : zr::db::archiveSchema())
      expected << t.name;
    QCOMPARE(db.tables(), expected);
  }

  // Column shapes that other windows depend on.
  void columnShapes_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("width");
    QTest::newRow("user name") << u"SYS_USER_TABLE"_qs << u"USE_NAME"_qs << int(ColumnKind::Text) << 20;
    QTest::newRow("title") << u"ZR_ARCHIVE_MASTER_TABLE"_qs << u"ARCHIVE_NAME"_qs << int(ColumnKind::Text)
                           << 180;
    QTest::newRow("long text") << u"ZR_ARCHIVE_MASTER_TABLE"_qs << u"TEXT_FIELD11"_qs << int(ColumnKind::Text)
                               << 160;
    QTest::newRow("display long text")
        << u"ZR_ARCHIVE_MASTER_SHOW_TABLE"_qs << u"TEXT_FIELD11"_qs << int(ColumnKind::Text) << 50;
    QTest::newRow("display type name")
        << u"ZR_ARCHIVE_MASTER_SHOW_TABLE"_qs << u"ARCHIVE_TYPE_NAME"_qs << int(ColumnKind::Text) << 20;
    QTest::newRow("date") << u"ZR_ARCHIVE_LEND_TABLE"_qs << u"RETURN_DATE"_qs << int(ColumnKind::Date) << 0;
    QTest::newRow("number") << u"ZR_ARCHIVE_DETAIL_TABLE"_qs << u"DETAIL_NUMBER_FIELD6"_qs
                            << int(ColumnKind::Float) << 0;
    QTest::newRow("order") << u"ZR_INTO_ARCHIVE_FIELD_TABLE"_qs << u"FIELD_ORDER"_qs << int(ColumnKind::Float)
                           << 0;
    QTest::newRow("integer") << u"SYS_ARCHIVE_FIELD_TABLE"_qs << u"FIELD_ITERATION"_qs
                             << int(ColumnKind::Integer) << 0;
    QTest::newRow("blob") << u"SYS_PRINT_DATA_TABLE"_qs << u"PRINT_TABLE"_qs << int(ColumnKind::Blob) << 0;
    QTest::newRow("margin") << u"SYS_PRINT_TABLE"_qs << u"BUTTOM_MARGIN"_qs << int(ColumnKind::Float) << 0;
    QTest::newRow("template id") << u"SYS_PRINT_NAME_TABLE"_qs << u"PRINT_ID"_qs << int(ColumnKind::Text)
                                 << 26;
  }
  void columnShapes() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(int, kind);
    QFETCH(int, width);
    const auto *t = zr::db::archiveTable(table);
    QVERIFY(t);
    const auto *c = t->column(column);
    QVERIFY(c);
    QCOMPARE(int(c->kind), kind);
    QCOMPARE(c->width, width);
  }

  void deliveredRowsAndAlias() {
    zr::test::TestEnv env;
    Database &db = env.installAndOpen();
    QCOMPARE(alias::directory(QString::fromUtf16(kAliasName), env.store()),
             QDir(env.dataDir()).absolutePath());
    Query q(db, u"SELECT PROGRAM_NAME FROM SYS_PROGRAM_TABLE WHERE COMPOSE_ID = 1 AND PROGRAM_ID = 3"_qs);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), u"档案明细资料查询管理"_qs);
    // every program the first user is granted exists, and every program named by a window is delivered
    for (auto [g, p] :
         QList<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 1}, {2, 2}}) {
      Query c(db, u"SELECT COUNT(*) FROM SYS_PROGRAM_TABLE WHERE COMPOSE_ID = " % QString::number(g) %
                      u" AND PROGRAM_ID = " % QString::number(p));
      QVERIFY(c.next());
      QCOMPARE(c.value(0).toInt(), 1);
    }
    Query groups(db, u"SELECT COMPOSE_NAME FROM SYS_COMPOSE_TABLE ORDER BY COMPOSE_ID"_qs);
    QStringList names;
    while (groups.next())
      names << groups.value(0).toString();
    QCOMPARE(names, (QStringList{u"档案管理"_qs, u"系统管理"_qs}));
  }

  void installRefusesExistingData() {
    zr::test::TestEnv env;
    env.installAndOpen();
    const auto again = zr::db::install(env.dataDir(), env.store());
    QVERIFY(!again.ok);
    QVERIFY(again.message.contains(u"已经存在"));
    QVERIFY(QFileInfo::exists(env.dataDir() + u'/' + QString::fromUtf16(kDatabaseFile)));
    // an empty directory is taken
    QDir().mkpath(env.root() + u"/empty");
    QVERIFY(zr::db::install(env.root() + u"/empty", env.store()).ok);
    QCOMPARE(alias::directory(QString::fromUtf16(kAliasName), env.store()),
             QDir(env.root() + u"/empty").absolutePath());
    // no staging folders are left behind
    QCOMPARE(QDir(env.root()).entryList(QStringList{u"*.install-*"_qs}, QDir::Dirs).size(), 0);
  }

  void seedTemplatesCopied() {
    zr::test::TestEnv env;
    QDir().mkpath(env.root() + u"/seeds");
    QFile f(env.root() + u"/seeds/200700000001");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("seed");
    f.close();
    QVERIFY(zr::db::install(env.dataDir(), env.store(), env.root() + u"/seeds").ok);
    QVERIFY(QFileInfo::exists(env.dataDir() + u"/200700000001"));
  }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
