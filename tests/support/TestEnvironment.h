// What every Windows test runs inside: its own registry tree, its own folders, scripted prompts
// and a recording shell. Installed around each test by the test main.
#pragma once

#include <windows.h>

#include <htmlhelp.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/win32/Seams.h"

namespace testenv {

// A prompt the test expects, in order. text is matched as a substring of the prompt's text
// (empty matches any); answer is the button the "user" presses.
struct ExpectedPrompt {
  std::string text;
  int answer;
  std::string caption; // matched exactly when not empty
};

struct SeenPrompt {
  std::string text;
  std::string caption;
  UINT flags;
};

// What the "user" does in the next icon picker: confirm (non-zero answer) with a file and
// index, or cancel (0), which leaves the buffer and the index alone.
struct ExpectedIconPick {
  int answer;
  std::string file;
  int index;
};

// What the picker was opened with.
struct SeenIconPick {
  std::string file;
  UINT capacity;
  int index;
};

// A file dialog the test expects, in order: the files the "user" picks (none: Cancel).
struct ExpectedFileDialog {
  bool save;
  std::vector<std::string> files; // full paths; several only where multi-selection is allowed
  int filterIndex;                // 0 leaves the dialog's own
};

// What a file dialog was asked to show.
struct SeenFileDialog {
  bool save;
  std::string title, filter; // filter with "|" between its parts, as the program wrote it
  std::string initialDir, fileName, defaultExt;
  int filterIndex;
  DWORD flags;
};

// What the "user" does in the next Color dialog: choose a colour, or cancel.
struct ExpectedColorDialog {
  bool choose;
  COLORREF color;
};

// What a Color dialog was opened with.
struct SeenColorDialog {
  COLORREF color; // the colour it starts on
  DWORD flags;
  COLORREF custom[16];
};

class ScriptedPrompts : public tk::Prompts {
public:
  void Expect(const std::string &text, int answer, const std::string &caption = "") {
    script_.push_back({text, answer, caption});
  }
  void ExpectIconPick(int answer, const std::string &file = "", int index = 0) {
    iconScript_.push_back({answer, file, index});
  }
  // The next file dialog (Open unless save) picks these files; an empty list cancels it.
  void ExpectFileDialog(std::vector<std::string> files, bool save = false, int filterIndex = 0) {
    dialogs_.push_back({save, std::move(files), filterIndex});
  }
  // The next Color dialog chooses this colour; ExpectColorDialogCancel makes it cancel.
  void ExpectColorDialog(COLORREF color) { colorDialogs_.push_back({true, color}); }
  void ExpectColorDialogCancel() { colorDialogs_.push_back({false, 0}); }
  const std::vector<SeenPrompt> &Seen() const { return seen_; }
  const std::vector<SeenIconPick> &SeenIconPicks() const { return seenIconPicks_; }
  const std::vector<SeenFileDialog> &SeenDialogs() const { return seenDialogs_; }
  const std::vector<SeenColorDialog> &SeenColorDialogs() const { return seenColorDialogs_; }
  size_t Pending() const {
    return script_.size() + iconScript_.size() + dialogs_.size() + colorDialogs_.size();
  }
  void Reset() {
    script_.clear();
    seen_.clear();
    iconScript_.clear();
    seenIconPicks_.clear();
    dialogs_.clear();
    seenDialogs_.clear();
    colorDialogs_.clear();
    seenColorDialogs_.clear();
  }
  int MessageBox(HWND owner, const std::string &text, const std::string &caption,
                 UINT flags) override;
  int PickIcon(HWND owner, char *path, UINT capacity, int *index) override;
  bool FileDialog(OPENFILENAMEA &ofn, bool save) override;
  bool ColorDialog(CHOOSECOLORA &cc) override;

private:
  std::deque<ExpectedPrompt> script_;
  std::vector<SeenPrompt> seen_;
  std::deque<ExpectedIconPick> iconScript_;
  std::vector<SeenIconPick> seenIconPicks_;
  std::deque<ExpectedFileDialog> dialogs_;
  std::vector<SeenFileDialog> seenDialogs_;
  std::deque<ExpectedColorDialog> colorDialogs_;
  std::vector<SeenColorDialog> seenColorDialogs_;
};

// The system's own Open and Save dialogs, with the "user" acting as soon as one is up: whenUp
// gets the dialog (post it IDOK to take the file name the program put in, IDCANCEL to cancel).
// Whatever hook the program gave (the picture dialog's preview) still gets every message.
class RealFileDialogs : public ScriptedPrompts {
public:
  std::function<void(HWND dialog)> whenUp;
  bool FileDialog(OPENFILENAMEA &ofn, bool save) override;

private:
  static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
  static inline RealFileDialogs *current_ = nullptr;
  LPOFNHOOKPROC programHook_ = nullptr;
};

struct ShellCall {
  // "ShellExecute", "WinExec", "CreateProcess", "NotifyIcon", "SystemParameters",
  // "ChangeNotify" (action: the event, uiParam: the flags),
  // "SetDesktopWallpaper" (file: the wallpaper as ANSI text, showCmd: its style, creationFlags:
  // the apply flags), "ShellAbout" (file: the title, parameters: the further line)
  std::string what;
  std::string operation, file, parameters, directory;
  int showCmd = 0;
  DWORD creationFlags = 0;
  BOOL inheritHandles = FALSE;
  // NotifyIcon: the message (NIM_ADD ...) and the record as the shell would have read it.
  DWORD iconMessage = 0;
  NOTIFYICONDATAA iconData = {};
  // SystemParameters: the request as made (pvParam as a number: flags pass values in it).
  UINT action = 0, uiParam = 0, winIni = 0;
  UINT_PTR pvParam = 0;
};

// A call into a help viewer. The texts behind the data (a WinHelp macro or keyword, a popup's
// text and font) are copied, since they live only as long as the call.
struct HelpCall {
  std::string what; // "HtmlHelp", "WinHelp"
  HWND window = nullptr;
  bool hasFile = false;
  std::string file;
  UINT command = 0;
  ULONG_PTR data = 0;
  std::string text; // HELP_COMMAND, HELP_KEY, HELP_PARTIALKEY; a popup's pszText
  HH_POPUP popup{}; // HH_DISPLAY_TEXT_POPUP, its pointers cleared
  std::string font; // the popup's pszFont
};

class RecordingShell : public tk::Shell {
public:
  // When set, CreateProcess starts real processes (and still records them).
  bool allowProcesses = false;
  // When set, HTML Help calls reach the real viewer (and are still recorded).
  bool allowHtmlHelp = false;
  // What the viewers answer when they are not reached.
  HWND htmlHelpResult = reinterpret_cast<HWND>(0x1234);
  BOOL winHelpResult = TRUE;
  // What the Active Desktop object answers, and the call said to have failed.
  HRESULT desktopResult = S_OK;
  std::string desktopFailedCall;
  std::vector<ShellCall> calls;
  std::vector<HelpCall> helpCalls;
  void Reset() {
    desktopResult = S_OK;
    desktopFailedCall.clear();
    allowProcesses = false;
    allowHtmlHelp = false;
    allowChangeNotify = false;
    htmlHelpResult = reinterpret_cast<HWND>(0x1234);
    winHelpResult = TRUE;
    calls.clear();
    helpCalls.clear();
  }
  HINSTANCE ShellExecute(HWND owner, const std::string &operation, const std::string &file,
                         const std::string &parameters, const std::string &directory,
                         int showCmd) override;
  UINT WinExec(const std::string &commandLine, UINT showCmd) override;
  BOOL CreateProcess(char *commandLine, BOOL inheritHandles, DWORD creationFlags,
                     STARTUPINFOA *startup, PROCESS_INFORMATION *process) override;
  HWND CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data) override;
  BOOL CallWinHelp(HWND window, const std::string &file, UINT command, ULONG_PTR data) override;
  BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA *data) override;
  HRESULT SetDesktopWallpaper(const std::wstring &file, DWORD style, DWORD applyFlags,
                              std::string &failedCall) override;
  // Recorded only: a test never changes the session it runs in.
  BOOL SystemParameters(UINT action, UINT uiParam, void *pvParam, UINT winIni) override;
  int ShellAbout(HWND owner, const std::string &title, const std::string &otherText,
                 HICON icon) override;
  // Recorded, and passed on to the real shell only when allowChangeNotify is set.
  void ChangeNotify(LONG eventId, UINT flags, const void *item1, const void *item2) override;
  bool allowChangeNotify = false;
  // The NotifyIcon calls alone, in order.
  std::vector<ShellCall> IconCalls() const;
  // The SystemParameters calls alone, in order.
  std::vector<ShellCall> ParameterCalls() const;
};

