#include "app/taboutform.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

namespace zr::app {

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent) {
  setObjectName(u"AboutForm"_qs);
  setWindowTitle(u"关于"_qs);
  auto *v = new QVBoxLayout(this);
  TitleLabel = new QLabel(u"典藏库房管理系统"_qs, this);
  TitleLabel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  TitleLabel->setLineWidth(2);
  QFont f = TitleLabel->font();
  f.setPointSize(f.pointSize() + 8);
  f.setBold(true);
  TitleLabel->setFont(f);
  TitleLabel->setAlignment(Qt::AlignCenter);
  auto *picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(64, 64));
  picture->setAlignment(Qt::AlignCenter);
  VersionLabel = new QLabel(u"版本 "_qs + QApplication::applicationVersion(), this);
  VersionLabel->setAlignment(Qt::AlignCenter);
  auto *contact = new QLabel(u"使用中遇到问题，请与本单位的系统管理员联系。\n按F1可随时查看当前窗口的帮助。"_qs, this);
  contact->setAlignment(Qt::AlignCenter);
  Button_ok = new QPushButton(u"确定"_qs, this);
  connect(Button_ok, &QPushButton::clicked, this, &QDialog::accept);
  v->addWidget(TitleLabel);
  v->addWidget(picture);
  v->addWidget(VersionLabel);
  v->addWidget(contact);
  v->addWidget(Button_ok, 0, Qt::AlignCenter);
}

} // namespace zr::app
