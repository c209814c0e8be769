// Hovelin as the shell starts it, in a program folder of the test's own, over a taskbar of the
// test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "features/misc/Func_misc.h"
#include "support/FakeShell.h"
#include "support/MessagePump.h"
#include "tray/ProgramRun.h"

using programrun::Child;
using testenv::FakeTaskbar;
using testenv::PumpFor;
using testenv::PumpUntil;

namespace {

std::string Trimmed(const std::string &text) { return TrimCaption(text); }

} // namespace

TEST(TaskbarHovelin, KeepsTheTaskbarAsStoredAndEndsWhenClosed) {
  programrun::HelperSweep sweep;
  FakeTaskbar bar;
  std::string dir = programrun::ProgramCopyWith(
      "[Taskbar]\r\nTransparent=100\r\n[StartButton]\r\nCaption=Go\r\n");
  Child helper;
  ASSERT_TRUE(helper.Start(dir + "Hovelin.exe", ""));
  // Never shown, found by its class and caption.
  HWND form = programrun::WaitForWindow(helper.pi.dwProcessId, HelperWindowClass,
                                        HelperWindowCaption, false, 30000);
  ASSERT_NE(form, nullptr);
  RECT r;
  GetWindowRect(form, &r);
  DWORD_PTR hit = 0;
  SendMessageTimeoutA(form, WM_NCHITTEST, 0,
                      MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2), SMTO_NORMAL,
                      10000, &hit);
  EXPECT_EQ(hit, DWORD_PTR(HTCAPTION)) << "dragged by its body";

  int width = testenv::ExpectedButtonWidth("Go");
  auto captioned = [&] {
    return Trimmed(bar.ButtonText()) == "Go" && bar.Place(bar.button).right == width &&
           bar.Place(bar.band).left == width + 5;
  };
  ASSERT_TRUE(PumpUntil(captioned, 10000)) << bar.ButtonText();
  EXPECT_FALSE(IsWindowVisible(form));
  EXPECT_TRUE(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // No taskbar button: the application's window is a tool window.
  HWND application = lumagrove::TopWindow(helper.pi.dwProcessId, nullptr, "Hovelin", false);
  ASSERT_NE(application, nullptr);
  LONG applicationStyle = GetWindowLongA(application, GWL_EXSTYLE);
  EXPECT_TRUE(applicationStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(applicationStyle & WS_EX_APPWINDOW);
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_TRUE(GetLayeredWindowAttributes(bar.taskbar, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 100);

  // The watchdog leaves a taskbar that is as it left it alone...
  PumpFor(300);
  int placings = bar.bandPlacings;
  PumpFor(2500);
  EXPECT_EQ(bar.bandPlacings, placings);
  // ... and puts the caption back when the button shows another text,
  SetWindowTextA(bar.button, "start");
  EXPECT_TRUE(PumpUntil(captioned, 5000)) << bar.ButtonText();
  // or when Explorer lays the taskbar out anew under the same text.
  SetWindowPos(bar.button, HWND_TOP, 0, 0, 60, 30, SWP_NOZORDER);
  SetWindowPos(bar.band, HWND_TOP, 66, 0, 634, 30, SWP_NOZORDER);
  EXPECT_TRUE(PumpUntil(captioned, 5000));

  PostMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_TRUE(programrun::EndsWithin(helper, 20000));
}
