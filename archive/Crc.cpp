#include "archive/Crc.h"

namespace arc {

namespace {
// Tables of a reflected CRC: entry i is i shifted out bit by bit through the polynomial.
template <class T> constexpr std::array<T, 256> MakeTable(T polynomial) {
  std::array<T, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    T c = static_cast<T>(i);
    for (int bit = 0; bit < 8; ++bit)
      c = (c & 1) ? static_cast<T>((c >> 1) ^ polynomial) : static_cast<T>(c >> 1);
    table[i] = c;
  }
  return table;
}

// Eight tables for taking the CRC-32 eight bytes at a time: entry i of table k is the CRC of the
// byte i followed by k zero bytes. The result is the same as stepping byte by byte, at several
// times the speed, which matters because every extracted byte goes through it.
constexpr std::array<std::array<uint32_t, 256>, 8> MakeSliceTables() {
  std::array<std::array<uint32_t, 256>, 8> tables{};
  tables[0] = MakeTable<uint32_t>(0xEDB88320u);
  for (int k = 1; k < 8; ++k)
    for (unsigned i = 0; i < 256; ++i)
      tables[k][i] = tables[0][tables[k - 1][i] & 0xFF] ^ (tables[k - 1][i] >> 8);
  return tables;
}

constinit const std::array<std::array<uint32_t, 256>, 8> Slices = MakeSliceTables();
} // namespace

constinit const std::array<uint32_t, 256> Crc32Table = MakeTable<uint32_t>(0xEDB88320u);
constinit const std::array<uint16_t, 256> Crc16Table = MakeTable<uint16_t>(0xA001u);

uint32_t Crc16Value = 0;
uint32_t Crc32Value = 0;

void UpdateCrc16(const void *buffer, int64_t count, uint32_t &crc) {
  const uint8_t *p = static_cast<const uint8_t *>(buffer);
  uint32_t c = crc;
  for (int64_t i = 0; i < count; ++i)
    c = Crc16Table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  crc = c;
}

void UpdateCrc32(const void *buffer, int64_t count, uint32_t &crc) {
  const uint8_t *p = static_cast<const uint8_t *>(buffer);
  uint32_t c = crc;
  for (; count >= 8; count -= 8, p += 8) {
    // Byte by byte composition keeps this independent of the machine's byte order and alignment.
    const uint32_t low =
        c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    c = Slices[7][low & 0xFF] ^ Slices[6][(low >> 8) & 0xFF] ^ Slices[5][(low >> 16) & 0xFF] ^
        Slices[4][low >> 24] ^ Slices[3][p[4]] ^ Slices[2][p[5]] ^ Slices[1][p[6]] ^
        Slices[0][p[7]];
  }
  for (; count > 0; --count)
    c = Crc32Step(*p++, c);
  crc = c;
}

void UpdateCrc(int crcKind, const void *buffer, int64_t count) {
  if (crcKind == 16)
    UpdateCrc16(buffer, count, Crc16Value);
  else if (crcKind == 32)
    UpdateCrc32(buffer, count, Crc32Value);
}

} // namespace arc
