#include "features/cursor/Func_CT.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "common/RegUnit.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

namespace Func_CT {

namespace {

// The shadow's bit of the preference mask: bit 13, 0x20 of its byte.
constexpr uint8_t ShadowBit = 0x20;
// What a user without any mask gets: the system's usual preferences, the shadow's bit aside.
constexpr uint8_t DefaultMask[4] = {0xBE, 0x1E, 0x07, 0x80};

// The reload that makes Windows read the roles again and tell every window.
void ReloadCursors() { GetShell().SystemParameters(SPI_SETCURSORS, 0, nullptr, SPIF_SENDCHANGE); }

// A value's type and bytes as stored, read without judging its type; false when it (or its
// key) isn't there.
bool ReadRawValue(const char *Key, const char *ValueName, DWORD &Type, std::vector<uint8_t> &Data) {
  TRegistry reg(KEY_READ | RegistryView(HKEY_CURRENT_USER, Key));
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (!reg.OpenKeyReadOnly(Key))
    return false;
  // Read twice at most: the value may grow between the look at its size and the read.
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExA(reg.CurrentKey(), ValueName, nullptr, &Type, nullptr, &size) !=
        ERROR_SUCCESS)
      return false;
    Data.resize(size);
    LONG got = RegQueryValueExA(reg.CurrentKey(), ValueName, nullptr, &Type, Data.data(), &size);
    if (got == ERROR_SUCCESS) {
      Data.resize(size);
      return true;
    }
    if (got != ERROR_MORE_DATA)
      return false;
  }
  return false;
}

bool IsText(DWORD Type) { return Type == REG_SZ || Type == REG_EXPAND_SZ || Type == REG_MULTI_SZ; }

// The stored mask: its bytes, as many as there are, and its type, both kept when the shadow's
// bit is changed (some tools write the mask as a REG_DWORD, and the system reads it either way).
// No bytes when there is no mask, or a text that is no mask at all.
struct TPreferencesMask {
  DWORD type = REG_BINARY;
  std::vector<uint8_t> bytes;
  // Where bit 13 of the number lies: the second byte, but the third of a big-endian double word.
  size_t ShadowByte() const { return type == REG_DWORD_BIG_ENDIAN && bytes.size() == 4 ? 2 : 1; }
  bool HasShadowByte() const { return bytes.size() > ShadowByte(); }
};

TPreferencesMask ReadPreferencesMask() {
  TPreferencesMask mask;
  if (!ReadRawValue(DesktopKey, PreferencesMaskValue, mask.type, mask.bytes) || IsText(mask.type)) {
    mask.type = REG_BINARY;
    mask.bytes.clear();
  }
  return mask;
}

void WritePreferencesMask(const TPreferencesMask &mask) {
  TRegistry reg(KEY_ALL_ACCESS | RegistryView(HKEY_CURRENT_USER, DesktopKey));
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (!reg.OpenKey(DesktopKey, true)) {
    GetPrompts().MessageBox(nullptr, "wrong", "", MB_OK);
    return;
  }
  if (RegSetValueExA(reg.CurrentKey(), PreferencesMaskValue, 0, mask.type, mask.bytes.data(),
                     DWORD(mask.bytes.size())) != ERROR_SUCCESS)
    throw ERegistryException(FormatText(texts::SetDataFailed, {PreferencesMaskValue}));
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
  TPreferencesMask mask = ReadPreferencesMask();
  if (mask.bytes.empty())
    mask.bytes.assign(std::begin(DefaultMask), std::end(DefaultMask));
  else if (!mask.HasShadowByte())
    mask.bytes.resize(sizeof(DefaultMask), 0);
  uint8_t &shadow = mask.bytes[mask.ShadowByte()];
  if (On)
    shadow |= ShadowBit;
  else
    shadow &= uint8_t(~ShadowBit);
  WritePreferencesMask(mask);
  // The value stored above is what lasts; the call switches the running session alone.
  GetShell().SystemParameters(SPI_SETCURSORSHADOW, 0, reinterpret_cast<void *>(UINT_PTR(On)), 0);
}

bool GetCursorShadow() {
  TPreferencesMask mask = ReadPreferencesMask();
  return mask.HasShadowByte() && (mask.bytes[mask.ShadowByte()] & ShadowBit) != 0;
}

void SetMouseTrails(int Count) {
  WriteRegValue(HKEY_CURRENT_USER, MouseKey, MouseTrailsValue, IntToStr(Count), 1);
  // A trail is switched on with a length and pvParam 1; off with nothing.
  GetShell().SystemParameters(SPI_SETMOUSETRAILS, UINT(Count),
                              reinterpret_cast<void *>(UINT_PTR(Count != 0)), 0);
}

int GetMouseTrails() {
  // Anything but a number (typed in by hand, or left by some other tool in a type of its own)
  // is no trail, and never an error: the form shows what it can read.
  DWORD type = 0;
  std::vector<uint8_t> data;
  if (!ReadRawValue(MouseKey, MouseTrailsValue, type, data))
    return 0;
  int count = 0;
  if (IsText(type)) {
    std::string text(data.begin(), data.end());
    text.resize(std::min(text.size(), text.find('\0')));
    return TryStrToInt(text, count) ? count : 0;
  }
  // Numbers of every width are stored least significant byte first, but one.
  if (type == REG_DWORD_BIG_ENDIAN)
    std::reverse(data.begin(), data.end());
  uint64_t number = 0;
  for (size_t i = data.size(); i-- > 0;) {
    if (number > (UINT64_MAX >> 8))
      return 0;
    number = (number << 8) | data[i];
  }
  return number <= uint64_t(INT_MAX) ? int(number) : 0;
}

TPackageInstall ExtractCursorPackage(const std::string &ArchiveFile, TComponent *Owner) {
  return InstallPackageArchive(ArchiveFile, GetConfigFolder("CursorThemes"), Owner);
}

} // namespace Func_CT
