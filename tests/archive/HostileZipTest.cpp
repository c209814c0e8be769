// Hostile archives built record by record: names that climb out of the target folder, absolute
// and device names, overlapping entries, directories that point nowhere, truncations at every
// record boundary, sizes that lie, extra fields that overrun, overlong names, local headers that
// disagree with the directory. Whatever each one holds, nothing lands outside the target
// folder, every entry that does not come out exactly is counted as failed, and the codes each
// case must produce reach OnError.
#include "ZipInputs.h"

namespace {

using namespace ziptest;

// "output name<TAB>content file" lines.
std::map<std::string, Bytes> ReadListing(const std::string &listing) {
  std::map<std::string, Bytes> files;
  if (listing.empty())
    return files;
  std::ifstream in(InputPath(listing));
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos)
      files[line.substr(0, tab)] = ReadAll(InputPath(line.substr(tab + 1)));
  }
  return files;
}

std::vector<int32_t> RequiredCodes(const std::string &codes) {
  std::vector<int32_t> list;
  if (codes == "none" || codes == "any" || codes.empty())
    return list;
  std::istringstream in(codes);
  std::string code;
  while (std::getline(in, code, ','))
    list.push_back(std::stoi(code));
  return list;
}

class HostileArchive : public testing::TestWithParam<ZipCase> {};

TEST_P(HostileArchive, StaysInsideAndAccountsForEveryEntry) {
  const ZipCase &c = GetParam();
  const auto expect = ReadListing(c.Get("expect"));
  const auto maybe = ReadListing(c.Get("maybe"));
  GuardedTarget place;
  const RunReport run = RunExtraction(InputPath(c.Get("archive")), place.Target());
  const Tree actual = ReadTree(place.Target());
  if (std::getenv("ZIPTEST_VERBOSE")) { // what each case did, for whoever reads the log
    std::printf("%s: count %d, failed %d, codes %s\n", c.Name().c_str(), run.Count, run.Failed,
                run.CodeList().c_str());
    for (const auto &[name, data] : actual)
      std::printf("  %s (%zu bytes)\n", name.c_str(), data.size());
  }

  int32_t exact = 0, damaged = 0;
  for (const auto &[name, data] : expect) {
    auto it = actual.find(name);
    ASSERT_TRUE(it != actual.end()) << "missing: " << name << "; reported " << run.CodeList();
    EXPECT_TRUE(it->second == data) << "bytes of " << name;
  }
  for (const auto &[name, data] : actual) {
    auto sure = expect.find(name);
    auto may = maybe.find(name);
    if (sure != expect.end()) {
      exact += data == sure->second ? 1 : 0;
    } else if (may != maybe.end()) {
      (data == may->second ? exact : damaged) += 1;
    } else {
      ADD_FAILURE() << "not expected: " << name;
    }
  }
  // A damaged file may stay only as a failed entry; every entry not written exactly is one.
  EXPECT_GE(run.Failed, damaged) << run.CodeList();
  const int32_t entries = std::stoi(c.Get("entries"));
  EXPECT_GE(run.Failed, entries - exact)
      << "entries not written nor counted as failed; reported " << run.CodeList();
  EXPECT_GE(run.Count, 0);
  if (c.Get("codes") == "none") {
    EXPECT_TRUE(run.Codes.empty()) << run.CodeList();
  }
  for (int32_t code : RequiredCodes(c.Get("codes")))
    EXPECT_TRUE(run.Reported(code)) << "no " << code << " among " << run.CodeList();
  place.Check();
}

INSTANTIATE_TEST_SUITE_P(HostileZip, HostileArchive, testing::ValuesIn(LoadZipCases("hostile")),
                         [](const testing::TestParamInfo<ZipCase> &info) {
                           return TestName(info.param);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HostileArchive);

ZipCase FindHostile(const std::string &name) {
  for (const ZipCase &c : LoadZipCases("hostile"))
    if (c.Name() == name)
      return c;
  return {};
}

TEST(HostileZip, EveryKindIsGenerated) {
  int truncated = 0;
  for (const ZipCase &c : LoadZipCases("hostile"))
    truncated += c.Name().rfind("truncated-", 0) == 0 ? 1 : 0;
  EXPECT_GT(truncated, 10);
  for (const char *name :
       {"dotdot-slash", "dotdot-backslash", "absolute", "colon", "devices", "overlap",
        "cd-past-end", "size-huge-usize", "extra-local", "long-names", "localname-longer"})
    EXPECT_FALSE(FindHostile(name).Name().empty()) << name;
}

// Without a usable central directory the local headers are walked, unless OnCorruptZipHeader
// leaves its Cancel set: then nothing at all is extracted.
TEST(HostileZip, CorruptDirectoryHandlerMayRefuseTheWalk) {
  const ZipCase c = FindHostile("no-directory");
  ASSERT_FALSE(c.Name().empty());
  GuardedTarget place;
  int asked = 0;
  RunOptions options;
  options.Configure = [&asked](arc::TUnZip &unzip) {
    unzip.OnCorruptZipHeader = [&asked](tk::TComponent *, arc::THeaderTypeState, bool &cancel) {
      ++asked;
      EXPECT_TRUE(cancel);
    };
  };
  const RunReport run = RunExtraction(InputPath(c.Get("archive")), place.Target(), options);
  EXPECT_EQ(1, asked);
  EXPECT_EQ(0, run.Count);
  EXPECT_TRUE(ReadTree(place.Target()).empty());
  place.Check();
}

// The names that climb out are refused one by one, and each refusal names its entry.
TEST(HostileZip, ClimbingNamesAreRefusedByName) {
  for (const char *name : {"dotdot-slash", "dotdot-backslash"}) {
    SCOPED_TRACE(name);
    const ZipCase c = FindHostile(name);
    ASSERT_FALSE(c.Name().empty());
    GuardedTarget place;
    const RunReport run = RunExtraction(InputPath(c.Get("archive")), place.Target());
    EXPECT_EQ(3, run.Failed) << run.CodeList();
    EXPECT_EQ(1, run.Count) << "only keep.txt is accepted";
    int refusals = 0;
    for (size_t i = 0; i < run.Codes.size(); ++i)
      if (run.Codes[i] == arc::ecInvalidFileName) {
        ++refusals;
        EXPECT_NE(std::string::npos, run.ErrorNames[i].find("evil")) << run.ErrorNames[i];
      }
    EXPECT_EQ(3, refusals) << run.CodeList();
    place.Check();
  }
}

} // namespace
