#include "controls/tzrndbgrid.h"

#include "db/sqltext.h"
#include "framework/zrquery.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/os/numbertext.h"
#include "platform/sql/database.h"
#include "platform/sql/values.h"
#include "platform/ui/common.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyledItemDelegate>
#include <cmath>

namespace zr::controls {

// ---- the totals row under the columns

class GridFooter : public QWidget {
public:
  explicit GridFooter(TZRNDBGrid *grid) : QWidget(grid), m_grid(grid) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(Qt::yellow));
    setPalette(p);
  }
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    QHeaderView *h = m_grid->horizontalHeader();
    const int off = m_grid->viewport()->x() - x();
    for (int c = 0; c < m_grid->m_footerTexts.size(); ++c) {
      if (h->isSectionHidden(c) || h->sectionSize(c) <= 0)
        continue;
      const QRect r(off + h->sectionViewportPosition(c) + 2, 0, h->sectionSize(c) - 4, height());
      p.drawText(r, int(m_grid->footerAlignment(c) | Qt::AlignVCenter), m_grid->m_footerTexts.at(c));
      p.setPen(palette().color(QPalette::Mid));
      p.drawLine(r.right() + 2, 0, r.right() + 2, height());
      p.setPen(palette().color(QPalette::WindowText));
    }
  }

private:
  TZRNDBGrid *m_grid;
};

namespace {

class CellDelegate : public QStyledItemDelegate {
public:
  explicit CellDelegate(TZRNDBGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
  void initStyleOption(QStyleOptionViewItem *o, const QModelIndex &index) const override {
    QStyledItemDelegate::initStyleOption(o, index);
    if (!m_grid->OnApplyCellAttr)
      return;
    const CellAttr a = m_grid->cellAttributes(index, o->state);
    o->font = a.font;
    if (a.background.isValid())
      o->backgroundBrush = a.background;
    if (a.foreground.isValid()) {
      o->palette.setColor(QPalette::Text, a.foreground);
      o->palette.setColor(QPalette::HighlightedText, a.foreground);
    }
  }

private:
  TZRNDBGrid *m_grid;
};

bool sameField(const QString &a, const QString &b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A width change the layout keeps: more than one character, or any change of a narrow column.
bool beyondTolerance(int savedPx, int newPx) {
  const int d = TZRNDBGrid::charsOf(savedPx) - TZRNDBGrid::charsOf(newPx);
  return !(d >= -1 && d <= 1 && TZRNDBGrid::charsOf(newPx) > 10);
}

} // namespace

int TZRNDBGrid::charsOf(int pixels) {
  return int(std::lround(pixels * 0.16));
}
int TZRNDBGrid::pixelsOf(int chars) {
  return int(std::lround(chars / 0.16));
}

TZRNDBGrid::TZRNDBGrid(QWidget *parent) : QTableView(parent), m_footerBar(new GridFooter(this)) {
  setSelectionBehavior(QAbstractItemView::SelectRows); // whole-row selection
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setItemDelegate(new CellDelegate(this));
  horizontalHeader()->setMinimumSectionSize(0);
  horizontalHeader()->setSectionsMovable(true);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TZRNDBGrid::onResized);
  connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this] { onMoved(); });
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_footerBar, qOverload<>(&QWidget::update));
  setProperty("Tag", 0);
}

TZRNDBGrid::~TZRNDBGrid() = default;

void TZRNDBGrid::setDataSource(zr::data::Dataset *ds) {
  m_ds = ds;
  m_model = new zr::data::DatasetModel(ds, this);
  setModel(m_model);
  connect(ds, &zr::data::Dataset::layoutReset, this, &TZRNDBGrid::datasetReset);
  connect(ds, &zr::data::Dataset::scrolled, this, [this] {
    if (m_syncing || !m_ds || m_ds->recNo() < 0 || m_ds->recNo() >= m_model->rowCount())
      return;
    m_syncing = true;
    setCurrentIndex(m_model->index(int(m_ds->recNo()), qMax(0, currentIndex().column())));
    m_syncing = false;
  });
  if (auto *q = qobject_cast<zr::fw::TZRQuery *>(ds)) {
    q->DBNGride = this;
    q->SetColumnList(m_columns);
    q->LoadGridLayout = [this] {
      LoadLayout();
      adjustColumnsToSaved();
    };
    q->RefreshFooter = [this] { RefreshFooter(); };
  }
  datasetReset();
}

