#include "features/cursor/Func_CT.h"

#include <windows.h>

#include <vector>

#include "common/RegUnit.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

namespace Func_CT {

namespace {

// The shadow's bit of the preference mask: bit 13, the second byte's 0x20.
constexpr size_t ShadowByte = 1;
constexpr uint8_t ShadowBit = 0x20;
// What a user without any mask gets: the system's usual preferences, the shadow's bit aside.
constexpr uint8_t DefaultMask[4] = {0xBE, 0x1E, 0x07, 0x80};

// The reload that makes Windows read the roles again and tell every window.
void ReloadCursors() { GetShell().SystemParameters(SPI_SETCURSORS, 0, nullptr, SPIF_SENDCHANGE); }

// The stored mask's bytes, as many as there are; empty when there is no binary mask.
std::vector<uint8_t> ReadPreferencesMask() {
  TRegistry reg(KEY_READ | RegistryView(HKEY_CURRENT_USER, DesktopKey));
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (!reg.OpenKeyReadOnly(DesktopKey))
    return {};
  TRegDataInfo info;
  if (!reg.GetDataInfo(PreferencesMaskValue, info) || info.RegData != TRegDataType::rdBinary ||
      info.DataSize <= 0)
    return {};
  std::vector<uint8_t> mask(size_t(info.DataSize));
  try {
    mask.resize(size_t(reg.ReadBinaryData(PreferencesMaskValue, mask.data(), int(mask.size()))));
  } catch (const ERegistryException &) {
    return {}; // changed between the two looks
  }
  return mask;
}

void WritePreferencesMask(const std::vector<uint8_t> &mask) {
  TRegistry reg(KEY_ALL_ACCESS | RegistryView(HKEY_CURRENT_USER, DesktopKey));
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (!reg.OpenKey(DesktopKey, true)) {
    GetPrompts().MessageBox(nullptr, "wrong", "", MB_OK);
    return;
  }
  reg.WriteBinaryData(PreferencesMaskValue, mask.data(), int(mask.size()));
}

} // namespace

std::string ReadThemeValue(const std::string &Section, const std::string &Key,
                           const std::string &PackageFile) {
  TIniFile ini(PackageFile);
  ini.UpdateFile();
  return StringReplaceAll(ini.ReadString(Section, Key, ""), "%ThemeDir%",
                          ExtractFilePath(PackageFile));
}

void ApplyCursorTheme(const std::string &PackageFile) {
  for (const char *role : CursorApplyOrder) {
    std::string file = ReadThemeValue("Cursors", role, PackageFile);
    if (FileExists(file))
      WriteRegValue(HKEY_CURRENT_USER, CursorsKey, role, file, 1);
  }
  ReloadCursors();
}

void RestoreDefaultCursors() {
  for (const char *role : CursorRestoreOrder)
    WriteRegValue(HKEY_CURRENT_USER, CursorsKey, role, "", 1);
  ReloadCursors();
}

void SetCursorShadow(bool On) {
  // Only the shadow's bit is ours: the mask holds every other visual preference of the user,
  // and Windows XP keeps eight bytes of it where older systems keep four.
  std::vector<uint8_t> mask = ReadPreferencesMask();
  if (mask.empty())
    mask.assign(std::begin(DefaultMask), std::end(DefaultMask));
  else if (mask.size() <= ShadowByte)
    mask.resize(sizeof(DefaultMask), 0);
  if (On)
    mask[ShadowByte] |= ShadowBit;
  else
    mask[ShadowByte] &= uint8_t(~ShadowBit);
  WritePreferencesMask(mask);
  // The value stored above is what lasts; the call switches the running session alone.
  GetShell().SystemParameters(SPI_SETCURSORSHADOW, 0, reinterpret_cast<void *>(UINT_PTR(On)), 0);
}

bool GetCursorShadow() {
  std::vector<uint8_t> mask = ReadPreferencesMask();
  return mask.size() > ShadowByte && (mask[ShadowByte] & ShadowBit) != 0;
}

void SetMouseTrails(int Count) {
  WriteRegValue(HKEY_CURRENT_USER, MouseKey, MouseTrailsValue, IntToStr(Count), 1);
  GetShell().SystemParameters(SPI_SETMOUSETRAILS, UINT(Count), nullptr, 0);
}

int GetMouseTrails() {
  int count = 0;
  // Anything but a number (typed in by hand, or left by some other tool) is no trail.
  if (!TryStrToInt(ReadRegValue(HKEY_CURRENT_USER, MouseKey, MouseTrailsValue), count))
    return 0;
  return count;
}

TPackageInstall ExtractCursorPackage(const std::string &ArchiveFile, TComponent *Owner) {
  return InstallPackageArchive(ArchiveFile, GetConfigFolder("CursorThemes"), Owner);
}

} // namespace Func_CT
