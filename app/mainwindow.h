#pragma once
// The main window as far as the start-up needs it: it opens the connection, computes the
// run-wide values and carries the organisation's caption. Menus and tools come with it later.
#include <QtWidgets/QMainWindow>

namespace zr::app {

class TDM;

class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  // Opens the connection of the data module; a failure is shown and sets StartupFailed.
  explicit TMainForm(TDM &dm, QWidget *parent = nullptr);
  // The organisation's name may have been entered since creation (first-run setup).
  void refreshCaption();
};

} // namespace zr::app
