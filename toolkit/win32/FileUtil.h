// File and folder routines over Win32, under the names the program's code has always used.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The system's header maps DeleteFile to DeleteFileA; our routine of that name must not be
// renamed behind our back (calls elsewhere use DeleteFileA by its own name).
#undef DeleteFile

namespace tk {

// True only for files: a folder of that name does not count.
bool FileExists(const std::string &fileName);
bool DirectoryExists(const std::string &directory);
bool DeleteFile(const std::string &fileName);
// Fails when newName already exists.
bool RenameFile(const std::string &oldName, const std::string &newName);
// The FILE_ATTRIBUTE_... bits, or -1 when the file cannot be reached.
int FileGetAttr(const std::string &fileName);
// 0 on success, otherwise the system's error code.
int FileSetAttr(const std::string &fileName, int attributes);
bool CreateDir(const std::string &directory);
bool RemoveDir(const std::string &directory);
// Creates the folder and every missing folder above it. True when it exists afterwards.
bool ForceDirectories(const std::string &directory);
// Size in bytes, -1 when there is no such file (folders included).
int64_t FileSize(const std::string &fileName);
// Without a trailing backslash, except at a drive's root.
std::string GetCurrentDir();
// The system's own text for an error code, without its trailing line break; "" when it has none.
std::string SysErrorMessage(DWORD code);

} // namespace tk
