// Safe extraction whatever an archive says: names that would leave the target folder or name a
// device, entries whose data is damaged or does not match their sizes, names longer than the
// reader takes; a failing entry never leaves a file in place of the one it would replace.
#include "UnZipHarness.h"

#include <gtest/gtest.h>

using namespace ziptest;

namespace {
using Files = std::vector<std::string>;
}

TEST(UnZipSafety, NamesThatLeaveTheTargetOrNameADeviceAreRejected) {
  const std::vector<std::string> hostile = {"../evil1.txt",
                                            "a/../../evil2.txt",
                                            "//server/share/evil3.txt",
                                            "C:/../evil4.txt",
                                            "dir/a:b.txt",
                                            "ok.txt:stream",
                                            "CON",
                                            "sub/nul.txt",
                                            "LPT1.log",
                                            "deep/com9/x.txt",
                                            "aux .txt",
                                            "dir/.../x.txt",
                                            "lpt\xB9.txt",
                                            "C:\\\\evil5.txt"};
  std::vector<ZipItem> items;
  for (const std::string &name : hostile)
    items.push_back(Item(name, "payload"));
  items.push_back(Item("ok.txt", "fine"));
  items.push_back(Item("sub/./also.txt", "fine too"));
  for (bool central : {true, false}) {
    TRunFixture run(MakeZip(items, WithCentral(central)));
    run.unzip.TranslateOemChar = false; // the superscript one is an ANSI character
    EXPECT_EQ(run.unzip.Extract(), 2) << central;
    EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/ok.txt", "out/sub/also.txt"})) << central;
    ASSERT_EQ(run.errors.size(), hostile.size()) << central;
    for (size_t i = 0; i < hostile.size(); ++i) {
      EXPECT_EQ(run.errors[i].Code, 25245) << hostile[i];
      EXPECT_EQ(run.errors[i].FileName, arc::SlashToBackslash(hostile[i]));
    }
    EXPECT_EQ(run.unzip.FailedCount(), int32_t(hostile.size()));
  }
  // Nothing appeared beside the scratch folder either.
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::temp_directory_path() / "evil1.txt"));
}

TEST(UnZipSafety, NamesLongerThanTheReaderTakesAreSkippedByTheirRealLength) {
  const std::string longName = std::string(300, 'n') + ".txt";
  for (bool central : {true, false}) {
    TRunFixture run(
        MakeZip({Item(longName, "long"), Item("next.txt", "next")}, WithCentral(central)));
    EXPECT_EQ(run.unzip.Extract(), 1) << central;
    EXPECT_EQ(run.Codes(), std::vector<int32_t>{25245}) << central;
    EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/next.txt"})) << central;
  }
}

TEST(UnZipSafety, AFailingEntryLeavesTheOldFileInPlace) {
  ZipItem badCrc = Item("a.txt", "new content");
  badCrc.Crc = 1;
  ZipItem truncated = Item("b.txt", std::string(5000, 'b'), 8);
  truncated.Packed = DeflateStored(truncated.Data);
  truncated.Packed->resize(2000);
  ZipItem unsupported = Item("c.txt", "shrunk?");
  unsupported.Method = 7;
  ZipItem garbage = Item("d.txt", "whatever");
  garbage.Method = 8;
  garbage.Packed = Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  TRunFixture run(MakeZip({badCrc, truncated, unsupported, garbage}));
  for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt"})
    WriteAll(run.Out(name), ToBytes(std::string("precious ") + name));
  run.unzip.Extract();
  for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt"})
    EXPECT_EQ(run.Text(name), std::string("precious ") + name);
  EXPECT_EQ(run.unzip.FailedCount(), 4);
  // No temporary file is left behind.
  EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/a.txt", "out/b.txt", "out/c.txt", "out/d.txt"}));
  EXPECT_EQ(run.CountOf(25153), 2);
}

