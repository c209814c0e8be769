// TBitmap: DIB sections, their pixel formats, and the .bmp reader and writer.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/GraphicsFiles.h"

namespace tk {

namespace {

// Anything larger is taken for a damaged header rather than a picture.
constexpr int64_t kMaxSide = int64_t(1) << 24;
constexpr int64_t kMaxPixels = int64_t(1) << 28;

[[noreturn]] void Invalid() { throw EInvalidGraphic(texts::InvalidBitmap); }

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
  case pf1bit:
    return 1;
  case pf4bit:
    return 4;
  case pf8bit:
    return 8;
  case pf15bit:
  case pf16bit:
    return 16;
  case pf24bit:
    return 24;
  case pf32bit:
    return 32;
  default:
    return 0;
  }
}

int Stride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

uint16_t U16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t *p) {
  return uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24;
}

std::vector<RGBQUAD> StandardPalette(TPixelFormat format) {
  std::vector<RGBQUAD> palette;
  auto add = [&](int r, int g, int b) { palette.push_back(RGBQUAD{BYTE(b), BYTE(g), BYTE(r), 0}); };
  auto addVga = [&] {
    static const int vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                   {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                   {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                   {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const auto &c : vga)
      add(c[0], c[1], c[2]);
  };
  if (format == pf1bit) {
    add(0, 0, 0);
    add(255, 255, 255);
  } else if (format == pf4bit) {
    addVga();
  } else if (format == pf8bit) {
    // The sixteen, a colour cube and a ramp of greys between the cube's.
    addVga();
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          add(r * 51, g * 51, b * 51);
    for (int i = 0; i < 24; ++i)
      add(8 + i * 10, 8 + i * 10, 8 + i * 10);
  }
  return palette;
}

TPixelFormat ScreenFormat() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  switch (bits) {
  case 1:
    return pf1bit;
  case 4:
    return pf4bit;
  case 8:
    return pf8bit;
  case 15:
    return pf15bit;
  case 16:
    return pf16bit;
  case 32:
    return pf32bit;
  default:
    return pf24bit;
  }
}

// The format of ours that stores bpp-bit pixels of these colour masks as they are; pfCustom
// when none does. BI_RGB stands for the system's default masks, whatever the masks say.
TPixelFormat ExactFormat(int bpp, uint32_t compression, uint32_t red, uint32_t green,
                         uint32_t blue) {
  auto masksAre = [&](uint32_t r, uint32_t g, uint32_t b) {
    return red == r && green == g && blue == b;
  };
  switch (bpp) {
  case 1:
    return pf1bit;
  case 4:
    return pf4bit;
  case 8:
    return pf8bit;
  case 16:
    if (compression == BI_RGB || masksAre(0x7C00, 0x03E0, 0x001F))
      return pf15bit;
    if (masksAre(0xF800, 0x07E0, 0x001F))
      return pf16bit;
    return pfCustom;
  case 24:
    return pf24bit;
  case 32:
    if (compression == BI_RGB || masksAre(0xFF0000, 0xFF00, 0xFF))
      return pf32bit;
    return pfCustom;
  default:
    return pfCustom;
  }
}

uint32_t GetRaw(const uint8_t *row, int x, int bpp) {
  switch (bpp) {
  case 1:
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
  case 4:
    return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
  case 8:
    return row[x];
  case 16:
    return U16(row + x * 2);
  case 24:
    return uint32_t(row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16);
  default:
    return U32(row + x * 4);
  }
}

void PutRaw(uint8_t *row, int x, int bpp, uint32_t value) {
  switch (bpp) {
  case 1: {
    uint8_t bit = uint8_t(0x80 >> (x & 7));
    row[x >> 3] = value ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
    break;
  }
  case 4:
    if (x & 1)
      row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (value & 0xF));
    else
      row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | (value & 0xF) << 4);
    break;
  case 8:
    row[x] = uint8_t(value);
    break;
  default:
    for (int i = 0; i < bpp / 8; ++i)
      row[x * (bpp / 8) + i] = uint8_t(value >> (8 * i));
  }
}

