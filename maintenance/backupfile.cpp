#include "maintenance/backupfile.h"

#include "platform/os/fileflags.h"
#include "platform/os/gbk.h"

#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>
#include <QtCore/QSaveFile>
#include <QtCore/QSet>
#include <QtCore/QThread>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace zr::maintenance {
namespace {

// A name longer than any path could be is not a name; a title is free text but still bounded,
// so a damaged length never makes us allocate gigabytes.
constexpr qint64 kMaxNameBytes = 65536;
constexpr qint64 kMaxTitleBytes = 1 << 20;
constexpr int kMaxVolume = 999; // the volume number has three digits

#ifdef Q_OS_WIN
constexpr bool kCaseInsensitiveFiles = true;
#else
constexpr bool kCaseInsensitiveFiles = false;
#endif

// Names are stored expanded; where the file system ignores case they are stored in lower case
// (so one file never appears twice), elsewhere as they are, or a restore would rename them.
QString storedName(const QString &path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  if (kCaseInsensitiveFiles)
    return QDir::toNativeSeparators(full).toLower();
  return full;
}

bool isSeparator(QChar c) {
  return c == u'/' || c == u'\\';
}

// The file part of a stored name; backups made on Windows separate with "\".
QString filePart(const QString &name) {
  qsizetype i = name.size();
  while (i > 0 && !isSeparator(name[i - 1]))
    --i;
  return name.mid(i);
}

int percentOf(qint64 done, qint64 total) {
  if (total <= 0)
    return 0;
  const qint64 p = done * 100 / total;
  return p < 0 ? 0 : p > 100 ? 100 : int(p);
}

QByteArray int32Bytes(qint32 v) {
  const auto u = quint32(v);
  const char b[4] = {char(u & 0xFF), char(u >> 8 & 0xFF), char(u >> 16 & 0xFF), char(u >> 24 & 0xFF)};
  return QByteArray(b, 4);
}

// ---------------------------------------------------------------------------------------------
// The list of files a backup takes.

struct SourceList {
  QStringList files;
  QSet<QString> seen;
  QString exclude; // the backup itself
  bool incremental = false;
};

// A pattern ending in " /s" (the switch, after white space) is recursive. The switch must stand
// apart: "/s" inside a path is just a directory whose name starts with s.
bool takeRecursion(QString &pattern) {
  const QString t = pattern.trimmed();
  if (t.size() >= 3 && t.endsWith(u"/s", Qt::CaseInsensitive) && t[t.size() - 3].isSpace()) {
    pattern = t.left(t.size() - 2).trimmed();
    return true;
  }
  pattern = t;
  return false;
}

void addPattern(QString pattern, SourceList &list) {
  if (kCaseInsensitiveFiles)
    pattern = pattern.toLower();
  const bool recursive = takeRecursion(pattern);
  qsizetype cut = pattern.size();
  while (cut > 0 && !(pattern[cut - 1] == u'/' || (kCaseInsensitiveFiles && pattern[cut - 1] == u'\\')))
    --cut;
  const QString dirPart = cut == 0 ? QStringLiteral(".") : pattern.left(cut);
  QString mask = pattern.mid(cut);
  if (mask.isEmpty() || mask == u"*.*")
    mask = QStringLiteral("*"); // "*.*" takes names without a dot too
  const QDir dir(dirPart);
  if (recursive) {
    const QStringList subdirs =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QString &sub : subdirs)
      addPattern(dir.filePath(sub) + u'/' + mask + u" /s", list);
  }
  const QStringList names = dir.entryList({mask}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  for (const QString &n : names) {
    const QString full = dir.filePath(n);
    if (!QFileInfo(full).isFile()) // sockets, pipes, devices
      continue;
    const QString name = storedName(full);
    if (name == list.exclude || list.seen.contains(name))
      continue;
    if (list.incremental && !zr::os::archiveFlag(full))
      continue;
    list.seen.insert(name);
    list.files << name;
  }
}

} // namespace

// ---------------------------------------------------------------------------------------------

QString backupErrorText(int code) {
  switch (code) {
  case beReadFile: return QStringLiteral("不能读文件");
  case beOverwrite: return QStringLiteral("覆盖文件失败");
  case beReadBackup: return QStringLiteral("不能读备份的文件");
  case beWriteBackup: return QStringLiteral("不能写备份的文件");
  case beInvalidBackup: return QStringLiteral("无效的备份文件");
  case beCompression: return QStringLiteral("压缩错误");
  case beFileList: return QStringLiteral("不能建立临时文件去保存文件标示");
  default: return {};
  }
}

int zlibLevel(TCompressionLevel level) {
  switch (level) {
  case clFastest: return 1;
  case clNone: return 0;
  case clDefault: return Z_DEFAULT_COMPRESSION;
  case clMax: return 9;
  }
  return 1;
}

QString floppyWarningText(QChar drive) {
  return u"请插入一个空白的软盘到驱动器" % QString(drive.toUpper());
}

QString needDiskText(const QString &number) {
  return u"请插入一个空白的磁盘" % number % u"并且按《确定》按钮继续。";
}

