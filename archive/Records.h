// The zip records the reader uses, byte for byte as they lie in an archive (little-endian), the
// four signature forms of each record and the deciphering of enciphered header forms.
#pragma once

#include "archive/Cipher.h"
#include "archive/Masks.h"

#include <cstdint>

namespace arc {

// Plain signatures; the enciphered and second-kind forms differ in their second byte.
enum : uint32_t {
  sigLocal = 0x04034B50,
  sigCentral = 0x02014B50,
  sigEnding = 0x06054B50,
  sigEndingExt = 0x06055B50, // the 26-byte end record ("P[" 5 6; "P\" 5 6 enciphered)
  sigLocator = 0x07064B50,
  sigEnding64 = 0x06064B50,
  sigDescriptor = 0x08074B50, // opens the first volume of a split set
};

#pragma pack(push, 1)
struct TLocalHeader {
  uint32_t Signature;
  uint16_t VersionNeeded;
  uint16_t Flags; // bit 0 encrypted, 1 8 KB implode window, 2 implode literal tree, 3 descriptor
  uint16_t Method;
  uint32_t DosDateTime; // time in the low word
  uint32_t Crc32;
  uint32_t CompressedSize; // low 32 bits
  uint32_t UncompressedSize;
  uint16_t NameLength;
  uint16_t ExtraLength;
};

struct TCentralHeader {
  uint32_t Signature;
  uint16_t VersionMadeBy;
  uint16_t VersionNeeded;
  uint16_t Flags;
  uint16_t Method;
  uint32_t DosDateTime;
  uint32_t Crc32;
  uint32_t CompressedSize;
  uint32_t UncompressedSize;
  uint16_t NameLength;
  uint16_t ExtraLength;
  uint16_t CommentLength;
  uint16_t DiskNumberStart;
  uint16_t InternalAttributes;
  uint32_t ExternalAttributes; // 0x10: a folder
  uint32_t LocalHeaderOffset;  // low 32 bits
};

struct TEndRecord {
  uint32_t Signature;
  uint16_t ThisDisk;
  uint16_t CentralDisk; // where the central directory starts
  uint16_t EntriesHere;
  uint16_t EntriesTotal;
  uint32_t CentralSize;
  uint32_t CentralOffset;
  uint16_t CommentLength;
};

struct TEndRecordExt {
  uint32_t Signature;
  uint16_t ThisDisk;
  uint16_t CentralDisk;
  uint16_t EntriesHere;
  uint16_t EntriesTotal;
  uint32_t CentralSize;
  uint64_t CentralOffset;
  uint16_t CommentLength;
};

struct TZip64EndRecord {
  uint32_t Signature;
  uint64_t RecordSize;
  uint16_t VersionMadeBy;
  uint16_t VersionNeeded;
  uint32_t ThisDisk;
  uint32_t CentralDisk;
  uint64_t EntriesHere;
  uint64_t EntriesTotal;
  uint64_t CentralSize;
  uint64_t CentralOffset;
};

struct TZip64Locator {
  uint32_t Signature;
  uint32_t Zip64Disk;
  uint64_t Zip64Offset;
  uint32_t TotalDisks;
};
#pragma pack(pop)

static_assert(sizeof(TLocalHeader) == 30 && sizeof(TCentralHeader) == 46);
static_assert(sizeof(TEndRecord) == 22 && sizeof(TEndRecordExt) == 26);
static_assert(sizeof(TZip64EndRecord) == 56 && sizeof(TZip64Locator) == 20);

// Which records detection found: a set of THeaderType, one bit each.
using THeaderTypeState = uint8_t;
constexpr THeaderTypeState HeaderBit(THeaderType t) { return THeaderTypeState(1u << t); }
constexpr bool HasHeader(THeaderTypeState s, THeaderType t) { return (s & HeaderBit(t)) != 0; }

// The record kind of a signature (any of its four forms), htNone when it is none of
// htLocal/htCentral/htEnding; Enciphered tells whether the form's bytes after the signature
// must be deciphered. Expected limits the answer to that kind (htNone: any kind).
THeaderType GetHeaderType(uint32_t signature, THeaderType expected, bool *enciphered);
// Whether an end-record signature is one of the 26-byte forms ("P[" or "P\" 5 6).
bool IsExtendedEnding(uint32_t signature);

// Enciphered header forms: the keys are reset from the header key state, then the bytes after
// the signature and, without a new reset, the name that follows are deciphered in place.
// The header key state is built at run time from constants of the unit; no archive made by
// other tools uses the enciphered forms.
class THeaderCipher {
public:
  THeaderCipher();                            // builds the header key state
  void Reset();                               // working keys := header key state
  void Decipher(void *buffer, int64_t count); // continues with the working keys
  void Encipher(void *buffer, int64_t count); // for tests: the inverse of Decipher
private:
  TZipKeys base_, working_;
};

} // namespace arc
