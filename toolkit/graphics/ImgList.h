// An image list component over the common controls' image list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "toolkit/core/Classes.h"
#include "toolkit/graphics/Graphics.h"

namespace tk {

class TImageList : public TComponent {
public:
  explicit TImageList(TComponent *owner);
  ~TImageList() override;
  const char *ClassName() const override { return "TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height); // clears the list when the size changes

  HIMAGELIST Handle(); // created on first use
  int Count() const;
  // Adds the icon and returns its index. An empty icon adds a blank image, so positions in
  // the list stay in step with what the caller counted.
  int AddIcon(const TIcon *icon);
  bool GetIcon(int index, TIcon &icon) const;
  void Delete(int index);
  void Clear();

private:
  int width_ = 16;
  int height_ = 16;
  HIMAGELIST handle_ = nullptr;
};

} // namespace tk
