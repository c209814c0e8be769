// A .bmp file is a 14-byte file header ("BM", the file's size, the pixels' offset) and a DIB: an
// info header, a colour table (a palette, or the three bit masks of BI_BITFIELDS) and the rows.
// Every field is read by its offset, little-endian, and checked against what the file holds
// before it decides anything.
#include "toolkit/graphics/BmpFile.h"

#include <cstring>

namespace tk::bmp_file {

using namespace pixels;

namespace {

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12; // OS/2's: 16-bit sizes, three-byte colour entries
constexpr size_t kInfoHeaderSize = 40; // Windows' first; its later versions only add fields
constexpr size_t kLargestHeaderSize = 124;

[[noreturn]] void Invalid() { throw EInvalidGraphic(texts::InvalidBitmap); }

uint16_t U16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t *p) {
  return uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24;
}

void Put16(std::vector<uint8_t> &out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}
void Put32(std::vector<uint8_t> &out, uint32_t value) {
  Put16(out, value);
  Put16(out, value >> 16);
}

// What the info header says, in whichever of its forms.
struct InfoHeader {
  uint32_t size = 0;
  int64_t width = 0, height = 0;
  int planes = 0, bpp = 0;
  uint32_t compression = kRgb, sizeImage = 0, colorsUsed = 0;
  size_t entrySize = 4;
  bool topDown = false;
  uint32_t masks[3] = {}; // red, green, blue, for BI_BITFIELDS
};

InfoHeader ReadInfoHeader(const uint8_t *data, size_t size) {
  InfoHeader h;
  if (size < kCoreHeaderSize)
    Invalid();
  h.size = U32(data);
  if (h.size == kCoreHeaderSize) {
    h.width = U16(data + 4);
    h.height = U16(data + 6);
    h.planes = U16(data + 8);
    h.bpp = U16(data + 10);
    h.entrySize = 3;
  } else if (h.size >= kInfoHeaderSize && h.size <= kLargestHeaderSize && h.size <= size) {
    h.width = int32_t(U32(data + 4));
    h.height = int32_t(U32(data + 8)); // negative: the top row comes first
    h.planes = U16(data + 12);
    h.bpp = U16(data + 14);
    h.compression = U32(data + 16);
    h.sizeImage = U32(data + 20);
    h.colorsUsed = U32(data + 32);
  } else {
    Invalid();
  }
  h.topDown = h.height < 0;
  if (h.topDown)
    h.height = -h.height;
  if (h.planes != 1 || h.width <= 0 || h.height <= 0)
    Invalid();

  bool valid = false;
  switch (h.compression) {
  case kRgb:
    valid = h.bpp == 1 || h.bpp == 4 || h.bpp == 8 || h.bpp == 16 || h.bpp == 24 || h.bpp == 32;
    break;
  case kRle8:
    valid = h.bpp == 8 && !h.topDown;
    break;
  case kRle4:
    valid = h.bpp == 4 && !h.topDown;
    break;
  case kBitFields:
    valid = h.bpp == 16 || h.bpp == 32;
    break;
  }
  if (!valid)
    Invalid();
  // The masks sit at the same place whether they close a short header or belong to a long one.
  if (h.compression == kBitFields) {
    if (size < kInfoHeaderSize + 12)
      Invalid();
    for (int i = 0; i < 3; ++i)
      h.masks[i] = U32(data + kInfoHeaderSize + 4 * i);
  }
  return h;
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
  uint8_t Get(uint32_t raw) const {
    if (!bits)
      return 0;
    uint32_t v = (raw & mask) >> shift;
    if (bits >= 8)
      return uint8_t(v >> (bits - 8));
    return uint8_t(v * 255 / ((1u << bits) - 1));
  }
};

// Run-length rows, bottom row first, into rows of the same depth. Pairs of bytes: a count and a
// value repeat the value (two alternating pixels at 4 bits); a zero count escapes: 0 ends the
// row, 1 the picture, 2 moves right and up by the next two bytes, and 3 or more copies that many
// pixels as they stand, padded to whole words. Runs past the right edge are clipped; pixels never
// written stay 0; data that stops before the picture's end mark is a damaged file.
void DecodeRle(const uint8_t *src, size_t size, int bpp, int width, int height, uint8_t *dst,
               size_t stride) {
  int64_t x = 0, y = 0;
  size_t i = 0;
  auto put = [&](uint32_t value) {
    if (x < width && y < height)
      PutRaw(dst + size_t(y) * stride, int(x), bpp, value);
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
      i += (bytes + 1) & ~size_t(1);
    }
  }
}

} // namespace

