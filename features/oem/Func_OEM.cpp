#include "features/oem/Func_OEM.h"

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/StdCtrls.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

constexpr const char *General = "General";
constexpr const char *Support = "Support Information";

std::string SystemFile(const std::string &name) { return GetNativeSystemDir() + "\\" + name; }

// A file and its backup, and the Config.ini key that records whether the original existed.
struct OemFile {
  std::string (*path)();
  const char *backup;
  const char *record;
};
const OemFile OemFiles[] = {
    {OemLogoFile, "Oemlogo.bak", "Logo"},
    {OemInfoFile, "Oeminfo.bak", "Info"},
};

TIniFile Settings() {
  std::string folder = GetConfigFolder("Data");
  ForceDirectories(folder);
  return TIniFile(folder + "Config.ini");
}

} // namespace

std::string OemInfoFile() { return SystemFile("oeminfo.ini"); }
std::string OemLogoFile() { return SystemFile("oemlogo.bmp"); }

void WriteOemInfo(const std::string &Manufacturer, const std::string &Model,
                  const TStringList &Lines) {
  TNativeSystemFolder native;
  TIniFile ini(OemInfoFile());
  // System Properties shows the model only under a manufacturer: name the maker of the tool
  // rather than leave the line blank.
  if (Manufacturer.empty() && !Model.empty())
    ini.WriteString(General, "Manufacturer", MakerWebSite);
  else
    ini.WriteString(General, "Manufacturer", Manufacturer);
  ini.WriteString(General, "Model", Model);
  ini.EraseSection(Support);
  for (int i = 0; i < Lines.Count(); ++i)
    ini.WriteString(Support, "Line" + std::to_string(i + 1), Lines.Strings(i));
  ini.UpdateFile();
}

void WriteOemLogo(TImage *Image, bool Stretch) {
  TGraphic *picture = Image->Picture().Graphic();
  if (!picture || picture->Empty())
    return;
  TBitmap logo;
  if (Stretch)
    logo.SetSize(OemLogoWidth, OemLogoHeight);
  else
    logo.SetSize(picture->Width(), picture->Height());
  logo.Canvas().StretchDraw(RECT{0, 0, logo.Width(), logo.Height()}, *picture);
  TNativeSystemFolder native;
  // Saved under the name System Properties has always been given; names are case-blind.
  logo.SaveToFile(SystemFile("OemLogo.bmp"));
}

std::unique_ptr<TBitmap> LoadOemLogo() {
  TNativeSystemFolder native;
  std::string file = OemLogoFile();
  if (!FileExists(file))
    return nullptr;
  auto logo = std::make_unique<TBitmap>();
  try {
    logo->LoadFromFile(file);
  } catch (const Exception &) {
    return nullptr; // not a bitmap we can show: the preview stays empty
  }
  return logo;
}

std::string ReadOemManufacturer() {
  TNativeSystemFolder native;
  return TIniFile(OemInfoFile()).ReadString(General, "Manufacturer", "");
}

std::string ReadOemModel() {
  TNativeSystemFolder native;
  return TIniFile(OemInfoFile()).ReadString(General, "Model", "");
}

TStringList &ReadOemSupportLines(TMemo *Memo) {
  TNativeSystemFolder native;
  TIniFile ini(OemInfoFile());
  TStringList keys;
  ini.ReadSection(Support, keys);
  TStringList &lines = Memo->Lines();
  lines.Clear();
  for (int i = 1; i <= keys.Count(); ++i)
    lines.Add(ini.ReadString(Support, "Line" + std::to_string(i), ""));
  return lines;
}

bool BackupOemFiles() {
  TIniFile settings = Settings();
  TNativeSystemFolder native;
  for (const OemFile &f : OemFiles) {
    if (!settings.ReadString("OEM", f.record, "").empty())
      continue; // backed up already: the backup holds the original, not a later change
    std::string backup = SystemFile(f.backup);
    // A backup without a record was made before this Config.ini knew of it: it is the
    // original, and the file beside it may well be Lumagrove's own earlier result.
    bool existed = FileExists(backup);
    if (!existed) {
      existed = FileExists(f.path());
      if (existed && !CopyFileA(f.path().c_str(), backup.c_str(), TRUE))
        return false;
    }
    try {
      settings.WriteString("OEM", f.record, existed ? "1" : "0");
    } catch (const EIniFileException &) {
      return false;
    }
  }
  return true;
}

bool ForgetLostOemBackups(std::vector<std::string> &Lost) {
  TIniFile settings = Settings();
  TNativeSystemFolder native;
  bool forgotten = true;
  for (const OemFile &f : OemFiles) {
    if (settings.ReadString("OEM", f.record, "") != "1" || FileExists(SystemFile(f.backup)))
      continue;
    if (!settings.DeleteKey("OEM", f.record))
      forgotten = false;
    Lost.push_back(SystemFile(f.backup));
  }
  return forgotten;
}

bool RestoreOemFiles() {
  TIniFile settings = Settings();
  TNativeSystemFolder native;
  bool ok = true;
  for (const OemFile &f : OemFiles) {
    std::string record = settings.ReadString("OEM", f.record, "");
    std::string file = f.path(), backup = SystemFile(f.backup);
    if (record == "1" || (record.empty() && FileExists(backup))) {
      if (!MoveFileExA(backup.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ok = false;
        continue; // keep the record and the backup for the next try
      }
    } else if (record == "0") {
      if (FileExists(file) && !tk::DeleteFile(file)) {
        ok = false;
        continue;
      }
    } else {
      continue; // nothing known about the original: leave the file as it is
    }
    settings.DeleteKey("OEM", f.record);
  }
  return ok;
}
