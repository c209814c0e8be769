// Lumagrove and Hovelin started from a program folder of the test's own, while the test pumps its
// messages: the programs call into the test's stand-in shell windows, and wait for this thread.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "../app/ChildProgram.h"
#include "features/misc/Func_misc.h"
#include "support/MessagePump.h"
#include "support/TestEnvironment.h"

// Lumagrove's windows as another program sees them, and the messages a user's clicks send them.
namespace lumagrove {

inline std::vector<HWND> Children(HWND parent, const char *windowClass) {
  std::vector<HWND> found;
  for (HWND w = FindWindowExA(parent, nullptr, windowClass, nullptr); w;
       w = FindWindowExA(parent, w, windowClass, nullptr))
    found.push_back(w);
  return found;
}

// A top-level window of the process (of any process for 0) by class and caption, shown or not.
inline HWND TopWindow(DWORD pid, const char *windowClass, const char *caption, bool visible) {
  for (HWND w = FindWindowExA(nullptr, nullptr, windowClass, caption); w;
       w = FindWindowExA(nullptr, w, windowClass, caption)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if ((pid == 0 || owner == pid) && (!visible || IsWindowVisible(w)))
      return w;
  }
  return nullptr;
}

// A visible form, by caption.
inline HWND Form(DWORD pid, const char *caption) {
  return TopWindow(pid, "TkWindow", caption, true);
}

// A left click at a point of a window's client area.
inline void Click(HWND window, POINT p) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

// The main window's panel of feature links (the largest of its panels), and the place of the
// "Miscellaneous" link on it: the first of the third row.
inline HWND LinkPanel(HWND main) {
  HWND best = nullptr;
  long bestArea = 0;
  for (HWND panel : Children(main, "TkWindow")) {
    RECT r;
    GetClientRect(panel, &r);
    if (r.right * r.bottom > bestArea) {
      bestArea = r.right * r.bottom;
      best = panel;
    }
  }
  return best;
}
inline constexpr POINT MiscellaneousLink = {90, 287};

} // namespace lumagrove

namespace programrun {

using childprogram::Child;

inline bool EndsWithin(Child &child, DWORD ms) {
  return testenv::PumpUntil([&child] { return child.Ended(0); }, ms);
}

// A window of the child (of any process for 0), by class and caption, shown or not.
inline HWND WaitForWindow(DWORD pid, const char *windowClass, const char *caption, bool visible,
                          DWORD ms) {
  HWND found = nullptr;
  testenv::PumpUntil(
      [&] { return (found = lumagrove::TopWindow(pid, windowClass, caption, visible)) != nullptr; },
      ms);
  return found;
}

// A copy of the program folder whose Config.ini holds the given text.
inline std::string ProgramCopyWith(const std::string &config) {
  std::string dir = childprogram::ProgramCopy();
  testenv::WriteFile(dir + "Data\\Config.ini", config);
  return dir;
}

// Ends the helpers a failed test left running.
struct HelperSweep {
  ~HelperSweep() {
    for (HWND window : FindHelperWindows()) {
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
      }
    }
  }
};

} // namespace programrun
