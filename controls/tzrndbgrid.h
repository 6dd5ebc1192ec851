#pragma once
// TZRNDBGrid: the data grid. Captions, widths, hidden columns and totals come from the window's
// ColumnList; each user's widths and column order are remembered in a layout table.
#include "framework/records.h"
#include "platform/dataset/dataset.h"

#include <QtCore/QPointer>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTableView>
#include <functional>

namespace zr::data {
class Dataset;
class DatasetModel;
class Field;
} // namespace zr::data
namespace zr::sql {
class Database;
}

namespace zr::controls {

// What a window may change before a cell is drawn.
struct CellAttr {
  QFont font;
  QColor background;
  QColor foreground;
};

class GridFooter;

class TZRNDBGrid : public QTableView {
  Q_OBJECT
public:
  explicit TZRNDBGrid(QWidget *parent = nullptr);
  ~TZRNDBGrid() override;

  void setDataSource(zr::data::Dataset *ds);
  zr::data::Dataset *dataset() const { return m_ds; }
  zr::data::DatasetModel *datasetModel() const { return m_model; }

  QColor ColorOnFocus = QColor(0xC7, 0xF5, 0xF8);
  bool FocusColorChange = false;
  bool SetColWidthChange = true;
  // row is the dataset position of the cell
  std::function<void(TZRNDBGrid *, zr::data::Field *, CellAttr &, qint64 row, QStyle::State)> OnApplyCellAttr;

  QString LayoutTable;
  QString LayoutDatabase; // a named database; empty: the dataset's own
  QString LayoutUserId;
  QString LayoutFormName;
  bool LayoutWithOrder = false;
  bool RestoreRequested = false;
  bool JustApplied = false;

  void SetColumnList(const zr::fw::TFieldsDataArray &columns);
  const zr::fw::TFieldsDataArray &ColumnList() const { return m_columns; }

  void ApplyLayout();
  void LoadLayout();
  void SaveLayout();
  void SaveAndForgetLayout();
  void RestoreDefaultLayout();
  void ForgetLayoutOfAllUsers();
  void DeleteSavedColumn(const QString &field);
  // Recomputes the totals row.
  void RefreshFooter();

  // The totals row as shown: text per dataset column (empty where there is none).
  QString footerText(int column) const;
  Qt::Alignment footerAlignment(int column) const;
  int columnOf(const QString &field) const;
  // Characters of a pixel width and back, as layouts store them.
  static int charsOf(int pixels);
  static int pixelsOf(int chars);
  // How many aggregate statements and row walks the totals took (for the benchmark).
  int footerStatements = 0;
  int footerWalks = 0;

  CellAttr cellAttributes(const QModelIndex &index, QStyle::State state) const;

protected:
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
  void mousePressEvent(QMouseEvent *e) override;
  void resizeEvent(QResizeEvent *e) override;
  void updateGeometries() override;
  void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
  struct SavedColumn {
    QString field;
    int width = 0;
    int order = 0;
  };
  struct Footer {
    enum Kind { None, Sum, Count, Text } kind = None;
    QString sumField;
    QString text;
    bool right = false;
  };
  bool memory() const { return !LayoutTable.isEmpty() && !LayoutFormName.isEmpty(); }
  zr::sql::Database *layoutDb() const;
  QString ownerCondition() const; // USE_ID, FORM_NAME and DBGRID_NAME
  QList<SavedColumn> readSaved(bool byOrder) const;
  void adjustColumnsToSaved();
  void onResized(int logical, int oldSize, int newSize);
  void onMoved();
  void datasetReset();
  const zr::fw::TFieldsData *entryFor(const QString &field) const;
  void applyEntryBasics();
  void placeFooter();

  QPointer<zr::data::Dataset> m_ds;
  zr::data::DatasetModel *m_model = nullptr;
  GridFooter *m_footerBar;
  zr::fw::TFieldsDataArray m_columns;
  QList<SavedColumn> m_loaded, m_changed;
  bool m_cacheLoaded = false;
  bool m_applying = false;
  QList<Footer> m_footers; // by dataset column
  QStringList m_footerTexts;
  QColor m_savedColor;
  bool m_syncing = false;
  friend class GridFooter;
};

} // namespace zr::controls