std::uint32_t packDosDateTime(const QDateTime &when) {
  if (!when.isValid())
    return 0;
  const QDateTime local = when.toLocalTime();
  QDate d = local.date();
  QTime t = local.time();
  if (d.year() < 1980) {
    d = QDate(1980, 1, 1);
    t = QTime(0, 0, 0);
  } else if (d.year() > 2107) {
    d = QDate(2107, 12, 31);
    t = QTime(23, 59, 58);
  }
  const std::uint32_t date = std::uint32_t(d.year() - 1980) << 9 | std::uint32_t(d.month()) << 5 | d.day();
  const std::uint32_t time = std::uint32_t(t.hour()) << 11 | std::uint32_t(t.minute()) << 5 | t.second() / 2;
  return date << 16 | time;
}

QDateTime unpackDosDateTime(std::uint32_t packed) {
  const QDate d(int(packed >> 25) + 1980, int(packed >> 21 & 0x0F), int(packed >> 16 & 0x1F));
  const QTime t(int(packed >> 11 & 0x1F), int(packed >> 5 & 0x3F), int(packed & 0x1F) * 2);
  if (!d.isValid() || !t.isValid())
    return {};
  return QDateTime(d, t);
}

std::uint32_t fileDosDateTime(const QString &path) {
  const QFileInfo fi(path);
  return fi.exists() ? packDosDateTime(fi.lastModified()) : 0;
}

QString changeFileExt(const QString &path, const QString &ext) {
  for (qsizetype i = path.size() - 1; i >= 0; --i) {
    if (isSeparator(path[i]))
      break;
    if (path[i] == u'.')
      return path.left(i) + ext;
  }
  return path + ext;
}

// ---------------------------------------------------------------------------------------------
// Chunks are independent, so a batch of them is packed or unpacked on several threads and then
// written in order: the bytes are those one thread would write.

constexpr int kBatchChunks = 128;
constexpr qsizetype kPendingBytes = 256 * 1024;

// Helper threads that live as long as one operation. run() calls fn(item, worker) for every item
// of [0, count) and returns when all are done; the calling thread takes items too, so a helper
// that the scheduler wakes late never holds the batch up: it simply finds nothing left.
class ChunkPool {
public:
  explicit ChunkPool(int threads) {
    try {
      for (int w = 1; w < threads; ++w)
        m_threads.emplace_back([this, w] { loop(w); });
    } catch (const std::system_error &) {
      // No more threads to be had: the ones we got do the work.
    }
  }
  ~ChunkPool() {
    {
      std::lock_guard lock(m_mutex);
      m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread &t : m_threads)
      t.join();
  }
  ChunkPool(const ChunkPool &) = delete;
  ChunkPool &operator=(const ChunkPool &) = delete;

  int workers() const { return 1 + int(m_threads.size()); }

  void run(int count, const std::function<void(int, int)> &fn) {
    if (count <= 1 || m_threads.empty()) {
      for (int i = 0; i < count; ++i)
        fn(i, 0);
      return;
    }
    {
      std::unique_lock lock(m_mutex);
      m_idle.wait(lock, [this] { return m_inside == 0; }); // a late helper has left the last batch
      m_fn = &fn;
      m_count = count;
      m_next = 0;
      m_done = 0;
      ++m_generation;
    }
    m_wake.notify_all();
    take(fn, count, 0);
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this, count] { return m_done.load() == count && m_inside == 0; });
    m_fn = nullptr;
  }

private:
  void take(const std::function<void(int, int)> &fn, int count, int worker) {
    for (int i = m_next.fetch_add(1); i < count; i = m_next.fetch_add(1)) {
      fn(i, worker);
      m_done.fetch_add(1);
    }
  }

  void loop(int worker) {
    std::uint64_t seen = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
      if (m_stop)
        return;
      seen = m_generation;
      const std::function<void(int, int)> *fn = m_fn;
      const int count = m_count;
      if (!fn)
        continue;
      ++m_inside;
      lock.unlock();
      take(*fn, count, worker);
      lock.lock();
      --m_inside;
      m_idle.notify_all();
    }
  }

  std::vector<std::thread> m_threads;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_idle;
  bool m_stop = false;
  std::uint64_t m_generation = 0;
  const std::function<void(int, int)> *m_fn = nullptr;
  int m_count = 0;
  int m_inside = 0;
  std::atomic<int> m_next{0};
  std::atomic<int> m_done{0};
};

int resolvedThreads(int wanted) {
  const int n = wanted > 0 ? wanted : QThread::idealThreadCount();
  return std::clamp(n, 1, 16);
}

// ---------------------------------------------------------------------------------------------
// Writing: the volumes, the chunks and their compressor.

class BackupWriter {
public:
  BackupWriter(TZRBackupFile &owner, const QString &destination, qint64 limit)
      : m_o(owner), m_destination(destination), m_limit(limit),
        m_threads(resolvedThreads(owner.m_threadCount)), m_z(new z_stream[std::size_t(m_threads)]),
        m_blocks(kBatchChunks) {
    // One compressor per thread, reset before every chunk: the output is that of a fresh one
    // each time, without allocating its state anew 60,000 times a gigabyte.
    for (int w = 0; w < m_threads; ++w) {
      std::memset(&m_z[w], 0, sizeof(z_stream));
      if (deflateInit2(&m_z[w], zlibLevel(owner.m_compressionLevel), Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) ==
          Z_OK)
        ++m_zReady;
      else
        break;
    }
    for (Block &b : m_blocks) {
      b.data.resize(kChunkSize);
      b.packed.resize(kChunkSize);
    }
  }
  ~BackupWriter() {
    for (int w = 0; w < m_zReady; ++w)
      deflateEnd(&m_z[w]);
    if (m_file)
      m_file->cancelWriting();
  }

