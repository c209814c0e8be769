#include "archive/InflateDecoder.h"

namespace arc {

// The engine's results and the decoder's share their numbers; the table keeps that visible.
constexpr bool SameResult(int engine, int decoder) { return engine == decoder; }
static_assert(SameResult(InflateOk, dcOk) && SameResult(InflateStreamEnd, dcStreamEnd) &&
              SameResult(InflateStreamError, dcStreamError) &&
              SameResult(InflateDataError, dcDataError) &&
              SameResult(InflateMemError, dcMemError) && SameResult(InflateBufError, dcBufError));

TInflateDecoder::TInflateDecoder(bool deflate64) : deflate64_(deflate64) {
  SetDeflate64(deflate64_);
  InflateInit(&stream_, -15);
}

TInflateDecoder::~TInflateDecoder() { InflateEnd(&stream_); }

int TInflateDecoder::Decode(TDecodeBuffers &buffers) {
  SetDeflate64(deflate64_);
  stream_.next_in = buffers.NextIn;
  stream_.avail_in = buffers.AvailIn;
  stream_.next_out = buffers.NextOut;
  stream_.avail_out = buffers.AvailOut;
  int result = Inflate(&stream_, 0);
  buffers.NextIn = stream_.next_in;
  buffers.AvailIn = stream_.avail_in;
  buffers.NextOut = stream_.next_out;
  buffers.AvailOut = stream_.avail_out;
  // A wrapped stream's dictionary request can't happen in raw mode; anything else unexpected
  // is bad data to the reader.
  if (result == InflateNeedDict || result == InflateVersionError)
    return dcDataError;
  return result;
}

void TInflateDecoder::Reset() {
  SetDeflate64(deflate64_);
  InflateReset(&stream_);
}

} // namespace arc