// How one format's raw pixel values map to colours and back.
class PixelCodec {
public:
  PixelCodec(TPixelFormat format, const std::vector<RGBQUAD> &palette)
      : format_(format), bpp_(BitsPerPixel(format)), palette_(palette) {}

  int Bpp() const { return bpp_; }

  RGBQUAD ToColor(uint32_t raw) const {
    switch (format_) {
    case pf15bit:
      return RGBQUAD{Expand5(raw), Expand5(raw >> 5), Expand5(raw >> 10), 0};
    case pf16bit:
      return RGBQUAD{Expand5(raw), BYTE((raw >> 5 & 63) << 2 | (raw >> 9 & 3)), Expand5(raw >> 11),
                     0};
    case pf24bit:
    case pf32bit:
      return RGBQUAD{BYTE(raw), BYTE(raw >> 8), BYTE(raw >> 16), BYTE(raw >> 24)};
    default:
      return raw < palette_.size() ? palette_[raw] : RGBQUAD{0, 0, 0, 0};
    }
  }

  uint32_t FromColor(RGBQUAD c) {
    switch (format_) {
    case pf15bit:
      return uint32_t(c.rgbRed >> 3) << 10 | uint32_t(c.rgbGreen >> 3) << 5 | (c.rgbBlue >> 3);
    case pf16bit:
      return uint32_t(c.rgbRed >> 3) << 11 | uint32_t(c.rgbGreen >> 2) << 5 | (c.rgbBlue >> 3);
    case pf24bit:
      return uint32_t(c.rgbBlue | c.rgbGreen << 8 | c.rgbRed << 16);
    case pf32bit:
      return uint32_t(c.rgbBlue | c.rgbGreen << 8 | c.rgbRed << 16) | uint32_t(c.rgbReserved) << 24;
    default:
      return Nearest(c);
    }
  }

private:
  static BYTE Expand5(uint32_t v) { return BYTE((v & 31) << 3 | (v & 31) >> 2); }

  uint32_t Nearest(RGBQUAD c) {
    uint32_t key = uint32_t(c.rgbBlue | c.rgbGreen << 8 | c.rgbRed << 16);
    auto found = cache_.find(key);
    if (found != cache_.end())
      return found->second;
    uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette_.size(); ++i) {
      int db = c.rgbBlue - palette_[i].rgbBlue, dg = c.rgbGreen - palette_[i].rgbGreen,
          dr = c.rgbRed - palette_[i].rgbRed;
      int distance = db * db + dg * dg + dr * dr;
      if (distance < bestDistance) {
        bestDistance = distance;
        best = uint32_t(i);
      }
    }
    cache_[key] = best;
    return best;
  }

  TPixelFormat format_;
  int bpp_;
  const std::vector<RGBQUAD> &palette_;
  std::unordered_map<uint32_t, uint32_t> cache_;
};

// The header of a bottom-up, uncompressed picture.
BITMAPINFOHEADER DibHeader(int width, int height, int bpp) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = WORD(bpp);
  header.biCompression = BI_RGB;
  return header;
}

HBITMAP CreateDib(int width, int height, TPixelFormat format, const std::vector<RGBQUAD> &palette,
                  uint8_t *&bits) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } bi{};
  bi.header = DibHeader(width, height, BitsPerPixel(format));
  if (format == pf16bit) {
    bi.header.biCompression = BI_BITFIELDS;
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(bi.colors, masks, sizeof(masks));
  } else if (bi.header.biBitCount <= 8) {
    size_t count = std::min<size_t>(palette.size(), 256);
    std::copy_n(palette.begin(), count, bi.colors);
    bi.header.biClrUsed = DWORD(count);
  }
  void *memory = nullptr;
  HBITMAP handle = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS,
                                    &memory, nullptr, 0);
  if (!handle || !memory)
    throw EOutOfResources(texts::OutOfResources);
  bits = static_cast<uint8_t *>(memory);
  return handle;
}

// Deletes a new bitmap unless it was handed on.
struct BitmapGuard {
  HBITMAP handle;
  ~BitmapGuard() {
    if (handle)
      DeleteObject(handle);
  }
  HBITMAP Release() { return std::exchange(handle, nullptr); }
};

