#include "app/dialogkeys.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QDialog>

namespace zr::app {

DialogKeys::DialogKeys(QDialog *dialog, QAbstractButton *ok, QAbstractButton *close)
    : QObject(dialog), m_dialog(dialog), m_ok(ok), m_close(close) {
  dialog->installEventFilter(this);
}

void DialogKeys::addInput(QWidget *input) {
  m_inputs << input;
  input->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() != QEvent::KeyPress)
    return false;
  const int key = static_cast<QKeyEvent *>(event)->key();
  if (key == Qt::Key_F3) {
    m_ok->click();
    return true;
  }
  if (key == Qt::Key_F4) {
    m_close->click();
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_inputs.contains(watched)) {
    // From the input itself, not from wherever the focus happens to be.
    QWidget *from = static_cast<QWidget *>(watched);
    if (from->parentWidget() && from->parentWidget()->focusProxy() == from)
      from = from->parentWidget();
    if (auto *owner = qobject_cast<QWidget *>(from->parent());
        owner && from->focusProxy() == nullptr && owner->focusProxy() == nullptr && m_inputs.contains(owner))
      from = owner; // the line edit inside an editable combo box
    QWidget *next = from->nextInFocusChain();
    while (next != from &&
           (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled() || next->isHidden() ||
            next->isAncestorOf(from) || from->isAncestorOf(next) || next->window() != m_dialog))
      next = next->nextInFocusChain();
    next->setFocus(Qt::TabFocusReason);
    return true;
  }
  return false;
}

} // namespace zr::app
