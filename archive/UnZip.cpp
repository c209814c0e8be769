#include "archive/UnZip.h"

#include "archive/Cipher.h"
#include "archive/Crc.h"
#include "archive/FileInfo.h"
#include "archive/InflateDecoder.h"
#include "archive/Legacy.h"
#include "archive/Masks.h"
#include "archive/Messages.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <iterator>

namespace arc {

namespace {

constexpr int32_t ChunkSize = 32768;
constexpr size_t NameBufferLength = 255; // the longest stored name the reader takes

int64_t Join48(uint16_t high, uint32_t low) { return (int64_t(high) << 32) | int64_t(low); }

// A window of another stream: the entry's compressed data and nothing beyond it, so no decoder
// can read into the next record however its data is made. The data of an entry of a set may go
// on in the next volumes: at the end of one the window asks for the next and reads on from its
// start. Only the volume in reach can be read again.
class TWindowStream : public TStream32 {
public:
  using TNextVolume = std::function<TStream32 *()>;
  TWindowStream(TStream32 &base, int64_t start, int64_t size, TNextVolume next = {})
      : base_(&base), next_(std::move(next)), volumeStart_(start),
        size_(std::max<int64_t>(size, 0)) {
    pieceLength_ = next_ ? std::clamp<int64_t>(base.GetSize() - start, 0, size_) : size_;
  }
  int32_t Read(void *buffer, int32_t count) override {
    if (count <= 0 || pos_ >= size_ || pos_ < pieceStart_)
      return 0;
    while (pos_ >= pieceStart_ + pieceLength_) {
      if (!next_ || broken_)
        return 0;
      TStream32 *following = next_();
      const int64_t start = pieceStart_ + pieceLength_;
      const int64_t length =
          following ? std::clamp<int64_t>(following->GetSize(), 0, size_ - start) : 0;
      if (length == 0) {
        broken_ = true; // no volume, or one with nothing to give: the data ends here
        return 0;
      }
      base_ = following;
      pieceStart_ = start;
      pieceLength_ = length;
      volumeStart_ = 0;
    }
    const int64_t at = volumeStart_ + (pos_ - pieceStart_);
    const int32_t n = int32_t(std::min<int64_t>(count, pieceStart_ + pieceLength_ - pos_));
    if (base_->Seek(at, soFromBeginning) != at)
      return 0;
    const int32_t got = std::max(base_->Read(buffer, n), 0);
    pos_ += got;
    return got;
  }
  int32_t Write(const void *, int32_t) override { return -1; }
  int64_t Seek(int64_t offset, int origin) override {
    int64_t target = origin == soFromBeginning ? offset
                     : origin == soFromCurrent ? pos_ + offset
                                               : size_ + offset;
    pos_ = std::clamp<int64_t>(target, 0, size_);
    return pos_;
  }
  int64_t GetSize() override { return size_; }

private:
  TStream32 *base_;
  TNextVolume next_;
  int64_t volumeStart_; // where the piece in reach starts in its volume
  int64_t size_, pos_ = 0;
  int64_t pieceStart_ = 0, pieceLength_ = 0; // the part of the data the volume in reach holds
  bool broken_ = false;
};

bool IsSpanType(TArcType type) { return type == atZipDS || type == atZipMV; }

// Bytes read into memory, read back as a stream.
class TBytesStream : public TStream32 {
public:
  explicit TBytesStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  int32_t Read(void *buffer, int32_t count) override {
    const int64_t n = std::clamp<int64_t>(int64_t(bytes_.size()) - pos_, 0, std::max(count, 0));
    if (n > 0)
      std::memcpy(buffer, bytes_.data() + pos_, size_t(n));
    pos_ += n;
    return int32_t(n);
  }
  int32_t Write(const void *, int32_t) override { return -1; }
  int64_t Seek(int64_t offset, int origin) override {
    const int64_t base = origin == soFromBeginning ? 0
                         : origin == soFromCurrent ? pos_
                                                   : int64_t(bytes_.size());
    pos_ = std::clamp<int64_t>(base + offset, 0, int64_t(bytes_.size()));
    return pos_;
  }
  int64_t GetSize() override { return int64_t(bytes_.size()); }

private:
  std::vector<uint8_t> bytes_;
  int64_t pos_ = 0;
};

} // namespace

TUnZip::TUnZip(tk::TComponent *owner) : TUnBase(owner) {}

TUnZip::~TUnZip() = default;

void TUnZip::SetZipCmntBufSize(int32_t size) {
  zipCmntBufSize_ = std::clamp<int32_t>(size, 2000, 32767);
}

bool TUnZip::CheckPassword(uint8_t work[24]) {
  return arc::CheckHeader(work, entry_.Flags, entry_.LocalCrc32, password_, entry_.LocalDosDate);
}

// ---- the run ------------------------------------------------------------------------------

void TUnZip::ExtractEntries(std::unique_ptr<TStream32> &archive) {
  archive_ = &archive;
  runArchiveFile_ = archiveFile_;
  try {
    list_.Init();
    taken_.Clear();
    totalCompressed_ = totalUncompressed_ = 0;
    if (info_.ArcType == atZipDS) {
      // The directory is on the last disk: that one first.
      diskSpan_.Init(
          this, &cancelled_, &diskManager_,
          [this](const std::string &FileName, const std::string &ExtendedMsg,
                 const std::string &VolumeID,
                 int32_t ECode) { ReportError(FileName, ExtendedMsg, VolumeID, ECode); },
          [this](const std::string &FileName, const std::string &ExtendedMsg,
                 const std::string &VolumeID,
                 int32_t ECode) { RaiseError(FileName, ExtendedMsg, VolumeID, ECode); });
    }
    // Without the disk that holds the directory there is nothing to read.
    if (info_.ArcType != atZipDS || diskSpan_.RequestDisk(archive)) {
      volumeNumber_ = info_.HeaderState == HeaderBit(htLocal) || !IsSpanType(info_.ArcType)
                          ? 1
                          : info_.Ending.ThisDisk + 1;
      archiveSize_ = archive->GetSize();
      if (IsSpanType(info_.ArcType) && info_.Ending.CentralDisk < info_.Ending.ThisDisk) {
        if (ReadSpannedDirectory() > 0)
          ExtractCentralEntries(**archive_);
      } else if (info_.HeaderState == HeaderBit(htLocal)) {
        if (ScanLocalHeaders(*archive) > 0)
          ExtractLocalEntries(**archive_);
      } else if (ReadCentralDirectory(*archive) > 0) {
        const int64_t start = std::max<int64_t>(info_.ArchiveOffset, 0);
        taken_.Take(uint16_t(volumeNumber_), start, start + directoryLength_);
        ExtractCentralEntries(**archive_);
      }
    }
  } catch (...) {
    // An exception inside the run ends it quietly.
  }
  list_.Clear();
  taken_.Clear();
  archive_ = nullptr;
}

int32_t TUnZip::ReadSpannedDirectory() {
  // The directory begins on an earlier volume and goes on over the next ones: it is read whole
  // from there, volume after volume, then walked in memory.
  // Detection, which looks at the last volume alone, found no directory there; this run has one.
  info_.HeaderState = HeaderBit(htEnding) | HeaderBit(htCentral);
  const int64_t start = info_.Ending.CentralOffset;
  const int64_t size = info_.Ending.CentralSize;
  if (!BringVolume(uint16_t(info_.Ending.CentralDisk + 1), start))
    return 0;
  TWindowStream window(**archive_, start, size, [this] { return NextDataVolume(); });
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> chunk(ChunkSize);
  // A hostile size costs no more memory than the volumes really hold.
  for (int32_t n; (n = window.Read(chunk.data(), ChunkSize)) > 0;)
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
  TBytesStream directory(std::move(bytes));
  const int64_t offset = info_.ArchiveOffset;
  const int32_t shift = info_.Shift;
  info_.ArchiveOffset = 0;
  info_.Shift = 0;
  archiveSize_ = directory.GetSize();
  const int32_t count = ReadCentralDirectory(directory);
  taken_.Take(uint16_t(info_.Ending.CentralDisk + 1), start, start + directoryLength_);
  info_.ArchiveOffset = offset;
  info_.Shift = shift;
  archiveSize_ = *archive_ ? (*archive_)->GetSize() : 0;
  return count;
}

bool TUnZip::OpenNextVolume(std::unique_ptr<TStream32> &archive, int32_t volume, int32_t lastDisk) {
  return OpenNextVolumeStream(archive, volume, lastDisk);
}

bool TUnZip::BringVolume(uint16_t volume, int64_t offset) {
  if (volume == volumeNumber_ && *archive_)
    return true;
  if (info_.ArcType == atZipDS) {
    diskSpan_.WantedDisk = volume;
    diskSpan_.WantedOffset = offset;
    if (!diskSpan_.RequestDisk(*archive_))
      return false;
    volumeNumber_ = volume;
    volumeName_ = runArchiveFile_;
    return true;
  }
  const int32_t lastDisk = localMode_ ? 9999 : info_.Ending.ThisDisk;
  return OpenNextVolume(*archive_, int32_t(volume) - 1, lastDisk) && volumeNumber_ == volume;
}

TStream32 *TUnZip::NextDataVolume() {
  if (cancelled_ || volumeNumber_ >= 0xFFFF)
    return nullptr;
  if (!BringVolume(uint16_t(volumeNumber_ + 1), -1))
    return nullptr;
  return archive_->get();
}

std::string TUnZip::ReadName(TStream32 &archive, uint16_t length, bool enciphered, bool &ok) {
  std::string name(length, '\0');
  const int32_t got = length ? std::max(archive.Read(name.data(), length), 0) : 0;
  ok = got == length;
  if (enciphered)
    headerCipher_.Decipher(name.data(), got);
  name.resize(size_t(got));
  return name;
}

void TUnZip::AddToTotals(const TEntryRecord &record, uint16_t flags, uint32_t dosDate) {
  if (dosDate > newestDate_)
    newestDate_ = dosDate;
  totalCompressed_ += record.CompressedSize - ((flags & 1) ? 12 : 0);
  totalUncompressed_ += record.UncompressedSize;
}

int32_t TUnZip::ReadCentralDirectory(TStream32 &archive) {
  const int64_t start = std::max<int64_t>(info_.ArchiveOffset, 0);
  int64_t position = start;
  const int firstDisk = info_.Ending.CentralDisk, lastDisk = info_.Ending.ThisDisk;
  int64_t walked = 0;
  for (int disk = firstDisk; disk <= lastDisk && !cancelled_; ++disk) {
    while (!cancelled_ && position + 46 <= archiveSize_) {
      TCentralHeader central{};
      if (archive.Seek(position, soFromBeginning) != position || archive.Read(&central, 46) != 46)
        break;
      bool enciphered = false;
      if (GetHeaderType(central.Signature, htCentral, &enciphered) != htCentral)
        break;
      if (enciphered) {
        headerCipher_.Reset();
        headerCipher_.Decipher(reinterpret_cast<uint8_t *>(&central) + 4, 42);
      }
      bool ok = false;
      const std::string name = ReadName(archive, central.NameLength, enciphered, ok);
      if (!ok)
        break;
      const TExtraHighParts high =
          ReadExtraFields(archive, central.ExtraLength, 1, &central.UncompressedSize,
                          &central.CompressedSize, &central.LocalHeaderOffset);
      const std::string local = StoredNameToLocal(name, TranslateOemChar, central.Flags);
      if (arc::EntrySelected(local, fileSpec_, RecurseDirs)) {
        TEntryRecord record;
        record.ExternalAttributes = central.ExternalAttributes;
        record.Volume = uint16_t(central.DiskNumberStart + 1);
        record.Offset = Join48(high.Offset, central.LocalHeaderOffset) + info_.Shift;
        record.CompressedSize = Join48(high.Compressed, central.CompressedSize);
        record.UncompressedSize = Join48(high.Uncompressed, central.UncompressedSize);
        bool listed = true;
        if (!IsSpanType(info_.ArcType)) {
          TLocalHeader header{};
          listed = record.Offset >= 0 && record.Offset + 30 <= archiveSize_ &&
                   archive.Seek(record.Offset, soFromBeginning) == record.Offset &&
                   archive.Read(&header, 30) == 30 &&
                   GetHeaderType(header.Signature, htLocal, nullptr) == htLocal;
          if (!listed) {
            ReportError(local, "", "0", ecBadFileHeader);
            ++failed_;
          }
        }
        if (listed) {
          // The central header and the stored name travel with the record.
          std::vector<uint8_t> block(46 + name.size());
          std::memcpy(block.data(), &central, 46);
          std::memcpy(block.data() + 46, name.data(), name.size());
          list_.AddHeader(record, block.data(), block.size());
          AddToTotals(record, central.Flags, central.DosDateTime);
        }
      }
      ++walked;
      position += 46 + int64_t(central.NameLength) + central.ExtraLength + central.CommentLength;
    }
  }
  directoryLength_ = position - start;
  // A directory that breaks off before the count its end record gives loses the entries after
  // the break: they count as failed, so the caller does not take the run for a whole one.
  int64_t expected = info_.Ending.EntriesTotal;
  if (expected == 0xFFFF && HasHeader(info_.HeaderState, htEnding64))
    expected = int64_t(std::min<uint64_t>(info_.Ending64.EntriesTotal, uint64_t(INT32_MAX)));
  if (!cancelled_ && walked < expected) {
    ReportError(archiveFile_, "", "0", ecBadFileHeader);
    failed_ += int32_t(std::min<int64_t>(expected - walked, INT32_MAX - failed_));
  }
  return list_.Count();
}

int32_t TUnZip::ScanLocalHeaders(TStream32 &archive) {
  if (OnCorruptZipHeader) {
    bool cancel = true;
    {
      TTimerPause pause(timer_);
      OnCorruptZipHeader(this, info_.HeaderState, cancel);
    }
    if (cancel)
      return 0;
  }
  int64_t position = std::max<int64_t>(info_.ArchiveOffset, 0);
  TLocalHeader header{};
  auto readHeader = [&] {
    header = TLocalHeader{};
    return position + 30 <= archiveSize_ && archive.Seek(position, soFromBeginning) == position &&
           archive.Read(&header, 30) == 30;
  };
  bool more = readHeader();
  if (more && header.Signature == sigDescriptor) {
    position += 4; // the marker that opens a split archive
    more = readHeader();
  }
  while (more && !cancelled_) {
    bool enciphered = false;
    if (GetHeaderType(header.Signature, htLocal, &enciphered) != htLocal)
      break;
    if (enciphered) {
      headerCipher_.Reset();
      headerCipher_.Decipher(reinterpret_cast<uint8_t *>(&header) + 4, 26);
    }
    bool ok = false;
    const std::string name = ReadName(archive, header.NameLength, enciphered, ok);
    if (!ok)
      break;
    const TExtraHighParts high = ReadExtraFields(
        archive, header.ExtraLength, 0, &header.UncompressedSize, &header.CompressedSize, nullptr);
    const std::string local = StoredNameToLocal(name, TranslateOemChar, header.Flags);
    TEntryRecord record;
    record.Offset = position;
    record.CompressedSize = Join48(high.Compressed, header.CompressedSize);
    record.UncompressedSize = Join48(high.Uncompressed, header.UncompressedSize);
    if (!local.empty() && arc::EntrySelected(local, fileSpec_, RecurseDirs)) {
      list_.AddHeader(record, nullptr, 0);
      AddToTotals(record, header.Flags, header.DosDateTime);
    }
    // The walk goes on only within the archive; an entry whose data runs past its end is the
    // last (its extraction reports it).
    const int64_t next =
        position + 30 + header.NameLength + header.ExtraLength + record.CompressedSize;
    if (next + 4 > archiveSize_)
      break;
    position = next;
    more = readHeader();
  }
  return list_.Count();
}

void TUnZip::ExtractCentralEntries(TStream32 &archive) {
  (void)archive; // the run's stream, which the walk follows from volume to volume
  ExtractListed(true);
}

void TUnZip::ExtractLocalEntries(TStream32 &archive) {
  (void)archive;
  ExtractListed(false);
}

bool TUnZip::ReadLocalHeader(TStream32 &archive, int64_t offset, TLocalHeader &header,
                             std::string &name, TExtraHighParts &high) {
  header = TLocalHeader{};
  if (offset < 0 || offset + 30 > archiveSize_ || archive.Seek(offset, soFromBeginning) != offset ||
      archive.Read(&header, 30) != 30)
    return false;
  bool enciphered = false;
  if (GetHeaderType(header.Signature, htLocal, &enciphered) != htLocal)
    return false;
  if (enciphered) {
    headerCipher_.Reset();
    headerCipher_.Decipher(reinterpret_cast<uint8_t *>(&header) + 4, 26);
  }
  bool ok = false;
  name = ReadName(archive, header.NameLength, enciphered, ok);
  if (!ok)
    return false;
  high = ReadExtraFields(archive, header.ExtraLength, 0, &header.UncompressedSize,
                         &header.CompressedSize, nullptr);
  return offset + 30 + header.NameLength + header.ExtraLength <= archiveSize_;
}

void TUnZip::ExtractListed(bool central) {
  localMode_ = !central;
  remaining_ = totalUncompressed_;
  archiveTotal_ = totalUncompressed_;
  for (int i = 0; i < list_.Count() && !cancelled_; ++i) {
    const TEntryRecord &record = list_.GetHeader(i);
    const std::vector<uint8_t> &block = list_.GetBlock(i);
    TCentralHeader centralHeader{};
    std::string centralName;
    if (central && block.size() >= 46) {
      std::memcpy(&centralHeader, block.data(), 46);
      centralName.assign(block.begin() + 46, block.end());
    }
    // An entry of a set is read from its own volume: a volume that can't be had ends the walk,
    // and the entries left count as failed.
    if ((central || info_.ArcType == atZipDS) && IsSpanType(info_.ArcType) &&
        !BringVolume(record.Volume, record.Offset)) {
      failed_ += list_.Count() - i;
      break;
    }
    TStream32 &archive = **archive_;
    TLocalHeader header{};
    std::string localName;
    TExtraHighParts high;
    const bool readable = ReadLocalHeader(archive, record.Offset, header, localName, high);
    storedName_ = central ? StoredNameToLocal(centralName, TranslateOemChar, centralHeader.Flags)
                          : StoredNameToLocal(localName, TranslateOemChar, header.Flags);
    auto refuse = [this](int32_t code, int64_t size) {
      ReportError(storedName_, "", "0", code);
      ++failed_;
      SkipEntryProgress(size);
    };
    if (!readable) {
      refuse(ecBadFileHeader, record.UncompressedSize);
      continue;
    }
    entry_ = TCurrentEntry{};
    entry_.LocalCrc32 = header.Crc32;
    entry_.LocalDosDate = header.DosDateTime;
    entry_.DataStart = record.Offset + 30 + header.NameLength + header.ExtraLength;
    if (central) {
      entry_.Flags = centralHeader.Flags;
      entry_.Method = centralHeader.Method;
      entry_.DosDateTime = centralHeader.DosDateTime;
      entry_.CompressedSize = record.CompressedSize;
      entry_.UncompressedSize = record.UncompressedSize;
      entry_.Crc32 =
          (header.Crc32 == 0 && record.CompressedSize != 0) ? centralHeader.Crc32 : header.Crc32;
    } else {
      entry_.Flags = header.Flags;
      entry_.Method = header.Method;
      entry_.DosDateTime = header.DosDateTime;
      entry_.CompressedSize = record.CompressedSize;
      entry_.UncompressedSize = record.UncompressedSize;
      entry_.Crc32 = header.Crc32;
    }
    // A zip bomb makes much of little by laying entries over one another: an entry that
    // overlaps one taken before it, or the directory, is refused, as UnZip refuses it.
    if (!TakeEntryRange(archive, IsSpanType(info_.ArcType) ? record.Volume : 1, record.Offset)) {
      refuse(ecBadFileHeader, entry_.UncompressedSize);
      continue;
    }
    // Whatever the archive says, nothing may land outside the target folder.
    const std::string &rawName = central ? centralName : localName;
    if (rawName.size() > NameBufferLength || !IsSafeStoredName(storedName_)) {
      refuse(ecInvalidFileName, entry_.UncompressedSize);
      continue;
    }
    if (central && !IsFileOutput())
      outputName_ = storedName_;
    else
      BuildOutputName(storedName_);
    ExtractOneEntry(archive, i, record.ExternalAttributes);
  }
}

bool TUnZip::TakeEntryRange(TStream32 &archive, uint16_t volume, int64_t offset) {
  int64_t end = entry_.DataStart + std::max<int64_t>(entry_.CompressedSize, 0);
  // Data said to run past the end of an archive of one volume is a damaged entry, which its
  // extraction reports and which writes nothing: it takes no stretch.
  if (!IsSpanType(info_.ArcType) && end > archiveSize_)
    return true;
  if (entry_.Flags & 8) {
    // The descriptor in its smallest form (CRC and two 32-bit sizes), and its optional
    // signature only when the entry's CRC follows it: never more than it holds.
    const int64_t at = end;
    end += 12;
    uint32_t words[2] = {};
    if (at + 8 <= archiveSize_ && archive.Seek(at, soFromBeginning) == at &&
        archive.Read(words, 8) == 8 && words[0] == sigDescriptor && words[1] == entry_.Crc32)
      end += 4;
  }
  return taken_.Take(volume, offset, end);
}

bool TUnZip::TTakenRanges::Take(uint16_t volume, int64_t start, int64_t end) {
  if (end <= start)
    return true;
  const auto next = taken_.lower_bound({volume, start});
  if (next != taken_.end() && next->first.first == volume && next->first.second < end)
    return false;
  if (next != taken_.begin()) {
    const auto before = std::prev(next);
    if (before->first.first == volume && before->second > start)
      return false;
  }
  taken_.emplace(std::make_pair(volume, start), end);
  return true;
}

bool TUnZip::ExtractOneEntry(TStream32 &archive, int index, uint32_t attributes) {
  (void)index;
  // Entries made by tools that set no folder attribute still end in a separator.
  const bool isFolder =
      (attributes & faDirectory) != 0 || (!storedName_.empty() && storedName_.back() == '\\');
  if (!BeginEntry(isFolder)) {
    remaining_ -= entry_.UncompressedSize;
    SkipEntryProgress(entry_.UncompressedSize);
    return false;
  }
  encrypted_ = !isFolder && (entry_.Flags & 1) != 0;
  if (encrypted_ && entry_.DataStart + 12 > archiveSize_) {
    // No room for the encryption header: a damaged entry, not a refused password.
    ReportError(outputName_, "", "0", ecDecompressionError);
    processed_ = std::max(processed_ - 1, 0);
    ++failed_;
    SkipEntryProgress(entry_.UncompressedSize);
    return false;
  }
  if (encrypted_ && !passwordFailed_) {
    archive.SetPosition(entry_.DataStart);
    if (!AcquirePassword(archive))
      passwordFailed_ = true;
  }
  if (info_.ArcType == atJar || info_.ArcType == atJarExe)
    attributes = isFolder ? faDirectory : faArchive;

  if (isFolder) {
    if (IsFileOutput() && CreateStoredDirs) {
      const unsigned previous = LayerQuietErrors();
      const bool made = ForceDirs(tk::ExtractFileDir(outputName_));
      LayerRestoreErrors(previous);
      if (!made) {
        ++failed_;
        return false;
      }
    }
    Crc32Value = entry_.Crc32;
    return CheckEntryCrc(32, entry_.Crc32);
  }

  if (encrypted_ && passwordFailed_) {
    // Skipped: nothing is opened and nothing counts as processed.
    processed_ = std::max(processed_ - 1, 0);
    ++failed_;
    remaining_ -= entry_.UncompressedSize;
    SkipEntryProgress(entry_.UncompressedSize);
    outputName_ = storedName_;
    ReportCrcResult(false);
    return false;
  }

  std::unique_ptr<TStream32> output;
  if (!OpenOutputFile(output, outputName_) || !output) {
    ReportError(outputName_, "", "0", ecOpenError);
    processed_ = std::max(processed_ - 1, 0);
    ++failed_;
    remaining_ -= entry_.UncompressedSize;
    SkipEntryProgress(entry_.UncompressedSize);
    return false;
  }
  // Whatever happens below, a temporary output that was not put in place is removed.
  struct TDiscard {
    TUnZip &self;
    std::unique_ptr<TStream32> &out;
    ~TDiscard() {
      out.reset();
      self.DiscardOutput();
    }
  } discard{*this, output};

  writeFailed_ = false;
  bool dataOk = false;
  try {
    dataOk = ExtractEntry(archive, *output);
  } catch (...) {
    // A raised code (reported where it was raised), a failed write or an exception of an
    // error handler: each ends this entry only.
    dataOk = false;
  }
  Crc32Value ^= 0xFFFFFFFFu;
  EndEntry(output, entry_.DosDateTime);
  const bool crcOk = CrcMatches(32, entry_.Crc32);
  bool pass = dataOk && !writeFailed_ && crcOk;
  if (pass) {
    if (CommitOutput()) {
      RestoreAttributes(outputName_, attributes);
    } else {
      // The target is in use or locked: the old file stays, and the entry counts neither as
      // extracted nor as passed, so no caller believes in a file that is not there.
      ReportError(outputName_, "", "0", ecOpenError);
      processed_ = std::max(processed_ - 1, 0);
      ++failed_;
      if (OnEnd)
        OnEnd(this, outputName_, false);
      return false;
    }
  } else {
    DiscardOutput();
    ++failed_;
  }
  ReportCrcResult(pass);
  return pass;
}

bool TUnZip::ExtractEntry(TStream32 &archive, TStream32 &output) {
  Crc32Value = 0xFFFFFFFFu;
  const bool decrypt = (entry_.Flags & 1) != 0;
  int64_t compressed = entry_.CompressedSize - (decrypt ? 12 : 0);
  const int64_t dataStart = entry_.DataStart + (decrypt ? 12 : 0);
  // The entry's data must lie within the archive (for a set: begin in this volume).
  const bool set = IsSpanType(info_.ArcType);
  if (compressed < 0 || entry_.UncompressedSize < 0 ||
      (set ? dataStart > archiveSize_ : dataStart + compressed > archiveSize_)) {
    RaiseError(outputName_, "", "0", ecDecompressionError);
    return false;
  }
  // Found by the local-header walk with its sizes in a data descriptor, a stored entry has no
  // size to go by: only an empty one, whose descriptor follows at once, can be read.
  if (localMode_ && (entry_.Flags & 8) && entry_.Method == 0) {
    uint32_t signature = 0;
    if (compressed != 0 || archive.Seek(dataStart, soFromBeginning) != dataStart ||
        archive.Read(&signature, 4) != 4 || signature != sigDescriptor) {
      RaiseError(outputName_, "", "0", ecDecompressionError);
      return false;
    }
  }
  TWindowStream data(archive, dataStart, compressed,
                     set ? TWindowStream::TNextVolume([this] { return NextDataVolume(); })
                         : TWindowStream::TNextVolume());
  switch (entry_.Method) {
  case 0:
    return CopyStoredData(data, output, decrypt);
  case 1:
  case 2:
  case 3:
  case 4:
  case 5:
  case 6:
    return DecodeLegacyEntry(data, output, decrypt);
  case 8:
  case 9:
    return InflateEntry(data, output, entry_.Method == 9, decrypt);
  default:
    ReportError(outputName_, "", "0", ecUnsupportedMethod);
    return false;
  }
}

bool TUnZip::CopyStoredData(TStream32 &data, TStream32 &output, bool decrypt) {
  const int64_t size = data.GetSize();
  // A stored entry is its own data: sizes that disagree mean a damaged entry.
  if (size != entry_.UncompressedSize) {
    RaiseError(outputName_, "", "0", ecDecompressionError);
    return false;
  }
  std::vector<uint8_t> buffer(ChunkSize + 1);
  int64_t left = size;
  while (left > 0 && !cancelled_) {
    const int32_t n = ReadArchiveBlock(data, buffer.data(),
                                       int32_t(std::min<int64_t>(left, ChunkSize)), 0, false);
    if (n <= 0)
      break;
    archiveCounter_ -= n;
    WriteDecryptedBlock(output, buffer.data(), true, n, 32, decrypt);
    left -= n;
    remaining_ -= n;
    archiveDone_ += n;
    ReportProgress(size - left, size, archiveTotal_);
  }
  if (left > 0 && !cancelled_) {
    RaiseError(outputName_, "", "0", ecDecompressionError);
    return false;
  }
  return left == 0;
}

bool TUnZip::InflateEntry(TStream32 &data, TStream32 &output, bool deflate64, bool decrypt) {
  TDecompressStream stream(&data, std::make_unique<TInflateDecoder>(deflate64));
  stream.CancelFlag = &cancelled_;
  if (decrypt)
    stream.Decipher = &ZipKeys;
  const int64_t total = entry_.UncompressedSize;
  int64_t count = total;
  std::vector<uint8_t> buffer(size_t(std::max<int64_t>(std::min<int64_t>(count, ChunkSize), 1)));
  int32_t chunk = int32_t(buffer.size());
  bool readFailed = false;
  while (count > 0 && !cancelled_) {
    LayerProcessMessages();
    int32_t n = 0;
    try {
      n = stream.Read(buffer.data(), chunk);
    } catch (const EWriteError &) {
      throw;
    } catch (...) {
      readFailed = true;
      break;
    }
    if (n <= 0)
      break;
    const int32_t written = WriteOutput(output, buffer.data(), true, n, 32);
    if (written < n) {
      RaiseError(outputName_, "", "0", ecWriteError);
      return false;
    }
    count -= n;
    remaining_ -= n;
    archiveDone_ += n;
    ReportProgress(total - count, total, archiveTotal_);
    chunk = int32_t(std::min<int64_t>(count, ChunkSize));
  }
  if (cancelled_)
    return false;
  // The data must give exactly the declared size and end there: short, long or broken data is
  // a damaged entry.
  bool exact = !readFailed && count == 0;
  if (exact) {
    uint8_t beyond = 0;
    exact = stream.Read(&beyond, 1) == 0 && stream.LastResult() == dcStreamEnd;
  }
  if (!exact) {
    remaining_ -= count;
    RaiseError(outputName_, "", "0", ecDecompressionError);
    return false;
  }
  return true;
}

bool TUnZip::DecodeLegacyEntry(TStream32 &data, TStream32 &output, bool decrypt) {
  TLegacyIo io;
  io.Read = [&](uint8_t *buffer, int32_t count) {
    const int32_t n = ReadArchiveBlock(data, buffer, count, 0, decrypt);
    archiveCounter_ -= n;
    return n;
  };
  const int64_t total = entry_.UncompressedSize;
  int64_t done = 0;
  io.Write = [&](const uint8_t *buffer, int32_t count) {
    const int32_t written = WriteOutput(output, buffer, true, count, 32);
    done += written;
    remaining_ -= written;
    archiveDone_ += written;
    ReportProgress(done, total, archiveTotal_);
    return written;
  };
  io.Raise = [&](int32_t code) { RaiseError(outputName_, "", "0", code); };
  io.Report = [&](int32_t code) { ReportError(outputName_, "", "0", code); };
  io.CancelFlag = &cancelled_;
  const int64_t compressed = data.GetSize();
  const int64_t produced = DecodeLegacy(io, entry_.Method, entry_.Flags, compressed, total);
  if (cancelled_)
    return false;
  if (produced != total) {
    RaiseError(outputName_, "", "0", ecDecompressionError);
    return false;
  }
  return true;
}

} // namespace arc
