// The legacy decoders (shrink, reduce, implode) against the streams and archives of other
// projects, against small streams written bit by bit here for the cases those don't reach, and
// against damaged and hostile input.
#include "archive/Legacy.h"
#include "ZipFixtures.h"
#include "archive/Crc.h"
#include "archive/Masks.h"
#include "archive/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

using namespace arc;
using namespace ziptest;

namespace {

#ifndef LUMAGROVE_LEGACY_TESTDATA
#define LUMAGROVE_LEGACY_TESTDATA ""
#endif

// A file of the shared zip test data, or "" when the folder is absent.
std::string Shared(const std::string &relative) {
  const std::string path = std::string(LUMAGROVE_LEGACY_TESTDATA) + "/" + relative;
  return std::filesystem::exists(path) ? path : std::string();
}

#define REQUIRE_SHARED(var, relative)                                                              \
  const std::string var = Shared(relative);                                                        \
  if (var.empty())                                                                                 \
    GTEST_SKIP() << "the shared zip test data (" << LUMAGROVE_LEGACY_TESTDATA << ") is absent";

struct Outcome {
  Bytes Out;
  int64_t Returned = 0;
  std::vector<int32_t> Raised, Reported;
  int Writes = 0;
};

struct Options {
  bool Cancelled = false;       // Raise returns instead of throwing, and reading ends
  int32_t ShortWriteAfter = -1; // the write callback fails once this many bytes went out
  int32_t ReadPiece = 1 << 20;  // the read callback hands out at most this much at a time
};

// Decodes Data as one entry through the owner's callbacks, the way the extraction run does.
Outcome Decode(const Bytes &data, uint16_t method, uint16_t flags, int64_t size,
               const Options &options = {}) {
  Outcome result;
  size_t at = 0;
  bool cancel = options.Cancelled;
  TLegacyIo io;
  io.Read = [&](uint8_t *buffer, int32_t count) {
    const size_t n = std::min(
        {static_cast<size_t>(count), data.size() - at, static_cast<size_t>(options.ReadPiece)});
    std::copy_n(data.begin() + static_cast<long>(at), n, buffer);
    at += n;
    return static_cast<int32_t>(n);
  };
  io.Write = [&](const uint8_t *buffer, int32_t count) {
    ++result.Writes;
    int32_t n = count;
    if (options.ShortWriteAfter >= 0)
      n = std::clamp<int32_t>(options.ShortWriteAfter - static_cast<int32_t>(result.Out.size()), 0,
                              count);
    result.Out.insert(result.Out.end(), buffer, buffer + n);
    return n;
  };
  io.Raise = [&](int32_t code) {
    result.Raised.push_back(code);
    if (!cancel)
      throw E_RAISE(std::to_string(code));
  };
  io.Report = [&](int32_t code) { result.Reported.push_back(code); };
  io.CancelFlag = &cancel;
  try {
    result.Returned = DecodeLegacy(io, method, flags, static_cast<int64_t>(data.size()), size);
  } catch (const E_RAISE &) {
    result.Returned = -1;
  }
  return result;
}

uint32_t ZipCrc(const Bytes &data) {
  uint32_t crc = 0xFFFFFFFF;
  UpdateCrc32(data.data(), static_cast<int64_t>(data.size()), crc);
  return ~crc;
}

bool IsPrefix(const Bytes &part, const Bytes &whole) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

// Writes a stream the way the decoders read it: each value's bits lowest first.
class BitWriter {
public:
  void Put(uint32_t value, int bits) {
    for (int i = 0; i < bits; ++i)
      Bit((value >> i) & 1);
  }
  // A code word whose bits go most significant first, as the decode trees walk them.
  void Code(uint32_t word, int bits) {
    for (int i = bits - 1; i >= 0; --i)
      Bit((word >> i) & 1);
  }
  Bytes Data() const { return data_; }

private:
  void Bit(uint32_t bit) {
    if (used_ % 8 == 0)
      data_.push_back(0);
    data_.back() = static_cast<uint8_t>(data_.back() | bit << (used_ % 8));
    ++used_;
  }
  Bytes data_;
  int used_ = 0;
};

// --- local headers of the shared archives ----------------------------------------------------

struct LocalEntry {
  std::string Name;
  uint16_t Flags = 0, Method = 0;
  uint32_t Crc = 0;
  int64_t Size = 0;
  Bytes Data;
};

// The entries of an archive read front to back through their local headers (30 bytes, the
// name, the extra field, then the compressed data).
std::vector<LocalEntry> LocalEntries(const Bytes &zip) {
  std::vector<LocalEntry> entries;
  size_t at = 0;
  while (at + 30 <= zip.size() && Le(zip, at, 4) == 0x04034b50) {
    LocalEntry e;
    e.Flags = static_cast<uint16_t>(Le(zip, at + 6, 2));
    e.Method = static_cast<uint16_t>(Le(zip, at + 8, 2));
    e.Crc = Le(zip, at + 14, 4);
    const size_t packed = Le(zip, at + 18, 4);
    e.Size = Le(zip, at + 22, 4);
    const size_t name = Le(zip, at + 26, 2), extra = Le(zip, at + 28, 2);
    e.Name.assign(zip.begin() + static_cast<long>(at + 30),
                  zip.begin() + static_cast<long>(at + 30 + name));
    const size_t data = at + 30 + name + extra;
    if (data + packed > zip.size())
      break;
    e.Data.assign(zip.begin() + static_cast<long>(data),
                  zip.begin() + static_cast<long>(data + packed));
    entries.push_back(std::move(e));
    at = data + packed;
  }
  return entries;
}

struct SharedArchive {
  const char *File;
  uint16_t Method;
  const char *Expected; // "" when only the CRC of the header checks the result
};

const SharedArchive kArchives[] = {
    {"legacy/SHRUNK.ZIP", 1, ""},
    {"legacy/shrink.zip", 1, "legacy/folder/first.txt"},
    {"legacy/reduce.zip", 5, "legacy/folder/first.txt"},
    {"legacy/implode.zip", 6, "legacy/folder/first.txt"},
    {"legacy/imploding-4Kdict-2trees.zip", 6, ""},
    {"legacy/imploding-8Kdict-3trees.zip", 6, ""},
    {"legacy/lorem-ipsum-implode.zip", 6, "deflate64/lorem-ipsum.txt"},
};

struct SharedStream {
  const char *File;
  uint16_t Method, Flags;
  const char *Expected;
  int64_t Size;
};

const SharedStream kStreams[] = {
    {"legacy/implode_hamlet_256.bin", 6, 0, "legacy/implode_hamlet_256.out", 256},
    {"legacy/reduce_hamlet_2048.bin", 5, 0, "legacy/implode_hamlet_2048.out", 2048},
};

} // namespace

