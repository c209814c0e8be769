#include "toolkit/forms/Forms.h"

#include <algorithm>

#include "toolkit/forms/Menus.h"
#include "toolkit/win32/Seams.h"

namespace tk {

TApplication *Application = nullptr;
TScreen *Screen = nullptr;

void InitApplication() {
  if (!Screen)
    Screen = new TScreen(nullptr);
  if (!Application) {
    Application = new TApplication(nullptr);
    Application->Initialize();
  }
}

void DoneApplication() {
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
}

void HandleToolkitException() {
  if (Application) {
    Application->HandleException();
    return;
  }
  try {
    throw;
  } catch (const std::exception &e) {
    GetPrompts().MessageBox(nullptr, e.what(), "", MB_OK | MB_ICONSTOP);
  } catch (...) {
    GetPrompts().MessageBox(nullptr, "Unknown error", "", MB_OK | MB_ICONSTOP);
  }
}

namespace {

// A close asked of a disabled window (a dialog or a modal form runs on top of it, and the code
// that opened that still runs in it) waits: true when it may close now. Once the window is
// enabled again the close is asked anew, so another program that ends ours still sees it end.
bool CloseNowOrWait(HWND window, bool &waiting) {
  if (IsWindowEnabled(window))
    return true;
  waiting = true;
  return false;
}

void PostWaitingClose(HWND window, bool &waiting) {
  if (waiting && IsWindowEnabled(window)) {
    waiting = false;
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
}

} // namespace

// --- TCustomForm ------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent *owner) : TWinControl(owner) {
  visible_ = false;
  color_ = clBtnFace;
  width_ = 320;
  height_ = 240;
  InitApplication();
  // A form is in the screen's list from the start, so its own creation can translate it.
  Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
  // From here on the form's events stay quiet: its pages and controls go one by one, and a
  // handler that ran then would meet a form half gone.
  BeginDestroying();
  if (untieGlobal_)
    untieGlobal_();
  if (menu_)
    SetMenu(nullptr);
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      HandleToolkitException();
    }
  }
  if (Screen) {
    auto &forms = Screen->forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->ActiveForm == this)
      Screen->ActiveForm = nullptr;
  }
  if (Application && Application->MainForm == this)
    Application->MainForm = nullptr;
}

void TCustomForm::Initialize() {
  // The creation is the form's own code: a loop that runs in it (a search that pumps) holds
  // the form, and whoever makes it, until it returns.
  TRunningCode running(this);
  struct Made {
    bool &flag;
    ~Made() { flag = false; }
  } made{initializing_};
  creating_ = true;
  HandleNeeded();
  BeginLoading();
  try {
    Build();
  } catch (...) {
    Loaded();
    creating_ = false;
    throw;
  }
  // The form first, so that what a component does in Loaded no longer counts as building.
  Loaded();
  for (int i = 0; i < ComponentCount(); ++i)
    Components(i)->Loaded();
  creating_ = false;
  // A creation handler that fails leaves a form that can still be shown, as the class library
  // does: its error goes to the application's box, not to whoever asked for the form.
  try {
    if (OnCreate)
      OnCreate(this);
  } catch (...) {
    HandleToolkitException();
  }
}

void TCustomForm::GetCreateParams(CreateParams &params) {
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  DWORD ex = 0;
  switch (borderStyle_) {
  case bsNone:
    break;
  case bsSingle:
    style |= WS_CAPTION | WS_BORDER;
    break;
  case bsSizeable:
    style |= WS_CAPTION | WS_THICKFRAME;
    break;
  case bsDialog:
    style |= WS_CAPTION | DS_MODALFRAME;
    ex |= WS_EX_DLGMODALFRAME;
    break;
  case bsToolWindow:
    style |= WS_CAPTION;
    ex |= WS_EX_TOOLWINDOW;
    break;
  case bsSizeToolWin:
    style |= WS_CAPTION | WS_THICKFRAME;
    ex |= WS_EX_TOOLWINDOW;
    break;
  }
  if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
    style |= WS_SYSMENU;
    bool dialogLike =
        borderStyle_ == bsDialog || borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin;
    if (!dialogLike) {
      if (borderIcons_ & biMinimize)
        style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize)
        style |= WS_MAXIMIZEBOX;
    }
    // The title-bar help button exists only without minimise and maximise buttons.
    if ((borderIcons_ & biHelp) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
      ex |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop)
    ex |= WS_EX_TOPMOST;
  params.style = style;
  params.exStyle = ex;
  params.parent = Application ? Application->Handle() : nullptr;
}

