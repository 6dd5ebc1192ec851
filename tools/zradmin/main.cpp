#include "tools/zradmin/commands.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char **argv) {
  // Reports need fonts, hence the graphical application object; headless unless told otherwise.
  std::unique_ptr<QCoreApplication> gui;
  if (argc > 1 && std::strcmp(argv[1], "report") == 0) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    gui = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    gui = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication &app = *gui;
  QCoreApplication::setApplicationName(QStringLiteral("zradmin"));
  QTextStream out(stdout);
  QTextStream err(stderr);
  out.setEncoding(QStringConverter::Utf8);
  err.setEncoding(QStringConverter::Utf8);
  const int rc = zr::admin::run(app.arguments().mid(1), out, err);
  out.flush();
  err.flush();
  return rc;
}