  bool open() {
    if (m_destination == kStreamName) {
      m_out = m_o.m_stream;
      if (!m_out || !m_out->isWritable())
        return fail(beWriteBackup, QStringLiteral("no stream to write to"));
      return true;
    }
    return openVolume(m_destination);
  }

  bool writeInt32(qint32 v) { return writeRaw(int32Bytes(v)); }
  bool writeString(const QByteArray &bytes) { return writeInt32(qint32(bytes.size())) && writeRaw(bytes); }

  // The data of one file: segments of chunks, going on in the next volume where one is full.
  bool writeData(QIODevice &in) {
    if (!writeRaw(QByteArray(kSegmentMagic, 4)))
      return false;
    bool atEnd = false;
    while (!atEnd) {
      int count = 0;
      while (count < kBatchChunks) {
        const qint64 n = readBlock(in, m_blocks[count].data);
        if (n < 0)
          return fail(beReadFile, m_o.m_currentFile);
        if (n > 0)
          m_blocks[count++].size = int(n);
        if (n < kChunkSize) {
          atEnd = true;
          break;
        }
      }
      if (m_zReady < m_threads)
        return fail(beCompression, {});
      m_pool.run(count, [this](int i, int w) { pack(m_z[w], m_blocks[i]); });
      for (int i = 0; i < count; ++i) {
        while (m_limit > 0 && m_out->pos() + m_pending.size() >= m_limit - kVolumeReserve) {
          if (!nextVolume())
            return false;
        }
        if (!writeChunk(m_blocks[i]))
          return false;
        m_o.m_processed += m_blocks[i].size;
        m_o.pump();
        m_o.progress(m_o.m_currentFile, percentOf(m_o.m_processed, m_o.m_totalSize));
        if (!m_o.m_continue)
          return false;
      }
    }
    return writeInt32(0);
  }

  // The trailer, and the last volume put in place.
  bool finish() {
    if (!writeInt32(0) || !flushPending())
      return false;
    if (!m_file)
      return true; // a stream: the caller owns it
    return commit();
  }

  // Drops the volume being written and those this backup already completed.
  void abandon() {
    if (m_file) {
      m_file->cancelWriting();
      m_file.reset();
    }
    for (const QString &v : std::as_const(m_o.m_volumes))
      QFile::remove(v);
    m_o.m_volumes.clear();
  }

private:
  bool fail(int code, const QString &detail) {
    m_o.fail(code, detail);
    return false;
  }

  bool openVolume(const QString &path) {
    m_file = std::make_unique<QSaveFile>(path);
    if (!m_file->open(QIODevice::WriteOnly)) {
      const QString why = m_file->errorString();
      m_file.reset();
      return fail(beWriteBackup, path + u": " + why);
    }
    m_out = m_file.get();
    return true;
  }

  bool commit() {
    if (!flushPending())
      return false;
    const QString path = m_file->fileName();
    if (!m_file->commit()) {
      const QString why = m_file->errorString();
      m_file.reset();
      return fail(beWriteBackup, path + u": " + why);
    }
    m_file.reset();
    m_o.m_volumes << path;
    return true;
  }

  // Small pieces (lengths, chunks) are gathered and written a batch at a time.
  bool writeRaw(const QByteArray &bytes) {
    m_pending += bytes;
    return m_pending.size() < kPendingBytes || flushPending();
  }

  bool flushPending() {
    if (m_pending.isEmpty())
      return true;
    const bool ok = m_out->write(m_pending) == m_pending.size();
    m_pending.resize(0); // keeps its capacity
    return ok || fail(beWriteBackup, m_out->errorString());
  }

  struct Block {
    QByteArray data;   // the file's bytes
    int size = 0;      // how many of them
    QByteArray packed; // the zlib stream
    int result = 0;    // > 0: size of the stream, < 0: store raw, 0: the compressor failed
    QString error;
  };

  // A full block unless the file ends.
  static qint64 readBlock(QIODevice &in, QByteArray &block) {
    qint64 got = 0;
    while (got < kChunkSize) {
      const qint64 r = in.read(block.data() + got, kChunkSize - got);
      if (r < 0)
        return -1;
      if (r == 0)
        break;
      got += r;
    }
    return got;
  }

  // One block into one zlib stream by a single finish call into a block-sized buffer; one that
  // does not fit is stored as it is. Runs on any thread: touches only b and z.
  static void pack(z_stream &z, Block &b) {
    deflateReset(&z);
    z.next_in = reinterpret_cast<Bytef *>(b.data.data());
    z.avail_in = uInt(b.size);
    z.next_out = reinterpret_cast<Bytef *>(b.packed.data());
    z.avail_out = kChunkSize;
    const int rc = deflate(&z, Z_FINISH);
    if (rc == Z_STREAM_END) {
      b.result = int(z.total_out);
    } else if (rc == Z_OK || rc == Z_BUF_ERROR) {
      b.result = -b.size;
    } else {
      b.result = 0;
      b.error = QString::fromLatin1(z.msg ? z.msg : "deflate");
    }
  }

