#include "features/packages/PackageInstall.h"

#include "archive/UnZip.h"
#include "common/Translation.h"
#include "toolkit/forms/Dialogs.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TPackageInstall InstallPackageArchive(const std::string &Archive, const std::string &ThemesFolder,
                                      TComponent *Owner) {
  TPackageInstall result;
  std::string name = ChangeFileExt(ExtractFileName(Archive), "");
  // Windows drops trailing dots and blanks from a folder's name; a name of nothing else
  // ("...zip") would be the themes folder itself or the folder above it, outside every package.
  while (!name.empty() && (name.back() == '.' || name.back() == ' '))
    name.pop_back();
  if (name.empty())
    return result;
  auto *unzip = new arc::TUnZip(Owner);
  unzip->SetArchiveFile(Archive);
  unzip->RecurseDirs = true;
  unzip->FileSpec().Clear();
  unzip->FileSpec().Add("*.*");
  unzip->SetExtractDir(ThemesFolder + name);
  result.Extracted = unzip->Extract();
  result.Failed = unzip->FailedCount();
  return result;
}

void ReportPackageInstall(HWND Owner, const std::string &Archive, const TPackageInstall &Result) {
  if (Result.Failed == 0 && Result.Extracted > 0) {
    ShowMessage("Installed successfully");
    return;
  }
  // A package that lost files, or an archive that gave none, is not a theme to offer as
  // installed: the user learns which archive it was and what became of it.
  std::string text =
      Result.Failed > 0
          ? FormatText(LangMessage("Install_1", "The package %s was not installed completely: "
                                                "%d of its files could not be unpacked.")
                           .c_str(),
                       {Archive, IntToStr(Result.Failed)})
          : FormatText(
                LangMessage("Install_2", "The package %s holds nothing that could be installed.")
                    .c_str(),
                {Archive});
  GetPrompts().MessageBox(Owner, text, LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
}
