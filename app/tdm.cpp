#include "app/tdm.h"

#include "app/programcleanup.h"

#include "db/globals.h"
#include "platform/os/settingsstore.h"
#include "platform/ui/common.h"

#include <QtCore/QDir>

namespace zr::app {

QString missingAliasMessage() {
  return QStringLiteral(
      "1.没有找到软件设置的数据库连接参数，如果操作系统是Window7 或 "
      "以上的操作系统，用鼠标右键点桌面软件图标，在弹出的菜单里点属性，点兼容方式，把 以管理员身份运行此软件 "
      "打勾,然后重新打开软件。\n\r2."
      "如果打勾后还提示此信息，或者是XP操作系统提示此信息，就要重新安装软件，如果有录入的"
      "数据，不要卸载和删除以前装的软件，换个盘重新安装，不要覆盖以前的软件，安装好后用最新的数据备份恢复数"
      "据");
}

TDM::TDM() = default;

TDM::~TDM() {
  const QString name = QString::fromUtf16(zr::sql::kDatabaseName);
  if (zr::sql::Database::named(name) == &MainDatabase)
    zr::sql::Database::unregisterNamed(name);
}

void TDM::DataModuleCreate() {
  const QString alias = QString::fromUtf16(zr::sql::kAliasName);
  if (zr::sql::alias::directory(alias, zr::os::SettingsStore()).isEmpty()) {
    zr::ui::ShowWarning(missingAliasMessage());
    zr::db::StartupFailed = true;
    return;
  }
  MainDatabase.close();
}

void TDM::open() {
  MainDatabase.openAlias(QString::fromUtf16(zr::sql::kAliasName), zr::os::SettingsStore());
  zr::sql::Database::registerNamed(QString::fromUtf16(zr::sql::kDatabaseName), &MainDatabase);
  zr::db::DataDirectory = QDir::toNativeSeparators(MainDatabase.directory());
  zr::db::ProgramDirectory = programDirectoryOf(MainDatabase.directory());
}

} // namespace zr::app
