#include "controls/tzrpanel.h"

#include "platform/os/gbk.h"

#include <QtGui/QPainter>
#include <QtWidgets/QLayout>

namespace zr::controls {

TZRPanel::TZRPanel(QWidget *parent) : QWidget(parent) {
  resize(185, 41);
}

QRect TZRPanel::faceRect() const {
  const int half = ShadowWidth / 2;
  return rect()
      .adjusted(0, 0, -ShadowWidth, -ShadowWidth)
      .translated(half - half, 0)
      .adjusted(half, half, -half, -half);
}

void TZRPanel::resizeEvent(QResizeEvent *) {
  const QRect f = faceRect();
  setContentsMargins(f.left(), f.top(), width() - f.right() - 1, height() - f.bottom() - 1);
}

void TZRPanel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const QRect face = rect().adjusted(0, 0, -ShadowWidth - 1, -ShadowWidth - 1);
  p.fillRect(face.translated(ShadowWidth, ShadowWidth), ShadowColor);
  p.fillRect(face, FaceColor.isValid() ? FaceColor : palette().color(QPalette::Button));
  if (BorderLine != TBorderLine::blNone) {
    const QColor tl = BorderLine == TBorderLine::blRaised ? Color_High : Color_Low;
    const QColor br = BorderLine == TBorderLine::blRaised ? Color_Low : Color_High;
    p.setPen(tl);
    p.drawLine(face.topLeft(), face.topRight());
    p.drawLine(face.topLeft(), face.bottomLeft());
    p.setPen(br);
    p.drawLine(face.bottomLeft(), face.bottomRight());
    p.drawLine(face.topRight(), face.bottomRight());
  }
  const int flags = int(Alignment | Qt::AlignVCenter);
  const QRect tr = face.adjusted(4, 0, -4, 0);
  if (TextStyle != TTextStyle::txNone) {
    p.setPen(Color_High);
    p.drawText(tr.translated(TextStyle == TTextStyle::txRaised ? QPoint(-1, -1) : QPoint(1, 1)), flags,
               Caption);
  }
  p.setPen(palette().color(isEnabled() ? QPalette::WindowText : QPalette::PlaceholderText));
  p.drawText(tr, flags, Caption);
}

TZR3DLabel::TZR3DLabel(QWidget *parent) : QWidget(parent) {}

void TZR3DLabel::setText(const QString &t) {
  m_text = t.left(zr::gbk::unitsFitting(t, 255));
  if (AutoSize)
    resize(sizeHint());
  update();
}

QSize TZR3DLabel::sizeHint() const {
  return fontMetrics().size(0, m_text) + QSize(ShadowIndent + 2, ShadowIndent + 2);
}

void TZR3DLabel::mousePressEvent(QMouseEvent *) {
  if (FocusControl)
    FocusControl->setFocus();
}

void TZR3DLabel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  if (!Transparent)
    p.fillRect(rect(), palette().color(QPalette::Window));
  int flags = int(Alignment) | (WordWrap ? Qt::TextWordWrap : 0) | (ShowAccelChar ? Qt::TextShowMnemonic : 0);
  const QRect r = rect().adjusted(1, 1, -ShadowIndent - 1, -ShadowIndent - 1);
  auto at = [&](QPoint off, const QColor &c) {
    p.setPen(c);
    p.drawText(r.translated(off), flags, m_text);
  };
  if (!isEnabled()) {
    at({0, 0}, palette().color(QPalette::Disabled, QPalette::WindowText));
    return;
  }
  switch (DrawType) {
  case TDrawType::dtShadow: at({ShadowIndent, ShadowIndent}, DarkColor); break;
  case TDrawType::dtLightRaised: at({-1, -1}, LightColor); break;
  case TDrawType::dtHeavyRaised:
    at({-1, -1}, LightColor);
    at({1, 1}, DarkColor);
    break;
  case TDrawType::dtLightInsert: at({1, 1}, LightColor); break;
  case TDrawType::dtHeavyInsert:
    at({1, 1}, LightColor);
    at({-1, -1}, DarkColor);
    break;
  case TDrawType::dtNone: break;
  }
  at({0, 0}, palette().color(QPalette::WindowText));
}

} // namespace zr::controls
