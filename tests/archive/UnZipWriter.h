// A small zip writer for the extraction tests: stored entries and deflate data made of stored
// blocks (both real zip data any tool reads), traditional encryption, and the knobs that make
// damaged or hostile archives. It runs the same natively and under Wine, where the Linux tools
// are out of reach.
#pragma once

#include "ZipFixtures.h"
#include "archive/Cipher.h"
#include "archive/Crc.h"

#include <optional>
#include <string>
#include <vector>

namespace ziptest {

inline uint32_t Crc32Of(const Bytes &data) {
  uint32_t crc = 0xFFFFFFFFu;
  arc::UpdateCrc32(data.data(), int64_t(data.size()), crc);
  return crc ^ 0xFFFFFFFFu;
}

// Appends byte by byte: the cross compiler's overflow checks misread bulk vector copies here.
inline void Append(Bytes &to, const Bytes &from) {
  to.reserve(to.size() + from.size());
  for (uint8_t b : from)
    to.push_back(b);
}

inline Bytes ToBytes(const std::string &text) { return Bytes(text.begin(), text.end()); }

// Raw deflate data of stored blocks: Data exactly, in blocks of at most 65535 bytes.
inline Bytes DeflateStored(const Bytes &data) {
  Bytes out;
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(data.size() - at, 65535);
    const bool last = at + n == data.size();
    out.push_back(last ? 1 : 0);
    out.push_back(uint8_t(n));
    out.push_back(uint8_t(n >> 8));
    out.push_back(uint8_t(~n));
    out.push_back(uint8_t(~n >> 8));
    for (size_t i = at; i < at + n; ++i)
      out.push_back(data[i]);
    at += n;
  } while (at < data.size());
  return out;
}

struct ZipItem {
  std::string Name;
  Bytes Data;                       // the entry's content
  uint16_t Method = 0;              // 0 stored, 8 deflated (stored blocks), else raw = Data
  uint32_t Attributes = 0;          // external attributes
  uint32_t DosDate = 0x5A8C6000;    // 2025-04-12 12:00:00
  std::string Password;             // non-empty: traditionally encrypted
  std::optional<uint32_t> Crc;      // overrides the true CRC (both headers)
  std::optional<uint32_t> LocalCrc; // overrides the local header's CRC only
  std::optional<uint32_t> Declared; // overrides the uncompressed size (both headers)
  std::optional<Bytes> Packed;      // overrides the compressed data (before encryption)
  bool Descriptor = false;          // flag bit 3, sizes 0 in the local header
  uint16_t Disk = 0;                // the volume (0 first) the entry starts on
  bool Elsewhere = false;           // its local header and data lie on another volume
};

struct ZipOptions {
  bool CentralDirectory = true;
  Bytes Prefix;          // what comes before the first record (a volume's leading data)
  uint16_t ThisDisk = 0; // the end record's volume, which also holds the central directory
};

inline ZipOptions WithCentral(bool central) {
  ZipOptions options;
  options.CentralDirectory = central;
  return options;
}

inline void Put16(Bytes &b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes &b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// The fields a local header and its central header share.
struct ZipHeaderFields {
  std::string Name;
  uint16_t Flags = 0, Method = 0;
  uint32_t DosDate = 0x5A8C6000, Crc = 0, Packed = 0, Size = 0;
};

// From the flags to the extra field's length (none), in the order both headers have them.
inline void PutSharedFields(Bytes &b, const ZipHeaderFields &f) {
  Put16(b, f.Flags);
  Put16(b, f.Method);
  Put32(b, f.DosDate);
  Put32(b, f.Crc);
  Put32(b, f.Packed);
  Put32(b, f.Size);
  Put16(b, uint32_t(f.Name.size()));
  Put16(b, 0);
}

inline void PutLocalHeader(Bytes &b, const ZipHeaderFields &f) {
  Put32(b, 0x04034B50);
  Put16(b, 20);
  PutSharedFields(b, f);
  Append(b, ToBytes(f.Name));
}

inline void PutCentralHeader(Bytes &b, const ZipHeaderFields &f, uint32_t offset, uint16_t disk = 0,
                             uint32_t attributes = 0) {
  Put32(b, 0x02014B50);
  Put16(b, 20);
  Put16(b, 20);
  PutSharedFields(b, f);
  Put16(b, 0); // comment length
  Put16(b, disk);
  Put16(b, 0);
  Put32(b, attributes);
  Put32(b, offset);
  Append(b, ToBytes(f.Name));
}

// The end record of a directory of Entries records, Size bytes at Offset, on volume Disk.
inline void PutEndRecord(Bytes &b, uint16_t entries, uint32_t size, uint32_t offset,
                         uint16_t disk = 0) {
  Put32(b, 0x06054B50);
  Put16(b, disk);
  Put16(b, disk);
  Put16(b, entries);
  Put16(b, entries);
  Put32(b, size);
  Put32(b, offset);
  Put16(b, 0);
}

inline Bytes MakeZip(const std::vector<ZipItem> &items, ZipOptions options = {}) {
  Bytes zip = options.Prefix, central;
  for (const ZipItem &item : items) {
    const uint32_t crc = item.Crc.value_or(Crc32Of(item.Data));
    Bytes packed = item.Packed        ? *item.Packed
                   : item.Method == 8 ? DeflateStored(item.Data)
                                      : item.Data;
    uint16_t flags = item.Descriptor ? 8 : 0;
    if (!item.Password.empty()) {
      flags |= 1;
      arc::TZipKeys keys;
      keys.InitKeys(item.Password);
      Bytes header(12);
      for (size_t i = 0; i < 11; ++i)
        header[i] = uint8_t(0x5A + 7 * i);
      header[11] = item.Descriptor ? uint8_t(item.DosDate >> 8) : uint8_t(crc >> 24);
      keys.EncipherBlock(header.data(), 12);
      keys.EncipherBlock(packed.data(), int64_t(packed.size()));
      Append(header, packed);
      packed = header;
    }
    const uint32_t size = item.Declared.value_or(uint32_t(item.Data.size()));
    const uint32_t offset = item.Elsewhere ? 0 : uint32_t(zip.size());
    const ZipHeaderFields fields{
        item.Name, flags, item.Method, item.DosDate, crc, uint32_t(packed.size()), size};
    ZipHeaderFields localFields = fields;
    if (item.Descriptor)
      localFields.Crc = localFields.Packed = localFields.Size = 0;
    else
      localFields.Crc = item.LocalCrc.value_or(crc);
    Bytes local;
    PutLocalHeader(local, localFields);
    Append(local, packed);
    if (item.Descriptor) {
      Put32(local, 0x08074B50);
      Put32(local, crc);
      Put32(local, uint32_t(packed.size()));
      Put32(local, size);
    }
    if (!item.Elsewhere)
      Append(zip, local);
    PutCentralHeader(central, fields, offset, item.Disk, item.Attributes);
  }
  if (!options.CentralDirectory)
    return zip;
  const uint32_t centralOffset = uint32_t(zip.size());
  Append(zip, central);
  PutEndRecord(zip, uint16_t(items.size()), uint32_t(central.size()), centralOffset,
               options.ThisDisk);
  return zip;
}

} // namespace ziptest
