#pragma once
// The three boxes the controller needs, on the shared prompter.
#include <QtCore/QString>
#include <exception>

namespace zr::fw {

void warn(const QString &text);          // "提示信息", warning
bool confirm(const QString &text);       // "提示信息", question; the text gets " ?"
// A failure of the database shown in the system's words (translated engine records).
void reportError(const std::exception &e);

} // namespace zr::fw
