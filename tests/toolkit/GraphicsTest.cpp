// The graphics unit against real GDI: canvases drawing into bitmaps, .bmp and .ico files on disk,
// image lists of the common controls.
#include "toolkit/graphics/Graphics.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "toolkit/graphics/ImgList.h"
#include "toolkit/graphics/Jpeg.h"

using namespace tk;

namespace {

void Fill(TBitmap &bitmap, int width, int height, TColor color, TPixelFormat format = pf24bit) {
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().SetColor(color);
  bitmap.Canvas().FillRect(RECT{0, 0, width, height});
}

void FillRect(TBitmap &bitmap, RECT rect, TColor color) {
  bitmap.Canvas().Brush().SetColor(color);
  bitmap.Canvas().FillRect(rect);
}

TColor At(TBitmap &bitmap, int x, int y) { return bitmap.Canvas().Pixels(x, y); }

std::string Path(const char *name) { return testenv::TestDir() + name; }

// A .bmp written by hand, so the reader is not only checked against our own writer.
std::string BmpFile(int width, int height, int bpp, const std::vector<COLORREF> &palette,
                    const std::string &pixels, DWORD compression = BI_RGB) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = WORD(bpp);
  info.biCompression = compression;
  info.biSizeImage = DWORD(pixels.size());
  info.biClrUsed = DWORD(palette.size());
  std::string table;
  for (COLORREF c : palette)
    table += {char(GetBValue(c)), char(GetGValue(c)), char(GetRValue(c)), 0};
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = DWORD(sizeof(file) + sizeof(info) + table.size());
  file.bfSize = DWORD(file.bfOffBits + pixels.size());
  return std::string(reinterpret_cast<const char *>(&file), sizeof(file)) +
         std::string(reinterpret_cast<const char *>(&info), sizeof(info)) + table + pixels;
}

} // namespace

TEST(Font, HandleFollowsChangesAndOnChangeFiresOnlyOnRealOnes) {
  TFont font;
  int changes = 0;
  font.OnChange = [&] { ++changes; };
  LOGFONTA lf;
  ASSERT_EQ(GetObjectA(font.Handle(), sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");

  font.SetHeight(-11);
  font.SetName("Tahoma");
  font.SetStyle(0);
  EXPECT_EQ(changes, 0) << "writing the same values is no change";

  font.SetStyle(fsBold | fsItalic);
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(GetObjectA(font.Handle(), sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfItalic);

  font.SetSize(12);
  EXPECT_EQ(font.Height(), -MulDiv(12, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(font.Size(), 12);
  ASSERT_EQ(GetObjectA(font.Handle(), sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, font.Height());

  TFont same;
  same.Assign(font);
  changes = 0;
  font.Assign(same);
  EXPECT_EQ(changes, 0);
  same.SetColor(clRed);
  font.Assign(same);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(font.Color(), clRed);
}

TEST(Canvas, DrawsWithPenBrushAndFontAndTheirChanges) {
  TBitmap bitmap;
  Fill(bitmap, 60, 40, clWhite);
  TCanvas &canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clBlue);
  canvas.Brush().SetColor(clYellow);
  canvas.Rectangle(0, 0, 10, 10);
  EXPECT_EQ(At(bitmap, 0, 0), clBlue);
  EXPECT_EQ(At(bitmap, 5, 5), clYellow);
  EXPECT_EQ(At(bitmap, 10, 10), clWhite) << "right and bottom are exclusive";

  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(20, 0, 30, 10);
  EXPECT_EQ(At(bitmap, 25, 5), clWhite) << "a clear brush fills nothing";
  canvas.Brush().SetColor(clYellow);
  EXPECT_EQ(canvas.Brush().Style(), bsSolid) << "a colour makes a clear brush solid";

  int small = canvas.TextHeight("Ag");
  canvas.Font().SetHeight(-30);
  EXPECT_GT(canvas.TextHeight("Ag"), small + 10) << "the changed font reached the context";

  canvas.Font().SetHeight(-11);
  canvas.TextOut(0, 20, "W");
  EXPECT_EQ(At(bitmap, 0, 20), clYellow) << "solid brush: text on its background";
  EXPECT_GT(canvas.PenPos().x, 0);
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(30, 20, "W");
  EXPECT_EQ(At(bitmap, 30, 20), clWhite);

  canvas.SetPixels(59, 39, clRed);
  EXPECT_EQ(At(bitmap, 59, 39), clRed);

  TBitmap copy;
  Fill(copy, 20, 20, clBlack);
  copy.Canvas().CopyRect(RECT{0, 0, 20, 20}, canvas, RECT{0, 0, 10, 10}); // twice as large
  EXPECT_EQ(At(copy, 1, 1), clBlue);
  EXPECT_EQ(At(copy, 10, 10), clYellow);
}

TEST(Canvas, LeavesABorrowedContextAsItFoundIt) {
  HDC screen = GetDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(screen, 40, 20);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldBitmap = SelectObject(dc, target);
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), pen = GetCurrentObject(dc, OBJ_PEN),
          brush = GetCurrentObject(dc, OBJ_BRUSH);
  COLORREF textColor = GetTextColor(dc);
  int bkMode = GetBkMode(dc);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Brush().SetColor(clLime);
    canvas.Font().SetColor(clRed);
    canvas.Brush().SetStyle(bsClear);
    canvas.TextOut(0, 0, "x");
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font().Handle());
    canvas.Font().SetHeight(-20);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font) << "a changed font leaves the context first";
    canvas.Brush().SetColor(clLime);
    canvas.FillRect(RECT{0, 0, 4, 4});
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 255, 0));
    canvas.SetHandle(nullptr);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetTextColor(dc), textColor);
  EXPECT_EQ(GetBkMode(dc), bkMode);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  DeleteObject(target);
}