  bool writeChunk(const Block &b) {
    if (b.result > 0)
      return writeInt32(b.result) && writeRaw(QByteArray::fromRawData(b.packed.constData(), b.result));
    if (b.result < 0)
      return writeInt32(b.result) && writeRaw(QByteArray::fromRawData(b.data.constData(), b.size));
    return fail(beCompression, b.error);
  }

  // Ends the segment and the volume and goes on with a new segment in the next one.
  bool nextVolume() {
    if (m_volume >= kMaxVolume)
      return fail(beWriteBackup, QStringLiteral("more than 999 volumes"));
    ++m_volume;
    const QString digits = QStringLiteral("%1").arg(m_volume, 3, 10, QLatin1Char('0'));
    if (!writeInt32(0) || !writeString(QString(QString::fromUtf16(kNextDiskName) + digits).toLatin1()))
      return false;
    if (!commit())
      return false;
    if (!m_o.askForDisk(std::uint16_t(m_volume)))
      return false;
    return openVolume(changeFileExt(m_destination, u'.' + digits)) && writeRaw(QByteArray(kSegmentMagic, 4));
  }

  TZRBackupFile &m_o;
  QString m_destination;
  qint64 m_limit;
  int m_volume = 1;
  std::unique_ptr<QSaveFile> m_file;
  QIODevice *m_out = nullptr;
  int m_threads;
  std::unique_ptr<z_stream[]> m_z; // z_streams must not move once initialised
  int m_zReady = 0;
  std::vector<Block> m_blocks;
  ChunkPool m_pool{m_threads};
  QByteArray m_pending;
};

// ---------------------------------------------------------------------------------------------
// Reading: volumes in turn, chunks checked and inflated.

class BackupReader {
public:
  explicit BackupReader(TZRBackupFile &owner)
      : m_o(owner), m_threads(resolvedThreads(owner.m_threadCount)),
        m_z(new z_stream[std::size_t(m_threads)]), m_chunks(kBatchChunks),
        m_skip(kChunkSize, Qt::Uninitialized) {
    for (int w = 0; w < m_threads; ++w) {
      std::memset(&m_z[w], 0, sizeof(z_stream));
      if (inflateInit(&m_z[w]) == Z_OK)
        ++m_zReady;
      else
        break;
    }
    for (Chunk &c : m_chunks) {
      c.stored.resize(kChunkSize);
      c.plain.resize(kChunkSize);
    }
  }
  ~BackupReader() {
    for (int w = 0; w < m_zReady; ++w)
      inflateEnd(&m_z[w]);
  }

  void useStream(QIODevice *s) { m_in = s; }

  bool openFile(const QString &path) {
    m_file = std::make_unique<QFile>(path);
    if (!m_file->open(QIODevice::ReadOnly))
      return fail(beReadBackup, path + u": " + m_file->errorString());
    m_path = path;
    m_in = m_file.get();
    return true;
  }

  int volume() const { return m_volume; }

  bool readInt32(qint32 &v) {
    unsigned char b[4];
    if (!readExact(reinterpret_cast<char *>(b), 4))
      return false;
    v = qint32(quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24);
    return true;
  }

  // A length and that many bytes. False (and nothing allocated) when the length is negative,
  // beyond cap, or beyond what the file still holds.
  bool readString(QByteArray &out, qint64 cap) {
    qint32 n = 0;
    if (!readInt32(n))
      return false;
    return readBytes(n, out, cap);
  }

  bool readBytes(qint64 n, QByteArray &out, qint64 cap) {
    if (n < 0 || n > cap || (!m_in->isSequential() && n > m_in->size() - m_in->pos()))
      return false;
    out.resize(n);
    return readExact(out.data(), n);
  }

  bool readExact(char *p, qint64 n) {
    while (n > 0) {
      const qint64 r = m_in->read(p, n);
      if (r <= 0)
        return false;
      p += r;
      n -= r;
    }
    return true;
  }

