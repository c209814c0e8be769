// Archive detection against archives made by the real tools (zip, 7-Zip, tar, gzip, Python's
// zipfile), hand-built files for the forms no tool writes, and damaged or hostile archives.
#include "archive/Detect.h"
#include "ToolInputs.h"
#include "archive/FileInfo.h"
#include "archive/Messages.h"

#include "ZipFixtures.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "support/TestEnvironment.h"
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using namespace arc;
using ziptest::Bytes;
using ziptest::ReadAll;
using ziptest::ScratchDir;
using ziptest::WriteAll;

// --- helpers -------------------------------------------------------------------------------------

// An archive in memory that notes every attempt to read before its start or past its end.
class WatchedStream : public TStream32 {
public:
  explicit WatchedStream(Bytes data) : Data(std::move(data)) {}
  int32_t Read(void *buffer, int32_t count) override {
    const int64_t size = static_cast<int64_t>(Data.size());
    if (count < 0 || pos_ < 0 || pos_ >= size)
      ++OutOfBounds;
    const int64_t n = std::clamp<int64_t>(size - pos_, 0, std::max(count, 0));
    if (n > 0)
      std::memcpy(buffer, Data.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void *, int32_t) override { return -1; }
  int64_t Seek(int64_t offset, int origin) override {
    const int64_t target = (origin == soFromBeginning ? 0
                            : origin == soFromCurrent ? pos_
                                                      : static_cast<int64_t>(Data.size())) +
                           offset;
    if (target < 0 || target > static_cast<int64_t>(Data.size()))
      ++OutOfBounds;
    pos_ = target;
    return pos_;
  }
  Bytes Data;
  int OutOfBounds = 0;

private:
  int64_t pos_ = 0;
};

void Put16(Bytes &b, size_t at, uint32_t v) {
  b.at(at) = static_cast<uint8_t>(v);
  b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
void Put32(Bytes &b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}
void Put64(Bytes &b, size_t at, uint64_t v) {
  Put32(b, at, static_cast<uint32_t>(v));
  Put32(b, at + 4, static_cast<uint32_t>(v >> 32));
}
uint32_t Get32(const Bytes &b, size_t at) { return ziptest::Le(b, at, 4); }

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }
Bytes Text(const char *s, size_t n) { return Bytes(s, s + n); }

// The signature forms a hand-built archive uses for each record.
struct Forms {
  char Local = 'K', Central = 'K', Ending = 'K'; // "K", "L", "M", "N"; "[" or "\" for the end
};

struct Built {
  Bytes Data;
  size_t Central = 0; // where the central directory lies in Data
  size_t Ending = 0;
};

// A stored zip of the given entries, behind Prefix; the offsets are written as if Prefix were
// not there (a stub put in front of a finished archive), unless Adjust.
Built BuildZip(const std::vector<std::pair<std::string, Bytes>> &entries, const Bytes &prefix = {},
               const Forms &forms = {}, bool adjust = false) {
  THeaderCipher cipher;
  const size_t base = adjust ? 0 : prefix.size();
  Built out;
  out.Data = prefix;
  std::vector<size_t> locals;
  auto seal = [&](size_t at, size_t fixed, size_t name, char form) {
    out.Data[at + 1] = static_cast<uint8_t>(form);
    if (form == 'L' || form == 'N' || form == '\\') {
      cipher.Reset();
      cipher.Encipher(&out.Data[at + 4], static_cast<int64_t>(fixed - 4));
      cipher.Encipher(&out.Data[at + fixed], static_cast<int64_t>(name));
    }
  };
  for (const auto &[name, data] : entries) {
    const size_t at = out.Data.size();
    locals.push_back(at - base);
    Bytes h(30, 0);
    Put32(h, 0, sigLocal);
    Put16(h, 4, 10);
    Put32(h, 14, 0x12345678);
    Put32(h, 18, static_cast<uint32_t>(data.size()));
    Put32(h, 22, static_cast<uint32_t>(data.size()));
    Put16(h, 26, static_cast<uint32_t>(name.size()));
    out.Data = ziptest::Concat(ziptest::Concat(std::move(out.Data), h), Text(name));
    out.Data = ziptest::Concat(std::move(out.Data), data);
    seal(at, 30, name.size(), forms.Local);
  }
  out.Central = out.Data.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto &[name, data] = entries[i];
    const size_t at = out.Data.size();
    Bytes h(46, 0);
    Put32(h, 0, sigCentral);
    Put16(h, 4, 20);
    Put16(h, 6, 10);
    Put32(h, 16, 0x12345678);
    Put32(h, 20, static_cast<uint32_t>(data.size()));
    Put32(h, 24, static_cast<uint32_t>(data.size()));
    Put16(h, 28, static_cast<uint32_t>(name.size()));
    Put32(h, 42, static_cast<uint32_t>(locals[i]));
    out.Data = ziptest::Concat(ziptest::Concat(std::move(out.Data), h), Text(name));
    seal(at, 46, name.size(), forms.Central);
  }
  const size_t centralSize = out.Data.size() - out.Central;
  out.Ending = out.Data.size();
  const bool extended = forms.Ending == '[' || forms.Ending == '\\';
  Bytes e(extended ? 26 : 22, 0);
  Put32(e, 0, extended ? sigEndingExt : sigEnding);
  Put16(e, 8, static_cast<uint32_t>(entries.size()));
  Put16(e, 10, static_cast<uint32_t>(entries.size()));
  Put32(e, 12, static_cast<uint32_t>(centralSize));
  if (extended)
    Put64(e, 16, out.Central - base);
  else
    Put32(e, 16, static_cast<uint32_t>(out.Central - base));
  out.Data = ziptest::Concat(std::move(out.Data), e);
  seal(out.Ending, e.size(), 0, forms.Ending);
  return out;
}

