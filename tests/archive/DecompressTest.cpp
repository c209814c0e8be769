// Entries made by real tools, read back through the decompress stream and the inflate engine,
// deciphered first where they are encrypted.
#include "ZipFixtures.h"
#include "archive/Cipher.h"
#include "archive/InflateDecoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace arc;
using namespace ziptest;

namespace {

// Reads a whole entry's data (its raw bytes written to a file) through a decompress stream, in
// reads of `piece` bytes.
Bytes Decompress(const std::string &file, bool deflate64, TZipKeys *keys, int32_t piece) {
  TFileStream32 source(file, fmOpenRead);
  EXPECT_NE(source.Handle, InvalidFileHandle) << file;
  TDecompressStream stream(&source, std::make_unique<TInflateDecoder>(deflate64));
  stream.Decipher = keys;
  Bytes out;
  std::vector<uint8_t> buffer(static_cast<size_t>(piece));
  for (;;) {
    int32_t got = stream.Read(buffer.data(), piece);
    if (got <= 0) {
      EXPECT_EQ(got, 0) << "decoder result " << stream.LastResult();
      break;
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + got);
  }
  EXPECT_EQ(stream.LastResult(), dcStreamEnd);
  return out;
}

} // namespace

TEST(ArchiveDecompress, ToolMadeEntriesReadBackWhole) {
  ScratchDir dir;
  Bytes original = SampleData(300000, 11);
  WriteAll(dir / "data.bin", original);
  struct Made {
    const char *command, *archive;
    bool deflate64;
  } made[] = {{"zip -9 z9.zip data.bin", "z9.zip", false},
              {"7zz a -tzip -mm=Deflate64 d64.zip data.bin", "d64.zip", true}};
  for (const Made &m : made) {
    if (!RunIn(dir.Path(), m.command))
      GTEST_SKIP() << "cannot run: " << m.command;
    auto entries = ReadEntries(ReadAll(dir / m.archive));
    ASSERT_EQ(entries.size(), 1u) << m.command;
    WriteAll(dir / "raw", entries[0].Data);
    for (int32_t piece : {1000, 65536, 1 << 20})
      EXPECT_EQ(Decompress(dir / "raw", m.deflate64, nullptr, piece), original)
          << m.command << " in reads of " << piece;
  }
}

TEST(ArchiveDecompress, EncryptedDeflatedEntryDeciphersAndInflates) {
  ScratchDir dir;
  Bytes original = SampleData(120000, 5);
  WriteAll(dir / "data.bin", original);
  if (!RunIn(dir.Path(), "zip -9 -P s3cret e.zip data.bin"))
    GTEST_SKIP() << "cannot run zip";
  auto entries = ReadEntries(ReadAll(dir / "e.zip"));
  ASSERT_EQ(entries.size(), 1u);
  const RawEntry &e = entries[0];
  ASSERT_EQ(e.Method, 8);
  uint8_t work[24];
  std::memcpy(work + 12, e.Data.data(), 12);
  ASSERT_TRUE(CheckHeader(work, e.Flags, e.Crc, "s3cret", e.DosDateTime));
  // The keys now stand after the header: the stream deciphers the rest as it reads.
  WriteAll(dir / "raw", Bytes(e.Data.begin() + 12, e.Data.end()));
  EXPECT_EQ(Decompress(dir / "raw", false, &ZipKeys, 4096), original);
}
