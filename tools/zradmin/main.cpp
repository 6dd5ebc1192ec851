#include "tools/zradmin/commands.h"

#include <QtCore/QCoreApplication>
#include <cstdio>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
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
