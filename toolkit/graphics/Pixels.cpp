#include "toolkit/graphics/Pixels.h"

namespace tk::pixels {

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

size_t RowBytes(int64_t width, int bitsPerPixel) {
  return size_t((width * bitsPerPixel + 31) / 32 * 4);
}

bool WithinLimits(int64_t width, int64_t height, int bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > kMaxPixels || height > kMaxPixels)
    return false;
  return width * height <= kMaxPixels &&
         int64_t(RowBytes(width, bitsPerPixel)) * height <= kMaxBytes;
}

TPixelFormat ExactFormat(int bitsPerPixel, bool bitFields, uint32_t red, uint32_t green,
                         uint32_t blue) {
  auto masksAre = [&](uint32_t r, uint32_t g, uint32_t b) {
    return red == r && green == g && blue == b;
  };
  switch (bitsPerPixel) {
  case 1:
    return pf1bit;
  case 4:
    return pf4bit;
  case 8:
    return pf8bit;
  case 16:
    if (!bitFields || masksAre(0x7C00, 0x03E0, 0x001F))
      return pf15bit;
    if (masksAre(0xF800, 0x07E0, 0x001F))
      return pf16bit;
    return pfCustom;
  case 24:
    return pf24bit;
  case 32:
    if (!bitFields || masksAre(0xFF0000, 0xFF00, 0xFF))
      return pf32bit;
    return pfCustom;
  default:
    return pfCustom;
  }
}

uint8_t *TPixelBuffer::Allocate(const TPixelLayout &value) {
  layout = value;
  bits.assign(layout.Bytes(), 0);
  return bits.data();
}

uint32_t GetRaw(const uint8_t *row, int x, int bitsPerPixel) {
  switch (bitsPerPixel) {
  case 1:
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
  case 4:
    return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
  case 8:
    return row[x];
  case 16:
    return uint32_t(row[x * 2] | row[x * 2 + 1] << 8);
  case 24:
    return uint32_t(row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16);
  default:
    return uint32_t(row[x * 4] | row[x * 4 + 1] << 8 | row[x * 4 + 2] << 16) |
           uint32_t(row[x * 4 + 3]) << 24;
  }
}

void PutRaw(uint8_t *row, int x, int bitsPerPixel, uint32_t value) {
  switch (bitsPerPixel) {
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
    for (int i = 0; i < bitsPerPixel / 8; ++i)
      row[size_t(x) * (bitsPerPixel / 8) + i] = uint8_t(value >> (8 * i));
  }
}

} // namespace tk::pixels
