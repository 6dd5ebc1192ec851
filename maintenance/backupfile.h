#pragma once
// TZRBackupFile packs files into one backup file of our own format, version "5.00", and unpacks
// it again. Every file is stored in chunks of at most 16384 bytes, each its own zlib stream (or
// raw when it does not shrink), so a chunk decodes without the ones before it; a backup may run
// over several volumes of limited size (x.bak continues in x.002, x.003 ...).
//
// The engine knows file names only, never the database, and shows no window: what it has to say
// or ask goes to the callbacks below, and the caller decides how to show it.
//
// Layout (integers int32 little-endian, strings int32 length + GBK bytes):
//   header   title, total size, file count
//   entry    name, date-time (MS-DOS packed), segments...    (repeated)
//   trailer  0
//   segment  "EC2\0", chunks (n > 0 zlib stream, n < 0 raw bytes, n = 0 end)
//   a volume that is full ends a segment with 0 and the entry "NEXT:DISK" + "002"; the next
//   volume starts with the segment that goes on with the same file.
#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <cstdint>
#include <functional>

class QFileDevice;
class QIODevice;

namespace zr::maintenance {

enum TBackupMode { bmAll, bmIncremental };
enum TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
enum TCompressionLevel { clFastest, clNone, clDefault, clMax };

// Error codes as the callbacks receive them.
enum TBackupError {
  beNone = 0,
  beReadFile = 1,      // 不能读文件: a source file could not be read, or a target not written
  beOverwrite = 2,     // 覆盖文件失败
  beReadBackup = 3,    // 不能读备份的文件: the backup ends early or cannot be opened
  beWriteBackup = 4,   // 不能写备份的文件
  beInvalidBackup = 5, // 无效的备份文件: what was read is not this format
  beCompression = 6,   // 压缩错误
  beFileList = 7,      // 不能建立临时文件去保存文件标示
};

inline constexpr int kChunkSize = 16384;
// Room kept free at the end of a volume: one chunk and its length, and some for names.
inline constexpr int kVolumeReserve = kChunkSize + 100;
inline constexpr int kFloppyVolumeSize = 1400000;
inline constexpr char kSegmentMagic[4] = {'E', 'C', '2', '\0'};
inline constexpr char16_t kFileListName[] = u"FILE:LIST";
inline constexpr char16_t kNextDiskName[] = u"NEXT:DISK";
// Destination or source that means the stream given by setStream().
inline constexpr char16_t kStreamName[] = u":STREAM";

QString backupErrorText(int code);
int zlibLevel(TCompressionLevel level);
// "请插入一个空白的软盘到驱动器A": said before a backup to drive A or B.
QString floppyWarningText(QChar drive);
// The question for the next volume; number as the user reads it ("2", not "002").
QString needDiskText(const QString &number);

// MS-DOS packed date and time (date in the high 16 bits), local time, two-second steps; times
// before 1980 or after 2107 are held to the ends of that range.
std::uint32_t packDosDateTime(const QDateTime &local);
// Invalid when the fields are out of range.
QDateTime unpackDosDateTime(std::uint32_t packed);
// The packed last-write time of a file; 0 when it cannot be read.
std::uint32_t fileDosDateTime(const QString &path);

// The path with its extension replaced ("x.bak", ".002" -> "x.002"; no extension: appended).
QString changeFileExt(const QString &path, const QString &ext);

struct BackupHeader {
  QString title;
  qint32 totalSize = 0;
  qint32 fileCount = 0;
};

// One entry as examine() found it.
struct BackupEntryInfo {
  QString name;               // as stored
  std::uint32_t dateTime = 0; // as stored
  qint64 size = 0;            // bytes after inflating
  qint64 storedBytes = 0;     // chunk bytes in the backup
  int chunks = 0;
  int firstVolume = 1;
  int lastVolume = 1;
  bool isFileList = false;
};

class TZRBackupFile {
public:
  // Percent 0..100; clearing cont stops the operation after the chunk in progress.
  using ProgressEvent = std::function<void(const QString &fileName, int percent, bool &cont)>;
  // Volume number (1 is the first); clearing cont stops.
  using NeedDiskEvent = std::function<void(std::uint16_t diskId, bool &cont)>;
  // Before a file is restored: change the target or veto it. fa: the stored date-time.
  using RestoreFileEvent = std::function<void(QString &fileName, std::int32_t fa, bool &doRestore)>;
  // A file is complete and still open; it becomes fileName (which the handler may change).
  using FileRestoredEvent = std::function<void(QString &fileName, QFileDevice &stream)>;
  using BackupErrorEvent = std::function<void(int error, const QString &errString)>;
  // Something to tell the user that needs no answer (insert a floppy).
  using WarningEvent = std::function<void(const QString &text)>;

  TZRBackupFile();
  TZRBackupFile(const TZRBackupFile &) = delete;
  TZRBackupFile &operator=(const TZRBackupFile &) = delete;
  ~TZRBackupFile();

  static QString version() { return QStringLiteral("5.00"); }

