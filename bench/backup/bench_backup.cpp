// Backup and verify throughput on a data directory of mixed files: database pages, register
// text and already compressed pictures. The baseline is a plain loop in this process that
// deflates the same 16384-byte blocks with zlib (reset per block, as the writer does) and
// inflates the resulting streams, all in memory on one core. A ratio is baseline time over
// measured time: 1.0 means the file format, the files and the volumes cost nothing on top.
//
//   bench_backup [MB] [runs]      (default 200 MB, best of 2 runs)
//
// Goals: backup and verify on one thread at 0.9 of the baseline or more; on every core at 1.7
// or more, writing the same bytes as one thread.
#include "maintenance/backupfile.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using zr::maintenance::kChunkSize;
using zr::maintenance::TZRBackupFile;

// Pages of a table: a header, rows of register text with numbers, and the free space a page
// keeps, as a database file holds them.
QByteArray databasePages(qint64 n, QRandomGenerator &g) {
  QByteArray data;
  data.reserve(n);
  constexpr int kPage = 4096;
  for (int page = 0; data.size() < n; ++page) {
    QByteArray p;
    p.reserve(kPage);
    p += QByteArray::number(page).rightJustified(8, '0');
    for (int row = 0; p.size() < kPage - 600; ++row)
      p += "\x0d\x01" + QByteArray::number(210501000000 + page * 40 + row) + "|0010020030|第" +
           QByteArray::number(g.bounded(5000)) + "卷 档案资料|2021-05-" +
           QByteArray::number(1 + g.bounded(28)) + "|永久|" + QByteArray::number(g.bounded(100000));
    p.append(kPage - p.size(), '\0');
    data += p.left(kPage);
  }
  data.resize(n);
  return data;
}

QByteArray registerText(qint64 n, QRandomGenerator &g) {
  static const char *const words[] = {"案卷",     "文书", "会计", "凭证", "基建", "科研", "声像", "实物",
                                      "保管期限", "永久", "长期", "短期", "密级", "公开", "内部"};
  QByteArray data;
  data.reserve(n);
  while (data.size() < n) {
    for (int w = 0; w < 8; ++w)
      data += words[g.bounded(15)] + QByteArray(" ");
    data += QByteArray::number(g.bounded(1000000)) + "\r\n";
  }
  data.resize(n);
  return data;
}

// A picture's data is compressed already: to deflate it looks like noise.
QByteArray picture(qint64 n, QRandomGenerator &g) {
  QByteArray data(n, Qt::Uninitialized);
  g.fillRange(reinterpret_cast<quint32 *>(data.data()), n / 4);
  data[0] = char(0xFF);
  data[1] = char(0xD8);
  return data;
}

// 40 % database pages, 30 % text, 30 % pictures, in files of a few sizes.
std::vector<QByteArray> writeFiles(const QString &dir, qint64 bytes) {
  QDir().mkpath(dir);
  QRandomGenerator g(1);
  std::vector<QByteArray> files;
  const struct {
    const char *ext;
    double share;
    qint64 fileSize;
    QByteArray (*make)(qint64, QRandomGenerator &);
  } kinds[] = {{"db", 0.4, 16 << 20, databasePages},
               {"txt", 0.3, 3 << 20, registerText},
               {"jpg", 0.3, 700 << 10, picture}};
  for (const auto &k : kinds) {
    qint64 left = qint64(bytes * k.share);
    for (int i = 0; left > 0; ++i) {
      const qint64 n = qMin(left, k.fileSize + g.bounded(int(k.fileSize / 4)));
      QByteArray data = k.make(n, g);
      QFile f(dir + u'/' + QString::fromLatin1(k.ext) + QString::number(i) + u'.' +
              QString::fromLatin1(k.ext));
      if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(f.fileName()));
      files.push_back(std::move(data));
      left -= n;
    }
  }
  return files;
}

double seconds(const std::function<bool()> &work, int runs) {
  double best = 0;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    if (!work())
      qFatal("a run failed");
    const double s = t.nsecsElapsed() / 1e9;
    if (i == 0 || s < best)
      best = s;
  }
  return best;
}

struct Baseline {
  double deflateSeconds = 0;
  double inflateSeconds = 0;
};

