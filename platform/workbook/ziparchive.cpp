#include "platform/workbook/ziparchive.h"

#include <QtCore/QFile>
#include <zip.h>

namespace zr::workbook {
namespace {

[[noreturn]] void fail(const QString &what) {
  throw ReadError(what.toStdString());
}

bool escapesRoot(const QString &name) {
  if (name.startsWith(u'/') || name.startsWith(u'\\') || (name.size() > 1 && name[1] == u':'))
    return true;
  QString n = name;
  n.replace(u'\\', u'/');
  const auto parts = QStringView(n).split(u'/');
  for (QStringView p : parts)
    if (p == u"..")
      return true;
  return false;
}

} // namespace

ZipArchive::ZipArchive(const QString &path, int maxEntries) {
  int err = 0;
  m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
  if (!m_zip)
    fail(u"not a readable zip file (libzip error " % QString::number(err) % u")");
  // A throwing constructor runs no destructor: the handle is let go here.
  try {
    const zip_int64_t n = zip_get_num_entries(m_zip, 0);
    if (n < 0 || n > maxEntries)
      fail(u"zip directory holds " % QString::number(n) % u" entries");
    m_index.reserve(n);
    for (zip_int64_t i = 0; i < n; ++i) {
      const char *raw = zip_get_name(m_zip, i, ZIP_FL_ENC_GUESS);
      if (!raw)
        fail(QStringLiteral("unnamed zip entry"));
      const QString name = QString::fromUtf8(raw);
      if (escapesRoot(name))
        fail(u"zip entry outside the package: " % name);
      m_index.insert(name.toLower(), i);
    }
  } catch (...) {
    zip_discard(m_zip);
    m_zip = nullptr;
    throw;
  }
}

ZipArchive::~ZipArchive() {
  if (m_zip)
    zip_discard(m_zip);
}

qint64 ZipArchive::find(const QString &name) const {
  QString n = name;
  while (n.startsWith(u'/'))
    n.remove(0, 1);
  return m_index.value(n.toLower(), -1);
}

QByteArray ZipArchive::readAll(qint64 index, qint64 maxBytes) {
  Stream s(*this, index, maxBytes);
  QByteArray out;
  out.resize(s.declaredSize());
  qint64 got = 0;
  for (;;) {
    if (got == out.size())
      out.resize(got + 1); // room to notice an entry longer than it claims
    const qint64 r = s.read(out.data() + got, out.size() - got);
    if (r == 0)
      break;
    got += r;
  }
  out.resize(got);
  return out;
}

ZipArchive::Stream::Stream(ZipArchive &a, qint64 index, qint64 maxBytes) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(a.m_zip, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
    fail(QStringLiteral("zip entry without a size"));
  m_name = QString::fromUtf8(st.name ? st.name : "");
  if (st.size > static_cast<zip_uint64_t>(maxBytes))
    fail(m_name % u" declares " % QString::number(st.size) % u" bytes, more than allowed");
  m_declared = static_cast<qint64>(st.size);
  m_file = zip_fopen_index(a.m_zip, index, 0);
  if (!m_file)
    fail(u"cannot open zip entry " % m_name % u": " % QString::fromUtf8(zip_strerror(a.m_zip)));
}

ZipArchive::Stream::~Stream() {
  if (m_file)
    zip_fclose(m_file);
}

qint64 ZipArchive::Stream::read(char *buf, qint64 n) {
  // Never ask for more than one byte past the declared size: an entry whose data runs longer
  // than it claims (a zip bomb) is caught after at most that one byte.
  const qint64 room = m_declared - m_total + 1;
  const zip_int64_t r = zip_fread(m_file, buf, static_cast<zip_uint64_t>(qMin(n, room)));
  if (r < 0)
    fail(u"damaged zip entry " % m_name % u": " % QString::fromUtf8(zip_file_strerror(m_file)));
  m_total += r;
  if (m_total > m_declared)
    fail(m_name % u" inflates beyond its declared size");
  if (r == 0 && m_total != m_declared)
    fail(m_name % u" ends before its declared size");
  return r;
}

} // namespace zr::workbook
