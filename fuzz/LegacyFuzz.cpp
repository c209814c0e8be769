// Fuzz target of the legacy decoders. Input: [mode][stream].
//   mode % 6 + 1: the method (1 shrunk, 2-5 reduced, 6 imploded); (mode / 6) % 4: general-purpose
//   bits 1 and 2 (8 KB window, literal tree) for implode.
// The stream is decoded twice, once with the read callback handing out all it is asked for and
// once in pieces of a few bytes; both must give the same bytes and the same error, the output
// must stay within the declared size, and only the decoders' own error codes may be raised.
#include "archive/Legacy.h"
#include "archive/Masks.h"
#include "archive/Messages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int64_t kSizeCap = 1 << 20;

[[noreturn]] void Fail(const char *what) {
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

struct Result {
  std::vector<uint8_t> Out;
  int64_t Returned = -1;
  int32_t Raised = 0;
  int Reports = 0;
};

Result Run(const uint8_t *data, size_t size, uint16_t method, uint16_t flags, size_t piece) {
  Result result;
  size_t at = 0;
  arc::TLegacyIo io;
  io.Read = [&](uint8_t *buffer, int32_t count) {
    if (count <= 0)
      Fail("read asked for nothing");
    const size_t n = std::min({static_cast<size_t>(count), size - at, piece});
    std::copy_n(data + at, n, buffer);
    at += n;
    return static_cast<int32_t>(n);
  };
  io.Write = [&](const uint8_t *buffer, int32_t count) {
    if (count <= 0 || count > 32768)
      Fail("write of a bad count");
    result.Out.insert(result.Out.end(), buffer, buffer + count);
    return count;
  };
  io.Raise = [&](int32_t code) {
    result.Raised = code;
    throw arc::E_RAISE(std::to_string(code));
  };
  io.Report = [&](int32_t code) {
    if (code != arc::ecAmbiguousTree)
      Fail("unexpected report");
    ++result.Reports;
  };
  try {
    result.Returned = arc::DecodeLegacy(io, method, flags, static_cast<int64_t>(size), kSizeCap);
  } catch (const arc::E_RAISE &) {
    if (result.Raised != arc::ecBadBlock && result.Raised != arc::ecAmbiguousTree &&
        result.Raised != arc::ecStackOverflow)
      Fail("unexpected error code");
  }
  if (static_cast<int64_t>(result.Out.size()) > kSizeCap)
    Fail("output beyond the declared size");
  if (result.Returned >= 0 && result.Returned != static_cast<int64_t>(result.Out.size()))
    Fail("returned count differs from the bytes written");
  if (at > size)
    Fail("read past the input");
  return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1)
    return 0;
  const uint16_t method = static_cast<uint16_t>(data[0] % 6 + 1);
  const uint16_t flags = static_cast<uint16_t>((data[0] / 6) % 4 * 2);
  ++data;
  --size;
  const Result whole = Run(data, size, method, flags, SIZE_MAX);
  const Result pieces = Run(data, size, method, flags, 1 + size % 7);
  if (whole.Out != pieces.Out)
    Fail("outputs differ with the input in pieces");
  if (whole.Raised != pieces.Raised || whole.Reports != pieces.Reports)
    Fail("errors differ with the input in pieces");
  return 0;
}
