#include "app/tenrolform.h"

#include "framework/zrquery.h"

#include "app/dialogkeys.h"
#include "catalogue/tsetautoidform.h"
#include "db/errortext.h"
#include "db/exceptionhandler.h"
#include "db/globals.h"
#include "db/queries.h"
#include "db/sqltext.h"
#include "framework/zrquery.h"
#include "platform/os/files.h"
#include "platform/ui/common.h"
#include "platform/ui/inputlimit.h"
#include "platform/ui/modal.h"
#include "platform/ui/prompter.h"
#include "platform/ui/tzrthread.h"

#include <QtGui/QInputMethod>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFrame>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::app {
namespace {

QString dbName() {
  return QString::fromUtf16(zr::sql::kDatabaseName);
}
zr::sql::Database &db() {
  return zr::db::namedDatabase(dbName());
}

QPixmap sidePicture() {
  QPixmap pm(140, 220);
  QPainter p(&pm);
  QLinearGradient g(0, 0, 0, pm.height());
  g.setColorAt(0, QColor(64, 128, 128));
  g.setColorAt(1, QColor(192, 128, 0));
  p.fillRect(pm.rect(), g);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setPixelSize(20);
  f.setBold(true);
  p.setFont(f);
  p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("典藏\n库房\n管理"));
  return pm;
}

} // namespace

const QList<ReportTemplateSeed> &reportTemplateSeeds() {
  static const QList<ReportTemplateSeed> seeds{
      {u"200700000007", u"", u"档案资料", u"M"},
      {u"200700000008", u"Q", u"档案明细资料查询报表", u"M"},
      {u"200700000009", u"D", u"档案明细资料报表", u"MD"},
      {u"200700000011", u"L", u"档案借阅资料", u"M"},
      {u"200700000010", u"N", u"档案借阅单", u"MD"},
  };
  return seeds;
}

