// The inflate engine as the decoder a decompress stream drives (deflated and Deflate64 entries).
#pragma once

#include "archive/Inflate.h"
#include "archive/Streams.h"

namespace arc {

class TInflateDecoder : public TDecoder {
public:
  // Raw streams, as zip entries store them. The mode switch is process-wide: the decoder sets it
  // when it starts and at every reset, so the entry in work decides it.
  explicit TInflateDecoder(bool deflate64);
  ~TInflateDecoder() override;
  TInflateDecoder(const TInflateDecoder &) = delete;
  TInflateDecoder &operator=(const TInflateDecoder &) = delete;

  int Decode(TDecodeBuffers &buffers) override;
  void Reset() override;

private:
  bool deflate64_;
  InflateStream stream_;
};

} // namespace arc
