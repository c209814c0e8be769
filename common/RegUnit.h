// The shared routines of both programs: registry values as text, icon locations and lookups,
// the system folders, the data-folder table of Config.ini, and what the platform tells about
// itself (file version, Windows family, processes, window effects).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tk {
class TImageList;
class TIcon;
} // namespace tk

// ---- registry values as text -----------------------------------------------------------------
// Kinds for WriteRegValue: 1 string, 2 32-bit integer from decimal text, 3 four-byte binary value
// from 64-bit integer text (its low four bytes, least significant first); others write nothing.
std::string ReadRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName);
void WriteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                   const std::string &Data, int Kind);
void DeleteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName);

// The program's own key under HKEY_CURRENT_USER.
inline constexpr const char *ProgramKey = "Software\\Quillomar\\Lumagrove";

// ---- icon locations and icons ----------------------------------------------------------------
std::string IconLocationFile(const std::string &Location);
int IconLocationIndex(const std::string &Location);
bool AddRegistryIconToList(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                           tk::TImageList *ImageList);
bool AddExtensionIconToList(const std::string &Ext, tk::TImageList *ImageList);
tk::TIcon *GetExtensionIcon(const std::string &Ext);

// ---- folders ---------------------------------------------------------------------------------
std::string GetSystemDir();
std::string GetWindowsDir();
std::string Shell32Path();
std::string GetTempDir();
std::string GetFavoritesDir();
std::string GetConfigFolder(const std::string &Name);
std::string ExpandSystemRoot(const std::string &Text);
std::string ProgramFolder(); // the running program's folder, with its trailing backslash

// ---- the platform ----------------------------------------------------------------------------
std::string GetAppFileVersion();
void GetWindowsVersion(uint8_t &Code, std::string &Family);
int RunAndWait(const std::string &CommandLine, uint16_t ShowCmd);
void AnimateWindowOpen(HWND Window, int Steps);
void AnimateWindowClose(HWND Window, int Steps);