TEnrolForm::TEnrolForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("EnrolForm"));
  setWindowTitle(QStringLiteral("注册窗口"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  auto *outer = new QHBoxLayout(this);
  auto *Panel2 = new QFrame(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto *pl = new QVBoxLayout(Panel2);
  Image2 = new QLabel(Panel2);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setPixmap(sidePicture());
  pl->addWidget(Image2);
  outer->addWidget(Panel2);

  auto *right = new QVBoxLayout;
  auto *grid = new QGridLayout;
  int row = 0;
  auto edit = [this, grid, &row](const char16_t *name, const char16_t *label, int maxBytes, bool upper,
                                 bool password) {
    auto *l = new QLabel(QString::fromUtf16(label), this);
    auto *e = new QLineEdit(this);
    e->setObjectName(QString::fromUtf16(name));
    zr::ui::limitInput(e, maxBytes, upper);
    if (password)
      e->setEchoMode(QLineEdit::Password);
    l->setBuddy(e);
    grid->addWidget(l, row, 0);
    grid->addWidget(e, row, 1);
    ++row;
    return e;
  };
  ZREdit1 = edit(u"ZREdit1", u"单位名称", 40, false, false);
  ZREdit4 = edit(u"ZREdit4", u"用户编号", 6, true, false);
  ZREdit5 = edit(u"ZREdit5", u"用户姓名", 20, false, false);
  ZREdit2 = edit(u"ZREdit2", u"口令", 10, false, true);
  ZREdit3 = edit(u"ZREdit3", u"口令确认", 10, false, true);
  Label10 = new QLabel(QStringLiteral("输入法"), this);
  Label10->setObjectName(QStringLiteral("Label10"));
  ZRComboBox1 = new QComboBox(this);
  ZRComboBox1->setObjectName(QStringLiteral("ZRComboBox1"));
  grid->addWidget(Label10, row, 0);
  grid->addWidget(ZRComboBox1, row, 1);
  Label10->hide();
  ZRComboBox1->hide();
  right->addLayout(grid);
  Label11 = new QLabel(QStringLiteral("自己输入:单位名称、 用户编号、用户姓名、口令等！"), this);
  Label11->setObjectName(QStringLiteral("Label11"));
  right->addWidget(Label11);
  auto *buttons = new QHBoxLayout;
  Button_Ok = new QPushButton(QStringLiteral("确认F3"), this);
  Button_Ok->setObjectName(QStringLiteral("Button_Ok"));
  Button_Ok->setAutoDefault(false);
  Button_Close = new QPushButton(QStringLiteral("关闭F4"), this);
  Button_Close->setObjectName(QStringLiteral("Button_Close"));
  Button_Close->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(Button_Ok);
  buttons->addWidget(Button_Close);
  right->addStretch();
  right->addLayout(buttons);
  outer->addLayout(right);

  ZRThread = new zr::ui::TZRThread(this);
  ZRThread->Caption = QStringLiteral("正在建立报表数据......");

  // FormCreate: the shared edit colour; the focused input shows aqua.
  const QString style = u"QLineEdit, QComboBox { background: " %
                        zr::db::colorName(zr::db::kDefaultEditColor) %
                        u"; } QLineEdit:focus { background: aqua; } QComboBox:focus { background: " %
                        zr::db::colorName(zr::db::kDefaultFocusColor) % u"; }";
  auto *keys = new DialogKeys(this, Button_Ok, Button_Close);
  for (QWidget *w :
       std::initializer_list<QWidget *>{ZREdit1, ZREdit4, ZREdit5, ZREdit2, ZREdit3, ZRComboBox1}) {
    w->setStyleSheet(style);
    keys->addInput(w);
  }
  // The input methods this machine offers, then two empty entries.
  const QString locale = QGuiApplication::inputMethod()->locale().nativeLanguageName();
  if (!locale.isEmpty())
    ZRComboBox1->addItem(locale);
  ZRComboBox1->addItem(QString());
  ZRComboBox1->addItem(QString());
  ZRComboBox1->setCurrentIndex(-1);

  connect(Button_Ok, &QPushButton::clicked, this, &TEnrolForm::Button_OkClick);
  connect(Button_Close, &QPushButton::clicked, this, &QDialog::reject);
}

void TEnrolForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  ZREdit1->setFocus();
}

void TEnrolForm::Button_OkClick() {
  const QString name = ZREdit1->text().trimmed(), id = ZREdit4->text().trimmed(),
                user = ZREdit5->text().trimmed(), pwd = ZREdit2->text().trimmed(),
                confirm = ZREdit3->text().trimmed();
  const struct {
    bool failed;
    const char16_t *message;
    QLineEdit *focus;
  } checks[] = {
      {name.isEmpty(), u"必须输入单位名称", ZREdit1},    {id.isEmpty(), u"必须输入用户编号", ZREdit4},
      {user.isEmpty(), u"必须输入用户姓名", ZREdit5},    {pwd.isEmpty(), u"必须输入用户口令", ZREdit2},
      {confirm.isEmpty(), u"必须确认用户口令", ZREdit3}, {pwd != confirm, u"口令确认错误", ZREdit2},
  };
  for (const auto &c : checks)
    if (c.failed) {
      zr::ui::ShowWarning(QString::fromUtf16(c.message));
      c.focus->setFocus();
      return;
    }

  // 1. The organisation: a second row is never added, the existing ones are renamed.
  bool ok = false;
  try {
    const double count =
        zr::db::QueryNumber(dbName(), QStringLiteral("SELECT COUNT(COMPANY_ID) FROM SYS_COMPANY_TABLE "));
    ok = zr::db::ExecSql(
        dbName(), count > 0
                      ? QString(u"UPDATE SYS_COMPANY_TABLE SET COMPANY_NAME = " % zr::db::quote(name))
                      : QString(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001'," %
                                zr::db::quote(name) % u')'));
  } catch (const std::exception &) {
  }
  if (!ok) {
    zr::ui::ShowWarning(QStringLiteral("单位名称注册错误"));
    return;
  }
  // 2, 3. The first system user replaces any user of that number.
  zr::db::ExecSql(dbName(), u"DELETE  FROM SYS_USER_TABLE WHERE USE_ID = " % zr::db::quote(id));
  const QString date = zr::db::dialectDate(zr::db::WorkingDate);
  if (!zr::db::ExecSql(dbName(),
                       u"INSERT INTO SYS_USER_TABLE(USE_PASSWORD,USE_ID,USE_NAME,SYS_USER,STOP_RIGHT,"
                       u"CREATE_NAME,CREATE_DATE) VALUES(" %
                           zr::db::quote(pwd) % u',' % zr::db::quote(id) % u',' % zr::db::quote(user) %
                           u",'是','有效'," % zr::db::quote(user) % u',' % zr::db::quote(date) % u')')) {
    zr::ui::ShowWarning(QStringLiteral("用户注册错误"));
    return;
  }
  // 4. The run-wide user.
  zr::db::CurrentUserIsSystem = true;
  zr::db::CurrentUserName = user;
  zr::db::CurrentUserId = id;
  zr::db::CurrentImeName = ZRComboBox1->currentText();
  zr::db::JustEnrolled = true;
  zr::ui::WriteSetting(QStringLiteral("ZRArchivesImes"), zr::db::CurrentImeName);
  // 5. Every right on every program; a refusal is reported and setup stays open.
  if (!writeRights(id))
    return;
  // 6. The numbering scheme.
  hide();
  {
    zr::catalogue::TSetAutoIDForm form(this);
    zr::ui::execModal(form);
  }
  // 7. What the user must remember.
  zr::ui::prompter().message(
      {nullptr, QString::fromUtf16(zr::ui::kInfoCaption),
       u"您的用户名称是：" % user % u"\n\r用户编号是：" % id % u"\n\r您的口令是：" % pwd % u"       ",
       zr::ui::Icon::Warning, zr::ui::Buttons::Ok, false});
  // 8. The default report templates.
  createReportTemplates();
  accept();
}

bool TEnrolForm::writeRights(const QString &id) {
  static const int programs[][2] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 1}, {2, 2}};
  try {
    auto &d = db();
    // One unit: either the old rights give way to the full set, or they stay as they were.
    zr::sql::Transaction tx(d);
    d.exec(QStringLiteral("DELETE FROM SYS_RIGHT_TABLE"));
    for (const auto &p : programs)
      d.exec(u"INSERT INTO "
             u"SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,EDIT_RIGHT,DELETE_RIGHT,BROWSE_RIGHT,"
             u"PRINT_RIGHT,VERIFY_RIGHT,CURRENCY_RIGHT)VALUES(" %
             zr::db::quote(id) % u',' % QString::number(p[0]) % u',' % QString::number(p[1]) %
             u",'是','是','是','是','是','是','是')");
    tx.commit();
    return true;
  } catch (const zr::sql::EngineError &e) {
    zr::ui::ShowWarning(zr::db::messageFor(e));
  } catch (const zr::sql::ConversionError &e) {
    zr::ui::ShowWarning(zr::db::messageFor(e));
  } catch (const std::exception &e) {
    zr::ui::ShowWarning(QString::fromUtf8(e.what()));
  }
  return false;
}

