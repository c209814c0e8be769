#include "toolkit/graphics/ImgList.h"

namespace tk {

namespace {

COLORREF ListColor(TColor color) {
  if (color == clNone)
    return CLR_NONE;
  if (color == clDefault)
    return CLR_DEFAULT;
  return ColorToRGB(color);
}

void CanvasChanged(TCanvas &canvas) {
  if (canvas.OnChange)
    canvas.OnChange();
}

} // namespace

TImageList::TImageList(TComponent *owner) : TComponent(owner) {}

TImageList::~TImageList() {
  if (handle_)
    ImageList_Destroy(handle_);
}

void TImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_)
    return;
  width_ = width;
  height_ = height;
  if (handle_) {
    ImageList_Destroy(handle_);
    handle_ = nullptr;
  }
}

void TImageList::SetMasked(bool value) {
  if (value == masked_)
    return;
  masked_ = value;
  if (handle_) {
    ImageList_Destroy(handle_);
    handle_ = nullptr;
  }
}

void TImageList::SetBkColor(TColor value) {
  bkColor_ = value;
  if (handle_)
    ImageList_SetBkColor(handle_, ListColor(value));
}

HIMAGELIST TImageList::Handle() {
  if (!handle_) {
    handle_ =
        ImageList_Create(width_, height_, ILC_COLOR32 | (masked_ ? ILC_MASK : 0), AllocBy, AllocBy);
    if (handle_)
      ImageList_SetBkColor(handle_, ListColor(bkColor_));
  }
  return handle_;
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TImageList::AddIcon(const TIcon *icon) {
  HIMAGELIST list = Handle();
  if (icon && !icon->Empty()) {
    int index = ImageList_AddIcon(list, icon->Handle());
    if (index >= 0)
      return index;
  }
  // A blank, fully transparent image keeps the positions aligned.
  int count = ImageList_GetImageCount(list);
  if (!ImageList_SetImageCount(list, UINT(count + 1)))
    return -1;
  PutBlank(count);
  return count;
}

bool TImageList::ReplaceIcon(int index, const TIcon *icon) {
  if (!handle_ || index < 0 || index >= Count())
    return false;
  if (icon && !icon->Empty() && ImageList_ReplaceIcon(handle_, index, icon->Handle()) >= 0)
    return true;
  PutBlank(index);
  return true;
}

void TImageList::PutBlank(int index) {
  HIMAGELIST list = Handle();
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, width_, height_);
  HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, mask);
  PatBlt(dc, 0, 0, width_, height_, WHITENESS);
  SelectObject(dc, image);
  PatBlt(dc, 0, 0, width_, height_, BLACKNESS);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ImageList_Replace(list, index, image, mask);
  DeleteObject(image);
  DeleteObject(mask);
}

bool TImageList::GetIcon(int index, TIcon &icon) const {
  if (!handle_ || index < 0 || index >= Count())
    return false;
  icon.SetHandle(ImageList_GetIcon(handle_, index, ILD_NORMAL));
  return !icon.Empty();
}

int TImageList::Add(TBitmap *image, TBitmap *mask) {
  if (!image || image->Empty())
    return -1;
  HBITMAP maskHandle = mask && !mask->Empty() ? mask->Handle() : nullptr;
  return ImageList_Add(Handle(), image->Handle(), maskHandle);
}

int TImageList::AddMasked(TBitmap &image, TColor maskColor) {
  if (image.Empty())
    return -1;
  COLORREF color = ColorToRGB(maskColor == clDefault ? image.TransparentColor() : maskColor);
  // The system blackens the masked pixels of the bitmap it is given; that is a copy here.
  TBitmap copy;
  copy.Assign(image);
  return ImageList_AddMasked(Handle(), copy.Handle(), color);
}

void TImageList::Draw(TCanvas &canvas, int x, int y, int index, UINT style) {
  if (index < 0 || index >= Count())
    return;
  ImageList_DrawEx(handle_, index, canvas.Handle(), x, y, 0, 0, ListColor(bkColor_),
                   ListColor(blendColor_), style);
  CanvasChanged(canvas);
}

void TImageList::Draw(TCanvas &canvas, int x, int y, int index, bool enabled) {
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  if (enabled)
    Draw(canvas, x, y, index, styles[drawingStyle_]);
  else if (index >= 0 && index < Count())
    DrawDisabled(canvas, x, y, index);
}

void TImageList::DrawDisabled(TCanvas &canvas, int x, int y, int index) {
  // The image's darker pixels make its shape: drawn over white, transparent parts count as
  // light.
  TBitmap picture;
  picture.SetPixelFormat(pf32bit);
  picture.SetSize(width_, height_);
  ImageList_DrawEx(handle_, index, picture.Canvas().Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                   ILD_NORMAL);
  // One bits (white) where the destination stays, zero bits (black) where the colour goes.
  TBitmap shape;
  shape.SetPixelFormat(pf1bit);
  shape.SetSize(width_, height_);
  for (int row = 0; row < height_; ++row) {
    const uint8_t *from = static_cast<const uint8_t *>(picture.ScanLine(row));
    uint8_t *to = static_cast<uint8_t *>(shape.ScanLine(row));
    for (int column = 0; column < width_; ++column) {
      const uint8_t *p = from + column * 4;
      if (p[0] + p[1] + p[2] < 3 * 192)
        to[column / 8] &= uint8_t(~(0x80 >> (column % 8)));
    }
  }

  HDC dst = canvas.Handle();
  HDC src = shape.Canvas().Handle();
  COLORREF oldText = SetTextColor(dst, RGB(0, 0, 0));
  COLORREF oldBk = ::SetBkColor(dst, RGB(255, 255, 255));
  // Where the source is black the brush's colour, elsewhere the destination (PSDPxax).
  const DWORD paintThrough = 0x00B8074A;
  HBRUSH highlight = CreateSolidBrush(ColorToRGB(clBtnHighlight));
  HBRUSH shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
  HGDIOBJ oldBrush = SelectObject(dst, highlight);
  BitBlt(dst, x + 1, y + 1, width_, height_, src, 0, 0, paintThrough);
  SelectObject(dst, shadow);
  BitBlt(dst, x, y, width_, height_, src, 0, 0, paintThrough);
  SelectObject(dst, oldBrush);
  DeleteObject(highlight);
  DeleteObject(shadow);
  SetTextColor(dst, oldText);
  ::SetBkColor(dst, oldBk);
  CanvasChanged(canvas);
}

bool TImageList::GetBitmap(int index, TBitmap &image) {
  if (!handle_ || index < 0 || index >= Count())
    return false;
  image.SetSize(width_, height_);
  RECT all{0, 0, width_, height_};
  image.Canvas().FillRect(all);
  ImageList_Draw(handle_, index, image.Canvas().Handle(), 0, 0, ILD_NORMAL);
  image.Changed();
  return true;
}

void TImageList::Delete(int index) {
  if (handle_)
    ImageList_Remove(handle_, index);
}

void TImageList::Clear() {
  if (handle_)
    ImageList_RemoveAll(handle_);
}

} // namespace tk