void TZRNDBGrid::SetColumnList(const zr::fw::TFieldsDataArray &columns) {
  m_columns = columns;
  if (auto *q = qobject_cast<zr::fw::TZRQuery *>(m_ds.data()))
    q->SetColumnList(columns);
}

void TZRNDBGrid::datasetReset() {
  if (!m_ds || !m_ds->isActive()) {
    m_footerTexts.clear();
    m_footerBar->update();
    return;
  }
  ApplyLayout();
}

const zr::fw::TFieldsData *TZRNDBGrid::entryFor(const QString &field) const {
  for (const auto &c : m_columns)
    if (sameField(c.FieldName, field))
      return &c;
  return nullptr;
}

int TZRNDBGrid::columnOf(const QString &field) const {
  if (!m_ds || !m_ds->isActive())
    return -1;
  const zr::data::Field *f = m_ds->findField(field);
  return f ? f->index() : -1;
}

zr::sql::Database *TZRNDBGrid::layoutDb() const {
  if (!LayoutDatabase.isEmpty())
    if (zr::sql::Database *db = zr::sql::Database::named(LayoutDatabase))
      return db;
  return m_ds ? m_ds->database() : nullptr;
}

QString TZRNDBGrid::ownerCondition() const {
  return u" WHERE  USE_ID = " + zr::db::quote(LayoutUserId) + u" AND FORM_NAME = " +
         zr::db::quote(LayoutFormName) + u" AND DBGRID_NAME = " + zr::db::quote(objectName());
}

QList<TZRNDBGrid::SavedColumn> TZRNDBGrid::readSaved(bool byOrder) const {
  QList<SavedColumn> out;
  zr::sql::Database *db = layoutDb();
  if (!db)
    return out;
  const QString sql = (LayoutWithOrder ? u"SELECT FIELD_WIDTH,FIELD_NAME,FIELD_ORDER FROM "_qs
                                       : u"SELECT FIELD_WIDTH,FIELD_NAME FROM "_qs) +
                      LayoutTable + ownerCondition() +
                      (byOrder && LayoutWithOrder ? u" ORDER BY FIELD_ORDER"_qs : u" ORDER BY FIELD_NAME"_qs);
  zr::sql::Query q(*db, sql);
  while (q.next()) {
    const QString name = q.value(1).toString().trimmed();
    if (name.isEmpty())
      continue;
    out << SavedColumn{name, q.value(0).toInt(), LayoutWithOrder ? q.value(2).toInt() : 0};
  }
  return out;
}

void TZRNDBGrid::LoadLayout() {
  if (!memory() || m_cacheLoaded)
    return;
  m_loaded = readSaved(false);
  m_changed = m_loaded;
  m_cacheLoaded = true;
}

