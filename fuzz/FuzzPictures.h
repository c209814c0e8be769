// Shared by the picture fuzz targets: room for a decoded picture, filled beforehand with a byte
// of the caller's choosing, so that two decodings into room filled differently give the same
// bytes only if the decoder wrote every one of them.
#pragma once

#include "toolkit/graphics/Pixels.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzz {

// Pictures up to this many bytes are decoded a second time and written and read back; larger
// ones (a few bytes can claim a picture of 192 MB) only once, so that runs stay fast.
constexpr std::size_t kCheckedBytes = 4u << 20;

[[noreturn]] inline void Fail(const char *what) {
  std::fprintf(stderr, "fuzz: mismatch: %s\n", what);
  std::abort();
}

class PatternStore : public tk::pixels::TPixelStore {
public:
  explicit PatternStore(std::uint8_t fill) : fill_(fill) {}
  std::uint8_t *Allocate(const tk::pixels::TPixelLayout &value) override {
    if (++calls > 1)
      Fail("the decoder asked for room twice");
    if (!tk::pixels::WithinLimits(value.width, value.height,
                                  tk::pixels::BitsPerPixel(value.format)))
      Fail("the decoder asked for room beyond the limits");
    layout = value;
    bits.assign(layout.Bytes(), fill_);
    return bits.data();
  }
  tk::pixels::TPixelLayout layout;
  std::vector<std::uint8_t> bits;
  int calls = 0;

private:
  std::uint8_t fill_;
};

// What a decoder returned must be what it asked room for.
inline void CheckLayout(const tk::pixels::TPixelLayout &returned, const PatternStore &store) {
  if (store.calls != 1)
    Fail("a picture without room");
  const tk::pixels::TPixelLayout &asked = store.layout;
  if (returned.width != asked.width || returned.height != asked.height ||
      returned.format != asked.format || returned.palette != asked.palette)
    Fail("the layout returned differs from the one the room was asked for");
  const int bpp = tk::pixels::BitsPerPixel(asked.format);
  if (bpp == 0)
    Fail("a picture of no format");
  if ((bpp <= 8) != !asked.palette.empty() ||
      (bpp <= 8 && asked.palette.size() != (std::size_t{1} << bpp)))
    Fail("a palette that does not fit the format");
}

} // namespace fuzz