TEST(Canvas, Frame3DDrawsNestedEdgesAndShrinksTheRectangle) {
  TBitmap bitmap;
  Fill(bitmap, 20, 16, clBlack);
  RECT rect{2, 3, 14, 12};
  Frame3D(bitmap.Canvas(), rect, clWhite, clGray, 2);
  EXPECT_EQ(rect.left, 4);
  EXPECT_EQ(rect.top, 5);
  EXPECT_EQ(rect.right, 12);
  EXPECT_EQ(rect.bottom, 10);

  EXPECT_EQ(At(bitmap, 2, 3), clWhite);  // top-left corner
  EXPECT_EQ(At(bitmap, 8, 3), clWhite);  // top edge
  EXPECT_EQ(At(bitmap, 2, 7), clWhite);  // left edge
  EXPECT_EQ(At(bitmap, 13, 3), clGray);  // top-right corner belongs to the bottom colour
  EXPECT_EQ(At(bitmap, 2, 11), clGray);  // and so does bottom-left
  EXPECT_EQ(At(bitmap, 13, 11), clGray); // bottom-right
  EXPECT_EQ(At(bitmap, 13, 7), clGray);  // right edge
  EXPECT_EQ(At(bitmap, 8, 11), clGray);  // bottom edge
  EXPECT_EQ(At(bitmap, 3, 4), clWhite);  // the inner frame
  EXPECT_EQ(At(bitmap, 12, 10), clGray);
  EXPECT_EQ(At(bitmap, 8, 7), clBlack); // inside both
  EXPECT_EQ(At(bitmap, 14, 7), clBlack);
  EXPECT_EQ(At(bitmap, 8, 12), clBlack);
}

