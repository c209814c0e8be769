#include "features/folder/Func_Folder.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>

#include "toolkit/core/SysUtils.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

constexpr const char *ClassInfoSection = ".ShellClassInfo";
constexpr const char *ViewsSection = "ExtShellFolderViews";
constexpr const char *AutorunSection = "Autorun";

enum class TTarget { None, Folder, Drive };

TTarget TargetOf(const std::string &path) {
  if (path.size() > 3)
    return TTarget::Folder;
  return path.size() == 3 ? TTarget::Drive : TTarget::None;
}

std::string DesktopIni(const std::string &folder) { return folder + "\\desktop.ini"; }
std::string AutorunInf(const std::string &drive) { return drive + "Autorun.inf"; }

struct TIniValue {
  const char *section;
  const char *key;
  std::string value;
};

// Every key the writers write, and so every key a restore takes back out.
struct TIniKey {
  const char *section;
  const char *key;
};
const TIniKey FolderKeys[] = {
    {ClassInfoSection, "IconFile"},       {ClassInfoSection, "IconIndex"},
    {ClassInfoSection, "InfoTip"},        {FolderViewSection, "IconArea_TextBackground"},
    {FolderViewSection, "IconArea_Text"}, {FolderViewSection, "IconArea_Image"},
    {ViewsSection, FolderViewSection},
};
const TIniKey DriveKeys[] = {{AutorunSection, "Icon"}};

// Attributes are added and taken away one at a time, so that what others set (read-only above
// all, which the shell also accepts as a customised folder's mark) stays.
bool ChangeAttribute(const std::string &path, DWORD attribute, bool on) {
  int current = FileGetAttr(path);
  if (current == -1)
    return false;
  // "Normal" may only stand alone.
  DWORD kept = DWORD(current) & ~DWORD(FILE_ATTRIBUTE_NORMAL);
  DWORD wanted = on ? (kept | attribute) : (kept & ~attribute);
  if (wanted == kept)
    return true;
  return FileSetAttr(path, int(wanted ? wanted : FILE_ATTRIBUTE_NORMAL)) == 0;
}

bool WriteValues(const std::string &file, std::initializer_list<TIniValue> values) {
  try {
    TIniFile ini(file);
    for (const TIniValue &v : values)
      ini.WriteString(v.section, v.key, v.value);
    ini.UpdateFile();
  } catch (const EIniFileException &) {
    return false;
  }
  return true;
}

// The keys go into desktop.ini first: a folder that cannot take them is left as it was. Then
// the two marks without which the shell never reads the file.
bool WriteFolderValues(const std::string &folder, std::initializer_list<TIniValue> values) {
  if (!DirectoryExists(folder))
    return false;
  std::string ini = DesktopIni(folder);
  return WriteValues(ini, values) && ChangeAttribute(folder, FILE_ATTRIBUTE_SYSTEM, true) &&
         ChangeAttribute(ini, FILE_ATTRIBUTE_HIDDEN, true);
}

// True when the file holds nothing but section headers and blank lines: no key and no comment of
// anyone else's is lost by deleting it.
bool HoldsNothing(const std::string &file) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return false;
  std::string line;
  while (std::getline(in, line)) {
    std::string text = Trim(line);
    if (!text.empty() && !(text.front() == '[' && text.back() == ']'))
      return false;
  }
  return true;
}

// The section is in the file but holds no key.
bool EmptySectionListed(const TIniFile &ini, const char *section) {
  TStringList sections;
  ini.ReadSections(sections);
  return sections.IndexOf(section) >= 0 && !ini.SectionExists(section);
}

// Takes one copy of the key out, or the empty section it leaves; false when there is nothing
// (more) to take.
bool RemoveOneCopy(TIniFile &ini, const TIniKey &key, bool &refused) {
  if (ini.ValueExists(key.section, key.key)) {
    refused = !ini.DeleteKey(key.section, key.key);
    return !refused;
  }
  if (!EmptySectionListed(ini, key.section))
    return false;
  ini.EraseSection(key.section);
  return true;
}

