#include "features/icons/Func_Icon.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/RegUnit.h"
#include "features/folder/Func_Folder.h"
#include "toolkit/core/SysUtils.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

namespace {

using K = IconPlaceKind;
using H = IconHome;

constexpr const char *Desktop = "Desktop Icons";
constexpr const char *Start = "Start Icons";
constexpr const char *Folders = "Folder Icons";
constexpr const char *Drives = "Drive Icons";
constexpr const char *Other = "Other Icons";
constexpr const char *Files = "File Icons";

constexpr const char *RecycleBin = "{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr const char *MediaPlayer = "\\Windows Media Player\\wmplayer.exe,1";

// clang-format off
const IconPlace PlaceTable[] = {
  {Desktop, "My Documents", K::ExplorerClsid, "{450D8FBA-AD25-11D0-98A8-0800361B1103}", "", H::System, "\\mydocs.dll,0", false},
  {Desktop, "My Computer", K::ExplorerClsid, "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", H::Windows, "\\explorer.exe,0", false},
  {Desktop, "Network Neighborhood", K::ExplorerClsid, "{208D2C60-3AEA-1069-A2D7-08002B30309D}", "", H::System, "\\shell32.dll,17", false},
  {Desktop, "The Internet", K::ExplorerClsid, "{871C5380-42A0-1069-A2EA-08002B30309D}", "", H::ProgramFiles, "\\Internet Explorer\\iexplore.exe,0", false},
  {Desktop, "Recycle Bin (empty)", K::ExplorerClsid, RecycleBin, "empty", H::System, "\\shell32.dll,31", false},
  {Desktop, "Recycle Bin (full)", K::ExplorerClsid, RecycleBin, "full", H::System, "\\shell32.dll,32", true},
  {Start, "Internet", K::InternetClient, "", "", H::ProgramFiles, "\\Internet Explorer\\iexplore.exe,0", false},
  {Start, "E-mail", K::MailClient, "", "", H::ProgramFiles, "\\Outlook Express\\msimn.exe,0", false},
  {Start, "Find", K::ExplorerClsid, "{2559a1f0-21d7-11d4-bdaf-00c04f60b9f0}", "", H::System, "\\shell32.dll,22", false},
  {Start, "Help", K::ExplorerClsid, "{2559a1f1-21d7-11d4-bdaf-00c04f60b9f0}", "", H::System, "\\shell32.dll,23", false},
  {Start, "Run", K::ExplorerClsid, "{2559a1f3-21d7-11d4-bdaf-00c04f60b9f0}", "", H::System, "\\shell32.dll,24", false},
  {Folders, "Closed Folder", K::ShellIcon, "3", "", H::System, "\\shell32.dll,3", false},
  {Folders, "Open Folder", K::ShellIcon, "4", "", H::System, "\\shell32.dll,4", false},
  {Folders, "Program Group", K::ShellIcon, "36", "", H::System, "\\shell32.dll,36", false},
  {Folders, "My Pictures", K::ShellFolder, "My Pictures", "", H::System, "\\mydocs.dll,1", false},
  {Folders, "My Music", K::ShellFolder, "My Music", "", H::System, "\\shell32.dll,128", false},
  {Folders, "Control Panel", K::ExplorerClsid, "{21EC2020-3AEA-1069-A2DD-08002B30309D}", "", H::System, "\\shell32.dll,57", false},
  {Folders, "Administrative Tools", K::ExplorerClsid, "{D20EA4E1-3957-11d2-A40B-0C5020524153}", "", H::System, "\\main.cpl,10", false},
  {Folders, "Fonts", K::ExplorerClsid, "{D20EA4E1-3957-11d2-A40B-0C5020524152}", "", H::System, "\\main.cpl,9", false},
  {Folders, "Dial-Up Networking", K::ExplorerClsid, "{7007ACC7-3202-11D1-AAD2-00805FC1270E}", "", H::System, "\\netshell.dll,0", false},
  {Folders, "Printers", K::ExplorerClsid, "{2227A280-3AEA-1069-A2DE-08002B30309D}", "", H::System, "\\shell32.dll,58", false},
  {Folders, "Scanners && Cameras", K::ExplorerClsid, "{E211B736-43FD-11D1-9EFB-0000F8757FCD}", "", H::System, "\\wiashext.dll,0", false},
  {Folders, "Scheduled Tasks", K::ExplorerClsid, "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}", "", H::System, "\\mstask.dll,0", false},
  {Folders, "Web Folders", K::ExplorerClsid, "{BDEADF00-C265-11d0-BCED-00A0C90AB50F}", "", H::CommonFiles, "\\Microsoft Shared\\Web Folders\\msonsext.dll,0", false},
  {Folders, "ActiveX Cache", K::ClassClsid, "{88C6C381-2E85-11D0-94DE-444553540000}", "", H::System, "\\occache.dll,0", false},
  {Folders, "Favorites", K::Favorites, "", "", H::System, "\\shell32.dll,86", false},
  {Folders, "Url History", K::ClassClsid, "{FF393560-C2A7-11CF-BFF4-444553540000}", "", H::System, "\\shdocvw.dll,24", false},
  {Folders, "Subscriptions", K::ClassClsid, "{F5175861-2688-11d0-9C5E-00AA00A45957}", "", H::System, "\\webcheck.dll,0", false},
  {Drives, "Floppy Drive (5.25)", K::ShellIcon, "5", "", H::System, "\\shell32.dll,5", false},
  {Drives, "Floppy Drive (3.5)", K::ShellIcon, "6", "", H::System, "\\shell32.dll,6", false},
  {Drives, "Hard Drive", K::ShellIcon, "8", "", H::System, "\\shell32.dll,8", false},
  {Drives, "Network Drive (connected)", K::ShellIcon, "9", "", H::System, "\\shell32.dll,9", false},
  {Drives, "Network Drive (offline)", K::ShellIcon, "10", "", H::System, "\\shell32.dll,10", false},
  {Drives, "CD-ROM Drive", K::ShellIcon, "11", "", H::System, "\\shell32.dll,11", false},
  {Drives, "Removable Drive", K::ShellIcon, "7", "", H::System, "\\shell32.dll,7", false},
  {Drives, "RAM Drive", K::ShellIcon, "12", "", H::System, "\\shell32.dll,12", false},
  {Other, "Shortcut Overlay", K::ShellIcon, "29", "", H::System, "\\shell32.dll,29", false},
  {Other, "Sharing Overlay", K::ShellIcon, "28", "", H::System, "\\shell32.dll,28", false},
  {Other, "Desktop", K::ShellIcon, "34", "", H::System, "\\shell32.dll,34", false},
  {Other, "Entire Network", K::ShellIcon, "13", "", H::System, "\\shell32.dll,13", false},
  {Other, "Network Service", K::ShellIcon, "14", "", H::System, "\\shell32.dll,14", false},
  {Other, "Workgroup", K::ShellIcon, "18", "", H::System, "\\shell32.dll,18", false},
  {Other, "Computer", K::ShellIcon, "15", "", H::System, "\\shell32.dll,15", false},
  {Other, "Audio CD", K::ShellIcon, "40", "", H::System, "\\shell32.dll,40", false},
  {Files, "Bitmap Image", K::FileType, "bmp", "", H::System, "\\shimgvw.dll,1", false},
  {Files, "Configuration Settings", K::FileType, "ini", "", H::System, "\\shell32.dll,69", false},
  {Files, "Default Icon", K::ShellIcon, "0", "", H::System, "\\shell32.dll,0", false},
  {Files, "Default Document", K::ShellIcon, "1", "", H::System, "\\shell32.dll,1", false},
  {Files, "GIF Image", K::FileType, "gif", "", H::System, "\\shimgvw.dll,2", false},
  {Files, "Internet Document", K::FileType, "htm", "", H::ProgramFiles, "\\Internet Explorer\\iexplore.exe,1", false},
  {Files, "JPEG Image", K::FileType, "jpg", "", H::System, "\\shimgvw.dll,3", false},
  {Files, "Media Clip", K::FileType, "mmm", "", H::System, "\\mplay32.exe,1", false},
  {Files, "MIDI Sequence", K::FileType, "mid", "", H::ProgramFiles, MediaPlayer, false},
  {Files, "Movie Clip", K::FileType, "mpeg", "", H::ProgramFiles, MediaPlayer, false},
  {Files, "MS-DOS Application", K::ShellIcon, "2", "", H::System, "\\shell32.dll,2", false},
  {Files, "MS-DOS Batch File", K::FileType, "bat", "", H::System, "\\shell32.dll,71", false},
  {Files, "Rich Text Format", K::FileType, "rtf", "", H::ProgramFiles, "\\Windows NT\\Accessories\\Wordpad.exe,1", false},
  {Files, "Text Document", K::FileType, "txt", "", H::System, "\\shell32.dll,70", false},
  {Files, "Video Clip", K::FileType, "avi", "", H::ProgramFiles, MediaPlayer, false},
  {Files, "Wave Sound", K::FileType, "wav", "", H::ProgramFiles, MediaPlayer, false},
  {Files, "Write Document", K::FileType, "wri", "", H::ProgramFiles, "\\Windows NT\\Accessories\\Wordpad.exe,2", false},
  {Files, "Zip File", K::FileType, "zip", "", H::System, "\\zipfldr.dll,0", false},
  // Shown and restored by the single icons form only; no package sets it.
  {"", "My Briefcase", K::ClassClsid, "{85BBD920-42A0-1069-A2E4-08002B30309D}", "", H::System, "\\syncui.dll,0", false},
};
// clang-format on

constexpr const char *ExplorerClsidRoot =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\";
constexpr const char *ShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char *CurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char *ThemeDirWord = "%ThemeDir%";

// A value of the system's own CurrentVersion key, read in the view the shell itself reads.
std::string ShellFolderSetting(const char *ValueName) {
  TRegistry reg(KEY_READ | GetPlaces().RegistryView());
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKeyReadOnly(CurrentVersionKey))
    return std::string();
  TRegDataType type = reg.GetDataType(ValueName);
  if (type != TRegDataType::rdString && type != TRegDataType::rdExpandString)
    return std::string();
  return ExcludeTrailingBackslash(reg.ReadString(ValueName));
}

