// The inflate engine. Three nested machines do the work, each one enumeration of modes and one loop
// over them: the stream (the optional two-byte header and Adler-32 trailer around the data), the
// blocks (stored, fixed-code and dynamic-code blocks of RFC 1951) and the codes (the literals and
// length/distance pairs of one compressed block), with a fast loop that decodes the bulk of a block
// while plenty of input and window room remain. Decoded bytes go into a circular window first, and
// a flush step moves them from there to the caller's output.
//
// Deflate64 differs only in a few points, all chosen by the process-wide mode switch: a 64 KB
// window, length code 285 with 16 extra bits (3..65538 bytes), two more distance codes (32769 and
// 49153 with 14 extra bits), a fixed distance table of 32 codes, and no limit on HLIT and HDIST.
#include "archive/Inflate.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace arc {

namespace {

// --- Huffman table entries ---------------------------------------------------------------------
// op: 0 a literal (val is the byte); kOpBase | extra a length or distance base with 0..16 extra
// bits; kOpEnd the end of the block; kOpInvalid a code no set reaches; 1..15 a link to a sub-table
// indexed by that many further bits (val is the sub-table's offset from the table start).
struct Code {
  std::uint8_t op;
  std::uint8_t bits; // bits this entry consumes
  std::uint32_t val;
};

constexpr std::uint8_t kOpLiteral = 0x00;
constexpr std::uint8_t kOpLinkMask = 0x0f;
constexpr std::uint8_t kOpEnd = 0x20;
constexpr std::uint8_t kOpBase = 0x40; // low five bits: extra-bit count 0..16
constexpr std::uint8_t kOpInvalid = 0x80;

constexpr unsigned kMaxBits = 15; // the longest code RFC 1951 allows

// Bit masks for 0..16 bits.
constexpr std::uint32_t kMask[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000f, 0x001f,
                                     0x003f, 0x007f, 0x00ff, 0x01ff, 0x03ff, 0x07ff,
                                     0x0fff, 0x1fff, 0x3fff, 0x7fff, 0xffff};

// Length codes 257..285: base lengths and extra bits, one set per mode (they differ in code 285).
constexpr std::uint16_t kLengthBase[2][31] = {
    {3,  4,  5,  6,  7,  8,  9,  10,  11,  13,  15,  17,  19,  23, 27, 31,
     35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0},
    {3,  4,  5,  6,  7,  8,  9,  10,  11,  13,  15,  17,  19, 23, 27, 31,
     35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 3,  0,  0}};
constexpr std::uint8_t kLengthExtra[2][31] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 16, 0, 0}};
// Codes 286 and 287 exist in the fixed code but mean nothing: the table builder marks symbols
// past the valid ones invalid through this count.
constexpr unsigned kLengthCodes = 29;

// Distance codes 0..31: the last two exist only in Deflate64.
constexpr std::uint16_t kDistanceBase[32] = {1,    2,    3,    4,     5,     7,     9,     13,
                                             17,   25,   33,   49,    65,    97,    129,   193,
                                             257,  385,  513,  769,   1025,  1537,  2049,  3073,
                                             4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr std::uint8_t kDistanceExtra[32] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3, 4,
                                             4,  5,  5,  6,  6,  7,  7,  8,  8,  9, 9,
                                             10, 10, 11, 11, 12, 12, 13, 13, 14, 14};

// The code lengths of the code-length code arrive in this order, the likely ones first.
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

// Root widths of the lookup tables.
constexpr unsigned kFixedLiteralRoot = 7;
constexpr unsigned kFixedDistanceRoot = 5;
constexpr unsigned kLiteralRoot = 7;
constexpr unsigned kDistanceRoot = 6;
constexpr unsigned kCodeLengthRoot = 7;

// --- the process-wide mode switch and each mode's fixed tables -----------------------------------
bool g_deflate64 = false;
std::uint8_t g_fixed_distance_count = 30;

struct FixedTables {
  bool built = false;
  Code space[kInflateFixedSpace];
  const Code *literals = nullptr;
  const Code *distances = nullptr;
  unsigned literal_root = 0;
  unsigned distance_root = 0;
};
FixedTables g_fixed[2];

inline int Mode() { return g_deflate64 ? 1 : 0; }

// --- canonical table building -------------------------------------------------------------------

// What a built table is and where it lives.
struct Table {
  const Code *root = nullptr;
  unsigned root_bits = 0;
  bool incomplete = false;
  bool empty = false;
};

