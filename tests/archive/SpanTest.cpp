// Multi-volume and spanned zip sets, made by the real tools: split sets of zip -s read volume by
// volume through OnNextVolume, entries whose data crosses volumes (stored, deflated and the
// legacy methods), refused and missing volumes, 7-Zip's raw pieces, and sets spanned over
// removable disks labelled "PKBACK# 00n" in a played drive, asked for through the disk events.
#include "PlayedDrive.h"
#include "ToolInputs.h"
#include "ZipFixtures.h"
#include "archive/UnZip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using ziptest::Bytes;
using ziptest::ReadAll;
using ziptest::ScratchDir;

#ifdef LUMAGROVE_SPAN_INPUTS
std::string InputDir() { return LUMAGROVE_SPAN_INPUTS; }
#else
// Natively the test makes its inputs itself with the real tools, in a folder of its own
// process (the test runner starts several at once), removed when it ends.
std::string InputDir() {
  return ProcessInputDir("span_inputs", LUMAGROVE_SPAN_SCRIPT, LUMAGROVE_SPAN_TESTDATA);
}
#endif

std::string Input(const std::string &relative) { return InputDir() + "/" + relative; }

// The last part of a name, whichever separators it has.
std::string LastPart(const std::string &name) {
  const size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// An absolute name of this machine as the reader sees it (under Wine on the Z: drive).
std::string MachinePath(const std::string &path) {
#ifdef _WIN32
  return path.size() > 1 && path[0] == '/' ? "Z:" + path : path;
#else
  return path;
#endif
}

struct SpanCase {
  std::string Kind;
  std::map<std::string, std::string> Fields;
};

std::vector<SpanCase> Cases(const std::string &kind) {
  std::vector<SpanCase> cases;
  std::ifstream in(Input("manifest.txt"));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    SpanCase c;
    std::getline(fields, c.Kind, '\t');
    std::string field;
    while (std::getline(fields, field, '\t')) {
      const size_t eq = field.find('=');
      c.Fields[field.substr(0, eq)] = field.substr(eq + 1);
    }
    if (c.Kind == kind)
      cases.push_back(c);
  }
  return cases;
}

// Every file under a folder by its relative name, with its content.
std::map<std::string, Bytes> Tree(const std::string &folder) {
  std::map<std::string, Bytes> tree;
  if (!fs::exists(folder))
    return tree;
  for (const auto &e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file())
      tree[fs::relative(e.path(), folder).generic_string()] = ReadAll(e.path().string());
  return tree;
}

std::vector<std::string> Names(const std::map<std::string, Bytes> &tree) {
  std::vector<std::string> names;
  for (const auto &[name, data] : tree)
    names.push_back(name);
  return names;
}

// Every file written is one of the source's, whole and unchanged.
void ExpectWholeFilesOf(const std::map<std::string, Bytes> &got,
                        const std::map<std::string, Bytes> &source) {
  for (const auto &[name, data] : got)
    EXPECT_TRUE(source.count(name) && source.at(name) == data) << name;
}

struct Reported {
  int32_t Code;
  std::string FileName, ExtendedMsg, VolumeID;
};

// A component over one archive with an "out" folder of its own, its reports and the volumes
// it asked for.
struct SpanRun {
  explicit SpanRun(const std::string &archive) : unzip(nullptr) {
    fs::create_directories(Out());
    unzip.SetArchiveFile(archive);
    unzip.SetExtractDir(Out());
    unzip.FileSpec().Add("*.*");
    unzip.OnError = [this](tk::TComponent *, const std::string &fileName,
                           const std::string &extended, const std::string &volume, int32_t code) {
      errors.push_back({code, fileName, extended, volume});
    };
  }
  // Volumes are taken as proposed, when they exist; a missing one is refused.
  void AcceptVolumes() {
    unzip.OnNextVolume = [this](tk::TComponent *, std::string &name, const std::string &id,
                                bool exists, bool &cancel) {
      asked.push_back(id + " " + LastPart(name) + (exists ? "" : " missing"));
      cancel = !exists;
    };
  }
  std::string Out() const { return dir / "out"; }
  std::vector<int32_t> Codes() const {
    std::vector<int32_t> codes;
    for (const Reported &r : errors)
      codes.push_back(r.Code);
    return codes;
  }

  ScratchDir dir;
  arc::TUnZip unzip;
  std::vector<Reported> errors;
  std::vector<std::string> asked;
};

// --- split sets made by zip -s ------------------------------------------------------------------

