// The extraction component on small archives made in the test: the run's events, overwrite
// rules, passwords, selection, output names, dates, attributes, CRC rules, the local-header
// walk, unsupported methods and cancelling.
#include "UnZipHarness.h"
#include "archive/Masks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

using namespace ziptest;

namespace {
using Lines = std::vector<std::string>;
template <class T, class U> bool Has(const std::vector<T> &lines, const U &line) {
  return std::find(lines.begin(), lines.end(), T(line)) != lines.end();
}
} // namespace

namespace {
std::vector<ZipItem> ThreeEntries() {
  ZipItem folder = Item("sub/", "");
  folder.Attributes = 0x10;
  return {Item("a.txt", "alpha"), folder, Item("sub/b.txt", "bravo bravo bravo", 8)};
}
} // namespace

TEST(UnZipRun, EventsComeInOrderAndTheCountIsTheEntriesAccepted) {
  TRunFixture run(MakeZip(ThreeEntries()));
  run.LogEvents();
  EXPECT_EQ(run.unzip.Extract(), 2);
  EXPECT_EQ(run.unzip.FailedCount(), 0);
  EXPECT_EQ(run.log, (Lines{"activate", "begin a.txt 1", "end a.txt pass", "end  pass",
                            "begin b.txt 2", "end b.txt pass", "deactivate"}));
  EXPECT_EQ(run.Text("a.txt"), "alpha");
  EXPECT_EQ(run.Text("sub/b.txt"), "bravo bravo bravo");
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/a.txt", "out/sub/b.txt"}));
}

TEST(UnZipRun, AnExceptionInAHandlerEndsTheRunButDeactivateStillComes) {
  TRunFixture run(MakeZip(ThreeEntries()));
  run.LogEvents();
  run.unzip.OnBegin = [&](tk::TComponent *, const std::string &name, int32_t, bool &) {
    if (LastPart(name) == "b.txt")
      throw std::runtime_error("handler failed");
  };
  int32_t count = -1;
  EXPECT_NO_THROW(count = run.unzip.Extract());
  EXPECT_EQ(count, 1);
  EXPECT_EQ(run.log.back(), "deactivate");
  EXPECT_EQ(run.log.front(), "activate");
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/a.txt"}));
  // The archive name survives the run.
  EXPECT_EQ(LastPart(run.unzip.GetArchiveFile()), "a.zip");
}

TEST(UnZipRun, AnEmptyArchiveNameReportsFileNotFoundOnce) {
  TRunFixture run(MakeZip(ThreeEntries()));
  run.LogEvents();
  run.unzip.SetArchiveFile("");
  EXPECT_EQ(run.unzip.Extract(), 0);
  EXPECT_EQ(run.log, (Lines{"error 25192"}));
  // A name of a missing file clears it too.
  run.unzip.SetArchiveFile(run.dir / "missing.zip");
  EXPECT_EQ(run.unzip.GetArchiveFile(), "");
  EXPECT_EQ(run.unzip.GetArcType(), arc::atNA);
}

TEST(UnZipRun, CommentBufferSizeIsClamped) {
  arc::TUnZip unzip(nullptr);
  unzip.SetZipCmntBufSize(100);
  EXPECT_EQ(unzip.GetZipCmntBufSize(), 2000);
  unzip.SetZipCmntBufSize(40000);
  EXPECT_EQ(unzip.GetZipCmntBufSize(), 32767);
  unzip.SetZipCmntBufSize(5000);
  EXPECT_EQ(unzip.GetZipCmntBufSize(), 5000);
}

TEST(UnZipOverwrite, SkipModeWithoutConfirmationWritesNothing) {
  TRunFixture run(MakeZip(ThreeEntries()));
  run.unzip.OverwriteMode = arc::omSkip;
  EXPECT_EQ(run.unzip.Extract(), 0);
  EXPECT_EQ(run.AllFiles(), std::vector<std::string>{"a.zip"});
  EXPECT_TRUE(run.errors.empty());
}

