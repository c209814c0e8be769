// Small value types shared by every layer of the toolkit.
#pragma once

#include <cstdint>

namespace tk {

// Keys and buttons held during a mouse or key event.
enum : uint16_t {
  ssShift = 1 << 0,
  ssAlt = 1 << 1,
  ssCtrl = 1 << 2,
  ssLeft = 1 << 3,
  ssRight = 1 << 4,
  ssMiddle = 1 << 5,
  ssDouble = 1 << 6,
};
using TShiftState = uint16_t;

// Cursor identities: negative numbers are the system's cursors, positive ones the program's.
using TCursor = int;
enum : TCursor {
  crDefault = 0,
  crNone = -1,
  crArrow = -2,
  crCross = -3,
  crIBeam = -4,
  crSize = -22,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crUpArrow = -10,
  crHourGlass = -11,
  crNo = -18,
  crAppStart = -19,
  crHelp = -20,
  crHandPoint = -21,
  crSizeAll = -22,
};

} // namespace tk
