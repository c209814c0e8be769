// The disk manager of spanned and multi-volume sets: is the drive (or network share) that holds
// an archive ready, writable and identified; what its volume says about itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace arc {

// Handlers a disk check may call; each may be left unset.
class TDiskCommon {
public:
  using TErrorReport = std::function<void(const std::string &FileName,
                                          const std::string &ExtendedMsg, int32_t ECode,
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
  int64_t FreeSpace = 0;
  int64_t Size = 0;
};

} // namespace arc
