// The extraction tests' harness: an archive written into a scratch folder, a TUnZip pointed at
// it with an "out" folder as target, and a log of the events it fires.
#pragma once

#include "UnZipWriter.h"
#include "ZipFixtures.h"
#include "archive/FileInfo.h"
#include "archive/UnZip.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace ziptest {

struct TReported {
  int32_t Code;
  std::string FileName, ExtendedMsg;
};

// The last part of a Windows-style name.
inline std::string LastPart(const std::string &name) {
  const size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

class TRunFixture {
public:
  explicit TRunFixture(const Bytes &zip, const std::string &archiveName = "a.zip")
      : unzip(nullptr) {
    WriteAll(dir / archiveName, zip);
    std::filesystem::create_directories(dir / "out");
    unzip.SetArchiveFile(dir / archiveName);
    unzip.SetExtractDir(dir / "out");
    unzip.FileSpec().Add("*.*");
    unzip.OnError = [this](tk::TComponent *, const std::string &fileName,
                           const std::string &extended, const std::string &, int32_t code) {
      errors.push_back({code, fileName, extended});
      log.push_back("error " + std::to_string(code));
    };
  }

  // Logs the run's bracket and per-entry events too.
  void LogEvents() {
    unzip.OnActivate = [this](tk::TComponent *) { log.push_back("activate"); };
    unzip.OnDeactivate = [this](tk::TComponent *) { log.push_back("deactivate"); };
    unzip.OnBegin = [this](tk::TComponent *, const std::string &name, int32_t count, bool &) {
      log.push_back("begin " + LastPart(name) + " " + std::to_string(count));
    };
    unzip.OnEnd = [this](tk::TComponent *, const std::string &name, bool pass) {
      log.push_back("end " + LastPart(name) + (pass ? " pass" : " fail"));
    };
  }

  std::vector<int32_t> Codes() const {
    std::vector<int32_t> codes;
    for (const TReported &e : errors)
      codes.push_back(e.Code);
    return codes;
  }
  long CountOf(int32_t code) const {
    return std::count_if(errors.begin(), errors.end(),
                         [code](const TReported &e) { return e.Code == code; });
  }
  std::string Out(const std::string &relative) const { return dir / ("out/" + relative); }
  bool Exists(const std::string &relative) const { return std::filesystem::exists(Out(relative)); }
  std::string Text(const std::string &relative) const {
    Bytes b = ReadAll(Out(relative));
    return std::string(b.begin(), b.end());
  }
  // Every file under the scratch folder, as relative generic names, sorted.
  std::vector<std::string> AllFiles() const {
    std::vector<std::string> files;
    for (const auto &e : std::filesystem::recursive_directory_iterator(dir.Path()))
      if (e.is_regular_file())
        files.push_back(std::filesystem::relative(e.path(), dir.Path()).generic_string());
    std::sort(files.begin(), files.end());
    return files;
  }

  ScratchDir dir;
  arc::TUnZip unzip;
  std::vector<TReported> errors;
  std::vector<std::string> log;
};

inline ZipItem Item(const std::string &name, const std::string &text, uint16_t method = 0) {
  ZipItem item;
  item.Name = name;
  item.Data = ToBytes(text);
  item.Method = method;
  return item;
}

} // namespace ziptest
