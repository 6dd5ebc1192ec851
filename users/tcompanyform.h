#pragma once
// The organisation's record: its name heads the main window's caption and the backup names.
#include "framework/forms/tzrdform.h"

namespace zr::controls {
class TZRDBEdit;
}

namespace zr::users {

class TCompanyForm : public zr::fw::TZRDForm {
  Q_OBJECT
public:
  explicit TCompanyForm(QWidget *owner = nullptr);
  zr::controls::TZRDBEdit *ZRDBEdit1, *ZRDBEdit2, *ZRDBEdit3, *ZRDBEdit4, *ZRDBEdit5;

  void button_addClick() override;
  void button_editClick() override;
  void button_saveClick() override;

protected:
  void showEvent(QShowEvent *e) override;

private:
  void refreshStamps();

signals:
  // The organisation's name after a save, for the main window's caption.
  void organisationRenamed(const QString &name);
};

} // namespace zr::users
