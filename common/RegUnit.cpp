#include "common/RegUnit.h"

#include <shellapi.h>

#include <cstring>

#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/ImgList.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

// ---- registry values as text -----------------------------------------------------------------

namespace {

// Where a registry key is kept on 64-bit Windows. A 32-bit program's accesses to most of
// HKEY_LOCAL_MACHINE\Software and to the classes go to a 32-bit copy of their own, which the
// 64-bit shell, logon host and system properties never read: the keys they read are opened in
// their view. Keys that 32-bit programs read as well (the 32-bit Internet Explorer's) are
// written in both. Everything else, per-user keys and the program's own above all, stays in
// the program's own view.
enum class KeyViews { Own, Native, Both };

struct RegistryPlace {
  HKEY root;
  const char *key; // this key and everything below it; "" for the whole root
  KeyViews views;
};

const RegistryPlace RegistryPlaces[] = {
    {HKEY_CLASSES_ROOT, "", KeyViews::Native},
    {HKEY_LOCAL_MACHINE, "Software\\Classes", KeyViews::Native},
    {HKEY_LOCAL_MACHINE, "Software\\Clients", KeyViews::Native},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\explorer",
     KeyViews::Native},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", KeyViews::Native},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
     KeyViews::Native},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
     KeyViews::Native},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer\\Main", KeyViews::Both},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer\\Extensions", KeyViews::Both},
};

// Key lies at or below Place, compared as the registry compares names (case aside).
bool KeyIsBelow(const std::string &Key, const char *Place) {
  size_t n = strlen(Place);
  if (n == 0)
    return true;
  if (Key.size() < n || !SameText(Key.substr(0, n), Place))
    return false;
  return Key.size() == n || Key[n] == '\\';
}

KeyViews ViewsOf(HKEY RootKey, const std::string &Key) {
  // A leading backslash names the same key from the root.
  std::string key = !Key.empty() && Key[0] == '\\' ? Key.substr(1) : Key;
  for (const RegistryPlace &place : RegistryPlaces)
    if (place.root == RootKey && KeyIsBelow(key, place.key))
      return place.views;
  return KeyViews::Own;
}

// Opens Key below RootKey in one view for a write or a delete, creating the path when it is
// missing. Only when that fails is it told apart whether the path can't be created (which
// raises) or the key exists but can't be opened (reported with the plain "wrong" box, and the
// caller does nothing more). One system call in the usual case: applying an icon package makes
// dozens of these.
bool OpenValueKey(TRegistry &reg, HKEY RootKey, const std::string &Key, REGSAM View) {
  reg.Access = KEY_ALL_ACCESS | View;
  reg.SetRootKey(RootKey);
  if (reg.OpenKey(Key, true))
    return true;
  reg.CreateKey(Key);
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

void WriteOpenValue(TRegistry &reg, const std::string &ValueName, const std::string &Data,
                    int Kind) {
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

} // namespace

std::vector<REGSAM> RegistryViews(HKEY RootKey, const std::string &Key) {
  REGSAM native = GetPlaces().RegistryView();
  switch (ViewsOf(RootKey, Key)) {
  case KeyViews::Native:
    return {native};
  case KeyViews::Both:
    return native ? std::vector<REGSAM>{native, 0} : std::vector<REGSAM>{0};
  default:
    return {0};
  }
}

REGSAM RegistryView(HKEY RootKey, const std::string &Key) {
  return RegistryViews(RootKey, Key).front();
}

std::string ReadRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName) {
  // Only opened for reading: a read needs no right to write and leaves no empty keys behind.
  TRegistry reg(KEY_READ | RegistryView(RootKey, Key));
  reg.SetRootKey(RootKey);
  if (!reg.OpenKeyReadOnly(Key)) {
    if (reg.LastError() != ERROR_FILE_NOT_FOUND)
      GetPrompts().MessageBox(nullptr, "wrong", "", MB_OK);
    return std::string();
  }
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
  for (REGSAM view : RegistryViews(RootKey, Key)) {
    TRegistry reg;
    if (!OpenValueKey(reg, RootKey, Key, view))
      return;
    WriteOpenValue(reg, ValueName, Data, Kind);
  }
}

void WriteRegStrings(HKEY RootKey, const std::string &Key,
                     const std::vector<std::pair<std::string, std::string>> &Values) {
  for (REGSAM view : RegistryViews(RootKey, Key)) {
    TRegistry reg;
    if (!OpenValueKey(reg, RootKey, Key, view))
      return;
    for (const auto &[name, data] : Values)
      reg.WriteString(name, data);
  }
}

void DeleteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName) {
  for (REGSAM view : RegistryViews(RootKey, Key)) {
    TRegistry reg;
    if (!OpenValueKey(reg, RootKey, Key, view))
      return;
    reg.DeleteValue(ValueName);
  }
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
  // Index -1 asks how many icons the file holds: the answer is a count, never an icon. Other
  // negative indexes are resource IDs.
  if (index == -1)
    return nullptr;
  HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file.c_str(), UINT(index));
  // 1 means "not a file with icons": no icon either.
  return icon == reinterpret_cast<HICON>(1) ? nullptr : icon;
}

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

HICON FallbackIcon() { return Extract(GetConfigFolder("Data") + "Icon.dll", 0); }

HICON ExtractLocationIcon(const std::string &Location) {
  std::string file = IconLocationFile(Location);
  size_t comma = Location.find(',');
  int index = 0;
  if (file.empty() ||
      (comma != std::string::npos && !TryStrToInt(Location.substr(comma + 1), index)))
    return nullptr;
  return Extract(file, index);
}

HICON ShellIconsIcon(int Index) {
  std::string location = ReadRegValue(HKEY_LOCAL_MACHINE, ShellIconsKey, IntToStr(Index));
  size_t comma = location.find(',');
  int index = 0;
  if (location.empty() ||
      (comma != std::string::npos && TryStrToInt(location.substr(comma + 1), index) && index == -1))
    location = Shell32Path() + "," + IntToStr(Index);
  return ExtractLocationIcon(location);
}

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
std::string GetNativeSystemDir() { return GetPlaces().NativeSystemDir(); }

TNativeSystemFolder::TNativeSystemFolder() {
  // With the alias the paths themselves reach the real folder; switching redirection off as
  // well would also turn the process's own 32-bit DLL loads to the 64-bit folder.
  if (IsWow64() && GetNativeSystemDir() == GetSystemDir())
    off_.emplace();
}
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
