// zradmin backup: what an administrator's script sees, on a data directory of its own.
#include "db/installer.h"
#include "maintenance/backupfile.h"
#include "platform/sql/database.h"
#include "tests/support/testenv.h"
#include "tools/zradmin/commands.h"

#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QRandomGenerator>
#include <QtTest/QTest>

#include <zlib.h>

#include <limits>

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

// The date-time as the backup holds it: in two-second steps.
QString storedTime(const QFileInfo &fi) {
  using namespace zr::maintenance;
  return unpackDosDateTime(packDosDateTime(fi.lastModified())).toString(u"yyyy-MM-dd hh:mm:ss");
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
  void hostileBackups_data();
  void hostileBackups();
  void namesStayInsideTheFolder_data();
  void namesStayInsideTheFolder();
};

void TestZradminBackup::helpStatesTheContract() {
  const Run r = zradmin({u"help"_qs});
  QCOMPARE(r.rc, 0);
  for (const char16_t *s :
       {u"zradmin backup create [--level fastest|none|default|max] [--max-size BYTES] [--file-list]\n"
        u"                      [--title TEXT] [--incremental] DEST SOURCE\n",
        u"zradmin backup restore [--mode all|no-overwrite|newer|existing|existing-newer] BACKUP DESTDIR\n",
        u"zradmin backup list BACKUP\n", u"zradmin backup verify BACKUP\n"})
    QVERIFY2(r.out.contains(QStringView(s)), qPrintable(QString::fromUtf16(s)));
}

void TestZradminBackup::dataDirectoryRoundTrip() {
  zr::test::TestEnv env;
  QVERIFY(zr::db::install(env.dataDir(), env.store(), env.root() + u"/no-seeds").ok);
  const QString file = env.root() + u"/单位典藏库房单机版2024-05-01 10.30备份文件";

  Run r = zradmin({u"backup"_qs, u"create"_qs, u"--title"_qs, u"月度"_qs, file, env.dataDir()});
  QCOMPARE(r.err, QString());
  QCOMPARE(r.rc, 0);
  QCOMPARE(r.out, file + u'\n');

  r = zradmin({u"backup"_qs, u"list"_qs, file});
  QCOMPARE(r.rc, 0);
  const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
  const QStringList dataFiles = QDir(env.dataDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  QCOMPARE(lines.size(), 1 + dataFiles.size());
  qint64 total = 0;
  for (int i = 0; i < dataFiles.size(); ++i) {
    const QFileInfo fi(QDir(env.dataDir()).absoluteFilePath(dataFiles[i]));
    const QStringList row = lines[i + 1].split(u'\t');
    QCOMPARE(row, (QStringList{fi.absoluteFilePath(), storedTime(fi), QString::number(fi.size())}));
    total += fi.size();
  }
  QCOMPARE(lines[0], u"月度\t"_qs + QString::number(total) + u'\t' + QString::number(dataFiles.size()));

  r = zradmin({u"backup"_qs, u"verify"_qs, file});
  QCOMPARE(r.rc, 0);
  QCOMPARE(r.out, u"ok\n"_qs);

  const QString restored = env.root() + u"/restored";
  r = zradmin({u"backup"_qs, u"restore"_qs, file, restored});
  QCOMPARE(r.rc, 0);
  const QString db = restored + u'/' + QString::fromUtf16(zr::sql::kDatabaseFile);
  QVERIFY(r.out.split(u'\n').contains(db));
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
  for (const QString &name : {u"src/a.bin"_qs, u"src/sub/b.bin"_qs, u"src/c.txt"_qs}) {
    QFile f(tmp.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(noise);
  }
  const QString file = tmp.filePath(u"x.bak"_qs);
  Run r = zradmin({u"backup"_qs, u"create"_qs, u"--level"_qs, u"max"_qs, u"--max-size"_qs, u"30000"_qs,
                   u"--file-list"_qs, u"--title"_qs, u"周"_qs, file, tmp.filePath(u"src/*.bin /s"_qs)});
  QCOMPARE(r.err, QString());
  QCOMPARE(r.rc, 0);
  const QStringList volumes = r.out.split(u'\n', Qt::SkipEmptyParts);
  QVERIFY(volumes.size() >= 3);
  QCOMPARE(volumes[0], file);
  QCOMPARE(volumes[1], tmp.filePath(u"x.002"_qs));

  r = zradmin({u"backup"_qs, u"list"_qs, file});
  QCOMPARE(r.rc, 0);
  const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
  QCOMPARE(lines.size(), 4);
  QVERIFY2(lines[0].startsWith(u"周\t"_qs), qPrintable(lines[0]));
  QVERIFY(lines[0].endsWith(u"\t2"_qs));
  QVERIFY(lines[1].startsWith(u"FILE:LIST\t"));
  QVERIFY(lines[2].startsWith(QFileInfo(tmp.filePath(u"src/sub/b.bin"_qs)).absoluteFilePath() + u'\t'));
  QVERIFY(lines[3].endsWith(u"\t60000"));

  r = zradmin({u"backup"_qs, u"verify"_qs, file});
  QCOMPARE(r.rc, 0);
  QCOMPARE(r.out, u"ok\n"_qs);

  const QString out = tmp.filePath(u"out"_qs);
  r = zradmin({u"backup"_qs, u"restore"_qs, file, out});
  QCOMPARE(r.rc, 0);
  QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name),
           (QStringList{u"a.bin"_qs, u"b.bin"_qs}));
  QFile back(tmp.filePath(u"out/b.bin"_qs));
  QVERIFY(back.open(QIODevice::ReadOnly));
  QCOMPARE(back.readAll(), noise);

  // A lost continuation volume: verify says so, restore writes nothing.
  QVERIFY(QFile::remove(volumes.last()));
  r = zradmin({u"backup"_qs, u"verify"_qs, file});
  QCOMPARE(r.rc, 1);
  QVERIFY(r.err.contains(u"不能读备份的文件"));
  const QString out2 = tmp.filePath(u"out2"_qs);
  r = zradmin({u"backup"_qs, u"restore"_qs, file, out2});
  QCOMPARE(r.rc, 1);
  QVERIFY(!QFileInfo::exists(out2));
}

