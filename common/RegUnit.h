// The shared routines of both programs: registry values as text, icon locations and lookups,
// the system folders, the data-folder table of Config.ini, and what the platform tells about
// itself (file version, Windows family, processes, window effects).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/core/Types.h"
#include "toolkit/win32/RunTimeApis.h"

namespace tk {
class TImageList;
class TIcon;
class TCustomPanel;
} // namespace tk

// ---- registry values as text -----------------------------------------------------------------
// Kinds for WriteRegValue: 1 string, 2 32-bit integer from decimal text, 3 four-byte binary value
// from 64-bit integer text (its low four bytes, least significant first); others write nothing.
std::string ReadRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName);
void WriteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                   const std::string &Data, int Kind);
void DeleteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName);
// Several string values of one key, in order, the key opened once (per view) for all of them;
// otherwise as WriteRegValue with kind 1.
void WriteRegStrings(HKEY RootKey, const std::string &Key,
                     const std::vector<std::pair<std::string, std::string>> &Values);

// ---- writes that may be refused --------------------------------------------------------------
// A standard user runs the program unelevated, so any machine-wide key (and the per-user policy
// keys) may refuse a write. A table of writes goes on past every refusal, gathers what was
// refused here, and the form reports it once at the end; the routines below never show a box
// and never raise.
class TRefusedWrites {
public:
  // A registry value that could not be written or deleted; Error is the system's code, View
  // the registry view it was refused in. Each value (and each file) counts once, however
  // often it was refused.
  void AddValue(HKEY Root, const std::string &Key, const std::string &ValueName, LONG Error,
                REGSAM View = 0);
  // A file (or folder) that could not be written, changed or deleted.
  void AddFile(const std::string &Path, DWORD Error);
  void Add(const TRefusedWrites &Other);
  bool Empty() const { return refused_.empty(); }
  int Count() const { return int(refused_.size()); }
  // One line per key (or file) and reason, in the order first refused, e.g.
  // "12 values under HKEY_LOCAL_MACHINE\...\Shell Icons: needs an administrator".
  std::string Summary() const;

private:
  struct Refusal {
    std::string place;     // "HKEY_LOCAL_MACHINE\Key", or a file's path
    std::string valueName; // of a registry value
    bool isValue;
    DWORD error;
    REGSAM view;
  };
  void Push(const Refusal &R);
  std::vector<Refusal> refused_;
};

// As WriteRegValue, WriteRegStrings and DeleteRegValue (every view the key is kept in), but a
// refusal is added to Refused instead of raising or showing "wrong"; true when all of it was
// done. Deleting a value (or from a key) that isn't there succeeds.
bool TryWriteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                      const std::string &Data, int Kind, TRefusedWrites &Refused);
bool TryWriteRegStrings(HKEY RootKey, const std::string &Key,
                        const std::vector<std::pair<std::string, std::string>> &Values,
                        TRefusedWrites &Refused);
bool TryDeleteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                       TRefusedWrites &Refused);

// "HKEY_LOCAL_MACHINE" and its kind for the predefined roots.
std::string RootKeyName(HKEY RootKey);
// Why a write was refused, as the user should read it: "needs an administrator" for access
// denied, the system's own text otherwise.
std::string RefusalReason(DWORD Error);
// The one message after a series of writes of which some were refused (message "Common_11",
// a warning box owned by Owner): what was left unchanged and why. Shows nothing and returns
// false when nothing was refused, so a caller shows its success message only then.
bool ReportRefusedWrites(HWND Owner, const TRefusedWrites &Refused);

// The registry views a key is kept in, as access flags (KEY_WOW64_64KEY, KEY_WOW64_32KEY or
// 0 for the program's own): the keys 64-bit Windows itself reads are opened in its view, a few
// that 32-bit programs read too are written in both. Reads use the first; writes and deletes
// go to every one. Code that opens such keys itself adds RegistryView to its access.
std::vector<REGSAM> RegistryViews(HKEY RootKey, const std::string &Key);
REGSAM RegistryView(HKEY RootKey, const std::string &Key);

// The program's own key under HKEY_CURRENT_USER.
inline constexpr const char *ProgramKey = "Software\\Quillomar\\Lumagrove";

