// What the platform tells about itself and a few things done to it: the program's file version,
// the Windows family, waiting for a child process, window effects and panel dragging.
#include "common/RegUnit.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "toolkit/core/SysUtils.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/win32/Seams.h"

// ---- file version ----------------------------------------------------------------------------

namespace {

// A text value of a version block; "" when missing. The length VerQueryValue reports counts the
// terminator on some systems and not on others, so the text ends at the first NUL either way.
std::string VersionString(const void *block, const std::string &path) {
  void *value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block, path.c_str(), &value, &length) || !value || length == 0)
    return std::string();
  const char *text = static_cast<const char *>(value);
  return std::string(text, strnlen(text, length));
}

} // namespace

std::string GetFileVersionText(const std::string &FileName) {
  DWORD handle = 0;
  DWORD size = ::GetFileVersionInfoSizeA(FileName.c_str(), &handle);
  if (size == 0)
    return std::string();
  std::vector<char> block(size);
  if (!::GetFileVersionInfoA(FileName.c_str(), 0, size, block.data()))
    return std::string();

  void *table = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &table, &length) || !table ||
      length < 2 * sizeof(WORD))
    return std::string();
  const WORD *translation = static_cast<const WORD *>(table);
  char code[9];
  std::snprintf(code, sizeof(code), "%04X%04X", unsigned(translation[0]), unsigned(translation[1]));
  return VersionString(block.data(), std::string("\\StringFileInfo\\") + code + "\\FileVersion");
}

std::string GetAppFileVersion() {
  char path[MAX_PATH + 1] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH)
    return std::string();
  return GetFileVersionText(std::string(path, n));
}

// ---- Windows family --------------------------------------------------------------------------

namespace {

constexpr int AnyNumber = -1;

struct FamilyRow {
  bool nt;                 // VER_PLATFORM_WIN32_NT, or any other platform
  int major, minor;        // AnyNumber matches every value
  const char *servicePack; // trimmed; nullptr matches any
  uint8_t code;
  const char *family; // nullptr leaves the caller's family alone
};

// First match wins, so each catch-all row follows the rows it generalises. Windows 95 OSR2 and
// 98 SE tell themselves apart from their first editions only by the service-pack letter.
constexpr FamilyRow FamilyTable[] = {
    {true, 3, AnyNumber, nullptr, 5, "nt"},
    {true, 4, AnyNumber, nullptr, 6, "nt"},
    {true, 5, AnyNumber, nullptr, 7, "xp"},
    {true, AnyNumber, AnyNumber, nullptr, 0, nullptr},
    {false, 4, 0, "B", 2, "98"},
    {false, 4, 0, nullptr, 1, "98"},
    {false, 4, 10, "A", 4, "98"},
    {false, 4, 10, nullptr, 3, "98"},
    {false, 4, 90, nullptr, 8, "me"},
    {false, AnyNumber, AnyNumber, nullptr, 0, nullptr},
};

bool NumberMatches(int wanted, DWORD actual) {
  return wanted == AnyNumber || DWORD(wanted) == actual;
}

} // namespace

void GetWindowsVersion(uint8_t &Code, std::string &Family) {
  tk::OsVersionRecord version = tk::GetPlaces().WindowsVersion();
  bool nt = version.platformId == VER_PLATFORM_WIN32_NT;
  std::string servicePack = tk::Trim(version.servicePack);
  for (const FamilyRow &row : FamilyTable) {
    if (row.nt != nt || !NumberMatches(row.major, version.major) ||
        !NumberMatches(row.minor, version.minor) ||
        (row.servicePack && servicePack != row.servicePack))
      continue;
    Code = row.code;
    if (row.family)
      Family = row.family;
    return;
  }
  Code = 0;
}

// ---- child processes -------------------------------------------------------------------------

