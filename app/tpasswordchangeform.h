#pragma once
// "用户口令修改窗口": the logged-on user changes his own password.
#include <QtWidgets/QDialog>

class QPushButton;

namespace zr::controls {
class TZREdit;
}

namespace zr::app {

class TPasswordChangeForm : public QDialog {
  Q_OBJECT
public:
  explicit TPasswordChangeForm(QWidget *parent = nullptr);

  zr::controls::TZREdit *ZREdit3; // old password
  zr::controls::TZREdit *ZREdit1; // new password
  zr::controls::TZREdit *ZREdit2; // its confirmation
  QPushButton *Button_ok, *Button_Close;

  void Button_okClick();
  void Button_CloseClick();

protected:
  void showEvent(QShowEvent *e) override;

private:
  void refuse(const QString &text, QWidget *focus);
};

} // namespace zr::app
