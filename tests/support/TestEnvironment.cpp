#include "support/TestEnvironment.h"

#include "support/Registry.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace testenv {

namespace {

ScriptedPrompts g_prompts;
RecordingShell g_shell;
SandboxPlaces g_places;

// The predefined roots each process redirects, and the branches that stand in for them.
struct Redirect {
  HKEY predefined;
  const char *name;
  HKEY branch;
};
Redirect g_redirects[] = {{HKEY_CLASSES_ROOT, "HKCR", nullptr},
                          {HKEY_CURRENT_USER, "HKCU", nullptr},
                          {HKEY_LOCAL_MACHINE, "HKLM", nullptr},
                          {HKEY_USERS, "HKU", nullptr}};
std::string g_sandboxKey; // below the real HKEY_CURRENT_USER
std::string g_processDir; // this process's scratch folder

void ClearKey(HKEY key) {
  char name[512];
  for (;;) {
    DWORD len = sizeof(name);
    if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (SHDeleteKeyA(key, name) != ERROR_SUCCESS)
      break;
  }
  for (;;) {
    DWORD len = sizeof(name);
    if (RegEnumValueA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS)
      break;
  }
}

void OpenRegistrySandbox() {
  std::ostringstream key;
  key << "Software\\LumagroveTests\\" << GetCurrentProcessId() << "_" << GetTickCount();
  g_sandboxKey = key.str();
  for (auto &r : g_redirects) {
    std::string path = g_sandboxKey + "\\" + r.name;
    // A prefix that Wine is still setting up has been seen to refuse the first try.
    LSTATUS status = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 20; ++attempt) {
      status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &r.branch, nullptr);
      if (status == ERROR_SUCCESS)
        break;
      Sleep(50);
    }
    if (status != ERROR_SUCCESS) {
      fprintf(stderr, "cannot create the registry sandbox %s (error %ld)\n", path.c_str(),
              long(status));
      abort();
    }
  }
  // The branches are all open before HKEY_CURRENT_USER itself is redirected.
  for (auto &r : g_redirects) {
    if (RegOverridePredefKey(r.predefined, r.branch) != ERROR_SUCCESS) {
      fprintf(stderr, "RegOverridePredefKey failed for %s\n", r.name);
      abort();
    }
  }
}

void CloseRegistrySandbox() {
  for (auto &r : g_redirects)
    RegOverridePredefKey(r.predefined, nullptr);
  for (auto &r : g_redirects)
    RegCloseKey(r.branch);
  // The shared parent stays: deleting it when it looks empty races with processes starting.
  SHDeleteKeyA(HKEY_CURRENT_USER, g_sandboxKey.c_str());
}

std::string RealTempDir() {
  char buf[MAX_PATH + 1];
  DWORD n = GetTempPathA(MAX_PATH, buf);
  return std::string(buf, n);
}

void MakeDir(const std::string &path) { CreateDirectoryA(path.c_str(), nullptr); }

int g_testNumber = 0;

class SandboxListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo &) override {
    for (auto &r : g_redirects)
      ClearKey(r.branch);
    g_prompts.Reset();
    g_shell.Reset();
    std::ostringstream root;
    root << g_processDir << "t" << ++g_testNumber << "\\";
    g_places = SandboxPlaces();
    g_places.root = root.str();
    g_places.programDir = g_places.root + "Program\\";
    g_places.systemDir = g_places.root + "System";
    g_places.windowsDir = g_places.root + "Windows";
    g_places.tempDir = g_places.root + "Temp\\";
    g_places.favoritesDir = g_places.root + "Favorites";
    MakeDir(g_places.root);
    for (const std::string &dir : {g_places.programDir, g_places.systemDir, g_places.windowsDir,
                                   g_places.tempDir, g_places.favoritesDir})
      MakeDir(dir);
    tk::SetPrompts(&g_prompts);
    tk::SetShell(&g_shell);
    tk::SetPlaces(&g_places);
  }

  void OnTestEnd(const ::testing::TestInfo &) override {
    EXPECT_EQ(g_prompts.Pending(), 0u) << "scripted prompts were never shown";
    ReleaseRefusedKeys();
    tk::SetPrompts(nullptr);
    tk::SetShell(nullptr);
    tk::SetPlaces(nullptr);
    RemoveTree(g_places.root);
  }
};

} // namespace

