// TPicture: one picture of any kind, chosen by file extension.
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Jpeg.h"

namespace tk {

TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_)
    graphic_->OnChange = [this] { Changed(); };
  Changed();
}

void TPicture::Assign(const TGraphic *graphic) { Take(graphic ? graphic->Clone() : nullptr); }

TBitmap &TPicture::Bitmap() {
  if (auto *bitmap = dynamic_cast<TBitmap *>(graphic_.get()))
    return *bitmap;
  auto bitmap = std::make_unique<TBitmap>();
  if (auto *jpeg = dynamic_cast<TJPEGImage *>(graphic_.get())) {
    bitmap->Assign(jpeg->Bitmap());
  } else if (graphic_ && !graphic_->Empty()) {
    bitmap->SetSize(graphic_->Width(), graphic_->Height()); // white behind transparent parts
    bitmap->Canvas().Draw(0, 0, *graphic_);
  }
  TBitmap &result = *bitmap;
  Take(std::move(bitmap));
  return result;
}

TIcon &TPicture::Icon() {
  if (auto *icon = dynamic_cast<TIcon *>(graphic_.get()))
    return *icon;
  auto icon = std::make_unique<TIcon>();
  TIcon &result = *icon;
  Take(std::move(icon));
  return result;
}

void TPicture::LoadFromFile(const std::string &fileName) {
  std::string ext = LowerCase(ExtractFileExt(fileName));
  std::unique_ptr<TGraphic> graphic;
  if (ext == ".bmp")
    graphic = std::make_unique<TBitmap>();
  else if (ext == ".ico")
    graphic = std::make_unique<TIcon>();
  else if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif")
    graphic = std::make_unique<TJPEGImage>();
  else
    throw EInvalidGraphic(FormatText(texts::UnknownExtension, {ext.empty() ? ext : ext.substr(1)}));
  graphic->LoadFromFile(fileName);
  Take(std::move(graphic));
}

void TPicture::SaveToFile(const std::string &fileName) {
  if (graphic_)
    graphic_->SaveToFile(fileName);
}

} // namespace tk