const std::vector<std::pair<std::string, Bytes>> &SampleEntries() {
  static const std::vector<std::pair<std::string, Bytes>> entries = {
      {"theme\\readme.txt", Text("a theme package for the icons and cursors\n")},
      {"theme\\icon.ico", ziptest::SampleData(700, 7)},
      {"cursor.cur", ziptest::SampleData(300, 9)}};
  return entries;
}

struct Result {
  TArcType Type;
  TArchiveInfo Info;
  int OutOfBounds;
};

Result Detect(const Bytes &data, const std::string &name = "archive.bin") {
  WatchedStream stream(data);
  Result r{atNA, {}, 0};
  THeaderCipher cipher;
  r.Type = GetArcType(stream, name, r.Info, cipher);
  r.OutOfBounds = stream.OutOfBounds;
  return r;
}

// A program stub: the MZ header, a DOS image of no length, and filler without any signature.
Bytes Stub(size_t size, unsigned seed = 1) {
  std::mt19937 random(seed);
  Bytes b(size, 0);
  b[0] = 'M';
  b[1] = 'Z';
  for (size_t i = 64; i < size; ++i)
    b[i] = static_cast<uint8_t>(1 + random() % 0x40);
  return b;
}

// A packed record field as a value (gtest binds references, which a packed field cannot give).
template <class T> T Value(T v) { return v; }

// --- record forms --------------------------------------------------------------------------------

TEST(DetectRecords, SignatureFormsGiveTheirKindAndWhetherEnciphered) {
  struct Case {
    uint32_t Signature;
    THeaderType Kind;
    bool Enciphered;
  } cases[] = {
      {0x04034B50, htLocal, false},   {0x04034C50, htLocal, true},    {0x04034D50, htLocal, false},
      {0x04034E50, htLocal, true},    {0x02014B50, htCentral, false}, {0x02014C50, htCentral, true},
      {0x02014D50, htCentral, false}, {0x02014E50, htCentral, true},  {0x06054B50, htEnding, false},
      {0x06054C50, htEnding, true},   {0x06055B50, htEnding, false},  {0x06055C50, htEnding, true},
      {0x06054D50, htNone, false},    {0x06055D50, htNone, false},    {0x04034F50, htNone, false},
      {0x04034B51, htNone, false},    {0x07064B50, htNone, false},    {0x08074B50, htNone, false},
  };
  for (const Case &c : cases) {
    bool enciphered = !c.Enciphered;
    EXPECT_EQ(GetHeaderType(c.Signature, htNone, &enciphered), c.Kind) << std::hex << c.Signature;
    EXPECT_EQ(enciphered, c.Enciphered) << std::hex << c.Signature;
    if (c.Kind != htNone) {
      EXPECT_EQ(GetHeaderType(c.Signature, c.Kind, nullptr), c.Kind);
      const THeaderType other = c.Kind == htLocal ? htCentral : htLocal;
      EXPECT_EQ(GetHeaderType(c.Signature, other, nullptr), htNone) << "another kind expected";
    }
  }
  EXPECT_TRUE(IsExtendedEnding(0x06055B50));
  EXPECT_TRUE(IsExtendedEnding(0x06055C50));
  EXPECT_FALSE(IsExtendedEnding(0x06054B50));
  EXPECT_FALSE(IsExtendedEnding(0x04035B50));
}

TEST(DetectRecords, HeaderCipherIsTheSameForEveryInstanceAndRestartsOnReset) {
  Bytes plain = ziptest::SampleData(64, 3);
  Bytes a = plain, b = plain;
  THeaderCipher one, two;
  one.Reset();
  one.Encipher(a.data(), 64);
  two.Reset();
  two.Encipher(b.data(), 32);
  two.Encipher(b.data() + 32, 32); // in two runs: the same keys carry on
  EXPECT_EQ(a, b);
  EXPECT_NE(a, plain);
  // The header keys are not the password-less initial keys of ordinary encryption.
  TZipKeys ordinary;
  ordinary.InitKeys("");
  Bytes c = plain;
  ordinary.EncipherBlock(c.data(), 64);
  EXPECT_NE(a, c);
  two.Reset();
  two.Decipher(b.data(), 64);
  EXPECT_EQ(b, plain);
}

// --- the real tools ------------------------------------------------------------------------------

