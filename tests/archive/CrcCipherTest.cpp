#include "ZipFixtures.h"
#include "archive/Cipher.h"
#include "archive/Crc.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace arc;
using namespace ziptest;

namespace {

uint32_t ZipCrc(const Bytes &data) {
  uint32_t crc = 0xFFFFFFFF;
  UpdateCrc32(data.data(), static_cast<int64_t>(data.size()), crc);
  return ~crc;
}

const Bytes Check = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};

// Deciphers an entry's data after a successful header check: the plain data, or an empty
// vector when the password was refused.
Bytes Decipher(const RawEntry &e, const std::string &password, size_t piece = SIZE_MAX) {
  uint8_t work[24];
  std::memcpy(work + 12, e.Data.data(), 12);
  if (!CheckHeader(work, e.Flags, e.Crc, password, e.DosDateTime))
    return {};
  Bytes data(e.Data.begin() + 12, e.Data.end());
  for (size_t at = 0; at < data.size(); at += piece)
    DecipherBlock(data.data() + at, static_cast<int64_t>(std::min(piece, data.size() - at)));
  return data;
}

// Wrong passwords the header check lets through: about one in 256 by chance.
int FalseAccepts(const RawEntry &e) {
  int accepted = 0;
  for (int i = 0; i < 32; ++i) {
    uint8_t work[24];
    std::memcpy(work + 12, e.Data.data(), 12);
    accepted += CheckHeader(work, e.Flags, e.Crc, Numbered("wrong", static_cast<unsigned long>(i)),
                            e.DosDateTime);
  }
  return accepted;
}

} // namespace

TEST(ArchiveCrc, KnownCheckValues) {
  EXPECT_EQ(ZipCrc(Check), 0xCBF43926u);
  uint32_t crc16 = 0;
  UpdateCrc16(Check.data(), 9, crc16);
  EXPECT_EQ(crc16, 0xBB3Du) << "CRC-16/ARC";
  EXPECT_EQ(Crc32Table[1], 0x77073096u);
  EXPECT_EQ(Crc16Table[1], 0xC0C1u);
}

TEST(ArchiveCrc, PiecesAndAccumulatorsAgreeWithOneRun) {
  Bytes data = SampleData(5000, 1);
  uint32_t whole = 0xFFFFFFFF;
  UpdateCrc32(data.data(), 5000, whole);
  Crc32Value = 0xFFFFFFFF;
  Crc16Value = 0;
  for (size_t at = 0; at < data.size(); at += 777)
    UpdateCrc(32, data.data() + at, static_cast<int64_t>(std::min<size_t>(777, 5000 - at)));
  UpdateCrc(16, Check.data(), 9);
  UpdateCrc(8, Check.data(), 9); // not a kind: changes nothing
  EXPECT_EQ(Crc32Value, whole);
  EXPECT_EQ(Crc16Value, 0xBB3Du);
}

TEST(ArchiveCrc, EightBytesAtATimeAgreesWithByteSteps) {
  // Every length around the eight-byte steps, from every start alignment.
  const Bytes data = SampleData(64, 7);
  for (size_t start = 0; start < 8; ++start)
    for (size_t length = 0; start + length <= data.size(); ++length) {
      uint32_t bytewise = 0x12345678;
      for (size_t i = 0; i < length; ++i)
        bytewise = Crc32Step(data[start + i], bytewise);
      uint32_t sliced = 0x12345678;
      UpdateCrc32(data.data() + start, static_cast<int64_t>(length), sliced);
      ASSERT_EQ(sliced, bytewise) << "start " << start << ", length " << length;
    }
}

TEST(ArchiveCrc, MatchesTheCrcsZipStores) {
  ScratchDir dir;
  for (unsigned i = 0; i < 3; ++i)
    WriteAll(dir / Numbered("f", i), SampleData(1000 + 20000 * i, i));
  WriteAll(dir / "empty", {});
  if (!RunIn(dir.Path(), "zip -0 a.zip f0 f1 f2 empty"))
    GTEST_SKIP() << "zip cannot run here";
  auto entries = ReadEntries(ReadAll(dir / "a.zip"));
  ASSERT_EQ(entries.size(), 4u);
  for (const RawEntry &e : entries) {
    EXPECT_EQ(ZipCrc(e.Data), e.Crc) << e.Name;
    EXPECT_EQ(ZipCrc(ReadAll(dir / e.Name)), e.Crc) << e.Name;
  }
}

