#pragma once
// The program's entry sequence: screen check, splash, data module, main window, then logon or
// first-run setup. Only when that ends with OK does the message loop run with the main window.
#include "app/tdm.h"

#include <memory>

namespace zr::os {
class DisplayModes;
}

namespace zr::app {

class TMainForm;

// Below 1024 pixels, where the mode can be changed: the warning, then 1024 x 768 at 24 bits.
// True when it changed the mode.
bool ScreenCheck(int screenWidth, zr::os::DisplayModes &modes);

class TStartup {
public:
  explicit TStartup(zr::os::DisplayModes &modes);
  ~TStartup();

  // Runs the sequence up to the logon or setup window; the main window to run, or nullptr when
  // the program must end.
  TMainForm *run();

  int splashMs = 3000;
  TDM dm;
  std::unique_ptr<TMainForm> main;

private:
  zr::os::DisplayModes &m_modes;
};

} // namespace zr::app
