#include "controls/find/findforms.h"

#include "db/globals.h"
#include "platform/ui/common.h"
#include "platform/ui/modal.h"
#include "platform/ui/tdateform.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::ctl {

// ---- the shared inputs

FindInputs::FindInputs(QWidget *parent) : QDialog(parent) {
  ComboBoxField = new QComboBox(this);
  ComboBoxField->setObjectName(QStringLiteral("ComboBoxField"));
  ComboBoxRelation = new QComboBox(this);
  ComboBoxRelation->setObjectName(QStringLiteral("ComboBoxRelation"));
  EditValue = new QLineEdit(this);
  EditValue->setObjectName(QStringLiteral("EditValue"));
  ComboBoxValue = new QComboBox(this);
  ComboBoxValue->setObjectName(QStringLiteral("ComboBoxValue"));
  ButtonValue = new QToolButton(this);
  ButtonValue->setText(QStringLiteral("..."));
  ButtonOk = new QPushButton(QStringLiteral("确定[F3]"), this);
  ButtonAll = new QPushButton(QStringLiteral("全部数据"), this);
  ButtonClose = new QPushButton(QStringLiteral("关闭[F12]"), this);
  ButtonAll->hide();
  ComboBoxValue->hide();
  ButtonValue->hide();
  connect(ComboBoxField, &QComboBox::currentIndexChanged, this, [this] { FieldChange(); });
  connect(ButtonValue, &QToolButton::clicked, this, [this] { valueButton(); });
  connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(EditValue, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
}

// Column, relation and value in the first three rows of the window's grid.
void FindInputs::layInputs(QGridLayout *grid) {
  grid->addWidget(new QLabel(QStringLiteral("查找字段"), this), 0, 0);
  grid->addWidget(ComboBoxField, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("查找关系"), this), 1, 0);
  grid->addWidget(ComboBoxRelation, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("查找的值"), this), 2, 0);
  auto *valueRow = new QHBoxLayout;
  valueRow->addWidget(EditValue);
  valueRow->addWidget(ComboBoxValue);
  valueRow->addWidget(ButtonValue);
  grid->addLayout(valueRow, 2, 1);
}

QHBoxLayout *FindInputs::buttonRow() {
  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ButtonOk);
  buttons->addWidget(ButtonAll);
  buttons->addWidget(ButtonClose);
  return buttons;
}

void FindInputs::setColumns(const QList<FindColumn> &columns) {
  m_columns = columns;
  const QSignalBlocker block(ComboBoxField);
  ComboBoxField->clear();
  for (const FindColumn &c : columns)
    ComboBoxField->addItem(c.caption);
  ComboBoxField->setCurrentIndex(-1);
  FieldChange();
}

void FindInputs::setRelations(const QList<FindRelation> &relations) {
  m_relations = relations;
  FieldChange();
}

const FindColumn *FindInputs::column() const {
  const int i = ComboBoxField->currentIndex();
  return i >= 0 && i < m_columns.size() ? &m_columns[i] : nullptr;
}

const FindRelation *FindInputs::relation() const {
  const QString word = ComboBoxRelation->currentText();
  for (const FindRelation &r : m_relations)
    if (r.word == word && ComboBoxRelation->currentIndex() >= 0)
      return &r;
  return nullptr;
}

QString FindInputs::value() const {
  const FindColumn *c = column();
  return c && c->findKind == u"B" ? ComboBoxValue->currentText() : EditValue->text();
}

// Choosing a column: its kind decides the input and which relations it offers.
void FindInputs::FieldChange() {
  EditValue->clear();
  ComboBoxValue->clear();
  m_popupCondition.clear();
  ComboBoxRelation->setEnabled(true);
  EditValue->setReadOnly(false);
  EditValue->setValidator(nullptr);
  EditValue->setStyleSheet(QString());
  const QString keep = ComboBoxRelation->currentText();
  ComboBoxRelation->clear();
  const FindColumn *c = column();
  for (const FindRelation &r : m_relations)
    if (!(c && r.op.compare(u"Like", Qt::CaseInsensitive) == 0 && !c->offersLike()))
      ComboBoxRelation->addItem(r.word);
  ComboBoxRelation->setCurrentIndex(ComboBoxRelation->findText(keep));
  const QString kind = c ? c->findKind : QString();
  EditValue->setVisible(kind != u"B");
  ComboBoxValue->setVisible(kind == u"B");
  ButtonValue->setVisible(kind == u"DT" || kind == u"D" || kind == u"BS" || kind == u"BF");
  if (kind == u"B")
    ComboBoxValue->addItems(c->values);
  if (c && c->numeric() && (kind == u"T" || kind == u"DT"))
    EditValue->setValidator(
        new QRegularExpressionValidator(QRegularExpression(u"-?[0-9]*\\.?[0-9]*"_qs), EditValue));
  if (kind == u"BS" || kind == u"BF") {
    ComboBoxRelation->setCurrentIndex(ComboBoxRelation->findText(QStringLiteral("等于")));
    ComboBoxRelation->setEnabled(kind == u"BF");
    EditValue->setReadOnly(true);
    EditValue->setStyleSheet(QStringLiteral("color: blue"));
  }
}

