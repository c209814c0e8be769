// Logon screens of Windows XP: a logon screen is a program, and Winlogon runs the one its value
// UIHost names. Packages of such programs are installed below the Logons folder.
#pragma once

#include <string>

#include "common/RegUnit.h"
#include "features/packages/PackageInstall.h"
#include "toolkit/core/Classes.h"

// HKEY_LOCAL_MACHINE, in the registry view Winlogon itself reads.
inline constexpr const char *WinlogonKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr const char *UIHostValue = "UIHost";
// The system's own logon screen.
inline constexpr const char *StandardLogonScreen = "logonui.exe";

// Unpacks a logon package (a zip archive or a self-extracting program) into the Logons folder,
// in a folder named after the package.
TPackageInstall ExtractLogonPackage(const std::string &Package, tk::TComponent *Owner);

// Makes Program the logon screen. Winlogon starts UIHost as a command line, so a path with
// blanks is written in quotes. The value is machine-wide: a standard user is refused, and the
// refusal is added to Refused (false) for the form to report.
bool SetLogonScreen(const std::string &Program, TRefusedWrites &Refused);
// Makes the system's own logon screen the one in force again; refused as above.
bool RestoreLogonScreen(TRefusedWrites &Refused);
