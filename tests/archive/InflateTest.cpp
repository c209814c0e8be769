// The inflate engine against real data made by real tools, and against hand-built bit streams for
// the corners those tools never produce.
#include "archive/Inflate.h"
#include "ToolInputs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using arc::InflateStream;
using Bytes = std::vector<std::uint8_t>;

struct Decoded {
  int result = 0;
  Bytes out;
};

// Decodes `in` feeding `in_step` input bytes and `out_step` output bytes of room per call, with
// the whole of the input first split at `split` when given. Stops at stream end, at an error, or
// when a call makes no progress with all input given.
Decoded Decode(const Bytes &in, bool deflate64, std::size_t in_step = SIZE_MAX,
               std::size_t out_step = 1 << 16, int window_bits = -15) {
  arc::SetDeflate64(deflate64);
  InflateStream z;
  Decoded d;
  d.result = arc::InflateInit(&z, static_cast<std::int8_t>(window_bits));
  if (d.result != arc::InflateOk)
    return d;
  std::size_t pos = 0;
  Bytes buffer(out_step);
  static const std::uint8_t kNone = 0;
  for (;;) {
    const std::size_t give = std::min(in_step, in.size() - pos);
    z.next_in = give != 0 ? in.data() + pos : &kNone;
    z.avail_in = static_cast<std::uint32_t>(give);
    z.next_out = buffer.data();
    z.avail_out = static_cast<std::uint32_t>(buffer.size());
    d.result = arc::Inflate(&z, 0);
    pos += give - z.avail_in;
    d.out.insert(d.out.end(), buffer.data(), z.next_out);
    if (d.result != arc::InflateOk && d.result != arc::InflateBufError)
      break;
    if (d.result == arc::InflateBufError && pos == in.size() && z.next_out == buffer.data())
      break; // input exhausted, nothing more comes out
  }
  arc::InflateEnd(&z);
  arc::SetDeflate64(false);
  return d;
}

// Deflate's bit order: fields least significant bit first, Huffman codes most significant first.
class BitWriter {
public:
  void Bits(std::uint32_t value, unsigned count) {
    for (unsigned i = 0; i < count; i++)
      Bit((value >> i) & 1);
  }
  void Code(std::uint32_t code, unsigned length) {
    for (unsigned i = length; i-- > 0;)
      Bit((code >> i) & 1);
  }
  void Align() {
    while (used_ != 0)
      Bit(0);
  }
  void Byte(std::uint8_t b) {
    Align();
    bytes_.push_back(b);
  }
  Bytes Done() {
    Align();
    return bytes_;
  }
  // A literal/length symbol and a distance code of the fixed code.
  void FixedSymbol(unsigned s) {
    if (s < 144)
      Code(0x30 + s, 8);
    else if (s < 256)
      Code(0x190 + s - 144, 9);
    else if (s < 280)
      Code(s - 256, 7);
    else
      Code(0xc0 + s - 280, 8);
  }
  void FixedDistance(unsigned d) { Code(d, 5); }

private:
  void Bit(unsigned b) {
    if (used_ == 0)
      bytes_.push_back(0);
    bytes_.back() |= static_cast<std::uint8_t>(b << used_);
    used_ = (used_ + 1) & 7;
  }
  Bytes bytes_;
  unsigned used_ = 0;
};

Bytes Stored(std::size_t n, bool bad_complement = false) {
  BitWriter w;
  w.Bits(1, 1);
  w.Bits(0, 2);
  w.Align();
  const auto len = static_cast<std::uint16_t>(n);
  w.Bits(len, 16);
  w.Bits(static_cast<std::uint16_t>(~len ^ (bad_complement ? 1 : 0)), 16);
  for (std::size_t i = 0; i < n; i++)
    w.Byte(static_cast<std::uint8_t>(i * 7));
  return w.Done();
}

