#include "platform/report/reportruntime.h"

#include <QtCore/QLocale>
#include <QtCore/QRegularExpression>
#include <cmath>

namespace zr::report {

namespace {

enum class Tok { Literal, MField, DField, Serial, SumPage, Sum, PageNum, PageNumSlash, PageNumDash, Date, Time, DateTime, Var };

struct Token {
  Tok kind;
  QString text; // literal text or variable name
  int field = -1; // field index in its source; -1 for a name no field has (printed empty)
  int sumField = -1; // SumPage/Sum: the field of the repeating source summed in this column
};

struct CompiledCell {
  bool covered = false; // inside another cell's merge
  QList<Token> tokens;
  double height = 0; // of its merged rows
  double x = 0, width = 0;
  int flags = 0;
  QString font;
  double size = 9;
};

struct Placement {
  Band band;
  int record; // row of the repeating source; -1 none (master row), -2 an empty ruled row
  double y;
};

struct PagePlan {
  QList<Placement> items;
  int firstRecord = -1, endRecord = -1; // repeating rows on this page, [first, end)
};

QString formatNumber(double d) {
  // Sums of decimal amounts carry binary noise (0.1 + 0.2); ten places are more than any
  // amount the archive keeps.
  d = std::round(d * 1e10) / 1e10;
  if (d == 0)
    d = 0; // no "-0"
  return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

QString formatValue(const QVariant &v) {
  if (!v.isValid() || v.isNull())
    return {};
  switch (v.typeId()) {
  case QMetaType::Double:
  case QMetaType::Float: return formatNumber(v.toDouble());
  case QMetaType::QDate: return v.toDate().toString(u"yyyy-MM-dd");
  case QMetaType::QDateTime: return v.toDateTime().toString(u"yyyy-MM-dd hh:mm:ss");
  default: return v.toString();
  }
}

int qtFlags(const Cell &c) {
  int f = c.align == HAlign::Left ? Qt::AlignLeft : c.align == HAlign::Center ? Qt::AlignHCenter : Qt::AlignRight;
  f |= c.valign == VAlign::Top ? Qt::AlignTop : c.valign == VAlign::Middle ? Qt::AlignVCenter : Qt::AlignBottom;
  if (c.wrap)
    f |= Qt::TextWordWrap;
  return f;
}

} // namespace

struct LaidOutReport {
  Template t;
  const DataSource *m = nullptr, *d = nullptr;
  const DataSource *rep = nullptr; // the repeating source: M, or D in master-detail reports
  Band repBand = Band::Detail;
  QHash<QString, QString> vars;
  QString date, time;
  QList<int> bandRows[kBandCount];
  double bandHeight[kBandCount] = {};
  QList<double> rowY; // offset of each template row inside its band
  QList<CompiledCell> cells; // row * columns + col
  QList<PagePlan> pages;
  mutable QHash<int, double> totals; // Sum() per summed field, computed once

  int masterRow() const {
    if (!m || m->rowCount() == 0)
      return -1;
    return std::clamp(m->currentRow(), 0, m->rowCount() - 1);
  }

  static double number(const QVariant &v, bool *ok) {
    if (v.isNull()) {
      *ok = false;
      return 0;
    }
    return v.toDouble(ok);
  }

  double sum(int field, int first, int end) const {
    double s = 0;
    bool ok;
    end = std::min(end, rep->rowCount()); // a source that shrank since the layout
    for (int r = first; r < end; ++r) {
      const double x = number(rep->value(r, field), &ok);
      if (ok)
        s += x;
    }
    return s;
  }