// --- real streams --------------------------------------------------------------------------------

TEST(LegacySharedData, BareStreamsDecodeToTheirOutputs) {
  for (const SharedStream &s : kStreams) {
    SCOPED_TRACE(s.File);
    REQUIRE_SHARED(stream, s.File);
    REQUIRE_SHARED(expected, s.Expected);
    const Bytes want = ReadAll(expected);
    ASSERT_EQ(static_cast<int64_t>(want.size()), s.Size);
    const Outcome got = Decode(ReadAll(stream), s.Method, s.Flags, s.Size);
    EXPECT_TRUE(got.Raised.empty());
    EXPECT_EQ(got.Returned, s.Size);
    EXPECT_EQ(got.Out, want);
  }
}

TEST(LegacySharedData, ReducedStreamEndingInZeros) {
  REQUIRE_SHARED(stream, "legacy/reduce_zero_reduced.bin");
  const Outcome got = Decode(ReadAll(stream), 5, 0, 3072);
  EXPECT_TRUE(got.Raised.empty());
  ASSERT_EQ(got.Out.size(), 3072u);
  EXPECT_TRUE(std::all_of(got.Out.end() - 1024, got.Out.end(), [](uint8_t b) { return b == 0; }));
  EXPECT_FALSE(
      std::all_of(got.Out.begin(), got.Out.end() - 1024, [](uint8_t b) { return b == 0; }));
}

