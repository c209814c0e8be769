// Archive detection: what kind of archive a file is and, for zip archives, where its end record,
// central directory and first local header lie.
#pragma once

#include "archive/Records.h"
#include "archive/Streams.h"

#include <string>

namespace arc {

// The state detection leaves, read by the extraction run. Record buffers keep the values of the
// last detection.
struct TArchiveInfo {
  TArcType ArcType = atNA;
  int64_t ArchiveSize = 0;
  int64_t ArchiveOffset = -1; // start of the central directory, or of the first local header
  int64_t CommentPosition = 0;
  int32_t Shift = 0; // self-extractors: where the central directory lies less where it claims to
  uint32_t ArchiveDate = 0x00210020;
  int CurrentVolume = 0;
  char VolumeLetter = 0;
  THeaderTypeState HeaderState = 0;
  TLocalHeader Local{};
  TCentralHeader Central{};
  TEndRecord Ending{};
  TEndRecordExt EndingExt{};
  TZip64EndRecord Ending64{};
  TZip64Locator Locator{};
  uint8_t TarBlock[512]{};
};

// Detection over an open archive stream; FileName is the archive's name (extension rules,
// self-extractor resources, drive of a span set). Never raises.
TArcType GetArcType(TStream32 &stream, const std::string &fileName, TArchiveInfo &info,
                    THeaderCipher &cipher);
// The end-record search: the central directory's offset, 0 when no end record was found, -1
// when an end record but neither central directory nor local header was found.
int64_t FindEndOfCentralDir(TStream32 &stream, TArchiveInfo &info, THeaderCipher &cipher);
// The volume numbering that follows detection (current volume number and volume letter).
void SetVolumeNumbering(const std::string &fileName, TArchiveInfo &info);
// Whether a type is a real archive (not atNA, atUnsupported, atFileOpenErr or atUnknown).
bool IsRealArchive(TArcType type);
// Detection of a named file, as writing the archive file name runs it: a missing, empty or
// unopenable file is atNA; "/" in the name counts as "\"; a real archive gets its volume
// numbering.
TArcType DetectFile(const std::string &FileName, TArchiveInfo &Info, THeaderCipher &Cipher);

} // namespace arc
