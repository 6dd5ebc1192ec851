#include "app/tlogonform.h"

#include "app/dialogkeys.h"
#include "db/exceptionhandler.h"
#include "db/globals.h"
#include "db/queries.h"
#include "db/sqltext.h"
#include "platform/ui/common.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QFrame>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

namespace zr::app {
namespace {
QString dbName() {
  return QString::fromUtf16(zr::sql::kDatabaseName);
}
} // namespace

TLogonForm::TLogonForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("LogonForm"));
  setWindowTitle(QStringLiteral("用户登陆窗口"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  auto *outer = new QVBoxLayout(this);
  auto *Panel2 = new QFrame(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  outer->addWidget(Panel2);
  auto *grid = new QGridLayout(Panel2);
  Image1 = new QLabel(Panel2);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(style()->standardIcon(QStyle::SP_DialogYesButton).pixmap(48, 48));
  grid->addWidget(Image1, 0, 0, 2, 1);
  LongNameLabel = new QLabel(Panel2);
  LongNameLabel->setObjectName(QStringLiteral("LongNameLabel"));
  LongPasswordLabel = new QLabel(Panel2);
  LongPasswordLabel->setObjectName(QStringLiteral("LongPasswordLabel"));
  UserIDBox = new QComboBox(Panel2);
  UserIDBox->setObjectName(QStringLiteral("UserIDBox"));
  UserIDBox->setEditable(true);
  UserIDBox->setInsertPolicy(QComboBox::NoInsert);
  UserIDBox->setMinimumWidth(180);
  PasswordEdit = new QLineEdit(Panel2);
  PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
  PasswordEdit->setEchoMode(QLineEdit::Password);
  grid->addWidget(LongNameLabel, 0, 1);
  grid->addWidget(UserIDBox, 0, 2);
  grid->addWidget(LongPasswordLabel, 1, 1);
  grid->addWidget(PasswordEdit, 1, 2);
  auto *buttons = new QHBoxLayout;
  ButtonOK = new QPushButton(QStringLiteral("确定[F3]"), this);
  ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
  ButtonOK->setAutoDefault(false);
  ButtonCancel = new QPushButton(QStringLiteral("取消[F4]"), this);
  ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
  ButtonCancel->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  outer->addLayout(buttons);
  setTabOrder(UserIDBox, PasswordEdit);
  setTabOrder(PasswordEdit, ButtonOK);
  setTabOrder(ButtonOK, ButtonCancel);

  auto *keys = new DialogKeys(this, ButtonOK, ButtonCancel);
  keys->addInput(UserIDBox);
  keys->addInput(UserIDBox->lineEdit());
  keys->addInput(PasswordEdit);
  connect(ButtonOK, &QPushButton::clicked, this, &TLogonForm::ButtonOKClick);
  connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate();
}

void TLogonForm::FormCreate() {
  const QString style = u"QComboBox, QLineEdit { background: " %
                        zr::db::colorName(zr::db::kDefaultEditColor) %
                        u"; } QComboBox:focus, QLineEdit:focus { background: " %
                        zr::db::colorName(zr::db::kDefaultFocusColor) % u"; }";
  UserIDBox->setStyleSheet(style);
  PasswordEdit->setStyleSheet(style);
  LongNameLabel->setText(QStringLiteral("用户名称"));
  LongPasswordLabel->setText(QStringLiteral("用户口令"));
  try {
    auto c = zr::db::OpenQuery(dbName(), u"SELECT  USE_NAME from SYS_USER_TABLE WHERE STOP_RIGHT ='有效'"_qs);
    for (; !c->eof(); c->next())
      UserIDBox->addItem(c->text(0));
  } catch (...) {
    zr::db::HandleException(this, std::current_exception());
  }
  UserIDBox->setCurrentIndex(-1);
  UserIDBox->setEditText(QString());
}

void TLogonForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  UserIDBox->setFocus();
}

void TLogonForm::ButtonOKClick() {
  const QString user = UserIDBox->currentText().trimmed();
  const QString password = PasswordEdit->text().trimmed();
  // The same text is tried as user number and as user name; every value goes in quoted.
  const QString sql = u"SELECT  USE_ID,USE_NAME,SYS_USER,STOP_RIGHT from SYS_USER_TABLE where ((USE_ID = " %
                      zr::db::quote(user) % u") OR (USE_NAME = " % zr::db::quote(user) %
                      u"))  and USE_PASSWORD = " % zr::db::quote(password) % u" and STOP_RIGHT ='有效'";
  try {
    auto c = zr::db::OpenQuery(dbName(), sql);
    if (!c->eof()) {
      zr::db::CurrentUserName = c->text(1);
      zr::db::CurrentUserId = c->text(0);
      zr::db::CurrentUserIsSystem = c->text(2) == u"是";
      zr::db::CurrentImeName = zr::ui::ReadSetting(QStringLiteral("ZRArchivesImes"));
      accept();
      return;
    }
  } catch (...) {
    zr::db::HandleException(this, std::current_exception());
    return;
  }
  if (m_failures < 3) {
    ++m_failures;
    zr::ui::ShowWarning(QStringLiteral("错误的用户编号或错误的口令"));
    UserIDBox->setFocus();
    return;
  }
  zr::ui::ShowWarning(QStringLiteral("您可能是非法的用户,不能登陆系统"));
  reject();
}

} // namespace zr::app