TEST(UnZipOverwrite, ConfirmationWithoutHandlerSkipsExistingTargets) {
  TRunFixture run(MakeZip({Item("a.txt", "new a"), Item("b.txt", "new b")}));
  WriteAll(run.Out("a.txt"), ToBytes("old a"));
  run.unzip.ConfirmOverwrites = true;
  EXPECT_EQ(run.unzip.Extract(), 1);
  EXPECT_EQ(run.Text("a.txt"), "old a");
  EXPECT_EQ(run.Text("b.txt"), "new b");
  ASSERT_EQ(run.errors.size(), 1u);
  EXPECT_EQ(run.errors[0].Code, 25270);
  EXPECT_EQ(run.errors[0].ExtendedMsg, "OnFileExists");
}

TEST(UnZipOverwrite, FileExistsHandlerRenamesOrSkips) {
  TRunFixture run(MakeZip({Item("a.txt", "new a"), Item("b.txt", "new b")}));
  WriteAll(run.Out("a.txt"), ToBytes("old a"));
  WriteAll(run.Out("b.txt"), ToBytes("old b"));
  run.unzip.ConfirmOverwrites = true;
  std::vector<std::string> asked;
  run.unzip.OnFileExists = [&](tk::TComponent *, const std::string &name, std::string &newName,
                               arc::TOverwriteMode &mode) {
    asked.push_back(LastPart(name));
    if (LastPart(name) == "a.txt")
      newName = run.dir / "out/renamed/a2.txt";
    else
      mode = arc::omSkip;
  };
  EXPECT_EQ(run.unzip.Extract(), 1);
  EXPECT_EQ(asked, (Lines{"a.txt", "b.txt"}));
  EXPECT_EQ(run.Text("a.txt"), "old a");
  EXPECT_EQ(run.Text("renamed/a2.txt"), "new a");
  EXPECT_EQ(run.Text("b.txt"), "old b");
}

TEST(UnZipOverwrite, ReadOnlyTargetsFromAnEarlierInstallAreReplaced) {
  for (bool confirm : {false, true}) {
    TRunFixture run(MakeZip({Item("a.txt", "new a")}));
    WriteAll(run.Out("a.txt"), ToBytes("old a"));
    ASSERT_TRUE(arc::LayerSetAttributes(run.Out("a.txt"), arc::faReadOnly));
    run.unzip.ConfirmOverwrites = confirm;
    run.unzip.OnFileExists = [](tk::TComponent *, const std::string &, std::string &,
                                arc::TOverwriteMode &) {};
    EXPECT_EQ(run.unzip.Extract(), 1) << confirm;
    EXPECT_EQ(run.Text("a.txt"), "new a") << confirm;
    EXPECT_EQ(arc::LayerGetAttributes(run.Out("a.txt")) & arc::faReadOnly, 0u) << confirm;
    EXPECT_TRUE(run.errors.empty()) << confirm;
  }
}

TEST(UnZipOverwrite, ReadOnlySystemTargetIsRefused) {
#ifndef _WIN32
  GTEST_SKIP() << "the system attribute exists on Windows only";
#else
  TRunFixture run(MakeZip({Item("a.txt", "new a")}));
  WriteAll(run.Out("a.txt"), ToBytes("old a"));
  ASSERT_TRUE(arc::LayerSetAttributes(run.Out("a.txt"), arc::faReadOnly | arc::faSysFile));
  run.unzip.ConfirmOverwrites = true;
  run.unzip.OnFileExists = [](tk::TComponent *, const std::string &, std::string &,
                              arc::TOverwriteMode &) {};
  EXPECT_EQ(run.unzip.Extract(), 0);
  EXPECT_EQ(run.Codes(), std::vector<int32_t>{25136});
  EXPECT_EQ(run.unzip.FailedCount(), 1);
  arc::LayerSetAttributes(run.Out("a.txt"), arc::faNormal);
  EXPECT_EQ(run.Text("a.txt"), "old a");
#endif
}

namespace {
std::vector<ZipItem> Encrypted(const std::string &password) {
  std::vector<ZipItem> items = {Item("one.txt", "first secret", 8), Item("plain.txt", "open"),
                                Item("two.txt", "second secret"),
                                Item("three.txt", "third secret", 8)};
  for (ZipItem &item : items)
    if (item.Name != "plain.txt")
      item.Password = password;
  items[3].Descriptor = true; // its check byte is the time's
  return items;
}
} // namespace

