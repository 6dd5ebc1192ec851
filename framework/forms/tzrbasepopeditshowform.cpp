#include "framework/forms/tzrbasepopeditshowform.h"

#include "db/globals.h"
#include "framework/forms/tzrapppopform.h"
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

TZRBasePopEditShowForm::TZRBasePopEditShowForm(QWidget *owner) : QDialog(owner) {
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Panel2 = new QWidget(this);
  Panel2->setObjectName(u"Panel2"_qs);
  auto *row = new QHBoxLayout(Panel2);
  row->setContentsMargins(4, 4, 4, 4);
  Panel1 = new QWidget(this);
  Panel1->setObjectName(u"Panel1"_qs);
  layout->addWidget(Panel2);
  layout->addWidget(Panel1, 1);
  Button_add = popButton(Panel2, "Button_add", u"增加[F5]"_qs);
  button_edit = popButton(Panel2, "button_edit", u"编辑[F6]"_qs);
  button_delete = popButton(Panel2, "button_delete", u"删除[F7]"_qs);
  button_save = popButton(Panel2, "button_save", u"保存[F8]"_qs);
  button_cancel = popButton(Panel2, "button_cancel", u"取消[F9]"_qs);
  Button_Print = popButton(Panel2, "Button_Print", u"打印[F11]"_qs);
  button_Ok = popButton(Panel2, "button_Ok", u"确定[F3]"_qs);
  button_close = popButton(Panel2, "button_close", u"关闭[F12]"_qs);
  button1_first = popButton(Panel2, "button1_first", u"首条"_qs);
  button1_prior = popButton(Panel2, "button1_prior", u"前条"_qs);
  button1_next = popButton(Panel2, "button1_next", u"下条"_qs);
  button1_last = popButton(Panel2, "button1_last", u"末条"_qs);
  row->addStretch(1);

  DS = new TZRDataSource(this);
  DS->Window = this;
  DS->Button_Add = Button_add;
  DS->Button_Edit = button_edit;
  DS->Button_Delete = button_delete;
  DS->Button_Save = button_save;
  DS->Button_Cancel = button_cancel;
  DS->Button_Print = Button_Print;
  DS->Button_First = button1_first;
  DS->Button_Prior = button1_prior;
  DS->Button_Next = button1_next;
  DS->Button_Last = button1_last;

  ZRSetForm = new TZRSetForm(this);
  ZRChild = new TZRChild(this);
  ZRChild->CloseDataSets = false;
  ZRChild->CloseRefusal = QStringLiteral("必须先按“保存”或“取消”按钮后才能关闭窗口");
  prepareFrameworkWindow(this, ZRChild, ZRSetForm, QString());

  connect(Button_add, &QPushButton::clicked, this, &TZRBasePopEditShowForm::Button_addClick);
  connect(button_edit, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button_editClick);
  connect(button_delete, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button_deleteClick);
  connect(button_save, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button_saveClick);
  connect(button_cancel, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button_cancelClick);
  connect(button_Ok, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button_OkClick);
  connect(button_close, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
  connect(button1_first, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button1_firstClick);
  connect(button1_prior, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button1_priorClick);
  connect(button1_next, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button1_nextClick);
  connect(button1_last, &QPushButton::clicked, this, &TZRBasePopEditShowForm::button1_lastClick);
}

void TZRBasePopEditShowForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  if (e->spontaneous())
    return;
  Rights = programRights(ZRChild, ProgramGroup, ProgramName);
  Button_add->setEnabled(Rights.Add);
  button_edit->setEnabled(Rights.Add);
  button_delete->setEnabled(Rights.Add);
  Button_Print->setEnabled(Rights.Print);
  ZRChild->WatchedDataSets = {DataSet};
  DS->setDataSet(DataSet);
  prepareDataSource(DS, Rights);
  DS->switchControls();
}

bool TZRBasePopEditShowForm::event(QEvent *e) {
  // An edit left open with no way to save it is given up when the window comes back.
  if (e->type() == QEvent::WindowActivate && DataSet && DataSet->isEditing() && !button_save->isEnabled())
    if (auto *q = qobject_cast<TZRQuery *>(DataSet.data()))
      q->CancelRecord();
  return QDialog::event(e);
}

void TZRBasePopEditShowForm::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_Escape) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TZRBasePopEditShowForm::done(int r) {
  if (!ZRChild->mayClose())
    return;
  ZRChild->closing();
  QDialog::done(r);
}

namespace {
TZRQuery *queryOf(zr::data::Dataset *ds) {
  return ds && ds->isActive() ? qobject_cast<TZRQuery *>(ds) : nullptr;
}
} // namespace

void TZRBasePopEditShowForm::Button_addClick() {
  if (auto *q = queryOf(DataSet)) {
    zr::db::WorkingDate = zr::db::today();
    q->AddRecord();
  }
}
void TZRBasePopEditShowForm::button_editClick() {
  if (auto *q = queryOf(DataSet); q && !q->isEmpty()) {
    zr::db::WorkingDate = zr::db::today();
    q->EditRecord();
  }
}
void TZRBasePopEditShowForm::button_deleteClick() {
  if (auto *q = queryOf(DataSet); q && !q->isEmpty())
    q->DeleteRecord();
}
void TZRBasePopEditShowForm::button_saveClick() {
  Panel2->setFocus(Qt::OtherFocusReason);
  if (auto *q = queryOf(DataSet); q && q->isEditing())
    q->SaveRecord();
}
void TZRBasePopEditShowForm::button_cancelClick() {
  if (auto *q = queryOf(DataSet))
    q->CancelRecord();
}
void TZRBasePopEditShowForm::button_OkClick() {
  if (!DataSet || !DataSet->isActive() || DataSet->isEmpty()) {
    warn(QStringLiteral("必须选择一个记录"));
    return;
  }
  done(QDialog::Accepted);
}
void TZRBasePopEditShowForm::button1_firstClick() {
  if (DataSet && DataSet->isActive())
    DataSet->first();
}
void TZRBasePopEditShowForm::button1_lastClick() {
  if (DataSet && DataSet->isActive())
    DataSet->last();
}
void TZRBasePopEditShowForm::button1_priorClick() {
  if (!DataSet || !DataSet->isActive())
    return;
  DataSet->prior();
  if (DataSet->bof())
    warn(QStringLiteral("已到第一个纪录"));
}
void TZRBasePopEditShowForm::button1_nextClick() {
  if (!DataSet || !DataSet->isActive())
    return;
  DataSet->next();
  if (DataSet->eof())
    warn(QStringLiteral("已到最后一个纪录"));
}

} // namespace zr::fw
