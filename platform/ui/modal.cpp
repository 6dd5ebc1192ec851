#include "platform/ui/modal.h"

#include <QtWidgets/QDialog>

namespace zr::ui {
namespace {
ModalHandler &handler() {
  static ModalHandler h;
  return h;
}
} // namespace

int execModal(QDialog &dialog) {
  if (const ModalHandler h = handler())
    return h(dialog);
  return dialog.exec();
}

ModalHandler setModalHandler(ModalHandler h) {
  ModalHandler old = std::move(handler());
  handler() = std::move(h);
  return old;
}

} // namespace zr::ui
