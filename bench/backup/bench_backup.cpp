// Backup and restore throughput on a data directory of table-like (compressible) and
// picture-like (incompressible) files. The baseline is the work that cannot be avoided: reading
// the files and deflating (or inflating) every 16 KiB block in memory; the ratio says what the
// file format, the volumes and the crash-safe writing cost on top of it.
//
//   bench_backup [MiB]      (default 64)
#include "maintenance/backupfile.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>

#include <zlib.h>

#include <cstdio>

namespace {

using zr::maintenance::kChunkSize;
using zr::maintenance::TZRBackupFile;

void writeFiles(const QString &dir, qint64 bytes) {
  QDir().mkpath(dir);
  QRandomGenerator g(1);
  const qint64 perFile = 8 << 20;
  for (int i = 0; bytes > 0; ++i) {
    const qint64 n = qMin(bytes, perFile);
    QByteArray data;
    data.reserve(n);
    if (i % 2 == 0) {
      for (int row = 0; data.size() < n; ++row)
        data += "A" + QByteArray::number(210501000000 + row) + "|0010020030|第" + QByteArray::number(row) +
                "卷 档案资料|2021-05-01|永久|" + QByteArray::number(g.bounded(100000)) + '\n';
    } else {
      data.resize(n);
      for (char &c : data)
        c = char(g.generate());
    }
    data.resize(n);
    QFile f(dir + u"/table" + QString::number(i) + (i % 2 ? u".jpg" : u".db"));
    f.open(QIODevice::WriteOnly);
    f.write(data);
    bytes -= n;
  }
}

// Reads every file and deflates its blocks as the writer does, keeping nothing.
double baselineBackup(const QString &dir) {
  QElapsedTimer t;
  t.start();
  QByteArray out(kChunkSize, Qt::Uninitialized);
  z_stream z{};
  deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
  for (const QFileInfo &fi : QDir(dir).entryInfoList(QDir::Files)) {
    QFile f(fi.filePath());
    f.open(QIODevice::ReadOnly);
    for (;;) {
      QByteArray block = f.read(kChunkSize);
      if (block.isEmpty())
        break;
      deflateReset(&z);
      z.next_in = reinterpret_cast<Bytef *>(block.data());
      z.avail_in = uInt(block.size());
      z.next_out = reinterpret_cast<Bytef *>(out.data());
      z.avail_out = kChunkSize;
      deflate(&z, Z_FINISH);
    }
  }
  deflateEnd(&z);
  return t.nsecsElapsed() / 1e9;
}

double mibPerSecond(qint64 bytes, double seconds) {
  return seconds > 0 ? bytes / 1048576.0 / seconds : 0;
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const qint64 mib = argc > 1 ? QByteArray(argv[1]).toLongLong() : 64;
  QTemporaryDir tmp;
  const QString src = tmp.filePath(QStringLiteral("src"));
  writeFiles(src, mib << 20);
  const qint64 bytes = mib << 20;

  const double base = baselineBackup(src);

  TZRBackupFile b;
  QElapsedTimer t;
  t.start();
  if (!b.backup(src, tmp.filePath(QStringLiteral("x.bak")), true)) {
    std::fprintf(stderr, "backup failed: %s\n", qPrintable(b.errorText() + u' ' + b.errorDetail()));
    return 1;
  }
  const double backupSeconds = t.nsecsElapsed() / 1e9;
  const qint64 stored = QFileInfo(tmp.filePath(QStringLiteral("x.bak"))).size();

  t.restart();
  b.setMaxSize(1400000); // floppy-sized volumes: the switching costs nothing measurable
  if (!b.backup(src, tmp.filePath(QStringLiteral("v.bak")), true))
    return 1;
  const double volumeSeconds = t.nsecsElapsed() / 1e9;
  const int volumes = int(b.volumes().size());

  t.restart();
  if (!b.examine(tmp.filePath(QStringLiteral("x.bak")), {}))
    return 1;
  const double examineSeconds = t.nsecsElapsed() / 1e9;

  t.restart();
  if (!b.restore(tmp.filePath(QStringLiteral("x.bak")), tmp.filePath(QStringLiteral("out"))))
    return 1;
  const double restoreSeconds = t.nsecsElapsed() / 1e9;

  std::printf("data                  %lld MiB, half tables, half pictures\n", static_cast<long long>(mib));
  std::printf("stored                %.1f%% of the data\n", 100.0 * stored / bytes);
  std::printf("baseline read+deflate %8.1f MiB/s\n", mibPerSecond(bytes, base));
  std::printf("backup                %8.1f MiB/s  ratio %.2f\n", mibPerSecond(bytes, backupSeconds),
              backupSeconds / base);
  std::printf("backup, %4d volumes  %8.1f MiB/s  ratio %.2f\n", volumes, mibPerSecond(bytes, volumeSeconds),
              volumeSeconds / base);
  std::printf("examine (inflate all) %8.1f MiB/s\n", mibPerSecond(bytes, examineSeconds));
  std::printf("restore               %8.1f MiB/s  ratio to examine %.2f\n",
              mibPerSecond(bytes, restoreSeconds), restoreSeconds / examineSeconds);
  return 0;
}