void TCustomForm::HandleCreated() {
  TWinControl::HandleCreated();
  if (menu_)
    menu_->UpdateBar();
  if (!icon_.Empty()) {
    SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
    SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Handle()));
  }
}

void TCustomForm::SetMenu(TMainMenu *menu) {
  if (menu == menu_)
    return;
  if (menu_) {
    menu_->form_ = nullptr;
    menu_->RemoveFreeNotification(this);
    if (handle_)
      ::SetMenu(handle_, nullptr);
  }
  menu_ = menu;
  if (menu_) {
    if (menu_->form_ && menu_->form_ != this)
      menu_->form_->SetMenu(nullptr);
    menu_->form_ = this;
    menu_->FreeNotification(this);
    menu_->UpdateBar();
  }
}

void TCustomForm::Notification(TComponent *component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove)
    return;
  if (component == menu_)
    SetMenu(nullptr);
  if (component == DefaultButton)
    DefaultButton = nullptr;
  if (component == CancelButton)
    CancelButton = nullptr;
  if (component == ActiveControl)
    ActiveControl = nullptr;
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
  TShortCut shortCut = ShortCut(key, shift);
  return menu_ && shortCut && menu_->DispatchShortCut(shortCut);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_)
    return;
  borderStyle_ = style;
  RecreateHandle();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_)
    return;
  borderIcons_ = icons;
  RecreateHandle();
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == formStyle_)
    return;
  formStyle_ = style;
  if (handle_)
    SetWindowPos(handle_, style == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetIcon(HICON icon) {
  icon_.SetHandle(icon);
  if (handle_) {
    SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

TWindowState TCustomForm::WindowState() const {
  if (handle_ && IsIconic(handle_))
    return wsMinimized;
  if (handle_ && IsZoomed(handle_))
    return wsMaximized;
  return wsNormal;
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (handle_ && visible_)
    ShowWindow(handle_, state == wsMinimized   ? SW_MINIMIZE
                        : state == wsMaximized ? SW_MAXIMIZE
                                               : SW_RESTORE);
}

void TCustomForm::Centre() {
  int w = Screen->Width(), h = Screen->Height();
  if (Position == poMainFormCenter && Application->MainForm && Application->MainForm != this) {
    TCustomForm *main = Application->MainForm;
    SetBounds(main->Left() + (main->Width() - width_) / 2,
              main->Top() + (main->Height() - height_) / 2, width_, height_);
    return;
  }
  SetBounds((w - width_) / 2, (h - height_) / 2, width_, height_);
}

void TCustomForm::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  if (visible) {
    ShowAs(SW_SHOW);
  } else {
    if (OnHide && !EventsMuted())
      OnHide(this);
    visible_ = false;
    if (handle_)
      ShowWindow(handle_, SW_HIDE);
  }
}

void TCustomForm::ShowAs(int command) {
  if (!shownOnce_ && Position != poDesigned && Position != poDefault)
    Centre();
  shownOnce_ = true;
  if (OnShow && !EventsMuted())
    OnShow(this);
  visible_ = true;
  ShowWindow(Handle(), command);
  if (Application && Application->MainForm == this)
    ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::ShowNoActivate() {
  if (!visible_)
    ShowAs(SW_SHOWNOACTIVATE);
}

void TCustomForm::BringToFront() {
  if (handle_ && visible_)
    SetForegroundWindow(handle_);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery && !EventsMuted())
    OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  // Closing frees most forms, and the code that ran a loop would resume in a freed one: the
  // close waits for the last loop and is asked again then. A modal form's close ends its loop
  // and the main form's ends the program's; neither frees anything, and a loop may be waiting
  // for just that.
  bool ends = modal_ || (Application && Application->MainForm == this);
  if (Loops() > 0 && !ends) {
    closeWaiting_ = true;
    return;
  }
  if (!CloseQuery())
    return;
  TCloseAction action = caHide;
  if (OnClose && !EventsMuted())
    OnClose(this, action);
  if (action == caNone)
    return;
  if (modal_) {
    if (ModalResult == mrNone)
      ModalResult = mrCancel;
    return;
  }
  if (Application && Application->MainForm == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
  case caHide:
    Hide();
    break;
  case caMinimize:
    SetWindowState(wsMinimized);
    break;
  case caFree:
    Release();
    break;
  default:
    break;
  }
}

void TCustomForm::Release() {
  // From now on the form is as good as gone: out of sight, deaf to events, and its global and
  // its name free for the next instance, which may be made before the release arrives.
  Hide();
  BeginDestroying();
  SetName("");
  if (untieGlobal_) {
    untieGlobal_();
    untieGlobal_ = nullptr;
  }
  PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::LoopsEnded() {
  if (releaseWaiting_ && handle_) {
    releaseWaiting_ = false;
    PostMessageA(handle_, CM_RELEASE, 0, 0);
  }
  AskWaitingClose();
}

void TCustomForm::AskWaitingClose() {
  if (handle_ && Loops() == 0)
    PostWaitingClose(handle_, closeWaiting_);
}

TModalResult TCustomForm::ShowModal() {
  // Every other window of the program waits while this one is up.
  std::vector<HWND> disabled;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm *f = Screen->Forms(i);
    if (f != this && f->HandleAllocated() && IsWindowEnabled(f->handle_) &&
        IsWindowVisible(f->handle_)) {
      EnableWindow(f->handle_, FALSE);
      disabled.push_back(f->handle_);
    }
  }
  modal_ = true;
  ModalResult = mrNone;
  Show();
  {
    TNestedLoop loop(this);
    while (ModalResult == mrNone && !Application->Terminated())
      Application->HandleMessage();
  }
  TModalResult result = ModalResult;
  for (HWND h : disabled)
    if (IsWindow(h))
      EnableWindow(h, TRUE);
  modal_ = false;
  if (handle_)
    Hide();
  return result;
}

void TCustomForm::ContextHelp(const HELPINFO *info) {
  if (!info || info->iContextType != HELPINFO_WINDOW || !Application)
    return;
  // The control asked about, or the nearest control around it that has a topic.
  TControl *control = FromHandle(static_cast<HWND>(info->hItemHandle));
  while (control && control->HelpContext == 0)
    control = control->Parent();
  if (!control)
    return;
  if (borderIcons_ & biHelp) {
    // The title bar's "?" asks what a control is for: its topic pops up at the control.
    POINT at = control->ClientToScreen({0, 0});
    Application->HelpCommand(HELP_SETPOPUP_POS, int(MAKELONG(WORD(at.x), WORD(at.y))));
    Application->HelpCommand(HELP_CONTEXTPOPUP, control->HelpContext);
  } else {
    Application->HelpContext(control->HelpContext);
  }
}

void TCustomForm::Resized() {
  TWinControl::Resized();
  if (handle_)
    InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomForm::PaintWindow(HDC dc, const RECT &) {
  if (!OnPaint || EventsMuted())
    return;
  canvas_.SetHandle(dc);
  canvas_.Font().Assign(Font());
  try {
    OnPaint(this);
  } catch (...) {
    canvas_.SetHandle(nullptr);
    throw;
  }
  canvas_.SetHandle(nullptr);
}

void TCustomForm::WndProc(TMessage &message) {
  switch (message.Msg) {
  case WM_CLOSE:
    if (CloseNowOrWait(handle_, closeWaiting_))
      Close();
    message.Result = 0;
    return;
  case WM_ENABLE:
    if (message.WParam)
      AskWaitingClose();
    break;
  case WM_ACTIVATE:
    if (LOWORD(message.WParam) != WA_INACTIVE) {
      Screen->ActiveForm = this;
      if (OnActivate && !EventsMuted())
        OnActivate(this);
    } else if (OnDeactivate && !EventsMuted()) {
      OnDeactivate(this);
    }
    break;
  case DM_GETDEFID:
    if (DefaultButton && DefaultButton->HandleAllocated() && DefaultButton->Enabled()) {
      message.Result = MAKELONG(GetDlgCtrlID(DefaultButton->HandleIfAllocated()), DC_HASDEFID);
      return;
    }
    message.Result = 0;
    return;
  case WM_COMMAND:
    // Enter and Escape from the dialog keys arrive as IDOK and IDCANCEL without a control.
    if (!message.LParam && HIWORD(message.WParam) == 0) {
      if (LOWORD(message.WParam) == IDCANCEL && CancelButton && CancelButton->Enabled()) {
        CancelButton->Click();
        return;
      }
      if (LOWORD(message.WParam) == IDOK && DefaultButton && DefaultButton->Enabled()) {
        DefaultButton->Click();
        return;
      }
    }
    break;
  case WM_SYSCOMMAND:
    // Minimising the main form minimises the program: the application window goes down with
    // its taskbar button and the forms it owns, and its hooks (a tray icon's) see it go.
    if ((message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm == this) {
      Application->Minimize();
      message.Result = 0;
      return;
    }
    break;
  case WM_HELP:
    // A control's own window passes the request up to its form, which hands it to the
    // application's help; a form placed inside another passes it on like any control.
    if (Parent())
      break;
    ContextHelp(reinterpret_cast<const HELPINFO *>(message.LParam));
    message.Result = TRUE;
    return;
  case WM_NEXTDLGCTL: {
    // IsDialogMessage moves the focus with this on some systems; our forms are no dialogs, so
    // nothing else would answer it.
    HWND next = reinterpret_cast<HWND>(message.WParam);
    if (!LOWORD(message.LParam))
      next = GetNextDlgTabItem(handle_, GetFocus(), message.WParam != 0);
    if (next)
      ::SetFocus(next);
    message.Result = 0;
    return;
  }
  case WM_DESTROY:
    // A window frees its menu with itself; ours belongs to the main menu component.
    if (menu_)
      ::SetMenu(handle_, nullptr);
    break;
  case CM_RELEASE:
    // Handled inside a loop that runs in the form's own code, it waits for that loop's end.
    if (Loops() > 0) {
      releaseWaiting_ = true;
      return;
    }
    BeginDestroying();
    delete this;
    return;
  default:
    break;
  }
  TWinControl::WndProc(message);
}

// --- TScreen ----------------------------------------------------------------------------------

TScreen::TScreen(TComponent *owner) : TComponent(owner) {}

TScreen::~TScreen() {
  for (auto &entry : cursors_)
    if (entry.first > 0)
      DestroyCursor(entry.second);
}

HCURSOR TScreen::Cursors(TCursor cursor) {
  auto it = cursors_.find(cursor);
  if (it != cursors_.end())
    return it->second;
  static const struct {
    TCursor id;
    LPCSTR name;
  } system[] = {
      {crDefault, IDC_ARROW},
      {crArrow, IDC_ARROW},
      {crCross, IDC_CROSS},
      {crIBeam, IDC_IBEAM},
      {crSizeNESW, IDC_SIZENESW},
      {crSizeNS, IDC_SIZENS},
      {crSizeNWSE, IDC_SIZENWSE},
      {crSizeWE, IDC_SIZEWE},
      {crUpArrow, IDC_UPARROW},
      {crHourGlass, IDC_WAIT},
      {crNo, IDC_NO},
      {crAppStart, IDC_APPSTARTING},
      {crHelp, IDC_HELP},
      {crHandPoint, IDC_HAND},
      {crSizeAll, IDC_SIZEALL},
  };
  for (const auto &s : system)
    if (s.id == cursor)
      return cursors_[cursor] = LoadCursorA(nullptr, s.name);
  return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
}

void TScreen::SetCursors(TCursor cursor, HCURSOR handle) {
  auto it = cursors_.find(cursor);
  if (it != cursors_.end() && cursor > 0 && it->second != handle)
    DestroyCursor(it->second);
  cursors_[cursor] = handle;
}

void TScreen::SetCursor(TCursor cursor) {
  Cursor = cursor;
  POINT p;
  GetCursorPos(&p);
  SetCursorPos(p.x, p.y); // makes the window under the mouse ask for its cursor again
}

// --- TApplication -----------------------------------------------------------------------------

TApplication::TApplication(TComponent *owner) : TComponent(owner) {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  name = name.substr(name.find_last_of("\\/") + 1);
  title_ = name.substr(0, name.rfind('.'));
}

TApplication::~TApplication() {
  DestroyComponents();
  if (handle_) {
    DeallocateHWnd(handle_);
    handle_ = nullptr;
  }
}

HWND TApplication::Handle() {
  if (!handle_) {
    handle_ = AllocateHWnd([this](TMessage &m) { WndProc(m); });
    // A zero-sized captioned window: it shows the taskbar button and owns every form.
    SetWindowLongA(handle_, GWL_EXSTYLE, 0);
    SetWindowLongA(handle_, GWL_STYLE,
                   WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX);
    SetWindowPos(handle_, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2,
                 GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetWindowTextA(handle_, title_.c_str());
  }
  return handle_;
}

void TApplication::WndProc(TMessage &message) {
  for (auto &hook : std::vector<std::pair<int, TMessageHook>>(hooks_))
    if (hook.second(message))
      return;
  switch (message.Msg) {
  case WM_CLOSE:
    // The taskbar's Close: while a dialog is up it waits, as the forms' own close does.
    if (MainForm && CloseNowOrWait(handle_, closeWaiting_))
      MainForm->Close();
    message.Result = 0;
    return;
  case WM_ENABLE:
    if (message.WParam)
      PostWaitingClose(handle_, closeWaiting_);
    break;
  case WM_SYSCOMMAND:
    if ((message.WParam & 0xFFF0) == SC_MINIMIZE) {
      Minimize();
      return;
    }
    if ((message.WParam & 0xFFF0) == SC_RESTORE) {
      Restore();
      return;
    }
    break;
  case WM_ACTIVATEAPP:
    break;
  case WM_ENDSESSION:
    if (message.WParam)
      Terminate();
    break;
  default:
    break;
  }
  message.Result = DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam);
}

void TApplication::SetTitle(const std::string &title) {
  title_ = title;
  if (handle_)
    SetWindowTextA(handle_, title.c_str());
}

std::string TApplication::ExeName() const {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

void TApplication::Run() {
  // A program told to end while it was starting (a refused password) shows no main window.
  if (MainForm && ShowMainForm && !terminated_ && !quitPosted_)
    MainForm->Show();
  while (!terminated_)
    HandleMessage();
}

void TApplication::Terminate() {
  quitPosted_ = true;
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG &msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  // Menu shortcuts first, then Tab, Enter and Escape work in every form as in a dialog.
  TCustomForm *active = Screen ? Screen->ActiveForm : nullptr;
  HWND form = active ? active->HandleIfAllocated() : nullptr;
  if (form && (msg.hwnd == form || IsChild(form, msg.hwnd)) &&
      (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
      active->IsShortCut(WORD(msg.wParam), KeyboardShiftState()))
    return true;
  if (form && (msg.hwnd == form || IsChild(form, msg.hwnd)) && msg.message >= WM_KEYFIRST &&
      msg.message <= WM_KEYLAST && IsDialogMessageA(form, &msg))
    return true;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  TNestedLoop loop;
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (ProcessMessage(msg))
    return;
  // A loop of the system's (a popup menu's) may have taken the quit message that Terminate
  // posted: with nothing left to handle, the program ends all the same.
  if (quitPosted_)
    terminated_ = true;
  else
    WaitMessage();
}

int TApplication::HookMainWindow(TMessageHook hook) {
  int id = nextHook_++;
  hooks_.insert(hooks_.begin(), {id, std::move(hook)});
  return id;
}

void TApplication::UnhookMainWindow(int id) {
  hooks_.erase(
      std::remove_if(hooks_.begin(), hooks_.end(), [id](const auto &h) { return h.first == id; }),
      hooks_.end());
}

bool TApplication::HelpCommand(WORD command, int data) {
  bool callHelp = true;
  bool result = false;
  if (OnHelp)
    result = OnHelp(command, data, callHelp);
  if (callHelp && !HelpFile.empty())
    result = GetShell().CallWinHelp(Handle(), HelpFile, command, ULONG_PTR(data)) != FALSE;
  return result;
}

void TApplication::HandleException() {
  try {
    throw;
  } catch (const std::exception &e) {
    if (OnException)
      OnException(e);
    else
      ShowException(e.what());
  } catch (...) {
    ShowException("Unknown error");
  }
}

void TApplication::ShowException(const std::string &message) {
  // The default box ends the message with a full stop, as the class library's does.
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
    text += '.';
  GetPrompts().MessageBox(handle_, text, title_, MB_OK | MB_ICONSTOP);
}

void TApplication::Minimize() {
  ShowWindow(Handle(), SW_MINIMIZE);
  if (OnMinimize)
    OnMinimize(this);
}

void TApplication::Restore() {
  ShowWindow(Handle(), SW_RESTORE);
  if (MainForm && MainForm->Visible())
    MainForm->BringToFront();
  if (OnRestore)
    OnRestore(this);
}

// --- TWaitCursor, TFormWork ------------------------------------------------------------------

TWaitCursor::TWaitCursor() : before_(Screen ? Screen->Cursor : crDefault) {
  if (Screen)
    Screen->SetCursor(crHourGlass);
}

TWaitCursor::~TWaitCursor() {
  if (Screen)
    Screen->SetCursor(before_);
}

TFormWork::TFormWork(TCustomForm *form) {
  HWND window = form ? form->HandleIfAllocated() : nullptr;
  if (!window || !IsWindowEnabled(window))
    return;
  HWND focus = GetFocus();
  if (focus == window || IsChild(window, focus))
    focus_ = focus;
  window_ = window;
  EnableWindow(window_, FALSE);
}

TFormWork::~TFormWork() {
  if (!window_ || !IsWindow(window_))
    return;
  EnableWindow(window_, TRUE);
  if (focus_ && IsWindow(focus_) && GetActiveWindow() == window_ && IsWindowVisible(focus_))
    ::SetFocus(focus_);
}

} // namespace tk
