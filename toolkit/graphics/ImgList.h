// An image list component over the common controls' image list.
#pragma once

#include <windows.h>

#include <commctrl.h> // after windows.h, which it needs

#include "toolkit/core/Classes.h"
#include "toolkit/graphics/Graphics.h"

namespace tk {

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

class TImageList : public TComponent {
public:
  explicit TImageList(TComponent *owner);
  ~TImageList() override;
  const char *ClassName() const override { return "TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height); // clears the list when the size changes

  HIMAGELIST Handle(); // created on first use
  // How many images the list makes room for at a time; set before the first image is added.
  int AllocBy = 4;
  int Count() const;
  // Adds the icon and returns its index. An empty icon adds a blank image, so positions in
  // the list stay in step with what the caller counted.
  int AddIcon(const TIcon *icon);
  bool GetIcon(int index, TIcon &icon) const;
  // Puts the icon (blank when empty) in place of image index; false when there is no such.
  bool ReplaceIcon(int index, const TIcon *icon);
  // Adds image, or several when it is a multiple of Width wide, with the white pixels of mask
  // transparent (no mask: opaque). Returns the first new index, -1 on failure.
  int Add(TBitmap *image, TBitmap *mask);
  // The pixels of maskColor become transparent; clDefault takes the image's TransparentColor.
  // The image itself is left as it is.
  int AddMasked(TBitmap &image, TColor maskColor);
  // Draws in DrawingStyle; a disabled image is drawn engraved, in the button shadow and
  // highlight colours.
  void Draw(TCanvas &canvas, int x, int y, int index, bool enabled = true);
  // Draws with ILD_... flags.
  void Draw(TCanvas &canvas, int x, int y, int index, UINT style);
  void Draw(TCanvas &canvas, int x, int y, int index, int style) {
    Draw(canvas, x, y, index, UINT(style));
  }
  // The image drawn on the bitmap's brush colour, at the list's size.
  bool GetBitmap(int index, TBitmap &image);
  void Delete(int index);
  void Clear();

  // clNone draws transparently where the images are masked.
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor value);
  // The colour dsFocus and dsSelected blend in: clDefault the highlight colour, clNone what is
  // underneath.
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor value) { blendColor_ = value; }
  // Without masks images are always opaque. A change empties the list.
  bool Masked() const { return masked_; }
  void SetMasked(bool value);
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle value) { drawingStyle_ = value; }

private:
  void PutBlank(int index); // a blank, fully transparent image at index
  void DrawDisabled(TCanvas &canvas, int x, int y, int index);

  int width_ = 16;
  int height_ = 16;
  bool masked_ = true;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  HIMAGELIST handle_ = nullptr;
};

} // namespace tk