int ScriptedPrompts::MessageBox(HWND, const std::string &text, const std::string &caption,
                                UINT flags) {
  seen_.push_back({text, caption, flags});
  if (!script_.empty()) {
    ExpectedPrompt next = script_.front();
    bool textOk = next.text.empty() || text.find(next.text) != std::string::npos;
    bool captionOk = next.caption.empty() || caption == next.caption;
    if (textOk && captionOk) {
      script_.pop_front();
      return next.answer;
    }
  }
  ADD_FAILURE() << "unexpected prompt: \"" << text << "\" (caption \"" << caption << "\")";
  // Never block: answer as a user backing out would.
  UINT buttons = flags & MB_TYPEMASK;
  if (buttons == MB_YESNO)
    return IDNO;
  return buttons == MB_OK ? IDOK : IDCANCEL;
}

int ScriptedPrompts::PickIcon(HWND, char *path, UINT capacity, int *index) {
  seenIconPicks_.push_back({std::string(path, strnlen(path, capacity)), capacity, *index});
  if (iconScript_.empty()) {
    ADD_FAILURE() << "unexpected icon picker for \"" << seenIconPicks_.back().file << "\"";
    return 0; // as if cancelled
  }
  ExpectedIconPick next = iconScript_.front();
  iconScript_.pop_front();
  if (next.answer) {
    // Like the shell, never past the caller's buffer.
    size_t n = std::min<size_t>(next.file.size(), capacity - 1);
    next.file.copy(path, n);
    path[n] = 0;
    *index = next.index;
  }
  return next.answer;
}

namespace {

// A double-NUL-terminated list back to "a|b|c".
std::string JoinNulList(const char *list) {
  std::string joined;
  for (const char *p = list; p && *p; p += strlen(p) + 1) {
    if (!joined.empty())
      joined += '|';
    joined += p;
  }
  return joined;
}

} // namespace

bool ScriptedPrompts::FileDialog(OPENFILENAMEA &ofn, bool save) {
  seenDialogs_.push_back(
      {save, ofn.lpstrTitle ? ofn.lpstrTitle : "", JoinNulList(ofn.lpstrFilter),
       ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "", ofn.lpstrFile ? ofn.lpstrFile : "",
       ofn.lpstrDefExt ? ofn.lpstrDefExt : "", int(ofn.nFilterIndex), ofn.Flags});
  if (dialogs_.empty() || dialogs_.front().save != save) {
    ADD_FAILURE() << "unexpected " << (save ? "Save" : "Open") << " dialog \""
                  << (ofn.lpstrTitle ? ofn.lpstrTitle : "") << "\"";
    return false; // the user cancels
  }
  ExpectedFileDialog next = dialogs_.front();
  dialogs_.pop_front();
  if (next.files.empty())
    return false;
  // What the system leaves: one full path, or (multi-selection, explorer style) the folder
  // followed by the names, each NUL-terminated, and a final NUL.
  std::string result;
  if (next.files.size() == 1) {
    result = next.files[0];
    result += '\0';
  } else {
    std::string dir = next.files[0].substr(0, next.files[0].find_last_of('\\'));
    result = dir + '\0';
    for (const std::string &f : next.files)
      result += f.substr(f.find_last_of('\\') + 1) + '\0';
  }
  result += '\0';
  if (result.size() > ofn.nMaxFile) {
    ADD_FAILURE() << "the dialog's file buffer is too small for the scripted choice";
    return false;
  }
  memcpy(ofn.lpstrFile, result.data(), result.size());
  const std::string &first = next.files[0];
  size_t slash = first.find_last_of('\\');
  ofn.nFileOffset = WORD(slash + 1);
  size_t dot = first.find_last_of('.');
  ofn.nFileExtension = WORD(dot != std::string::npos && dot > slash ? dot + 1 : 0);
  if (next.filterIndex)
    ofn.nFilterIndex = DWORD(next.filterIndex);
  return true;
}

bool RealFileDialogs::FileDialog(OPENFILENAMEA &ofn, bool save) {
  programHook_ = (ofn.Flags & OFN_ENABLEHOOK) ? ofn.lpfnHook : nullptr;
  ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
  ofn.lpfnHook = &RealFileDialogs::Hook;
  current_ = this;
  bool chosen = tk::RealPrompts().FileDialog(ofn, save);
  current_ = nullptr;
  return chosen;
}

UINT_PTR CALLBACK RealFileDialogs::Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  RealFileDialogs *self = current_;
  UINT_PTR result =
      self && self->programHook_ ? self->programHook_(dialog, msg, wParam, lParam) : 0;
  if (self && self->whenUp && msg == WM_NOTIFY &&
      reinterpret_cast<NMHDR *>(lParam)->code == CDN_INITDONE)
    self->whenUp(GetParent(dialog));
  return result;
}