  QString backupTitle() const { return m_backupTitle; }
  void setBackupTitle(const QString &title) { m_backupTitle = title; }
  TBackupMode backupMode() const { return m_backupMode; }
  // bmIncremental also turns setArchiveFlag on.
  void setBackupMode(TBackupMode mode);
  TCompressionLevel compressionLevel() const { return m_compressionLevel; }
  void setCompressionLevel(TCompressionLevel level) { m_compressionLevel = level; }
  TRestoreMode restoreMode() const { return m_restoreMode; }
  void setRestoreMode(TRestoreMode mode) { m_restoreMode = mode; }
  // Volume size limit in bytes; 0: one volume of any size. A backup to drive A or B uses
  // kFloppyVolumeSize instead; a stream never has volumes.
  qint64 maxSize() const { return m_maxSize; }
  void setMaxSize(qint64 bytes) { m_maxSize = bytes; }
  bool setArchiveFlag() const { return m_setArchiveFlag; }
  void setSetArchiveFlag(bool on) { m_setArchiveFlag = on; }
  // Kept for callers that set it; restore decides by its destination argument alone.
  bool restoreFullPath() const { return m_restoreFullPath; }
  void setRestoreFullPath(bool on) { m_restoreFullPath = on; }
  // Store the list of files (name, date-time, size) as a first entry "FILE:LIST".
  bool saveFileID() const { return m_saveFileID; }
  void setSaveFileID(bool on) { m_saveFileID = on; }

  // Threads that pack and unpack chunks; 0: one per core. The backup's bytes are the same for
  // any number.
  int threadCount() const { return m_threadCount; }
  void setThreadCount(int n) { m_threadCount = n < 0 ? 0 : n; }

  // The stream ":STREAM" stands for, owned by the caller; open for writing (backup) or
  // reading (restore). nullptr forgets it.
  void setStream(QIODevice *stream) { m_stream = stream; }

  ProgressEvent onProgress;
  NeedDiskEvent onNeedDisk;
  RestoreFileEvent onRestoreFile;
  FileRestoredEvent onFileRestored;
  BackupErrorEvent onError;
  WarningEvent onWarning;

  // Packs source into destination. wholeDirectory: source is a directory and every file
  // directly in it is taken; otherwise source is one file name or wildcard pattern, recursive
  // into subdirectories when it ends with " /s". destination: the backup file, or ":STREAM".
  // Each volume is written under a temporary name beside it and renamed when complete; a
  // backup that fails or is stopped leaves none of its volumes behind. True when the backup
  // is complete.
  bool backup(const QString &source, const QString &destination, bool wholeDirectory);

  // Unpacks the backup whose first volume is source (or ":STREAM") into destinationDir (empty:
  // the current folder), every entry under its file part alone; a name without one fails the
  // backup as invalid. Files wait under temporary names beside their targets and are put in
  // place only when the backup has been read to its trailer, so a damaged or stopped one
  // changes nothing. False at once, with no error, when source does not exist; otherwise true
  // when nothing failed and nothing stopped it.
  bool restore(const QString &source, const QString &destinationDir);

  // Reads the backup through, inflating every chunk, and writes nothing; entry is called for
  // each entry when its data has been read. True when the backup is sound to its trailer.
  bool examine(const QString &source, const std::function<void(const BackupEntryInfo &)> &entry,
               BackupHeader *header = nullptr);

  // Run-time state of the last operation.
  int errorCode() const { return m_error; }
  QString errorText() const { return m_error ? backupErrorText(m_error) : QString(); }
  // Which file or what exactly, for a tool or a log: may be empty.
  QString errorDetail() const { return m_errorDetail; }
  qint64 totalSize() const { return m_totalSize; }
  qint64 processedBytes() const { return m_processed; }
  int filesDone() const { return m_filesDone; }
  QString currentFile() const { return m_currentFile; }
  // The volumes the last backup wrote, first one first.
  QStringList volumes() const { return m_volumes; }

private:
  friend class BackupWriter;
  friend class BackupReader;

  void reset();
  void fail(int code, const QString &detail = {});
  void progress(const QString &fileName, int percent);
  void pump();
  void reportError();
  bool askForDisk(std::uint16_t diskId);
  bool read(const QString &source, const QString &destinationDir, bool restoring,
            const std::function<void(const BackupEntryInfo &)> &entry, BackupHeader *header);

  QString m_backupTitle;
  TBackupMode m_backupMode = bmAll;
  TCompressionLevel m_compressionLevel = clFastest;
  TRestoreMode m_restoreMode = rmAll;
  qint64 m_maxSize = 0;
  bool m_setArchiveFlag = false;
  bool m_restoreFullPath = false;
  bool m_saveFileID = false;
  QIODevice *m_stream = nullptr;
  int m_threadCount = 0;

  qint64 m_totalSize = 0;
  qint64 m_processed = 0;
  int m_filesDone = 0;
  QString m_currentFile;
  bool m_continue = true;
  int m_error = beNone;
  QString m_errorDetail;
  QStringList m_volumes;
  qint64 m_lastPump = 0;
};

} // namespace zr::maintenance
