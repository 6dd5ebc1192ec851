#include "platform/report/reporttemplate.h"

#include <QtCore/QFile>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QRegularExpression>
#include <QtCore/QSaveFile>
#include <cmath>

namespace zr::report {

namespace {

constexpr const char16_t *kBandKeys[kBandCount] = {u"reportHeader", u"pageHeader", u"columnHeading", u"detail",
                                                   u"subDetail",    u"pageFooter", u"reportFooter"};
constexpr const char16_t *kBandNames[kBandCount] = {u"报表头", u"页眉", u"列标题", u"明细", u"从表明细", u"页脚", u"报表尾"};

// Limits a template never needs but a hostile body might claim.
constexpr int kMaxColumns = 256;
constexpr int kMaxRows = 4096;
constexpr double kMaxLength = 5000; // mm
constexpr qsizetype kMaxBody = 32 * 1024 * 1024;
constexpr const char16_t *kFormatName = u"zr-grid-report";

struct Paper {
  const char16_t *name;
  double w, h;
};
constexpr Paper kPapers[] = {{u"A4", 210, 297}, {u"A3", 297, 420}, {u"A5", 148, 210}, {u"B5", 176, 250}, {u"Letter", 215.9, 279.4}};

[[noreturn]] void refuse(const QString &why) { throw TemplateError(u"报表模板文件已损坏或格式不对: " % why); }

QString alignKey(HAlign a) { return a == HAlign::Left ? QStringLiteral("left") : a == HAlign::Center ? QStringLiteral("center") : QStringLiteral("right"); }
QString valignKey(VAlign a) { return a == VAlign::Top ? QStringLiteral("top") : a == VAlign::Middle ? QStringLiteral("middle") : QStringLiteral("bottom"); }

QString bordersKey(unsigned b) {
  QString s;
  if (b & BorderLeft) s += u'L';
  if (b & BorderTop) s += u'T';
  if (b & BorderRight) s += u'R';
  if (b & BorderBottom) s += u'B';
  return s;
}

// Strict readers: a member of the wrong type is a damaged body, not a default.
double number(const QJsonObject &o, const char16_t *key, double def, double lo, double hi) {
  const QJsonValue v = o.value(QStringView(key));
  if (v.isUndefined())
    return def;
  if (!v.isDouble())
    refuse(u"\"" % QString::fromUtf16(key) % u"\" 不是数字");
  const double d = v.toDouble();
  if (!std::isfinite(d) || d < lo || d > hi)
    refuse(u"\"" % QString::fromUtf16(key) % u"\" 超出范围");
  return d;
}

int integer(const QJsonObject &o, const char16_t *key, int def, int lo, int hi) {
  const double d = number(o, key, def, lo, hi);
  if (d != std::floor(d))
    refuse(u"\"" % QString::fromUtf16(key) % u"\" 不是整数");
  return int(d);
}

QString text(const QJsonObject &o, const char16_t *key, const QString &def) {
  const QJsonValue v = o.value(QStringView(key));
  if (v.isUndefined())
    return def;
  if (!v.isString())
    refuse(u"\"" % QString::fromUtf16(key) % u"\" 不是文字");
  return v.toString();
}

bool boolean(const QJsonObject &o, const char16_t *key, bool def) {
  const QJsonValue v = o.value(QStringView(key));
  if (v.isUndefined())
    return def;
  if (!v.isBool())
    refuse(u"\"" % QString::fromUtf16(key) % u"\" 不是是否值");
  return v.toBool();
}

QJsonObject object(const QJsonValue &v, const QString &what) {
  if (!v.isObject())
    refuse(what % u" 不是对象");
  return v.toObject();
}

QJsonArray array(const QJsonValue &v, const QString &what) {
  if (!v.isArray())
    refuse(what % u" 不是数组");
  return v.toArray();
}

} // namespace

QString bandKey(Band b) { return QString::fromUtf16(kBandKeys[int(b)]); }
QString bandName(Band b) { return QString::fromUtf16(kBandNames[int(b)]); }

const QStringList &functionNames() {
  static const QStringList names{QStringLiteral("单位名称"), QStringLiteral("序号"),     QStringLiteral("SumPage()"),
                                 QStringLiteral("Sum()"),    QStringLiteral("PageNum"),  QStringLiteral("PageNum/"),
                                 QStringLiteral("PageNum-"), QStringLiteral("Date"),     QStringLiteral("Time"),
                                 QStringLiteral("DateTime")};
  return names;
}

bool PageSetup::setPaper(const QString &name) {
  for (const Paper &p : kPapers)
    if (name == QStringView(p.name)) {
      paper = name;
      width = p.w;
      height = p.h;
      return true;
    }
  if (name == u"Custom") {
    paper = name;
    return true;
  }
  return false;
}

void Template::resize(int rowCount, int columnCount) {
  columns.resize(columnCount, 20.0);
  rows.resize(rowCount);
  for (Row &r : rows)
    r.cells.resize(columnCount);
  // Merges that now reach past the grid are cut back to it.
  for (int r = 0; r < rowCount; ++r)
    for (int c = 0; c < columnCount; ++c) {
      Cell &x = rows[r].cells[c];
      x.rowSpan = std::min(x.rowSpan, rowCount - r);
      x.colSpan = std::min(x.colSpan, columnCount - c);
    }
}

void Template::owner(int row, int col, int *ownerRow, int *ownerCol) const {
  *ownerRow = row;
  *ownerCol = col;
  // Merges are small and few; a scan back over the rows above and columns left is enough.
  for (int r = row; r >= 0; --r)
    for (int c = col; c >= 0; --c) {
      const Cell &x = rows[r].cells[c];
      if ((x.rowSpan > 1 || x.colSpan > 1) && r + x.rowSpan > row && c + x.colSpan > col) {
        *ownerRow = r;
        *ownerCol = c;
        return;
      }
    }
}

bool Template::merge(int row, int col, int rowCount, int colCount) {
  if (row < 0 || col < 0 || rowCount < 1 || colCount < 1 || row + rowCount > this->rowCount() ||
      col + colCount > columnCount())
    return false;
  for (int r = row; r < row + rowCount; ++r)
    if (rows[r].band != rows[row].band)
      return false;
  // Every merge touching the rectangle must lie inside it; those are dissolved into the new one.
  for (int r = row; r < row + rowCount; ++r)
    for (int c = col; c < col + colCount; ++c) {
      int orow, ocol;
      owner(r, c, &orow, &ocol);
      const Cell &o = rows[orow].cells[ocol];
      if (orow < row || ocol < col || orow + o.rowSpan > row + rowCount || ocol + o.colSpan > col + colCount)
        return false;
    }
  for (int r = row; r < row + rowCount; ++r)
    for (int c = col; c < col + colCount; ++c)
      rows[r].cells[c].rowSpan = rows[r].cells[c].colSpan = 1;
  rows[row].cells[col].rowSpan = rowCount;
  rows[row].cells[col].colSpan = colCount;
  return true;
}

void Template::split(int row, int col) {
  int orow, ocol;
  owner(row, col, &orow, &ocol);
  rows[orow].cells[ocol].rowSpan = rows[orow].cells[ocol].colSpan = 1;
}

void Template::fieldsIn(const QString &text, QStringList *master, QStringList *detail) {
  static const QRegularExpression re(QStringLiteral(R"(\{([^{}]*)\}|\[([^\[\]]*)\]|#T1\.([^\s{}\[\]<>]+))"));
  for (auto it = re.globalMatch(text); it.hasNext();) {
    const auto m = it.next();
    if (m.capturedStart(1) >= 0 && master)
      master->append(m.captured(1));
    if (m.capturedStart(2) >= 0 && detail)
      detail->append(m.captured(2));
    if (m.capturedStart(3) >= 0 && master)
      master->append(m.captured(3));
  }
}

QStringList Template::unknownMarkers(const QStringList &masterFields, const QStringList &detailFields,
                                     const QStringList &variables) const {
  static const QRegularExpression fn(QStringLiteral(R"(<([^<>]*)>)"));
  QStringList out;
  auto note = [&](const QString &m) {
    if (!out.contains(m))
      out << m;
  };
  for (const Row &r : rows)
    for (const Cell &c : r.cells) {
      if (c.text.isEmpty())
        continue;
      QStringList m, d;
      fieldsIn(c.text, &m, &d);
      for (const QString &f : std::as_const(m))
        if (!masterFields.contains(f))
          note(c.text.contains(u"#T1." % f) && !c.text.contains(u'{' % f % u'}') ? QString(u"#T1." % f) : QString(u'{' % f % u'}'));
      for (const QString &f : std::as_const(d))
        if (!detailFields.contains(f))
          note(u'[' % f % u']');
      for (auto it = fn.globalMatch(c.text); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!functionNames().contains(name) && !variables.contains(name))
          note(u'<' % name % u'>');
      }
    }
  return out;
}