void TestZradminBackup::failures_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QByteArray>("content"); // written to x.bak first, when not empty
  QTest::addColumn<int>("rc");
  QTest::addColumn<QString>("message");
  const QString bak = u"@/x.bak"_qs; // @ stands for the test's folder
  const QStringList create{u"backup"_qs, u"create"_qs};
  QTest::newRow("no subcommand") << QStringList{u"backup"_qs} << QByteArray() << 2 << u"usage"_qs;
  QTest::newRow("unknown level") << create + QStringList{u"--level"_qs, u"huge"_qs, bak, u"@/src"_qs}
                                 << QByteArray() << 2 << u"unknown level"_qs;
  QTest::newRow("create without a source") << create + QStringList{bak} << QByteArray() << 2 << u"usage"_qs;
  QTest::newRow("max size not a number")
      << create + QStringList{u"--max-size"_qs, u"big"_qs, bak, u"@/src"_qs} << QByteArray() << 2
      << u"--max-size"_qs;
  QTest::newRow("unknown option") << create + QStringList{u"--volume-size"_qs, u"9"_qs, bak, u"@/src"_qs}
                                  << QByteArray() << 2 << u"usage"_qs;
  QTest::newRow("restore without a folder")
      << QStringList{u"backup"_qs, u"restore"_qs, bak} << QByteArray("x") << 2 << u"usage"_qs;
  QTest::newRow("unknown mode") << QStringList{u"backup"_qs, u"restore"_qs, u"--mode"_qs,
                                               u"some"_qs,   bak,           u"@/o"_qs}
                                << QByteArray("x") << 2 << u"usage"_qs;
  QTest::newRow("missing backup") << QStringList{u"backup"_qs, u"verify"_qs, bak} << QByteArray() << 1
                                  << u"不能读备份的文件"_qs;
  QTest::newRow("restore of a missing backup") << QStringList{u"backup"_qs, u"restore"_qs, bak, u"@/out"_qs}
                                               << QByteArray() << 1 << u"不能读备份的文件"_qs;
  QTest::newRow("volume too small") << create + QStringList{u"--max-size"_qs, u"1000"_qs, bak, u"@/src"_qs}
                                    << QByteArray() << 1 << u"不能写备份的文件"_qs;
  QTest::newRow("destination folder missing") << create + QStringList{u"@/no/such/x.bak"_qs, u"@/src"_qs}
                                              << QByteArray() << 1 << u"不能写备份的文件"_qs;
}

