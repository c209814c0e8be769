// Native stand-ins for the volume questions: the POSIX file system has no drive letters, labels
// or serial numbers, so a letter names the file system's root (or a folder a test mapped), the
// label and serial come from ".windows-label" and ".windows-serial" files in the root as Wine
// reads them, and the space from statvfs.
#include "archive/Volume.h"
#include "archive/posix/Paths.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace arc {

namespace {
struct TMappedDrive {
  std::string Folder;
  uint8_t DriveType = 3;
  bool WriteProtected = false;
};

std::mutex guard;
std::map<char, TMappedDrive> mapped;
std::function<bool(const std::string &)> retryAnswer;

bool Mapping(char letter, TMappedDrive &drive) {
  std::lock_guard<std::mutex> lock(guard);
  auto it = mapped.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
  if (it == mapped.end())
    return false;
  drive = it->second;
  return true;
}

bool HasLetter(const std::string &root) { return root.size() >= 2 && root[1] == ':'; }

// The POSIX folder behind a Windows-style root.
std::string RootFolder(const std::string &root) {
  if (HasLetter(root)) {
    TMappedDrive drive;
    return Mapping(root[0], drive) ? drive.Folder + "/" : std::string("/");
  }
  return NativePath(root);
}

std::string FirstLine(const std::string &fileName) {
  std::ifstream in(fileName);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
    line.pop_back();
  return line;
}

bool IsFolder(const std::string &folder) {
  struct stat st;
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

void VolumeMapDrive(char letter, const std::string &folder, uint8_t driveType,
                    bool writeProtected) {
  std::lock_guard<std::mutex> lock(guard);
  char key = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (folder.empty())
    mapped.erase(key);
  else
    mapped[key] = {NativePath(folder), driveType, writeProtected};
}

void VolumeSetRetryAnswer(std::function<bool(const std::string &text)> answer) {
  std::lock_guard<std::mutex> lock(guard);
  retryAnswer = std::move(answer);
}

bool VolumeQuery(const std::string &root, TVolumeFacts &facts, std::string &error) {
  std::string folder = RootFolder(root);
  struct statvfs vfs;
  if (::statvfs(folder.c_str(), &vfs) != 0) {
    error = std::strerror(errno);
    return false;
  }
  facts = TVolumeFacts();
  facts.Label = FirstLine(folder + ".windows-label");
  std::string serial = FirstLine(folder + ".windows-serial");
  facts.SerialNumber = serial.empty()
                           ? static_cast<uint32_t>(vfs.f_fsid)
                           : static_cast<uint32_t>(std::strtoul(serial.c_str(), nullptr, 16));
  facts.MaxComponentLength = static_cast<uint32_t>(vfs.f_namemax);
  facts.FileSystemName = "POSIX";
  return true;
}

uint8_t VolumeDriveType(const std::string &root) {
  if (HasLetter(root)) {
    TMappedDrive drive;
    if (Mapping(root[0], drive))
      return IsFolder(drive.Folder) ? drive.DriveType : 1;
    return 3;
  }
  // A share reached by a UNC name is a network drive; a root without a letter the fixed disk
  // of the file system.
  if (!IsFolder(RootFolder(root)))
    return 1;
  return root.size() > 2 && root[0] == '\\' && root[1] == '\\' ? 4 : 3;
}

bool VolumeSpace(const std::string &root, int64_t &freeSpace, int64_t &size) {
  struct statvfs vfs;
  if (::statvfs(RootFolder(root).c_str(), &vfs) != 0)
    return false;
  freeSpace = static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
  size = static_cast<int64_t>(vfs.f_blocks) * static_cast<int64_t>(vfs.f_frsize);
  return true;
}

uint8_t VolumeFloppyKind(char) { return 0; }

TTempProbe VolumeTempFile(const std::string &folder, const std::string &prefix, std::string &name) {
  TMappedDrive drive;
  if (HasLetter(folder) && Mapping(folder[0], drive) && drive.WriteProtected)
    return TTempProbe::WriteProtected;
  std::string pattern = RootFolder(folder);
  if (!HasLetter(folder) && !pattern.empty() && pattern.back() != '/')
    pattern += '/';
  pattern += prefix.substr(0, 3) + "XXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0)
    return errno == EROFS ? TTempProbe::WriteProtected : TTempProbe::Failed;
  ::close(fd);
  name = ReaderPath(pattern);
  return TTempProbe::Created;
}

bool VolumeRetryBox(const std::string &text) {
  std::function<bool(const std::string &)> answer;
  {
    std::lock_guard<std::mutex> lock(guard);
    answer = retryAnswer;
  }
  return answer ? answer(text) : false;
}

} // namespace arc
