// Traditional PKWARE zip encryption: three 32-bit keys driven by the password and by every
// plain byte, and a key-stream byte taken from the third key. An encrypted entry's data starts
// with a 12-byte header whose last plain byte checks the password.
#pragma once

#include <cstdint>
#include <string>

namespace arc {

class TZipKeys {
public:
  // The initial keys, then one update per password character.
  void InitKeys(const std::string &password);
  void UpdateKeys(uint8_t plain);
  uint8_t KeyByte() const;

  uint8_t DecipherByte(uint8_t cipher);
  uint8_t EncipherByte(uint8_t plain);
  void DecipherBlock(void *buffer, int64_t count);
  void EncipherBlock(void *buffer, int64_t count);

  // Tests Password against an entry's encryption header. The 12 bytes read from the archive lie
  // at work[12..23] and stay untouched; the plain header goes to work[0..11]. The check byte is
  // the high byte of the DOS time when the entry has a data descriptor (flag bit 3), else the
  // high byte of its CRC-32. An empty password fails without touching the keys. On success the
  // keys stand ready for the entry's data.
  bool CheckHeader(uint8_t work[24], uint16_t flags, uint32_t crc, const std::string &password,
                   uint32_t dosDateTime);

  uint32_t Key0 = 0, Key1 = 0, Key2 = 0;
};

// The process-wide key state: one encrypted entry is read at a time, and the header check and
// the readers of its data share these keys.
extern TZipKeys ZipKeys;

inline void InitKeys(const std::string &password) { ZipKeys.InitKeys(password); }
inline void UpdateKeys(uint8_t plain) { ZipKeys.UpdateKeys(plain); }
inline uint8_t KeyByte() { return ZipKeys.KeyByte(); }
inline void DecipherBlock(void *buffer, int64_t count) { ZipKeys.DecipherBlock(buffer, count); }
inline void EncipherBlock(void *buffer, int64_t count) { ZipKeys.EncipherBlock(buffer, count); }
inline uint8_t EncipherByte(uint8_t plain) { return ZipKeys.EncipherByte(plain); }
inline bool CheckHeader(uint8_t work[24], uint16_t flags, uint32_t crc, const std::string &password,
                        uint32_t dosDateTime) {
  return ZipKeys.CheckHeader(work, flags, crc, password, dosDateTime);
}

} // namespace arc