// Builds the lookup table of a canonical Huffman code from its code lengths. Symbols below `plain`
// are literals (symbol 256 being end of block when plain is 257); the others index `base` and
// `extra`, and those past `valid` are invalid. The table is carved out of `space` at `*fill`, root
// first, then one sub-table for each root prefix whose codes are longer than the root. Returns
// ok, data error (over-subscribed), memory error (the space is exhausted) or buffer error
// (incomplete: entries no code reaches are invalid).
int BuildTable(const std::uint16_t *lengths, unsigned count, unsigned plain,
               const std::uint16_t *base, const std::uint8_t *extra, unsigned valid,
               unsigned root_bits, Code *space, unsigned *fill, unsigned space_size, Table *out) {
  // Count the codes of each length; a length of zero means the symbol is unused.
  unsigned counts[kMaxBits + 1] = {};
  for (unsigned s = 0; s < count; s++)
    counts[lengths[s]]++;

  unsigned max = kMaxBits;
  while (max > 0 && counts[max] == 0)
    max--;
  *out = Table{};
  if (max == 0) {
    // No codes at all: one invalid entry, consumed by nothing.
    if (*fill + 1 > space_size)
      return InflateMemError;
    Code *t = space + *fill;
    *t = Code{kOpInvalid, 0, 0};
    (*fill)++;
    out->root = t;
    out->empty = true;
    return InflateOk;
  }
  unsigned min = 1;
  while (counts[min] == 0)
    min++;
  if (root_bits > max)
    root_bits = max;
  if (root_bits < min)
    root_bits = min;

  // Each length may use what the shorter ones left of the code space: more is over-subscribed.
  int left = 1;
  for (unsigned len = 1; len <= kMaxBits; len++) {
    left <<= 1;
    left -= static_cast<int>(counts[len]);
    if (left < 0)
      return InflateDataError;
  }

  // Sort the symbols by length, keeping symbol order within a length: that is the canonical order
  // in which codes are assigned.
  unsigned offsets[kMaxBits + 2] = {};
  for (unsigned len = 1; len <= kMaxBits; len++)
    offsets[len + 1] = offsets[len] + counts[len];
  std::uint16_t sorted[320];
  for (unsigned s = 0; s < count; s++)
    if (lengths[s] != 0)
      sorted[offsets[lengths[s]]++] = static_cast<std::uint16_t>(s);

  // The root table, every entry invalid until a code reaches it.
  const unsigned root_size = 1u << root_bits;
  if (*fill + root_size > space_size)
    return InflateMemError;
  Code *root = space + *fill;
  *fill += root_size;
  for (unsigned i = 0; i < root_size; i++)
    root[i] = Code{kOpInvalid, static_cast<std::uint8_t>(root_bits), 0};

  // Canonical codes: each length's first code follows the last code of the shorter lengths
  // (counts[0], the unused symbols, takes no code).
  unsigned next_code[kMaxBits + 1] = {};
  for (unsigned len = 1, code = 0; len <= kMaxBits; len++) {
    code = (code + (len > 1 ? counts[len - 1] : 0)) << 1;
    next_code[len] = code;
  }

  // remaining[len]: codes of that length not placed yet, to size the sub-tables.
  unsigned remaining[kMaxBits + 1];
  std::memcpy(remaining, counts, sizeof remaining);
  unsigned sub_prefix = ~0u;
  Code *sub = nullptr;
  unsigned sub_bits = 0;
  const unsigned used = offsets[kMaxBits + 1];
  for (unsigned i = 0; i < used; i++) {
    const unsigned symbol = sorted[i];
    const unsigned len = lengths[symbol];
    const unsigned code = next_code[len]++;
    Code entry;
    if (symbol < plain) {
      entry.op = symbol < 256 ? kOpLiteral : kOpEnd;
      entry.val = symbol;
    } else if (symbol - plain < valid) {
      entry.op = static_cast<std::uint8_t>(kOpBase | extra[symbol - plain]);
      entry.val = base[symbol - plain];
    } else {
      entry.op = kOpInvalid;
      entry.val = 0;
    }

    // Deflate sends codes most significant bit first into a buffer read from its low end: the
    // table is indexed by the code with its bits reversed.
    unsigned reversed = 0;
    for (unsigned b = 0; b < len; b++)
      reversed |= ((code >> b) & 1u) << (len - 1 - b);

    if (len <= root_bits) {
      entry.bits = static_cast<std::uint8_t>(len);
      for (unsigned j = reversed; j < root_size; j += 1u << len)
        root[j] = entry;
    } else {
      const unsigned prefix = reversed & (root_size - 1);
      if (prefix != sub_prefix) {
        // A new sub-table: as wide as the longest code sharing this prefix needs, found by
        // spending the code space of the lengths still to come.
        sub_bits = len - root_bits;
        int room = 1 << sub_bits;
        while (sub_bits + root_bits < max) {
          room -= static_cast<int>(remaining[sub_bits + root_bits]);
          if (room <= 0)
            break;
          sub_bits++;
          room <<= 1;
        }
        const unsigned sub_size = 1u << sub_bits;
        if (*fill + sub_size > space_size)
          return InflateMemError;
        sub = space + *fill;
        root[prefix] =
            Code{static_cast<std::uint8_t>(sub_bits), static_cast<std::uint8_t>(root_bits),
                 static_cast<std::uint32_t>(sub - root)};
        *fill += sub_size;
        for (unsigned j = 0; j < sub_size; j++)
          sub[j] = Code{kOpInvalid, static_cast<std::uint8_t>(sub_bits), 0};
        sub_prefix = prefix;
      }
      entry.bits = static_cast<std::uint8_t>(len - root_bits);
      for (unsigned j = reversed >> root_bits; j < (1u << sub_bits); j += 1u << (len - root_bits))
        sub[j] = entry;
    }
    remaining[len]--;
  }

  out->root = root;
  out->root_bits = root_bits;
  out->incomplete = left > 0;
  return left > 0 ? InflateBufError : InflateOk;
}

// --- Adler-32, the check value of a wrapped stream -----------------------------------------------
std::uint32_t Adler32(std::uint32_t adler, const std::uint8_t *p, std::size_t n) {
  constexpr std::uint32_t kBase = 65521; // the largest prime below 2^16
  std::uint32_t a = adler & 0xffff, b = adler >> 16;
  while (n > 0) {
    // 5552 bytes is the most that cannot overflow 32 bits before the modulo.
    std::size_t chunk = n < 5552 ? n : 5552;
    n -= chunk;
    while (chunk--) {
      a += *p++;
      b += a;
    }
    a %= kBase;
    b %= kBase;
  }
  return (b << 16) | a;
}

// --- the state behind the record -----------------------------------------------------------------

using CheckFunc = std::uint32_t (*)(std::uint32_t, const std::uint8_t *, std::size_t);

// Codes machine: one compressed block's literals and matches.
enum class CodesMode { Start, Len, LenExt, Dist, DistExt, Copy, Lit, Wash, End, Bad };

struct CodesState {
  CodesMode mode;
  unsigned need;          // bits needed by the lookup in progress
  const Code *tree;       // table (or sub-table) of that lookup
  unsigned extra;         // extra bits to read
  std::uint32_t len;      // match length, or the literal
  std::uint32_t dist;     // match distance
  const Code *lit_table;  // literal/length table and its root width
  const Code *dist_table; // distance table and its root width
  unsigned lit_bits;
  unsigned dist_bits;
};

