// TBitmap: DIB sections and their pixel formats; .bmp files go through the portable reader and
// writer (BmpFile), whose pixel buffers become DIB sections here.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "toolkit/graphics/BmpFile.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/GraphicsFiles.h"

namespace tk {

namespace {

using pixels::BitsPerPixel;
using pixels::GetRaw;
using pixels::PutRaw;

// Bitmaps made in code (not read from a file) stop here.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

size_t Stride(int width, int bpp) { return pixels::RowBytes(width, bpp); }

std::vector<RGBQUAD> ToRgbQuads(const std::vector<pixels::TPaletteEntry> &palette) {
  std::vector<RGBQUAD> result;
  result.reserve(palette.size());
  for (const pixels::TPaletteEntry &c : palette)
    result.push_back(RGBQUAD{c.blue, c.green, c.red, c.reserved});
  return result;
}

std::vector<pixels::TPaletteEntry> ToPaletteEntries(const std::vector<RGBQUAD> &palette) {
  std::vector<pixels::TPaletteEntry> result;
  result.reserve(palette.size());
  for (const RGBQUAD &c : palette)
    result.push_back({c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved});
  return result;
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
  if (bits == 15 || bits == 16) // a screen's 16 bits are 5-6-5
    return bits == 15 ? pf15bit : pf16bit;
  TPixelFormat format = pixels::ExactFormat(bits, false, 0, 0, 0);
  return format == pfCustom ? pf24bit : format;
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
  dormant_.assign(bits, bits + Stride(width_, BitsPerPixel(format_)) * height_);
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
  size_t stride = Stride(width, bpp);
  PixelCodec codec(format_, palette);
  uint32_t white = codec.FromColor(RGBQUAD{255, 255, 255, 0});
  for (int x = 0; x < width; ++x)
    PutRaw(bits, x, bpp, white);
  for (int y = 1; y < height; ++y)
    std::memcpy(bits + size_t(y) * stride, bits, size_t(stride));
  if (!Empty()) {
    // The top-left part stays where it was; rows are stored bottom-up.
    const uint8_t *old = PixelData();
    size_t oldStride = Stride(width_, bpp);
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
  size_t oldStride = Stride(width_, from.Bpp()), stride = Stride(width_, to.Bpp());
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
    format = pixels::ExactFormat(ds.dsBmih.biBitCount, ds.dsBmih.biCompression == BI_BITFIELDS,
                                 ds.dsBitfields[0], ds.dsBitfields[1], ds.dsBitfields[2]);
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
                Stride(source.width_, BitsPerPixel(source.format_)) * source.height_);
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

namespace {

// A DIB section of the decoded layout is the decoder's room, so the pixels are never copied.
class DibStore : public pixels::TPixelStore {
public:
  uint8_t *Allocate(const pixels::TPixelLayout &layout) override {
    guard.handle =
        CreateDib(layout.width, layout.height, layout.format, ToRgbQuads(layout.palette), bits);
    return bits;
  }
  BitmapGuard guard{nullptr};
  uint8_t *bits = nullptr;
};

} // namespace

void TBitmap::LoadPixels(const std::function<pixels::TPixelLayout(pixels::TPixelStore &)> &decode) {
  DibStore store;
  pixels::TPixelLayout layout = decode(store);
  ReplaceImage(store.guard.Release(), store.bits, layout.width, layout.height, layout.format,
               ToRgbQuads(layout.palette));
}

void TBitmap::LoadFromFile(const std::string &fileName) {
  std::vector<unsigned char> bytes = graphics_files::Read(fileName, texts::InvalidBitmap);
  LoadFromMemory(bytes.data(), bytes.size());
}

void TBitmap::LoadFromMemory(const void *data, size_t size) {
  LoadPixels([&](pixels::TPixelStore &store) { return bmp_file::Read(data, size, store); });
  Changed();
}

void TBitmap::ReadResource(HINSTANCE instance, const char *name, const std::string &shownName) {
  HRSRC found = FindResourceA(instance, name, RT_BITMAP);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void *data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    throw EResNotFound(FormatText(texts::ResourceNotFound, {shownName}));
  // A bitmap resource is a .bmp file without its file header.
  LoadPixels([&](pixels::TPixelStore &store) {
    return bmp_file::ReadDib(data, SizeofResource(instance, found), 0, store);
  });
  Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string &name) {
  ReadResource(instance, name.c_str(), name);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  ReadResource(instance, MAKEINTRESOURCEA(id), IntToStr(id));
}

std::vector<uint8_t> TBitmap::SaveToMemory() const {
  if (Empty())
    return {};
  pixels::TPixelLayout layout{width_, height_, format_, {}};
  if (BitsPerPixel(format_) <= 8)
    layout.palette = ToPaletteEntries(palette_);
  return bmp_file::Write(layout, PixelData());
}

void TBitmap::SaveToFile(const std::string &fileName) {
  std::vector<uint8_t> bytes = SaveToMemory();
  graphics_files::Write(fileName, bytes.data(), bytes.size());
}

} // namespace tk