// A fixed block: literal 'A', then a match of code `len_code` with `len_extra`, distance 1.
Bytes FixedMatch(unsigned len_code, std::uint32_t len_extra, unsigned len_bits,
                 unsigned dist_code = 0) {
  BitWriter w;
  w.Bits(1, 1);
  w.Bits(1, 2);
  w.FixedSymbol('A');
  w.FixedSymbol(len_code);
  w.Bits(len_extra, len_bits);
  w.FixedDistance(dist_code);
  w.Bits(0, dist_code < 4 ? 0 : dist_code / 2 - 1); // the distance's extra bits, all zero
  w.FixedSymbol(256);
  return w.Done();
}

// A dynamic block whose header announces HLIT and HDIST, every literal/length and distance code
// of a complete set (lengths 8/9 over the literal/length codes, 5 bits over 32 distances), with
// literal 'Z' then end of block as data.
// `damage` changes one length afterwards: 1 a literal/length code goes (incomplete), 2 one
// shortens (over-subscribed), 3 and 4 the same for a distance code.
Bytes DynamicHeader(unsigned hlit, unsigned hdist, int damage = 0) {
  const unsigned nlit = 257 + hlit, ndist = 1 + hdist;
  std::vector<unsigned> lens(nlit + ndist);
  // literal/length lengths: a complete code of nlit symbols from lengths 8 and 9
  const unsigned nine = 2 * (nlit - 256); // 256 eight-bit slots, some split in two nine-bit codes
  for (unsigned i = 0; i < nlit; i++)
    lens[i] = i < nlit - nine ? 8 : 9;
  // distances: complete for 32 codes (5 bits) and 31 (one of 4 bits); else a single one-bit code
  for (unsigned i = 0; i < ndist; i++)
    lens[nlit + i] = ndist == 32 ? 5 : ndist == 31 ? (i == 0 ? 4 : 5) : (i == 0 ? 1 : 0);
  if (damage == 1 || damage == 2)
    lens[nlit - 1] = damage == 1 ? 0 : 8;
  if (damage == 3 || damage == 4)
    lens[nlit + ndist - 1] = damage == 3 ? 0 : 4;
  BitWriter w;
  w.Bits(1, 1);
  w.Bits(2, 2);
  w.Bits(hlit, 5);
  w.Bits(hdist, 5);
  // code-length code: eight three-bit codes, a complete set over the lengths in use and two more.
  const unsigned order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  unsigned cl[19] = {};
  for (unsigned s : {0u, 1u, 4u, 5u, 8u, 9u, 16u, 17u})
    cl[s] = 3;
  w.Bits(15, 4); // HCLEN + 4 = 19
  for (unsigned i = 0; i < 19; i++)
    w.Bits(cl[order[i]], 3);
  // canonical 3-bit codes in symbol order
  unsigned code_of[19] = {}, next = 0;
  for (unsigned s = 0; s < 19; s++)
    if (cl[s] != 0)
      code_of[s] = next++;
  for (unsigned len : lens)
    w.Code(code_of[len], 3);
  // data: 'Z' is an eight-bit code (below nlit - nine), then end of block (256).
  unsigned codes8 = 0;
  for (unsigned i = 0; i < 'Z'; i++)
    codes8 += lens[i] == 8;
  w.Code(codes8, 8);
  // code of 256: eight-bit codes first in symbol order, then nine-bit ones
  unsigned c8 = 0, c9 = 0;
  for (unsigned i = 0; i < 256; i++)
    (lens[i] == 8 ? c8 : c9)++;
  if (lens[256] == 8)
    w.Code(c8, 8);
  else
    w.Code(((nlit - nine) << 1) + c9, 9);
  return w.Done();
}

Bytes Read(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

// --- real data -----------------------------------------------------------------------------------

#ifdef LUMAGROVE_INFLATE_INPUTS
std::string InputDir() { return LUMAGROVE_INFLATE_INPUTS; }
#else
// Natively the test makes its inputs itself with the real tools.
std::string InputDir() {
  return ProcessInputDir("inflate_inputs", LUMAGROVE_INFLATE_SCRIPT, LUMAGROVE_DEFLATE64_TESTDATA);
}
#endif

struct Sample {
  bool deflate64;
  std::string name;
  Bytes data, original;
};

std::vector<Sample> Samples() {
  std::vector<Sample> samples;
  const std::string dir = InputDir();
  std::ifstream manifest(dir + "/manifest.txt");
  std::string line;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    int method = 0;
    std::string data, original;
    fields >> method >> data >> original;
    samples.push_back({method == 9, data, Read(dir + "/" + data), Read(dir + "/" + original)});
  }
  return samples;
}