TEST(UnZipPassword, PasswordsAreTriedInOrderBeforeAsking) {
  TRunFixture run(MakeZip(Encrypted("secret")));
  run.unzip.Passwords().Add("wrong");
  run.unzip.Passwords().Add("secret");
  int asked = 0;
  run.unzip.OnGetPassword = [&](tk::TComponent *, const std::string &, std::string &, bool &) {
    ++asked;
  };
  EXPECT_EQ(run.unzip.Extract(), 4);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(run.Text("one.txt"), "first secret");
  EXPECT_EQ(run.Text("two.txt"), "second secret");
  EXPECT_EQ(run.Text("three.txt"), "third secret");
  EXPECT_TRUE(run.errors.empty());
}

TEST(UnZipPassword, APasswordGivenByTheHandlerIsKeptAndLearnedFirst) {
  TRunFixture run(MakeZip(Encrypted("secret")));
  run.unzip.Passwords().Add("older");
  std::vector<std::string> answers = {"bad", "secret"};
  int asked = 0;
  run.unzip.OnGetPassword = [&](tk::TComponent *, const std::string &name, std::string &password,
                                bool &tryAgain) {
    EXPECT_EQ(LastPart(name), "one.txt");
    EXPECT_TRUE(tryAgain);
    password = answers.at(size_t(asked++));
  };
  EXPECT_EQ(run.unzip.Extract(), 4);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(run.Codes(), std::vector<int32_t>{26517});
  ASSERT_EQ(run.unzip.Passwords().Count(), 2);
  EXPECT_EQ(run.unzip.Passwords().Strings(0), "secret");
  EXPECT_EQ(run.Text("three.txt"), "third secret");
}

TEST(UnZipPassword, AfterAFailedRoundLaterEncryptedEntriesAreSkippedWithoutAsking) {
  TRunFixture run(MakeZip(Encrypted("secret")));
  run.unzip.PasswordAttempts = 2;
  int asked = 0;
  run.unzip.OnGetPassword = [&](tk::TComponent *, const std::string &, std::string &password,
                                bool &) {
    ++asked;
    password = "guess";
  };
  EXPECT_EQ(run.unzip.Extract(), 1);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(run.unzip.FailedCount(), 3);
  EXPECT_EQ(run.CountOf(26517), 2);
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/plain.txt"}));
}

TEST(UnZipPassword, WithoutHandlerOrWhenTheHandlerGivesUp) {
  {
    TRunFixture run(MakeZip(Encrypted("secret")));
    EXPECT_EQ(run.unzip.Extract(), 1);
    ASSERT_FALSE(run.errors.empty());
    EXPECT_EQ(run.errors[0].Code, 25270);
    EXPECT_EQ(run.errors[0].ExtendedMsg, "OnGetPassword");
    EXPECT_EQ(run.unzip.FailedCount(), 3);
  }
  {
    TRunFixture run(MakeZip(Encrypted("secret")));
    int asked = 0;
    run.unzip.OnGetPassword = [&](tk::TComponent *, const std::string &, std::string &password,
                                  bool &tryAgain) {
      ++asked;
      password = "secret"; // not even tried: the user gave up
      tryAgain = false;
    };
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_EQ(asked, 1);
    ASSERT_FALSE(run.errors.empty());
    EXPECT_EQ(run.errors[0].Code, 26517);
  }
}

TEST(UnZipSelection, FileSpecWithAndWithoutRecursion) {
  const Bytes zip = MakeZip({Item("a.txt", "a"), Item("docs/x.txt", "x"),
                             Item("docs/sub/x.txt", "y"), Item("README", "r")});
  {
    TRunFixture run(zip);
    EXPECT_EQ(run.unzip.Extract(), 4);
    EXPECT_TRUE(run.Exists("README"));
    EXPECT_TRUE(run.Exists("docs/sub/x.txt"));
  }
  {
    TRunFixture run(zip);
    run.unzip.RecurseDirs = false;
    EXPECT_EQ(run.unzip.Extract(), 2);
    EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/README", "out/a.txt"}));
  }
  {
    TRunFixture run(zip);
    run.unzip.RecurseDirs = false;
    run.unzip.FileSpec().Clear();
    run.unzip.FileSpec().Add("docs\\*.txt");
    run.unzip.FileSpec().Add("nomatch");
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/docs/x.txt"}));
    // An item without a dot that failed once is kept with the dot that was tried.
    EXPECT_EQ(run.unzip.FileSpec().Strings(1), "nomatch.");
  }
}

