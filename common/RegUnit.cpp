#include "common/RegUnit.h"

#include <shellapi.h>

#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/ImgList.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

// ---- registry values as text -----------------------------------------------------------------

namespace {

// Opens Key below RootKey the way every routine here does: the path is created first (which
// raises when even that is refused), then opened without creating. A key that exists but can't
// be opened is reported with the plain "wrong" box and the caller does nothing more.
bool OpenValueKey(TRegistry &reg, HKEY RootKey, const std::string &Key) {
  reg.SetRootKey(RootKey);
  reg.CreateKey(Key);
  if (reg.OpenKey(Key, false))
    return true;
  GetPrompts().MessageBox(nullptr, "wrong", "", MB_OK);
  return false;
}

// A binary value: at most four bytes, least significant first, as an unsigned number.
std::string ReadBinaryAsNumber(TRegistry &reg, const std::string &ValueName) {
  unsigned char bytes[4] = {};
  int got = reg.ReadBinaryData(ValueName, bytes, sizeof(bytes));
  uint32_t value = 0;
  for (int i = got - 1; i >= 0; --i)
    value = (value << 8) | bytes[i];
  return IntToStr(value);
}

} // namespace

std::string ReadRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName) {
  TRegistry reg;
  if (!OpenValueKey(reg, RootKey, Key))
    return std::string();
  switch (reg.GetDataType(ValueName)) {
  case TRegDataType::rdString:
    return reg.ReadString(ValueName);
  case TRegDataType::rdExpandString:
    return ExpandSystemRoot(reg.ReadString(ValueName));
  case TRegDataType::rdInteger:
    return IntToStr(reg.ReadInteger(ValueName));
  case TRegDataType::rdBinary:
    return ReadBinaryAsNumber(reg, ValueName);
  default:
    return std::string(); // missing, or a type nothing here reads
  }
}

void WriteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                   const std::string &Data, int Kind) {
  TRegistry reg;
  if (!OpenValueKey(reg, RootKey, Key))
    return;
  switch (Kind) {
  case 1:
    reg.WriteString(ValueName, Data);
    break;
  case 2:
    reg.WriteInteger(ValueName, StrToInt(Data));
    break;
  case 3: {
    uint64_t value = uint64_t(StrToInt64(Data));
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
      bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    reg.WriteBinaryData(ValueName, bytes, sizeof(bytes));
    break;
  }
  default:
    break; // unknown kinds write nothing; the key path exists all the same
  }
}

void DeleteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName) {
  TRegistry reg;
  if (OpenValueKey(reg, RootKey, Key))
    reg.DeleteValue(ValueName);
}

// ---- icon locations and icons ----------------------------------------------------------------

std::string IconLocationFile(const std::string &Location) {
  return Location.substr(0, Location.find(','));
}

int IconLocationIndex(const std::string &Location) {
  size_t comma = Location.find(',');
  return comma == std::string::npos ? 0 : StrToInt(Location.substr(comma + 1));
}

namespace {

// The file of an icon location exists as stored, in the system folder or in the Windows folder.
bool IconFileExists(const std::string &file) {
  return FileExists(file) || FileExists(GetSystemDir() + "\\" + file) ||
         FileExists(GetWindowsDir() + "\\" + file);
}

HICON Extract(const std::string &file, int index) {
  HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file.c_str(), UINT(index));
  // 1 means "not a file with icons": no icon either.
  return icon == reinterpret_cast<HICON>(1) ? nullptr : icon;
}

HICON FallbackIcon() { return Extract(GetConfigFolder("Data") + "Icon.dll", 0); }

// The icon of a location, or the fallback icon when its file is nowhere to be found. found
// tells which it was. The icon is extracted from the file part as stored, so the system's own
// search order decides which file of that name it comes from.
HICON LocationIcon(const std::string &location, bool &found) {
  std::string file = IconLocationFile(location);
  found = !file.empty() && IconFileExists(file);
  if (!found)
    return FallbackIcon();
  HICON icon = Extract(file, IconLocationIndex(location));
  // A file that exists but yields no icon still gets a picture, so lists stay in step.
  return icon ? icon : FallbackIcon();
}

std::string ExtensionIconLocation(const std::string &Ext) {
  std::string type = ReadRegValue(HKEY_CLASSES_ROOT, "." + Ext, "");
  // Without a document type there is no DefaultIcon key to look in (and none to create).
  if (type.empty())
    return std::string();
  return ReadRegValue(HKEY_CLASSES_ROOT, type + "\\DefaultIcon", "");
}

bool AddLocationIconToList(const std::string &location, TImageList *ImageList) {
  bool found;
  TIcon icon(LocationIcon(location, found));
  ImageList->AddIcon(&icon);
  return found;
}

} // namespace

bool AddRegistryIconToList(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                           TImageList *ImageList) {
  return AddLocationIconToList(ReadRegValue(RootKey, Key, ValueName), ImageList);
}

bool AddExtensionIconToList(const std::string &Ext, TImageList *ImageList) {
  return AddLocationIconToList(ExtensionIconLocation(Ext), ImageList);
}

TIcon *GetExtensionIcon(const std::string &Ext) {
  bool found;
  return new TIcon(LocationIcon(ExtensionIconLocation(Ext), found));
}

// ---- folders ---------------------------------------------------------------------------------

std::string GetSystemDir() { return GetPlaces().SystemDir(); }
std::string GetWindowsDir() { return GetPlaces().WindowsDir(); }
std::string Shell32Path() { return GetSystemDir() + "\\shell32.dll"; }
std::string GetTempDir() { return GetPlaces().TempDir(); }
std::string GetFavoritesDir() { return GetPlaces().FavoritesDir(); }
std::string ProgramFolder() { return GetPlaces().ProgramDir(); }

std::string GetConfigFolder(const std::string &Name) {
  TIniFile ini(ProgramFolder() + "Data\\Config.ini");
  return ini.ReadString("Path", Name, ProgramFolder() + Name + "\\");
}

std::string ExpandSystemRoot(const std::string &Text) {
  return StringReplaceAll(Text, "%SystemRoot%", GetWindowsDir());
}
