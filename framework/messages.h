#pragma once
// The boxes the controller needs, on the common functions every window uses.
#include <QtCore/QString>

namespace zr::fw {

void warn(const QString &text);    // ShowWarning
bool confirm(const QString &text); // Confirm: the text gets " ?"
// Inside a catch block: the caught failure, shown by the application's exception handler.
void reportError();

} // namespace zr::fw