TEST(Bitmap, SavedAndReloadedKeepsSizeFormatAndPixels) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(int(format));
    TBitmap bitmap;
    Fill(bitmap, 13, 7, clWhite, format); // 13: rows need padding in every format
    bitmap.Canvas().SetPixels(0, 0, clBlack);
    bitmap.Canvas().SetPixels(12, 6, clBlack);
    if (format != pf1bit) {
      bitmap.Canvas().SetPixels(1, 0, clRed);
      bitmap.Canvas().SetPixels(5, 3, clBlue);
      bitmap.Canvas().SetPixels(11, 6, clLime);
    }
    bitmap.SaveToFile(Path("round.bmp"));
    EXPECT_EQ(testenv::ReadFile(Path("round.bmp")).substr(0, 2), "BM");

    TBitmap loaded;
    loaded.LoadFromFile(Path("round.bmp"));
    ASSERT_EQ(loaded.Width(), 13);
    ASSERT_EQ(loaded.Height(), 7);
    EXPECT_EQ(loaded.PixelFormat(), format);
    int differences = 0;
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x)
        differences += At(loaded, x, y) != At(bitmap, x, y);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(At(loaded, 12, 6), clBlack);
  }
}

TEST(Bitmap, LoadsPaletteFilesOfEveryLayout) {
  // One bit, bottom-up, a palette of its own: bits set are yellow.
  std::string rows = std::string("\xA0\x40\0\0", 4) + std::string(4, '\0');
  testenv::WriteFile(Path("mono.bmp"), BmpFile(10, 2, 1, {RGB(0, 0, 255), RGB(255, 255, 0)}, rows));
  TBitmap mono;
  mono.LoadFromFile(Path("mono.bmp"));
  EXPECT_EQ(mono.PixelFormat(), pf1bit);
  EXPECT_TRUE(mono.Monochrome());
  EXPECT_EQ(At(mono, 0, 1), clYellow); // the first row stored is the bottom one
  EXPECT_EQ(At(mono, 1, 1), clBlue);
  EXPECT_EQ(At(mono, 9, 1), clYellow);
  EXPECT_EQ(At(mono, 0, 0), clBlue);

  const std::vector<COLORREF> three = {RGB(10, 20, 30), RGB(200, 100, 50), RGB(0, 128, 255)};
  // Eight bits, top-down.
  std::string topDown = std::string("\0\1\2\0\2\2\2\0", 8);
  testenv::WriteFile(Path("eight.bmp"), BmpFile(3, -2, 8, three, topDown));
  TBitmap eight;
  eight.LoadFromFile(Path("eight.bmp"));
  EXPECT_EQ(eight.PixelFormat(), pf8bit);
  EXPECT_EQ(At(eight, 1, 0), TColor(three[1]));
  EXPECT_EQ(At(eight, 0, 1), TColor(three[2]));

  // Eight bits, run-length encoded: bottom row a run of 1s; top row 0 2 1 absolute, then a 2.
  std::string rle = std::string("\4\1\0\0\0\3\0\2\1\0\1\2\0\1", 14);
  testenv::WriteFile(Path("rle.bmp"), BmpFile(4, 2, 8, three, rle, BI_RLE8));
  TBitmap packed;
  packed.LoadFromFile(Path("rle.bmp"));
  const int top[4] = {0, 2, 1, 2};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(At(packed, x, 0), TColor(three[top[x]])) << x;
    EXPECT_EQ(At(packed, x, 1), TColor(three[1])) << x;
  }

  // A bitmap resource of the test program: the file's colours without the file header.
  TBitmap resource;
  resource.LoadFromResourceName(GetModuleHandleA(nullptr), "PALETTE3X2");
  EXPECT_EQ(resource.PixelFormat(), pf8bit);
  EXPECT_EQ(At(resource, 0, 0), TColor(three[0]));
  EXPECT_EQ(At(resource, 1, 0), TColor(three[1]));
  EXPECT_EQ(At(resource, 2, 1), TColor(three[2]));
  EXPECT_THROW(resource.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCH"), EResNotFound);
}