TEST(UnZipNames, OutputNamesDropDrivesAndRootsOrEveryFolder) {
  const Bytes zip = MakeZip({Item("C:/dir/f1.txt", "1"), Item("/dir/f2.txt", "2"),
                             Item("C:f3.txt", "3"), Item("a/b/f4.txt", "4")});
  {
    TRunFixture run(zip);
    std::vector<std::string> names;
    run.unzip.OnBegin = [&](tk::TComponent *, const std::string &name, int32_t, bool &) {
      names.push_back(name);
    };
    EXPECT_EQ(run.unzip.Extract(), 4);
    EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/a/b/f4.txt", "out/dir/f1.txt",
                                                        "out/dir/f2.txt", "out/f3.txt"}));
    const std::string dir = run.unzip.GetExtractDir();
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_EQ(names, (Lines{dir + "dir\\f1.txt", dir + "dir\\f2.txt", dir + "f3.txt",
                            dir + "a\\b\\f4.txt"}));
  }
  {
    TRunFixture run(zip);
    run.unzip.UseStoredDirs = false;
    EXPECT_EQ(run.unzip.Extract(), 4);
    EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/f1.txt", "out/f2.txt",
                                                        "out/f3.txt", "out/f4.txt"}));
  }
}

// A relative target folder, with either separator, lies below the folder that was current when
// it was set, even when the current folder has changed before the run; never at a drive's root.
TEST(UnZipNames, ARelativeTargetFolderLiesBelowTheCurrentFolder) {
  TRunFixture run(MakeZip({Item("a/f.txt", "f")}));
  struct TBackHome {
    std::filesystem::path home = std::filesystem::current_path();
    ~TBackHome() { std::filesystem::current_path(home); }
  } backHome;
  for (const char *relative : {"o1/", "o2\\"}) {
    std::filesystem::current_path(run.dir.Path());
    run.unzip.SetExtractDir(relative);
    std::filesystem::current_path(run.Out(""));
    EXPECT_EQ(run.unzip.Extract(), 1) << relative;
  }
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "o1/a/f.txt", "o2/a/f.txt"}));
}

TEST(UnZipNames, RenameFileNeedsOnBeginAndMovesTheOutput) {
  const Bytes zip = MakeZip({Item("a.txt", "a")});
  {
    TRunFixture run(zip);
    run.unzip.OnRenameFile = [&](tk::TComponent *, const std::string &, std::string &newName) {
      newName = run.dir / "out/new/place.txt";
    };
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_TRUE(run.Exists("a.txt")); // without OnBegin there is no renaming
  }
  {
    TRunFixture run(zip);
    run.LogEvents();
    run.unzip.OnRenameFile = [&](tk::TComponent *, const std::string &name, std::string &newName) {
      EXPECT_EQ(newName, name);
      newName = run.dir / "out/new/place.txt";
    };
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/new/place.txt"}));
    EXPECT_TRUE(Has(run.log, "begin place.txt 1"));
  }
}

TEST(UnZipDates, DateAttributeChoosesTheFileDate) {
  ZipItem older = Item("old.txt", "o"), newer = Item("new.txt", "n");
  older.DosDate = 0x4A215C00; // 2017-01-01 11:32:00
  newer.DosDate = 0x5A8C6000; // 2025-04-12 12:00:00
  const Bytes zip = MakeZip({older, newer});
  {
    TRunFixture run(zip);
    EXPECT_EQ(run.unzip.Extract(), 2);
    EXPECT_EQ(arc::LayerFileDosDateTimeByName(run.Out("old.txt")), older.DosDate);
    EXPECT_EQ(arc::LayerFileDosDateTimeByName(run.Out("new.txt")), newer.DosDate);
  }
  {
    TRunFixture run(zip);
    run.unzip.DateAttribute = arc::daMaxFileDate;
    EXPECT_EQ(run.unzip.Extract(), 2);
    EXPECT_EQ(arc::LayerFileDosDateTimeByName(run.Out("old.txt")), newer.DosDate);
  }
  {
    TRunFixture run(zip);
    run.unzip.DateAttribute = arc::daSysDate;
    const double before = arc::DosDateTimeToDateTime(arc::LayerNowDosDateTime());
    EXPECT_EQ(run.unzip.Extract(), 2);
    const double got =
        arc::DosDateTimeToDateTime(arc::LayerFileDosDateTimeByName(run.Out("old.txt")));
    EXPECT_NEAR(got, before, 3.0 / 1440); // within three minutes
  }
}

