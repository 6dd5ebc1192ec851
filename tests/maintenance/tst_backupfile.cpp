// The backup file: its bytes, its chunks and volumes, and what restore writes where.
#include "maintenance/backupfile.h"
#include "platform/os/fileflags.h"
#include "platform/os/gbk.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QRandomGenerator>
#include <QtCore/QSaveFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>

#include <zlib.h>

using namespace zr::maintenance;

namespace {

const QDateTime kStamp(QDate(2021, 3, 14), QTime(15, 9, 26));

QByteArray randomBytes(int n, quint32 seed = 7) {
  QByteArray b(n, Qt::Uninitialized);
  QRandomGenerator g(seed);
  for (int i = 0; i < n; ++i)
    b[i] = char(g.generate() & 0xFF);
  return b;
}

QByteArray textBytes(int n) {
  QByteArray b;
  for (int i = 0; b.size() < n; ++i)
    b += "line " + QByteArray::number(i) + " of a register of archive volumes\n";
  return b.left(n);
}

void writeFile(const QString &path, const QByteArray &data, const QDateTime &mtime = kStamp) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(data), data.size());
  f.flush();
  QVERIFY(f.setFileTime(mtime, QFileDevice::FileModificationTime));
}

QByteArray readAll(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray le(qint32 v) {
  QByteArray b(4, 0);
  for (int i = 0; i < 4; ++i)
    b[i] = char(quint32(v) >> (8 * i) & 0xFF);
  return b;
}

QByteArray lenString(const QByteArray &s) {
  return le(qint32(s.size())) + s;
}

QByteArray zlibStream(const QByteArray &data, int level) {
  uLongf n = compressBound(uLong(data.size()));
  QByteArray out(int(n), 0);
  compress2(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(data.constData()),
            uLong(data.size()), level);
  return out.left(int(n));
}

qint32 int32At(const QByteArray &b, qsizetype at) {
  return qint32(quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
                quint32(quint8(b[at + 3])) << 24);
}

// The chunk lengths of the first entry of a one-file backup with an empty title.
QList<qint32> chunkLengths(const QByteArray &backup) {
  qsizetype at = 4 + 4 + 4;          // title length 0, total, count
  at += 4 + int32At(backup, at) + 4; // name, date-time
  at += 4;                           // magic
  QList<qint32> lengths;
  for (;;) {
    const qint32 n = int32At(backup, at);
    at += 4;
    if (n == 0)
      break;
    lengths << n;
    at += n < 0 ? -n : n;
  }
  return lengths;
}

// A backup made by hand, each entry's data in one raw chunk, so names and header are free.
QByteArray handMade(const QList<std::pair<QByteArray, QByteArray>> &entries, qint32 total = 0) {
  QByteArray b = le(0) + le(total) + le(qint32(entries.size()));
  for (const auto &[name, data] : entries) {
    b += lenString(name) + le(qint32(packDosDateTime(kStamp))) + QByteArray("EC2\0", 4);
    if (!data.isEmpty())
      b += le(-qint32(data.size())) + data;
    b += le(0);
  }
  return b + le(0);
}

// Every file below dir, relative to it.
QStringList filesBelow(const QString &dir) {
  QStringList out;
  QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext())
    out << QDir(dir).relativeFilePath(it.next());
  out.sort();
  return out;
}

QStringList filesIn(const QString &dir) {
  return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestBackupFile : public QObject {
  Q_OBJECT

private slots:
  void defaults();
  void dosDateTime_data();
  void dosDateTime();
  void changeFileExt_data();
  void changeFileExt();

  void bytesOfASmallBackup();
  void emptyFileIsEntryMagicAndZero();
  void chunks_data();
  void chunks();
  void roundTripKeepsContentAndTime();
  void volumesNeverExceedTheLimit();
  void floppyDriveSetsTheVolumeSize();
  void volumeTooSmallIsRefused();
  void threadsWriteTheSameBytes_data();
  void threadsWriteTheSameBytes();
  void restoreModes_data();
  void restoreModes();
  void equalNamesOverwriteInOrder();
  void fileListEntry();
  void restoreEventsRenameAndVeto();
  void restoreWithoutFolderUsesTheCurrentOne();
  void restoredNames_data();
  void restoredNames();
  void namesKeepTheirCase();
  void progressStaysInRange_data();
  void progressStaysInRange();
  void patterns();
  void backupSkipsItself();
  void incrementalTakesChangedFiles();
  void streams();
  void stoppedBackupLeavesNothing();
  void failedBackupLeavesNothing();
  void unencodableNameIsRefused();
  void stoppedRestoreLeavesNoHalfFile();
  void damagedBackups_data();
  void damagedBackups();
  void missingSourceFailsQuietly();
  void missingVolumeIsAskedFor();
};

void TestBackupFile::defaults() {
  TZRBackupFile b;
  QCOMPARE(TZRBackupFile::version(), u"5.00"_qs);
  QCOMPARE(b.backupMode(), bmAll);
  QCOMPARE(b.compressionLevel(), clFastest);
  QCOMPARE(b.restoreMode(), rmAll);
  QCOMPARE(b.maxSize(), 0);
  QVERIFY(!b.setArchiveFlag());
  QVERIFY(!b.saveFileID());
  QVERIFY(b.backupTitle().isEmpty());
  b.setBackupMode(bmIncremental);
  QVERIFY(b.setArchiveFlag());
  QCOMPARE(zlibLevel(clFastest), 1);
  QCOMPARE(zlibLevel(clNone), 0);
  QCOMPARE(zlibLevel(clDefault), -1);
  QCOMPARE(zlibLevel(clMax), 9);
  QCOMPARE(backupErrorText(5), u"无效的备份文件"_qs);
  QCOMPARE(backupErrorText(7), u"不能建立临时文件去保存文件标示"_qs);
  QCOMPARE(floppyWarningText(u'b'), u"请插入一个空白的软盘到驱动器B"_qs);
  QCOMPARE(needDiskText(u"2"_qs), u"请插入一个空白的磁盘2并且按《确定》按钮继续。"_qs);
}

void TestBackupFile::dosDateTime_data() {
  QTest::addColumn<QDateTime>("when");
  QTest::addColumn<quint32>("packed");
  QTest::addColumn<QDateTime>("back");
  QTest::newRow("ordinary") << kStamp
                            << quint32((41u << 25 | 3u << 21 | 14u << 16) | (15u << 11 | 9u << 5 | 13u))
                            << kStamp;
  QTest::newRow("odd second rounds down")
      << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1)) << quint32(20u << 25 | 1u << 21 | 1u << 16)
      << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0));
  QTest::newRow("before 1980") << QDateTime(QDate(1970, 6, 1), QTime(12, 0)) << quint32(1u << 21 | 1u << 16)
                               << QDateTime(QDate(1980, 1, 1), QTime(0, 0));
  QTest::newRow("after 2044 sets the top bit")
      << QDateTime(QDate(2050, 1, 2), QTime(0, 0)) << quint32(70u << 25 | 1u << 21 | 2u << 16)
      << QDateTime(QDate(2050, 1, 2), QTime(0, 0));
}