TEST(InflateRealData, DecodesWhatGzipZipAnd7ZipMadeByteForByte) {
  const auto samples = Samples();
  ASSERT_GE(samples.size(), 60u);
  unsigned deflate64 = 0;
  for (const Sample &s : samples) {
    deflate64 += s.deflate64;
    const Decoded d = Decode(s.data, s.deflate64);
    EXPECT_EQ(d.result, arc::InflateStreamEnd) << s.name;
    EXPECT_TRUE(d.out == s.original) << s.name;
    // Small output room exercises the slow machines and the window flush.
    const Decoded small = Decode(s.data, s.deflate64, 4093, 777);
    EXPECT_TRUE(small.out == s.original) << s.name;
  }
  EXPECT_GE(deflate64, 8u);
}

TEST(InflateRealData, OneByteAtATimeGivesTheSameOutput) {
  for (const Sample &s : Samples()) {
    if (s.data.size() > 40000)
      continue;
    const Decoded d = Decode(s.data, s.deflate64, 1, 1 << 16);
    EXPECT_EQ(d.result, arc::InflateStreamEnd) << s.name;
    EXPECT_TRUE(d.out == s.original) << s.name;
  }
}

// --- stored blocks -------------------------------------------------------------------------------

TEST(InflateStored, EmptyAndLongestBlocks) {
  for (std::size_t n : {std::size_t{0}, std::size_t{65535}}) {
    const Decoded d = Decode(Stored(n), false);
    ASSERT_EQ(d.result, arc::InflateStreamEnd);
    ASSERT_EQ(d.out.size(), n);
    for (std::size_t i = 0; i < n; i++)
      ASSERT_EQ(d.out[i], static_cast<std::uint8_t>(i * 7));
  }
}

TEST(InflateStored, BadComplementIsADataError) {
  EXPECT_EQ(Decode(Stored(10, true), false).result, arc::InflateDataError);
}

// --- fixed blocks in each mode -------------------------------------------------------------------

TEST(InflateFixed, LengthCode285WithExtra65535) {
  // Deflate64: base 3 + 65535 = 65538 copies; deflate: 258, and no extra bits are read (the
  // following bits then are not a valid end, so only the output prefix is compared).
  const Decoded d64 = Decode(FixedMatch(285, 65535, 16), true);
  ASSERT_EQ(d64.result, arc::InflateStreamEnd);
  EXPECT_EQ(d64.out, Bytes(65539, 'A'));
  const Decoded d8 = Decode(FixedMatch(285, 0, 0), false);
  ASSERT_EQ(d8.result, arc::InflateStreamEnd);
  EXPECT_EQ(d8.out, Bytes(259, 'A'));
  // Deflate64 lengths fed in one-byte steps with little output room give the same.
  EXPECT_EQ(Decode(FixedMatch(285, 65535, 16), true, 1, 100).out, Bytes(65539, 'A'));
}

TEST(InflateFixed, DistanceCodes30And31AreDeflate64Only) {
  for (unsigned code : {30u, 31u}) {
    // Distances of at least 32769 need that much history: a stored block of 65535 bytes first.
    Bytes stream = Stored(65535);
    stream[0] = 0; // not the last block
    const Bytes match = FixedMatch(257, 0, 0, code);
    stream.insert(stream.end(), match.begin(), match.end());
    EXPECT_EQ(Decode(stream, false).result, arc::InflateDataError) << code;
    const Decoded d = Decode(stream, true);
    ASSERT_EQ(d.result, arc::InflateStreamEnd) << code;
    ASSERT_EQ(d.out.size(), 65535u + 1 + 3);
    const std::size_t dist = code == 30 ? 32769 : 49153;
    const std::size_t at = 65536; // first byte of the match
    for (std::size_t i = 0; i < 3; i++)
      EXPECT_EQ(d.out[at + i], d.out[at + i - dist]);
  }
}

