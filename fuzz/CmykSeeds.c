/* Writes the four-channel JPEG seeds of JpegFuzz into the folder given, which cjpeg cannot make:
   CMYK and YCCK with Adobe's marker (inverted ink, as Adobe's programs write it), CMYK without
   it, and a progressive CMYK picture. 19 x 11 pixels: edges that fill no whole block. */
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

static int Write(const char *folder, const char *name, J_COLOR_SPACE space, int adobe,
                 int progressive) {
  char path[4096];
  struct jpeg_compress_struct c;
  struct jpeg_error_mgr err;
  JSAMPLE row[19 * 4];
  FILE *file;
  snprintf(path, sizeof(path), "%s/%s", folder, name);
  file = fopen(path, "wb");
  if (!file)
    return 1;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, file);
  c.image_width = 19;
  c.image_height = 11;
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, space);
  c.write_Adobe_marker = adobe ? TRUE : FALSE;
  if (progressive)
    jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW rows[1];
    int x;
    for (x = 0; x < 19; ++x) {
      row[x * 4] = (JSAMPLE)(x * 13);
      row[x * 4 + 1] = (JSAMPLE)(c.next_scanline * 23);
      row[x * 4 + 2] = (JSAMPLE)(x < 9 ? 255 : 0);
      row[x * 4 + 3] = (JSAMPLE)(200 - x * 5);
    }
    rows[0] = row;
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return fclose(file) != 0;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: cmyk_seeds FOLDER\n");
    return 2;
  }
  return Write(argv[1], "cmyk-adobe.jpg", JCS_CMYK, 1, 0) |
         Write(argv[1], "ycck-adobe.jpg", JCS_YCCK, 1, 0) |
         Write(argv[1], "cmyk-plain.jpg", JCS_CMYK, 0, 0) |
         Write(argv[1], "cmyk-progressive.jpg", JCS_CMYK, 1, 1);
}
