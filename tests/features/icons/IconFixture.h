// A shared helper for the icon tests: packages written by the test, document types and the
// user's special folders in the sandbox, and a window that hears the shell's broadcasts.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

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

// How often the shell was told that icons changed (through the recording shell).
inline int IconChangeNotices() {
  int notices = 0;
  for (const testenv::ShellCall &call : testenv::Shell().calls)
    if (call.what == "ChangeNotify" && call.action == UINT(SHCNE_ASSOCCHANGED) &&
        call.uiParam == UINT(SHCNF_IDLIST))
      ++notices;
  return notices;
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

// A hidden top-level window that writes down every setting-change broadcast this thread sends
// (the same message as the old WM_WININICHANGE): its wParam, and the icon size the registry
// holds at that moment.
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
    // Other test programs broadcast as well; what this thread sent reaches us directly.
    if (self && msg == WM_SETTINGCHANGE && !InSendMessage())
      self->heard.push_back({wParam, Value(HKEY_CURRENT_USER, Metrics, "Shell Icon Size")});
    return DefWindowProcA(window, msg, wParam, lParam);
  }
  HWND window_ = nullptr;
};

// Copies a file of the built program folder (Data\Icon.dll, IconThemes\Meadow\Meadow.icl ...)
// to the same place in the test's program folder, or to another name; returns the copy's name.
inline std::string FromProgram(const std::string &relative, const std::string &to = "") {
  std::string target = to.empty() ? testenv::Places().programDir + relative : to;
  testenv::WriteFile(target, testenv::ReadFile(testenv::BuiltProgramDir() + relative));
  return target;
}

// What an icon looks like, drawn at 32 x 32 on white: to tell pictures apart.
inline std::string DrawnIcon(HICON icon) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, 32, 32};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (icon)
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::string pixels(static_cast<const char *>(bits), 32 * 32 * 4);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return pixels;
}

// The picture of an icon location (as the system extracts it), or of an image-list entry.
inline std::string DrawnLocation(const std::string &file, int index) {
  HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file.c_str(), UINT(index));
  if (reinterpret_cast<UINT_PTR>(icon) == 1)
    icon = nullptr;
  std::string drawn = DrawnIcon(icon);
  if (icon)
    DestroyIcon(icon);
  return drawn;
}

inline std::string DrawnImage(HIMAGELIST list, int index) {
  HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
  std::string drawn = DrawnIcon(icon);
  if (icon)
    DestroyIcon(icon);
  return drawn;
}

inline const std::string &Blank() {
  static const std::string blank = DrawnIcon(nullptr);
  return blank;
}

} // namespace icontest
