#include "tray/UnitFrmHovelin.h"

#include <algorithm>

#include "common/RegUnit.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmHovelin *FrmHovelin = nullptr;

namespace {

constexpr const char *WallpaperPageName = "Lumagrove_wp.html";
constexpr const char *FirstDefaultPicture = "Lumagrove01.jpg";
// The Display Properties' Settings page, through the system folder's rundll32: a bare name is
// looked for in the program's and the current folder first.
constexpr const char *DisplayPropertiesArguments = " shell32.dll,Control_RunDLL desk.cpl,,4";
constexpr const char *AboutText = "Keeps Lumagrove's taskbar and Start button in force.";
constexpr UINT WatchIntervalMs = 1000;
constexpr DWORD WallpaperStretched = 2; // WPSTYLE_STRETCH
constexpr DWORD ApplyEverything = 15;   // AD_APPLY_ALL | AD_APPLY_FORCE

// The form's window has a class of its own, so that Lumagrove finds the helper by class and
// caption together and never closes another program's window that shares the caption.
void RegisterFormClass() {
  static bool registered = false;
  if (registered)
    return;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcA; // the toolkit subclasses the window once it exists
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = HelperWindowClass;
  registered = RegisterClassA(&wc) != 0;
}

// The desktop's icon list: the top child of the top child of the shell's Program Manager.
HWND DesktopIconList() {
  HWND progman = FindWindowA("progman", "Program Manager");
  HWND view = progman ? GetWindow(progman, GW_CHILD) : nullptr;
  return view ? GetWindow(view, GW_CHILD) : nullptr;
}

std::string SystemErrorText(HRESULT result) {
  std::string message = SysErrorMessage(DWORD(result));
  return message.empty() ? "Error " + IntToHex(uint32_t(result), 8) : message;
}

} // namespace

void TFrmHovelin::GetCreateParams(CreateParams &params) {
  TForm::GetCreateParams(params);
  RegisterFormClass();
  params.windowClass = HelperWindowClass;
}

TMenuItem *TFrmHovelin::AddItem(TMenuItem *&member, const char *name, TMenuItem *parent,
                                const char *caption, void (TFrmHovelin::*handler)(TObject *)) {
  member = new TMenuItem(this);
  member->SetName(name);
  member->SetCaption(caption);
  if (handler)
    member->OnClick = Bind(this, handler);
  parent->Add(member);
  return member;
}

void TFrmHovelin::Build() {
  SetFormName(this, "FrmHovelin");
  SetBorderStyle(bsNone);
  SetBorderIcons(0);
  SetCaption(HelperWindowCaption);
  SetClientSize(379, 276);
  // The Start button's font: the caption is measured on this form.
  Font().SetName("Arial");
  Font().SetHeight(-17);
  Font().SetStyle(fsBold | fsItalic);

  LG_NEW(Label1, TLabel, this);
  Label1->SetParent(this);
  Label1->SetBounds(8, 8, 360, 20);
  LG_NEW(Edit3, TEdit, this);
  Edit3->SetParent(this);
  Edit3->SetBounds(8, 40, 360, 24);
  Edit3->SetMaxLength(int(StartButtonTextLength));

  LG_NEW(PopupMenu1, TPopupMenu, this);
  TMenuItem *menu = PopupMenu1->Items();
  AddItem(N8, "N8", menu, "Launch Lumagrove", &TFrmHovelin::N8Click);
  AddItem(N9, "N9", menu, "Display Properties", &TFrmHovelin::N9Click);
  AddItem(N10, "N10", menu, "Start Screen Saver", &TFrmHovelin::N10Click);
  AddItem(N2, "N2", menu, "Start Transition", &TFrmHovelin::N2Click);
  AddItem(N3, "N3", menu, "Stop Transition", &TFrmHovelin::N3Click);
  AddItem(N4, "N4", menu, "Show Desktop Icons", &TFrmHovelin::N4Click);
  AddItem(N5, "N5", menu, "Hide Desktop Icons", &TFrmHovelin::N5Click);
  AddItem(Options1, "Options1", menu, "Options", nullptr);
  AddItem(N12, "N12", Options1, "Launch when Windows starts", &TFrmHovelin::N12Click);
  AddItem(N6, "N6", menu, "About", &TFrmHovelin::N6Click);
  AddItem(N7, "N7", menu, "Help", &TFrmHovelin::N7Click);
  AddItem(N11, "N11", menu, "-", nullptr);
  AddItem(N1, "N1", menu, "Exit", &TFrmHovelin::N1Click);

  LG_NEW(TrayIcon1, TTrayIcon, this);
  TrayIcon1->SetHint(HelperWindowCaption);
  if (HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0)))
    TrayIcon1->Icon().SetHandle(icon);
  TrayIcon1->SetPopupMenu(PopupMenu1);
  TrayIcon1->MinimizeToTray = true;
  TrayIcon1->SetCycleInterval(0);
  TrayIcon1->SetIconVisible(true);

  Timer1 = std::make_unique<TSimpleTimer>(WatchIntervalMs,
                                          [this](TSimpleTimer *timer) { Timer1Timer(timer); });
  Timer1->SetEnabled(true);

  OnCreate = Bind(this, &TFrmHovelin::FormCreate);
}