  QString evaluate(const QList<Token> &tokens, int page, int record) const {
    QString out;
    const bool repeating = record >= 0;
    const int mrow = repeating && rep == m ? record : masterRow();
    const int drow = repeating && rep == d ? record : (d && d->rowCount() ? std::clamp(d->currentRow(), 0, d->rowCount() - 1) : -1);
    for (const Token &k : tokens) {
      switch (k.kind) {
      case Tok::Literal: out += k.text; break;
      case Tok::MField:
        if (k.field >= 0 && mrow >= 0 && mrow < m->rowCount())
          out += formatValue(m->value(mrow, k.field));
        break;
      case Tok::DField:
        if (k.field >= 0 && drow >= 0 && drow < d->rowCount())
          out += formatValue(d->value(drow, k.field));
        break;
      case Tok::Serial:
        if (repeating)
          out += QString::number(record + 1);
        break;
      case Tok::SumPage:
        if (k.sumField >= 0)
          out += formatNumber(sum(k.sumField, pages[page].firstRecord < 0 ? 0 : pages[page].firstRecord,
                                  pages[page].firstRecord < 0 ? 0 : pages[page].endRecord));
        break;
      case Tok::Sum:
        if (k.sumField >= 0) {
          auto it = totals.find(k.sumField);
          if (it == totals.end())
            it = totals.insert(k.sumField, sum(k.sumField, 0, rep->rowCount()));
          out += formatNumber(*it);
        }
        break;
      case Tok::PageNum: out += QString::number(page + 1); break;
      case Tok::PageNumSlash: out += QString::number(page + 1) % u'/' % QString::number(pages.size()); break;
      case Tok::PageNumDash:
        out += u"第" % QString::number(page + 1) % u"页 共" % QString::number(pages.size()) % u"页";
        break;
      case Tok::Date: out += date; break;
      case Tok::Time: out += time; break;
      case Tok::DateTime: out += date % u' ' % time; break;
      case Tok::Var: out += vars.value(k.text); break;
      }
    }
    return out;
  }

  void compile() {
    const int nc = t.columnCount();
    cells.resize(t.rowCount() * nc);
    QList<double> xs(nc + 1, t.page.left);
    for (int c = 0; c < nc; ++c)
      xs[c + 1] = xs[c] + t.columns[c];
    rowY.resize(t.rowCount());
    for (int r = 0; r < t.rowCount(); ++r) {
      const Band b = t.rows[r].band;
      rowY[r] = bandHeight[int(b)];
      bandRows[int(b)].append(r);
      bandHeight[int(b)] += t.rows[r].height;
    }
    for (int r = 0; r < t.rowCount(); ++r)
      for (int c = 0; c < nc; ++c) {
        const Cell &x = t.cell(r, c);
        if (x.rowSpan > 1 || x.colSpan > 1)
          for (int rr = r; rr < r + x.rowSpan; ++rr)
            for (int cc = c; cc < c + x.colSpan; ++cc)
              if (rr != r || cc != c)
                cells[rr * nc + cc].covered = true;
      }
    // Which field each column sums: the first field marker of the repeating band in that column.
    QHash<int, int> sumFieldOfColumn;
    for (int r : std::as_const(bandRows[int(repBand)]))
      for (int c = 0; c < nc; ++c) {
        if (sumFieldOfColumn.contains(c))
          continue;
        QStringList mf, df;
        Template::fieldsIn(t.cell(r, c).text, &mf, &df);
        const QStringList &names = rep == d ? df : mf;
        if (!names.isEmpty() && rep)
          sumFieldOfColumn.insert(c, rep->fieldIndex(names.first()));
      }

    static const QRegularExpression re(QStringLiteral(R"(\{([^{}]*)\}|\[([^\[\]]*)\]|#T1\.([^\s{}\[\]<>]+)|<([^<>]*)>)"));
    static const QHash<QString, Tok> functions{{QStringLiteral("序号"), Tok::Serial},
                                               {QStringLiteral("SumPage()"), Tok::SumPage},
                                               {QStringLiteral("Sum()"), Tok::Sum},
                                               {QStringLiteral("PageNum"), Tok::PageNum},
                                               {QStringLiteral("PageNum/"), Tok::PageNumSlash},
                                               {QStringLiteral("PageNum-"), Tok::PageNumDash},
                                               {QStringLiteral("Date"), Tok::Date},
                                               {QStringLiteral("Time"), Tok::Time},
                                               {QStringLiteral("DateTime"), Tok::DateTime}};
    for (int r = 0; r < t.rowCount(); ++r)
      for (int c = 0; c < nc; ++c) {
        CompiledCell &cc = cells[r * nc + c];
        if (cc.covered)
          continue;
        const Cell &x = t.cell(r, c);
        for (int rr = r; rr < r + x.rowSpan; ++rr)
          cc.height += t.rows[rr].height;
        cc.x = xs[c];
        cc.width = xs[c + x.colSpan] - xs[c];
        cc.flags = qtFlags(x);
        cc.font = x.font.isEmpty() ? t.font : x.font;
        cc.size = x.size > 0 ? x.size : t.fontSize;
        qsizetype at = 0;
        for (auto it = re.globalMatch(x.text); it.hasNext();) {
          const auto mt = it.next();
          if (mt.capturedStart() > at)
            cc.tokens.append({Tok::Literal, x.text.mid(at, mt.capturedStart() - at)});
          at = mt.capturedEnd();
          if (mt.capturedStart(1) >= 0 || mt.capturedStart(3) >= 0) {
            const QString name = mt.captured(mt.capturedStart(1) >= 0 ? 1 : 3);
            cc.tokens.append({Tok::MField, {}, m ? m->fieldIndex(name) : -1});
          } else if (mt.capturedStart(2) >= 0) {
            cc.tokens.append({Tok::DField, {}, d ? d->fieldIndex(mt.captured(2)) : -1});
          } else {
            const QString name = mt.captured(4);
            const auto f = functions.constFind(name);
            Token k{f == functions.constEnd() ? Tok::Var : *f, name};
            if (k.kind == Tok::SumPage || k.kind == Tok::Sum)
              k.sumField = sumFieldOfColumn.value(c, -1);
            cc.tokens.append(k);
          }
        }
        if (at < x.text.size())
          cc.tokens.append({Tok::Literal, x.text.mid(at)});
      }
  }