#ifdef LUMAGROVE_DETECT_INPUTS
std::string InputDir() { return LUMAGROVE_DETECT_INPUTS; }
#else
// Natively the test makes its inputs itself with the real tools.
std::string InputDir() { return ProcessInputDir("detect_inputs", LUMAGROVE_DETECT_SCRIPT); }
#endif

std::string Input(const std::string &name) { return InputDir() + "/" + name; }

std::map<std::string, std::map<std::string, std::string>> Manifest() {
  std::map<std::string, std::map<std::string, std::string>> m;
  std::ifstream in(InputDir() + "/manifest.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name, fact;
    fields >> name;
    while (fields >> fact) {
      const size_t eq = fact.find('=');
      m[name][fact.substr(0, eq)] = fact.substr(eq + 1);
    }
  }
  return m;
}

const char *const TypeNames[] = {
    "atNA",      "atUnsupported", "atFileOpenErr", "atUnknown", "atAce",   "atAceExe", "atArc",
    "atArcExe",  "atArj",         "atArjExe",      "atBh",      "atBhExe", "atCab",    "atCabExe",
    "atGZip",    "atHA",          "atJar",         "atJarExe",  "atLha",   "atLhaExe", "atLzh",
    "atLzhExe",  "atMsGZ",        "atPak",         "atPakExe",  "atRar",   "atRarExe", "atTar",
    "atTarGZip", "atUUE",         "atZip",         "atZipExe",  "atZipDS", "atZipMV",  "atZoo"};

TEST(DetectToolMade, EachInputIsTheKindItsToolMade) {
  const auto manifest = Manifest();
  ASSERT_GE(manifest.size(), 14u) << "inputs in " << InputDir();
  int checked = 0;
  for (const auto &[name, facts] : manifest) {
    if (!facts.count("type"))
      continue;
    SCOPED_TRACE(name);
    TArchiveInfo info;
    THeaderCipher cipher;
    const TArcType type = DetectFile(Input(name), info, cipher);
    EXPECT_STREQ(TypeNames[type], facts.at("type").c_str());
    if (facts.count("offset")) {
      EXPECT_EQ(info.ArchiveOffset, std::stoll(facts.at("offset")));
    }
    if (facts.count("shift")) {
      EXPECT_EQ(info.Shift, std::stol(facts.at("shift")));
    }
    if (type == atZip || type == atZipExe || type == atJar) {
      EXPECT_EQ(info.HeaderState,
                HeaderBit(htEnding) | HeaderBit(htCentral) | HeaderBit(htLocal) |
                    (facts.count("zip64") ? HeaderBit(htLocator) | HeaderBit(htEnding64) : 0));
      EXPECT_EQ(Value(info.Central.Signature), sigCentral);
      EXPECT_EQ(Value(info.Local.Signature), sigLocal);
      EXPECT_GT(info.CommentPosition, info.ArchiveOffset);
      EXPECT_EQ(info.CommentPosition, info.ArchiveSize) << "no archive comment";
    }
    ++checked;
  }
  EXPECT_GE(checked, 14);
}

TEST(DetectToolMade, ArchiveDateIsTheFilesLastWriteTime) {
  TArchiveInfo info;
  THeaderCipher cipher;
  ASSERT_EQ(DetectFile(Input("plain.zip"), info, cipher), atZip);
  EXPECT_EQ(info.ArchiveDate, LayerFileDosDateTimeByName(Input("plain.zip")));
  EXPECT_NE(info.ArchiveDate, 0x00210020u);
  // A stream whose name names no file: the fixed date.
  const Result r = Detect(ReadAll(Input("plain.zip")), "no such folder\\plain.zip");
  EXPECT_EQ(r.Type, atZip);
  EXPECT_EQ(r.Info.ArchiveDate, 0x00210020u);
}

TEST(DetectToolMade, ForwardSlashesMissingAndEmptyFiles) {
  ScratchDir dir;
  TArchiveInfo info;
  THeaderCipher cipher;
  std::string slashed = Input("plain.zip");
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  EXPECT_EQ(DetectFile(slashed, info, cipher), atZip);
  EXPECT_EQ(DetectFile(dir / "missing.zip", info, cipher), atNA);
  EXPECT_EQ(DetectFile("", info, cipher), atNA);
  WriteAll(dir / "empty.zip", {});
  EXPECT_EQ(DetectFile(dir / "empty.zip", info, cipher), atNA);
  EXPECT_EQ(DetectFile(dir.Path(), info, cipher), atNA) << "a folder";
}

TEST(DetectToolMade, Zip64RecordsAreCopied) {
  TArchiveInfo info;
  THeaderCipher cipher;
  ASSERT_EQ(DetectFile(Input("zip64.zip"), info, cipher), atZip);
  EXPECT_EQ(Value(info.Locator.Signature), sigLocator);
  EXPECT_EQ(Value(info.Ending64.Signature), sigEnding64);
  EXPECT_EQ(static_cast<int64_t>(Value(info.Ending64.CentralOffset)), info.ArchiveOffset);
  EXPECT_EQ(Value(info.Ending64.EntriesTotal), 3u);
  // The same archive behind a stub, its offsets not adjusted: found through the shift.
  const Bytes zip = ReadAll(Input("zip64.zip"));
  const Result r = Detect(ziptest::Concat(Stub(18000), zip), "theme.exe");
  EXPECT_EQ(r.Type, atZipExe);
  EXPECT_EQ(r.Info.Shift, 18000);
  EXPECT_EQ(r.Info.ArchiveOffset, info.ArchiveOffset + 18000);
  EXPECT_TRUE(HasHeader(r.Info.HeaderState, htLocal));
}