TEST(SpanSplitSets, EachSetExtractsVolumeByVolumeAsItsSourceTree) {
  const auto cases = Cases("set");
  ASSERT_EQ(cases.size(), 4u) << "inputs in " << InputDir();
  const auto source = Tree(Input("tree"));
  ASSERT_EQ(source.size(), 6u);
  for (const SpanCase &c : cases) {
    SCOPED_TRACE(c.Fields.at("name"));
    const int volumes = std::stoi(c.Fields.at("volumes"));
    SpanRun run(Input(c.Fields.at("name")));
    ASSERT_EQ(run.unzip.GetArcType(), arc::atZipMV);
    run.AcceptVolumes();
    EXPECT_EQ(run.unzip.Extract(), 6);
    EXPECT_EQ(run.unzip.FailedCount(), 0);
    EXPECT_TRUE(run.errors.empty()) << run.errors.front().Code;
    // Every file, those whose data goes on over several volumes included, as zip took it.
    EXPECT_EQ(Names(Tree(run.Out())), Names(source));
    EXPECT_TRUE(Tree(run.Out()) == source);
    // Each volume is asked for once, in order; the last carries the set's own name.
    std::vector<std::string> expected;
    const std::string base = fs::path(c.Fields.at("name")).stem().string();
    for (int v = 1; v < volumes; ++v)
      expected.push_back(std::to_string(v) + " " + base + (v < 10 ? ".z0" : ".z") +
                         std::to_string(v));
    expected.push_back(std::to_string(volumes) + " " + base + ".zip");
    EXPECT_EQ(run.asked, expected);
  }
}

TEST(SpanSplitSets, ADirectoryBegunOnAnEarlierVolumeIsReadOverTheVolumes) {
  const auto cases = Cases("bigdir");
  ASSERT_EQ(cases.size(), 1u);
  const SpanCase &c = cases[0];
  SpanRun run(Input(c.Fields.at("name")));
  ASSERT_EQ(run.unzip.GetArcType(), arc::atZipMV);
  run.AcceptVolumes();
  EXPECT_EQ(run.unzip.Extract(), 1000);
  EXPECT_EQ(run.unzip.FailedCount(), 0);
  EXPECT_TRUE(run.errors.empty()) << run.errors.front().Code;
  EXPECT_TRUE(Tree(run.Out()) == Tree(Input(c.Fields.at("tree"))));
  // The directory first, from the volume it begins on to the last; then the entries, from the
  // first volume to the one where the directory begins, right after the last entry's data.
  const int volumes = std::stoi(c.Fields.at("volumes"));
  const int central = std::stoi(c.Fields.at("central"));
  std::vector<std::string> ids;
  for (const std::string &asked : run.asked)
    ids.push_back(asked.substr(0, asked.find(' ')));
  std::vector<std::string> expected;
  for (int v = central; v <= volumes; ++v)
    expected.push_back(std::to_string(v));
  for (int v = 1; v <= central; ++v)
    expected.push_back(std::to_string(v));
  EXPECT_EQ(ids, expected);
}

TEST(SpanSplitSets, EncipheredEntriesAreDecipheredAcrossVolumes) {
  const auto cases = Cases("secret");
  ASSERT_EQ(cases.size(), 1u);
  SpanRun run(Input(cases[0].Fields.at("name")));
  run.AcceptVolumes();
  run.unzip.Passwords().Add(cases[0].Fields.at("password"));
  EXPECT_EQ(run.unzip.Extract(), 6);
  EXPECT_TRUE(run.errors.empty()) << run.errors.front().Code;
  EXPECT_EQ(int(run.asked.size()), std::stoi(cases[0].Fields.at("volumes")));
  EXPECT_TRUE(Tree(run.Out()) == Tree(Input("tree")));
}

TEST(SpanSplitSets, ReadFromItsFirstVolumeASetGivesWholeFilesOnly) {
  // Without the directory of the last volume the local headers of the first are walked; an
  // entry begun there goes on in the next volume.
  SpanRun run(Input("deflated_64k/deflated_64k.z01"));
  ASSERT_EQ(run.unzip.GetArcType(), arc::atZipMV);
  run.AcceptVolumes();
  int32_t count = -1;
  EXPECT_NO_THROW(count = run.unzip.Extract());
  EXPECT_GE(count, 1);
  const auto source = Tree(Input("tree"));
  const auto got = Tree(run.Out());
  EXPECT_GE(got.size(), 1u);
  EXPECT_LE(int32_t(got.size()), count);
  ExpectWholeFilesOf(got, source);
}

