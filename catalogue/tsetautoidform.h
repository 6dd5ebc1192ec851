#pragma once
// "编号方式设置窗口": which numbers the system fills in itself, the overdue-loan reminder, the
// automatic backup offer, and within which volumes archive numbers are unique and counted.
#include <QtWidgets/QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace zr::catalogue {

class TSetAutoIDForm : public QDialog {
  Q_OBJECT
public:
  explicit TSetAutoIDForm(QWidget *parent = nullptr);

  QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5;
  QGroupBox *RadioGroup1;
  QList<QRadioButton *> RadioItems;
  QPushButton *Button_ok;

  int itemIndex() const;

  void FormShow();
  void Button_okClick();

public slots:
  // The only button is also the dialog's cancel button: Escape saves as well.
  void reject() override;

protected:
  void showEvent(QShowEvent *e) override;
};

} // namespace zr::catalogue
