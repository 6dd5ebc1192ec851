#pragma once
// TSelectForm "数据选择窗口": a grid over a statement the caller sets; OK leaves the chosen row
// current in the query.
#include "controls/tzrndbgrid.h"

#include <QtWidgets/QDialog>

class QPushButton;

namespace zr::controls {

class TSelectForm : public QDialog {
  Q_OBJECT
public:
  explicit TSelectForm(zr::sql::Database *db, QWidget *parent = nullptr);
  ~TSelectForm() override;
  zr::data::Dataset *Query_Select;
  TZRNDBGrid *DBGrid;
  QPushButton *Button_OK, *Button_Cancel;
  // Widens or narrows the columns so the grid fills about 102 characters.
  void fitColumns();

protected:
  void showEvent(QShowEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;
};

} // namespace zr::controls