TEST(SpanSplitSets, TheSharedSetGivesWhatItsOneVolumeArchiveGives) {
  const std::string folder = MachinePath(ziptest::SharedTestData("split"));
  if (folder.empty() || !fs::exists(folder + "/split_zip_created_by_zip.zip"))
    GTEST_SKIP() << "the shared split set is not beside the project";
  SpanRun split(folder + "/split_zip_created_by_zip.zip");
  ASSERT_EQ(split.unzip.GetArcType(), arc::atZipMV);
  split.AcceptVolumes();
  const int32_t count = split.unzip.Extract();
  SpanRun whole(folder + "/zip_to_compare_created_by_zip.zip");
  ASSERT_EQ(whole.unzip.GetArcType(), arc::atZip);
  EXPECT_EQ(whole.unzip.Extract(), count);
  EXPECT_GT(count, 200);
  EXPECT_EQ(split.unzip.FailedCount(), 0);
  EXPECT_TRUE(split.errors.empty());
  const auto got = Tree(split.Out());
  EXPECT_EQ(int32_t(got.size()), count);
  EXPECT_TRUE(got == Tree(whole.Out()));
  EXPECT_EQ(split.asked, (std::vector<std::string>{"1 split_zip_created_by_zip.z01",
                                                   "2 split_zip_created_by_zip.z02",
                                                   "3 split_zip_created_by_zip.zip"}));
}

TEST(SpanSplitSets, WithoutOnNextVolumeTheRunStopsAtOnceWritingNothing) {
  SpanRun run(Input("deflated_64k/deflated_64k.zip"));
  EXPECT_EQ(run.unzip.Extract(), 0);
  ASSERT_EQ(run.Codes(), (std::vector<int32_t>{25270, 25443}));
  EXPECT_EQ(run.errors[0].ExtendedMsg, "OnNextVolume");
  EXPECT_EQ(run.errors[0].VolumeID, "1");
  EXPECT_TRUE(Tree(run.Out()).empty());
}

TEST(SpanSplitSets, AMissingVolumeRefusedLeavesOnlyWholeFiles) {
  ScratchDir copy;
  for (const char *name : {"deflated_64k.z01", "deflated_64k.z03", "deflated_64k.zip"})
    fs::copy_file(Input(std::string("deflated_64k/") + name), copy / name);
  SpanRun run(copy / "deflated_64k.zip");
  run.AcceptVolumes();
  const int32_t count = run.unzip.Extract();
  EXPECT_LT(count, 6);
  EXPECT_GE(run.unzip.FailedCount(), 1);
  // The refusal is told with the volume's number; the run ends there.
  ASSERT_FALSE(run.errors.empty());
  EXPECT_EQ(run.errors.back().Code, 25443);
  EXPECT_TRUE(std::any_of(run.errors.begin(), run.errors.end(), [](const Reported &r) {
    return r.Code == 25443 && r.VolumeID == "2" && LastPart(r.FileName) == "deflated_64k.z02";
  }));
  ASSERT_GE(run.asked.size(), 2u);
  EXPECT_EQ(run.asked.back(), "2 deflated_64k.z02 missing");
  // What was written is whole; the entry cut off by the missing volume left nothing behind.
  // (An entry begun counts as accepted even when it then fails.)
  const auto source = Tree(Input("tree"));
  const auto got = Tree(run.Out());
  EXPECT_LE(int32_t(got.size()), count);
  EXPECT_LT(got.size(), source.size());
  ExpectWholeFilesOf(got, source);
}

TEST(SpanSplitSets, AHandlerMayNameTheVolumeItselfAndIsAskedAgainUntilItExists) {
  ScratchDir copy;
  fs::copy_file(Input("deflated_200k/deflated_200k.zip"), copy / "set.zip");
  fs::copy_file(Input("deflated_200k/deflated_200k.z01"), copy / "first part.bin");
  SpanRun run(copy / "set.zip");
  int asks = 0;
  run.unzip.OnNextVolume = [&](tk::TComponent *, std::string &name, const std::string &id,
                               bool exists, bool &cancel) {
    ++asks;
    if (id == "1" && asks == 1) {
      EXPECT_FALSE(exists);
      EXPECT_EQ(LastPart(name), "set.z01");
      name = copy / "not there.bin"; // a wrong answer first: asked again
    } else if (id == "1") {
      name = copy / "first part.bin";
    }
    cancel = false;
  };
  EXPECT_EQ(run.unzip.Extract(), 6);
  EXPECT_TRUE(run.errors.empty());
  EXPECT_EQ(asks, 3); // the first volume twice, the last once
  EXPECT_TRUE(Tree(run.Out()) == Tree(Input("tree")));
}

