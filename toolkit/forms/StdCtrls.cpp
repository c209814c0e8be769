#include "toolkit/forms/StdCtrls.h"

namespace tk {

// --- TCustomLabel -----------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent *owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 17;
  parentColor_ = true;
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_)
    return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_)
    return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_)
    return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_)
    return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == transparent_)
    return;
  transparent_ = value;
  Invalidate();
}

UINT TCustomLabel::DrawFlags() const {
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = DT_EXPANDTABS | align[alignment_];
  flags |= wordWrap_ ? DT_WORDBREAK : 0;
  if (!ShowAccelChar)
    flags |= DT_NOPREFIX;
  return flags;
}

// An auto-sized label takes the size of its text, keeping its left edge (or its right edge
// or centre, by alignment, when it doesn't wrap).
void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || Building())
    return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
  std::string text = text_.empty() ? std::string(" ") : text_;
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DrawFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int left = left_;
  if (!wordWrap_ && alignment_ == taRightJustify)
    left += width_ - r.right;
  else if (!wordWrap_ && alignment_ == taCenter)
    left += (width_ - r.right) / 2;
  SetBounds(left, top_, r.right, r.bottom);
}

void TCustomLabel::Paint() {
  TCanvas &canvas = Canvas();
  RECT r = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetColor(color_);
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(r);
  }
  canvas.Brush().SetStyle(bsClear);
  std::string text = text_;
  UINT flags = DrawFlags();
  if (layout_ != tlTop) {
    RECT calc = r;
    canvas.DrawText(text, calc, flags | DT_CALCRECT);
    int h = calc.bottom - calc.top;
    int offset = layout_ == tlBottom ? r.bottom - h : (r.bottom - h) / 2;
    OffsetRect(&r, 0, offset);
  }
  if (!enabled_) {
    // Disabled text: a highlight copy one pixel down and right under the shadow-coloured text.
    OffsetRect(&r, 1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(text, r, flags);
    OffsetRect(&r, -1, -1);
    canvas.Font().SetColor(clBtnShadow);
  }
  canvas.DrawText(text, r, flags);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TCustomLabel::ParentFontChanged() {
  TGraphicControl::ParentFontChanged();
  AdjustBounds();
}

} // namespace tk