int RunAndWait(const std::string &CommandLine, uint16_t ShowCmd) {
  // CreateProcess may write into the command line, so it gets a copy of its own; a longer line
  // than the copy holds is refused rather than cut, since a cut line could start another program.
  constexpr size_t MaxCommandLine = 512;
  if (CommandLine.size() > MaxCommandLine)
    return -1;
  char buffer[MaxCommandLine + 1];
  std::memcpy(buffer, CommandLine.data(), CommandLine.size());
  buffer[CommandLine.size()] = '\0';

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = ShowCmd;
  PROCESS_INFORMATION process = {};
  if (!tk::GetShell().CreateProcess(buffer, TRUE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                                    &startup, &process))
    return -1;

  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  BOOL known = ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return known ? int(exitCode) : -1;
}

// ---- window animation ------------------------------------------------------------------------

std::vector<AnimationQuad> AnimationFrames(const RECT &Rect, int Steps, bool Opening) {
  std::vector<AnimationQuad> frames;
  if (Steps <= 0)
    return frames;
  const int n = Steps;
  const int cx = Rect.left + (Rect.right - Rect.left) / 2;
  const int cy = Rect.top + (Rect.bottom - Rect.top) / 2;
  const int dx = ((Rect.right - Rect.left) / n) / 2;
  const int dy = ((Rect.bottom - Rect.top) / n) / 2;

  // The opening outline starts as a speck a pixel or two around the centre and grows past the
  // window; the closing one starts on the window's corners and shrinks just past the centre.
  // Corners: top-left, top-right, bottom-right, bottom-left.
  POINT corner[4];
  int growX[4] = {-dx, dx, dx, -dx};
  int growY[4] = {-dy, -dy, dy, dy};
  if (Opening) {
    corner[0] = {cx - 1, cy - 1};
    corner[1] = {cx, cy - 2};
    corner[2] = {cx, cy};
    corner[3] = {cx - 2, cy};
  } else {
    corner[0] = {Rect.left, Rect.top};
    corner[1] = {Rect.right, Rect.top};
    corner[2] = {Rect.right, Rect.bottom};
    corner[3] = {Rect.left, Rect.bottom};
    for (int i = 0; i < 4; ++i) {
      growX[i] = -growX[i];
      growY[i] = -growY[i];
    }
  }

  frames.reserve(size_t(n) + 1);
  for (int k = 0; k <= n; ++k) {
    // Half a turn over the whole animation.
    const double turn = k * std::numbers::pi / n;
    const double c = std::cos(turn), s = std::sin(turn);
    AnimationQuad quad;
    for (int i = 0; i < 4; ++i) {
      corner[i].x += growX[i];
      corner[i].y += growY[i];
      const double x = corner[i].x - cx, y = corner[i].y - cy;
      quad[i].x = LONG(std::lround(cx + c * x + s * y));
      quad[i].y = LONG(std::lround(cy + c * y - s * x));
    }
    frames.push_back(quad);
  }
  return frames;
}

namespace {

void AnimateWindow(HWND window, int steps, bool opening) {
  RECT rect;
  if (!::GetWindowRect(window, &rect))
    return;
  const std::vector<AnimationQuad> frames = AnimationFrames(rect, steps, opening);
  if (frames.empty())
    return;
  HDC screen = ::GetDC(nullptr);
  if (!screen)
    return;
  // Drawing each outline twice in NOT-XOR mode puts back exactly what was under it, whatever
  // the other programs show there, without saving anything.
  const int oldMode = ::SetROP2(screen, R2_NOTXORPEN);
  for (const AnimationQuad &quad : frames) {
    const POINT outline[5] = {quad[0], quad[1], quad[2], quad[3], quad[0]};
    ::Polyline(screen, outline, 5);
    // Batched drawing would otherwise reach the screen only with the erasing copy.
    ::GdiFlush();
    ::Sleep(10);
    ::Polyline(screen, outline, 5);
  }
  ::GdiFlush();
  ::SetROP2(screen, oldMode);
  ::ReleaseDC(nullptr, screen);
}

} // namespace