// Blocks machine: the blocks of one stream.
enum class BlockMode { Type, Lens, Stored, Table, BitLengths, CodeLengths, Codes, Dry, Done, Bad };

struct BlocksState {
  BlockMode mode = BlockMode::Type;
  std::uint32_t left = 0;  // bytes left of a stored block
  std::uint32_t table = 0; // HLIT, HDIST, HCLEN as received
  unsigned index = 0;      // code lengths read so far
  std::uint16_t *lengths = nullptr;
  CodesState *codes = nullptr;
  bool last = false;
  Table code_length_table;
  std::uint32_t bitb = 0; // bit buffer
  unsigned bitk = 0;      // bits in it
  Code *hufts = nullptr;  // the table space of this stream
  std::uint8_t *window = nullptr;
  std::uint8_t *end = nullptr;
  std::uint8_t *read = nullptr;
  std::uint8_t *write = nullptr;
  std::uint32_t have = 0; // bytes of history in the window (for distance checks)
  CheckFunc checkfn = nullptr;
  std::uint32_t check = 0;
};

enum class StreamMode {
  Method,
  Flag,
  Dict4,
  Dict3,
  Dict2,
  Dict1,
  Dict0,
  Blocks,
  Check4,
  Check3,
  Check2,
  Check1,
  Done,
  Bad
};

} // namespace

struct InflateState {
  StreamMode mode = StreamMode::Method;
  unsigned method = 0;
  std::uint32_t was = 0;  // the computed check value
  std::uint32_t need = 0; // the check value the stream carries
  bool raw = false;
  unsigned wbits = 0;
  bool deflate64 = false; // the mode this stream was started in
  BlocksState blocks;
};

