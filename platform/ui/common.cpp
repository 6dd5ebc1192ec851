#include "platform/ui/common.h"

#include "platform/os/numbertext.h"
#include "platform/os/settingsstore.h"
#include "platform/ui/prompter.h"

namespace zr::ui {
namespace {

Answer box(QWidget *owner, const char16_t *caption, const QString &text, Icon icon, Buttons buttons) {
  return prompter().message({owner, QString::fromUtf16(caption), text, icon, buttons, true});
}

void registryError() {
  ShowWarning(QStringLiteral("注册表打开错误"));
}

} // namespace

bool Confirm(const QString &text) {
  return box(nullptr, kInfoCaption, text + u" ?", Icon::Question, Buttons::YesNo) == Answer::Yes;
}
void ShowError(const QString &text) {
  box(nullptr, kErrorCaption, text, Icon::Error, Buttons::Ok);
}
void ShowWarning(const QString &text) {
  box(nullptr, kInfoCaption, text, Icon::Warning, Buttons::Ok);
}
void ShowWarningFor(QWidget *window, const QString &text) {
  box(window, kInfoCaption, text, Icon::Warning, Buttons::Ok);
}
void ShowErrorFor(QWidget *window, const QString &text) {
  box(window, kErrorCaption, text, Icon::Error, Buttons::Ok);
}

QString CapitalAmount(const QString &text) {
  bool outOfRange = false;
  const QString words = zr::os::CapitalAmountText(text, &outOfRange);
  if (outOfRange)
    ShowWarning(QStringLiteral("所处理数据超出范围!"));
  return words;
}

QString ReadSetting(const QString &name) {
  bool ok = true;
  const auto v = zr::os::SettingsStore().read(name, &ok);
  if (!ok) {
    registryError();
    return {};
  }
  return v.value_or(QString());
}

bool WriteSetting(const QString &name, const QString &value) {
  if (!zr::os::SettingsStore().write(name, value)) {
    registryError();
    return false;
  }
  return true;
}

QString ReadIntSetting(const QString &name) {
  const QString v = ReadSetting(name);
  bool ok = false;
  v.trimmed().toLongLong(&ok);
  return ok ? v : QString();
}

} // namespace zr::ui
