#include "framework/forms/tzrdform.h"

#include "db/globals.h"
#include "framework/messages.h"
#include "framework/zrdatasource.h"
#include "framework/zrquery.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::fw {

TZRDForm::TZRDForm(QWidget *owner) : TZRAppForm(owner) {
  Panel1 = new QWidget(this);
  Panel1->setObjectName(u"Panel1"_qs);
  m_layout->addWidget(Panel1, 1);
  Query = new TZRQuery(this);
  Query->setObjectName(u"Query"_qs);
  Query->setStatusEditValue(u"未审核"_qs);
  Query->SqlType = ZRChild->SqlType;
  Query->setDatabase(zr::sql::Database::named(ZRChild->DataBaseName));
  Query->Window = this;
  DS = new TZRDataSource(this);
  DS->setObjectName(u"DS"_qs);
  DS->setDataSet(Query);
  DS->Window = this;
  Query->ZRDS = DS;
  m_dataSet = Query;
  button_check->setVisible(false);
  wireButtons();
}

void TZRDForm::wireButtons() {
  DS->ButtonAdd = button_add;
  DS->ButtonEdit = button_edit;
  DS->ButtonDelete = button_delete;
  DS->ButtonSave = button_save;
  DS->ButtonCancel = button_cancel;
  DS->ButtonFind = button_find;
  DS->ButtonFirst = button_First;
  DS->ButtonPrior = button_Prior;
  DS->ButtonNext = button_next;
  DS->ButtonLast = button_Last;
  DS->ButtonOther = Button_Other;
  DS->ButtonCheck = button_check;
  DS->ButtonPrint = button_print;
  connect(button_add, &QToolButton::clicked, this, &TZRDForm::button_addClick);
  connect(button_edit, &QToolButton::clicked, this, &TZRDForm::button_editClick);
  connect(button_delete, &QToolButton::clicked, this, &TZRDForm::button_deleteClick);
  connect(button_save, &QToolButton::clicked, this, &TZRDForm::button_saveClick);
  connect(button_cancel, &QToolButton::clicked, this, &TZRDForm::button_cancelClick);
  connect(button_First, &QToolButton::clicked, this, &TZRDForm::button_FirstClick);
  connect(button_Prior, &QToolButton::clicked, this, &TZRDForm::button_PriorClick);
  connect(button_next, &QToolButton::clicked, this, &TZRDForm::button_nextClick);
  connect(button_Last, &QToolButton::clicked, this, &TZRDForm::button_LastClick);
  connect(button_check, &QToolButton::clicked, this, &TZRDForm::button_checkClick);
  connect(button_close, &QToolButton::clicked, this, &TZRDForm::button_closeClick);
}

void TZRDForm::showEvent(QShowEvent *e) {
  if (!e->spontaneous()) {
    Rights = programRights(ZRChild, ProgramGroup, ProgramName);
    button_add->setEnabled(Rights.Add);
    button_edit->setEnabled(Rights.Add);
    button_delete->setEnabled(Rights.Add);
    button_print->setEnabled(Rights.Print);
    button_check->setEnabled(Rights.Verify);
    PrepareQuery(Query);
    PrepareDataSource(DS);
    DS->switchControls();
  }
  TZRAppForm::showEvent(e);
}

void TZRDForm::button_addClick() {
  if (!m_dataSet || !m_dataSet->isActive())
    return;
  zr::db::WorkingDate = zr::db::today();
  if (auto *q = qobject_cast<TZRQuery *>(m_dataSet))
    q->AddRecord();
}

void TZRDForm::button_editClick() {
  if (!m_dataSet || !m_dataSet->isActive() || m_dataSet->isEmpty())
    return;
  zr::db::WorkingDate = zr::db::today();
  if (auto *q = qobject_cast<TZRQuery *>(m_dataSet))
    q->EditRecord();
}

void TZRDForm::button_deleteClick() {
  if (!m_dataSet || !m_dataSet->isActive() || m_dataSet->isEmpty())
    return;
  if (auto *q = qobject_cast<TZRQuery *>(m_dataSet))
    q->DeleteRecord();
}

void TZRDForm::button_saveClick() {
  // Taking the focus away makes the last editor write its text into the record.
  ToolBar1->setFocus(Qt::OtherFocusReason);
  if (!m_dataSet || !m_dataSet->isActive() || !m_dataSet->isEditing())
    return;
  if (auto *q = qobject_cast<TZRQuery *>(m_dataSet))
    q->SaveRecord();
}

void TZRDForm::button_cancelClick() {
  if (!m_dataSet || !m_dataSet->isActive())
    return;
  if (auto *q = qobject_cast<TZRQuery *>(m_dataSet))
    q->CancelRecord();
}

namespace {
bool refuseEmpty(zr::data::Dataset *ds) {
  if (!ds || !ds->isActive() || ds->isEmpty()) {
    warn(QStringLiteral("没有数据记录"));
    return true;
  }
  return false;
}
} // namespace

void TZRDForm::button_FirstClick() {
  if (!refuseEmpty(m_dataSet))
    m_dataSet->first();
}

void TZRDForm::button_LastClick() {
  if (!refuseEmpty(m_dataSet))
    m_dataSet->last();
}

void TZRDForm::button_PriorClick() {
  if (refuseEmpty(m_dataSet))
    return;
  m_dataSet->prior();
  if (m_dataSet->bof())
    warn(QStringLiteral("已到第一个纪录"));
}

void TZRDForm::button_nextClick() {
  if (refuseEmpty(m_dataSet))
    return;
  m_dataSet->next();
  if (m_dataSet->eof())
    warn(QStringLiteral("已到最后一个纪录"));
}

void TZRDForm::button_checkClick() {
  if (m_dataSet && m_dataSet->isActive() && !m_dataSet->isEmpty())
    PendingAction = QStringLiteral("check");
}

void TZRDForm::button_closeClick() {
  close();
}

} // namespace zr::fw
