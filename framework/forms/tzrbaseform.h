#pragma once
// TZRBaseForm: the root of the data windows. A top-level window owned by the main window, freed
// when it closes, carrying its TZRChild and TZRSetForm; PrepareQuery and PrepareDataSource give a
// window's datasets the shared settings and the user's rights.
#include "framework/forms/tzrchild.h"
#include "framework/forms/tzrsetform.h"

#include <QtWidgets/QWidget>

namespace zr::fw {

class TZRQuery;
class TZRDataSource;

class TZRBaseForm : public QWidget {
  Q_OBJECT
public:
  explicit TZRBaseForm(QWidget *owner = nullptr);

  TZRChild *ZRChild;
  TZRSetForm *ZRSetForm;
  TRights Rights = TRights::all();

  void PrepareQuery(TZRQuery *query);
  void PrepareDataSource(TZRDataSource *ds);
};

// The rights of a program for the logged-on user; every right when either name is empty.
TRights programRights(TZRChild *child, const QString &group, const QString &program);
// PrepareDataSource for any framework window.
void prepareDataSource(TZRDataSource *ds, const TRights &rights);
void prepareQuery(TZRQuery *query);

} // namespace zr::fw
