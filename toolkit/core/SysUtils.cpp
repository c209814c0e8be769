#include "toolkit/core/SysUtils.h"

#include <cctype>
#include <climits>

namespace tk {

std::string FormatText(const char *pattern, std::initializer_list<std::string> args) {
  std::string out;
  auto next = args.begin();
  for (const char *p = pattern; *p; ++p) {
    if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && next != args.end()) {
      out += *next++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

// Parses an optional sign, then decimal digits or "$"/"0x" hexadecimal digits; blanks around
// the number are allowed. Hexadecimal text may fill all 64 bits (so "$FFFFFFFFFFFFFFFF" is -1).
static bool ParseInteger(const std::string &text, int64_t &value) {
  size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t'))
    --n;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n)
    return false;
  uint64_t acc = 0;
  for (; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned digit;
    if (std::isdigit(c))
      digit = c - '0';
    else if (hex && std::isxdigit(c))
      digit = std::tolower(c) - 'a' + 10;
    else
      return false;
    if (hex) {
      if (acc > (UINT64_MAX >> 4))
        return false;
      acc = (acc << 4) | digit;
    } else {
      // Decimal text must fit a signed 64-bit value (one more for the minimum).
      uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
      if (acc > (limit - digit) / 10)
        return false;
      acc = acc * 10 + digit;
    }
  }
  value = negative ? int64_t(0 - acc) : int64_t(acc);
  return true;
}

bool TryStrToInt64(const std::string &text, int64_t &value) { return ParseInteger(text, value); }

bool TryStrToInt(const std::string &text, int &value) {
  int64_t wide;
  if (!ParseInteger(text, wide))
    return false;
  // Hexadecimal text of up to 32 bits fills an int as its bit pattern ("$FFFFFFFF" is -1).
  bool hex = text.find_first_of("$xX") != std::string::npos;
  if (hex && wide >= 0 && wide <= int64_t(UINT32_MAX)) {
    value = int(uint32_t(wide));
    return true;
  }
  if (wide < INT_MIN || wide > INT_MAX)
    return false;
  value = int(wide);
  return true;
}

int StrToInt(const std::string &text) {
  int value;
  if (!TryStrToInt(text, value))
    throw EConvertError(FormatText(texts::InvalidInteger, {text}));
  return value;
}

int64_t StrToInt64(const std::string &text) {
  int64_t value;
  if (!TryStrToInt64(text, value))
    throw EConvertError(FormatText(texts::InvalidInteger, {text}));
  return value;
}

int StrToIntDef(const std::string &text, int fallback) {
  int value;
  return TryStrToInt(text, value) ? value : fallback;
}

std::string IntToHex(uint64_t value, int digits) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), hex[value & 15]);
    value >>= 4;
  } while (value);
  while (int(out.size()) < digits)
    out.insert(out.begin(), '0');
  return out;
}

std::string Trim(const std::string &text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
    ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
    --e;
  return text.substr(b, e - b);
}

std::string UpperCase(const std::string &text) {
  std::string out = text;
  for (char &c : out)
    if (c >= 'a' && c <= 'z')
      c = char(c - 32);
  return out;
}

std::string LowerCase(const std::string &text) {
  std::string out = text;
  for (char &c : out)
    if (c >= 'A' && c <= 'Z')
      c = char(c + 32);
  return out;
}

bool SameText(const std::string &a, const std::string &b) { return UpperCase(a) == UpperCase(b); }

std::string StringReplaceAll(const std::string &text, const std::string &from,
                             const std::string &to) {
  if (from.empty())
    return text;
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size())
    out.append(text, pos, hit - pos).append(to);
  return out.append(text, pos, std::string::npos);
}

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Index just past the folder part: after the last separator or a drive's colon.
static size_t NameStart(const std::string &fileName) {
  size_t i = fileName.size();
  while (i > 0 && !IsSeparator(fileName[i - 1]) && fileName[i - 1] != ':')
    --i;
  return i;
}

std::string IncludeTrailingBackslash(const std::string &path) {
  return !path.empty() && IsSeparator(path.back()) ? path : path + '\\';
}

std::string ExcludeTrailingBackslash(const std::string &path) {
  return !path.empty() && IsSeparator(path.back()) ? path.substr(0, path.size() - 1) : path;
}

std::string ExtractFilePath(const std::string &fileName) {
  return fileName.substr(0, NameStart(fileName));
}

std::string ExtractFileDir(const std::string &fileName) {
  size_t i = NameStart(fileName);
  // Keep the separator of a root ("C:\") so the result still names the root.
  if (i > 0 && IsSeparator(fileName[i - 1]) && !(i >= 2 && fileName[i - 2] == ':') && i > 1)
    --i;
  return fileName.substr(0, i);
}

std::string ExtractFileName(const std::string &fileName) {
  return fileName.substr(NameStart(fileName));
}

std::string ExtractFileExt(const std::string &fileName) {
  size_t start = NameStart(fileName);
  size_t dot = fileName.rfind('.');
  return dot != std::string::npos && dot >= start ? fileName.substr(dot) : std::string();
}

std::string ChangeFileExt(const std::string &fileName, const std::string &ext) {
  size_t start = NameStart(fileName);
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < start)
    return fileName + ext;
  return fileName.substr(0, dot) + ext;
}

} // namespace tk
