#pragma once
// "关于": the system's title, a picture, the version and where to ask for help.
#include <QtWidgets/QDialog>

class QLabel;
class QPushButton;

namespace zr::app {

class TAboutForm : public QDialog {
  Q_OBJECT
public:
  explicit TAboutForm(QWidget *parent = nullptr);
  QLabel *TitleLabel, *VersionLabel;
  QPushButton *Button_ok;
};

} // namespace zr::app
