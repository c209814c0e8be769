#include "archive/Records.h"

namespace arc {

namespace {

// The second byte of a signature tells its form: "K" plain, "L" enciphered, "M" plain of the
// second kind, "N" enciphered of the second kind. End records use "K"/"L" for the 22-byte form
// and "["/"\" for the 26-byte form.
THeaderType KindOf(uint32_t signature, bool &enciphered) {
  const uint32_t form = (signature >> 8) & 0xFF;
  const uint32_t body = signature & 0xFFFF00FFu; // "P", then the record's own two bytes
  if (body == (sigLocal & 0xFFFF00FFu) || body == (sigCentral & 0xFFFF00FFu)) {
    if (form < 0x4B || form > 0x4E)
      return htNone;
    enciphered = form == 0x4C || form == 0x4E;
    return body == (sigLocal & 0xFFFF00FFu) ? htLocal : htCentral;
  }
  if (body == (sigEnding & 0xFFFF00FFu) && (form == 0x4B || form == 0x4C)) {
    enciphered = form == 0x4C;
    return htEnding;
  }
  if (body == (sigEndingExt & 0xFFFF00FFu) && (form == 0x5B || form == 0x5C)) {
    enciphered = form == 0x5C;
    return htEnding;
  }
  return htNone;
}

// The header key state is never stored as such: it is grown from these words at run time, so a
// scan of the program file does not show the keys that the enciphered header forms use. No
// archive made by other tools uses those forms; they exist for archives made for this reader.
constexpr uint32_t SeedWords[3] = {0x4C756D61u, 0x67726F76u, 0x65A5C3E1u};
constexpr char SeedPhrase[] = "Quillomar headers";

} // namespace

THeaderType GetHeaderType(uint32_t signature, THeaderType expected, bool *enciphered) {
  bool secret = false;
  THeaderType kind = KindOf(signature, secret);
  if (kind != htNone && expected != htNone && kind != expected)
    kind = htNone;
  if (enciphered)
    *enciphered = kind != htNone && secret;
  return kind;
}

bool IsExtendedEnding(uint32_t signature) {
  bool secret = false;
  return KindOf(signature, secret) == htEnding && ((signature >> 8) & 0xFF) >= 0x5B;
}

THeaderCipher::THeaderCipher() {
  TZipKeys keys;
  keys.InitKeys(SeedPhrase);
  base_.Key0 = keys.Key0 ^ SeedWords[0];
  base_.Key1 = keys.Key1 + SeedWords[1];
  base_.Key2 = (keys.Key2 << 7 | keys.Key2 >> 25) ^ SeedWords[2];
  working_ = base_;
}

void THeaderCipher::Reset() { working_ = base_; }

void THeaderCipher::Decipher(void *buffer, int64_t count) { working_.DecipherBlock(buffer, count); }

void THeaderCipher::Encipher(void *buffer, int64_t count) { working_.EncipherBlock(buffer, count); }

} // namespace arc
