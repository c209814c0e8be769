#include "toolkit/forms/ExtCtrls.h"

#include <algorithm>
#include <cmath>

namespace tk {

// --- TCustomPanel -----------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent *owner) : TCustomControl(owner) {
  width_ = 185;
  height_ = 41;
}

void TCustomPanel::GetCreateParams(CreateParams &params) {
  TCustomControl::GetCreateParams(params);
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
  if (borderStyle_ == bsSingle)
    params.style |= WS_BORDER;
}

RECT TCustomPanel::InnerRect() const {
  RECT r = ClientRect();
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone)
    inset += bevelWidth_;
  if (bevelInner_ != bvNone)
    inset += bevelWidth_;
  InflateRect(&r, -inset, -inset);
  return r;
}

void TCustomPanel::AdjustClientRect(RECT &rect) {
  RECT inner = InnerRect();
  RECT client = ClientRect();
  rect.left += inner.left - client.left;
  rect.top += inner.top - client.top;
  rect.right -= client.right - inner.right;
  rect.bottom -= client.bottom - inner.bottom;
}

void TCustomPanel::Paint() {
  TCanvas &canvas = Canvas();
  RECT r = ClientRect();
  auto bevel = [&](TPanelBevel kind) {
    if (kind == bvNone)
      return;
    TColor top = kind == bvLowered ? clBtnShadow : kind == bvRaised ? clBtnHighlight : color_;
    TColor bottom = kind == bvLowered ? clBtnHighlight : kind == bvRaised ? clBtnShadow : color_;
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  };
  bevel(bevelOuter_);
  if (borderWidth_ > 0)
    Frame3D(canvas, r, color_, color_, borderWidth_);
  bevel(bevelInner_);
  std::string text = GetText();
  if (text.empty())
    return;
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas.Brush().SetStyle(bsClear);
  if (!enabled_)
    canvas.Font().SetColor(clGrayText);
  canvas.DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | align[alignment_]);
}

void TCustomPanel::SetBevelOuter(TPanelBevel value) {
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel value) {
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
  bevelWidth_ = std::max(value, 1);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
  borderWidth_ = std::max(value, 0);
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_)
    return;
  borderStyle_ = value;
  RecreateHandle();
}

// --- TImage -----------------------------------------------------------------------------------

