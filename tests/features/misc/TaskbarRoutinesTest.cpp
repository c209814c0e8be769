// The taskbar routines on a taskbar of the test's own making.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "features/misc/Func_misc.h"
#include "features/misc/UnitFrmblank.h"
#include "support/FakeShell.h"

using namespace tk;
using testenv::FakeTaskbar;

namespace {

class TaskbarRoutines : public ::testing::Test {
protected:
  void SetUp() override {
    InitApplication();
    CreateForm(Application, FrmBlank);
  }
  void TearDown() override {
    FrmBlank = nullptr;
    DoneApplication();
  }
};

} // namespace

TEST_F(TaskbarRoutines, ACaptionSizesTheButtonAndTheBandMakesRoom) {
  FakeTaskbar bar;
  ASSERT_EQ(FindStartButton(), bar.button);
  for (const std::string &caption : {std::string("Start"), std::string(), std::string(60, 'W')}) {
    SCOPED_TRACE("caption \"" + caption + "\"");
    SetStartButtonCaption(FindStartButton(), MakeStartButtonTextRecord(caption), *FrmBlank);
    EXPECT_EQ(bar.ButtonText(), caption + std::string(255 - caption.size(), ' '));
    int width = testenv::ExpectedButtonWidth(caption);
    RECT button = bar.Place(bar.button);
    EXPECT_EQ(button.left, 0);
    EXPECT_EQ(button.top, 0);
    EXPECT_EQ(button.right, width);
    EXPECT_EQ(button.bottom, 32);
    // Up to the notification area; none left for a caption wider than the taskbar.
    RECT band = bar.Place(bar.band);
    EXPECT_EQ(band.left, width + 5);
    EXPECT_EQ(band.top, 0);
    EXPECT_EQ(band.right - band.left,
              std::max(0, FakeTaskbar::Width - FakeTaskbar::NotifyWidth - width));
    EXPECT_EQ(band.bottom, FakeTaskbar::Height);
  }
}

TEST_F(TaskbarRoutines, ATaskbarWithoutAStartButtonIsLeftAlone) {
  FakeTaskbar bar(false);
  EXPECT_EQ(FindStartButton(), nullptr);
  SetStartButtonCaption(FindStartButton(), MakeStartButtonTextRecord("Go"), *FrmBlank);
  EXPECT_EQ(bar.bandPlacings, 0);
  RECT band = bar.Place(bar.band);
  EXPECT_EQ(band.left, FakeTaskbar::BandPlace.left);
  EXPECT_EQ(band.right, FakeTaskbar::BandPlace.right);
}

TEST_F(TaskbarRoutines, TransparencyIsTheTaskbarsLayeredAlpha) {
  FakeTaskbar bar;
  ASSERT_EQ(FindWindowA("Shell_TrayWnd", ""), bar.taskbar);
  for (int alpha : {128, 0, 255}) {
    SetTaskbarTransparency(alpha);
    EXPECT_TRUE(GetWindowLongA(bar.taskbar, GWL_EXSTYLE) & WS_EX_LAYERED) << alpha;
    BYTE shown = 1;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(bar.taskbar, nullptr, &shown, &flags));
    EXPECT_EQ(shown, alpha);
    EXPECT_EQ(flags, DWORD(LWA_ALPHA));
  }
}