namespace {

void *DefaultAlloc(void *, std::uint32_t items, std::uint32_t size) {
  return std::calloc(items, size);
}
void DefaultFree(void *, void *address) { std::free(address); }

void *Alloc(InflateStream *z, std::uint32_t items, std::uint32_t size) {
  return z->zalloc(z->opaque, items, size);
}

// --- the window and its flush --------------------------------------------------------------------

// Copies what the window holds from its read position to the caller's output, in at most two
// pieces: up to the window end, then from its start.
int Flush(BlocksState *s, InflateStream *z, int r) {
  std::uint8_t *q = z->next_out;
  std::uint8_t *p = s->read;
  for (int piece = 0; piece < 2; piece++) {
    std::uint32_t n = static_cast<std::uint32_t>((p <= s->write ? s->write : s->end) - p);
    if (n > z->avail_out)
      n = z->avail_out;
    if (n != 0) {
      if (r == InflateBufError)
        r = InflateOk;
      std::memcpy(q, p, n);
      if (s->checkfn != nullptr)
        s->check = z->adler = s->checkfn(s->check, p, n);
      z->avail_out -= n;
      z->total_out += n;
      q += n;
      p += n;
    }
    if (p != s->end)
      break;
    // The read position reached the window end: go on from its start.
    p = s->window;
    if (s->write == s->end)
      s->write = s->window;
  }
  z->next_out = q;
  s->read = p;
  return r;
}

// Contiguous room at the write position (one byte kept free when writing behind the read position,
// so that equal positions always mean an empty window).
inline std::uint32_t Room(const BlocksState *s) {
  return static_cast<std::uint32_t>(s->write < s->read ? s->read - s->write - 1
                                                       : s->end - s->write);
}

void FreeCodes(BlocksState *s, InflateStream *z) {
  if (s->codes != nullptr) {
    z->zfree(z->opaque, s->codes);
    s->codes = nullptr;
  }
}

void FreeLengths(BlocksState *s, InflateStream *z) {
  if (s->lengths != nullptr) {
    z->zfree(z->opaque, s->lengths);
    s->lengths = nullptr;
  }
}

void ResetBlocks(BlocksState *s, InflateStream *z, std::uint32_t *check) {
  if (check != nullptr)
    *check = s->check;
  FreeLengths(s, z);
  FreeCodes(s, z);
  s->mode = BlockMode::Type;
  s->bitb = 0;
  s->bitk = 0;
  s->read = s->write = s->window;
  s->have = 0;
  if (s->checkfn != nullptr)
    s->check = z->adler = 1; // Adler-32 of no data
}

// Each mode's fixed tables, built on the first fixed-code block decoded in that mode.
const FixedTables &GetFixed() {
  FixedTables &f = g_fixed[Mode()];
  if (!f.built) {
    std::uint16_t lengths[288];
    unsigned i = 0;
    for (; i < 144; i++)
      lengths[i] = 8;
    for (; i < 256; i++)
      lengths[i] = 9;
    for (; i < 280; i++)
      lengths[i] = 7;
    for (; i < 288; i++)
      lengths[i] = 8;
    unsigned fill = 0;
    Table t;
    // Both codes are incomplete or complete as the format makes them; that result is not an error
    // here (the deflate distance code leaves codes 30 and 31 invalid).
    BuildTable(lengths, 288, 257, kLengthBase[Mode()], kLengthExtra[Mode()], kLengthCodes,
               kFixedLiteralRoot, f.space, &fill, kInflateFixedSpace, &t);
    f.literals = t.root;
    f.literal_root = t.root_bits;
    for (i = 0; i < 32; i++)
      lengths[i] = 5;
    BuildTable(lengths, 32, 0, kDistanceBase, kDistanceExtra, g_fixed_distance_count,
               kFixedDistanceRoot, f.space, &fill, kInflateFixedSpace, &t);
    f.distances = t.root;
    f.distance_root = t.root_bits;
    f.built = true;
  }
  return f;
}

CodesState *NewCodes(InflateStream *z, const Code *lit, unsigned lit_bits, const Code *dist,
                     unsigned dist_bits) {
  auto *c = static_cast<CodesState *>(Alloc(z, 1, sizeof(CodesState)));
  if (c != nullptr) {
    c->mode = CodesMode::Start;
    c->lit_table = lit;
    c->lit_bits = lit_bits;
    c->dist_table = dist;
    c->dist_bits = dist_bits;
  }
  return c;
}

// --- the fast loop -------------------------------------------------------------------------------

constexpr unsigned kFastInput = 10; // input bytes the fast loop needs at hand
constexpr unsigned kFastRoom = 258; // window room it needs: the longest deflate match

inline bool IsLink(std::uint8_t op) { return op != kOpLiteral && op <= kOpLinkMask; }

// Copies a match of len bytes from dist bytes back, wrapping round the circular window. It writes
// exactly len bytes: the free part of the window past them still holds history that a distance
// close to the window size may reach.
inline std::uint8_t *CopyMatch(std::uint8_t *out, std::uint32_t len, std::uint32_t dist,
                               std::uint8_t *window, std::uint8_t *end) {
  const std::size_t behind = static_cast<std::size_t>(out - window);
  if (dist <= behind) {
    const std::uint8_t *from = out - dist;
    if (dist >= 8 && len >= 8) {
      // Eight bytes at a time never read what the same step writes; the last step ends exactly
      // at len, rewriting a few bytes with the values they already hold.
      for (std::uint32_t i = 0; i + 8 < len; i += 8)
        std::memcpy(out + i, from + i, 8);
      std::memcpy(out + len - 8, from + len - 8, 8);
      return out + len;
    }
    if (dist >= 8 && len >= 4) {
      std::memcpy(out, from, 4);
      std::memcpy(out + len - 4, from + len - 4, 4);
      return out + len;
    }
    if (dist == 1) {
      std::memset(out, *from, len);
      return out + len;
    }
    for (std::uint32_t i = 0; i < len; i++)
      out[i] = from[i];
    return out + len;
  }
  // The match starts in the older data at the end of the window and may run on into its start.
  const std::uint8_t *from = end - (dist - behind);
  while (len--) {
    *out++ = *from++;
    if (from == end)
      from = window;
  }
  return out;
}

// Decodes literals and matches straight into the window while at least kFastRoom bytes of window
// room and kFastInput input bytes remain. A Deflate64 match longer than the room it checked is
// handed back to the codes machine as a pending copy. Returns ok (stopped for room or input, or
// handed a match back), stream end (end of block) or data error.
int Fast(CodesState *c, BlocksState *s, InflateStream *z) {
  const std::uint8_t *in = z->next_in;
  const std::uint8_t *const in_start = in;
  const std::uint8_t *const in_end = in + z->avail_in;
  std::uint8_t *out = s->write;
  std::uint8_t *const window = s->window;
  std::uint8_t *const end = s->end;
  std::uint8_t *const out_limit = s->write < s->read ? s->read - 1 : s->end;
  const std::uint32_t wsize = static_cast<std::uint32_t>(end - window);
  std::uint64_t b = s->bitb;
  unsigned k = s->bitk;
  std::uint32_t have = s->have;
  const Code *const lcode = c->lit_table;
  const Code *const dcode = c->dist_table;
  const std::uint32_t lmask = kMask[c->lit_bits];
  const std::uint32_t dmask = kMask[c->dist_bits];
  int result = InflateOk;

  // The next literal/length code, following a link to its sub-table.
  auto next_symbol = [&] {
    Code e = lcode[b & lmask];
    if (IsLink(e.op)) {
      b >>= e.bits;
      k -= e.bits;
      e = lcode[e.val + (b & kMask[e.op])];
    }
    b >>= e.bits;
    k -= e.bits;
    return e;
  };
  // A code (15), a length's extra bits (16), and 5 bits that with the three input bytes left
  // after a top-up make the 29 a distance needs.
  constexpr unsigned kSecondSymbolBits = 15 + 16 + 5;

  while (static_cast<std::size_t>(out_limit - out) >= kFastRoom &&
         static_cast<std::size_t>(in_end - in) >= kFastInput) {
    // Top the bit buffer up to at least 56 bits with one load of eight bytes, counting only the
    // whole bytes that fit above the bits already held (the hosts are little-endian).
    std::uint64_t v;
    std::memcpy(&v, in, 8);
    b |= v << k;
    in += (63 - k) >> 3;
    k |= 56;

    Code e = next_symbol();
    if (e.op == kOpLiteral) {
      *out++ = static_cast<std::uint8_t>(e.val);
      have += have < wsize;
      // Enough bits for a second symbol, even a Deflate64 length and its distance: decode it
      // before topping up again (the room checked covers it, or a long match is handed back).
      if (k < kSecondSymbolBits)
        continue;
      e = next_symbol();
      if (e.op == kOpLiteral) {
        *out++ = static_cast<std::uint8_t>(e.val);
        have += have < wsize;
        continue;
      }
    }
    if (!(e.op & kOpBase)) {
      result = e.op == kOpEnd ? InflateStreamEnd : InflateDataError;
      break;
    }
    // A length, then its distance: up to 16 extra bits, then a code of up to 15 bits and 14 extra
    // bits; a Deflate64 length may leave too few bits for the distance, so top up byte by byte.
    unsigned extra = e.op & 0x1f;
    const std::uint32_t len = e.val + static_cast<std::uint32_t>(b & kMask[extra]);
    b >>= extra;
    k -= extra;
    if (k < 29) {
      while (k <= 56 && in < in_end) {
        b |= static_cast<std::uint64_t>(*in++) << k;
        k += 8;
      }
    }
    Code d = dcode[b & dmask];
    if (IsLink(d.op)) {
      b >>= d.bits;
      k -= d.bits;
      d = dcode[d.val + (b & kMask[d.op])];
    }
    b >>= d.bits;
    k -= d.bits;
    if (!(d.op & kOpBase)) {
      result = InflateDataError; // an end or invalid mark where a distance belongs
      break;
    }
    extra = d.op & 0x1f;
    const std::uint32_t dist = d.val + static_cast<std::uint32_t>(b & kMask[extra]);
    b >>= extra;
    k -= extra;
    if (dist > have) {
      result = InflateDataError; // reaches back before the start of the data
      break;
    }
    const std::uint32_t room = static_cast<std::uint32_t>(out_limit - out);
    if (len > room) {
      // Only a Deflate64 length can exceed the room checked: the codes machine copies it as the
      // window drains.
      c->len = len;
      c->dist = dist;
      c->mode = CodesMode::Copy;
      break;
    }
    out = CopyMatch(out, len, dist, window, end);
    have = have + len < wsize ? have + len : wsize;
  }

  // Give back the whole bytes the bit buffer holds beyond what was decoded (only those loaded
  // here: the caller's input pointer may not move before where this call found it).
  unsigned back = k >> 3;
  if (back > static_cast<unsigned>(in - in_start))
    back = static_cast<unsigned>(in - in_start);
  in -= back;
  k -= back * 8;
  b &= (std::uint64_t{1} << k) - 1;

  s->bitb = static_cast<std::uint32_t>(b);
  s->bitk = k;
  s->write = out;
  s->have = have;
  const auto used = static_cast<std::uint32_t>(in - in_start);
  z->next_in = in;
  z->avail_in -= used;
  z->total_in += used;
  return result;
}

// --- the codes machine ---------------------------------------------------------------------------

// Takes one more input byte into the bit buffer; false when the input is exhausted.
inline bool PullByte(BlocksState *s, InflateStream *z, int *r, int f) {
  if (z->avail_in == 0)
    return false;
  *r = f;
  z->avail_in--;
  z->total_in++;
  s->bitb |= static_cast<std::uint32_t>(*z->next_in++) << s->bitk;
  s->bitk += 8;
  return true;
}

inline bool NeedBits(BlocksState *s, InflateStream *z, unsigned n, int *r, int f) {
  while (s->bitk < n)
    if (!PullByte(s, z, r, f))
      return false;
  return true;
}

inline void DropBits(BlocksState *s, unsigned n) {
  s->bitb = n >= 32 ? 0 : s->bitb >> n;
  s->bitk -= n;
}

// Looks up the code at the front of the bit buffer in `table` of `bits` width, taking input only
// as far as that code needs; null when the input is exhausted.
inline const Code *LookUp(BlocksState *s, InflateStream *z, const Code *table, unsigned bits,
                          int *r, int f) {
  for (;;) {
    const Code *e = table + (s->bitb & kMask[bits]);
    if (e->bits <= s->bitk)
      return e;
    if (!PullByte(s, z, r, f))
      return nullptr;
  }
}

// Makes window room at the write position: wraps to the window start when the data there has been
// flushed, else flushes. False when no room can be made.
inline bool MakeRoom(BlocksState *s, InflateStream *z, int *r) {
  if (Room(s) != 0)
    return true;
  if (s->write == s->end && s->read != s->window) {
    s->write = s->window;
    if (Room(s) != 0)
      return true;
  }
  *r = Flush(s, z, *r);
  if (s->write == s->end && s->read != s->window)
    s->write = s->window;
  return Room(s) != 0;
}

inline void Wrote(BlocksState *s, std::uint32_t n) {
  const std::uint32_t wsize = static_cast<std::uint32_t>(s->end - s->window);
  s->have = s->have + n < wsize ? s->have + n : wsize;
}

// Decodes one compressed block. Returns stream end when the block's end code has been decoded and
// its data flushed, else the pending result after a flush.
int RunCodes(CodesState *c, BlocksState *s, InflateStream *z, int r, int f) {
  for (;;) {
    switch (c->mode) {
    case CodesMode::Start:
      // With room for the longest deflate match and enough input, the fast loop does the bulk.
      if (s->write == s->end && s->read != s->window)
        s->write = s->window;
      if (Room(s) >= kFastRoom && z->avail_in >= kFastInput) {
        const std::uint64_t before = z->total_in;
        const int fr = Fast(c, s, z);
        if (z->total_in != before)
          r = f;
        if (fr == InflateStreamEnd) {
          c->mode = CodesMode::Wash;
          break;
        }
        if (fr == InflateDataError) {
          c->mode = CodesMode::Bad;
          break;
        }
        if (c->mode == CodesMode::Copy)
          break;
      }
      c->need = c->lit_bits;
      c->tree = c->lit_table;
      c->mode = CodesMode::Len;
      [[fallthrough]];
    case CodesMode::Len: {
      // A literal/length code: a literal, a length base, the end of the block, or a link on.
      const Code *e = LookUp(s, z, c->tree, c->need, &r, f);
      if (e == nullptr)
        return Flush(s, z, r);
      DropBits(s, e->bits);
      if (e->op == kOpLiteral) {
        c->len = e->val;
        c->mode = CodesMode::Lit;
      } else if (e->op & kOpBase) {
        c->extra = e->op & 0x1f;
        c->len = e->val;
        c->mode = CodesMode::LenExt;
      } else if (e->op == kOpEnd) {
        c->mode = CodesMode::Wash;
      } else if (IsLink(e->op)) {
        c->need = e->op;
        c->tree = c->tree + e->val;
      } else {
        c->mode = CodesMode::Bad; // codes 286 and 287, or one no code reaches
      }
      break;
    }
    case CodesMode::LenExt:
      if (!NeedBits(s, z, c->extra, &r, f))
        return Flush(s, z, r);
      c->len += s->bitb & kMask[c->extra];
      DropBits(s, c->extra);
      c->need = c->dist_bits;
      c->tree = c->dist_table;
      c->mode = CodesMode::Dist;
      [[fallthrough]];
    case CodesMode::Dist: {
      const Code *e = LookUp(s, z, c->tree, c->need, &r, f);
      if (e == nullptr)
        return Flush(s, z, r);
      DropBits(s, e->bits);
      if (e->op & kOpBase) {
        c->extra = e->op & 0x1f;
        c->dist = e->val;
        c->mode = CodesMode::DistExt;
      } else if (IsLink(e->op)) {
        c->need = e->op;
        c->tree = c->tree + e->val;
      } else {
        c->mode = CodesMode::Bad; // no distance code reaches here, or distance 30/31 in deflate
      }
      break;
    }
    case CodesMode::DistExt:
      if (!NeedBits(s, z, c->extra, &r, f))
        return Flush(s, z, r);
      c->dist += s->bitb & kMask[c->extra];
      DropBits(s, c->extra);
      // A distance may reach back no further than the data decoded so far.
      c->mode = c->dist > s->have ? CodesMode::Bad : CodesMode::Copy;
      break;
    case CodesMode::Copy:
      // Copy the match byte by byte as the window room allows, flushing as it fills.
      while (c->len != 0) {
        if (!MakeRoom(s, z, &r))
          return Flush(s, z, r);
        std::uint32_t n = Room(s);
        if (n > c->len)
          n = c->len;
        s->write = CopyMatch(s->write, n, c->dist, s->window, s->end);
        Wrote(s, n);
        c->len -= n;
      }
      c->mode = CodesMode::Start;
      break;
    case CodesMode::Lit:
      if (!MakeRoom(s, z, &r))
        return Flush(s, z, r);
      *s->write++ = static_cast<std::uint8_t>(c->len);
      Wrote(s, 1);
      c->mode = CodesMode::Start;
      break;
    case CodesMode::Wash:
      // The block is decoded: its data leaves the window before the next block starts.
      r = Flush(s, z, r);
      if (s->read != s->write)
        return r;
      c->mode = CodesMode::End;
      [[fallthrough]];
    case CodesMode::End:
      return InflateStreamEnd;
    case CodesMode::Bad:
      return Flush(s, z, InflateDataError);
    }
  }
}

// --- the blocks machine --------------------------------------------------------------------------

int Bad(BlocksState *s, InflateStream *z) {
  s->mode = BlockMode::Bad;
  return Flush(s, z, InflateDataError);
}

// Decodes the blocks of one stream (RFC 1951). Returns stream end when the last block is decoded
// and flushed, else the pending result after a flush.
int RunBlocks(BlocksState *s, InflateStream *z, int r, int f) {
  const bool deflate64 = g_deflate64;
  for (;;) {
    switch (s->mode) {
    case BlockMode::Type: {
      // Block header: the last-block flag, then two bits of block type.
      if (!NeedBits(s, z, 3, &r, f))
        return Flush(s, z, r);
      const unsigned t = s->bitb & 7;
      s->last = (t & 1) != 0;
      DropBits(s, 3);
      switch (t >> 1) {
      case 0: // stored: the lengths start at the next byte boundary
        DropBits(s, s->bitk & 7);
        s->mode = BlockMode::Lens;
        break;
      case 1: { // fixed codes
        const FixedTables &fixed = GetFixed();
        s->codes =
            NewCodes(z, fixed.literals, fixed.literal_root, fixed.distances, fixed.distance_root);
        if (s->codes == nullptr)
          return Flush(s, z, InflateMemError);
        s->mode = BlockMode::Codes;
        break;
      }
      case 2: // dynamic codes
        s->mode = BlockMode::Table;
        break;
      default:
        return Bad(s, z);
      }
      break;
    }
    case BlockMode::Lens:
      // A stored block's length and its ones' complement, 16 bits each.
      if (!NeedBits(s, z, 32, &r, f))
        return Flush(s, z, r);
      if (((~s->bitb >> 16) & 0xffff) != (s->bitb & 0xffff))
        return Bad(s, z);
      s->left = s->bitb & 0xffff;
      s->bitb = 0;
      s->bitk = 0;
      s->mode = s->left != 0 ? BlockMode::Stored : (s->last ? BlockMode::Dry : BlockMode::Type);
      break;
    case BlockMode::Stored: {
      if (z->avail_in == 0)
        return Flush(s, z, r);
      if (!MakeRoom(s, z, &r))
        return Flush(s, z, r);
      std::uint32_t n = s->left;
      if (n > z->avail_in)
        n = z->avail_in;
      if (n > Room(s))
        n = Room(s);
      std::memcpy(s->write, z->next_in, n);
      s->write += n;
      Wrote(s, n);
      z->next_in += n;
      z->avail_in -= n;
      z->total_in += n;
      r = f;
      s->left -= n;
      if (s->left == 0)
        s->mode = s->last ? BlockMode::Dry : BlockMode::Type;
      break;
    }
    case BlockMode::Table: {
      // Dynamic header: HLIT (5 bits), HDIST (5), HCLEN (4).
      if (!NeedBits(s, z, 14, &r, f))
        return Flush(s, z, r);
      const std::uint32_t t = s->bitb & 0x3fff;
      const unsigned hlit = t & 0x1f, hdist = (t >> 5) & 0x1f;
      // Deflate has 286 literal/length and 30 distance codes; Deflate64 takes the counts as sent.
      if (!deflate64 && (hlit > 29 || hdist > 29))
        return Bad(s, z);
      s->lengths = static_cast<std::uint16_t *>(Alloc(z, 258 + hlit + hdist, 2));
      if (s->lengths == nullptr)
        return Flush(s, z, InflateMemError);
      s->table = t;
      DropBits(s, 14);
      s->index = 0;
      s->mode = BlockMode::BitLengths;
      [[fallthrough]];
    }
    case BlockMode::BitLengths: {
      // HCLEN + 4 lengths of the code-length code, three bits each, in their fixed order.
      while (s->index < 4 + (s->table >> 10)) {
        if (!NeedBits(s, z, 3, &r, f))
          return Flush(s, z, r);
        s->lengths[kCodeLengthOrder[s->index++]] = static_cast<std::uint16_t>(s->bitb & 7);
        DropBits(s, 3);
      }
      while (s->index < 19)
        s->lengths[kCodeLengthOrder[s->index++]] = 0;
      unsigned fill = 0;
      const int built = BuildTable(s->lengths, 19, 19, nullptr, nullptr, 0, kCodeLengthRoot,
                                   s->hufts, &fill, kInflateTableSpace, &s->code_length_table);
      if (built == InflateMemError)
        return Flush(s, z, InflateMemError);
      if (built != InflateOk || s->code_length_table.empty)
        return Bad(s, z);
      s->index = 0;
      s->mode = BlockMode::CodeLengths;
      [[fallthrough]];
    }
    case BlockMode::CodeLengths: {
      const unsigned hlit = s->table & 0x1f, hdist = (s->table >> 5) & 0x1f;
      const unsigned total = 258 + hlit + hdist;
      const Table &cl = s->code_length_table;
      while (s->index < total) {
        const Code *e = LookUp(s, z, cl.root, cl.root_bits, &r, f);
        if (e == nullptr)
          return Flush(s, z, r);
        const unsigned symbol = e->val;
        if (symbol < 16) {
          DropBits(s, e->bits);
          s->lengths[s->index++] = static_cast<std::uint16_t>(symbol);
          continue;
        }
        // 16: repeat the previous length 3..6 times; 17: 3..10 zeros; 18: 11..138 zeros.
        const unsigned extra = symbol == 16 ? 2 : symbol == 17 ? 3 : 7;
        const unsigned code_bits = e->bits;
        if (!NeedBits(s, z, code_bits + extra, &r, f))
          return Flush(s, z, r);
        DropBits(s, code_bits);
        const unsigned repeat = (symbol == 18 ? 11 : 3) + (s->bitb & kMask[extra]);
        DropBits(s, extra);
        if (s->index + repeat > total || (symbol == 16 && s->index == 0))
          return Bad(s, z);
        const std::uint16_t value = symbol == 16 ? s->lengths[s->index - 1] : 0;
        for (unsigned i = 0; i < repeat; i++)
          s->lengths[s->index++] = value;
      }
      // The literal/length and distance codes, built into the stream's table space.
      unsigned fill = 0;
      Table lit, dist;
      const int mode = deflate64 ? 1 : 0;
      int built = BuildTable(s->lengths, 257 + hlit, 257, kLengthBase[mode], kLengthExtra[mode],
                             kLengthCodes, kLiteralRoot, s->hufts, &fill, kInflateTableSpace, &lit);
      if (built == InflateMemError)
        return Flush(s, z, InflateMemError);
      if (built != InflateOk || lit.empty)
        return Bad(s, z);
      built = BuildTable(s->lengths + 257 + hlit, hdist + 1, 0, kDistanceBase, kDistanceExtra,
                         deflate64 ? 32 : 30, kDistanceRoot, s->hufts, &fill, kInflateTableSpace,
                         &dist);
      if (built == InflateMemError)
        return Flush(s, z, InflateMemError);
      if (built == InflateDataError || (dist.empty && hlit > 0))
        return Bad(s, z);
      if (built == InflateBufError) {
        // Incomplete: acceptable only as a single distance code of one bit, which RFC 1951
        // allows for a block with one distance in use.
        unsigned ones = 0, others = 0;
        for (unsigned i = 0; i <= hdist; i++) {
          const unsigned len = s->lengths[257 + hlit + i];
          ones += len == 1;
          others += len > 1;
        }
        if (ones != 1 || others != 0)
          return Bad(s, z);
      }
      FreeLengths(s, z);
      s->codes = NewCodes(z, lit.root, lit.root_bits, dist.root, dist.root_bits);
      if (s->codes == nullptr)
        return Flush(s, z, InflateMemError);
      s->mode = BlockMode::Codes;
      [[fallthrough]];
    }
    case BlockMode::Codes:
      r = RunCodes(s->codes, s, z, r, f);
      if (r != InflateStreamEnd) {
        if (r == InflateDataError)
          s->mode = BlockMode::Bad;
        return r;
      }
      r = f;
      FreeCodes(s, z);
      if (!s->last) {
        s->mode = BlockMode::Type;
        break;
      }
      // The stream ends inside the last byte read: whole bytes held beyond it go back.
      if (s->bitk >= 8) {
        const unsigned back = s->bitk >> 3;
        z->next_in -= back;
        z->avail_in += back;
        z->total_in -= back;
        s->bitk -= back * 8;
        s->bitb &= kMask[s->bitk];
      }
      s->mode = BlockMode::Dry;
      [[fallthrough]];
    case BlockMode::Dry:
      r = Flush(s, z, r);
      if (s->read != s->write)
        return r;
      s->mode = BlockMode::Done;
      [[fallthrough]];
    case BlockMode::Done:
      return InflateStreamEnd;
    case BlockMode::Bad:
      return Flush(s, z, InflateDataError);
    }
  }
}

} // namespace

