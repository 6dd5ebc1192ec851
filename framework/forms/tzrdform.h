#pragma once
// TZRDForm: a data window over one table. It brings the client panel, the query and its data
// source; the tool buttons run the record-editing cycle, admitted by the user's rights on the
// window's program.
#include "framework/forms/tzrappform.h"
#include "platform/dataset/dataset.h"

namespace zr::fw {

class TZRQuery;
class TZRDataSource;

class TZRDForm : public TZRAppForm {
  Q_OBJECT
public:
  explicit TZRDForm(QWidget *owner = nullptr);

  QWidget *Panel1;
  TZRQuery *Query;
  TZRDataSource *DS;
  zr::data::UpdateObject UpdateSQL1;
  QString ProgramGroup, ProgramName;
  // The action the check button marked ("check"), for the window's own handling.
  QString PendingAction;

  // Button handlers; the buttons call them, derived windows may too and may override them.
  virtual void button_addClick();
  virtual void button_editClick();
  virtual void button_deleteClick();
  virtual void button_saveClick();
  virtual void button_cancelClick();
  virtual void button_FirstClick();
  virtual void button_PriorClick();
  virtual void button_nextClick();
  virtual void button_LastClick();
  virtual void button_checkClick();
  virtual void button_closeClick();

protected:
  void showEvent(QShowEvent *e) override;
  // The dataset the buttons work on (the window's query unless it says otherwise).
  zr::data::Dataset *dataSet() const { return m_dataSet; }
  void setDataSetForButtons(zr::data::Dataset *ds) { m_dataSet = ds; }

private:
  void wireButtons();
  QPointer<zr::data::Dataset> m_dataSet;
};

} // namespace zr::fw