// The folders the Windows defaults begin with, looked up once for a whole restore.
struct THomes {
  std::string system = GetSystemDir(), windows = GetWindowsDir();
  std::string programFiles = GetProgramFilesDir(), commonFiles = GetCommonFilesDir();

  const std::string &Home(const IconPlace &Place) const {
    switch (Place.Home) {
    case IconHome::Windows:
      return windows;
    case IconHome::ProgramFiles:
      return programFiles;
    case IconHome::CommonFiles:
      return commonFiles;
    default:
      return system;
    }
  }

  std::string Default(const IconPlace &Place) const { return Home(Place) + Place.DefaultTail; }
};

// The document type (ProgID) of an extension; "" when it has none.
std::string DocumentType(const std::string &Ext) {
  return ReadRegValue(HKEY_CLASSES_ROOT, "." + Ext, "");
}

// The folder behind a folder place; "" when the user has none of that kind.
std::string PlaceFolder(const IconPlace &Place) {
  if (Place.Kind == IconPlaceKind::Favorites)
    return GetFavoritesDir();
  return ReadRegValue(HKEY_CURRENT_USER, ShellFoldersKey, Place.Target);
}

bool IsFolderPlace(const IconPlace &Place) {
  return Place.Kind == IconPlaceKind::ShellFolder || Place.Kind == IconPlaceKind::Favorites;
}