// A target held open by another program cannot be replaced: the run says so by its name, the
// old file stays, and neither the count nor OnEnd takes the entry for extracted.
TEST(UnZipSafety, ATargetInUseIsReportedAndLeftAsItWas) {
#ifndef _WIN32
  GTEST_SKIP() << "only Windows keeps a file held open without sharing from being replaced";
#else
  TRunFixture run(MakeZip({Item("held.txt", "new held"), Item("free.txt", "new free")}));
  run.LogEvents();
  WriteAll(run.Out("held.txt"), ToBytes("old held"));
  const arc::TFileHandle held =
      arc::LayerOpen(run.Out("held.txt"), arc::fmOpenRead | arc::fmShareExclusive);
  ASSERT_NE(held, arc::InvalidFileHandle);
  const int32_t count = run.unzip.Extract();
  arc::LayerClose(held);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(run.Codes(), std::vector<int32_t>{25235});
  EXPECT_EQ(LastPart(run.errors[0].FileName), "held.txt");
  EXPECT_EQ(run.Text("held.txt"), "old held");
  EXPECT_EQ(run.Text("free.txt"), "new free");
  EXPECT_NE(std::find(run.log.begin(), run.log.end(), "end held.txt fail"), run.log.end());
  EXPECT_EQ(run.unzip.FailedCount(), 1);
  EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/free.txt", "out/held.txt"}));
#endif
}

TEST(UnZipSafety, AnEntryProducesExactlyItsDeclaredSize) {
  const std::string text = "exactly this much and no more";
  ZipItem longer = Item("long.txt", text, 8);
  longer.Declared = 10; // the data goes on past the declared size
  ZipItem shorter = Item("short.txt", text, 8);
  shorter.Declared = 100; // the data ends before it
  ZipItem storedMismatch = Item("stored.txt", text);
  storedMismatch.Declared = 5;
  ZipItem exact = Item("exact.txt", text, 8);
  TRunFixture run(MakeZip({longer, shorter, storedMismatch, exact}));
  run.unzip.Extract();
  EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/exact.txt"}));
  EXPECT_EQ(run.Text("exact.txt"), text);
  EXPECT_EQ(run.CountOf(25153), 3);
  EXPECT_EQ(run.unzip.FailedCount(), 3);
}

TEST(UnZipSafety, DataRunningPastTheArchiveIsADamagedEntry) {
  ZipItem item = Item("a.txt", "alpha");
  Bytes zip = MakeZip({item, Item("b.txt", "bravo")});
  // The first central header's compressed size: past the end of the archive.
  size_t central = zip.size() - 22 - 2 * (46 + 5);
  ASSERT_EQ(Le(zip, central, 4), 0x02014B50u);
  zip[central + 20] = 0xF0;
  zip[central + 23] = 0x7F;
  zip[central + 24] = 0xF0; // and the uncompressed size alike
  zip[central + 27] = 0x7F;
  TRunFixture run(zip);
  run.unzip.Extract();
  EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/b.txt"}));
  EXPECT_EQ(run.unzip.FailedCount(), 1);
  EXPECT_EQ(run.CountOf(25153), 1);
}

TEST(UnZipSafety, ALocalHeaderMissingAtItsOffsetIsABadHeader) {
  Bytes zip = MakeZip({Item("a.txt", "alpha"), Item("b.txt", "bravo")});
  zip[0] = 'X'; // the first local header's signature
  TRunFixture run(zip);
  EXPECT_EQ(run.unzip.Extract(), 1);
  EXPECT_EQ(run.Codes(), std::vector<int32_t>{25114});
  EXPECT_EQ(run.errors[0].FileName, "a.txt");
  EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/b.txt"}));
  EXPECT_EQ(run.unzip.FailedCount(), 1);
}

