// Colours, fonts, pens and brushes, the canvas that draws with them, and the pictures: bitmaps,
// icons and the picture holder. (JPEG pictures live in Jpeg.h.)
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/SysUtils.h"
#include "toolkit/graphics/Pixels.h"

// The canvas has methods of these names; the system's headers would rename them to the ANSI
// functions behind our back. Calls to the functions themselves use their ...A names.
#undef TextOut
#undef DrawText

namespace tk {

TK_EXCEPTION(EInvalidGraphicOperation, Exception);
TK_EXCEPTION(EResNotFound, Exception);

namespace texts {
inline constexpr const char *InvalidIcon = "Icon image is not valid";
inline constexpr const char *UnknownExtension = "Unknown picture file extension (.%s)";
inline constexpr const char *ScanLineOutOfRange = "Scan line index out of range";
inline constexpr const char *InvalidPixelFormat = "Invalid pixel format";
inline constexpr const char *NoCanvasHandle = "Canvas does not allow drawing";
inline constexpr const char *ResourceNotFound = "Resource %s not found";
inline constexpr const char *OutOfResources = "Out of system resources";
} // namespace texts

// --- colours ------------------------------------------------------------------------------

// 0x00BBGGRR, or a system colour: the high bit set and the COLOR_... index in the low byte.
using TColor = int32_t;

inline constexpr TColor clSystemColor = TColor(0x80000000u);
inline constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
inline constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
inline constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
inline constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
inline constexpr TColor clMenu = clSystemColor | COLOR_MENU;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
inline constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
inline constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
inline constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
inline constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
inline constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
inline constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
inline constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
inline constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
inline constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
inline constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
inline constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
inline constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clLtGray = clSilver;
inline constexpr TColor clDkGray = clGray;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// System colours become the system's current RGB value; everything else passes unchanged.
COLORREF ColorToRGB(TColor color);

// The screen's logical pixels per inch, read once.
int ScreenPixelsPerInch();

// --- fonts, pens, brushes -----------------------------------------------------------------

// Common ground of fonts, pens and brushes: they tell their owner when they change.
class TGraphicsObject {
public:
  TGraphicsObject() = default;
  virtual ~TGraphicsObject() = default;
  TGraphicsObject(const TGraphicsObject &) = delete;
  TGraphicsObject &operator=(const TGraphicsObject &) = delete;

  std::function<void()> OnChange;
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t; // TFontStyle bits

enum TFontPitch { fpDefault, fpVariable, fpFixed };

// A font description and its GDI font, made when first asked for and made afresh after any
// change of the description. OnChange follows every setter that really changes something.
class TFont : public TGraphicsObject {
public:
  TFont();
  ~TFont() override;
  void Assign(const TFont &source);

  const std::string &Name() const { return name_; }
  void SetName(const std::string &value);
  // Negative: the characters' height in pixels; positive: the cell height.
  int Height() const { return height_; }
  void SetHeight(int value);
  // Points, through PixelsPerInch.
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);
  BYTE Charset() const { return charset_; }
  void SetCharset(BYTE value);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch value);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }

  HFONT Handle();
  // Takes over the description of a font; the handle itself stays the caller's.
  void SetHandle(HFONT font);

private:
  void Changed(bool handleToo);

  std::string name_ = "Tahoma";
  int height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  BYTE charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int pixelsPerInch_;
  HFONT handle_ = nullptr;
};

class TPen : public TGraphicsObject {
public:
  ~TPen() override;
  void Assign(const TPen &source);

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int Width() const { return width_; }
  void SetWidth(int value);
  int Style() const { return style_; } // PS_SOLID, PS_DASH, ... PS_NULL
  void SetStyle(int value);
  int Mode() const { return mode_; } // R2_COPYPEN, R2_XORPEN, ...
  void SetMode(int value);

  HPEN Handle();

private:
  void Changed(bool handleToo);

  TColor color_ = clBlack;
  int width_ = 1;
  int style_ = PS_SOLID;
  int mode_ = R2_COPYPEN;
  HPEN handle_ = nullptr;
};

enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
  ~TBrush() override;
  void Assign(const TBrush &source);

  TColor Color() const { return color_; }
  // A clear brush turns solid when it is given a colour.
  void SetColor(TColor value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);

  HBRUSH Handle();

private:
  void Changed();

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  HBRUSH handle_ = nullptr;
};

// --- the canvas ---------------------------------------------------------------------------

class TGraphic;

// Draws on a device context it does not own. Font, pen and brush go into the context only
// when a drawing call needs them, and come out again before the context is given up or one of
// them changes, so the context is left as it was found. Canvases that make their own context
// (a bitmap's) override CreateHandle.
class TCanvas {
public:
  TCanvas();
  virtual ~TCanvas();
  TCanvas(const TCanvas &) = delete;
  TCanvas &operator=(const TCanvas &) = delete;

