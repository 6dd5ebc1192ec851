#include "framework/forms/tzrbaseform.h"

#include "db/globals.h"
#include "framework/zrdatasource.h"
#include "framework/zrquery.h"

#include <QtCore/QDate>

namespace zr::fw {

TZRBaseForm::TZRBaseForm(QWidget *owner) : QWidget(owner, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  ZRSetForm = new TZRSetForm(this);
  ZRChild = new TZRChild(this);
  prepareFrameworkWindow(this, ZRChild, ZRSetForm, QString());
}

void TZRBaseForm::PrepareQuery(TZRQuery *query) {
  prepareQuery(query);
}
void TZRBaseForm::PrepareDataSource(TZRDataSource *ds) {
  prepareDataSource(ds, Rights);
}

TRights programRights(TZRChild *child, const QString &group, const QString &program) {
  if (group.isEmpty() || program.isEmpty())
    return TRights::all();
  return child->ReadRights(group, program, zr::db::CurrentUserId);
}

void prepareQuery(TZRQuery *query) {
  const QDate working = QDate::fromString(zr::db::WorkingDate, u"yyyy-MM-dd"_qs);
  query->NumberMonth = (working.isValid() ? working : QDate::currentDate()).toString(u"yyyyMM"_qs);
  query->NumberDate = QDate::currentDate().toString(u"yyyyMMdd"_qs);
  query->ColorOnFocus = int(zr::db::kDefaultFocusColor);
  query->SqlType = TSqlType::urStandard;
  if (!query->database())
    query->setDatabase(zr::sql::Database::named(QString::fromUtf16(zr::sql::kDatabaseName)));
}

void prepareDataSource(TZRDataSource *ds, const TRights &rights) {
  ds->Attach();
  // One right governs adding, editing and deleting together.
  ds->RightAdd = rights.Add;
  ds->RightEdit = rights.Add;
  ds->RightDelete = rights.Add;
  ds->RightPrint = rights.Print;
  ds->RightCheck = rights.Verify;
  ds->ApplyRights();
  ds->EditColor = int(zr::db::kDefaultEditColor);
  ds->BrowseColor = int(zr::db::kDefaultBrowseColor);
  ds->ColorOnFocus = int(zr::db::kDefaultFocusColor);
}

} // namespace zr::fw