  void paginate(bool addSpace) {
    const double top = t.page.top;
    const double limit = t.page.sheetHeight() - t.page.bottom - bandHeight[int(Band::PageFooter)];
    const double hHead = bandHeight[int(Band::ColumnHeading)];
    const double hRep = bandHeight[int(repBand)];
    constexpr double eps = 1e-6;
    double y = 0;
    bool body = false;    // something besides the page header is on the page
    bool heading = false; // the column heading is on this page
    bool anyHeading = false;
    auto newPage = [&] {
      pages.append(PagePlan{});
      y = top;
      body = heading = false;
      if (bandHeight[int(Band::PageHeader)] > 0) {
        pages.last().items.append({Band::PageHeader, -1, y});
        y += bandHeight[int(Band::PageHeader)];
      }
    };
    auto fits = [&](double h) { return y + h <= limit + eps; };
    // A block that does not fit starts a page, unless the page is still empty: a block taller
    // than the page is printed cut rather than looping for ever.
    auto place = [&](Band b, int record, double h) {
      if (!fits(h) && body)
        newPage();
      pages.last().items.append({b, record, y});
      y += h;
      body = true;
    };
    auto placeRepeating = [&](int record) {
      if (!fits(hRep + (heading ? 0 : hHead)) && body)
        newPage();
      if (!heading) {
        if (hHead > 0)
          place(Band::ColumnHeading, -1, hHead);
        heading = anyHeading = true;
      }
      if (hRep > 0)
        place(repBand, record, hRep);
      if (record >= 0) {
        PagePlan &p = pages.last();
        if (p.firstRecord < 0)
          p.firstRecord = record;
        p.endRecord = record + 1;
      }
    };

    newPage();
    if (bandHeight[int(Band::ReportHeader)] > 0)
      place(Band::ReportHeader, -1, bandHeight[int(Band::ReportHeader)]);
    if (repBand == Band::SubDetail && bandHeight[int(Band::Detail)] > 0)
      place(Band::Detail, -1, bandHeight[int(Band::Detail)]);
    const int n = rep ? rep->rowCount() : 0;
    for (int r = 0; r < n; ++r)
      placeRepeating(r);
    if (!anyHeading && hHead > 0)
      place(Band::ColumnHeading, -1, hHead), heading = true;
    const double hFoot = bandHeight[int(Band::ReportFooter)];
    if (hFoot > 0 && !fits(hFoot) && body)
      newPage();
    if (addSpace && hRep > 0)
      while (fits(hRep + (heading ? 0 : hHead) + hFoot))
        placeRepeating(-2);
    if (hFoot > 0)
      place(Band::ReportFooter, -1, hFoot);
  }

