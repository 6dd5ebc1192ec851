#include "app/tselectimesform.h"

#include "app/dialogkeys.h"
#include "db/globals.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

namespace zr::app {

QStringList systemInputMethods() {
  QStringList out;
  for (const char *var : {"QT_IM_MODULE", "GTK_IM_MODULE"}) {
    const QString v = qEnvironmentVariable(var).trimmed();
    if (!v.isEmpty() && !out.contains(v))
      out << v;
  }
  const QString x = qEnvironmentVariable("XMODIFIERS");
  if (const qsizetype at = x.indexOf(u"@im="); at >= 0) {
    const QString v = x.mid(at + 4).trimmed();
    if (!v.isEmpty() && !out.contains(v))
      out << v;
  }
  return out;
}

TSelectImesForm::TSelectImesForm(QWidget *parent) : QDialog(parent) {
  setObjectName(u"SelectImesForm"_qs);
  setWindowTitle(u"输入法选择窗口"_qs);
  auto *grid = new QGridLayout(this);
  ZRComboBox1 = new QComboBox(this);
  ZRComboBox1->setObjectName(u"ZRComboBox1"_qs);
  ZRComboBox1->addItems(systemInputMethods() + QStringList{QString(), QString(), QString()});
  ZRComboBox1->setStyleSheet(u"QComboBox { background: "_qs % zr::db::colorName(zr::db::kDefaultEditColor) %
                             u"; } QComboBox:focus { background: " % zr::db::colorName(zr::db::kDefaultFocusColor) %
                             u"; }");
  if (const int i = ZRComboBox1->findText(zr::db::CurrentImeName); i >= 0)
    ZRComboBox1->setCurrentIndex(i);
  grid->addWidget(new QLabel(u"输入法"_qs, this), 0, 0);
  grid->addWidget(ZRComboBox1, 0, 1);
  Button_ok = new QPushButton(u"确定"_qs, this);
  Button_Close = new QPushButton(u"关闭"_qs, this);
  grid->addWidget(Button_ok, 1, 0);
  grid->addWidget(Button_Close, 1, 1);
  // Linux switches input methods per desktop, not per control: the choice is remembered and
  // handed to the edit controls, which is all that can be done here.
  connect(Button_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button_Close, &QPushButton::clicked, this, &QDialog::reject);
}

QString TSelectImesForm::choice() const {
  return ZRComboBox1->currentText();
}

} // namespace zr::app
