// The icon package engine: icon package files (".iptheme"), the places where the shell looks
// for its icons, applying a package to them, the Windows defaults, single file types, the
// shell's icon refresh, and installing a package archive into the icon package folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "common/RegUnit.h"
#include "features/packages/PackageInstall.h"

namespace tk {
class TComponent;
}

// ---- the places of the shell's icons ---------------------------------------------------------

enum class IconPlaceKind {
  ExplorerClsid,  // HKCU ...\Explorer\CLSID\{G}\DefaultIcon (per user)
  ClassClsid,     // HKCR CLSID\{G}\DefaultIcon
  ShellIcon,      // HKLM ...\explorer\Shell Icons, the value named by the number
  InternetClient, // the DefaultIcon of the default Internet client
  MailClient,     // the DefaultIcon of the default mail client
  FileType,       // the DefaultIcon of the extension's document type
  ShellFolder,    // desktop.ini of a folder named in the user's "Shell Folders"
  Favorites,      // desktop.ini of the user's Favorites folder
};

// The folder a default icon location begins with.
enum class IconHome { System, Windows, ProgramFiles, CommonFiles };

// One icon the shell shows: the package key that sets it, where it goes, and the Windows
// default that the restores put back. The table of these is the one list of places the
// package engine and both icon forms work from.
struct IconPlace {
  const char *Section; // the package file's section; "" for a place no package sets
  const char *Key;     // the package key (for the package-less places, a name of our own)
  IconPlaceKind Kind;
  const char *Target;    // CLSID, Shell Icons number, extension or "Shell Folders" value name
  const char *ValueName; // of a CLSID's DefaultIcon key: "" for its default value
  IconHome Home;
  const char *DefaultTail;  // appended to the home folder: "\shell32.dll,3"
  bool RestoreDefaultValue; // the restore also writes the default to the key's default value
};

// In apply order (the order of the package file's sections and keys).
std::span<const IconPlace> IconPlaces();
// The place of a package key (nullptr when there is none), compared as an ini file does.
const IconPlace *FindIconPlace(const std::string &Section, const std::string &Key);
// The place of an extension's file-type icon (nullptr when no package key sets it).
const IconPlace *FindFileTypePlace(const std::string &Ext);

// The Windows default of a place, on this machine.
std::string IconPlaceDefault(const IconPlace &Place);
// The registry value behind a registry place. False for the folder places, for a client
// place without a default client and for a file type without a document type: then there is
// nothing to write.
bool IconPlaceValue(const IconPlace &Place, HKEY &Root, std::string &Key, std::string &ValueName);
// Writes a location to a place; true when the place took it. A folder place whose index part is
// not a number writes nothing. Nothing is shown and nothing raised: what was refused is added
// to Refused, for the form to report.
bool WriteIconPlace(const IconPlace &Place, const std::string &Location, TRefusedWrites &Refused);
// Writes a place's default (and, for the Recycle Bin's "full", the key's default value too);
// the number of values written.
int RestoreIconPlace(const IconPlace &Place, TRefusedWrites &Refused);

inline constexpr const char *WindowMetricsKey = "Control Panel\\desktop\\WindowMetrics";
std::string ExplorerClsidKey(const std::string &Clsid);
std::string ClassClsidKey(const std::string &Clsid);

// The Program Files and Common Files folders as the shell knows them (without a trailing
// backslash): what the system's own default icon locations begin with.
std::string GetProgramFilesDir();
std::string GetCommonFilesDir();

// ---- the engine --------------------------------------------------------------------------
//
// The routines that write a table of places try every place, show nothing and raise nothing: a
// key or folder that refuses its write is added to the TRefusedWrites they are given, and the
// form reports them all at once.

// WM_SETTINGCHANGE (non-client metrics) to every top-level window, waiting at most 10 s and
// skipping hung windows; the result of the send.
LRESULT BroadcastMetricsChange();
// WM_WININICHANGE (no section) to every top-level window, as bounded as the broadcast above:
// how the 98 family is told of a new icon size.
LRESULT BroadcastWinIniChange();
// Tells the shell that icons changed (SHChangeNotify with SHCNE_ASSOCCHANGED), always; where
// the user has a "Shell Icon Size", also lowers it by one and puts it back, each step
// broadcast, which is what older shells listen to. False when there was no such number to
// toggle (nothing is written then).
bool RefreshShellIcons();
// Section/Key of the package file, with every "%ThemeDir%" replaced by the package's folder.
std::string ReadThemeValue(const std::string &Section, const std::string &Key,
                           const std::string &PackageFile);
// Section/Key of the package file as an icon: the package's own text is split at its first
// comma, and only then is "%ThemeDir%" replaced in the file part, so a package folder whose name
// holds a comma still names its files. False for an empty value or an index that is no number.
bool ReadThemeIcon(const std::string &Section, const std::string &Key,
                   const std::string &PackageFile, std::string &File, int &Index);
// That icon, extracted; nullptr when there is none (the caller owns it).
HICON ExtractThemeIcon(const std::string &Section, const std::string &Key,
                       const std::string &PackageFile);
// An extension as the user typed it, made fit to name a registry key: a leading dot dropped;
// false for an empty one or one holding a backslash.
bool CleanExtension(const std::string &Typed, std::string &Ext);
// Writes Location to the DefaultIcon of the extension's document type, when it has one; true
// when the value was written.
bool SetFileTypeIcon(const std::string &Ext, const std::string &Location, TRefusedWrites &Refused);
bool RestoreFileTypeIcon(const std::string &Ext, const std::string &Location,
                         TRefusedWrites &Refused);
// Every non-empty key of the package to its place; the number of values written. No refresh.
int WriteIconTheme(const std::string &PackageFile, TRefusedWrites &Refused);
// Tells the shell to redraw the Recycle Bin (where the system has the call: 2000 and later).
void UpdateRecycleBinIcon();
// WriteIconTheme, then the Recycle Bin's icon and the shell's icons refreshed (also after
// refusals: what was written is shown).
void ApplyIconTheme(const std::string &PackageFile, TRefusedWrites &Refused);
// The Windows default of every place a package sets; the number of values written. No refresh.
int RestoreDefaultIcons(TRefusedWrites &Refused);

// Extracts an archive, folders and all, into the icon package folder's sub-folder named after
// the archive (Blue Set.zip into IconThemes\Blue Set\). The extraction component is owned by
// Owner.
TPackageInstall ExtractIconPackage(const std::string &ArchiveFile, tk::TComponent *Owner);
