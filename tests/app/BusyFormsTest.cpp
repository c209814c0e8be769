// Forms asked to close while their own code still runs a message loop (an install's pump, the
// search of a form being made, a popup menu): each waits for that code to return, then closes,
// and the program still ends when its main window is closed meanwhile.
#include "../features/icons/IconFormFixture.h"

#include "features/cursor/UnitFrmCur.h"
#include "support/MessagePump.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;

namespace {

// What "another program" does once the code under test pumps its messages: a message posted
// now to this window is handled by the first loop that runs.
class Meanwhile {
public:
  explicit Meanwhile(std::function<void()> act)
      : act_(std::move(act)), window_(AllocateHWnd([this](TMessage &m) { Handle(m); })) {
    PostMessageA(window_, WM_APP, 0, 0);
  }
  ~Meanwhile() { DeallocateHWnd(window_); }
  bool Done() const { return done_; }

private:
  void Handle(TMessage &m) {
    if (m.Msg != WM_APP) {
      m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
      return;
    }
    done_ = true;
    act_();
  }
  std::function<void()> act_;
  HWND window_;
  bool done_ = false;
};

class BusyForms : public IconFormTest {
protected:
  void TearDown() override {
    IconFormTest::TearDown();
    FrmCur = nullptr;
  }
  TFrmCur *OpenCursors() {
    StartProgram();
    Frmmain->Lbl_Cursor->Click();
    return FrmCur;
  }
};

} // namespace

TEST_F(BusyForms, ACursorsFormClosedWhileItInstallsClosesOnceThePackageIsWhole) {
  TFrmCur *form = OpenCursors();
  ASSERT_NE(form, nullptr);
  bool enabledMeanwhile = true, aliveAfterClose = false;
  TCursor cursorMeanwhile = crDefault;
  Meanwhile closer([&] {
    enabledMeanwhile = IsWindowEnabled(form->Handle());
    cursorMeanwhile = Screen->Cursor;
    // Another program closes it, and so does the user (Alt+F4 or the close box).
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    aliveAfterClose = FrmCur == form;
  });
  const std::string mice = std::string(LUMAGROVE_PACKAGE_INPUTS) + "\\Mice.zip";
  testenv::Prompts().ExpectFileDialog({mice});
  testenv::Prompts().Expect("Installed successfully", IDOK);
  form->Installfromdisk1->Click();

  ASSERT_TRUE(closer.Done()) << "nothing pumped during the install";
  EXPECT_FALSE(enabledMeanwhile) << "the form took input while it installed";
  EXPECT_EQ(cursorMeanwhile, crHourGlass);
  EXPECT_TRUE(aliveAfterClose);
  EXPECT_EQ(Screen->Cursor, crDefault);
  // The install ended whole: the list shows it, the user was told once, then the form went.
  ASSERT_EQ(FrmCur, form);
  ASSERT_EQ(form->ListView1->Items().Count(), 1);
  EXPECT_EQ(form->ListView1->Items()[0]->Caption(), "Mice");
  ASSERT_TRUE(testenv::PumpUntil([] { return FrmCur == nullptr; }, 10000));
  const std::string themes = testenv::Places().programDir + "CursorThemes\\Mice\\";
  EXPECT_TRUE(FileExists(themes + "Mice.ctheme"));
  EXPECT_TRUE(FileExists(themes + "busy.ani"));
  EXPECT_EQ(testenv::Prompts().Seen().size(), 1u);
  EXPECT_TRUE(Frmmain->Visible());
}

TEST_F(BusyForms, CloseAskedDuringAButtonsMenuWaitsForTheMenuAndEndsTheProgram) {
  TFrmCur *form = OpenCursors();
  ASSERT_NE(form, nullptr);
  bool aliveInMenu = false;
  Meanwhile closer([&] {
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    SendMessageA(Frmmain->Handle(), WM_CLOSE, 0, 0);
    aliveInMenu = FrmCur == form;
    EndMenu();
  });
  // The button's own click, as the user's press ends in it, opens the menu.
  SendMessageA(form->BitBtn3->Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(closer.Done());
  EXPECT_TRUE(aliveInMenu);
  EXPECT_TRUE(testenv::PumpUntil([] { return FrmCur == nullptr; }, 10000));
  // The program's loop ends: the main window's close was not lost in the menu's loop.
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(BusyForms, CustomizeIconsClosedWhileItsPackagesFormIsMadeWaitsForIt) {
  ForceDirectories(testenv::Places().programDir + "IconThemes\\Empty");
  TFrmIconCus *icons = Open(FrmIconCus);
  icons->Show();
  int formsBefore = Screen->FormCount();
  Meanwhile closer([&] {
    SendMessageA(icons->Handle(), WM_CLOSE, 0, 0);
    // A second double click while the packages form is still being made makes no other.
    icons->Image3DblClick(nullptr);
  });
  icons->Image3DblClick(nullptr);
  ASSERT_TRUE(closer.Done()) << "the packages form's search pumped nothing";
  ASSERT_EQ(FrmIconCus, icons);
  ASSERT_NE(FrmIcon, nullptr);
  EXPECT_TRUE(FrmIcon->Visible());
  EXPECT_EQ(FrmIcon->PageControl1->ActivePage(), FrmIcon->TabSheet1);
  EXPECT_EQ(Screen->FormCount(), formsBefore + 1);
  // Then the close comes, and takes the packages form it owns along.
  ASSERT_TRUE(testenv::PumpUntil([] { return FrmIconCus == nullptr; }, 10000));
  EXPECT_EQ(FrmIcon, nullptr);
  EXPECT_EQ(Screen->FormCount(), formsBefore - 1);
}
