// The CRCs of the archive reader: CRC-32 (reflected polynomial 0xEDB88320, the zip CRC) and
// CRC-16/ARC (reflected polynomial 0xA001). The update routines step one byte at a time and do
// no inversion: the zip CRC-32 starts from 0xFFFFFFFF and is inverted by the caller at the end.
#pragma once

#include <array>
#include <cstdint>

namespace arc {

extern const std::array<uint32_t, 256> Crc32Table;
extern const std::array<uint16_t, 256> Crc16Table;

// The process-wide accumulators that UpdateCrc feeds (one extraction runs at a time).
extern uint32_t Crc16Value;
extern uint32_t Crc32Value;

inline uint32_t Crc32Step(uint8_t byte, uint32_t crc) {
  return Crc32Table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

void UpdateCrc16(const void *buffer, int64_t count, uint32_t &crc);
void UpdateCrc32(const void *buffer, int64_t count, uint32_t &crc);
// Kind 16 feeds Crc16Value, kind 32 Crc32Value; any other kind nothing.
void UpdateCrc(int crcKind, const void *buffer, int64_t count);

} // namespace arc