void TestZradminBackup::failures() {
  QFETCH(QStringList, args);
  QFETCH(QByteArray, content);
  QFETCH(int, rc);
  QFETCH(QString, message);
  QTemporaryDir tmp;
  QDir().mkpath(tmp.filePath(u"src"_qs));
  QFile src(tmp.filePath(u"src/a.txt"_qs));
  QVERIFY(src.open(QIODevice::WriteOnly));
  src.write("some data");
  src.close();
  for (QString &a : args)
    a.replace(u'@', tmp.path());
  if (!content.isEmpty()) {
    QFile f(tmp.filePath(u"x.bak"_qs));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  const Run r = zradmin(args);
  QCOMPARE(r.rc, rc);
  QCOMPARE(r.out, QString());
  QVERIFY(!r.err.isEmpty());
  QVERIFY2(r.err.contains(message), qPrintable(r.err));
  if (rc == 1 && args.value(1) == u"create")
    QVERIFY(!QFile::exists(tmp.filePath(u"x.bak"_qs)));
}

namespace {

QByteArray le(qint32 v) {
  QByteArray b(4, 0);
  for (int i = 0; i < 4; ++i)
    b[i] = char(quint32(v) >> (8 * i) & 0xFF);
  return b;
}

QByteArray lenString(const QByteArray &s) {
  return le(qint32(s.size())) + s;
}

QByteArray zlibStream(const QByteArray &data) {
  uLongf n = compressBound(uLong(data.size()));
  QByteArray out(int(n), 0);
  compress2(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(data.constData()),
            uLong(data.size()), 9);
  return out.left(int(n));
}

// An entry with its segment as given (chunks and the closing zero).
QByteArray entry(const QByteArray &name, const QByteArray &segment) {
  return lenString(name) + le(0x52CE7A4D) + segment;
}

const QByteArray kMagic("EC2\0", 4);

// The sound part every hostile backup starts with: a title, and a file that would be restored.
QByteArray soundStart(qint32 count) {
  return lenString("t") + le(100) + le(count) +
         entry("c:\\zr\\data\\good.db", kMagic + lenString(zlibStream("good")) + le(0));
}

// Every folder and file below dir, files with their size and time, to see that nothing changed.
// (A folder's own time moves with any temporary file made and removed in it.)
QStringList snapshot(const QString &dir) {
  QStringList out;
  QDirIterator it(dir, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo fi(it.next());
    const QString name = QDir(dir).relativeFilePath(fi.filePath());
    out << (fi.isDir() ? name
                       : name % u'\t' % QString::number(fi.size()) % u'\t' %
                             fi.lastModified().toString(Qt::ISODateWithMs));
  }
  out.sort();
  return out;
}

} // namespace

void TestZradminBackup::hostileBackups_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("message");
  const QByteArray sound = soundStart(2);
  const QByteArray second = entry("c:\\zr\\data\\b.db", QByteArray());
  QTest::newRow("truncated") << QByteArray(sound + second + kMagic + le(-10) + "abc")
                             << u"不能读备份的文件"_qs;
  QTest::newRow("no trailer") << QByteArray(sound + second + kMagic + le(0)) << u"不能读备份的文件"_qs;
  QTest::newRow("bad magic") << QByteArray(sound + second + "EC3\0" + le(0) + le(0)) << u"无效的备份文件"_qs;
  QTest::newRow("not a backup at all")
      << QByteArray("PK\3\4 this is some other file") << u"不能读备份的文件"_qs;
  QTest::newRow("chunk past 16384") << QByteArray(sound + second + kMagic + le(16385) +
                                                  QByteArray(16385, 'x') + le(0) + le(0))
                                    << u"无效的备份文件"_qs;
  QTest::newRow("raw chunk past 16384")
      << QByteArray(sound + second + kMagic + le(-16385) + QByteArray(16385, 'x') + le(0) + le(0))
      << u"无效的备份文件"_qs;
  QTest::newRow("chunk inflating past 16384")
      << QByteArray(sound + second + kMagic + lenString(zlibStream(QByteArray(16385, 'z'))) + le(0) + le(0))
      << u"无效的备份文件"_qs;
  QTest::newRow("name length 2^31 - 1")
      << QByteArray(sound + le(std::numeric_limits<qint32>::max()) + "abc") << u"无效的备份文件"_qs;
  QTest::newRow("title length 2^31 - 1")
      << QByteArray(le(std::numeric_limits<qint32>::max()) + "abc") << u"不能读备份的文件"_qs;
  QTest::newRow("name without a file part")
      << QByteArray(sound + entry("c:\\zr\\..", kMagic + le(0)) + le(0)) << u"无效的备份文件"_qs;
  QTest::newRow("NUL in the name") << QByteArray(sound + entry(QByteArray("/x/a\0b", 6), kMagic + le(0)) +
                                                 le(0))
                                   << u"无效的备份文件"_qs;
}