void TestBackupFile::dosDateTime() {
  QFETCH(QDateTime, when);
  QFETCH(quint32, packed);
  QFETCH(QDateTime, back);
  QCOMPARE(packDosDateTime(when), packed);
  QCOMPARE(unpackDosDateTime(packed), back);
  QVERIFY(!unpackDosDateTime(0).isValid()); // month 0
}

void TestBackupFile::changeFileExt_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("result");
  QTest::newRow("extension") << u"/b/x.bak"_qs << u"/b/x.002"_qs;
  QTest::newRow("none") << u"/b/x"_qs << u"/b/x.002"_qs;
  QTest::newRow("dot in folder") << u"/b.d/x"_qs << u"/b.d/x.002"_qs;
  QTest::newRow("last dot counts") << u"/b/单位典藏库房单机版2024-05-01 10.30备份文件"_qs
                                   << u"/b/单位典藏库房单机版2024-05-01 10.002"_qs;
}

void TestBackupFile::changeFileExt() {
  QFETCH(QString, path);
  QFETCH(QString, result);
  QCOMPARE(zr::maintenance::changeFileExt(path, u".002"_qs), result);
}

void TestBackupFile::bytesOfASmallBackup() {
  QTemporaryDir tmp;
  const QString file = tmp.filePath(u"src/档案.txt"_qs);
  writeFile(file, "hello hello hello");
  TZRBackupFile b;
  b.setBackupTitle(u"月度备份"_qs);
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));

  const QByteArray name = zr::gbk::encode(QFileInfo(file).absoluteFilePath());
  const QByteArray expected = lenString(zr::gbk::encode(u"月度备份")) + le(17) + le(1) + lenString(name) +
                              le(qint32(packDosDateTime(kStamp))) + QByteArray("EC2\0", 4) +
                              lenString(zlibStream("hello hello hello", 1)) + le(0) + le(0);
  QCOMPARE(readAll(tmp.filePath(u"x.bak"_qs)), expected);
  QCOMPARE(b.volumes(), QStringList{tmp.filePath(u"x.bak"_qs)});
  QCOMPARE(filesIn(tmp.path()), QStringList{u"x.bak"_qs}); // no temporary left beside it
}

void TestBackupFile::emptyFileIsEntryMagicAndZero() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/e"_qs), {});
  TZRBackupFile b;
  QVERIFY(b.backup(tmp.filePath(u"src/e"_qs), tmp.filePath(u"x.bak"_qs), false));
  const QByteArray name = QFileInfo(tmp.filePath(u"src/e"_qs)).absoluteFilePath().toUtf8();
  const QByteArray expected = le(0) + le(0) + le(1) + lenString(name) + le(qint32(packDosDateTime(kStamp))) +
                              QByteArray("EC2\0", 4) + le(0) + le(0);
  QCOMPARE(readAll(tmp.filePath(u"x.bak"_qs)), expected);
}

void TestBackupFile::chunks_data() {
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<int>("level");
  QTest::addColumn<QList<qint32>>("lengths"); // 0 stands for "some positive length"
  const QByteArray text = textBytes(40000);
  QTest::newRow("text in three zlib chunks") << text << int(clFastest) << QList<qint32>{0, 0, 0};
  QTest::newRow("one byte") << QByteArray("x") << int(clMax) << QList<qint32>{0};
  QTest::newRow("exactly one block") << text.left(16384) << int(clDefault) << QList<qint32>{0};
  QTest::newRow("one block and a byte") << text.left(16385) << int(clFastest) << QList<qint32>{0, 0};
  QTest::newRow("random data is stored raw")
      << randomBytes(40000) << int(clFastest) << QList<qint32>{-16384, -16384, 0};
  // Without compression a full block does not fit with its zlib framing; a short one does,
  // as a stored zlib stream of its length + 11.
  QTest::newRow("level none") << text.left(20000) << int(clNone) << QList<qint32>{-16384, 20000 - 16384 + 11};
}

void TestBackupFile::chunks() {
  QFETCH(QByteArray, data);
  QFETCH(int, level);
  QFETCH(QList<qint32>, lengths);
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"f"_qs), data);
  TZRBackupFile b;
  b.setCompressionLevel(TCompressionLevel(level));
  QVERIFY(b.backup(tmp.filePath(u"f"_qs), tmp.filePath(u"x.bak"_qs), false));
  const QList<qint32> got = chunkLengths(readAll(tmp.filePath(u"x.bak"_qs)));
  QCOMPARE(got.size(), lengths.size());
  for (qsizetype i = 0; i < got.size(); ++i) {
    if (lengths[i] == 0)
      QVERIFY2(got[i] > 0 && got[i] <= kChunkSize, qPrintable(QString::number(got[i])));
    else
      QCOMPARE(got[i], lengths[i]);
  }
  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(readAll(tmp.filePath(u"out/f"_qs)), data);
}

