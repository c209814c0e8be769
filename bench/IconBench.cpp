// Applying a full icon package (every key set) and restoring the Windows icons, without the
// shell's two broadcasts, timed against a bare loop that makes the same registry writes with
// the registry API (open, set, close per value); and the time to open the icon packages form
// over 200 installed packages. The registry roots are redirected into a scratch key, and the
// program's places into a scratch folder, so nothing of this machine's is touched.
//   icon_bench.exe [rounds]
#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "common/RegUnit.h"
#include "features/icons/Func_Icon.h"
#include "features/icons/UnitFrmIcon.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Seams.h"

using bench::Median;
using bench::Now;

namespace {

constexpr int kPackages = 200;

// The program's places in a scratch folder; no Favorites folder, so the figures are the
// registry's alone.
class ScratchPlaces : public tk::Places {
public:
  std::string root;
  std::string ProgramDir() override { return root + "Program\\"; }
  std::string SystemDir() override { return root + "System"; }
  std::string WindowsDir() override { return root + "Windows"; }
  std::string TempDir() override { return root; }
  std::string FavoritesDir() override { return ""; }
  tk::OsVersionRecord WindowsVersion() override { return {VER_PLATFORM_WIN32_NT, 5, 1, ""}; }
  REGSAM RegistryView() override { return 0; }
  std::string NativeSystemDir() override { return SystemDir(); }
};

// Nothing here asks anything; a "wrong" box would be answered at once.
class QuietPrompts : public tk::Prompts {
public:
  int MessageBox(HWND, const std::string &, const std::string &, UINT) override { return IDOK; }
  int PickIcon(HWND, char *, UINT, int *) override { return 0; }
  bool FileDialog(OPENFILENAMEA &, bool) override { return false; }
  bool ColorDialog(CHOOSECOLORA &) override { return false; }
};

HKEY g_scratch = nullptr;
const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

void RedirectRegistry() {
  std::string key = "Software\\LumagroveBench\\" + std::to_string(GetCurrentProcessId());
  RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &g_scratch, nullptr);
  std::vector<HKEY> branches;
  for (const char *name : {"HKCR", "HKCU", "HKLM"}) {
    HKEY branch;
    RegCreateKeyExA(g_scratch, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &branch, nullptr);
    branches.push_back(branch);
  }
  for (size_t i = 0; i < branches.size(); ++i)
    RegOverridePredefKey(kRoots[i], branches[i]);
}

