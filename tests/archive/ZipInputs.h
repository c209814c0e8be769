// Helpers of the extraction tests: the archives that make_zip_inputs.py made at build time (with
// the trees the real tools extract from them), a run of the extraction the way the program runs
// it, trees read back file by file, and a guarded folder that proves nothing was written beside
// the target.
#pragma once

#include "ZipFixtures.h"
#include "archive/Messages.h"
#include "archive/UnZip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#ifndef LUMAGROVE_ZIP_INPUTS
#error "LUMAGROVE_ZIP_INPUTS names the folder of the generated archives"
#endif

namespace ziptest {

// One line of the manifest: its kind and its key=value fields.
struct ZipCase {
  std::string Kind;
  std::map<std::string, std::string> Fields;

  std::string Get(const std::string &key) const {
    auto it = Fields.find(key);
    return it == Fields.end() ? std::string() : it->second;
  }
  std::string Name() const { return Get("name"); }
};

// A path of the inputs folder (relative ones) or of this machine (absolute ones, which Wine
// shows on its Z: drive).
inline std::string InputPath(const std::string &path) {
  if (!path.empty() && path[0] == '/') {
#ifdef _WIN32
    return "Z:" + path;
#else
    return path;
#endif
  }
  return std::string(LUMAGROVE_ZIP_INPUTS) + "/" + path;
}

inline std::vector<ZipCase> LoadZipCases(const std::string &kind) {
  std::vector<ZipCase> cases;
  std::ifstream in(InputPath("manifest.txt"));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string field;
    ZipCase c;
    std::getline(fields, c.Kind, '\t');
    while (std::getline(fields, field, '\t')) {
      const size_t eq = field.find('=');
      if (eq != std::string::npos)
        c.Fields[field.substr(0, eq)] = field.substr(eq + 1);
    }
    if (c.Kind == kind)
      cases.push_back(c);
  }
  return cases;
}

inline void PrintTo(const ZipCase &c, std::ostream *out) { *out << c.Kind << " " << c.Name(); }

// A case name as a test name: letters, digits and underscores only.
inline std::string TestName(const ZipCase &c) {
  std::string name = c.Name();
  for (char &ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch)))
      ch = '_';
  return name;
}

// Names as the component takes them: Windows-style on Windows.
inline std::string NativeName(const std::filesystem::path &path) {
  std::string name = path.string();
#ifdef _WIN32
  std::replace(name.begin(), name.end(), '/', '\\');
#endif
  return name;
}

// Every regular file under Root by its relative name ("/" between levels, UTF-8).
using Tree = std::map<std::string, Bytes>;

inline std::string Relative(const std::filesystem::path &path, const std::filesystem::path &root) {
  const std::u8string text = path.lexically_relative(root).generic_u8string();
  return std::string(text.begin(), text.end());
}

