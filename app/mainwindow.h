#pragma once
// TMainForm: the shell of the program. It opens the connection, computes the run-wide values,
// and opens every function window from its menu, tool bar and icons, admitted by the user's
// rights, one instance each.
#include <QtCore/QHash>
#include <QtWidgets/QMainWindow>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

namespace zr::app {

class TDM;
class TZRMain;
class THelpForm;
class TAboutForm;

// Makes a function window owned by the main window; the main window shows and lists it.
using WindowFactory = std::function<QWidget *(QWidget *owner)>;

// The help topic of a window, by its form name; the main window's topic for any other.
int helpTopicOf(const QString &formName);

class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  // Opens the connection of the data module; a failure is shown and sets StartupFailed, as
  // does another running instance of the program.
  explicit TMainForm(TDM &dm, QWidget *parent = nullptr);
  ~TMainForm() override;

  // The organisation's name may have been entered since creation (first-run setup).
  void refreshCaption();
  // The item level's title may have been renamed: menu entry and tool-button hint follow.
  void refreshItemTitle();

  // The window a form name opens. Entries without one say that their window is not there yet.
  void setFactory(const QString &formName, WindowFactory factory);

  // Places a function window over the main window and shows it.
  void ShowChild(QWidget *w);

  TZRMain *ZRMain;
  QMenu *MenuArchive, *SYSMENU, *N9, *N3;
  QAction *MenuArchiveType, *N13, *N1, *N24, *EXCEL1, *N16;
  QAction *USERMENU, *CHANGEPASSWORDMENU, *N5, *N22, *N7, *N26, *N10, *N6, *N11, *N28, *EXITMENU;
  QAction *F11, *N2;
  QToolBar *ToolBar1;
  QToolButton *ToolButton2, *ToolButton5, *ToolButton1, *ToolButton3, *ToolButton4;
  QLabel *StatusPanel0, *StatusPanel1;
  QFrame *Panel1, *PanelShow, *PanelArchives;
  QLabel *Image1;
  // The double-click icons, each bound to its menu entry.
  QList<QPair<QLabel *, QAction *>> Icons;
  TAboutForm *AboutForm;
  THelpForm *HelpForm = nullptr;

  void FormShow();
  void F11Click();
  void N2Click();
  void N5Click();
  void N22Click();
  void N7Click();
  void N26Click();
  void N28Click();
  void N10Click();
  void N6Click();
  void N11Click();

protected:
  void closeEvent(QCloseEvent *e) override;
  void showEvent(QShowEvent *e) override;
  void resizeEvent(QResizeEvent *e) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  // The one path by which a function window opens: busy check, bring forward when open,
  // admission, then make, show and list it.
  void openEntry(QAction *item, const QString &formName, const std::function<bool()> &admit);
  bool browseAdmission(const QString &group, const QString &program);
  bool systemAdmission(const QString &program);
  bool windowsOpen() const;
  void notYet(const QString &caption);
  void applyBackground(const QString &path);
  void setPanelColor(unsigned bgr);
  void buildMenu();
  void buildToolBar();
  void buildClientArea();
  void layoutIcons();
  void bringForward();

  QHash<QString, WindowFactory> m_factories;
  bool m_shownOnce = false;
};

} // namespace zr::app