void Template::validate() const {
  if (type != u"M" && type != u"MD")
    refuse(u"报表类型 \"" % type % u"\" 不是 M 或 MD");
  if (columns.size() > kMaxColumns || rows.size() > kMaxRows)
    refuse(QStringLiteral("行或列太多"));
  for (double w : columns)
    if (!(w > 0 && w <= kMaxLength))
      refuse(QStringLiteral("列宽超出范围"));
  const PageSetup &p = page;
  if (!(p.width > 0 && p.width <= kMaxLength && p.height > 0 && p.height <= kMaxLength))
    refuse(QStringLiteral("纸张大小超出范围"));
  for (double m : {p.top, p.bottom, p.left, p.right})
    if (!(m >= 0 && m <= kMaxLength))
      refuse(QStringLiteral("页边距超出范围"));
  if (p.top + p.bottom >= p.sheetHeight() || p.left + p.right >= p.sheetWidth())
    refuse(QStringLiteral("页边距大于纸张"));
  if (!(fontSize > 0 && fontSize <= 400))
    refuse(QStringLiteral("字号超出范围"));
  // Each cell belongs to at most one merge, and a merge stays inside the grid and its band.
  QList<char> covered(rows.size() * columns.size(), 0);
  for (int r = 0; r < rowCount(); ++r) {
    const Row &row = rows[r];
    if (row.cells.size() != columns.size())
      refuse(QStringLiteral("行的单元格数与列数不符"));
    if (!(row.height > 0 && row.height <= kMaxLength))
      refuse(QStringLiteral("行高超出范围"));
    for (int c = 0; c < columnCount(); ++c) {
      const Cell &x = row.cells[c];
      if (x.rowSpan < 1 || x.colSpan < 1 || r + x.rowSpan > rowCount() || c + x.colSpan > columnCount())
        refuse(QStringLiteral("合并单元格超出表格"));
      if (!(x.size >= 0 && x.size <= 400))
        refuse(QStringLiteral("字号超出范围"));
      if (x.rowSpan == 1 && x.colSpan == 1)
        continue;
      for (int rr = r; rr < r + x.rowSpan; ++rr) {
        if (rows[rr].band != row.band)
          refuse(QStringLiteral("合并单元格跨越了报表区域"));
        for (int cc = c; cc < c + x.colSpan; ++cc) {
          char &mark = covered[rr * columns.size() + cc];
          if (mark)
            refuse(QStringLiteral("合并单元格互相重叠"));
          mark = 1;
        }
      }
    }
  }
}