  // Raises EInvalidOperation when there is no context and none can be made.
  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  // The canvas listens to these through their OnChange; leave those handlers in place.
  TFont &Font() { return font_; }
  TPen &Pen() { return pen_; }
  TBrush &Brush() { return brush_; }
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD value) { copyMode_ = value; }

  POINT PenPos();
  void SetPenPos(POINT value) { MoveTo(value.x, value.y); }
  RECT ClipRect();

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const RECT &rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const RECT &rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
  void FillRect(const RECT &rect);  // with the brush, no outline
  void FrameRect(const RECT &rect); // a one-pixel border in the brush
  void DrawFocusRect(const RECT &rect);
  void Polygon(const POINT *points, int count);
  void Polyline(const POINT *points, int count);

  // TextOut leaves the pen position after the text. A clear brush draws text without its
  // background.
  void TextOut(int x, int y, const std::string &text);
  void TextRect(const RECT &rect, int x, int y, const std::string &text); // clipped to rect
  int TextWidth(const std::string &text);
  int TextHeight(const std::string &text);
  SIZE TextExtent(const std::string &text);
  // DrawTextA with the canvas's font; returns the text's height (DT_CALCRECT sets rect).
  int DrawText(const std::string &text, RECT &rect, UINT flags);

  void Draw(int x, int y, TGraphic &graphic);
  void StretchDraw(const RECT &rect, TGraphic &graphic);
  // Stretches source's sourceRect into dest with CopyMode.
  void CopyRect(const RECT &dest, TCanvas &source, const RECT &sourceRect);

  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Takes font, pen and brush out of the context; the next drawing call puts them back.
  void Refresh() { Deselect(stFont | stPen | stBrush); }

  // After every drawing call.
  std::function<void()> OnChange;

protected:
  virtual void CreateHandle() {}
  void Changed() {
    if (OnChange)
      OnChange();
  }

private:
  enum : unsigned { stHandle = 1, stFont = 2, stPen = 4, stBrush = 8 };
  void Require(unsigned state);
  void Deselect(unsigned state);

  HDC dc_ = nullptr;
  unsigned state_ = 0;
  // What the context had before, to put back.
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
  COLORREF oldTextColor_ = 0, oldBkColor_ = 0;
  int oldRop2_ = 0, oldBkMode_ = 0;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  DWORD copyMode_ = SRCCOPY;
};

// Draws width nested one-pixel frames, top and left edges in topColor, bottom and right in
// bottomColor, and moves each side of rect inwards by width.
void Frame3D(TCanvas &canvas, RECT &rect, TColor topColor, TColor bottomColor, int width);

// --- pictures -----------------------------------------------------------------------------

// A picture of some kind. Loading raises EFOpenError for a file that cannot be read and
// EInvalidGraphic for one that does not hold a picture of the kind.
class TGraphic {
public:
  TGraphic() = default;
  virtual ~TGraphic() = default;
  TGraphic(const TGraphic &) = delete;
  TGraphic &operator=(const TGraphic &) = delete;

  virtual const char *ClassName() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  virtual void Draw(TCanvas &canvas, const RECT &rect) = 0;
  virtual void LoadFromFile(const std::string &fileName) = 0;
  virtual void SaveToFile(const std::string &fileName) = 0;
  // A copy of the same class.
  virtual std::unique_ptr<TGraphic> Clone() const = 0;

  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);

  // Fires OnChange; call it after changing the picture behind its back (through ScanLine).
  void Changed() {
    if (OnChange)
      OnChange();
  }
  std::function<void()> OnChange;

protected:
  bool transparent_ = false;
};

// Owns one icon handle and destroys it when replaced or freed. Icons always draw
// transparently.
class TIcon : public TGraphic {
public:
  TIcon() { transparent_ = true; }
  explicit TIcon(HICON handle) : handle_(handle) { transparent_ = true; }
  ~TIcon() override;
  const char *ClassName() const override { return "TIcon"; }

  HICON Handle() const { return handle_; }
  void SetHandle(HICON handle);
  HICON ReleaseHandle(); // the caller owns the handle from now on
  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override;
  int Height() const override;
  void Assign(const TIcon &source);

  void Draw(TCanvas &canvas, const RECT &rect) override;
  void LoadFromFile(const std::string &fileName) override;
  // Writes a one-image .ico file: 32-bit colour with its mask.
  void SaveToFile(const std::string &fileName) override;
  std::unique_ptr<TGraphic> Clone() const override;

private:
  HICON handle_ = nullptr;
};

enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A device-independent bitmap (a DIB section, bottom-up rows), pf24bit unless told otherwise.
// Palette formats get a standard palette, or keep the one of the file they came from.
class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;
  const char *ClassName() const override { return "TBitmap"; }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ <= 0 || height_ <= 0; }
  // The part that stays in the new size keeps its pixels; new area is white.
  void SetSize(int width, int height);
  void SetWidth(int value) { SetSize(value, height_); }
  void SetHeight(int value) { SetSize(width_, value); }

  TPixelFormat PixelFormat() const { return format_; }
  // Converts the pixels. pfDevice means the screen's format; pfCustom is refused.
  void SetPixelFormat(TPixelFormat value);
  bool Monochrome() const { return format_ == pf1bit; }
  void SetMonochrome(bool value) { SetPixelFormat(value ? pf1bit : pf24bit); }

  // A memory context holding the bitmap, made on first use.
  TCanvas &Canvas();
  // The bitmap is taken out of the canvas's context first (a bitmap can be in one context
  // only), so handles from Canvas().Handle() are void afterwards.
  HBITMAP Handle();
  // Takes ownership of any bitmap and keeps its pixels in a DIB section of its own.
  void SetHandle(HBITMAP bitmap);
  // The caller owns the handle from now on; the bitmap is empty.
  HBITMAP ReleaseHandle();
  // Gives up the GDI objects and keeps the pixels in memory until next needed.
  void Dormant();
  // The row's pixels, top row 0. Raises EInvalidGraphicOperation for a row out of range.
  void *ScanLine(int row);

  void Assign(const TBitmap &source);
  std::unique_ptr<TGraphic> Clone() const override;

  // Transparent drawing leaves out the pixels of TransparentColor: the bottom-left pixel's
  // colour, unless set (which makes TransparentMode tmFixed; clDefault returns to tmAuto).
  TColor TransparentColor() const;
  void SetTransparentColor(TColor value);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);

  void Draw(TCanvas &canvas, const RECT &rect) override;
  // .bmp files: 1, 4, 8, 16, 24 and 32 bits, RLE and bit fields included.
  void LoadFromFile(const std::string &fileName) override;
  void LoadFromMemory(const void *data, size_t size);
  void LoadFromResourceName(HINSTANCE instance, const std::string &name); // RT_BITMAP
  void LoadFromResourceID(HINSTANCE instance, int id);
  // A .bmp with a BITMAPINFOHEADER; an empty bitmap writes an empty file.
  void SaveToFile(const std::string &fileName) override;
  std::vector<uint8_t> SaveToMemory() const;

private:
  friend class TBitmapCanvas;
  friend class TJPEGImage;
  void FreeContext();
  void Materialize();
  const uint8_t *PixelData() const;
  // Replaces the picture with the one decode writes into a new DIB section; when decode raises,
  // the picture stays as it was. Fires no OnChange.
  void LoadPixels(const std::function<pixels::TPixelLayout(pixels::TPixelStore &)> &decode);
  void ReplaceImage(HBITMAP handle, uint8_t *bits, int width, int height, TPixelFormat format,
                    std::vector<RGBQUAD> palette);
  void ReadResource(HINSTANCE instance, const char *name, const std::string &shownName);

  HBITMAP handle_ = nullptr;
  uint8_t *bits_ = nullptr;
  std::vector<uint8_t> dormant_; // the pixels while there is no handle
  int width_ = 0, height_ = 0;
  TPixelFormat format_ = pf24bit;
  std::vector<RGBQUAD> palette_; // palette formats only
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

class TJPEGImage;

// Holds one picture of whatever kind. The picture it holds reports changes through the
// picture's OnChange.
class TPicture {
public:
  TPicture() = default;
  ~TPicture();
  TPicture(const TPicture &) = delete;
  TPicture &operator=(const TPicture &) = delete;

  TGraphic *Graphic() const { return graphic_.get(); }
  // A copy of graphic (nothing for nullptr) replaces the picture.
  void Assign(const TGraphic *graphic);
  void Assign(const TPicture &source) { Assign(source.Graphic()); }
  // The picture as a bitmap: another kind is converted, nothing becomes an empty bitmap.
  TBitmap &Bitmap();
  // The icon held, or a new empty icon in place of anything else.
  TIcon &Icon();

  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // The extension chooses the kind: .bmp, .ico, .jpg/.jpeg/.jpe/.jfif. A failed load keeps
  // what was there.
  void LoadFromFile(const std::string &fileName);
  void SaveToFile(const std::string &fileName);

  std::function<void()> OnChange;

private:
  void Take(std::unique_ptr<TGraphic> graphic);
  void Changed() {
    if (OnChange)
      OnChange();
  }

  std::unique_ptr<TGraphic> graphic_;
};

} // namespace tk
