// The three oldest zip compression methods: shrink (method 1, LZW with partial clearing), reduce
// (methods 2 to 5, the follower-set expander with compression factor 1 to 4) and implode (method
// 6, Shannon-Fano coded matches in a 4 KB or 8 KB window). Portable; each entry is decoded by an
// object of its own, so the decoder keeps no process-wide state.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace arc {

// What the decoder needs from its owner.
struct TLegacyIo {
  // Reads up to Count bytes of the entry's compressed data (already deciphered); 0 at its end.
  std::function<int32_t(uint8_t *Buffer, int32_t Count)> Read;
  // Writes Count decoded bytes (the owner counts the CRC, the remaining bytes and progress);
  // returns the bytes written; fewer than Count is a failure (raise 25136).
  std::function<int32_t(const uint8_t *Buffer, int32_t Count)> Write;
  // The owner's two error forms: Raise throws E_RAISE for the code unless the run is cancelled
  // (then it returns and the decoder must stop); Report only tells.
  std::function<void(int32_t ECode)> Raise;
  std::function<void(int32_t ECode)> Report;
  const bool *CancelFlag = nullptr; // when set and true, reading ends (ReadInputByte gives -1)
};

// Decodes one entry stored with Method 1..6. Flags are the entry's general-purpose flags
// (bits 1 and 2 matter for implode). CompressedSize excludes any encryption header. Output
// stops at UncompressedSize whatever the data says. Returns the bytes written. Tables are
// allocated for the entry and freed on every way out (also when Raise throws).
int64_t DecodeLegacy(TLegacyIo &Io, uint16_t Method, uint16_t Flags, int64_t CompressedSize,
                     int64_t UncompressedSize);

// The decoder of one entry: input and output buffers, the bit reader, the sliding window and the
// three methods. DecodeLegacy is the usual way in; the class is open for the tests.
class TLegacyDecoder {
public:
  static constexpr int32_t BufferSize = 32768;
  static constexpr int32_t MaxWindow = 8192;

  TLegacyDecoder(TLegacyIo &Io, int64_t CompressedSize, int64_t UncompressedSize);

  // The next input byte, or -1 at the end of the input or when the run is cancelled.
  int ReadInputByte();
  // The next Count (0..16) bits, least significant first; -1 when the input ends before all of
  // them were taken.
  int32_t ReadBits(int Count);
  // Appends a byte to the output (nothing once the declared size is reached).
  void WriteOutputByte(uint8_t Byte);
  // WriteOutputByte, and the byte goes into the window too.
  void WriteWindowByte(uint8_t Byte);
  // Hands the buffered output to the owner; a short write raises 25136.
  void FlushOutput();

  void Unshrink();
  void Unreduce(int Factor);
  void Explode(bool BigWindow, bool LiteralTree);

  // Whether the declared uncompressed size has been produced.
  bool Full() const { return Produced >= Limit; }
  // Bytes the owner accepted so far.
  int64_t Written() const { return Accepted; }

  // Thrown when the owner's Raise returned (a cancelled run): the decoding just stops.
  struct TStop {};

private:
  // Raise, and stop when the owner let it return.
  [[noreturn]] void Fail(int32_t ECode);
  void ClearWindow(int32_t Size);

  TLegacyIo &Io;
  int64_t InputLeft; // bytes not yet fetched through Read
  int64_t Limit;     // the declared uncompressed size
  int64_t Produced;  // bytes given to WriteOutputByte and kept
  int64_t Accepted;  // bytes the owner's Write took
  bool InputEnded = false;
  std::unique_ptr<uint8_t[]> InBuf, OutBuf;
  int32_t InCount = 0, InPos = 0, OutCount = 0;
  uint32_t BitBuf = 0; // bits not yet used, lowest first
  int BitCount = 0;
  std::unique_ptr<uint8_t[]> Window;
  int32_t WindowSize = 0, WindowPos = 0;
};

} // namespace arc
