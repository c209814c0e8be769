// The streams the archive reader reads and writes through: a stream base with 64-bit positions,
// file streams over the thin file layer, and a read-only stream that decodes compressed data
// from another stream through a decoder.
#pragma once

#include "archive/Cipher.h"
#include "archive/FileLayer.h"
#include "toolkit/core/SysUtils.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace arc {

using tk::EStreamError;
using tk::Exception;
TK_EXCEPTION(EReadError, EStreamError);
TK_EXCEPTION(EWriteError, EStreamError);
TK_EXCEPTION(EInOutError, Exception);

namespace texts {
inline constexpr const char *ReadError = "Stream read error";
inline constexpr const char *WriteError = "Stream write error";
inline constexpr const char *DiskFull = "Disk full";
} // namespace texts

class TStream32;
using TStreamNotify = std::function<void(TStream32 *sender)>;

// The stream base: 64-bit position and size; ReadBuffer and WriteBuffer raise on a short
// transfer. The owner injects the message pump, the progress event and the cancel flag.
class TStream32 {
public:
  virtual ~TStream32() = default;

  virtual int32_t Read(void *buffer, int32_t count) = 0;
  virtual int32_t Write(const void *buffer, int32_t count) = 0;
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  virtual int64_t GetSize();
  virtual void SetSize(int64_t newSize);

  int64_t GetPosition() { return Seek(0, soFromCurrent); }
  void SetPosition(int64_t position) { Seek(position, soFromBeginning); }
  void ReadBuffer(void *buffer, int32_t count);
  void WriteBuffer(const void *buffer, int32_t count);

  // Copies Count bytes from Source in blocks of at most 61440 bytes, pumping messages before
  // each block and stopping when the cancel flag is set. Count 0 copies all of Source from its
  // start. Returns the count asked for (the owner reads the cancel flag to know it stopped).
  int64_t CopyFromStream(TStream32 &source, int64_t count);

  // Fires the given stream's notify event.
  virtual void Notify(TStream32 *stream);

  TStreamNotify OnProgress; // installed as the notify event during a block copy
  TStreamNotify OnNotify;
  std::function<void()> ProcessMessages; // the owner's message pump; unset: none
  const bool *CancelFlag = nullptr;      // the owner's flag; unset: never cancelled

protected:
  // The failure code behind the last short write, so WriteBuffer can say "disk full".
  virtual TFileError LastWriteError() const { return feIoError; }
};

// A stream over a file handle it does not own.
class THandleStream32 : public TStream32 {
public:
  explicit THandleStream32(TFileHandle handle) : Handle(handle) {}
  ~THandleStream32() override { Handle = InvalidFileHandle; }

  int32_t Read(void *buffer, int32_t count) override;
  int32_t Write(const void *buffer, int32_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t GetSize() override;
  // Truncates or extends the file at newSize; raises EInOutError on failure.
  void SetSize(int64_t newSize) override;

  TFileHandle Handle;

protected:
  TFileError LastWriteError() const override { return writeError_; }

private:
  TFileError writeError_ = feNone;
};

// A stream over a file it opens (mode fmCreate creates or replaces it) and closes. A failed open
// raises nothing: Handle is then InvalidFileHandle and every transfer fails.
class TFileStream32 : public THandleStream32 {
public:
  TFileStream32(const std::string &fileName, uint16_t mode);
  // Takes over a handle opened elsewhere, which it closes.
  explicit TFileStream32(TFileHandle handle) : THandleStream32(handle) {}
  ~TFileStream32() override;
};

// The decoder a decompress stream drives: it consumes from NextIn/AvailIn and produces into
// NextOut/AvailOut, advancing them, and returns one of the results below.
enum : int {
  dcOk = 0,
  dcStreamEnd = 1,
  dcStreamError = -2,
  dcDataError = -3,
  dcMemError = -4,
  dcBufError = -5, // no progress was possible (in particular: the input is exhausted)
};

struct TDecodeBuffers {
  const uint8_t *NextIn = nullptr;
  uint32_t AvailIn = 0;
  uint8_t *NextOut = nullptr;
  uint32_t AvailOut = 0;
};

struct TDecoder {
  virtual ~TDecoder() = default;
  virtual int Decode(TDecodeBuffers &buffers) = 0;
  // Starts a new stream.
  virtual void Reset() = 0;
};

// Reads another stream (not owned) through a 64 KB input buffer, remembering where its own next
// input byte lies in the source, so several readers can share one source.
class TCustomStream : public TStream32 {
public:
  explicit TCustomStream(TStream32 *source);

  TStream32 *Source;
  int64_t SavedSourcePosition;

protected:
  static constexpr int32_t InputSize = 65536;
  std::vector<uint8_t> input_;
};

// Decoded bytes of the compressed data read from Source. Read returns only what the decoder
// really produced: fewer bytes than asked at the end of the stream (0 afterwards), and a
// negative decoder result when it produced nothing.
class TDecompressStream : public TCustomStream {
public:
  TDecompressStream(TStream32 *source, std::unique_ptr<TDecoder> decoder);
  // Leaves Source right after the last byte the decoder consumed.
  ~TDecompressStream() override;

  int32_t Read(void *buffer, int32_t count) override;
  int32_t Write(const void *buffer, int32_t count) override; // -1: read-only
  // Offset 0 from the start restarts decoding; forward moves decode and discard; other moves
  // change nothing. Returns the decoded position.
  int64_t Seek(int64_t offset, int origin) override;

  // When set, the input is deciphered with these keys as it is read.
  TZipKeys *Decipher = nullptr;
  int64_t TotalOut() const { return totalOut_; }
  // The last decoder result: dcStreamEnd once the stream has ended, negative after a failure.
  int LastResult() const { return last_; }

private:
  std::unique_ptr<TDecoder> decoder_;
  int64_t startPosition_; // where the compressed data starts in Source
  TDecodeBuffers buffers_;
  TZipKeys startKeys_;
  bool startKeysSaved_ = false;
  int64_t totalOut_ = 0;
  int last_ = dcOk;
};

} // namespace arc
