#include "toolkit/graphics/JpegShim.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jerror.h>
#include <jpeglib.h>

typedef struct ShimError {
  struct jpeg_error_mgr pub;
  jmp_buf jump;
  char *message;
  size_t messageSize;
  int code;
} ShimError;

static void SetMessage(ShimError *err, int code, const char *text) {
  err->code = code;
  if (err->message && err->messageSize > 0)
    snprintf(err->message, err->messageSize, "%s", text);
}

static void ErrorExit(j_common_ptr cinfo) {
  ShimError *err = (ShimError *)cinfo->err;
  char text[JMSG_LENGTH_MAX];
  if (err->pub.msg_code == JERR_NO_BACKING_STORE) /* what the memory limit looks like */
    snprintf(text, sizeof(text), "The picture needs more memory than the reader allows");
  else
    err->pub.format_message(cinfo, text);
  SetMessage(err, err->pub.msg_code ? err->pub.msg_code : -1, text);
  longjmp(err->jump, 1);
}

/* Warnings (a damaged tail, say) still give a picture; nobody is there to read them. */
static void OutputMessage(j_common_ptr cinfo) { (void)cinfo; }

static struct jpeg_error_mgr *InitError(ShimError *err, char *message, size_t messageSize) {
  jpeg_std_error(&err->pub);
  err->pub.error_exit = ErrorExit;
  err->pub.output_message = OutputMessage;
  err->message = message;
  err->messageSize = messageSize;
  err->code = 0;
  if (message && messageSize > 0)
    message[0] = '\0';
  return &err->pub;
}

/* Our own failures leave through the same door as libjpeg's. */
static void Fail(ShimError *err, const char *text) {
  SetMessage(err, -1, text);
  longjmp(err->jump, 1);
}

int tkjpeg_read_info(const unsigned char *data, size_t size, TkJpegInfo *info, char *message,
                     size_t messageSize) {
  struct jpeg_decompress_struct d;
  ShimError err;
  memset(&d, 0, sizeof(d));
  d.err = InitError(&err, message, messageSize);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&d);
    return err.code;
  }
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, data, (unsigned long)size);
  jpeg_read_header(&d, TRUE);
  info->width = d.image_width;
  info->height = d.image_height;
  info->components = d.num_components;
  jpeg_destroy_decompress(&d);
  return 0;
}

static unsigned char Scale(unsigned a, unsigned b) { return (unsigned char)((a * b + 127) / 255); }

/* libjpeg calls its progress monitor between the steps of its work, before each scan included,
   which makes it the place to stop a file of endless scans. */
typedef struct ScanLimit {
  struct jpeg_progress_mgr pub;
  int maxScans;
} ScanLimit;

static void CheckScans(j_common_ptr cinfo) {
  ScanLimit *limit = (ScanLimit *)cinfo->progress;
  if (((j_decompress_ptr)cinfo)->input_scan_number > limit->maxScans) {
    char text[80];
    snprintf(text, sizeof(text), "The picture has more than %d scans", limit->maxScans);
    Fail((ShimError *)cinfo->err, text);
  }
}

int tkjpeg_decode_bgr(const unsigned char *data, size_t size, unsigned width, unsigned height,
                      const TkJpegLimits *limits, unsigned char *top, ptrdiff_t stride,
                      char *message, size_t messageSize) {
  struct jpeg_decompress_struct d;
  ShimError err;
  ScanLimit scanLimit;
  /* Rows of a colour model other than three channels come here first. Volatile: it must
     survive the jump back. */
  unsigned char *volatile workRow = NULL;
  memset(&d, 0, sizeof(d));
  d.err = InitError(&err, message, messageSize);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&d);
    free(workRow);
    return err.code;
  }
  jpeg_create_decompress(&d);
  d.mem->max_memory_to_use = limits->maxMemory;
  memset(&scanLimit, 0, sizeof(scanLimit));
  scanLimit.pub.progress_monitor = CheckScans;
  scanLimit.maxScans = limits->maxScans;
  d.progress = &scanLimit.pub;
  jpeg_mem_src(&d, data, (unsigned long)size);
  jpeg_read_header(&d, TRUE);
  switch (d.jpeg_color_space) {
  case JCS_GRAYSCALE:
    d.out_color_space = JCS_GRAYSCALE;
    break;
  case JCS_CMYK:
  case JCS_YCCK:
    d.out_color_space = JCS_CMYK;
    break;
  default:
    d.out_color_space = JCS_EXT_BGR;
  }
  jpeg_start_decompress(&d);
  if (d.output_width != width || d.output_height != height)
    Fail(&err, "The picture's size differs from its header's");
  if (d.output_components != 3) {
    workRow = (unsigned char *)malloc((size_t)width * (size_t)d.output_components);
    if (!workRow)
      ERREXIT1(&d, JERR_OUT_OF_MEMORY, 0);
  }
  while (d.output_scanline < d.output_height) {
    unsigned char *dst = top + (ptrdiff_t)d.output_scanline * stride;
    unsigned char *buf = workRow;
    JSAMPROW row = buf ? buf : dst;
    unsigned x;
    if (jpeg_read_scanlines(&d, &row, 1) != 1)
      Fail(&err, "The picture's data ended early");
    if (!buf)
      continue;
    if (d.output_components == 1) {
      for (x = 0; x < width; ++x)
        dst[x * 3] = dst[x * 3 + 1] = dst[x * 3 + 2] = buf[x];
    } else {
      /* Adobe's files store CMYK inverted: there 255 means no ink. */
      for (x = 0; x < width; ++x) {
        const unsigned char *p = buf + x * 4;
        unsigned c = p[0], m = p[1], y = p[2], k = p[3];
        if (!d.saw_Adobe_marker) {
          c = 255 - c;
          m = 255 - m;
          y = 255 - y;
          k = 255 - k;
        }
        dst[x * 3] = Scale(y, k);
        dst[x * 3 + 1] = Scale(m, k);
        dst[x * 3 + 2] = Scale(c, k);
      }
    }
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  free(workRow);
  return 0;
}

