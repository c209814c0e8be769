// File facts over POSIX: enough for the reader's native build and its tests. There is no DOS
// attribute store here, so attributes map to the owner's write permission only.
#include "archive/FileInfo.h"
#include "archive/posix/Paths.h"

#include <climits>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace arc {

namespace {
uint32_t ToDos(time_t t) {
  struct tm local;
  if (!localtime_r(&t, &local) || local.tm_year < 80 || local.tm_year > 207)
    return 0;
  return (uint32_t(local.tm_year - 80) << 25) | (uint32_t(local.tm_mon + 1) << 21) |
         (uint32_t(local.tm_mday) << 16) | (uint32_t(local.tm_hour) << 11) |
         (uint32_t(local.tm_min) << 5) | uint32_t(local.tm_sec / 2);
}
} // namespace

uint32_t LayerGetAttributes(const std::string &path) {
  struct stat st;
  if (path.empty() || ::stat(NativePath(path).c_str(), &st) != 0)
    return faInvalid;
  if (S_ISDIR(st.st_mode))
    return faDirectory;
  return (st.st_mode & S_IWUSR) ? faArchive : (faArchive | faReadOnly);
}

bool LayerSetAttributes(const std::string &path, uint32_t attributes) {
  struct stat st;
  std::string native = NativePath(path);
  if (::stat(native.c_str(), &st) != 0)
    return false;
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & faReadOnly) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
  return ::chmod(native.c_str(), mode) == 0;
}

uint32_t LayerFileDosDateTime(TFileHandle handle, int which) {
  struct stat st;
  if (which < 0 || which > 2 || ::fstat(static_cast<int>(handle), &st) != 0)
    return 0;
  return ToDos(which == 0 ? st.st_ctime : which == 1 ? st.st_mtime : st.st_atime);
}

bool LayerSetFileDosDateTime(TFileHandle handle, uint32_t d) {
  struct tm local = {};
  local.tm_year = int(d >> 25) + 80;
  local.tm_mon = int((d >> 21) & 15) - 1;
  local.tm_mday = int((d >> 16) & 31);
  local.tm_hour = int((d >> 11) & 31);
  local.tm_min = int((d >> 5) & 63);
  local.tm_sec = int(d & 31) * 2;
  local.tm_isdst = -1;
  time_t t = mktime(&local);
  if (t == time_t(-1))
    return false;
  struct timeval times[2] = {{t, 0}, {t, 0}};
  return ::futimes(static_cast<int>(handle), times) == 0;
}

uint32_t LayerFileDosDateTimeByName(const std::string &path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 ? ToDos(st.st_mtime) : 0;
}

uint32_t LayerNowDosDateTime() { return ToDos(time(nullptr)); }

bool LayerFileExists(const std::string &path) {
  struct stat st;
  return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool LayerDeleteFile(const std::string &path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool LayerMoveFile(const std::string &from, const std::string &to) {
  std::string target = NativePath(to);
  struct stat st;
  if (::stat(target.c_str(), &st) == 0)
    return false;
  return ::rename(NativePath(from).c_str(), target.c_str()) == 0;
}

std::string LayerTempFileName(const std::string &folder, const std::string &prefix) {
  std::string pattern = NativePath(folder);
  if (!pattern.empty() && pattern.back() != '/')
    pattern += '/';
  pattern += prefix.substr(0, 3) + "XXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0)
    return std::string();
  ::close(fd);
  return ReaderPath(pattern);
}

std::string LayerCurrentDir() {
  char here[PATH_MAX];
  return ::getcwd(here, sizeof here) ? ReaderPath(here) : std::string();
}

std::vector<std::string> LayerModuleStrings(const std::string &, int) { return {}; }

void LayerProcessMessages() {}

} // namespace arc
