#include "archive/Streams.h"
#include "ZipFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace arc;
using namespace ziptest;

namespace {

// A stream over bytes in memory, counting its reads.
class MemStream : public TStream32 {
public:
  explicit MemStream(Bytes data = {}) : Data(std::move(data)) {}
  int32_t Read(void *buffer, int32_t count) override {
    int64_t n = std::clamp<int64_t>(static_cast<int64_t>(Data.size()) - pos_, 0, count);
    Reads += n > 0;
    if (n > 0)
      std::memcpy(buffer, Data.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void *buffer, int32_t count) override {
    const uint8_t *p = static_cast<const uint8_t *>(buffer);
    Data.resize(std::max<size_t>(Data.size(), static_cast<size_t>(pos_ + count)));
    std::copy(p, p + count, Data.begin() + pos_);
    pos_ += count;
    return count;
  }
  int64_t Seek(int64_t offset, int origin) override {
    pos_ = (origin == soFromBeginning ? 0
            : origin == soFromCurrent ? pos_
                                      : static_cast<int64_t>(Data.size())) +
           offset;
    return pos_;
  }
  Bytes Data;
  int Reads = 0; // reads that gave bytes

private:
  int64_t pos_ = 0;
};

// A decoder of pairs (count, byte), each giving count copies of byte; the pair (0, 0) ends the
// stream. It keeps its place when the input or the output runs out mid-pair.
class RunLengthDecoder : public TDecoder {
public:
  // Like an inflate engine: dcBufError only when no progress at all was possible.
  int Decode(TDecodeBuffers &b) override {
    const uint32_t inBefore = b.AvailIn, outBefore = b.AvailOut;
    for (;;) {
      if (ended_)
        return dcStreamEnd;
      while (left_ > 0 && b.AvailOut > 0) {
        *b.NextOut++ = value_;
        --b.AvailOut;
        --left_;
      }
      if (left_ > 0)
        return dcOk;
      if (b.AvailIn == 0)
        return b.AvailIn != inBefore || b.AvailOut != outBefore ? dcOk : dcBufError;
      uint8_t byte = *b.NextIn++;
      --b.AvailIn;
      if (!haveCount_) {
        count_ = byte;
        haveCount_ = true;
      } else {
        haveCount_ = false;
        ended_ = count_ == 0;
        left_ = count_;
        value_ = byte;
      }
      if (b.AvailOut == 0 && !ended_)
        return dcOk;
    }
  }
  void Reset() override { *this = RunLengthDecoder(); }

private:
  bool haveCount_ = false, ended_ = false;
  uint8_t count_ = 0, value_ = 0;
  int left_ = 0;
};

// Runs of 1..200 copies, enough pairs to need several 64 KB input buffers, then the end pair.
Bytes Encode(const Bytes &plain) {
  Bytes out;
  for (size_t at = 0; at < plain.size();) {
    size_t run = 1;
    while (at + run < plain.size() && run < 200 && plain[at + run] == plain[at])
      ++run;
    out.push_back(static_cast<uint8_t>(run));
    out.push_back(plain[at]);
    at += run;
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

Bytes Plain(size_t size) {
  Bytes data = SampleData(size, 11);
  for (size_t i = 0; i + 5 < size; i += 97)
    std::fill_n(data.begin() + static_cast<long>(i), 5, 'r');
  return data;
}

std::unique_ptr<TDecompressStream> Decompress(TStream32 &source) {
  return std::make_unique<TDecompressStream>(&source, std::make_unique<RunLengthDecoder>());
}

Bytes ReadSome(TStream32 &s, int32_t count) {
  Bytes out(static_cast<size_t>(count));
  int32_t n = s.Read(out.data(), count);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

} // namespace

TEST(ArchiveStreams, DecodesAcrossInputBuffersAndStopsAtTheEnd) {
  const Bytes plain = Plain(300000);
  Bytes packed = Encode(plain);
  ASSERT_GT(packed.size(), 2u * 65536) << "the input must span several buffers";
  const Bytes trailer = {'P', 'K', 7, 8};
  packed = Concat(std::move(packed), trailer);
  MemStream source(Bytes(10, 0xEE));
  source.Data = Concat(std::move(source.Data), packed);
  source.SetPosition(10);
  {
    auto s = Decompress(source);
    Bytes got = ReadSome(*s, 1000);
    Bytes rest = ReadSome(*s, static_cast<int32_t>(plain.size())); // asks for 1000 too many
    got = Concat(std::move(got), rest);
    EXPECT_EQ(got, plain) << "only the bytes really produced, nothing invented";
    EXPECT_EQ(s->Read(rest.data(), 10), 0) << "after the end nothing more";
    EXPECT_EQ(s->LastResult(), dcStreamEnd);
    EXPECT_EQ(s->TotalOut(), static_cast<int64_t>(plain.size()));
  }
  EXPECT_EQ(source.GetPosition(), static_cast<int64_t>(10 + packed.size() - trailer.size()))
      << "the source stands right after the consumed data";
}

TEST(ArchiveStreams, TruncatedInputGivesWhatWasDecodedThenBufferError) {
  const Bytes plain = Plain(5000);
  Bytes packed = Encode(plain);
  packed.resize(packed.size() / 2);
  MemStream source(packed);
  auto s = Decompress(source);
  Bytes buffer(plain.size());
  int32_t n = s->Read(buffer.data(), static_cast<int32_t>(buffer.size()));
  ASSERT_GT(n, 0);
  ASSERT_LT(n, static_cast<int32_t>(plain.size()));
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + n, plain.begin()));
  EXPECT_EQ(s->Read(buffer.data(), 100), dcBufError);
}

TEST(ArchiveStreams, ReadersTakeTurnsOnOneSource) {
  const Bytes a = Plain(100000), b = SampleData(90000, 5);
  Bytes packedA = Encode(a), packedB = Encode(b);
  MemStream source(packedA);
  source.Data = Concat(std::move(source.Data), packedB);
  auto first = Decompress(source);
  source.SetPosition(static_cast<int64_t>(packedA.size()));
  auto second = Decompress(source);
  Bytes gotA, gotB;
  for (int i = 0; i < 200; ++i) {
    Bytes x = ReadSome(*first, 777), y = ReadSome(*second, 555);
    source.SetPosition(3); // a header reader moves the shared source in between
    gotA = Concat(std::move(gotA), x);
    gotB = Concat(std::move(gotB), y);
  }
  EXPECT_EQ(gotA, a);
  EXPECT_EQ(gotB, b);
}

TEST(ArchiveStreams, SeekRestartsSkipsAndIgnoresOtherMoves) {
  const Bytes plain = Plain(20000);
  MemStream source(Bytes(4, 0));
  Bytes packed = Encode(plain);
  source.Data = Concat(std::move(source.Data), packed);
  source.SetPosition(4);
  auto s = Decompress(source);
  EXPECT_EQ(s->Seek(5000, soFromBeginning), 5000);
  EXPECT_EQ(s->Seek(1000, soFromCurrent), 6000);
  EXPECT_EQ(s->Seek(10, soFromBeginning), 6000) << "backwards: no change";
  EXPECT_EQ(s->Seek(-10, soFromEnd), 6000);
  EXPECT_EQ(ReadSome(*s, 10), Bytes(plain.begin() + 6000, plain.begin() + 6010));
  EXPECT_EQ(s->Seek(0, soFromBeginning), 0);
  EXPECT_EQ(ReadSome(*s, 20000), plain) << "restarted where the compressed data begins";
  EXPECT_EQ(s->Write(plain.data(), 1), -1);
}

TEST(ArchiveStreams, DeciphersInputWithTheGivenKeys) {
  const Bytes plain = Plain(300000);
  Bytes packed = Encode(plain);
  TZipKeys keys;
  keys.InitKeys("pw");
  keys.EncipherBlock(packed.data(), static_cast<int64_t>(packed.size()));
  MemStream source(packed);
  auto s = Decompress(source);
  keys.InitKeys("pw");
  s->Decipher = &keys;
  int notified = 0;
  s->OnNotify = [&](TStream32 *sender) { notified += sender == s.get(); };
  EXPECT_EQ(ReadSome(*s, 400000), plain);
  EXPECT_GT(source.Reads, 1);
  EXPECT_EQ(notified, source.Reads) << "one notification per input read that gave bytes";
  s->Seek(0, soFromBeginning);
  EXPECT_EQ(ReadSome(*s, 100), Bytes(plain.begin(), plain.begin() + 100))
      << "a restart deciphers from the header's keys again";
}

TEST(ArchiveStreams, CopyFromStreamWholeSourceAndCancel) {
  MemStream source(SampleData(200000, 2)), dest;
  source.SetPosition(5000);
  int pumps = 0;
  dest.ProcessMessages = [&] { ++pumps; };
  EXPECT_EQ(dest.CopyFromStream(source, 0), 200000);
  EXPECT_EQ(dest.Data, source.Data) << "count 0 copies everything from the start";
  EXPECT_EQ(pumps, 4) << "blocks of 61440 bytes";

  MemStream partial;
  bool cancel = false;
  partial.CancelFlag = &cancel;
  partial.ProcessMessages = [&] { cancel = partial.Data.size() > 0; };
  source.SetPosition(0);
  EXPECT_EQ(partial.CopyFromStream(source, 150000), 150000) << "the count asked for";
  EXPECT_EQ(partial.Data.size(), 61440u);

  MemStream shortSource(Bytes(10));
  EXPECT_THROW(dest.CopyFromStream(shortSource, 20), EReadError);
}

TEST(ArchiveStreams, FileStreamsWithLargePositions) {
  ScratchDir dir;
  const std::string name = dir / "big.bin";
  {
    TFileStream32 f(name, fmCreate);
    ASSERT_NE(f.Handle, InvalidFileHandle);
    const int64_t far = (int64_t{5} << 30) + 3;
    EXPECT_EQ(f.Seek(far, soFromBeginning), far);
    f.WriteBuffer("xyz", 3);
    EXPECT_EQ(f.GetSize(), far + 3);
    EXPECT_EQ(f.Seek(-3, soFromEnd), far);
    char back[3];
    f.ReadBuffer(back, 3);
    EXPECT_EQ(std::string(back, 3), "xyz");
    f.SetSize(10);
    EXPECT_EQ(f.GetSize(), 10);
  }
  TFileStream32 again(name, fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(again.GetSize(), 10);
  char byte;
  EXPECT_EQ(again.Write("a", 1), 0) << "opened for reading only";

  TFileStream32 missing(dir / "missing.bin", fmOpenRead);
  EXPECT_EQ(missing.Handle, InvalidFileHandle);
  EXPECT_EQ(missing.Read(&byte, 1), 0);
  EXPECT_THROW(missing.ReadBuffer(&byte, 1), EReadError);
}

#ifndef _WIN32
TEST(ArchiveStreams, FullDiskIsReportedAsSuch) {
  TFileStream32 full("/dev/full", fmOpenWrite);
  ASSERT_NE(full.Handle, InvalidFileHandle);
  try {
    full.WriteBuffer("abc", 3);
    FAIL() << "no exception";
  } catch (const EWriteError &e) {
    EXPECT_EQ(e.Message(), texts::DiskFull);
  }
}
#endif