// --- 7-Zip's raw pieces
// ---------------------------------------------------------------------------

TEST(SpanPieces, RawPiecesAreNoSetAndGiveOnlyWholeCheckedFiles) {
  const auto cases = Cases("pieces");
  ASSERT_EQ(cases.size(), 1u);
  const int count = std::stoi(cases[0].Fields.at("count"));
  ASSERT_GE(count, 3);
  const std::string first = Input(cases[0].Fields.at("first"));
  const auto source = Tree(Input("tree"));
  int reported = 0;
  for (int piece = 1; piece <= count; ++piece) {
    std::string name =
        first.substr(0, first.size() - 3) + (piece < 10 ? "00" : "0") + std::to_string(piece);
    SCOPED_TRACE(name);
    SpanRun run(name);
    EXPECT_NE(run.unzip.GetArcType(), arc::atZipMV);
    EXPECT_NE(run.unzip.GetArcType(), arc::atZipDS);
    run.AcceptVolumes();
    int32_t extracted = -1;
    EXPECT_NO_THROW(extracted = run.unzip.Extract());
    EXPECT_TRUE(run.asked.empty());
    reported += run.errors.empty() ? 0 : 1;
    // A piece may hold whole entries of its own; anything written is whole and right.
    const auto got = Tree(run.Out());
    EXPECT_LE(int32_t(got.size()), std::max(extracted, 0));
    ExpectWholeFilesOf(got, source);
    if (piece == count) { // the last piece's directory names entries of the earlier pieces
      EXPECT_FALSE(run.errors.empty());
    }
  }
  EXPECT_GE(reported, 2);
}

// --- legacy methods across volumes -------------------------------------------------------------

TEST(SpanLegacy, EntriesOfEachLegacyMethodGoOnInTheNextVolume) {
  const auto cases = Cases("legacy");
  if (cases.empty())
    GTEST_SKIP() << "the shared legacy archives are not beside the project";
  ASSERT_EQ(cases.size(), 4u);
  for (const SpanCase &c : cases) {
    SCOPED_TRACE(c.Fields.at("name"));
    SpanRun run(Input(c.Fields.at("name")));
    ASSERT_EQ(run.unzip.GetArcType(), arc::atZipMV);
    run.AcceptVolumes();
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_TRUE(run.errors.empty()) << run.errors.front().Code;
    EXPECT_EQ(int(run.asked.size()), std::stoi(c.Fields.at("volumes")));
    const auto got = Tree(run.Out());
    ASSERT_EQ(got.size(), 1u);
    EXPECT_TRUE(got.begin()->second == ReadAll(MachinePath(c.Fields.at("expect"))));
  }
}

// --- sets spanned over removable disks --------------------------------------------------------

// A played removable drive whose disks are the volumes of a split set: each disk holds its
// volume as sets\backup.zip and is labelled "PKBACK# 00n".
class SpannedDisks {
public:
  explicit SpannedDisks(const std::string &set) {
    const std::string folder = fs::path(Input(set)).parent_path().string();
    const std::string base = fs::path(Input(set)).stem().string();
    for (int v = 1;; ++v) {
      const std::string name = folder + "/" + base + (v < 10 ? ".z0" : ".z") + std::to_string(v);
      if (!fs::exists(name))
        break;
      volumes_.push_back(name);
    }
    volumes_.push_back(Input(set));
  }
  bool Insert() {
    if (!drive_.Insert(2))
      return false;
    fs::create_directories(drive_.Folder() + "/sets");
#ifndef _WIN32
    // Natively the drive's letter is a folder of the working folder, named as the letter.
    previous_ = fs::current_path();
    fs::current_path(here_.Path());
    fs::create_directory_symlink(drive_.Folder(), here_ / drive_.Drive());
#endif
    return true;
  }
  ~SpannedDisks() {
#ifndef _WIN32
    if (!previous_.empty())
      fs::current_path(previous_);
#endif
  }
  // Puts disk Number (1 for the first) in the drive.
  void Put(int number) {
    // (MinGW's copy_file does not overwrite: the old disk's file goes first.)
    const std::string file = drive_.Folder() + "/sets/backup.zip";
    fs::remove(file);
    fs::copy_file(volumes_[size_t(number - 1)], file);
    std::string digits = std::to_string(number);
    drive_.Label("PKBACK# " + std::string(3 - std::min<size_t>(3, digits.size()), '0') + digits);
    inDrive = number;
  }
  int Count() const { return int(volumes_.size()); }
  std::string Archive() const { return drive_.Archive(); }
  int inDrive = 0;

private:
  drivetest::PlayedDrive drive_;
  std::vector<std::string> volumes_;
#ifndef _WIN32
  ScratchDir here_;
  fs::path previous_;
#endif
};

