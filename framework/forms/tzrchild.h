#pragma once
// TZRChild: the one component every framework window carries. It gives the window its shared
// colours and fonts, its database name and dialect, reads the user's rights for its program,
// moves between controls with Enter and the arrows, turns F3 to F12 into clicks on the button
// of the same caption, refuses to close while a record is being edited and tells the main
// window when the window is shown, minimised and closed.
#include "framework/records.h"

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <stdexcept>

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace zr::data {
class Dataset;
}

namespace zr::fw {

// The eight flags a window holds for its program.
struct TRights {
  bool Add = false, Edit = false, Delete = false, Browse = false, Print = false, Verify = false,
       Currency = false;
  bool Exists = false; // a rights row was found
  static TRights all() { return {true, true, true, true, true, true, true, true}; }
};

enum TMoveOption { moEnter = 1, moArrows = 2 };

// A second TZRChild on one window.
class EChildTwice : public std::logic_error {
public:
  EChildTwice();
};

class TZRChild : public QObject {
  Q_OBJECT
public:
  // Throws EChildTwice when the window has one already.
  explicit TZRChild(QWidget *window);
  ~TZRChild() override;
  static TZRChild *of(const QWidget *window);
  QWidget *window() const { return m_window; }

  bool EnterMove = true;
  int Options = moEnter | moArrows;
  bool EditNoBeep = true;
  bool NotTopShow = false;
  bool MainMenuChange = false; // kept for the windows that set it
  QString DataBaseName;
  // Colours as the stored 0x00BBGGRR values.
  int Color = 0;
  int LabelColor = 0;
  int EditColor = 0;
  int ColorOnFocus = 0;
  QString Language = QStringLiteral("GB");
  TSqlType SqlType = TSqlType::urStandard;

  // Refusal shown when the window is closed during an edit.
  QString CloseRefusal;
  // Datasets the window edits without owning them (a pop-up editing its opener's query):
  // watched by the close rule, never closed by it.
  QList<QPointer<zr::data::Dataset>> WatchedDataSets;
  // Whether closing closes the window's own datasets. Pop-up windows keep theirs, since the
  // caller reads the chosen record after the window has closed.
  bool CloseDataSets = true;

  TRights ReadRights(const QString &group, const QString &program, const QString &userId);
  QString ReadRight(const QString &userId, int groupId, int programId, int index);
  bool WriteRight(const QString &userId, int groupId, const QString &value, int index, int programId);
  void ApplyLook(QWidget *window);
  void ShowChild(int mode);

  // The close rule: true when no dataset of the window is editing, else warns and refuses.
  bool mayClose();
  // What closing does once allowed: datasets closed, grid layouts saved, the notice sent.
  void closing();
  // The datasets of the window the close rule looks at.
  QList<zr::data::Dataset *> editableDataSets() const;

  // The column of a right index (0 add ... 6 the attachments right), empty when out of range.
  static QString rightColumn(int index);
  // The Chinese face of the window's fonts: 宋体 where installed, else an installed CJK face.
  static QString chineseFamily(bool traditional = false);

signals:
  void TZRShowFormMessage(QWidget *window);
  void TZRHideFormMessage(QWidget *window);
  void TZRCloseFormMessage(QWidget *window);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  bool handleKey(QWidget *receiver, QKeyEvent *e);
  QAbstractButton *buttonForKey(int key) const;
  void moveFocus(QWidget *from, bool forward);
  QPointer<QWidget> m_window;
  bool m_lookApplied = false;
};

} // namespace zr::fw
