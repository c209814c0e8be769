/* libjpeg behind a C boundary. libjpeg reports fatal errors by calling an exit routine that must
   not return; here it jumps back into the function that called libjpeg, so neither exit() nor a
   C++ exception ever runs through libjpeg's frames. Each function returns 0 on success, or
   libjpeg's message code (-1 for failures of our own) with the message's text in message. */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TkJpegInfo {
  unsigned width, height;
  int components; /* 1 grey, 3 colour, 4 CMYK or YCCK */
} TkJpegInfo;

int tkjpeg_read_info(const unsigned char *data, size_t size, TkJpegInfo *info, char *message,
                     size_t messageSize);

/* What one decoding may take: scans read (progressive files can hold any number, each costing
   a pass over the picture) and libjpeg's own memory in bytes (a progressive or multi-scan
   picture keeps all its coefficients). */
typedef struct TkJpegLimits {
  int maxScans;
  long maxMemory;
} TkJpegLimits;

/* Decodes into rows of blue, green, red bytes: grey is expanded, CMYK and YCCK converted. top is
   the top row; stride may be negative for pictures stored bottom-up. The picture must be of
   width x height pixels. */
int tkjpeg_decode_bgr(const unsigned char *data, size_t size, unsigned width, unsigned height,
                      const TkJpegLimits *limits, unsigned char *top, ptrdiff_t stride,
                      char *message, size_t messageSize);

/* Encodes rows of blue, green, red bytes. On success *out holds *outSize bytes, to be given back
   through tkjpeg_free. */
int tkjpeg_encode_bgr(const unsigned char *top, ptrdiff_t stride, unsigned width, unsigned height,
                      int grayscale, int quality, int progressive, unsigned char **out,
                      size_t *outSize, char *message, size_t messageSize);

void tkjpeg_free(unsigned char *buffer);

#ifdef __cplusplus
}
#endif
