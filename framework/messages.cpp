#include "framework/messages.h"

#include "db/exceptionhandler.h"
#include "platform/ui/common.h"

#include <exception>

namespace zr::fw {

void warn(const QString &text) {
  zr::ui::ShowWarning(text);
}
bool confirm(const QString &text) {
  return zr::ui::Confirm(text);
}
void reportError() {
  zr::db::HandleException(nullptr, std::current_exception());
}

} // namespace zr::fw
