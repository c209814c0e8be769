#include "toolkit/win32/FileUtil.h"

#include <vector>

#include "toolkit/core/SysUtils.h"

namespace tk {

bool FileExists(const std::string &fileName) {
  DWORD attributes = ::GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string &directory) {
  DWORD attributes = ::GetFileAttributesA(directory.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFile(const std::string &fileName) { return ::DeleteFileA(fileName.c_str()) != FALSE; }

bool RenameFile(const std::string &oldName, const std::string &newName) {
  return ::MoveFileA(oldName.c_str(), newName.c_str()) != FALSE;
}

int FileGetAttr(const std::string &fileName) { return int(::GetFileAttributesA(fileName.c_str())); }

int FileSetAttr(const std::string &fileName, int attributes) {
  if (::SetFileAttributesA(fileName.c_str(), DWORD(attributes)))
    return 0;
  return int(::GetLastError());
}

bool CreateDir(const std::string &directory) {
  return ::CreateDirectoryA(directory.c_str(), nullptr) != FALSE;
}

bool RemoveDir(const std::string &directory) {
  return ::RemoveDirectoryA(directory.c_str()) != FALSE;
}

bool ForceDirectories(const std::string &directory) {
  std::string dir = ExcludeTrailingBackslash(directory);
  if (dir.empty()) // "" names nothing; "\" is the current drive's root
    return !directory.empty() && DirectoryExists(directory);
  if (DirectoryExists(dir))
    return true;
  // Each step must shorten the path, so drive roots ("C:"), a bare server ("\\host") and
  // doubled separators end the climb instead of repeating it.
  std::string parent = ExcludeTrailingBackslash(ExtractFilePath(dir));
  if (!parent.empty() && parent.size() < dir.size() && !ForceDirectories(parent))
    return false;
  // Someone else may have made it in the meantime.
  return CreateDir(dir) || DirectoryExists(dir);
}

int64_t FileSize(const std::string &fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return int64_t((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::string GetCurrentDir() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    DWORD got = ::GetCurrentDirectoryA(DWORD(buffer.size()), buffer.data());
    if (got == 0)
      return std::string();
    if (got < buffer.size())
      return std::string(buffer.data(), got);
    buffer.resize(got + 1); // got is the size needed, with its zero byte
  }
}

std::string SysErrorMessage(DWORD code) {
  char *text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
  std::string message = n && text ? Trim(std::string(text, n)) : std::string();
  if (text)
    LocalFree(text);
  return message;
}

} // namespace tk
