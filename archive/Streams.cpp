#include "archive/Streams.h"

#include "archive/Cipher.h"

#include <algorithm>

namespace arc {

// ---- TStream32 ----------------------------------------------------------------------------

int64_t TStream32::GetSize() {
  int64_t here = Seek(0, soFromCurrent);
  int64_t size = Seek(0, soFromEnd);
  Seek(here, soFromBeginning);
  return size;
}

void TStream32::SetSize(int64_t) {}

void TStream32::ReadBuffer(void *buffer, int32_t count) {
  if (count != 0 && Read(buffer, count) != count)
    throw EReadError(texts::ReadError);
}

void TStream32::WriteBuffer(const void *buffer, int32_t count) {
  if (count != 0 && Write(buffer, count) != count)
    throw EWriteError(LastWriteError() == feDiskFull ? texts::DiskFull : texts::WriteError);
}

void TStream32::Notify(TStream32 *stream) {
  if (stream && stream->OnNotify)
    stream->OnNotify(stream);
}

int64_t TStream32::CopyFromStream(TStream32 &source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.GetSize();
  }
  const int64_t asked = count;
  if (count <= 0)
    return asked;
  const int32_t blockSize = static_cast<int32_t>(std::min<int64_t>(count, 61440));
  std::vector<uint8_t> block(static_cast<size_t>(blockSize));
  const bool never = false;
  const bool *cancel = CancelFlag ? CancelFlag : &never;
  OnNotify = OnProgress;
  while (count != 0 && !*cancel) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(blockSize, count));
    if (ProcessMessages)
      ProcessMessages();
    if (*cancel)
      break;
    source.ReadBuffer(block.data(), n);
    WriteBuffer(block.data(), n);
    count -= n;
  }
  return asked;
}

// ---- THandleStream32, TFileStream32 -------------------------------------------------------

int32_t THandleStream32::Read(void *buffer, int32_t count) {
  int32_t n = LayerRead(Handle, buffer, count);
  return n < 0 ? 0 : n;
}

int32_t THandleStream32::Write(const void *buffer, int32_t count) {
  int32_t n = LayerWrite(Handle, buffer, count);
  if (n < count)
    writeError_ = LayerLastError();
  return n < 0 ? 0 : n;
}

int64_t THandleStream32::Seek(int64_t offset, int origin) {
  return LayerSeek(Handle, offset, origin);
}

int64_t THandleStream32::GetSize() { return LayerSize(Handle); }

void THandleStream32::SetSize(int64_t newSize) {
  if (LayerSeek(Handle, newSize, soFromBeginning) < 0 || !LayerTruncate(Handle))
    throw EInOutError("I/O error " + tk::IntToStr(LayerLastError()));
}

TFileStream32::TFileStream32(const std::string &fileName, uint16_t mode)
    : THandleStream32(LayerOpen(fileName, mode)) {}

TFileStream32::~TFileStream32() {
  if (Handle != InvalidFileHandle && LayerClose(Handle))
    Handle = InvalidFileHandle;
}

// ---- TCustomStream, TDecompressStream -----------------------------------------------------

TCustomStream::TCustomStream(TStream32 *source)
    : Source(source), SavedSourcePosition(source->GetPosition()),
      input_(static_cast<size_t>(InputSize)) {}

TDecompressStream::TDecompressStream(TStream32 *source, std::unique_ptr<TDecoder> decoder)
    : TCustomStream(source), decoder_(std::move(decoder)), startPosition_(SavedSourcePosition) {
  buffers_.NextIn = input_.data();
}

TDecompressStream::~TDecompressStream() {
  Source->SetPosition(SavedSourcePosition - buffers_.AvailIn);
}

int32_t TDecompressStream::Write(const void *, int32_t) { return -1; }

int32_t TDecompressStream::Read(void *buffer, int32_t count) {
  if (count <= 0 || last_ == dcStreamEnd)
    return 0;
  if (last_ < 0 && last_ != dcBufError)
    return last_;
  if (Source->GetPosition() != SavedSourcePosition)
    Source->SetPosition(SavedSourcePosition);
  buffers_.NextOut = static_cast<uint8_t *>(buffer);
  buffers_.AvailOut = static_cast<uint32_t>(count);
  last_ = dcOk;
  while (buffers_.AvailOut > 0) {
    if (buffers_.AvailIn == 0) {
      int32_t n = std::max(Source->Read(input_.data(), InputSize), 0);
      buffers_.NextIn = input_.data();
      buffers_.AvailIn = static_cast<uint32_t>(n);
      SavedSourcePosition = Source->GetPosition();
      if (n > 0) {
        if (Decipher) {
          // The keys as they stood before the first input byte, for a restart from the start.
          if (!startKeysSaved_) {
            startKeys_ = *Decipher;
            startKeysSaved_ = true;
          }
          Decipher->DecipherBlock(input_.data(), n);
        }
        Notify(this);
      }
    }
    const uint32_t inBefore = buffers_.AvailIn, outBefore = buffers_.AvailOut;
    int r = decoder_->Decode(buffers_);
    if (r == dcOk && buffers_.AvailIn == inBefore && buffers_.AvailOut == outBefore)
      r = dcBufError; // a decoder that can make no progress must not spin here
    if (r != dcOk) {
      last_ = r;
      break;
    }
  }
  const int32_t produced = count - static_cast<int32_t>(buffers_.AvailOut);
  totalOut_ += produced;
  if (produced > 0)
    return produced;
  return last_ < 0 ? last_ : 0;
}

int64_t TDecompressStream::Seek(int64_t offset, int origin) {
  if (origin == soFromBeginning && offset == 0) {
    decoder_->Reset();
    buffers_ = TDecodeBuffers{};
    buffers_.NextIn = input_.data();
    SavedSourcePosition = startPosition_;
    Source->SetPosition(startPosition_);
    if (Decipher && startKeysSaved_)
      *Decipher = startKeys_;
    totalOut_ = 0;
    last_ = dcOk;
    return 0;
  }
  int64_t distance = -1;
  if (origin == soFromCurrent)
    distance = offset;
  else if (origin == soFromBeginning && offset > totalOut_)
    distance = offset - totalOut_;
  uint8_t scrap[4096];
  while (distance > 0) {
    int32_t n = Read(scrap, static_cast<int32_t>(std::min<int64_t>(distance, sizeof scrap)));
    if (n <= 0)
      break;
    distance -= n;
  }
  return totalOut_;
}

} // namespace arc