TEST(DetectToolMade, SplitSetOnAFixedDiskIsMultiVolume) {
  TArchiveInfo info;
  THeaderCipher cipher;
  // The first volume opens with the split marker and has no end record: its local headers are
  // walked from the start.
  const Bytes first = ReadAll(Input("split.z01"));
  ASSERT_EQ(Get32(first, 0), sigDescriptor);
  EXPECT_EQ(DetectFile(Input("split.z01"), info, cipher), atZipMV);
  EXPECT_EQ(info.HeaderState, HeaderBit(htLocal));
  EXPECT_EQ(info.ArchiveOffset, 0);
  // The last one carries the end record of a disk other than the first.
  EXPECT_EQ(DetectFile(Input("split.zip"), info, cipher), atZipMV);
  EXPECT_NE(Value(info.Ending.ThisDisk), 0);
  EXPECT_TRUE(HasHeader(info.HeaderState, htEnding));
}

// --- hand-built files ----------------------------------------------------------------------------

TEST(DetectBuilt, TinyFilesAreNoArchiveAndUnknownBytesAreNotRecognised) {
  const Bytes zip = ReadAll(Input("plain.zip"));
  for (size_t n = 0; n <= 19; ++n)
    EXPECT_EQ(Detect(Bytes(zip.begin(), zip.begin() + static_cast<long>(n))).Type, atNA) << n;
  EXPECT_EQ(Detect(Text("twenty bytes of text")).Type, atUnknown);
  EXPECT_EQ(Detect(Bytes(5000, 0)).Type, atUnknown);
  EXPECT_EQ(Detect(Text("PKG5 package of another kind, not a zip")).Type, atUnknown);
  EXPECT_EQ(Detect(Text("PKG4 local-looking record, not a zip")).Type, atUnknown);
}

TEST(DetectBuilt, ZeroBytesBeforeTheFirstLocalHeader) {
  const Built zip = BuildZip(SampleEntries());
  const Bytes zeros(3, 0);
  // Without its directory: the local headers are walked from the first one.
  Bytes cut(zip.Data.begin(), zip.Data.begin() + static_cast<long>(zip.Central));
  Result r = Detect(ziptest::Concat(zeros, cut));
  EXPECT_EQ(r.Type, atZip);
  EXPECT_EQ(r.Info.ArchiveOffset, 3);
  EXPECT_EQ(r.Info.HeaderState, HeaderBit(htLocal));
  // With it, offsets written before the zeros were put in front: read through the shift.
  r = Detect(ziptest::Concat(zeros, zip.Data));
  EXPECT_EQ(r.Type, atZip);
  EXPECT_EQ(r.Info.Shift, 3);
  EXPECT_EQ(r.Info.ArchiveOffset, static_cast<int64_t>(zip.Central + 3));
  EXPECT_TRUE(HasHeader(r.Info.HeaderState, htLocal));
  EXPECT_EQ(r.OutOfBounds, 0);
}

TEST(DetectBuilt, JarByExtensionInAnyCase) {
  const Bytes zip = BuildZip(SampleEntries()).Data;
  EXPECT_EQ(Detect(zip, "C:\\themes\\PACK.JAR").Type, atJar);
  EXPECT_EQ(Detect(zip, "pack.jar").Type, atJar);
  EXPECT_EQ(Detect(zip, "pack.jar.zip").Type, atZip);
  EXPECT_EQ(Detect(zip, "jar\\pack").Type, atZip);
}

TEST(DetectBuilt, EncipheredAndExtendedEndRecordsAreFoundAndRead) {
  for (Forms forms : {Forms{'K', 'K', 'L'}, Forms{'L', 'L', 'L'}, Forms{'M', 'M', '['},
                      Forms{'N', 'N', '\\'}, Forms{'K', 'L', 'K'}}) {
    SCOPED_TRACE(std::string("forms ") + forms.Local + forms.Central + forms.Ending);
    const Built zip = BuildZip(SampleEntries(), {}, forms);
    const Result r = Detect(zip.Data);
    EXPECT_EQ(r.Type, atZip);
    EXPECT_EQ(r.Info.ArchiveOffset, static_cast<int64_t>(zip.Central));
    EXPECT_EQ(r.Info.HeaderState, HeaderBit(htEnding) | HeaderBit(htCentral) | HeaderBit(htLocal));
    // Deciphered fields: the first entry's name length and offset, the end record's counts.
    EXPECT_EQ(Value(r.Info.Central.NameLength), SampleEntries()[0].first.size());
    EXPECT_EQ(Value(r.Info.Central.LocalHeaderOffset), 0u);
    EXPECT_EQ(Value(r.Info.Local.NameLength), SampleEntries()[0].first.size());
    EXPECT_EQ(Value(r.Info.Ending.EntriesTotal), 3);
    const bool extended = forms.Ending == '[' || forms.Ending == '\\';
    EXPECT_EQ(r.Info.CommentPosition, static_cast<int64_t>(zip.Ending + (extended ? 26 : 22)));
    if (extended) {
      EXPECT_EQ(Value(r.Info.EndingExt.CentralOffset), zip.Central);
    }
  }
}

