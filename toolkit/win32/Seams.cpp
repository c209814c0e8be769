#include "toolkit/win32/Seams.h"

#include <wininet.h> // before shlobj.h, whose Active Desktop interface needs it

#include <shlobj.h>

#include <vector>

#include "toolkit/core/Classes.h"
#include "toolkit/win32/RunTimeApis.h"

namespace tk {

namespace {

// The process's current folder, put back after the icon picker: its Browse button opens the
// system's Open dialog, which leaves the current folder wherever the user went.
std::string CurrentFolder() {
  char folder[MAX_PATH * 2] = {};
  DWORD got = ::GetCurrentDirectoryA(sizeof(folder), folder);
  return got > 0 && got < sizeof(folder) ? std::string(folder, got) : std::string();
}

// shell32.dll from the system folder, never by its bare name (which would look beside the
// program and in the current folder first).
HMODULE Shell32() {
  if (HMODULE shell = ::GetModuleHandleA("shell32.dll"))
    return shell;
  char system[MAX_PATH] = {};
  UINT n = ::GetSystemDirectoryA(system, MAX_PATH);
  if (n == 0 || n >= MAX_PATH)
    return nullptr;
  return ::LoadLibraryA((std::string(system, n) + "\\shell32.dll").c_str());
}

class Win32Prompts : public Prompts {
public:
  int MessageBox(HWND owner, const std::string &text, const std::string &caption,
                 UINT flags) override {
    // No caption leaves the system's own ("Error").
    return ::MessageBoxA(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(), flags);
  }
  int PickIcon(HWND owner, char *path, UINT capacity, int *index) override {
    // The picker is exported by ordinal only.
    HMODULE shell = Shell32();
    FARPROC proc = shell ? ::GetProcAddress(shell, MAKEINTRESOURCEA(62)) : nullptr;
    // No picker to show: said as a picker that failed to show says it.
    if (!proc || capacity == 0)
      return -1;
    void *entry = reinterpret_cast<void *>(proc);
    const std::string folder = CurrentFolder();
    int confirmed = Pick(entry, owner, path, capacity, index);
    if (!folder.empty())
      ::SetCurrentDirectoryA(folder.c_str());
    return confirmed;
  }
  bool FileDialog(OPENFILENAMEA &ofn, bool save) override {
    return (save ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn)) != FALSE;
  }
  bool ColorDialog(CHOOSECOLORA &cc) override { return ::ChooseColorA(&cc) != FALSE; }

private:
  static int Pick(void *entry, HWND owner, char *path, UINT capacity, int *index) {
    // The Windows 95 family's picker takes ANSI text, the NT family's UTF-16.
    if (::GetVersion() & 0x80000000) {
      auto pick = reinterpret_cast<int(WINAPI *)(HWND, char *, UINT, int *)>(entry);
      return pick(owner, path, capacity, index);
    }
    std::wstring wide(capacity, L'\0');
    if (!::MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), int(capacity)))
      wide[0] = 0;
    auto pick = reinterpret_cast<int(WINAPI *)(HWND, WCHAR *, UINT, int *)>(entry);
    int confirmed = pick(owner, wide.data(), capacity, index);
    if (confirmed == TRUE) {
      if (!::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, path, int(capacity), nullptr, nullptr))
        path[0] = 0;
      path[capacity - 1] = 0;
    }
    return confirmed;
  }
};