// Folders of a fresh tree per test: Program\, System\, Windows\, Temp\, Favorites\.
class SandboxPlaces : public tk::Places {
public:
  std::string root;                                // with trailing "\"
  std::string programDir;                          // with trailing "\"
  std::string systemDir, windowsDir, favoritesDir; // without
  std::string tempDir;                             // with
  tk::OsVersionRecord version{VER_PLATFORM_WIN32_NT, 5, 1, "Service Pack 3"};
  // A process here is never redirected; a test can make it look as if it were.
  REGSAM registryView = 0;
  std::string nativeSystemDir; // empty: the system folder itself

  std::string ProgramDir() override { return programDir; }
  std::string SystemDir() override { return systemDir; }
  std::string WindowsDir() override { return windowsDir; }
  std::string TempDir() override { return tempDir; }
  std::string FavoritesDir() override { return favoritesDir; }
  tk::OsVersionRecord WindowsVersion() override { return version; }
  REGSAM RegistryView() override { return registryView; }
  std::string NativeSystemDir() override {
    return nativeSystemDir.empty() ? systemDir : nativeSystemDir;
  }
};

ScriptedPrompts &Prompts();
RecordingShell &Shell();
SandboxPlaces &Places();

// The test's own folder (with trailing "\"), emptied and removed after the test.
std::string TestDir();
// The folder of the running test program (where helper programs are built), with "\".
std::string ExeDir();
// The program folder the build lays out (Lumagrove\ beside bin\), with "\".
std::string BuiltProgramDir();
// The machine's own system folder (without "\"), for a test that needs what only it holds (the
// HTML Help viewer): such a test points Places().systemDir at it.
std::string RealSystemDir();
// Writes a file with the given bytes, creating its folders.
void WriteFile(const std::string &path, const std::string &bytes);
std::string ReadFile(const std::string &path);
// Deletes a folder tree (best effort).
void RemoveTree(const std::string &path);
// Whether the test folder's file system keeps the hidden and system marks of files and folders
// (Wine keeps them beside the file, where the file system lets it).
bool KeepsAttributes();

// What an icon looks like, drawn at 32 x 32 on white (nothing drawn for nullptr), top row first:
// to tell pictures apart.
std::vector<DWORD> IconPixels(HICON icon);

// The real registry branch standing in for a predefined root during this process.
HKEY SandboxRoot(HKEY predefined);

// While it lives, HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT are the prefix's own again, for
// tests of what only the real keys do (their 32- and 64-bit views). Such tests use key names of
// their own and remove them.
class RealMachineRoots {
public:
  RealMachineRoots();
  ~RealMachineRoots();
  RealMachineRoots(const RealMachineRoots &) = delete;
  RealMachineRoots &operator=(const RealMachineRoots &) = delete;
};

} // namespace testenv