void TestBackupFile::roundTripKeepsContentAndTime() {
  QTemporaryDir tmp;
  const QHash<QString, QByteArray> files{{u"卷宗目录.db"_qs, textBytes(70000)},
                                         {u"照片.jpg"_qs, randomBytes(33000)},
                                         {u"空"_qs, {}},
                                         {u".hidden"_qs, "h"}};
  const QDateTime older(QDate(1999, 12, 31), QTime(23, 59, 58));
  for (auto it = files.begin(); it != files.end(); ++it)
    writeFile(tmp.filePath(u"src/"_qs + it.key()), it.value(), older);
  QList<int> percents;
  TZRBackupFile b;
  b.onProgress = [&](const QString &, int p, bool &) { percents << p; };
  QVERIFY(b.backup(tmp.filePath(u"src/"_qs), tmp.filePath(u"x.bak"_qs), true));
  QCOMPARE(b.filesDone(), 4);
  QCOMPARE(b.totalSize(), 70000 + 33000 + 1);
  QCOMPARE(percents.first(), 0);
  QCOMPARE(percents.last(), 100);
  QVERIFY(std::is_sorted(percents.begin(), percents.end()));

  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(filesIn(tmp.filePath(u"out"_qs)).size(), 4);
  for (auto it = files.begin(); it != files.end(); ++it) {
    const QString path = tmp.filePath(u"out/"_qs + it.key());
    QCOMPARE(readAll(path), it.value());
    QCOMPARE(QFileInfo(path).lastModified(), older);
  }
}

void TestBackupFile::volumesNeverExceedTheLimit() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a.bin"_qs), randomBytes(150000));
  writeFile(tmp.filePath(u"src/b.txt"_qs), textBytes(300000));
  const qint64 limit = 50000;
  TZRBackupFile b;
  b.setMaxSize(limit);
  QList<int> asked;
  b.onNeedDisk = [&](std::uint16_t disk, bool &) { asked << disk; };
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  const QStringList volumes = b.volumes();
  QVERIFY(volumes.size() >= 4);
  QCOMPARE(volumes[1], tmp.filePath(u"x.002"_qs));
  for (int i = 0; i < volumes.size(); ++i) {
    QVERIFY(QFileInfo(volumes[i]).size() <= limit);
    if (i > 0) {
      QCOMPARE(asked[i - 1], i + 1);
      QVERIFY(readAll(volumes[i]).startsWith(QByteArray("EC2\0", 4)));
    }
  }
  // The first volume ends its segment and names the next one.
  const QByteArray first = readAll(volumes[0]);
  QVERIFY(first.endsWith(QByteArray(le(0) + lenString("NEXT:DISK002"))));

  asked.clear();
  TZRBackupFile r;
  r.onNeedDisk = [&](std::uint16_t disk, bool &) { asked << disk; };
  QVERIFY(r.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(asked.size(), volumes.size() - 1);
  QCOMPARE(readAll(tmp.filePath(u"out/a.bin"_qs)), randomBytes(150000));
  QCOMPARE(readAll(tmp.filePath(u"out/b.txt"_qs)), textBytes(300000));
}

void TestBackupFile::floppyDriveSetsTheVolumeSize() {
  // Drive letters mean nothing here, so "A:" is a folder of the current directory.
  QTemporaryDir tmp;
  const QString cwd = QDir::currentPath();
  QVERIFY(QDir::setCurrent(tmp.path()));
  QVERIFY(QDir().mkdir(u"A:"_qs));
  writeFile(tmp.filePath(u"src/big.bin"_qs), randomBytes(1500000));
  TZRBackupFile b;
  QStringList warnings;
  b.onWarning = [&](const QString &w) { warnings << w; };
  const bool ok = b.backup(tmp.filePath(u"src"_qs), u"a:/x.bak"_qs, true);
  QDir::setCurrent(cwd);
  QVERIFY(!ok); // "a:" is not the folder "A:"
  QCOMPARE(warnings, QStringList{u"请插入一个空白的软盘到驱动器A"_qs});
  QVERIFY(QDir::setCurrent(tmp.path()));
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), u"A:/x.bak"_qs, true));
  QDir::setCurrent(cwd);
  QCOMPARE(b.volumes(), (QStringList{u"A:/x.bak"_qs, u"A:/x.002"_qs}));
  QVERIFY(QFileInfo(tmp.filePath(u"A:/x.bak"_qs)).size() <= kFloppyVolumeSize);
  QVERIFY(QFileInfo(tmp.filePath(u"A:/x.bak"_qs)).size() > kFloppyVolumeSize - 2 * kVolumeReserve);
  QVERIFY(readAll(tmp.filePath(u"A:/x.bak"_qs)).endsWith(lenString("NEXT:DISK002")));
  QVERIFY(readAll(tmp.filePath(u"A:/x.002"_qs)).startsWith(QByteArray("EC2\0", 4)));
}

void TestBackupFile::volumeTooSmallIsRefused() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"f"_qs), "x");
  TZRBackupFile b;
  b.setMaxSize(kVolumeReserve + 4);
  QList<int> errors;
  b.onError = [&](int code, const QString &text) {
    errors << code;
    QCOMPARE(text, u"不能写备份的文件"_qs);
  };
  QVERIFY(!b.backup(tmp.filePath(u"f"_qs), tmp.filePath(u"x.bak"_qs), false));
  QCOMPARE(errors, QList<int>{beWriteBackup});
  QVERIFY(!QFile::exists(tmp.filePath(u"x.bak"_qs)));
}

