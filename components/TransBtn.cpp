#include "components/TransBtn.h"

#include <algorithm>

#include "toolkit/forms/Menus.h"

using namespace tk;

// --- glyph routines ---------------------------------------------------------------------------

void MakeGrayGlyph(TBitmap &bitmap, int wR, int wG, int wB) {
  int total = wR + wG + wB;
  if (bitmap.Empty() || total == 0)
    return;
  bitmap.SetPixelFormat(pf24bit);
  for (int row = 0; row < bitmap.Height(); ++row) {
    auto *p = static_cast<uint8_t *>(bitmap.ScanLine(row));
    for (int x = 0; x < bitmap.Width(); ++x, p += 3) {
      int gray = (wR * p[2] + wG * p[1] + wB * p[0]) / total;
      p[0] = p[1] = p[2] = uint8_t(gray);
    }
  }
  bitmap.Changed();
}

void EmbossMask(TBitmap &bitmap) {
  if (bitmap.Empty())
    return;
  int w = bitmap.Width(), h = bitmap.Height();
  HDC screen = GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen);
  HDC maskDC = CreateCompatibleDC(screen);
  HDC target = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);

  // A colour-to-monochrome copy sets the bits where the source has its background colour; with
  // black as that colour the set bits are the glyph's black pixels, which are what the raster
  // operation below paints (it keeps the destination where the bits are clear).
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldSource = SelectObject(source, bitmap.Handle());
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  SetBkColor(source, RGB(0, 0, 0));
  BitBlt(maskDC, 0, 0, w, h, source, 0, 0, SRCCOPY);
  SelectObject(source, oldSource);

  TBitmap result;
  result.SetSize(w, h);
  HGDIOBJ oldTarget = SelectObject(target, result.Handle());
  HBRUSH face = CreateSolidBrush(ColorToRGB(clBtnFace));
  RECT all{0, 0, w, h};
  FillRect(target, &all, face);
  DeleteObject(face);
  SetTextColor(target, RGB(0, 0, 0));
  SetBkColor(target, RGB(255, 255, 255));
  const DWORD paintWhereSet = 0x00E20746;
  HBRUSH highlight = CreateSolidBrush(ColorToRGB(clBtnHighlight));
  HBRUSH shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
  HGDIOBJ oldBrush = SelectObject(target, highlight);
  BitBlt(target, 1, 1, w, h, maskDC, 0, 0, paintWhereSet);
  SelectObject(target, shadow);
  BitBlt(target, 0, 0, w, h, maskDC, 0, 0, paintWhereSet);
  SelectObject(target, oldBrush);
  DeleteObject(highlight);
  DeleteObject(shadow);
  GdiFlush();
  SelectObject(target, oldTarget);

  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(source);
  DeleteDC(maskDC);
  DeleteDC(target);
  bitmap.Assign(result);
}

void MakeDisabledGlyph(TBitmap &bitmap) {
  if (bitmap.Empty())
    return;
  bitmap.SetPixelFormat(pf24bit);
  const uint8_t *first = static_cast<const uint8_t *>(bitmap.ScanLine(0));
  const uint8_t ref[3] = {first[0], first[1], first[2]};
  for (int row = 0; row < bitmap.Height(); ++row) {
    auto *p = static_cast<uint8_t *>(bitmap.ScanLine(row));
    for (int x = 0; x < bitmap.Width(); ++x, p += 3) {
      bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
      bool background = white || (p[0] == ref[0] && p[1] == ref[1] && p[2] == ref[2]);
      for (int i = 0; i < 3; ++i)
        p[i] = background ? ref[i] : 0;
    }
  }
  bitmap.Changed();
  EmbossMask(bitmap);
}

// --- TTransparentButton -----------------------------------------------------------------------

namespace {

// Whether key is the character after the caption's single "&" (a doubled one is a plain "&").
bool IsAccel(WPARAM key, const std::string &caption) {
  auto upper = [](unsigned char c) {
    return UINT_PTR(CharUpperA(reinterpret_cast<LPSTR>(UINT_PTR(c)))) & 0xFF;
  };
  for (const char *p = caption.c_str(); *p; p = CharNextA(p)) {
    if (*p != '&')
      continue;
    ++p;
    if (*p == '&')
      continue;
    return *p && upper(static_cast<unsigned char>(*p)) == upper(static_cast<unsigned char>(key));
  }
  return false;
}

} // namespace

