#include "platform/ui/tzrthread.h"

#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>
#include <cmath>

namespace zr::ui {

namespace {
constexpr int kFrames = 24;

void drawFolder(QPainter &p, const QRectF &r, const QColor &c) {
  QPainterPath path;
  path.moveTo(r.left(), r.top() + r.height() * 0.2);
  path.lineTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.2);
  path.lineTo(r.left() + r.width() * 0.45, r.top());
  path.lineTo(r.right(), r.top());
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setBrush(c);
  p.setPen(c.darker(150));
  p.drawPath(path);
}

void drawSheet(QPainter &p, const QRectF &r) {
  p.setBrush(Qt::white);
  p.setPen(Qt::darkGray);
  p.drawRect(r);
  for (int i = 1; i < 4; ++i)
    p.drawLine(QPointF(r.left() + 2, r.top() + r.height() * i / 4),
               QPointF(r.right() - 2, r.top() + r.height() * i / 4));
}
} // namespace

AnimationWidget::AnimationWidget(QWidget *parent) : QWidget(parent), m_timer(new QTimer(this)) {
  setObjectName(QStringLiteral("Animate1"));
  setMinimumSize(272, 60);
  m_timer->setInterval(80);
  connect(m_timer, &QTimer::timeout, this, [this] {
    m_frame = (m_frame + 1) % kFrames;
    update();
  });
}

void AnimationWidget::setKind(TOptionKind k) {
  m_kind = k;
  m_frame = 0;
  update();
}
void AnimationWidget::start() {
  m_timer->start();
}
void AnimationWidget::stop() {
  m_timer->stop();
}
bool AnimationWidget::running() const {
  return m_timer->isActive();
}

void AnimationWidget::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = width(), h = height(), t = qreal(m_frame) / kFrames;
  const QRectF left(10, h * 0.35, 50, h * 0.55), right(w - 60, h * 0.35, 50, h * 0.55);
  switch (m_kind) {
  case TOptionKind::Copy: {
    drawFolder(p, left, QColor(240, 200, 80));
    drawFolder(p, right, QColor(240, 200, 80));
    const qreal x = left.center().x() + (right.center().x() - left.center().x()) * t;
    const qreal y = h * 0.45 - std::sin(t * M_PI) * h * 0.35;
    drawSheet(p, QRectF(x - 10, y - 12, 20, 24));
    break;
  }
  case TOptionKind::Delete: {
    drawFolder(p, left, QColor(240, 200, 80));
    p.setBrush(QColor(160, 170, 180));
    p.setPen(Qt::darkGray);
    p.drawRect(right.adjusted(8, 4, -8, 0));
    p.drawRect(QRectF(right.left() + 4, right.top(), right.width() - 8, 4));
    const qreal x = left.center().x() + (right.center().x() - left.center().x()) * t;
    const qreal y = h * 0.4 - std::sin(t * M_PI) * h * 0.3 + t * h * 0.2;
    drawSheet(p, QRectF(x - 10, y - 12, 20, 24));
    break;
  }
  case TOptionKind::SearchFolder: {
    const QRectF folder(w / 2 - 40, h * 0.3, 80, h * 0.6);
    drawFolder(p, folder, QColor(240, 200, 80));
    const qreal a = t * 2 * M_PI;
    const QPointF c(folder.center().x() + std::cos(a) * 26, folder.center().y() + std::sin(a) * 10);
    p.setBrush(QColor(200, 230, 255, 160));
    p.setPen(QPen(Qt::darkGray, 3));
    p.drawEllipse(c, 11, 11);
    p.drawLine(c + QPointF(8, 8), c + QPointF(18, 18));
    break;
  }
  }
}

TThreadForm::TThreadForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ThreadForm"));
  setWindowTitle(QStringLiteral("提示窗口"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
  auto *layout = new QVBoxLayout(this);
  Animate1 = new AnimationWidget(this);
  layout->addWidget(Animate1);
  auto bar = [this, layout](const char16_t *name) {
    auto *b = new QProgressBar(this);
    b->setObjectName(QString::fromUtf16(name));
    b->setTextVisible(false);
    layout->addWidget(b);
    return b;
  };
  ProgressBar1 = bar(u"ProgressBar1");
  ProgressBar2 = bar(u"ProgressBar2");
  ProgressBar3 = bar(u"ProgressBar3");
  button_close = new QPushButton(QStringLiteral("停止"), this);
  button_close->setObjectName(QStringLiteral("button_close"));
  layout->addWidget(button_close, 0, Qt::AlignHCenter);
  connect(button_close, &QPushButton::clicked, this, [this] { m_stop = true; });
  setFixedWidth(320);
}

void TThreadForm::showEvent(QShowEvent *e) {
  m_stop = false;
  QDialog::showEvent(e);
}

// The window goes away only through Stop: the title bar has no close button and Escape does
// nothing, so a loop never loses its window while it runs.
void TThreadForm::closeEvent(QCloseEvent *e) {
  e->accept();
}
void TThreadForm::reject() {}

TZRThread::TZRThread(QObject *parent) : QObject(parent) {}

TZRThread::~TZRThread() {
  Stop();
  delete m_form;
}

void TZRThread::SetMax(int n) {
  m_max = n;
  m_position = 0;
  if (m_form) {
    m_form->ProgressBar1->setMaximum(n);
    m_form->ProgressBar1->setValue(0);
  }
}

void TZRThread::SetPosition(int n) {
  m_position = n;
  if (m_form)
    m_form->ProgressBar1->setValue(n);
}

void TZRThread::Start() {
  if (m_active)
    return;
  try {
    if (!m_form)
      m_form = new TThreadForm;
    m_form->ProgressBar1->setVisible(ProgressBar1);
    m_form->ProgressBar2->setVisible(ProgressBar2);
    m_form->ProgressBar3->setVisible(ProgressBar3);
    m_form->ProgressBar1->setRange(0, m_max);
    m_form->ProgressBar1->setValue(m_position);
    m_form->setWindowTitle(Caption.isEmpty() ? QStringLiteral("提示窗口") : Caption);
    m_form->setFixedHeight(Tall ? 194 : 158);
    m_form->Animate1->setKind(Kind);
    m_form->Animate1->start();
    if (const QScreen *s = QGuiApplication::primaryScreen())
      m_form->move(s->availableGeometry().center() - QPoint(m_form->width() / 2, m_form->height() / 2));
    m_form->show();
    m_form->raise();
    m_active = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_cursorSet = true;
  } catch (...) {
    m_active = false;
  }
}

void TZRThread::Stop() {
  if (m_form) {
    m_form->Animate1->stop();
    m_form->hide();
    m_form->close();
  }
  m_active = false;
  if (m_cursorSet) {
    QApplication::restoreOverrideCursor();
    m_cursorSet = false;
  }
}

bool TZRThread::Stopped() {
  QCoreApplication::processEvents();
  return m_form && m_form->stopPressed();
}

} // namespace zr::ui
