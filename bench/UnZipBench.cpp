// The extraction benchmark: one archive extracted by TUnZip and by a real tool in the same run,
// each into a fresh folder, best of a few rounds; prints both times, the ratio and the bytes
// written (which must agree, or the run is reported as failed).
//   unzip_bench ARCHIVE WORK_FOLDER "TOOL COMMAND with {archive} and {folder}" [ROUNDS]
// The methods' figures: the first entry of each archive decoded in memory again and again, and
// the archive extracted again and again, each until at least 50 MB came out; MB/s of both.
//   unzip_bench --methods WORK_FOLDER ARCHIVE...
#include "archive/Crc.h"
#include "archive/InflateDecoder.h"
#include "archive/Legacy.h"
#include "archive/UnZip.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

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

constexpr double MinimumOutput = 50e6; // bytes each figure is measured over

uint32_t Le(const std::vector<uint8_t> &b, size_t at, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i)
    v = (v << 8) | b[at + size_t(i)];
  return v;
}

// The first entry of an archive as its central directory gives it.
struct Entry {
  std::string Name;
  uint16_t Flags = 0, Method = 0;
  uint32_t Crc = 0, Size = 0;
  std::vector<uint8_t> Data;
};

bool FirstEntry(const std::string &archive, Entry &entry) {
  std::ifstream in(archive, std::ios::binary);
  const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
  if (b.size() < 22)
    return false;
  size_t end = b.size() - 22;
  while (end > 0 && Le(b, end, 4) != 0x06054b50)
    --end;
  const size_t central = Le(b, end + 16, 4);
  if (Le(b, end, 4) != 0x06054b50 || central + 46 > b.size() || Le(b, central, 4) != 0x02014b50)
    return false;
  entry.Flags = uint16_t(Le(b, central + 8, 2));
  entry.Method = uint16_t(Le(b, central + 10, 2));
  entry.Crc = Le(b, central + 16, 4);
  const uint32_t packed = Le(b, central + 20, 4);
  entry.Size = Le(b, central + 24, 4);
  entry.Name.assign(b.begin() + long(central + 46),
                    b.begin() + long(central + 46 + Le(b, central + 28, 2)));
  const size_t local = Le(b, central + 42, 4);
  if (local + 30 > b.size() || Le(b, local, 4) != 0x04034b50)
    return false;
  const size_t data = local + 30 + Le(b, local + 26, 2) + Le(b, local + 28, 2);
  if (data + packed > b.size())
    return false;
  entry.Data.assign(b.begin() + long(data), b.begin() + long(data + packed));
  return true;
}

// The compressed data in memory, as the decompress stream reads it.
class TMemoryIn : public arc::TStream32 {
public:
  explicit TMemoryIn(const std::vector<uint8_t> &data) : data_(data) {}
  int32_t Read(void *buffer, int32_t count) override {
    const int32_t n = int32_t(std::min<size_t>(size_t(std::max(count, 0)), data_.size() - pos_));
    std::memcpy(buffer, data_.data() + pos_, size_t(n));
    pos_ += size_t(n);
    return n;
  }
  int32_t Write(const void *, int32_t) override { return -1; }
  int64_t Seek(int64_t offset, int origin) override {
    const int64_t base = origin == arc::soFromBeginning ? 0
                         : origin == arc::soFromCurrent ? int64_t(pos_)
                                                        : int64_t(data_.size());
    pos_ = size_t(std::clamp<int64_t>(base + offset, 0, int64_t(data_.size())));
    return int64_t(pos_);
  }

private:
  const std::vector<uint8_t> &data_;
  size_t pos_ = 0;
};