  // One segment: its magic, then chunks up to the zero. Chunks go into target when there is
  // one; without a target they are skipped, or inflated and counted when check is set.
  bool readSegment(QFileDevice *target, BackupEntryInfo &info, bool check) {
    char magic[4];
    if (!readExact(magic, 4))
      return fail(beReadBackup, QStringLiteral("the backup ends inside an entry"));
    if (std::memcmp(magic, kSegmentMagic, 4) != 0)
      return fail(beInvalidBackup, QStringLiteral("no segment mark at byte %1").arg(m_in->pos() - 4));
    const bool keep = target || check;
    for (;;) {
      // A batch of chunks as stored; a fault found while reading counts after the chunks before it.
      int count = 0;
      bool end = false;
      int fault = beNone;
      QString faultDetail;
      while (count < kBatchChunks) {
        qint32 n = 0;
        if (!readInt32(n)) {
          fault = beReadBackup;
          faultDetail = QStringLiteral("the backup ends inside an entry");
          break;
        }
        if (n == 0) {
          end = true;
          break;
        }
        const qint64 len = n < 0 ? -qint64(n) : qint64(n);
        if (len > kChunkSize) {
          fault = beInvalidBackup;
          faultDetail = QStringLiteral("chunk of %1 bytes at byte %2").arg(n).arg(m_in->pos() - 4);
          break;
        }
        ++info.chunks;
        info.storedBytes += len;
        if (!keep) {
          if (!skip(len)) {
            fault = beReadBackup;
            faultDetail = QStringLiteral("the backup ends inside an entry");
            break;
          }
          continue;
        }
        Chunk &c = m_chunks[count];
        c.n = n;
        c.at = m_in->pos();
        if (!readExact(c.stored.data(), len)) {
          fault = beReadBackup;
          faultDetail = QStringLiteral("the backup ends inside an entry");
          break;
        }
        ++count;
      }
      if (count > 0 && m_zReady < m_threads)
        return fail(beInvalidBackup, QStringLiteral("no decompressor"));
      m_pool.run(count, [this](int i, int w) { unpack(m_z[w], m_chunks[i]); });
      for (int i = 0; i < count; ++i) {
        const Chunk &c = m_chunks[i];
        if (c.size < 0)
          return fail(beInvalidBackup, QStringLiteral("damaged chunk at byte %1").arg(c.at));
        const char *data = c.n > 0 ? c.plain.constData() : c.stored.constData();
        info.size += c.size;
        if (target && target->write(data, c.size) != c.size)
          return fail(beReadFile, target->fileName() + u": " + target->errorString());
        m_o.m_processed += c.size;
        m_o.pump();
        m_o.progress(m_o.m_currentFile, percentOf(m_o.m_processed, m_o.m_totalSize));
        if (!m_o.m_continue)
          return false;
      }
      if (fault != beNone)
        return fail(fault, faultDetail);
      if (end)
        return true;
    }
  }

  // After "NEXT:DISK" + digits: the volume of that number beside the current one.
  bool nextVolume(const QByteArray &digits) {
    if (m_path.isEmpty())
      return fail(beReadBackup, QStringLiteral("a stream has no further volumes"));
    const QString next = changeFileExt(m_path, u'.' + QString::fromLatin1(digits));
    const int number = digits.toInt();
    m_file.reset();
    m_in = nullptr;
    if (m_o.onNeedDisk) {
      do {
        if (!m_o.askForDisk(std::uint16_t(number)))
          return false;
      } while (!QFileInfo::exists(next));
    } else if (!QFileInfo::exists(next)) {
      return fail(beReadBackup, next + u": missing volume");
    }
    if (!openFile(next))
      return false;
    m_volume = number;
    return true;
  }

private:
  bool fail(int code, const QString &detail) {
    m_o.fail(code, detail);
    return false;
  }

  bool skip(qint64 n) {
    if (!m_in->isSequential()) {
      if (n > m_in->size() - m_in->pos())
        return false;
      return m_in->seek(m_in->pos() + n);
    }
    return readExact(m_skip.data(), n); // n is at most one chunk
  }

  struct Chunk {
    qint32 n = 0;      // as stored: > 0 zlib stream, < 0 raw
    qint64 at = 0;     // where its bytes begin, for the message
    QByteArray stored; // its bytes
    QByteArray plain;  // inflated
    qint64 size = 0;   // bytes of file data; -1 when the stream is damaged
  };

  // One complete zlib stream, nothing after it, at most one chunk of output. Runs on any
  // thread: touches only c and z.
  static void unpack(z_stream &z, Chunk &c) {
    if (c.n < 0) {
      c.size = -qint64(c.n);
      return;
    }
    c.size = -1;
    if (inflateReset(&z) != Z_OK)
      return;
    z.next_in = reinterpret_cast<Bytef *>(c.stored.data());
    z.avail_in = uInt(c.n);
    z.next_out = reinterpret_cast<Bytef *>(c.plain.data());
    z.avail_out = kChunkSize;
    if (inflate(&z, Z_FINISH) != Z_STREAM_END || z.avail_in != 0)
      return;
    c.size = qint64(z.total_out);
  }

  TZRBackupFile &m_o;
  std::unique_ptr<QFile> m_file;
  QIODevice *m_in = nullptr;
  QString m_path;
  int m_volume = 1;
  int m_threads;
  std::unique_ptr<z_stream[]> m_z;
  int m_zReady = 0;
  std::vector<Chunk> m_chunks;
  QByteArray m_skip;
  ChunkPool m_pool{m_threads};
};

// ---------------------------------------------------------------------------------------------

TZRBackupFile::TZRBackupFile() = default;
TZRBackupFile::~TZRBackupFile() = default;

void TZRBackupFile::setBackupMode(TBackupMode mode) {
  m_backupMode = mode;
  if (mode == bmIncremental)
    m_setArchiveFlag = true;
}

void TZRBackupFile::reset() {
  m_totalSize = 0;
  m_processed = 0;
  m_filesDone = 0;
  m_currentFile.clear();
  m_continue = true;
  m_error = beNone;
  m_errorDetail.clear();
  m_volumes.clear();
}

void TZRBackupFile::fail(int code, const QString &detail) {
  if (m_error == beNone) {
    m_error = code;
    m_errorDetail = detail;
  }
  m_continue = false;
}

