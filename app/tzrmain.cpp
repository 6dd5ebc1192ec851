#include "app/tzrmain.h"

#include "db/queries.h"
#include "db/sqltext.h"
#include "platform/os/settingsstore.h"
#include "platform/os/singleinstance.h"
#include "platform/sql/database.h"
#include "platform/ui/common.h"
#include "platform/ui/prompter.h"

#include <QtCore/QEvent>
#include <QtCore/QFileInfo>
#include <QtGui/QWindowStateChangeEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMenu>
#include <stdexcept>

namespace zr::app {

QString rightsRefusal(const QString &program) {
  return u"您没有在程序\"" % program % u"\"中的权限";
}

TZRMain::TZRMain(QMainWindow *owner) : QObject(owner), m_owner(owner) {
  for (const TZRMain *other : owner->findChildren<TZRMain *>(Qt::FindDirectChildrenOnly))
    if (other != this)
      throw std::logic_error("TZRMain");
  DataBaseName = QString::fromUtf16(zr::sql::kDatabaseName);
}

TZRMain::~TZRMain() = default;

bool TZRMain::Install(const QString &workingMonth) {
  Q_UNUSED(workingMonth)
  m_instance = new zr::os::SingleInstance(u"ZR"_qs + QApplication::applicationName(), this);
  if (m_instance->acquire()) {
    connect(m_instance, &zr::os::SingleInstance::activationRequested, this, &TZRMain::activationRequested);
    return true;
  }
  zr::ui::ShowWarning(u"程序已经运行"_qs);
  m_instance->activateRunning();
  return false;
}

bool TZRMain::HasBrowseRight(const QString &group, const QString &program, const QString &userId) {
  const QString composeId = zr::db::QueryValue(
      DataBaseName, u"SELECT COMPOSE_ID FROM  SYS_COMPOSE_TABLE WHERE COMPOSE_NAME =" % zr::db::quote(group));
  if (composeId.isEmpty()) {
    zr::ui::ShowWarning(group + u"程序组找不到");
    return false;
  }
  const QString programId =
      zr::db::QueryValue(DataBaseName, u"SELECT PROGRAM_ID FROM  SYS_PROGRAM_TABLE WHERE PROGRAM_NAME =" %
                                           zr::db::quote(program) % u" and COMPOSE_ID =" % composeId);
  if (programId.isEmpty()) {
    zr::ui::ShowWarning(program + u"程序找不到");
    return false;
  }
  const QString browse = zr::db::QueryValue(
      DataBaseName, u"SELECT BROWSE_RIGHT FROM  SYS_RIGHT_TABLE WHERE COMPOSE_ID =" % composeId %
                        u" and PROGRAM_ID =" % programId % u" and USE_ID =" % zr::db::quote(userId));
  return browse == u"是";
}

qsizetype TZRMain::indexOf(const QObject *w) const {
  for (qsizetype i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].window == w)
      return i;
  return -1;
}

int TZRMain::ActivateIfOpen(const QString &formName) {
  for (qsizetype i = 0; i < m_entries.size(); ++i) {
    if (m_entries[i].formName != formName)
      continue;
    QWidget *w = m_entries[i].window;
    if (!w) {
      removeEntry(i);
      return 0;
    }
    if (w->isMinimized())
      w->showNormal();
    else
      w->show();
    w->raise();
    w->activateWindow();
    return 1;
  }
  return 0;
}

void TZRMain::RegisterWindow(const QString &formName, QWidget *window, std::function<void()> clickAction,
                             const QString &caption) {
  OpenWindowEntry e;
  e.window = window;
  e.formName = formName;
  e.shown = true;
  if (OpenWindowsMenu) {
    OpenWindowsMenu->setTitle(u"打开的窗口"_qs);
    OpenWindowsMenu->menuAction()->setVisible(true);
    e.menuItem = OpenWindowsMenu->addAction(caption);
    connect(e.menuItem, &QAction::triggered, this, [clickAction] { clickAction(); });
  }
  m_entries.prepend(e);
  window->installEventFilter(this);
  connect(window, &QObject::destroyed, this, &TZRMain::childClosed);
}

QWidget *TZRMain::newestWindow() const {
  return m_entries.isEmpty() ? nullptr : m_entries.first().window.data();
}

void TZRMain::removeEntry(qsizetype i) {
  OpenWindowEntry e = m_entries.takeAt(i);
  if (e.window)
    e.window->removeEventFilter(this);
  if (OpenWindowsMenu) {
    if (e.menuItem) {
      OpenWindowsMenu->removeAction(e.menuItem);
      delete e.menuItem;
    }
    if (OpenWindowsMenu->actions().isEmpty()) {
      OpenWindowsMenu->setTitle(QString());
      OpenWindowsMenu->menuAction()->setVisible(false);
    }
  }
}

void TZRMain::childShown(QWidget *w) {
  if (const qsizetype i = indexOf(w); i >= 0)
    m_entries[i].shown = true;
}

void TZRMain::childHidden(QWidget *w) {
  if (const qsizetype i = indexOf(w); i >= 0)
    m_entries[i].shown = false;
}

void TZRMain::childClosed(QObject *w) {
  const qsizetype i = indexOf(w);
  if (i < 0)
    return;
  Busy = false;
  removeEntry(i);
}

bool TZRMain::eventFilter(QObject *watched, QEvent *event) {
  auto *w = qobject_cast<QWidget *>(watched);
  if (!w)
    return false;
  switch (event->type()) {
  case QEvent::WindowStateChange:
    if (w->isMinimized())
      childHidden(w);
    else
      childShown(w);
    break;
  case QEvent::Show:
    childShown(w);
    break;
  case QEvent::Close:
    // A close that was refused leaves the window listed; one that goes through removes it at
    // once, before the window is freed.
    if (event->isAccepted())
      QMetaObject::invokeMethod(
          this,
          [this, p = QPointer<QWidget>(w)] {
            if (p && !p->isVisible())
              childClosed(p);
          },
          Qt::QueuedConnection);
    break;
  default:
    break;
  }
  return false;
}

QString TZRMain::ReadBackgroundImage() {
  bool ok = true;
  const QString path = zr::os::SettingsStore().read(ImageFile, &ok).value_or(QString());
  if (!ok) {
    zr::ui::ShowWarning(u"ZRSOFTWARE键打开或建立错误"_qs);
    return {};
  }
  return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

QString TZRMain::ChooseBackgroundImage(const QString &filter) {
  zr::ui::FileRequest r;
  r.owner = m_owner;
  r.kind = zr::ui::FileDialogKind::Open;
  r.filter = filter;
  const QString path = zr::ui::prompter().file(r);
  if (path.isEmpty())
    return {};
  if (!QFileInfo(path).isFile()) {
    zr::ui::ShowWarning(u"图像文件不存在"_qs);
    return {};
  }
  const QString full = QFileInfo(path).absoluteFilePath();
  zr::os::SettingsStore store;
  if (!store.write(ImageFile, full)) {
    zr::ui::ShowWarning(u"ZRSOFTWARE键打开或建立错误"_qs);
    return {};
  }
  return full;
}

void TZRMain::ClearBackgroundImage() {
  zr::os::SettingsStore store;
  bool ok = true;
  store.read(ImageFile, &ok);
  if (!ok || (store.read(ImageFile).has_value() && !store.remove(ImageFile)))
    zr::ui::ShowWarning(u"ZRSOFTWARE键打开或建立错误"_qs);
}

} // namespace zr::app
