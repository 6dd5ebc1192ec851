#include "platform/os/screen.h"

#include <QtCore/QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zr::os {
namespace {

class SystemModes final : public DisplayModes {
public:
  bool canEnumerate() const override {
#ifdef Q_OS_WIN
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    return EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm) != 0;
#else
    return false;
#endif
  }
  bool change(const DisplayMode &mode) override {
#ifdef Q_OS_WIN
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm))
      return false;
    dm.dmPelsWidth = mode.width;
    dm.dmPelsHeight = mode.height;
    dm.dmBitsPerPel = mode.bitsPerPixel;
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    return ChangeDisplaySettingsW(&dm, 0) == DISP_CHANGE_SUCCESSFUL;
#else
    (void)mode;
    return false;
#endif
  }
};

} // namespace

DisplayModes &systemDisplayModes() {
  static SystemModes modes;
  return modes;
}

} // namespace zr::os
