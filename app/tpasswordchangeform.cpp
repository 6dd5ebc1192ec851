#include "app/tpasswordchangeform.h"

#include "app/dialogkeys.h"
#include "controls/zredits.h"
#include "db/globals.h"
#include "db/queries.h"
#include "db/sqltext.h"
#include "platform/sql/database.h"
#include "platform/ui/common.h"

#include <QtCore/QTimer>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

namespace zr::app {

namespace {
QString dbName() {
  return QString::fromUtf16(zr::sql::kDatabaseName);
}
} // namespace

TPasswordChangeForm::TPasswordChangeForm(QWidget *parent) : QDialog(parent) {
  setObjectName(u"PasswordChangeForm"_qs);
  setWindowTitle(u"用户口令修改窗口"_qs);
  setMinimumSize(194, 129);
  setMaximumSize(286, 185);
  resize(286, 170);
  auto *grid = new QGridLayout(this);
  const QColor edit(zr::db::colorName(zr::db::kDefaultEditColor));
  const QColor focusColor(zr::db::colorName(zr::db::kDefaultFocusColor));
  auto make = [&](const char16_t *name, const char16_t *label, int row) {
    auto *e = new zr::controls::TZREdit(this);
    e->setObjectName(QString::fromUtf16(name));
    e->setMaxLength(10);
    e->setEchoMode(QLineEdit::Password);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, edit);
    e->setPalette(p);
    e->focus.ColorOnFocus = focusColor;
    auto *l = new QLabel(QString::fromUtf16(label), this);
    l->setBuddy(e);
    grid->addWidget(l, row, 0);
    grid->addWidget(e, row, 1);
    return e;
  };
  ZREdit3 = make(u"ZREdit3", u"老口令", 0);
  ZREdit1 = make(u"ZREdit1", u"新口令", 1);
  ZREdit2 = make(u"ZREdit2", u"确认新口令", 2);
  Button_ok = new QPushButton(u"确定[F3]"_qs, this);
  Button_ok->setObjectName(u"Button_ok"_qs);
  Button_Close = new QPushButton(u"关闭[F4]"_qs, this);
  Button_Close->setObjectName(u"Button_Close"_qs);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Button_ok);
  buttons->addWidget(Button_Close);
  grid->addLayout(buttons, 3, 0, 1, 2);
  setTabOrder(ZREdit3, ZREdit1);
  setTabOrder(ZREdit1, ZREdit2);
  setTabOrder(ZREdit2, Button_ok);
  setTabOrder(Button_ok, Button_Close);
  // Enter on the OK button runs it; in a box it only moves on (the keys below see it first).
  Button_ok->setAutoDefault(true);
  Button_Close->setAutoDefault(false);
  auto *keys = new DialogKeys(this, Button_ok, Button_Close);
  for (QWidget *w : {static_cast<QWidget *>(ZREdit3), static_cast<QWidget *>(ZREdit1),
                     static_cast<QWidget *>(ZREdit2), static_cast<QWidget *>(Button_Close)})
    keys->addInput(w);
  connect(Button_ok, &QPushButton::clicked, this, &TPasswordChangeForm::Button_okClick);
  connect(Button_Close, &QPushButton::clicked, this, &TPasswordChangeForm::Button_CloseClick);
}

void TPasswordChangeForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  ZREdit3->setFocus(Qt::OtherFocusReason);
}

void TPasswordChangeForm::refuse(const QString &text, QWidget *focus) {
  zr::ui::ShowWarning(text);
  focus->setFocus(Qt::OtherFocusReason);
}

void TPasswordChangeForm::Button_okClick() {
  const QString oldPassword = ZREdit3->text().trimmed();
  const QString newPassword = ZREdit1->text().trimmed();
  const QString confirmation = ZREdit2->text().trimmed();
  const QString user = zr::db::CurrentUserId;
  if (oldPassword.isEmpty())
    return refuse(u"必须输入新口令"_qs, ZREdit1);
  const auto found = zr::db::OpenQuery(
      dbName(), u"SELECT  USE_ID,USE_NAME,SYS_USER,STOP_RIGHT from SYS_USER_TABLE where USE_ID = " %
                    zr::db::quote(user) % u" and USE_PASSWORD = " % zr::db::quote(oldPassword));
  if (found->eof())
    return refuse(u"错误的老口令"_qs, ZREdit3);
  if (newPassword.isEmpty())
    return refuse(u"必须输入新口令"_qs, ZREdit1);
  if (confirmation.isEmpty())
    return refuse(u"必须输入新口令"_qs, ZREdit2);
  if (newPassword != confirmation)
    return refuse(u"新口令与确认的新口令不一致"_qs, ZREdit1);
  // Stored as the logon compares it, without surrounding blanks: a password typed with blanks
  // must still log on.
  const bool ok = zr::db::ExecSql(dbName(), u"Update SYS_USER_TABLE set USE_PASSWORD  = " %
                                                zr::db::quote(newPassword) % u" where  USE_ID  = " %
                                                zr::db::quote(user));
  if (!ok)
    return refuse(u"口令改变过程发生错误"_qs, ZREdit1);
  zr::ui::ShowWarning(u"口令改变成功"_qs);
  ZREdit1->clear();
  ZREdit2->clear();
  close();
}

void TPasswordChangeForm::Button_CloseClick() {
  ZREdit1->clear();
  ZREdit2->clear();
  close();
}

} // namespace zr::app
