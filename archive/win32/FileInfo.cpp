// File facts over Win32.
#include "archive/FileInfo.h"

#include <windows.h>

#include "toolkit/core/Classes.h"

namespace arc {

namespace {
HANDLE H(TFileHandle handle) { return reinterpret_cast<HANDLE>(handle); }

uint32_t ToDos(const FILETIME &utc) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return (uint32_t{date} << 16) | time;
}
} // namespace

uint32_t LayerGetAttributes(const std::string &path) { return GetFileAttributesA(path.c_str()); }

bool LayerSetAttributes(const std::string &path, uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != 0;
}

uint32_t LayerFileDosDateTime(TFileHandle handle, int which) {
  FILETIME times[3];
  if (which < 0 || which > 2 || !GetFileTime(H(handle), &times[0], &times[2], &times[1]))
    return 0;
  return ToDos(times[which]);
}

bool LayerSetFileDosDateTime(TFileHandle handle, uint32_t dosDateTime) {
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return false;
  return SetFileTime(H(handle), nullptr, nullptr, &utc) != 0;
}

uint32_t LayerFileDosDateTimeByName(const std::string &path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
    return 0;
  return ToDos(data.ftLastWriteTime);
}

uint32_t LayerNowDosDateTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return ToDos(now);
}

bool LayerFileExists(const std::string &path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LayerDeleteFile(const std::string &path) { return DeleteFileA(path.c_str()) != 0; }

bool LayerMoveFile(const std::string &from, const std::string &to) {
  return MoveFileA(from.c_str(), to.c_str()) != 0;
}

std::string LayerTempFileName(const std::string &folder, const std::string &prefix) {
  char name[MAX_PATH + 1];
  if (GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, name) == 0)
    return std::string();
  return name;
}

std::string LayerCurrentDir() {
  char here[MAX_PATH + 1];
  DWORD n = GetCurrentDirectoryA(sizeof here, here);
  return n == 0 || n > MAX_PATH ? std::string() : std::string(here, n);
}

std::vector<std::string> LayerModuleStrings(const std::string &fileName, int count) {
  std::vector<std::string> strings;
  HMODULE module = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module)
    return strings;
  for (int id = 1; id <= count; ++id) {
    char text[6] = {};
    int n = LoadStringA(module, static_cast<UINT>(id), text, sizeof text);
    if (n <= 0)
      break;
    strings.emplace_back(text, static_cast<size_t>(n));
  }
  FreeLibrary(module);
  return strings;
}

void LayerProcessMessages() {
  tk::TNestedLoop loop;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the program's own message loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

} // namespace arc
