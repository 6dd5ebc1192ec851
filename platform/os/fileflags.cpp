#include "platform/os/fileflags.h"

#include <QtCore/QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

namespace zr::os {

#ifdef Q_OS_WIN

bool archiveFlag(const QString &path) {
  const DWORD a = GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_ARCHIVE);
}

bool clearArchiveFlag(const QString &path) {
  const auto name = reinterpret_cast<const wchar_t *>(path.utf16());
  const DWORD a = GetFileAttributesW(name);
  if (a == INVALID_FILE_ATTRIBUTES)
    return false;
  return SetFileAttributesW(name, a & ~DWORD(FILE_ATTRIBUTE_ARCHIVE)) != 0;
}

#else

namespace {

constexpr char kAttribute[] = "user.zr.archived";

// What the mark holds: the modification time to the nanosecond and the size.
QByteArray stamp(const QByteArray &name, bool *ok) {
  struct stat st {};
  *ok = ::stat(name.constData(), &st) == 0;
  if (!*ok)
    return {};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lld.%09ld/%lld", static_cast<long long>(st.st_mtim.tv_sec),
                static_cast<long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_size));
  return QByteArray(buf);
}

} // namespace

bool archiveFlag(const QString &path) {
  const QByteArray name = QFile::encodeName(path);
  bool ok = false;
  const QByteArray now = stamp(name, &ok);
  if (!ok)
    return false;
  char buf[64];
  const ssize_t n = ::getxattr(name.constData(), kAttribute, buf, sizeof buf);
  return n < 0 || QByteArray(buf, int(n)) != now;
}

bool clearArchiveFlag(const QString &path) {
  const QByteArray name = QFile::encodeName(path);
  bool ok = false;
  const QByteArray now = stamp(name, &ok);
  return ok && ::setxattr(name.constData(), kAttribute, now.constData(), size_t(now.size()), 0) == 0;
}

#endif

} // namespace zr::os