void TZRBackupFile::progress(const QString &fileName, int percent) {
  if (!onProgress)
    return;
  bool cont = m_continue;
  onProgress(fileName, percent, cont);
  if (!cont)
    m_continue = false;
}

// Keeps a window that shows the progress alive; at most every 50 ms, so a fast disk is not
// slowed down by an empty event queue.
void TZRBackupFile::pump() {
  if (!QCoreApplication::instance())
    return;
  const qint64 now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
  if (now - m_lastPump < 50)
    return;
  m_lastPump = now;
  QCoreApplication::processEvents();
}

void TZRBackupFile::reportError() {
  if (m_error != beNone && onError)
    onError(m_error, backupErrorText(m_error));
}

bool TZRBackupFile::askForDisk(std::uint16_t diskId) {
  if (onNeedDisk) {
    bool cont = m_continue;
    onNeedDisk(diskId, cont);
    if (!cont)
      m_continue = false;
  }
  return m_continue;
}

bool TZRBackupFile::backup(const QString &source, const QString &destination, bool wholeDirectory) {
  reset();
  const bool toStream = destination == kStreamName;
  qint64 limit = toStream ? 0 : m_maxSize;
  if (!toStream && destination.size() >= 2 && destination[1] == u':' &&
      QStringView(u"aAbB").contains(destination[0])) {
    if (onWarning)
      onWarning(floppyWarningText(destination[0]));
    limit = kFloppyVolumeSize;
  }
  // A continuation volume must take at least one chunk, or the backup would never end.
  if (limit < 0 || (limit > 0 && limit <= kVolumeReserve + 4)) {
    fail(beWriteBackup, QStringLiteral("a volume must hold more than %1 bytes").arg(kVolumeReserve + 4));
    reportError();
    return false;
  }

  SourceList list;
  list.incremental = m_backupMode == bmIncremental;
  if (!toStream)
    list.exclude = storedName(destination);
  if (wholeDirectory) {
    QString dir = source;
    if (!dir.isEmpty() && !isSeparator(dir.back()))
      dir += u'/';
    addPattern(dir + u"*.*", list);
  } else {
    addPattern(source, list);
  }

  // Names in GBK, the total, and the file list, in one pass over the files.
  QList<QByteArray> names;
  names.reserve(list.files.size());
  QByteArray fileList;
  qint64 total = 0;
  for (const QString &f : std::as_const(list.files)) {
    bool ok = false;
    names << zr::gbk::encode(f, &ok);
    if (!ok) {
      const int at = zr::gbk::firstUnencodable(f);
      fail(beReadFile, f + u": " + zr::gbk::unencodableMessage(at >= 0 ? f.at(at).unicode() : 0xFFFD));
      reportError();
      return false;
    }
    const QFileInfo fi(f);
    if (!fi.exists())
      continue;
    total += fi.size();
    if (m_saveFileID)
      fileList += names.back() + '\t' + QByteArray::number(qint32(packDosDateTime(fi.lastModified()))) + '=' +
                  QByteArray::number(fi.size()) + "\r\n";
  }
  if (m_saveFileID)
    total += fileList.size();
  m_totalSize = total;

  bool titleOk = false;
  const QByteArray title = zr::gbk::encode(m_backupTitle, &titleOk);
  if (!titleOk) {
    const int at = zr::gbk::firstUnencodable(m_backupTitle);
    fail(beWriteBackup, zr::gbk::unencodableMessage(at >= 0 ? m_backupTitle.at(at).unicode() : 0xFFFD));
    reportError();
    return false;
  }

  progress(QString(), 0);
  BackupWriter w(*this, destination, limit);
  // The header holds 32 bits; the total only drives progress, so a larger one is capped.
  bool ok = m_continue && w.open() && w.writeString(title) &&
            w.writeInt32(qint32(qMin<qint64>(total, std::numeric_limits<qint32>::max()))) &&
            w.writeInt32(qint32(list.files.size()));
  if (ok && m_saveFileID) {
    m_currentFile = QString::fromUtf16(kFileListName);
    QBuffer buf(&fileList);
    buf.open(QIODevice::ReadOnly);
    ok = w.writeString(QByteArrayLiteral("FILE:LIST")) &&
         w.writeInt32(qint32(packDosDateTime(QDateTime::currentDateTime()))) && w.writeData(buf);
  }
  QStringList written;
  for (qsizetype i = 0; ok && m_continue && i < list.files.size(); ++i) {
    const QString &f = list.files[i];
    if (!QFileInfo::exists(f)) // gone since it was listed
      continue;
    m_currentFile = f;
    QFile in(f);
    ok = w.writeString(names[i]);
    if (ok && !in.open(QIODevice::ReadOnly)) {
      fail(beReadFile, f + u": " + in.errorString());
      ok = false;
    }
    ok = ok && w.writeInt32(qint32(packDosDateTime(QFileInfo(in).lastModified()))) && w.writeData(in);
    if (ok) {
      written << f;
      ++m_filesDone;
    }
  }
  ok = ok && m_continue && w.finish();
  if (ok) {
    // Only a complete backup counts: one that failed is gone, and its files stay flagged.
    if (m_setArchiveFlag)
      for (const QString &f : std::as_const(written))
        zr::os::clearArchiveFlag(f);
  } else {
    w.abandon();
  }
  progress(QString(), 100);
  reportError();
  return ok;
}