TEST(LegacySharedData, ArchiveEntriesDecodeAndMatch) {
  int decoded = 0;
  for (const SharedArchive &a : kArchives) {
    SCOPED_TRACE(a.File);
    REQUIRE_SHARED(file, a.File);
    const std::vector<LocalEntry> entries = LocalEntries(ReadAll(file));
    ASSERT_FALSE(entries.empty());
    for (const LocalEntry &e : entries) {
      SCOPED_TRACE(e.Name);
      ASSERT_EQ(e.Method, a.Method);
      const Outcome got = Decode(e.Data, e.Method, e.Flags, e.Size);
      EXPECT_TRUE(got.Raised.empty());
      EXPECT_TRUE(got.Reported.empty());
      EXPECT_EQ(got.Returned, e.Size);
      EXPECT_EQ(got.Out.size(), static_cast<size_t>(e.Size));
      EXPECT_EQ(ZipCrc(got.Out), e.Crc);
      if (*a.Expected != 0) {
        REQUIRE_SHARED(expected, a.Expected);
        EXPECT_EQ(got.Out, ReadAll(expected));
      }
      ++decoded;
    }
  }
  EXPECT_EQ(decoded, 8);
}

TEST(LegacySharedData, ShrunkEntriesMatchTheirFiles) {
  REQUIRE_SHARED(file, "legacy/SHRUNK.ZIP");
  const std::vector<LocalEntry> entries = LocalEntries(ReadAll(file));
  ASSERT_EQ(entries.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    REQUIRE_SHARED(expected, i == 0 ? "legacy/test1.xml" : "legacy/test2.xml");
    EXPECT_EQ(Decode(entries[i].Data, 1, 0, entries[i].Size).Out, ReadAll(expected));
  }
}

TEST(LegacySharedData, OutputStopsAtTheDeclaredSize) {
  REQUIRE_SHARED(file, "legacy/implode.zip");
  REQUIRE_SHARED(reduced, "legacy/reduce.zip");
  REQUIRE_SHARED(shrunk, "legacy/shrink.zip");
  for (const std::string &name : {file, reduced, shrunk}) {
    const LocalEntry e = LocalEntries(ReadAll(name)).at(0);
    const Outcome whole = Decode(e.Data, e.Method, e.Flags, e.Size);
    for (int64_t size : {int64_t{0}, int64_t{1}, int64_t{100}, e.Size - 1}) {
      const Outcome part = Decode(e.Data, e.Method, e.Flags, size);
      EXPECT_TRUE(part.Raised.empty());
      EXPECT_EQ(part.Returned, size);
      EXPECT_EQ(part.Out, Bytes(whole.Out.begin(), whole.Out.begin() + size));
    }
    // A directory that claims more than the stream holds gets what the stream holds.
    const Outcome more = Decode(e.Data, e.Method, e.Flags, e.Size + 5000);
    EXPECT_TRUE(IsPrefix(whole.Out, more.Out));
    EXPECT_LT(more.Out.size(), whole.Out.size() + 5000);
  }
}

TEST(LegacySharedData, BigOutputGoesOutIn32KPieces) {
  REQUIRE_SHARED(file, "legacy/lorem-ipsum-implode.zip");
  const LocalEntry e = LocalEntries(ReadAll(file)).at(0);
  Options small;
  small.ReadPiece = 1000; // the owner may hand out less than asked for
  const Outcome got = Decode(e.Data, e.Method, e.Flags, e.Size, small);
  EXPECT_EQ(ZipCrc(got.Out), e.Crc);
  EXPECT_EQ(got.Writes, static_cast<int>((e.Size + 32767) / 32768));
}

// --- shrink ----------------------------------------------------------------------------------

