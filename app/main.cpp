#include "app/mainwindow.h"
#include "db/errortext.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"
#include "platform/ui/prompter.h"

#include <QtWidgets/QApplication>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("卓睿典藏库房管理系统"));
  zr::os::SettingsStore store;
  const QString alias = QString::fromUtf16(zr::sql::kAliasName);
  if (zr::sql::alias::directory(alias, store).isEmpty()) {
    zr::ui::prompter().message({nullptr, QStringLiteral("提示信息"),
                                u"数据库别名 " % alias % u" 不存在,请先用 zradmin install 建立数据目录",
                                zr::ui::Icon::Warning, zr::ui::Buttons::Ok, true});
    return 1;
  }
  zr::sql::Database db;
  try {
    db.openAlias(alias, store);
  } catch (const zr::sql::EngineError &e) {
    zr::ui::prompter().message({nullptr, QStringLiteral("提示信息"), zr::db::messageFor(e), zr::ui::Icon::Warning,
                                zr::ui::Buttons::Ok, true});
    return 1;
  }
  zr::sql::Database::registerNamed(QString::fromUtf16(zr::sql::kDatabaseName), &db);
  zr::app::TMainForm w(db);
  w.show();
  const int rc = app.exec();
  zr::sql::Database::unregisterNamed(QString::fromUtf16(zr::sql::kDatabaseName));
  return rc;
}
