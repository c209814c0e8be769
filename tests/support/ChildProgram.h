// The built program started as a real child process in a copy of its folder, and found by its
// windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/TestEnvironment.h"

namespace testenv {

struct Child {
  PROCESS_INFORMATION pi{};
  ~Child() {
    if (pi.hProcess) {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, 10000);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
  }
  bool Start(const std::string &exe, const std::string &arguments) {
    std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi) != FALSE;
  }
  bool Ended(DWORD ms) { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
  // The child's visible main window: a form of the toolkit's class captioned "Lumagrove" (the
  // application's own window carries the same caption, under another class).
  HWND MainWindow() const {
    for (HWND w = FindWindowExA(nullptr, nullptr, "TkWindow", "Lumagrove"); w;
         w = FindWindowExA(nullptr, w, "TkWindow", "Lumagrove")) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pi.dwProcessId && IsWindowVisible(w))
        return w;
    }
    return nullptr;
  }
  HWND WaitForMainWindow(DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
      if (HWND w = MainWindow())
        return w;
      if (Ended(50))
        return nullptr;
    }
    return nullptr;
  }
};

inline void CopyTree(const std::string &from, const std::string &to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((from + "*").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << from;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..")
      continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + name + "\\", to + name + "\\");
    else
      ASSERT_TRUE(CopyFileA((from + name).c_str(), (to + name).c_str(), FALSE)) << name;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// A copy of the built program folder of the test's own, so that what a run writes stays there.
inline std::string ProgramCopy() {
  std::string dir = testenv::TestDir() + "App\\";
  CopyTree(testenv::BuiltProgramDir(), dir);
  return dir;
}

} // namespace testenv
