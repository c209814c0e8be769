// The inflate engine: decodes deflate (RFC 1951, zip method 8) and Deflate64 (zip method 9, the
// 64 KB-window variant) from a caller-owned stream record, raw or with the two-byte header and the
// Adler-32 trailer around it. It reads no file and shows no message: every operation returns one of
// the result codes below. Portable C++; single-threaded (the mode switch and the fixed tables are
// process-wide).
#pragma once

#include <cstdint>

namespace arc {

// Results of every operation.
enum InflateResult : std::int32_t {
  InflateOk = 0,        // progress was made
  InflateStreamEnd = 1, // the last block is decoded (and in wrapped mode the check value matched)
  InflateNeedDict = 2,  // a wrapped stream asks for a preset dictionary
  InflateStreamError = -2,  // no state, bad window bits, or an unknown mode
  InflateDataError = -3,    // the compressed data is invalid
  InflateMemError = -4,     // an allocation failed or the Huffman table space is exhausted
  InflateBufError = -5,     // no progress was possible (input exhausted or no output room)
  InflateVersionError = -6, // the caller's stream-record size differs from the engine's
};

// The flush value that asks for the whole stream in this call: an ok result becomes buffer error.
constexpr int kInflateFinish = 4;

// Allocation routines of a stream: items x size bytes, zero-filled by the defaults.
using InflateAlloc = void *(*)(void *opaque, std::uint32_t items, std::uint32_t size);
using InflateFree = void (*)(void *opaque, void *address);

struct InflateState; // the engine's own, behind the record

// The stream record, owned by the caller and passed to every operation.
struct InflateStream {
  const std::uint8_t *next_in = nullptr; // next input byte
  std::uint32_t avail_in = 0;            // bytes available at next_in
  std::uint64_t total_in = 0;            // bytes consumed so far

  std::uint8_t *next_out = nullptr; // next output byte goes here
  std::uint32_t avail_out = 0;      // room left at next_out
  std::uint64_t total_out = 0;      // bytes produced so far

  InflateState *state = nullptr; // the engine's; absent before init and after end

  InflateAlloc zalloc = nullptr; // left unset, init fills in defaults
  InflateFree zfree = nullptr;
  void *opaque = nullptr; // passed to both

  std::int32_t data_type = 0; // not used by the engine
  std::uint32_t adler = 0;    // the running Adler-32 in wrapped mode
  std::uint32_t reserved = 0;

  // The archive reader's own: whether the input is encrypted. The engine never touches it.
  bool encrypted = false;
};

// Starts a stream. window_bits < 0 selects raw mode (no header, no trailer, no check) and is
// negated; in Deflate64 mode it is increased by one. It must then lie in 8..15 (deflate) or 8..16
// (Deflate64). record_size must be sizeof(InflateStream).
int InflateInit(InflateStream *stream, std::int8_t window_bits,
                int record_size = static_cast<int>(sizeof(InflateStream)));

// Starts a new stream with the same state: totals, modes, bit buffer, window and check value.
int InflateReset(InflateStream *stream);

// Decodes as much as the input and the output room allow.
int Inflate(InflateStream *stream, int flush);

// Frees everything init allocated.
int InflateEnd(InflateStream *stream);

// The process-wide mode switch: set before each entry's stream is initialised, unchanged while it
// is decoded. false = deflate (32 KB window), true = Deflate64 (64 KB window, long lengths, two
// more distance codes).
void SetDeflate64(bool on);
bool Deflate64Mode();

// Back to the start-up state (deflate mode, no fixed tables built): for tests and fuzzers.
void ResetInflateGlobals();

// The Huffman table space of one stream, in entries: enough for the largest dynamic tables
// Deflate64 allows (checked by enumeration in the tests).
constexpr unsigned kInflateTableSpace = 1440;
// The table space of each mode's fixed tables.
constexpr unsigned kInflateFixedSpace = 544;

// Table building, exposed for the tests that check the table space: builds the canonical Huffman
// table for `count` code lengths with the given root width into a scratch space and returns the
// number of entries used, or -1 when the set is over-subscribed.
int InflateTableEntries(const std::uint16_t *lengths, unsigned count, unsigned root_bits);

} // namespace arc
