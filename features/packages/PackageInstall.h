// Installing a theme package from a zip archive (a self-extracting program included) into a
// folder of its own below a themes folder, and telling the user how it went. The cursor and
// logon installers share it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/core/Classes.h"

struct TPackageInstall {
  int32_t Extracted = 0; // entries the archive reader accepted
  int32_t Failed = 0;    // entries that were selected but not put in place
};

// Unpacks every entry of Archive, with its stored folders, into ThemesFolder (ending in a
// backslash) followed by the archive's name without its extension. The reader is owned by
// Owner and lives as long as it; nothing is asked and nothing raises.
TPackageInstall InstallPackageArchive(const std::string &Archive, const std::string &ThemesFolder,
                                      tk::TComponent *Owner);

// "Installed successfully" when every entry was put in place; otherwise an error box that
// names the archive and how many of its entries failed (or that it held nothing to install).
void ReportPackageInstall(HWND Owner, const std::string &Archive, const TPackageInstall &Result);