TEST(InflateFixed, EachModeKeepsItsOwnFixedTables) {
  arc::ResetInflateGlobals();
  // deflate first, then Deflate64, then deflate again: each decodes code 285 its own way.
  EXPECT_EQ(Decode(FixedMatch(285, 0, 0), false).out.size(), 259u);
  EXPECT_EQ(Decode(FixedMatch(285, 65535, 16), true).out.size(), 65539u);
  EXPECT_EQ(Decode(FixedMatch(285, 0, 0), false).out.size(), 259u);
  arc::ResetInflateGlobals();
  EXPECT_EQ(Decode(FixedMatch(285, 100, 16), true).out.size(), 104u);
  EXPECT_EQ(Decode(FixedMatch(285, 0, 0), false).out.size(), 259u);
  EXPECT_EQ(Decode(FixedMatch(285, 100, 16), true).out.size(), 104u);
}

TEST(InflateFixed, DistanceBeforeTheDataIsADataError) {
  EXPECT_EQ(Decode(FixedMatch(257, 0, 0, 1), false).result, arc::InflateDataError);
}

// --- dynamic blocks ------------------------------------------------------------------------------

TEST(InflateDynamic, HlitAndHdist30And31OnlyInDeflate64) {
  for (unsigned hlit : {29u, 30u, 31u})
    for (unsigned hdist : {0u, 29u, 30u, 31u}) {
      if (hdist == 29)
        continue; // DynamicHeader makes distance sets of 1, 31 and 32 codes
      const Bytes stream = DynamicHeader(hlit, hdist);
      const Decoded d64 = Decode(stream, true);
      EXPECT_EQ(d64.result, arc::InflateStreamEnd) << hlit << " " << hdist;
      EXPECT_EQ(d64.out, Bytes{'Z'});
      const bool allowed = hlit < 30 && hdist < 30;
      EXPECT_EQ(Decode(stream, false).result,
                allowed ? arc::InflateStreamEnd : arc::InflateDataError)
          << hlit << " " << hdist;
    }
}

TEST(InflateDynamic, OverSubscribedAndIncompleteCodesAreDataErrors) {
  // Literal/length codes in both modes (one distance code of one bit, which is accepted as is).
  for (bool deflate64 : {false, true}) {
    EXPECT_EQ(Decode(DynamicHeader(29, 0), deflate64).result, arc::InflateStreamEnd);
    for (int damage : {1, 2})
      EXPECT_EQ(Decode(DynamicHeader(29, 0, damage), deflate64).result, arc::InflateDataError)
          << damage << " " << deflate64;
  }
  // Distance codes: a set of 32 five-bit codes with one gone or one shortened.
  for (int damage : {3, 4})
    EXPECT_EQ(Decode(DynamicHeader(29, 31, damage), true).result, arc::InflateDataError) << damage;
}

TEST(InflateDynamic, OverSubscribedAndIncompleteCodeLengthCodes) {
  for (unsigned used : {3u, 5u}) { // three or five one-bit codes: over-subscribed
    BitWriter w;
    w.Bits(1, 1);
    w.Bits(2, 2);
    w.Bits(0, 10);
    w.Bits(15, 4);
    for (unsigned i = 0; i < 19; i++)
      w.Bits(i < used ? 1 : 0, 3);
    w.Bits(0, 32);
    EXPECT_EQ(Decode(w.Done(), false).result, arc::InflateDataError) << used;
  }
  BitWriter one;
  one.Bits(1, 1);
  one.Bits(2, 2);
  one.Bits(0, 10);
  one.Bits(0, 4);
  one.Bits(1, 3); // only symbol 16 has a code (one bit): incomplete
  one.Bits(0, 9);
  one.Bits(0, 32);
  EXPECT_EQ(Decode(one.Done(), false).result, arc::InflateDataError);
}