// --- the stream machine and the operations -------------------------------------------------------

int InflateReset(InflateStream *z) {
  if (z == nullptr || z->state == nullptr)
    return InflateStreamError;
  InflateState *st = z->state;
  z->total_in = z->total_out = 0;
  st->mode = st->raw ? StreamMode::Blocks : StreamMode::Method;
  ResetBlocks(&st->blocks, z, nullptr);
  return InflateOk;
}

int InflateInit(InflateStream *z, std::int8_t window_bits, int record_size) {
  if (record_size != static_cast<int>(sizeof(InflateStream)))
    return InflateVersionError;
  if (z == nullptr)
    return InflateStreamError;
  if (z->zalloc == nullptr) {
    z->zalloc = DefaultAlloc;
    z->opaque = nullptr;
  }
  if (z->zfree == nullptr)
    z->zfree = DefaultFree;
  void *memory = Alloc(z, 1, sizeof(InflateState));
  if (memory == nullptr)
    return InflateMemError;
  auto *st = new (memory) InflateState;
  z->state = st;

  int bits = window_bits;
  st->raw = bits < 0;
  if (bits < 0)
    bits = -bits;
  if (g_deflate64)
    bits++;
  if (bits < 8 || bits > (g_deflate64 ? 16 : 15)) {
    InflateEnd(z);
    return InflateStreamError;
  }
  st->wbits = static_cast<unsigned>(bits);
  st->deflate64 = g_deflate64;

  BlocksState &s = st->blocks;
  s.hufts = static_cast<Code *>(Alloc(z, kInflateTableSpace, sizeof(Code)));
  s.window = static_cast<std::uint8_t *>(Alloc(z, 1u << bits, 1));
  if (s.hufts == nullptr || s.window == nullptr) {
    InflateEnd(z);
    return InflateMemError;
  }
  s.end = s.window + (1u << bits);
  s.checkfn = st->raw ? nullptr : Adler32;
  InflateReset(z);
  return InflateOk;
}