TEST(UnZipAttributes, StoredAttributesAreRestoredWhenAsked) {
  ZipItem item = Item("ro.txt", "r");
  item.Attributes = arc::faReadOnly | arc::faHidden | 0x100; // 0x100: temporary, not ours
  const Bytes zip = MakeZip({item});
  {
    TRunFixture run(zip);
    EXPECT_EQ(run.unzip.Extract(), 1);
    const uint32_t attributes = arc::LayerGetAttributes(run.Out("ro.txt"));
    EXPECT_NE(attributes & arc::faReadOnly, 0u);
#ifdef _WIN32
    EXPECT_NE(attributes & arc::faHidden, 0u);
    EXPECT_EQ(attributes & 0x100, 0u);
#endif
    arc::LayerSetAttributes(run.Out("ro.txt"), arc::faNormal);
  }
  {
    TRunFixture run(zip);
    run.unzip.RestoreFileAttr = false;
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_EQ(arc::LayerGetAttributes(run.Out("ro.txt")) & arc::faReadOnly, 0u);
  }
}

TEST(UnZipCrc, ComplementPassesAndOnEndTakesTheFailure) {
  ZipItem complement = Item("c.txt", "complement");
  complement.Crc = Crc32Of(complement.Data) ^ 0xFFFFFFFFu;
  ZipItem wrong = Item("w.txt", "wrong crc");
  wrong.Crc = 0x12345678;
  ZipItem localZero = Item("z.txt", "central crc", 8);
  localZero.LocalCrc = 0;
  const Bytes zip = MakeZip({complement, wrong, localZero});
  {
    TRunFixture run(zip);
    EXPECT_EQ(run.unzip.Extract(), 3);
    EXPECT_EQ(run.Codes(), std::vector<int32_t>{25151});
    EXPECT_EQ(run.errors[0].FileName, run.unzip.GetExtractDir() + "w.txt");
    EXPECT_EQ(run.unzip.FailedCount(), 1);
    EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/c.txt", "out/z.txt"}));
  }
  {
    TRunFixture run(zip);
    run.LogEvents();
    EXPECT_EQ(run.unzip.Extract(), 3);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_TRUE(Has(run.log, "end w.txt fail"));
    EXPECT_TRUE(Has(run.log, "end z.txt pass"));
  }
}

TEST(UnZipLocalWalk, WithoutCentralDirectoryTheLocalHeadersAreWalked) {
  const Bytes zip =
      MakeZip({Item("a.txt", "alpha", 8), Item("b.txt", "bravo")}, WithCentral(false));
  {
    TRunFixture run(zip);
    EXPECT_EQ(run.unzip.Extract(), 2);
    EXPECT_EQ(run.Text("a.txt"), "alpha");
    EXPECT_EQ(run.Text("b.txt"), "bravo");
  }
  {
    TRunFixture run(zip);
    arc::THeaderTypeState told = 0xFF;
    run.unzip.OnCorruptZipHeader = [&](tk::TComponent *, arc::THeaderTypeState state,
                                       bool &cancel) {
      told = state;
      EXPECT_TRUE(cancel);
    };
    EXPECT_EQ(run.unzip.Extract(), 0);
    EXPECT_EQ(told, arc::HeaderBit(arc::htLocal));
    EXPECT_EQ(run.AllFiles(), std::vector<std::string>{"a.zip"});
  }
  {
    TRunFixture run(zip);
    run.unzip.OnCorruptZipHeader = [](tk::TComponent *, arc::THeaderTypeState, bool &cancel) {
      cancel = false;
    };
    EXPECT_EQ(run.unzip.Extract(), 2);
  }
}

TEST(UnZipLocalWalk, AnEntryWithADataDescriptorIsTheLast) {
  ZipItem described = Item("d.txt", "described", 8);
  described.Descriptor = true;
  const Bytes zip =
      MakeZip({Item("a.txt", "alpha"), described, Item("c.txt", "charlie")}, WithCentral(false));
  TRunFixture run(zip);
  run.unzip.Extract();
  // Its size is unknown here: the walk ends with it and it is not passed off as extracted.
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/a.txt"}));
  EXPECT_TRUE(Has(run.Codes(), 25153));
  EXPECT_EQ(run.unzip.FailedCount(), 1);
}