bool TZRBackupFile::restore(const QString &source, const QString &destinationDir) {
  return read(source, destinationDir, true, {}, nullptr);
}

bool TZRBackupFile::examine(const QString &source, const std::function<void(const BackupEntryInfo &)> &entry,
                            BackupHeader *header) {
  return read(source, QString(), false, entry, header);
}

namespace {

// The name an entry is restored under: its file part alone, whatever machine wrote it
// ("c:\zr\data\a.db" gives "a.db"). Empty when that part is no name of a file in a folder, so
// a damaged or forged entry can never reach outside the folder it is restored into.
QString restorableName(const QString &name) {
  const QString part = filePart(name);
  if (part.isEmpty() || part == u"." || part == u".." || part.contains(QChar(u'\0')))
    return {};
#ifdef Q_OS_WIN
  if (part.contains(u':')) // "c:x" names a drive's current folder
    return {};
#endif
  return part;
}

// A restored file waits under a temporary name beside its target until the whole backup has
// been read, so a backup that turns out damaged leaves every file as it was.
struct StagedFile {
  QString temp;
  QString target;
  std::uint32_t dateTime = 0;
};

// Creates a new, empty temporary file in dir with the permissions any new file gets there.
std::unique_ptr<QFile> createStagingFile(const QString &dir, QString &why) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString name =
        dir + u"/.zr-restore-" + QString::number(QRandomGenerator::global()->generate64(), 36);
    auto f = std::make_unique<QFile>(name);
    if (f->open(QIODevice::ReadWrite | QIODevice::NewOnly))
      return f;
    if (!QFileInfo::exists(name)) {
      why = f->errorString();
      return nullptr;
    }
  }
  why = QStringLiteral("no free temporary name");
  return nullptr;
}

// Puts a finished file in place, replacing what is there.
bool placeFile(const QString &temp, const QString &target, QString &why) {
  std::error_code ec;
  std::filesystem::rename(std::filesystem::path(temp.toStdU16String()),
                          std::filesystem::path(target.toStdU16String()), ec);
  if (!ec)
    return true;
  // Another file system (a handler moved the target elsewhere): copy it over instead.
  QFile::remove(target);
  if (QFile::copy(temp, target)) {
    QFile::remove(temp);
    return true;
  }
  why = QString::fromStdString(ec.message());
  return false;
}

// pending: a file this restore already holds for target, which counts as being there.
bool wanted(TRestoreMode mode, const QString &target, std::uint32_t stored, const StagedFile *pending) {
  const QFileInfo fi(target);
  const bool exists = pending || fi.exists();
  const std::uint32_t have = pending ? pending->dateTime : exists ? packDosDateTime(fi.lastModified()) : 0;
  const bool older = exists && have < stored;
  switch (mode) {
  case rmAll: return true;
  case rmNoOverwrite: return !exists;
  case rmNewer: return !exists || older;
  case rmExisting: return exists;
  case rmExistingNewer: return older;
  }
  return false;
}

} // namespace

