// The built program started as a real child process, the way the shell starts it, in a copy of
// its folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/RegUnit.h"
#include "support/TestEnvironment.h"

namespace childprogram {

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
  // A visible top-level window of the child, by its class and caption ("#32770" for the
  // system's message boxes, "TkWindow" for forms).
  HWND Window(const char *windowClass, const char *caption) const {
    for (HWND w = FindWindowExA(nullptr, nullptr, windowClass, caption); w;
         w = FindWindowExA(nullptr, w, windowClass, caption)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pi.dwProcessId && IsWindowVisible(w))
        return w;
    }
    return nullptr;
  }
  HWND WaitForWindow(const char *windowClass, const char *caption, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
      if (HWND w = Window(windowClass, caption))
        return w;
      if (Ended(50))
        return nullptr;
    }
    return nullptr;
  }
  // The main window: a form captioned "Lumagrove" (the application's own window carries the
  // same caption, under another class).
  HWND MainWindow() const { return Window("TkWindow", "Lumagrove"); }
  HWND WaitForMainWindow(DWORD ms) { return WaitForWindow("TkWindow", "Lumagrove", ms); }
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

// A left click at a point of a window's client area, on whatever child lies there.
inline void ClickAt(HWND window, POINT p) {
  HWND target = ChildWindowFromPointEx(window, p, CWP_SKIPINVISIBLE);
  MapWindowPoints(window, target, &p, 1);
  PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

// A copy of the built program folder of the test's own, so that what a run writes stays there.
inline std::string ProgramCopy() {
  std::string dir = testenv::TestDir() + "App\\";
  CopyTree(testenv::BuiltProgramDir(), dir);
  return dir;
}

// The child wrote to the real registry: this process's view is redirected into the sandbox, so
// the redirection of HKEY_CURRENT_USER is lifted while the value is read and removed.
inline std::string TakeRealValue(const std::string &key, const std::string &name) {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  std::string value = ReadRegValue(HKEY_CURRENT_USER, key, name);
  DeleteRegValue(HKEY_CURRENT_USER, key, name);
  RegOverridePredefKey(HKEY_CURRENT_USER, testenv::SandboxRoot(HKEY_CURRENT_USER));
  return value;
}

} // namespace childprogram
