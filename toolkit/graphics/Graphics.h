// Pictures: the icon. (Bitmaps, canvases and JPEG pictures join it as the forms need them.)
#pragma once

#include <windows.h>

namespace tk {

// Owns one icon handle and destroys it when replaced or freed.
class TIcon {
public:
  TIcon() = default;
  explicit TIcon(HICON handle) : handle_(handle) {}
  ~TIcon();
  TIcon(const TIcon &) = delete;
  TIcon &operator=(const TIcon &) = delete;

  HICON Handle() const { return handle_; }
  void SetHandle(HICON handle);
  HICON ReleaseHandle(); // the caller owns the handle from now on
  bool Empty() const { return handle_ == nullptr; }
  int Width() const;
  int Height() const;

private:
  HICON handle_ = nullptr;
};

} // namespace tk