// Before the query opens: the saved widths become the column declarations.
void TZRNDBGrid::adjustColumnsToSaved() {
  if (!memory() || m_loaded.isEmpty())
    return;
  std::stable_sort(m_loaded.begin(), m_loaded.end(),
                   [](const SavedColumn &a, const SavedColumn &b) { return a.order < b.order; });
  QStringList gone;
  for (const SavedColumn &s : std::as_const(m_loaded)) {
    for (auto &c : m_columns) {
      if (!sameField(c.FieldName, s.field) || c.Width == -1)
        continue;
      const int chars = charsOf(s.width);
      if (chars < 2) {
        c.Width = 0;
        if (c.FooterKind != u"@Count" && c.FooterKind != u"@Sum") {
          c.Visible = false;
          gone << s.field;
        }
      } else {
        c.Width = chars;
      }
    }
  }
  for (auto &c : m_columns) {
    bool saved = false;
    for (const SavedColumn &s : std::as_const(m_loaded))
      saved = saved || sameField(s.field, c.FieldName);
    if (!saved)
      c.Visible = false;
  }
  for (const QString &f : std::as_const(gone)) {
    DeleteSavedColumn(f);
    auto drop = [&f](QList<SavedColumn> &l) {
      l.removeIf([&f](const SavedColumn &s) { return sameField(s.field, f); });
    };
    drop(m_loaded);
    drop(m_changed);
  }
  if (auto *q = qobject_cast<zr::fw::TZRQuery *>(m_ds.data()))
    q->SetColumnList(m_columns);
}

void TZRNDBGrid::applyEntryBasics() {
  for (const auto &c : std::as_const(m_columns)) {
    const int col = columnOf(c.FieldName);
    if (col < 0)
      continue;
    m_ds->field(col)->displayLabel = c.Caption;
    if (c.Width == -1) {
      setColumnHidden(col, false);
      setColumnWidth(col, 0);
    } else if (c.Width == -2) {
      setColumnHidden(col, true);
    }
  }
  if (m_model->columnCount() > 0)
    emit m_model->headerDataChanged(Qt::Horizontal, 0, m_model->columnCount() - 1);
}

void TZRNDBGrid::ApplyLayout() {
  if (JustApplied) {
    JustApplied = false;
    return;
  }
  if (!m_ds || !m_ds->isActive() || m_model->columnCount() <= 1)
    return;
  m_applying = true; // no tracking and no totals while the columns are set
  const int n = m_model->columnCount();
  for (int col = 0; col < n; ++col) {
    const zr::data::Field *f = m_ds->field(col);
    const zr::fw::TFieldsData *e = entryFor(f->name());
    // a column the window does not declare is not shown
    setColumnHidden(col, e ? !e->Visible : (n >= 2 && !m_columns.isEmpty()));
    const int chars = e && e->Width > 0 ? e->Width : f->displayWidth;
    if (chars > 0)
      setColumnWidth(col, pixelsOf(chars));
    else if (e && e->Width == 0 && !e->Visible)
      setColumnWidth(col, 0);
  }
  m_footers = QList<Footer>(n);
  for (const auto &c : std::as_const(m_columns)) {
    const int col = columnOf(c.FieldName);
    if (col < 0 || c.FooterKind.isEmpty())
      continue;
    Footer &ft = m_footers[col];
    if (c.FooterKind == u"@Sum") {
      ft.kind = Footer::Sum;
      ft.sumField = c.FooterField.isEmpty() ? c.FieldName : c.FooterField;
      ft.right = true;
    } else if (c.FooterKind == u"@Count") {
      ft.kind = Footer::Count;
      ft.right = true;
    } else {
      ft.kind = Footer::Text;
      ft.text = c.FooterKind;
      const QString kind = c.DataKind.isEmpty() ? m_ds->field(col)->dataKind() : c.DataKind;
      ft.right = kind == u"N";
    }
  }
  applyEntryBasics();
  if (memory()) {
    const QList<SavedColumn> saved = readSaved(true);
    if (LayoutWithOrder) {
      for (int i = 0; i < saved.size(); ++i) {
        const int col = columnOf(saved[i].field);
        if (col >= 0)
          horizontalHeader()->moveSection(horizontalHeader()->visualIndex(col), qMin(saved[i].order, n - 1));
      }
    }
    for (const auto &c : std::as_const(m_columns)) {
      const int col = columnOf(c.FieldName);
      if (col < 0 || !c.Visible)
        continue;
      for (const SavedColumn &s : saved) {
        if (!sameField(s.field, c.FieldName))
          continue;
        if (s.width > 10) {
          setColumnHidden(col, false);
          setColumnWidth(col, s.width);
        } else {
          setColumnWidth(col, 0);
          setColumnHidden(col, c.FooterKind != u"@Count" && c.FooterKind != u"@Sum");
        }
      }
    }
    applyEntryBasics();
  }
  m_applying = false;
  JustApplied = true;
  RefreshFooter();
}

