// Fuzz target of an encrypted entry's path: the header check of the traditional zip cipher, then
// deciphering and inflating the rest. Input: [mode][password length][password][flags:2][crc:4]
// [dos time:4][12-byte header][enciphered raw stream], numbers little-endian.
//   mode bit 0: Deflate64 (else deflate); bits 1-7: seed of the deciphering piece sizes.
// Any result is fine; the target aborts on a crash, a leak, a deciphering that differs when done
// in pieces, or two runs of the same input that differ (all process-wide state is reset first).
#include "FuzzDecode.h"
#include "archive/Cipher.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Entry {
  bool deflate64 = false;
  std::uint32_t seed = 0;
  std::string password;
  std::uint16_t flags = 0;
  std::uint32_t crc = 0;
  std::uint32_t dos_time = 0;
  std::uint8_t header[12] = {};
  std::vector<std::uint8_t> data;
};

std::uint32_t Little(const std::uint8_t *p, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | p[i];
  return value;
}

bool Parse(const std::uint8_t *data, std::size_t size, Entry &entry) {
  if (size < 2)
    return false;
  entry.deflate64 = (data[0] & 1) != 0;
  entry.seed = data[0] >> 1;
  const std::size_t length = std::min<std::size_t>(data[1], size - 2);
  entry.password.assign(reinterpret_cast<const char *>(data + 2), length);
  data += 2 + length;
  size -= 2 + length;
  if (size < 22)
    return false;
  entry.flags = static_cast<std::uint16_t>(Little(data, 2));
  entry.crc = Little(data + 2, 4);
  entry.dos_time = Little(data + 6, 4);
  std::memcpy(entry.header, data + 10, 12);
  entry.data.assign(data + 22, data + size);
  return true;
}

struct Result {
  bool accepted = false;
  std::uint8_t plain_header[12] = {};
  fuzz::Decoded decoded;
};

Result Run(const Entry &entry) {
  arc::ResetInflateGlobals();
  arc::ZipKeys = arc::TZipKeys{};

  Result result;
  std::uint8_t work[24] = {};
  std::memcpy(work + 12, entry.header, 12);
  if (entry.password.empty()) {
    const arc::TZipKeys before = arc::ZipKeys;
    if (arc::CheckHeader(work, entry.flags, entry.crc, entry.password, entry.dos_time))
      fuzz::Fail("an empty password passed the header check");
    if (arc::ZipKeys.Key0 != before.Key0 || arc::ZipKeys.Key1 != before.Key1 ||
        arc::ZipKeys.Key2 != before.Key2)
      fuzz::Fail("an empty password changed the keys");
    return result;
  }
  result.accepted = arc::CheckHeader(work, entry.flags, entry.crc, entry.password, entry.dos_time);
  if (std::memcmp(work + 12, entry.header, 12) != 0)
    fuzz::Fail("the header check changed the bytes read from the archive");
  std::memcpy(result.plain_header, work, 12);
  if (!result.accepted)
    return result;

  // Decipher in pieces with the process-wide keys, and whole with a copy of them.
  std::vector<std::uint8_t> plain = entry.data;
  std::vector<std::uint8_t> whole = entry.data;
  arc::TZipKeys copy = arc::ZipKeys;
  copy.DecipherBlock(whole.data(), static_cast<std::int64_t>(whole.size()));
  fuzz::Pieces pieces(entry.seed, 0);
  for (std::size_t done = 0; done < plain.size();) {
    const std::size_t piece = std::min(pieces.Next(), plain.size() - done);
    arc::DecipherBlock(plain.data() + done, static_cast<std::int64_t>(piece));
    done += piece;
  }
  if (plain != whole)
    fuzz::Fail("deciphering in pieces differs from deciphering whole");

  arc::SetDeflate64(entry.deflate64);
  arc::InflateStream stream;
  stream.encrypted = true;
  if (arc::InflateInit(&stream, -15) != arc::InflateOk)
    fuzz::Fail("init failed");
  result.decoded = fuzz::Decode(stream, plain.data(), plain.size(), fuzz::Pieces(entry.seed, 0),
                                fuzz::Pieces(entry.seed + 1, 0));
  if (arc::InflateEnd(&stream) != arc::InflateOk)
    fuzz::Fail("end failed");
  if (result.decoded.outcome == fuzz::Outcome::Stalled)
    fuzz::Fail("the engine stalled with input and output room");
  return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  Entry entry;
  if (!Parse(data, size, entry))
    return 0;
  const Result first = Run(entry);
  const Result second = Run(entry);
  if (first.accepted != second.accepted ||
      std::memcmp(first.plain_header, second.plain_header, 12) != 0)
    fuzz::Fail("two header checks of the same input differ");
  const fuzz::Decoded &a = first.decoded;
  const fuzz::Decoded &b = second.decoded;
  if (a.outcome != b.outcome || a.code != b.code || a.out != b.out || a.total_in != b.total_in)
    fuzz::Fail("two runs of the same input differ");
  return 0;
}