void AnimateWindowOpen(HWND Window, int Steps) { AnimateWindow(Window, Steps, true); }
void AnimateWindowClose(HWND Window, int Steps) { AnimateWindow(Window, Steps, false); }

// ---- panel sizing and moving -----------------------------------------------------------------

namespace {

// The three ranges a coordinate falls in along one side of the panel: on or before the low
// border, strictly between the borders, on or past the high border. When the panel is narrower
// than two borders a coordinate can be on both; the low border wins, as it comes first in the
// zone table.
enum class Band { Low, Middle, High };

Band BandOf(int value, int extent, int border) {
  if (value <= border)
    return Band::Low;
  if (value >= extent - border)
    return Band::High;
  return Band::Middle;
}

struct ZoneRow {
  Band x, y;
  SizeMoveZone zone;
};

// One row for each pair of bands but the middle of both; the commands are SC_SIZE plus the
// WMSZ_ edge the size loop drags.
constexpr ZoneRow EdgeZones[] = {
    {Band::Low, Band::Middle, {tk::crSizeWE, SC_SIZE | WMSZ_LEFT}},
    {Band::High, Band::Middle, {tk::crSizeWE, SC_SIZE | WMSZ_RIGHT}},
    {Band::Middle, Band::Low, {tk::crSizeNS, SC_SIZE | WMSZ_TOP}},
    {Band::Low, Band::Low, {tk::crSizeNWSE, SC_SIZE | WMSZ_TOPLEFT}},
    {Band::High, Band::Low, {tk::crSizeNESW, SC_SIZE | WMSZ_TOPRIGHT}},
    {Band::Middle, Band::High, {tk::crSizeNS, SC_SIZE | WMSZ_BOTTOM}},
    {Band::Low, Band::High, {tk::crSizeNESW, SC_SIZE | WMSZ_BOTTOMLEFT}},
    {Band::High, Band::High, {tk::crSizeNWSE, SC_SIZE | WMSZ_BOTTOMRIGHT}},
};

// The inner area keeps a fixed margin whatever the border, so a thin border leaves a band
// between the two where the panel neither sizes nor moves by the mouse.
constexpr int MoveMargin = 5;
// Past the eight edges, 9 is the size loop's code for moving the whole window.
constexpr WORD ScDragMove = SC_SIZE | 9;

} // namespace

SizeMoveZone PanelSizeMoveZone(int Width, int Height, int X, int Y, int Border) {
  const Band bx = BandOf(X, Width, Border), by = BandOf(Y, Height, Border);
  for (const ZoneRow &row : EdgeZones)
    if (row.x == bx && row.y == by)
      return row.zone;
  if (X > MoveMargin && X < Width - MoveMargin && Y > MoveMargin && Y < Height - MoveMargin)
    return {tk::crSizeAll, ScDragMove};
  return {tk::crDefault, SC_SIZE};
}

bool BeginPanelSizeMove(HWND Panel, tk::TShiftState Shift, WORD Command) {
  // Another button or a key held with the left one is some other gesture.
  if (Shift != tk::ssLeft)
    return false;
  // The system's loop takes the mouse itself and would not start while the panel holds it.
  ::ReleaseCapture();
  ::SendMessageA(Panel, WM_SYSCOMMAND, Command, 0);
  return true;
}

void PanelMouseSizeMove(tk::TCustomPanel *Panel, tk::TShiftState Shift, int X, int Y, int Border) {
  const SizeMoveZone zone =
      PanelSizeMoveZone(Panel->ClientWidth(), Panel->ClientHeight(), X, Y, Border);
  // The panel's own cursor, which it answers WM_SETCURSOR with: the size cursor stays while the
  // mouse rests and after a press, and every other panel keeps its own.
  Panel->Cursor = zone.cursor;
  // The system asked for the cursor before this move reached the panel: show the new one now.
  HWND window = Panel->Handle();
  ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  BeginPanelSizeMove(window, Shift, zone.command);
}
