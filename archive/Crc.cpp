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
  for (int64_t i = 0; i < count; ++i)
    c = Crc32Step(p[i], c);
  crc = c;
}

void UpdateCrc(int crcKind, const void *buffer, int64_t count) {
  if (crcKind == 16)
    UpdateCrc16(buffer, count, Crc16Value);
  else if (crcKind == 32)
    UpdateCrc32(buffer, count, Crc32Value);
}

} // namespace arc
