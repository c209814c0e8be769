#include "features/misc/Func_misc.h"

#include <algorithm>
#include <cstring>

#include "common/RegUnit.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/RunTimeApis.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

namespace {

// The shell's windows, found by their classes.
constexpr const char *TaskbarClass = "Shell_TrayWnd";
constexpr const char *StartButtonClass = "Button";
constexpr const char *BandClass = "ReBarWindow32";
constexpr const char *NotifyClass = "TrayNotifyWnd";

// The button is designed 32 pixels high, at the taskbar's top left; the band keeps 5 pixels from
// it. Its width is the caption's and a margin for the flag, never below the default button's.
constexpr int ButtonHeight = 32;
constexpr int BandGap = 5;
constexpr int CaptionMargin = 64;
constexpr int MinButtonWidth = 99;
constexpr int MaxButtonWidth = 0xFFFF; // a 16-bit width

// How long a caption's Apply waits for closed helpers to end.
constexpr DWORD HelperExitWaitMs = 5000;

int MeasuredWidth(TCustomForm &form, const std::string &text) {
  HWND window = form.Handle();
  HDC dc = GetDC(window);
  int width = 0;
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font().Assign(form.Font());
    width = canvas.TextWidth(text);
    canvas.SetHandle(nullptr);
  }
  ReleaseDC(window, dc);
  return width;
}

std::string ConfigFile() { return GetConfigFolder("Data") + "Config.ini"; }

} // namespace

// ---- the taskbar -----------------------------------------------------------------------------

