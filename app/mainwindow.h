#pragma once
// The first window: it shows that the database opened and what it holds. The start-up with
// splash, logon and the full main window replace it.
#include <QtWidgets/QMainWindow>

namespace zr::sql {
class Database;
}

namespace zr::app {

class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  explicit TMainForm(zr::sql::Database &db, QWidget *parent = nullptr);
};

} // namespace zr::app
