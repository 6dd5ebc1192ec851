#include "app/zrapplication.h"

#include "db/exceptionhandler.h"

namespace zr::app {

bool TZRApplication::notify(QObject *receiver, QEvent *event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    zr::db::HandleException(receiver, std::current_exception());
    return false;
  }
}

} // namespace zr::app
