#include "components/TransBtn.h"

#include <gtest/gtest.h>

#include <memory>

#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"

using namespace tk;

namespace {

COLORREF PixelOf(TBitmap &bitmap, int x, int y) { return COLORREF(bitmap.Canvas().Pixels(x, y)); }

COLORREF Sys(TColor color) { return ColorToRGB(color); }

// A strip of frames, each a block of its own colour on a teal ground.
std::unique_ptr<TBitmap> Strip(int width, int height, std::initializer_list<COLORREF> colours) {
  auto strip = std::make_unique<TBitmap>();
  strip->SetSize(width, height);
  TCanvas &canvas = strip->Canvas();
  canvas.Brush().SetColor(TColor(RGB(0, 128, 128)));
  canvas.FillRect({0, 0, width, height});
  int frame = width / int(colours.size());
  int i = 0;
  for (COLORREF c : colours) {
    canvas.Brush().SetColor(TColor(c));
    canvas.FillRect({i * frame + 2, 2, (i + 1) * frame - 2, height - 2});
    ++i;
  }
  return strip;
}

const COLORREF kBackground = RGB(0, 64, 0);
const COLORREF kGlyph = RGB(200, 40, 60);
const COLORREF kGlyphGray = RGB(63, 63, 63); // (11 * 200 + 59 * 40 + 30 * 60) / 100

class TransparentButtonTest : public ::testing::Test {
public:
  void SetUp() override {
    InitApplication();
    form = new TForm(nullptr);
    form->Initialize();
    form->SetBounds(50, 50, 300, 200);
    button = new TTransparentButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 40, 40);
  }
  void TearDown() override { delete form; }

  // The form's client area as it paints it (the button through its parent), over a dark
  // green ground; then At reads the pixels at button coordinates.
  TransparentButtonTest &Shot() {
    RECT client = form->ClientRect();
    shot.SetSize(client.right, client.bottom);
    shot.Canvas().Brush().SetColor(TColor(kBackground));
    shot.Canvas().FillRect(client);
    SendMessageA(form->Handle(), WM_PRINTCLIENT, WPARAM(shot.Canvas().Handle()), PRF_CLIENT);
    return *this;
  }
  COLORREF At(int x, int y) { return PixelOf(shot, button->Left() + x, button->Top() + y); }
  // Form client coordinates of a point of the button.
  void Mouse(UINT msg, WPARAM keys, int x, int y) {
    SendMessageA(form->Handle(), msg, keys, MAKELPARAM(button->Left() + x, button->Top() + y));
  }

  TForm *form = nullptr;
  TTransparentButton *button = nullptr;
  TBitmap shot;
};

TEST(GlyphRoutines, GrayWeightsRedElevenGreenFiftyNineBlueThirty) {
  TBitmap b;
  b.SetSize(2, 1);
  b.Canvas().SetPixels(0, 0, TColor(RGB(10, 20, 30)));
  b.Canvas().SetPixels(1, 0, TColor(RGB(30, 20, 10)));
  MakeGrayGlyph(b, 11, 59, 30);
  EXPECT_EQ(PixelOf(b, 0, 0), RGB(21, 21, 21));
  EXPECT_EQ(PixelOf(b, 1, 0), RGB(18, 18, 18));
}

TEST(GlyphRoutines, DisabledGlyphEmbossesEverythingButWhiteAndTheCornerColour) {
  TBitmap b;
  b.SetSize(10, 10);
  b.Canvas().Brush().SetColor(TColor(RGB(128, 128, 0)));
  b.Canvas().FillRect({0, 0, 10, 10});
  b.Canvas().Brush().SetColor(clBlack);
  b.Canvas().FillRect({2, 2, 5, 5});
  b.Canvas().SetPixels(7, 2, TColor(RGB(255, 0, 0))); // any colour counts as shape
  b.Canvas().SetPixels(7, 7, clWhite);                // white counts as background
  MakeDisabledGlyph(b);
  EXPECT_EQ(PixelOf(b, 0, 0), Sys(clBtnFace));
  EXPECT_EQ(PixelOf(b, 7, 7), Sys(clBtnFace));
  EXPECT_EQ(PixelOf(b, 4, 4), Sys(clBtnShadow));
  EXPECT_EQ(PixelOf(b, 7, 2), Sys(clBtnShadow));
  // The highlight copy lies one pixel down and right, under the shadow where they overlap.
  EXPECT_EQ(PixelOf(b, 5, 5), Sys(clBtnHighlight));
  EXPECT_EQ(PixelOf(b, 8, 3), Sys(clBtnHighlight));
}

TEST_F(TransparentButtonTest, GlyphWidthDecidesTheNumberOfFrames) {
  button->SetGlyph(*Strip(64, 16, {kGlyph, kGlyph, kGlyph, kGlyph}));
  EXPECT_EQ(button->NumGlyphs(), 4);
  button->SetGlyph(*Strip(80, 16, {kGlyph}));
  EXPECT_EQ(button->NumGlyphs(), 1) << "five frames are more than a button has";
  button->SetNumGlyphs(3);
  button->SetGlyph(*Strip(50, 16, {kGlyph}));
  EXPECT_EQ(button->NumGlyphs(), 3);
}

TEST_F(TransparentButtonTest, ExplorerStyleIsFlatAndGreyUntilHovered) {
  button->SetGlyph(*Strip(16, 16, {kGlyph}));
  Shot();
  EXPECT_EQ(At(0, 0), kBackground) << "no frame, no background";
  EXPECT_EQ(At(20, 20), kGlyphGray);
  EXPECT_EQ(At(12, 12), kBackground) << "the glyph's ground is masked out";

  button->Perform(CM_MOUSEENTER);
  Shot();
  EXPECT_EQ(At(0, 0), Sys(clBtnHighlight));
  EXPECT_EQ(At(39, 39), Sys(clBtnShadow));
  EXPECT_EQ(At(20, 20), kGlyph);

  button->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(Shot().At(0, 0), kBackground);
}