TEST(Bitmap, DamagedFilesRaiseInvalidGraphicAndKeepThePicture) {
  TBitmap source;
  Fill(source, 9, 9, clRed, pf8bit);
  std::vector<uint8_t> good = source.SaveToMemory();

  TBitmap bitmap;
  Fill(bitmap, 2, 2, clBlue);
  // Every shortened file is refused.
  for (size_t length = 0; length < good.size(); ++length) {
    try {
      bitmap.LoadFromMemory(good.data(), length);
      ADD_FAILURE() << "loaded " << length << " of " << good.size() << " bytes";
    } catch (const EInvalidGraphic &e) {
      EXPECT_EQ(e.Message(), "Bitmap image is not valid");
    }
  }
  // Wrong bytes in the headers and the palette load or are refused, nothing else.
  for (size_t at = 0; at < 14 + 40 + 16; ++at)
    for (uint8_t value : {uint8_t(0xFF), uint8_t(0x7F), uint8_t(0x00)}) {
      std::vector<uint8_t> bad = good;
      bad[at] = value;
      try {
        TBitmap other;
        other.LoadFromMemory(bad.data(), bad.size());
      } catch (const EInvalidGraphic &) {
      }
    }
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(At(bitmap, 1, 1), clBlue);

  testenv::WriteFile(Path("text.bmp"), "This is no picture at all, only some words.");
  EXPECT_THROW(bitmap.LoadFromFile(Path("text.bmp")), EInvalidGraphic);
  EXPECT_THROW(bitmap.LoadFromFile(Path("missing.bmp")), EFOpenError);
}

// Run-length rows let a few bytes claim any size: the limits decide before anything is made.
TEST(Bitmap, PicturesJustPastALimitAreRefusedAndJustInsideDecode) {
  // Eight bits whose rows end the picture at once: every pixel is colour 0.
  auto claim = [](int width, int height) {
    return BmpFile(width, height, 8, {RGB(10, 20, 30)}, std::string("\0\1", 2), BI_RLE8);
  };
  struct Case {
    int width, height;
    bool decodes;
  };
  const Case cases[] = {
      {8192, 8192, true},  // the most pixels
      {8192, 8193, false}, //
      {1, 50331648, true}, // a word a row: the most bytes (192 MB)
      {1, 50331649, false},
  };
  TBitmap bitmap;
  Fill(bitmap, 2, 2, clBlue);
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    std::string file = claim(c.width, c.height);
    if (c.decodes) {
      TBitmap big;
      big.LoadFromMemory(file.data(), file.size());
      EXPECT_EQ(big.Width(), c.width);
      EXPECT_EQ(big.Height(), c.height);
      EXPECT_EQ(At(big, c.width - 1, c.height - 1), TColor(RGB(10, 20, 30)));
      continue;
    }
    try {
      bitmap.LoadFromMemory(file.data(), file.size());
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic &e) {
      EXPECT_EQ(e.Message(), "Bitmap image is not valid");
    }
    EXPECT_EQ(bitmap.Width(), 2);
  }
}