void TestBackupFile::threadsWriteTheSameBytes_data() {
  QTest::addColumn<qint64>("maxSize");
  QTest::addColumn<int>("level");
  QTest::newRow("one volume") << qint64(0) << int(clFastest);
  QTest::newRow("volumes") << qint64(40000) << int(clDefault);
  QTest::newRow("level none, volumes") << qint64(70000) << int(clNone);
}

// Chunks packed on several threads are written in their order: every volume is byte for byte
// the one a single thread writes, and reads back the same on any number of threads.
void TestBackupFile::threadsWriteTheSameBytes() {
  QFETCH(qint64, maxSize);
  QFETCH(int, level);
  QTemporaryDir tmp;
  // More chunks than one batch, compressible and not, mixed within a file, and files of no
  // chunk or one short chunk between them.
  writeFile(tmp.filePath(u"src/a.db"_qs), textBytes(300000) + randomBytes(200000) + textBytes(70001));
  writeFile(tmp.filePath(u"src/b.jpg"_qs), randomBytes(600000, 3));
  writeFile(tmp.filePath(u"src/c.txt"_qs), textBytes(5));
  writeFile(tmp.filePath(u"src/d.txt"_qs), {});
  const auto backupWith = [&](int threads) {
    TZRBackupFile b;
    b.setThreadCount(threads);
    b.setMaxSize(maxSize); // no file list: its entry is stamped with the time of the backup
    b.setCompressionLevel(TCompressionLevel(level));
    const QString dest = tmp.filePath(u"t%1/x.bak"_qs.arg(threads));
    QDir().mkpath(QFileInfo(dest).absolutePath());
    QList<QByteArray> volumes;
    if (!b.backup(tmp.filePath(u"src"_qs), dest, true))
      return volumes;
    for (const QString &v : b.volumes())
      volumes << readAll(v);
    return volumes;
  };
  const QList<QByteArray> serial = backupWith(1);
  QVERIFY(!serial.isEmpty());
  QCOMPARE(serial.size() > 1, maxSize > 0);
  for (const int threads : {2, 3}) {
    const QList<QByteArray> parallel = backupWith(threads);
    QCOMPARE(parallel.size(), serial.size());
    for (int i = 0; i < serial.size(); ++i)
      QVERIFY2(parallel[i] == serial[i], qPrintable(u"volume %1, %2 threads"_qs.arg(i + 1).arg(threads)));

    TZRBackupFile r;
    r.setThreadCount(threads);
    const QString out = tmp.filePath(u"out%1"_qs.arg(threads));
    QVERIFY(r.restore(tmp.filePath(u"t1/x.bak"_qs), out));
    for (const QString &name : {u"a.db"_qs, u"b.jpg"_qs, u"c.txt"_qs, u"d.txt"_qs})
      QVERIFY2(readAll(out + u'/' + name) == readAll(tmp.filePath(u"src/"_qs + name)), qPrintable(name));
  }
}

void TestBackupFile::restoreModes_data() {
  QTest::addColumn<int>("mode");
  QTest::addColumn<QString>("target"); // none, older, same, newer
  QTest::addColumn<bool>("restored");
  const struct {
    const char *name;
    int mode;
    bool none, older, same, newer;
  } rows[] = {{"all", rmAll, true, true, true, true},
              {"no overwrite", rmNoOverwrite, true, false, false, false},
              {"newer", rmNewer, true, true, false, false},
              {"existing", rmExisting, false, true, true, true},
              {"existing newer", rmExistingNewer, false, true, false, false}};
  for (const auto &r : rows) {
    QTest::addRow("%s, no target", r.name) << r.mode << u"none"_qs << r.none;
    QTest::addRow("%s, older target", r.name) << r.mode << u"older"_qs << r.older;
    QTest::addRow("%s, same time", r.name) << r.mode << u"same"_qs << r.same;
    QTest::addRow("%s, newer target", r.name) << r.mode << u"newer"_qs << r.newer;
  }
}

void TestBackupFile::restoreModes() {
  QFETCH(int, mode);
  QFETCH(QString, target);
  QFETCH(bool, restored);
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/f.db"_qs), "from the backup");
  TZRBackupFile b;
  QVERIFY(b.backup(tmp.filePath(u"src/f.db"_qs), tmp.filePath(u"x.bak"_qs), false));
  const QString out = tmp.filePath(u"out/f.db"_qs);
  if (target == u"older")
    writeFile(out, "old", kStamp.addDays(-1));
  else if (target == u"same")
    writeFile(out, "same", kStamp.addSecs(1)); // within the two seconds a date-time tells apart
  else if (target == u"newer")
    writeFile(out, "new", kStamp.addDays(1));
  else
    QDir().mkpath(tmp.filePath(u"out"_qs));
  b.setRestoreMode(TRestoreMode(mode));
  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(readAll(out) == "from the backup", restored);
  QCOMPARE(b.filesDone(), restored ? 1 : 0);
}

void TestBackupFile::equalNamesOverwriteInOrder() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/d1/x.txt"_qs), "one");
  writeFile(tmp.filePath(u"src/d2/x.txt"_qs), "two");
  TZRBackupFile b;
  QVERIFY(b.backup(tmp.filePath(u"src/* /s"_qs), tmp.filePath(u"x.bak"_qs), false));
  QStringList names;
  QVERIFY(b.examine(tmp.filePath(u"x.bak"_qs), [&](const BackupEntryInfo &e) { names << e.name; }));
  QCOMPARE(names, (QStringList{QFileInfo(tmp.filePath(u"src/d1/x.txt"_qs)).absoluteFilePath(),
                               QFileInfo(tmp.filePath(u"src/d2/x.txt"_qs)).absoluteFilePath()}));
  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(readAll(tmp.filePath(u"out/x.txt"_qs)), QByteArray("two"));
  QCOMPARE(b.filesDone(), 2);
}