TEST(UnZipMethods, UnsupportedMethodIsReportedAndTheRunGoesOn) {
  ZipItem imploded = Item("m7.txt", "tokenized");
  imploded.Method = 7;
  ZipItem high = Item("m99.txt", "unknown");
  high.Method = 99;
  TRunFixture run(MakeZip({Item("a.txt", "alpha"), imploded, high, Item("b.txt", "bravo", 8)}));
  EXPECT_EQ(run.unzip.Extract(), 4);
  EXPECT_EQ(run.CountOf(25326), 2);
  EXPECT_EQ(run.unzip.FailedCount(), 2);
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/a.txt", "out/b.txt"}));
}

TEST(UnZipCancel, ACancelledRunReportsUserCanceled) {
  const Bytes big = SampleData(200000, 7);
  ZipItem large;
  large.Name = "large.bin";
  large.Data = big;
  large.Method = 8;
  {
    TRunFixture run(MakeZip({large, Item("after.txt", "after")}));
    int progress = 0;
    run.unzip.OnProgress = [&](tk::TComponent *, uint8_t, uint8_t) {
      if (++progress == 2)
        run.unzip.SetCancelled(true);
    };
    run.unzip.OnEnd = nullptr;
    run.unzip.Extract();
    EXPECT_EQ(run.AllFiles(), std::vector<std::string>{"a.zip"});
    ASSERT_GE(run.errors.size(), 2u);
    for (const TReported &e : run.errors)
      EXPECT_EQ(e.Code, 25443);
    EXPECT_EQ(run.unzip.FailedCount(), 1);
  }
  {
    TRunFixture run(MakeZip({Item("a.txt", "a"), Item("b.txt", "b")}));
    run.LogEvents();
    run.unzip.OnBegin = [&](tk::TComponent *, const std::string &, int32_t, bool &) {
      run.unzip.SetCancelled(true);
    };
    EXPECT_EQ(run.unzip.Extract(), 0);
    EXPECT_EQ(run.log, (Lines{"activate", "error 25443", "deactivate"}));
    // The next run starts afresh.
    run.unzip.OnBegin = nullptr;
    EXPECT_EQ(run.unzip.Extract(), 2);
  }
}

TEST(UnZipPassword, AnArchiveEncryptedByTheZipToolOpensWithItsPassword) {
  ScratchDir source;
  WriteAll(source / "f1.txt", SampleData(70000, 3));
  WriteAll(source / "f2.txt", ToBytes("short one"));
  if (!RunIn(source.Path(), "zip -q -P 'tool pass' enc.zip f1.txt f2.txt"))
    GTEST_SKIP() << "the zip tool cannot run here";
  {
    TRunFixture run(ReadAll(source / "enc.zip"));
    run.unzip.Passwords().Add("tool pass");
    EXPECT_EQ(run.unzip.Extract(), 2);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(ReadAll(run.Out("f1.txt")), ReadAll(source / "f1.txt"));
    EXPECT_EQ(run.Text("f2.txt"), "short one");
  }
  {
    TRunFixture run(ReadAll(source / "enc.zip"));
    run.unzip.Passwords().Add("Tool pass");
    // (The one-byte check may let a wrong password through; the data then fails instead.)
    run.unzip.Extract();
    EXPECT_EQ(run.unzip.FailedCount(), 2);
    EXPECT_EQ(run.AllFiles(), std::vector<std::string>{"a.zip"});
  }
}

TEST(UnZipRun, ElapsedTimeLeavesOutTheHandlersAndComesBeforeDeactivate) {
  TRunFixture run(MakeZip({Item("a.txt", "a"), Item("b.txt", "b")}));
  run.LogEvents();
  run.unzip.OnBegin = [](tk::TComponent *, const std::string &, int32_t, bool &) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  };
  float elapsed = -1;
  run.unzip.OnElapsedTime = [&](tk::TComponent *, float seconds) {
    elapsed = seconds;
    run.log.push_back("elapsed");
  };
  EXPECT_EQ(run.unzip.Extract(), 2);
  EXPECT_GE(elapsed, 0.0f);
  EXPECT_LT(elapsed, 0.3f); // 0.6 s were spent in OnBegin
  ASSERT_GE(run.log.size(), 2u);
  EXPECT_EQ(run.log[run.log.size() - 2], "elapsed");
  EXPECT_EQ(run.log.back(), "deactivate");
}