bool ScriptedPrompts::ColorDialog(CHOOSECOLORA &cc) {
  SeenColorDialog seen{cc.rgbResult, cc.Flags, {}};
  if (cc.lpCustColors)
    std::copy(cc.lpCustColors, cc.lpCustColors + 16, seen.custom);
  seenColorDialogs_.push_back(seen);
  if (colorDialogs_.empty()) {
    ADD_FAILURE() << "unexpected Color dialog";
    return false; // the user cancels
  }
  ExpectedColorDialog next = colorDialogs_.front();
  colorDialogs_.pop_front();
  if (next.choose)
    cc.rgbResult = next.color;
  return next.choose;
}

HINSTANCE RecordingShell::ShellExecute(HWND, const std::string &operation, const std::string &file,
                                       const std::string &parameters, const std::string &directory,
                                       int showCmd) {
  calls.push_back({"ShellExecute", operation, file, parameters, directory, showCmd, 0, FALSE});
  return reinterpret_cast<HINSTANCE>(42); // above 32: success
}

UINT RecordingShell::WinExec(const std::string &commandLine, UINT showCmd) {
  calls.push_back({"WinExec", "", commandLine, "", "", int(showCmd), 0, FALSE});
  return 33;
}

BOOL RecordingShell::CreateProcess(char *commandLine, BOOL inheritHandles, DWORD creationFlags,
                                   STARTUPINFOA *startup, PROCESS_INFORMATION *process) {
  int show = (startup && (startup->dwFlags & STARTF_USESHOWWINDOW)) ? startup->wShowWindow : -1;
  calls.push_back({"CreateProcess", "", commandLine ? commandLine : "", "", "", show, creationFlags,
                   inheritHandles});
  if (allowProcesses)
    return tk::RealShell().CreateProcess(commandLine, inheritHandles, creationFlags, startup,
                                         process);
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

HWND RecordingShell::CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data) {
  HelpCall call;
  call.what = "HtmlHelp";
  call.window = caller;
  call.hasFile = file != nullptr;
  call.file = file ? file : "";
  call.command = command;
  call.data = data;
  if (command == HH_DISPLAY_TEXT_POPUP && data) {
    call.popup = *reinterpret_cast<const HH_POPUP *>(data);
    call.text = call.popup.pszText ? call.popup.pszText : "";
    call.font = call.popup.pszFont ? call.popup.pszFont : "";
    call.popup.pszText = call.popup.pszFont = nullptr;
  }
  helpCalls.push_back(call);
  if (allowHtmlHelp)
    return tk::RealShell().CallHtmlHelp(caller, file, command, data);
  return htmlHelpResult;
}

BOOL RecordingShell::CallWinHelp(HWND window, const std::string &file, UINT command,
                                 ULONG_PTR data) {
  HelpCall call;
  call.what = "WinHelp";
  call.window = window;
  call.hasFile = true;
  call.file = file;
  call.command = command;
  call.data = data;
  if ((command == HELP_COMMAND || command == HELP_KEY || command == HELP_PARTIALKEY) && data)
    call.text = reinterpret_cast<const char *>(data);
  helpCalls.push_back(call);
  return winHelpResult;
}

BOOL RecordingShell::NotifyIcon(DWORD message, NOTIFYICONDATAA *data) {
  ShellCall call;
  call.what = "NotifyIcon";
  call.iconMessage = message;
  // Only the bytes the caller announced: older layouts are shorter than today's structure.
  if (data)
    memcpy(&call.iconData, data, std::min<size_t>(data->cbSize, sizeof(call.iconData)));
  calls.push_back(call);
  return TRUE;
}

HRESULT RecordingShell::SetDesktopWallpaper(const std::wstring &file, DWORD style, DWORD applyFlags,
                                            std::string &failedCall) {
  ShellCall call;
  call.what = "SetDesktopWallpaper";
  int n =
      WideCharToMultiByte(CP_ACP, 0, file.c_str(), int(file.size()), nullptr, 0, nullptr, nullptr);
  call.file.resize(size_t(n));
  WideCharToMultiByte(CP_ACP, 0, file.c_str(), int(file.size()), call.file.data(), n, nullptr,
                      nullptr);
  call.showCmd = int(style);
  call.creationFlags = applyFlags;
  calls.push_back(call);
  failedCall = FAILED(desktopResult) ? desktopFailedCall : "";
  return desktopResult;
}