void TestBackupFile::fileListEntry() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a"_qs), "aaaa");
  writeFile(tmp.filePath(u"src/b"_qs), "bb");
  TZRBackupFile b;
  b.setSaveFileID(true);
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  const QString a = QFileInfo(tmp.filePath(u"src/a"_qs)).absoluteFilePath();
  const QString bb = QFileInfo(tmp.filePath(u"src/b"_qs)).absoluteFilePath();
  const QByteArray stamp = QByteArray::number(qint32(packDosDateTime(kStamp)));
  const QByteArray list = a.toUtf8() + '\t' + stamp + "=4\r\n" + bb.toUtf8() + '\t' + stamp + "=2\r\n";
  QCOMPARE(b.totalSize(), 6 + list.size());

  BackupHeader header;
  QList<BackupEntryInfo> entries;
  QVERIFY(b.examine(
      tmp.filePath(u"x.bak"_qs), [&](const BackupEntryInfo &e) { entries << e; }, &header));
  QCOMPARE(header.fileCount, 2);
  QCOMPARE(header.totalSize, 6 + list.size());
  QCOMPARE(entries.size(), 3);
  QCOMPARE(entries[0].name, u"FILE:LIST"_qs);
  QVERIFY(entries[0].isFileList);
  QCOMPARE(entries[0].size, list.size());
  // The list's own bytes, read back through a restore that keeps nothing but shows the stream.
  const QByteArray bytes = readAll(tmp.filePath(u"x.bak"_qs));
  const qsizetype at = 12 + 4 + 9 + 4 + 4 + 4;
  QCOMPARE(bytes.mid(12, 4 + 9), lenString("FILE:LIST"));
  const qint32 n = int32At(bytes, at - 4);
  QVERIFY(n > 0);
  QByteArray inflated(kChunkSize, 0);
  uLongf size = kChunkSize;
  QCOMPARE(uncompress(reinterpret_cast<Bytef *>(inflated.data()), &size,
                      reinterpret_cast<const Bytef *>(bytes.constData() + at), uLong(n)),
           Z_OK);
  QCOMPARE(inflated.left(int(size)), list);

  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(filesIn(tmp.filePath(u"out"_qs)), (QStringList{u"a"_qs, u"b"_qs}));
}

void TestBackupFile::restoreEventsRenameAndVeto() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/keep"_qs), "k");
  writeFile(tmp.filePath(u"src/skip"_qs), "s");
  writeFile(tmp.filePath(u"src/move"_qs), "m");
  TZRBackupFile b;
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  QStringList asked;
  QStringList done;
  b.onRestoreFile = [&](QString &name, std::int32_t fa, bool &doRestore) {
    asked << QFileInfo(name).fileName();
    QCOMPARE(std::uint32_t(fa), packDosDateTime(kStamp));
    QVERIFY(doRestore);
    if (name.endsWith(u"skip"))
      doRestore = false;
    if (name.endsWith(u"move"))
      name = tmp.filePath(u"elsewhere/moved"_qs);
  };
  b.onFileRestored = [&](QString &name, QFileDevice &stream) {
    done << name;
    QVERIFY(stream.isOpen());
    if (name.endsWith(u"keep")) {
      stream.write("+");
      name = tmp.filePath(u"out/kept"_qs);
    }
  };
  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(asked, (QStringList{u"keep"_qs, u"move"_qs, u"skip"_qs}));
  QCOMPARE(done, (QStringList{tmp.filePath(u"out/keep"_qs), tmp.filePath(u"elsewhere/moved"_qs)}));
  QCOMPARE(filesIn(tmp.filePath(u"out"_qs)), QStringList{u"kept"_qs});
  QCOMPARE(readAll(tmp.filePath(u"out/kept"_qs)), QByteArray("k+"));
  QCOMPARE(QFileInfo(tmp.filePath(u"out/kept"_qs)).lastModified(), kStamp);
  QCOMPARE(readAll(tmp.filePath(u"elsewhere/moved"_qs)), QByteArray("m"));
}

void TestBackupFile::restoreWithoutFolderUsesTheCurrentOne() {
  QTemporaryDir tmp;
  const QString file = tmp.filePath(u"deep/er/文件.txt"_qs);
  writeFile(file, "content");
  TZRBackupFile b;
  QVERIFY(b.backup(file, tmp.filePath(u"x.bak"_qs), false));
  QVERIFY(QDir(tmp.filePath(u"deep"_qs)).removeRecursively());
  QVERIFY(QDir().mkpath(tmp.filePath(u"cwd"_qs)));
  const QString cwd = QDir::currentPath();
  QVERIFY(QDir::setCurrent(tmp.filePath(u"cwd"_qs)));
  const bool ok = b.restore(tmp.filePath(u"x.bak"_qs), QString());
  QDir::setCurrent(cwd);
  QVERIFY(ok);
  // The stored path is never followed: the file lands where the restore was asked to work.
  QCOMPARE(filesBelow(tmp.path()), (QStringList{u"cwd/文件.txt"_qs, u"x.bak"_qs}));
  QCOMPARE(readAll(tmp.filePath(u"cwd/文件.txt"_qs)), QByteArray("content"));
}

