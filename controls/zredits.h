#pragma once
// The system's edit and combo controls: they take a focus colour while focused, filter typed
// characters by their kind, keep the run-wide input-method memory, and the data-bound ones
// write their text back to the current record when left.
#include "platform/dataset/dataset.h"

#include <QtCore/QPointer>
#include <QtGui/QColor>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <functional>

class QToolButton;

namespace zr::data {
class Dataset;
class Field;
} // namespace zr::data

namespace zr::controls {

enum class TEditTypes { etString, etInteger, etFloat, etDate, etTime, etPhone };

// The last input method a text field used, for the whole run. Linux cannot switch input
// methods per control, so the name is only carried from field to field.
QString &imeMemory();

// Whether a typed character is taken, and as what. text/selStart/selLength describe the control
// before the key; a selection from the first character lets anything overwrite it.
struct CharVerdict {
  bool accepted = false;
  QString insert;    // the text to enter (a decimal mark becomes the locale's separator)
  int maxLength = 0; // a maximum length the key asks for, 0 for none
};
CharVerdict filterChar(TEditTypes type, const QString &text, int selStart, int selLength, QChar typed,
                       int currentMaxLength, QChar decimalSeparator);

// Focus colour and input-method handling shared by every control of this file.
class FocusColorHelper {
public:
  QColor ColorOnFocus = QColor(0, 0xFF, 0xFF); // 16776960 as BGR
  bool FocusColorChange = true;
  void enter(QWidget *w, TEditTypes type);
  void leave(QWidget *w, TEditTypes type);

private:
  QColor m_saved;
  bool m_has = false;
};

// Keeps a control showing one column of the dataset's current record and writes it back.
class FieldLink : public QObject {
  Q_OBJECT
public:
  FieldLink(QWidget *control, std::function<QString()> read, std::function<void(const QString &)> show);
  void setDataSource(zr::data::Dataset *ds, const QString &field);
  zr::data::Dataset *dataset() const { return m_ds; }
  zr::data::Field *field() const;
  // Writes the control's text into the record; on failure warns, returns false.
  bool writeBack();
  void refresh();
  bool loading() const { return m_loading; }

private:
  QWidget *m_control;
  std::function<QString()> m_read;
  std::function<void(const QString &)> m_show;
  QPointer<zr::data::Dataset> m_ds;
  QString m_field;
  bool m_loading = false;
};

class TZREdit : public QLineEdit {
  Q_OBJECT
public:
  explicit TZREdit(QWidget *parent = nullptr);
  TEditTypes EditType = TEditTypes::etString;
  FocusColorHelper focus;

protected:
  void keyPressEvent(QKeyEvent *e) override;
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
  // Returns false when the key was dropped.
  bool filterKey(QKeyEvent *e);
  virtual void refused() {}
};

// Data-bound edit. Sets "DataField" and "Tag" so the data source switches it.
class TZRDBEdit : public TZREdit {
  Q_OBJECT
public:
  explicit TZRDBEdit(QWidget *parent = nullptr);
  void setDataSource(zr::data::Dataset *ds, const QString &field);
  void setTag(int tag) { setProperty("Tag", tag); }
  FieldLink *link() const { return m_link; }

protected:
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;
  void refused() override;
  FieldLink *m_link;
};

// Mask edit: focus colour only.
class TZRMEdit : public QLineEdit {
  Q_OBJECT
public:
  explicit TZRMEdit(QWidget *parent = nullptr) : QLineEdit(parent) {}
  FocusColorHelper focus;

protected:
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
};

class TZRComboBox : public QComboBox {
  Q_OBJECT
public:
  explicit TZRComboBox(QWidget *parent = nullptr);
  TEditTypes EditType = TEditTypes::etString;
  FocusColorHelper focus;

protected:
  bool eventFilter(QObject *o, QEvent *e) override;
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
};

class TZRDBComboBox : public TZRComboBox {
  Q_OBJECT
public:
  explicit TZRDBComboBox(QWidget *parent = nullptr);
  void setDataSource(zr::data::Dataset *ds, const QString &field);
  void setTag(int tag) { setProperty("Tag", tag); }
  FieldLink *link() const { return m_link; }

protected:
  void focusOutEvent(QFocusEvent *e) override;
  FieldLink *m_link;
};

class TZRListBox : public QListWidget {
  Q_OBJECT
public:
  explicit TZRListBox(QWidget *parent = nullptr) : QListWidget(parent) {}
  FocusColorHelper focus;

protected:
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
};

// Look-up list: shows the values of a list column; choosing one writes its key into the field.
class TZRDBLookupListBox : public TZRListBox {
  Q_OBJECT
public:
  explicit TZRDBLookupListBox(QWidget *parent = nullptr);
  // keys and their display texts
  void setLookup(const QStringList &keys, const QStringList &texts);
  void setDataSource(zr::data::Dataset *ds, const QString &field);
  void setTag(int tag) { setProperty("Tag", tag); }
  FieldLink *link() const { return m_link; }

private:
  QStringList m_keys;
  FieldLink *m_link;
};

class TZRDBLookupComboBox : public QComboBox {
  Q_OBJECT
public:
  explicit TZRDBLookupComboBox(QWidget *parent = nullptr);
  void setLookup(const QStringList &keys, const QStringList &texts);
  void setDataSource(zr::data::Dataset *ds, const QString &field);
  void setTag(int tag) { setProperty("Tag", tag); }
  FocusColorHelper focus;
  FieldLink *link() const { return m_link; }

protected:
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;

private:
  QStringList m_keys;
  FieldLink *m_link;
};

enum class TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// An edit with a button inside its right edge that opens a chooser.
class TZRComboEdit : public TZREdit {
  Q_OBJECT
public:
  explicit TZRComboEdit(QWidget *parent = nullptr);

  QString ButtonCaption() const;
  void setButtonCaption(const QString &c);
  void setButtonHint(const QString &h);
  int ButtonWidth() const { return m_buttonWidth; }
  void setButtonWidth(int w);
  bool ButtonEnabled() const;
  void setButtonEnabled(bool on);
  void setButtonVisible(bool on);
  TGlyphKind GlyphKind() const { return m_glyph; }
  void setGlyphKind(TGlyphKind k);
  QKeySequence ClickKey = QKeySequence(Qt::ALT | Qt::Key_Down);
  bool DirectInput = true;
  std::function<void()> OnButtonClick;
  QToolButton *button() const { return m_button; }
  // Clicks the button as the user would (when it is shown with a width above 0).
  void clickButton();

signals:
  void buttonClicked();

protected:
  void keyPressEvent(QKeyEvent *e) override;
  void resizeEvent(QResizeEvent *e) override;
  void placeButton();
  QToolButton *m_button;
  int m_buttonWidth = 21;
  TGlyphKind m_glyph = TGlyphKind::gkCustom;
  bool m_buttonVisible = true;
};

class TZRDBComboEdit : public TZRComboEdit {
  Q_OBJECT
public:
  explicit TZRDBComboEdit(QWidget *parent = nullptr);
  void setDataSource(zr::data::Dataset *ds, const QString &field);
  void setTag(int tag) { setProperty("Tag", tag); }
  FieldLink *link() const { return m_link; }
  // Enter in the control: the framework asks the window, which may handle it.
  std::function<void(QObject *sender, bool &handled)> OnSelect;

protected:
  void keyPressEvent(QKeyEvent *e) override;
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
  void refused() override;
  FieldLink *m_link;
};

// Limits a data-bound line edit to its string field's size in GBK bytes.
void applyFieldLimit(QLineEdit *edit, zr::data::Field *f);

} // namespace zr::controls
