#include "toolkit/graphics/Graphics.h"

#include <cstring>
#include <functional>
#include <type_traits>

#include "toolkit/graphics/GraphicsFiles.h"

namespace tk {

COLORREF ColorToRGB(TColor color) {
  if (color < 0)
    return GetSysColor(color & 0xFF);
  return COLORREF(color);
}

namespace {

// The old GDI object may still be selected into a context. The listeners take it out there (and
// may ask for the new one at once); only then it can go.
template <class Handle>
void NotifyAndRecycle(Handle &handle, bool handleToo, const std::function<void()> &onChange) {
  Handle old = nullptr;
  if (handleToo) {
    old = handle;
    handle = nullptr;
  }
  if (onChange)
    onChange();
  if (old)
    DeleteObject(old);
}

// Setters notify only when something really changes.
template <class T> bool Replace(T &field, const std::type_identity_t<T> &value) {
  if (value == field)
    return false;
  field = value;
  return true;
}

} // namespace

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    HDC screen = GetDC(nullptr);
    int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return ppi;
}

// --- TFont --------------------------------------------------------------------------------

TFont::TFont() : pixelsPerInch_(ScreenPixelsPerInch()) {}

TFont::~TFont() {
  if (handle_)
    DeleteObject(handle_);
}

void TFont::Changed(bool handleToo) { NotifyAndRecycle(handle_, handleToo, OnChange); }

void TFont::Assign(const TFont &source) {
  if (&source == this)
    return;
  bool handleToo = name_ != source.name_ || height_ != source.height_ || style_ != source.style_ ||
                   charset_ != source.charset_ || pitch_ != source.pitch_;
  if (!handleToo && color_ == source.color_)
    return;
  name_ = source.name_;
  height_ = source.height_;
  style_ = source.style_;
  charset_ = source.charset_;
  pitch_ = source.pitch_;
  color_ = source.color_;
  Changed(handleToo);
}

void TFont::SetName(const std::string &value) {
  if (Replace(name_, value))
    Changed(true);
}

void TFont::SetHeight(int value) {
  if (Replace(height_, value))
    Changed(true);
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetColor(TColor value) {
  if (Replace(color_, value))
    Changed(false);
}

void TFont::SetStyle(TFontStyles value) {
  if (Replace(style_, value))
    Changed(true);
}

void TFont::SetCharset(BYTE value) {
  if (Replace(charset_, value))
    Changed(true);
}

void TFont::SetPitch(TFontPitch value) {
  if (Replace(pitch_, value))
    Changed(true);
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed      ? FIXED_PITCH
                          : pitch_ == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    handle_ = CreateFontIndirectA(&lf);
    if (!handle_)
      throw EOutOfResources(texts::OutOfResources);
  }
  return handle_;
}

void TFont::SetHandle(HFONT font) {
  LOGFONTA lf;
  if (!font || GetObjectA(font, sizeof(lf), &lf) != sizeof(lf))
    return;
  lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  TFontStyles style = 0;
  if (lf.lfWeight >= FW_BOLD)
    style |= fsBold;
  if (lf.lfItalic)
    style |= fsItalic;
  if (lf.lfUnderline)
    style |= fsUnderline;
  if (lf.lfStrikeOut)
    style |= fsStrikeOut;
  int pitchBits = lf.lfPitchAndFamily & 3;
  TFontPitch pitch = pitchBits == FIXED_PITCH      ? fpFixed
                     : pitchBits == VARIABLE_PITCH ? fpVariable
                                                   : fpDefault;
  if (name_ == lf.lfFaceName && height_ == lf.lfHeight && style_ == style &&
      charset_ == lf.lfCharSet && pitch_ == pitch)
    return;
  name_ = lf.lfFaceName;
  height_ = lf.lfHeight;
  style_ = style;
  charset_ = lf.lfCharSet;
  pitch_ = pitch;
  Changed(true);
}

// --- TPen ---------------------------------------------------------------------------------

TPen::~TPen() {
  if (handle_)
    DeleteObject(handle_);
}

void TPen::Changed(bool handleToo) { NotifyAndRecycle(handle_, handleToo, OnChange); }

void TPen::Assign(const TPen &source) {
  if (&source == this)
    return;
  bool handleToo = color_ != source.color_ || width_ != source.width_ || style_ != source.style_;
  if (!handleToo && mode_ == source.mode_)
    return;
  color_ = source.color_;
  width_ = source.width_;
  style_ = source.style_;
  mode_ = source.mode_;
  Changed(handleToo);
}

void TPen::SetColor(TColor value) {
  if (Replace(color_, value))
    Changed(true);
}

void TPen::SetWidth(int value) {
  if (Replace(width_, value))
    Changed(true);
}

void TPen::SetStyle(int value) {
  if (Replace(style_, value))
    Changed(true);
}