TImage::TImage(TComponent *owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  width_ = 105;
  height_ = 105;
  picture_->OnChange = [this] { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

TCanvas &TImage::Canvas() {
  if (!picture_->Graphic()) {
    picture_->Bitmap().SetSize(width_, height_);
  }
  return picture_->Bitmap().Canvas();
}

void TImage::PictureChanged() {
  TGraphic *graphic = picture_->Graphic();
  if (graphic && !dynamic_cast<TIcon *>(graphic) && graphic->Transparent() != transparent_)
    graphic->SetTransparent(transparent_); // comes back here through OnChange
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(left_, top_, picture_->Width(), picture_->Height());
  Invalidate();
}

RECT TImage::DestRect() const {
  int w = picture_->Width(), h = picture_->Height();
  int cw = width_, ch = height_;
  if (w > 0 && h > 0 && (stretch_ || (proportional_ && (w > cw || h > ch)))) {
    if (proportional_) {
      double xr = double(cw) / w, yr = double(ch) / h;
      if (xr > yr) {
        w = int(std::lround(w * yr));
        h = ch;
      } else {
        h = int(std::lround(h * xr));
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  RECT r{0, 0, w, h};
  if (center_)
    OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic *graphic = picture_->Graphic();
  if (!graphic || graphic->Empty())
    return;
  RECT r = DestRect();
  canvas_->StretchDraw(r, *graphic);
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  proportional_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_)
    return;
  transparent_ = value;
  PictureChanged();
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  if (value)
    PictureChanged();
}

// --- TBoundLabel, TLabeledEdit ----------------------------------------------------------------

TBoundLabel::TBoundLabel(TComponent *owner) : TCustomLabel(owner) {}

void TBoundLabel::Resized() {
  TCustomLabel::Resized();
  if (auto *edit = dynamic_cast<TLabeledEdit *>(GetOwner()))
    edit->PlaceLabel();
}

TLabeledEdit::TLabeledEdit(TComponent *owner) : TCustomEdit(owner) {
  label_ = new TBoundLabel(this);
  label_->SetName("SubLabel");
}

TLabeledEdit::~TLabeledEdit() {
  TBoundLabel *label = label_;
  label_ = nullptr;
  delete label;
}

void TLabeledEdit::Notification(TComponent *component, TOperation operation) {
  TCustomEdit::Notification(component, operation);
  if (operation == TOperation::opRemove && component == label_)
    label_ = nullptr;
}

void TLabeledEdit::SetParent(TWinControl *parent) {
  TCustomEdit::SetParent(parent);
  if (label_) {
    label_->SetParent(parent);
    PlaceLabel();
  }
}

void TLabeledEdit::SetBounds(int left, int top, int width, int height) {
  TCustomEdit::SetBounds(left, top, width, height);
  PlaceLabel();
}

void TLabeledEdit::SetVisible(bool visible) {
  TCustomEdit::SetVisible(visible);
  if (label_)
    label_->SetVisible(visible);
}

void TLabeledEdit::SetEnabled(bool enabled) {
  TCustomEdit::SetEnabled(enabled);
  if (label_)
    label_->SetEnabled(enabled);
}

void TLabeledEdit::SetLabelPosition(TLabelPosition value) {
  labelPosition_ = value;
  PlaceLabel();
}

void TLabeledEdit::SetLabelSpacing(int value) {
  labelSpacing_ = value;
  PlaceLabel();
}

void TLabeledEdit::Loaded() {
  TCustomEdit::Loaded();
  // The label is no component of the form, so the form's Loaded passes it by.
  if (label_)
    label_->Loaded();
  PlaceLabel();
}

void TLabeledEdit::PlaceLabel() {
  if (!label_)
    return;
  int lw = label_->Width(), lh = label_->Height();
  int x = left_, y = top_;
  switch (labelPosition_) {
  case lpAbove:
    y = top_ - lh - labelSpacing_;
    break;
  case lpBelow:
    y = top_ + height_ + labelSpacing_;
    break;
  case lpLeft:
    x = left_ - lw - labelSpacing_;
    y = top_ + (height_ - lh) / 2;
    break;
  case lpRight:
    x = left_ + width_ + labelSpacing_;
    y = top_ + (height_ - lh) / 2;
    break;
  }
  label_->SetBounds(x, y, lw, lh);
}

// --- TBevel -----------------------------------------------------------------------------------

TBevel::TBevel(TComponent *owner) : TGraphicControl(owner) {
  width_ = 50;
  height_ = 50;
}

void TBevel::SetShape(TBevelShape value) {
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas &canvas = TGraphicControl::Canvas();
  TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  int w = width_, h = height_;
  auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    canvas.Pen().SetColor(color);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  switch (shape_) {
  case bsBox: {
    RECT r = ClientRect();
    Frame3D(canvas, r, first, second, 1);
    break;
  }
  case bsFrame: {
    // An etched frame: two outlines a pixel apart.
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetColor(first);
    canvas.Rectangle(0, 0, w - 1, h - 1);
    canvas.Pen().SetColor(second);
    canvas.Rectangle(1, 1, w, h);
    break;
  }
  case bsTopLine:
    line(first, 0, 0, w, 0);
    line(second, 0, 1, w, 1);
    break;
  case bsBottomLine:
    line(first, 0, h - 2, w, h - 2);
    line(second, 0, h - 1, w, h - 1);
    break;
  case bsLeftLine:
    line(first, 0, 0, 0, h);
    line(second, 1, 0, 1, h);
    break;
  case bsRightLine:
    line(first, w - 2, 0, w - 2, h);
    line(second, w - 1, 0, w - 1, h);
    break;
  case bsSpacer:
    break;
  }
}

// --- TShape -----------------------------------------------------------------------------------

TShape::TShape(TComponent *owner)
    : TGraphicControl(owner), brush_(std::make_unique<TBrush>()), pen_(std::make_unique<TPen>()) {
  width_ = 65;
  height_ = 65;
  brush_->OnChange = [this] { Invalidate(); };
  pen_->OnChange = [this] { Invalidate(); };
}

TShape::~TShape() = default;

void TShape::SetShape(TShapeType value) {
  if (shape_ == value)
    return;
  shape_ = value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas &canvas = TGraphicControl::Canvas();
  canvas.Pen().Assign(*pen_);
  canvas.Brush().Assign(*brush_);
  // The pen's width lies inside the control.
  int inset = pen_->Width() / 2;
  int x = inset, y = inset;
  int w = width_ - pen_->Width() + 1, h = height_ - pen_->Width() + 1;
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    int side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = h = side;
  }
  switch (shape_) {
  case stRectangle:
  case stSquare:
    canvas.Rectangle(x, y, x + w, y + h);
    break;
  case stRoundRect:
  case stRoundSquare: {
    int corner = std::min(w, h) / 4;
    canvas.RoundRect(x, y, x + w, y + h, corner, corner);
    break;
  }
  case stEllipse:
  case stCircle:
    canvas.Ellipse(x, y, x + w, y + h);
    break;
  }
}

} // namespace tk