// Decodes the entry once, counting the CRC of what comes out as the extraction does; the
// bytes produced, or -1 when the CRC is not the entry's.
int64_t DecodeOnce(const Entry &entry) {
  uint32_t crc = 0xFFFFFFFFu;
  int64_t produced = 0;
  if (entry.Method == 8 || entry.Method == 9) {
    TMemoryIn in(entry.Data);
    arc::TDecompressStream stream(&in, std::make_unique<arc::TInflateDecoder>(entry.Method == 9));
    std::vector<uint8_t> chunk(32768);
    for (int32_t n; (n = stream.Read(chunk.data(), int32_t(chunk.size()))) > 0;) {
      arc::UpdateCrc32(chunk.data(), n, crc);
      produced += n;
    }
  } else {
    size_t at = 0;
    arc::TLegacyIo io;
    io.Read = [&](uint8_t *buffer, int32_t count) {
      const int32_t n = int32_t(std::min<size_t>(size_t(count), entry.Data.size() - at));
      std::memcpy(buffer, entry.Data.data() + at, size_t(n));
      at += size_t(n);
      return n;
    };
    io.Write = [&](const uint8_t *buffer, int32_t count) {
      arc::UpdateCrc32(buffer, count, crc);
      return count;
    };
    io.Raise = [](int32_t code) {
      throw std::runtime_error("legacy code " + std::to_string(code));
    };
    io.Report = [](int32_t) {};
    produced =
        arc::DecodeLegacy(io, entry.Method, entry.Flags, int64_t(entry.Data.size()), entry.Size);
  }
  return (crc ^ 0xFFFFFFFFu) == entry.Crc ? produced : -1;
}

int Methods(const fs::path &work, int count, char **archives) {
  static const char *const names[] = {"stored",    "shrunk",    "reduced 1", "reduced 2",
                                      "reduced 3", "reduced 4", "imploded",  "7",
                                      "deflated",  "Deflate64"};
  int status = 0;
  for (int i = 0; i < count; ++i) {
    const std::string archive = archives[i];
    Entry entry;
    if (!FirstEntry(archive, entry) || entry.Size == 0) {
      std::fprintf(stderr, "unzip_bench: no entry to decode in %s\n", archive.c_str());
      return 1;
    }
    // In memory: the decoder alone, the CRC counted.
    double bytes = 0;
    auto start = std::chrono::steady_clock::now();
    while (bytes < MinimumOutput) {
      const int64_t produced = DecodeOnce(entry);
      if (produced != int64_t(entry.Size)) {
        std::printf("%-28s MISMATCH: %lld bytes decoded, CRC or size wrong\n",
                    fs::path(archive).filename().string().c_str(),
                    static_cast<long long>(produced));
        status = 1;
        break;
      }
      bytes += double(produced);
    }
    const double memory = bytes / 1e6 / Seconds(start);
    // Extracted: the whole run, files written, again and again into one folder.
    const fs::path out = work / "methods";
    fs::remove_all(out);
    fs::create_directories(out);
    double written = 0;
    int failed = 0;
    start = std::chrono::steady_clock::now();
    {
      tk::TComponent owner(nullptr);
      auto *unzip = new arc::TUnZip(&owner);
      unzip->SetArchiveFile(archive);
      unzip->FileSpec().Add("*.*");
      unzip->SetExtractDir(out.string());
      while (written < MinimumOutput && failed == 0) {
        unzip->Extract();
        failed = unzip->FailedCount();
        int files = 0;
        written += double(BytesUnder(out, files));
      }
    }
    const double extracted = written / 1e6 / Seconds(start);
    fs::remove_all(out);
    std::printf("%-28s %-10s %8u bytes  in memory %8.1f MB/s  extracted %8.1f MB/s%s\n",
                fs::path(archive).filename().string().c_str(),
                entry.Method < 10 ? names[entry.Method] : "other", entry.Size, memory, extracted,
                failed ? "  (extraction FAILED)" : "");
    status |= failed ? 1 : 0;
  }
  return status;
}

} // namespace

int main(int argc, char **argv) {
  if (argc >= 4 && std::string(argv[1]) == "--methods")
    return Methods(argv[2], argc - 3, argv + 3);
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
    // Fresh folders of their own each round, all removed at the end: a file system that has just
    // deleted thousands of files is slow to create the next ones (ext4 keeps away from recently
    // freed inodes), and that cost would fall on whichever side ran first after the removal.
    const fs::path mine = work / ("tunzip" + std::to_string(round)),
                   tool = work / ("tool" + std::to_string(round));
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
  for (int round = 0; round < rounds; ++round) {
    fs::remove_all(work / ("tunzip" + std::to_string(round)));
    fs::remove_all(work / ("tool" + std::to_string(round)));
  }
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
