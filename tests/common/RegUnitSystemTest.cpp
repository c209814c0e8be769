#include "common/RegUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "support/TestEnvironment.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"

// ---- file version ----------------------------------------------------------------------------

TEST(FileVersion, ComesFromTheBlockTheFirstTranslationNames) {
  // The test program carries a decoy English block; see tests/resources/TestVersion.rc.
  EXPECT_EQ(GetAppFileVersion(), "7.6.5.4");
}

TEST(FileVersion, FilesWithoutAVersionRecordGiveNothing) {
  EXPECT_EQ(GetFileVersionText(testenv::ExeDir() + "exit_with.exe"), "");
  EXPECT_EQ(GetFileVersionText(testenv::TestDir() + "missing.exe"), "");
}

// ---- Windows family --------------------------------------------------------------------------

TEST(WindowsFamily, EveryRowOfTheTable) {
  const DWORD nt = VER_PLATFORM_WIN32_NT, win = VER_PLATFORM_WIN32_WINDOWS;
  struct Case {
    DWORD platform, major, minor;
    const char *servicePack;
    int code;
    const char *family; // nullptr: the caller's value stays
  } cases[] = {
      {nt, 3, 51, "Service Pack 5", 5, "nt"},
      {nt, 4, 0, "Service Pack 6", 6, "nt"},
      {nt, 5, 0, "", 7, "xp"},
      {nt, 5, 1, "Service Pack 3", 7, "xp"},
      {nt, 5, 2, "", 7, "xp"},
      {nt, 6, 1, "Service Pack 1", 0, nullptr},
      {nt, 10, 0, "", 0, nullptr},
      {win, 4, 0, " B ", 2, "98"},
      {win, 4, 0, "C", 1, "98"},
      {win, 4, 0, "", 1, "98"},
      {win, 4, 10, " A ", 4, "98"},
      {win, 4, 10, "B", 3, "98"},
      {win, 4, 90, " ", 8, "me"},
      {win, 4, 20, "", 0, nullptr},
      {VER_PLATFORM_WIN32s, 3, 10, "", 0, nullptr},
  };
  for (const Case &c : cases) {
    testenv::Places().version = {c.platform, c.major, c.minor, c.servicePack};
    uint8_t code = 99;
    std::string family = "kept";
    GetWindowsVersion(code, family);
    SCOPED_TRACE(testing::Message()
                 << c.platform << " " << c.major << "." << c.minor << " '" << c.servicePack << "'");
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(family, c.family ? c.family : "kept");
  }
}

// ---- child processes -------------------------------------------------------------------------

namespace {
std::string ExitWith(int code) {
  std::string line = "\"";
  line += testenv::ExeDir();
  line += "exit_with.exe\" ";
  line += std::to_string(code);
  return line;
}
} // namespace

