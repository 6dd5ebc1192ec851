#pragma once
// "用户登陆窗口": a user logs on by number or name with the password; four attempts.
#include <QtWidgets/QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zr::app {

class TLogonForm : public QDialog {
  Q_OBJECT
public:
  explicit TLogonForm(QWidget *parent = nullptr);

  QLabel *Image1, *LongNameLabel, *LongPasswordLabel;
  QComboBox *UserIDBox;
  QLineEdit *PasswordEdit;
  QPushButton *ButtonOK, *ButtonCancel;

  void FormCreate();
  void ButtonOKClick();
  int failures() const { return m_failures; }

protected:
  void showEvent(QShowEvent *e) override;

private:
  int m_failures = 0;
};

} // namespace zr::app
