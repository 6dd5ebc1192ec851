#pragma once
// TZRDataSource: between a dataset and the window's controls. When the dataset changes state it
// switches editors between read-only and editable with their colours, enables the buttons of
// browsing or of editing, and keeps the buttons the user has no right to disabled.
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtGui/QColor>

class QAbstractButton;
class QWidget;

namespace zr::data {
class Dataset;
}

namespace zr::fw {

// A colour as the stored settings give it: 0x00BBGGRR.
QColor fromTColor(int bgr);

class TZRDataSource : public QObject {
  Q_OBJECT
public:
  explicit TZRDataSource(QObject *parent = nullptr);

  void setDataSet(zr::data::Dataset *ds);
  zr::data::Dataset *dataSet() const { return m_ds; }
  // The window whose controls are switched.
  QPointer<QWidget> Window;

  int BrowseColor = 14875896;
  int EditColor = 0xFFFFFF;
  int ColorOnFocus = 0;
  bool ActiveColor = true;
  bool RightAdd = true, RightEdit = true, RightPrint = true, RightCheck = true, RightDelete = true;
  bool IS_MASTER_CHANGE = false;
  bool IS_DETAIL_CHANGE = false;

  // Tool buttons (Button...) and push buttons (Button_...): nullptr where the window has none.
  QPointer<QAbstractButton> ButtonNew, ButtonAdd, ButtonEdit, ButtonPrint, ButtonCheck, ButtonDelete,
      ButtonCancel, ButtonSave, ButtonFind, ButtonOther, ButtonPrior, ButtonNext, ButtonFirst, ButtonLast;
  QPointer<QAbstractButton> Button_Add, Button_New, Button_Edit, Button_Delete, Button_Find, Button_Print,
      Button_Check, Button_Save, Button_Cancel, Button_Close, Button_Prior, Button_Next, Button_First,
      Button_Last;
  QPointer<QAbstractButton> SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5;

  // Installs the state-change handling; onStateChange (the window's) runs after the switching.
  void Attach();
  void ApplyRights();
  // The switching of the current state, at once.
  void switchControls();
  std::function<void()> onStateChange;

private:
  void switchEditor(QWidget *w, int tag, bool browsing) const;
  QPointer<zr::data::Dataset> m_ds;
  QMetaObject::Connection m_conn;
};

} // namespace zr::fw
