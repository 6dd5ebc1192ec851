#include "platform/report/reportdesigner.h"

#include <QtCore/QMimeData>
#include <QtGui/QDropEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QFontComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::report {

const QList<int> &ReportDesigner::fontSizes() {
  static const QList<int> sizes{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
  return sizes;
}

ReportDesigner::ReportDesigner(QWidget *parent) : QWidget(parent) {
  auto *outer = new QVBoxLayout(this);
  auto *bar = new QHBoxLayout;
  m_font = new QFontComboBox(this);
  m_font->setObjectName(QStringLiteral("FontBox"));
  m_font->setEditText(QStringLiteral("宋体"));
  m_size = new QComboBox(this);
  m_size->setObjectName(QStringLiteral("SizeBox"));
  for (int s : fontSizes())
    m_size->addItem(QString::number(s));
  m_size->setCurrentText(QStringLiteral("9"));
  bar->addWidget(m_font);
  bar->addWidget(m_size);
  auto button = [&](const QString &text, auto slot) {
    auto *b = new QToolButton(this);
    b->setText(text);
    connect(b, &QToolButton::clicked, this, slot);
    bar->addWidget(b);
    return b;
  };
  button(QStringLiteral("粗体"), [this] { setSelectionBold(!isCellSelected() ? false : !m_t.cell(m_grid->currentRow(), m_grid->currentColumn()).bold); });
  button(QStringLiteral("左对齐"), [this] { setSelectionAlign(HAlign::Left); });
  button(QStringLiteral("居中"), [this] { setSelectionAlign(HAlign::Center); });
  button(QStringLiteral("右对齐"), [this] { setSelectionAlign(HAlign::Right); });
  button(QStringLiteral("边框"), [this] { setSelectionBorders(BorderAll); });
  button(QStringLiteral("无边框"), [this] { setSelectionBorders(BorderNone); });
  button(QStringLiteral("合并"), [this] { mergeSelection(); });
  button(QStringLiteral("拆分"), [this] { splitSelection(); });
  button(QStringLiteral("页面设置"), [this] { pageSetupDialog(); });
  m_band = new QComboBox(this);
  m_band->setObjectName(QStringLiteral("BandBox"));
  for (int b = 0; b < kBandCount; ++b)
    m_band->addItem(bandName(Band(b)));
  bar->addWidget(m_band);
  m_zoomBox = new QSpinBox(this);
  m_zoomBox->setRange(25, 400);
  m_zoomBox->setSingleStep(25);
  m_zoomBox->setSuffix(QStringLiteral("%"));
  m_zoomBox->setValue(100);
  bar->addWidget(m_zoomBox);
  bar->addStretch();
  outer->addLayout(bar);

  m_grid = new QTableWidget(this);
  m_grid->setObjectName(QStringLiteral("ReportGrid"));
  m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  m_grid->setAcceptDrops(true);
  m_grid->viewport()->setAcceptDrops(true);
  m_grid->viewport()->installEventFilter(this);
  outer->addWidget(m_grid, 1);

  connect(m_font, &QFontComboBox::currentTextChanged, this, [this](const QString &f) {
    if (!m_loading)
      setSelectionFont(f);
  });
  connect(m_size, &QComboBox::currentTextChanged, this, [this](const QString &s) {
    if (!m_loading)
      setSelectionSize(s.toDouble());
  });
  connect(m_band, &QComboBox::activated, this, [this](int b) { setRowBand(Band(b)); });
  connect(m_zoomBox, &QSpinBox::valueChanged, this, [this](int z) { setZoom(z); });
  connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
    if (m_loading)
      return;
    m_t.cell(item->row(), item->column()).text = item->text();
    touched();
  });
  connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int px) {
    if (!m_loading && c < m_t.columnCount()) {
      m_t.columns[c] = std::max(1.0, px / pxPerMm());
      touched();
    }
  });
  connect(m_grid->verticalHeader(), &QHeaderView::sectionResized, this, [this](int r, int, int px) {
    if (!m_loading && r < m_t.rowCount()) {
      m_t.rows[r].height = std::max(1.0, px / pxPerMm());
      touched();
    }
  });
  connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int r, int c) {
    if (r < 0 || c < 0 || r >= m_t.rowCount() || c >= m_t.columnCount())
      return;
    m_loading = true;
    const Cell &x = m_t.cell(r, c);
    m_font->setCurrentText(x.font.isEmpty() ? m_t.font : x.font);
    m_size->setCurrentText(QString::number(x.size > 0 ? x.size : m_t.fontSize));
    m_band->setCurrentIndex(int(m_t.rows[r].band));
    m_loading = false;
  });

  Template t;
  t.resize(10, 6);
  setReport(t);
}

double ReportDesigner::pxPerMm() const { return logicalDpiX() / 25.4 * m_zoom / 100.0; }

