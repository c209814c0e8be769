// Helpers of the archive tests: a scratch folder, archives made with the real tools, the shared
// test archives, and a small reader of an archive's directory (the reader proper comes later).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace ziptest {

using Bytes = std::vector<uint8_t>;

// A followed by B (spelled out: GCC 12 sees false overlaps in vector inserts at -O2).
inline Bytes Concat(Bytes a, const Bytes &b) {
  const size_t n = a.size();
  a.resize(n + b.size());
  if (!b.empty())
    std::memcpy(a.data() + n, b.data(), b.size());
  return a;
}

inline std::string Numbered(const char *prefix, unsigned long number) {
  std::string name(prefix);
  name += std::to_string(number);
  return name;
}

// A folder of its own under the system's temporary folder, removed afterwards.
class ScratchDir {
public:
  ScratchDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            Numbered("lumagrove-zip-", random() * 65536ul + random() % 65536);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string &name) const { return (path_ / name).string(); }
  std::string Path() const { return path_.string(); }

private:
  std::filesystem::path path_;
};

inline Bytes ReadAll(const std::string &fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string &fileName, const Bytes &data) {
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
}

// Text that compresses somewhat but not trivially.
inline Bytes SampleData(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  static const char words[][8] = {"icon ", "theme ", "cursor ", "zip ", "\n", "logon "};
  Bytes data;
  while (data.size() < size) {
    const char *w = words[random() % 6];
    data = Concat(std::move(data), Bytes(w, w + std::char_traits<char>::length(w)));
    data.push_back(static_cast<uint8_t>(random()));
  }
  data.resize(size);
  return data;
}

// Runs a shell command in Folder; false when the tools cannot run here (under Wine the Linux
// tools are out of reach) or the command failed.
inline bool RunIn(const std::string &folder, const std::string &command) {
#ifdef _WIN32
  (void)folder;
  (void)command;
  return false;
#else
  return std::system(("cd '" + folder + "' && " + command + " >/dev/null 2>&1").c_str()) == 0;
#endif
}

// The shared test archives, when they are present beside the project.
inline std::string SharedTestData(const std::string &relative) {
  std::filesystem::path root =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
  std::string path = (root.parent_path() / "shared/testdata/zip" / relative).string();
#ifdef _WIN32
  if (!path.empty() && path[0] == '/')
    path = "Z:" + path; // Wine shows the Unix root as drive Z:
#endif
  return std::filesystem::exists(path) ? path : std::string();
}

struct RawEntry {
  std::string Name;
  uint16_t Flags = 0, Method = 0;
  uint32_t DosDateTime = 0, Crc = 0;
  Bytes Data; // the entry's raw data as stored (encryption header included)
};

inline uint32_t Le(const Bytes &b, size_t at, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i)
    v = (v << 8) | b.at(at + static_cast<size_t>(i));
  return v;
}

// Every entry of a one-volume archive without zip64 records, found through its directory.
inline std::vector<RawEntry> ReadEntries(const Bytes &zip) {
  std::vector<RawEntry> entries;
  size_t end = zip.size() < 22 ? std::string::npos : zip.size() - 22;
  while (end != std::string::npos && Le(zip, end, 4) != 0x06054b50)
    end = end == 0 ? std::string::npos : end - 1;
  if (end == std::string::npos)
    return entries;
  size_t at = Le(zip, end + 16, 4);
  for (uint32_t n = Le(zip, end + 10, 2); n > 0 && Le(zip, at, 4) == 0x02014b50; --n) {
    RawEntry e;
    e.Flags = static_cast<uint16_t>(Le(zip, at + 8, 2));
    e.Method = static_cast<uint16_t>(Le(zip, at + 10, 2));
    e.DosDateTime = Le(zip, at + 12, 2) | Le(zip, at + 14, 2) << 16;
    e.Crc = Le(zip, at + 16, 4);
    uint32_t packed = Le(zip, at + 20, 4);
    size_t nameLen = Le(zip, at + 28, 2), extraLen = Le(zip, at + 30, 2);
    size_t commentLen = Le(zip, at + 32, 2), local = Le(zip, at + 42, 4);
    e.Name.assign(zip.begin() + static_cast<long>(at + 46),
                  zip.begin() + static_cast<long>(at + 46 + nameLen));
    size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
    if (data + packed > zip.size())
      break;
    e.Data.assign(zip.begin() + static_cast<long>(data),
                  zip.begin() + static_cast<long>(data + packed));
    entries.push_back(std::move(e));
    at += 46 + nameLen + extraLen + commentLen;
  }
  return entries;
}

} // namespace ziptest