TEST(UnZipRun, AnArchiveGoneSinceItWasNamedReportsOpenError) {
  TRunFixture run(MakeZip({Item("a.txt", "a")}));
  run.LogEvents();
  std::filesystem::remove(run.dir / "a.zip");
  EXPECT_EQ(run.unzip.Extract(), 0);
  EXPECT_EQ(run.log, (Lines{"error 25235"}));
}

TEST(UnZipRun, ProgressRisesToAHundredForFileAndArchive) {
  ZipItem large;
  large.Name = "large.bin";
  large.Data = SampleData(150000, 11);
  large.Method = 8;
  TRunFixture run(MakeZip({Item("a.txt", "alpha"), large, Item("b.txt", "bravo")}));
  std::vector<std::pair<int, int>> seen;
  run.unzip.OnProgress = [&](tk::TComponent *, uint8_t byFile, uint8_t byArchive) {
    seen.emplace_back(byFile, byArchive);
  };
  EXPECT_EQ(run.unzip.Extract(), 3);
  ASSERT_GE(seen.size(), 6u); // the large entry comes in several chunks
  for (size_t i = 1; i < seen.size(); ++i)
    EXPECT_GE(seen[i].second, seen[i - 1].second);
  EXPECT_EQ(seen.back(), std::make_pair(100, 100));
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(),
                          [](const std::pair<int, int> &p) { return p.first < 100; }));
}

TEST(UnZipRun, FolderEntriesMakeTheirFolderOnlyWhenAsked) {
  ZipItem folder = Item("empty/", "");
  folder.Attributes = 0x10;
  ZipItem bare = Item("bare/", ""); // a tool that sets no folder attribute
  for (bool create : {false, true}) {
    TRunFixture run(MakeZip({folder, bare}));
    run.unzip.CreateStoredDirs = create;
    EXPECT_EQ(run.unzip.Extract(), 0);
    EXPECT_EQ(std::filesystem::is_directory(run.Out("empty")), create);
    EXPECT_EQ(std::filesystem::is_directory(run.Out("bare")), create);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(run.unzip.FailedCount(), 0);
  }
}

TEST(UnZipTempFile, TheTemporaryFileTakesItsTargetsPlaceWhenFreed) {
  ScratchDir scratch;
  arc::TUnZip owner(nullptr);
  const std::string target = scratch / "target.bin";
  WriteAll(target, ToBytes("old"));
  std::string temp;
  {
    arc::TTempFileStream stream(&owner, arc::fmCreate, target, scratch.Path());
    temp = stream.TempName();
    ASSERT_FALSE(temp.empty());
    EXPECT_TRUE(arc::LayerFileExists(temp));
    const Bytes data = SampleData(250000, 5);
    stream.WriteBuffer(data.data(), int32_t(data.size()));
    EXPECT_EQ(ReadAll(target), ToBytes("old")); // nothing in place before it is freed
  }
  EXPECT_EQ(ReadAll(target), SampleData(250000, 5));
  EXPECT_FALSE(arc::LayerFileExists(temp));
  {
    // Any other mode opens the file itself.
    arc::TTempFileStream stream(&owner, arc::fmOpenRead, target, scratch.Path());
    EXPECT_TRUE(stream.TempName().empty());
    Bytes head(4);
    EXPECT_EQ(stream.Read(head.data(), 4), 4);
    const Bytes whole = SampleData(250000, 5);
    EXPECT_EQ(head, Bytes(whole.begin(), whole.begin() + 4));
  }
}