// The plain loops: every block deflated into a block-sized buffer (kept when it fitted), then
// every kept stream inflated.
Baseline baseline(const std::vector<QByteArray> &files, qint64 bytes, int runs) {
  std::vector<std::pair<qint64, int>> streams; // offset in arena, length
  QByteArray arena(bytes + kChunkSize, Qt::Uninitialized);
  Baseline b;
  b.deflateSeconds = seconds(
      [&] {
        streams.clear();
        z_stream z{};
        deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
        qint64 at = 0;
        for (const QByteArray &f : files) {
          for (qint64 off = 0; off < f.size(); off += kChunkSize) {
            deflateReset(&z);
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(f.constData() + off));
            z.avail_in = uInt(qMin<qint64>(kChunkSize, f.size() - off));
            z.next_out = reinterpret_cast<Bytef *>(arena.data() + at);
            z.avail_out = kChunkSize;
            if (deflate(&z, Z_FINISH) == Z_STREAM_END) {
              streams.emplace_back(at, int(z.total_out));
              at += z.total_out;
            }
          }
        }
        deflateEnd(&z);
        return true;
      },
      runs);
  QByteArray out(kChunkSize, Qt::Uninitialized);
  b.inflateSeconds = seconds(
      [&] {
        z_stream z{};
        inflateInit(&z);
        bool ok = true;
        for (const auto &[at, n] : streams) {
          inflateReset(&z);
          z.next_in = reinterpret_cast<Bytef *>(arena.data() + at);
          z.avail_in = uInt(n);
          z.next_out = reinterpret_cast<Bytef *>(out.data());
          z.avail_out = kChunkSize;
          ok = ok && inflate(&z, Z_FINISH) == Z_STREAM_END;
        }
        inflateEnd(&z);
        return ok;
      },
      runs);
  return b;
}

double mbPerSecond(qint64 bytes, double s) {
  return s > 0 ? bytes / 1e6 / s : 0;
}

QByteArray readAll(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const qint64 mb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
  const int runs = argc > 2 ? qMax(1, QByteArray(argv[2]).toInt()) : 2;
  if (mb <= 0) {
    std::fprintf(stderr, "usage: bench_backup [MB] [runs]\n");
    return 2;
  }
  const qint64 bytes = mb * 1000 * 1000;
  QTemporaryDir tmp;
  const QString src = tmp.filePath(QStringLiteral("src"));
  std::vector<QByteArray> files = writeFiles(src, bytes);

  const Baseline base = baseline(files, bytes, runs);
  files.clear();
  files.shrink_to_fit();

  const int cores = QThread::idealThreadCount();
  struct Result {
    double backup = 0;
    double verify = 0;
    QString file;
  };
  const auto measure = [&](int threads) {
    Result r;
    r.file = tmp.filePath(QStringLiteral("x%1.bak").arg(threads));
    TZRBackupFile b;
    b.setThreadCount(threads);
    r.backup = seconds([&] { return b.backup(src, r.file, true); }, runs);
    r.verify = seconds([&] { return b.examine(r.file, {}); }, runs);
    return r;
  };
  const Result one = measure(1);
  const Result all = measure(cores);
  const qint64 stored = QFileInfo(one.file).size();
  const bool same = readAll(one.file) == readAll(all.file);

  std::printf("data                 %lld MB: 40%% database pages, 30%% text, 30%% pictures\n",
              static_cast<long long>(mb));
  std::printf("stored               %.1f%% of the data\n", 100.0 * stored / bytes);
  std::printf("plain deflate loop   %8.1f MB/s\n", mbPerSecond(bytes, base.deflateSeconds));
  std::printf("plain inflate loop   %8.1f MB/s\n", mbPerSecond(bytes, base.inflateSeconds));
  std::printf("backup, 1 thread     %8.1f MB/s  ratio %.2f  (goal 0.9)\n", mbPerSecond(bytes, one.backup),
              base.deflateSeconds / one.backup);
  std::printf("verify, 1 thread     %8.1f MB/s  ratio %.2f  (goal 0.9)\n", mbPerSecond(bytes, one.verify),
              base.inflateSeconds / one.verify);
  std::printf("backup, %d threads    %8.1f MB/s  ratio %.2f  (goal 1.7)\n", cores,
              mbPerSecond(bytes, all.backup), base.deflateSeconds / all.backup);
  std::printf("verify, %d threads    %8.1f MB/s  ratio %.2f  (goal 1.7)\n", cores,
              mbPerSecond(bytes, all.verify), base.inflateSeconds / all.verify);
  std::printf("same bytes as 1 thread: %s\n", same ? "yes" : "NO");
  return same ? 0 : 1;
}
