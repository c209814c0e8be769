#include "components/urllabel.h"
#include "components/urllabel2.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

using namespace tk;

namespace {

class LinkLabelTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitApplication();
    form = new TForm(nullptr);
    form->Initialize();
    form->SetBounds(50, 50, 400, 200);
    testenv::Shell().calls.clear();
  }
  void TearDown() override { delete form; }

  template <class Label> Label *Place(const std::string &caption) {
    auto *label = new Label(form);
    label->SetParent(form);
    label->SetCaption(caption);
    label->SetBounds(20, 30, label->Width(), label->Height());
    return label;
  }
  // Through the form's window, which hands the mouse on to the label under it.
  void Mouse(UINT msg, WPARAM keys, int x = 22, int y = 32) {
    SendMessageA(form->Handle(), msg, keys, MAKELPARAM(x, y));
  }
  void Click() {
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 0);
  }

  TForm *form = nullptr;
};

TEST_F(LinkLabelTest, URLLabelColoursAtRestWhilePressedAndWithTheHoverEffect) {
  auto *label = Place<TURLLabel>("Home page");
  EXPECT_EQ(label->Font().Color(), clBlue);
  EXPECT_EQ(label->Font().Style(), fsUnderline);
  label->Perform(CM_MOUSEENTER); // no hover effect yet: nothing changes
  EXPECT_EQ(label->Font().Color(), clBlue);
  Mouse(WM_RBUTTONDOWN, MK_RBUTTON);
  EXPECT_EQ(label->Font().Color(), clBlue);
  Mouse(WM_RBUTTONUP, 0);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(label->Font().Color(), clRed);
  Mouse(WM_LBUTTONUP, 0);
  EXPECT_EQ(label->Font().Color(), clBlue);
  EXPECT_EQ(testenv::Shell().calls.size(), 1u) << "only the left click opens the link";

  label->SetEffect98(true);
  EXPECT_EQ(label->Font().Style(), 0);
  label->Perform(CM_MOUSEENTER);
  EXPECT_EQ(label->Font().Color(), clRed);
  EXPECT_EQ(label->Font().Style(), fsUnderline);
  label->SetURLColPre(clGreen); // counts from the next enter on
  EXPECT_EQ(label->Font().Color(), clRed);
  label->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(label->Font().Color(), clBlue);
  EXPECT_EQ(label->Font().Style(), 0);
  label->Perform(CM_MOUSEENTER);
  EXPECT_EQ(label->Font().Color(), clGreen);
}

TEST_F(LinkLabelTest, URLLabel2IsBoldUnderlinedWhileHoveredAndOpensNothingItself) {
  auto *label = Place<TURLLabel2>("Icons");
  EXPECT_EQ(label->Font().Color(), clWhite);
  EXPECT_EQ(label->Font().Style(), fsBold);
  Mouse(WM_MOUSEMOVE, 0);
  EXPECT_EQ(label->Font().Style(), fsBold | fsUnderline);
  Mouse(WM_MOUSEMOVE, 0, 390, 190);
  EXPECT_EQ(label->Font().Style(), fsBold);

  int clicks = 0;
  label->OnClick = [&](TObject *) { ++clicks; };
  Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(testenv::Shell().calls.empty());
}

TEST_F(LinkLabelTest, ClickRunsTheHandlerThenOpensPrefixAndHint) {
  auto *label = Place<TURLLabel>("x");
  label->Hint = std::string(1, 'x');
  size_t callsInHandler = 99;
  label->OnClick = [&](TObject *) { callsInHandler = testenv::Shell().calls.size(); };
  for (TLabelType type : {hmHTTP, hmFTP, hmMAIL}) {
    label->SetLabelType(type);
    Click();
  }
  EXPECT_EQ(callsInHandler, 2u);
  const auto &calls = testenv::Shell().calls;
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].file, "http:\\\\x");
  EXPECT_EQ(calls[1].file, "ftp:\\\\x");
  EXPECT_EQ(calls[2].file, "mailto:x");
  EXPECT_EQ(calls[2].operation + calls[2].parameters + calls[2].directory, "");
  EXPECT_EQ(calls[2].showCmd, SW_SHOWNORMAL);
}

TEST_F(LinkLabelTest, OverlongHintIsCutToTheTargetBuffer) {
  auto *label = Place<TURLLabel>("long");
  label->Hint = std::string(200, 'a');
  label->Click();
  ASSERT_EQ(testenv::Shell().calls.size(), 1u);
  std::string whole = std::string("http:\\\\").append(label->Hint);
  EXPECT_EQ(testenv::Shell().calls[0].file, whole.substr(0, 79));
}

TEST_F(LinkLabelTest, EachLabelClassInstallsItsOwnHandAsCursor25) {
  HINSTANCE exe = GetModuleHandleA(nullptr);
  HCURSOR hand = LoadCursorA(exe, "URLHAND"), hand2 = LoadCursorA(exe, "URLHAND2");
  ASSERT_TRUE(hand && hand2 && hand != hand2);
  EXPECT_EQ(Place<TURLLabel>("a")->Cursor, crURLHand);
  EXPECT_EQ(Screen->Cursors(crURLHand), hand);
  EXPECT_EQ(Place<TURLLabel2>("b")->Cursor, crURLHand);
  EXPECT_EQ(Screen->Cursors(crURLHand), hand2);

  // The hot spot is the fingertip at the top of the drawing.
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand2, &info));
  EXPECT_EQ(info.xHotspot, 11u);
  EXPECT_EQ(info.yHotspot, 1u);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
}

} // namespace
