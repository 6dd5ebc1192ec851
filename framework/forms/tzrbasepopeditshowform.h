#pragma once
// TZRBasePopEditShowForm: a pop-up editor over another window's dataset (DataSet), with the
// record buttons and the moves between records. Hidden when closed; its caller frees it.
#include "framework/forms/tzrchild.h"
#include "framework/forms/tzrsetform.h"

#include <QtCore/QPointer>
#include <QtWidgets/QDialog>

class QPushButton;

namespace zr::data {
class Dataset;
}

namespace zr::fw {

class TZRDataSource;

class TZRBasePopEditShowForm : public QDialog {
  Q_OBJECT
public:
  explicit TZRBasePopEditShowForm(QWidget *owner = nullptr);

  QWidget *Panel2, *Panel1;
  TZRDataSource *DS;
  TZRChild *ZRChild;
  TZRSetForm *ZRSetForm;
  QString ProgramGroup, ProgramName;
  TRights Rights = TRights::all();
  // The dataset the window edits, usually its opener's query.
  QPointer<zr::data::Dataset> DataSet;

  QPushButton *Button_add, *button_edit, *button_delete, *button_save, *button_cancel, *Button_Print;
  QPushButton *button_Ok, *button_close, *button1_first, *button1_prior, *button1_next, *button1_last;

  void Button_addClick();
  void button_editClick();
  void button_deleteClick();
  void button_saveClick();
  void button_cancelClick();
  void button_OkClick();
  void button1_firstClick();
  void button1_priorClick();
  void button1_nextClick();
  void button1_lastClick();

  void done(int r) override;

protected:
  void showEvent(QShowEvent *e) override;
  bool event(QEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;
};

} // namespace zr::fw
