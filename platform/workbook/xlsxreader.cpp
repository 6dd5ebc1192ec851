#include "platform/workbook/xlsxreader.h"

#include <QtCore/QDateTime>
#include <QtCore/QHash>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace zr::workbook {
namespace {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;
constexpr qint64 kChunk = 64 * 1024;

[[noreturn]] void fail(const QString &what) {
  throw ReadError(what.toStdString());
}

// Package part names: "xl/worksheets/sheet1.xml" from a relationship target seen from a folder.
QString resolveTarget(const QString &folder, const QString &target) {
  QStringList parts;
  if (!target.startsWith(u'/'))
    parts = folder.split(u'/', Qt::SkipEmptyParts);
  for (const QString &p : target.split(u'/', Qt::SkipEmptyParts)) {
    if (p == u".")
      continue;
    if (p == u"..") {
      if (parts.isEmpty())
        fail(u"relationship target outside the package: " % target);
      parts.removeLast();
      continue;
    }
    parts << p;
  }
  return parts.join(u'/');
}

QString folderOf(const QString &part) {
  const qsizetype slash = part.lastIndexOf(u'/');
  return slash < 0 ? QString() : part.left(slash);
}

QString relsOf(const QString &part) {
  const qsizetype slash = part.lastIndexOf(u'/');
  return folderOf(part) % (slash < 0 ? u"" : u"/") % u"_rels/" % part.mid(slash + 1) % u".rels";
}

// Strings in the package escape characters XML cannot carry as _xHHHH_.
QString unescapeOoxml(const QString &s) {
  if (!s.contains(u"_x"))
    return s;
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == u'_' && i + 6 < s.size() && s[i + 1] == u'x' && s[i + 6] == u'_') {
      bool ok = false;
      const uint code = QStringView(s).mid(i + 2, 4).toUInt(&ok, 16);
      if (ok) {
        out += QChar(char16_t(code));
        i += 6;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// Runs a whole small part through the XML reader, refusing a document type declaration (the
// door to entity expansion) before anything else.
template <typename F> void parseSmall(const QByteArray &data, const QString &part, F &&onStart) {
  QXmlStreamReader xml(data);
  while (!xml.atEnd()) {
    const auto t = xml.readNext();
    if (t == QXmlStreamReader::DTD)
      fail(part % u": document type declarations are refused");
    if (t == QXmlStreamReader::StartElement)
      onStart(xml);
  }
  if (xml.hasError())
    fail(part % u": " % xml.errorString());
}

// The cell types as static views, so reading a cell's type allocates nothing.
QStringView cellType(QStringView t) {
  static constexpr char16_t kS[] = u"s", kInline[] = u"inlineStr", kStr[] = u"str", kB[] = u"b", kE[] = u"e",
                            kD[] = u"d", kN[] = u"n";
  for (const char16_t *k : {kS, kInline, kStr, kB, kE, kD, kN})
    if (t == QStringView(k))
      return QStringView(k);
  return {};
}

template <typename S> bool isTrue(S v) {
  return v == u"1" || v == u"true";
}

// "0", "42", "-7": digits without a leading zero, short enough that a double holds them exactly.
bool isPlainInteger(QStringView v) {
  qsizetype i = !v.isEmpty() && v[0] == u'-' ? 1 : 0;
  const qsizetype digits = v.size() - i;
  if (digits < 1 || digits > 15 || (v[i] == u'0' && (digits > 1 || i == 1)))
    return false;
  for (; i < v.size(); ++i)
    if (v[i] < u'0' || v[i] > u'9')
      return false;
  return true;
}

struct Relationship {
  QString type;
  QString target;
};

// --- the extent scan: bytes only, no strings built ---

// Value of attribute name inside [b, e) of a start tag, or nothing.
bool findAttr(const char *b, const char *e, const char *name, const char *&vb, const char *&ve) {
  const size_t nlen = std::strlen(name);
  const char *p = b;
  while (p < e) {
    while (p < e && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
      ++p;
    const char *ns = p;
    while (p < e && *p != '=' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != '/' &&
           *p != '>')
      ++p;
    const char *ne = p;
    while (p < e && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
      ++p;
    if (p >= e || *p != '=')
      return false;
    ++p;
    while (p < e && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
      ++p;
    if (p >= e || (*p != '"' && *p != '\''))
      return false;
    const char q = *p++;
    const char *v = p;
    while (p < e && *p != q)
      ++p;
    if (p >= e)
      return false;
    if (size_t(ne - ns) == nlen && std::memcmp(ns, name, nlen) == 0) {
      vb = v;
      ve = p;
      return true;
    }
    ++p;
  }
  return false;
}

int columnOf(const char *b, const char *e) {
  int col = 0;
  for (; b < e && ((*b >= 'A' && *b <= 'Z') || (*b >= 'a' && *b <= 'z')); ++b) {
    col = col * 26 + ((*b | 0x20) - 'a' + 1);
    if (col > kMaxColumn)
      return kMaxColumn + 1;
  }
  return col;
}

long long numberOf(const char *b, const char *e) {
  long long v = 0;
  if (b == e)
    return -1;
  for (; b < e; ++b) {
    if (*b < '0' || *b > '9')
      return -1;
    v = v * 10 + (*b - '0');
    if (v > kMaxRow)
      return kMaxRow + 1;
  }
  return v;
}

class ExtentScanner {
public:
  qint64 lastRow = 0;
  int width = 0;

  void feed(const char *data, qint64 n) {
    m_buf.append(data, size_t(n));
    size_t pos = 0;
    const size_t end = m_buf.size();
    while (pos < end) {
      const char *base = m_buf.data();
      if (m_skipUntil) {
        const size_t found = std::string_view(base + pos, end - pos).find(m_skipUntil);
        const char *hit = found == std::string_view::npos ? nullptr : base + pos + found;
        if (!hit) {
          const size_t keep = std::strlen(m_skipUntil) - 1;
          pos = end > keep ? qMax(pos, end - keep) : pos;
          break;
        }
        pos = size_t(hit - base) + std::strlen(m_skipUntil);
        m_skipUntil = nullptr;
        continue;
      }
      const char *lt = static_cast<const char *>(std::memchr(base + pos, '<', end - pos));
      if (!lt) {
        pos = end;
        break;
      }
      pos = size_t(lt - base);
      const size_t avail = end - pos;
      if (avail < 9)
        break; // too short to tell a comment from CDATA; wait for more
      if (lt[1] == '!' || lt[1] == '?') {
        if (std::memcmp(lt, "<!--", 4) == 0) {
          m_skipUntil = "-->";
          pos += 4;
        } else if (std::memcmp(lt, "<![CDATA[", 9) == 0) {
          m_skipUntil = "]]>";
          pos += 9;
        } else if (lt[1] == '?') {
          m_skipUntil = "?>";
          pos += 2;
        } else {
          fail(QStringLiteral("worksheet: document type declarations are refused"));
        }
        continue;
      }
      // The tag ends at the first '>' outside quotes.
      const char *p = lt + 1;
      const char *stop = base + end;
      char quote = 0;
      for (; p < stop; ++p) {
        if (quote) {
          if (*p == quote)
            quote = 0;
        } else if (*p == '"' || *p == '\'') {
          quote = *p;
        } else if (*p == '>') {
          break;
        }
      }
      if (p >= stop) {
        if (avail > (1u << 20))
          fail(QStringLiteral("worksheet: a tag longer than a megabyte"));
        break;
      }
      tag(lt + 1, p);
      pos = size_t(p - base) + 1;
    }
    m_buf.erase(0, pos);
  }

  void finish() const {
    if (m_inCell || m_skipUntil)
      fail(QStringLiteral("worksheet: truncated"));
  }

private:
  void use(int row, int col) {
    lastRow = qMax<qint64>(lastRow, row);
    width = qMax(width, col);
  }

  // [b, e): the tag between '<' and '>'
  void tag(const char *b, const char *e) {
    const bool closing = *b == '/';
    if (closing)
      ++b;
    const bool selfClosing = e > b && e[-1] == '/';
    const char *ne = b;
    while (ne < e && *ne != ' ' && *ne != '\t' && *ne != '\r' && *ne != '\n' && *ne != '/')
      ++ne;
    const char *nb = b;
    for (const char *q = b; q < ne; ++q)
      if (*q == ':')
        nb = q + 1;
    const size_t len = size_t(ne - nb);
    auto is = [&](const char *n) { return len == std::strlen(n) && std::memcmp(nb, n, len) == 0; };
    if (is("sheetData")) {
      m_inSheetData = !closing && !selfClosing;
      return;
    }
    if (!m_inSheetData)
      return;
    const char *vb, *ve;
    if (is("row") && !closing) {
      int r = m_row + 1;
      if (findAttr(ne, e, "r", vb, ve))
        r = int(numberOf(vb, ve));
      if (r <= m_row || r > kMaxRow)
        fail(QStringLiteral("worksheet: row numbers out of order or range"));
      m_row = r;
      m_col = 0;
      if (findAttr(ne, e, "customFormat", vb, ve) && isTrue(QLatin1StringView(vb, ve - vb)))
        use(m_row, 0);
    } else if (is("c")) {
      if (closing) {
        if (m_inCell && (m_cellStyled || m_cellValue))
          use(m_row, m_col);
        m_inCell = false;
        return;
      }
      int c = m_col + 1;
      if (findAttr(ne, e, "r", vb, ve))
        if (const int named = columnOf(vb, ve); named > 0)
          c = named;
      if (c > kMaxColumn || m_row == 0)
        fail(QStringLiteral("worksheet: cell reference out of range"));
      m_col = c;
      m_cellStyled = findAttr(ne, e, "s", vb, ve) && !(ve - vb == 1 && *vb == '0');
      m_cellValue = false;
      if (selfClosing) {
        if (m_cellStyled)
          use(m_row, m_col);
      } else {
        m_inCell = true;
      }
    } else if (!closing && m_inCell && (is("v") || is("is"))) {
      m_cellValue = true;
    }
  }

  std::string m_buf;
  const char *m_skipUntil = nullptr;
  bool m_inSheetData = false;
  bool m_inCell = false;
  bool m_cellStyled = false;
  bool m_cellValue = false;
  int m_row = 0;
  int m_col = 0;
};

} // namespace

XlsxReader::XlsxReader(const QString &path, const ReadLimits &limits, bool raw) : m_limits(limits) {
  m_zip = std::make_unique<ZipArchive>(path, limits.maxEntries);
  readPackage(path);
  scanExtent(m_sheetIndex);
  if (m_lastRow > 0 && double(m_lastRow) * double(m_width) > double(limits.maxFields))
    fail(u"worksheet of " % QString::number(m_lastRow) % u" rows by " % QString::number(m_width) %
         u" columns is beyond the import's limits");
  m_rowCount = qMax<qint64>(0, m_lastRow - 1);

  m_sheet = std::make_unique<ZipArchive::Stream>(*m_zip, m_sheetIndex, limits.maxSheetBytes);
  m_xml.setNamespaceProcessing(true);
  QStringList heads;
  if (m_width > 0 && !raw) {
    heads.resize(m_width);
    m_pendingRow = readRowStart();
    if (m_pendingRow == 1) {
      readRowCells(&heads, nullptr);
      m_pendingRow = 0;
    }
  }
  for (int i = 0; i < heads.size(); ++i)
    if (heads[i].isEmpty())
      heads[i] = u'F' % QString::number(i + 1);
  m_headings = heads;
}

XlsxReader::~XlsxReader() = default;

void XlsxReader::readPackage(const QString &path) {
  auto rels = [&](const QString &part) {
    QList<std::pair<QString, Relationship>> out; // id -> relationship
    const qint64 i = m_zip->find(relsOf(part));
    if (i < 0)
      return out;
    parseSmall(m_zip->readAll(i, m_limits.maxPartBytes), relsOf(part), [&](QXmlStreamReader &x) {
      if (x.name() != u"Relationship")
        return;
      const auto a = x.attributes();
      if (a.value(QLatin1StringView("TargetMode")) == u"External")
        return;
      out.append(
          {a.value(QLatin1StringView("Id")).toString(),
           Relationship{a.value(QLatin1StringView("Type")).toString(),
                        resolveTarget(folderOf(part), a.value(QLatin1StringView("Target")).toString())}});
    });
    return out;
  };

  QString workbook = QStringLiteral("xl/workbook.xml");
  for (const auto &[id, r] : rels(QString()))
    if (r.type.endsWith(u"/officeDocument"))
      workbook = r.target;
  const qint64 wbIndex = m_zip->find(workbook);
  if (wbIndex < 0)
    fail(QStringLiteral("no workbook part: not a spreadsheet"));

  const auto wbRels = rels(workbook);
  QStringList sheetIds;
  parseSmall(m_zip->readAll(wbIndex, m_limits.maxPartBytes), workbook, [&](QXmlStreamReader &x) {
    if (x.name() == u"workbookPr") {
      m_date1904 = isTrue(x.attributes().value(QLatin1StringView("date1904")));
    } else if (x.name() == u"sheet") {
      for (const auto &a : x.attributes())
        if (a.name() == u"id" && !a.namespaceUri().isEmpty())
          sheetIds << a.value().toString();
    }
  });

  QString sheet;
  for (const QString &id : std::as_const(sheetIds)) {
    for (const auto &[rid, r] : wbRels)
      if (rid == id && r.type.endsWith(u"/worksheet"))
        sheet = r.target;
    if (!sheet.isEmpty())
      break; // the first worksheet in workbook order; chart sheets are passed over
  }
  if (sheet.isEmpty())
    fail(QStringLiteral("the workbook holds no worksheet"));
  m_sheetIndex = m_zip->find(sheet);
  if (m_sheetIndex < 0)
    fail(u"missing worksheet part " % sheet);

  for (const auto &[rid, r] : wbRels) {
    if (r.type.endsWith(u"/styles"))
      readStyles(r.target);
    else if (r.type.endsWith(u"/sharedStrings"))
      readSharedStrings(r.target);
  }
}

void XlsxReader::readStyles(const QString &part) {
  const qint64 i = m_zip->find(part);
  if (i < 0)
    return;
  QHash<int, QString> custom;
  bool inCellXfs = false;
  QXmlStreamReader xml(m_zip->readAll(i, m_limits.maxPartBytes));
  while (!xml.atEnd()) {
    const auto t = xml.readNext();
    if (t == QXmlStreamReader::DTD)
      fail(part % u": document type declarations are refused");
    if (t == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
      inCellXfs = false;
    if (t != QXmlStreamReader::StartElement)
      continue;
    const auto a = xml.attributes();
    if (xml.name() == u"numFmt") {
      custom.insert(a.value(QLatin1StringView("numFmtId")).toInt(),
                    a.value(QLatin1StringView("formatCode")).toString());
    } else if (xml.name() == u"cellXfs") {
      inCellXfs = true;
    } else if (inCellXfs && xml.name() == u"xf") {
      const int id = a.value(QLatin1StringView("numFmtId")).toInt();
      Style s;
      if (custom.contains(id)) {
        s.code = custom.value(id);
        s.date = isDateFormatCode(s.code);
      } else {
        s.date = isBuiltinDateFormat(id);
        s.code = id == 0    ? QStringLiteral("General")
                 : id == 49 ? QStringLiteral("@")
                            : u'#' % QString::number(id);
      }
      m_styles.push_back(s);
    }
  }
  if (xml.hasError())
    fail(part % u": " % xml.errorString());
}

void XlsxReader::readSharedStrings(const QString &part) {
  const qint64 i = m_zip->find(part);
  if (i < 0)
    return;
  ZipArchive::Stream s(*m_zip, i, m_limits.maxSharedStringBytes);
  QXmlStreamReader xml;
  bool eof = false;
  int depthPhonetic = 0;
  bool inT = false;
  QString current;
  for (;;) {
    const auto t = xml.readNext();
    if (t == QXmlStreamReader::Invalid) {
      if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !eof) {
        QByteArray chunk(kChunk, Qt::Uninitialized);
        const qint64 r = s.read(chunk.data(), chunk.size());
        if (r == 0) {
          eof = true;
        } else {
          chunk.resize(r);
          xml.addData(chunk);
        }
        continue;
      }
      fail(part % u": " % xml.errorString());
    }
    if (t == QXmlStreamReader::EndDocument)
      break;
    if (t == QXmlStreamReader::DTD)
      fail(part % u": document type declarations are refused");
    if (t == QXmlStreamReader::StartElement) {
      const auto n = xml.name();
      if (n == u"si") {
        current.clear();
        if (m_strings.empty())
          m_strings.reserve(qMin(1 << 20, xml.attributes().value(QLatin1StringView("uniqueCount")).toInt()));
      } else if (n == u"rPh") {
        ++depthPhonetic; // reading aids shown above the text are not part of it
      } else if (n == u"t") {
        inT = depthPhonetic == 0;
      }
    } else if (t == QXmlStreamReader::EndElement) {
      const auto n = xml.name();
      if (n == u"si")
        m_strings.push_back(unescapeOoxml(current));
      else if (n == u"rPh")
        --depthPhonetic;
      else if (n == u"t")
        inT = false;
    } else if (t == QXmlStreamReader::Characters && inT) {
      current += xml.text();
    }
  }
}

void XlsxReader::scanExtent(qint64 index) {
  ZipArchive::Stream s(*m_zip, index, m_limits.maxSheetBytes);
  ExtentScanner scan;
  std::vector<char> buf(kChunk);
  for (;;) {
    const qint64 r = s.read(buf.data(), qint64(buf.size()));
    if (r == 0)
      break;
    scan.feed(buf.data(), r);
  }
  scan.finish();
  m_lastRow = scan.lastRow;
  m_width = scan.width;
}

QXmlStreamReader::TokenType XlsxReader::nextToken() {
  for (;;) {
    const auto t = m_xml.readNext();
    if (t == QXmlStreamReader::Invalid) {
      if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !m_eof) {
        QByteArray chunk(kChunk, Qt::Uninitialized);
        const qint64 r = m_sheet->read(chunk.data(), chunk.size());
        if (r == 0) {
          m_eof = true;
        } else {
          chunk.resize(r);
          m_xml.addData(chunk);
        }
        continue;
      }
      fail(u"worksheet: " % m_xml.errorString());
    }
    if (t == QXmlStreamReader::DTD)
      fail(QStringLiteral("worksheet: document type declarations are refused"));
    return t;
  }
}

int XlsxReader::readRowStart() {
  while (!m_sheetDone) {
    const auto t = nextToken();
    if (t == QXmlStreamReader::EndDocument) {
      m_sheetDone = true;
      break;
    }
    if (t == QXmlStreamReader::StartElement) {
      if (m_xml.name() == u"sheetData") {
        m_inSheetData = true;
      } else if (m_inSheetData && m_xml.name() == u"row") {
        const QStringView rv = m_xml.attributes().value(QLatin1StringView("r"));
        const int r = rv.isEmpty() ? m_prevRow + 1 : rv.toInt();
        if (r <= m_prevRow || r > kMaxRow)
          fail(QStringLiteral("worksheet: row numbers out of order or range"));
        m_prevRow = r;
        return r;
      }
    } else if (t == QXmlStreamReader::EndElement && m_xml.name() == u"sheetData") {
      m_sheetDone = true; // nothing after the data matters
    }
  }
  return 0;
}

void XlsxReader::readRowCells(QStringList *fields, QList<RawCell> *raw) {
  int col = 0;
  QStringView type;
  int style = 0;
  // One buffer for every cell's value: emptied, not freed, so a cell costs no allocation here.
  QString &value = m_value;
  value.resize(0);
  bool inValue = false;
  bool inInline = false;
  int phonetic = 0;
  for (;;) {
    const auto t = nextToken();
    if (t == QXmlStreamReader::EndDocument)
      fail(QStringLiteral("worksheet: truncated inside a row"));
    if (t == QXmlStreamReader::StartElement) {
      const auto n = m_xml.name();
      if (n == u"c") {
        const auto a = m_xml.attributes();
        const QStringView r = a.value(QLatin1StringView("r"));
        const int c = columnNumber(r);
        col = c > 0 ? c : col + 1;
        type = cellType(a.value(QLatin1StringView("t")));
        style = a.value(QLatin1StringView("s")).toInt();
        value.resize(0);
      } else if (n == u"v") {
        inValue = true;
      } else if (n == u"is") {
        inInline = true;
      } else if (n == u"rPh") {
        ++phonetic;
      } else if (n == u"t" && inInline && phonetic == 0) {
        inValue = true;
      }
    } else if (t == QXmlStreamReader::Characters) {
      if (inValue)
        value.append(m_xml.text());
    } else if (t == QXmlStreamReader::EndElement) {
      const auto n = m_xml.name();
      if (n == u"v" || n == u"t") {
        inValue = false;
      } else if (n == u"is") {
        inInline = false;
      } else if (n == u"rPh") {
        --phonetic;
      } else if (n == u"c") {
        if (col > kMaxColumn)
          fail(QStringLiteral("worksheet: cell reference out of range"));
        if (fields && col <= fields->size())
          (*fields)[col - 1] = cellText(type, style, value);
        if (raw) {
          RawCell rc;
          rc.column = col;
          rc.text = cellText(type, style, value);
          rc.type = type.toString();
          rc.formatCode = style >= 0 && size_t(style) < m_styles.size() ? m_styles[style].code
                                                                        : QStringLiteral("General");
          raw->append(rc);
        }
      } else if (n == u"row") {
        return;
      }
    }
  }
}

QString XlsxReader::cellText(QStringView type, int style, QStringView v) const {
  if (type == u"s") {
    if (v.isEmpty())
      return {};
    bool ok = false;
    const qlonglong i = v.trimmed().toLongLong(&ok);
    if (!ok || i < 0 || size_t(i) >= m_strings.size())
      fail(u"worksheet: shared string " % v % u" does not exist");
    return m_strings[size_t(i)];
  }
  if (type == u"inlineStr" || type == u"str" || type == u"e")
    return unescapeOoxml(v.toString());
  if (type == u"b")
    return v.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
  if (v.isEmpty())
    return {};
  if (type == u"d") {
    const QDateTime dt = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    if (!dt.isValid())
      return v.toString();
    return dt.time() == QTime(0, 0) ? dt.date().toString(u"yyyy-MM-dd") : dt.toString(u"yyyy-MM-dd hh:mm:ss");
  }
  const bool dateStyle = style >= 0 && size_t(style) < m_styles.size() && m_styles[size_t(style)].date;
  // A plain integer of up to 15 digits is already its own shortest form.
  if (!dateStyle && isPlainInteger(v))
    return v.toString();
  const QStringView num = v.trimmed();
  char buf[64];
  if (num.size() >= qsizetype(sizeof buf))
    return v.toString();
  for (qsizetype i = 0; i < num.size(); ++i)
    buf[i] = num[i].unicode() < 128 ? char(num[i].unicode()) : '?';
  double d = 0;
  const auto [p, ec] = std::from_chars(buf, buf + num.size(), d);
  if (ec != std::errc() || p != buf + num.size())
    return v.toString(); // not a number after all: keep what is written
  if (dateStyle) {
    const QString date = serialDateText(d, m_date1904);
    if (!date.isEmpty())
      return date;
  }
  return shortestNumber(d);
}

bool XlsxReader::next(QStringList &fields) {
  if (m_nextRow > m_lastRow)
    return false;
  fields.resize(m_width);
  for (QString &f : fields)
    f.clear();
  if (m_pendingRow == 0)
    m_pendingRow = readRowStart();
  if (m_pendingRow != 0 && m_pendingRow == m_nextRow) {
    readRowCells(&fields, nullptr);
    m_pendingRow = 0;
  } else if (m_pendingRow != 0 && m_pendingRow < m_nextRow) {
    fail(QStringLiteral("worksheet: row numbers out of order"));
  }
  ++m_nextRow;
  return true;
}

bool XlsxReader::nextRawRow(int &rowNumber, QList<RawCell> &cells) {
  cells.clear();
  if (m_pendingRow == 0)
    m_pendingRow = readRowStart();
  if (m_pendingRow == 0)
    return false;
  rowNumber = m_pendingRow;
  readRowCells(nullptr, &cells);
  m_pendingRow = 0;
  return true;
}

} // namespace zr::workbook
