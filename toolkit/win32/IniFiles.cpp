#include "toolkit/win32/IniFiles.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace tk {

namespace {

// The system answers a list request with names each ending in a zero byte, and a second zero
// after the last. When the buffer is too small it fills it to two short of its size, so grow
// until there is room to spare.
void ReadNameList(const char *section, const std::string &fileName, TStringList &names) {
  names.Clear();
  std::vector<char> buffer(16384);
  DWORD got;
  for (;;) {
    got = ::GetPrivateProfileStringA(section, nullptr, nullptr, buffer.data(), DWORD(buffer.size()),
                                     fileName.c_str());
    if (got + 2 < buffer.size() || buffer.size() >= (1u << 24))
      break;
    buffer.resize(buffer.size() * 4);
  }
  // A line such as "=value" lists as an empty name, which would look like the end of the
  // list; the count says where the list really ends, so the names after it are kept.
  for (size_t i = 0; i < got;) {
    std::string name(&buffer[i]);
    i += name.size() + 1;
    if (!name.empty())
      names.Add(name);
  }
}

} // namespace

std::string TIniFile::ReadString(const std::string &section, const std::string &key,
                                 const std::string &fallback) const {
  // A value that does not fit comes back cut to one short of the buffer, so a buffer filled
  // that far is grown and the value read again.
  const size_t limit = maxValueLength_ ? maxValueLength_ + 1 : size_t(1) << 26;
  std::vector<char> buffer(std::min<size_t>(2048, limit));
  for (;;) {
    DWORD got = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                           buffer.data(), DWORD(buffer.size()), fileName_.c_str());
    if (got + 1 < buffer.size() || buffer.size() >= limit)
      return std::string(buffer.data(), got);
    buffer.resize(std::min(buffer.size() * 4, limit));
  }
}

void TIniFile::WriteString(const std::string &section, const std::string &key,
                           const std::string &value) {
  if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
    throw EIniFileException(FormatText(texts::IniFileWriteError, {fileName_}));
}

int TIniFile::ReadInteger(const std::string &section, const std::string &key, int fallback) const {
  return StrToIntDef(ReadString(section, key, ""), fallback);
}

void TIniFile::WriteInteger(const std::string &section, const std::string &key, int value) {
  WriteString(section, key, IntToStr(value));
}

bool TIniFile::ReadBool(const std::string &section, const std::string &key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string &section, const std::string &key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::ReadSection(const std::string &section, TStringList &keys) const {
  ReadNameList(section.c_str(), fileName_, keys);
}

void TIniFile::ReadSections(TStringList &sections) const {
  ReadNameList(nullptr, fileName_, sections);
}

void TIniFile::ReadSectionValues(const std::string &section, TStringList &lines) const {
  TStringList keys;
  ReadSection(section, keys);
  lines.Clear();
  for (const std::string &key : keys.Items())
    lines.Add(key + "=" + ReadString(section, key, ""));
}

bool TIniFile::SectionExists(const std::string &section) const {
  TStringList keys;
  ReadSection(section, keys);
  return keys.Count() > 0;
}

bool TIniFile::ValueExists(const std::string &section, const std::string &key) const {
  TStringList keys;
  ReadSection(section, keys);
  return keys.IndexOf(key) >= 0;
}

void TIniFile::EraseSection(const std::string &section) {
  if (!::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, fileName_.c_str()))
    throw EIniFileException(FormatText(texts::IniFileWriteError, {fileName_}));
}

bool TIniFile::DeleteKey(const std::string &section, const std::string &key) {
  return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, fileName_.c_str()) !=
         FALSE;
}

void TIniFile::UpdateFile() {
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
}

} // namespace tk