// Run-length encoded rows, bottom row first, into a bitmap of the same depth. Runs past the
// right edge are clipped; data that ends before the end-of-picture mark is a damaged file.
void DecodeRle(const uint8_t *src, size_t size, int bpp, int width, int height, uint8_t *dst,
               int stride) {
  int x = 0, y = 0;
  size_t i = 0;
  auto put = [&](uint32_t value) {
    if (x < width && y < height)
      PutRaw(dst + size_t(y) * stride, x, bpp, value);
    ++x;
  };
  while (y < height) {
    if (i + 2 > size)
      Invalid();
    uint8_t count = src[i], value = src[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k)
        put(bpp == 8 ? value : ((k & 1) ? value & 0xF : value >> 4));
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (i + 2 > size)
        Invalid();
      x += src[i];
      y += src[i + 1];
      i += 2;
    } else {
      size_t bytes = bpp == 8 ? value : (value + 1u) / 2;
      if (i + bytes > size)
        Invalid();
      for (int k = 0; k < value; ++k)
        put(bpp == 8 ? src[i + k] : ((k & 1) ? src[i + k / 2] & 0xF : src[i + k / 2] >> 4));
      i += (bytes + 1) & ~size_t(1); // absolute runs are padded to whole words
    }
  }
}

// A colour channel given by a bit mask, scaled to eight bits.
struct Channel {
  uint32_t mask;
  int shift = 0, bits = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!mask)
      return;
    while (!((mask >> shift) & 1))
      ++shift;
    while (bits + shift < 32 && ((mask >> (shift + bits)) & 1))
      ++bits;
  }
  BYTE Get(uint32_t raw) const {
    if (!bits)
      return 0;
    uint32_t v = (raw & mask) >> shift;
    if (bits >= 8)
      return BYTE(v >> (bits - 8));
    return BYTE(v * 255 / ((1u << bits) - 1));
  }
};

} // namespace

// The canvas of a bitmap: a memory context that holds the bitmap while something draws.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap &bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!HandleAllocated())
      return;
    HDC dc = Handle();
    SetHandle(nullptr);
    if (oldBitmap_)
      SelectObject(dc, oldBitmap_);
    oldBitmap_ = nullptr;
    DeleteDC(dc);
  }

protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
      throw EOutOfResources(texts::OutOfResources);
    bitmap_.Materialize();
    if (bitmap_.handle_)
      oldBitmap_ = SelectObject(dc, bitmap_.handle_);
    SetHandle(dc);
  }

private:
  TBitmap &bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();
  if (handle_)
    DeleteObject(handle_);
}

void TBitmap::FreeContext() {
  if (canvas_)
    canvas_->FreeContext();
}

void TBitmap::Materialize() {
  if (handle_ || Empty())
    return;
  uint8_t *bits = nullptr;
  HBITMAP handle = CreateDib(width_, height_, format_, palette_, bits);
  if (!dormant_.empty())
    std::memcpy(bits, dormant_.data(), dormant_.size());
  dormant_.clear();
  handle_ = handle;
  bits_ = bits;
}

const uint8_t *TBitmap::PixelData() const {
  GdiFlush(); // drawing may still be queued
  return handle_ ? bits_ : dormant_.data();
}

void TBitmap::ReplaceImage(HBITMAP handle, uint8_t *bits, int width, int height,
                           TPixelFormat format, std::vector<RGBQUAD> palette) {
  FreeContext();
  if (handle_ && handle_ != handle)
    DeleteObject(handle_);
  handle_ = handle;
  bits_ = bits;
  dormant_.clear();
  width_ = width;
  height_ = height;
  format_ = format;
  palette_ = std::move(palette);
}

TCanvas &TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TBitmapCanvas>(*this);
    canvas_->OnChange = [this] { Changed(); };
  }
  return *canvas_;
}

HBITMAP TBitmap::Handle() {
  FreeContext();
  Materialize();
  return handle_;
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  Materialize();
  HBITMAP handle = std::exchange(handle_, nullptr);
  bits_ = nullptr;
  width_ = height_ = 0;
  return handle;
}