QByteArray Template::toBytes() const {
  QJsonObject pageObj{{u"paper"_qs, page.paper},     {u"width"_qs, page.width}, {u"height"_qs, page.height},
                      {u"landscape"_qs, page.landscape}, {u"top"_qs, page.top},     {u"bottom"_qs, page.bottom},
                      {u"left"_qs, page.left},       {u"right"_qs, page.right}};
  QJsonArray cols;
  for (double w : columns)
    cols.append(w);
  QJsonArray rowArr;
  for (const Row &r : rows) {
    QJsonArray cells;
    for (int c = 0; c < r.cells.size(); ++c) {
      const Cell &x = r.cells[c];
      if (x.isDefault())
        continue; // cells are stored sparsely: an empty grid stays small
      QJsonObject o{{u"col"_qs, c}};
      if (!x.text.isEmpty()) o[u"text"_qs] = x.text;
      if (!x.font.isEmpty()) o[u"font"_qs] = x.font;
      if (x.size > 0) o[u"size"_qs] = x.size;
      if (x.bold) o[u"bold"_qs] = true;
      if (x.align != HAlign::Left) o[u"align"_qs] = alignKey(x.align);
      if (x.valign != VAlign::Middle) o[u"valign"_qs] = valignKey(x.valign);
      if (x.borders) o[u"borders"_qs] = bordersKey(x.borders);
      if (x.wrap) o[u"wrap"_qs] = true;
      if (x.rowSpan > 1) o[u"rowSpan"_qs] = x.rowSpan;
      if (x.colSpan > 1) o[u"colSpan"_qs] = x.colSpan;
      cells.append(o);
    }
    rowArr.append(QJsonObject{{u"height"_qs, r.height}, {u"band"_qs, bandKey(r.band)}, {u"cells"_qs, cells}});
  }
  const QJsonObject root{{u"format"_qs, QString::fromUtf16(kFormatName)},
                         {u"version"_qs, kFormatVersion},
                         {u"title"_qs, title},
                         {u"type"_qs, type},
                         {u"font"_qs, font},
                         {u"fontSize"_qs, fontSize},
                         {u"page"_qs, pageObj},
                         {u"columns"_qs, cols},
                         {u"rows"_qs, rowArr}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Template Template::fromBytes(const QByteArray &body) {
  if (body.size() > kMaxBody)
    refuse(QStringLiteral("文件太大"));
  QJsonParseError pe;
  const QJsonDocument doc = QJsonDocument::fromJson(body, &pe);
  if (pe.error != QJsonParseError::NoError || !doc.isObject())
    refuse(QStringLiteral("不是报表模板"));
  const QJsonObject root = doc.object();
  if (root.value(u"format").toString() != QStringView(kFormatName))
    refuse(QStringLiteral("不是报表模板"));
  const QJsonValue ver = root.value(u"version");
  if (!ver.isDouble() || ver.toDouble() != std::floor(ver.toDouble()) || ver.toDouble() < 1)
    refuse(QStringLiteral("版本号无效"));
  if (ver.toDouble() > kFormatVersion)
    throw TemplateError(u"报表模板文件的版本 " % QString::number(ver.toInt()) % u" 比本程序新,不能打开");

  Template t;
  t.rows.clear();
  t.title = text(root, u"title", {});
  t.type = text(root, u"type", QStringLiteral("M"));
  t.font = text(root, u"font", t.font);
  t.fontSize = number(root, u"fontSize", t.fontSize, 0.1, 400);

  const QJsonObject p = object(root.value(u"page"), QStringLiteral("page"));
  t.page.paper = text(p, u"paper", t.page.paper);
  t.page.width = number(p, u"width", t.page.width, 1, kMaxLength);
  t.page.height = number(p, u"height", t.page.height, 1, kMaxLength);
  t.page.landscape = boolean(p, u"landscape", false);
  t.page.top = number(p, u"top", t.page.top, 0, kMaxLength);
  t.page.bottom = number(p, u"bottom", t.page.bottom, 0, kMaxLength);
  t.page.left = number(p, u"left", t.page.left, 0, kMaxLength);
  t.page.right = number(p, u"right", t.page.right, 0, kMaxLength);

  const QJsonArray cols = array(root.value(u"columns"), QStringLiteral("columns"));
  if (cols.size() > kMaxColumns)
    refuse(QStringLiteral("列太多"));
  for (const QJsonValue &v : cols) {
    if (!v.isDouble())
      refuse(QStringLiteral("列宽不是数字"));
    t.columns.append(v.toDouble());
  }
  const QJsonArray rowArr = array(root.value(u"rows"), QStringLiteral("rows"));
  if (rowArr.size() > kMaxRows)
    refuse(QStringLiteral("行太多"));
  for (const QJsonValue &rv : rowArr) {
    const QJsonObject ro = object(rv, QStringLiteral("row"));
    Row row;
    row.height = number(ro, u"height", row.height, 0.1, kMaxLength);
    const QString band = text(ro, u"band", bandKey(Band::Detail));
    int b = 0;
    while (b < kBandCount && band != QStringView(kBandKeys[b]))
      ++b;
    if (b == kBandCount)
      refuse(u"未知的报表区域 \"" % band % u'"');
    row.band = Band(b);
    row.cells.resize(t.columns.size());
    QList<bool> seen(t.columns.size(), false);
    for (const QJsonValue &cv : array(ro.value(u"cells"), QStringLiteral("cells"))) {
      const QJsonObject co = object(cv, QStringLiteral("cell"));
      const int c = integer(co, u"col", -1, 0, int(t.columns.size()) - 1);
      if (c < 0 || seen[c])
        refuse(QStringLiteral("单元格的列号无效或重复"));
      seen[c] = true;
      Cell &x = row.cells[c];
      x.text = text(co, u"text", {});
      x.font = text(co, u"font", {});
      x.size = number(co, u"size", 0, 0, 400);
      x.bold = boolean(co, u"bold", false);
      const QString a = text(co, u"align", QStringLiteral("left"));
      if (a == u"left") x.align = HAlign::Left;
      else if (a == u"center") x.align = HAlign::Center;
      else if (a == u"right") x.align = HAlign::Right;
      else refuse(u"未知的对齐方式 \"" % a % u'"');
      const QString va = text(co, u"valign", QStringLiteral("middle"));
      if (va == u"top") x.valign = VAlign::Top;
      else if (va == u"middle") x.valign = VAlign::Middle;
      else if (va == u"bottom") x.valign = VAlign::Bottom;
      else refuse(u"未知的对齐方式 \"" % va % u'"');
      for (QChar ch : text(co, u"borders", {})) {
        switch (ch.unicode()) {
        case u'L': x.borders |= BorderLeft; break;
        case u'T': x.borders |= BorderTop; break;
        case u'R': x.borders |= BorderRight; break;
        case u'B': x.borders |= BorderBottom; break;
        default: refuse(QStringLiteral("边框的写法无效"));
        }
      }
      x.wrap = boolean(co, u"wrap", false);
      x.rowSpan = integer(co, u"rowSpan", 1, 1, kMaxRows);
      x.colSpan = integer(co, u"colSpan", 1, 1, kMaxColumns);
    }
    t.rows.append(row);
  }
  t.validate();
  return t;
}

void Template::save(const QString &path) const {
  validate();
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(toBytes()) < 0 || !f.commit())
    throw TemplateError(u"报表模板文件不能保存: " % path);
}

Template Template::load(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    throw TemplateError(u"报表模板文件:" % path % u"\r\n没有找到报表模版文件");
  if (f.size() > kMaxBody)
    refuse(QStringLiteral("文件太大"));
  return fromBytes(f.readAll());
}

} // namespace zr::report
