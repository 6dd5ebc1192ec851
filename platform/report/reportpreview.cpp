#include "platform/report/reportpreview.h"

#include "platform/report/pagepainter.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtPrintSupport/QPrinterInfo>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::report {

class PageView : public QWidget {
public:
  explicit PageView(QWidget *parent) : QWidget(parent) {}
  void setPage(Page page, double dotsPerMm) {
    m_page = std::move(page);
    m_k = dotsPerMm;
    setFixedSize(int(m_page.width * m_k) + 1, int(m_page.height * m_k) + 1);
    update();
  }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    paintPage(p, m_page, m_k);
  }

private:
  Page m_page;
  double m_k = 1;
};

ReportPreview::ReportPreview(Document doc, QWidget *parent) : QDialog(parent), m_doc(std::move(doc)) {
  setWindowTitle(QStringLiteral("打印预览窗口"));
  resize(900, 700);
  auto *outer = new QVBoxLayout(this);
  auto *bar = new QHBoxLayout;
  auto button = [&](const QString &name, const QString &text, auto slot) {
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(text);
    connect(b, &QToolButton::clicked, this, slot);
    bar->addWidget(b);
    return b;
  };
  button(QStringLiteral("sbtn100"), QStringLiteral("按1:1显示"), [this] { zoomActual(); });
  button(QStringLiteral("sbtnAll"), QStringLiteral("整页显示"), [this] { zoomWholePage(); });
  button(QStringLiteral("sbtnIn"), QStringLiteral("放大"), [this] { zoomIn(); });
  button(QStringLiteral("sbtnOut"), QStringLiteral("缩小"), [this] { zoomOut(); });
  button(QStringLiteral("sbtnFirst"), QStringLiteral("第一页"), [this] { firstPage(); });
  button(QStringLiteral("sbtnPre"), QStringLiteral("前一页"), [this] { priorPage(); });
  button(QStringLiteral("sbtnNext"), QStringLiteral("下一页"), [this] { nextPage(); });
  button(QStringLiteral("sbtnEnd"), QStringLiteral("末一页"), [this] { lastPage(); });
  button(QStringLiteral("PrintSB"), QStringLiteral("F11 打印"), [this] { printReport(); });
  button(QStringLiteral("CloseSB"), QStringLiteral("F4 关闭"), [this] { reject(); });
  bar->addStretch();
  outer->addLayout(bar);
  m_scroll = new QScrollArea(this);
  m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_scroll->setBackgroundRole(QPalette::Dark);
  m_view = new PageView(m_scroll);
  m_scroll->setWidget(m_view);
  outer->addWidget(m_scroll, 1);
  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("sbarPrint"));
  outer->addWidget(m_status);
  refresh();
}

QString ReportPreview::statusText() const {
  return u"总共" % QString::number(pageCount()) % u"页, 第" % QString::number(m_page) % u"页";
}

void ReportPreview::showPage(int page) {
  m_page = std::clamp(page, 1, std::max(1, pageCount()));
  refresh();
}

void ReportPreview::setZoom(double z) {
  m_zoom = std::clamp(z, 0.1, 8.0);
  refresh();
}

void ReportPreview::zoomWholePage() {
  const QSize room = m_scroll->viewport()->size() - QSize(8, 8);
  const double k1 = logicalDpiX() / 25.4;
  if (m_doc.pageWidth() <= 0 || m_doc.pageHeight() <= 0)
    return;
  setZoom(std::min(room.width() / (m_doc.pageWidth() * k1), room.height() / (m_doc.pageHeight() * k1)));
}

void ReportPreview::refresh() {
  m_view->setPage(m_doc.page(m_page - 1), logicalDpiX() / 25.4 * m_zoom);
  m_status->setText(statusText());
}

bool ReportPreview::printReport() { return printDocument(m_doc, this); }

void ReportPreview::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_F11)
    printReport();
  else if (e->key() == Qt::Key_F4 || e->key() == Qt::Key_Escape)
    reject();
  else if (e->key() == Qt::Key_PageDown)
    nextPage();
  else if (e->key() == Qt::Key_PageUp)
    priorPage();
  else
    QDialog::keyPressEvent(e);
}

bool printDocument(const Document &doc, QWidget *parent) {
  if (!printerInstalled())
    return false;
  QPrinter printer(QPrinter::HighResolution);
  printer.setFullPage(true);
  printer.setPageSize(QPageSize(QSizeF(doc.pageWidth(), doc.pageHeight()), QPageSize::Millimeter));
  printer.setFromTo(1, doc.pageCount());
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  int from = 1, to = doc.pageCount();
  if (printer.printRange() == QPrinter::PageRange) {
    from = std::max(1, printer.fromPage());
    to = std::min(doc.pageCount(), printer.toPage());
  }
  QPainter painter;
  if (!painter.begin(&printer))
    return false;
  const double k = printer.resolution() / 25.4;
  for (int i = from; i <= to; ++i) {
    if (i > from)
      printer.newPage();
    paintPage(painter, doc.page(i - 1), k);
  }
  return painter.end();
}

bool printerInstalled() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

bool TReportRunTime::print(QWidget *parent) const { return printDocument(run(), parent); }

void TReportRunTime::preview(QWidget *parent) const {
  ReportPreview p(run(), parent);
  p.exec();
}

} // namespace zr::report
