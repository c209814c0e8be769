// Archives made by the real tools (zip at every level, with a password, zip64, streamed, with a
// comment, as a self-extractor; 7-Zip's Deflate64 and encryption; bsdtar; Python's zipfile) and
// the shared archives of other projects, extracted and compared file by file with what the
// tools themselves extract from them.
#include "ZipInputs.h"

namespace {

using namespace ziptest;

class ToolArchive : public testing::TestWithParam<ZipCase> {};

TEST_P(ToolArchive, ExtractsWhatTheToolExtracts) {
  const ZipCase &c = GetParam();
  const Tree expected = ReadTree(InputPath(c.Get("ref")));
  ASSERT_FALSE(expected.empty()) << "no reference tree for " << c.Name();
  GuardedTarget place;
  RunOptions options;
  if (!c.Get("password").empty())
    options.Passwords = {c.Get("password")};
  const RunReport run = RunExtraction(InputPath(c.Get("archive")), place.Target(), options);
  ExpectSameTree(expected, ReadTree(place.Target()));
  EXPECT_EQ(static_cast<int32_t>(expected.size()), run.Count);
  EXPECT_EQ(0, run.Failed);
  EXPECT_TRUE(run.Codes.empty()) << run.CodeList();
  place.Check();
}

INSTANTIATE_TEST_SUITE_P(ZipTools, ToolArchive, testing::ValuesIn(LoadZipCases("tool")),
                         [](const testing::TestParamInfo<ZipCase> &info) {
                           return TestName(info.param);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ToolArchive);

ZipCase FindTool(const std::string &name) {
  for (const ZipCase &c : LoadZipCases("tool"))
    if (c.Name() == name)
      return c;
  return {};
}

// A second run over the files of the first overwrites them and gives the same tree.
TEST(ZipTools, ExtractsAgainOverItsOwnFiles) {
  for (const char *name : {"zip-6", "7z-deflate64", "zip-streamed"}) {
    SCOPED_TRACE(name);
    const ZipCase c = FindTool(name);
    ASSERT_FALSE(c.Name().empty());
    GuardedTarget place;
    RunExtraction(InputPath(c.Get("archive")), place.Target());
    // Damage one file of the first run: the second must put it right.
    WriteAll((place.Target() / "readme.txt").string(), Bytes{'o', 'l', 'd'});
    const RunReport again = RunExtraction(InputPath(c.Get("archive")), place.Target());
    ExpectSameTree(ReadTree(InputPath(c.Get("ref"))), ReadTree(place.Target()));
    EXPECT_EQ(0, again.Failed);
    place.Check();
  }
}

TEST(ZipTools, TheGeneratedInputsAreThere) {
  // Every kind of tool-made archive the script makes, so a broken script cannot pass quietly.
  std::set<std::string> names;
  for (const ZipCase &c : LoadZipCases("tool"))
    names.insert(c.Name());
  for (const char *name :
       {"zip-stored", "zip-1", "zip-9", "zip-password", "zip-zip64", "zip-streamed", "zip-comment",
        "zip-sfx", "7z-deflate64", "7z-zipcrypto", "bsdtar", "python-zip64", "python-utf8"})
    EXPECT_TRUE(names.count(name)) << name;
}

// With a wrong password and no way to ask for another, no encrypted entry is written with
// deciphered garbage and every one of them counts as failed.
TEST(ZipTools, WrongPasswordWritesNoGarbage) {
  for (const char *name : {"zip-password", "7z-zipcrypto"}) {
    SCOPED_TRACE(name);
    const ZipCase c = FindTool(name);
    ASSERT_FALSE(c.Name().empty());
    const Tree expected = ReadTree(InputPath(c.Get("ref")));
    GuardedTarget place;
    RunOptions options;
    options.Passwords = {"not the password"};
    const RunReport run = RunExtraction(InputPath(c.Get("archive")), place.Target(), options);
    const Tree actual = ReadTree(place.Target());
    int32_t exact = 0;
    for (const auto &[file, data] : actual) {
      auto it = expected.find(file);
      ASSERT_TRUE(it != expected.end()) << "not expected: " << file;
      // Zero-length entries carry nothing to decipher and may come out.
      EXPECT_TRUE(data.empty() || data == it->second) << "garbage written to " << file;
      exact += data == it->second ? 1 : 0;
    }
    EXPECT_LT(exact, static_cast<int32_t>(expected.size()));
    EXPECT_GE(run.Failed, static_cast<int32_t>(expected.size()) - exact) << run.CodeList();
    EXPECT_TRUE(run.Reported(arc::ecEventNotAssigned) || run.Reported(arc::ecInvalidPassword))
        << run.CodeList();
    place.Check();
  }
}

// The password asked for through OnGetPassword when the list holds only wrong ones.
TEST(ZipTools, PasswordFromTheEvent) {
  const ZipCase c = FindTool("zip-password");
  ASSERT_FALSE(c.Name().empty());
  GuardedTarget place;
  int asked = 0;
  RunOptions options;
  options.Passwords = {"wrong"};
  options.Configure = [&asked](arc::TUnZip &unzip) {
    unzip.OnGetPassword = [&asked](tk::TComponent *, const std::string &, std::string &password,
                                   bool &tryAgain) {
      ++asked;
      password = "secret";
      tryAgain = true;
    };
  };
  const RunReport run = RunExtraction(InputPath(c.Get("archive")), place.Target(), options);
  ExpectSameTree(ReadTree(InputPath(c.Get("ref"))), ReadTree(place.Target()));
  EXPECT_EQ(1, asked) << "the password given once serves every later entry";
  EXPECT_EQ(0, run.Failed);
  place.Check();
}

// Names stored in the OEM code page without the UTF-8 flag are translated to the system's
// code page (on Windows); elsewhere they are used as stored.
TEST(ZipTools, OemNamesAreTranslated) {
  const std::vector<ZipCase> cases = LoadZipCases("oem");
  ASSERT_EQ(1u, cases.size());
  GuardedTarget place;
  const RunReport run = RunExtraction(InputPath(cases[0].Get("archive")), place.Target());
  EXPECT_EQ(2, run.Count);
  EXPECT_EQ(0, run.Failed);
  const Bytes text{'O', 'E', 'M', ' ', 'c', 'o', 'd', 'e', ' ', 'p',
                   'a', 'g', 'e', ' ', 'n', 'a', 'm', 'e', '\n'};
#ifdef _WIN32
  const Tree expected = {{"f\xc3\xbcr.txt", text}, {"\xc3\x84rger/\xc3\xb6.txt", text}};
#else
  const Tree expected = {{"f\x81r.txt", text}, {"\x8erger/\x94.txt", text}};
#endif
  ExpectSameTree(expected, ReadTree(place.Target()));
  place.Check();
}

class SharedArchive : public testing::TestWithParam<ZipCase> {};

// The shared archives of other projects: every entry extracts and passes its CRC check.
TEST_P(SharedArchive, EveryEntryPassesItsCrc) {
  const ZipCase &c = GetParam();
  if (!std::filesystem::exists(InputPath(c.Get("archive"))))
    GTEST_SKIP() << "the shared test archives are not beside the project";
  GuardedTarget place;
  RunOptions options;
  options.WatchEnds = true;
  if (!c.Get("password").empty())
    options.Passwords = {c.Get("password")};
  const RunReport run = RunExtraction(InputPath(c.Get("archive")), place.Target(), options);
  const int32_t files = std::stoi(c.Get("files"));
  ASSERT_EQ(static_cast<size_t>(files), run.Ends.size()) << run.CodeList();
  for (const auto &[name, pass] : run.Ends)
    EXPECT_TRUE(pass) << name;
  EXPECT_EQ(files, run.Count);
  EXPECT_EQ(0, run.Failed);
  EXPECT_TRUE(run.Codes.empty()) << run.CodeList();
  ExpectSameTree(ReadTree(InputPath(c.Get("ref"))), ReadTree(place.Target()));
  place.Check();
}

INSTANTIATE_TEST_SUITE_P(ZipTools, SharedArchive, testing::ValuesIn(LoadZipCases("shared")),
                         [](const testing::TestParamInfo<ZipCase> &info) {
                           return TestName(info.param);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SharedArchive);

} // namespace
