#include "app/mainwindow.h"

#include "app/tdm.h"
#include "db/exceptionhandler.h"
#include "db/globals.h"
#include "db/queries.h"
#include "platform/os/files.h"

#include <QtWidgets/QLabel>

namespace zr::app {
namespace {
QString dbName() {
  return QString::fromUtf16(zr::sql::kDatabaseName);
}
} // namespace

TMainForm::TMainForm(TDM &dm, QWidget *parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  zr::db::TempDirectory = zr::os::TempDirectory();
  setCentralWidget(new QLabel(this));
  resize(1024, 768);
  try {
    dm.open();
    refreshCaption();
    bool ok = false;
    const int mode =
        zr::db::QueryValue(dbName(), u"SELECT AUTO_ID FROM SYS_ID_TABLE WHERE NAME_ID = '分类编号'"_qs)
            .toInt(&ok);
    zr::db::ArchiveNumberingMode = ok ? mode : 0;
    QString title = zr::db::QueryValue(
        dbName(), u"SELECT PROGRAM_NAME FROM SYS_PROGRAM_TABLE WHERE COMPOSE_ID = 1 And PROGRAM_ID = 3"_qs);
    const qsizetype cut = title.indexOf(u"查询管理");
    if (cut >= 0)
      title = title.left(cut);
    zr::db::ItemTitle = title.isEmpty() ? QStringLiteral("档案明细资料") : title;
    zr::db::ItemQueryProgramName = zr::db::ItemTitle + u"查询管理";
  } catch (...) {
    zr::db::HandleException(this, std::current_exception());
    zr::db::StartupFailed = true;
  }
}

void TMainForm::refreshCaption() {
  zr::db::OrganisationName =
      zr::db::QueryValue(dbName(), QStringLiteral("SELECT COMPANY_NAME FROM  SYS_COMPANY_TABLE "));
  setWindowTitle(zr::db::OrganisationName + u"典藏库房管理系统");
}

} // namespace zr::app
