// The Miscellaneous form driven through its controls, against the test's registry and folders.
#include "app/AppFixture.h"

#include "features/misc/UnitFrmMore.h"
#include "support/FakeShell.h"
#include "support/Registry.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

constexpr const char *International = "Control Panel\\International";
constexpr const char *Winlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char *const Absent = "(absent)";

// A string value as stored, or Absent.
std::string Stored(HKEY root, const std::string &key, const std::string &name) {
  DWORD type = 0;
  std::string bytes;
  if (!testenv::GetRawValue(root, key, name, type, bytes))
    return Absent;
  return std::string(bytes.c_str());
}

std::vector<testenv::ShellCall> ShellExecutes() {
  std::vector<testenv::ShellCall> calls;
  for (const testenv::ShellCall &call : testenv::Shell().calls)
    if (call.what == "ShellExecute")
      calls.push_back(call);
  return calls;
}

std::string Padded(const std::string &caption) {
  return caption + std::string(255 - caption.size(), ' ');
}

// Two users of one machine: while it lives, HKEY_CURRENT_USER is one of two trees of the test's
// own, and the test switches between them.
class TwoUsers {
public:
  TwoUsers() {
    for (int i = 0; i < 2; ++i)
      RegCreateKeyExA(HKEY_CURRENT_USER, i ? "UserB" : "UserA", 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &trees_[i], nullptr);
  }
  ~TwoUsers() {
    RegOverridePredefKey(HKEY_CURRENT_USER, testenv::SandboxRoot(HKEY_CURRENT_USER));
    for (HKEY tree : trees_)
      RegCloseKey(tree);
  }
  TwoUsers(const TwoUsers &) = delete;
  TwoUsers &operator=(const TwoUsers &) = delete;
  void Become(int user) { ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, trees_[user]), 0); }

private:
  HKEY trees_[2] = {};
};

// The one message for what a standard user was not allowed to change.
constexpr const char *NotChanged = "these settings were not:";

class TaskbarMoreForm : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    WriteConfig("");
  }
  void Open() {
    StartProgram();
    Frmmain->Lbl_More->Click();
    ASSERT_NE(FrmMore, nullptr);
  }
  std::string Config(const std::string &section, const std::string &key) {
    return TIniFile(testenv::Places().programDir + "Data\\Config.ini")
        .ReadString(section, key, Absent);
  }
  std::string RunValue() { return Stored(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue); }
  std::string HelperCommand() { return "\"" + testenv::Places().programDir + "Hovelin.exe\""; }
  void Slide(int position) { FrmMore->TrackBar1->SetPosition(position); }
  void ApplyCaption(const std::string &caption) {
    FrmMore->Edit3->SetText(caption);
    FrmMore->BitBtn4->Click();
  }
  void ApplyClock(const std::string &text) {
    testenv::Prompts().Expect("You will see it the next time your windows starts", IDOK, "OK");
    FrmMore->Edit5->SetText(text);
    FrmMore->BitBtn5->Click();
  }
  void RestoreClock() {
    testenv::Prompts().Expect("You will see it the next time your windows starts", IDOK, "OK");
    FrmMore->BitBtn6->Click();
  }
  std::string Clock(const char *name) { return Stored(HKEY_CURRENT_USER, International, name); }
};

} // namespace

TEST_F(TaskbarMoreForm, TheSliderShowsTheOpacityAndStoresIt) {
  Open();
  EXPECT_TRUE(FrmMore->Visible());
  EXPECT_FALSE(Frmmain->Visible());
  EXPECT_EQ(FrmMore->PageControl1->ActivePage(), FrmMore->TabSheet4);
  EXPECT_EQ(FrmMore->Label1->Caption(), "100%");

  const struct {
    int position;
    const char *shown, *alpha;
  } steps[] = {{128, "49%", "127"}, {255, "0%", "0"}, {0, "100%", "255"}};
  for (const auto &step : steps) {
    Slide(step.position);
    EXPECT_EQ(FrmMore->Label1->Caption(), step.shown) << step.position;
    EXPECT_EQ(Config("Taskbar", "Transparent"), step.alpha) << step.position;
  }

  // The next opening shows what was stored.
  Slide(51);
  FrmMore->Close();
  EXPECT_TRUE(Frmmain->Visible());
  Frmmain->Lbl_More->Click();
  EXPECT_EQ(FrmMore->TrackBar1->Position(), 51);
  EXPECT_EQ(FrmMore->Label1->Caption(), "80%");
}