TEST(LegacyShrink, WideningCodesUpTo13BitsAndNoFurther) {
  BitWriter w;
  w.Put('a', 9);
  w.Put(256, 9), w.Put(1, 9);
  w.Put('b', 10); // defines 257 = "ab"
  w.Put(256, 10), w.Put(1, 10);
  w.Put(257, 11); // "ab", defines 258 = "ba"
  w.Put(256, 11), w.Put(1, 11);
  w.Put(258, 12); // "ba"
  w.Put(256, 12), w.Put(1, 12);
  w.Put('z', 13);
  const Bytes good = w.Data();
  Outcome got = Decode(good, 1, 0, 100);
  EXPECT_TRUE(got.Raised.empty());
  EXPECT_EQ(got.Out, Text("ababbaz"));

  w.Put(256, 13), w.Put(1, 13); // a 14-bit code would reach past the table
  w.Put('y', 14);
  got = Decode(w.Data(), 1, 0, 100);
  EXPECT_EQ(got.Raised, std::vector<int32_t>{ecBadBlock});
  EXPECT_EQ(got.Out, Text("ababbaz")); // what came before the error is written
}

TEST(LegacyShrink, CodeDefinedByItsOwnStep) {
  BitWriter w;
  // a b -> 257 "ab"; 257 -> 258 "ba"; 259 is free: "ab" and its own first byte.
  for (int code : std::initializer_list<int>{'a', 'b', 257, 259, 259})
    w.Put(static_cast<uint32_t>(code), 9);
  EXPECT_EQ(Decode(w.Data(), 1, 0, 100).Out, Text("abababaaba"));
}

TEST(LegacyShrink, PartialClearFreesLeavesAndReusesLowestFirst) {
  BitWriter w;
  // a b -> 257 "ab"; 257 -> 258 "ba"; c -> 259 "abc" (257 has a child now).
  for (int code : std::initializer_list<int>{'a', 'b', 257, 'c'})
    w.Put(static_cast<uint32_t>(code), 9);
  w.Put(256, 9), w.Put(2, 9); // frees 258 and 259; 257 stays as its child went only now
  // d -> 258 "cd" (the lowest freed code); 258; e -> 260 "cde" keeps 258.
  for (int code : std::initializer_list<int>{'d', 258, 'e'})
    w.Put(static_cast<uint32_t>(code), 9);
  w.Put(256, 9), w.Put(2, 9); // now 257 has no child and goes; 258 stays
  // f -> 257 "ef"; 257 -> 259 "fe"; 258 is still "cd"; 259.
  for (int code : std::initializer_list<int>{'f', 257, 258, 259})
    w.Put(static_cast<uint32_t>(code), 9);
  const Outcome got = Decode(w.Data(), 1, 0, 100);
  EXPECT_TRUE(got.Raised.empty());
  EXPECT_EQ(got.Out, Text("ababcdcdefefcdfe"));
}

TEST(LegacyShrink, BadCodesAreBadBlocks) {
  const auto first = [](std::initializer_list<uint32_t> codes, int bits = 9) {
    BitWriter w;
    for (uint32_t c : codes)
      w.Put(c, bits);
    return Decode(w.Data(), 1, 0, 100);
  };
  EXPECT_EQ(first({}).Raised, std::vector<int32_t>{ecBadBlock});            // no first code
  EXPECT_EQ(first({300}).Raised, std::vector<int32_t>{ecBadBlock});         // first code not a byte
  EXPECT_EQ(first({'a', 256, 3}).Raised, std::vector<int32_t>{ecBadBlock}); // unknown control
  EXPECT_EQ(first({'a', 256, 0}).Raised, std::vector<int32_t>{ecBadBlock});
  // A free code after a clear freed the previous one: there is no string to extend.
  EXPECT_EQ(first({'a', 'b', 257, 256, 2, 257}).Raised, std::vector<int32_t>{ecBadBlock});
  // A control code cut off by the end of the input just ends the entry.
  BitWriter w;
  w.Put('a', 9), w.Put(256, 9);
  const Outcome cut = Decode(w.Data(), 1, 0, 100);
  EXPECT_TRUE(cut.Raised.empty());
  EXPECT_EQ(cut.Out, Text("a"));
}