TEST(DetectBuilt, SelfExtractorWithUnadjustedOffsetsIsReadThroughTheShift) {
  for (Forms forms : {Forms{}, Forms{'L', 'L', 'L'}, Forms{'K', 'K', '['}}) {
    const Built zip = BuildZip(SampleEntries(), Stub(21000), forms);
    const Result r = Detect(zip.Data, "setup.exe");
    EXPECT_EQ(r.Type, atZipExe);
    EXPECT_EQ(r.Info.Shift, 21000);
    EXPECT_EQ(r.Info.ArchiveOffset, static_cast<int64_t>(zip.Central));
    EXPECT_TRUE(HasHeader(r.Info.HeaderState, htLocal));
    EXPECT_EQ(r.OutOfBounds, 0);
    // Adjusted offsets need no shift.
    const Built adjusted = BuildZip(SampleEntries(), Stub(21000), forms, true);
    const Result a = Detect(adjusted.Data, "setup.exe");
    EXPECT_EQ(a.Type, atZipExe);
    EXPECT_EQ(a.Info.Shift, 0);
    EXPECT_EQ(a.Info.ArchiveOffset, static_cast<int64_t>(adjusted.Central));
  }
}

TEST(DetectBuilt, ExecutableStubsAtTheirFixedPlaces) {
  const Bytes zip = BuildZip(SampleEntries()).Data;
  for (size_t at : {size_t(7612), size_t(25661)}) {
    Bytes exe = Stub(at);
    // No directory: the local headers are walked from the fixed place.
    exe = ziptest::Concat(std::move(exe), Bytes(zip.begin(), zip.begin() + 200));
    const Result r = Detect(exe, "setup.exe");
    EXPECT_EQ(r.Type, atZipExe) << at;
    EXPECT_EQ(r.Info.ArchiveOffset, static_cast<int64_t>(at));
    EXPECT_EQ(r.Info.HeaderState, HeaderBit(htLocal));
  }
  struct Case {
    size_t At;
    Bytes Mark;
    TArcType Type;
    int64_t Offset;
  } cases[] = {
      {6674, {0x1A, 0x08}, atArcExe, 6674},
      {6867, {0x1A, 0x09}, atArcExe, 6867},
      {7716, {0x1A, 0x0A}, atPakExe, 7716},
      {13138, {0x1A, 0x0B}, atPakExe, 13138},
      {1947, Text("-lh5-"), atLhaExe, 1945},
      {20000, Text("Rar!\x1A\x07"), atRarExe, 20000},
      {17500, Text("MSCF\0\0\0\0", 8), atCabExe, 17500},
  };
  for (const Case &c : cases) {
    Bytes exe = Stub(24000, static_cast<unsigned>(c.At));
    std::copy(c.Mark.begin(), c.Mark.end(), exe.begin() + static_cast<long>(c.At));
    const Result r = Detect(exe, "setup.exe");
    EXPECT_EQ(r.Type, c.Type) << c.At;
    EXPECT_EQ(r.Info.ArchiveOffset, c.Offset) << c.At;
  }
}

#ifdef _WIN32
// A real program with a string resource "60000", with an archive mark appended at that offset.
TEST(DetectBuilt, StringResourcesOfASelfExtractorGiveTheArchiveOffset) {
  const Bytes stub = ReadAll(testenv::ExeDir() + "sfx_stub.exe");
  ASSERT_GT(stub.size(), 1000u);
  ASSERT_LT(stub.size(), 60000u);
  ScratchDir dir;
  auto make = [&](const Bytes &mark, size_t at) {
    Bytes exe = stub;
    exe.resize(at, 0);
    exe = ziptest::Concat(std::move(exe), mark);
    exe.resize(exe.size() + 300, ' ');
    return exe;
  };
  TArchiveInfo info;
  THeaderCipher cipher;
  WriteAll(dir / "pak.exe", make({0x1A, 0x0A}, 60000));
  EXPECT_EQ(DetectFile(dir / "pak.exe", info, cipher), atPakExe);
  EXPECT_EQ(info.ArchiveOffset, 60000);
  WriteAll(dir / "ace.exe", make(Text("\x01\x02\x03\x04\x05\x06\x07**ACE**", 14), 60000));
  EXPECT_EQ(DetectFile(dir / "ace.exe", info, cipher), atAceExe);
  EXPECT_EQ(info.ArchiveOffset, 60000);
  // The same mark elsewhere: the resource's offset finds nothing and no other test knows it.
  WriteAll(dir / "elsewhere.exe", make({0x1A, 0x0A}, 60100));
  EXPECT_EQ(DetectFile(dir / "elsewhere.exe", info, cipher), atUnknown);
  // A file that ends before the offset the resource names.
  Bytes cut = stub;
  cut.resize(50000, ' ');
  WriteAll(dir / "short.exe", cut);
  EXPECT_EQ(DetectFile(dir / "short.exe", info, cipher), atUnknown);
}
#endif