void FindInputs::valueButton() {
  const FindColumn *c = column();
  if (!c)
    return;
  if (c->findKind == u"D") {
    const QString d = zr::ui::PickDate(EditValue->text(), zr::db::WorkingDate);
    if (!d.isEmpty())
      EditValue->setText(d);
    return;
  }
  if (!PopupWindow)
    return;
  QString display = EditValue->text(), condition, field = c->fieldName;
  if (PopupWindow(display, condition, field)) {
    EditValue->setText(display);
    m_popupCondition = condition;
    if (c->findKind == u"BF" && condition.contains(u'@')) {
      ComboBoxRelation->setCurrentIndex(ComboBoxRelation->findText(QStringLiteral("等于")));
      ComboBoxRelation->setEnabled(false);
    }
  }
}

FindRefusal FindInputs::current(QString *piece, QString *line) {
  const FindColumn *c = column();
  if (!c)
    return {QStringLiteral("必须有一个查找字段"), FindFocus::Column};
  return FindConditions::piece(*c, relation(), value(), m_popupCondition, !ComboBoxRelation->isEnabled(),
                               piece, line);
}

void FindInputs::focusOn(FindFocus f) {
  switch (f) {
  case FindFocus::Column: ComboBoxField->setFocus(); break;
  case FindFocus::Relation: ComboBoxRelation->setFocus(); break;
  case FindFocus::Value:
    if (ComboBoxValue->isVisible())
      ComboBoxValue->setFocus();
    else
      EditValue->setFocus();
    break;
  default: break;
  }
}

void FindInputs::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_F3 && ButtonOk->isEnabled())
    return ButtonOk->click();
  if (e->key() == Qt::Key_F12)
    return ButtonClose->click();
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    focusNextChild(); // Enter moves on, it never closes the window
    return;
  }
  QDialog::keyPressEvent(e);
}

// ---- TZRFindForm