// --- reduce ----------------------------------------------------------------------------------

namespace {

// Follower sets: Sets[b] follows byte b; written for 255 down to 0.
void PutFollowers(BitWriter &w, const std::vector<std::pair<uint8_t, Bytes>> &sets = {}) {
  for (int b = 255; b >= 0; --b) {
    const auto set =
        std::find_if(sets.begin(), sets.end(), [b](const auto &s) { return s.first == b; });
    if (set == sets.end()) {
      w.Put(0, 6);
      continue;
    }
    w.Put(static_cast<uint32_t>(set->second.size()), 6);
    for (uint8_t f : set->second)
      w.Put(f, 8);
  }
}

Bytes Reduced(const Bytes &plain) {
  BitWriter w;
  PutFollowers(w);
  for (uint8_t b : plain)
    w.Put(b, 8); // no sets: every byte is 8 bits without a flag
  return w.Data();
}

} // namespace

TEST(LegacyReduce, EmptySetsGivePlainBytes) {
  const Outcome got = Decode(Reduced(Text("hello")), 5, 0, 5);
  EXPECT_TRUE(got.Raised.empty());
  EXPECT_EQ(got.Out, Text("hello"));
}

TEST(LegacyReduce, FollowersAndFlaggedLiterals) {
  BitWriter w;
  PutFollowers(w, {{'a', Text("bcd")}, {'x', Text("y")}});
  w.Put('a', 8);              // after 0, whose set is empty
  w.Put(0, 1), w.Put(1, 2);   // follower 1 of "bcd"
  w.Put('x', 8);              // after c: empty set
  w.Put(1, 1), w.Put('q', 8); // after x: a flagged literal
  w.Put('x', 8);              // after q
  w.Put(0, 1), w.Put(0, 1);   // follower 0 of "y", one index bit
  const Outcome got = Decode(w.Data(), 5, 0, 6);
  EXPECT_TRUE(got.Raised.empty());
  EXPECT_EQ(got.Out, Text("acxqxy"));

  // An index that points past its set.
  BitWriter bad;
  PutFollowers(bad, {{'a', Text("bcd")}});
  bad.Put('a', 8), bad.Put(0, 1), bad.Put(3, 2);
  const Outcome refused = Decode(bad.Data(), 5, 0, 6);
  EXPECT_EQ(refused.Raised, std::vector<int32_t>{ecBadBlock});
  EXPECT_EQ(refused.Out, Text("a"));
}

TEST(LegacyReduce, EscapesAndBackReferences) {
  // 0x90 0x00 is the byte 0x90 itself.
  EXPECT_EQ(Decode(Reduced({'a', 0x90, 0x00, 'b'}), 5, 0, 10).Out, (Bytes{'a', 0x90, 'b'}));
  // Factor 4: V = 0x01 copies 1 + 3 bytes from distance (0 * 256 + 2 + 1).
  EXPECT_EQ(Decode(Reduced({'a', 'b', 'c', 0x90, 0x01, 2}), 5, 0, 10).Out, Text("abcabca"));
  // Length escape: V's low four bits all set take the next byte as more length (15 + 5 + 3).
  EXPECT_EQ(Decode(Reduced({'z', 0x90, 0x0F, 5, 0}), 5, 0, 100).Out, Bytes(24, 'z'));
  // Reaching before the start of the output gives zeros: distance 1 * 256 + 0 + 1.
  Bytes zeros = {'a'};
  zeros.resize(6, 0);
  EXPECT_EQ(Decode(Reduced({'a', 0x90, 0x12, 0}), 5, 0, 100).Out, zeros);
  // Factor 1: seven length bits and one distance bit: V = 0x81 copies 4 from 256 + 1 + 1 back.
  Bytes plain;
  for (int i = 0; i < 300; ++i)
    plain.push_back(static_cast<uint8_t>('A' + i % 26));
  Bytes stream = plain;
  for (uint8_t b : {0x90, 0x81, 1})
    stream.push_back(b);
  Bytes want = plain;
  for (int i = 0; i < 4; ++i)
    want.push_back(plain[300 - 258 + i]);
  EXPECT_EQ(Decode(Reduced(stream), 2, 0, 1000).Out, want);
  // Factor 2, mask 0x3F: a full mask escapes too.
  EXPECT_EQ(Decode(Reduced({'q', 0x90, 0x3F, 1, 0}), 3, 0, 100).Out, Bytes(68, 'q'));
}

