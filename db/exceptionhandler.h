#pragma once
// The application's last catch: every failure no window handles ends here and is shown in the
// system's words. Engine records it knows show only their message; others show
// "数据库操作错误" and then the technical text.
#include <exception>
#include <stdexcept>

class QObject;

namespace zr::db {

// Thrown to leave an operation quietly: the handler shows nothing for it.
class EAbort : public std::exception {
public:
  const char *what() const noexcept override { return "Operation aborted"; }
};

void HandleException(QObject *sender, std::exception_ptr error);

} // namespace zr::db
