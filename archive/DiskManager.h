// The disk manager of spanned and multi-volume sets: is the drive (or network share) that holds
// an archive ready, writable and identified; what its volume says about itself.
#pragma once

#include "archive/FileLayer.h"
#include "archive/Masks.h"

#include <cstdint>
#include <functional>
#include <string>

namespace arc {

// Handlers a disk check may call; each may be left unset.
class TDiskCommon {
public:
  using TErrorReport =
      std::function<void(const std::string &FileName, const std::string &ExtendedMsg, int32_t ECode,
                         const std::string &VolumeID)>;
  using TDiskHandler = std::function<void(void *Sender, bool &Cancel)>;
  TErrorReport OnErrorReport;
  TDiskHandler OnWriteProtect;
  TDiskHandler OnDiskNotReady;
};

class TDiskManager : public TDiskCommon {
public:
  // Reduces Path to its drive (or UNC share), then checks it; true when the volume was found
  // and described. The fields below are meaningful after a true result only.
  bool CheckDisk(const std::string &path);
  static bool DiskInDrive(char letter);
  static bool IsWriteProtected(char letter);
  // The backup volume number of a label holding "PKBACK# " and digits; 0 otherwise.
  static uint16_t BackupVolumeNumber(const std::string &label);
  // The drive part of a name: "C:" of "C:\x", "\\server\share" of a UNC name, else empty.
  static std::string ExtractFileDrive(const std::string &fileName);
  // The name of a drive type (or, for removable drives, of a floppy kind): Windows-1252 text.
  static std::string DriveTypeText(uint8_t index);
  // Which: 0 creation, 1 last write, 2 last access; the open file's time as a local DOS
  // date-time (date in the high word); 0 when it can't be read.
  static uint32_t FileDosDateTime(TFileHandle handle, int which);

  std::string Path;
  uint8_t DriveType = 0; // 0 unknown, 1 no root, 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM
  std::string DriveTypeName;
  uint8_t FloppyKind = 0; // 7 or 8 for removable drives when known, else 0
  std::string VolumeLabel;
  uint16_t BackupVolume = 0;
  uint32_t SerialNumber = 0;
  std::string SerialText; // 8 upper-case hexadecimal digits
  std::string FileSystemName;
  uint32_t FileSystemFlags = 0;
  uint32_t MaxComponentLength = 0;
  int64_t FreeSpace = 0; // both 0 for a share reached by a UNC name, -1 when unreadable
  int64_t Size = 0;

private:
  void Report(int32_t code);
};

// The span test of archive detection: a zip whose parts lie on several disks under one name
// (atZipDS: a removable drive whose label starts with the word "PKBACK#") or in several files
// (atZipMV: anything else). False when the archive's drive can't be checked.
bool SpanTypeOf(TDiskManager &Manager, const std::string &ArchiveFile, TArcType &Type);

} // namespace arc
