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
#include "helpers/LumagroveWindows.h"
#include "support/TestEnvironment.h"

namespace programrun {

using childprogram::Child;

// Pumps this thread's messages until done() holds, looking at least every 20 ms (what the test
// waits for may come without a message), for ms at most; returns done().
inline bool PollUntil(const std::function<bool()> &done, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done())
      return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms)
      return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(20, ms - elapsed), QS_ALLINPUT);
  }
}

inline bool EndsWithin(Child &child, DWORD ms) {
  return PollUntil([&child] { return child.Ended(0); }, ms);
}

// A window of the child (of any process for 0), by class and caption, shown or not.
inline HWND WaitForWindow(DWORD pid, const char *windowClass, const char *caption, bool visible,
                          DWORD ms) {
  HWND found = nullptr;
  PollUntil(
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
