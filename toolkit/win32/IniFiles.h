// Settings files in the classic ".ini" form, read and written through the system's
// private-profile functions (so the system's own parsing and caching rules apply).
#pragma once

#include <string>

#include "toolkit/core/Classes.h"

namespace tk {

class TIniFile {
public:
  // A name without a folder means the Windows folder, as the system resolves it.
  explicit TIniFile(const std::string &fileName) : fileName_(fileName) {}
  virtual ~TIniFile() = default;

  const std::string &FileName() const { return fileName_; }

  // Values are read into 2048 bytes: up to 2047 characters come back whole.
  std::string ReadString(const std::string &section, const std::string &key,
                         const std::string &fallback) const;
  // Raises EIniFileException when the system refuses the write.
  void WriteString(const std::string &section, const std::string &key, const std::string &value);
  // Decimal, "$" or "0x" hexadecimal; anything else (or nothing) gives the fallback.
  int ReadInteger(const std::string &section, const std::string &key, int fallback) const;
  void WriteInteger(const std::string &section, const std::string &key, int value);
  // Any non-zero number is true; written as 1 or 0.
  bool ReadBool(const std::string &section, const std::string &key, bool fallback) const;
  void WriteBool(const std::string &section, const std::string &key, bool value);

  // Each fills the list afresh.
  void ReadSection(const std::string &section, TStringList &keys) const;
  void ReadSections(TStringList &sections) const;
  void ReadSectionValues(const std::string &section, TStringList &lines) const; // "key=value"

  // A section with no keys counts as missing.
  bool SectionExists(const std::string &section) const;
  bool ValueExists(const std::string &section, const std::string &key) const;
  void EraseSection(const std::string &section); // raises like WriteString
  void DeleteKey(const std::string &section, const std::string &key);
  // Writes the system's cached copy of the file to disk.
  void UpdateFile();

private:
  std::string fileName_;
};

} // namespace tk
