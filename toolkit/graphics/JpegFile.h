// The JPEG reader, portable: a file's bytes through libjpeg (behind JpegShim) to a pixel buffer.
#pragma once

#include <cstddef>

#include "toolkit/graphics/Pixels.h"

namespace tk::jpeg_file {

// What one picture may cost beyond its pixels (which Pixels.h limits): the scans read, and
// libjpeg's own memory. 100 scans are ten times what encoders write for a progressive picture;
// 256 MB hold the coefficients of a progressive 8K x 8K colour picture with the usual halved
// colour detail (4:2:0).
inline constexpr int kMaxScans = 100;
inline constexpr long kMaxMemory = 256L << 20;

// Decodes into pf24bit rows, bottom row first; grey pictures come out grey in all three
// channels and say so in grayscale. Raises EInvalidGraphic ("JPEG error ...") for a file libjpeg
// refuses and for one beyond the limits; warnings (a damaged tail, say) still give a picture.
pixels::TPixelLayout Read(const void *data, size_t size, pixels::TPixelStore &store,
                          bool &grayscale);

// Raises EInvalidGraphic with the class library's JPEG error text for one of the shim's codes.
[[noreturn]] void RaiseError(int code, const char *message);

} // namespace tk::jpeg_file
