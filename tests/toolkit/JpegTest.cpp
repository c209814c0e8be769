// JPEG pictures through libjpeg: pictures made here go to disk and back.
#include "toolkit/graphics/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "support/TestEnvironment.h"

extern "C" {
#include <jpeglib.h>
}

using namespace tk;

namespace {

std::string Path(const char *name) { return testenv::TestDir() + name; }

TColor At(TBitmap &bitmap, int x, int y) { return bitmap.Canvas().Pixels(x, y); }

::testing::AssertionResult Near(TColor color, int r, int g, int b, int tolerance = 40) {
  int dr = GetRValue(color) - r, dg = GetGValue(color) - g, db = GetBValue(color) - b;
  if (abs(dr) <= tolerance && abs(dg) <= tolerance && abs(db) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got " << int(GetRValue(color)) << "," << int(GetGValue(color)) << ","
         << int(GetBValue(color)) << " for " << r << "," << g << "," << b;
}

// 32 x 16: the top half red on the left and blue on the right, the bottom half green, so a
// picture upside down or mirrored shows.
void Paint(TBitmap &bitmap) {
  bitmap.SetSize(32, 16);
  TCanvas &canvas = bitmap.Canvas();
  canvas.Brush().SetColor(clRed);
  canvas.FillRect(RECT{0, 0, 16, 8});
  canvas.Brush().SetColor(clBlue);
  canvas.FillRect(RECT{16, 0, 32, 8});
  canvas.Brush().SetColor(clLime);
  canvas.FillRect(RECT{0, 8, 32, 16});
}

// A picture made by libjpeg itself, in the forms our encoder does not write. pixel(x, row)
// fills one pixel's components; setup comes after libjpeg's defaults.
std::vector<unsigned char> LibJpeg(int width, int height, int components, J_COLOR_SPACE space,
                                   const std::function<void(int, unsigned char *)> &pixel,
                                   const std::function<void(jpeg_compress_struct &)> &setup) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char *out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = width;
  c.image_height = height;
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  setup(c);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(width * components);
  for (int x = 0; x < width; ++x)
    pixel(x, &row[x * components]);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<unsigned char> bytes(out, out + size);
  jpeg_destroy_compress(&c);
  free(out);
  return bytes;
}

// A CMYK picture as Adobe's programs write it (inverted: 255 is no ink): red on the left,
// blue on the right.
std::vector<unsigned char> CmykJpeg() {
  auto pixel = [](int x, unsigned char *p) {
    bool red = x < 8; // red: magenta and yellow ink; blue: cyan and magenta
    p[0] = red ? 255 : 0;
    p[1] = 0;
    p[2] = red ? 0 : 255;
    p[3] = 255;
  };
  return LibJpeg(16, 8, 4, JCS_CMYK, pixel, [](jpeg_compress_struct &) {});
}

// The size the frame header states, changed: the data that follow stay the small picture's,
// which libjpeg pads out to the size stated (with a warning, as for any damaged tail).
std::vector<unsigned char> Restated(std::vector<unsigned char> bytes, unsigned width,
                                    unsigned height) {
  for (size_t i = 2; i + 9 <= bytes.size(); i += 2 + (bytes[i + 2] << 8 | bytes[i + 3])) {
    if (bytes[i + 1] >= 0xC0 && bytes[i + 1] <= 0xC2) {
      const unsigned char size[4] = {(unsigned char)(height >> 8), (unsigned char)height,
                                     (unsigned char)(width >> 8), (unsigned char)width};
      std::copy(size, size + 4, bytes.begin() + i + 5);
      return bytes;
    }
  }
  ADD_FAILURE() << "no frame header";
  return bytes;
}

} // namespace

TEST(Jpeg, EncodedPictureDecodesToItsSizeAndColours) {
  TBitmap bitmap;
  Paint(bitmap);
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  EXPECT_EQ(jpeg.CompressionQuality(), 90);
  jpeg.SaveToFile(Path("a.jpg"));
  EXPECT_EQ(testenv::ReadFile(Path("a.jpg")).substr(0, 2), "\xFF\xD8");

  TJPEGImage loaded;
  loaded.LoadFromFile(Path("a.jpg"));
  EXPECT_EQ(loaded.Width(), 32);
  EXPECT_EQ(loaded.Height(), 16);
  EXPECT_FALSE(loaded.Grayscale());
  EXPECT_EQ(loaded.Bitmap().PixelFormat(), pf24bit);
  EXPECT_TRUE(Near(At(loaded.Bitmap(), 4, 3), 255, 0, 0));
  EXPECT_TRUE(Near(At(loaded.Bitmap(), 27, 3), 0, 0, 255));
  EXPECT_TRUE(Near(At(loaded.Bitmap(), 4, 13), 0, 255, 0));

  TBitmap back;
  back.SetSize(40, 20);
  back.Canvas().Draw(8, 4, loaded);
  EXPECT_TRUE(Near(At(back, 12, 7), 255, 0, 0));
  EXPECT_TRUE(Near(At(back, 2, 2), 255, 255, 255));
}

