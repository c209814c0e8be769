// A shared helper for the icon tests: packages written by the test, document types and the
// user's special folders in the sandbox, and a window that hears the shell's broadcasts.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/RegUnit.h"
#include "support/Registry.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/IniFiles.h"

namespace icontest {

inline constexpr const char *ShellIcons =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons";
inline constexpr const char *Metrics = "Control Panel\\desktop\\WindowMetrics";
inline constexpr const char *ShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

inline std::string ExplorerClsid(const std::string &clsid) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\" + clsid +
         "\\DefaultIcon";
}

// Writes a package file (ini text) and returns its full name.
inline std::string WritePackage(const std::string &file, const std::string &text) {
  testenv::WriteFile(file, text);
  return file;
}

// Gives each extension a document type "<ext>file", as a fresh Windows does.
inline void RegisterDocumentTypes(const std::vector<std::string> &exts) {
  for (const std::string &ext : exts)
    testenv::SetStringValue(HKEY_CLASSES_ROOT, "." + ext, "", ext + "file");
}

inline std::string Value(HKEY root, const std::string &key, const std::string &name) {
  DWORD type;
  std::string bytes;
  if (!testenv::GetRawValue(root, key, name, type, bytes))
    return "<missing>";
  return std::string(bytes.c_str());
}

// The folder icon a desktop.ini names: "file,index", or "" without one.
inline std::string FolderIcon(const std::string &folder) {
  std::string ini = folder + "\\desktop.ini";
  if (GetFileAttributesA(ini.c_str()) == INVALID_FILE_ATTRIBUTES)
    return "";
  tk::TIniFile desktop(ini);
  return desktop.ReadString(".ShellClassInfo", "IconFile", "") + "," +
         desktop.ReadString(".ShellClassInfo", "IconIndex", "");
}

// A hidden top-level window that writes down every setting-change broadcast it hears (the
// same message as the old WM_WININICHANGE): its wParam, and the icon size the registry holds at
// that moment.
class BroadcastListener {
public:
  struct Heard {
    WPARAM what;
    std::string size;
  };
  std::vector<Heard> heard;

  BroadcastListener() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "IconTestListener";
    RegisterClassA(&wc); // a second registration fails harmlessly
    window_ = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              wc.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~BroadcastListener() { DestroyWindow(window_); }
  BroadcastListener(const BroadcastListener &) = delete;
  BroadcastListener &operator=(const BroadcastListener &) = delete;

private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto *self = reinterpret_cast<BroadcastListener *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && msg == WM_SETTINGCHANGE)
      self->heard.push_back({wParam, Value(HKEY_CURRENT_USER, Metrics, "Shell Icon Size")});
    return DefWindowProcA(window, msg, wParam, lParam);
  }
  HWND window_ = nullptr;
};

} // namespace icontest