TEST(DetectBuilt, DosImageEndOfAnExecutable) {
  // Pages of 512 bytes and the bytes used in the last page, as the MZ header gives them.
  Bytes exe = Stub(9000);
  Put16(exe, 4, 9);   // 9 pages
  Put16(exe, 2, 100); // (9 - 1) x 512 + 100 = 4196
  const std::string mark = "Rar!\x1A\x07";
  std::copy(mark.begin(), mark.end(), exe.begin() + 4196);
  Result r = Detect(exe, "setup.exe");
  EXPECT_EQ(r.Type, atRarExe);
  EXPECT_EQ(r.Info.ArchiveOffset, 4196);
  // An arj header two bytes on.
  exe = Stub(9000);
  Put16(exe, 4, 9);
  Put16(exe, 2, 100);
  exe[4198] = 0x60;
  exe[4199] = 0xEA;
  exe[4200] = 0x60;
  exe[4201] = 0xEA;
  r = Detect(exe, "setup.exe");
  EXPECT_EQ(r.Type, atArjExe);
  EXPECT_EQ(r.Info.ArchiveOffset, 4198);
}

TEST(DetectBuilt, SignatureTableAtTheStart) {
  auto file = [](Bytes head) {
    head.resize(600, ' ');
    return head;
  };
  struct Case {
    Bytes Head;
    TArcType Type;
  } cases[] = {
      {{0x42, 0x48, 0x05, 0x07}, atBh},
      {Text("Rar!\x1A\x07\x00", 7), atRar},
      {Text("MSCF\0\0\0\0", 8), atCab},
      {{0xB7, 0xDF, 0x54, 0x57}, atArc},
      {{0x13, 0x5D, 0x65, 0x8C}, atMsGZ},
      {Text("\x1F\x02-lh5-", 7), atLha},
      {{0x1A, 0x02}, atArc},
      {{0x1A, 0x08}, atArc},
      {{0x1A, 0x0B}, atPak},
      {{0x1F, 0x8B, 0x08}, atGZip},
      {{0x1F, 0x9D}, atGZip},
      {{0x25, 0x21}, atGZip},
      {Text("HA\x02"), atHA},
      {Text("ZOO 2.10 Archive.\x1A"), atZoo},
      {{0xB7, 0x92}, atArcExe},
      {{0x60, 0xEA, 0x20, 0x00}, atArj},
      {Text("\x01\x02\x03\x04\x05\x06\x07**ACE**", 14), atAce},
      {{0x1A, 0x08, 0, 0, 0, 0, 0, '*', '*', 'A', 'C', 'E', '*', '*'}, atAce},
  };
  for (const Case &c : cases) {
    const Result r = Detect(file(c.Head));
    EXPECT_EQ(r.Type, c.Type) << TypeNames[c.Type];
    EXPECT_EQ(r.OutOfBounds, 0);
  }
  // Leading zero bytes, and the lha header that follows 128 of them.
  Bytes lha(600, 0);
  std::memcpy(&lha[130], "-lh5-", 5);
  Result r = Detect(lha);
  EXPECT_EQ(r.Type, atLha);
  EXPECT_EQ(r.Info.ArchiveOffset, 128);
  Bytes rar = ziptest::Concat(Bytes(40, 0), file(Text("Rar!\x1A\x07\x00", 7)));
  r = Detect(rar);
  EXPECT_EQ(r.Type, atRar);
  EXPECT_EQ(r.Info.ArchiveOffset, 40);
}

TEST(DetectBuilt, SignatureScanOfAPlainFile) {
  Bytes text = Text(std::string(3000, 'x'));
  std::memcpy(&text[2000], "Rar!", 4);
  Result r = Detect(text);
  EXPECT_EQ(r.Type, atRarExe);
  EXPECT_EQ(r.Info.ArchiveOffset, 2000);
  // A zip local header inside a plain file, no directory after it.
  text = Text(std::string(3000, 'x'));
  const Bytes zip = BuildZip(SampleEntries()).Data;
  std::copy(zip.begin(), zip.begin() + 100, text.begin() + 1000);
  r = Detect(text);
  EXPECT_EQ(r.Type, atZip);
  EXPECT_EQ(r.Info.ArchiveOffset, 1000);
  EXPECT_EQ(r.Info.HeaderState, HeaderBit(htLocal));
  // A cabinet inside a plain file is not taken for one.
  text = Text(std::string(3000, 'x'));
  std::memcpy(&text[500], "MSCF\0\0\0\0", 8);
  EXPECT_EQ(Detect(text).Type, atUnknown);
}

