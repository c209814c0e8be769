// The zip extraction component: reads the central directory (or walks the local headers when
// there is none), then extracts each selected entry through its method, checking its CRC, into
// the target folder.
#pragma once

#include "archive/Base.h"
#include "archive/DiskSpan.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace arc {

class TUnZip : public TUnBase { // TUnBase : TZipCommon : TRegisterOrrelin : tk::TComponent
public:
  explicit TUnZip(tk::TComponent *owner);
  ~TUnZip() override;
  const char *ClassName() const override { return "TUnZip"; }

  // Inherited: GetArchiveFile/SetArchiveFile, GetArcType/SetArcType, TranslateOemChar, CpuType,
  // RecurseDirs, ConfirmOverwrites, CreateStoredDirs, DateAttribute, GetExtractDir/
  // SetExtractDir, FileSpec/SetFileSpec, OverwriteMode, PasswordAttempts, Passwords/
  // SetPasswords, RestoreFileAttr, UseStoredDirs, the events, Extract and FailedCount.

  int32_t GetZipCmntBufSize() const { return zipCmntBufSize_; }
  void SetZipCmntBufSize(int32_t size); // clamps 2000..32767

protected:
  void ExtractEntries(std::unique_ptr<TStream32> &archive) override;
  bool CheckPassword(uint8_t work[24]) override;

  int32_t ReadCentralDirectory(TStream32 &archive);
  // The directory of a set that begins on an earlier volume than the last.
  int32_t ReadSpannedDirectory();
  int32_t ScanLocalHeaders(TStream32 &archive);
  void ExtractCentralEntries(TStream32 &archive);
  void ExtractLocalEntries(TStream32 &archive);
  bool ExtractOneEntry(TStream32 &archive, int index, uint32_t attributes);
  // Method dispatch; true when the entry's data decoded to exactly its declared size.
  bool ExtractEntry(TStream32 &archive, TStream32 &output);
  // The decoders read Data: a window holding the entry's compressed data only.
  bool InflateEntry(TStream32 &data, TStream32 &output, bool deflate64, bool decrypt);
  bool CopyStoredData(TStream32 &data, TStream32 &output, bool decrypt);
  bool DecodeLegacyEntry(TStream32 &data, TStream32 &output, bool decrypt);
  // Multi-volume files: closes the archive stream and opens the volume after number Volume
  // (0 for the first) of a set whose last volume is number LastDisk.
  bool OpenNextVolume(std::unique_ptr<TStream32> &archive, int32_t volume, int32_t lastDisk);

private:
  // The stretches of the archive that the entries taken so far and the central directory
  // occupy, volume by volume (the volumes of a set each count their offsets from 0). A zip bomb
  // lays many entries over one stretch of data, so none may overlap another.
  class TTakenRanges {
  public:
    void Clear() { taken_.clear(); }
    // Takes [Start, End) on Volume; false, taking nothing, when it overlaps a stretch taken.
    bool Take(uint16_t volume, int64_t start, int64_t end);

  private:
    std::map<std::pair<uint16_t, int64_t>, int64_t> taken_; // (volume, start) -> end
  };

  // The entry in work.
  struct TCurrentEntry {
    uint16_t Flags = 0;
    uint16_t Method = 0;
    int64_t CompressedSize = 0;
    int64_t UncompressedSize = 0;
    uint32_t DosDateTime = 0;
    uint32_t Crc32 = 0;      // the CRC the written data must have
    uint32_t LocalCrc32 = 0; // what the local header says: the password check uses it
    uint32_t LocalDosDate = 0;
    int64_t DataStart = 0; // the first byte after the local header, name and extra field
  };
  // Reads the local header at Offset with its name and extra field; false when it is not one.
  bool ReadLocalHeader(TStream32 &archive, int64_t offset, TLocalHeader &header, std::string &name,
                       TExtraHighParts &high);
  // Reads a stored name of Length bytes, deciphering it with the header keys when Enciphered.
  std::string ReadName(TStream32 &archive, uint16_t length, bool enciphered, bool &ok);
  void ExtractListed(bool central);
  // Takes the stretch of the entry in work, from its local header at Offset to the end of its
  // data and data descriptor; false when it overlaps what was taken before.
  bool TakeEntryRange(TStream32 &archive, uint16_t volume, int64_t offset);
  void AddToTotals(const TEntryRecord &record, uint16_t flags, uint32_t dosDate);
  // Puts the volume (1 for the first) of a set in reach: for a spanned set the disk holding a
  // record at Offset (-1: data going on at its start), for split files that volume's file.
  bool BringVolume(uint16_t volume, int64_t offset);
  // Moves an entry's data on to the next volume; the stream to go on reading, null on failure.
  TStream32 *NextDataVolume();

  TUnBaseHeaderObj list_;
  TTakenRanges taken_;
  int64_t directoryLength_ = 0; // what the last directory walk read
  TCurrentEntry entry_;
  int64_t totalCompressed_ = 0, totalUncompressed_ = 0, remaining_ = 0;
  int32_t zipCmntBufSize_ = 0;
  bool localMode_ = false; // the entries came from the local-header walk
  TDiskSpannObj diskSpan_;
  std::unique_ptr<TStream32> *archive_ = nullptr; // the run's archive stream, volume by volume
  std::string runArchiveFile_;                    // the set's name for the run
  friend class TDiskSpannObj;
};

} // namespace arc
