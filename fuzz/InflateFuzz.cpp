// Fuzz target of the inflate engine. Input: [mode][piece seed][stream].
//   mode bit 0: Deflate64 (else deflate); bit 1: wrapped (else raw); bits 2-4: window bits taken
//   off 15; bit 5: a fixed-code block is decoded in the other mode first, so that both modes'
//   fixed tables exist. The stream is decoded twice with one record (the second time after a
//   reset): whole, then in small pieces of input and output room with sizes drawn from the piece
//   seed; the two results must agree, or the target aborts.
#include "FuzzDecode.h"

#include <cstddef>
#include <cstdint>

namespace {

// A raw stream of one fixed-code block holding only its end code.
constexpr std::uint8_t kEmptyFixedBlock[] = {0x03, 0x00};

void DecodeInOtherMode(bool deflate64) {
  arc::SetDeflate64(!deflate64);
  arc::InflateStream stream;
  if (arc::InflateInit(&stream, -15) != arc::InflateOk)
    fuzz::Fail("init of the other mode failed");
  const fuzz::Decoded done = fuzz::Decode(stream, kEmptyFixedBlock, sizeof kEmptyFixedBlock,
                                          fuzz::Pieces(0, 2), fuzz::Pieces(0, 16));
  if (done.outcome != fuzz::Outcome::End || !done.out.empty())
    fuzz::Fail("an empty fixed block did not decode");
  arc::InflateEnd(&stream);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 2)
    return 0;
  const std::uint8_t mode = data[0];
  const bool deflate64 = (mode & 1) != 0;
  const bool wrapped = (mode & 2) != 0;
  const int bits = 15 - ((mode >> 2) & 7);
  const std::uint32_t seed = data[1];
  data += 2;
  size -= 2;

  arc::ResetInflateGlobals();
  if ((mode & 0x20) != 0)
    DecodeInOtherMode(deflate64);
  arc::SetDeflate64(deflate64);

  arc::InflateStream stream;
  const int init = arc::InflateInit(&stream, static_cast<std::int8_t>(wrapped ? bits : -bits));
  if (init != arc::InflateOk)
    fuzz::Fail("init failed with valid window bits");
  const fuzz::Decoded whole = fuzz::Decode(stream, data, size, fuzz::Pieces(0, size + 1),
                                           fuzz::Pieces(0, fuzz::kOutputCap));
  if (arc::InflateReset(&stream) != arc::InflateOk)
    fuzz::Fail("reset failed");
  if (stream.total_in != 0 || stream.total_out != 0)
    fuzz::Fail("reset left the totals");
  const fuzz::Decoded pieces =
      fuzz::Decode(stream, data, size, fuzz::Pieces(seed, 0), fuzz::Pieces(seed + 0x9e37u, 0));
  fuzz::Compare(whole, pieces, wrapped);
  if (arc::InflateEnd(&stream) != arc::InflateOk)
    fuzz::Fail("end failed");
  if (stream.state != nullptr)
    fuzz::Fail("end left the state");
  return 0;
}
