// The helper's form inside the test: its tray menu's commands through the shell seam and their
// registry and window effects.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/RegUnit.h"
#include "components/TrayIcon.h"
#include "support/FakeShell.h"
#include "support/MessagePump.h"
#include "support/Registry.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/Registry.h"
#include "tray/UnitFrmHovelin.h"

using namespace tk;

namespace {

class TaskbarHovelinForm : public ::testing::Test {
protected:
  void SetUp() override {
    InitApplication();
    testenv::WriteFile(Program() + "Data\\Config.ini", "");
  }
  void TearDown() override {
    TRegistry::OpenKeyFault = nullptr;
    FrmHovelin = nullptr;
    DoneApplication();
  }
  static std::string Program() { return testenv::Places().programDir; }
  static std::string Padded(const std::string &caption) {
    return caption + std::string(255 - caption.size(), ' ');
  }
  // What the Run value holds for the program folder's helper: its path in quotes.
  static std::string HelperCommand() {
    std::string command = "\"";
    command += Program() + "Hovelin.exe";
    return command += '"';
  }
  void Start() { CreateForm(Application, FrmHovelin); }
  void Stop() {
    delete FrmHovelin;
    FrmHovelin = nullptr;
  }
  // The calls of one kind the menu made, in order.
  std::vector<testenv::ShellCall> Calls(const std::string &what) {
    std::vector<testenv::ShellCall> found;
    for (const testenv::ShellCall &call : testenv::Shell().calls)
      if (call.what == what)
        found.push_back(call);
    return found;
  }
  std::string RunValue() {
    DWORD type = 0;
    std::string bytes;
    if (!testenv::GetRawValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue, type, bytes))
      return "(absent)";
    return bytes.c_str();
  }
};

} // namespace

TEST_F(TaskbarHovelinForm, TheMenuOpensWhatItNames) {
  Start();
  // Its icon in the notification area is the whole of its face.
  bool added = false;
  for (const testenv::ShellCall &icon : testenv::Shell().IconCalls())
    added = added ||
            (icon.iconMessage == NIM_ADD && std::string(icon.iconData.szTip) == "Lumagrove Helper");
  EXPECT_TRUE(added);

  FrmHovelin->N8->Click();
  FrmHovelin->N7->Click();
  std::vector<testenv::ShellCall> opened = Calls("ShellExecute");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].file, Program() + "Lumagrove.exe");
  EXPECT_EQ(opened[0].parameters, "");
  EXPECT_EQ(opened[0].showCmd, SW_SHOWNORMAL);
  EXPECT_EQ(opened[1].file, Program() + "Lumagrove.chm");
  EXPECT_EQ(opened[1].showCmd, SW_SHOWMAXIMIZED);

  // Display settings by the system folder's program, never a namesake in the current folder.
  FrmHovelin->N9->Click();
  ASSERT_EQ(Calls("WinExec").size(), 1u);
  EXPECT_EQ(Calls("WinExec")[0].file,
            "\"" + testenv::Places().systemDir +
                "\\rundll32.exe\" shell32.dll,Control_RunDLL desk.cpl,,4");
  EXPECT_EQ(Calls("WinExec")[0].showCmd, SW_RESTORE);

  FrmHovelin->N6->Click();
  ASSERT_EQ(Calls("ShellAbout").size(), 1u);
  EXPECT_EQ(Calls("ShellAbout")[0].file, "Lumagrove Helper");
}

TEST_F(TaskbarHovelinForm, TheWallpaperPageIsAppliedOnlyOnceItIsMade) {
  Start();
  testenv::Prompts().Expect("Wallpaper list is not created!", IDOK, "Error");
  FrmHovelin->N2->Click();
  EXPECT_TRUE(Calls("SetDesktopWallpaper").empty());

  std::string page = testenv::Places().systemDir + "\\Lumagrove_wp.html";
  testenv::WriteFile(page, "<html></html>");
  FrmHovelin->N2->Click();
  FrmHovelin->N3->Click();
  std::vector<testenv::ShellCall> applied = Calls("SetDesktopWallpaper");
  ASSERT_EQ(applied.size(), 2u);
  EXPECT_EQ(applied[0].file, page);
  EXPECT_EQ(applied[0].showCmd, 2) << "stretched";
  EXPECT_EQ(applied[0].creationFlags, 15u) << "applied at once";
  EXPECT_EQ(applied[1].file, Program() + "Wallpaper\\Lumagrove01.jpg");

  // Where there is no Active Desktop the user is told (by the application's error box).
  testenv::Shell().desktopResult = REGDB_E_CLASSNOTREG;
  testenv::Shell().desktopFailedCall = "CoCreateInstance";
  EXPECT_THROW(FrmHovelin->N3->Click(), Exception);
}

