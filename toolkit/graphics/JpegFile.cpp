#include "toolkit/graphics/JpegFile.h"

#include <cstring>
#include <string>

#include "toolkit/graphics/JpegShim.h"

namespace tk::jpeg_file {

using namespace pixels;

void RaiseError(int code, const char *message) {
  std::string text = code > 0 ? FormatText(texts::JpegError, {IntToStr(code)}) : "JPEG error";
  if (*message)
    text += std::string(": ") + message;
  throw EInvalidGraphic(text);
}

TPixelLayout Read(const void *data, size_t size, TPixelStore &store, bool &grayscale) {
  const auto *bytes = static_cast<const unsigned char *>(data);
  char message[200];
  TkJpegInfo info{};
  if (int code = tkjpeg_read_info(bytes, size, &info, message, sizeof(message)))
    RaiseError(code, message);
  TPixelLayout layout;
  layout.format = pf24bit;
  if (!WithinLimits(info.width, info.height, BitsPerPixel(layout.format)))
    RaiseError(-1, FormatText("The picture is too large (%s x %s pixels)",
                              {IntToStr(info.width), IntToStr(info.height)})
                       .c_str());
  layout.width = int(info.width);
  layout.height = int(info.height);

  uint8_t *bits = store.Allocate(layout);
  ptrdiff_t stride = ptrdiff_t(layout.Stride());
  uint8_t *top = bits + (layout.height - 1) * stride;
  const TkJpegLimits limits{kMaxScans, kMaxMemory};
  if (int code = tkjpeg_decode_bgr(bytes, size, info.width, info.height, &limits, top, -stride,
                                   message, sizeof(message)))
    RaiseError(code, message);
  size_t row = size_t(layout.width) * 3;
  for (int y = 0; row < size_t(stride) && y < layout.height; ++y)
    std::memset(bits + y * stride + row, 0, size_t(stride) - row);
  grayscale = info.components == 1;
  return layout;
}

} // namespace tk::jpeg_file
