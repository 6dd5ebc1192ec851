// zradmin backup: what an administrator's script sees, on a data directory of its own.
#include "db/installer.h"
#include "platform/sql/database.h"
#include "tests/support/testenv.h"
#include "tools/zradmin/commands.h"

#include <QtCore/QDir>
#include <QtCore/QRandomGenerator>
#include <QtTest/QTest>

namespace {

struct Run {
  int rc;
  QString out;
  QString err;
};

Run zradmin(const QStringList &args) {
  Run r{0, {}, {}};
  QTextStream out(&r.out);
  QTextStream err(&r.err);
  r.rc = zr::admin::run(args, out, err);
  out.flush();
  err.flush();
  return r;
}

} // namespace

class TestZradminBackup : public QObject {
  Q_OBJECT

private slots:
  void helpStatesTheContract();
  void dataDirectoryRoundTrip();
  void volumesAndSources();
  void failures_data();
  void failures();
};

void TestZradminBackup::helpStatesTheContract() {
  const Run r = zradmin({u"help"_qs});
  QCOMPARE(r.rc, 0);
  for (const char16_t *s : {u"zradmin backup create", u"zradmin backup restore", u"zradmin backup list",
                            u"zradmin backup verify"})
    QVERIFY2(r.out.contains(QStringView(s)), qPrintable(QString::fromUtf16(s)));
}

void TestZradminBackup::dataDirectoryRoundTrip() {
  zr::test::TestEnv env;
  QVERIFY(zr::db::install(env.dataDir(), env.store(), env.root() + u"/no-seeds").ok);
  const QString file = env.root() + u"/单位典藏库房单机版2024-05-01 10.30备份文件";

  Run r = zradmin({u"backup"_qs, u"create"_qs, u"--title"_qs, u"月度"_qs, file});
  QCOMPARE(r.err, QString());
  QCOMPARE(r.rc, 0);
  QCOMPARE(r.out, file + u'\n');

  r = zradmin({u"backup"_qs, u"list"_qs, file});
  QCOMPARE(r.rc, 0);
  const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
  QCOMPARE(lines.first(), u"name\tmodified\tsize\tstored\tvolume"_qs);
  // The journal was folded into the database: the directory is its one file.
  QCOMPARE(lines.size(), 2);
  const QStringList row = lines[1].split(u'\t');
  QCOMPARE(row[0], QDir(env.dataDir()).absoluteFilePath(QString::fromUtf16(zr::sql::kDatabaseFile)));
  QCOMPARE(row[2].toLongLong(), QFileInfo(row[0]).size());
  QCOMPARE(row[4], u"1"_qs);

  r = zradmin({u"backup"_qs, u"verify"_qs, file});
  QCOMPARE(r.rc, 0);
  QVERIFY(r.out.startsWith(u"title\t月度\nfiles\t1\nlisted\t1\n"));
  QVERIFY(r.out.endsWith(u"volumes\t1\nok\n"));

  const QString restored = env.root() + u"/restored";
  r = zradmin({u"backup"_qs, u"restore"_qs, file, restored});
  QCOMPARE(r.rc, 0);
  const QString db = restored + u'/' + QString::fromUtf16(zr::sql::kDatabaseFile);
  QCOMPARE(r.out, db + u'\n');
  QCOMPARE(zr::sql::Database::checkFile(db), QString());

  // Restoring again with "no-overwrite" writes nothing.
  r = zradmin({u"backup"_qs, u"restore"_qs, u"--mode"_qs, u"no-overwrite"_qs, file, restored});
  QCOMPARE(r.rc, 0);
  QCOMPARE(r.out, QString());
}