TEST_F(TaskbarHovelinForm, DesktopIconsHideAndShow) {
  testenv::FakeDesktop desktop;
  Start();
  FrmHovelin->N5->Click();
  EXPECT_FALSE(desktop.IconsShown());
  EXPECT_TRUE(GetWindowLongA(desktop.view, GWL_STYLE) & WS_VISIBLE) << "the icon list alone";
  FrmHovelin->N4->Click();
  EXPECT_TRUE(desktop.IconsShown());
}

TEST_F(TaskbarHovelinForm, StartingWithWindowsIsTickedAsItIs) {
  // A value naming a program that is not there is not ticked.
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue, HelperCommand());
  Start();
  EXPECT_FALSE(FrmHovelin->N12->Checked());

  FrmHovelin->N12->Click();
  EXPECT_TRUE(FrmHovelin->N12->Checked());
  EXPECT_EQ(RunValue(), HelperCommand());
  FrmHovelin->N12->Click();
  EXPECT_FALSE(FrmHovelin->N12->Checked());
  EXPECT_EQ(RunValue(), "(absent)");

  // A user who may not write the machine's Run key is told, and the tick stays as it is.
  TRegistry::OpenKeyFault = [](HKEY root, const std::string &path) {
    return root == HKEY_LOCAL_MACHINE && SameText(path, AutostartKey);
  };
  testenv::Prompts().Expect("only an administrator", IDOK, "Error");
  FrmHovelin->N12->Click();
  EXPECT_FALSE(FrmHovelin->N12->Checked());
  EXPECT_EQ(RunValue(), "(absent)");
  TRegistry::OpenKeyFault = nullptr;

  // The helper of the value is there: ticked.
  testenv::WriteFile(Program() + "Hovelin.exe", "MZ");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue, HelperCommand());
  Start();
  EXPECT_TRUE(FrmHovelin->N12->Checked());
}

// What Lumagrove stored, read with care: an alpha out of range is taken at its nearest end, one
// that is no number as opaque; "Start" is no caption of ours, and the button stays as it is.
TEST_F(TaskbarHovelinForm, StoredSettingsAreReadWithCare) {
  testenv::FakeTaskbar bar;
  const struct {
    const char *stored;
    BYTE alpha;
  } cases[] = {{"300", 255}, {"-20", 0}, {"half", 255}, {"128", 128}};
  for (const auto &c : cases) {
    testenv::WriteFile(Program() + "Data\\Config.ini",
                       std::string("[Taskbar]\r\nTransparent=") + c.stored +
                           "\r\n[StartButton]\r\nCaption=Start\r\n");
    Start();
    BYTE alpha = 1;
    ASSERT_TRUE(GetLayeredWindowAttributes(bar.taskbar, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, c.alpha) << c.stored;
  }
  testenv::PumpFor(1300); // a watchdog tick
  EXPECT_EQ(bar.ButtonText(), "start");
  EXPECT_EQ(bar.bandPlacings, 0);
}

// Explorer started anew: the new taskbar is opaque and its Start button Windows' own. The helper
// hears "TaskbarCreated" and applies what Lumagrove stores by then.
TEST_F(TaskbarHovelinForm, ANewTaskbarGetsTheStoredSettingsAgain) {
  auto bar = std::make_unique<testenv::FakeTaskbar>();
  testenv::WriteFile(Program() + "Data\\Config.ini",
                     "[Taskbar]\r\nTransparent=100\r\n[StartButton]\r\nCaption=Go\r\n");
  Start();
  EXPECT_EQ(bar->ButtonText(), Padded("Go"));

  bar = std::make_unique<testenv::FakeTaskbar>();
  testenv::WriteFile(Program() + "Data\\Config.ini",
                     "[Taskbar]\r\nTransparent=60\r\n[StartButton]\r\nCaption=Go\r\n");
  ASSERT_NE(TTrayIcon::TaskbarCreatedMessage(), 0u);
  // To the helper's own window: a broadcast would reach the other tests' windows too.
  SendMessageA(FrmHovelin->Handle(), TTrayIcon::TaskbarCreatedMessage(), 0, 0);
  BYTE alpha = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(bar->taskbar, nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 60);
  EXPECT_EQ(bar->ButtonText(), Padded("Go"));
  EXPECT_EQ(bar->Place(bar->button).right, testenv::ExpectedButtonWidth("Go"));
}

// Lumagrove stores a caption so that the helper puts it on the button as it was typed, blanks
// and quotes included; one stored by an earlier version reads as it always did.
TEST_F(TaskbarHovelinForm, CaptionsComeBackAsTyped) {
  testenv::FakeTaskbar bar;
  for (const std::string caption : {"  Go", "\"Hi\""}) {
    WriteStartButtonCaption(caption);
    Start();
    EXPECT_EQ(bar.ButtonText(), Padded(caption)) << caption;
    Stop();
  }
  testenv::WriteFile(Program() + "Data\\Config.ini", "[StartButton]\r\nCaption=  \"Go\"  \r\n");
  Start();
  EXPECT_EQ(bar.ButtonText(), Padded("Go"));
}
