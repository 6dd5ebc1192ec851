#include "platform/ui/terrormsgform.h"

#include "platform/os/gbk.h"
#include "platform/ui/common.h"
#include "platform/ui/prompter.h"

#include <QtCore/QSaveFile>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::ui {

TErrorMsgForm::TErrorMsgForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ErrorMsgForm"));
  setWindowTitle(QStringLiteral("信息显示窗口"));
  setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto *layout = new QVBoxLayout(this);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setAttribute(Qt::WA_InputMethodEnabled, false);
  layout->addWidget(Memo1);
  auto *row = new QHBoxLayout;
  Button_Save = new QPushButton(QStringLiteral("保存"), this);
  Button_Save->setObjectName(QStringLiteral("Button_Save"));
  Button_Close = new QPushButton(QStringLiteral("关闭"), this);
  Button_Close->setObjectName(QStringLiteral("Button_Close"));
  row->addStretch();
  row->addWidget(Button_Save);
  row->addWidget(Button_Close);
  layout->addLayout(row);
  connect(Button_Save, &QPushButton::clicked, this, &TErrorMsgForm::Button_SaveClick);
  connect(Button_Close, &QPushButton::clicked, this, &QDialog::accept);
  resize(600, 400);
}

void TErrorMsgForm::addLine(const QString &line) {
  Memo1->appendPlainText(line);
}

QStringList TErrorMsgForm::lines() const {
  const QString t = Memo1->toPlainText();
  return t.isEmpty() ? QStringList() : t.split(u'\n');
}

void TErrorMsgForm::Button_SaveClick() {
  const QString path = prompter().file(
      {this, FileDialogKind::Save, QStringLiteral("保存"), m_fileName, QStringLiteral("txt|*.txt")});
  if (path.isEmpty())
    return;
#ifdef Q_OS_WIN
  const QString text = lines().join(u"\r\n") + u"\r\n";
#else
  const QString text = lines().join(u'\n') + u'\n';
#endif
  // The users' text files are GBK; a line GBK cannot hold keeps the whole file in UTF-8
  // rather than losing characters.
  bool ok = false;
  QByteArray bytes = zr::gbk::encode(text, &ok);
  if (!ok)
    bytes = text.toUtf8();
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
    ShowWarningFor(this, u"文件保存错误: " % path);
}

} // namespace zr::ui
