// Buttons with a picture beside the caption.
#pragma once

#include <memory>

#include "toolkit/forms/StdCtrls.h"

namespace tk {

enum TBitBtnKind {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

inline constexpr TModalResult mrAll = 8;

// A push button that draws itself: the first of the glyph's NumGlyphs frames (side by side in
// Glyph) beside the caption, its bottom-left pixel's colour transparent. A Kind other than
// bkCustom gives the button the caption and modal result of that kind (OK is the default
// button, Cancel the cancel button); bkClose closes the form.
class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent *owner);
  ~TBitBtn() override;
  const char *ClassName() const override { return "TBitBtn"; }

  TBitmap &Glyph() { return *glyph_; }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value); // 1 to 4
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  // Distance of the picture from the edge (-1: picture and caption centred together).
  int Margin() const { return margin_; }
  void SetMargin(int value);
  // Between picture and caption.
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);

  void Click() override;
  void WndProc(TMessage &message) override;

protected:
  void GetCreateParams(CreateParams &params) override;
  bool DrawItem(DRAWITEMSTRUCT &item) override;

  std::unique_ptr<TBitmap> glyph_;
  int numGlyphs_ = 1;
  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

} // namespace tk
