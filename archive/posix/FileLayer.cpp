// The file layer over POSIX descriptors.
#include "archive/FileLayer.h"
#include "archive/posix/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arc {

namespace {
thread_local TFileError lastError = feNone;

template <class T> T Fail(T result) {
  switch (errno) {
  case ENOENT:
  case ENOTDIR:
    lastError = feNotFound;
    break;
  case EACCES:
  case EPERM:
  case EROFS:
    lastError = feAccessDenied;
    break;
  case ENOSPC:
  case EDQUOT:
  case EFBIG:
    lastError = feDiskFull;
    break;
  case EEXIST:
    lastError = feExists;
    break;
  case EBADF:
    lastError = feInvalidHandle;
    break;
  case EINVAL:
    lastError = feInvalidArgument;
    break;
  default:
    lastError = feIoError;
  }
  return result;
}
} // namespace

// The reader works with Windows-style names everywhere ("\" between levels); this layer is the
// one place where they become POSIX names, so the portable core runs natively unchanged.
namespace {
std::string Replaced(std::string path, char from, char to) {
  for (char &c : path)
    if (c == from)
      c = to;
  return path;
}
} // namespace

std::string NativePath(const std::string &path) { return Replaced(path, '\\', '/'); }

std::string ReaderPath(const std::string &path) { return Replaced(path, '/', '\\'); }

TFileHandle LayerOpen(const std::string &fileName, uint16_t mode) {
  int flags;
  if (mode == fmCreate)
    flags = O_RDWR | O_CREAT | O_TRUNC;
  else if ((mode & 3) == fmOpenReadWrite)
    flags = O_RDWR;
  else if ((mode & 3) == fmOpenWrite)
    flags = O_WRONLY;
  else
    flags = O_RDONLY;
  int fd = ::open(NativePath(fileName).c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0)
    return Fail(InvalidFileHandle);
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    lastError = feAccessDenied;
    return InvalidFileHandle;
  }
  return fd;
}

TFileHandle LayerCreateNew(const std::string &fileName) {
  int fd = ::open(NativePath(fileName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  return fd < 0 ? Fail(InvalidFileHandle) : fd;
}

int32_t LayerRead(TFileHandle handle, void *buffer, int32_t count) {
  if (count < 0) {
    lastError = feInvalidArgument;
    return -1;
  }
  ssize_t n;
  do
    n = ::read(static_cast<int>(handle), buffer, static_cast<size_t>(count));
  while (n < 0 && errno == EINTR);
  return n < 0 ? Fail(-1) : static_cast<int32_t>(n);
}

int32_t LayerWrite(TFileHandle handle, const void *buffer, int32_t count) {
  if (count < 0) {
    lastError = feInvalidArgument;
    return -1;
  }
  const char *p = static_cast<const char *>(buffer);
  int32_t done = 0;
  while (done < count) {
    ssize_t n = ::write(static_cast<int>(handle), p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = ENOSPC;
      Fail(0);
      return done > 0 ? done : (lastError == feDiskFull ? 0 : -1);
    }
    done += static_cast<int32_t>(n);
  }
  return done;
}

int64_t LayerSeek(TFileHandle handle, int64_t offset, int origin) {
  int whence = origin == soFromCurrent ? SEEK_CUR : origin == soFromEnd ? SEEK_END : SEEK_SET;
  off_t r = ::lseek(static_cast<int>(handle), static_cast<off_t>(offset), whence);
  return r < 0 ? Fail(int64_t{-1}) : static_cast<int64_t>(r);
}

int64_t LayerSize(TFileHandle handle) {
  struct stat st;
  if (::fstat(static_cast<int>(handle), &st) != 0)
    return Fail(int64_t{-1});
  return static_cast<int64_t>(st.st_size);
}

bool LayerTruncate(TFileHandle handle) {
  off_t here = ::lseek(static_cast<int>(handle), 0, SEEK_CUR);
  if (here < 0 || ::ftruncate(static_cast<int>(handle), here) != 0)
    return Fail(false);
  return true;
}

bool LayerClose(TFileHandle handle) {
  if (handle < 0) {
    lastError = feInvalidHandle;
    return false;
  }
  return ::close(static_cast<int>(handle)) == 0 ? true : Fail(false);
}

const char PathSeparator = '\\';

bool LayerIsDirectory(const std::string &path) {
  struct stat st;
  return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool LayerFindAny(const std::string &pattern) {
  glob_t found{};
  bool any =
      ::glob(NativePath(pattern).c_str(), GLOB_NOSORT, nullptr, &found) == 0 && found.gl_pathc > 0;
  ::globfree(&found);
  return any;
}

bool LayerCreateDir(const std::string &path) {
  return ::mkdir(NativePath(path).c_str(), 0755) == 0 ? true : Fail(false);
}

std::string LayerFullPath(const std::string &path) {
  std::string native = NativePath(path);
  if (!native.empty() && native[0] == '/')
    return ReaderPath(native);
  char here[PATH_MAX];
  if (!::getcwd(here, sizeof here))
    return Fail(std::string());
  return ReaderPath(std::string(here) + "/" + native);
}

std::string LayerTempPath() {
  const char *dir = std::getenv("TMPDIR");
  std::string path = dir && *dir ? dir : "/tmp";
  if (path.back() != '/')
    path += '/';
  return ReaderPath(path);
}

// The native build has no code pages to translate between: names stay as they are.
std::string LayerOemToAnsi(const std::string &text) { return text; }
// POSIX names are UTF-8 already.
std::string LayerUtf8ToAnsi(const std::string &text) { return text; }

unsigned LayerQuietErrors() { return 0; }
void LayerRestoreErrors(unsigned) {}

TFileError LayerLastError() { return lastError; }

} // namespace arc
