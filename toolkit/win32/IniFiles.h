// Settings files in the classic ".ini" form, read and written through the system's
// private-profile functions (so the system's own parsing and caching rules apply).
#pragma once

#include <cstddef>
#include <string>

#include "toolkit/core/Classes.h"

namespace tk {

class TIniFile {
public:
  // A name without a folder means the Windows folder, as the system resolves it. A file whose
  // values are read only up to a length of their own names it as maxValueLength; 0 reads every
  // value whole.
  explicit TIniFile(const std::string &fileName, size_t maxValueLength = 0)
      : fileName_(fileName), maxValueLength_(maxValueLength) {}
  virtual ~TIniFile() = default;

  const std::string &FileName() const { return fileName_; }

  // The whole value, however long (up to the file's maxValueLength when it has one).
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
  // False when the system refuses the change.
  bool DeleteKey(const std::string &section, const std::string &key);
  // Writes the system's cached copy of the file to disk.
  void UpdateFile();

private:
  std::string fileName_;
  size_t maxValueLength_;
};

} // namespace tk