// Opened by its path, not by a narrow name: on Windows that reaches names outside the ANSI code
// page too.
inline Bytes ReadPath(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Tree ReadTree(const std::filesystem::path &root) {
  Tree tree;
  std::error_code error;
  if (!std::filesystem::is_directory(root, error))
    return tree;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
    if (it->is_regular_file())
      tree[Relative(it->path(), root)] = ReadPath(it->path());
  return tree;
}

// Compares two trees file by file: the same names, and for each the same size and bytes.
inline void ExpectSameTree(const Tree &expected, const Tree &actual) {
  for (const auto &[name, data] : expected) {
    auto it = actual.find(name);
    if (it == actual.end()) {
      ADD_FAILURE() << "missing: " << name;
      continue;
    }
    EXPECT_EQ(data.size(), it->second.size()) << "size of " << name;
    EXPECT_TRUE(data == it->second) << "bytes of " << name;
  }
  for (const auto &[name, data] : actual)
    EXPECT_TRUE(expected.count(name)) << "not expected: " << name;
}

// What one run reported.
struct RunReport {
  int32_t Count = 0, Failed = 0;
  std::vector<int32_t> Codes;
  std::vector<std::string> ErrorNames;            // the file name of each OnError, in order
  std::vector<std::pair<std::string, bool>> Ends; // OnEnd: output name and CRC verdict

  bool Reported(int32_t code) const {
    return std::find(Codes.begin(), Codes.end(), code) != Codes.end();
  }
  std::string CodeList() const {
    std::string text;
    for (size_t i = 0; i < Codes.size(); ++i)
      text += std::to_string(Codes[i]) + " (" + ErrorNames[i] + ") ";
    return text;
  }
};

struct RunOptions {
  std::vector<std::string> Passwords;
  bool WatchErrors = true; // assign OnError
  bool WatchEnds = false;  // assign OnEnd (which takes CRC failures off OnError)
  std::function<void(arc::TUnZip &)> Configure;
};

// One extraction the way the package installers run it (owned by a form-like owner, every file
// selected, folders recursed), with the events the test asks for.
inline RunReport RunExtraction(const std::string &archive, const std::filesystem::path &target,
                               const RunOptions &options = {}) {
  RunReport report;
  tk::TComponent owner(nullptr);
  auto *unzip = new arc::TUnZip(&owner);
  unzip->SetArchiveFile(NativeName(archive));
  unzip->RecurseDirs = true;
  unzip->FileSpec().Clear();
  unzip->FileSpec().Add("*.*");
  unzip->SetExtractDir(NativeName(target));
  for (const std::string &password : options.Passwords)
    unzip->Passwords().Add(password);
  if (options.WatchErrors)
    unzip->OnError = [&report](tk::TComponent *, const std::string &fileName, const std::string &,
                               const std::string &, int32_t code) {
      report.Codes.push_back(code);
      report.ErrorNames.push_back(fileName);
    };
  if (options.WatchEnds)
    unzip->OnEnd = [&report](tk::TComponent *, const std::string &fileName, bool pass) {
      report.Ends.emplace_back(fileName, pass);
    };
  if (options.Configure)
    options.Configure(*unzip);
  report.Count = unzip->Extract();
  report.Failed = unzip->FailedCount();
  return report;
}

// A target folder three levels down a folder of its own, with files around it; Check proves
// afterwards that nothing around the target changed and that no name that climbs out of it
// reached the places it could reach.
class GuardedTarget {
public:
  GuardedTarget() {
    root_ = scratch_.Path();
    target_ = root_ / "a" / "b" / "out";
    std::filesystem::create_directories(target_);
    std::filesystem::create_directories(root_ / "a" / "b" / "sibling");
    WriteAll((root_ / "sentinel.txt").string(), Bytes{'s', '1'});
    WriteAll((root_ / "a" / "sentinel.txt").string(), Bytes{'s', '2'});
    WriteAll((root_ / "a" / "b" / "sibling" / "s.txt").string(), Bytes{'s', '3'});
    for (const auto &place : EscapePlaces())
      RemoveOurLitter(place);
    before_ = Around();
  }
  const std::filesystem::path &Target() const { return target_; }

  void Check() const {
    const Tree after = Around();
    for (const auto &[name, data] : after) {
      auto it = before_.find(name);
      EXPECT_TRUE(it != before_.end()) << "written beside the target folder: " << name;
      if (it != before_.end()) {
        EXPECT_TRUE(it->second == data) << "changed beside the target folder: " << name;
      }
    }
    EXPECT_EQ(before_.size(), after.size()) << "files beside the target folder went missing";
    for (const auto &place : EscapePlaces())
      EXPECT_FALSE(std::filesystem::exists(place))
          << "written outside the scratch folder: " << place.string();
  }

private:
  // Every file of the scratch folder that is not in the target folder.
  Tree Around() const {
    Tree tree = ReadTree(root_);
    const std::string prefix = Relative(target_, root_) + "/";
    for (auto it = tree.begin(); it != tree.end();)
      it = it->first.compare(0, prefix.size(), prefix) == 0 ? tree.erase(it) : std::next(it);
    return tree;
  }

  // Where the hostile archives' names would land if they were taken as they are: the roots of
  // the drives, the current folder and the system's temporary folder.
  static std::vector<std::filesystem::path> EscapePlaces() {
    std::vector<std::filesystem::path> places;
    const std::vector<std::filesystem::path> roots = {
#ifdef _WIN32
        "C:/", "Z:/",
#else
        "/",
#endif
        std::filesystem::current_path(), std::filesystem::temp_directory_path()};
    for (const auto &root : roots)
      for (const char *name : {"abs/evil7.txt", "x/evil8.txt", "evil9.txt", "evil1.txt",
                               "evil2.txt", "evil3.txt", "evil4.txt", "evil5.txt", "evil6.txt",
                               "evil11.txt", "evil12.txt", "server/share/evil10.txt"})
        places.push_back(root / name);
    return places;
  }

  // A file left by an earlier faulty run would hide a new one: files holding the hostile
  // archives' text are removed first.
  static void RemoveOurLitter(const std::filesystem::path &place) {
    std::error_code error;
    if (std::filesystem::is_regular_file(place, error)) {
      const Bytes data = ReadAll(place.string());
      const std::string text(data.begin(), data.end());
      if (text.find("must never leave the target folder") != std::string::npos)
        std::filesystem::remove(place, error);
    }
  }

  ScratchDir scratch_;
  std::filesystem::path root_, target_;
  Tree before_;
};

} // namespace ziptest