// The slider and the Start button each need the helper at the next log-on; neither takes its
// start with Windows away while the other still needs it.
TEST_F(TaskbarMoreForm, EachSettingKeepsTheHelperWhileTheOtherNeedsIt) {
  Open();
  Slide(100);
  EXPECT_EQ(RunValue(), HelperCommand());
  Slide(0);
  EXPECT_EQ(RunValue(), Absent);

  ApplyCaption("Grove");
  EXPECT_EQ(RunValue(), HelperCommand());
  Slide(100);
  Slide(0);
  EXPECT_EQ(RunValue(), HelperCommand()) << "the caption still needs the helper";

  Slide(100);
  FrmMore->BitBtn3->Click(); // Restore
  EXPECT_EQ(Config("StartButton", "Caption"), "Start");
  EXPECT_EQ(RunValue(), HelperCommand()) << "the translucent taskbar still needs the helper";
  Slide(0);
  EXPECT_EQ(RunValue(), Absent);

  ApplyCaption("");
  EXPECT_EQ(Config("StartButton", "Caption"), "");
  EXPECT_EQ(RunValue(), Absent);
}

TEST_F(TaskbarMoreForm, ACaptionGoesOnTheButtonAndToAFreshHelper) {
  testenv::FakeTaskbar bar;
  // A helper running from before, and another program's window of the same caption.
  testenv::fakeshell::Register("TFrmHovelin");
  HWND helper = CreateWindowExA(0, "TFrmHovelin", "Lumagrove Helper", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  testenv::fakeshell::Register("NotTheHelper");
  HWND namesake = CreateWindowExA(0, "NotTheHelper", "Lumagrove Helper", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  Open();
  EXPECT_EQ(FrmMore->Edit4->Text(), "start");

  ApplyCaption("Grove");
  EXPECT_FALSE(IsWindow(helper)) << "the running helper was closed";
  EXPECT_TRUE(IsWindow(namesake));
  EXPECT_EQ(bar.ButtonText(), Padded("Grove"));
  EXPECT_EQ(bar.Place(bar.button).right, testenv::ExpectedButtonWidth("Grove"));
  EXPECT_EQ(FrmMore->Edit4->Text(), "Grove");
  EXPECT_EQ(FrmMore->Edit3->Text(), "");
  EXPECT_EQ(Config("StartButton", "Caption"), "Grove");
  ASSERT_EQ(ShellExecutes().size(), 1u);
  const testenv::ShellCall start = ShellExecutes()[0];
  EXPECT_EQ(start.file, testenv::Places().programDir + "Hovelin.exe") << "a path, not a command";
  EXPECT_EQ(start.parameters, "");
  EXPECT_EQ(start.showCmd, SW_SHOWMAXIMIZED);

  FrmMore->BitBtn3->Click(); // Restore
  EXPECT_EQ(bar.ButtonText(), Padded("Start"));
  EXPECT_EQ(FrmMore->Edit4->Text(), "Start");
  EXPECT_EQ(ShellExecutes().size(), 1u) << "no helper for the Start caption";
  DestroyWindow(namesake);
}

TEST_F(TaskbarMoreForm, TheLogOnMessageIsWrittenAndTakenAway) {
  Open();
  FrmMore->Edit1->SetText("Notice");
  FrmMore->Edit2->SetText("Authorised users only.");
  FrmMore->BitBtn1->Click();
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, Winlogon, "LegalNoticeCaption"), "Notice");
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, Winlogon, "LegalNoticeText"), "Authorised users only.");

  FrmMore->Close();
  Frmmain->Lbl_More->Click();
  EXPECT_EQ(FrmMore->Edit1->Text(), "Notice");
  FrmMore->BitBtn2->Click();
  EXPECT_EQ(FrmMore->Edit1->Text(), "");
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, Winlogon, "LegalNoticeCaption"), Absent);
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, Winlogon, "LegalNoticeText"), Absent);
}

TEST_F(TaskbarMoreForm, TheClockTextRestoresOriginalsThatWereAbsent) {
  Open();
  ApplyClock("Lunch");
  EXPECT_EQ(Clock("sTimeFormat"), "tttt HH:mm");
  EXPECT_EQ(Clock("s1159"), "Lunch");
  EXPECT_EQ(Clock("s2359"), "Lunch");
  ApplyClock("Tea"); // the backup stays the first one's
  EXPECT_EQ(Clock("s1159"), "Tea");

  RestoreClock();
  EXPECT_EQ(FrmMore->Edit5->Text(), "");
  for (const char *name : {"sTimeFormat", "s1159", "s2359", "sTimeFormat_1", "s1159_1", "s2359_1"})
    EXPECT_EQ(Clock(name), Absent) << name;
  FrmMore->BitBtn6->Click(); // nothing left to restore: no message
}

