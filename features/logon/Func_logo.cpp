#include "features/logon/Func_logo.h"

#include "common/RegUnit.h"

TPackageInstall ExtractLogonPackage(const std::string &Package, tk::TComponent *Owner) {
  return InstallPackageArchive(Package, GetConfigFolder("Logons"), Owner);
}

bool SetLogonScreen(const std::string &Program, TRefusedWrites &Refused) {
  bool blanks = Program.find_first_of(" \t") != std::string::npos;
  return TryWriteRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, UIHostValue,
                          blanks ? "\"" + Program + "\"" : Program, 1, Refused);
}

bool RestoreLogonScreen(TRefusedWrites &Refused) {
  return TryWriteRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, UIHostValue, StandardLogonScreen, 1,
                          Refused);
}