// Removes the keys (and the sections they leave empty); then the file itself when nothing is
// left in it. Returns whether the file is gone, through deleted.
bool RemoveKeys(const std::string &file, const TIniKey *keys, size_t count, bool &deleted) {
  deleted = false;
  TIniFile ini(file);
  // The system sees only the first copy of a key, and only the first of sections of the same
  // name, so every copy of ours is taken out one by one, and a section left empty goes so that
  // the next one of its name comes to light, until a round finds nothing more. Each change
  // takes a line out of the file, which bounds their number.
  try {
    int64_t changes = FileSize(file) + 2;
    for (bool changed = true; changed;) {
      changed = false;
      for (size_t i = 0; i < count; ++i) {
        bool refused = false;
        while (RemoveOneCopy(ini, keys[i], refused)) {
          changed = true;
          if (--changes <= 0)
            return false;
        }
        if (refused)
          return false;
      }
    }
    ini.UpdateFile();
  } catch (const EIniFileException &) {
    return false;
  }
  if (!HoldsNothing(file))
    return true;
  // A hidden, system or read-only file is deleted all the same.
  FileSetAttr(file, FILE_ATTRIBUTE_NORMAL);
  deleted = tk::DeleteFile(file);
  return deleted;
}

} // namespace

bool SetFolderIcon(const std::string &Folder, const std::string &IconFile, int IconIndex) {
  switch (TargetOf(Folder)) {
  case TTarget::Folder:
    return WriteFolderValues(Folder, {{ClassInfoSection, "IconFile", IconFile},
                                      {ClassInfoSection, "IconIndex", IntToStr(IconIndex)}});
  case TTarget::Drive:
    // Autorun.inf keeps whatever attributes it has.
    return DirectoryExists(Folder) &&
           WriteValues(AutorunInf(Folder),
                       {{AutorunSection, "Icon", IconFile + "," + IntToStr(IconIndex)}});
  case TTarget::None:
    break;
  }
  return false;
}

bool SetFolderInfoTip(const std::string &Folder, const std::string &InfoTip) {
  if (TargetOf(Folder) != TTarget::Folder)
    return false;
  return WriteFolderValues(Folder, {{ClassInfoSection, "InfoTip", InfoTip}});
}

bool SetFolderBackground(const std::string &Folder, const std::string &TextBackground,
                         const std::string &TextColor, const std::string &Image) {
  if (TargetOf(Folder) != TTarget::Folder)
    return false;
  return WriteFolderValues(Folder, {{FolderViewSection, "IconArea_TextBackground", TextBackground},
                                    {FolderViewSection, "IconArea_Text", TextColor},
                                    {FolderViewSection, "IconArea_Image", Image},
                                    {ViewsSection, FolderViewSection, FolderViewSection}});
}

TRestoreResult RestoreFolder(const std::string &Folder) {
  bool deleted = false;
  switch (TargetOf(Folder)) {
  case TTarget::Folder: {
    std::string ini = DesktopIni(Folder);
    if (!FileExists(ini))
      return TRestoreResult::Restored;
    if (!RemoveKeys(ini, FolderKeys, std::size(FolderKeys), deleted))
      return TRestoreResult::Failed;
    // Without its desktop.ini the folder needs no mark; with one left, the mark keeps what
    // others wrote there in force.
    if (deleted && !ChangeAttribute(Folder, FILE_ATTRIBUTE_SYSTEM, false))
      return TRestoreResult::Failed;
    return TRestoreResult::Restored;
  }
  case TTarget::Drive: {
    std::string inf = AutorunInf(Folder);
    if (!FileExists(inf))
      return TRestoreResult::NoFile;
    return RemoveKeys(inf, DriveKeys, std::size(DriveKeys), deleted) ? TRestoreResult::Restored
                                                                     : TRestoreResult::Failed;
  }
  case TTarget::None:
    break;
  }
  return TRestoreResult::NotTarget;
}

std::string FolderColorText(TColor Color) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", unsigned(Color) & 0x00FFFFFFu);
  return text;
}

bool ReadFolderColorText(const std::string &Text, TColor &Color) {
  if (Text.size() < 3 || Text.size() > 10)
    return false;
  unsigned value = 0;
  for (size_t i = 2; i < Text.size(); ++i) {
    char c = Text[i];
    int digit = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                         : -1;
    if (digit < 0)
      return false;
    value = value * 16 + unsigned(digit);
  }
  // A value with the top byte set is no plain colour (it would name a system colour or none).
  if (value > 0x00FFFFFFu)
    return false;
  Color = TColor(value);
  return true;
}