TEST(UnZipVolumes, AnEntryOnAVolumeNobodySuppliesEndsTheWalk) {
  // The last volume of a two-volume set: the tail of the first volume's data, an entry of its
  // own, then the directory, which also names an entry of the first volume.
  ZipItem here = Item("here.txt", "on the last volume");
  here.Disk = 1;
  ZipItem there = Item("there.txt", "on the first volume");
  there.Elsewhere = true;
  ZipOptions options;
  options.Prefix = SampleData(100, 4);
  options.ThisDisk = 1;
  TRunFixture run(MakeZip({here, there}, options));
  if (run.unzip.GetArcType() != arc::atZipMV)
    GTEST_SKIP() << "this drive is not described here, so the set is not seen as one (type "
                 << int(run.unzip.GetArcType()) << ")";
  EXPECT_EQ(run.unzip.Extract(), 1);
  // Without OnNextVolume the first volume can't be asked for.
  EXPECT_EQ(run.Codes(), (std::vector<int32_t>{25270, 25443}));
  ASSERT_EQ(run.errors.size(), 2u);
  EXPECT_EQ(run.errors[0].ExtendedMsg, "OnNextVolume");
  EXPECT_EQ(run.unzip.FailedCount(), 1);
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/here.txt"}));
}

TEST(UnZipRun, AnExceptionInTheErrorHandlerEndsOnlyTheEntry) {
  ZipItem bad = Item("bad.txt", std::string(3000, 'x'), 8);
  bad.Packed = DeflateStored(bad.Data);
  bad.Packed->resize(100);
  TRunFixture run(MakeZip({Item("a.txt", "a"), bad, Item("c.txt", "c")}));
  int told = 0;
  run.unzip.OnError = [&](tk::TComponent *, const std::string &, const std::string &,
                          const std::string &, int32_t code) {
    ++told;
    if (code == 25153)
      throw std::runtime_error("handler failed");
  };
  EXPECT_EQ(run.unzip.Extract(), 3);
  EXPECT_GE(told, 1);
  EXPECT_EQ(run.unzip.FailedCount(), 1);
  EXPECT_EQ(run.AllFiles(), (std::vector<std::string>{"a.zip", "out/a.txt", "out/c.txt"}));
}

TEST(UnZipRun, WritingArcTypeDetectsAgain) {
  TRunFixture run(MakeZip({Item("a.txt", "a")}));
  EXPECT_EQ(run.unzip.GetArcType(), arc::atZip);
  run.unzip.SetArcType(arc::atRar); // the value is ignored
  EXPECT_EQ(run.unzip.GetArcType(), arc::atZip);
  std::filesystem::remove(run.dir / "a.zip");
  EXPECT_THROW(run.unzip.SetArcType(arc::atZip), tk::EFOpenError);
  EXPECT_EQ(run.unzip.GetArcType(), arc::atNA);
}

TEST(UnZipMethods, LegacyAndDeflate64EntriesOfOtherToolsDecode) {
  const std::string shared = SharedTestData("legacy");
  if (shared.empty())
    GTEST_SKIP() << "the shared test archives are not beside the project";
  struct TCase {
    const char *Archive, *Entry, *Expected; // Expected: "" when the archive's CRC decides
  };
  const TCase cases[] = {
      {"legacy/shrink.zip", "FIRST.TXT", "legacy/folder/first.txt"},
      {"legacy/reduce.zip", "first.txt", "legacy/folder/first.txt"},
      {"legacy/implode.zip", "first.txt", "legacy/folder/first.txt"},
      {"legacy/SHRUNK.ZIP", "TEST1.XML", "legacy/test1.xml"},
      {"legacy/imploding-4Kdict-2trees.zip", "HEADER.TXT", ""},
      {"legacy/imploding-8Kdict-3trees.zip", "LICENSE.TXT", ""},
      {"deflate64/lorem-ipsum-deflate64.zip", "lorem-ipsum.txt", "deflate64/lorem-ipsum.txt"},
  };
  for (const TCase &c : cases) {
    const std::string archive = SharedTestData(c.Archive);
    ASSERT_FALSE(archive.empty()) << c.Archive;
    TRunFixture run(ReadAll(archive));
    EXPECT_GE(run.unzip.Extract(), 1) << c.Archive;
    EXPECT_EQ(run.unzip.FailedCount(), 0) << c.Archive;
    EXPECT_TRUE(run.errors.empty())
        << c.Archive << " " << (run.errors.empty() ? 0 : run.Codes()[0]);
    if (*c.Expected) {
      EXPECT_EQ(ReadAll(run.Out(c.Entry)), ReadAll(SharedTestData(c.Expected))) << c.Archive;
    } else {
      EXPECT_TRUE(run.Exists(c.Entry)) << c.Archive;
    }
  }
}
