// A windowless button with a glyph and a caption: flat or three-dimensional, optionally without
// background, with a hot-tracking frame, grey and embossed versions of its glyph made on the fly,
// an optional drop-down menu and an optional drag-to-move mode.
#pragma once

#include <memory>

#include "toolkit/forms/Controls.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/ImgList.h"

namespace tk {
class TPopupMenu;
}

enum TFrameStyle { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };
// Where the caption stands relative to the glyph.
enum TTextAlign {
  ttaTopLeft,
  ttaTop,
  ttaTopRight,
  ttaRight,
  ttaBottomRight,
  ttaBottom,
  ttaBottomLeft,
  ttaLeft,
  ttaCenter
};
// 1 to 4 frames side by side: up, disabled, pressed, and a fourth that is never drawn.
using TNumGlyphs = int;

// Every pixel becomes grey: (wR * red + wG * green + wB * blue) / (wR + wG + wB).
void MakeGrayGlyph(tk::TBitmap &bitmap, int wR, int wG, int wB);
// The bitmap's black pixels, drawn raised on the button face: highlight one pixel down and
// right, shadow on the place itself.
void EmbossMask(tk::TBitmap &bitmap);
// The glyph as a disabled button shows it: what is white or of the colour at (0, 0) is
// background, everything else the shape, embossed.
void MakeDisabledGlyph(tk::TBitmap &bitmap);

class TTransparentButton : public tk::TGraphicControl {
public:
  explicit TTransparentButton(tk::TComponent *owner);
  ~TTransparentButton() override;
  const char *ClassName() const override { return "TTransparentButton"; }

  // In fsExplorer, the grey glyph while the mouse is not over the button.
  bool AutoGray = true;
  // Shifts glyph and caption by a pixel and sinks the frame while pressed.
  bool ShowPressed = true;
  // Dragging with the button held moves the control.
  bool Movable = false;

  unsigned BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(unsigned value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  TFrameStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFrameStyle value);
  // A strip of NumGlyphs equal frames; assigning it splits it into the image list.
  tk::TBitmap &Glyph() { return *glyph_; }
  void SetGlyph(const tk::TBitmap &value);
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs value);
  tk::TPopupMenu *PopUpMenu() const { return popUpMenu_; }
  void SetPopUpMenu(tk::TPopupMenu *value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  TTextAlign TextAlign() const { return textAlign_; }
  void SetTextAlign(TTextAlign value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

  tk::TNotifyEvent OnMouseExit;

  void WndProc(tk::TMessage &message) override;

protected:
  void Notification(tk::TComponent *component, tk::TOperation operation) override;
  void Paint() override;
  void MouseDown(tk::TMouseButton button, tk::TShiftState shift, int x, int y) override;
  void MouseUp(tk::TMouseButton button, tk::TShiftState shift, int x, int y) override;
  void MouseMove(tk::TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void EnabledChanged() override;

private:
  void GlyphChanged();
  int GlyphIndex() const;
  bool InClient(int x, int y) const;

  unsigned borderWidth_ = 1;
  bool down_ = false;
  TFrameStyle frameStyle_ = fsExplorer;
  TNumGlyphs numGlyphs_ = 1;
  tk::TPopupMenu *popUpMenu_ = nullptr;
  int spacing_ = 2;
  TTextAlign textAlign_ = ttaCenter;
  bool transparent_ = true;
  bool wordWrap_ = false;

  bool pressedLook_ = false; // drawn pressed
  bool captured_ = false;    // a press began inside and is being followed
  bool mouseIsDown_ = false; // a press is in progress; a second one is ignored
  bool hot_ = false;         // the mouse is over the button
  POINT dragOrigin_{0, 0};

  std::unique_ptr<tk::TBitmap> glyph_;
  // The frames, then the grey and the disabled copy of frame 0.
  std::unique_ptr<tk::TImageList> images_;
  std::unique_ptr<tk::TBitmap> grayGlyph_;
  std::unique_ptr<tk::TBitmap> disabledGlyph_;
};