void SetTaskbarTransparency(int Alpha) {
  // By an empty window name: the shell's taskbar has no title.
  HWND taskbar = FindWindowA(TaskbarClass, "");
  if (!taskbar || !LayeredWindowsExist())
    return;
  SetWindowLongA(taskbar, GWL_EXSTYLE, GetWindowLongA(taskbar, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAlpha(taskbar, BYTE(std::clamp(Alpha, 0, 255)));
}

HWND FindStartButton() {
  HWND taskbar = FindWindowA(TaskbarClass, nullptr);
  return taskbar ? FindWindowExA(taskbar, nullptr, StartButtonClass, nullptr) : nullptr;
}

StartButtonTextRecord MakeStartButtonTextRecord(const std::string &Caption) {
  StartButtonTextRecord record;
  record.fill(' ');
  std::memcpy(record.data(), Caption.data(), std::min(Caption.size(), record.size()));
  return record;
}

std::string TrimCaption(const std::string &Caption) {
  size_t end = Caption.size();
  while (end > 0 && static_cast<unsigned char>(Caption[end - 1]) <= ' ')
    --end;
  return Caption.substr(0, end);
}

void GetStartButtonCaption(HWND Button, StartButtonTextBuffer &Buffer) {
  Buffer.fill('\0');
  // Without a button there is no text: some systems leave a failed call's buffer undefined.
  if (Button && IsWindow(Button))
    GetWindowTextA(Button, Buffer.data(), int(Buffer.size()));
}

StartButtonLayout SetStartButtonCaption(HWND Button, const StartButtonTextRecord &Record,
                                        TCustomForm &MeasuringForm) {
  HWND taskbar = FindWindowA(TaskbarClass, nullptr);
  if (!Button || !taskbar || !IsWindow(Button))
    return {};
  RECT bar;
  GetWindowRect(taskbar, &bar);
  RECT notify = {0, 0, 0, 0};
  if (HWND notifyArea = FindWindowExA(taskbar, nullptr, NotifyClass, nullptr))
    GetWindowRect(notifyArea, &notify);

  std::string text = TrimCaption(std::string(Record.data(), Record.size()));
  int width = std::clamp(MeasuredWidth(MeasuringForm, text) + CaptionMargin, MinButtonWidth,
                         MaxButtonWidth);
  // A caption wider than the free space leaves the band no room at all, never less.
  int bandWidth = std::max(0, int((bar.right - bar.left) - (notify.right - notify.left)) - width);

  // The button keeps the record's trailing blanks; the record itself has no terminator.
  char terminated[StartButtonTextLength + 1];
  std::memcpy(terminated, Record.data(), Record.size());
  terminated[StartButtonTextLength] = '\0';
  SendMessageA(Button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated));

  if (HWND band = FindWindowExA(taskbar, nullptr, BandClass, nullptr))
    SetWindowPos(band, HWND_TOP, width + BandGap, 0, bandWidth, int(bar.bottom - bar.top),
                 SWP_SHOWWINDOW);
  SetWindowPos(Button, HWND_TOP, 0, 0, width, ButtonHeight, SWP_SHOWWINDOW);
  return {width, {width + BandGap, 0}};
}

bool StartButtonKeeps(HWND Button, const std::string &Caption, const StartButtonLayout &Last) {
  StartButtonTextBuffer shown;
  GetStartButtonCaption(Button, shown);
  if (TrimCaption(shown.data()) != TrimCaption(Caption.substr(0, StartButtonTextLength)))
    return false;
  RECT button;
  if (!GetWindowRect(Button, &button) || button.right - button.left != Last.ButtonWidth)
    return false;
  HWND taskbar = GetParent(Button);
  HWND band = taskbar ? FindWindowExA(taskbar, nullptr, BandClass, nullptr) : nullptr;
  if (!band)
    return true;
  RECT place;
  GetWindowRect(band, &place);
  MapWindowPoints(nullptr, taskbar, reinterpret_cast<POINT *>(&place), 2);
  return place.left == Last.BandPos.x && place.top == Last.BandPos.y;
}

bool WatchStartButton(const std::string &Caption, StartButtonLayout &Last,
                      TCustomForm &MeasuringForm) {
  HWND button = FindStartButton();
  if (!button || StartButtonKeeps(button, Caption, Last))
    return false;
  Last = SetStartButtonCaption(button, MakeStartButtonTextRecord(Caption), MeasuringForm);
  return true;
}

// ---- Config.ini ------------------------------------------------------------------------------

int ReadTaskbarAlpha() {
  return std::clamp(TIniFile(ConfigFile()).ReadInteger("Taskbar", "Transparent", 255), 0, 255);
}

void WriteTaskbarAlpha(int Alpha) {
  TIniFile ini(ConfigFile());
  ini.WriteInteger("Taskbar", "Transparent", Alpha);
  // A helper started next reads the file from the disk.
  ini.UpdateFile();
}

std::string ReadStartButtonCaption() {
  // The profile reader takes away the blanks around a value and then one pair of quotes that
  // enclose it: what stands inside the quotes the writer adds comes back whole.
  return TIniFile(ConfigFile()).ReadString("StartButton", "Caption", "");
}

void WriteStartButtonCaption(const std::string &Caption) {
  TIniFile ini(ConfigFile());
  ini.WriteString("StartButton", "Caption", '"' + Caption + '"');
  ini.UpdateFile();
}

bool TransparencyNeedsHelper(int Alpha) { return Alpha < 255; }

bool CaptionNeedsHelper(const std::string &Caption) {
  return !Caption.empty() && Caption != "Start";
}

// ---- the tray helper ------------------------------------------------------------------------

std::vector<HWND> FindHelperWindows() {
  std::vector<HWND> windows;
  for (HWND window = FindWindowExA(nullptr, nullptr, HelperWindowClass, HelperWindowCaption);
       window; window = FindWindowExA(nullptr, window, HelperWindowClass, HelperWindowCaption))
    windows.push_back(window);
  return windows;
}

void CloseHelpers() {
  std::vector<HANDLE> processes;
  for (HWND window : FindHelperWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    // A helper's form inside this very process can only be asked to close.
    if (pid != GetCurrentProcessId())
      if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid))
        processes.push_back(process);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, HelperExitWaitMs, &result);
  }
  DWORD start = GetTickCount();
  for (HANDLE process : processes) {
    DWORD waited = GetTickCount() - start;
    WaitForSingleObject(process, waited < HelperExitWaitMs ? HelperExitWaitMs - waited : 0);
    CloseHandle(process);
  }
}

void StartHelper(HWND Owner) {
  GetShell().ShellExecute(Owner, "open", ProgramFolder() + HelperFileName, "", "",
                          SW_SHOWMAXIMIZED);
}

std::string HelperAutostartCommand() {
  std::string command = "\"";
  command += ProgramFolder();
  command += HelperFileName;
  command += '"';
  return command;
}

std::string ReadHelperAutostart() {
  std::string command = Trim(ReadRegValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue));
  if (command.empty() || command[0] != '"')
    return command; // written unquoted by an earlier version
  size_t close = command.find('"', 1);
  return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
}

bool SetHelperAutostart(bool On, TRefusedWrites &Refused) {
  return On ? TryWriteRegValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue,
                               HelperAutostartCommand(), 1, Refused)
            : TryDeleteRegValue(HKEY_LOCAL_MACHINE, AutostartKey, AutostartValue, Refused);
}

bool TrySetHelperAutostart(bool On) {
  TRefusedWrites refused;
  return SetHelperAutostart(On, refused);
}
