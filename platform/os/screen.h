#pragma once
// The display mode of the primary screen. Only a platform that can enumerate and set modes
// changes them; elsewhere the start-up leaves the screen as it is.
namespace zr::os {

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};

class DisplayModes {
public:
  virtual ~DisplayModes() = default;
  // Whether the current mode can be read (and therefore changed) here.
  virtual bool canEnumerate() const = 0;
  // Switches for this session only, nothing is stored.
  virtual bool change(const DisplayMode &mode) = 0;
};

// The platform's own: Windows sets modes; other platforms cannot.
DisplayModes &systemDisplayModes();

} // namespace zr::os
