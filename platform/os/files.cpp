#include "platform/os/files.h"

#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QFileInfo>
#include <QtCore/QUuid>

namespace zr::os {
namespace {

bool copyOne(const QString &from, const QString &to) {
  if (!QDir().mkpath(QFileInfo(to).absolutePath()))
    return false;
  const QString temp = to + u".copy-" % QUuid::createUuid().toString(QUuid::Id128).left(8);
  if (!QFile::copy(from, temp))
    return false;
  QFile::remove(to);
  if (!QFile::rename(temp, to)) {
    QFile::remove(temp);
    return false;
  }
  return true;
}

bool copyTree(const QString &from, const QString &to) {
  if (!QDir().mkpath(to))
    return false;
  bool ok = true;
  QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  const QDir base(from);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString target = to + u'/' + base.relativeFilePath(path);
    if (it.fileInfo().isDir())
      ok = QDir().mkpath(target) && ok;
    else
      ok = copyOne(path, target) && ok;
  }
  return ok;
}

} // namespace

bool IsDirectory(const QString &path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

QString TempDirectory() {
  return QDir::toNativeSeparators(QDir::tempPath() + u'/');
}

bool CopyFiles(const QString &fromPath, const QString &toPath) {
  const QString from = QDir::fromNativeSeparators(fromPath);
  QString to = QDir::fromNativeSeparators(toPath);
  while (to.size() > 1 && to.endsWith(u'/'))
    to.chop(1);
  const QFileInfo src(from);
  if (src.fileName().contains(u'*') || src.fileName().contains(u'?')) {
    const QFileInfoList matches =
        QDir(src.absolutePath())
            .entryInfoList({src.fileName()}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    if (matches.isEmpty())
      return false;
    bool ok = QDir().mkpath(to);
    for (const QFileInfo &m : matches)
      ok = (m.isDir() ? copyTree(m.absoluteFilePath(), to + u'/' + m.fileName())
                      : copyOne(m.absoluteFilePath(), to + u'/' + m.fileName())) &&
           ok;
    return ok;
  }
  if (src.isDir())
    return copyTree(from, QFileInfo(to).isDir() ? to + u'/' + src.fileName() : to);
  if (!src.isFile())
    return false;
  return copyOne(from, QFileInfo(to).isDir() ? to + u'/' + src.fileName() : to);
}

} // namespace zr::os
