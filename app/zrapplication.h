#pragma once
// The application object: an exception that leaves an event handler is not lost (Qt cannot
// carry it through its event loop) but handed to the exception handler, which shows it.
#include <QtWidgets/QApplication>

namespace zr::app {

class TZRApplication : public QApplication {
  Q_OBJECT
public:
  TZRApplication(int &argc, char **argv) : QApplication(argc, argv) {}
  bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace zr::app
