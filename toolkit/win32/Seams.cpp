#include "toolkit/win32/Seams.h"

#include <shlobj.h>

namespace tk {

namespace {

class Win32Prompts : public Prompts {
public:
  int MessageBox(HWND owner, const std::string &text, const std::string &caption,
                 UINT flags) override {
    // No caption leaves the system's own ("Error").
    return ::MessageBoxA(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(), flags);
  }
  bool FileDialog(OPENFILENAMEA &ofn, bool save) override {
    return (save ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn)) != FALSE;
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
  BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA *data) override {
    return ::Shell_NotifyIconA(message, data);
  }
};

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

Prompts &GetPrompts() { return g_prompts ? *g_prompts : RealPrompts(); }
Shell &GetShell() { return g_shell ? *g_shell : RealShell(); }
Places &GetPlaces() { return g_places ? *g_places : RealPlaces(); }
void SetPrompts(Prompts *prompts) { g_prompts = prompts; }
void SetShell(Shell *shell) { g_shell = shell; }
void SetPlaces(Places *places) { g_places = places; }

} // namespace tk
