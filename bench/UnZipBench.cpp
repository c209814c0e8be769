// The extraction benchmark: one archive extracted by TUnZip and by a real tool in the same run,
// each into a fresh folder, best of a few rounds; prints both times, the ratio and the bytes
// written (which must agree, or the run is reported as failed).
//   unzip_bench ARCHIVE WORK_FOLDER "TOOL COMMAND with {archive} and {folder}" [ROUNDS]
#include "archive/UnZip.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

uint64_t BytesUnder(const fs::path &root, int &files) {
  uint64_t total = 0;
  files = 0;
  for (const auto &entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) {
      total += entry.file_size();
      ++files;
    }
  return total;
}

std::string Replace(std::string text, const std::string &what, const std::string &with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: unzip_bench ARCHIVE WORK_FOLDER TOOL_COMMAND [ROUNDS]\n");
    return 2;
  }
  const std::string archive = argv[1];
  const fs::path work = argv[2];
  const std::string command = argv[3];
  const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
  double ours = 1e30, theirs = 1e30;
  uint64_t ourBytes = 0, theirBytes = 0;
  int ourFiles = 0, theirFiles = 0, count = 0, failed = 0;
  for (int round = 0; round < rounds; ++round) {
    const fs::path mine = work / "tunzip", tool = work / "tool";
    fs::remove_all(mine);
    fs::remove_all(tool);
    fs::create_directories(mine);
    fs::create_directories(tool);
    auto start = std::chrono::steady_clock::now();
    {
      tk::TComponent owner(nullptr);
      auto *unzip = new arc::TUnZip(&owner);
      unzip->SetArchiveFile(archive);
      unzip->RecurseDirs = true;
      unzip->FileSpec().Clear();
      unzip->FileSpec().Add("*.*");
      unzip->SetExtractDir(mine.string());
      count = unzip->Extract();
      failed = unzip->FailedCount();
    }
    ours = std::min(ours, Seconds(start));
    const std::string run =
        Replace(Replace(command, "{archive}", archive), "{folder}", tool.string());
    start = std::chrono::steady_clock::now();
    if (std::system(run.c_str()) != 0) {
      std::fprintf(stderr, "unzip_bench: the tool failed: %s\n", run.c_str());
      return 1;
    }
    theirs = std::min(theirs, Seconds(start));
    ourBytes = BytesUnder(mine, ourFiles);
    theirBytes = BytesUnder(tool, theirFiles);
  }
  fs::remove_all(work / "tunzip");
  fs::remove_all(work / "tool");
  std::printf("%-28s TUnZip %7.3f s  tool %7.3f s  ratio %5.2f  %d files %.1f MB  "
              "(count %d, failed %d)\n",
              fs::path(archive).filename().string().c_str(), ours, theirs, ours / theirs, ourFiles,
              static_cast<double>(ourBytes) / 1e6, count, failed);
  if (ourBytes != theirBytes || ourFiles != theirFiles || failed != 0) {
    std::printf("  MISMATCH: the tool wrote %d files, %llu bytes; TUnZip %d files, %llu bytes\n",
                theirFiles, static_cast<unsigned long long>(theirBytes), ourFiles,
                static_cast<unsigned long long>(ourBytes));
    return 1;
  }
  return 0;
}
