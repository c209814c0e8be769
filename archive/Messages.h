// The archive reader's error codes and their texts.
#pragma once

#include <cstdint>

namespace arc {

enum : int32_t {
  ecBadFileHeader = 25114,
  ecBadBlock = 25116,
  ecWriteError = 25136,
  ecCloseError = 25138,
  ecDecompressionError = 25153,
  ecCrcFailed = 25151,
  ecDiskFull = 25160,
  ecNotAccessible = 25170,
  ecWriteProtected = 25171,
  ecFileNotFound = 25192,
  ecOpenError = 25235,
  ecReadError = 25236,
  ecInvalidFileName = 25245,
  ecEventNotAssigned = 25270,
  ecAmbiguousTree = 25293,
  ecStackOverflow = 25299,
  ecUnsupportedMethod = 25326,
  ecUserCanceled = 25443,
  ecInvalidPassword = 26517,
};

// The text of a code; "" for a code outside the table.
const char *ArcMessage(int32_t code);

} // namespace arc
