#pragma once
// Screen preview of a laid-out report: page navigation, 1:1 and whole-page zoom, zoom steps,
// and printing through the platform's printer dialog. Only the page shown is rendered.
#include "platform/report/reportruntime.h"

#include <QtWidgets/QDialog>

class QLabel;
class QScrollArea;
class QToolButton;

namespace zr::report {

class PageView;

class ReportPreview : public QDialog {
  Q_OBJECT
public:
  explicit ReportPreview(Document doc, QWidget *parent = nullptr);

  int pageCount() const { return m_doc.pageCount(); }
  int currentPage() const { return m_page; } // 1-based
  double zoom() const { return m_zoom; }     // 1.0 is 1:1
  QString statusText() const;

  void firstPage() { showPage(1); }
  void priorPage() { showPage(m_page - 1); }
  void nextPage() { showPage(m_page + 1); }
  void lastPage() { showPage(pageCount()); }
  void showPage(int page);
  void zoomActual() { setZoom(1.0); }
  void zoomWholePage();
  void zoomIn() { setZoom(m_zoom * 1.25); }
  void zoomOut() { setZoom(m_zoom / 1.25); }
  void setZoom(double z);
  bool printReport();

  const Document &document() const { return m_doc; }

protected:
  void keyPressEvent(QKeyEvent *e) override;

private:
  void refresh();
  Document m_doc;
  int m_page = 1;
  double m_zoom = 1.0;
  PageView *m_view;
  QScrollArea *m_scroll;
  QLabel *m_status;
};

// Prints every page of the document to the printer the user picks; false when cancelled.
bool printDocument(const Document &doc, QWidget *parent);

} // namespace zr::report
