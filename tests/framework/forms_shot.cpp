// Shows an organisation window over a stand-in main window for a few seconds, so a screen grab
// can check the tool bar's Chinese captions on a real display. Not a test: nothing is asserted.
#include "controls/tzrndbgrid.h"
#include "controls/zredits.h"
#include "framework/forms/tzrdform.h"
#include "framework/zrquery.h"
#include "tests/support/testenv.h"

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QMainWindow>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  zr::test::TestEnv env;
  zr::sql::Database &db = env.installAndOpen();
  zr::sql::Database::registerNamed(QString::fromUtf16(zr::sql::kDatabaseName), &db);
  db.exec(
      u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME,COMPANY_ADDRESS) VALUES('000001','市档案馆','中山路一号')"_qs);
  db.exec(
      u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME,COMPANY_ADDRESS) VALUES('000002','区档案室','解放路二号')"_qs);

  QMainWindow main;
  main.setWindowTitle(u"市档案馆典藏库房管理系统"_qs);
  main.setGeometry(0, 0, 1270, 790);
  main.show();

  auto *form = new zr::fw::TZRDForm(&main);
  form->setWindowTitle(u"单位名称录入编辑"_qs);
  form->Query->setTableName(u"SYS_COMPANY_TABLE"_qs);
  form->Query->setSql(u"SELECT * FROM SYS_COMPANY_TABLE ORDER BY COMPANY_ID"_qs);
  auto *layout = new QFormLayout(form->Panel1);
  for (const auto &[field, caption] :
       {std::pair{u"COMPANY_ID"_qs, u"单位编号"_qs}, std::pair{u"COMPANY_NAME"_qs, u"单位名称"_qs},
        std::pair{u"COMPANY_ADDRESS"_qs, u"单位地址"_qs}}) {
    auto *e = new zr::controls::TZRDBEdit(form->Panel1);
    e->setDataSource(form->Query, field);
    layout->addRow(caption, e);
  }
  auto *grid = new zr::controls::TZRNDBGrid(form->Panel1);
  grid->setDataSource(form->Query);
  layout->addRow(grid);
  form->resize(860, 520);
  form->Query->OpenData();
  form->ZRChild->ShowChild(1);
  const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 8;
  QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
  return app.exec();
}