TEST(LegacyReduce, FollowerCountsAbove32AreBadBlocks) {
  for (uint32_t count = 0; count < 64; ++count) {
    BitWriter w;
    w.Put(count, 6);
    for (uint32_t i = 0; i < count; ++i)
      w.Put('f', 8);
    const Outcome got = Decode(w.Data(), 5, 0, 10); // the input ends in the next set
    if (count > 32)
      EXPECT_EQ(got.Raised, std::vector<int32_t>{ecBadBlock}) << count;
    else
      EXPECT_TRUE(got.Raised.empty() && got.Out.empty()) << count;
  }
}

// --- implode ---------------------------------------------------------------------------------

namespace {

// A tree description of uniform bit length for Symbols symbols (64 or 256).
void PutUniformTree(BitWriter &w, int symbols, int bits) {
  w.Put(static_cast<uint32_t>(symbols / 16 - 1), 8);
  for (int i = 0; i < symbols / 16; ++i)
    w.Put(static_cast<uint32_t>(0xF0 | (bits - 1)), 8);
}

// Codes of a uniform tree: the highest symbol gets the all-zero word.
void PutSymbol(BitWriter &w, int symbols, int bits, int symbol) {
  w.Code(static_cast<uint32_t>(symbols - 1 - symbol), bits);
}

struct Imploder {
  bool Big, Literals;
  BitWriter W;
  Imploder(bool big, bool literals) : Big(big), Literals(literals) {
    if (Literals)
      PutUniformTree(W, 256, 8);
    PutUniformTree(W, 64, 6);
    PutUniformTree(W, 64, 6);
  }
  uint16_t Flags() const { return static_cast<uint16_t>((Big ? 2 : 0) | (Literals ? 4 : 0)); }
  void Literal(uint8_t b) {
    W.Put(1, 1);
    if (Literals)
      PutSymbol(W, 256, 8, b);
    else
      W.Put(b, 8);
  }
  // Copies from Back + 1 bytes behind; Length is the length symbol, Extra its byte after 63.
  void Match(uint32_t back, int length, int extra = 0) {
    const int low = Big ? 7 : 6;
    W.Put(0, 1);
    W.Put(back & ((1u << low) - 1), low);
    PutSymbol(W, 64, 6, static_cast<int>(back >> low));
    PutSymbol(W, 64, 6, length);
    if (length == 63)
      W.Put(static_cast<uint32_t>(extra), 8);
  }
};

} // namespace

TEST(LegacyImplode, SmallWindowWithoutLiteralTree) {
  Imploder m(false, false);
  m.Literal('a'), m.Literal('b');
  m.Match(1, 3);  // 3 + 2 bytes from 2 back
  m.Match(70, 0); // 2 bytes from before the start
  const Outcome got = Decode(m.W.Data(), 6, m.Flags(), 9);
  EXPECT_TRUE(got.Raised.empty() && got.Reported.empty());
  EXPECT_EQ(got.Out, (Bytes{'a', 'b', 'a', 'b', 'a', 'b', 'a', 0, 0}));
}

TEST(LegacyImplode, BigWindowWithLiteralTreeAndLongLength) {
  Imploder m(true, true);
  for (uint8_t b : Text("xyz\x90\xff"))
    m.Literal(b);
  m.Match(4, 0);      // 0 + 3 bytes from 5 back
  m.Match(0, 63, 10); // 63 + 10 + 3 copies of the last byte
  m.Match(6000, 2);   // 5 bytes from far before the start, past a 4 KB window's reach
  Bytes want = Text("xyz\x90\xffxyz");
  want.insert(want.end(), 76, 'z');
  want.insert(want.end(), 5, 0);
  const Outcome got = Decode(m.W.Data(), 6, m.Flags(), static_cast<int64_t>(want.size()));
  EXPECT_TRUE(got.Raised.empty() && got.Reported.empty());
  EXPECT_EQ(got.Out, want);
}