TTransparentButton::TTransparentButton(TComponent *owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()),
      images_(std::make_unique<TImageList>(nullptr)), grayGlyph_(std::make_unique<TBitmap>()),
      disabledGlyph_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 40, 40);
  images_->SetSize(width_, height_);
  glyph_->OnChange = [this] { GlyphChanged(); };
}

TTransparentButton::~TTransparentButton() = default;

void TTransparentButton::SetBorderWidth(unsigned value) {
  if (value == borderWidth_)
    return;
  borderWidth_ = value;
  Invalidate();
}

// Setting Down also presses the button, so it is drawn sunken at once and stays so.
void TTransparentButton::SetDown(bool value) {
  if (value == down_)
    return;
  down_ = captured_ = pressedLook_ = value;
  Repaint();
}

void TTransparentButton::SetFrameStyle(TFrameStyle value) {
  if (value == frameStyle_)
    return;
  frameStyle_ = value;
  Invalidate();
}

void TTransparentButton::SetGlyph(const TBitmap &value) { glyph_->Assign(value); }

// The glyph is not split again: the new number counts only for the frame width and the image
// choice, until the next glyph.
void TTransparentButton::SetNumGlyphs(TNumGlyphs value) {
  value = std::clamp(value, 1, 4);
  if (value == numGlyphs_)
    return;
  numGlyphs_ = value;
  Invalidate();
}

void TTransparentButton::SetPopUpMenu(TPopupMenu *value) {
  if (value == popUpMenu_)
    return;
  if (popUpMenu_)
    popUpMenu_->RemoveFreeNotification(this);
  popUpMenu_ = value;
  if (value)
    value->FreeNotification(this);
}

void TTransparentButton::SetSpacing(int value) {
  if (value == spacing_)
    return;
  spacing_ = value;
  Invalidate();
}

void TTransparentButton::SetTextAlign(TTextAlign value) {
  if (value == textAlign_)
    return;
  textAlign_ = value;
  Invalidate();
}

void TTransparentButton::SetTransparent(bool value) {
  if (value == transparent_)
    return;
  transparent_ = value;
  Invalidate();
}

void TTransparentButton::SetWordWrap(bool value) {
  if (value == wordWrap_)
    return;
  wordWrap_ = value;
  Invalidate();
}

void TTransparentButton::Notification(TComponent *component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && popUpMenu_ && component == popUpMenu_)
    popUpMenu_ = nullptr;
}

// The image list holds the frames, then the grey and the disabled copy of frame 0. An empty glyph
// keeps the old images: they are not drawn while the glyph is empty.
void TTransparentButton::GlyphChanged() {
  Invalidate();
  int w = glyph_->Width(), h = glyph_->Height();
  if (h == 0)
    return;
  if (w > 0 && w % h == 0) {
    int frames = w / h;
    numGlyphs_ = frames > 4 ? 1 : frames;
  }
  if (glyph_->Empty())
    return;
  int frameWidth = std::max(w / numGlyphs_, 1);
  images_->Clear();
  images_->SetSize(frameWidth, h);
  for (int i = 0; i < numGlyphs_; ++i) {
    TBitmap frame;
    frame.SetSize(frameWidth, h);
    frame.Canvas().CopyRect({0, 0, frameWidth, h}, glyph_->Canvas(),
                            {i * frameWidth, 0, (i + 1) * frameWidth, h});
    if (i == 0) {
      grayGlyph_->Assign(frame);
      MakeGrayGlyph(*grayGlyph_, 11, 59, 30);
      disabledGlyph_->Assign(frame);
      MakeDisabledGlyph(*disabledGlyph_);
    }
    images_->AddMasked(frame, clDefault);
  }
  images_->AddMasked(*grayGlyph_, clDefault);
  images_->AddMasked(*disabledGlyph_, clDefault);
  glyph_->Dormant();
}

int TTransparentButton::GlyphIndex() const {
  int index = 0;
  if (numGlyphs_ == 2)
    index = Enabled() ? 0 : 1;
  else if (numGlyphs_ >= 3) // a fourth frame is never drawn
    index = !Enabled() ? 1 : pressedLook_ ? 2 : 0;
  int count = images_->Count();
  if (frameStyle_ == fsExplorer && AutoGray && !hot_)
    index = count - 2;
  if (!Enabled() && numGlyphs_ == 1)
    index = count - 1;
  return index;
}

bool TTransparentButton::InClient(int x, int y) const {
  RECT r = ClientRect();
  POINT p{x, y};
  return PtInRect(&r, p) != FALSE;
}

