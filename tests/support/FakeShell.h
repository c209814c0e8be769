// Stand-ins for the shell's windows, made by a test in its own process: a taskbar with its Start
// button, band area and notification area, and the desktop's icon list under Program Manager.
// The routines under test find these by class, anywhere in the session, so the tests that make
// them take turns (see tests/CMakeLists.txt). A program of the session that calls into them
// waits for this thread, so a test pumps its messages while it waits for that program.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

namespace testenv {

namespace fakeshell {

// A window of a class of this process, of any name; with a counter in GWLP_USERDATA, it counts
// every placing (SetWindowPos) it is given, whether or not the place changes.
inline LRESULT CALLBACK CountingProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_WINDOWPOSCHANGING)
    if (auto *placings = reinterpret_cast<int *>(GetWindowLongPtrA(window, GWLP_USERDATA)))
      ++*placings;
  return DefWindowProcA(window, msg, wParam, lParam);
}

inline void Register(const char *name) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  RegisterClassA(&wc); // once per process; later calls fail harmlessly
}

inline HWND Make(const char *windowClass, const char *text, DWORD style, HWND parent, RECT r,
                 DWORD exStyle = 0) {
  Register(windowClass);
  return CreateWindowExA(exStyle, windowClass, text, style, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

} // namespace fakeshell

// A horizontal taskbar as Windows XP lays it out: the Start button at the top left, the band
// area beside it up to the notification area at the right end. Topmost and made last, it is
// the taskbar the routines find first, before any of the session's own.
class FakeTaskbar {
public:
  static constexpr int Width = 800, Height = 30, NotifyWidth = 100;
  static constexpr RECT ButtonPlace = {0, 0, 60, 30};
  static constexpr RECT BandPlace = {66, 0, 700, 30};

  explicit FakeTaskbar(bool withButton = true) {
    using fakeshell::Make;
    // The system's button class for the button, as the shell's own; the others our own.
    taskbar = Make("Shell_TrayWnd", "", WS_POPUP, nullptr, {0, 0, Width, Height}, WS_EX_TOPMOST);
    if (withButton)
      button = CreateWindowExA(0, "Button", "start", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0,
                               ButtonPlace.right, ButtonPlace.bottom, taskbar, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    band = Make("ReBarWindow32", "", WS_CHILD | WS_VISIBLE, taskbar, BandPlace);
    SetWindowLongPtrA(band, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bandPlacings));
    notify = Make("TrayNotifyWnd", "", WS_CHILD | WS_VISIBLE, taskbar,
                  {Width - NotifyWidth, 0, Width, Height});
  }
  ~FakeTaskbar() { DestroyWindow(taskbar); }
  FakeTaskbar(const FakeTaskbar &) = delete;
  FakeTaskbar &operator=(const FakeTaskbar &) = delete;

  // A child's place in the taskbar's client coordinates.
  RECT Place(HWND child) const {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, taskbar, reinterpret_cast<POINT *>(&r), 2);
    return r;
  }
  std::string ButtonText() const {
    char text[512] = {};
    int n = GetWindowTextA(button, text, sizeof(text));
    return std::string(text, size_t(std::max(n, 0)));
  }

  HWND taskbar = nullptr, button = nullptr, band = nullptr, notify = nullptr;
  int bandPlacings = 0; // SetWindowPos calls the band area was given
};

// Program Manager with its view and, in it, the desktop's icon list.
class FakeDesktop {
public:
  FakeDesktop() {
    using fakeshell::Make;
    progman = Make("progman", "Program Manager", WS_POPUP, nullptr, {0, 0, 200, 200});
    view = Make("SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, progman, {0, 0, 200, 200});
    icons = Make("SysListView32", "FolderView", WS_CHILD | WS_VISIBLE, view, {0, 0, 200, 200});
  }
  ~FakeDesktop() { DestroyWindow(progman); }
  FakeDesktop(const FakeDesktop &) = delete;
  FakeDesktop &operator=(const FakeDesktop &) = delete;

  bool IconsShown() const { return (GetWindowLongA(icons, GWL_STYLE) & WS_VISIBLE) != 0; }

  HWND progman = nullptr, view = nullptr, icons = nullptr;
};

// The Start button's width for a caption, measured independently of the program: the caption on
// Arial 17 pixels bold italic, 64 pixels more, at least 99.
inline int ExpectedButtonWidth(const std::string &caption) {
  HDC dc = GetDC(nullptr);
  HFONT font =
      CreateFontA(-17, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32A(dc, caption.data(), int(caption.size()), &size);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return std::max(99, int(size.cx) + 64);
}

} // namespace testenv