TEST(LegacyImplode, WindowSizeAndMinimumLengthFollowTheFlags) {
  // The same far match in all four combinations: the 8 KB window reads 6,000 back, the 4 KB one
  // masks it to 6000 & 4095; the literal tree adds one to every length.
  for (bool big : {false, true})
    for (bool literals : {false, true}) {
      Imploder m(big, literals);
      Bytes want;
      for (int i = 0; i < 7000; ++i) {
        const uint8_t b = static_cast<uint8_t>(i * 7 + i / 251);
        m.Literal(b);
        want.push_back(b);
      }
      const uint32_t back = big ? 6000 : 6000 & 4095;
      m.Match(back, 1);
      for (int i = 0; i < (literals ? 4 : 3); ++i)
        want.push_back(want[want.size() - back - 1]);
      const Outcome got = Decode(m.W.Data(), 6, m.Flags(), static_cast<int64_t>(want.size()));
      EXPECT_EQ(got.Out, want) << big << literals;
    }
}

TEST(LegacyImplode, TreesThatCannotBeBuilt) {
  // More symbols than the distance alphabet: 5 x 16.
  BitWriter over;
  PutUniformTree(over, 64, 6);
  over.Put(4, 8);
  for (int i = 0; i < 5; ++i)
    over.Put(0xF5, 8);
  EXPECT_EQ(Decode(over.Data(), 6, 0, 10).Raised, std::vector<int32_t>{ecAmbiguousTree});

  // Three one-bit codes overflow.
  BitWriter three;
  three.Put(0, 8), three.Put(0x20, 8);
  EXPECT_EQ(Decode(three.Data(), 6, 0, 10).Raised, std::vector<int32_t>{ecAmbiguousTree});

  // Lengths 1, 1, 2: the two-bit code runs through a one-bit leaf, which is only reported.
  BitWriter through;
  through.Put(1, 8), through.Put(0x10, 8), through.Put(0x01, 8);
  const Outcome got = Decode(through.Data(), 6, 0, 10);
  EXPECT_TRUE(got.Raised.empty());
  EXPECT_EQ(got.Reported, std::vector<int32_t>{ecAmbiguousTree});
  EXPECT_TRUE(got.Out.empty());

  // 64 sixteen-bit codes are valid lengths but need 73 internal nodes, more than the array has
  // above the symbol values; likewise 256 of them for the literal tree.
  for (int symbols : {64, 256}) {
    BitWriter deep;
    PutUniformTree(deep, symbols, 16);
    EXPECT_EQ(Decode(deep.Data(), 6, symbols == 256 ? 4 : 0, 10).Raised,
              std::vector<int32_t>{ecAmbiguousTree})
        << symbols;
  }

  // A tree with one code leaves the other child empty; decoding into it is refused.
  BitWriter sparse;
  for (int tree = 0; tree < 2; ++tree)
    sparse.Put(0, 8), sparse.Put(0x00, 8);
  sparse.Put(1, 1), sparse.Put('k', 8);                 // a literal
  sparse.Put(0, 1), sparse.Put(0, 6), sparse.Put(1, 1); // the distance tree's empty right child
  const Outcome empty = Decode(sparse.Data(), 6, 0, 10);
  EXPECT_EQ(empty.Raised, std::vector<int32_t>{ecAmbiguousTree});
  EXPECT_EQ(empty.Out, Text("k"));
}

// --- the owner's side ------------------------------------------------------------------------

