#include "framework/forms/tzrappform.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::fw {

TZRAppForm::TZRAppForm(QWidget *owner) : TZRBaseForm(owner) {
  m_layout = new QVBoxLayout(this);
  m_layout->setContentsMargins(0, 0, 0, 0);
  m_layout->setSpacing(0);
  CoolBar1 = new QWidget(this);
  CoolBar1->setObjectName(u"CoolBar1"_qs);
  auto *coolLayout = new QHBoxLayout(CoolBar1);
  coolLayout->setContentsMargins(2, 2, 2, 2);
  // A plain row rather than a QToolBar, so a window shows or hides a button with setVisible.
  ToolBar1 = new QWidget(CoolBar1);
  ToolBar1->setObjectName(u"ToolBar1"_qs);
  ToolBar1->setFocusPolicy(Qt::StrongFocus);
  m_row = new QHBoxLayout(ToolBar1);
  m_row->setContentsMargins(0, 0, 0, 0);
  m_row->setSpacing(1);
  coolLayout->addWidget(ToolBar1);
  m_layout->addWidget(CoolBar1);

  using SP = QStyle::StandardPixmap;
  button_add = addButton("button_add", u"增加F5"_qs, SP::SP_FileDialogNewFolder);
  button_edit = addButton("button_edit", u"编辑F6"_qs, SP::SP_FileDialogDetailedView);
  button_delete = addButton("button_delete", u"删除F7"_qs, SP::SP_TrashIcon);
  button_save = addButton("button_save", u"保存F8"_qs, SP::SP_DialogSaveButton);
  button_cancel = addButton("button_cancel", u"取消F9"_qs, SP::SP_DialogCancelButton);
  button_find = addButton("button_find", u"查找F10"_qs, SP::SP_FileDialogContentsView);
  button_First = addButton("button_First", u"头一条"_qs, SP::SP_MediaSkipBackward, false);
  button_Prior = addButton("button_Prior", u"前一条 "_qs, SP::SP_MediaSeekBackward, false);
  button_next = addButton("button_next", u"下一条"_qs, SP::SP_MediaSeekForward, false);
  button_Last = addButton("button_Last", u"末一条"_qs, SP::SP_MediaSkipForward, false);
  Button_Other = addButton("Button_Other", u"补充"_qs, SP::SP_FileIcon, false);
  button_check = addButton("button_check", u"确认"_qs, SP::SP_DialogApplyButton, true, 1);
  button_print = addButton("button_print", u"打印F11"_qs, SP::SP_ComputerIcon);
  button_close = addButton("button_close", u"关闭F12"_qs, SP::SP_DialogCloseButton, true, 1);
  m_row->addStretch(1);
}

QToolButton *TZRAppForm::addButton(const char *name, const QString &caption, int image, bool visible,
                                   int tag) {
  auto *b = new QToolButton(ToolBar1);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(caption);
  b->setIcon(style()->standardIcon(QStyle::StandardPixmap(image)));
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  b->setProperty("Tag", tag);
  b->setFocusPolicy(Qt::NoFocus);
  b->setAutoRaise(true);
  b->setIconSize(QSize(24, 24));
  b->setMinimumWidth(56);
  m_row->addWidget(b);
  b->setVisible(visible);
  m_buttons << b;
  return b;
}

void TZRAppForm::showEvent(QShowEvent *e) {
  TZRBaseForm::showEvent(e);
  if (CoolBar1->isVisible())
    ToolBar1->setFocus(Qt::OtherFocusReason);
}

} // namespace zr::fw
