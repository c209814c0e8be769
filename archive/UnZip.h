// The zip extraction component: reads the central directory (or walks the local headers when
// there is none), then extracts each selected entry through its method, checking its CRC, into
// the target folder.
#pragma once

#include "archive/Base.h"

#include <cstdint>
#include <memory>
#include <string>

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
  void ExtractEntries(TStream32 &archive) override;
  bool CheckPassword(uint8_t work[24]) override;

  int32_t ReadCentralDirectory(TStream32 &archive);
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

private:
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
  void ExtractListed(TStream32 &archive, bool central);
  void AddToTotals(const TEntryRecord &record, uint16_t flags, uint32_t dosDate);

  TUnBaseHeaderObj list_;
  TCurrentEntry entry_;
  int64_t totalCompressed_ = 0, totalUncompressed_ = 0, remaining_ = 0;
  int32_t zipCmntBufSize_ = 0;
  bool localMode_ = false; // the entries came from the local-header walk
};

} // namespace arc
