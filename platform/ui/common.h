#pragma once
// The common functions that speak to the user: the standard message boxes, the capital amount
// (which warns when it cannot write a number) and the workstation settings, which warn when
// the store cannot be opened.
#include <QtCore/QString>

class QWidget;

namespace zr::ui {

inline constexpr char16_t kInfoCaption[] = u"提示信息";
inline constexpr char16_t kErrorCaption[] = u"错误信息";

// Question with Yes/No; the text is shown followed by " ?". True when the answer is Yes.
bool Confirm(const QString &text);
void ShowError(const QString &text);
// The system's way to report a refused input.
void ShowWarning(const QString &text);
void ShowWarningFor(QWidget *window, const QString &text);
void ShowErrorFor(QWidget *window, const QString &text);

// As zr::os::CapitalAmountText; more than twelve integer digits warn "所处理数据超出范围!".
QString CapitalAmount(const QString &text);

// Workstation settings under SOFTWARE\ZRSOFTWARE. A store that cannot be opened warns
// "注册表打开错误" and reads as empty.
QString ReadSetting(const QString &name);
bool WriteSetting(const QString &name, const QString &value);
// The value when it is an integer, else empty.
QString ReadIntSetting(const QString &name);

} // namespace zr::ui
