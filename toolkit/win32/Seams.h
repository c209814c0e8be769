// The few narrow doors through which the program reaches what blocks or looks outward: prompts
// (message boxes and dialogs), the shell (documents, programs, processes, notification icons)
// and the places of the system (program, system, Windows, temporary and Favorites folders, the
// version record).
// The real doors call Win32; tests install their own to answer, record and redirect.
#pragma once

#include <windows.h>

#include <commdlg.h> // after windows.h, which it needs

#include <string>

namespace tk {

// GetPrompts() asks these task-modal: while one is up, every window of the program is
// disabled, and the dialog belongs to the window the user sees.
class Prompts {
public:
  virtual ~Prompts() = default;
  // A message box; returns the button pressed (IDOK, IDYES, IDNO, IDCANCEL ...).
  virtual int MessageBox(HWND owner, const std::string &text, const std::string &caption,
                         UINT flags) = 0;
  // The shell's change-icon picker over an ANSI path buffer of capacity bytes. TRUE (1) when
  // the user confirmed; then the buffer holds the chosen file and index its icon's position.
  // FALSE when the user cancelled; anything else when no picker could be shown (Wine's answers
  // -1 without a window; -1 too when the system exports none).
  virtual int PickIcon(HWND owner, char *path, UINT capacity, int *index) = 0;
  // The Open (or Save) dialog over a filled-in request; true when the user chose a file, whose
  // name is then in ofn.lpstrFile as GetOpenFileNameA leaves it.
  virtual bool FileDialog(OPENFILENAMEA &ofn, bool save) = 0;
  // The Color dialog over a filled-in request; true when the user chose a colour, which is
  // then in cc.rgbResult (and the custom colours in cc.lpCustColors) as ChooseColorA leaves
  // them.
  virtual bool ColorDialog(CHOOSECOLORA &cc) = 0;
};

class Shell {
public:
  virtual ~Shell() = default;
  virtual HINSTANCE ShellExecute(HWND owner, const std::string &operation, const std::string &file,
                                 const std::string &parameters, const std::string &directory,
                                 int showCmd) = 0;
  virtual UINT WinExec(const std::string &commandLine, UINT showCmd) = 0;
  // CreateProcessA with no application name, the caller's environment and current folder.
  virtual BOOL CreateProcess(char *commandLine, BOOL inheritHandles, DWORD creationFlags,
                             STARTUPINFOA *startup, PROCESS_INFORMATION *process) = 0;
  // The help viewers: HtmlHelpA of the HTML Help library once the process has loaded it (0
  // before that; file may be nullptr), and WinHelpA. Named so that no Win32 macro renames them.
  virtual HWND CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data) = 0;
  virtual BOOL CallWinHelp(HWND window, const std::string &file, UINT command, ULONG_PTR data) = 0;
  // Shell_NotifyIconA: icons of the notification area. The shell reads data->cbSize bytes.
  virtual BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA *data) = 0;
  // SystemParametersInfoA: the settings of the user's running session (cursors, cursor shadow,
  // pointer trails), which take effect at once, and with SPIF_SENDCHANGE a broadcast to every
  // top-level window.
  virtual BOOL SystemParameters(UINT action, UINT uiParam, void *pvParam, UINT winIni) = 0;
  // The system's About box (ShellAboutA) owned by owner: the title, one further line of text and
  // an icon (nullptr: the system's own).
  virtual int ShellAbout(HWND owner, const std::string &title, const std::string &otherText,
                         HICON icon) = 0;
  // SHChangeNotify: tells the shell that something it shows changed (SHCNE_ASSOCCHANGED with
  // SHCNF_IDLIST and no items: any icon may have changed).
  virtual void ChangeNotify(LONG eventId, UINT flags, const void *item1, const void *item2) = 0;
  // The Active Desktop object: makes file (a picture or a web page) the desktop's wallpaper in
  // the WPSTYLE_ style and applies the change with the AD_APPLY_ flags. S_OK, or the code of the
  // first call that failed, whose name is then in failedCall.
  virtual HRESULT SetDesktopWallpaper(const std::wstring &file, DWORD style, DWORD applyFlags,
                                      std::string &failedCall) = 0;
};

// The platform's version record, as the Windows family table reads it.
struct OsVersionRecord {
  DWORD platformId = 0;
  DWORD major = 0;
  DWORD minor = 0;
  std::string servicePack; // szCSDVersion
};

class Places {
public:
  virtual ~Places() = default;
  virtual std::string ProgramDir() = 0;   // folder of the running executable, with "\"
  virtual std::string SystemDir() = 0;    // without trailing "\"
  virtual std::string WindowsDir() = 0;   // without trailing "\"
  virtual std::string TempDir() = 0;      // with trailing "\"
  virtual std::string FavoritesDir() = 0; // without trailing "\", empty when unknown
  virtual OsVersionRecord WindowsVersion() = 0;
  // Where 64-bit Windows itself looks, for a process that Windows would redirect elsewhere: the
  // registry view flag of the system's own programs (KEY_WOW64_64KEY, 0 when there is nothing
  // to redirect), and the system folder by a name that reaches the real one ("Sysnative"; the
  // ordinary name where there is no redirection or no such name). No trailing "\".
  virtual REGSAM RegistryView() = 0;
  virtual std::string NativeSystemDir() = 0;
};

// What an answer of Prompts::PickIcon means: only TRUE is a choice.
enum class TIconPick { Chosen, Cancelled, NoPicker };
inline TIconPick IconPickOutcome(int answer) {
  return answer == TRUE    ? TIconPick::Chosen
         : answer == FALSE ? TIconPick::Cancelled
                           : TIconPick::NoPicker;
}

// The doors in force. Each starts as the real one; Set... with nullptr restores it.
Prompts &GetPrompts();
Shell &GetShell();
Places &GetPlaces();
void SetPrompts(Prompts *prompts);
void SetShell(Shell *shell);
void SetPlaces(Places *places);

// The real doors, for tests that pass some calls through.
Prompts &RealPrompts();
Shell &RealShell();
Places &RealPlaces();

} // namespace tk
