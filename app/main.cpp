#include "app/mainwindow.h"
#include "app/promptlog.h"
#include "app/startup.h"
#include "app/zrapplication.h"
#include "platform/os/screen.h"

int main(int argc, char **argv) {
  zr::app::TZRApplication app(argc, argv);
  zr::app::installPromptLogFromEnvironment();
  zr::app::TStartup startup(zr::os::systemDisplayModes());
  zr::app::TMainForm *w = startup.run();
  if (!w)
    return 0;
  w->show();
  return app.exec();
}
