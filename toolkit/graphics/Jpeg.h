// JPEG pictures, decoded and encoded by libjpeg.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/graphics/Graphics.h"

namespace tk {

// Keeps the encoded picture as loaded, beside its decoded bitmap (pf24bit); saving writes the
// loaded bytes unchanged until the bitmap changes, and encodes the bitmap afresh after that.
// A file libjpeg cannot read raises EInvalidGraphic with libjpeg's message.
class TJPEGImage : public TGraphic {
public:
  TJPEGImage();
  const char *ClassName() const override { return "TJPEGImage"; }

  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  bool Empty() const override { return bitmap_.Empty(); }
  void Draw(TCanvas &canvas, const RECT &rect) override;

  void LoadFromFile(const std::string &fileName) override;
  void LoadFromMemory(const void *data, size_t size);
  // An empty picture writes an empty file.
  void SaveToFile(const std::string &fileName) override;
  const std::vector<uint8_t> &SaveToMemory();
  std::unique_ptr<TGraphic> Clone() const override;

  // Drawing on it (or anything else that fires its OnChange) makes it the picture to encode.
  TBitmap &Bitmap() { return bitmap_; }
  // Takes a copy of the bitmap as the picture to encode.
  void Assign(const TBitmap &bitmap);
  void Assign(const TJPEGImage &source);

  // 1 to 100. A change applies to the next save.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int value);
  // Saves one grey channel. Loading sets it from the file.
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool value);
  bool ProgressiveEncoding() const { return progressive_; }
  void SetProgressiveEncoding(bool value);

private:
  void Encode();

  TBitmap bitmap_;
  std::vector<uint8_t> data_; // empty once the bitmap has changed since loading or saving
  int quality_ = 90;
  bool grayscale_ = false;
  bool progressive_ = false;
  bool quiet_ = false; // while the bitmap changes on our own account
};

} // namespace tk