namespace {
// The bytes of every file the run wrote under its target folder.
uintmax_t BytesWritten(const TRunFixture &run) {
  uintmax_t total = 0;
  for (const auto &e : std::filesystem::recursive_directory_iterator(run.Out("")))
    if (e.is_regular_file())
      total += e.file_size();
  return total;
}

// The header fields of a deflated entry whose data Packed gives Content.
ZipHeaderFields Deflated(const std::string &name, const Bytes &packed, const Bytes &content) {
  ZipHeaderFields fields;
  fields.Name = name;
  fields.Method = 8;
  fields.Crc = Crc32Of(content);
  fields.Packed = uint32_t(packed.size());
  fields.Size = uint32_t(content.size());
  return fields;
}
} // namespace

// The two ways a zip bomb makes much of little by laying entries over one another: many
// central entries naming one compressed stream, and entries that each quote the next one's
// local header in a stored deflate block and run on into its data. Only the first entry of
// each comes out; an archive behind a stub, its offsets not adjusted, still comes out whole.
TEST(UnZipSafety, EntriesLaidOverOneAnotherAreRefused) {
  const Bytes content(65536, 'z');
  const Bytes stream = DeflateStored(content);
  {
    Bytes zip, central;
    const ZipHeaderFields first = Deflated("0.bin", stream, content);
    PutLocalHeader(zip, first);
    Append(zip, stream);
    for (int i = 0; i < 100; ++i) {
      ZipHeaderFields named = first;
      named.Name = std::to_string(i) + ".bin";
      PutCentralHeader(central, named, 0);
    }
    const uint32_t at = uint32_t(zip.size());
    Append(zip, central);
    PutEndRecord(zip, 100, uint32_t(central.size()), at);
    TRunFixture run(zip);
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/0.bin"}));
    EXPECT_EQ(BytesWritten(run), content.size());
    EXPECT_EQ(run.unzip.FailedCount(), 99);
    ASSERT_EQ(run.CountOf(25114), 99);
    EXPECT_EQ(run.errors[0].FileName, "1.bin");
  }
  {
    // Built from the last entry back: entry i's data is a stored block quoting entry i + 1's
    // local header, followed by entry i + 1's data, so entry i gives all that entry i + 1 gives
    // and more.
    constexpr size_t Count = 60;
    std::vector<ZipHeaderFields> fields(Count);
    std::vector<Bytes> headers(Count);
    Bytes data = stream, output = content;
    for (size_t i = Count; i-- > 0;) {
      if (i + 1 < Count) {
        Bytes quote = DeflateStored(headers[i + 1]);
        quote[0] = 0; // not the last block: the data goes on
        data = Concat(quote, data);
        output = Concat(headers[i + 1], output);
      }
      fields[i] = Deflated(std::to_string(i) + ".bin", data, output);
      PutLocalHeader(headers[i], fields[i]);
    }
    Bytes zip = Concat(headers[0], data), central;
    uint32_t offset = 0;
    for (size_t i = 0; i < Count; ++i) {
      PutCentralHeader(central, fields[i], offset);
      offset += uint32_t(headers[i].size()) + 5; // the header and the block that quotes the next
    }
    const uint32_t at = uint32_t(zip.size());
    Append(zip, central);
    PutEndRecord(zip, uint16_t(Count), uint32_t(central.size()), at);
    TRunFixture run(zip);
    EXPECT_EQ(run.unzip.Extract(), 1);
    EXPECT_EQ(run.AllFiles(), (Files{"a.zip", "out/0.bin"}));
    EXPECT_EQ(BytesWritten(run), fields[0].Size);
    EXPECT_EQ(run.unzip.FailedCount(), int32_t(Count) - 1);
    EXPECT_EQ(run.CountOf(25114), long(Count) - 1);
  }
  {
    std::vector<ZipItem> items;
    for (const char *name : {"a.txt", "b/c.txt", "d.txt"})
      items.push_back(Item(name, std::string(3000, name[0]), 8));
    TRunFixture run(Concat(Bytes(4000, 0), MakeZip(items)));
    EXPECT_EQ(run.unzip.Extract(), 3);
    EXPECT_EQ(run.Codes(), std::vector<int32_t>{});
    EXPECT_EQ(run.Text("b/c.txt"), std::string(3000, 'b'));
  }
}
