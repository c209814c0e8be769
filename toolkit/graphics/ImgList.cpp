#include "toolkit/graphics/ImgList.h"

namespace tk {

TImageList::TImageList(TComponent *owner) : TComponent(owner) {}

TImageList::~TImageList() {
  if (handle_)
    ImageList_Destroy(handle_);
}

void TImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_)
    return;
  width_ = width;
  height_ = height;
  if (handle_) {
    ImageList_Destroy(handle_);
    handle_ = nullptr;
  }
}

HIMAGELIST TImageList::Handle() {
  if (!handle_)
    handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4);
  return handle_;
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TImageList::AddIcon(const TIcon *icon) {
  HIMAGELIST list = Handle();
  if (icon && !icon->Empty()) {
    int index = ImageList_AddIcon(list, icon->Handle());
    if (index >= 0)
      return index;
  }
  // A blank, fully transparent image keeps the positions aligned.
  int count = ImageList_GetImageCount(list);
  if (!ImageList_SetImageCount(list, UINT(count + 1)))
    return -1;
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, width_, height_);
  HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, mask);
  PatBlt(dc, 0, 0, width_, height_, WHITENESS);
  SelectObject(dc, image);
  PatBlt(dc, 0, 0, width_, height_, BLACKNESS);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ImageList_Replace(list, count, image, mask);
  DeleteObject(image);
  DeleteObject(mask);
  return count;
}

bool TImageList::GetIcon(int index, TIcon &icon) const {
  if (!handle_ || index < 0 || index >= Count())
    return false;
  icon.SetHandle(ImageList_GetIcon(handle_, index, ILD_NORMAL));
  return !icon.Empty();
}

void TImageList::Delete(int index) {
  if (handle_)
    ImageList_Remove(handle_, index);
}

void TImageList::Clear() {
  if (handle_)
    ImageList_RemoveAll(handle_);
}

} // namespace tk