TPixelLayout ReadDib(const void *dib, size_t size, size_t bitsOffset, TPixelStore &store) {
  const uint8_t *data = static_cast<const uint8_t *>(dib);
  InfoHeader h = ReadInfoHeader(data, size);

  // Bit fields of no format of ours are decoded to 32 bits.
  TPixelLayout layout;
  layout.format =
      ExactFormat(h.bpp, h.compression == kBitFields, h.masks[0], h.masks[1], h.masks[2]);
  bool generic = layout.format == pfCustom;
  if (generic)
    layout.format = pf32bit;
  if (!WithinLimits(h.width, h.height, BitsPerPixel(layout.format)))
    Invalid();
  layout.width = int(h.width);
  layout.height = int(h.height);

  // The colour table: after the header, and after the masks that close a short header.
  size_t tableAt = h.size;
  if (h.compression == kBitFields && h.size == kInfoHeaderSize)
    tableAt += 12;
  size_t colors = h.bpp <= 8 && h.colorsUsed == 0 ? size_t(1) << h.bpp : h.colorsUsed;
  if ((h.bpp <= 8 && colors > (size_t(1) << h.bpp)) || colors > 65536)
    Invalid();
  size_t tableEnd = tableAt + colors * h.entrySize;
  if (tableEnd > size)
    Invalid();
  if (h.bpp <= 8) {
    layout.palette.assign(size_t(1) << h.bpp, TPaletteEntry{});
    for (size_t i = 0; i < colors; ++i) {
      const uint8_t *entry = data + tableAt + i * h.entrySize;
      layout.palette[i] = TPaletteEntry{entry[0], entry[1], entry[2], 0};
    }
  }

  // The pixels' offset is trusted only where it can be right.
  size_t offset = bitsOffset >= tableEnd && bitsOffset <= size ? bitsOffset : tableEnd;
  const uint8_t *src = data + offset;
  size_t available = size - offset;
  size_t srcStride = RowBytes(layout.width, h.bpp);
  bool rle = h.compression == kRle8 || h.compression == kRle4;
  if (!rle && available / srcStride < size_t(layout.height))
    Invalid();

  uint8_t *bits = store.Allocate(layout);
  size_t stride = layout.Stride();
  if (rle) {
    std::memset(bits, 0, layout.Bytes());
    size_t packed = h.sizeImage && h.sizeImage <= available ? h.sizeImage : available;
    DecodeRle(src, packed, h.bpp, layout.width, layout.height, bits, stride);
    return layout;
  }
  Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
  for (int y = 0; y < layout.height; ++y) { // y counts bottom-up, as the buffer stores its rows
    const uint8_t *from = src + size_t(h.topDown ? layout.height - 1 - y : y) * srcStride;
    uint8_t *to = bits + size_t(y) * stride;
    if (!generic) {
      std::memcpy(to, from, stride);
      continue;
    }
    for (int x = 0; x < layout.width; ++x) {
      uint32_t raw = GetRaw(from, x, h.bpp);
      PutRaw(to, x, 32, uint32_t(blue.Get(raw) | green.Get(raw) << 8 | red.Get(raw) << 16));
    }
  }
  return layout;
}

TPixelLayout Read(const void *data, size_t size, TPixelStore &store) {
  const uint8_t *p = static_cast<const uint8_t *>(data);
  if (size < kFileHeaderSize + kCoreHeaderSize || p[0] != 'B' || p[1] != 'M')
    Invalid();
  // The file's size field (bytes 2 to 5) is often wrong and says nothing the reader needs.
  uint32_t offBits = U32(p + 10);
  return ReadDib(p + kFileHeaderSize, size - kFileHeaderSize,
                 offBits > kFileHeaderSize ? offBits - kFileHeaderSize : 0, store);
}

std::vector<uint8_t> Write(const TPixelLayout &layout, const uint8_t *bits) {
  std::vector<uint8_t> out;
  if (layout.width <= 0 || layout.height <= 0)
    return out;
  int bpp = BitsPerPixel(layout.format);
  size_t image = layout.Bytes();
  std::vector<uint8_t> table;
  uint32_t compression = kRgb, colorsUsed = 0;
  if (layout.format == pf16bit) {
    compression = kBitFields;
    for (uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
      Put32(table, mask);
  } else if (bpp <= 8) {
    for (const TPaletteEntry &c : layout.palette)
      table.insert(table.end(), {c.blue, c.green, c.red, 0});
    colorsUsed = uint32_t(layout.palette.size());
  }
  uint32_t offBits = uint32_t(kFileHeaderSize + kInfoHeaderSize + table.size());
  out.reserve(offBits + image);
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(offBits + image));
  Put32(out, 0); // reserved
  Put32(out, offBits);
  Put32(out, kInfoHeaderSize);
  Put32(out, uint32_t(layout.width));
  Put32(out, uint32_t(layout.height)); // positive: bottom-up
  Put16(out, 1);                       // planes
  Put16(out, uint32_t(bpp));
  Put32(out, compression);
  Put32(out, uint32_t(image));
  Put32(out, 0); // pixels per metre, across and down: not known
  Put32(out, 0);
  Put32(out, colorsUsed);
  Put32(out, 0); // important colours: all
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), bits, bits + image);
  return out;
}

} // namespace tk::bmp_file
