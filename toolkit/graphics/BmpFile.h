// The .bmp reader and writer, portable: a file's bytes to a pixel buffer and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/graphics/Pixels.h"

namespace tk::bmp_file {

// A .bmp file: the file header, then a DIB. The DIB may have the OS/2 core header or a Windows
// header of any version, 1, 4, 8, 16, 24 or 32 bits, run-length rows (4 and 8 bits) or bit fields
// (16 and 32 bits, converted to pf32bit unless a format of ours stores them as they are), rows
// bottom-up or top-down. Raises EInvalidGraphic with the class library's text for anything else,
// anything damaged and anything beyond the limits; the store is asked for room only once the
// headers have been checked.
pixels::TPixelLayout Read(const void *data, size_t size, pixels::TPixelStore &store);
// A DIB alone, as bitmap resources hold it. bitsOffset counts from the DIB's start; the pixels
// follow the colour table when it is 0 or cannot be right.
pixels::TPixelLayout ReadDib(const void *data, size_t size, size_t bitsOffset,
                             pixels::TPixelStore &store);

// A .bmp file with a BITMAPINFOHEADER and the rows as they are (bottom-up); pf16bit carries its
// bit fields. An empty picture gives no bytes.
std::vector<uint8_t> Write(const pixels::TPixelLayout &layout, const uint8_t *bits);

} // namespace tk::bmp_file