void TBitmap::Dormant() {
  FreeContext();
  if (!handle_)
    return;
  const uint8_t *bits = PixelData();
  dormant_.assign(bits, bits + size_t(Stride(width_, BitsPerPixel(format_))) * height_);
  DeleteObject(handle_);
  handle_ = nullptr;
  bits_ = nullptr;
}

void *TBitmap::ScanLine(int row) {
  if (Empty() || row < 0 || row >= height_)
    throw EInvalidGraphicOperation(texts::ScanLineOutOfRange);
  Materialize();
  GdiFlush();
  return bits_ + size_t(height_ - 1 - row) * Stride(width_, BitsPerPixel(format_));
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_)
    return;
  if (int64_t(width) * height > kMaxPixels)
    throw EOutOfResources(texts::OutOfResources);
  std::vector<RGBQUAD> palette = palette_;
  if (BitsPerPixel(format_) <= 8 && palette.empty())
    palette = StandardPalette(format_);
  if (width == 0 || height == 0) {
    ReplaceImage(nullptr, nullptr, width, height, format_, std::move(palette));
    Changed();
    return;
  }
  uint8_t *bits = nullptr;
  BitmapGuard guard{CreateDib(width, height, format_, palette, bits)};
  int bpp = BitsPerPixel(format_);
  int stride = Stride(width, bpp);
  PixelCodec codec(format_, palette);
  uint32_t white = codec.FromColor(RGBQUAD{255, 255, 255, 0});
  for (int x = 0; x < width; ++x)
    PutRaw(bits, x, bpp, white);
  for (int y = 1; y < height; ++y)
    std::memcpy(bits + size_t(y) * stride, bits, size_t(stride));
  if (!Empty()) {
    // The top-left part stays where it was; rows are stored bottom-up.
    const uint8_t *old = PixelData();
    int oldStride = Stride(width_, bpp);
    int rows = std::min(height, height_), columns = std::min(width, width_);
    for (int y = 0; y < rows; ++y) {
      const uint8_t *from = old + size_t(height_ - 1 - y) * oldStride;
      uint8_t *to = bits + size_t(height - 1 - y) * stride;
      if (bpp >= 8)
        std::memcpy(to, from, size_t(columns) * (bpp / 8));
      else
        for (int x = 0; x < columns; ++x)
          PutRaw(to, x, bpp, GetRaw(from, x, bpp));
    }
  }
  ReplaceImage(guard.Release(), bits, width, height, format_, std::move(palette));
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == pfDevice)
    value = ScreenFormat();
  if (BitsPerPixel(value) == 0)
    throw EInvalidGraphic(texts::InvalidPixelFormat);
  if (value == format_)
    return;
  std::vector<RGBQUAD> palette = StandardPalette(value);
  if (Empty()) {
    format_ = value;
    palette_ = std::move(palette);
    Changed();
    return;
  }
  uint8_t *bits = nullptr;
  BitmapGuard guard{CreateDib(width_, height_, value, palette, bits)};
  PixelCodec from(format_, palette_), to(value, palette);
  const uint8_t *old = PixelData();
  int oldStride = Stride(width_, from.Bpp()), stride = Stride(width_, to.Bpp());
  for (int y = 0; y < height_; ++y) {
    const uint8_t *src = old + size_t(y) * oldStride;
    uint8_t *dst = bits + size_t(y) * stride;
    for (int x = 0; x < width_; ++x)
      PutRaw(dst, x, to.Bpp(), to.FromColor(from.ToColor(GetRaw(src, x, from.Bpp()))));
  }
  ReplaceImage(guard.Release(), bits, width_, height_, value, std::move(palette));
  Changed();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_)
    return;
  if (!bitmap) {
    ReplaceImage(nullptr, nullptr, 0, 0, format_, palette_);
    Changed();
    return;
  }
  DIBSECTION ds{};
  int got = GetObjectA(bitmap, sizeof(ds), &ds);
  if (got < int(sizeof(BITMAP)) || ds.dsBm.bmWidth <= 0 || ds.dsBm.bmHeight <= 0)
    throw EInvalidGraphic(texts::InvalidBitmap);
  int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;

  // A bottom-up DIB section of a format of ours is kept as it is.
  TPixelFormat format = pfCustom;
  if (got == int(sizeof(DIBSECTION)) && ds.dsBmih.biHeight > 0)
    format = ExactFormat(ds.dsBmih.biBitCount, ds.dsBmih.biCompression, ds.dsBitfields[0],
                         ds.dsBitfields[1], ds.dsBitfields[2]);
  if (format != pfCustom) {
    std::vector<RGBQUAD> palette;
    if (BitsPerPixel(format) <= 8) {
      palette.assign(size_t(1) << BitsPerPixel(format), RGBQUAD{0, 0, 0, 0});
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, bitmap);
      UINT count = old ? GetDIBColorTable(dc, 0, UINT(palette.size()), palette.data()) : 0;
      if (old)
        SelectObject(dc, old);
      DeleteDC(dc);
      if (count == 0)
        palette = StandardPalette(format);
    }
    ReplaceImage(bitmap, static_cast<uint8_t *>(ds.dsBm.bmBits), width, height, format,
                 std::move(palette));
    Changed();
    return;
  }

  // Anything else is copied into a DIB section through the system's conversion.
  format = ds.dsBm.bmBitsPixel == 1 ? pf1bit : pf32bit;
  std::vector<RGBQUAD> palette = StandardPalette(format);
  uint8_t *bits = nullptr;
  BitmapGuard guard{CreateDib(width, height, format, palette, bits)};
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } bi{};
  bi.header = DibHeader(width, height, BitsPerPixel(format));
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap, 0, UINT(height), bits, reinterpret_cast<BITMAPINFO *>(&bi),
                       DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != height)
    throw EInvalidGraphic(texts::InvalidBitmap);
  DeleteObject(bitmap);
  ReplaceImage(guard.Release(), bits, width, height, format, std::move(palette));
  Changed();
}