TEST(DetectBuilt, TarChecksumAndVolumeHeader) {
  const Bytes tar = ReadAll(Input("plain.tar"));
  ASSERT_GT(tar.size(), 1024u);
  EXPECT_EQ(Detect(tar).Type, atTar);
  Bytes bad = tar;
  bad[0] ^= 1; // the name changes, the checksum does not
  EXPECT_EQ(Detect(bad).Type, atUnknown);
  const Bytes label = ReadAll(Input("label.tar"));
  ASSERT_EQ(label[156], 'V');
  Result r = Detect(label);
  EXPECT_EQ(r.Type, atTar);
  EXPECT_EQ(r.Info.ArchiveOffset, 512);
  // A volume header and nothing after it.
  r = Detect(Bytes(label.begin(), label.begin() + 1000));
  EXPECT_NE(r.Type, atTar);
}

TEST(DetectVolumes, NumberAndLetterFromTheExtension) {
  struct Case {
    TArcType Type;
    const char *Name;
    int Number;
    char Letter;
  } cases[] = {
      {atRar, "C:\\sets\\pack.rar", 0, 'q'},
      {atRar, "pack.r05", 6, 'r'},
      {atRarExe, "pack.exe", 0, 'q'},
      {atArj, "pack.arj", 1, 'a'},
      {atArj, "pack.a01", 2, 'a'},
      {atAce, "pack.c12", 13, 'c'},
      {atAce, "pack", 0, 'C'},
      {atJar, "pack.j3", 4, 'j'},
      {atJar, "pack.jar", 0, 'j'},
      {atArj, "pack.1a", 1, 'a'},
      {atRar, "pack.r99999999999999", 1000000000, 'r'},
  };
  for (const Case &c : cases) {
    TArchiveInfo info;
    info.ArcType = c.Type;
    info.CurrentVolume = -5;
    SetVolumeNumbering(c.Name, info);
    EXPECT_EQ(info.CurrentVolume, c.Number) << c.Name;
    EXPECT_EQ(info.VolumeLetter, c.Letter) << c.Name;
  }
  TArchiveInfo zip;
  zip.ArcType = atZip;
  zip.CurrentVolume = 4;
  SetVolumeNumbering("pack.z01", zip);
  EXPECT_EQ(zip.CurrentVolume, 0);
  EXPECT_TRUE(IsRealArchive(atZipMV));
  EXPECT_TRUE(IsRealArchive(atTar));
  for (TArcType t : {atNA, atUnsupported, atFileOpenErr, atUnknown})
    EXPECT_FALSE(IsRealArchive(t));
}

// --- damaged and hostile archives ----------------------------------------------------------------

// Detection of any file must stay inside it and leave an offset inside it.
void ExpectSound(const Bytes &data, const std::string &what) {
  const Result r = Detect(data, "hostile.exe");
  EXPECT_EQ(r.OutOfBounds, 0) << what;
  if (IsRealArchive(r.Type)) {
    EXPECT_GE(r.Info.ArchiveOffset, 0) << what;
    EXPECT_LE(r.Info.ArchiveOffset, static_cast<int64_t>(data.size())) << what;
  }
  // A zip is read either through its central directory or by walking its local headers, which
  // the run does only when they are all that detection found.
  if (r.Type == atZip || r.Type == atZipExe || r.Type == atJar) {
    EXPECT_TRUE(HasHeader(r.Info.HeaderState, htCentral) ||
                r.Info.HeaderState == HeaderBit(htLocal))
        << what << ": header state " << int(r.Info.HeaderState);
  }
}

TEST(DetectHostile, TruncatedAtEveryLength) {
  for (const char *name : {"plain.zip", "zip64.zip", "seven.zip"}) {
    const Bytes zip = ReadAll(Input(name));
    ASSERT_FALSE(zip.empty()) << name;
    for (size_t n = 0; n <= zip.size(); ++n)
      ExpectSound(Bytes(zip.begin(), zip.begin() + static_cast<long>(n)),
                  std::string(name) + " cut at " + std::to_string(n));
  }
  const Bytes sfx = ReadAll(Input("sfx.exe"));
  for (size_t n = 20000; n <= sfx.size(); n += 7)
    ExpectSound(Bytes(sfx.begin(), sfx.begin() + static_cast<long>(n)), "sfx cut");
}

TEST(DetectHostile, DirectoryFieldsPointingAnywhere) {
  const Built zip = BuildZip(SampleEntries());
  const uint32_t values[] = {0u,
                             1u,
                             0x7FFFFFFFu,
                             0x80000000u,
                             0xFFFFFFFFu,
                             0xFFFFFFF0u,
                             static_cast<uint32_t>(zip.Data.size()),
                             static_cast<uint32_t>(zip.Ending + 1)};
  for (uint32_t size : values)
    for (uint32_t offset : values) {
      Bytes b = zip.Data;
      Put32(b, zip.Ending + 12, size);
      Put32(b, zip.Ending + 16, offset);
      ExpectSound(b, "size " + std::to_string(size) + " offset " + std::to_string(offset));
    }
  // The first central header sending its local header anywhere.
  for (uint32_t local : values) {
    Bytes b = zip.Data;
    Put32(b, zip.Central + 42, local);
    ExpectSound(b, "local " + std::to_string(local));
  }
  // An extended end record with 64-bit offsets.
  const Built ext = BuildZip(SampleEntries(), {}, Forms{'K', 'K', '['});
  for (uint64_t offset : {uint64_t(0xFFFFFFFFFFFFFFFFull), uint64_t(0x8000000000000000ull),
                          uint64_t(0x7FFFFFFFFFFFFFFFull), uint64_t(1) << 40}) {
    Bytes b = ext.Data;
    Put64(b, ext.Ending + 16, offset);
    ExpectSound(b, "extended offset");
  }
}

