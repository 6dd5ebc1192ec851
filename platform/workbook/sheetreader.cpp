#include "platform/workbook/sheetreader.h"
#include "platform/workbook/xlsxreader.h"

#include <QtCore/QDate>
#include <QtCore/QFile>
#include <cmath>
#include <freexl.h>

namespace zr::workbook {
namespace {

[[noreturn]] void fail(const QString &what) {
  throw ReadError(what.toStdString());
}

// Legacy .xls through FreeXL, which holds the sheet's cells itself; we read them row by row.
class XlsReader final : public SheetReader {
public:
  XlsReader(const QString &path, const ReadLimits &limits) {
    const int rc = freexl_open(QFile::encodeName(path).constData(), &m_handle);
    // FreeXL can report success without a handle when a record fails to parse.
    if (rc != FREEXL_OK || !m_handle)
      fail(u"not a readable .xls file (FreeXL error " % QString::number(rc) % u")");
    if (freexl_select_active_worksheet(m_handle, 0) != FREEXL_OK)
      fail(QStringLiteral("the workbook holds no worksheet"));
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(m_handle, &rows, &cols) != FREEXL_OK)
      fail(QStringLiteral("worksheet without dimensions"));
    if (double(rows) * double(cols) > double(limits.maxFields))
      fail(QStringLiteral("worksheet beyond the import's limits"));
    m_rows = rows;
    m_cols = cols;
    m_rowCount = rows > 0 ? rows - 1 : 0;
    QStringList heads;
    if (rows > 0)
      readRow(0, heads);
    for (int i = 0; i < heads.size(); ++i)
      if (heads[i].isEmpty())
        heads[i] = u'F' % QString::number(i + 1);
    m_headings = heads;
  }
  ~XlsReader() override {
    if (m_handle)
      freexl_close(m_handle);
  }
  bool next(QStringList &fields) override {
    if (m_next >= m_rows)
      return false;
    readRow(m_next++, fields);
    return true;
  }

private:
  void readRow(unsigned row, QStringList &fields) {
    fields.resize(m_cols);
    for (unsigned short c = 0; c < m_cols; ++c) {
      FreeXL_CellValue v;
      if (freexl_get_cell_value(m_handle, row, c, &v) != FREEXL_OK)
        fail(QStringLiteral("unreadable cell"));
      fields[c] = text(v);
    }
  }
  static QString text(const FreeXL_CellValue &v) {
    switch (v.type) {
    case FREEXL_CELL_INT: return QString::number(v.value.int_value);
    case FREEXL_CELL_DOUBLE: return shortestNumber(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE: return QString::fromUtf8(v.value.text_value);
    case FREEXL_CELL_DATETIME: {
      // Midnight reads as the date alone, as it does from .xlsx.
      QString s = QString::fromUtf8(v.value.text_value);
      if (s.endsWith(u" 00:00:00"))
        s.chop(9);
      return s;
    }
    case FREEXL_CELL_TIME: return u"1899-12-30 " % QString::fromUtf8(v.value.text_value);
    default: return {};
    }
  }

  const void *m_handle = nullptr;
  unsigned m_rows = 0;
  unsigned short m_cols = 0;
  unsigned m_next = 1;
};

} // namespace

QString openFailureMessage(const QString &path) {
  return u"Excel文件:" % path % u"\r\n" % u"该文件打开过程发生错误,数据不能导入";
}

std::unique_ptr<SheetReader> SheetReader::open(const QString &path, const ReadLimits &limits) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    fail(u"cannot open " % path % u": " % f.errorString());
  const QByteArray magic = f.read(8);
  f.close();
  if (magic.startsWith("PK"))
    return std::make_unique<XlsxReader>(path, limits);
  if (magic == QByteArray::fromHex("d0cf11e0a1b11ae1"))
    return std::make_unique<XlsReader>(path, limits);
  fail(QStringLiteral("neither a .xlsx nor a .xls workbook"));
}

QString shortestNumber(double d) {
  if (d == 0 || !std::isfinite(d))
    return std::isfinite(d) ? QStringLiteral("0") : QString();
  // Whole numbers a 64-bit integer holds exactly skip the shortest-digits search.
  if (std::fabs(d) < 1e15 && d == std::floor(d))
    return QString::number(qint64(d));
  return QString::number(d, 'f', QLocale::FloatingPointShortest);
}

QString serialDateText(double serial, bool date1904) {
  if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
    return {};
  double days = std::floor(serial);
  qint64 secs = std::llround((serial - days) * 86400.0);
  if (secs >= 86400) {
    days += 1;
    secs -= 86400;
  }
  // The 1900 system counts from 1899-12-30, as OLE dates do.
  const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
  const QDate date = base.addDays(qint64(days));
  if (!date.isValid() || date.year() > 9999)
    return {};
  // Written digit by digit: the years here are 1899 to 9999, always four digits, and this runs
  // once per date cell of a large import.
  char16_t out[19];
  auto put = [&out](int at, int v, int width) {
    for (int i = width - 1; i >= 0; --i, v /= 10)
      out[at + i] = char16_t(u'0' + v % 10);
  };
  int y = 0, m = 0, d = 0;
  date.getDate(&y, &m, &d);
  put(0, y, 4);
  out[4] = u'-';
  put(5, m, 2);
  out[7] = u'-';
  put(8, d, 2);
  if (secs == 0)
    return QString(reinterpret_cast<const QChar *>(out), 10);
  out[10] = u' ';
  put(11, int(secs / 3600), 2);
  out[13] = u':';
  put(14, int(secs / 60 % 60), 2);
  out[16] = u':';
  put(17, int(secs % 60), 2);
  return QString(reinterpret_cast<const QChar *>(out), 19);
}

bool isBuiltinDateFormat(int id) {
  // 14-22 everywhere; 27-36 and 50-58 are the East Asian date formats; 45-47 times.
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

bool isDateFormatCode(QStringView code) {
  // Only the first section counts; quoted text, escaped characters, fills, padding and bracketed
  // colours or locales are not format letters, but [h], [m] and [s] elapsed times are.
  for (qsizetype i = 0; i < code.size(); ++i) {
    const char16_t c = code[i].unicode();
    switch (c) {
    case u';': return false;
    case u'"': {
      const qsizetype end = code.indexOf(u'"', i + 1);
      if (end < 0)
        return false;
      i = end;
      break;
    }
    case u'\\':
    case u'_':
    case u'*': ++i; break;
    case u'[': {
      const qsizetype end = code.indexOf(u']', i + 1);
      if (end < 0)
        return false;
      const QStringView inside = code.mid(i + 1, end - i - 1);
      if (!inside.isEmpty() && (inside[0] == u'h' || inside[0] == u'H' || inside[0] == u'm' ||
                                inside[0] == u'M' || inside[0] == u's' || inside[0] == u'S'))
        return true;
      i = end;
      break;
    }
    default:
      switch (c | 0x20) {
      case u'y':
      case u'm':
      case u'd':
      case u'h':
      case u's': return true;
      default: break;
      }
    }
  }
  return false;
}

int columnNumber(QStringView ref) {
  int col = 0;
  for (QChar ch : ref) {
    const char16_t c = ch.unicode() | 0x20;
    if (c < u'a' || c > u'z')
      break;
    col = col * 26 + (c - u'a' + 1);
    if (col > 16384)
      return 16385;
  }
  return col;
}

} // namespace zr::workbook
