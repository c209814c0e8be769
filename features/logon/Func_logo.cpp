#include "features/logon/Func_logo.h"

#include "common/RegUnit.h"

TPackageInstall ExtractLogonPackage(const std::string &Package, tk::TComponent *Owner) {
  return InstallPackageArchive(Package, GetConfigFolder("Logons"), Owner);
}

void SetLogonScreen(const std::string &Program) {
  bool blanks = Program.find_first_of(" \t") != std::string::npos;
  WriteRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, UIHostValue,
                blanks ? "\"" + Program + "\"" : Program, 1);
}

void RestoreLogonScreen() {
  WriteRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, UIHostValue, StandardLogonScreen, 1);
}
