#include "toolkit/forms/Buttons.h"

#include <algorithm>

namespace tk {

namespace {

struct KindInfo {
  const char *caption;
  TModalResult result;
};

const KindInfo kKinds[] = {
    {"", mrNone},        {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},     {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
};

} // namespace

TBitBtn::TBitBtn(TComponent *owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {
  glyph_->OnChange = [this] { Invalidate(); };
}

TBitBtn::~TBitBtn() { glyph_->OnChange = nullptr; }

void TBitBtn::GetCreateParams(CreateParams &params) {
  TButton::GetCreateParams(params);
  params.style = (params.style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == numGlyphs_)
    return;
  numGlyphs_ = value;
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind value) {
  kind_ = value;
  if (value == bkCustom)
    return;
  SetText(kKinds[value].caption);
  ModalResult = kKinds[value].result;
  if (value == bkOK)
    SetDefault(true);
  if (value == bkCancel)
    SetCancel(true);
}

void TBitBtn::SetLayout(TButtonLayout value) {
  layout_ = value;
  Invalidate();
}

void TBitBtn::SetMargin(int value) {
  margin_ = std::max(value, -1);
  Invalidate();
}

void TBitBtn::SetSpacing(int value) {
  spacing_ = value;
  Invalidate();
}

void TBitBtn::Click() {
  TCustomForm *form = ParentForm();
  TButton::Click();
  if (kind_ == bkClose && form)
    form->Close();
}

void TBitBtn::WndProc(TMessage &message) {
  // A button that draws itself reports a quick second click as a double click; it is a click
  // like any other.
  if (message.Msg == WM_LBUTTONDBLCLK)
    message.Msg = WM_LBUTTONDOWN;
  TButton::WndProc(message);
}

bool TBitBtn::DrawItem(DRAWITEMSTRUCT &item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pressed = item.itemState & ODS_SELECTED;
  bool focused = item.itemState & ODS_FOCUS;
  bool disabled = item.itemState & ODS_DISABLED;
  if (default_ || focused) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  RECT face = r;

  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Font().Assign(Font());

  // Sizes of the picture and the caption, then their places by layout and margin.
  int gw = glyph_->Empty() ? 0 : glyph_->Width() / numGlyphs_;
  int gh = glyph_->Empty() ? 0 : glyph_->Height();
  std::string text = GetText();
  RECT tr{0, 0, 0, 0};
  if (!text.empty())
    canvas.DrawText(text, tr, DT_SINGLELINE | DT_CALCRECT);
  int tw = tr.right, th = tr.bottom;
  int w = face.right - face.left, h = face.bottom - face.top;
  bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
  int gap = gw && tw ? spacing_ : 0;
  int total = horizontal ? gw + gap + tw : gh + gap + th;
  int extent = horizontal ? w : h;
  int start = margin_ < 0 ? (extent - total) / 2 : margin_;
  if (layout_ == blGlyphRight || layout_ == blGlyphBottom)
    start = margin_ < 0 ? start : extent - margin_ - total;
  POINT gp{}, tp{};
  switch (layout_) {
  case blGlyphLeft:
    gp = {start, (h - gh) / 2};
    tp = {start + gw + gap, (h - th) / 2};
    break;
  case blGlyphRight:
    tp = {start, (h - th) / 2};
    gp = {start + tw + gap, (h - gh) / 2};
    break;
  case blGlyphTop:
    gp = {(w - gw) / 2, start};
    tp = {(w - tw) / 2, start + gh + gap};
    break;
  case blGlyphBottom:
    tp = {(w - tw) / 2, start};
    gp = {(w - gw) / 2, start + th + gap};
    break;
  }
  int shift = pressed ? 1 : 0;
  if (gw && gh) {
    // Frames: up, disabled, pressed, down; a missing one falls back to the first.
    int frame = disabled && numGlyphs_ > 1 ? 1 : pressed && numGlyphs_ > 2 ? 2 : 0;
    TBitmap one;
    one.SetSize(gw, gh);
    one.Canvas().CopyRect({0, 0, gw, gh}, glyph_->Canvas(), {frame * gw, 0, frame * gw + gw, gh});
    one.SetTransparentColor(glyph_->TransparentColor());
    one.SetTransparent(true);
    canvas.Draw(face.left + gp.x + shift, face.top + gp.y + shift, one);
  }
  if (tw) {
    RECT place{face.left + tp.x + shift, face.top + tp.y + shift, 0, 0};
    place.right = place.left + tw;
    place.bottom = place.top + th;
    canvas.Brush().SetStyle(bsClear);
    if (disabled) {
      OffsetRect(&place, 1, 1);
      canvas.Font().SetColor(clBtnHighlight);
      canvas.DrawText(text, place, DT_SINGLELINE);
      OffsetRect(&place, -1, -1);
      canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(text, place, DT_SINGLELINE);
  }
  canvas.SetHandle(nullptr);
  if (focused) {
    RECT focus = face;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
  return true;
}

} // namespace tk