int InflateEnd(InflateStream *z) {
  if (z == nullptr || z->state == nullptr || z->zfree == nullptr)
    return InflateStreamError;
  InflateState *st = z->state;
  BlocksState &s = st->blocks;
  FreeLengths(&s, z);
  FreeCodes(&s, z);
  if (s.window != nullptr)
    z->zfree(z->opaque, s.window);
  if (s.hufts != nullptr)
    z->zfree(z->opaque, s.hufts);
  st->~InflateState();
  z->zfree(z->opaque, st);
  z->state = nullptr;
  return InflateOk;
}

int Inflate(InflateStream *z, int flush) {
  if (z == nullptr || z->state == nullptr || z->next_in == nullptr)
    return InflateStreamError;
  InflateState *st = z->state;
  const int f = flush == kInflateFinish ? InflateBufError : InflateOk;
  int r = InflateBufError;

  // Takes the next input byte of the header or trailer; false when the input is exhausted.
  auto next_byte = [&](unsigned *byte) {
    if (z->avail_in == 0)
      return false;
    r = f;
    z->avail_in--;
    z->total_in++;
    *byte = *z->next_in++;
    return true;
  };

  for (;;) {
    unsigned byte = 0;
    switch (st->mode) {
    case StreamMode::Method:
      // The compression method (8, deflate) and the window size as a power of two less eight.
      if (!next_byte(&byte))
        return r;
      st->method = byte;
      if ((byte & 0x0f) != 8 || (byte >> 4) + 8 > st->wbits) {
        st->mode = StreamMode::Bad;
        break;
      }
      st->mode = StreamMode::Flag;
      break;
    case StreamMode::Flag:
      // The two header bytes together are a multiple of 31; bit 5 asks for a preset dictionary.
      if (!next_byte(&byte))
        return r;
      if ((st->method * 256 + byte) % 31 != 0) {
        st->mode = StreamMode::Bad;
        break;
      }
      st->mode = (byte & 0x20) ? StreamMode::Dict4 : StreamMode::Blocks;
      break;
    case StreamMode::Dict4:
    case StreamMode::Dict3:
    case StreamMode::Dict2:
    case StreamMode::Dict1:
      // The dictionary's Adler-32, most significant byte first.
      if (!next_byte(&byte))
        return r;
      st->need = (st->mode == StreamMode::Dict4 ? 0 : st->need << 8) | byte;
      if (st->mode == StreamMode::Dict1) {
        z->adler = st->need;
        st->mode = StreamMode::Dict0;
        return InflateNeedDict;
      }
      st->mode = static_cast<StreamMode>(static_cast<int>(st->mode) + 1);
      break;
    case StreamMode::Dict0:
      // No dictionary can be supplied.
      st->mode = StreamMode::Bad;
      return InflateStreamError;
    case StreamMode::Blocks:
      r = RunBlocks(&st->blocks, z, r, f);
      if (r == InflateDataError) {
        st->mode = StreamMode::Bad;
        break;
      }
      if (r != InflateStreamEnd)
        return r;
      r = f;
      ResetBlocks(&st->blocks, z, &st->was);
      st->mode = st->raw ? StreamMode::Done : StreamMode::Check4;
      break;
    case StreamMode::Check4:
    case StreamMode::Check3:
    case StreamMode::Check2:
    case StreamMode::Check1:
      // The Adler-32 of the data, most significant byte first.
      if (!next_byte(&byte))
        return r;
      st->need = (st->mode == StreamMode::Check4 ? 0 : st->need << 8) | byte;
      if (st->mode == StreamMode::Check1) {
        st->mode = st->was == st->need ? StreamMode::Done : StreamMode::Bad;
        break;
      }
      st->mode = static_cast<StreamMode>(static_cast<int>(st->mode) + 1);
      break;
    case StreamMode::Done:
      return InflateStreamEnd;
    case StreamMode::Bad:
      return InflateDataError;
    }
  }
}

void SetDeflate64(bool on) {
  g_deflate64 = on;
  g_fixed_distance_count = on ? 32 : 30;
}

bool Deflate64Mode() { return g_deflate64; }

void ResetInflateGlobals() {
  SetDeflate64(false);
  for (FixedTables &f : g_fixed)
    f.built = false;
}

int InflateTableEntries(const std::uint16_t *lengths, unsigned count, unsigned root_bits) {
  static Code scratch[1u << 16];
  unsigned fill = 0;
  Table t;
  const int r = BuildTable(lengths, count, count, nullptr, nullptr, 0, root_bits, scratch, &fill,
                           1u << 16, &t);
  return r == InflateDataError ? -1 : static_cast<int>(fill);
}

} // namespace arc
