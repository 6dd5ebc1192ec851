#pragma once
// "输入法选择窗口": the input method edit controls are given from now on.
#include <QtWidgets/QDialog>

class QComboBox;
class QPushButton;

namespace zr::app {

// The input methods this workstation offers (on Linux: the input-method framework in use).
QStringList systemInputMethods();

class TSelectImesForm : public QDialog {
  Q_OBJECT
public:
  explicit TSelectImesForm(QWidget *parent = nullptr);
  QComboBox *ZRComboBox1;
  QPushButton *Button_ok, *Button_Close;
  QString choice() const;
};

} // namespace zr::app
