// The shell's taskbar as both programs change it: its transparency, the Start button's caption
// with the band area moved beside it, and the tray helper that keeps both in force after log-on
// (its window, its program file and its start with Windows). One source, linked into Lumagrove
// and into Hovelin.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace tk {
class TCustomForm;
}
class TRefusedWrites;

// ---- the taskbar -----------------------------------------------------------------------------

// Makes the taskbar translucent: Alpha 0 (invisible) to 255 (opaque; the layered style is set
// all the same). Nothing where there is no taskbar or the system has no layered windows.
void SetTaskbarTransparency(int Alpha);

// The Start button: the first "Button" child of the taskbar, or 0.
HWND FindStartButton();

// The Start button's caption as handed to SetStartButtonCaption: exactly 255 characters, the
// caption padded with spaces, no terminator of its own.
inline constexpr size_t StartButtonTextLength = 255;
using StartButtonTextRecord = std::array<char, StartButtonTextLength>;
StartButtonTextRecord MakeStartButtonTextRecord(const std::string &Caption);
// A caption as the button shows it: without trailing blanks and control characters.
std::string TrimCaption(const std::string &Caption);

// The button's text: at most 255 characters and a terminator.
using StartButtonTextBuffer = std::array<char, StartButtonTextLength + 1>;
void GetStartButtonCaption(HWND Button, StartButtonTextBuffer &Buffer);

// Where SetStartButtonCaption put the button and the band area (in the taskbar's client
// coordinates); a ButtonWidth of 0 when it changed nothing.
struct StartButtonLayout {
  int ButtonWidth = 0;
  POINT BandPos = {0, 0};
};

// Gives the button the record's text and a width that fits it (its width on the measuring form's
// font, Arial 17 pixels bold italic, plus 64, at least 99), and moves the band area to its right,
// up to the notification area. Assumes a horizontal taskbar. Without a button (0: the taskbar has
// none of that kind, as on later Windows) nothing changes, the band area included.
StartButtonLayout SetStartButtonCaption(HWND Button, const StartButtonTextRecord &Record,
                                        tk::TCustomForm &MeasuringForm);

// The button still shows Caption where SetStartButtonCaption put it: its text, trimmed, is the
// caption's, its width and the band's position those of Last.
bool StartButtonKeeps(HWND Button, const std::string &Caption, const StartButtonLayout &Last);

// One watch over the Start button: when it no longer shows Caption as Last left it, the caption
// is applied again and Last follows. Returns whether it was.
bool WatchStartButton(const std::string &Caption, StartButtonLayout &Last,
                      tk::TCustomForm &MeasuringForm);

// ---- what Lumagrove stores for the helper (Config.ini) ---------------------------------------

// [Taskbar] Transparent: the taskbar's alpha, 255 when absent or not a number, clamped to 0..255.
int ReadTaskbarAlpha();
void WriteTaskbarAlpha(int Alpha);
// [StartButton] Caption: the caption as typed, unpadded; empty or "Start" mean none. Stored in
// double quotes, so that leading blanks and quotes of its own come back as typed; a caption an
// earlier version stored without them reads as the profile functions give it.
std::string ReadStartButtonCaption();
void WriteStartButtonCaption(const std::string &Caption);

// The helper has work to do while the taskbar is translucent, or while the Start button is to
// carry a caption of ours.
bool TransparencyNeedsHelper(int Alpha);
bool CaptionNeedsHelper(const std::string &Caption);

// ---- the tray helper ------------------------------------------------------------------------

inline constexpr const char *HelperFileName = "Hovelin.exe";
// The helper's form: its window class and its caption, which together name it.
inline constexpr const char *HelperWindowClass = "TFrmHovelin";
inline constexpr const char *HelperWindowCaption = "Lumagrove Helper";

std::vector<HWND> FindHelperWindows();
// Every running helper is sent WM_CLOSE; then, for a few seconds at most, waits until their
// processes have ended, so that a helper started next never meets one still at work.
void CloseHelpers();
// Starts the program folder's helper (the plain path: the shell takes no command line here).
void StartHelper(HWND Owner);

// Its start with Windows: HKEY_LOCAL_MACHINE, value "Lumagrove" of the Run key, holding the
// helper's path in double quotes (a path with blanks is otherwise split by whoever reads it).
inline constexpr const char *AutostartKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char *AutostartValue = "Lumagrove";
std::string HelperAutostartCommand(); // the value's text for the program folder's helper
// The program the value names, its quotes stripped; "" when there is none.
std::string ReadHelperAutostart();
// Writes (On) or deletes the value in every view it is kept in; what the system refused (a
// standard user may not change the machine's Run key) is added to Refused. True when all was done.
bool SetHelperAutostart(bool On, TRefusedWrites &Refused);
// The same without a record of the refusal.
bool TrySetHelperAutostart(bool On);