TEST(SpanDisks, ASpannedSetIsReadDiskByDiskThroughTheDiskEvents) {
  SpannedDisks disks("deflated_64k/deflated_64k.zip");
  if (!disks.Insert())
    GTEST_SKIP() << "Wine's mount manager defines no drive letter here";
  ASSERT_EQ(disks.Count(), 4);
  disks.Put(1); // the user starts with the first disk in the drive
  SpanRun run(disks.Archive());
  ASSERT_EQ(run.unzip.GetArcType(), arc::atZipDS);
  std::vector<std::string> events;
  bool wrongDiskGiven = false;
  run.unzip.OnGetZipLastDisk = [&](void *sender, bool &cancel) {
    EXPECT_NE(sender, static_cast<void *>(&run.unzip)); // the disk set, not the component
    events.push_back("last");
    disks.Put(disks.Count());
    cancel = false;
  };
  run.unzip.OnGetZipFirstDisk = [&](void *, bool &cancel) {
    events.push_back("first");
    disks.Put(1);
    cancel = false;
  };
  run.unzip.OnGetZipNextDisk = [&](void *, const std::string &volume, bool &cancel) {
    events.push_back("next " + volume);
    // Once the wrong disk: it is refused and asked for again.
    if (volume == "3" && !wrongDiskGiven) {
      wrongDiskGiven = true;
      disks.Put(2);
    } else {
      disks.Put(std::stoi(volume));
    }
    cancel = false;
  };
  EXPECT_EQ(run.unzip.Extract(), 6);
  EXPECT_EQ(run.unzip.FailedCount(), 0);
  EXPECT_TRUE(run.errors.empty()) << run.errors.front().Code;
  EXPECT_EQ(events,
            (std::vector<std::string>{"last", "first", "next 2", "next 3", "next 3", "next 4"}));
  EXPECT_TRUE(Tree(run.Out()) == Tree(Input("tree")));
}

TEST(SpanDisks, WithoutTheDiskEventsTheRunEndsAtOnce) {
  SpannedDisks disks("stored_100k/stored_100k.zip");
  if (!disks.Insert())
    GTEST_SKIP() << "Wine's mount manager defines no drive letter here";
  disks.Put(disks.Count());
  SpanRun run(disks.Archive());
  ASSERT_EQ(run.unzip.GetArcType(), arc::atZipDS);
  EXPECT_EQ(run.unzip.Extract(), 0);
  ASSERT_EQ(run.Codes(), std::vector<int32_t>{25270});
  EXPECT_EQ(run.errors[0].ExtendedMsg, "OnGetZipLastDisk");
  EXPECT_EQ(run.errors[0].VolumeID, "0");
  EXPECT_TRUE(Tree(run.Out()).empty());
}

TEST(SpanDisks, ADiskRefusedInTheMiddleEndsTheRunWithOnlyWholeFiles) {
  SpannedDisks disks("stored_64k/stored_64k.zip");
  if (!disks.Insert())
    GTEST_SKIP() << "Wine's mount manager defines no drive letter here";
  disks.Put(disks.Count()); // the last disk already in: no need to ask for it
  SpanRun run(disks.Archive());
  std::vector<std::string> events;
  run.unzip.OnGetZipLastDisk = [&](void *, bool &cancel) {
    events.push_back("last");
    cancel = true;
  };
  run.unzip.OnGetZipFirstDisk = [&](void *, bool &cancel) {
    events.push_back("first");
    disks.Put(1);
    cancel = false;
  };
  run.unzip.OnGetZipNextDisk = [&](void *, const std::string &volume, bool &cancel) {
    events.push_back("next " + volume);
    cancel = true; // the second disk is not to be found
  };
  const int32_t count = run.unzip.Extract();
  EXPECT_EQ(events, (std::vector<std::string>{"first", "next 2"}));
  EXPECT_LT(count, 6);
  const auto source = Tree(Input("tree"));
  const auto got = Tree(run.Out());
  EXPECT_LE(int32_t(got.size()), count);
  EXPECT_LT(got.size(), source.size());
  ExpectWholeFilesOf(got, source);
}

} // namespace
