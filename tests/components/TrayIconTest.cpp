#include "components/TrayIcon.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/MessagePump.h"
#include "support/TestEnvironment.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"

using namespace tk;
using testenv::PumpFor;
using testenv::PumpUntil;

namespace {

// Shows nothing: tells the test's log that it was asked to pop up.
class RecordingPopup : public TPopupMenu {
public:
  explicit RecordingPopup(std::string &log) : TPopupMenu(nullptr), log_(log) {}
  void Popup(int, int) override {
    log_ += "popup ";
    shownFor = PopupComponent;
  }
  TComponent *shownFor = nullptr;

private:
  std::string &log_;
};

class TrayIconTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitApplication();
    savedDoubleClickTime_ = GetDoubleClickTime();
    icon = std::make_unique<TTrayIcon>(nullptr);
    icon->OnClick = [this](TObject *) { log += "click "; };
    static const char *const kButtons[] = {"", "r", "m"};
    icon->OnMouseDown = [this](TObject *, TMouseButton b, TShiftState, int, int) {
      log += kButtons[b] + std::string("down ");
    };
    icon->OnMouseUp = [this](TObject *, TMouseButton b, TShiftState, int, int) {
      log += kButtons[b] + std::string("up ");
    };
  }
  void TearDown() override {
    icon.reset();
    SetDoubleClickTime(savedDoubleClickTime_);
  }
  // What the shell sends when the mouse does something over the icon.
  void Shell(UINT code) {
    SendMessageA(TTrayIcon::HandlerWindow(), WM_TRAYNOTIFY, icon->Id(), code);
  }
  void ListenForDoubleClicks() {
    icon->OnDblClick = [this](TObject *) { log += "dblclick "; };
  }
  NOTIFYICONDATAA LastRecord() { return testenv::Shell().IconCalls().back().iconData; }

  std::unique_ptr<TTrayIcon> icon;
  std::string log;
  UINT savedDoubleClickTime_ = 0;
};

} // namespace

TEST_F(TrayIconTest, WithoutDoubleClickHandlerClickComesAtTheRelease) {
  Shell(WM_LBUTTONDOWN);
  EXPECT_EQ(log, "down ");
  Shell(WM_LBUTTONUP);
  EXPECT_EQ(log, "down click up ");
}

TEST_F(TrayIconTest, WithDoubleClickHandlerClickWaitsOneDoubleClickTime) {
  ListenForDoubleClicks();
  SetDoubleClickTime(150);
  DWORD pressed = GetTickCount();
  Shell(WM_LBUTTONDOWN);
  Shell(WM_LBUTTONUP);
  EXPECT_EQ(log, "down up ");
  ASSERT_TRUE(PumpUntil([&] { return log == "down up click "; }, 2000)) << log;
  EXPECT_GE(GetTickCount() - pressed, 130u);
}

TEST_F(TrayIconTest, DoubleClickNeverFiresClick) {
  ListenForDoubleClicks();
  SetDoubleClickTime(100);
  for (UINT code : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    Shell(code);
  PumpFor(250);
  EXPECT_EQ(log, "down up dblclick up ");
  // The next single click is a click again.
  log.clear();
  Shell(WM_LBUTTONDOWN);
  Shell(WM_LBUTTONUP);
  EXPECT_TRUE(PumpUntil([&] { return log == "down up click "; }, 2000)) << log;
}

TEST_F(TrayIconTest, DoubleClickRunsTheFirstDefaultMenuItem) {
  RecordingPopup menu(log);
  for (int i = 0; i < 6; ++i) {
    auto *item = new TMenuItem(&menu);
    item->SetDefault(i == 3 || i == 5);
    item->OnClick = [this, i](TObject *) { log += "item" + std::to_string(i) + " "; };
    menu.Items()->Add(item);
  }
  icon->SetPopupMenu(&menu);
  Shell(WM_LBUTTONDBLCLK);
  EXPECT_EQ(log, "item3 ");
  icon->LeftPopup = true;
  Shell(WM_LBUTTONDBLCLK);
  EXPECT_EQ(log, "item3 ");
}

TEST_F(TrayIconTest, RightPressPopsTheMenuUpAfterMouseDown) {
  RecordingPopup menu(log);
  icon->SetPopupMenu(&menu);
  Shell(WM_RBUTTONDOWN);
  Shell(WM_RBUTTONUP);
  EXPECT_EQ(log, "rdown popup rup ");
  EXPECT_EQ(menu.shownFor, icon.get());
  // A freed menu is forgotten.
  auto *other = new RecordingPopup(log);
  icon->SetPopupMenu(other);
  delete other;
  EXPECT_EQ(icon->PopupMenu(), nullptr);
}

TEST_F(TrayIconTest, DisabledIconIgnoresTheMouseButHearsBalloons) {
  RecordingPopup menu(log);
  icon->SetPopupMenu(&menu);
  ListenForDoubleClicks();
  icon->OnMouseMove = [this](TObject *, TShiftState, int, int) { log += "move "; };
  for (auto *event : {&icon->OnBalloonHintShow, &icon->OnBalloonHintHide,
                      &icon->OnBalloonHintTimeout, &icon->OnBalloonHintClick})
    *event = [this](TObject *) { log += "balloon "; };
  icon->Enabled = false;
  for (UINT code : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                    WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP})
    Shell(code);
  for (UINT code : {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK})
    Shell(code);
  EXPECT_EQ(log, "balloon balloon balloon balloon ");
}

