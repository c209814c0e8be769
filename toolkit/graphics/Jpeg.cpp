#include "toolkit/graphics/Jpeg.h"

#include <algorithm>

#include "toolkit/graphics/GraphicsFiles.h"
#include "toolkit/graphics/JpegFile.h"
#include "toolkit/graphics/JpegShim.h"

namespace tk {

namespace {

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
  std::vector<unsigned char> bytes =
      graphics_files::Read(fileName, "JPEG error: The file is too large");
  LoadFromMemory(bytes.data(), bytes.size());
}

void TJPEGImage::LoadFromMemory(const void *data, size_t size) {
  // Decoded into a picture of its own, which takes the bitmap's place only when all went well.
  bool grayscale = false;
  bitmap_.LoadPixels(
      [&](pixels::TPixelStore &store) { return jpeg_file::Read(data, size, store, grayscale); });
  const auto *bytes = static_cast<const uint8_t *>(data);
  data_.assign(bytes, bytes + size);
  grayscale_ = grayscale;
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
    jpeg_file::RaiseError(code, message);
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
