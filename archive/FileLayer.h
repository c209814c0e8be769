// The thin file layer under the archive reader: the few file operations it needs, with 64-bit
// positions, over a POSIX and a Win32 implementation. Failures are returned, never raised; the
// last failure of the calling thread is kept as one of the codes below.
#pragma once

#include <cstdint>
#include <string>

namespace arc {

using TFileHandle = intptr_t;
inline constexpr TFileHandle InvalidFileHandle = -1;

// Open modes, with the values the class library gives them: the access in the low two bits,
// the sharing in the next four. fmCreate replaces an existing file.
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmCreate = 0xFFFF,
};

// Seek origins.
enum : int { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// Failure codes. A short write caused by a full disk is feDiskFull on every platform, so the
// streams can tell it from other write failures.
enum TFileError : int {
  feNone = 0,
  feNotFound = 1,
  feAccessDenied = 2,
  feDiskFull = 3,
  feInvalidHandle = 4,
  feInvalidArgument = 5,
  feIoError = 6,
  feExists = 7, // a file or folder of that name is there already
};

// Opens (or with fmCreate creates) a file; InvalidFileHandle on failure.
TFileHandle LayerOpen(const std::string &fileName, uint16_t mode);
// Creates a file that must not exist yet, for reading and writing, in one exclusive step;
// InvalidFileHandle on failure (feExists when the name is taken).
TFileHandle LayerCreateNew(const std::string &fileName);
// Reads up to count bytes; the number read (0 at the end), or -1 on failure.
int32_t LayerRead(TFileHandle handle, void *buffer, int32_t count);
// Writes count bytes; the number written, which is short (or -1) on failure.
int32_t LayerWrite(TFileHandle handle, const void *buffer, int32_t count);
// Moves the file position; the new position, or -1 on failure.
int64_t LayerSeek(TFileHandle handle, int64_t offset, int origin);
// The file's size, or -1 on failure.
int64_t LayerSize(TFileHandle handle);
// Cuts or extends the file at the current position.
bool LayerTruncate(TFileHandle handle);
bool LayerClose(TFileHandle handle);
// Folders and names. Names are Windows-style on every platform ("\" between levels, which
// "/" may replace in names given to the layer); the POSIX layer turns them into POSIX names.
extern const char PathSeparator;
bool LayerIsDirectory(const std::string &path);
// Whether a search for Pattern (wildcards allowed in its file name) finds anything.
bool LayerFindAny(const std::string &pattern);
bool LayerCreateDir(const std::string &path);
// Path made absolute; empty on failure.
std::string LayerFullPath(const std::string &path);
// The system's temporary folder; empty when it reports none.
std::string LayerTempPath();
// Text of the OEM code page (the names of DOS-made archives) in the ANSI code page.
std::string LayerOemToAnsi(const std::string &text);
// UTF-8 text (names flagged as UTF-8 by newer tools) in the ANSI code page; a character the code
// page cannot show becomes "_", so the name still makes a file of its own.
std::string LayerUtf8ToAnsi(const std::string &text);
// Turns the system's critical-error boxes (no disk in drive ...) off and back on.
unsigned LayerQuietErrors();
void LayerRestoreErrors(unsigned previous);

// The failure code of the last layer call that failed on this thread.
TFileError LayerLastError();

} // namespace arc