void TBitmap::Assign(const TBitmap &source) {
  if (&source == this)
    return;
  std::vector<RGBQUAD> palette = source.palette_;
  uint8_t *bits = nullptr;
  BitmapGuard guard{nullptr};
  if (!source.Empty()) {
    guard.handle = CreateDib(source.width_, source.height_, source.format_, palette, bits);
    std::memcpy(bits, source.PixelData(),
                size_t(Stride(source.width_, BitsPerPixel(source.format_))) * source.height_);
  }
  ReplaceImage(guard.Release(), bits, source.width_, source.height_, source.format_,
               std::move(palette));
  transparent_ = source.transparent_;
  transparentMode_ = source.transparentMode_;
  transparentColor_ = source.transparentColor_;
  Changed();
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(*this);
  return copy;
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault)
    return transparentColor_;
  if (Empty())
    return clDefault;
  PixelCodec codec(format_, palette_);
  RGBQUAD c = codec.ToColor(GetRaw(PixelData(), 0, codec.Bpp())); // the bottom row comes first
  return TColor(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
}

void TBitmap::SetTransparentColor(TColor value) {
  TTransparentMode mode = value == clDefault ? tmAuto : tmFixed;
  if (value == transparentColor_ && mode == transparentMode_)
    return;
  transparentColor_ = value;
  transparentMode_ = mode;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == transparentMode_)
    return;
  // Fixing the colour pins the one in use now.
  transparentColor_ = value == tmFixed ? TransparentColor() : clDefault;
  transparentMode_ = value;
  Changed();
}