bool TZRBackupFile::read(const QString &source, const QString &destinationDir, bool restoring,
                         const std::function<void(const BackupEntryInfo &)> &entry, BackupHeader *header) {
  reset();
  BackupReader r(*this);
  if (source == kStreamName) {
    if (!m_stream || !m_stream->isReadable()) {
      fail(beReadBackup, QStringLiteral("no stream to read from"));
      reportError();
      return false;
    }
    r.useStream(m_stream);
  } else {
    if (!QFileInfo::exists(source))
      return false;
    if (!r.openFile(source)) {
      reportError();
      return false;
    }
  }

  QByteArray title;
  qint32 total = 0;
  qint32 count = 0;
  if (!r.readString(title, kMaxTitleBytes) || !r.readInt32(total) || !r.readInt32(count)) {
    fail(beReadBackup, QStringLiteral("no header"));
    reportError();
    return false;
  }
  m_totalSize = total;
  if (header)
    *header = {zr::gbk::decode(title), total, count};

  // Without a folder the files go into the current one: a stored path is never followed.
  QString dir = QDir::fromNativeSeparators(destinationDir.isEmpty() ? QDir::currentPath() : destinationDir);
  if (!dir.endsWith(u'/'))
    dir += u'/';

  std::vector<StagedFile> staged;
  QHash<QString, std::size_t> stagedAt; // target -> its entry in staged
  QStringList madeDirs;                 // created by this restore, outermost first

  // The entry being read; its file is complete only when the next entry begins, since a
  // "NEXT:DISK" may still add to it.
  struct Current {
    bool active = false;
    BackupEntryInfo info;
    std::unique_ptr<QFile> file;
    QString target;
  } cur;
  const auto dropCurrent = [&] {
    if (cur.file) {
      cur.file->close();
      QFile::remove(cur.file->fileName());
      cur.file.reset();
    }
  };
  const auto finish = [&]() -> bool {
    if (!cur.active)
      return true;
    cur.active = false;
    if (entry)
      entry(cur.info);
    if (!cur.file)
      return true;
    QString name = cur.target;
    if (onFileRestored)
      onFileRestored(name, *cur.file);
    // The time goes on after the last write, or writing would move it again.
    bool ok = cur.file->flush();
    const QDateTime when = unpackDosDateTime(cur.info.dateTime);
    if (ok && when.isValid())
      cur.file->setFileTime(when, QFileDevice::FileModificationTime);
    const QString why = cur.file->errorString();
    cur.file->close();
    ok = ok && cur.file->error() == QFileDevice::NoError;
    if (!ok) {
      dropCurrent();
      fail(beReadFile, name + u": " + why);
      return false;
    }
    const QString key = QFileInfo(name).absoluteFilePath();
    if (const auto it = stagedAt.constFind(key); it != stagedAt.cend()) {
      // A later entry of the same name wins, as if the earlier one had been overwritten.
      QFile::remove(staged[*it].temp);
      staged[*it].target.clear();
    }
    stagedAt.insert(key, staged.size());
    staged.push_back({cur.file->fileName(), key, cur.info.dateTime});
    cur.file.reset();
    ++m_filesDone;
    return true;
  };

  bool done = false;
  while (m_continue) {
    qint32 len = 0;
    if (!r.readInt32(len)) {
      fail(beReadBackup, QStringLiteral("the backup ends without its trailer"));
      break;
    }
    if (len == 0) {
      done = finish();
      break;
    }
    QByteArray raw;
    if (len < 0 || len > kMaxNameBytes) {
      fail(beInvalidBackup, QStringLiteral("name of %1 bytes").arg(len));
      break;
    }
    if (!r.readBytes(len, raw, kMaxNameBytes)) {
      fail(beReadBackup, QStringLiteral("the backup ends inside a name"));
      break;
    }
    if (raw.startsWith("NEXT:DISK")) {
      const QByteArray digits = raw.mid(9);
      const bool digitsOk = digits.size() == 3 && std::all_of(digits.begin(), digits.end(),
                                                              [](char c) { return c >= '0' && c <= '9'; });
      if (!cur.active || !digitsOk) {
        fail(beInvalidBackup, QString::fromLatin1(raw));
        break;
      }
      if (!r.nextVolume(digits))
        break;
      cur.info.lastVolume = r.volume();
      if (!r.readSegment(cur.file.get(), cur.info, !restoring))
        break;
      continue;
    }
    if (!finish())
      break;
    qint32 fa = 0;
    if (!r.readInt32(fa)) {
      fail(beReadBackup, QStringLiteral("the backup ends inside an entry"));
      break;
    }
    cur.active = true;
    cur.info = {};
    cur.info.name = zr::gbk::decode(raw);
    cur.info.dateTime = std::uint32_t(fa);
    cur.info.isFileList = raw == "FILE:LIST";
    cur.info.firstVolume = cur.info.lastVolume = r.volume();
    m_currentFile = cur.info.name;
    const QString part = cur.info.isFileList ? QString() : restorableName(cur.info.name);
    if (!cur.info.isFileList && part.isEmpty()) {
      // No writer of ours stores such a name: the backup is damaged or forged.
      QString shown = cur.info.name;
      shown.replace(QChar(u'\0'), QStringLiteral("\\0"));
      fail(beInvalidBackup, u"no file name in the entry \"" % shown % u'"');
      break;
    }
    if (restoring && !cur.info.isFileList) {
      QString target = dir + part;
      const auto pending = stagedAt.constFind(QFileInfo(target).absoluteFilePath());
      bool doRestore = wanted(m_restoreMode, target, std::uint32_t(fa),
                              pending == stagedAt.cend() ? nullptr : &staged[*pending]);
      if (onRestoreFile)
        onRestoreFile(target, fa, doRestore);
      if (doRestore && !target.isEmpty()) {
        const QString parent = QFileInfo(target).absolutePath();
        QStringList missing;
        for (QString d = parent; !d.isEmpty() && !QFileInfo::exists(d);) {
          missing.prepend(d);
          const QString up = QFileInfo(d).absolutePath();
          if (up == d)
            break;
          d = up;
        }
        QDir().mkpath(parent);
        for (const QString &d : std::as_const(missing))
          if (QFileInfo(d).isDir())
            madeDirs << d;
        if (QFileInfo(parent).isDir()) {
          QString why;
          cur.file = createStagingFile(parent, why);
          if (!cur.file) {
            fail(beReadFile, target + u": " + why);
            break;
          }
          cur.target = target;
        }
      }
    }
    if (!r.readSegment(cur.file.get(), cur.info, !restoring))
      break;
  }
  dropCurrent(); // an unfinished file is never put in place

  bool ok = done && m_error == beNone && m_continue;
  for (StagedFile &s : staged) {
    if (s.target.isEmpty())
      continue;
    QString why;
    if (ok && !placeFile(s.temp, s.target, why)) {
      fail(beReadFile, s.target + u": " + why);
      ok = false;
    }
    if (!ok)
      QFile::remove(s.temp);
  }
  if (!ok) {
    // Folders made for files that never arrived go again (only while empty).
    for (auto it = madeDirs.crbegin(); it != madeDirs.crend(); ++it)
      QDir().rmdir(*it);
  }
  progress(QString(), 100);
  reportError();
  return ok;
}

} // namespace zr::maintenance