TEST(Jpeg, GreyPicturesKeepOneChannelAndDecodeToEqualOnes) {
  TBitmap ramp;
  ramp.SetSize(16, 8);
  for (int x = 0; x < 16; ++x) {
    ramp.Canvas().Brush().SetColor(TColor(RGB(x * 16, x * 16, x * 16)));
    ramp.Canvas().FillRect(RECT{x, 0, x + 1, 8});
  }
  ramp.Canvas().Brush().SetColor(clRed);
  ramp.Canvas().FillRect(RECT{0, 6, 16, 8});
  TJPEGImage jpeg;
  jpeg.Assign(ramp);
  jpeg.SetGrayscale(true);
  jpeg.SaveToFile(Path("grey.jpg"));

  TJPEGImage loaded;
  loaded.LoadFromFile(Path("grey.jpg"));
  EXPECT_TRUE(loaded.Grayscale());
  for (int x : {1, 7, 14}) {
    TColor c = At(loaded.Bitmap(), x, 2);
    EXPECT_EQ(GetRValue(c), GetGValue(c));
    EXPECT_EQ(GetGValue(c), GetBValue(c));
    EXPECT_TRUE(Near(c, x * 16, x * 16, x * 16, 16));
  }
  EXPECT_TRUE(Near(At(loaded.Bitmap(), 8, 7), 76, 76, 76, 16)) << "red by its luminance";
}

TEST(Jpeg, CmykPicturesAreConvertedToRgb) {
  std::vector<unsigned char> bytes = CmykJpeg();
  TJPEGImage jpeg;
  jpeg.LoadFromMemory(bytes.data(), bytes.size());
  EXPECT_EQ(jpeg.Width(), 16);
  EXPECT_TRUE(Near(At(jpeg.Bitmap(), 2, 4), 255, 0, 0));
  EXPECT_TRUE(Near(At(jpeg.Bitmap(), 13, 4), 0, 0, 255));
}

TEST(Jpeg, DamagedFilesRaiseInvalidGraphicAndKeepThePicture) {
  TBitmap bitmap;
  Paint(bitmap);
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  std::vector<uint8_t> good = jpeg.SaveToMemory();

  const std::string damaged[] = {
      "",
      "GIF89a and then some more bytes that are no JPEG at all",
      std::string(good.begin(), good.begin() + 40), // the header breaks off
      "\xFF\xD8\xFF\xC0\x00\x11\x08" + std::string(300, '\xEE'),
  };
  for (const std::string &bytes : damaged) {
    testenv::WriteFile(Path("bad.jpg"), bytes);
    try {
      jpeg.LoadFromFile(Path("bad.jpg"));
      ADD_FAILURE() << "loaded " << bytes.size() << " bytes of junk";
    } catch (const EInvalidGraphic &e) {
      EXPECT_EQ(e.Message().rfind("JPEG error", 0), 0u) << e.Message();
    }
  }
  EXPECT_EQ(jpeg.Width(), 32);
  EXPECT_TRUE(Near(At(jpeg.Bitmap(), 4, 3), 255, 0, 0));
  EXPECT_THROW(jpeg.LoadFromFile(Path("missing.jpg")), EFOpenError);
}

