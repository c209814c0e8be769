// The cursor package engine: applies the cursors a package file (".ctheme") names to the user's
// cursor scheme, sets every role back to the system's own, switches the cursor shadow and the
// pointer trail, and installs packages from zip archives into the cursor package folder.
//
// The routines live in the namespace of their unit: the icon package engine has a
// ReadThemeValue of its own, and the two must not meet at link time.
#pragma once

#include <array>
#include <string>

#include "features/packages/PackageInstall.h"
#include "toolkit/core/Classes.h"

namespace Func_CT {

// Where the user's cursors live: one string value per role under HKEY_CURRENT_USER; an empty
// value means the system's own cursor for that role.
inline constexpr const char *CursorsKey = "Control Panel\\Cursors";
// The preference mask whose bit 0x2000 is the cursor shadow, and the pointer trail's length.
inline constexpr const char *DesktopKey = "Control Panel\\Desktop";
inline constexpr const char *PreferencesMaskValue = "UserPreferencesMask";
inline constexpr const char *MouseKey = "Control Panel\\Mouse";
inline constexpr const char *MouseTrailsValue = "MouseTrails";

// The fifteen roles, each the key of the package's [Cursors] section and the registry value of
// the same name, in the order a package is applied, and in the order they are restored
// (AppStarting before Arrow).
inline constexpr std::array<const char *, 15> CursorApplyOrder = {
    "Arrow",    "AppStarting", "Crosshair", "Help",   "IBeam",   "No",   "NWPen", "SizeAll",
    "SizeNESW", "SizeNS",      "SizeNWSE",  "SizeWE", "UpArrow", "Wait", "Hand"};
inline constexpr std::array<const char *, 15> CursorRestoreOrder = {
    "AppStarting", "Arrow",  "Crosshair", "Help",   "IBeam",   "No",   "NWPen", "SizeAll",
    "SizeNESW",    "SizeNS", "SizeNWSE",  "SizeWE", "UpArrow", "Wait", "Hand"};

// Key of Section in the package file, with every "%ThemeDir%" (that exact case) replaced by the
// package's folder; "" when missing. The system's cached copy of the file is flushed first, so
// a package changed since it was last read is read afresh.
std::string ReadThemeValue(const std::string &Section, const std::string &Key,
                           const std::string &PackageFile);
// Writes each role whose file exists, then has the system reload its cursors.
void ApplyCursorTheme(const std::string &PackageFile);
// Empties all fifteen role values (they stay, empty), then has the system reload its cursors.
void RestoreDefaultCursors();
// Sets or clears the shadow's bit alone, keeping every other bit, the mask's length and its type,
// and switches the shadow in the running session.
void SetCursorShadow(bool On);
// The shadow's bit of the stored mask, whatever its length and type; false when there is none.
bool GetCursorShadow();
// Stores the trail's length (0: off) and switches it in the running session.
void SetMouseTrails(int Count);
// The stored length, whatever the value's type; 0 when it is empty or no number that fits.
int GetMouseTrails();
// Unpacks the archive into the cursor package folder, in a folder named after the archive.
TPackageInstall ExtractCursorPackage(const std::string &ArchiveFile, tk::TComponent *Owner);

} // namespace Func_CT
