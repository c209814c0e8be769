// The road of a Start-button caption: Lumagrove's Miscellaneous form applies it, starts the
// helper from the program folder, and its Restore closes the helper again. Both programs run as
// the shell starts them; the test drives Lumagrove with the messages a user's clicks send.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/RegUnit.h"
#include "features/misc/Func_misc.h"
#include "support/FakeShell.h"
#include "tray/ProgramRun.h"

using lumagrove::Children;
using programrun::Child;
using testenv::PumpUntil;

namespace {

// The Start button page: the sheet whose first edit is the read-only one (the current caption).
struct StartButtonPage {
  HWND newCaption = nullptr, apply = nullptr, restore = nullptr;
};

StartButtonPage FindStartButtonPage(HWND form) {
  StartButtonPage page;
  HWND pages = FindWindowExA(form, nullptr, "SysTabControl32", nullptr);
  for (HWND sheet : Children(pages, "TkWindow")) {
    std::vector<HWND> edits = Children(sheet, "Edit");
    if (edits.size() != 2 || !(GetWindowLongA(edits[0], GWL_STYLE) & ES_READONLY))
      continue;
    page.newCaption = edits[1];
    page.apply = FindWindowExA(sheet, nullptr, "Button", "Apply");
    page.restore = FindWindowExA(sheet, nullptr, "Button", "Restore");
  }
  return page;
}

void Press(HWND button) {
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

// The Run value as the machine has it: the programs under test write the prefix's own registry.
std::string MachineRunValue() {
  testenv::RealMachineRoots real;
  return ReadRegValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue);
}

// Takes away a Run value a failed test left in the prefix.
struct RunValueSweep {
  ~RunValueSweep() {
    testenv::RealMachineRoots real;
    DeleteRegValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue);
  }
};

} // namespace

TEST(TaskbarRoad, MiscellaneousStartsTheHelperAndClosesItAgain) {
  RunValueSweep runValueSweep;
  programrun::HelperSweep helperSweep;
  testenv::FakeTaskbar bar;
  std::string dir = programrun::ProgramCopyWith("");
  Child lumagrove;
  ASSERT_TRUE(lumagrove.Start(dir + "Lumagrove.exe", ""));
  DWORD pid = lumagrove.pi.dwProcessId;
  HWND main = programrun::WaitForWindow(pid, "TkWindow", "Lumagrove", true, 60000);
  ASSERT_NE(main, nullptr);

  lumagrove::Click(lumagrove::LinkPanel(main), lumagrove::MiscellaneousLink);
  HWND form = programrun::WaitForWindow(pid, "TkWindow", "Miscellaneous", true, 30000);
  ASSERT_NE(form, nullptr);
  StartButtonPage page = FindStartButtonPage(form);
  ASSERT_NE(page.apply, nullptr);
  ASSERT_NE(page.restore, nullptr);

  DWORD_PTR done = 0;
  SendMessageTimeoutA(page.newCaption, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Grove"),
                      SMTO_NORMAL, 10000, &done);
  Press(page.apply);
  HWND helper = nullptr;
  EXPECT_TRUE(PumpUntil(
      [&] {
        helper = lumagrove::TopWindow(0, HelperWindowClass, HelperWindowCaption, false);
        return helper && TrimCaption(bar.ButtonText()) == "Grove";
      },
      30000))
      << bar.ButtonText();
  EXPECT_EQ(MachineRunValue(), "\"" + dir + "Hovelin.exe\"");
  DWORD helperPid = 0;
  GetWindowThreadProcessId(helper, &helperPid);
  EXPECT_NE(helperPid, pid);

  Press(page.restore);
  EXPECT_TRUE(PumpUntil(
      [&] { return FindHelperWindows().empty() && TrimCaption(bar.ButtonText()) == "Start"; },
      30000))
      << bar.ButtonText();
  EXPECT_EQ(MachineRunValue(), "");
}