void TPen::SetMode(int value) {
  if (Replace(mode_, value))
    Changed(false);
}

HPEN TPen::Handle() {
  if (!handle_) {
    handle_ = CreatePen(style_, width_, ColorToRGB(color_));
    if (!handle_)
      throw EOutOfResources(texts::OutOfResources);
  }
  return handle_;
}

// --- TBrush -------------------------------------------------------------------------------

TBrush::~TBrush() {
  if (handle_)
    DeleteObject(handle_);
}

void TBrush::Changed() { NotifyAndRecycle(handle_, true, OnChange); }

void TBrush::Assign(const TBrush &source) {
  if (&source == this || (color_ == source.color_ && style_ == source.style_))
    return;
  color_ = source.color_;
  style_ = source.style_;
  Changed();
}

void TBrush::SetColor(TColor value) {
  TBrushStyle style = style_ == bsClear ? bsSolid : style_;
  if (value == color_ && style == style_)
    return;
  color_ = value;
  style_ = style;
  Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (Replace(style_, value))
    Changed();
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    LOGBRUSH lb{};
    lb.lbColor = ColorToRGB(color_);
    if (style_ == bsSolid) {
      lb.lbStyle = BS_SOLID;
    } else if (style_ == bsClear) {
      lb.lbStyle = BS_HOLLOW;
    } else {
      lb.lbStyle = BS_HATCHED;
      lb.lbHatch = ULONG_PTR(HS_HORIZONTAL + (style_ - bsHorizontal)); // same order
    }
    handle_ = CreateBrushIndirect(&lb);
    if (!handle_)
      throw EOutOfResources(texts::OutOfResources);
  }
  return handle_;
}

// --- TCanvas ------------------------------------------------------------------------------

TCanvas::TCanvas() {
  font_.OnChange = [this] { Deselect(stFont); };
  pen_.OnChange = [this] { Deselect(stPen); };
  brush_.OnChange = [this] { Deselect(stBrush); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  Require(stHandle);
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_)
    return;
  Deselect(stFont | stPen | stBrush);
  dc_ = dc;
  state_ = dc ? unsigned(stHandle) : 0u;
}

void TCanvas::Require(unsigned wanted) {
  wanted |= stHandle;
  if ((state_ & wanted) == wanted)
    return;
  if (!dc_) {
    CreateHandle();
    if (!dc_)
      throw EInvalidOperation(texts::NoCanvasHandle);
  }
  unsigned missing = wanted & ~state_;
  if (missing & stFont) {
    oldFont_ = SelectObject(dc_, font_.Handle());
    oldTextColor_ = SetTextColor(dc_, ColorToRGB(font_.Color()));
  }
  if (missing & stPen) {
    oldPen_ = SelectObject(dc_, pen_.Handle());
    oldRop2_ = SetROP2(dc_, pen_.Mode());
  }
  if (missing & stBrush) {
    oldBrush_ = SelectObject(dc_, brush_.Handle());
    oldBkColor_ = SetBkColor(dc_, ColorToRGB(brush_.Color()));
    oldBkMode_ = SetBkMode(dc_, brush_.Style() == bsSolid ? OPAQUE : TRANSPARENT);
  }
  state_ |= wanted;
}

void TCanvas::Deselect(unsigned which) {
  unsigned selected = state_ & which;
  if (!dc_ || !selected)
    return;
  if (selected & stFont) {
    SelectObject(dc_, oldFont_);
    SetTextColor(dc_, oldTextColor_);
  }
  if (selected & stPen) {
    SelectObject(dc_, oldPen_);
    SetROP2(dc_, oldRop2_);
  }
  if (selected & stBrush) {
    SelectObject(dc_, oldBrush_);
    SetBkColor(dc_, oldBkColor_);
    SetBkMode(dc_, oldBkMode_);
  }
  state_ &= ~selected;
}

POINT TCanvas::PenPos() {
  Require(stHandle);
  POINT p{};
  GetCurrentPositionEx(dc_, &p);
  return p;
}

RECT TCanvas::ClipRect() {
  Require(stHandle);
  RECT r{};
  GetClipBox(dc_, &r);
  return r;
}