void TestBackupFile::restoredNames_data() {
  QTest::addColumn<QByteArray>("name");
  QTest::addColumn<QString>("restoredAs"); // empty: the backup is refused
  QTest::newRow("windows path") << QByteArray("c:\\zr\\data\\a.db") << u"a.db"_qs;
  QTest::newRow("windows path in GBK")
      << QByteArray("c:\\zr\\" + zr::gbk::encode(u"档案.db")) << u"档案.db"_qs;
  QTest::newRow("this machine's path") << QByteArray("/x/y/Template1.DAT") << u"Template1.DAT"_qs;
  QTest::newRow("bare name") << QByteArray("b.txt") << u"b.txt"_qs;
  QTest::newRow("up with backslashes") << QByteArray("..\\..\\x") << u"x"_qs;
  QTest::newRow("up with slashes") << QByteArray("../x") << u"x"_qs;
  QTest::newRow("absolute elsewhere") << QByteArray("/etc/x") << u"x"_qs;
  QTest::newRow("mixed separators") << QByteArray("c:/zr\\..//x") << u"x"_qs;
  QTest::newRow("ends in a separator") << QByteArray("c:\\zr\\") << QString();
  QTest::newRow("dot") << QByteArray("/x/.") << QString();
  QTest::newRow("dot dot") << QByteArray("..") << QString();
  QTest::newRow("dot dot after a folder") << QByteArray("c:\\zr\\..") << QString();
  QTest::newRow("NUL inside") << QByteArray("/x/a\0../b", 9) << u"b"_qs;
  QTest::newRow("NUL in the file part") << QByteArray("/x/a\0b", 6) << QString();
}

// Whatever the stored name, restore writes into its folder only, and a name that gives no file
// there makes the whole backup fail with nothing written, not even the entries before it.
void TestBackupFile::restoredNames() {
  QFETCH(QByteArray, name);
  QFETCH(QString, restoredAs);
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"x.bak"_qs), handMade({{"/x/first.txt", "first"}, {name, "data"}}));
  writeFile(tmp.filePath(u"a/b/out/first.txt"_qs), "the file before");
  const QStringList before = filesBelow(tmp.path());
  for (const bool restoring : {false, true}) {
    TZRBackupFile b;
    QList<int> errors;
    b.onError = [&](int code, const QString &) { errors << code; };
    const bool ok = restoring ? b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"a/b/out"_qs))
                              : b.examine(tmp.filePath(u"x.bak"_qs), {});
    QCOMPARE(ok, !restoredAs.isEmpty());
    QCOMPARE(errors, restoredAs.isEmpty() ? QList<int>{beInvalidBackup} : QList<int>{});
  }
  if (restoredAs.isEmpty()) {
    QCOMPARE(filesBelow(tmp.path()), before);
    QCOMPARE(readAll(tmp.filePath(u"a/b/out/first.txt"_qs)), QByteArray("the file before"));
  } else {
    QStringList expected = before;
    expected << u"a/b/out/"_qs + restoredAs;
    expected.sort();
    QCOMPARE(filesBelow(tmp.path()), expected);
    QCOMPARE(readAll(tmp.filePath(u"a/b/out/"_qs + restoredAs)), QByteArray("data"));
    QCOMPARE(readAll(tmp.filePath(u"a/b/out/first.txt"_qs)), QByteArray("first"));
  }
}

void TestBackupFile::namesKeepTheirCase() {
  // Template files are named by identifiers with capitals; this file system tells them apart.
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/RptVolume.DAT"_qs), "upper");
  writeFile(tmp.filePath(u"src/rptvolume.dat"_qs), "lower");
  TZRBackupFile b;
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  QStringList names;
  QVERIFY(b.examine(tmp.filePath(u"x.bak"_qs),
                    [&](const BackupEntryInfo &e) { names << QFileInfo(e.name).fileName(); }));
  QCOMPARE(names, (QStringList{u"RptVolume.DAT"_qs, u"rptvolume.dat"_qs}));
  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(readAll(tmp.filePath(u"out/RptVolume.DAT"_qs)), QByteArray("upper"));
  QCOMPARE(readAll(tmp.filePath(u"out/rptvolume.dat"_qs)), QByteArray("lower"));
}

void TestBackupFile::progressStaysInRange_data() {
  QTest::addColumn<qint32>("total");
  QTest::addColumn<int>("midway"); // the percent reported after the first chunk
  QTest::newRow("true total") << qint32(2 * kChunkSize) << 50;
  QTest::newRow("zero: unknown") << qint32(0) << 0;
  QTest::newRow("negative: unknown") << qint32(-5) << 0;
  QTest::newRow("too small a total") << qint32(1) << 100;
  QTest::newRow("largest total") << std::numeric_limits<qint32>::max() << 0;
}

void TestBackupFile::progressStaysInRange() {
  QFETCH(qint32, total);
  QFETCH(int, midway);
  QTemporaryDir tmp;
  const QByteArray data = randomBytes(kChunkSize);
  // Two raw chunks of one file.
  QByteArray bytes = handMade({{"/x/a", data}}, total);
  const QByteArray one = le(-kChunkSize) + data;
  bytes.insert(bytes.indexOf(one) + one.size(), one);
  writeFile(tmp.filePath(u"x.bak"_qs), bytes);
  TZRBackupFile b;
  QList<int> percents;
  b.onProgress = [&](const QString &, int percent, bool &) { percents << percent; };
  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(readAll(tmp.filePath(u"out/a"_qs)), data + data);
  QCOMPARE(percents.size(), 3);
  QCOMPARE(percents[0], midway);
  QCOMPARE(percents.last(), 100);
  for (const int p : std::as_const(percents))
    QVERIFY(p >= 0 && p <= 100);
}

void TestBackupFile::patterns() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a.db"_qs), "1");
  writeFile(tmp.filePath(u"src/b.txt"_qs), "2");
  writeFile(tmp.filePath(u"src/s/c.db"_qs), "3");
  writeFile(tmp.filePath(u"src/s/t/d.db"_qs), "4");
  writeFile(tmp.filePath(u"src/noext"_qs), "5");
  const auto names = [&](const QString &pattern, bool whole) {
    TZRBackupFile b;
    QStringList got;
    if (!b.backup(pattern, tmp.filePath(u"x.bak"_qs), whole))
      return QStringList{u"failed"_qs};
    b.examine(tmp.filePath(u"x.bak"_qs),
              [&](const BackupEntryInfo &e) { got << QDir(tmp.path()).relativeFilePath(e.name); });
    return got;
  };
  QCOMPARE(names(tmp.filePath(u"src/*.db"_qs), false), QStringList{u"src/a.db"_qs});
  QCOMPARE(names(tmp.filePath(u"src/*.*"_qs), false),
           (QStringList{u"src/a.db"_qs, u"src/b.txt"_qs, u"src/noext"_qs}));
  QCOMPARE(names(tmp.filePath(u"src/*.db /s"_qs), false),
           (QStringList{u"src/s/t/d.db"_qs, u"src/s/c.db"_qs, u"src/a.db"_qs}));
  // "/s" inside the path is a folder, not the switch.
  QCOMPARE(names(tmp.filePath(u"src/s/*.db"_qs), false), QStringList{u"src/s/c.db"_qs});
  QCOMPARE(names(tmp.filePath(u"src"_qs), true),
           (QStringList{u"src/a.db"_qs, u"src/b.txt"_qs, u"src/noext"_qs}));
}

