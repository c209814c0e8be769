// Pictures as plain pixel buffers: the pixel formats, the limits on what is decoded from a file,
// and the room decoders write into. Portable (no Win32), so that the readers built on it run in
// the native and fuzz builds too; the picture classes make their GDI objects from these buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/core/SysUtils.h"

namespace tk {

TK_EXCEPTION(EInvalidGraphic, Exception);

namespace texts {
inline constexpr const char *InvalidBitmap = "Bitmap image is not valid";
inline constexpr const char *JpegError = "JPEG error #%d";
} // namespace texts

enum TPixelFormat {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom
};

namespace pixels {

// The largest picture read from a file. An 8K x 8K wallpaper of 24 bits fits (as a JPEG or a
// .bmp); what lies beyond is refused before anything is allocated, so a small file that claims
// a huge picture cannot make a 32-bit process ask for more than these 192 MB of pixels.
inline constexpr int64_t kMaxPixels = int64_t(8192) * 8192;
inline constexpr int64_t kMaxBytes = kMaxPixels * 3;
// No picture file within the limits is larger than the pixels and a megabyte for its headers and
// tables; a larger one is refused unread.
inline constexpr int64_t kMaxFileBytes = kMaxBytes + (1 << 20);

// 0 for pfDevice and pfCustom.
int BitsPerPixel(TPixelFormat format);
// Rows are whole 32-bit words.
size_t RowBytes(int64_t width, int bitsPerPixel);
// Whether a picture of this size and depth is within the limits above.
bool WithinLimits(int64_t width, int64_t height, int bitsPerPixel);

// One colour of a palette, in the order of the system's RGBQUAD.
struct TPaletteEntry {
  uint8_t blue = 0, green = 0, red = 0, reserved = 0;
  bool operator==(const TPaletteEntry &) const = default;
};

// A picture without its pixels. Rows are stored bottom row first, each RowBytes long; the
// palette formats come with 2^bits colours.
struct TPixelLayout {
  int width = 0, height = 0;
  TPixelFormat format = pf24bit;
  std::vector<TPaletteEntry> palette;

  size_t Stride() const { return RowBytes(width, BitsPerPixel(format)); }
  size_t Bytes() const { return Stride() * size_t(height); }
};

// Where a decoder puts a picture: it asks once, when it knows the layout and the layout is
// within the limits, and writes every byte of the Bytes() it gets.
class TPixelStore {
public:
  virtual ~TPixelStore() = default;
  virtual uint8_t *Allocate(const TPixelLayout &layout) = 0;
};

// A picture held in memory.
class TPixelBuffer : public TPixelStore {
public:
  uint8_t *Allocate(const TPixelLayout &layout) override;
  TPixelLayout layout;
  std::vector<uint8_t> bits;
};

// The format of ours that stores pixels of this depth and these colour masks as they are;
// pfCustom when none does. Without bit fields, the system's default masks apply.
TPixelFormat ExactFormat(int bitsPerPixel, bool bitFields, uint32_t red, uint32_t green,
                         uint32_t blue);

// Raw pixel values of a row of a given depth (1, 4, 8, 16, 24 or 32 bits).
uint32_t GetRaw(const uint8_t *row, int x, int bitsPerPixel);
void PutRaw(uint8_t *row, int x, int bitsPerPixel, uint32_t value);

} // namespace pixels
} // namespace tk
