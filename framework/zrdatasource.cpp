#include "framework/zrdatasource.h"

#include "platform/dataset/dataset.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTextEdit>

namespace zr::fw {

QColor fromTColor(int bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

TZRDataSource::TZRDataSource(QObject *parent) : QObject(parent) {}

void TZRDataSource::setDataSet(zr::data::Dataset *ds) {
  if (m_conn)
    disconnect(m_conn);
  m_ds = ds;
  if (ds && m_conn)
    m_conn = connect(ds, &zr::data::Dataset::stateChanged, this, &TZRDataSource::switchControls);
}

void TZRDataSource::Attach() {
  if (m_conn)
    disconnect(m_conn);
  if (m_ds)
    m_conn = connect(m_ds, &zr::data::Dataset::stateChanged, this, &TZRDataSource::switchControls);
}

void TZRDataSource::switchEditor(QWidget *w, int tag, bool browsing) const {
  const int t = tag >= 500 ? tag - 500 : tag;
  const bool lookup = w->property("IsLookup").toBool();
  bool readOnly = browsing;
  if (t == 2)
    readOnly = !lookup;
  if (lookup && (t == 2 || t == 200))
    readOnly = false;
  if (t == 3 || t == 4) {
    readOnly = true;
    w->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
  }
  if (auto *combo = qobject_cast<QComboBox *>(w)) {
    if (t == 5)
      return;
    const bool buttonOn = (t == 6 || t == 7) ? browsing : !browsing;
    combo->setEnabled(t == 7 ? buttonOn : (buttonOn || !readOnly));
  } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
    e->setReadOnly(readOnly);
  } else if (auto *te = qobject_cast<QTextEdit *>(w)) {
    te->setReadOnly(readOnly);
  } else if (auto *pe = qobject_cast<QPlainTextEdit *>(w)) {
    pe->setReadOnly(readOnly);
  } else if (auto *sb = qobject_cast<QAbstractSpinBox *>(w)) {
    sb->setReadOnly(readOnly);
  } else {
    w->setProperty("readOnly", readOnly);
  }
  QPalette p = w->palette();
  p.setColor(QPalette::Base, fromTColor(browsing ? BrowseColor : EditColor));
  w->setPalette(p);
  w->setProperty("FocusColor", browsing ? BrowseColor : ColorOnFocus);
}

void TZRDataSource::switchControls() {
  if (!ActiveColor || !m_ds)
    return;
  const bool browsing = !m_ds->isEditing();
  if (Window) {
    for (QWidget *w : Window->findChildren<QWidget *>()) {
      const QVariant tv = w->property("Tag");
      const int tag = tv.toInt();
      if (IS_DETAIL_CHANGE && !IS_MASTER_CHANGE && tag >= 500)
        continue;
      if (IS_MASTER_CHANGE && !IS_DETAIL_CHANGE && tag < 500)
        continue;
      if (!IS_MASTER_CHANGE && !IS_DETAIL_CHANGE && tag == 100)
        continue;
      if (qobject_cast<QAbstractItemView *>(w)) {
        if (tag != 1 && tag != 501)
          w->setEnabled(browsing);
        continue;
      }
      if (tag % 500 == 30) {
        w->setEnabled(browsing);
        continue;
      }
      // only the data-bound editors (they name their column)
      if (w->property("DataField").isValid())
        switchEditor(w, tag, browsing);
    }
  }
  auto set = [](QAbstractButton *b, bool on) {
    if (b)
      b->setEnabled(on);
  };
  for (QAbstractButton *b :
       {Button_Add.data(),   Button_New.data(),   Button_Edit.data(),  Button_Delete.data(),
        Button_Prior.data(), Button_Next.data(),  Button_First.data(), Button_Last.data(),
        Button_Print.data(), Button_Find.data(),  Button_Check.data(), Button_Close.data(),
        ButtonNew.data(),    ButtonAdd.data(),    ButtonEdit.data(),   ButtonPrint.data(),
        ButtonCheck.data(),  ButtonDelete.data(), ButtonFind.data(),   ButtonOther.data(),
        ButtonPrior.data(),  ButtonNext.data(),   ButtonFirst.data(),  ButtonLast.data(),
        SpeedButton1.data(), SpeedButton2.data(), SpeedButton3.data(), SpeedButton4.data(),
        SpeedButton5.data()})
    set(b, browsing);
  for (QAbstractButton *b :
       {Button_Save.data(), Button_Cancel.data(), ButtonSave.data(), ButtonCancel.data()})
    set(b, !browsing);
  ApplyRights();
  if (onStateChange)
    onStateChange();
}

void TZRDataSource::ApplyRights() {
  auto off = [](QAbstractButton *b, bool right) {
    if (b && !right)
      b->setEnabled(false);
  };
  for (QAbstractButton *b : {ButtonNew.data(), ButtonAdd.data(), Button_Add.data(), Button_New.data()})
    off(b, RightAdd);
  for (QAbstractButton *b : {ButtonEdit.data(), Button_Edit.data()})
    off(b, RightEdit);
  for (QAbstractButton *b : {ButtonPrint.data(), Button_Print.data()})
    off(b, RightPrint);
  for (QAbstractButton *b : {ButtonCheck.data(), Button_Check.data()})
    off(b, RightCheck);
  for (QAbstractButton *b : {ButtonDelete.data(), Button_Delete.data()})
    off(b, RightDelete);
}

} // namespace zr::fw