TEST(Jpeg, SavingWritesTheLoadedBytesUntilTheBitmapChanges) {
  TBitmap bitmap;
  Paint(bitmap);
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  jpeg.SetCompressionQuality(60);
  jpeg.SaveToFile(Path("first.jpg"));

  TJPEGImage loaded;
  loaded.LoadFromFile(Path("first.jpg"));
  loaded.SaveToFile(Path("again.jpg"));
  EXPECT_EQ(testenv::ReadFile(Path("again.jpg")), testenv::ReadFile(Path("first.jpg")));

  int changes = 0;
  loaded.OnChange = [&] { ++changes; };
  loaded.Bitmap().Canvas().Brush().SetColor(clBlack);
  loaded.Bitmap().Canvas().FillRect(RECT{0, 0, 8, 8});
  EXPECT_GT(changes, 0);
  loaded.SaveToFile(Path("changed.jpg"));
  TJPEGImage changed;
  changed.LoadFromFile(Path("changed.jpg"));
  EXPECT_TRUE(Near(At(changed.Bitmap(), 3, 3), 0, 0, 0));
  EXPECT_TRUE(Near(At(changed.Bitmap(), 12, 3), 255, 0, 0));

  jpeg.SetCompressionQuality(100);
  size_t best = jpeg.SaveToMemory().size();
  jpeg.SetCompressionQuality(5);
  EXPECT_LT(jpeg.SaveToMemory().size(), best);
}

TEST(Jpeg, PictureLoadsJpegFilesAndConvertsThemToBitmaps) {
  TBitmap bitmap;
  Paint(bitmap);
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  jpeg.SaveToFile(Path("photo.JPEG"));

  TPicture picture;
  picture.LoadFromFile(Path("photo.JPEG"));
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TJPEGImage");
  EXPECT_EQ(picture.Width(), 32);
  TBitmap &converted = picture.Bitmap();
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_TRUE(Near(At(converted, 27, 3), 0, 0, 255));
}

// A few bytes can claim a picture of any size and any number of scans: the limits decide
// before the work is done.
TEST(Jpeg, PicturesJustPastALimitAreRefusedAndJustInsideDecode) {
  TBitmap small;
  Paint(small);
  TJPEGImage jpeg;
  jpeg.Assign(small);
  const std::vector<unsigned char> baseline = jpeg.SaveToMemory();
  // Grey, progressive, in scans of one coefficient band each: the DC, then 1 to 63 less their
  // lowest bit, then that bit of all of them in the scans left over.
  auto scans = [](int count) {
    return LibJpeg(
        16, 8, 1, JCS_GRAYSCALE, [](int x, unsigned char *p) { *p = x * 16; },
        [count](jpeg_compress_struct &c) {
          static jpeg_scan_info script[128];
          int n = 0;
          script[n++] = {1, {0}, 0, 0, 0, 0};
          for (int k = 1; k < 64; ++k)
            script[n++] = {1, {0}, k, k, 0, 1};
          for (int b = 0, bands = count - n; b < bands; ++b)
            script[n++] = {1, {0}, 1 + b * 63 / bands, (b + 1) * 63 / bands, 1, 0};
          c.scan_info = script;
          c.num_scans = n;
        });
  };
  // Colour with full colour detail (4:4:4), progressive: libjpeg keeps every coefficient, six
  // bytes a pixel.
  const std::vector<unsigned char> fullColour = LibJpeg(
      16, 8, 3, JCS_RGB, [](int x, unsigned char *p) { p[0] = p[1] = p[2] = x * 16; },
      [](jpeg_compress_struct &c) {
        for (int i = 0; i < 3; ++i)
          c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
        jpeg_simple_progression(&c);
      });
  struct Case {
    const char *what;
    std::vector<unsigned char> bytes;
    int width, height;
    const char *refusal; // nullptr: decodes
  };
  const Case cases[] = {
      {"the most pixels", Restated(baseline, 8192, 8192), 8192, 8192, nullptr},
      {"a row more", Restated(baseline, 8192, 8193), 0, 0,
       "JPEG error: The picture is too large (8192 x 8193 pixels)"},
      {"the most scans", scans(100), 16, 8, nullptr},
      {"a scan more", scans(101), 0, 0, "JPEG error: The picture has more than 100 scans"},
      {"the most memory", Restated(fullColour, 8192, 5440), 8192, 5440, nullptr},
      {"four block rows more", Restated(fullColour, 8192, 5472), 0, 0,
       "JPEG error #49: The picture needs more memory than the reader allows"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.refusal) {
      TJPEGImage loaded;
      loaded.LoadFromMemory(c.bytes.data(), c.bytes.size());
      EXPECT_EQ(loaded.Width(), c.width);
      EXPECT_EQ(loaded.Height(), c.height);
      continue;
    }
    try {
      jpeg.LoadFromMemory(c.bytes.data(), c.bytes.size());
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic &e) {
      EXPECT_EQ(e.Message(), c.refusal);
    }
    EXPECT_EQ(jpeg.Width(), 32);
  }
}
