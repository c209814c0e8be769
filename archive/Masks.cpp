#include "archive/Masks.h"

#include "archive/FileLayer.h"

#include <cstring>

namespace arc {

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
} // namespace

TInternalMask::TInternalMask(const std::string &mask) {
  bool skip = false;
  for (char c : mask) {
    if (c == '*') {
      skip = true;
    } else if (c == '?') {
      if (!skip)
        states_.push_back({false, true, 0});
    } else {
      states_.push_back({skip, false, Upper(c)});
      skip = false;
    }
  }
  states_.push_back({skip, false, 0});
  endsWithDot_ = !mask.empty() && mask.back() == '.';
}

bool TInternalMask::Matches(const std::string &name) const {
  if (endsWithDot_ && name.find('.') == std::string::npos)
    return MatchStates(name + ".");
  return MatchStates(name);
}

// Each "*" becomes a skip mark on the state after it, which scans ahead to that state's literal.
// Only the latest skip needs a retry point: a later star can absorb whatever an earlier one
// would, so going back further never finds a match the latest one misses. This keeps matching
// linear in the product of the lengths, whatever the number of stars.
bool TInternalMask::MatchStates(const std::string &name) const {
  const size_t n = name.size();
  size_t s = 0, i = 0;
  bool haveRetry = false;
  size_t retryState = 0, retryPos = 0;
  for (;;) {
    const TState &st = states_[s];
    bool ok;
    if (st.Skip && !st.AnyChar) {
      if (st.Literal == 0)
        return true; // a trailing "*" takes the rest of the name
      while (i < n && Upper(name[i]) != st.Literal)
        ++i;
      if (i == n)
        return false; // no later start of an earlier star can find this literal either
      haveRetry = true;
      retryState = s;
      retryPos = i + 1;
      ok = true;
    } else if (st.AnyChar) {
      ok = i < n;
    } else if (st.Literal == 0) {
      ok = i == n;
    } else {
      ok = i < n && Upper(name[i]) == st.Literal;
    }
    if (ok) {
      if (st.Literal == 0 && !st.AnyChar)
        return true;
      ++i;
      ++s;
    } else if (haveRetry) {
      s = retryState;
      i = retryPos;
    } else {
      return false;
    }
  }
}

bool MatchesMask(const std::string &name, const std::string &mask) {
  return TInternalMask(mask).Matches(name);
}

std::string AppendDirTail(const std::string &path) {
  if (path.empty() || path.back() == '\\')
    return path;
  return path + '\\';
}

int Percent(int64_t total, int64_t done) {
  if (total <= 0 || done <= 0)
    return 0;
  if (done >= total)
    return 100;
  // Keep done x 100 inside 64 bits; the precision lost on such sizes is far below one percent.
  while (total > INT64_MAX / 100) {
    total >>= 1;
    done >>= 1;
  }
  const int64_t scaled = done * 100;
  int64_t q = scaled / total, r = scaled % total;
  if (2 * r > total || (2 * r == total && (q & 1)))
    ++q;
  return static_cast<int>(q);
}

std::string SlashToBackslash(const std::string &name) {
  std::string out = name;
  for (char &c : out)
    if (c == '/')
      c = '\\';
  return out;
}

std::string StoredNameToLocal(const std::string &name, bool translateOem) {
  if (name.empty())
    return name;
  return SlashToBackslash(translateOem ? LayerOemToAnsi(name) : name);
}

std::string StoredNameToLocal(const std::string &name, bool translateOem, uint16_t flags) {
  constexpr uint16_t Utf8Name = 0x0800;
  if (name.empty() || !(flags & Utf8Name))
    return StoredNameToLocal(name, translateOem);
  return SlashToBackslash(LayerUtf8ToAnsi(name));
}

size_t FirstDotPos(const char *name) {
  const char *dot = std::strchr(name, '.');
  return dot ? static_cast<size_t>(dot - name) : std::strlen(name);
}

std::string SplitHead(std::string &s, const std::string &separator) {
  size_t at = separator.empty() ? std::string::npos : s.find(separator);
  std::string head;
  if (at == std::string::npos) {
    head = std::move(s);
    s.clear();
  } else {
    head = s.substr(0, at);
    s.erase(0, at + separator.size());
  }
  return head;
}

bool IsUncPath(const std::string &path) {
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\';
}

bool IsDirectory(const std::string &path) { return LayerIsDirectory(path); }

bool FileExistsByFind(const std::string &path) { return !path.empty() && LayerFindAny(path); }

std::string TempPath() { return LayerTempPath(); }

// Creates each level from the top: levels that exist already simply fail to be created.
bool ForceDirs(const std::string &path) {
  if (path.empty())
    return false;
  if (IsDirectory(path))
    return true;
  unsigned previous = LayerQuietErrors();
  std::string full = LayerFullPath(path);
  if (!full.empty() && full.back() != PathSeparator)
    full += PathSeparator;
  size_t at = full.find(PathSeparator);
  while (at != std::string::npos && (at = full.find(PathSeparator, at + 1)) != std::string::npos)
    LayerCreateDir(full.substr(0, at));
  LayerRestoreErrors(previous);
  return IsDirectory(path);
}

namespace {
constexpr double FallbackDateTime = 29221.0 + 60.0 / 86400.0; // 1980-01-01 00:01:00

bool IsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }
} // namespace

double DosDateTimeToDateTime(uint32_t d) {
  if (d == 0)
    return FallbackDateTime;
  const int year = 1980 + static_cast<int>(d >> 25);
  const int month = static_cast<int>((d >> 21) & 0x0F);
  const int day = static_cast<int>((d >> 16) & 0x1F);
  const int hour = static_cast<int>((d >> 11) & 0x1F);
  const int minute = static_cast<int>((d >> 5) & 0x3F);
  const int second = 2 * static_cast<int>(d & 0x1F);
  if (hour > 23 || minute > 59 || second > 59)
    return FallbackDateTime;
  static const int monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 ||
      day > monthDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0))
    return FallbackDateTime;
  int dayOfYear = day;
  for (int m = 1; m < month; ++m)
    dayOfYear += monthDays[m - 1] + (m == 2 && IsLeapYear(year) ? 1 : 0);
  const int y = year - 1;
  // Days from 0001-01-01 to the date, less the days up to 1899-12-30.
  const int days = y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - 693594;
  return days + (hour * 3600 + minute * 60 + second) / 86400.0;
}

void MoveBytes(const void *source, void *dest, size_t count) {
  if (count > 0)
    std::memmove(dest, source, count);
}

} // namespace arc