void TCanvas::MoveTo(int x, int y) {
  Require(stHandle);
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Require(stPen | stBrush);
  ::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Require(stPen | stBrush);
  ::Rectangle(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth,
                        int cornerHeight) {
  Require(stPen | stBrush);
  ::RoundRect(dc_, left, top, right, bottom, cornerWidth, cornerHeight);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Require(stPen | stBrush);
  ::Ellipse(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::FillRect(const RECT &rect) {
  Require(stBrush);
  ::FillRect(dc_, &rect, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT &rect) {
  Require(stBrush);
  ::FrameRect(dc_, &rect, brush_.Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const RECT &rect) {
  Require(stBrush);
  ::DrawFocusRect(dc_, &rect);
  Changed();
}

void TCanvas::Polygon(const POINT *points, int count) {
  Require(stPen | stBrush);
  ::Polygon(dc_, points, count);
  Changed();
}

void TCanvas::Polyline(const POINT *points, int count) {
  Require(stPen | stBrush);
  ::Polyline(dc_, points, count);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string &text) {
  Require(stFont | stBrush);
  ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), UINT(text.size()), nullptr);
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextRect(const RECT &rect, int x, int y, const std::string &text) {
  Require(stFont | stBrush);
  UINT options = ETO_CLIPPED;
  if (brush_.Style() != bsClear)
    options |= ETO_OPAQUE;
  ExtTextOutA(dc_, x, y, options, &rect, text.data(), UINT(text.size()), nullptr);
  Changed();
}

SIZE TCanvas::TextExtent(const std::string &text) {
  Require(stFont);
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), int(text.size()), &size);
  return size;
}

int TCanvas::TextWidth(const std::string &text) { return TextExtent(text).cx; }

int TCanvas::TextHeight(const std::string &text) { return TextExtent(text).cy; }

int TCanvas::DrawText(const std::string &text, RECT &rect, UINT flags) {
  Require(stFont | stBrush);
  // The text is the caller's constant: it may not be rewritten with an ellipsis.
  flags &= ~UINT(DT_MODIFYSTRING);
  int height = DrawTextA(dc_, text.data(), int(text.size()), &rect, flags);
  if (!(flags & DT_CALCRECT))
    Changed();
  return height;
}

void TCanvas::Draw(int x, int y, TGraphic &graphic) {
  if (graphic.Empty())
    return;
  RECT rect{x, y, x + graphic.Width(), y + graphic.Height()};
  graphic.Draw(*this, rect);
  Changed();
}

void TCanvas::StretchDraw(const RECT &rect, TGraphic &graphic) {
  if (graphic.Empty())
    return;
  graphic.Draw(*this, rect);
  Changed();
}

void TCanvas::CopyRect(const RECT &dest, TCanvas &source, const RECT &sourceRect) {
  // Font and brush colours take part when a monochrome source meets a colour context.
  Require(stFont | stBrush);
  source.Require(stBrush);
  StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.dc_,
             sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
             sourceRect.bottom - sourceRect.top, copyMode_);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) {
  Require(stHandle);
  return TColor(GetPixel(dc_, x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Require(stPen);
  SetPixel(dc_, x, y, ColorToRGB(color));
  Changed();
}

void Frame3D(TCanvas &canvas, RECT &rect, TColor topColor, TColor bottomColor, int width) {
  canvas.Pen().SetWidth(1);
  // Inclusive corners from here on: the frame's lines run on the rectangle's last pixels.
  --rect.right;
  --rect.bottom;
  for (int i = 0; i < width; ++i) {
    POINT topLeft[3] = {{rect.left, rect.bottom}, {rect.left, rect.top}, {rect.right, rect.top}};
    canvas.Pen().SetColor(topColor);
    canvas.Polyline(topLeft, 3);
    // Drawn second, the bottom-right edge owns both corners it shares with the other edge.
    POINT bottomRight[3] = {
        {rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left - 1, rect.bottom}};
    canvas.Pen().SetColor(bottomColor);
    canvas.Polyline(bottomRight, 3);
    InflateRect(&rect, -1, -1);
  }
  ++rect.right;
  ++rect.bottom;
}

// --- TGraphic, TIcon ----------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (Replace(transparent_, value))
    Changed();
}

TIcon::~TIcon() {
  if (handle_)
    DestroyIcon(handle_);
}

void TIcon::SetHandle(HICON handle) {
  if (handle == handle_)
    return;
  if (handle_)
    DestroyIcon(handle_);
  handle_ = handle;
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON handle = handle_;
  handle_ = nullptr;
  return handle;
}

void TIcon::Assign(const TIcon &source) {
  if (&source != this)
    SetHandle(source.handle_ ? CopyIcon(source.handle_) : nullptr);
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
  auto copy = std::make_unique<TIcon>();
  if (handle_)
    copy->handle_ = CopyIcon(handle_);
  copy->transparent_ = transparent_;
  return copy;
}

static SIZE IconSize(HICON icon) {
  SIZE size{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  ICONINFO info;
  if (icon && GetIconInfo(icon, &info)) {
    BITMAP bm;
    if (GetObjectA(info.hbmMask, sizeof(bm), &bm)) {
      size.cx = bm.bmWidth;
      // Without a colour bitmap the mask holds both halves of a monochrome icon.
      size.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
      DeleteObject(info.hbmColor);
  }
  return size;
}

int TIcon::Width() const { return IconSize(handle_).cx; }
int TIcon::Height() const { return IconSize(handle_).cy; }

void TIcon::Draw(TCanvas &canvas, const RECT &rect) {
  if (handle_)
    DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_, rect.right - rect.left,
               rect.bottom - rect.top, 0, nullptr, DI_NORMAL);
}

namespace {

#pragma pack(push, 2)
struct IconDirEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes, imageOffset;
};
#pragma pack(pop)
static_assert(sizeof(IconDirEntry) == 16);

void PutWord(std::vector<uint8_t> &out, WORD value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

template <typename T> void PutBytes(std::vector<uint8_t> &out, const T &value) {
  const uint8_t *p = reinterpret_cast<const uint8_t *>(&value);
  out.insert(out.end(), p, p + sizeof(T));
}

} // namespace

void TIcon::LoadFromFile(const std::string &fileName) {
  std::vector<unsigned char> bytes = graphics_files::Read(fileName, texts::InvalidIcon);
  // The system's loader is lenient with junk; the directory has to look right first.
  auto word = [&](size_t at) { return WORD(bytes[at] | (bytes[at + 1] << 8)); };
  if (bytes.size() < 6 + sizeof(IconDirEntry) || word(0) != 0 || word(2) != 1 || word(4) == 0 ||
      bytes.size() < 6 + word(4) * sizeof(IconDirEntry))
    throw EInvalidGraphic(texts::InvalidIcon);
  HICON icon = HICON(LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
  if (!icon)
    throw EInvalidGraphic(texts::InvalidIcon);
  SetHandle(icon);
}

void TIcon::SaveToFile(const std::string &fileName) {
  ICONINFO info;
  if (!handle_ || !GetIconInfo(handle_, &info))
    throw EInvalidGraphic(texts::InvalidIcon);
  BITMAP bm{};
  GetObjectA(info.hbmMask, sizeof(bm), &bm);
  int width = bm.bmWidth;
  int height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  int maskStride = ((width + 31) / 32) * 4;
  std::vector<uint8_t> colour(size_t(width) * 4 * height), mask(size_t(maskStride) * height);

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } bi{};
  bi.header.biSize = sizeof(BITMAPINFOHEADER);
  bi.header.biWidth = width;
  bi.header.biPlanes = 1;
  HDC screen = GetDC(nullptr);
  auto read = [&](HBITMAP bitmap, int rows, int bits, void *out) {
    bi.header.biHeight = rows;
    bi.header.biBitCount = WORD(bits);
    return GetDIBits(screen, bitmap, 0, UINT(rows), out, reinterpret_cast<BITMAPINFO *>(&bi),
                     DIB_RGB_COLORS) == rows;
  };
  bool ok;
  if (info.hbmColor) {
    ok = read(info.hbmColor, height, 32, colour.data()) &&
         read(info.hbmMask, height, 1, mask.data());
  } else {
    // A monochrome icon: the mask's upper half is the mask, the lower half the picture. The
    // rows come bottom-up, so the picture's rows are read first.
    std::vector<uint8_t> both(size_t(maskStride) * height * 2);
    ok = read(info.hbmMask, height * 2, 1, both.data());
    std::memcpy(mask.data(), both.data() + size_t(maskStride) * height, mask.size());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        bool set = both[size_t(y) * maskStride + x / 8] & (0x80 >> (x % 8));
        RGBQUAD c = bi.colors[set ? 1 : 0];
        uint8_t *p = &colour[(size_t(y) * width + x) * 4];
        p[0] = c.rgbBlue;
        p[1] = c.rgbGreen;
        p[2] = c.rgbRed;
        p[3] = 0;
      }
  }
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmMask);
  if (info.hbmColor)
    DeleteObject(info.hbmColor);
  if (!ok)
    throw EInvalidGraphic(texts::InvalidIcon);

  BITMAPINFOHEADER image{};
  image.biSize = sizeof(image);
  image.biWidth = width;
  image.biHeight = height * 2; // picture and mask, as icon resources store them
  image.biPlanes = 1;
  image.biBitCount = 32;
  image.biSizeImage = DWORD(colour.size() + mask.size());
  IconDirEntry entry{};
  entry.width = BYTE(width >= 256 ? 0 : width);
  entry.height = BYTE(height >= 256 ? 0 : height);
  entry.planes = 1;
  entry.bitCount = 32;
  entry.bytesInRes = DWORD(sizeof(image)) + image.biSizeImage;
  entry.imageOffset = 6 + sizeof(IconDirEntry);

  std::vector<uint8_t> file;
  PutWord(file, 0);
  PutWord(file, 1);
  PutWord(file, 1);
  PutBytes(file, entry);
  PutBytes(file, image);
  file.insert(file.end(), colour.begin(), colour.end());
  file.insert(file.end(), mask.begin(), mask.end());
  graphics_files::Write(fileName, file.data(), file.size());
}

} // namespace tk
