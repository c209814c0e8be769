// The file layer over Win32 file handles.
#include "archive/FileLayer.h"

#include <windows.h>

namespace arc {

namespace {
thread_local TFileError lastError = feNone;

template <class T> T Fail(T result) {
  switch (GetLastError()) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
    lastError = feNotFound;
    break;
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION:
  case ERROR_WRITE_PROTECT:
    lastError = feAccessDenied;
    break;
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL:
    lastError = feDiskFull;
    break;
  case ERROR_INVALID_HANDLE:
    lastError = feInvalidHandle;
    break;
  case ERROR_FILE_EXISTS:
  case ERROR_ALREADY_EXISTS:
    lastError = feExists;
    break;
  case ERROR_INVALID_PARAMETER:
  case ERROR_NEGATIVE_SEEK:
    lastError = feInvalidArgument;
    break;
  default:
    lastError = feIoError;
  }
  return result;
}

HANDLE H(TFileHandle handle) { return reinterpret_cast<HANDLE>(handle); }
} // namespace

TFileHandle LayerOpen(const std::string &fileName, uint16_t mode) {
  HANDLE h;
  if (mode == fmCreate) {
    h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
  } else {
    static const DWORD access[4] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE,
                                    GENERIC_READ};
    // Sharing: 0x10 exclusive, 0x20 deny write, 0x30 deny read, 0x40 deny none (0: compat).
    DWORD share;
    switch (mode & 0xF0) {
    case 0x10:
      share = 0;
      break;
    case 0x20:
      share = FILE_SHARE_READ;
      break;
    case 0x30:
      share = FILE_SHARE_WRITE;
      break;
    default:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
    h = CreateFileA(fileName.c_str(), access[mode & 3], share, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (h == INVALID_HANDLE_VALUE)
    return Fail(InvalidFileHandle);
  return reinterpret_cast<TFileHandle>(h);
}

TFileHandle LayerCreateNew(const std::string &fileName) {
  HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return Fail(InvalidFileHandle);
  return reinterpret_cast<TFileHandle>(h);
}

int32_t LayerRead(TFileHandle handle, void *buffer, int32_t count) {
  if (count < 0) {
    lastError = feInvalidArgument;
    return -1;
  }
  DWORD n = 0;
  if (!ReadFile(H(handle), buffer, static_cast<DWORD>(count), &n, nullptr))
    return Fail(-1);
  return static_cast<int32_t>(n);
}

int32_t LayerWrite(TFileHandle handle, const void *buffer, int32_t count) {
  if (count < 0) {
    lastError = feInvalidArgument;
    return -1;
  }
  DWORD n = 0;
  if (!WriteFile(H(handle), buffer, static_cast<DWORD>(count), &n, nullptr)) {
    Fail(0);
    return n > 0 ? static_cast<int32_t>(n) : (lastError == feDiskFull ? 0 : -1);
  }
  if (static_cast<int32_t>(n) < count)
    lastError = feDiskFull;
  return static_cast<int32_t>(n);
}

int64_t LayerSeek(TFileHandle handle, int64_t offset, int origin) {
  LARGE_INTEGER distance, moved;
  distance.QuadPart = offset;
  DWORD method = origin == soFromCurrent ? FILE_CURRENT
                 : origin == soFromEnd   ? FILE_END
                                         : FILE_BEGIN;
  if (!SetFilePointerEx(H(handle), distance, &moved, method))
    return Fail(int64_t{-1});
  return moved.QuadPart;
}

int64_t LayerSize(TFileHandle handle) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(H(handle), &size))
    return Fail(int64_t{-1});
  return size.QuadPart;
}

bool LayerTruncate(TFileHandle handle) { return SetEndOfFile(H(handle)) ? true : Fail(false); }

bool LayerClose(TFileHandle handle) {
  if (handle == InvalidFileHandle) {
    lastError = feInvalidHandle;
    return false;
  }
  return CloseHandle(H(handle)) ? true : Fail(false);
}

const char PathSeparator = '\\';

bool LayerIsDirectory(const std::string &path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LayerFindAny(const std::string &pattern) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE)
    return false;
  FindClose(search);
  return true;
}

bool LayerCreateDir(const std::string &path) {
  return CreateDirectoryA(path.c_str(), nullptr) ? true : Fail(false);
}

std::string LayerFullPath(const std::string &path) {
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  if (n == 0 || n >= MAX_PATH)
    return Fail(std::string());
  return std::string(full, n);
}

std::string LayerTempPath() {
  char path[MAX_PATH];
  DWORD n = GetTempPathA(259, path);
  return n == 0 || n > 259 ? std::string() : std::string(path, n);
}

std::string LayerOemToAnsi(const std::string &text) {
  std::string out = text;
  if (!out.empty())
    OemToCharBuffA(text.data(), out.data(), DWORD(out.size()));
  return out;
}

std::string LayerUtf8ToAnsi(const std::string &text) {
  if (text.empty())
    return text;
  int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  if (wide <= 0)
    return std::string(text.size(), '_');
  std::wstring w(size_t(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), w.data(), wide);
  // No best-fit mapping: it would turn characters into look-alikes such as "/" or ":".
  int n =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), wide, nullptr, 0, "_", nullptr);
  if (n <= 0)
    return std::string(text.size(), '_');
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), wide, out.data(), n, "_", nullptr);
  return out;
}

unsigned LayerQuietErrors() { return SetErrorMode(SEM_FAILCRITICALERRORS); }
void LayerRestoreErrors(unsigned previous) { SetErrorMode(previous); }

TFileError LayerLastError() { return lastError; }

} // namespace arc
