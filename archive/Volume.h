// What the disk manager asks the system about a drive or share: the volume's own description,
// the kind of drive, its space, the floppy kind, a temporary file in its root, and the box that
// asks the user to retry. Roots are Windows-style ("C:\", "\\server\share\") on every platform;
// the native build answers from the POSIX file system with small stand-ins.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace arc {

struct TVolumeFacts {
  std::string Label;
  uint32_t SerialNumber = 0;
  uint32_t MaxComponentLength = 0;
  uint32_t FileSystemFlags = 0;
  std::string FileSystemName;
};

// The volume information of Root; false with the system's wording of the failure in Error.
bool VolumeQuery(const std::string &root, TVolumeFacts &facts, std::string &error);
// The drive type of Root: 0 unknown, 1 no root, 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM.
uint8_t VolumeDriveType(const std::string &root);
// Bytes free to the caller and in all on the drive of Root; false when they can't be read.
bool VolumeSpace(const std::string &root, int64_t &freeSpace, int64_t &size);
// 7 (3.5 inch) or 8 (5.25 inch) for a floppy drive whose kind the system tells; 0 otherwise.
uint8_t VolumeFloppyKind(char letter);

enum class TTempProbe { Created, WriteProtected, Failed };
// Makes a temporary file named from Prefix in Folder (the system's temporary-name call); its
// name in Name when Created. WriteProtected when the system refuses for write protection.
TTempProbe VolumeTempFile(const std::string &folder, const std::string &prefix, std::string &name);

// The Retry/Cancel box with the error icon and the application's title; true for Retry.
bool VolumeRetryBox(const std::string &text);

#ifndef _WIN32
// The native stand-ins have no drive letters of their own: by default a letter names the root
// of the file system, a fixed disk. Tests map a letter to a folder and a drive type to play a
// disk, its write-protect tab included (Folder empty removes the mapping), and answer the retry
// box (unset: Cancel).
void VolumeMapDrive(char letter, const std::string &folder, uint8_t driveType = 3,
                    bool writeProtected = false);
void VolumeSetRetryAnswer(std::function<bool(const std::string &text)> answer);
#endif

} // namespace arc