void TFrmHovelin::FormCreate(TObject *) {
  // No taskbar button for the helper, and its form above every other window.
  HWND application = Application->Handle();
  SetWindowLongA(application, GWL_EXSTYLE,
                 (GetWindowLongA(application, GWL_EXSTYLE) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  // Read once: a caption Lumagrove stores later reaches the next helper it starts.
  configuredCaption_ = ReadStartButtonCaption();
  ApplyToTaskbar();

  std::string autostart = ReadHelperAutostart();
  N12->SetChecked(!autostart.empty() && FileExists(autostart));
}

void TFrmHovelin::ApplyToTaskbar() {
  SetTaskbarTransparency(ReadTaskbarAlpha());
  // Empty and "Start" leave the button as Windows made it.
  if (CaptionNeedsHelper(configuredCaption_)) {
    Edit3->SetText(configuredCaption_);
    layout_ =
        SetStartButtonCaption(FindStartButton(), MakeStartButtonTextRecord(Edit3->Text()), *this);
  }
}

void TFrmHovelin::Timer1Timer(TSimpleTimer *) {
  if (CaptionNeedsHelper(configuredCaption_))
    WatchStartButton(configuredCaption_, layout_, *this);
}

void TFrmHovelin::WndProc(TMessage &message) {
  TForm::WndProc(message);
  // The borderless form moves when dragged by any point of it.
  if (message.Msg == WM_NCHITTEST && message.Result == HTCLIENT)
    message.Result = HTCAPTION;
  // Explorer has started anew, with an opaque taskbar and a Start button of its own: the
  // transparency Lumagrove stores now, and the caption.
  UINT taskbarCreated = TTrayIcon::TaskbarCreatedMessage();
  if (taskbarCreated && message.Msg == taskbarCreated)
    ApplyToTaskbar();
}

void TFrmHovelin::applywallpaper() {
  std::string file = Label1->Caption();
  std::wstring wide(file.size(), L'\0');
  wide.resize(size_t(std::max(0, MultiByteToWideChar(CP_ACP, 0, file.data(), int(file.size()),
                                                     wide.data(), int(wide.size())))));
  std::string failedCall;
  HRESULT result =
      GetShell().SetDesktopWallpaper(wide, WallpaperStretched, ApplyEverything, failedCall);
  if (FAILED(result))
    throw Exception("The wallpaper could not be set: " + failedCall + " failed. " +
                    SystemErrorText(result));
}

void TFrmHovelin::N1Click(TObject *) { Close(); }

void TFrmHovelin::N2Click(TObject *) {
  bool made;
  {
    TNativeSystemFolder native;
    made = FileExists(GetNativeSystemDir() + "\\" + WallpaperPageName);
  }
  if (!made) {
    GetPrompts().MessageBox(Handle(), "Wallpaper list is not created!", "Error",
                            MB_OK | MB_ICONERROR);
    return;
  }
  // The system folder by the name the shell itself reads it under.
  Label1->SetCaption(GetSystemDir() + "\\" + WallpaperPageName);
  applywallpaper();
}

void TFrmHovelin::N3Click(TObject *) {
  Label1->SetCaption(GetConfigFolder("Wallpaper") + FirstDefaultPicture);
  applywallpaper();
}

void TFrmHovelin::N4Click(TObject *) {
  if (HWND icons = DesktopIconList())
    ShowWindow(icons, SW_SHOW);
}

void TFrmHovelin::N5Click(TObject *) {
  if (HWND icons = DesktopIconList())
    ShowWindow(icons, SW_HIDE);
}

void TFrmHovelin::N6Click(TObject *) {
  GetShell().ShellAbout(Handle(), HelperWindowCaption, AboutText, nullptr);
}

void TFrmHovelin::N7Click(TObject *) {
  GetShell().ShellExecute(Handle(), "open", ProgramFolder() + "Lumagrove.chm", "", "",
                          SW_SHOWMAXIMIZED);
}

void TFrmHovelin::N8Click(TObject *) {
  GetShell().ShellExecute(Handle(), "open", ProgramFolder() + "Lumagrove.exe", "", "",
                          SW_SHOWNORMAL);
}

void TFrmHovelin::N9Click(TObject *) {
  GetShell().WinExec('"' + GetSystemDir() + "\\rundll32.exe\"" + DisplayPropertiesArguments,
                     SW_RESTORE);
}

void TFrmHovelin::N10Click(TObject *) {
  PostMessageA(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

void TFrmHovelin::N12Click(TObject *) {
  bool on = !N12->Checked();
  // A standard user may not change what starts for every user: the tick shows what is so.
  if (!TrySetHelperAutostart(on)) {
    GetPrompts().MessageBox(Handle(),
                            "Windows did not allow the change: only an administrator can "
                            "choose whether Lumagrove Helper starts with Windows.",
                            "Error", MB_OK | MB_ICONERROR);
    return;
  }
  N12->SetChecked(on);
}
