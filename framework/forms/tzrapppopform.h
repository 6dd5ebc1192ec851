#pragma once
// TZRAppPopForm: a pop-up window over a grid of one table, to pick or maintain a record. It is
// only hidden when closed; the caller reads the chosen record and frees it.
#include "framework/forms/tzrchild.h"
#include "framework/forms/tzrsetform.h"
#include "platform/dataset/dataset.h"

#include <QtWidgets/QDialog>

class QPushButton;

namespace zr::controls {
class TZRNDBGrid;
}

namespace zr::fw {

class TZRQuery;
class TZRDataSource;

class TZRAppPopForm : public QDialog {
  Q_OBJECT
public:
  explicit TZRAppPopForm(QWidget *owner = nullptr);

  QWidget *Panel400, *Panel2, *Panel1, *Panel1000, *Panel3;
  zr::controls::TZRNDBGrid *DBGrid;
  TZRQuery *Query;
  TZRDataSource *DS;
  zr::data::UpdateObject UpdateSQL1;
  TZRChild *ZRChild;
  TZRSetForm *ZRSetForm;
  QString ProgramGroup, ProgramName;
  TRights Rights = TRights::all();

  QPushButton *button_add, *button_edit, *button_delete, *button_save, *button_cancel, *button_find;
  QPushButton *Button_Print, *button_close, *button_Ok;

  void button_addClick();
  void button_editClick();
  void button_deleteClick();
  void button_saveClick();
  void button_cancelClick();
  void button_OkClick();
  void button_closeClick();

  void done(int r) override;

protected:
  void showEvent(QShowEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;
};

// A push button of a pop-up window's button row: Enter moves on rather than pressing it.
QPushButton *popButton(QWidget *row, const char *name, const QString &caption);

} // namespace zr::fw
