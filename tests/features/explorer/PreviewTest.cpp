#include "../../app/AppFixture.h"

using namespace tk;

using Preview = AppTest;

TEST_F(Preview, AHiddenTopmostStripWithTheToolbarPicture) {
  StartProgram();
  HWND h = FrmIe_preview->Handle();
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(FrmIe_preview->Width(), Screen->Width());
  TTransparentButton *button = FrmIe_preview->preview1;
  EXPECT_EQ(button->Tag, 255);
  EXPECT_EQ(button->FrameStyle(), fsIndent);
  EXPECT_EQ(button->Glyph().Width(), 791);
  EXPECT_EQ(button->Glyph().Height(), 86);
  EXPECT_EQ(button->Glyph().PixelFormat(), pf24bit);
}

TEST_F(Preview, ResizingCentresThePictureAndItsCanvas) {
  StartProgram();
  FrmIe_preview->SetWidth(1001);
  EXPECT_EQ(FrmIe_preview->preview1->Left(), 103);
  EXPECT_EQ(FrmIe_preview->Image1->Left(), 104);
  // Narrower than the strip: the halves truncate towards zero.
  FrmIe_preview->SetWidth(699);
  EXPECT_EQ(FrmIe_preview->preview1->Left(), -47);
  EXPECT_EQ(FrmIe_preview->Image1->Left(), -46);
}
