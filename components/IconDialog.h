// The shell's change-icon picker: the user chooses a file and one of its icons.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/core/Classes.h"
#include "toolkit/graphics/Graphics.h"

class TIconDialog : public tk::TComponent {
public:
  using tk::TComponent::TComponent;
  const char *ClassName() const override { return "TIconDialog"; }

  std::string FileName;
  int IconIndex = 0;
  // The chosen icon, taken from FileName after every Execute (empty when it has none).
  tk::TIcon &Icon() { return icon_; }

  // True when the user confirmed the picker. The picker opens on FileName and IconIndex, and
  // both take what it leaves, so a cancel changes neither. A FileName of MAX_PATH characters or
  // more does not fit the picker's buffer: it is refused without showing anything.
  bool Execute();
  // After an Execute that returned False: true when no picker could be shown at all (the
  // system has none), rather than the user cancelling it.
  bool NoPicker() const { return noPicker_; }

private:
  tk::TIcon icon_;
  bool noPicker_ = false;
};