/* A destination that grows a malloc'd buffer of our own, so the buffer's owner is never in
   doubt when compression fails halfway. */
typedef struct GrowingDest {
  struct jpeg_destination_mgr pub;
  unsigned char *buffer;
  size_t capacity, size;
} GrowingDest;

static void InitDestination(j_compress_ptr cinfo) {
  GrowingDest *dest = (GrowingDest *)cinfo->dest;
  dest->capacity = 65536;
  dest->buffer = (unsigned char *)malloc(dest->capacity);
  if (!dest->buffer)
    ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = dest->capacity;
}

static boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  /* Called with the whole buffer full. */
  GrowingDest *dest = (GrowingDest *)cinfo->dest;
  size_t capacity = dest->capacity * 2;
  unsigned char *buffer = (unsigned char *)realloc(dest->buffer, capacity);
  if (!buffer)
    ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
  dest->buffer = buffer;
  dest->pub.next_output_byte = buffer + dest->capacity;
  dest->pub.free_in_buffer = capacity - dest->capacity;
  dest->capacity = capacity;
  return TRUE;
}

static void TermDestination(j_compress_ptr cinfo) {
  GrowingDest *dest = (GrowingDest *)cinfo->dest;
  dest->size = dest->capacity - dest->pub.free_in_buffer;
}

int tkjpeg_encode_bgr(const unsigned char *top, ptrdiff_t stride, unsigned width, unsigned height,
                      int grayscale, int quality, int progressive, unsigned char **out,
                      size_t *outSize, char *message, size_t messageSize) {
  struct jpeg_compress_struct c;
  ShimError err;
  GrowingDest dest;
  unsigned char *volatile workRow = NULL;
  memset(&c, 0, sizeof(c));
  memset(&dest, 0, sizeof(dest));
  *out = NULL;
  *outSize = 0;
  c.err = InitError(&err, message, messageSize);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&c);
    free(dest.buffer);
    free(workRow);
    return err.code;
  }
  jpeg_create_compress(&c);
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = EmptyOutputBuffer;
  dest.pub.term_destination = TermDestination;
  c.dest = &dest.pub;
  c.image_width = width;
  c.image_height = height;
  c.input_components = grayscale ? 1 : 3;
  c.in_color_space = grayscale ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive)
    jpeg_simple_progression(&c);
  if (grayscale) {
    workRow = (unsigned char *)malloc(width ? width : 1);
    if (!workRow)
      ERREXIT1(&c, JERR_OUT_OF_MEMORY, 2);
  }
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    const unsigned char *src = top + (ptrdiff_t)c.next_scanline * stride;
    JSAMPROW row = (JSAMPROW)src;
    if (grayscale) {
      unsigned char *buf = workRow;
      unsigned x;
      for (x = 0; x < width; ++x) /* ITU-R 601 weights, in 1/1000 */
        buf[x] = (unsigned char)((114u * src[x * 3] + 587u * src[x * 3 + 1] +
                                  299u * src[x * 3 + 2] + 500) /
                                 1000);
      row = buf;
    }
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  free(workRow);
  *out = dest.buffer;
  *outSize = dest.size;
  return 0;
}

void tkjpeg_free(unsigned char *buffer) { free(buffer); }
