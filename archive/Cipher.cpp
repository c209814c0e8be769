#include "archive/Cipher.h"

#include "archive/Crc.h"

namespace arc {

TZipKeys ZipKeys;

void TZipKeys::InitKeys(const std::string &password) {
  Key0 = 0x12345678u;
  Key1 = 0x23456789u;
  Key2 = 0x34567890u;
  for (char c : password)
    UpdateKeys(static_cast<uint8_t>(c));
}

void TZipKeys::UpdateKeys(uint8_t plain) {
  Key0 = Crc32Step(plain, Key0);
  Key1 = (Key1 + (Key0 & 0xFF)) * 134775813u + 1;
  Key2 = Crc32Step(static_cast<uint8_t>(Key1 >> 24), Key2);
}

uint8_t TZipKeys::KeyByte() const {
  uint32_t t = (Key2 & 0xFFFF) | 2;
  return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

uint8_t TZipKeys::DecipherByte(uint8_t cipher) {
  uint8_t plain = cipher ^ KeyByte();
  UpdateKeys(plain);
  return plain;
}

uint8_t TZipKeys::EncipherByte(uint8_t plain) {
  uint8_t k = KeyByte();
  UpdateKeys(plain);
  return plain ^ k;
}

void TZipKeys::DecipherBlock(void *buffer, int64_t count) {
  uint8_t *p = static_cast<uint8_t *>(buffer);
  for (int64_t i = 0; i < count; ++i)
    p[i] = DecipherByte(p[i]);
}

void TZipKeys::EncipherBlock(void *buffer, int64_t count) {
  uint8_t *p = static_cast<uint8_t *>(buffer);
  for (int64_t i = 0; i < count; ++i)
    p[i] = EncipherByte(p[i]);
}

bool TZipKeys::CheckHeader(uint8_t work[24], uint16_t flags, uint32_t crc,
                           const std::string &password, uint32_t dosDateTime) {
  if (password.empty())
    return false;
  InitKeys(password);
  for (int i = 0; i < 12; ++i)
    work[i] = DecipherByte(work[12 + i]);
  uint8_t expected = (flags & 0x0008) ? static_cast<uint8_t>((dosDateTime >> 8) & 0xFF)
                                      : static_cast<uint8_t>(crc >> 24);
  return work[11] == expected;
}

} // namespace arc
