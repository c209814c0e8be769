// Times TSearchFolders against the plainest possible walk of the same tree: 100,000 files in
// 1,000 folders, half of them matching "*.iptheme". The search should cost little more than
// the walk itself; the figure that matters is the ratio of the two.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/BenchUtil.h"
#include "components/SFolders.h"
#include "toolkit/forms/Forms.h"

namespace {

using bench::Now;
using bench::RemoveTree;

constexpr int kGroups = 10;          // top-level folders
constexpr int kChildren = 99;        // folders inside each: 10 + 990 = 1,000 folders
constexpr int kFilesPerFolder = 100; // 100,000 files
constexpr int kRounds = 3;

bool FillFolder(const std::string &dir) {
  if (!CreateDirectoryA(dir.c_str(), nullptr))
    return false;
  char name[32];
  for (int i = 0; i < kFilesPerFolder; ++i) {
    snprintf(name, sizeof(name), "\\item%03d.%s", i, i % 2 ? "dat" : "iptheme");
    HANDLE file = CreateFileA((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return false;
    DWORD written = 0;
    WriteFile(file, name, 16, &written, nullptr);
    CloseHandle(file);
  }
  return true;
}

bool BuildTree(const std::string &root) {
  if (!CreateDirectoryA(root.c_str(), nullptr))
    return false;
  for (int g = 0; g < kGroups; ++g) {
    std::string group = root + "\\group" + std::to_string(g);
    if (!FillFolder(group))
      return false;
    for (int c = 0; c < kChildren; ++c)
      if (!FillFolder(group + "\\folder" + std::to_string(c)))
        return false;
  }
  return true;
}

// The baseline: every entry read once, depth first, nothing else done with it.
long Walk(const std::string &dir) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((dir + "\\*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    return 0;
  long count = 0;
  do {
    const char *n = entry.cFileName;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
      continue;
    ++count;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      count += Walk(dir + "\\" + n);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return count;
}

} // namespace

int main() {
  tk::InitApplication(); // so the search pumps messages as it does in the program
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string root = std::string(temp) + "lgbench_" + std::to_string(GetCurrentProcessId());

  std::printf("building %d files in %d folders under %s\n",
              kGroups * (kChildren + 1) * kFilesPerFolder, kGroups * (kChildren + 1), root.c_str());
  double start = Now();
  if (!BuildTree(root)) {
    std::printf("cannot build the tree (error %lu)\n", GetLastError());
    RemoveTree(root);
    return 1;
  }
  std::printf("built in %.1f s\n", Now() - start);

  TSearchFolders search(nullptr);
  search.FileMask = "*.iptheme";
  search.ScanOptions = soSpecifiedDir;
  search.ScanDir = root;

  long entries = Walk(root); // warms the caches for both
  double walkBest = 1e9, quietBest = 1e9, pumpedBest = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    start = Now();
    entries = Walk(root);
    walkBest = std::min(walkBest, Now() - start);

    search.Messages = false;
    start = Now();
    search.Search();
    quietBest = std::min(quietBest, Now() - start);

    search.Messages = true;
    start = Now();
    search.Search();
    pumpedBest = std::min(pumpedBest, Now() - start);
  }
  std::printf("entries walked: %ld, matches: %d (%zu listed), best of %d rounds\n", entries,
              int(search.CountFiles()), search.FileList().size(), kRounds);
  std::printf("FindFirstFile walk:          %8.1f ms\n", walkBest * 1000);
  std::printf("Search, Messages off:        %8.1f ms  ratio %.2f\n", quietBest * 1000,
              quietBest / walkBest);
  std::printf("Search, Messages on:         %8.1f ms  ratio %.2f\n", pumpedBest * 1000,
              pumpedBest / walkBest);

  RemoveTree(root);
  tk::DoneApplication();
  return 0;
}