void TZRNDBGrid::onResized(int logical, int, int newSize) {
  if (m_applying || !SetColWidthChange || !memory() || !m_ds || !m_ds->isActive())
    return;
  LoadLayout();
  const QString name = m_ds->field(logical)->name();
  for (SavedColumn &s : m_changed) {
    if (sameField(s.field, name)) {
      if (beyondTolerance(s.width, newSize))
        s.width = newSize;
      return;
    }
  }
  m_changed << SavedColumn{name, newSize, horizontalHeader()->visualIndex(logical)};
}

void TZRNDBGrid::onMoved() {
  if (m_applying || !LayoutWithOrder || !memory() || !m_ds || !m_ds->isActive())
    return;
  LoadLayout();
  for (int col = 0; col < m_model->columnCount(); ++col) {
    const QString name = m_ds->field(col)->name();
    const int order = horizontalHeader()->visualIndex(col);
    bool found = false;
    for (SavedColumn &s : m_changed)
      if (sameField(s.field, name)) {
        s.order = order;
        found = true;
      }
    if (!found)
      m_changed << SavedColumn{name, columnWidth(col), order};
  }
}

void TZRNDBGrid::SaveLayout() {
  if (RestoreRequested || !memory() || !m_model || m_model->columnCount() < 2)
    return;
  zr::sql::Database *db = layoutDb();
  if (!db)
    return;
  for (const SavedColumn &c : std::as_const(m_changed)) {
    const SavedColumn *old = nullptr;
    for (const SavedColumn &l : std::as_const(m_loaded))
      if (sameField(l.field, c.field))
        old = &l;
    if (old && !beyondTolerance(old->width, c.width) && (!LayoutWithOrder || old->order == c.order))
      continue;
    const QString where = ownerCondition() + u" AND FIELD_NAME = " + zr::db::quote(c.field);
    zr::sql::Query q(
        *db, (LayoutWithOrder ? u"SELECT FIELD_WIDTH,FIELD_ORDER FROM "_qs : u"SELECT FIELD_WIDTH FROM "_qs) +
                 LayoutTable + where);
    if (!q.next()) {
      QString sql = u"INSERT INTO " + LayoutTable + u"(USE_ID,FORM_NAME,DBGRID_NAME,FIELD_NAME,FIELD_WIDTH" +
                    (LayoutWithOrder ? u",FIELD_ORDER"_qs : QString()) + u") VALUES(" +
                    zr::db::quote(LayoutUserId) + u"," + zr::db::quote(LayoutFormName) + u"," +
                    zr::db::quote(objectName()) + u"," + zr::db::quote(c.field) + u"," +
                    QString::number(c.width) +
                    (LayoutWithOrder ? u"," + QString::number(c.order) : QString()) + u")";
      db->exec(sql);
    } else if (q.value(0).toInt() != c.width || (LayoutWithOrder && q.value(1).toInt() != c.order)) {
      db->exec(u"UPDATE " + LayoutTable + u" SET FIELD_WIDTH = " + QString::number(c.width) +
               (LayoutWithOrder ? u",FIELD_ORDER = " + QString::number(c.order) : QString()) + where);
    }
  }
  m_loaded.clear();
  m_changed.clear();
  m_cacheLoaded = false;
}

void TZRNDBGrid::SaveAndForgetLayout() {
  SaveLayout();
  m_loaded.clear();
  m_changed.clear();
  m_cacheLoaded = false;
}

