// Fuzz target of the JPEG reader: our shim over libjpeg, both instrumented. Input: a whole file.
// A picture that decodes must lie within the limits and, decoded again into room filled
// differently, give the same bytes; anything else aborts the target. libjpeg's failures (and
// the limits') end in the picture error. Pictures of more than a million pixels that the reader
// would decode are left out: under the sanitizers each takes seconds, in the same code.
#include "FuzzPictures.h"

#include "toolkit/graphics/JpegFile.h"
#include "toolkit/graphics/JpegShim.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  TkJpegInfo info{};
  char message[200];
  if (tkjpeg_read_info(data, size, &info, message, sizeof(message)) == 0 &&
      int64_t(info.width) * info.height > (int64_t(1) << 20) &&
      tk::pixels::WithinLimits(info.width, info.height, 24))
    return 0;
  fuzz::PatternStore first(0x00);
  bool grey = false;
  tk::pixels::TPixelLayout layout;
  try {
    layout = tk::jpeg_file::Read(data, size, first, grey);
  } catch (const tk::EInvalidGraphic &) {
    return 0;
  }
  fuzz::CheckLayout(layout, first);
  if (layout.format != tk::pf24bit)
    fuzz::Fail("a JPEG picture not of 24 bits");
  if (first.bits.size() > fuzz::kCheckedBytes)
    return 0;
  fuzz::PatternStore second(0xA5);
  bool greyAgain = false;
  tk::jpeg_file::Read(data, size, second, greyAgain);
  if (second.bits != first.bits || greyAgain != grey)
    fuzz::Fail("a second decoding gave another picture");
  return 0;
}