TEST(ArchiveCipher, CheckByteRulesAndPasswords) {
  const uint32_t crc = 0xAB000000, dosDateTime = 0x12345678; // time's high byte: 0x56
  auto header = [](const std::string &password, uint8_t check) {
    uint8_t work[24] = {};
    for (int i = 0; i < 11; ++i)
      work[12 + i] = static_cast<uint8_t>(i * 37);
    work[23] = check;
    InitKeys(password);
    EncipherBlock(work + 12, 12);
    return std::vector<uint8_t>(work, work + 24);
  };
  auto check = [&](std::vector<uint8_t> work, uint16_t flags, const std::string &password) {
    return CheckHeader(work.data(), flags, crc, password, dosDateTime);
  };
  EXPECT_TRUE(check(header("pw", 0xAB), 0, "pw"));
  EXPECT_FALSE(check(header("pw", 0xAB), 8, "pw")) << "bit 3: the time decides";
  EXPECT_TRUE(check(header("pw", 0x56), 8, "pw"));
  EXPECT_FALSE(check(header("pw", 0x56), 0, "pw"));

  auto work = header("pw", 0xAB);
  const std::vector<uint8_t> cipherHalf(work.begin() + 12, work.end());
  ASSERT_TRUE(CheckHeader(work.data(), 0, crc, "pw", dosDateTime));
  EXPECT_EQ(work[11], 0xAB) << "the plain header lands in the first half";
  EXPECT_EQ(work[1], 37);
  EXPECT_EQ(std::vector<uint8_t>(work.begin() + 12, work.end()), cipherHalf)
      << "the read header stays for the next attempt";

  auto unprotected = header("", 0xAB);
  TZipKeys before = ZipKeys;
  EXPECT_FALSE(check(unprotected, 0, ""));
  EXPECT_EQ(ZipKeys.Key0, before.Key0) << "an empty password leaves the keys alone";
  EXPECT_EQ(ZipKeys.Key2, before.Key2);

  std::string longPassword(300, 'x');
  longPassword.back() = 'y';
  TZipKeys a, b;
  a.InitKeys(longPassword);
  b.InitKeys(longPassword.substr(0, 255));
  EXPECT_NE(a.Key0, b.Key0) << "every character counts";
}

TEST(ArchiveCipher, SharedArchiveAcceptsItsPassword) {
  std::string path = SharedTestData("encryption/traditional_pw_12345678.zip");
  if (path.empty())
    GTEST_SKIP() << "the shared test archives are absent";
  auto entries = ReadEntries(ReadAll(path));
  ASSERT_EQ(entries.size(), 2u);
  for (const RawEntry &e : entries) {
    ASSERT_TRUE(e.Flags & 1) << e.Name;
    EXPECT_FALSE(Decipher(e, "12345678").empty()) << e.Name;
    EXPECT_LT(FalseAccepts(e), 4) << e.Name;
  }
}

TEST(ArchiveCipher, ToolMadeArchivesDecipher) {
  ScratchDir dir;
  Bytes original = SampleData(40000, 3);
  WriteAll(dir / "data.bin", original);
  struct Made {
    const char *command;
    bool stored;
  };
  const Made made[] = {{"zip -0 -P s3cret z0.zip data.bin", true},
                       {"zip -P s3cret z9.zip data.bin", false},
                       {"7zz a -tzip -mem=ZipCrypto -mx=0 -ps3cret s0.zip data.bin", true},
                       {"7zz a -tzip -mem=ZipCrypto -ps3cret s9.zip data.bin", false}};
  for (const Made &m : made) {
    std::string command = m.command;
    if (!RunIn(dir.Path(), command))
      GTEST_SKIP() << "cannot run: " << command;
    std::string archive = command.substr(command.find(".zip") - 2, 6);
    auto entries = ReadEntries(ReadAll(dir / archive));
    ASSERT_EQ(entries.size(), 1u) << command;
    const RawEntry &e = entries[0];
    ASSERT_TRUE(e.Flags & 1) << command;
    Bytes plain = Decipher(e, "s3cret", 1000);
    ASSERT_FALSE(plain.empty()) << command;
    EXPECT_LT(FalseAccepts(e), 4) << command;
    if (m.stored) {
      EXPECT_EQ(plain, original) << command;
      EXPECT_EQ(ZipCrc(plain), e.Crc) << command;
    }
  }
}
