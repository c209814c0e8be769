#include "toolkit/graphics/Jpeg.h"

#include <algorithm>

#include "toolkit/graphics/GraphicsFiles.h"
#include "toolkit/graphics/JpegShim.h"

namespace tk {

namespace {

[[noreturn]] void RaiseJpegError(int code, const char *message) {
  std::string text = code > 0 ? FormatText(texts::JpegError, {IntToStr(code)}) : "JPEG error";
  if (*message)
    text += std::string(": ") + message;
  throw EInvalidGraphic(text);
}

// The first row of a bottom-up pf24bit bitmap and the step to the next one down.
uint8_t *TopRow(TBitmap &bitmap, ptrdiff_t &stride) {
  stride = -ptrdiff_t((bitmap.Width() * 3 + 3) & ~3);
  return static_cast<uint8_t *>(bitmap.ScanLine(0));
}

} // namespace

TJPEGImage::TJPEGImage() {
  bitmap_.OnChange = [this] {
    if (quiet_)
      return;
    data_.clear();
    Changed();
  };
}

void TJPEGImage::Draw(TCanvas &canvas, const RECT &rect) { bitmap_.Draw(canvas, rect); }

void TJPEGImage::LoadFromFile(const std::string &fileName) {
  std::vector<unsigned char> bytes = graphics_files::Read(fileName);
  LoadFromMemory(bytes.data(), bytes.size());
}

void TJPEGImage::LoadFromMemory(const void *data, size_t size) {
  const auto *bytes = static_cast<const unsigned char *>(data);
  char message[200];
  TkJpegInfo info{};
  if (int code = tkjpeg_read_info(bytes, size, &info, message, sizeof(message)))
    RaiseJpegError(code, message);
  if (int64_t(info.width) * info.height > (int64_t(1) << 28))
    throw EOutOfResources(texts::OutOfResources);

  // Decoded aside, so a damaged file leaves the picture as it was.
  TBitmap decoded;
  decoded.SetSize(int(info.width), int(info.height));
  ptrdiff_t stride;
  uint8_t *top = TopRow(decoded, stride);
  if (int code = tkjpeg_decode_bgr(bytes, size, info.width, info.height, top, stride, message,
                                   sizeof(message)))
    RaiseJpegError(code, message);

  quiet_ = true;
  bitmap_.Assign(decoded);
  quiet_ = false;
  data_.assign(bytes, bytes + size);
  grayscale_ = info.components == 1;
  Changed();
}

void TJPEGImage::Encode() {
  TBitmap converted;
  TBitmap *source = &bitmap_;
  if (bitmap_.PixelFormat() != pf24bit) {
    converted.Assign(bitmap_);
    converted.SetPixelFormat(pf24bit);
    source = &converted;
  }
  ptrdiff_t stride;
  const uint8_t *top = TopRow(*source, stride);
  unsigned char *out = nullptr;
  size_t outSize = 0;
  char message[200];
  if (int code = tkjpeg_encode_bgr(top, stride, unsigned(source->Width()),
                                   unsigned(source->Height()), grayscale_, quality_, progressive_,
                                   &out, &outSize, message, sizeof(message)))
    RaiseJpegError(code, message);
  data_.assign(out, out + outSize);
  tkjpeg_free(out);
}

const std::vector<uint8_t> &TJPEGImage::SaveToMemory() {
  if (data_.empty() && !bitmap_.Empty())
    Encode();
  return data_;
}

void TJPEGImage::SaveToFile(const std::string &fileName) {
  const std::vector<uint8_t> &bytes = SaveToMemory();
  graphics_files::Write(fileName, bytes.data(), bytes.size());
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
  auto copy = std::make_unique<TJPEGImage>();
  copy->Assign(*this);
  return copy;
}

void TJPEGImage::Assign(const TBitmap &bitmap) {
  quiet_ = true;
  bitmap_.Assign(bitmap);
  bitmap_.SetPixelFormat(pf24bit);
  bitmap_.SetTransparent(false);
  quiet_ = false;
  data_.clear();
  Changed();
}

void TJPEGImage::Assign(const TJPEGImage &source) {
  if (&source == this)
    return;
  quiet_ = true;
  bitmap_.Assign(source.bitmap_);
  quiet_ = false;
  data_ = source.data_;
  quality_ = source.quality_;
  grayscale_ = source.grayscale_;
  progressive_ = source.progressive_;
  transparent_ = source.transparent_;
  Changed();
}

void TJPEGImage::SetCompressionQuality(int value) {
  value = std::clamp(value, 1, 100);
  if (value == quality_)
    return;
  quality_ = value;
  data_.clear();
}

void TJPEGImage::SetGrayscale(bool value) {
  if (value == grayscale_)
    return;
  grayscale_ = value;
  data_.clear();
}

void TJPEGImage::SetProgressiveEncoding(bool value) {
  if (value == progressive_)
    return;
  progressive_ = value;
  data_.clear();
}

} // namespace tk