void TEnrolForm::createReportTemplates() {
  ZRThread->SetMax(5);
  ZRThread->SetPosition(0);
  ZRThread->ProgressBar1 = true;
  ZRThread->Start();
  const QString dir = QDir::fromNativeSeparators(zr::db::DataDirectory);
  try {
    // The template rows go through the record-editing controller, as every window's rows do.
    zr::fw::TZRQuery query;
    query.setDatabase(&db());
    query.setTableName(QStringLiteral("SYS_PRINT_NAME_TABLE"), true);
    int step = 0;
    for (const char16_t *category : {u"201", u"202", u"203", u"204"}) {
      ZRThread->SetPosition(++step);
      for (const ReportTemplateSeed &s : reportTemplateSeeds()) {
        const QString index = QString::fromUtf16(category) + QString::fromUtf16(s.suffix);
        query.CancelRecord();
        query.close();
        query.setSql(u"SELECT * FROM SYS_PRINT_NAME_TABLE WHERE  PRINT_INDEX = " % zr::db::quote(index));
        query.open();
        if (!query.isEmpty())
          continue;
        const QString seed = dir + u'/' + QString::fromUtf16(s.seed);
        if (!QFileInfo(seed).isFile() || !zr::os::CopyFiles(seed, dir + u'/' + index))
          continue;
        if (!query.AddRecord())
          throw std::runtime_error("template row");
        query.fieldByName(QStringLiteral("PRINT_ID"))->setValue(index);
        query.fieldByName(QStringLiteral("PRINT_INDEX"))->setValue(index);
        query.fieldByName(QStringLiteral("PRINT_NAME"))->setValue(QString::fromUtf16(s.name));
        query.fieldByName(QStringLiteral("PRINT_TYPE"))->setValue(QString::fromUtf16(s.type));
        if (!query.SaveRecord())
          throw std::runtime_error("template row");
      }
    }
    query.CancelRecord();
    query.close();
  } catch (const std::exception &) {
    ZRThread->Stop();
    zr::ui::ShowWarning(QStringLiteral("报表建立过程发生错误"));
    return;
  }
  ZRThread->Stop();
}

} // namespace zr::app