// A damaged or forged backup: every subcommand says what is wrong and exits 1, and restore
// leaves the machine as it was, not even writing the sound file before the damage.
void TestZradminBackup::hostileBackups() {
  QFETCH(QByteArray, content);
  QFETCH(QString, message);
  QTemporaryDir tmp;
  QFile f(tmp.filePath(u"x.bak"_qs));
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(content);
  f.close();
  QFile existing(tmp.filePath(u"out/good.db"_qs));
  QVERIFY(QDir().mkpath(tmp.filePath(u"out"_qs)));
  QVERIFY(existing.open(QIODevice::WriteOnly));
  existing.write("before");
  existing.close();
  const QStringList before = snapshot(tmp.path());
  for (const QString &sub : {u"list"_qs, u"verify"_qs, u"restore"_qs}) {
    QStringList args{u"backup"_qs, sub, tmp.filePath(u"x.bak"_qs)};
    if (sub == u"restore")
      args << tmp.filePath(u"out"_qs);
    const Run r = zradmin(args);
    QCOMPARE(r.rc, 1);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.startsWith(message), qPrintable(sub + u": " + r.err));
    QCOMPARE(snapshot(tmp.path()), before);
  }
  // Restoring into a folder that does not exist yet leaves no folder either.
  const Run r =
      zradmin({u"backup"_qs, u"restore"_qs, tmp.filePath(u"x.bak"_qs), tmp.filePath(u"new/dir"_qs)});
  QCOMPARE(r.rc, 1);
  QCOMPARE(snapshot(tmp.path()), before);
}

void TestZradminBackup::namesStayInsideTheFolder_data() {
  QTest::addColumn<QByteArray>("name");
  QTest::addColumn<QString>("restoredAs");
  QTest::newRow("windows path") << QByteArray("c:\\zr\\data\\a.db") << u"a.db"_qs;
  QTest::newRow("up with backslashes") << QByteArray("..\\..\\x") << u"x"_qs;
  QTest::newRow("up with slashes") << QByteArray("../x") << u"x"_qs;
  QTest::newRow("absolute") << QByteArray("/etc/x") << u"x"_qs;
}

void TestZradminBackup::namesStayInsideTheFolder() {
  QFETCH(QByteArray, name);
  QFETCH(QString, restoredAs);
  QTemporaryDir tmp;
  QFile f(tmp.filePath(u"x.bak"_qs));
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(lenString("") + le(4) + le(1) + entry(name, kMagic + le(-4) + "data" + le(0)) + le(0));
  f.close();
  const Run r = zradmin({u"backup"_qs, u"restore"_qs, tmp.filePath(u"x.bak"_qs), tmp.filePath(u"a/out"_qs)});
  QCOMPARE(r.err, QString());
  QCOMPARE(r.rc, 0);
  QCOMPARE(r.out, tmp.filePath(u"a/out/"_qs + restoredAs) + u'\n');
  QStringList files;
  for (const QString &line : snapshot(tmp.path()))
    files << line.section(u'\t', 0, 0);
  QCOMPARE(files, (QStringList{u"a"_qs, u"a/out"_qs, u"a/out/"_qs + restoredAs, u"x.bak"_qs}));
}

QTEST_GUILESS_MAIN(TestZradminBackup)
#include "tst_zradmin_backup.moc"