class Win32Shell : public Shell {
public:
  HINSTANCE ShellExecute(HWND owner, const std::string &operation, const std::string &file,
                         const std::string &parameters, const std::string &directory,
                         int showCmd) override {
    return ::ShellExecuteA(owner, operation.empty() ? nullptr : operation.c_str(), file.c_str(),
                           parameters.empty() ? nullptr : parameters.c_str(),
                           directory.empty() ? nullptr : directory.c_str(), showCmd);
  }
  UINT WinExec(const std::string &commandLine, UINT showCmd) override {
    return ::WinExec(commandLine.c_str(), showCmd);
  }
  BOOL CreateProcess(char *commandLine, BOOL inheritHandles, DWORD creationFlags,
                     STARTUPINFOA *startup, PROCESS_INFORMATION *process) override {
    return ::CreateProcessA(nullptr, commandLine, nullptr, nullptr, inheritHandles, creationFlags,
                            nullptr, nullptr, startup, process);
  }
  HWND CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data) override {
    // Whoever needs HTML Help loads its library first; asking the loaded module for the entry
    // keeps the loading, and what to do when it fails, with the caller.
    using HtmlHelpProc = HWND(WINAPI *)(HWND, LPCSTR, UINT, DWORD_PTR);
    HMODULE library = ::GetModuleHandleA("hhctrl.ocx");
    FARPROC entry = library ? ::GetProcAddress(library, "HtmlHelpA") : nullptr;
    if (!entry)
      return nullptr;
    return reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void *>(entry))(caller, file, command,
                                                                           data);
  }
  BOOL CallWinHelp(HWND window, const std::string &file, UINT command, ULONG_PTR data) override {
    return ::WinHelpA(window, file.c_str(), command, data);
  }
  BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA *data) override {
    return ::Shell_NotifyIconA(message, data);
  }
  BOOL SystemParameters(UINT action, UINT uiParam, void *pvParam, UINT winIni) override {
    return ::SystemParametersInfoA(action, uiParam, pvParam, winIni);
  }
  int ShellAbout(HWND owner, const std::string &title, const std::string &otherText,
                 HICON icon) override {
    return ::ShellAboutA(owner, title.c_str(), otherText.c_str(), icon);
  }
  void ChangeNotify(LONG eventId, UINT flags, const void *item1, const void *item2) override {
    ::SHChangeNotify(eventId, flags, item1, item2);
  }
  HRESULT SetDesktopWallpaper(const std::wstring &file, DWORD style, DWORD applyFlags,
                              std::string &failedCall) override;
};

// The Active Desktop object and its interface, named here so that no import library has to
// carry them.
const CLSID ActiveDesktopClass = {
    0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const IID ActiveDesktopInterface = {
    0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

HRESULT Win32Shell::SetDesktopWallpaper(const std::wstring &file, DWORD style, DWORD applyFlags,
                                        std::string &failedCall) {
  // The object lives in this thread's apartment; a thread that has one keeps it (S_FALSE or
  // RPC_E_CHANGED_MODE), one that had none gets one for the call.
  HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IActiveDesktop *desktop = nullptr;
  HRESULT hr = ::CoCreateInstance(ActiveDesktopClass, nullptr, CLSCTX_INPROC_SERVER,
                                  ActiveDesktopInterface, reinterpret_cast<void **>(&desktop));
  failedCall = "CoCreateInstance";
  if (SUCCEEDED(hr) && !desktop)
    hr = E_NOINTERFACE;
  if (SUCCEEDED(hr)) {
    WALLPAPEROPT options = {sizeof(WALLPAPEROPT), style};
    failedCall = "SetWallpaper";
    hr = desktop->SetWallpaper(file.c_str(), 0);
    if (SUCCEEDED(hr)) {
      failedCall = "SetWallpaperOptions";
      hr = desktop->SetWallpaperOptions(&options, 0);
    }
    if (SUCCEEDED(hr)) {
      failedCall = "ApplyChanges";
      hr = desktop->ApplyChanges(applyFlags);
    }
    desktop->Release();
  }
  if (SUCCEEDED(hr))
    failedCall.clear();
  if (SUCCEEDED(init))
    ::CoUninitialize();
  return hr;
}

class Win32Places : public Places {
public:
  std::string ProgramDir() override {
    char path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
  }
  // The system and Windows folders are asked for with buffers of 255 characters.
  std::string SystemDir() override {
    char buf[256] = {};
    UINT n = ::GetSystemDirectoryA(buf, 255);
    return n < 255 ? std::string(buf, n) : std::string();
  }
  std::string WindowsDir() override {
    char buf[256] = {};
    UINT n = ::GetWindowsDirectoryA(buf, 255);
    return n < 255 ? std::string(buf, n) : std::string();
  }
  std::string TempDir() override {
    char buf[256] = {};
    DWORD n = ::GetTempPathA(255, buf);
    return n < 255 ? std::string(buf, n) : std::string();
  }
  std::string FavoritesDir() override {
    char buf[MAX_PATH + 1] = {};
    LPITEMIDLIST pidl = nullptr;
    if (::SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, &pidl) != S_OK)
      return std::string();
    BOOL ok = ::SHGetPathFromIDListA(pidl, buf);
    ::CoTaskMemFree(pidl);
    return ok ? std::string(buf) : std::string();
  }
  OsVersionRecord WindowsVersion() override {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(&info);
#pragma GCC diagnostic pop
    return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.szCSDVersion};
  }
  REGSAM RegistryView() override { return IsWow64() ? KEY_WOW64_64KEY : 0; }
  std::string NativeSystemDir() override {
    // The alias exists only for redirected processes, from Vista on; without it the caller
    // switches the redirection off around its file calls instead.
    if (IsWow64()) {
      std::string alias = WindowsDir() + "\\Sysnative";
      DWORD attributes = ::GetFileAttributesA(alias.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return alias;
    }
    return SystemDir();
  }
};

Prompts *g_prompts = nullptr;
Shell *g_shell = nullptr;
Places *g_places = nullptr;

} // namespace