// A location split at its first comma: the file, and the index text ("0" when there is none).
void SplitLocation(const std::string &Location, std::string &File, std::string &Index) {
  size_t comma = Location.find(',');
  File = Location.substr(0, comma);
  Index = comma == std::string::npos ? "0" : Location.substr(comma + 1);
}

} // namespace

std::span<const IconPlace> IconPlaces() { return PlaceTable; }

const IconPlace *FindIconPlace(const std::string &Section, const std::string &Key) {
  for (const IconPlace &place : PlaceTable)
    if (SameText(place.Section, Section) && SameText(place.Key, Key))
      return &place;
  return nullptr;
}

const IconPlace *FindFileTypePlace(const std::string &Ext) {
  for (const IconPlace &place : PlaceTable)
    if (place.Kind == IconPlaceKind::FileType && SameText(place.Target, Ext))
      return &place;
  return nullptr;
}

std::string ExplorerClsidKey(const std::string &Clsid) {
  return ExplorerClsidRoot + Clsid + "\\DefaultIcon";
}

std::string ClassClsidKey(const std::string &Clsid) { return "CLSID\\" + Clsid + "\\DefaultIcon"; }

std::string GetProgramFilesDir() {
  std::string dir = ShellFolderSetting("ProgramFilesDir");
  return dir.empty() ? "C:\\Program Files" : dir;
}

