#include "catalogue/tsetautoidform.h"

#include "db/exceptionhandler.h"
#include "db/globals.h"
#include "db/idsettings.h"
#include "db/queries.h"
#include "platform/ui/common.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::catalogue {
namespace {

const char16_t *const kArchiveNo = u"档案编号";
const char16_t *const kItemNo = u"档案明细编号";
const char16_t *const kLendNo = u"档案借阅编号";
const char16_t *const kOverdue = u"过期未还提醒";
const char16_t *const kNoBackup = u"不自动数据备份";
const char16_t *const kMode = u"分类编号";

zr::sql::Database &db() {
  return zr::db::namedDatabase(QString::fromUtf16(zr::sql::kDatabaseName));
}

} // namespace

TSetAutoIDForm::TSetAutoIDForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SetAutoIDForm"));
  setWindowTitle(QStringLiteral("编号方式设置窗口"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  auto *layout = new QVBoxLayout(this);
  auto box = [this, layout](const char16_t *name, const QString &text) {
    auto *c = new QCheckBox(text, this);
    c->setObjectName(QString::fromUtf16(name));
    layout->addWidget(c);
    return c;
  };
  CheckBox1 = box(u"CheckBox1", QStringLiteral("系统自动填写档案编号"));
  CheckBox2 = box(u"CheckBox2", u"系统自动填写" % zr::db::ItemTitle % u"编号");
  CheckBox3 = box(u"CheckBox3", QStringLiteral("系统自动填写档案借阅编号"));
  CheckBox5 = box(u"CheckBox5", QStringLiteral("启动借阅档案过期未还提醒"));
  CheckBox4 = box(u"CheckBox4", QStringLiteral("系统自动备份数据"));
  RadioGroup1 = new QGroupBox(QStringLiteral("档案编号方式及重复检查设置"), this);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  auto *grid = new QGridLayout(RadioGroup1);
  const char16_t *items[] = {u"统一档案编号", u"按一级档案类别编号", u"按档案类别编号", u"不检查重复编号"};
  for (int i = 0; i < 4; ++i) {
    auto *r = new QRadioButton(QString::fromUtf16(items[i]), RadioGroup1);
    r->setObjectName(u"RadioItem" % QString::number(i));
    grid->addWidget(r, i / 2, i % 2);
    RadioItems << r;
  }
  layout->addWidget(RadioGroup1);
  Button_ok = new QPushButton(QStringLiteral("确定"), this);
  Button_ok->setObjectName(QStringLiteral("Button_ok"));
  Button_ok->setDefault(true);
  layout->addWidget(Button_ok, 0, Qt::AlignHCenter);
  connect(Button_ok, &QPushButton::clicked, this, &TSetAutoIDForm::Button_okClick);
}

int TSetAutoIDForm::itemIndex() const {
  for (int i = 0; i < RadioItems.size(); ++i)
    if (RadioItems[i]->isChecked())
      return i;
  return -1;
}

void TSetAutoIDForm::showEvent(QShowEvent *e) {
  FormShow();
  QDialog::showEvent(e);
}

void TSetAutoIDForm::FormShow() {
  CheckBox2->setText(u"系统自动填写" % zr::db::ItemTitle % u"编号");
  try {
    auto &d = db();
    const auto yes = [&d](const char16_t *name) {
      return zr::db::ReadYesNoSetting(d, QString::fromUtf16(name));
    };
    CheckBox1->setChecked(yes(kArchiveNo));
    CheckBox2->setChecked(yes(kItemNo));
    CheckBox3->setChecked(yes(kLendNo));
    CheckBox5->setChecked(yes(kOverdue));
    CheckBox4->setChecked(!yes(kNoBackup));
    bool ok = false;
    const int mode = zr::db::ReadIdSetting(d, QString::fromUtf16(kMode)).trimmed().toInt(&ok);
    zr::db::ArchiveNumberingMode = ok && mode >= 0 && mode <= 3 ? mode : 0;
  } catch (...) {
    zr::db::HandleException(this, std::current_exception());
  }
  RadioItems[zr::db::ArchiveNumberingMode]->setChecked(true);
}

void TSetAutoIDForm::Button_okClick() {
  const auto write = [](const char16_t *name, const QString &value) {
    bool ok = false;
    try {
      ok = zr::db::WriteIdSetting(db(), QString::fromUtf16(name), value);
    } catch (const std::exception &) {
    }
    if (!ok)
      zr::ui::ShowWarning(QStringLiteral("参数保存过程发生错误"));
  };
  const auto yn = [](bool b) { return b ? QStringLiteral("是") : QStringLiteral("否"); };
  write(kArchiveNo, yn(CheckBox1->isChecked()));
  write(kItemNo, yn(CheckBox2->isChecked()));
  write(kLendNo, yn(CheckBox3->isChecked()));
  write(kOverdue, yn(CheckBox5->isChecked()));
  write(kNoBackup, yn(!CheckBox4->isChecked()));
  const int index = qMax(0, itemIndex());
  write(kMode, QString::number(index));
  zr::db::ArchiveNumberingMode = index;
  accept();
}

void TSetAutoIDForm::reject() {
  Button_okClick();
}

} // namespace zr::catalogue