void TZRNDBGrid::RestoreDefaultLayout() {
  if (!memory() || !zr::ui::Confirm(QStringLiteral("是否恢复默认显示设置")))
    return;
  try {
    zr::sql::Database *db = layoutDb();
    if (!db)
      throw std::runtime_error("no database");
    db->exec(u"DELETE FROM " + LayoutTable + ownerCondition());
  } catch (const std::exception &) {
    zr::ui::ShowWarning(QStringLiteral("恢复默认显示设置过程发生错误"));
    return;
  }
  zr::ui::ShowWarning(QStringLiteral("请关闭窗口后再重新打开"));
  RestoreRequested = true;
}

void TZRNDBGrid::ForgetLayoutOfAllUsers() {
  if (!memory())
    return;
  try {
    zr::sql::Database *db = layoutDb();
    if (!db)
      throw std::runtime_error("no database");
    db->exec(u"DELETE FROM " + LayoutTable + u" WHERE FORM_NAME = " + zr::db::quote(LayoutFormName) +
             u" AND DBGRID_NAME = " + zr::db::quote(objectName()));
    RestoreRequested = true;
    JustApplied = false;
  } catch (const std::exception &) {
    zr::ui::ShowWarning(QStringLiteral("恢复默认显示设置过程发生错误"));
  }
  m_loaded.clear();
  m_changed.clear();
  m_cacheLoaded = false;
}

void TZRNDBGrid::DeleteSavedColumn(const QString &field) {
  if (!memory())
    return;
  try {
    zr::sql::Database *db = layoutDb();
    if (!db)
      throw std::runtime_error("no database");
    db->exec(u"DELETE FROM " + LayoutTable + ownerCondition() + u" AND FIELD_NAME = " + zr::db::quote(field));
  } catch (const std::exception &) {
    zr::ui::ShowWarning(QStringLiteral("隐藏字段删除过程发生错误"));
  }
}

// ---- totals

void TZRNDBGrid::RefreshFooter() {
  if (m_applying || !m_ds || !m_ds->isActive()) {
    return;
  }
  const int n = m_model->columnCount();
  m_footerTexts = QStringList(n);
  QList<int> sumCols, sumSrc;
  bool wantCount = false;
  for (int c = 0; c < m_footers.size() && c < n; ++c) {
    if (m_footers[c].kind == Footer::Sum) {
      const int src = columnOf(m_footers[c].sumField);
      if (src >= 0) {
        sumCols << c;
        sumSrc << src;
      }
    } else if (m_footers[c].kind == Footer::Count) {
      wantCount = true;
    } else if (m_footers[c].kind == Footer::Text) {
      m_footerTexts[c] = m_footers[c].text;
    }
  }
  if (sumCols.isEmpty() && !wantCount) {
    m_footerBar->update();
    return;
  }
  QList<double> sums(sumCols.size(), 0.0);
  qint64 count = 0;
  bool done = false;
  // A plain query is totalled by the engine; changes still in the cache need the rows.
  if (m_ds->pendingUpdates() == 0 && !m_ds->isEditing() && m_ds->database()) {
    QString sql = u"SELECT "_qs;
    for (int src : std::as_const(sumSrc))
      sql += u"SUM(" + m_ds->field(src)->name() + u"),";
    sql += u"COUNT(*) FROM (" + m_ds->sql() + u")";
    try {
      zr::sql::Query q(*m_ds->database(), sql);
      for (const QString &p : q.parameterNames())
        q.bind(p, m_ds->param(p));
      if (q.next()) {
        for (int i = 0; i < sumSrc.size(); ++i)
          sums[i] = q.value(i).toDouble();
        count = q.value(int(sumSrc.size())).toLongLong();
        done = true;
        ++footerStatements;
      }
    } catch (const std::exception &) {
      done = false; // a statement the engine cannot wrap: count the rows instead
    }
  }
  if (!done) {
    ++footerWalks;
    count = m_ds->recordCount();
    for (qint64 r = 0; r < count; ++r)
      for (int i = 0; i < sumSrc.size(); ++i)
        sums[i] += m_ds->valueAt(r, sumSrc[i]).toDouble();
  }
  for (int i = 0; i < sumCols.size(); ++i) {
    const int c = sumCols[i];
    const zr::fw::TFieldsData *e = entryFor(m_ds->field(c)->name());
    const QString kind = e && !e->DataKind.isEmpty() ? e->DataKind : m_ds->field(c)->dataKind();
    if (kind == u"N" && e && !e->RoundDecimals.isEmpty())
      m_footerTexts[c] = zr::os::RoundText(e->RoundDecimals.toInt(), e->RoundWord, sums[i]);
    else
      m_footerTexts[c] = zr::sql::shortestNumber(sums[i]);
  }
  for (int c = 0; c < m_footers.size() && c < n; ++c) {
    if (m_footers[c].kind != Footer::Count)
      continue;
    const zr::fw::TFieldsData *e = entryFor(m_ds->field(c)->name());
    const QString fmt = e ? e->FooterFormat : QString();
    const QString num = QString::number(count);
    // "%d" in the format stands for the count; a format without it is a caption before it
    m_footerTexts[c] = fmt.isEmpty()         ? num
                       : fmt.contains(u"%d") ? QString(fmt).replace(u"%d"_qs, num)
                                             : fmt + num;
  }
  m_footerBar->update();
}