std::string GetCommonFilesDir() {
  std::string dir = ShellFolderSetting("CommonFilesDir");
  return dir.empty() ? GetProgramFilesDir() + "\\Common Files" : dir;
}

std::string IconPlaceDefault(const IconPlace &Place) { return THomes().Default(Place); }

bool IconPlaceValue(const IconPlace &Place, HKEY &Root, std::string &Key, std::string &ValueName) {
  ValueName = Place.ValueName;
  switch (Place.Kind) {
  case IconPlaceKind::ExplorerClsid:
    Root = HKEY_CURRENT_USER;
    Key = ExplorerClsidKey(Place.Target);
    return true;
  case IconPlaceKind::ClassClsid:
    Root = HKEY_CLASSES_ROOT;
    Key = ClassClsidKey(Place.Target);
    return true;
  case IconPlaceKind::ShellIcon:
    Root = HKEY_LOCAL_MACHINE;
    Key = ShellIconsKey;
    ValueName = Place.Target;
    return true;
  case IconPlaceKind::InternetClient:
  case IconPlaceKind::MailClient: {
    std::string clients = Place.Kind == IconPlaceKind::InternetClient
                              ? "SOFTWARE\\Clients\\StartMenuInternet"
                              : "SOFTWARE\\Clients\\Mail";
    std::string client = ReadRegValue(HKEY_LOCAL_MACHINE, clients, "");
    // No default client: there is no client key to give an icon to.
    if (client.empty())
      return false;
    Root = HKEY_LOCAL_MACHINE;
    Key = clients + "\\" + client + "\\DefaultIcon";
    return true;
  }
  case IconPlaceKind::FileType: {
    std::string type = DocumentType(Place.Target);
    if (type.empty())
      return false;
    Root = HKEY_CLASSES_ROOT;
    Key = type + "\\DefaultIcon";
    return true;
  }
  default:
    return false;
  }
}

namespace {

// The writes of one apply or restore. Registry values are gathered by key, so that each key is
// opened once for all of its values (the 27 Shell Icons share one); folder icons are written at
// once. Every key and folder is tried; what refuses is added to the list of refusals.
class TIconWrites {
public:
  explicit TIconWrites(TRefusedWrites &Refused) : refused_(Refused) {}

