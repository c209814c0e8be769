// The archive reader's shared vocabulary: archive and record kinds, its exception class, the
// wildcard mask that selects entry names, and small helpers for names, progress and DOS dates.
#pragma once

#include "toolkit/core/SysUtils.h"

#include <cstdint>
#include <string>
#include <vector>

namespace arc {

// What detection found: the first four values are states of detection; "...Exe" values are
// self-extracting programs carrying that kind; atZipDS is a set spanned over removable disks,
// atZipMV a set split into several files. Only the zip family is extracted.
enum TArcType : uint8_t {
  atNA,
  atUnsupported,
  atFileOpenErr,
  atUnknown,
  atAce,
  atAceExe,
  atArc,
  atArcExe,
  atArj,
  atArjExe,
  atBh,
  atBhExe,
  atCab,
  atCabExe,
  atGZip,
  atHA,
  atJar,
  atJarExe,
  atLha,
  atLhaExe,
  atLzh,
  atLzhExe,
  atMsGZ,
  atPak,
  atPakExe,
  atRar,
  atRarExe,
  atTar,
  atTarGZip,
  atUUE,
  atZip,
  atZipExe,
  atZipDS,
  atZipMV,
  atZoo,
};

// The kinds of zip record: local header, central header, end of central directory, zip64
// locator, zip64 end record, none.
enum THeaderType : uint8_t { htLocal, htCentral, htEnding, htLocator, htEnding64, htNone };

// Raised by the reader's error reports to abort the entry in work.
using tk::Exception;
TK_EXCEPTION(E_RAISE, Exception);

// A compiled wildcard mask: "*" any run of characters, "?" one character, anything else itself
// without regard to ASCII case. "*?" counts as "*". A mask ending in "." also matches names
// without any dot ("*." selects names with no extension).
class TInternalMask {
public:
  explicit TInternalMask(const std::string &mask);
  bool Matches(const std::string &name) const;

private:
  struct TState {
    bool Skip;    // preceded by "*"
    bool AnyChar; // "?"
    char Literal; // upper case; 0 for the state that ends the mask
  };
  bool MatchStates(const std::string &name) const;
  std::vector<TState> states_;
  bool endsWithDot_ = false;
};

bool MatchesMask(const std::string &name, const std::string &mask);

// Appends "\" to a non-empty path without one.
std::string AppendDirTail(const std::string &path);
// Done in hundredths of Total, rounded to the nearest (halves to even), within 0..100.
int Percent(int64_t total, int64_t done);
std::string SlashToBackslash(const std::string &name);
// A stored entry name in local form: translated from the OEM code page when asked, then "/"
// becomes "\".
std::string StoredNameToLocal(const std::string &name, bool translateOem = false);
// The same for an entry whose general-purpose flags are known: a name flagged as UTF-8 (bit 11)
// is converted from UTF-8 instead, whatever TranslateOem says.
std::string StoredNameToLocal(const std::string &name, bool translateOem, uint16_t flags);
// Position of the first "." in a zero-terminated name, or its length when there is none.
size_t FirstDotPos(const char *name);
// Takes the text before the first Separator off S (with the separator); all of S when absent.
std::string SplitHead(std::string &s, const std::string &separator);
bool IsUncPath(const std::string &path);
bool IsDirectory(const std::string &path);
// Whether a file search for Path (wildcards allowed) finds anything.
bool FileExistsByFind(const std::string &path);
// The system's temporary folder (with its trailing separator); empty when there is none.
std::string TempPath();
// Creates Path with every missing parent; whether Path is a folder afterwards.
bool ForceDirs(const std::string &path);
// A DOS date and time (date in the high word) as days since 1899-12-30. 0, an invalid date or an
// invalid time give 1980-01-01 00:01:00.
double DosDateTimeToDateTime(uint32_t dosDateTime);
// Copies Count bytes; the areas may overlap.
void MoveBytes(const void *source, void *dest, size_t count);

} // namespace arc
