#include "app/programcleanup.h"

#include "platform/sql/database.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace zr::app {

namespace {
QString stripTrailing(QString p) {
  p = QDir::fromNativeSeparators(p);
  while (p.size() > 1 && p.endsWith(u'/') && !(p.size() == 3 && p[1] == u':'))
    p.chop(1);
  return p;
}

QString canonical(const QString &p) {
  const QFileInfo fi(p);
  const QString c = fi.canonicalFilePath();
  return c.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : c;
}
} // namespace

QString programDirectoryOf(const QString &dataDirectory) {
  const QString d = stripTrailing(dataDirectory);
  const qsizetype cut = d.lastIndexOf(u'/');
  if (cut < 0)
    return {};
  if (cut == 0)
    return u"/"_qs;
  return QDir::toNativeSeparators(d.left(cut));
}

QStringList cleanProgramDirectory(const QString &programDirectory, const QString &dataDirectory) {
  const QString prog = stripTrailing(programDirectory);
  if (prog.trimmed().isEmpty())
    return {};
  const QDir dir(prog);
  if (!dir.exists() || dir.isRoot())
    return {};
  if (!dataDirectory.isEmpty() && canonical(prog) == canonical(stripTrailing(dataDirectory)))
    return {};
  const QString live = dataDirectory.isEmpty()
                           ? QString()
                           : canonical(stripTrailing(dataDirectory) + u'/' + QString::fromUtf16(zr::sql::kDatabaseFile));
  QStringList deleted;
  for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
    const QString suffix = u'.' + f.suffix().toUpper();
    if (suffix != u".DB" && suffix != u".MB")
      continue;
    if (f.fileName().toUpper() == u"SYS_BACK_TABLE.DB")
      continue;
    if (!live.isEmpty() && canonical(f.absoluteFilePath()) == live)
      continue;
    if (QFile::remove(f.absoluteFilePath()))
      deleted << f.fileName();
  }
  return deleted;
}

} // namespace zr::app