// ---- icon locations and icons ----------------------------------------------------------------
std::string IconLocationFile(const std::string &Location);
int IconLocationIndex(const std::string &Location);
bool AddRegistryIconToList(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                           tk::TImageList *ImageList);
bool AddExtensionIconToList(const std::string &Ext, tk::TImageList *ImageList);
tk::TIcon *GetExtensionIcon(const std::string &Ext);
// Icon 0 of the Data folder's Icon.dll: the picture of every icon that can't be found.
HICON FallbackIcon();
// The icon of a location, its file found as the system finds it; nullptr when there is no such
// file or icon, or the index part is no number. The caller owns it.
HICON ExtractLocationIcon(const std::string &Location);
// The shell's own icons replaced: value n stands in for shell32's icon n.
inline constexpr const char *ShellIconsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons";
// The icon the shell shows as its icon Index: the Shell Icons value's, or shell32's own where
// there is no value or its index is -1, which names no icon, so the shell keeps its default.
// nullptr when the value's file or icon can't be had. The caller owns it.
HICON ShellIconsIcon(int Index);

// ---- folders ---------------------------------------------------------------------------------
// GetSystemDir is the name every text of the program shows and writes; files that 64-bit
// Windows reads from the system folder are written, read and deleted through
// GetNativeSystemDir, inside a TNativeSystemFolder, so that a 32-bit program reaches the real
// folder and not its 32-bit copy.
std::string GetSystemDir();
std::string GetNativeSystemDir();
// Where the system folder has no alias (64-bit XP and 2003), its redirection is switched off
// for this thread while one of these lives; keep it to the file calls themselves.
class TNativeSystemFolder {
public:
  TNativeSystemFolder();

private:
  std::optional<tk::TFsRedirectionOff> off_;
};
std::string GetWindowsDir();
std::string Shell32Path();
std::string GetTempDir();
std::string GetFavoritesDir();
std::string GetConfigFolder(const std::string &Name);
std::string ExpandSystemRoot(const std::string &Text);
std::string ProgramFolder(); // the running program's folder, with its trailing backslash

// ---- the platform ----------------------------------------------------------------------------
// The FileVersion text of a file's version resource, in the first language and code page its
// translation table names; "" when there is no resource, no translation or no such text.
std::string GetFileVersionText(const std::string &FileName);
std::string GetAppFileVersion(); // of the running executable

// Code: 1 95, 2 95 OSR2, 3 98, 4 98 SE, 5 NT 3, 6 NT 4, 7 2000/XP/2003, 8 Me, 0 anything newer or
// unknown; Family "98", "me", "nt" or "xp", left as it was when Code is 0.
void GetWindowsVersion(uint8_t &Code, std::string &Family);

// Starts a command line (at most 512 characters) in a new console and waits for it to end;
// returns its exit code, or -1 when it could not be started.
int RunAndWait(const std::string &CommandLine, uint16_t ShowCmd);

// The rotating outline that grows out of a window's centre as it opens, or shrinks into it as it
// closes, drawn over the whole display. Frames are quadrilaterals in screen coordinates, corners
// in the order top-left, top-right, bottom-right, bottom-left; Steps + 1 of them, none when
// Steps is not positive.
using AnimationQuad = std::array<POINT, 4>;
std::vector<AnimationQuad> AnimationFrames(const RECT &Rect, int Steps, bool Opening);
void AnimateWindowOpen(HWND Window, int Steps);
void AnimateWindowClose(HWND Window, int Steps);

// Sizing and moving a panel with the mouse: the zone under the pointer (client coordinates)
// picks the cursor and the system command (SC_SIZE plus a WMSZ_ edge, or plus 9 to move) that
// hands the drag to the system's own size and move loop.
struct SizeMoveZone {
  tk::TCursor cursor;
  WORD command;
};
SizeMoveZone PanelSizeMoveZone(int Width, int Height, int X, int Y, int Border);
// Makes the zone's cursor the panel's own and, when the left button alone is down, starts the
// drag.
void PanelMouseSizeMove(tk::TCustomPanel *Panel, tk::TShiftState Shift, int X, int Y, int Border);
// The hand-over alone, for callers that show the cursor their own way: with Shift exactly ssLeft
// releases the capture and sends Command to Panel as WM_SYSCOMMAND; returns whether it did.
bool BeginPanelSizeMove(HWND Panel, tk::TShiftState Shift, WORD Command);
