// The start-up password: set, changed and removed in the options, asked for at start.
#include "AppFixture.h"

#include "app/UnitFrmOption.h"
#include "app/UnitFrmPwd.h"
#include "support/Registry.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;

namespace {

std::string Password() { return ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "PWD"); }

void SetPassword(const std::string &text) {
  WriteRegValue(HKEY_CURRENT_USER, ProgramKey, "PWD", text, 1);
}

} // namespace

class Options : public AppTest {
protected:
  void OpenOptions() {
    StartProgram();
    Frmmain->ToolButton3->Click();
  }
  void Enter(const std::string &old, const std::string &fresh, const std::string &verify) {
    FrmOption->LabeledEdit1->SetText(old);
    FrmOption->LabeledEdit2->SetText(fresh);
    FrmOption->LabeledEdit3->SetText(verify);
    FrmOption->BitBtn3->Click();
  }
};

TEST_F(Options, AFirstPasswordNeedsNoOldOne) {
  OpenOptions();
  testenv::Prompts().Expect("Password has changed!", IDOK, "OK");
  Enter("", "Secret", "Secret");
  EXPECT_EQ(Password(), "Secret");
  EXPECT_EQ(FrmOption, nullptr) << "closed and freed";
  EXPECT_EQ(testenv::Prompts().Seen()[0].flags & MB_ICONMASK, UINT(MB_ICONINFORMATION));
}

TEST_F(Options, TypedPasswordsAreMaskedAndStoredAsTyped) {
  OpenOptions();
  for (TLabeledEdit *edit :
       {FrmOption->LabeledEdit1, FrmOption->LabeledEdit2, FrmOption->LabeledEdit3}) {
    EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    if (edit != FrmOption->LabeledEdit1)
      for (char c : std::string("Secret"))
        SendMessageA(edit->Handle(), WM_CHAR, WPARAM(c), 0);
  }
  testenv::Prompts().Expect("Password has changed!", IDOK, "OK");
  FrmOption->BitBtn3->Click();
  EXPECT_EQ(Password(), "Secret");
}

TEST_F(Options, NewPasswordsThatDifferInCaseDoNotMatch) {
  OpenOptions();
  testenv::Prompts().Expect("did not match each other", IDOK, "Error");
  Enter("", "Secret", "secret");
  DWORD type;
  std::string bytes;
  EXPECT_FALSE(testenv::GetRawValue(HKEY_CURRENT_USER, ProgramKey, "PWD", type, bytes));
  EXPECT_TRUE(FrmOption->Visible());
}

TEST_F(Options, AWrongOldPasswordChangesNothing) {
  OpenOptions();
  SetPassword("Secret");
  testenv::Prompts().Expect("did not match old password", IDOK, "OK");
  Enter("secret", "New", "New");
  EXPECT_EQ(Password(), "Secret");
}

TEST_F(Options, EmptyNewPasswordsLiftTheLock) {
  OpenOptions();
  SetPassword("Secret");
  testenv::Prompts().Expect("Password has changed!", IDOK);
  Enter("Secret", "", "");
  DWORD type;
  std::string bytes;
  ASSERT_TRUE(testenv::GetRawValue(HKEY_CURRENT_USER, ProgramKey, "PWD", type, bytes));
  EXPECT_EQ(Password(), "");
}

TEST_F(Options, TheHelperAutostartFollowsTheBox) {
  OpenOptions();
  EXPECT_FALSE(FrmOption->CheckBox2->Checked());
  FrmOption->CheckBox2->SetChecked(true);
  FrmOption->BitBtn1->Click();
  // In quotes, so a program folder with blanks still names one program.
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue),
            "\"" + testenv::Places().programDir + "Hovelin.exe\"");

  Frmmain->ToolButton3->Click();
  EXPECT_TRUE(FrmOption->CheckBox2->Checked());
  FrmOption->CheckBox2->SetChecked(false);
  FrmOption->BitBtn1->Click();
  DWORD type;
  std::string bytes;
  EXPECT_FALSE(testenv::GetRawValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue, type, bytes));

  // A standard user whose administrator switched the helper on: OK leaves it as it is, and
  // says nothing (an unexpected message fails the test); a change is refused, told once.
  Frmmain->ToolButton3->Click();
  FrmOption->CheckBox2->SetChecked(true);
  FrmOption->BitBtn1->Click();
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, AutostartKey);
  Frmmain->ToolButton3->Click();
  EXPECT_TRUE(FrmOption->CheckBox2->Checked());
  FrmOption->BitBtn1->Click();
  EXPECT_EQ(FrmOption, nullptr) << "closed and freed";
  Frmmain->ToolButton3->Click();
  FrmOption->CheckBox2->SetChecked(false);
  testenv::Prompts().Expect("these settings were not:", IDOK);
  FrmOption->BitBtn1->Click();
  EXPECT_TRUE(testenv::GetRawValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue, type, bytes));
  EXPECT_EQ(FrmOption, nullptr);
}

