// The Options form's "?": a control clicked with it pops up its topic of the help file.
#include "AppFixture.h"

#include <htmlhelp.h>

#include "app/UnitFrmOption.h"

using namespace tk;

using OptionsHelp = AppTest;

// The system sends WM_HELP to the control clicked in the "?" mode; its window passes it up to
// the form, and the form to the application's help, the main window's router.
TEST_F(OptionsHelp, EachControlPopsUpItsTopicAtItself) {
  testenv::Places().systemDir = testenv::RealSystemDir(); // where the viewer lives
  StartProgram();
  Frmmain->ToolButton3->Click();
  EXPECT_TRUE(GetWindowLongA(FrmOption->Handle(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);

  auto askAbout = [](TWinControl *control) {
    testenv::Shell().helpCalls.clear();
    HWND window = control->Handle();
    HELPINFO info = {sizeof(info), HELPINFO_WINDOW, GetDlgCtrlID(window), window, 0, {5, 5}};
    SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    return testenv::Shell().helpCalls;
  };
  // The topics the help file holds for the options window.
  const std::pair<TWinControl *, UINT> topics[] = {
      {FrmOption->CheckBox2, 1001},    {FrmOption->BitBtn1, 1002},
      {FrmOption->BitBtn2, 1003},      {FrmOption->LabeledEdit1, 1004},
      {FrmOption->LabeledEdit2, 1005}, {FrmOption->LabeledEdit3, 1006},
      {FrmOption->BitBtn3, 1007}};
  for (const auto &[control, topic] : topics) {
    std::vector<testenv::HelpCall> calls = askAbout(control);
    ASSERT_EQ(calls.size(), 1u) << control->GetName();
    EXPECT_EQ(calls[0].command, UINT(HH_DISPLAY_TEXT_POPUP));
    EXPECT_EQ(calls[0].file, testenv::Places().programDir + "Lumagrove.chm::/CSHelp.txt");
    EXPECT_EQ(calls[0].popup.idString, topic) << control->GetName();
    POINT at = control->ClientToScreen({0, 0});
    EXPECT_EQ(calls[0].popup.pt.x, at.x) << control->GetName();
    EXPECT_EQ(calls[0].popup.pt.y, at.y) << control->GetName();
  }
  // The frame around the password edits has no topic, and nothing around it has one.
  EXPECT_TRUE(askAbout(FrmOption->GroupBox1).empty());
}
