// Times the opening of the cursor packages form with 200 installed packages against the least
// that opening must do: a FindFirstFile walk of the package folder and a LoadImage of each
// package's arrow. The form reads each package file besides, fills its list and image list and
// draws its previews; the figure that matters is the ratio of the two.
//
// Usage: cursor_form_bench.exe ARROW.CUR (a real cursor file, copied into every package)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/BenchUtil.h"
#include "features/cursor/UnitFrmCur.h"
#include "toolkit/win32/Seams.h"

namespace {

using bench::Now;
using bench::RemoveTree;

constexpr int kPackages = 200;
constexpr int kRounds = 5;

// The real system, but a program folder of the benchmark's own, whose CursorThemes folder holds
// the packages.
class BenchPlaces : public tk::Places {
public:
  explicit BenchPlaces(std::string programDir) : programDir_(std::move(programDir)) {}
  std::string ProgramDir() override { return programDir_; }
  std::string SystemDir() override { return tk::RealPlaces().SystemDir(); }
  std::string WindowsDir() override { return tk::RealPlaces().WindowsDir(); }
  std::string TempDir() override { return tk::RealPlaces().TempDir(); }
  std::string FavoritesDir() override { return tk::RealPlaces().FavoritesDir(); }
  tk::OsVersionRecord WindowsVersion() override { return tk::RealPlaces().WindowsVersion(); }
  REGSAM RegistryView() override { return tk::RealPlaces().RegistryView(); }
  std::string NativeSystemDir() override { return tk::RealPlaces().NativeSystemDir(); }

private:
  std::string programDir_;
};

bool BuildPackages(const std::string &themes, const std::string &arrow) {
  CreateDirectoryA(themes.c_str(), nullptr);
  for (int i = 0; i < kPackages; ++i) {
    std::string dir = themes + "Pack" + std::to_string(i) + "\\";
    if (!CreateDirectoryA(dir.c_str(), nullptr) ||
        !CopyFileA(arrow.c_str(), (dir + "arrow.cur").c_str(), FALSE))
      return false;
    std::string text = "[Cursors]\r\nArrow=%ThemeDir%arrow.cur\r\nWait=%ThemeDir%arrow.cur\r\n"
                       "[Software Credits]\r\nAuthor=Bench\r\n";
    HANDLE file = CreateFileA((dir + "Pack.ctheme").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return false;
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  return true;
}

// The baseline: every entry read once, each package's arrow loaded and let go.
int WalkAndLoad(const std::string &dir) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((dir + "*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    return 0;
  int loaded = 0;
  do {
    const char *n = entry.cFileName;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
      continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      loaded += WalkAndLoad(dir + n + "\\");
    } else if (lstrcmpiA(n, "arrow.cur") == 0) {
      HANDLE cursor = LoadImageA(nullptr, (dir + n).c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE);
      if (cursor) {
        DestroyCursor(static_cast<HCURSOR>(cursor));
        ++loaded;
      }
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return loaded;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::printf("usage: cursor_form_bench ARROW.CUR\n");
    return 2;
  }
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string root = std::string(temp) + "lgcurbench_" + std::to_string(GetCurrentProcessId());
  std::string themes = root + "\\CursorThemes\\";
  CreateDirectoryA(root.c_str(), nullptr);
  if (!BuildPackages(themes, argv[1])) {
    std::printf("cannot lay out the packages (error %lu)\n", GetLastError());
    RemoveTree(root);
    return 1;
  }
  BenchPlaces places(root + "\\");
  tk::SetPlaces(&places);
  tk::InitApplication();

  int loaded = WalkAndLoad(themes); // warms the caches for both
  int listed = 0;
  double walkBest = 1e9, formBest = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    double start = Now();
    loaded = WalkAndLoad(themes);
    walkBest = std::min(walkBest, Now() - start);

    start = Now();
    tk::CreateForm(tk::Application, FrmCur);
    formBest = std::min(formBest, Now() - start);
    listed = FrmCur->ListView1->Items().Count();
    delete FrmCur;
    FrmCur = nullptr;
  }
  std::printf("%d packages: %d arrows loaded, %d listed; best of %d rounds\n", kPackages, loaded,
              listed, kRounds);
  std::printf("FindFirstFile walk + LoadImage:  %8.1f ms\n", walkBest * 1000);
  std::printf("TFrmCur opened:                  %8.1f ms  ratio %.2f\n", formBest * 1000,
              formBest / walkBest);

  tk::DoneApplication();
  tk::SetPlaces(nullptr);
  RemoveTree(root);
  return 0;
}
