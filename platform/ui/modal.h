#pragma once
// Every modal window of the system runs through execModal, so a test can take the place of the
// user: its handler gets the dialog, drives it with keys and clicks, and returns its result,
// and nothing ever blocks on a window.
#include <functional>

class QDialog;

namespace zr::ui {

using ModalHandler = std::function<int(QDialog &)>;

// Runs the dialog modally (or hands it to the installed handler) and returns its result.
int execModal(QDialog &dialog);
// Installs a handler and returns the previous one; an empty handler restores exec().
ModalHandler setModalHandler(ModalHandler handler);

class ModalHandlerGuard {
public:
  explicit ModalHandlerGuard(ModalHandler handler) : m_previous(setModalHandler(std::move(handler))) {}
  ~ModalHandlerGuard() { setModalHandler(std::move(m_previous)); }

private:
  ModalHandler m_previous;
};

} // namespace zr::ui