TEST(DetectHostile, Zip64RecordsPointingAnywhere) {
  const Bytes zip = ReadAll(Input("zip64.zip"));
  const size_t end = zip.size() - 22; // no comment
  ASSERT_EQ(Get32(zip, end), sigEnding);
  const size_t locator = end - 20, record = end - 76;
  ASSERT_EQ(Get32(zip, locator), sigLocator);
  ASSERT_EQ(Get32(zip, record), sigEnding64);
  const uint64_t values[] = {0,
                             1,
                             0x7FFFFFFFFFFFFFFFull,
                             0x8000000000000000ull,
                             0xFFFFFFFFFFFFFFFFull,
                             zip.size(),
                             uint64_t(1) << 47};
  for (uint64_t a : values)
    for (uint64_t b : values) {
      Bytes z = zip;
      Put64(z, record + 40, a); // central directory size
      Put64(z, record + 48, b); // central directory offset
      Put64(z, locator + 8, b); // where the zip64 record lies
      ExpectSound(z, "zip64 values");
      ExpectSound(ziptest::Concat(Stub(17000), z), "zip64 values behind a stub");
    }
}

TEST(DetectHostile, RandomDamageNearTheEnd) {
  std::mt19937 random(1234);
  for (const char *name : {"plain.zip", "zip64.zip", "sfx.exe"}) {
    const Bytes zip = ReadAll(Input(name));
    for (int round = 0; round < 400; ++round) {
      Bytes b = zip;
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < flips; ++i) {
        const size_t at = b.size() - 1 - random() % std::min<size_t>(b.size(), 200);
        b[at] = static_cast<uint8_t>(random());
      }
      ExpectSound(b, name);
    }
  }
}

TEST(DetectHostile, AFailingReadEndsDetectionWithoutAnException) {
  // A stream whose reads fail by raising once detection reads past its first bytes.
  class FailingStream : public WatchedStream {
  public:
    using WatchedStream::WatchedStream;
    int32_t Read(void *buffer, int32_t count) override {
      if (GetPosition() > 100)
        throw EReadError(texts::ReadError);
      return WatchedStream::Read(buffer, count);
    }
  };
  const Built zip = BuildZip(SampleEntries(), Stub(18000));
  FailingStream stream(zip.Data);
  TArchiveInfo info;
  THeaderCipher cipher;
  TArcType type = atZip;
  EXPECT_NO_THROW(type = GetArcType(stream, "setup.exe", info, cipher));
  EXPECT_FALSE(IsRealArchive(type)) << "nothing past the stub's first bytes could be read";
}

// --- messages ------------------------------------------------------------------------------------

TEST(ArcMessages, CodesGiveTheirExactTexts) {
  EXPECT_STREQ(ArcMessage(25101), "64 bit hearder");
  EXPECT_STREQ(ArcMessage(ecBadFileHeader), "Bad file header");
  EXPECT_STREQ(ArcMessage(ecOpenError), "Error opening file");
  EXPECT_STREQ(ArcMessage(ecEventNotAssigned), "Required event not assigned");
  EXPECT_STREQ(ArcMessage(ecUserCanceled), "User canceled");
  EXPECT_STREQ(ArcMessage(25249), "Inconsistant local header");
  EXPECT_STREQ(ArcMessage(25172), "EOF not found");
  EXPECT_STREQ(ArcMessage(25179), "EOF not found");
  EXPECT_STREQ(ArcMessage(26001),
               "ALL Archives |*.ace;*.arc;*.arj;*.bh;*.cab;*.enc;*.exe;*.gz;*.ha;*.jar;*.lha;"
               "*.lzh;*.mbf;*.mim;*.pak;*.pk3;*.pk_;*.rar;*.tar;*.tgz;*.uue;*.war;*.xxe;*.z;"
               "*.zip;*.zlib;*.zoo");
  EXPECT_STREQ(ArcMessage(26899), "Directory does not exist... Create?");
  for (int32_t unknown : {0, -1, 25100, 25105, 25999, 26900, 2147483647})
    EXPECT_STREQ(ArcMessage(unknown), "") << unknown;
  // Every code the reader itself uses has a text.
  for (int32_t code :
       {ecBadBlock, ecWriteError, ecCloseError, ecDecompressionError, ecCrcFailed, ecDiskFull,
        ecNotAccessible, ecWriteProtected, ecFileNotFound, ecReadError, ecInvalidFileName,
        ecAmbiguousTree, ecStackOverflow, ecUnsupportedMethod, ecInvalidPassword})
    EXPECT_STRNE(ArcMessage(code), "") << code;
  int count = 0;
  for (int32_t code = 25000; code < 27000; ++code)
    count += ArcMessage(code)[0] != 0;
  EXPECT_EQ(count, 119);
}

} // namespace
