#include "toolkit/graphics/Graphics.h"

namespace tk {

TIcon::~TIcon() { SetHandle(nullptr); }

void TIcon::SetHandle(HICON handle) {
  if (handle_ && handle_ != handle)
    DestroyIcon(handle_);
  handle_ = handle;
}

HICON TIcon::ReleaseHandle() {
  HICON handle = handle_;
  handle_ = nullptr;
  return handle;
}

static SIZE IconSize(HICON icon) {
  SIZE size{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  ICONINFO info;
  if (icon && GetIconInfo(icon, &info)) {
    BITMAP bm;
    if (GetObjectA(info.hbmMask, sizeof(bm), &bm)) {
      size.cx = bm.bmWidth;
      // Without a colour bitmap the mask holds both halves of a monochrome icon.
      size.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
      DeleteObject(info.hbmColor);
  }
  return size;
}

int TIcon::Width() const { return IconSize(handle_).cx; }
int TIcon::Height() const { return IconSize(handle_).cy; }

} // namespace tk
