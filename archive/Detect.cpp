#include "archive/Detect.h"

#include "archive/DiskManager.h"
#include "archive/FileInfo.h"
#include "archive/Masks.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace arc {

namespace {

constexpr int32_t Window = 32768;
constexpr int64_t NoOffset = -1;

uint16_t Le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads up to Count bytes at Position; the number really read. A position outside the file reads
// nothing, so an offset taken from a hostile file never moves the stream before its start or
// past its end.
int32_t ReadAt(TStream32 &stream, int64_t size, int64_t position, void *buffer, int32_t count) {
  if (position < 0 || count <= 0 || position >= size)
    return 0;
  if (stream.Seek(position, soFromBeginning) != position)
    return 0;
  const int64_t left = size - position;
  if (count > left)
    count = static_cast<int32_t>(left);
  uint8_t *p = static_cast<uint8_t *>(buffer);
  int32_t done = 0;
  while (done < count) {
    const int32_t got = stream.Read(p + done, count - done);
    if (got <= 0)
      break;
    done += got;
  }
  return done;
}

bool ReadExactly(TStream32 &stream, int64_t size, int64_t position, void *buffer, int32_t count) {
  return ReadAt(stream, size, position, buffer, count) == count;
}

bool IsLocalSignature(uint32_t signature) {
  return GetHeaderType(signature, htLocal, nullptr) == htLocal;
}

bool IsAceMark(const uint8_t *p) { return std::memcmp(p, "**ACE**", 7) == 0; }

std::string LowerExtension(const std::string &fileName) {
  const size_t slash = fileName.find_last_of("\\/:");
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return std::string();
  std::string ext = fileName.substr(dot);
  for (char &c : ext)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

// What a row of the signature table says about four bytes.
enum TRowKind {
  rkNone,        // not recognised
  rkType,        // a type, archive offset where the bytes lie
  rkTypeAt7716,  // a type whose archive offset is 7716
  rkZip,         // a zip local header (any form) or other "P?" record
  rkSpanCentral, // a central header first: a later volume or a spanned set
  rkSpanSplit,   // the split marker that opens the first volume of a set
};

struct TRow {
  TRowKind Kind = rkNone;
  TArcType Type = atNA;
};

TRow Row(TRowKind kind, TArcType type) { return TRow{kind, type}; }

// The signature table: the plain column for bytes at the start of a file, the executable column
// for bytes inside a file that begins with the MZ header.
TRow SignatureRow(const uint8_t *b, bool exe) {
  auto pick = [exe](TArcType plain, TArcType inExe) { return exe ? inExe : plain; };
  if (b[0] == 0x42 && b[1] == 0x48 && b[2] == 0x05 && b[3] == 0x07)
    return Row(rkType, pick(atBh, atBhExe));
  if (std::memcmp(b, "Rar!", 4) == 0)
    return Row(rkType, pick(atRar, atRarExe));
  if (std::memcmp(b, "PKG5", 4) == 0)
    return Row(rkType, atUnknown);
  if (std::memcmp(b, "MSCF", 4) == 0)
    return Row(rkType, pick(atCab, atCabExe));
  if (b[0] == 0xB7 && b[1] == 0xDF && b[2] == 0x54 && b[3] == 0x57)
    return exe ? Row(rkTypeAt7716, atArcExe) : Row(rkType, atArc);
  if (b[0] == 0x13 && b[1] == 0x5D && b[2] == 0x65 && b[3] == 0x8C)
    return Row(rkType, pick(atMsGZ, atUnsupported));
  if (b[2] == '-' && b[3] == 'l')
    return Row(rkType, pick(atLha, atLhaExe));
  if (b[0] == 0x1A) {
    if (b[1] == 0x02 || b[1] == 0x1E)
      return Row(rkType, pick(atArc, atUnsupported));
    if (b[1] == 0x08 || b[1] == 0x09)
      return Row(rkType, pick(atArc, atArcExe));
    if (b[1] == 0x0A || b[1] == 0x0B)
      return Row(rkType, pick(atPak, atPakExe));
  }
  if ((b[0] == 0x1F &&
       (b[1] == 0x1E || b[1] == 0x8B || b[1] == 0x9D || b[1] == 0x9E || b[1] == 0xA0)) ||
      (b[0] == 0x25 && b[1] == 0x21))
    return Row(rkType, pick(atGZip, atUnsupported));
  if (b[0] == 'H' && b[1] == 'A')
    return Row(rkType, pick(atHA, atUnsupported));
  if (b[0] == 'P' && b[1] >= 'K' && b[1] <= 'N') {
    if (b[2] == 0x01 && b[3] == 0x02)
      return Row(rkSpanCentral, atNA);
    if (b[2] == 0x07 && b[3] == 0x08)
      return Row(rkSpanSplit, atNA);
    if ((b[2] == 0x47 && b[3] == 0x34) || (b[2] == 0x43 && b[3] == 0x49))
      return Row(rkNone, atNA);
    return Row(rkZip, pick(atZip, atZipExe));
  }
  if (b[0] == 'Z' && b[1] == 'O')
    return Row(rkType, pick(atZoo, atUnsupported));
  if (b[0] == 0xB7 && (b[1] == 0x92 || b[1] == 0xDF))
    return Row(rkTypeAt7716, atArcExe);
  if (b[0] == 0x60 && b[1] == 0xEA)
    return Row(rkType, pick(atArj, atArjExe));
  return Row(rkNone, atNA);
}

// A set whose first bytes are a central header or the split marker: spanned over removable
// disks or split into volume files, as the archive's drive tells.
TArcType SpanType(const std::string &fileName) {
  TDiskManager manager;
  TArcType type = atNA;
  return SpanTypeOf(manager, fileName, type) ? type : atNA;
}

class TDetector {
public:
  TDetector(TStream32 &stream, const std::string &fileName, TArchiveInfo &info,
            THeaderCipher &cipher)
      : stream_(stream), fileName_(fileName), info_(info), cipher_(cipher) {}

  TArcType Run();

private:
  int32_t Read(int64_t position, void *buffer, int32_t count) {
    return ReadAt(stream_, size_, position, buffer, count);
  }
  int64_t EndSearch() { return FindEndOfCentralDir(stream_, info_, cipher_); }
  // The end-record search for a zip whose first record lies at Start: its central directory
  // when it has a usable one, else a walk of the local headers. The run walks local headers only
  // when they are all detection found, so a damaged end record must not be left beside them.
  void LocateZip(int64_t start) {
    const int64_t offset = EndSearch();
    info_.ArchiveOffset = offset;
    if (HasHeader(info_.HeaderState, htCentral))
      return;
    if (info_.HeaderState == HeaderBit(htLocal) && offset > 0)
      return; // the first local header the forward scan found
    info_.HeaderState = HeaderBit(htLocal);
    info_.ArchiveOffset = start;
  }

  TArcType Executable();
  TArcType StubTests();
  TArcType ResourceOffsets();
  TArcType DosImageEnd();
  TArcType Plain();
  // A row found inside an executable at Position (string resource or image end).
  TArcType ExecutableRow(const uint8_t *bytes, int64_t position);
  TArcType Scan(int64_t start);
  bool IsUue() const;
  bool IsTar();
  bool TarChecksumMatches(const uint8_t *block) const;

  TStream32 &stream_;
  const std::string &fileName_;
  TArchiveInfo &info_;
  THeaderCipher &cipher_;
  int64_t size_ = 0;
  std::vector<uint8_t> head_; // the first bytes of the file
};

TArcType TDetector::Run() {
  info_.CommentPosition = 0;
  info_.Shift = 0;
  info_.ArchiveOffset = NoOffset;
  info_.HeaderState = 0;
  size_ = std::max<int64_t>(stream_.GetSize(), 0);
  info_.ArchiveSize = size_;
  if (size_ <= 19)
    return atNA;

  head_.assign(Window, 0);
  head_.resize(static_cast<size_t>(Read(0, head_.data(), Window - 1)));
  if (head_.size() < 20)
    return atNA;
  if (head_[0] == 0x4D && head_[1] == 0x5A)
    return Executable();
  return Plain();
}

TArcType TDetector::Executable() {
  TArcType type = StubTests();
  if (type == atNA)
    type = ResourceOffsets();
  if (type == atNA)
    type = DosImageEnd();
  if (type == atNA) {
    info_.Ending.Signature = 0;
    const int64_t offset = EndSearch();
    if (offset > 0) {
      info_.ArchiveOffset = offset;
      type = atZipExe;
    }
  }
  if (type == atNA)
    type = Scan(17000);
  return type;
}

TArcType TDetector::StubTests() {
  static const int64_t stubs[] = {6674, 6867, 7716, 8601, 13138};
  uint8_t b[8];
  for (int64_t offset : stubs) {
    if (size_ < offset + 3)
      break;
    if (Read(offset, b, 2) != 2)
      break;
    if (b[0] == 0x1A && (b[1] == 0x08 || b[1] == 0x09)) {
      info_.ArchiveOffset = offset;
      return atArcExe;
    }
    if (b[0] == 0x1A && (b[1] == 0x0A || b[1] == 0x0B)) {
      info_.ArchiveOffset = offset;
      return atPakExe;
    }
  }
  if (size_ > 1949 && Read(1947, b, 5) == 5 && b[0] == 0x2D && b[1] == 0x6C && b[2] == 0x68 &&
      b[4] == 0x2D) {
    info_.ArchiveOffset = 1945;
    return atLhaExe;
  }
  // Stubs that carry their archive at a fixed place. Their local headers are read one after
  // another from that place, so the extraction run has entries to walk.
  for (int64_t offset : {int64_t(7612), int64_t(25661)}) {
    if (size_ > offset + 4 && Read(offset, b, 4) == 4 && Le32(b) == sigLocal) {
      info_.ArchiveOffset = offset;
      info_.HeaderState = HeaderBit(htLocal);
      return atZipExe;
    }
  }
  return atNA;
}

TArcType TDetector::ExecutableRow(const uint8_t *bytes, int64_t position) {
  const TRow row = SignatureRow(bytes, true);
  switch (row.Kind) {
  case rkNone:
    return atNA;
  case rkType:
    info_.ArchiveOffset = position;
    return row.Type;
  case rkTypeAt7716:
    info_.ArchiveOffset = 7716;
    return row.Type;
  case rkSpanCentral:
  case rkSpanSplit:
  case rkZip: {
    TArcType type = row.Type;
    if (row.Kind != rkZip) {
      type = SpanType(fileName_);
      if (type == atNA)
        return atNA;
    }
    LocateZip(position);
    return type;
  }
  }
  return atNA;
}

TArcType TDetector::ResourceOffsets() {
  const std::vector<std::string> strings = LayerModuleStrings(fileName_, 7);
  for (const std::string &text : strings) {
    if (text.empty())
      break;
    int64_t number = 0;
    bool whole = true;
    for (char c : text) {
      if (c < '0' || c > '9') {
        whole = false;
        break;
      }
      number = number * 10 + (c - '0');
    }
    if (!whole || number >= size_)
      break;
    uint8_t b[14] = {};
    const int32_t got = Read(number, b, 14);
    if (got == 14 && IsAceMark(b + 7)) {
      info_.ArchiveOffset = number;
      return atAceExe;
    }
    if (got == 14) {
      const TArcType type = ExecutableRow(b, number);
      if (type != atNA)
        return type;
    }
  }
  return atNA;
}

TArcType TDetector::DosImageEnd() {
  const int64_t pages = Le16(&head_[4]);
  const int64_t end = (pages - 1) * 512 + Le16(&head_[2]);
  if (end <= 0 || end + 4 >= size_)
    return atNA;
  uint8_t b[4];
  if (Read(end, b, 4) != 4)
    return atNA;
  int64_t candidate = end;
  if (b[2] == 0x60 && b[3] == 0xEA)
    candidate = end + 2;
  if (candidate + 4 >= size_ || Read(candidate, b, 4) != 4)
    return atNA;
  if (Le32(b) == sigLocal)
    return atNA;
  return ExecutableRow(b, candidate);
}

TArcType TDetector::Plain() {
  size_t start = 0;
  if (head_[0] == 0) {
    while (start < head_.size() && head_[start] == 0)
      ++start;
    if (size_ - static_cast<int64_t>(start) > 132 && head_.size() > 131 && head_[130] == '-' &&
        head_[131] == 'l') {
      info_.ArchiveOffset = 128;
      return atLha;
    }
  }
  TArcType type = atNA;
  if (start + 4 <= head_.size()) {
    const TRow row = SignatureRow(&head_[start], false);
    switch (row.Kind) {
    case rkNone:
      break;
    case rkType:
    case rkTypeAt7716:
      if (row.Type == atFileOpenErr || row.Type == atUnknown)
        return row.Type;
      type = row.Type;
      info_.ArchiveOffset = row.Kind == rkTypeAt7716 ? 7716 : static_cast<int64_t>(start);
      if (head_.size() >= 14 && IsAceMark(&head_[7]))
        type = atAce;
      break;
    case rkZip:
      type = row.Type;
      LocateZip(static_cast<int64_t>(start));
      break;
    case rkSpanCentral:
    case rkSpanSplit:
      type = SpanType(fileName_);
      if (type != atNA)
        LocateZip(static_cast<int64_t>(start));
      break;
    }
  }
  if (type != atNA)
    return type;

  if (head_.size() >= 14 && IsAceMark(&head_[7])) {
    info_.ArchiveOffset = 0;
    return atAce;
  }
  if (IsUue())
    return atUUE;
  if (IsTar())
    return atTar;
  const int64_t offset = EndSearch();
  if (offset > 0) {
    info_.ArchiveOffset = offset;
    if (info_.Ending.ThisDisk != 0)
      return SpanType(fileName_);
    return atZip;
  }
  if (offset == 0)
    return Scan(0);
  return atNA;
}

bool TDetector::IsUue() const {
  const size_t n = std::min<size_t>(head_.size(), 5000);
  bool sawBegin = false;
  for (size_t i = 0; i + 3 <= n; ++i) {
    if (i != 0 && head_[i - 1] != '\n')
      continue;
    const uint8_t *p = &head_[i];
    const size_t left = n - i;
    if (left >= 7 && std::memcmp(p, "begin ", 6) == 0 && (p[6] == '6' || p[6] == '7'))
      return true;
    if (left >= 5 && std::memcmp(p, "begin", 5) == 0)
      sawBegin = true;
    else if (sawBegin && p[0] == 'M')
      return true;
  }
  return false;
}

bool TDetector::TarChecksumMatches(const uint8_t *block) const {
  uint32_t stored = 0;
  for (int i = 148; i < 156; ++i)
    if (block[i] >= '0' && block[i] <= '7')
      stored = stored * 8 + (block[i] - '0');
  uint32_t sum = 0;
  for (int i = 0; i < 512; ++i)
    sum += (i >= 148 && i < 156) ? 0x20u : block[i];
  return stored == sum;
}

bool TDetector::IsTar() {
  if (size_ <= 512)
    return false;
  uint8_t *block = info_.TarBlock;
  if (Read(0, block, 512) != 512)
    return false;
  if (block[156] == 'V') {
    info_.ArchiveOffset = 512;
    if (1024 >= size_ || Read(512, block, 512) != 512) {
      info_.ArchiveOffset = NoOffset;
      return false;
    }
  }
  if (TarChecksumMatches(block))
    return true;
  info_.ArchiveOffset = NoOffset;
  return false;
}

TArcType TDetector::Scan(int64_t start) {
  if (start >= size_)
    return atNA;
  std::vector<uint8_t> block(Window);
  for (int k = 0; k < 11; ++k) {
    const int64_t base = start + int64_t(k) * Window;
    const int32_t got = Read(base, block.data(), Window);
    if (got <= 0)
      break;
    const uint8_t *p = block.data();
    for (int32_t i = 0; i < got; ++i) {
      const int64_t b = base + i;
      const int32_t left = got - i;
      const uint8_t *q = p + i;
      if (left >= 5 && std::memcmp(q, "**ACE", 5) == 0 && b + 5 < size_ && b >= 7) {
        info_.ArchiveOffset = b - 7;
        return b == 7 ? atAce : atAceExe;
      }
      if (left >= 5 && q[0] == 0x2D && q[1] == 0x6C && q[2] == 0x68 && q[4] == 0x2D &&
          b + 5 < size_ && b >= 2) {
        info_.ArchiveOffset = b - 2;
        return b == 2 ? atLha : atLhaExe;
      }
      if (left >= 4 && q[0] == 0x42 && q[1] == 0x48 && q[2] == 0x05 && q[3] == 0x07 &&
          !(left >= 8 && q[4] == 0x0F && q[5] == 0x94 && q[6] == 0xC3 && q[7] == 0x84)) {
        info_.ArchiveOffset = b;
        return b == 0 ? atBh : atBhExe;
      }
      if (left >= 8 && std::memcmp(q, "MSCF\0\0\0\0", 8) == 0 && b + 5 < size_) {
        if (start != 0) {
          info_.ArchiveOffset = b;
          return b == 0 ? atCab : atCabExe;
        }
        break; // a cabinet inside a plain file: the rest of this block says nothing
      }
      if (left >= 4 && Le32(q) == sigLocal &&
          !(left >= 8 && q[4] == 0x74 && q[5] == 0x0B && q[6] == 0x3D && q[7] == 0x00)) {
        LocateZip(b);
        return start != 0 ? atZipExe : atZip;
      }
      if (left >= 4 && std::memcmp(q, "Rar!", 4) == 0) {
        info_.ArchiveOffset = b;
        return b == 0 ? atRar : atRarExe;
      }
      if (left >= 4 && q[0] == 0x60 && q[1] == 0xEA) {
        const int32_t h = Le16(q + 2);
        const int64_t again = int64_t(i) + h + 10;
        if (i + h <= 32757 && again + 2 <= got && p[again] == 0x60 && p[again + 1] == 0xEA) {
          info_.ArchiveOffset = b;
          return b == 0 ? atArj : atArjExe;
        }
      }
    }
  }
  return atNA;
}

} // namespace

bool IsRealArchive(TArcType type) {
  return type != atNA && type != atUnsupported && type != atFileOpenErr && type != atUnknown;
}

TArcType GetArcType(TStream32 &stream, const std::string &fileName, TArchiveInfo &info,
                    THeaderCipher &cipher) {
  TArcType type = atNA;
  TDetector detector(stream, fileName, info, cipher);
  try {
    type = detector.Run();
  } catch (...) {
    // A failing read ends detection with what was found so far.
  }
  if (type == atNA && info.ArchiveSize > 19)
    type = atUnknown;
  if (IsRealArchive(type)) {
    if (info.ArchiveOffset < 0)
      info.ArchiveOffset = 0;
    if (type == atZip && LowerExtension(fileName) == ".jar")
      type = atJar;
  }
  info.ArcType = type;
  const uint32_t date = LayerFileDosDateTimeByName(fileName);
  info.ArchiveDate = date != 0 ? date : 0x00210020u;
  return type;
}

int64_t FindEndOfCentralDir(TStream32 &stream, TArchiveInfo &info, THeaderCipher &cipher) {
  const int64_t size = std::max<int64_t>(stream.GetSize(), 0);
  info.HeaderState = 0;
  if (size == 0)
    return 0;
  const int32_t window = size > Window ? Window : static_cast<int32_t>(size - 1);
  if (window < 4)
    return 0;
  std::vector<uint8_t> tail(static_cast<size_t>(window));
  const int64_t tailStart = size - window;
  const int32_t got = ReadAt(stream, size, tailStart, tail.data(), window);

  for (int32_t i = got - 4; i >= 0; --i) {
    bool enciphered = false;
    const uint32_t signature = Le32(&tail[static_cast<size_t>(i)]);
    if (GetHeaderType(signature, htEnding, &enciphered) != htEnding)
      continue;
    const int64_t endPos = tailStart + i;
    const bool extended = IsExtendedEnding(signature);
    uint8_t record[26] = {};
    const int32_t recordSize = extended ? 26 : 22;
    // An end record cut short by the end of the file is no end record.
    if (!ReadExactly(stream, size, endPos, record, recordSize))
      continue;

    info.HeaderState = HeaderBit(htEnding);
    if (enciphered) {
      cipher.Reset();
      cipher.Decipher(record + 4, recordSize - 4);
    }
    info.Locator.Signature = 0;
    info.Ending64.Signature = 0;
    uint8_t locator[20];
    uint8_t zip64[56];
    if (ReadExactly(stream, size, endPos - 20, locator, 20) && Le32(locator) == sigLocator) {
      info.HeaderState |= HeaderBit(htLocator);
      if (ReadExactly(stream, size, endPos - 76, zip64, 56) && Le32(zip64) == sigEnding64)
        info.HeaderState |= HeaderBit(htEnding64);
    }

    // Where the central directory is said to lie, and where it lies when the offsets were
    // written for a file without the stub in front (a self-extractor made by appending).
    int64_t stated = 0, real = 0;
    std::memcpy(&info.Ending, record, 22);
    if (extended) {
      std::memcpy(&info.EndingExt, record, 26);
      // The fields up to the central directory size are those of the 22-byte form.
      info.Ending.CentralOffset = static_cast<uint32_t>(info.EndingExt.CentralOffset);
      info.Ending.CommentLength = info.EndingExt.CommentLength;
      info.CommentPosition = endPos + 26;
      stated = info.EndingExt.CentralOffset > uint64_t(INT64_MAX)
                   ? -1
                   : static_cast<int64_t>(info.EndingExt.CentralOffset);
      real = endPos - info.Ending.CentralSize;
    } else {
      info.CommentPosition = endPos + 22;
      if (HasHeader(info.HeaderState, htLocator))
        std::memcpy(&info.Locator, locator, 20);
      if (HasHeader(info.HeaderState, htEnding64)) {
        std::memcpy(&info.Ending64, zip64, 56);
        if (info.Ending.ThisDisk == 0xFFFF)
          info.Ending.ThisDisk =
              static_cast<uint16_t>(std::min(uint32_t{info.Ending64.ThisDisk}, uint32_t{0xFFFE}));
        if (info.Ending.CentralDisk == 0xFFFF)
          info.Ending.CentralDisk =
              static_cast<uint16_t>(std::min(uint32_t{info.Ending64.CentralDisk}, uint32_t{0xFFFE}));
        const uint64_t offset64 = info.Ending64.CentralOffset;
        const uint64_t size64 = info.Ending64.CentralSize;
        stated = offset64 > uint64_t(size) ? -1 : static_cast<int64_t>(offset64);
        real = size64 > uint64_t(size) ? -1 : (endPos - 76) - static_cast<int64_t>(size64);
      } else {
        stated = info.Ending.CentralOffset;
        real = endPos - info.Ending.CentralSize;
      }
    }

    uint8_t central[46];
    int64_t c = stated;
    bool found = ReadExactly(stream, size, c, central, 46) &&
                 GetHeaderType(Le32(central), htCentral, nullptr) == htCentral;
    info.Shift = 0;
    if (!found) {
      if (!ReadExactly(stream, size, real, central, 46))
        return 0;
      if (GetHeaderType(Le32(central), htCentral, nullptr) == htCentral) {
        const int64_t shift = real - stated;
        if (stated >= 0 && shift >= INT32_MIN && shift <= INT32_MAX) {
          c = real;
          info.Shift = static_cast<int32_t>(shift);
          found = true;
        }
      }
    }

    if (found) {
      bool secret = false;
      GetHeaderType(Le32(central), htCentral, &secret);
      info.HeaderState |= HeaderBit(htCentral);
      if (secret) {
        cipher.Reset();
        cipher.Decipher(central + 4, 42);
      }
      std::memcpy(&info.Central, central, 46);
      uint8_t local[30];
      const int64_t at = int64_t(info.Central.LocalHeaderOffset) + info.Shift;
      if (ReadExactly(stream, size, at, local, 30) && IsLocalSignature(Le32(local))) {
        bool localSecret = false;
        GetHeaderType(Le32(local), htLocal, &localSecret);
        if (localSecret) {
          cipher.Reset();
          cipher.Decipher(local + 4, 26);
        }
        std::memcpy(&info.Local, local, 30);
        info.HeaderState |= HeaderBit(htLocal);
      }
      return c;
    }

    // No central directory where the end record says: the first local header in the first
    // blocks of the file, if any.
    std::vector<uint8_t> block(static_cast<size_t>(window));
    for (int k = 0; k < 4; ++k) {
      const int64_t base = int64_t(k) * window;
      const int32_t n = ReadAt(stream, size, base, block.data(), window);
      if (n <= 0)
        break;
      for (int32_t j = 0; j + 4 <= n; ++j) {
        if (block[static_cast<size_t>(j)] == 'P' && IsLocalSignature(Le32(&block[size_t(j)]))) {
          info.HeaderState = HeaderBit(htLocal);
          return base + j;
        }
      }
    }
    return NoOffset;
  }
  return 0;
}

void SetVolumeNumbering(const std::string &fileName, TArchiveInfo &info) {
  info.CurrentVolume = 0;
  char letter = 0;
  const char *fallback = nullptr;
  switch (info.ArcType) {
  case atAce:
    letter = 'C', fallback = "Ace";
    break;
  case atArj:
    letter = 'a', fallback = "Arj";
    break;
  case atJar:
  case atJarExe:
    letter = 'j', fallback = "Jar";
    break;
  case atRar:
  case atRarExe:
    letter = 'q', fallback = "Rar";
    break;
  default:
    return;
  }
  std::string ext = LowerExtension(fileName);
  if (!ext.empty()) {
    // The extension in its own case, without the dot.
    ext = fileName.substr(fileName.size() - ext.size() + 1);
  }
  if (ext.empty())
    ext = fallback;
  info.VolumeLetter = letter;
  // The trailing digits of the extension number the volume; nine digits at most are taken.
  size_t first = ext.size();
  while (first > 0 && ext[first - 1] >= '0' && ext[first - 1] <= '9' && ext.size() - first < 9)
    --first;
  if (first == ext.size()) {
    info.CurrentVolume = info.ArcType == atArj || info.ArcType == atArjExe ? 1 : 0;
    return;
  }
  int number = 0;
  for (size_t i = first; i < ext.size(); ++i)
    number = number * 10 + (ext[i] - '0');
  info.VolumeLetter = ext[0];
  info.CurrentVolume = number + 1;
}

TArcType DetectFile(const std::string &fileName, TArchiveInfo &info, THeaderCipher &cipher) {
  info.ArcType = atNA;
  info.ArchiveSize = 0;
  info.ArchiveOffset = NoOffset;
  info.HeaderState = 0;
  if (fileName.empty() || !LayerFileExists(fileName))
    return atNA;
  const std::string name = SlashToBackslash(fileName);
  TFileStream32 stream(name, fmOpenRead | fmShareDenyWrite);
  if (stream.Handle == InvalidFileHandle)
    return atNA;
  const TArcType type = GetArcType(stream, name, info, cipher);
  if (IsRealArchive(type))
    SetVolumeNumbering(name, info);
  return type;
}

} // namespace arc
