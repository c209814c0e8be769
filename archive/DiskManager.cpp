// The disk manager: makes sure the drive of a spanned or split set is there and writable
// before a volume is read, asks the user to retry a drive it cannot read, and keeps what the
// volume says about itself.
#include "archive/DiskManager.h"
#include "archive/FileInfo.h"
#include "archive/Messages.h"
#include "archive/Volume.h"

#include <cctype>

namespace arc {

namespace {
const char BackupMarker[] = "PKBACK# ";
// The text of ecNotAccessible, which follows the drive's root in the retry box.
const char NotAccessibleText[] = "is not accessible";

// Turns the system's critical-error boxes off for as long as it lives.
class TQuietErrors {
public:
  TQuietErrors() : previous_(LayerQuietErrors()) {}
  ~TQuietErrors() { LayerRestoreErrors(previous_); }
  TQuietErrors(const TQuietErrors &) = delete;
  TQuietErrors &operator=(const TQuietErrors &) = delete;

private:
  unsigned previous_;
};

std::string Upper(std::string text) {
  for (char &c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool IsUnc(const std::string &drive) {
  return drive.size() > 2 && drive[0] == '\\' && drive[1] == '\\';
}

std::string LetterRoot(char letter) { return std::string(1, letter) + ":\\"; }

// A drive is ready when the system can tell its size.
bool DriveReady(const std::string &root) {
  TQuietErrors quiet;
  int64_t freeSpace = 0, size = 0;
  return VolumeSpace(root, freeSpace, size);
}

// Whether a temporary file can be made in the root, and removed again.
bool RootWriteProtected(const std::string &root) {
  TQuietErrors quiet;
  std::string name;
  switch (VolumeTempFile(root, "qeb", name)) {
  case TTempProbe::WriteProtected:
    return true;
  case TTempProbe::Created:
    // A file that can be made but not removed again is no more use than none.
    return LayerFileExists(name) && !LayerDeleteFile(name);
  default:
    return false;
  }
}

const char HexDigits[] = "0123456789ABCDEF";
} // namespace

std::string TDiskManager::ExtractFileDrive(const std::string &fileName) {
  if (fileName.size() >= 2 && fileName[1] == ':')
    return fileName.substr(0, 2);
  if (fileName.size() >= 2 && fileName[0] == '\\' && fileName[1] == '\\') {
    // Server and share: up to the backslash after the share's name.
    size_t server = fileName.find('\\', 2);
    if (server == std::string::npos)
      return fileName;
    size_t share = fileName.find('\\', server + 1);
    return share == std::string::npos ? fileName : fileName.substr(0, share);
  }
  return std::string();
}

std::string TDiskManager::DriveTypeText(uint8_t index) {
  static const char *const Names[] = {"Unknown", "None", "Floppy",       "Fixed",       "Network",
                                      "CD-ROM",  "RAM",  "3\xBD Floppy", "5\xBC Floppy"};
  return index < sizeof Names / sizeof Names[0] ? Names[index] : Names[0];
}

uint16_t TDiskManager::BackupVolumeNumber(const std::string &label) {
  size_t at = label.rfind(BackupMarker);
  if (at == std::string::npos)
    return 0;
  // What follows the last marker; a set never has more than 999 disks, so anything beyond
  // the 16 bits is no backup number either.
  std::string digits = label.substr(at + sizeof BackupMarker - 1);
  if (digits.empty())
    return 0;
  uint32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9')
      return 0;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > 0xFFFF)
      return 0;
  }
  return static_cast<uint16_t>(value);
}

uint32_t TDiskManager::FileDosDateTime(TFileHandle handle, int which) {
  return LayerFileDosDateTime(handle, which);
}

bool TDiskManager::DiskInDrive(char letter) { return DriveReady(LetterRoot(letter)); }

bool TDiskManager::IsWriteProtected(char letter) { return RootWriteProtected(LetterRoot(letter)); }

void TDiskManager::Report(int32_t code) {
  if (OnErrorReport)
    OnErrorReport(Path, "0", code, "0");
}

bool TDiskManager::CheckDisk(const std::string &path) {
  try {
    std::string drive =
        path.find("\\\\") != std::string::npos || (path.size() > 1 && path[1] == ':')
            ? ExtractFileDrive(path)
            : ExtractFileDrive(LayerCurrentDir());
    Path = drive;
    DriveType = 0;
    DriveTypeName.clear();
    FloppyKind = 0;
    VolumeLabel.clear();
    BackupVolume = 0;
    SerialNumber = 0;
    SerialText.clear();
    FileSystemName.clear();
    FileSystemFlags = 0;
    MaxComponentLength = 0;
    FreeSpace = 0;
    Size = 0;

    const std::string root = drive + "\\";
    if (!IsUnc(drive)) {
      while (!DriveReady(root)) {
        if (!OnDiskNotReady) {
          Report(ecNotAccessible);
          return false;
        }
        bool cancel = true;
        OnDiskNotReady(this, cancel);
        if (cancel) {
          Report(ecUserCanceled);
          return false;
        }
      }
      while (RootWriteProtected(root)) {
        if (!OnWriteProtect) {
          Report(ecWriteProtected);
          return false;
        }
        bool cancel = true;
        OnWriteProtect(this, cancel);
        if (cancel) {
          Report(ecUserCanceled);
          return false;
        }
      }
    }

    for (;;) {
      TVolumeFacts facts;
      std::string wording;
      bool found;
      {
        TQuietErrors quiet;
        found = VolumeQuery(root, facts, wording);
      }
      if (found) {
        VolumeLabel = facts.Label;
        SerialNumber = facts.SerialNumber;
        SerialText.clear();
        for (int shift = 28; shift >= 0; shift -= 4)
          SerialText += HexDigits[(facts.SerialNumber >> shift) & 15];
        MaxComponentLength = facts.MaxComponentLength;
        FileSystemName = facts.FileSystemName;
        FileSystemFlags = facts.FileSystemFlags;
        BackupVolume = BackupVolumeNumber(VolumeLabel);
        DriveType = VolumeDriveType(root);
        if (DriveType == 1)
          break;
        if (DriveType != 4 || (drive.size() > 1 && drive[1] == ':')) {
          if (!VolumeSpace(root, FreeSpace, Size))
            FreeSpace = Size = -1;
        }
        if (DriveType == 2) {
          FloppyKind = drive.empty() || IsUnc(drive) ? 0 : VolumeFloppyKind(drive[0]);
          DriveTypeName = DriveTypeText(FloppyKind);
        } else {
          DriveTypeName = DriveTypeText(DriveType);
        }
        return true;
      }
      if (!VolumeRetryBox(Upper(root) + NotAccessibleText + "\r\n\r\n" + wording))
        break;
    }
    Report(ecNotAccessible);
    return false;
  } catch (...) {
    return false;
  }
}

bool SpanTypeOf(TDiskManager &Manager, const std::string &ArchiveFile, TArcType &Type) {
  if (!Manager.CheckDisk(ArchiveFile))
    return false;
  Type = atZipMV;
  if (Manager.DriveType == 2) {
    const std::string &label = Manager.VolumeLabel;
    std::string word = label.substr(0, label.find(' '));
    for (char &c : word)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (word == "PKBACK#")
      Type = atZipDS;
  }
  return true;
}

} // namespace arc