TEST(Bitmap, TransparentDrawLeavesTheBackgroundWhereTheTransparentColourIs) {
  TBitmap sprite;
  Fill(sprite, 6, 6, clFuchsia);
  FillRect(sprite, RECT{2, 2, 4, 4}, clRed);
  EXPECT_EQ(sprite.TransparentColor(), clFuchsia) << "the bottom-left pixel's colour";

  TBitmap back;
  Fill(back, 10, 10, clBlue);
  back.Canvas().Draw(1, 1, sprite);
  EXPECT_EQ(At(back, 1, 1), clFuchsia) << "opaque until told otherwise";

  sprite.SetTransparent(true);
  Fill(back, 10, 10, clBlue);
  back.Canvas().Draw(1, 1, sprite);
  EXPECT_EQ(At(back, 1, 1), clBlue);
  EXPECT_EQ(At(back, 6, 6), clBlue);
  EXPECT_EQ(At(back, 3, 3), clRed);

  sprite.SetTransparentColor(clRed);
  EXPECT_EQ(sprite.TransparentMode(), tmFixed);
  Fill(back, 10, 10, clBlue);
  back.Canvas().StretchDraw(RECT{0, 0, 12, 12}, sprite); // twice the size
  EXPECT_EQ(At(back, 1, 1), clFuchsia);
  EXPECT_EQ(At(back, 5, 5), clBlue);
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndFormatChangesKeepTheColours) {
  TBitmap bitmap;
  Fill(bitmap, 4, 3, clRed);
  bitmap.Canvas().SetPixels(0, 0, clBlue);
  bitmap.SetSize(6, 5);
  EXPECT_EQ(At(bitmap, 0, 0), clBlue);
  EXPECT_EQ(At(bitmap, 3, 2), clRed);
  EXPECT_EQ(At(bitmap, 5, 4), clWhite);
  EXPECT_EQ(At(bitmap, 4, 0), clWhite);

  bitmap.SetWidth(0);
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetWidth(2);
  EXPECT_EQ(bitmap.Height(), 5) << "each side keeps its own value";

  Fill(bitmap, 3, 2, clRed, pf32bit);
  auto *top = static_cast<uint8_t *>(bitmap.ScanLine(0));
  EXPECT_EQ(top[2], 255); // blue, green, red(, alpha)
  auto *second = static_cast<uint8_t *>(bitmap.ScanLine(1));
  second[0] = 0;
  second[1] = 255;
  second[2] = 0;
  EXPECT_EQ(At(bitmap, 0, 1), clLime) << "row 0 is the top row";
  EXPECT_THROW(bitmap.ScanLine(2), EInvalidGraphicOperation);

  bitmap.Canvas().SetPixels(2, 0, clSilver);
  bitmap.SetPixelFormat(pf8bit);
  EXPECT_EQ(At(bitmap, 0, 0), clRed);
  EXPECT_EQ(At(bitmap, 0, 1), clLime);
  bitmap.SetPixelFormat(pf1bit);
  EXPECT_EQ(At(bitmap, 0, 0), clBlack);
  EXPECT_EQ(At(bitmap, 2, 0), clWhite) << "light colours become white";

  bitmap.Dormant();
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(At(bitmap, 2, 0), clWhite);
  BITMAP info;
  ASSERT_TRUE(GetObjectA(bitmap.Handle(), sizeof(info), &info));
  EXPECT_EQ(info.bmBitsPixel, 1);
}

