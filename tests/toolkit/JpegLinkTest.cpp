// libjpeg is linked and works: a picture encoded here decodes to the same size and colours.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

// 24 x 16 pixels: left half red, right half blue.
std::vector<unsigned char> Encode() {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char *out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = 24;
  c.image_height = 16;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(24 * 3);
  for (int x = 0; x < 24; ++x) {
    row[x * 3 + 0] = x < 12 ? 255 : 0;
    row[x * 3 + 1] = 0;
    row[x * 3 + 2] = x < 12 ? 0 : 255;
  }
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

} // namespace

TEST(JpegLink, EncodedPictureDecodesToItsSizeAndColours) {
  std::vector<unsigned char> jpeg = Encode();
  ASSERT_GT(jpeg.size(), 100u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);

  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, jpeg.data(), jpeg.size());
  ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
  jpeg_start_decompress(&d);
  EXPECT_EQ(d.output_width, 24u);
  EXPECT_EQ(d.output_height, 16u);
  ASSERT_EQ(d.output_components, 3);
  std::vector<unsigned char> pixels(24 * 16 * 3);
  while (d.output_scanline < d.output_height) {
    JSAMPROW r = pixels.data() + d.output_scanline * 24 * 3;
    jpeg_read_scanlines(&d, &r, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);

  const unsigned char *red = &pixels[(8 * 24 + 3) * 3];
  const unsigned char *blue = &pixels[(8 * 24 + 20) * 3];
  EXPECT_GT(red[0], 230);
  EXPECT_LT(red[2], 30);
  EXPECT_LT(blue[0], 30);
  EXPECT_GT(blue[2], 230);
}