TEST_F(TrayIconTest, RecordNamesTheIconAndCutsTipAndBalloonTexts) {
  icon->SetHint(std::string(200, 'h'));
  NOTIFYICONDATAA record = LastRecord();
  EXPECT_EQ(record.cbSize, sizeof(void *) == 4 ? 488u : 504u);
  EXPECT_EQ(record.hWnd, TTrayIcon::HandlerWindow());
  // The icon's address where it fits the id; a 64-bit process numbers its icons instead.
  if constexpr (sizeof(void *) == 4)
    EXPECT_EQ(record.uID, UINT(reinterpret_cast<uintptr_t>(icon.get())));
  else
    EXPECT_NE(record.uID, 0u);
  EXPECT_EQ(record.uCallbackMessage, 0x800u);
  EXPECT_EQ(record.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(std::string(record.szTip), std::string(127, 'h'));
  icon->SetShowHint(false);
  EXPECT_EQ(std::string(LastRecord().szTip), "");

  testenv::Shell().calls.clear();
  EXPECT_TRUE(icon->ShowBalloonHint(std::string(80, 't'), std::string(300, 'b'), 2, 10));
  auto calls = testenv::Shell().IconCalls();
  ASSERT_EQ(calls.size(), 2u); // the old balloon goes first
  EXPECT_EQ(std::string(calls[0].iconData.szInfo), "");
  const NOTIFYICONDATAA &balloon = calls[1].iconData;
  EXPECT_EQ(calls[1].iconMessage, DWORD(NIM_MODIFY));
  EXPECT_EQ(balloon.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
  EXPECT_EQ(std::string(balloon.szInfo), std::string(255, 'b'));
  EXPECT_EQ(std::string(balloon.szInfoTitle), std::string(63, 't'));
  EXPECT_EQ(balloon.uTimeout, 10000u);
  EXPECT_EQ(balloon.dwInfoFlags, DWORD(NIIF_WARNING));
  icon->SetHint("after");
  EXPECT_EQ(LastRecord().uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
}

TEST_F(TrayIconTest, ShellRestartAddsBackOnlyAVisibleIcon) {
  UINT taskbarCreated = TTrayIcon::TaskbarCreatedMessage();
  ASSERT_NE(taskbarCreated, 0u);
  auto hidden = std::make_unique<TTrayIcon>(nullptr);
  EXPECT_NE(hidden->Id(), icon->Id());
  icon->SetIconVisible(true);
  testenv::Shell().calls.clear();
  SendMessageA(Application->Handle(), taskbarCreated, 0, 0);
  auto calls = testenv::Shell().IconCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].iconMessage, DWORD(NIM_ADD));
  EXPECT_EQ(calls[0].iconData.uID, icon->Id());

  // Icons share one window, which goes with the last of them; each takes its icon along.
  HWND window = TTrayIcon::HandlerWindow();
  UINT id = icon->Id();
  icon.reset();
  EXPECT_EQ(testenv::Shell().IconCalls().back().iconMessage, DWORD(NIM_DELETE));
  EXPECT_EQ(testenv::Shell().IconCalls().back().iconData.uID, id);
  EXPECT_TRUE(IsWindow(window));
  hidden.reset();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(TrayIconTest, CyclesThroughTheImageListAndClampsTheIndex) {
  TImageList images(nullptr);
  for (LPCSTR id : {IDI_APPLICATION, IDI_ERROR, IDI_WARNING}) {
    TIcon picture(CopyIcon(LoadIconA(nullptr, id)));
    images.AddIcon(&picture);
  }
  std::vector<int> next;
  icon->OnCycle = [&](TObject *, int index) { next.push_back(index); };
  icon->SetIconList(&images);
  icon->SetIconIndex(7);
  EXPECT_EQ(icon->IconIndex(), 2);
  icon->SetCycleInterval(10);
  icon->SetCycleIcons(true);
  EXPECT_EQ(icon->IconIndex(), 0);
  ASSERT_TRUE(PumpUntil([&] { return next.size() >= 4; }, 2000));
  EXPECT_EQ(std::vector<int>(next.begin(), next.begin() + 4), (std::vector<int>{1, 2, 0, 1}));
  icon->SetCycleIcons(false);
}

// The form stays hidden: under Wine without a window manager every hiding of a mapped window
// waits two seconds for a withdrawal nobody confirms.
TEST_F(TrayIconTest, OwnerWindowMinimisesIntoTheTray) {
  TForm *form = nullptr;
  CreateForm(Application, form);
  HWND window = form->Handle();
  WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  auto tray = std::make_unique<TTrayIcon>(form);
  tray->MinimizeToTray = true;
  int minimised = 0;
  tray->OnMinimizeToTray = [&](TObject *) { ++minimised; };
  EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0), 1);
  EXPECT_EQ(minimised, 1);
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_EQ(testenv::Shell().IconCalls().back().iconMessage, DWORD(NIM_ADD));
  EXPECT_FALSE(IsIconic(window)) << "the form's own minimising was skipped";

  tray.reset();
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)), original);
  delete form;
}

// Without an OnMinimizeToTray handler the main form's minimise goes through the application,
// whose window reports itself minimised.
TEST_F(TrayIconTest, MinimisedMainFormGoesIntoTheTray) {
  TForm *form = nullptr;
  CreateForm(Application, form);
  Application->MainForm = form;
  auto tray = std::make_unique<TTrayIcon>(form);
  tray->MinimizeToTray = true;
  form->Show();
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_EQ(testenv::Shell().IconCalls().back().iconMessage, DWORD(NIM_ADD));
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(IsWindowVisible(Application->Handle())) << "no taskbar button either";

  tray.reset();
  Application->MainForm = nullptr;
  delete form;
}
