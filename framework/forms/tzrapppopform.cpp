#include "framework/forms/tzrapppopform.h"

#include "controls/tzrndbgrid.h"
#include "db/globals.h"
#include "framework/forms/tzrbaseform.h"
#include "framework/messages.h"
#include "framework/zrdatasource.h"
#include "framework/zrquery.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QShowEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::fw {

QPushButton *popButton(QWidget *row, const char *name, const QString &caption) {
  auto *b = new QPushButton(caption, row);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  row->layout()->addWidget(b);
  return b;
}

TZRAppPopForm::TZRAppPopForm(QWidget *owner) : QDialog(owner) {
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Panel400 = new QWidget(this);
  Panel2 = new QWidget(Panel400);
  auto *top = new QVBoxLayout(Panel400);
  top->setContentsMargins(0, 0, 0, 0);
  top->addWidget(Panel2);
  auto *row = new QHBoxLayout(Panel2);
  row->setContentsMargins(4, 4, 4, 4);
  Panel1 = new QWidget(this);
  auto *client = new QVBoxLayout(Panel1);
  client->setContentsMargins(0, 0, 0, 0);
  Panel1000 = new QWidget(Panel1);
  auto *gridBox = new QVBoxLayout(Panel1000);
  gridBox->setContentsMargins(0, 0, 0, 0);
  DBGrid = new zr::controls::TZRNDBGrid(Panel1000);
  DBGrid->setObjectName(u"DBGrid"_qs);
  gridBox->addWidget(DBGrid);
  Panel3 = new QWidget(Panel1);
  client->addWidget(Panel1000, 1);
  client->addWidget(Panel3);
  layout->addWidget(Panel400);
  layout->addWidget(Panel1, 1);

  button_add = popButton(Panel2, "button_add", u"新增[F5]"_qs);
  button_edit = popButton(Panel2, "button_edit", u"编辑[F6]"_qs);
  button_delete = popButton(Panel2, "button_delete", u"删除[F7]"_qs);
  button_save = popButton(Panel2, "button_save", u"保存[F8]"_qs);
  button_cancel = popButton(Panel2, "button_cancel", u"取消[F9]"_qs);
  button_find = popButton(Panel2, "button_find", u"查找[F10]"_qs);
  Button_Print = popButton(Panel2, "Button_Print", u"打印[F11]"_qs);
  button_close = popButton(Panel2, "button_close", u"关闭[F12]"_qs);
  button_Ok = popButton(Panel2, "button_Ok", u"确定[F3]"_qs);
  row->addStretch(1);

  Query = new TZRQuery(this);
  Query->setObjectName(u"Query"_qs);
  Query->Window = this;
  DS = new TZRDataSource(this);
  DS->setDataSet(Query);
  DS->Window = this;
  Query->ZRDS = DS;
  DBGrid->setDataSource(Query);
  DS->Button_Add = button_add;
  DS->Button_Edit = button_edit;
  DS->Button_Delete = button_delete;
  DS->Button_Save = button_save;
  DS->Button_Cancel = button_cancel;
  DS->Button_Find = button_find;
  DS->Button_Print = Button_Print;
  DS->Button_Close = button_close;

  ZRSetForm = new TZRSetForm(this);
  ZRChild = new TZRChild(this);
  ZRChild->CloseDataSets = false;
  prepareFrameworkWindow(this, ZRChild, ZRSetForm, zr::db::CurrentImeName);
  Query->setDatabase(zr::sql::Database::named(ZRChild->DataBaseName));

  connect(button_add, &QPushButton::clicked, this, &TZRAppPopForm::button_addClick);
  connect(button_edit, &QPushButton::clicked, this, &TZRAppPopForm::button_editClick);
  connect(button_delete, &QPushButton::clicked, this, &TZRAppPopForm::button_deleteClick);
  connect(button_save, &QPushButton::clicked, this, &TZRAppPopForm::button_saveClick);
  connect(button_cancel, &QPushButton::clicked, this, &TZRAppPopForm::button_cancelClick);
  connect(button_Ok, &QPushButton::clicked, this, &TZRAppPopForm::button_OkClick);
  connect(button_close, &QPushButton::clicked, this, &TZRAppPopForm::button_closeClick);
}

void TZRAppPopForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  if (e->spontaneous())
    return;
  Rights = programRights(ZRChild, ProgramGroup, ProgramName);
  button_add->setEnabled(Rights.Add);
  button_edit->setEnabled(Rights.Add);
  button_delete->setEnabled(Rights.Add);
  Button_Print->setEnabled(Rights.Print);
  prepareQuery(Query);
  prepareDataSource(DS, Rights);
  DS->switchControls();
  if (button_Ok->isEnabled() && button_Ok->isVisible())
    button_Ok->setFocus(Qt::OtherFocusReason);
  DBGrid->setFocus(Qt::OtherFocusReason);
}

void TZRAppPopForm::keyPressEvent(QKeyEvent *e) {
  // Escape does not close: the close rule applies to the close button only.
  if (e->key() == Qt::Key_Escape) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TZRAppPopForm::done(int r) {
  if (!ZRChild->mayClose())
    return;
  ZRChild->closing();
  QDialog::done(r);
}

void TZRAppPopForm::button_addClick() {
  if (Query->isActive())
    Query->AddRecord();
}
void TZRAppPopForm::button_editClick() {
  if (Query->isActive() && !Query->isEmpty())
    Query->EditRecord();
}
void TZRAppPopForm::button_deleteClick() {
  if (Query->isActive() && !Query->isEmpty())
    Query->DeleteRecord();
}
void TZRAppPopForm::button_saveClick() {
  Panel2->setFocus(Qt::OtherFocusReason);
  if (Query->isActive() && Query->isEditing())
    Query->SaveRecord();
}
void TZRAppPopForm::button_cancelClick() {
  if (Query->isActive())
    Query->CancelRecord();
}
void TZRAppPopForm::button_OkClick() {
  if (!Query->isActive() || Query->isEmpty()) {
    warn(QStringLiteral("必须选择一个记录"));
    return;
  }
  done(QDialog::Accepted);
}
void TZRAppPopForm::button_closeClick() {
  done(QDialog::Rejected);
}

} // namespace zr::fw
