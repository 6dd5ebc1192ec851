// Fuzz target of the backup reader: any bytes go through examine and through a restore, from a
// stream and from a file, into a scratch folder. Whatever they are, the reader must end with a
// result, never read or write out of bounds, and never put a file outside that folder.
#include "maintenance/backupfile.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  using zr::maintenance::TZRBackupFile;
  static QTemporaryDir scratch;
  const QString out = scratch.filePath(QStringLiteral("out"));
  QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

  {
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TZRBackupFile b;
    b.setThreadCount(2); // chunks unpacked beside this thread, results taken in order
    b.setStream(&in);
    b.examine(QStringLiteral(":STREAM"), {});
  }
  {
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TZRBackupFile b;
    b.setThreadCount(1);
    b.setStream(&in);
    b.restore(QStringLiteral(":STREAM"), out);
  }
  {
    // From a file the reader seeks over what it does not restore: every other entry here.
    const QString file = scratch.filePath(QStringLiteral("in.bak"));
    QFile f(file);
    if (f.open(QIODevice::WriteOnly)) {
      f.write(bytes);
      f.close();
      TZRBackupFile b;
      b.setThreadCount(1);
      int n = 0;
      b.onRestoreFile = [&n](QString &, std::int32_t, bool &doRestore) {
        doRestore = doRestore && (n++ % 2 == 0);
      };
      b.restore(file, out);
    }
  }
  QDir(out).removeRecursively();
  return 0;
}