  Page render(int index) const {
    Page page;
    page.width = t.page.sheetWidth();
    page.height = t.page.sheetHeight();
    const int nc = t.columnCount();
    auto drawBand = [&](Band b, int record, double y) {
      for (int r : bandRows[int(b)]) {
        const double ry = y + rowY[r];
        for (int c = 0; c < nc; ++c) {
          const CompiledCell &cc = cells[r * nc + c];
          if (cc.covered)
            continue;
          const QRectF rect(cc.x, ry, cc.width, cc.height);
          if (record != -2 && !cc.tokens.isEmpty()) {
            QString s = evaluate(cc.tokens, index, record);
            if (!s.isEmpty()) {
              const Cell &x = t.cell(r, c);
              page.texts.append({rect, std::move(s), cc.font, cc.size, x.bold, cc.flags});
            }
          }
          const unsigned bd = t.cell(r, c).borders;
          if (bd & BorderTop) page.lines.append(QLineF(rect.topLeft(), rect.topRight()));
          if (bd & BorderBottom) page.lines.append(QLineF(rect.bottomLeft(), rect.bottomRight()));
          if (bd & BorderLeft) page.lines.append(QLineF(rect.topLeft(), rect.bottomLeft()));
          if (bd & BorderRight) page.lines.append(QLineF(rect.topRight(), rect.bottomRight()));
        }
      }
    };
    for (const Placement &p : pages[index].items)
      drawBand(p.band, p.record, p.y);
    if (bandHeight[int(Band::PageFooter)] > 0)
      drawBand(Band::PageFooter, -1, t.page.sheetHeight() - t.page.bottom - bandHeight[int(Band::PageFooter)]);
    return page;
  }
};

Document::Document() = default;
Document::~Document() = default;
Document::Document(Document &&) noexcept = default;
Document &Document::operator=(Document &&) noexcept = default;
int Document::pageCount() const { return d ? int(d->pages.size()) : 0; }
Page Document::page(int index) const {
  if (!d || index < 0 || index >= pageCount())
    return {};
  return d->render(index);
}
double Document::pageWidth() const { return d ? d->t.page.sheetWidth() : 0; }
double Document::pageHeight() const { return d ? d->t.page.sheetHeight() : 0; }

TReportRunTime::TReportRunTime() = default;
TReportRunTime::~TReportRunTime() = default;

void TReportRunTime::addDataSource(const QString &name, DataSource *source) { m_sources.insert(name, source); }

void TReportRunTime::setReportFile(const QString &path) { m_template = Template::load(path); }
void TReportRunTime::loadFromStream(const QByteArray &body) { m_template = Template::fromBytes(body); }

DataSource *TReportRunTime::source(QChar letter) const {
  if (letter == u'M' && m_printed)
    return m_printed;
  static const QRegularExpression line(QStringLiteral(R"(^\s*SetDataSet\(\s*([MD])\s*,\s*([^)]*?)\s*\)\s*;?\s*$)"));
  for (const QString &l : SetData) {
    const auto mt = line.match(l);
    if (mt.hasMatch() && mt.captured(1) == letter)
      return m_sources.value(mt.captured(2));
  }
  return m_sources.value(QString(letter));
}

Document TReportRunTime::run() const {
  m_template.validate();
  auto d = std::make_unique<LaidOutReport>();
  d->t = m_template;
  d->m = source(u'M');
  d->d = source(u'D');
  const bool md = m_template.type == u"MD";
  if (!d->m)
    throw TemplateError(QStringLiteral("没有打印数据集"));
  if (md && !d->d)
    throw TemplateError(QStringLiteral("主从报表没有从表数据集"));
  d->rep = md ? d->d : d->m;
  d->repBand = md ? Band::SubDetail : Band::Detail;
  d->vars = m_vars;
  const QDateTime now = m_clock.isValid() ? m_clock : QDateTime::currentDateTime();
  d->date = now.date().toString(u"yyyy-MM-dd");
  d->time = now.time().toString(u"hh:mm:ss");
  d->compile();
  d->paginate(AddSpace);
  Document doc;
  doc.d = std::move(d);
  return doc;
}

} // namespace zr::report