TEST_F(TransparentButtonTest, DisabledButtonShowsTheEmbossedCopyOrItsSecondFrame) {
  button->SetFrameStyle(fsNone);
  button->SetGlyph(*Strip(16, 16, {kGlyph}));
  button->SetEnabled(false);
  EXPECT_EQ(Shot().At(20, 20), Sys(clBtnShadow));

  const COLORREF second = RGB(30, 30, 220);
  button->SetGlyph(*Strip(32, 16, {kGlyph, second}));
  EXPECT_EQ(Shot().At(20, 20), second);
}

TEST_F(TransparentButtonTest, DownKeepsThePressedLookThroughAClick) {
  button->SetGlyph(*Strip(16, 16, {kGlyph}));
  int clicks = 0;
  button->OnClick = [&](TObject *) { ++clicks; };
  button->SetDown(true);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
  Mouse(WM_LBUTTONUP, 0, 20, 20);
  EXPECT_EQ(clicks, 1);
  Shot();
  EXPECT_EQ(At(0, 0), Sys(clBtnShadow)) << "sunken frame";
  EXPECT_EQ(At(39, 39), Sys(clBtnHighlight));
  // Pressed and shown pressed: the glyph one pixel down and right.
  EXPECT_EQ(At(14, 14), kBackground);
  EXPECT_EQ(At(15, 15), kGlyphGray);

  button->SetDown(false);
  EXPECT_EQ(Shot().At(0, 0), kBackground);
}

TEST_F(TransparentButtonTest, PressLeavingAndReenteringFollowsTheMouse) {
  button->SetFrameStyle(fsRegular);
  int clicks = 0, ups = 0;
  button->OnClick = [&](TObject *) { ++clicks; };
  button->OnMouseUp = [&](TObject *, TMouseButton, TShiftState, int, int) { ++ups; };
  EXPECT_EQ(Shot().At(0, 0), Sys(clBtnHighlight));
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
  EXPECT_EQ(Shot().At(0, 0), Sys(clBlack));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 60, 20);
  EXPECT_EQ(Shot().At(0, 0), Sys(clBtnHighlight));
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 30, 30);
  EXPECT_EQ(Shot().At(0, 0), Sys(clBlack));
  // A second press while one is in progress is ignored.
  Mouse(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 30, 30);
  Mouse(WM_LBUTTONUP, 0, 30, 30);
  EXPECT_EQ(Shot().At(0, 0), Sys(clBtnHighlight));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(ups, 1);
}

// Keys are posted as the system would queue them and go through the program's own loop: real
// input and focus are unreliable with the unmanaged windows of the test display.
TEST_F(TransparentButtonTest, AltAndTheMarkedLetterClicksTheButton) {
  auto *panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(100, 10, 120, 60);
  auto *open = new TTransparentButton(form);
  open->SetParent(panel);
  open->SetBounds(10, 10, 40, 40);
  std::string clicked;
  button->SetCaption("&Preview");
  button->OnClick = [&](TObject *) { clicked += "preview "; };
  open->SetCaption("&Open");
  open->OnClick = [&](TObject *) { clicked += "open "; };
  // Alt goes down, then the letter arrives as the loop's translation of its key delivers it.
  auto altKey = [&](char letter) {
    const LPARAM alt = LPARAM(1) << 29 | 1;
    PostMessageA(form->Handle(), WM_SYSKEYDOWN, VK_MENU, alt);
    PostMessageA(form->Handle(), WM_SYSCHAR, WPARAM(letter), alt);
    Application->ProcessMessages();
  };
  altKey('o');
  EXPECT_EQ(clicked, "open ");
  altKey('p');
  EXPECT_EQ(clicked, "open preview ");
}

// Stands in for the menu's own modal loop: it notes where it was shown, takes the capture as a
// real menu does, and leaves behind the click that closed it.
class RecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  void Popup(int x, int y) override {
    at = {x, y};
    ReleaseCapture();
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  }
  POINT at{-1, -1};
  HWND window = nullptr;
};

TEST_F(TransparentButtonTest, PopupMenuDropsBelowAndEndsThePressWithoutAClick) {
  // Owned elsewhere: only the free notification tells the button that the menu goes.
  auto *menu = new RecordingMenu(nullptr);
  menu->window = form->Handle();
  button->SetPopUpMenu(menu);
  button->SetFrameStyle(fsRegular);
  int clicks = 0, ups = 0;
  button->OnClick = [&](TObject *) { ++clicks; };
  button->OnMouseUp = [&](TObject *, TMouseButton, TShiftState, int, int) { ++ups; };
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);

  POINT corner{button->Left(), button->Top() + button->Height()};
  ClientToScreen(form->Handle(), &corner);
  EXPECT_EQ(menu->at.x, corner.x);
  EXPECT_EQ(menu->at.y, corner.y);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(Shot().At(0, 0), Sys(clBtnHighlight)) << "raised again";
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, form->Handle(), WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_NOREMOVE));

  // The form's next press elsewhere is its own, not the button's.
  menu->at = {-1, -1};
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
  SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
  EXPECT_EQ(menu->at.x, -1);
  EXPECT_EQ(clicks, 0);

  delete menu;
  EXPECT_EQ(button->PopUpMenu(), nullptr);
}

} // namespace