TEST_F(Options, AnAutostartValueThatCannotBeReadStillLeavesTheFormUsable) {
  // Five bytes of binary data are more than a value read as text may hold: the read raises.
  testenv::SetRawValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue, REG_BINARY,
                       std::string(5, '\x01'));
  testenv::Prompts().Expect("Invalid data type for 'Lumagrove'", IDOK);
  OpenOptions();
  ASSERT_NE(FrmOption, nullptr);
  EXPECT_TRUE(FrmOption->Visible());
  FrmOption->CheckBox2->SetChecked(true);
  FrmOption->BitBtn1->Click();
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue),
            "\"" + testenv::Places().programDir + "Hovelin.exe\"");
}

// The prompt is modal inside the main window's creation: the test acts on it through a message
// posted before the program starts, which the prompt's own message loop delivers.
class StartupLock : public AppTest {
protected:
  void StartAndAnswer(std::function<void()> answer) {
    SetPassword("Secret");
    Application->HookMainWindow([answer](TMessage &m) {
      if (m.Msg != WM_APP + 7)
        return false;
      answer();
      return true;
    });
    PostMessageA(Application->Handle(), WM_APP + 7, 0, 0);
    StartProgram();
    Application->ProcessMessages();
  }
  void Type(const std::string &text) {
    FrmPwd->LabeledEdit1->SetText(text);
    FrmPwd->BitBtn1->Click();
  }
};

TEST_F(StartupLock, TheRightPasswordOpensTheProgram) {
  HMENU systemMenu = nullptr;
  StartAndAnswer([&] {
    systemMenu = GetSystemMenu(FrmPwd->Handle(), FALSE);
    EXPECT_TRUE(FrmPwd->Modal());
    EXPECT_EQ(SendMessageA(FrmPwd->LabeledEdit1->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    Type("Secret");
  });
  EXPECT_EQ(GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND), UINT(-1))
      << "the prompt has no Close command";
  EXPECT_FALSE(Application->Terminated());
  EXPECT_EQ(Frmmain->LabelVersion->Caption(), "Version:7.6.5.4");
}

TEST_F(StartupLock, AWrongPasswordEndsTheProgramUnmarked) {
  testenv::Prompts().Expect("Password wrong!", IDOK, "Error");
  StartAndAnswer([&] { Type("secret"); });
  EXPECT_TRUE(Application->Terminated());
  // What the entry does next: the loop ends at once, the forms go, the close never runs.
  Application->Run();
  tk::DoneApplication();
  EXPECT_FALSE(FileExists(testenv::Places().programDir + "desktop.ini"));
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "Exename"), "");
}

// Told to end while the prompt is up (the taskbar's Close, a WM_CLOSE from outside), the
// program ends, and the window that never opened leaves nothing of its close behind.
TEST_F(StartupLock, ClosingTheProgramAtThePromptEndsItUnmarked) {
  StartAndAnswer([&] { SendMessageA(Application->Handle(), WM_CLOSE, 0, 0); });
  EXPECT_TRUE(Application->Terminated());
  Application->Run();
  tk::DoneApplication();
  EXPECT_FALSE(FileExists(testenv::Places().programDir + "desktop.ini"));
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "Exename"), "");
}

TEST_F(StartupLock, ExitEndsTheProgramSilently) {
  StartAndAnswer([&] { FrmPwd->BitBtn2->Click(); });
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(testenv::Prompts().Seen().empty());
}