  // Writes a location to a place (later, for the registry); true when there is something to
  // write it to. A folder place takes the location split at its first comma.
  bool Place(const IconPlace &Place, const std::string &Location) {
    if (IsFolderPlace(Place)) {
      std::string file, index;
      SplitLocation(Location, file, index);
      return Folder(Place, file, index);
    }
    HKEY root;
    std::string key, value;
    if (!IconPlaceValue(Place, root, key, value))
      return false;
    Add(root, key, value, Location);
    // The full Recycle Bin's default is the key's default value as well.
    if (restoring_ && Place.RestoreDefaultValue)
      Add(root, key, "", Location);
    return true;
  }

  // A folder place's icon file and index text; true when there is a folder to give it to.
  bool Folder(const IconPlace &Place, const std::string &File, const std::string &IndexText) {
    std::string folder = PlaceFolder(Place);
    int index = 0;
    // A folder the user doesn't have is left alone; an index that is no number names no icon:
    // this key is skipped, the package goes on.
    if (folder.empty() || !DirectoryExists(folder) || !TryStrToInt(IndexText, index))
      return false;
    if (SetFolderIcon(folder, File, index)) {
      ++written_;
    } else {
      DWORD error = GetLastError();
      refused_.AddFile(IncludeTrailingBackslash(folder) + "desktop.ini",
                       error ? error : ERROR_WRITE_FAULT);
      allDone_ = false;
    }
    return true;
  }

  // The restore's writes from here on (Place writes the extra default value).
  void Restoring() { restoring_ = true; }

  // The gathered writes, key by key; the number of values (and folders) written.
  int Flush() {
    for (const KeyWrites &k : keys_) {
      if (!TryWriteRegStrings(k.root, k.key, k.values, refused_)) {
        allDone_ = false;
        continue;
      }
      written_ += int(k.values.size());
    }
    keys_.clear();
    return written_;
  }

  // Whether nothing was refused so far.
  bool AllDone() const { return allDone_; }

private:
  void Add(HKEY root, const std::string &key, const std::string &name, const std::string &data) {
    auto k = std::find_if(keys_.begin(), keys_.end(), [&](const KeyWrites &w) {
      return w.root == root && SameText(w.key, key);
    });
    if (k == keys_.end())
      k = keys_.insert(keys_.end(), KeyWrites{root, key, {}});
    k->values.emplace_back(name, data);
  }

  struct KeyWrites {
    HKEY root;
    std::string key;
    std::vector<std::pair<std::string, std::string>> values;
  };
  std::vector<KeyWrites> keys_;
  TRefusedWrites &refused_;
  bool allDone_ = true;
  bool restoring_ = false;
  int written_ = 0;
};

// A package value with every "%ThemeDir%" replaced by the package's folder.
std::string ThemeValue(const std::string &Value, const std::string &Folder) {
  return StringReplaceAll(Value, ThemeDirWord, Folder);
}

// A whole package read afresh, a section in one call to the system (a call per key costs as
// much as writing the key's registry value). Values come out as the ini reader gives them one
// by one: the first key of that name (in any letter case), blanks around it dropped, one pair of
// enclosing quotes dropped, and at most as long as the reader's buffer allows.
class TPackage {
public:
  explicit TPackage(const std::string &File) : file_(File), folder_(ExtractFilePath(File)) {
    TIniFile(File).UpdateFile();
  }

  // The package's own text, "%ThemeDir%" left as it stands.
  std::string RawValue(const char *Section, const char *Key) {
    if (section_ != Section) {
      section_ = Section;
      Load();
    }
    for (const auto &[key, value] : lines_)
      if (SameText(key, Key))
        return value;
    return std::string();
  }

