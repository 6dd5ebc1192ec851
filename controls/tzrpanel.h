#pragma once
// TZRPanel: a drawn panel with a shadow, raised or lowered border lines and an embossed caption;
// TZR3DLabel: a label drawn with a shadow, raised or inset.
#include <QtWidgets/QWidget>

namespace zr::controls {

enum class TBorderLine { blNone, blRaised, blLowered };
enum class TTextStyle { txNone, txLowered, txRaised };

class TZRPanel : public QWidget {
  Q_OBJECT
public:
  explicit TZRPanel(QWidget *parent = nullptr);
  Qt::Alignment Alignment = Qt::AlignHCenter;
  TBorderLine BorderLine = TBorderLine::blRaised;
  QColor Color_High = QColor(0xE8, 0xE8, 0xE0); // 14739688 as BGR
  QColor Color_Low = QColor(0xA2, 0x8E, 0x68);  // 6852002 as BGR
  QColor FaceColor;                             // invalid: the button face colour
  QColor ShadowColor = QColor(0x80, 0x80, 0x80);
  int ShadowWidth = 2;
  TTextStyle TextStyle = TTextStyle::txRaised;
  bool Locked = false;
  QString Caption;
  // The face: children are laid out inside it.
  QRect faceRect() const;

protected:
  void paintEvent(QPaintEvent *) override;
  void resizeEvent(QResizeEvent *) override;
};

enum class TDrawType { dtNone, dtShadow, dtLightRaised, dtHeavyRaised, dtLightInsert, dtHeavyInsert };

class TZR3DLabel : public QWidget {
  Q_OBJECT
public:
  explicit TZR3DLabel(QWidget *parent = nullptr);
  void setText(const QString &t);
  // The text as drawn: at most 255 GBK bytes, never half a character.
  QString text() const { return m_text; }
  Qt::Alignment Alignment = Qt::AlignLeft;
  bool AutoSize = true, ShowAccelChar = true, WordWrap = false, Transparent = false;
  QWidget *FocusControl = nullptr;
  QColor LightColor = Qt::white;
  QColor DarkColor = Qt::gray;
  TDrawType DrawType = TDrawType::dtNone;
  int ShadowIndent = 2;
  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *) override;
  void mousePressEvent(QMouseEvent *) override;

private:
  QString m_text;
};

} // namespace zr::controls