void TestBackupFile::backupSkipsItself() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"a"_qs), "a");
  writeFile(tmp.filePath(u"x.bak"_qs), "an old backup");
  TZRBackupFile b;
  QVERIFY(b.backup(tmp.path(), tmp.filePath(u"x.bak"_qs), true));
  QStringList names;
  QVERIFY(b.examine(tmp.filePath(u"x.bak"_qs), [&](const BackupEntryInfo &e) { names << e.name; }));
  QCOMPARE(names, QStringList{QFileInfo(tmp.filePath(u"a"_qs)).absoluteFilePath()});
}

void TestBackupFile::incrementalTakesChangedFiles() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a"_qs), "a");
  writeFile(tmp.filePath(u"src/b"_qs), "b");
  if (!zr::os::clearArchiveFlag(tmp.filePath(u"src/a"_qs)))
    QSKIP("this file system keeps no extended attributes");
  QVERIFY(!zr::os::archiveFlag(tmp.filePath(u"src/a"_qs)));
  QVERIFY(zr::os::archiveFlag(tmp.filePath(u"src/b"_qs)));
  TZRBackupFile b;
  b.setBackupMode(bmIncremental);
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  QCOMPARE(b.filesDone(), 1); // only b
  QVERIFY(!zr::os::archiveFlag(tmp.filePath(u"src/b"_qs)));
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"y.bak"_qs), true));
  QCOMPARE(b.filesDone(), 0);
  writeFile(tmp.filePath(u"src/a"_qs), "changed", kStamp.addDays(1));
  QVERIFY(zr::os::archiveFlag(tmp.filePath(u"src/a"_qs)));
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"z.bak"_qs), true));
  QCOMPARE(b.filesDone(), 1);
}

void TestBackupFile::streams() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a"_qs), textBytes(50000));
  QByteArray bytes;
  QBuffer out(&bytes);
  QVERIFY(out.open(QIODevice::WriteOnly));
  TZRBackupFile b;
  b.setMaxSize(20000); // a stream has no volumes
  b.setStream(&out);
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), u":STREAM"_qs, true));
  out.close();
  QVERIFY(b.volumes().isEmpty());
  QVERIFY(!bytes.contains("NEXT:DISK"));
  QBuffer in(&bytes);
  QVERIFY(in.open(QIODevice::ReadOnly));
  b.setStream(&in);
  QVERIFY(b.restore(u":STREAM"_qs, tmp.filePath(u"out"_qs)));
  QCOMPARE(readAll(tmp.filePath(u"out/a"_qs)), textBytes(50000));
}

void TestBackupFile::stoppedBackupLeavesNothing() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a"_qs), randomBytes(100000));
  TZRBackupFile b;
  b.setMaxSize(30000);
  b.onProgress = [](const QString &, int percent, bool &cont) { cont = percent < 60; };
  QList<int> errors;
  b.onError = [&](int code, const QString &) { errors << code; };
  QDir().mkpath(tmp.filePath(u"dst"_qs));
  QVERIFY(!b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"dst/x.bak"_qs), true));
  QVERIFY(errors.isEmpty());
  QCOMPARE(b.errorCode(), 0);
  QCOMPARE(filesIn(tmp.filePath(u"dst"_qs)), QStringList());

  b.onProgress = {};
  b.onNeedDisk = [](std::uint16_t disk, bool &cont) { cont = disk < 3; };
  QVERIFY(!b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"dst/x.bak"_qs), true));
  QCOMPARE(filesIn(tmp.filePath(u"dst"_qs)), QStringList());
}

void TestBackupFile::failedBackupLeavesNothing() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a"_qs), "a");
  TZRBackupFile b;
  QList<int> errors;
  b.onError = [&](int code, const QString &) { errors << code; };
  QVERIFY(!b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"no/such/dir/x.bak"_qs), true));
  QCOMPARE(errors, QList<int>{beWriteBackup});
  QCOMPARE(b.errorText(), u"不能写备份的文件"_qs);
}

void TestBackupFile::unencodableNameIsRefused() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/笑\U0001F600.txt"_qs), "x");
  TZRBackupFile b;
  QList<int> errors;
  b.onError = [&](int code, const QString &text) {
    errors << code;
    QCOMPARE(text, u"不能读文件"_qs);
  };
  QVERIFY(!b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  QCOMPARE(errors, QList<int>{beReadFile});
  QVERIFY(b.errorDetail().contains(u"GBK"));
  QVERIFY(!QFile::exists(tmp.filePath(u"x.bak"_qs)));
}

void TestBackupFile::stoppedRestoreLeavesNoHalfFile() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a"_qs), textBytes(100000));
  TZRBackupFile b;
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  writeFile(tmp.filePath(u"out/a"_qs), "the file before");
  b.onProgress = [](const QString &, int percent, bool &cont) { cont = percent < 50; };
  QVERIFY(!b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(filesIn(tmp.filePath(u"out"_qs)), QStringList{u"a"_qs});
  QCOMPARE(readAll(tmp.filePath(u"out/a"_qs)), QByteArray("the file before"));
}

