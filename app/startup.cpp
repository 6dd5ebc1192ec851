#include "app/startup.h"

#include "app/mainwindow.h"
#include "app/tenrolform.h"
#include "app/tlogonform.h"
#include "app/tshowform.h"
#include "db/exceptionhandler.h"
#include "db/globals.h"
#include "db/queries.h"
#include "platform/os/screen.h"
#include "platform/ui/common.h"
#include "platform/ui/modal.h"

#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

namespace zr::app {

bool ScreenCheck(int screenWidth, zr::os::DisplayModes &modes) {
  if (screenWidth >= 1024 || !modes.canEnumerate())
    return false;
  zr::ui::ShowWarning(
      QStringLiteral("系统需要1024 × 768的屏幕分辨率才能正常显示,系统要调整分辨率到1024 × "
                     "768，您以后在运行本软件前请将屏幕分辨率设定为：1024 × 768,此时屏幕会闪一下出现黑屏"));
  return modes.change({1024, 768, 24});
}

TStartup::TStartup(zr::os::DisplayModes &modes) : m_modes(modes) {}
TStartup::~TStartup() = default;

TMainForm *TStartup::run() {
  if (const QScreen *s = QGuiApplication::primaryScreen())
    ScreenCheck(s->geometry().width(), m_modes);
  {
    TShowForm splash(splashMs);
    splash.showAndWait();
  }
  zr::db::StartupFailed = false;
  QApplication::setApplicationName(QStringLiteral("卓睿典藏库房管理系统"));
  dm.DataModuleCreate();
  if (zr::db::StartupFailed)
    return nullptr;
  main = std::make_unique<TMainForm>(dm);
  if (zr::db::StartupFailed)
    return nullptr;
  double systemUsers = 0;
  try {
    systemUsers = zr::db::QueryNumber(QString::fromUtf16(zr::sql::kDatabaseName),
                                      u"SELECT  Count(USE_ID) from SYS_USER_TABLE WHERE  SYS_USER ='是'"_qs);
  } catch (...) {
    // Without the count neither logon nor setup can be trusted: say why and end.
    zr::db::HandleException(nullptr, std::current_exception());
    zr::db::StartupFailed = true;
    return nullptr;
  }
  int result = QDialog::Rejected;
  if (systemUsers > 0) {
    TLogonForm logon;
    result = zr::ui::execModal(logon);
  } else {
    TEnrolForm enrol;
    result = zr::ui::execModal(enrol);
  }
  if (result != QDialog::Accepted)
    return nullptr;
  main->refreshCaption();
  return main.get();
}

} // namespace zr::app