Prompts &RealPrompts() {
  static Win32Prompts prompts;
  return prompts;
}
Shell &RealShell() {
  static Win32Shell shell;
  return shell;
}
Places &RealPlaces() {
  static Win32Places places;
  return places;
}

namespace {

// Whether the user can see window: shown, and more than the zero-sized application window that
// only carries the taskbar button.
bool Seen(HWND window) {
  RECT r;
  return window && ::IsWindowVisible(window) && ::GetWindowRect(window, &r) && r.right > r.left &&
         r.bottom > r.top;
}

// Hidden ones too: a form hidden behind a feature (the main window) takes a close message from
// elsewhere as well.
BOOL CALLBACK CollectEnabled(HWND window, LPARAM windows) {
  if (::IsWindowEnabled(window))
    reinterpret_cast<std::vector<HWND> *>(windows)->push_back(window);
  return TRUE;
}

// While a dialog is up, every other window of the program waits for it, as the program's own
// modal forms do. A dialog's loop runs for its owner alone: a form closed beneath it (by its
// close box, Alt+F4 or a close message from the taskbar) would be freed while the code that
// opened the dialog still runs in it. So the dialog belongs to the window the user sees, all
// the program's windows are disabled meanwhile (a disabled form closes only once the dialog
// is gone), and activation and focus come back to where they were. The dialog's loop runs
// inside the code that asked: a release that arrives in it waits as well (TNestedLoop).
class TaskModal {
public:
  explicit TaskModal(HWND &owner) : active_(::GetActiveWindow()), focus_(::GetFocus()) {
    if (!Seen(owner) && Seen(active_))
      owner = active_;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabled,
                        reinterpret_cast<LPARAM>(&disabled_));
    for (HWND window : disabled_)
      ::EnableWindow(window, FALSE);
  }
  ~TaskModal() {
    for (HWND window : disabled_)
      if (::IsWindow(window))
        ::EnableWindow(window, TRUE);
    if (active_ && ::IsWindow(active_) && ::IsWindowVisible(active_))
      ::SetActiveWindow(active_);
    if (focus_ && ::IsWindow(focus_) && ::GetFocus() != focus_ && ::IsWindowVisible(focus_))
      ::SetFocus(focus_);
  }
  TaskModal(const TaskModal &) = delete;
  TaskModal &operator=(const TaskModal &) = delete;

private:
  HWND active_, focus_;
  std::vector<HWND> disabled_;
  TNestedLoop loop_;
};

// The prompts the program asks through: whichever are in force, each one task-modal.
class TaskModalPrompts : public Prompts {
public:
  int MessageBox(HWND owner, const std::string &text, const std::string &caption,
                 UINT flags) override {
    TaskModal modal(owner);
    return Current().MessageBox(owner, text, caption, flags);
  }
  int PickIcon(HWND owner, char *path, UINT capacity, int *index) override {
    TaskModal modal(owner);
    return Current().PickIcon(owner, path, capacity, index);
  }
  bool FileDialog(OPENFILENAMEA &ofn, bool save) override {
    TaskModal modal(ofn.hwndOwner);
    return Current().FileDialog(ofn, save);
  }
  bool ColorDialog(CHOOSECOLORA &cc) override {
    TaskModal modal(cc.hwndOwner);
    return Current().ColorDialog(cc);
  }

private:
  static Prompts &Current() { return g_prompts ? *g_prompts : RealPrompts(); }
};

} // namespace

Prompts &GetPrompts() {
  static TaskModalPrompts prompts;
  return prompts;
}
Shell &GetShell() { return g_shell ? *g_shell : RealShell(); }
Places &GetPlaces() { return g_places ? *g_places : RealPlaces(); }
void SetPrompts(Prompts *prompts) { g_prompts = prompts; }
void SetShell(Shell *shell) { g_shell = shell; }
void SetPlaces(Places *places) { g_places = places; }

} // namespace tk
