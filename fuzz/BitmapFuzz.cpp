// Fuzz target of the .bmp reader. Input: a whole .bmp file when it starts with "BM", else a DIB
// alone, as a bitmap resource holds it. A picture that decodes must have the size its header
// states and lie within the limits; decoded again into room filled differently it must give the
// same bytes; written by our writer and read back, the same layout and bytes once more.
// Anything else aborts the target.
#include "FuzzPictures.h"

#include "toolkit/graphics/BmpFile.h"

#include <cstddef>
#include <cstdint>

namespace {

using tk::pixels::TPixelLayout;

uint32_t Le(const uint8_t *p, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i)
    v = (v << 8) | p[i];
  return v;
}

// The size the info header states: 16-bit fields in the OS/2 core header, signed 32-bit ones
// (negative heights for top-down rows) in the others.
void StatedSize(const uint8_t *dib, int64_t &width, int64_t &height) {
  if (Le(dib, 4) == 12) {
    width = Le(dib + 4, 2);
    height = Le(dib + 6, 2);
  } else {
    width = int32_t(Le(dib + 4, 4));
    height = int32_t(Le(dib + 8, 4));
    if (height < 0)
      height = -height;
  }
}

TPixelLayout Decode(const uint8_t *data, size_t size, bool file, fuzz::PatternStore &store) {
  return file ? tk::bmp_file::Read(data, size, store) : tk::bmp_file::ReadDib(data, size, 0, store);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const bool file = size >= 2 && data[0] == 'B' && data[1] == 'M';
  fuzz::PatternStore first(0x00);
  TPixelLayout layout;
  try {
    layout = Decode(data, size, file, first);
  } catch (const tk::EInvalidGraphic &) {
    if (first.calls > 0 && file && size < 14 + 12)
      fuzz::Fail("room asked for a file too short to hold a header");
    return 0;
  }
  fuzz::CheckLayout(layout, first);
  int64_t width, height;
  StatedSize(file ? data + 14 : data, width, height);
  if (layout.width != width || layout.height != height)
    fuzz::Fail("the picture's size differs from its header's");
  if (first.bits.size() > fuzz::kCheckedBytes)
    return 0;

  fuzz::PatternStore second(0xA5);
  if (Decode(data, size, file, second).format != layout.format || second.bits != first.bits)
    fuzz::Fail("a second decoding gave other pixels");

  std::vector<uint8_t> written = tk::bmp_file::Write(layout, first.bits.data());
  fuzz::PatternStore back(0x5A);
  TPixelLayout reread;
  try {
    reread = tk::bmp_file::Read(written.data(), written.size(), back);
  } catch (const tk::EInvalidGraphic &) {
    fuzz::Fail("our own file was refused");
  }
  fuzz::CheckLayout(reread, back);
  if (reread.width != layout.width || reread.height != layout.height ||
      reread.format != layout.format || reread.palette != layout.palette)
    fuzz::Fail("our own file gave another layout");
  if (back.bits != first.bits)
    fuzz::Fail("our own file gave other pixels");
  return 0;
}