void TBitmap::Draw(TCanvas &canvas, const RECT &rect) {
  if (Empty())
    return;
  HDC dst = canvas.Handle();
  HDC src = Canvas().Handle();
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int oldStretchMode = SetStretchBltMode(dst, COLORONCOLOR);
  // A one-bit picture takes its colours from the destination's text and background colours on
  // some systems and from its colour table on others; giving both the same colours serves all.
  bool mono = format_ == pf1bit && palette_.size() >= 2;
  COLORREF oldText = 0, oldBk = 0;
  if (mono) {
    oldText = SetTextColor(dst, RGB(palette_[0].rgbRed, palette_[0].rgbGreen, palette_[0].rgbBlue));
    oldBk = SetBkColor(dst, RGB(palette_[1].rgbRed, palette_[1].rgbGreen, palette_[1].rgbBlue));
  }
  if (transparent_)
    GdiTransparentBlt(dst, rect.left, rect.top, width, height, src, 0, 0, width_, height_,
                      ColorToRGB(TransparentColor()));
  else
    StretchBlt(dst, rect.left, rect.top, width, height, src, 0, 0, width_, height_,
               canvas.CopyMode());
  if (mono) {
    SetTextColor(dst, oldText);
    SetBkColor(dst, oldBk);
  }
  SetStretchBltMode(dst, oldStretchMode);
}

// --- reading and writing .bmp -----------------------------------------------------------

void TBitmap::ReadDib(const uint8_t *data, size_t size, size_t bitsOffset) {
  if (size < 12)
    Invalid();
  uint32_t headerSize = U32(data);
  int64_t width, height;
  int planes, bpp;
  uint32_t compression = BI_RGB, sizeImage = 0, colorsUsed = 0;
  size_t entrySize;
  uint32_t masks[3] = {};
  if (headerSize == 12) { // the old OS/2 header, three-byte colour entries
    width = U16(data + 4);
    height = U16(data + 6);
    planes = U16(data + 8);
    bpp = U16(data + 10);
    entrySize = 3;
  } else if (headerSize >= 40 && headerSize <= 124 && headerSize <= size) {
    width = int32_t(U32(data + 4));
    height = int32_t(U32(data + 8));
    planes = U16(data + 12);
    bpp = U16(data + 14);
    compression = U32(data + 16);
    sizeImage = U32(data + 20);
    colorsUsed = U32(data + 32);
    entrySize = 4;
  } else {
    Invalid();
  }
  bool topDown = height < 0;
  if (topDown)
    height = -height;
  if (planes != 1 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      width * height > kMaxPixels)
    Invalid();
  bool valid = false;
  switch (compression) {
  case BI_RGB:
    valid = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    break;
  case BI_RLE8:
    valid = bpp == 8 && !topDown;
    break;
  case BI_RLE4:
    valid = bpp == 4 && !topDown;
    break;
  case BI_BITFIELDS:
    valid = bpp == 16 || bpp == 32;
    break;
  }
  if (!valid)
    Invalid();

  // Bit masks sit at the same place whether they close a short header or belong to a long one.
  size_t tableAt = headerSize;
  if (compression == BI_BITFIELDS) {
    if (size < 52)
      Invalid();
    for (int i = 0; i < 3; ++i)
      masks[i] = U32(data + 40 + 4 * i);
    if (headerSize == 40)
      tableAt += 12;
  }
  size_t colors = bpp <= 8 ? (colorsUsed ? colorsUsed : size_t(1) << bpp) : colorsUsed;
  if ((bpp <= 8 && colors > (size_t(1) << bpp)) || colors > 65536)
    Invalid();
  size_t tableEnd = tableAt + colors * entrySize;
  if (tableEnd > size)
    Invalid();
  std::vector<RGBQUAD> palette;
  if (bpp <= 8) {
    palette.assign(size_t(1) << bpp, RGBQUAD{0, 0, 0, 0});
    for (size_t i = 0; i < colors; ++i) {
      const uint8_t *entry = data + tableAt + i * entrySize;
      palette[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
    }
  }
  size_t offset = bitsOffset >= tableEnd && bitsOffset <= size ? bitsOffset : tableEnd;
  const uint8_t *src = data + offset;
  size_t available = size - offset;

  // Bit fields of no format of ours are decoded to 32 bits.
  TPixelFormat format = ExactFormat(bpp, compression, masks[0], masks[1], masks[2]);
  bool generic = format == pfCustom;
  if (generic)
    format = pf32bit;

  int w = int(width), h = int(height);
  uint8_t *bits = nullptr;
  BitmapGuard guard{CreateDib(w, h, format, palette, bits)};
  int stride = Stride(w, bpp), dstStride = Stride(w, BitsPerPixel(format));
  if (compression == BI_RLE8 || compression == BI_RLE4) {
    size_t packed = sizeImage && sizeImage <= available ? sizeImage : available;
    DecodeRle(src, packed, bpp, w, h, bits, dstStride);
  } else {
    if (available < uint64_t(stride) * uint64_t(h))
      Invalid();
    Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int y = 0; y < h; ++y) { // y counts bottom-up, as the bitmap stores its rows
      const uint8_t *from = src + size_t(topDown ? h - 1 - y : y) * stride;
      uint8_t *to = bits + size_t(y) * dstStride;
      if (!generic) {
        std::memcpy(to, from, size_t(stride));
        continue;
      }
      for (int x = 0; x < w; ++x) {
        uint32_t raw = GetRaw(from, x, bpp);
        PutRaw(to, x, 32, uint32_t(blue.Get(raw) | green.Get(raw) << 8 | red.Get(raw) << 16));
      }
    }
  }
  ReplaceImage(guard.Release(), bits, w, h, format, std::move(palette));
}

