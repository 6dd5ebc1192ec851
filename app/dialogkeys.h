#pragma once
// The keys of the small dialogs: F3 presses OK, F4 presses close, Enter in an input moves to
// the next input (it never presses the default button behind the user's back).
#include <QtCore/QObject>

class QAbstractButton;
class QDialog;
class QWidget;

namespace zr::app {

class DialogKeys : public QObject {
  Q_OBJECT
public:
  DialogKeys(QDialog *dialog, QAbstractButton *ok, QAbstractButton *close);
  // Enter in this input moves the focus on.
  void addInput(QWidget *input);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  QDialog *m_dialog;
  QAbstractButton *m_ok, *m_close;
  QList<QObject *> m_inputs;
};

} // namespace zr::app