void TestZradminBackup::volumesAndSources() {
  QTemporaryDir tmp;
  QDir().mkpath(tmp.filePath(u"src/sub"_qs));
  QByteArray noise(60000, Qt::Uninitialized);
  QRandomGenerator g(11);
  for (char &c : noise)
    c = char(g.generate() & 0xFF);
  for (const QString &name : {u"src/a.bin"_qs, u"src/sub/b.bin"_qs}) {
    QFile f(tmp.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(noise);
  }
  const QString file = tmp.filePath(u"x.bak"_qs);
  Run r = zradmin({u"backup"_qs, u"create"_qs, u"--volume-size"_qs, u"30000"_qs, u"--file-list"_qs,
                   u"--level"_qs, u"max"_qs, file, tmp.filePath(u"src/*.bin /s"_qs)});
  QCOMPARE(r.rc, 0);
  const QStringList volumes = r.out.split(u'\n', Qt::SkipEmptyParts);
  QVERIFY(volumes.size() >= 3);
  QCOMPARE(volumes[0], file);
  QCOMPARE(volumes[1], tmp.filePath(u"x.002"_qs));

  r = zradmin({u"backup"_qs, u"list"_qs, file});
  QCOMPARE(r.rc, 0);
  const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
  QCOMPARE(lines.size(), 4);
  QVERIFY(lines[1].startsWith(u"FILE:LIST\t"));
  QVERIFY(lines[2].startsWith(QFileInfo(tmp.filePath(u"src/sub/b.bin"_qs)).absoluteFilePath() + u'\t'));
  QVERIFY(lines[3].contains(u"\t60000\t"));

  r = zradmin({u"backup"_qs, u"verify"_qs, file});
  QCOMPARE(r.rc, 0);
  QVERIFY(r.out.contains(u"files\t2\n"));
  QVERIFY(r.out.contains(u"volumes\t" + QString::number(volumes.size()) + u'\n'));

  QVERIFY(QDir(tmp.filePath(u"src"_qs)).removeRecursively());
  r = zradmin({u"backup"_qs, u"restore"_qs, u"--full-path"_qs, file});
  QCOMPARE(r.rc, 0);
  QCOMPARE(r.out.count(u'\n'), 2);
  QFile back(tmp.filePath(u"src/sub/b.bin"_qs));
  QVERIFY(back.open(QIODevice::ReadOnly));
  QCOMPARE(back.readAll(), noise);
}

void TestZradminBackup::failures_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QByteArray>("content"); // written to x.bak first, when not empty
  QTest::addColumn<int>("rc");
  QTest::addColumn<QString>("message");
  const QString bak = u"@/x.bak"_qs; // @ stands for the test's folder
  QTest::newRow("no subcommand") << QStringList{u"backup"_qs} << QByteArray() << 2 << u"usage"_qs;
  QTest::newRow("unknown level") << QStringList{u"backup"_qs, u"create"_qs, u"--level"_qs, u"huge"_qs, bak}
                                 << QByteArray() << 2 << u"unknown level"_qs;
  QTest::newRow("restore without a folder")
      << QStringList{u"backup"_qs, u"restore"_qs, bak} << QByteArray("x") << 2 << u"usage"_qs;
  QTest::newRow("missing backup") << QStringList{u"backup"_qs, u"verify"_qs, bak} << QByteArray() << 1
                                  << u"不能读备份的文件"_qs;
  QTest::newRow("restore of a missing backup") << QStringList{u"backup"_qs, u"restore"_qs, bak, u"@/out"_qs}
                                               << QByteArray() << 1 << u"不能读备份的文件"_qs;
  QTest::newRow("not a backup") << QStringList{u"backup"_qs, u"list"_qs, bak}
                                << QByteArray("\0\0\0\0\0\0\0\0\1\0\0\0\2\0\0\0/a\0\0\0\0EC3\0", 26) << 1
                                << u"无效的备份文件"_qs;
  QTest::newRow("cut short") << QStringList{u"backup"_qs, u"verify"_qs, bak} << QByteArray("\0\0\0\0\0\0", 6)
                             << 1 << u"不能读备份的文件"_qs;
  QTest::newRow("no alias") << QStringList{u"backup"_qs, u"create"_qs, bak} << QByteArray() << 1 << QString();
  QTest::newRow("volume too small") << QStringList{u"backup"_qs, u"create"_qs, u"--volume-size"_qs,
                                                   u"1000"_qs,   bak,          u"@/src"_qs}
                                    << QByteArray() << 1 << u"不能写备份的文件"_qs;
}

void TestZradminBackup::failures() {
  QFETCH(QStringList, args);
  QFETCH(QByteArray, content);
  QFETCH(int, rc);
  QFETCH(QString, message);
  zr::test::TestEnv env; // an empty settings store: no alias
  QDir().mkpath(env.root() + u"/src");
  for (QString &a : args)
    a.replace(u'@', env.root());
  if (!content.isEmpty()) {
    QFile f(env.root() + u"/x.bak");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  const Run r = zradmin(args);
  QCOMPARE(r.rc, rc);
  QCOMPARE(r.out, QString());
  QVERIFY(!r.err.isEmpty());
  QVERIFY2(r.err.contains(message), qPrintable(r.err));
  if (rc == 1 && args.value(1) == u"create")
    QVERIFY(!QFile::exists(env.root() + u"/x.bak"));
}

QTEST_GUILESS_MAIN(TestZradminBackup)
#include "tst_zradmin_backup.moc"