BOOL RecordingShell::SystemParameters(UINT action, UINT uiParam, void *pvParam, UINT winIni) {
  ShellCall call;
  call.what = "SystemParameters";
  call.action = action;
  call.uiParam = uiParam;
  call.pvParam = reinterpret_cast<UINT_PTR>(pvParam);
  call.winIni = winIni;
  calls.push_back(call);
  return TRUE;
}

std::vector<ShellCall> RecordingShell::ParameterCalls() const {
  std::vector<ShellCall> result;
  for (const ShellCall &call : calls)
    if (call.what == "SystemParameters")
      result.push_back(call);
  return result;
}

int RecordingShell::ShellAbout(HWND, const std::string &title, const std::string &otherText,
                               HICON) {
  calls.push_back({"ShellAbout", "", title, otherText, "", 0, 0, FALSE});
  return TRUE;
}

void RecordingShell::ChangeNotify(LONG eventId, UINT flags, const void *item1, const void *item2) {
  ShellCall call;
  call.what = "ChangeNotify";
  call.action = UINT(eventId);
  call.uiParam = flags;
  calls.push_back(call);
  if (allowChangeNotify)
    tk::RealShell().ChangeNotify(eventId, flags, item1, item2);
}

std::vector<ShellCall> RecordingShell::IconCalls() const {
  std::vector<ShellCall> result;
  for (const ShellCall &call : calls)
    if (call.what == "NotifyIcon")
      result.push_back(call);
  return result;
}

ScriptedPrompts &Prompts() { return g_prompts; }
RecordingShell &Shell() { return g_shell; }
SandboxPlaces &Places() { return g_places; }
std::string TestDir() { return g_places.root; }

std::string ExeDir() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

std::string BuiltProgramDir() { return ExeDir() + "..\\Lumagrove\\"; }

std::string RealSystemDir() {
  char path[MAX_PATH + 1] = {};
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, n);
}

void WriteFile(const std::string &path, const std::string &bytes) {
  for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
    MakeDir(path.substr(0, i));
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out)
    ADD_FAILURE() << "cannot write " << path;
}

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void RemoveTree(const std::string &path) {
  std::string dir = path;
  if (!dir.empty() && dir.back() == '\\')
    dir.pop_back();
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..")
        continue;
      std::string full = dir + "\\" + name;
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(dir.c_str());
}

bool KeepsAttributes() {
  std::string probe = g_places.root + "attribute_probe";
  WriteFile(probe + "\\file", "x");
  const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  bool kept = true;
  for (const std::string &path : {probe, probe + "\\file"}) {
    DWORD before = GetFileAttributesA(path.c_str()) & ~DWORD(FILE_ATTRIBUTE_NORMAL);
    kept = kept && SetFileAttributesA(path.c_str(), before | marks) &&
           (GetFileAttributesA(path.c_str()) & marks) == marks;
  }
  RemoveTree(probe);
  return kept;
}

std::vector<DWORD> IconPixels(HICON icon) {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(bi.bmiHeader), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void *bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, 32, 32, WHITENESS);
  if (icon)
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD *>(bits), static_cast<DWORD *>(bits) + 32 * 32);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

HKEY SandboxRoot(HKEY predefined) {
  for (auto &r : g_redirects)
    if (r.predefined == predefined)
      return r.branch;
  return nullptr;
}

RealMachineRoots::RealMachineRoots() {
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
}

RealMachineRoots::~RealMachineRoots() {
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, SandboxRoot(HKEY_LOCAL_MACHINE));
  RegOverridePredefKey(HKEY_CLASSES_ROOT, SandboxRoot(HKEY_CLASSES_ROOT));
}

} // namespace testenv

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no sandbox.
  bool listing = ::testing::GTEST_FLAG(list_tests);
  if (!listing) {
    std::ostringstream dir;
    dir << testenv::RealTempDir() << "lgtest_" << GetCurrentProcessId() << "_" << GetTickCount()
        << "\\";
    testenv::g_processDir = dir.str();
    testenv::MakeDir(testenv::g_processDir);
    testenv::OpenRegistrySandbox();
    ::testing::UnitTest::GetInstance()->listeners().Append(new testenv::SandboxListener);
  }
  int result = RUN_ALL_TESTS();
  if (!listing) {
    testenv::CloseRegistrySandbox();
    testenv::RemoveTree(testenv::g_processDir);
  }
  return result;
}