  std::string Expand(const std::string &Text) const { return ThemeValue(Text, folder_); }

private:
  void Load() {
    lines_.clear();
    std::vector<char> buffer(32768);
    DWORD got;
    // Too small a buffer comes back filled to two short of its size.
    while ((got = GetPrivateProfileSectionA(section_.c_str(), buffer.data(), DWORD(buffer.size()),
                                            file_.c_str())) +
                   2 >=
               buffer.size() &&
           buffer.size() < (1u << 24))
      buffer.resize(buffer.size() * 4);
    for (size_t i = 0; i < got && buffer[i];) {
      std::string line(&buffer[i]);
      i += line.size() + 1;
      size_t equals = line.find('=');
      if (equals == std::string::npos)
        continue;
      std::string value = Trim(line.substr(equals + 1));
      if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
      lines_.emplace_back(Trim(line.substr(0, equals)), value.substr(0, MaxValueLength));
    }
  }

  static constexpr size_t MaxValueLength = 2047;
  std::string file_, folder_, section_;
  std::vector<std::pair<std::string, std::string>> lines_;
};

} // namespace

bool WriteIconPlace(const IconPlace &Place, const std::string &Location, TRefusedWrites &Refused) {
  TIconWrites writes(Refused);
  bool placed = writes.Place(Place, Location);
  writes.Flush();
  return placed && writes.AllDone();
}

int RestoreIconPlace(const IconPlace &Place, TRefusedWrites &Refused) {
  TIconWrites writes(Refused);
  writes.Restoring();
  writes.Place(Place, IconPlaceDefault(Place));
  return writes.Flush();
}

// ---- the engine --------------------------------------------------------------------------

