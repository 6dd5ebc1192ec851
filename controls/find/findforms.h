#pragma once
// The find dialogs every list window searches with, and the small choosers.
#include "controls/find/findconditions.h"

#include <QtCore/QPointer>
#include <QtWidgets/QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;
class QButtonGroup;
class QGridLayout;
class QHBoxLayout;

namespace zr::ctl {

// Supplies a value chosen in a window of the caller: display value, condition and field name,
// all in and out; false when the user chose nothing.
using PopupWindowFn = std::function<bool(QString &display, QString &condition, QString &field)>;

// The inputs both find windows share: column, relation and value by the column's find kind.
class FindInputs : public QDialog {
  Q_OBJECT
public:
  explicit FindInputs(QWidget *parent = nullptr);
  void setColumns(const QList<FindColumn> &columns);
  void setRelations(const QList<FindRelation> &relations);
  PopupWindowFn PopupWindow;

  QComboBox *ComboBoxField;
  QComboBox *ComboBoxRelation;
  QLineEdit *EditValue;
  QComboBox *ComboBoxValue;
  QToolButton *ButtonValue;
  QPushButton *ButtonOk;
  QPushButton *ButtonAll;
  QPushButton *ButtonClose;
  bool allData = false;

  void FieldChange();
  // The column, relation and value chosen now; refusals focus their input.
  FindRefusal current(QString *piece, QString *line);
  const FindColumn *column() const;
  const FindRelation *relation() const;
  QString value() const;
  void focusOn(FindFocus f);

protected:
  void keyPressEvent(QKeyEvent *e) override;
  void layInputs(QGridLayout *grid);
  QHBoxLayout *buttonRow();
  void valueButton();
  QList<FindColumn> m_columns;
  QList<FindRelation> m_relations;
  QString m_popupCondition;
};

class TZRFindForm : public FindInputs {
  Q_OBJECT
public:
  explicit TZRFindForm(QWidget *parent = nullptr);
  QRadioButton *RadioAnd;
  QRadioButton *RadioOr;
  QListWidget *ListBox;
  QPushButton *ButtonAdd;
  QPushButton *ButtonDelete;
  FindConditions conditions;

  void ButtonAddClick();
  void ButtonDeleteClick();
  void ButtonOkClick();
  void ButtonAllClick();
  void refreshList();
};

class TZRFindSimpleForm : public FindInputs {
  Q_OBJECT
public:
  explicit TZRFindSimpleForm(QWidget *parent = nullptr);
  QString condition;
  void ButtonOkClick();
};

// The component a window keeps: its window lives as long as it, so earlier conditions stay.
class TFindFormDialog : public QObject {
  Q_OBJECT
public:
  explicit TFindFormDialog(QWidget *owner = nullptr);
  ~TFindFormDialog() override;
  QString Caption;
  zr::fw::TSqlType SqlType = zr::fw::TSqlType::urStandard;
  int Color = 0xFFFFFF, ColorOnFocus = 0, ColorNotOnFocus = 0;
  QString Language = QStringLiteral("GB");
  QString ImeName;
  int FieldIndex = -1, ConnectionIndex = -1;
  PopupWindowFn PopupWindow;

  void SetColumnList(const zr::fw::TFieldsDataArray &columns);
  void SetRelations(const QList<FindRelation> &relations);
  // A table name or show-all statement shows "全部数据".
  void setShowAll(const QString &statement) { m_showAll = statement; }
  QString showAllStatement() const { return m_showAll; }

  bool Execute();
  QStringList Conditions() const;
  QString Description() const;
  bool AllData() const;
  void Reset();
  TZRFindForm *form();

private:
  QPointer<QWidget> m_owner;
  std::unique_ptr<TZRFindForm> m_form;
  zr::fw::TFieldsDataArray m_columns;
  QList<FindRelation> m_relations = defaultRelations();
  QString m_showAll;
};

class TFindSimpleFormDialog : public QObject {
  Q_OBJECT
public:
  explicit TFindSimpleFormDialog(QWidget *owner = nullptr);
  ~TFindSimpleFormDialog() override;
  QString Caption;
  PopupWindowFn PopupWindow;
  int FieldIndex = -1, ConnectionIndex = -1;
  void SetColumnList(const zr::fw::TFieldsDataArray &columns);
  void setShowAll(const QString &statement) { m_showAll = statement; }
  QString showAllStatement() const { return m_showAll; }
  bool Execute();
  QString Condition() const;
  bool AllData() const;
  TZRFindSimpleForm *form();

private:
  QPointer<QWidget> m_owner;
  std::unique_ptr<TZRFindSimpleForm> m_form;
  zr::fw::TFieldsDataArray m_columns;
  QString m_showAll;
};

// Status of loans: "已归还" or "未归还"; empty when closed.
class TFindStatusForm : public QDialog {
  Q_OBJECT
public:
  explicit TFindStatusForm(QWidget *parent = nullptr);
  QComboBox *ComboBox;
  QPushButton *ButtonOk;
  QPushButton *ButtonClose;
  QString status() const;
};

// A radio group of the caller's items; Execute gives the 1-based choice, 0 when closed.
class TSelectItemForm : public QDialog {
  Q_OBJECT
public:
  TSelectItemForm(const QString &caption, const QStringList &items, bool withClose,
                  QWidget *parent = nullptr);
  QButtonGroup *RadioGroup;
  QPushButton *ButtonOk;
  QPushButton *ButtonClose = nullptr;
  int choice() const;
};

// " ORDER BY " + the chosen column, or empty when nothing was chosen.
QString SortChooser(QWidget *parent, const QString &caption, const QList<std::pair<QString, QString>> &items,
                    bool withClose = false);

class TSelectReportForm : public QDialog {
  Q_OBJECT
public:
  TSelectReportForm(const QString &caption, const QString &first, const QString &second,
                    QWidget *parent = nullptr);
  QRadioButton *RadioButton1;
  QRadioButton *RadioButton2;
  QRadioButton *RadioButton3; // hidden
  QPushButton *ButtonOk;
  QPushButton *ButtonClose;
};

// 1 or 2 for the radio checked, 0 after Cancel.
int OperationChooser(QWidget *parent, const QString &caption, const QString &first, const QString &second);

} // namespace zr::ctl
