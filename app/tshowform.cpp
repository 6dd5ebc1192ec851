#include "app/tshowform.h"

#include "db/globals.h"

#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

namespace zr::app {

TZR3DLabel::TZR3DLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text) {
  QFont f(QStringLiteral("宋体"));
  f.setStyleHint(QFont::Serif);
  f.setPixelSize(29);
  f.setBold(true);
  setFont(f);
  setMinimumHeight(40);
}

void TZR3DLabel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  const QRect r = rect();
  p.setPen(Qt::white);
  p.drawText(r.translated(-1, -1), Qt::AlignCenter, m_text);
  p.setPen(Qt::black);
  p.drawText(r.translated(1, 1), Qt::AlignCenter, m_text);
  p.setPen(Qt::red);
  p.drawText(r, Qt::AlignCenter, m_text);
}

TShowForm::TShowForm(int intervalMs, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("ShowForm"));
  setWindowTitle(QStringLiteral("卓睿典藏库房管理系统"));
  setFixedSize(370, 229);
  zr::db::WorkingDate = zr::db::today();
  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(2, 2, 2, 2);
  ImagePanel = new QWidget(this);
  ImagePanel->setObjectName(QStringLiteral("ImagePanel"));
  outer->addWidget(ImagePanel);
  auto *layout = new QVBoxLayout(ImagePanel);
  layout->addStretch();
  ZR3DLabel1 = new TZR3DLabel(QStringLiteral("卓睿典藏库房管理系统"), ImagePanel);
  ZR3DLabel1->setObjectName(QStringLiteral("ZR3DLabel1"));
  layout->addWidget(ZR3DLabel1);
  layout->addStretch();
  auto label = [this, layout](const char16_t *name, const char16_t *text) {
    auto *l = new QLabel(QString::fromUtf16(text), ImagePanel);
    l->setObjectName(QString::fromUtf16(name));
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("color: red; background: transparent;"));
    layout->addWidget(l);
    return l;
  };
  Label1 = label(u"Label1", u"档案录入 · 查询 · 借阅 · 备份");
  Label2 = label(u"Label2", u"正在启动,请稍候......");
  tmMainTimer = new QTimer(this);
  tmMainTimer->setObjectName(QStringLiteral("tmMainTimer"));
  tmMainTimer->setInterval(intervalMs);
  tmMainTimer->setSingleShot(false);
  connect(tmMainTimer, &QTimer::timeout, tmMainTimer, &QTimer::stop);
  if (const QScreen *s = QGuiApplication::primaryScreen())
    move(s->geometry().center() - rect().center());
}

void TShowForm::showEvent(QShowEvent *e) {
  tmMainTimer->start();
  QWidget::showEvent(e);
}

// The picture of the window: a calm gradient with a frame, drawn rather than shipped.
void TShowForm::paintEvent(QPaintEvent *) {
  QPainter p(this);
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, QColor(250, 246, 230));
  g.setColorAt(1, QColor(214, 196, 150));
  p.fillRect(rect(), g);
  p.setPen(QPen(QColor(128, 96, 48), 2));
  p.drawRect(rect().adjusted(1, 1, -1, -1));
}

void TShowForm::showAndWait() {
  show();
  repaint();
  while (tmMainTimer->isActive())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace zr::app