TZRFindForm::TZRFindForm(QWidget *parent) : FindInputs(parent) {
  RadioAnd = new QRadioButton(QStringLiteral("并且"), this);
  RadioOr = new QRadioButton(QStringLiteral("或者"), this);
  ListBox = new QListWidget(this);
  ListBox->setObjectName(QStringLiteral("ListBox"));
  ButtonAdd = new QPushButton(QStringLiteral("增加"), this);
  ButtonDelete = new QPushButton(QStringLiteral("清除"), this);
  auto *grid = new QGridLayout(this);
  layInputs(grid);
  auto *joins = new QHBoxLayout;
  joins->addWidget(RadioAnd);
  joins->addWidget(RadioOr);
  joins->addStretch();
  joins->addWidget(ButtonAdd);
  joins->addWidget(ButtonDelete);
  grid->addLayout(joins, 3, 0, 1, 2);
  grid->addWidget(ListBox, 4, 0, 1, 2);
  auto *buttons = buttonRow();
  grid->addLayout(buttons, 5, 0, 1, 2);
  connect(ButtonAdd, &QPushButton::clicked, this, [this] { ButtonAddClick(); });
  connect(ButtonDelete, &QPushButton::clicked, this, [this] { ButtonDeleteClick(); });
  connect(ButtonOk, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
  connect(ButtonAll, &QPushButton::clicked, this, [this] { ButtonAllClick(); });
  refreshList();
  resize(460, 360);
}

void TZRFindForm::refreshList() {
  ListBox->clear();
  ListBox->addItems(conditions.lines());
  ButtonOk->setEnabled(!conditions.lines().isEmpty());
  ButtonDelete->setEnabled(!conditions.lines().isEmpty());
}

void TZRFindForm::ButtonAddClick() {
  const FindColumn *c = column();
  if (!c) {
    zr::ui::ShowWarning(QStringLiteral("必须有一个查找字段"));
    return focusOn(FindFocus::Column);
  }
  const Join join = RadioAnd->isChecked() ? Join::And : RadioOr->isChecked() ? Join::Or : Join::None;
  const FindRefusal r =
      conditions.add(*c, relation(), value(), join, m_popupCondition, !ComboBoxRelation->isEnabled());
  if (r.refused()) {
    zr::ui::ShowWarning(r.message);
    if (r.focus == FindFocus::Join)
      RadioAnd->setFocus();
    else
      focusOn(r.focus);
    return;
  }
  refreshList();
}

void TZRFindForm::ButtonDeleteClick() {
  conditions.remove(ListBox->currentRow() < 0 ? int(conditions.lines().size()) - 1 : ListBox->currentRow());
  refreshList();
}

void TZRFindForm::ButtonOkClick() {
  const FindRefusal r = conditions.confirm();
  if (r.refused()) {
    zr::ui::ShowWarning(r.message);
    return focusOn(r.focus);
  }
  allData = false;
  accept();
}

void TZRFindForm::ButtonAllClick() {
  conditions.reset();
  refreshList();
  allData = true;
  accept();
}

// ---- TZRFindSimpleForm

TZRFindSimpleForm::TZRFindSimpleForm(QWidget *parent) : FindInputs(parent) {
  auto *grid = new QGridLayout(this);
  layInputs(grid);
  auto *buttons = buttonRow();
  grid->addLayout(buttons, 3, 0, 1, 2);
  connect(ButtonOk, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
  connect(ButtonAll, &QPushButton::clicked, this, [this] {
    condition.clear();
    allData = true;
    accept();
  });
}

void TZRFindSimpleForm::ButtonOkClick() {
  QString piece, line;
  const FindRefusal r = current(&piece, &line);
  if (r.refused()) {
    zr::ui::ShowWarning(r.message);
    return focusOn(r.focus);
  }
  condition = piece;
  allData = false;
  accept();
}

// ---- the components

namespace {

// Both dialogs show their window the same way: caption, pop-up, the all-data button, the column
// and relation preselected at each showing.
bool runFind(FindInputs &f, const QString &caption, const PopupWindowFn &popup, bool showAll, int field,
             int relation) {
  f.setWindowTitle(caption + u"查找窗口");
  f.PopupWindow = popup;
  f.ButtonAll->setVisible(showAll);
  f.allData = false;
  if (field >= 0)
    f.ComboBoxField->setCurrentIndex(field);
  if (relation >= 0)
    f.ComboBoxRelation->setCurrentIndex(relation);
  return zr::ui::execModal(f) == QDialog::Accepted;
}

} // namespace

TFindFormDialog::TFindFormDialog(QWidget *owner) : QObject(owner), m_owner(owner) {}
TFindFormDialog::~TFindFormDialog() = default;

TZRFindForm *TFindFormDialog::form() {
  if (!m_form) {
    m_form = std::make_unique<TZRFindForm>(m_owner);
    m_form->setColumns(findColumns(m_columns));
    m_form->setRelations(m_relations);
  }
  return m_form.get();
}

void TFindFormDialog::SetColumnList(const zr::fw::TFieldsDataArray &columns) {
  m_columns = columns;
  if (m_form) { // a new list resets the dialog
    m_form->conditions.reset();
    m_form->setColumns(findColumns(columns));
    m_form->refreshList();
  }
}

void TFindFormDialog::SetRelations(const QList<FindRelation> &relations) {
  m_relations = relations;
  if (m_form)
    m_form->setRelations(relations);
}

bool TFindFormDialog::Execute() {
  return runFind(*form(), Caption, PopupWindow, !m_showAll.isEmpty(), FieldIndex, ConnectionIndex);
}

QStringList TFindFormDialog::Conditions() const {
  return m_form ? m_form->conditions.pieces() : QStringList();
}
QString TFindFormDialog::Description() const {
  return m_form ? m_form->conditions.description() : QString();
}
bool TFindFormDialog::AllData() const {
  return m_form && m_form->allData;
}

void TFindFormDialog::Reset() {
  if (!m_form)
    return;
  m_form->conditions.reset();
  m_form->allData = false;
  m_form->setColumns(findColumns(m_columns));
  m_form->refreshList();
}

TFindSimpleFormDialog::TFindSimpleFormDialog(QWidget *owner) : QObject(owner), m_owner(owner) {}
TFindSimpleFormDialog::~TFindSimpleFormDialog() = default;

TZRFindSimpleForm *TFindSimpleFormDialog::form() {
  if (!m_form) {
    m_form = std::make_unique<TZRFindSimpleForm>(m_owner);
    m_form->setColumns(findColumns(m_columns));
    m_form->setRelations(defaultRelations());
  }
  return m_form.get();
}

void TFindSimpleFormDialog::SetColumnList(const zr::fw::TFieldsDataArray &columns) {
  m_columns = columns;
  if (m_form)
    m_form->setColumns(findColumns(columns));
}

bool TFindSimpleFormDialog::Execute() {
  return runFind(*form(), Caption, PopupWindow, !m_showAll.isEmpty(), FieldIndex, ConnectionIndex);
}

QString TFindSimpleFormDialog::Condition() const {
  return m_form ? m_form->condition : QString();
}
bool TFindSimpleFormDialog::AllData() const {
  return m_form && m_form->allData;
}

// ---- choosers

TFindStatusForm::TFindStatusForm(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("状态选择窗口"));
  ComboBox = new QComboBox(this);
  ComboBox->addItems({QStringLiteral("已归还"), QStringLiteral("未归还")});
  ComboBox->setCurrentIndex(-1);
  ButtonOk = new QPushButton(QStringLiteral("确定"), this);
  ButtonClose = new QPushButton(QStringLiteral("关闭"), this);
  auto *v = new QVBoxLayout(this);
  v->addWidget(ComboBox);
  auto *h = new QHBoxLayout;
  h->addStretch();
  h->addWidget(ButtonOk);
  h->addWidget(ButtonClose);
  v->addLayout(h);
  connect(ButtonOk, &QPushButton::clicked, this, [this] {
    if (ComboBox->currentIndex() < 0) {
      zr::ui::ShowWarning(QStringLiteral("必须选择状态"));
      ComboBox->setFocus();
      return;
    }
    accept();
  });
  connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFindStatusForm::status() const {
  return result() == Accepted ? ComboBox->currentText() : QString();
}

TSelectItemForm::TSelectItemForm(const QString &caption, const QStringList &items, bool withClose,
                                 QWidget *parent)
    : QDialog(parent) {
  setWindowTitle(caption);
  RadioGroup = new QButtonGroup(this);
  auto *v = new QVBoxLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto *r = new QRadioButton(items[i], this);
    RadioGroup->addButton(r, i + 1);
    v->addWidget(r);
  }
  if (!RadioGroup->buttons().isEmpty())
    RadioGroup->buttons().first()->setChecked(true); // the first item when none is chosen
  ButtonOk = new QPushButton(QStringLiteral("确定"), this);
  auto *h = new QHBoxLayout;
  h->addStretch();
  h->addWidget(ButtonOk);
  if (withClose) {
    ButtonClose = new QPushButton(QStringLiteral("关闭"), this);
    h->addWidget(ButtonClose);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
  }
  v->addLayout(h);
  // taller in steps as the list grows, as the callers expect
  setFixedHeight(qMax(150, 60 + 24 * int(items.size())));
  connect(ButtonOk, &QPushButton::clicked, this, [this] {
    if (RadioGroup->checkedId() < 0) {
      zr::ui::ShowWarning(QStringLiteral("必须选择一个选项"));
      return;
    }
    accept();
  });
}

int TSelectItemForm::choice() const {
  return result() == Accepted ? RadioGroup->checkedId() : 0;
}

QString SortChooser(QWidget *parent, const QString &caption, const QList<std::pair<QString, QString>> &items,
                    bool withClose) {
  QStringList captions;
  for (const auto &i : items)
    captions << i.first;
  TSelectItemForm f(caption, captions, withClose, parent);
  if (zr::ui::execModal(f) != QDialog::Accepted || f.RadioGroup->checkedId() < 1)
    return {};
  return u" ORDER BY " + items[f.RadioGroup->checkedId() - 1].second;
}

TSelectReportForm::TSelectReportForm(const QString &caption, const QString &first, const QString &second,
                                     QWidget *parent)
    : QDialog(parent) {
  setWindowTitle(caption);
  RadioButton1 = new QRadioButton(first, this);
  RadioButton2 = new QRadioButton(second, this);
  RadioButton3 = new QRadioButton(this);
  RadioButton3->hide();
  ButtonOk = new QPushButton(QStringLiteral("确定"), this);
  ButtonClose = new QPushButton(QStringLiteral("关闭"), this);
  auto *v = new QVBoxLayout(this);
  v->addWidget(RadioButton1);
  v->addWidget(RadioButton2);
  auto *h = new QHBoxLayout;
  h->addStretch();
  h->addWidget(ButtonOk);
  h->addWidget(ButtonClose);
  v->addLayout(h);
  connect(ButtonOk, &QPushButton::clicked, this, [this] {
    if (!RadioButton1->isChecked() && !RadioButton2->isChecked()) {
      zr::ui::ShowWarning(QStringLiteral("必须选择一个选项"));
      return;
    }
    accept();
  });
  connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
}

int OperationChooser(QWidget *parent, const QString &caption, const QString &first, const QString &second) {
  TSelectReportForm f(caption, first, second, parent);
  if (zr::ui::execModal(f) != QDialog::Accepted)
    return 0;
  return f.RadioButton1->isChecked() ? 1 : f.RadioButton2->isChecked() ? 2 : 0;
}

} // namespace zr::ctl