// The most table entries (root table plus sub-tables) any complete code of at most n symbols with
// lengths up to 15 can need with a root of r bits, enumerated over every shape canonical codes can
// take: codes no longer than the root fill part of the root table; the remaining root prefixes
// each lead a sub-table, filled in order with the longer codes sorted by length, as wide as the
// longest code in it. The root grows to the shortest length when all codes are longer.
class TableBound {
public:
  static long Worst(unsigned n, unsigned r) {
    long worst = 0;
    for (unsigned root = r; root <= 15; root++) {
      TableBound e(root);
      const unsigned slots = 1u << root;
      for (unsigned left = 1; left < slots; left++) {
        const unsigned used = slots - left;
        for (unsigned s = 0; s <= n; s++) {
          if (root == r ? (s < MinPieces(used, root) || s > used) : s != used)
            continue;
          for (unsigned m = 1; s + m <= n; m++) {
            const long f = e.Subtables(left, root + 1, m);
            if (f >= 0)
              worst = std::max(worst, static_cast<long>(slots) + f);
          }
        }
      }
    }
    return worst;
  }

private:
  explicit TableBound(unsigned root) : root_(root) {}
  // Fewest codes of lengths 1..r that fill x of the 2^r root slots.
  static unsigned MinPieces(unsigned x, unsigned r) {
    if (x == 0)
      return 0;
    if (x == (1u << r))
      return 2;
    return static_cast<unsigned>(__builtin_popcount(x));
  }
  // Best sub-table total for p prefixes left, codes at least `len` long, exactly m codes.
  long Subtables(unsigned p, unsigned len, unsigned m) {
    if (p == 0)
      return m == 0 ? 0 : -1;
    if (len > 15 || static_cast<long>(p) << (len - root_) > static_cast<long>(m) ||
        static_cast<long>(p) << (15 - root_) < static_cast<long>(m))
      return -1;
    const auto key = std::make_tuple(p, len, m);
    if (const auto it = memo_.find(key); it != memo_.end())
      return it->second;
    long best = -1;
    for (unsigned longest = len; longest <= 15; longest++) {
      // fewest codes: a chain down to `longest`; most: all of that length
      const unsigned lo =
          longest == len ? 1u << (len - root_) : (1u << (len - root_)) + longest - len;
      for (unsigned k = lo; k <= (1u << (longest - root_)) && k <= m; k++) {
        const long rest = Subtables(p - 1, longest, m - k);
        if (rest >= 0)
          best = std::max(best, (1L << (longest - root_)) + rest);
      }
    }
    return memo_[key] = best;
  }
  unsigned root_;
  std::map<std::tuple<unsigned, unsigned, unsigned>, long> memo_;
};

TEST(InflateTables, SpaceHoldsTheLargestDeflate64Tables) {
  // The enumeration reproduces the widely published bounds for 286 and 30 codes with 9- and
  // 6-bit roots.
  EXPECT_EQ(TableBound::Worst(286, 9), 852);
  EXPECT_EQ(TableBound::Worst(30, 6), 592);
  // Deflate64 allows 288 literal/length codes (7-bit root) and 32 distance codes (6-bit root);
  // both tables of one block share the space, which the code-length table used before them.
  const long lit = TableBound::Worst(288, 7), dist = TableBound::Worst(32, 6);
  EXPECT_LE(lit + dist, static_cast<long>(arc::kInflateTableSpace)) << lit << " + " << dist;
  EXPECT_LE(TableBound::Worst(19, 7), static_cast<long>(arc::kInflateTableSpace));

  // The table builder stays within the bound on random complete codes (leaves split at random).
  std::mt19937 rng(1951);
  for (const auto &[n, root, bound] : {std::tuple{288u, 7u, lit}, std::tuple{32u, 6u, dist}})
    for (int round = 0; round < 500; round++) {
      std::vector<std::uint16_t> lengths{0};
      while (lengths.size() < n) {
        const std::size_t at = rng() % lengths.size();
        if (lengths[at] == 15)
          continue;
        lengths[at]++;
        lengths.push_back(lengths[at]);
      }
      const int used = arc::InflateTableEntries(lengths.data(), n, root);
      ASSERT_GT(used, 0);
      ASSERT_LE(used, bound);
    }
}