void ReportDesigner::setReport(const Template &t) {
  m_t = t;
  m_modified = false;
  rebuild();
}

void ReportDesigner::loadFromFile(const QString &path) { setReport(Template::load(path)); }
void ReportDesigner::loadFromStream(const QByteArray &body) { setReport(Template::fromBytes(body)); }
void ReportDesigner::saveToFile(const QString &path) {
  m_t.save(path);
  m_modified = false;
}

void ReportDesigner::rebuild() {
  m_loading = true;
  m_grid->clearSpans();
  m_grid->setRowCount(m_t.rowCount());
  m_grid->setColumnCount(m_t.columnCount());
  const double k = pxPerMm();
  for (int c = 0; c < m_t.columnCount(); ++c)
    m_grid->setColumnWidth(c, std::max(4, int(m_t.columns[c] * k + 0.5)));
  for (int r = 0; r < m_t.rowCount(); ++r) {
    m_grid->setRowHeight(r, std::max(4, int(m_t.rows[r].height * k + 0.5)));
    for (int c = 0; c < m_t.columnCount(); ++c)
      showCell(r, c);
  }
  m_loading = false;
}

void ReportDesigner::showCell(int r, int c) {
  const bool was = m_loading;
  m_loading = true;
  const Cell &x = m_t.cell(r, c);
  auto *item = m_grid->item(r, c);
  if (!item) {
    item = new QTableWidgetItem;
    m_grid->setItem(r, c, item);
  }
  item->setText(x.text);
  QFont f(x.font.isEmpty() ? m_t.font : x.font);
  f.setPointSizeF((x.size > 0 ? x.size : m_t.fontSize) * m_zoom / 100.0);
  f.setBold(x.bold);
  item->setFont(f);
  item->setTextAlignment((x.align == HAlign::Left ? Qt::AlignLeft : x.align == HAlign::Center ? Qt::AlignHCenter : Qt::AlignRight) |
                         Qt::AlignVCenter);
  item->setToolTip(x.borders ? QStringLiteral("有边框") : QString());
  if (x.rowSpan > 1 || x.colSpan > 1)
    m_grid->setSpan(r, c, x.rowSpan, x.colSpan);
  if (c == 0)
    m_grid->setVerticalHeaderItem(r, new QTableWidgetItem(bandName(m_t.rows[r].band)));
  m_loading = was;
}

void ReportDesigner::touched() {
  m_modified = true;
  emit changed();
}

bool ReportDesigner::isCellSelected() const {
  return !m_grid->selectedRanges().isEmpty() && m_grid->currentRow() >= 0 && m_grid->currentColumn() >= 0;
}

void ReportDesigner::selectCells(int row, int col, int rowCount, int colCount) {
  m_grid->clearSelection();
  m_grid->setCurrentCell(row, col);
  m_grid->setRangeSelected(QTableWidgetSelectionRange(row, col, row + rowCount - 1, col + colCount - 1), true);
}

bool ReportDesigner::putText(const QString &text) {
  if (!isCellSelected())
    return false;
  int r, c;
  m_t.owner(m_grid->currentRow(), m_grid->currentColumn(), &r, &c);
  m_t.cell(r, c).text = text;
  showCell(r, c);
  touched();
  return true;
}

bool ReportDesigner::dropEntry(const QPoint &pos, const QString &entry) {
  const QModelIndex at = m_grid->indexAt(pos);
  if (!at.isValid() || entry.isEmpty())
    return false;
  int r, c;
  m_t.owner(at.row(), at.column(), &r, &c);
  m_t.cell(r, c).text = u"#T1." % entry;
  showCell(r, c);
  touched();
  return true;
}

bool ReportDesigner::eventFilter(QObject *o, QEvent *e) {
  if (o == m_grid->viewport()) {
    if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) {
      auto *d = static_cast<QDragMoveEvent *>(e);
      if (d->mimeData()->hasText()) {
        d->acceptProposedAction();
        return true;
      }
    } else if (e->type() == QEvent::Drop) {
      auto *d = static_cast<QDropEvent *>(e);
      if (dropEntry(d->position().toPoint(), d->mimeData()->text().trimmed()))
        d->acceptProposedAction();
      return true;
    }
  }
  return QWidget::eventFilter(o, e);
}

template <typename F> void ReportDesigner::forSelection(F f) {
  for (const QTableWidgetSelectionRange &s : m_grid->selectedRanges())
    for (int r = s.topRow(); r <= s.bottomRow(); ++r)
      for (int c = s.leftColumn(); c <= s.rightColumn(); ++c) {
        f(m_t.cell(r, c));
        showCell(r, c);
      }
  touched();
}

