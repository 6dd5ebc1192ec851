#pragma once
// TZRMain: the main window's companion that keeps the list of open function windows and its
// menu "打开的窗口", answers the browse-right question of the menu, keeps one running instance
// and remembers the background picture.
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace zr::os {
class SingleInstance;
}

namespace zr::app {

// The rights refusal: 您没有在程序"<name>"中的权限.
QString rightsRefusal(const QString &program);

struct OpenWindowEntry {
  QPointer<QWidget> window;
  QString formName; // e.g. "UserForm"; the window's object name
  bool shown = true;
  QAction *menuItem = nullptr;
};

class TZRMain : public QObject {
  Q_OBJECT
public:
  // A second TZRMain on the same owner throws std::logic_error("TZRMain").
  explicit TZRMain(QMainWindow *owner);
  ~TZRMain() override;

  QString DataBaseName;
  QMenu *OpenWindowsMenu = nullptr; // the top-level entry that lists open windows
  QString ImageFile = QStringLiteral("ZRFolioRecord");
  bool Busy = false;

  // Claims the single running instance under the application title. False when another
  // instance runs: it has been told to come forward and "程序已经运行" was shown.
  bool Install(const QString &workingMonth);
  zr::os::SingleInstance *instance() const { return m_instance; }

  bool HasBrowseRight(const QString &group, const QString &program, const QString &userId);

  // 1 when a window of that name is listed and was brought forward, else 0; a listed window
  // that no longer exists loses its entry.
  int ActivateIfOpen(const QString &formName);
  void RegisterWindow(const QString &formName, QWidget *window, std::function<void()> clickAction,
                      const QString &caption);
  const QList<OpenWindowEntry> &entries() const { return m_entries; }
  // The newest entry's window, if it still exists.
  QWidget *newestWindow() const;

  QString ReadBackgroundImage();
  QString ChooseBackgroundImage(const QString &filter);
  void ClearBackgroundImage();

public slots:
  // Notices from a listed window; a window that is not listed is ignored.
  void childShown(QWidget *w);
  void childHidden(QWidget *w);
  void childClosed(QObject *w);

signals:
  void activationRequested();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void removeEntry(qsizetype i);
  qsizetype indexOf(const QObject *w) const;

  QMainWindow *m_owner;
  QList<OpenWindowEntry> m_entries; // newest first
  zr::os::SingleInstance *m_instance = nullptr;
};

} // namespace zr::app
