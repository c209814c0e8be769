// Shared by the fuzz targets: decodes one stream with the inflate engine, feeding the input and
// taking the output in pieces of sizes the caller chooses, and compares two such decodings.
#pragma once

#include "archive/Inflate.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzz {

// No decoding produces more than this: enough to wrap the largest window a few times.
constexpr std::size_t kOutputCap = 256 * 1024;

enum class Outcome { End, Error, NeedDict, Truncated, Capped, Stalled };

struct Decoded {
  Outcome outcome = Outcome::Stalled;
  int code = 0;                  // the engine's last result
  std::vector<std::uint8_t> out; // everything taken out
  std::uint64_t total_in = 0;    // the record's totals at the end
  std::uint64_t total_out = 0;
  std::uint32_t adler = 0;
};

// Small deterministic generator of piece sizes (xorshift32).
class Pieces {
public:
  // fixed > 0: every piece has that size; otherwise sizes of 1..2^12 bytes drawn from seed.
  Pieces(std::uint32_t seed, std::size_t fixed) : state_(seed * 2654435761u | 1u), fixed_(fixed) {}
  std::size_t Next() {
    if (fixed_ > 0)
      return fixed_;
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    const unsigned shift = state_ % 13; // 0..12
    return 1 + (state_ >> 8) % (std::size_t{1} << shift);
  }

private:
  std::uint32_t state_;
  std::size_t fixed_;
};

[[noreturn]] inline void Fail(const char *what) {
  std::fprintf(stderr, "fuzz: mismatch: %s\n", what);
  std::abort();
}

// Decodes data with an initialised (or reset) stream record. Input is given piece by piece when
// the engine has taken all it had; output room likewise, up to kOutputCap in total.
inline Decoded Decode(arc::InflateStream &stream, const std::uint8_t *data, std::size_t size,
                      Pieces in_pieces, Pieces out_pieces) {
  Decoded result;
  std::vector<std::uint8_t> room;
  std::size_t given = 0;
  stream.next_in = data; // the engine wants an input pointer even when no input is left
  stream.avail_in = 0;
  stream.avail_out = 0;
  int idle = 0;
  for (;;) {
    if (stream.avail_in == 0 && given < size) {
      const std::size_t piece = std::min(in_pieces.Next(), size - given);
      stream.next_in = data + given;
      stream.avail_in = static_cast<std::uint32_t>(piece);
      given += piece;
    }
    if (stream.avail_out == 0) {
      result.out.insert(result.out.end(), room.begin(), room.end());
      room.clear();
      if (result.out.size() >= kOutputCap) {
        result.outcome = Outcome::Capped;
        break;
      }
      room.assign(std::min(out_pieces.Next(), kOutputCap - result.out.size()), 0);
      stream.next_out = room.data();
      stream.avail_out = static_cast<std::uint32_t>(room.size());
    }
    const std::uint64_t in_before = stream.total_in;
    const std::uint64_t out_before = stream.total_out;
    result.code = arc::Inflate(&stream, 0);
    const bool progress = stream.total_in != in_before || stream.total_out != out_before;
    if (result.code == arc::InflateStreamEnd) {
      result.outcome = Outcome::End;
      break;
    }
    if (result.code == arc::InflateNeedDict) {
      result.outcome = Outcome::NeedDict;
      break;
    }
    if (result.code != arc::InflateOk && result.code != arc::InflateBufError) {
      result.outcome = Outcome::Error;
      break;
    }
    if (result.code == arc::InflateOk && !progress)
      Fail("ok without progress");
    if (result.code == arc::InflateBufError && progress)
      Fail("buffer error after progress");
    if (!progress) {
      if (given == size && stream.avail_in == 0 && stream.avail_out > 0) {
        result.outcome = Outcome::Truncated;
        break;
      }
      // Input and room were both there and nothing moved: the engine is stuck.
      if (stream.avail_in > 0 && stream.avail_out > 0 && ++idle > 2) {
        result.outcome = Outcome::Stalled;
        break;
      }
    } else {
      idle = 0;
    }
  }
  const std::size_t used = room.size() - stream.avail_out;
  result.out.insert(result.out.end(), room.begin(), room.begin() + static_cast<long>(used));
  result.total_in = stream.total_in;
  result.total_out = stream.total_out;
  result.adler = stream.adler;
  if (result.total_out != result.out.size())
    Fail("total output differs from the bytes taken out");
  if (result.total_in > size)
    Fail("total input exceeds the input");
  return result;
}

inline bool IsPrefix(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b) {
  return a.size() <= b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// Two decodings of the same input must agree, however it was cut into pieces.
inline void Compare(const Decoded &a, const Decoded &b, bool wrapped) {
  if (a.outcome == Outcome::Stalled || b.outcome == Outcome::Stalled)
    Fail("the engine stalled with input and output room");
  const bool a_capped = a.outcome == Outcome::Capped;
  const bool b_capped = b.outcome == Outcome::Capped;
  if (a_capped || b_capped) {
    // A capped decoding agrees with another capped one, or with an end at exactly the cap.
    const Decoded &other = a_capped ? b : a;
    if (other.outcome != Outcome::Capped && other.outcome != Outcome::End)
      Fail("capped in one decoding, stopped early in the other");
    if (a.out != b.out)
      Fail("capped outputs differ");
    return;
  }
  if (a.outcome != b.outcome)
    Fail("outcomes differ");
  if (a.outcome == Outcome::Error) {
    if (a.code != b.code)
      Fail("error codes differ");
    if (!IsPrefix(a.out, b.out) && !IsPrefix(b.out, a.out))
      Fail("outputs before the error differ");
    return;
  }
  if (a.out != b.out)
    Fail("outputs differ");
  if (a.outcome == Outcome::End && a.total_in != b.total_in)
    Fail("input consumed at the end differs");
  if (wrapped && a.outcome != Outcome::Truncated && a.adler != b.adler)
    Fail("check values differ");
}

} // namespace fuzz