TEST(RunAndWait, ReturnsTheChildsExitCode) {
  testenv::Shell().allowProcesses = true;
  EXPECT_EQ(RunAndWait(ExitWith(3), SW_SHOWMINNOACTIVE), 3);
  ASSERT_EQ(testenv::Shell().calls.size(), 1u);
  const testenv::ShellCall &call = testenv::Shell().calls[0];
  EXPECT_EQ(call.what, "CreateProcess");
  EXPECT_EQ(call.file, ExitWith(3));
  EXPECT_EQ(call.creationFlags, DWORD(CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(call.inheritHandles, TRUE);
  EXPECT_EQ(call.showCmd, SW_SHOWMINNOACTIVE);
}

TEST(RunAndWait, AcceptsFiveHundredTwelveCharactersAndRefusesMore) {
  testenv::Shell().allowProcesses = true;
  std::string longest = ExitWith(7);
  longest.resize(512, ' ');
  EXPECT_EQ(RunAndWait(longest, SW_HIDE), 7);
  ASSERT_EQ(testenv::Shell().calls.size(), 1u);
  EXPECT_EQ(testenv::Shell().calls[0].file, longest);

  EXPECT_EQ(RunAndWait(longest + " ", SW_HIDE), -1);
  EXPECT_EQ(testenv::Shell().calls.size(), 1u) << "a refused line must start nothing";
}

TEST(RunAndWait, FailureToStartGivesMinusOne) {
  EXPECT_EQ(RunAndWait(ExitWith(3), SW_HIDE), -1); // the shell refuses
  testenv::Shell().allowProcesses = true;
  EXPECT_EQ(RunAndWait(testenv::TestDir() + "no_such_program.exe", SW_HIDE), -1);
  EXPECT_EQ(testenv::Shell().calls.size(), 2u);
}

// ---- window animation ------------------------------------------------------------------------

namespace {
bool Same(POINT p, long x, long y) { return p.x == x && p.y == y; }
} // namespace

TEST(Animation, OpeningGrowsPastTheWindowWithAHalfTurn) {
  const RECT rect{0, 0, 700, 400}; // centre 350,200; steps of 17 by 10
  const std::vector<AnimationQuad> frames = AnimationFrames(rect, 20, true);
  ASSERT_EQ(frames.size(), 21u);
  // The first frame is one step out from the speck at the centre, not yet turned.
  EXPECT_TRUE(Same(frames[0][0], 332, 189));
  EXPECT_TRUE(Same(frames[0][1], 367, 188));
  EXPECT_TRUE(Same(frames[0][2], 367, 210));
  EXPECT_TRUE(Same(frames[0][3], 331, 210));
  // A quarter turn halfway: the top-left corner (162,89) swings down to the left.
  EXPECT_TRUE(Same(frames[10][0], 239, 388));
  // The last frame reaches 1 + 21 * 17 = 358 pixels out, turned half round.
  EXPECT_TRUE(Same(frames[20][0], 350 + 358, 200 + 211));
  EXPECT_TRUE(Same(frames[20][2], 350 - 357, 200 - 210));
}

TEST(Animation, ClosingShrinksJustPastTheCentre) {
  const RECT rect{100, 50, 800, 450}; // centre 450,250
  const std::vector<AnimationQuad> frames = AnimationFrames(rect, 20, false);
  ASSERT_EQ(frames.size(), 21u);
  EXPECT_TRUE(Same(frames[0][0], 117, 60));
  EXPECT_TRUE(Same(frames[0][2], 783, 440));
  // 21 steps of 17 cross the 350 to the centre; the half turn swaps the corners back.
  EXPECT_TRUE(Same(frames[20][0], 443, 240));
  EXPECT_TRUE(Same(frames[20][2], 457, 260));
  EXPECT_TRUE(AnimationFrames(rect, 0, false).empty());
}

namespace {

struct Screenshot {
  RECT area;
  std::vector<uint32_t> pixels;
};

Screenshot Capture(const RECT &area) {
  Screenshot shot{area, {}};
  const int w = area.right - area.left, h = area.bottom - area.top;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void *bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const uint32_t *p = static_cast<const uint32_t *>(bits);
  shot.pixels.assign(p, p + size_t(w) * size_t(h));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&msg);
}

struct AnimationRun {
  HWND window;
  double milliseconds = 0;
  volatile LONG done = 0;
};

DWORD WINAPI Animate(void *param) {
  AnimationRun &run = *static_cast<AnimationRun *>(param);
  const auto start = std::chrono::steady_clock::now();
  AnimateWindowOpen(run.window, 20);
  run.milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  InterlockedExchange(&run.done, 1);
  return 0;
}

} // namespace

TEST(Animation, DrawsOnTheScreenAndPutsItBack) {
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "",
                                WS_POPUP | WS_VISIBLE | SS_WHITERECT, 400, 300, 360, 240, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  PumpMessages();
  Sleep(200);
  PumpMessages();

  // Everything any frame covers, kept on the screen.
  RECT rect, area{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0, 0};
  GetWindowRect(window, &rect);
  for (const AnimationQuad &quad : AnimationFrames(rect, 20, true))
    for (POINT p : quad) {
      area.left = std::max(0L, std::min(area.left, p.x - 1));
      area.top = std::max(0L, std::min(area.top, p.y - 1));
      area.right = std::min(long(GetSystemMetrics(SM_CXSCREEN)), std::max(area.right, p.x + 2));
      area.bottom = std::min(long(GetSystemMetrics(SM_CYSCREEN)), std::max(area.bottom, p.y + 2));
    }
  const Screenshot before = Capture(area);

  AnimationRun run{window};
  HANDLE thread = CreateThread(nullptr, 0, Animate, &run, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  int changedShots = 0;
  while (!run.done)
    if (Capture(area).pixels != before.pixels)
      ++changedShots;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);

  EXPECT_GE(run.milliseconds, 210.0);
  EXPECT_GT(changedShots, 0) << "no outline ever showed";
  EXPECT_TRUE(Capture(area).pixels == before.pixels) << "the screen was not restored";
  DestroyWindow(window);
}

// ---- panel sizing and moving -----------------------------------------------------------------

TEST(PanelZones, TableOrderAndBorders) {
  struct Case {
    int w, h, x, y, border;
    tk::TCursor cursor;
    WORD command;
  } cases[] = {
      {100, 100, 2, 50, 5, tk::crSizeWE, 0xF001},   {100, 100, 5, 50, 5, tk::crSizeWE, 0xF001},
      {100, 100, 95, 50, 5, tk::crSizeWE, 0xF002},  {100, 100, 50, 3, 5, tk::crSizeNS, 0xF003},
      {100, 100, 2, 2, 5, tk::crSizeNWSE, 0xF004},  {100, 100, 5, 5, 5, tk::crSizeNWSE, 0xF004},
      {100, 100, 98, 1, 5, tk::crSizeNESW, 0xF005}, {100, 100, 50, 97, 5, tk::crSizeNS, 0xF006},
      {100, 100, 3, 96, 5, tk::crSizeNESW, 0xF007}, {100, 100, 99, 99, 5, tk::crSizeNWSE, 0xF008},
      {100, 100, 50, 50, 5, tk::crSizeAll, 0xF009}, {100, 100, 6, 94, 5, tk::crSizeAll, 0xF009},
      {100, 100, 7, 50, 8, tk::crSizeWE, 0xF001},   {100, 100, 4, 50, 2, tk::crDefault, 0xF000},
      {100, 100, 50, 95, 2, tk::crDefault, 0xF000}, {100, 100, 6, 50, 2, tk::crSizeAll, 0xF009},
      {8, 100, 4, 50, 5, tk::crSizeWE, 0xF001},     {100, 8, 50, 4, 5, tk::crSizeNS, 0xF003},
  };
  for (const Case &c : cases) {
    SizeMoveZone zone = PanelSizeMoveZone(c.w, c.h, c.x, c.y, c.border);
    SCOPED_TRACE(testing::Message()
                 << c.w << "x" << c.h << " at " << c.x << "," << c.y << " border " << c.border);
    EXPECT_EQ(zone.cursor, c.cursor);
    EXPECT_EQ(zone.command, c.command);
  }
}

namespace {

// Records the drag commands instead of entering the system's modal size and move loop.
class RecordingPanel : public tk::TPanel {
public:
  using tk::TPanel::TPanel;
  std::vector<WPARAM> commands;
  void WndProc(tk::TMessage &message) override {
    if (message.Msg == WM_SYSCOMMAND)
      commands.push_back(message.WParam);
    else
      tk::TPanel::WndProc(message);
  }
};

// The cursor a control shows when the system asks it, as it does whenever the mouse moves or a
// button goes down over it.
HCURSOR CursorShownBy(tk::TWinControl *control) {
  ::SetCursor(nullptr);
  HWND window = control->Handle();
  SendMessageA(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  return GetCursor();
}

} // namespace

TEST(PanelZones, ThePanelKeepsTheZoneCursorAndTheLeftButtonAloneDrags) {
  tk::InitApplication();
  auto form = std::make_unique<tk::TForm>(tk::Application);
  form->SetBounds(50, 50, 300, 300);
  form->HandleNeeded();
  auto *panel = new RecordingPanel(form.get());
  auto *other = new tk::TPanel(form.get());
  for (tk::TPanel *p : {static_cast<tk::TPanel *>(panel), other}) {
    p->SetBorderStyle(tk::bsSingle);
    p->SetParent(form.get());
    p->SetBounds(p == panel ? 10 : 150, 10, 100, 100);
  }
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  ASSERT_LT(panel->ClientWidth(), 100) << "the border must make the client smaller than the window";

  // On the client's right border, which is inside the window's middle band.
  SetCapture(panel->Handle());
  PanelMouseSizeMove(panel, tk::ssLeft, panel->ClientWidth() - 5, 50, 5);
  EXPECT_EQ(panel->commands, std::vector<WPARAM>{0xF002});
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE)) << "shown at once";

  panel->commands.clear();
  SetCapture(panel->Handle());
  PanelMouseSizeMove(panel, tk::ssLeft | tk::ssShift, 2, 2, 5);
  PanelMouseSizeMove(panel, tk::ssRight, 2, 2, 5);
  EXPECT_TRUE(panel->commands.empty());
  EXPECT_EQ(GetCapture(), panel->Handle());
  ReleaseCapture();
  // The panel answers with its zone's cursor from now on; the other panel keeps the arrow.
  EXPECT_EQ(CursorShownBy(panel), LoadCursorA(nullptr, IDC_SIZENWSE));
  EXPECT_EQ(CursorShownBy(other), arrow);

  PanelMouseSizeMove(panel, tk::ssLeft, 40, 40, 5);
  EXPECT_EQ(panel->commands, std::vector<WPARAM>{0xF009});
  PanelMouseSizeMove(panel, 0, 3, 50, 2);
  EXPECT_EQ(CursorShownBy(panel), arrow) << "between the border and the move area";
}