namespace {

// A hung window can't hold the program up: it is skipped, and no one is waited for longer
// than ten seconds.
LRESULT Broadcast(UINT message, WPARAM wParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(HWND_BROADCAST, message, wParam, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

} // namespace

LRESULT BroadcastMetricsChange() { return Broadcast(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS); }

LRESULT BroadcastWinIniChange() { return Broadcast(WM_WININICHANGE, 0); }

namespace {

// Lowers "Shell Icon Size" by one and puts it back, each step broadcast. The size is read and
// written in place, never created: a user who never set one keeps having none.
bool ToggleIconSize() {
  auto openSize = [](TRegistry &reg) {
    reg.SetRootKey(HKEY_CURRENT_USER);
    return reg.OpenKey(WindowMetricsKey, false);
  };
  std::string size;
  {
    TRegistry reg(KEY_READ | RegistryView(HKEY_CURRENT_USER, WindowMetricsKey));
    if (!openSize(reg) || reg.GetDataType("Shell Icon Size") != TRegDataType::rdString)
      return false;
    size = reg.ReadString("Shell Icon Size");
  }
  int64_t pixels;
  if (size.empty() || !TryStrToInt64(Trim(size), pixels))
    return false;
  for (const std::string &step : {IntToStr(pixels - 1), size}) {
    TRegistry reg(KEY_SET_VALUE | RegistryView(HKEY_CURRENT_USER, WindowMetricsKey));
    if (!openSize(reg))
      return false;
    reg.WriteString("Shell Icon Size", step);
    reg.CloseKey();
    BroadcastMetricsChange();
  }
  return true;
}

} // namespace

bool RefreshShellIcons() {
  bool toggled = ToggleIconSize();
  // The shell since Vista keeps no size unless the user set one, and listens to this instead.
  GetShell().ChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return toggled;
}

std::string ReadThemeValue(const std::string &Section, const std::string &Key,
                           const std::string &PackageFile) {
  TIniFile ini(PackageFile);
  // A package edited since it was last read is read afresh.
  ini.UpdateFile();
  return ThemeValue(ini.ReadString(Section, Key, ""), ExtractFilePath(PackageFile));
}

bool ReadThemeIcon(const std::string &Section, const std::string &Key,
                   const std::string &PackageFile, std::string &File, int &Index) {
  TIniFile ini(PackageFile);
  ini.UpdateFile();
  std::string raw = ini.ReadString(Section, Key, "");
  if (raw.empty())
    return false;
  std::string file, index;
  SplitLocation(raw, file, index);
  const std::string folder = ExtractFilePath(PackageFile);
  File = ThemeValue(file, folder);
  return TryStrToInt(ThemeValue(index, folder), Index);
}

HICON ExtractThemeIcon(const std::string &Section, const std::string &Key,
                       const std::string &PackageFile) {
  std::string file;
  int index = 0;
  // Index -1 would ask for the number of icons in the file, which is no icon.
  if (!ReadThemeIcon(Section, Key, PackageFile, file, index) || file.empty() || index == -1)
    return nullptr;
  HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file.c_str(), UINT(index));
  // 1 means "not a file with icons".
  return icon == reinterpret_cast<HICON>(1) ? nullptr : icon;
}

bool CleanExtension(const std::string &Typed, std::string &Ext) {
  Ext = !Typed.empty() && Typed[0] == '.' ? Typed.substr(1) : Typed;
  return !Ext.empty() && Ext.find('\\') == std::string::npos;
}

namespace {

bool FileTypeIcon(const std::string &Ext, const std::string &Location, TRefusedWrites &Refused) {
  std::string ext;
  if (!CleanExtension(Ext, ext))
    return false;
  std::string type = DocumentType(ext);
  if (type.empty())
    return false;
  return TryWriteRegValue(HKEY_CLASSES_ROOT, type + "\\DefaultIcon", "", Location, 1, Refused);
}

} // namespace

int WriteIconTheme(const std::string &PackageFile, TRefusedWrites &Refused) {
  TPackage package(PackageFile);
  TIconWrites writes(Refused);
  for (const IconPlace &place : PlaceTable) {
    if (!*place.Section)
      continue;
    std::string raw = package.RawValue(place.Section, place.Key);
    if (raw.empty())
      continue;
    if (!IsFolderPlace(place)) {
      writes.Place(place, package.Expand(raw));
      continue;
    }
    // Split before the folder word is replaced: the package's folder may hold a comma.
    std::string file, index;
    SplitLocation(raw, file, index);
    writes.Folder(place, package.Expand(file), package.Expand(index));
  }
  return writes.Flush();
}

int RestoreDefaultIcons(TRefusedWrites &Refused) {
  TIconWrites writes(Refused);
  writes.Restoring();
  const THomes homes;
  for (const IconPlace &place : PlaceTable) {
    if (!*place.Section)
      continue;
    if (!IsFolderPlace(place)) {
      writes.Place(place, homes.Default(place));
      continue;
    }
    // Split in the default's own tail: the home folder's name may hold a comma.
    std::string file, index;
    SplitLocation(place.DefaultTail, file, index);
    writes.Folder(place, homes.Home(place) + file, index);
  }
  return writes.Flush();
}

bool SetFileTypeIcon(const std::string &Ext, const std::string &Location, TRefusedWrites &Refused) {
  return FileTypeIcon(Ext, Location, Refused);
}

bool RestoreFileTypeIcon(const std::string &Ext, const std::string &Location,
                         TRefusedWrites &Refused) {
  return FileTypeIcon(Ext, Location, Refused);
}

void UpdateRecycleBinIcon() {
  // Looked up, not imported: the call is missing before Windows 2000.
  using UpdateProc = HRESULT(WINAPI *)();
  if (HMODULE shell = GetModuleHandleA("shell32.dll"))
    if (FARPROC update = GetProcAddress(shell, "SHUpdateRecycleBinIcon"))
      reinterpret_cast<UpdateProc>(reinterpret_cast<void *>(update))();
}

void ApplyIconTheme(const std::string &PackageFile, TRefusedWrites &Refused) {
  WriteIconTheme(PackageFile, Refused);
  UpdateRecycleBinIcon();
  RefreshShellIcons();
}

TPackageInstall ExtractIconPackage(const std::string &ArchiveFile, TComponent *Owner) {
  return InstallPackageArchive(ArchiveFile, GetConfigFolder("IconThemes"), Owner);
}