TEST(Picture, ChoosesTheKindByExtension) {
  TBitmap bitmap;
  Fill(bitmap, 5, 4, clLime);
  bitmap.SaveToFile(Path("p.bmp"));
  {
    // An icon red on its right half, transparent on its left.
    TBitmap colour, mask;
    Fill(colour, 16, 16, clRed, pf32bit);
    FillRect(colour, RECT{0, 0, 8, 16}, clBlack);
    Fill(mask, 16, 16, clBlack, pf1bit);
    FillRect(mask, RECT{0, 0, 8, 16}, clWhite);
    ICONINFO info{TRUE, 0, 0, mask.Handle(), colour.Handle()};
    TIcon icon(CreateIconIndirect(&info));
    ASSERT_FALSE(icon.Empty());
    icon.SaveToFile(Path("p.ico"));
  }

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.LoadFromFile(Path("p.bmp"));
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_GT(changes, 0);

  picture.LoadFromFile(Path("p.ICO"));
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TIcon");
  EXPECT_EQ(picture.Width(), 16);
  TBitmap &converted = picture.Bitmap();
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(At(converted, 2, 5), clWhite) << "the icon's transparent half";
  EXPECT_EQ(At(converted, 12, 5), clRed);

  try {
    picture.LoadFromFile(Path("p.xyz"));
    FAIL() << "an unknown extension was accepted";
  } catch (const EInvalidGraphic &e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  testenv::WriteFile(Path("bad.ico"), std::string(64, '\x11'));
  EXPECT_THROW(picture.LoadFromFile(Path("bad.ico")), EInvalidGraphic);
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap") << "a failed load keeps the picture";

  changes = 0;
  picture.Bitmap().Canvas().SetPixels(0, 0, clBlue);
  EXPECT_GT(changes, 0) << "drawing on the picture's bitmap is a change of the picture";

  TPicture copy;
  copy.Assign(picture);
  EXPECT_NE(copy.Graphic(), picture.Graphic());
  EXPECT_EQ(At(copy.Bitmap(), 0, 0), clBlue);
}

// No picture within the limits needs more than their pixels and a megabyte: a larger file is
// refused before it is read into memory.
TEST(Picture, FilesLargerThanAnyPictureWithinTheLimitsAreRefusedUnread) {
  TBitmap bitmap;
  Fill(bitmap, 5, 4, clLime);
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  const std::vector<uint8_t> bmpBytes = bitmap.SaveToMemory(), jpegBytes = jpeg.SaveToMemory();
  const int64_t largest = pixels::kMaxFileBytes;
  struct Case {
    const char *name;
    const std::vector<uint8_t> &picture;
    int64_t size;
    const char *refusal; // nullptr: loads
  };
  const Case cases[] = {
      {"largest.bmp", bmpBytes, largest, nullptr},
      {"larger.bmp", bmpBytes, largest + 1, "Bitmap image is not valid"},
      {"largest.jpg", jpegBytes, largest, nullptr},
      {"larger.jpg", jpegBytes, largest + 1, "JPEG error: The file is too large"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    // The picture, then zeros up to the size, which no reader looks at.
    testenv::WriteFile(Path(c.name), std::string(c.picture.begin(), c.picture.end()));
    HANDLE file =
        CreateFileA(Path(c.name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = c.size;
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    TPicture picture;
    if (!c.refusal) {
      picture.LoadFromFile(Path(c.name));
      EXPECT_EQ(picture.Width(), 5);
      continue;
    }
    try {
      picture.LoadFromFile(Path(c.name));
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic &e) {
      EXPECT_EQ(e.Message(), c.refusal);
    }
  }
}

TEST(ImageList, MasksDecideWhereTheBackgroundStays) {
  TImageList list(nullptr);
  list.SetSize(8, 8);
  TBitmap strip; // two images side by side
  Fill(strip, 16, 8, clFuchsia);
  FillRect(strip, RECT{2, 2, 6, 6}, clRed);
  FillRect(strip, RECT{10, 2, 14, 6}, clBlue);
  EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(At(strip, 0, 0), clFuchsia) << "the caller's bitmap is left alone";

  TBitmap back;
  Fill(back, 20, 10, clLime);
  list.Draw(back.Canvas(), 0, 0, 0);
  list.Draw(back.Canvas(), 10, 0, 1);
  EXPECT_EQ(At(back, 0, 0), clLime);
  EXPECT_EQ(At(back, 3, 3), clRed);
  EXPECT_EQ(At(back, 10, 0), clLime);
  EXPECT_EQ(At(back, 13, 3), clBlue);

  TBitmap image, mask; // opaque on the left half only
  Fill(image, 8, 8, clNavy);
  Fill(mask, 8, 8, clWhite, pf1bit);
  FillRect(mask, RECT{0, 0, 4, 8}, clBlack);
  EXPECT_EQ(list.Add(&image, &mask), 2);
  Fill(back, 20, 10, clLime);
  list.Draw(back.Canvas(), 0, 0, 2);
  EXPECT_EQ(At(back, 1, 1), clNavy);
  EXPECT_EQ(At(back, 6, 1), clLime);

  // Disabled: the dark square in the shadow colour over a highlight copy one pixel off.
  Fill(back, 20, 10, clLime);
  list.Draw(back.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(COLORREF(At(back, 3, 3)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(COLORREF(At(back, 6, 6)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(back, 0, 0), clLime);
  EXPECT_EQ(At(back, 6, 2), clLime);

  TBitmap got;
  ASSERT_TRUE(list.GetBitmap(1, got));
  EXPECT_EQ(got.Width(), 8);
  EXPECT_EQ(At(got, 3, 3), clBlue);
  EXPECT_EQ(At(got, 0, 0), clWhite);
  EXPECT_FALSE(list.GetBitmap(5, got));
}