TEST(LegacyOwner, ShortWriteRaisesAndCancelStops) {
  Options failing;
  failing.ShortWriteAfter = 3;
  const Outcome got = Decode(Reduced(Text("hello")), 5, 0, 5, failing);
  EXPECT_EQ(got.Raised, std::vector<int32_t>{ecWriteError});
  EXPECT_EQ(got.Out, Text("hel"));
  EXPECT_EQ(got.Writes, 1); // the failed buffer is not written again on the way out

  // A cancelled run reads nothing more and raises nothing past the owner.
  Options cancelled;
  cancelled.Cancelled = true;
  const Outcome none = Decode(Reduced(Text("hello")), 5, 0, 5, cancelled);
  EXPECT_TRUE(none.Out.empty());
  EXPECT_EQ(none.Returned, 0);
  // The first code missing is raised, the owner lets it pass, the decoder stops.
  const Outcome passed = Decode(Bytes{}, 1, 0, 5, cancelled);
  EXPECT_EQ(passed.Raised, std::vector<int32_t>{ecBadBlock});
  EXPECT_EQ(passed.Returned, 0);

  // Methods outside 1..6 are not this decoder's.
  const Outcome other = Decode(Reduced(Text("x")), 7, 0, 1);
  EXPECT_EQ(other.Reported, std::vector<int32_t>{ecUnsupportedMethod});
  EXPECT_TRUE(other.Out.empty());
}

// --- damaged and hostile input ----------------------------------------------------------------

TEST(LegacyHostile, TruncatedRealStreamsStopCleanlyOrRaise) {
  const std::set<int32_t> allowed = {ecBadBlock, ecAmbiguousTree, ecStackOverflow};
  int cuts = 0;
  for (const char *name : {"legacy/shrink.zip", "legacy/reduce.zip", "legacy/implode.zip",
                           "legacy/imploding-4Kdict-2trees.zip"}) {
    SCOPED_TRACE(name);
    REQUIRE_SHARED(file, name);
    const LocalEntry e = LocalEntries(ReadAll(file)).at(0);
    const Bytes whole = Decode(e.Data, e.Method, e.Flags, e.Size).Out;
    ASSERT_EQ(whole.size(), static_cast<size_t>(e.Size));
    for (size_t cut = 0; cut < e.Data.size(); ++cut) {
      const Outcome got = Decode(Bytes(e.Data.begin(), e.Data.begin() + static_cast<long>(cut)),
                                 e.Method, e.Flags, e.Size);
      ASSERT_TRUE(IsPrefix(got.Out, whole)) << cut;
      ASSERT_LT(got.Out.size(), whole.size() + (cut == e.Data.size() - 1 ? 1 : 0)) << cut;
      for (int32_t code : got.Raised)
        ASSERT_TRUE(allowed.count(code)) << code;
      ++cuts;
    }
  }
  EXPECT_GT(cuts, 2000);
}

TEST(LegacyHostile, RandomBytesNeverOverrun) {
  std::mt19937 random(20261208);
  const std::set<int32_t> allowed = {ecBadBlock, ecAmbiguousTree, ecStackOverflow};
  int raised = 0, clean = 0;
  for (int round = 0; round < 600; ++round) {
    const uint16_t method = static_cast<uint16_t>(1 + round % 6);
    const uint16_t flags = static_cast<uint16_t>((round / 6) % 4 * 2);
    Bytes data(random() % 3000);
    for (uint8_t &b : data)
      b = static_cast<uint8_t>(random());
    if (method == 6 && round % 3 == 0 && data.size() > 40) {
      // Plausible trees get the decoder past the descriptions more often.
      for (size_t i = 0; i < 40; ++i)
        data[i] = static_cast<uint8_t>(i % 10 == 0 ? 8 : 0x25 + i % 3);
    }
    const int64_t size = 1 << 16;
    const Outcome got = Decode(data, method, flags, size);
    ASSERT_LE(static_cast<int64_t>(got.Out.size()), size);
    ASSERT_EQ(got.Returned < 0 ? static_cast<int64_t>(got.Out.size()) : got.Returned,
              static_cast<int64_t>(got.Out.size()));
    for (int32_t code : got.Raised)
      ASSERT_TRUE(allowed.count(code)) << code;
    (got.Raised.empty() ? clean : raised)++;
  }
  EXPECT_GT(raised, 0);
  EXPECT_GT(clean, 0);
}