void TBitmap::LoadFromFile(const std::string &fileName) {
  std::vector<unsigned char> bytes = graphics_files::Read(fileName);
  LoadFromMemory(bytes.data(), bytes.size());
}

void TBitmap::LoadFromMemory(const void *data, size_t size) {
  const uint8_t *p = static_cast<const uint8_t *>(data);
  if (size < 14 + 12 || p[0] != 'B' || p[1] != 'M')
    Invalid();
  // The pixels' offset is trusted only where it can be right.
  uint32_t offBits = U32(p + 10);
  ReadDib(p + 14, size - 14, offBits > 14 ? offBits - 14 : 0);
  Changed();
}

void TBitmap::ReadResource(HINSTANCE instance, const char *name, const std::string &shownName) {
  HRSRC found = FindResourceA(instance, name, RT_BITMAP);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void *data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    throw EResNotFound(FormatText(texts::ResourceNotFound, {shownName}));
  // A bitmap resource is a .bmp file without its file header.
  ReadDib(static_cast<const uint8_t *>(data), SizeofResource(instance, found), 0);
  Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string &name) {
  ReadResource(instance, name.c_str(), name);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  ReadResource(instance, MAKEINTRESOURCEA(id), IntToStr(id));
}

std::vector<uint8_t> TBitmap::SaveToMemory() const {
  std::vector<uint8_t> out;
  if (Empty())
    return out;
  int bpp = BitsPerPixel(format_);
  size_t image = size_t(Stride(width_, bpp)) * height_;
  std::vector<uint8_t> table;
  if (format_ == pf16bit) {
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    table.assign(reinterpret_cast<const uint8_t *>(masks),
                 reinterpret_cast<const uint8_t *>(masks) + sizeof(masks));
  } else if (bpp <= 8) {
    for (RGBQUAD c : palette_)
      table.insert(table.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed, 0});
  }
  static_assert(sizeof(BITMAPFILEHEADER) == 14);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42; // "BM"
  file.bfOffBits = DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + table.size());
  file.bfSize = DWORD(file.bfOffBits + image);
  BITMAPINFOHEADER info = DibHeader(width_, height_, bpp);
  if (format_ == pf16bit)
    info.biCompression = BI_BITFIELDS;
  info.biSizeImage = DWORD(image);
  info.biClrUsed = bpp <= 8 ? DWORD(palette_.size()) : 0;
  out.reserve(file.bfSize);
  auto append = [&](const void *p, size_t n) {
    out.insert(out.end(), static_cast<const uint8_t *>(p), static_cast<const uint8_t *>(p) + n);
  };
  append(&file, sizeof(file));
  append(&info, sizeof(info));
  append(table.data(), table.size());
  append(PixelData(), image);
  return out;
}

void TBitmap::SaveToFile(const std::string &fileName) {
  std::vector<uint8_t> bytes = SaveToMemory();
  graphics_files::Write(fileName, bytes.data(), bytes.size());
}

} // namespace tk