TEST_F(TaskbarMoreForm, TheClockTextPutsBackWhatWasThereAndRefusesTooLongATexts) {
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "sTimeFormat", "h:mm:ss tt");
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "s1159", "AM");
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "s2359", "PM");
  Open();
  // Windows XP takes twelve characters.
  testenv::Prompts().Expect("The text is too long for the clock.", IDOK, "Error");
  FrmMore->Edit5->SetText("Thirteen char");
  FrmMore->BitBtn5->Click();
  EXPECT_EQ(Clock("s1159"), "AM");
  EXPECT_EQ(Clock("sTimeFormat_1"), Absent);

  ApplyClock("Twelve chars");
  ApplyClock("Tea");
  RestoreClock();
  EXPECT_EQ(Clock("sTimeFormat"), "h:mm:ss tt");
  EXPECT_EQ(Clock("s1159"), "AM");
  EXPECT_EQ(Clock("s2359"), "PM");

  // A backup an earlier version took counts as taken.
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "sTimeFormat_1", "HH:mm:ss");
  ApplyClock("Tea");
  EXPECT_EQ(Clock("sTimeFormat_1"), "HH:mm:ss");
}

// Each user's clock has backups of its own. An install from before keeps its note of a backup in
// the shared Config.ini: it still counts, for a user who has a backup value.
TEST_F(TaskbarMoreForm, EachUserGetsTheirOwnClockBackup) {
  WriteConfig("[Clock]\r\nBackupTaken=1\r\n");
  TwoUsers users;
  users.Become(0);
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "s1159", "Lunch");
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "s1159_1", "AM"); // kept from before
  users.Become(1);
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "sTimeFormat", "HH:mm:ss");
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "s1159", "vorm.");
  testenv::SetStringValue(HKEY_CURRENT_USER, International, "s2359", "nachm.");
  Open();

  ApplyClock("Tea");
  EXPECT_EQ(Clock("sTimeFormat_1"), "HH:mm:ss");
  EXPECT_EQ(Clock("s2359_1"), "nachm.");
  users.Become(0);
  ApplyClock("Tea");
  EXPECT_EQ(Clock("s1159_1"), "AM") << "the backup from before stays";
  RestoreClock();
  EXPECT_EQ(Clock("s1159"), "AM");
  EXPECT_EQ(Clock("s1159_1"), Absent);

  users.Become(1);
  RestoreClock();
  EXPECT_EQ(Clock("sTimeFormat"), "HH:mm:ss");
  EXPECT_EQ(Clock("s1159"), "vorm.");
  EXPECT_EQ(Clock("s2359"), "nachm.");
  for (const char *name : {"sTimeFormat_1", "s1159_1", "s2359_1"})
    EXPECT_EQ(Clock(name), Absent) << name;
  EXPECT_EQ(Stored(HKEY_CURRENT_USER, ProgramKey, "ClockBackupTaken"), Absent);
  FrmMore->BitBtn6->Click(); // restored: nothing left, no message
}

// A standard user may not change the machine's Run and Winlogon keys. The form still opens
// whole over a translucent taskbar, puts the caption on the button, and says once what was not
// changed.
TEST_F(TaskbarMoreForm, RefusedMachineKeysLeaveTheRestDone) {
  WriteConfig("[Taskbar]\r\nTransparent=100\r\n");
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, AutostartKey);
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, Winlogon);
  testenv::FakeTaskbar bar;
  Open();
  EXPECT_EQ(FrmMore->TrackBar1->Position(), 155);
  EXPECT_EQ(FrmMore->Label1->Caption(), "39%");
  EXPECT_EQ(FrmMore->Edit4->Text(), "start");

  testenv::Prompts().Expect(NotChanged, IDOK);
  ApplyCaption("Grove");
  EXPECT_EQ(bar.ButtonText(), Padded("Grove"));
  EXPECT_EQ(FrmMore->Edit4->Text(), "Grove");
  EXPECT_EQ(ShellExecutes().size(), 1u) << "the helper still runs for this session";
  EXPECT_EQ(RunValue(), Absent);
  ASSERT_FALSE(testenv::Prompts().Seen().empty());
  const std::string told = testenv::Prompts().Seen().back().text;
  EXPECT_NE(told.find("\"Lumagrove\" under HKEY_LOCAL_MACHINE\\" + std::string(AutostartKey)),
            std::string::npos)
      << told;
  EXPECT_NE(told.find("needs an administrator"), std::string::npos) << told;

  // A drag is many moves: told once (a second message would fail the test).
  testenv::Prompts().Expect(NotChanged, IDOK);
  Slide(200);
  Slide(210);
  EXPECT_EQ(Config("Taskbar", "Transparent"), "45");
  EXPECT_EQ(FrmMore->Label1->Caption(), "17%");

  testenv::Prompts().Expect(NotChanged, IDOK);
  FrmMore->Edit1->SetText("Notice");
  FrmMore->BitBtn1->Click();
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, Winlogon, "LegalNoticeCaption"), Absent);
  FrmMore->BitBtn2->Click(); // nothing there to take away: nothing refused, no message
  EXPECT_EQ(FrmMore->Edit1->Text(), "");
}