void TTransparentButton::Paint() {
  TCanvas &canvas = Canvas();
  int w = Width(), h = Height();
  int bw = int(borderWidth_);
  canvas.Brush().SetColor(clBtnFace);
  canvas.Pen().SetColor(clBlack);
  canvas.Pen().SetWidth(bw);

  RECT r;
  switch (frameStyle_) {
  case fsRegular:
    canvas.Pen().SetColor(clBlack);
    if (transparent_) {
      r = {1, 1, w, h};
      Frame3D(canvas, r, clBlack, clBlack, bw);
    } else {
      canvas.Rectangle(1, 1, w, h);
    }
    break;
  case fsIndent:
    canvas.Pen().SetColor(clBtnShadow);
    if (transparent_) {
      r = {0, 0, w - 1, h - 1};
      Frame3D(canvas, r, clBtnShadow, clBtnShadow, bw);
    } else {
      canvas.Rectangle(0, 0, w - 1, h - 1);
    }
    r = {1, 1, w, h};
    Frame3D(canvas, r, clBtnHighlight, clBtnHighlight, bw);
    break;
  default:
    // The flat styles have no frame of their own at rest (there is no designer to outline
    // them for).
    if (!transparent_)
      canvas.FillRect(ClientRect());
    break;
  }

  r = {0, 0, w, h};
  if (pressedLook_ && frameStyle_ != fsNone) {
    switch (frameStyle_) {
    case fsRegular:
    case fsIndent:
      if (ShowPressed) {
        Frame3D(canvas, r, clBlack, clBtnHighlight, bw);
        Frame3D(canvas, r, clBtnShadow, clBtnFace, bw);
      }
      break;
    case fsExplorer:
      // A press that has left the button shows no frame, unless the button is latched down.
      if (hot_ || down_) {
        if (ShowPressed)
          Frame3D(canvas, r, clBtnShadow, clBtnHighlight, bw);
        else
          Frame3D(canvas, r, clBtnHighlight, clBtnShadow, bw);
      }
      break;
    case fsLight:
      if (ShowPressed)
        Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
      break;
    case fsDark:
      if (ShowPressed)
        Frame3D(canvas, r, cl3DDkShadow, clBtnFace, 1);
      break;
    case fsMono:
      if (ShowPressed)
        Frame3D(canvas, r, cl3DDkShadow, clBtnHighlight, 1);
      break;
    default:
      break;
    }
  }
  if (!pressedLook_) {
    switch (frameStyle_) {
    case fsRegular:
      Frame3D(canvas, r, clBtnHighlight, clBlack, bw);
      Frame3D(canvas, r, clBtnFace, clBtnShadow, bw);
      break;
    case fsIndent:
      Frame3D(canvas, r, clBtnShadow, clBtnHighlight, bw);
      break;
    case fsExplorer:
      if (hot_)
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, bw);
      break;
    case fsLight:
      Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
      break;
    case fsDark:
      Frame3D(canvas, r, clBtnFace, cl3DDkShadow, 1);
      break;
    case fsMono:
      Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow, 1);
      break;
    default:
      break;
    }
  }

  // The glyph stands on the side away from the caption: below a caption above it, above one
  // below it, and centred otherwise.
  int gw = glyph_->Width() / numGlyphs_;
  if (gw <= 0)
    gw = glyph_->Width();
  int gh = glyph_->Height();
  int top, left;
  if (textAlign_ >= ttaBottomRight && textAlign_ <= ttaBottomLeft)
    top = spacing_;
  else if (textAlign_ <= ttaTopRight)
    top = h - gh - spacing_;
  else
    top = (h - gh) / 2;
  if (textAlign_ == ttaLeft)
    left = w - gw - spacing_;
  else if (textAlign_ == ttaRight)
    left = spacing_;
  else
    left = (w - gw) / 2;
  int shift = pressedLook_ && ShowPressed ? 1 : 0;

  if (!glyph_->Empty()) {
    images_->SetBkColor(transparent_ ? clNone : clBtnFace);
    images_->Draw(canvas, left + shift, top + shift, GlyphIndex(),
                  UINT(transparent_ ? ILD_TRANSPARENT : ILD_NORMAL));
    glyph_->Dormant();
  }

  std::string caption = Caption();
  if (caption.empty())
    return;
  canvas.Font().Assign(Font());
  UINT lines = wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
  RECT text{0, 0, w, h};
  canvas.DrawText(caption, text, DT_CALCRECT | lines);
  int tw = text.right - text.left, th = text.bottom - text.top;
  int gt = top, gb = top + gh;
  int dx = 0, dy = 0;
  switch (textAlign_) {
  case ttaTopLeft:
  case ttaBottomLeft:
  case ttaLeft:
    dx = spacing_;
    break;
  case ttaTopRight:
  case ttaRight:
  case ttaBottomRight:
    dx = w - tw - spacing_;
    break;
  default:
    dx = w / 2 - tw / 2;
    break;
  }
  switch (textAlign_) {
  case ttaTopLeft:
  case ttaTop:
  case ttaTopRight:
    dy = gt - th - spacing_;
    break;
  case ttaBottomRight:
  case ttaBottom:
  case ttaBottomLeft:
    dy = gb + spacing_;
    break;
  default:
    dy = h / 2 - th / 2;
    break;
  }
  OffsetRect(&text, dx + shift, dy + shift);
  canvas.Brush().SetStyle(bsClear);
  UINT flags = DT_CENTER | DT_NOCLIP | lines;
  if (Enabled()) {
    canvas.DrawText(caption, text, flags);
    return;
  }
  // Disabled text: a highlight copy one pixel down and right under the shadow-coloured text.
  OffsetRect(&text, 1, 1);
  canvas.Font().SetColor(clBtnHighlight);
  canvas.DrawText(caption, text, flags);
  OffsetRect(&text, -1, -1);
  canvas.Font().SetColor(clBtnShadow);
  canvas.DrawText(caption, text, flags);
}

void TTransparentButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Enabled() || mouseIsDown_)
    return;
  mouseIsDown_ = true;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (Movable)
    dragOrigin_ = {x, y};
  if (InClient(x, y)) {
    captured_ = pressedLook_ = true;
    Repaint();
  }
  if (!popUpMenu_)
    return;
  POINT corner = ClientToScreen({0, Height()});
  popUpMenu_->PopupComponent = this; // the menu belongs to this button's form while it is up
  popUpMenu_->Popup(corner.x, corner.y);
  // The clicks that closed the menu, and the release of this press, belong to the menu: none of
  // them may reach a control afterwards. The press ends here instead, without a click.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_REMOVE)) {
  }
  pressed_ = false;
  MouseUp(button, shift, x, y);
}

// While Down is set the button stays pressed whatever the mouse does.
void TTransparentButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Enabled() || !mouseIsDown_)
    return;
  mouseIsDown_ = false;
  if (down_)
    return;
  TGraphicControl::MouseUp(button, shift, x, y);
  captured_ = pressedLook_ = false;
  Repaint();
}

// A press that leaves the button looks raised until it comes back.
void TTransparentButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!captured_)
    return;
  if (Movable)
    SetBounds(Left() + x - dragOrigin_.x, Top() + y - dragOrigin_.y, Width(), Height());
  bool inside = InClient(x, y);
  if (inside != pressedLook_) {
    pressedLook_ = inside;
    Repaint();
  }
}

void TTransparentButton::MouseEnter() {
  if (!Enabled())
    return;
  hot_ = true;
  TGraphicControl::MouseEnter();
  if (frameStyle_ == fsExplorer)
    Repaint();
}

void TTransparentButton::MouseLeave() {
  if (!Enabled())
    return;
  hot_ = false;
  if (OnMouseExit)
    OnMouseExit(this);
  if (frameStyle_ == fsExplorer)
    Repaint();
}

void TTransparentButton::EnabledChanged() {
  if (!Enabled())
    pressedLook_ = captured_ = mouseIsDown_ = hot_ = false;
  Repaint();
}

void TTransparentButton::WndProc(TMessage &message) {
  switch (message.Msg) {
  // Double clicks are two presses to this button.
  case WM_LBUTTONDBLCLK:
    message.Msg = WM_LBUTTONDOWN;
    break;
  case WM_RBUTTONDBLCLK:
    message.Msg = WM_RBUTTONDOWN;
    break;
  case WM_MBUTTONDBLCLK:
    message.Msg = WM_MBUTTONDOWN;
    break;
  case CM_DIALOGCHAR:
    if (Enabled() && IsAccel(message.WParam, Caption())) {
      Click();
      message.Result = 1;
      return;
    }
    break;
  default:
    break;
  }
  TGraphicControl::WndProc(message);
}
