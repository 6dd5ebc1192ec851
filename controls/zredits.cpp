#include "controls/zredits.h"

#include "framework/zrdatasource.h"
#include "platform/dataset/dataset.h"
#include "platform/os/gbk.h"
#include "platform/ui/common.h"
#include "platform/ui/inputlimit.h"

#include <QtCore/QDate>
#include <QtCore/QLocale>
#include <QtCore/QTimer>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolButton>

namespace zr::controls {

QString &imeMemory() {
  static QString name;
  return name;
}

namespace {

// QLineEdit's own default stands for "no maximum set".
constexpr int kNoMax = 32767;

bool isDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

QColor focusColorOf(QWidget *w, const QColor &fallback) {
  // The data source hands editors the focus colour of the state (browse or edit).
  const QVariant v = w->property("FocusColor");
  return v.isValid() ? zr::fw::fromTColor(v.toInt()) : fallback;
}

void selectAllLater(QLineEdit *e) {
  QTimer::singleShot(0, e, [e] {
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
  });
}

// Characters a typed column itself takes, whatever the control's kind.
bool fieldAccepts(const zr::data::Field *f, QChar c) {
  if (!f)
    return true;
  const QString k = f->dataKind();
  if (k == u"N")
    return isDigit(c) || QStringView(u"+-.,eE").contains(c);
  if (k == u"D")
    return isDigit(c) || c == u'-' || c == u'/';
  return true;
}

} // namespace

CharVerdict filterChar(TEditTypes type, const QString &text, int selStart, int selLength, QChar typed,
                       int currentMaxLength, QChar decimalSeparator) {
  CharVerdict v;
  v.insert = QString(typed);
  const bool control = typed == u'\b' || typed == u'\r' || typed == u'\n';
  const bool decimalMark = typed == u'.' || typed == u',';
  if (type == TEditTypes::etFloat && decimalMark)
    v.insert = QString(decimalSeparator);
  if (selLength > 0 && selStart == 0) { // a selection from the start may be overwritten freely
    v.accepted = true;
    return v;
  }
  const bool noMax = currentMaxLength <= 0 || currentMaxLength >= kNoMax;
  switch (type) {
  case TEditTypes::etString:
  case TEditTypes::etPhone: v.accepted = true; break;
  case TEditTypes::etInteger:
  case TEditTypes::etFloat:
    if (isDigit(typed) || control) {
      v.accepted = true;
    } else if (typed == u'-') {
      v.accepted = !text.contains(u'-');
    } else if (type == TEditTypes::etFloat && decimalMark) {
      v.accepted = !text.contains(u'.') && !text.contains(u',') && !text.contains(decimalSeparator);
    }
    if (v.accepted && noMax && type == TEditTypes::etInteger && (typed == u'-' || text.contains(u'-')))
      v.maxLength = 11;
    break;
  case TEditTypes::etDate: v.accepted = isDigit(typed) || control || typed == u'-' || typed == u'/'; break;
  case TEditTypes::etTime: v.accepted = isDigit(typed) || control || typed == u':'; break;
  }
  return v;
}

// ---- focus colour and input method

void FocusColorHelper::enter(QWidget *w, TEditTypes type) {
  if (type == TEditTypes::etString) {
    w->setProperty("ImeName", imeMemory());
  } else {
    w->setProperty("ImeName", QString());
    w->setAttribute(Qt::WA_InputMethodEnabled, false);
  }
  if (!FocusColorChange)
    return;
  QPalette p = w->palette();
  m_saved = p.color(QPalette::Base);
  m_has = true;
  p.setColor(QPalette::Base, focusColorOf(w, ColorOnFocus));
  w->setPalette(p);
}

void FocusColorHelper::leave(QWidget *w, TEditTypes type) {
  if (type == TEditTypes::etString)
    imeMemory() = w->property("ImeName").toString();
  if (!FocusColorChange || !m_has)
    return;
  QPalette p = w->palette();
  p.setColor(QPalette::Base, m_saved);
  w->setPalette(p);
  m_has = false;
}

// ---- data link

FieldLink::FieldLink(QWidget *control, std::function<QString()> read,
                     std::function<void(const QString &)> show)
    : QObject(control), m_control(control), m_read(std::move(read)), m_show(std::move(show)) {}

void FieldLink::setDataSource(zr::data::Dataset *ds, const QString &field) {
  if (m_ds)
    disconnect(m_ds, nullptr, this, nullptr);
  m_ds = ds;
  m_field = field;
  m_control->setProperty("DataField", field);
  if (!m_control->property("Tag").isValid())
    m_control->setProperty("Tag", 0);
  if (ds) {
    connect(ds, &zr::data::Dataset::scrolled, this, &FieldLink::refresh);
    connect(ds, &zr::data::Dataset::layoutReset, this, &FieldLink::refresh);
    connect(ds, &zr::data::Dataset::stateChanged, this, &FieldLink::refresh);
    connect(ds, &zr::data::Dataset::dataChanged, this, [this](int i) {
      const zr::data::Field *f = this->field();
      if (i < 0 || (f && f->index() == i))
        refresh();
    });
  }
  refresh();
}

zr::data::Field *FieldLink::field() const {
  return m_ds && m_ds->isActive() ? m_ds->findField(m_field) : nullptr;
}

void FieldLink::refresh() {
  if (m_ds && m_ds->controlsDisabled())
    return;
  m_loading = true;
  const zr::data::Field *f = field();
  m_show(f && !m_ds->isEmpty() ? f->asString() : QString());
  m_loading = false;
}

bool FieldLink::writeBack() {
  zr::data::Field *f = field();
  if (!f || !m_ds->isEditing())
    return true;
  const QString text = m_read();
  if (text == f->asString())
    return true;
  const QString label = f->displayLabel.isEmpty() ? f->name() : f->displayLabel;
  const QString kind = f->dataKind();
  const QString t = text.trimmed();
  bool ok = true;
  if (!t.isEmpty() && kind == u"N") {
    QString n = t;
    n.remove(u',');
    n.toDouble(&ok);
  } else if (!t.isEmpty() && kind == u"D") {
    ok = QDate::fromString(t, u"yyyy-M-d"_qs).isValid() || QDate::fromString(t, u"yyyy/M/d"_qs).isValid();
  }
  if (!ok) {
    zr::ui::ShowWarning(label + u"是错误的数据");
    return false;
  }
  if (kind == u"C") {
    const int bad = zr::gbk::firstUnencodable(text);
    if (bad >= 0) {
      zr::ui::ShowWarning(zr::gbk::unencodableMessage(text.at(bad).unicode()));
      return false;
    }
    if (f->size() > 0 && zr::gbk::byteLength(text) > f->size()) {
      zr::ui::ShowWarning(QStringLiteral("数据太大,不能保存数据"));
      return false;
    }
  }
  try {
    f->setAsString(text);
  } catch (const zr::sql::EngineError &e) {
    zr::ui::ShowWarning(e.message());
    return false;
  } catch (const std::exception &e) {
    zr::ui::ShowWarning(QString::fromUtf8(e.what()));
    return false;
  }
  return true;
}

void applyFieldLimit(QLineEdit *edit, zr::data::Field *f) {
  // The field's size counts GBK bytes, so the limit is a byte validator, not a character count.
  if (!f || f->dataKind() != u"C" || f->size() <= 0)
    return;
  edit->setMaxLength(kNoMax);
  zr::ui::limitInput(edit, f->size());
}

// ---- TZREdit

TZREdit::TZREdit(QWidget *parent) : QLineEdit(parent) {}

bool TZREdit::filterKey(QKeyEvent *e) {
  const QString t = e->text();
  if (t.size() != 1 || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    return true;
  const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
  const int selLen = hasSelectedText() ? int(selectedText().size()) : 0;
  const CharVerdict v =
      filterChar(EditType, text(), selStart, selLen, t.at(0), maxLength(), QLocale().decimalPoint().at(0));
  if (!v.accepted) {
    refused();
    return false;
  }
  if (v.maxLength > 0)
    setMaxLength(v.maxLength);
  if (v.insert != t) { // the decimal mark the locale writes
    insert(v.insert);
    return false;
  }
  return true;
}

void TZREdit::keyPressEvent(QKeyEvent *e) {
  if (filterKey(e))
    QLineEdit::keyPressEvent(e);
}

void TZREdit::focusInEvent(QFocusEvent *e) {
  const bool noMax = maxLength() >= kNoMax;
  if (EditType == TEditTypes::etFloat && noMax)
    setMaxLength(16);
  else if (EditType == TEditTypes::etDate)
    setMaxLength(10);
  focus.enter(this, EditType);
  QLineEdit::focusInEvent(e);
}

void TZREdit::focusOutEvent(QFocusEvent *e) {
  focus.leave(this, EditType);
  QLineEdit::focusOutEvent(e);
}

// ---- TZRDBEdit

TZRDBEdit::TZRDBEdit(QWidget *parent) : TZREdit(parent) {
  m_link = new FieldLink(
      this, [this] { return text(); }, [this](const QString &s) { setText(s); });
  setProperty("Tag", 0);
}

void TZRDBEdit::setDataSource(zr::data::Dataset *ds, const QString &field) {
  m_link->setDataSource(ds, field);
  connect(ds, &zr::data::Dataset::layoutReset, this, [this] { applyFieldLimit(this, m_link->field()); });
  applyFieldLimit(this, m_link->field());
}

void TZRDBEdit::focusInEvent(QFocusEvent *e) {
  TZREdit::focusInEvent(e);
}

void TZRDBEdit::focusOutEvent(QFocusEvent *e) {
  TZREdit::focusOutEvent(e);
  if (!m_link->writeBack())
    selectAllLater(this);
}

void TZRDBEdit::keyPressEvent(QKeyEvent *e) {
  const QString t = e->text();
  if (t.size() == 1 && t.at(0).isPrint() && !isReadOnly() && !fieldAccepts(m_link->field(), t.at(0))) {
    refused();
    return;
  }
  TZREdit::keyPressEvent(e);
}

void TZRDBEdit::refused() {
  QApplication::beep();
}

// ---- TZRMEdit

void TZRMEdit::focusInEvent(QFocusEvent *e) {
  focus.enter(this, TEditTypes::etString);
  QLineEdit::focusInEvent(e);
}
void TZRMEdit::focusOutEvent(QFocusEvent *e) {
  focus.leave(this, TEditTypes::etString);
  QLineEdit::focusOutEvent(e);
}

// ---- combo boxes

TZRComboBox::TZRComboBox(QWidget *parent) : QComboBox(parent) {
  setEditable(true);
  lineEdit()->installEventFilter(this);
}

bool TZRComboBox::eventFilter(QObject *o, QEvent *e) {
  if (e->type() == QEvent::KeyPress && o == lineEdit()) {
    auto *k = static_cast<QKeyEvent *>(e);
    const QString t = k->text();
    if (t.size() == 1 && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      QLineEdit *le = lineEdit();
      const int selStart = le->hasSelectedText() ? le->selectionStart() : le->cursorPosition();
      const int selLen = le->hasSelectedText() ? int(le->selectedText().size()) : 0;
      const CharVerdict v = filterChar(EditType, le->text(), selStart, selLen, t.at(0), le->maxLength(),
                                       QLocale().decimalPoint().at(0));
      if (!v.accepted)
        return true;
      if (v.maxLength > 0)
        le->setMaxLength(v.maxLength);
      if (v.insert != t) {
        le->insert(v.insert);
        return true;
      }
    }
  }
  return QComboBox::eventFilter(o, e);
}

void TZRComboBox::focusInEvent(QFocusEvent *e) {
  focus.enter(this, EditType);
  QComboBox::focusInEvent(e);
}
void TZRComboBox::focusOutEvent(QFocusEvent *e) {
  focus.leave(this, EditType);
  QComboBox::focusOutEvent(e);
}

TZRDBComboBox::TZRDBComboBox(QWidget *parent) : TZRComboBox(parent) {
  m_link = new FieldLink(
      this, [this] { return currentText(); }, [this](const QString &s) { setEditText(s); });
  setProperty("Tag", 0);
}

void TZRDBComboBox::setDataSource(zr::data::Dataset *ds, const QString &field) {
  m_link->setDataSource(ds, field);
  applyFieldLimit(lineEdit(), m_link->field());
}

void TZRDBComboBox::focusOutEvent(QFocusEvent *e) {
  TZRComboBox::focusOutEvent(e);
  if (!m_link->writeBack())
    selectAllLater(lineEdit());
}

// ---- list boxes

void TZRListBox::focusInEvent(QFocusEvent *e) {
  focus.enter(this, TEditTypes::etString);
  QListWidget::focusInEvent(e);
}
void TZRListBox::focusOutEvent(QFocusEvent *e) {
  focus.leave(this, TEditTypes::etString);
  QListWidget::focusOutEvent(e);
}

namespace {
void writeKey(FieldLink *link, const QStringList &keys, int row) {
  zr::data::Field *f = link->field();
  if (link->loading() || !f || !link->dataset()->isEditing() || row < 0 || row >= keys.size())
    return;
  f->setAsString(keys.at(row));
}
} // namespace

TZRDBLookupListBox::TZRDBLookupListBox(QWidget *parent) : TZRListBox(parent) {
  setProperty("IsLookup", true);
  setProperty("Tag", 0);
  m_link = new FieldLink(
      this,
      [this] {
        return currentRow() >= 0 && currentRow() < m_keys.size() ? m_keys.at(currentRow()) : QString();
      },
      [this](const QString &key) { setCurrentRow(int(m_keys.indexOf(key))); });
  connect(this, &QListWidget::currentRowChanged, this, [this](int row) { writeKey(m_link, m_keys, row); });
}

void TZRDBLookupListBox::setLookup(const QStringList &keys, const QStringList &texts) {
  m_keys = keys;
  clear();
  addItems(texts);
  m_link->refresh();
}

void TZRDBLookupListBox::setDataSource(zr::data::Dataset *ds, const QString &field) {
  m_link->setDataSource(ds, field);
}

TZRDBLookupComboBox::TZRDBLookupComboBox(QWidget *parent) : QComboBox(parent) {
  setProperty("IsLookup", true);
  setProperty("Tag", 0);
  m_link = new FieldLink(
      this,
      [this] {
        return currentIndex() >= 0 && currentIndex() < m_keys.size() ? m_keys.at(currentIndex()) : QString();
      },
      [this](const QString &key) { setCurrentIndex(int(m_keys.indexOf(key))); });
  connect(this, &QComboBox::currentIndexChanged, this, [this](int row) { writeKey(m_link, m_keys, row); });
}

void TZRDBLookupComboBox::setLookup(const QStringList &keys, const QStringList &texts) {
  m_keys = keys;
  clear();
  addItems(texts);
  m_link->refresh();
}

void TZRDBLookupComboBox::setDataSource(zr::data::Dataset *ds, const QString &field) {
  m_link->setDataSource(ds, field);
}

void TZRDBLookupComboBox::focusInEvent(QFocusEvent *e) {
  focus.enter(this, TEditTypes::etString);
  QComboBox::focusInEvent(e);
}
void TZRDBLookupComboBox::focusOutEvent(QFocusEvent *e) {
  focus.leave(this, TEditTypes::etString);
  QComboBox::focusOutEvent(e);
}

// ---- combo edits

TZRComboEdit::TZRComboEdit(QWidget *parent) : TZREdit(parent) {
  m_button = new QToolButton(this);
  m_button->setCursor(Qt::ArrowCursor);
  m_button->setFocusPolicy(Qt::NoFocus);
  connect(m_button, &QToolButton::clicked, this, [this] {
    emit buttonClicked();
    if (OnButtonClick)
      OnButtonClick();
  });
  setFixedHeight(21);
  placeButton();
}

QString TZRComboEdit::ButtonCaption() const {
  return m_button->text();
}
void TZRComboEdit::setButtonCaption(const QString &c) {
  m_button->setText(c);
}
void TZRComboEdit::setButtonHint(const QString &h) {
  m_button->setToolTip(h);
}
void TZRComboEdit::setButtonWidth(int w) {
  m_buttonWidth = qMax(0, w);
  placeButton();
}
bool TZRComboEdit::ButtonEnabled() const {
  return m_button->isEnabled();
}
void TZRComboEdit::setButtonEnabled(bool on) {
  m_button->setEnabled(on);
}
void TZRComboEdit::setButtonVisible(bool on) {
  m_buttonVisible = on;
  placeButton();
}

void TZRComboEdit::setGlyphKind(TGlyphKind k) {
  m_glyph = k;
  if (k == TGlyphKind::gkDropDown) {
    m_button->setArrowType(Qt::DownArrow);
    m_button->setText({});
  } else {
    m_button->setArrowType(Qt::NoArrow);
    if (k == TGlyphKind::gkEllipsis)
      m_button->setText(u"..."_qs);
  }
}

void TZRComboEdit::placeButton() {
  const bool shown = m_buttonVisible && m_buttonWidth > 0;
  m_button->setVisible(shown);
  const int inset = hasFrame() ? 2 : 0; // inside a 3-D border
  m_button->setGeometry(width() - m_buttonWidth - inset, inset, m_buttonWidth, height() - 2 * inset);
  setTextMargins(0, 0, shown ? m_buttonWidth : 0, 0);
}

void TZRComboEdit::resizeEvent(QResizeEvent *e) {
  TZREdit::resizeEvent(e);
  placeButton();
}

void TZRComboEdit::clickButton() {
  if (m_buttonVisible && m_buttonWidth > 0 && m_button->isEnabled())
    m_button->click();
}

void TZRComboEdit::keyPressEvent(QKeyEvent *e) {
  if (!ClickKey.isEmpty() && QKeySequence(e->keyCombination()) == ClickKey) {
    if (m_buttonWidth > 0) {
      clickButton();
      e->accept();
      return;
    }
  }
  if (!DirectInput && !e->text().isEmpty() && e->text().at(0).isPrint())
    return; // the chooser is the only way in
  TZREdit::keyPressEvent(e);
}

TZRDBComboEdit::TZRDBComboEdit(QWidget *parent) : TZRComboEdit(parent) {
  m_link = new FieldLink(
      this, [this] { return text(); }, [this](const QString &s) { setText(s); });
  setProperty("Tag", 0);
  setReadOnly(true); // until the data source switches it for editing
}

void TZRDBComboEdit::setDataSource(zr::data::Dataset *ds, const QString &field) {
  m_link->setDataSource(ds, field);
  connect(ds, &zr::data::Dataset::layoutReset, this, [this] { applyFieldLimit(this, m_link->field()); });
  applyFieldLimit(this, m_link->field());
}

void TZRDBComboEdit::keyPressEvent(QKeyEvent *e) {
  zr::data::Dataset *ds = m_link->dataset();
  const bool startsEdit =
      e->key() == Qt::Key_Delete || (e->key() == Qt::Key_Insert && (e->modifiers() & Qt::ShiftModifier));
  if (startsEdit && ds && ds->isActive() && !ds->isEditing() && !isReadOnly() && !ds->isEmpty())
    ds->edit();
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && OnSelect) {
    bool handled = false;
    OnSelect(this, handled);
    if (handled) {
      e->accept();
      return;
    }
  }
  const QString t = e->text();
  if (t.size() == 1 && t.at(0).isPrint() && !isReadOnly() && !fieldAccepts(m_link->field(), t.at(0))) {
    refused();
    return;
  }
  TZRComboEdit::keyPressEvent(e);
}

void TZRDBComboEdit::focusInEvent(QFocusEvent *e) {
  TZRComboEdit::focusInEvent(e);
}

void TZRDBComboEdit::focusOutEvent(QFocusEvent *e) {
  TZRComboEdit::focusOutEvent(e);
  if (!m_link->writeBack())
    selectAllLater(this);
}

void TZRDBComboEdit::refused() {
  QApplication::beep();
}

} // namespace zr::controls