QString TZRNDBGrid::footerText(int column) const {
  return column >= 0 && column < m_footerTexts.size() ? m_footerTexts.at(column) : QString();
}

Qt::Alignment TZRNDBGrid::footerAlignment(int column) const {
  return column >= 0 && column < m_footers.size() && m_footers[column].right ? Qt::AlignRight : Qt::AlignLeft;
}

CellAttr TZRNDBGrid::cellAttributes(const QModelIndex &index, QStyle::State state) const {
  CellAttr a{font(), {}, {}};
  if (OnApplyCellAttr && m_ds && m_ds->isActive() && index.isValid())
    OnApplyCellAttr(const_cast<TZRNDBGrid *>(this), m_ds->field(index.column()), a, index.row(), state);
  return a;
}

// ---- geometry, focus and mouse

void TZRNDBGrid::placeFooter() {
  const int h = fontMetrics().height() + 6;
  const QRect vp = viewport()->geometry();
  m_footerBar->setGeometry(
      vp.x(), vp.bottom() + 1 + (horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0),
      vp.width(), h);
}

void TZRNDBGrid::updateGeometries() {
  setViewportMargins(verticalHeader()->isVisible() ? verticalHeader()->width() : 0,
                     horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0, 0,
                     fontMetrics().height() + 6);
  QTableView::updateGeometries();
  placeFooter();
}

void TZRNDBGrid::resizeEvent(QResizeEvent *e) {
  QTableView::resizeEvent(e);
  placeFooter();
}

void TZRNDBGrid::focusInEvent(QFocusEvent *e) {
  setProperty("ImeName", QString());
  if (FocusColorChange) {
    QPalette p = palette();
    m_savedColor = p.color(QPalette::Base);
    p.setColor(QPalette::Base, ColorOnFocus);
    setPalette(p);
  }
  QTableView::focusInEvent(e);
}

void TZRNDBGrid::focusOutEvent(QFocusEvent *e) {
  if (FocusColorChange && m_savedColor.isValid()) {
    QPalette p = palette();
    p.setColor(QPalette::Base, m_savedColor);
    setPalette(p);
  }
  QTableView::focusOutEvent(e);
}

void TZRNDBGrid::mousePressEvent(QMouseEvent *e) {
  if (e->button() == Qt::RightButton && memory()) {
    RestoreDefaultLayout();
    return;
  }
  QTableView::mousePressEvent(e);
}

void TZRNDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
  QTableView::currentChanged(current, previous);
  if (m_syncing || !m_ds || !current.isValid() || m_ds->isEditing() || current.row() == m_ds->recNo())
    return;
  m_syncing = true;
  m_ds->moveTo(current.row());
  m_syncing = false;
}

} // namespace zr::controls