// --- feeding and results -------------------------------------------------------------------------

TEST(InflateFeeding, EverySplitGivesTheSameOutput) {
  const Bytes streams[] = {FixedMatch(285, 300, 16), DynamicHeader(31, 31), Stored(40)};
  const bool modes[] = {true, true, false};
  for (int k = 0; k < 3; k++) {
    const Decoded whole = Decode(streams[k], modes[k]);
    ASSERT_EQ(whole.result, arc::InflateStreamEnd);
    for (std::size_t split = 1; split < streams[k].size(); split++) {
      arc::SetDeflate64(modes[k]);
      InflateStream z;
      ASSERT_EQ(arc::InflateInit(&z, -15), arc::InflateOk);
      Bytes out(70000);
      z.next_out = out.data();
      z.avail_out = static_cast<std::uint32_t>(out.size());
      z.next_in = streams[k].data();
      z.avail_in = static_cast<std::uint32_t>(split);
      // Input that stops early: buffer error, or ok with progress; never the end.
      int r = arc::Inflate(&z, 0);
      EXPECT_TRUE(r == arc::InflateOk || r == arc::InflateBufError) << split;
      EXPECT_EQ(arc::Inflate(&z, 0), arc::InflateBufError) << split;
      z.avail_in = static_cast<std::uint32_t>(streams[k].size() - split);
      r = arc::Inflate(&z, 0);
      EXPECT_EQ(r, arc::InflateStreamEnd) << split;
      out.resize(z.total_out);
      EXPECT_EQ(out, whole.out) << split;
      arc::InflateEnd(&z);
    }
  }
  arc::SetDeflate64(false);
}

TEST(InflateResults, WrappedStreamChecksItsTrailer) {
  // "hello" compressed by Python's zlib module (default level): header, fixed block, Adler-32.
  Bytes wrapped = {0x78, 0x9c, 0xcb, 0x48, 0xcd, 0xc9, 0xc9, 0x07, 0x00, 0x06, 0x2c, 0x02, 0x15};
  const Decoded d = Decode(wrapped, false, SIZE_MAX, 100, 15);
  EXPECT_EQ(d.result, arc::InflateStreamEnd);
  EXPECT_EQ(d.out, (Bytes{'h', 'e', 'l', 'l', 'o'}));
  wrapped.back() ^= 1;
  EXPECT_EQ(Decode(wrapped, false, SIZE_MAX, 100, 15).result, arc::InflateDataError);
}

TEST(InflateResults, InitChecksAndEmptyCalls) {
  InflateStream z;
  EXPECT_EQ(arc::InflateInit(&z, -15, 12), arc::InflateVersionError);
  EXPECT_EQ(arc::InflateInit(&z, -16), arc::InflateStreamError);
  EXPECT_EQ(z.state, nullptr);
  EXPECT_EQ(arc::Inflate(&z, 0), arc::InflateStreamError);
  ASSERT_EQ(arc::InflateInit(&z, -15), arc::InflateOk);
  const std::uint8_t none = 0;
  z.next_in = &none;
  EXPECT_EQ(arc::Inflate(&z, 0), arc::InflateBufError); // no input, no room
  const Bytes bad = {0x07};                             // block type 3
  z.next_in = bad.data();
  z.avail_in = 1;
  EXPECT_EQ(arc::Inflate(&z, 0), arc::InflateDataError);
  EXPECT_EQ(arc::Inflate(&z, 0), arc::InflateDataError); // stays bad until reset
  EXPECT_EQ(arc::InflateReset(&z), arc::InflateOk);
  const Bytes ok = Stored(0);
  z.next_in = ok.data();
  z.avail_in = static_cast<std::uint32_t>(ok.size());
  EXPECT_EQ(arc::Inflate(&z, 0), arc::InflateStreamEnd);
  EXPECT_EQ(arc::InflateEnd(&z), arc::InflateOk);
  EXPECT_EQ(arc::InflateEnd(&z), arc::InflateStreamError);
}

} // namespace
