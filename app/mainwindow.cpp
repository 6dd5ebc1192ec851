#include "app/mainwindow.h"

#include "platform/sql/database.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QVBoxLayout>

namespace zr::app {

TMainForm::TMainForm(zr::sql::Database &db, QWidget *parent) : QMainWindow(parent) {
  QString org;
  try {
    zr::sql::Query q(db, QStringLiteral("SELECT COMPANY_NAME FROM  SYS_COMPANY_TABLE "));
    if (q.next())
      org = q.value(0).toString();
  } catch (const std::exception &) {
  }
  setWindowTitle(org + u"典藏库房管理系统");
  auto *central = new QWidget(this);
  auto *layout = new QVBoxLayout(central);
  layout->addWidget(new QLabel(u"数据目录: " % db.directory(), central));
  auto *list = new QListWidget(central);
  list->addItems(db.tables());
  layout->addWidget(new QLabel(u"数据库表 (" % QString::number(db.tables().size()) % u")", central));
  layout->addWidget(list);
  setCentralWidget(central);
  statusBar()->showMessage(QStringLiteral("卓睿典藏库房管理系统"));
  resize(800, 600);
}

} // namespace zr::app