void EndRedirection() {
  for (HKEY root : kRoots)
    RegOverridePredefKey(root, nullptr);
  RegCloseKey(g_scratch);
  std::string key = "Software\\LumagroveBench\\" + std::to_string(GetCurrentProcessId());
  SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

void WriteText(const std::string &file, const std::string &text) {
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
  CloseHandle(h);
}

void CopyFileTo(const std::string &from, const std::string &to) {
  CopyFileA(from.c_str(), to.c_str(), FALSE);
}

// A package that sets every key of the table.
std::string FullPackage() {
  std::string text, section;
  int index = 0;
  for (const IconPlace &place : IconPlaces()) {
    if (!*place.Section)
      continue;
    if (section != place.Section)
      text += "[" + (section = place.Section) + "]\r\n";
    text += std::string(place.Key) + "=%ThemeDir%bench.icl," + std::to_string(index++) + "\r\n";
  }
  return text;
}

struct Write {
  HKEY root;
  std::string key, name, data;
};

// The registry writes a round makes: the package's values, then the defaults.
std::vector<Write> RoundWrites(const std::string &package) {
  std::vector<Write> writes;
  for (const IconPlace &place : IconPlaces()) {
    Write w;
    if (!*place.Section || !IconPlaceValue(place, w.root, w.key, w.name))
      continue;
    w.data = ReadThemeValue(place.Section, place.Key, package);
    writes.push_back(w);
  }
  for (const IconPlace &place : IconPlaces()) {
    Write w;
    if (!*place.Section || !IconPlaceValue(place, w.root, w.key, w.name))
      continue;
    w.data = IconPlaceDefault(place);
    writes.push_back(w);
    if (place.RestoreDefaultValue) {
      w.name.clear();
      writes.push_back(w);
    }
  }
  return writes;
}

void BareRound(const std::vector<Write> &writes) {
  for (const Write &w : writes) {
    HKEY key;
    if (RegCreateKeyExA(w.root, w.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      continue;
    RegSetValueExA(key, w.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(w.data.c_str()),
                   DWORD(w.data.size() + 1));
    RegCloseKey(key);
  }
}

} // namespace

int main(int argc, char **argv) {
  const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  ScratchPlaces places;
  places.root = std::string(temp) + "icon_bench_" + std::to_string(GetCurrentProcessId()) + "\\";
  for (const std::string &dir :
       {places.root, places.ProgramDir(), places.SystemDir(), places.WindowsDir(),
        places.ProgramDir() + "Data", places.ProgramDir() + "IconThemes"})
    CreateDirectoryA(dir.c_str(), nullptr);
  QuietPrompts prompts;
  tk::SetPlaces(&places);
  tk::SetPrompts(&prompts);
  RedirectRegistry();

  // A machine with its document types and default clients registered.
  for (const IconPlace &place : IconPlaces())
    if (place.Kind == IconPlaceKind::FileType)
      WriteRegValue(HKEY_CLASSES_ROOT, std::string(".") + place.Target, "",
                    std::string(place.Target) + "file", 1);
  WriteRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\StartMenuInternet", "", "Browser", 1);
  WriteRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail", "", "Postbox", 1);

  const std::string package = places.root + "Full.iptheme";
  WriteText(package, FullPackage());
  const std::vector<Write> writes = RoundWrites(package);

  std::vector<double> engine, bare, reading, lookups;
  int written = 0;
  for (int r = 0; r < rounds; ++r) {
    double start = Now();
    TRefusedWrites refused;
    written = WriteIconTheme(package, refused) + RestoreDefaultIcons(refused);
    engine.push_back(Now() - start);
    start = Now();
    BareRound(writes);
    bare.push_back(Now() - start);
    // What the engine does beside the writes, which the bare loop is given: the package read
    // afresh (a call per section), and the places looked up (document types, default clients).
    start = Now();
    tk::TIniFile(package).UpdateFile();
    std::vector<char> section(32768);
    for (const char *name : {"Package Info", "Desktop Icons", "Start Icons", "Folder Icons",
                             "Drive Icons", "Other Icons", "File Icons"})
      GetPrivateProfileSectionA(name, section.data(), DWORD(section.size()), package.c_str());
    reading.push_back(Now() - start);
    start = Now();
    for (const IconPlace &place : IconPlaces()) {
      HKEY root;
      std::string key, name;
      if (*place.Section)
        IconPlaceValue(place, root, key, name);
    }
    lookups.push_back(Now() - start);
  }
  double e = Median(engine), b = Median(bare);
  printf("apply + restore of a full package (median of %d rounds):\n", rounds);
  printf("  engine    %8.2f ms  %d values written\n", e * 1000, written);
  printf("  bare loop %8.2f ms  %zu values written\n", b * 1000, writes.size());
  printf("  ratio     %8.2f (aim: within 1.5)\n", e / b);
  printf("  beside its writes the engine reads the package (%.2f ms) and looks its places up "
         "twice (%.2f ms each)\n",
         Median(reading) * 1000, Median(lookups) * 1000);

  // The packages form over 200 packages, each with its own package file and icons beside the
  // shipped Meadow collection.
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string built = exe;
  built = built.substr(0, built.find_last_of('\\') + 1) + "..\\Lumagrove\\";
  CopyFileTo(built + "Data\\Icon.dll", places.ProgramDir() + "Data\\Icon.dll");
  const std::string themes = places.ProgramDir() + "IconThemes\\";
  CopyFileTo(built + "IconThemes\\Meadow\\Meadow.icl", themes + "Meadow.icl");
  std::string text = FullPackage();
  for (size_t at; (at = text.find("bench.icl")) != std::string::npos;)
    text.replace(at, 9, "..\\Meadow.icl");
  for (int i = 0; i < kPackages; ++i) {
    std::string dir = themes + "Pack" + std::to_string(i);
    CreateDirectoryA(dir.c_str(), nullptr);
    WriteText(dir + "\\Pack" + std::to_string(i) + ".iptheme", text);
  }
  tk::InitApplication();
  std::vector<double> opening;
  for (int r = 0; r < 5; ++r) {
    double start = Now();
    tk::CreateForm(tk::Application, FrmIcon);
    opening.push_back(Now() - start);
    int listed = FrmIcon->ListView4->Items().Count();
    delete FrmIcon;
    if (listed != kPackages)
      printf("  (the form listed %d packages)\n", listed);
  }
  printf("opening the icon packages form over %d packages: %.1f ms (median of 5)\n", kPackages,
         Median(opening) * 1000);
  tk::DoneApplication();

  EndRedirection();
  tk::SetPlaces(nullptr);
  tk::SetPrompts(nullptr);
  bench::RemoveTree(places.root.substr(0, places.root.size() - 1));
  return 0;
}