void TestBackupFile::damagedBackups_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<int>("error");
  const QByteArray head = le(0) + le(3) + le(1) + lenString("/x/a") + le(qint32(packDosDateTime(kStamp)));
  const QByteArray magic("EC2\0", 4);
  const QByteArray good = head + magic + lenString(zlibStream("abc", 1)) + le(0) + le(0);
  QTest::newRow("sound") << good << 0;
  QTest::newRow("empty file") << QByteArray() << int(beReadBackup);
  QTest::newRow("header cut") << QByteArray(le(5) + "ab") << int(beReadBackup);
  QTest::newRow("title longer than the file") << QByteArray(le(1 << 30) + le(0) + le(0)) << int(beReadBackup);
  QTest::newRow("no trailer") << good.chopped(4) << int(beReadBackup);
  QTest::newRow("cut inside a chunk") << QByteArray(good.left(head.size() + 8)) << int(beReadBackup);
  QTest::newRow("bad magic") << QByteArray(head + "EC3\0" + le(0) + le(0)) << int(beInvalidBackup);
  QTest::newRow("chunk too long") << QByteArray(head + magic + le(16385) + QByteArray(16385, 'x') + le(0) +
                                                le(0))
                                  << int(beInvalidBackup);
  QTest::newRow("raw chunk too long")
      << QByteArray(head + magic + le(-16385) + QByteArray(16385, 'x') + le(0) + le(0))
      << int(beInvalidBackup);
  QTest::newRow("most negative chunk")
      << QByteArray(head + magic + le(std::numeric_limits<qint32>::min()) + le(0)) << int(beInvalidBackup);
  QTest::newRow("not zlib") << QByteArray(head + magic + lenString("abcdef") + le(0) + le(0))
                            << int(beInvalidBackup);
  QTest::newRow("bytes after the zlib stream")
      << QByteArray(head + magic + lenString(zlibStream("abc", 1) + "zz") + le(0) + le(0))
      << int(beInvalidBackup);
  QByteArray big(kChunkSize + 1, 'y');
  QTest::newRow("inflates beyond a chunk")
      << QByteArray(head + magic + lenString(zlibStream(big, 9)) + le(0) + le(0)) << int(beInvalidBackup);
  QTest::newRow("negative name length") << QByteArray(le(0) + le(0) + le(1) + le(-2)) << int(beInvalidBackup);
  QTest::newRow("continuation before any file")
      << QByteArray(le(0) + le(0) + le(1) + lenString("NEXT:DISK002")) << int(beInvalidBackup);
  QTest::newRow("continuation with a bad number")
      << QByteArray(good.chopped(4) + lenString("NEXT:DISK0x2")) << int(beInvalidBackup);
}

void TestBackupFile::damagedBackups() {
  QFETCH(QByteArray, bytes);
  QFETCH(int, error);
  QTemporaryDir tmp;
  const QString file = tmp.filePath(u"x.bak"_qs);
  writeFile(file, bytes);
  for (const auto &[restoring, threads] : {std::pair{false, 1}, {false, 2}, {true, 1}, {true, 2}}) {
    TZRBackupFile b;
    b.setThreadCount(threads);
    QList<int> errors;
    b.onError = [&](int code, const QString &text) {
      errors << code;
      QCOMPARE(text, backupErrorText(code));
    };
    const bool ok = restoring ? b.restore(file, tmp.filePath(u"out"_qs)) : b.examine(file, {});
    QCOMPARE(ok, error == 0);
    QCOMPARE(errors, error ? QList<int>{error} : QList<int>{});
    if (restoring && error) // a file whose data did not arrive whole is not written
      QCOMPARE(filesIn(tmp.filePath(u"out"_qs)), QStringList());
  }
}

void TestBackupFile::missingSourceFailsQuietly() {
  TZRBackupFile b;
  bool called = false;
  b.onError = [&](int, const QString &) { called = true; };
  b.onProgress = [&](const QString &, int, bool &) { called = true; };
  QVERIFY(!b.restore(u"/no/such/backup.bak"_qs, u"/tmp"_qs));
  QVERIFY(!called);
  QCOMPARE(b.errorCode(), 0);
}

void TestBackupFile::missingVolumeIsAskedFor() {
  QTemporaryDir tmp;
  writeFile(tmp.filePath(u"src/a"_qs), randomBytes(60000));
  TZRBackupFile b;
  b.setMaxSize(30000);
  QVERIFY(b.backup(tmp.filePath(u"src"_qs), tmp.filePath(u"x.bak"_qs), true));
  QVERIFY(QFile::rename(tmp.filePath(u"x.002"_qs), tmp.filePath(u"later.002"_qs)));

  // Without a handler nobody can be asked: the missing volume fails the restore.
  QList<int> errors;
  b.onError = [&](int code, const QString &) { errors << code; };
  QVERIFY(!b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(errors, QList<int>{beReadBackup});

  // With one, it is asked until the volume is there.
  errors.clear();
  int asked = 0;
  b.onNeedDisk = [&](std::uint16_t disk, bool &) {
    if (disk == 2 && ++asked == 2)
      QFile::rename(tmp.filePath(u"later.002"_qs), tmp.filePath(u"x.002"_qs));
  };
  QVERIFY(b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out"_qs)));
  QCOMPARE(asked, 2);
  QVERIFY(errors.isEmpty());
  QCOMPARE(readAll(tmp.filePath(u"out/a"_qs)), randomBytes(60000));

  // Cancelling the question stops it.
  int more = 0;
  b.onNeedDisk = [&](std::uint16_t, bool &cont) { cont = ++more < 1; };
  QVERIFY(!b.restore(tmp.filePath(u"x.bak"_qs), tmp.filePath(u"out2"_qs)));
  QVERIFY(errors.isEmpty());
}

QTEST_GUILESS_MAIN(TestBackupFile)
#include "tst_backupfile.moc"
