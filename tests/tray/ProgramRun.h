// The built programs started as real child processes from a program folder of the test's own,
// while the test pumps its messages (the programs call into the test's stand-in shell windows).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "features/misc/Func_misc.h"
#include "helpers/LumagroveWindows.h"
#include "support/TestEnvironment.h"

namespace programrun {

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

struct Process {
  PROCESS_INFORMATION pi{};
  ~Process() {
    if (!pi.hProcess)
      return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  bool Start(const std::string &exe) {
    std::string line = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi) != FALSE;
  }
  bool EndsWithin(DWORD ms) {
    return PollUntil([this] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, ms);
  }
};

// A program folder holding both programs, and Config.ini with the given text.
inline std::string CopyPrograms(const std::string &config) {
  std::string dir = testenv::TestDir() + "App\\";
  testenv::WriteFile(dir + "Data\\Config.ini", config);
  for (const char *program : {"Lumagrove.exe", "Hovelin.exe"})
    EXPECT_TRUE(
        CopyFileA((testenv::BuiltProgramDir() + program).c_str(), (dir + program).c_str(), FALSE))
        << program;
  return dir;
}

inline HWND WaitForWindow(DWORD pid, const char *windowClass, const char *caption, bool visible,
                          DWORD ms) {
  HWND found = nullptr;
  PollUntil(
      [&] { return (found = lumagrove::TopWindow(pid, windowClass, caption, visible)) != nullptr; },
      ms);
  return found;
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
