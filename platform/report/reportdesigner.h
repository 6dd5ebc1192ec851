#pragma once
// The template designer: a cell grid to select, type into, merge and split, with font, size,
// bold, alignment, borders, the band of a row, column widths and row heights by dragging the
// headers, zoom, page setup, and load/save to a file or bytes. Dropping a list entry onto a cell
// puts "#T1." + entry into it.
#include "platform/report/reporttemplate.h"

#include <QtWidgets/QWidget>

class QComboBox;
class QFontComboBox;
class QTableWidget;
class QToolButton;
class QSpinBox;

namespace zr::report {

class ReportDesigner : public QWidget {
  Q_OBJECT
public:
  explicit ReportDesigner(QWidget *parent = nullptr);

  const Template &report() const { return m_t; }
  void setReport(const Template &t);
  // Loading refuses a damaged body with TemplateError and keeps the template shown.
  void loadFromFile(const QString &path);
  void loadFromStream(const QByteArray &body);
  void saveToFile(const QString &path);
  QByteArray saveToStream() const { return m_t.toBytes(); }

  bool isCellSelected() const;
  // Puts text into the selected cell (its merge's top-left cell); false when none is selected.
  bool putText(const QString &text);
  // The cell a drop at this viewport position lands on: "#T1." + entry; false off the grid.
  bool dropEntry(const QPoint &viewportPos, const QString &entry);

  // The selection as the operations see it.
  void selectCells(int row, int col, int rowCount = 1, int colCount = 1);
  bool mergeSelection();
  void splitSelection();
  void setSelectionFont(const QString &face);
  void setSelectionSize(double points);
  void setSelectionBold(bool bold);
  void setSelectionAlign(HAlign a);
  void setSelectionBorders(unsigned borders);
  void setRowBand(Band b); // the rows of the selection
  void setColumnWidth(int col, double mm);
  void setRowHeight(int row, double mm);
  void setZoom(int percent);
  int zoom() const { return m_zoom; }
  // Page setup: paper name or "Custom" with width and height in mm, orientation, margins.
  void setPage(const PageSetup &page);
  bool pageSetupDialog();

  // Markers naming no field of the lists given: shown to the designer's user.
  void setFieldLists(const QStringList &master, const QStringList &detail) {
    m_master = master;
    m_detail = detail;
  }
  QStringList unknownMarkers() const { return m_t.unknownMarkers(m_master, m_detail, {}); }

  bool isModified() const { return m_modified; }
  void setModified(bool m) { m_modified = m; }

  static const QList<int> &fontSizes();

  QTableWidget *grid() const { return m_grid; }
  QComboBox *sizeBox() const { return m_size; }
  QFontComboBox *fontBox() const { return m_font; }

signals:
  void changed();

protected:
  bool eventFilter(QObject *o, QEvent *e) override;

private:
  void rebuild();
  void showCell(int row, int col);
  void touched();
  template <typename F> void forSelection(F f);
  double pxPerMm() const;

  Template m_t;
  QTableWidget *m_grid;
  QFontComboBox *m_font;
  QComboBox *m_size;
  QComboBox *m_band;
  QSpinBox *m_zoomBox;
  int m_zoom = 100;
  bool m_loading = false;
  bool m_modified = false;
  QStringList m_master, m_detail;
};

} // namespace zr::report