bool ReportDesigner::mergeSelection() {
  const auto ranges = m_grid->selectedRanges();
  if (ranges.size() != 1)
    return false;
  const auto &s = ranges.first();
  if (!m_t.merge(s.topRow(), s.leftColumn(), s.rowCount(), s.columnCount()))
    return false;
  rebuild();
  touched();
  return true;
}

void ReportDesigner::splitSelection() {
  if (!isCellSelected())
    return;
  m_t.split(m_grid->currentRow(), m_grid->currentColumn());
  rebuild();
  touched();
}

void ReportDesigner::setSelectionFont(const QString &face) { forSelection([&](Cell &c) { c.font = face == m_t.font ? QString() : face; }); }
void ReportDesigner::setSelectionSize(double points) {
  if (points > 0)
    forSelection([&](Cell &c) { c.size = points == m_t.fontSize ? 0 : points; });
}
void ReportDesigner::setSelectionBold(bool bold) { forSelection([&](Cell &c) { c.bold = bold; }); }
void ReportDesigner::setSelectionAlign(HAlign a) { forSelection([&](Cell &c) { c.align = a; }); }
void ReportDesigner::setSelectionBorders(unsigned borders) { forSelection([&](Cell &c) { c.borders = borders; }); }

void ReportDesigner::setRowBand(Band b) {
  const Template before = m_t;
  for (const QTableWidgetSelectionRange &s : m_grid->selectedRanges())
    for (int r = s.topRow(); r <= s.bottomRow(); ++r)
      m_t.rows[r].band = b;
  // A merge left across two bands would not print; such a change is taken back.
  try {
    m_t.validate();
  } catch (const TemplateError &) {
    m_t = before;
    return;
  }
  rebuild();
  touched();
}

void ReportDesigner::setColumnWidth(int col, double mm) {
  if (col < 0 || col >= m_t.columnCount() || !(mm > 0))
    return;
  m_t.columns[col] = mm;
  rebuild();
  touched();
}

void ReportDesigner::setRowHeight(int row, double mm) {
  if (row < 0 || row >= m_t.rowCount() || !(mm > 0))
    return;
  m_t.rows[row].height = mm;
  rebuild();
  touched();
}

void ReportDesigner::setZoom(int percent) {
  m_zoom = std::clamp(percent, 25, 400);
  if (m_zoomBox->value() != m_zoom)
    m_zoomBox->setValue(m_zoom);
  rebuild();
}

void ReportDesigner::setPage(const PageSetup &page) {
  m_t.page = page;
  touched();
}

bool ReportDesigner::pageSetupDialog() {
  QDialog d(this);
  d.setWindowTitle(QStringLiteral("页面设置"));
  auto *form = new QFormLayout(&d);
  auto *paper = new QComboBox(&d);
  paper->addItems({QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A5"), QStringLiteral("B5"), QStringLiteral("Letter"),
                   QStringLiteral("Custom")});
  paper->setCurrentText(m_t.page.paper);
  auto mm = [&](double v) {
    auto *s = new QDoubleSpinBox(&d);
    s->setRange(0, 2000);
    s->setSuffix(QStringLiteral(" 毫米"));
    s->setValue(v);
    return s;
  };
  auto *w = mm(m_t.page.width), *h = mm(m_t.page.height);
  auto *top = mm(m_t.page.top), *bottom = mm(m_t.page.bottom), *left = mm(m_t.page.left), *right = mm(m_t.page.right);
  auto *landscape = new QCheckBox(QStringLiteral("横向"), &d);
  landscape->setChecked(m_t.page.landscape);
  form->addRow(QStringLiteral("纸张"), paper);
  form->addRow(QStringLiteral("纸张宽度"), w);
  form->addRow(QStringLiteral("纸张高度"), h);
  form->addRow(QString(), landscape);
  form->addRow(QStringLiteral("上边距"), top);
  form->addRow(QStringLiteral("下边距"), bottom);
  form->addRow(QStringLiteral("左边距"), left);
  form->addRow(QStringLiteral("右边距"), right);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  connect(paper, &QComboBox::currentTextChanged, &d, [&](const QString &name) {
    PageSetup p;
    if (p.setPaper(name) && name != u"Custom") {
      w->setValue(p.width);
      h->setValue(p.height);
    }
  });
  if (d.exec() != QDialog::Accepted)
    return false;
  PageSetup p = m_t.page;
  p.paper = paper->currentText();
  p.width = w->value();
  p.height = h->value();
  p.landscape = landscape->isChecked();
  p.top = top->value();
  p.bottom = bottom->value();
  p.left = left->value();
  p.right = right->value();
  if (p.width <= 0 || p.height <= 0 || p.top + p.bottom >= p.sheetHeight() || p.left + p.right >= p.sheetWidth())
    return false;
  setPage(p);
  return true;
}

} // namespace zr::report
