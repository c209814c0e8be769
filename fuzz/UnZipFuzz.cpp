// Fuzz target of the whole extraction: the input is written to a file and extracted, the way the
// package installers do it, into a fresh folder deep inside a work folder of this process. After
// each run nothing but the target folder may have changed in the work folder; the target is
// then removed. Inputs that declare more than a few MB of output are skipped, so runs stay fast.
#include "archive/UnZip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kMaxDeclared = 4u << 20; // bytes of output one entry may declare

uint32_t Le(const uint8_t *p, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i)
    v = (v << 8) | p[i];
  return v;
}

// The largest uncompressed size any local or central header of the input declares, zip64 values
// and the high parts of the 0x0064 block included (that block counts as huge).
uint64_t LargestDeclared(const uint8_t *data, size_t size) {
  uint64_t largest = 0;
  for (size_t at = 0; at + 30 <= size; ++at) {
    if (data[at] != 'P' || data[at + 1] != 'K')
      continue;
    const uint32_t signature = Le(data + at, 4);
    size_t sizeAt, nameAt, extraAt, fixed;
    if (signature == 0x04034b50) {
      sizeAt = 22, nameAt = 26, extraAt = 28, fixed = 30;
    } else if (signature == 0x02014b50 && at + 46 <= size) {
      sizeAt = 24, nameAt = 28, extraAt = 30, fixed = 46;
    } else {
      continue;
    }
    uint64_t declared = Le(data + at + sizeAt, 4);
    size_t extra = at + fixed + Le(data + at + nameAt, 2);
    const size_t extraEnd = extra + Le(data + at + extraAt, 2);
    for (; extra + 4 <= extraEnd && extra + 4 <= size; extra += 4 + Le(data + extra + 2, 2)) {
      const uint32_t tag = Le(data + extra, 2);
      if (tag == 0x0064)
        declared = UINT64_MAX;
      else if (tag == 1 && declared == 0xFFFFFFFFu && extra + 12 <= size)
        declared = static_cast<uint64_t>(Le(data + extra + 4, 4)) |
                   static_cast<uint64_t>(Le(data + extra + 8, 4)) << 32;
    }
    largest = declared > largest ? declared : largest;
  }
  return largest;
}

using Snapshot = std::map<std::string, std::string>;

// Every file of Root by name with its contents, the target folder left out; the archive is
// taken as it should be (the input itself).
Snapshot Around(const fs::path &root, const fs::path &target, const fs::path &archive,
                const std::string &input) {
  Snapshot files;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->path() == target) {
      it.disable_recursion_pending();
      continue;
    }
    std::string name = it->path().string();
    if (it->path() == archive) {
      std::ifstream in(it->path(), std::ios::binary);
      const std::string now{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      files[name] = now == input ? "<the input>" : "<the input, changed>";
    } else if (it->is_regular_file()) {
      std::ifstream in(it->path(), std::ios::binary);
      files[name].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
      files[name] = "<folder>";
    }
  }
  return files;
}

struct Work {
  fs::path root, archive, target;
  Snapshot before;
  Work() {
    root = fs::temp_directory_path() / ("lumagrove-unzipfuzz-" + std::to_string(getpid()));
    fs::remove_all(root);
    target = root / "a" / "b" / "c" / "out";
    fs::create_directories(root / "a" / "b" / "c" / "sibling");
    archive = root / "a" / "b" / "c" / "sibling" / "input.zip";
    std::ofstream(root / "sentinel.txt") << "s";
    std::ofstream(root / "a" / "b" / "sentinel.txt") << "s";
  }
  ~Work() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static Work work;
  if (LargestDeclared(data, size) > kMaxDeclared)
    return 0;
  {
    std::ofstream out(work.archive, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
  }
  const std::string input(reinterpret_cast<const char *>(data), size);
  if (work.before.empty())
    work.before = Around(work.root, work.target, work.archive, input);
  fs::create_directories(work.target);
  {
    tk::TComponent owner(nullptr);
    auto *unzip = new arc::TUnZip(&owner);
    unzip->SetArchiveFile(work.archive.string());
    unzip->RecurseDirs = true;
    unzip->FileSpec().Clear();
    unzip->FileSpec().Add("*.*");
    unzip->SetExtractDir(work.target.string());
    const int32_t count = unzip->Extract();
    if (count < 0 || unzip->FailedCount() < 0) {
      std::fprintf(stderr, "fuzz: mismatch: negative count %d or failed count %d\n", count,
                   unzip->FailedCount());
      std::abort();
    }
  }
  const Snapshot after = Around(work.root, work.target, work.archive, input);
  if (after != work.before) {
    for (const auto &[name, contents] : after)
      if (!work.before.count(name) || work.before.at(name) != contents)
        std::fprintf(stderr, "fuzz: mismatch: written outside the target: %s\n", name.c_str());
    for (const auto &[name, contents] : work.before)
      if (!after.count(name))
        std::fprintf(stderr, "fuzz: mismatch: removed outside the target: %s\n", name.c_str());
    std::abort();
  }
  std::error_code ignored;
  fs::remove_all(work.target, ignored);
  return 0;
}
