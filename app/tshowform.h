#pragma once
// The splash window: shown while the program starts; its timer decides how long.
#include <QtWidgets/QWidget>

class QLabel;
class QTimer;

namespace zr::app {

// The title in red on a raised face: white light above, black shadow below.
class TZR3DLabel : public QWidget {
  Q_OBJECT
public:
  TZR3DLabel(const QString &text, QWidget *parent = nullptr);
  QString text() const { return m_text; }

protected:
  void paintEvent(QPaintEvent *e) override;

private:
  QString m_text;
};

class TShowForm : public QWidget {
  Q_OBJECT
public:
  explicit TShowForm(int intervalMs = 3000, QWidget *parent = nullptr);

  QWidget *ImagePanel;
  TZR3DLabel *ZR3DLabel1;
  QLabel *Label1, *Label2;
  QTimer *tmMainTimer;

  // Shows the window and pumps events until the timer has fired once.
  void showAndWait();

protected:
  void showEvent(QShowEvent *e) override;
  void paintEvent(QPaintEvent *e) override;
};

} // namespace zr::app
