#include "components/TrayIcon.h"

#include <shlwapi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/win32/RunTimeApis.h"
#include "toolkit/win32/Seams.h"

namespace tk {

namespace {

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// The owner windows are subclassed through a fixed set of window procedures, one per slot,
// each of which knows its slot: a procedure instance without generated code.
constexpr int kOwnerSlots = 16;

struct OwnerSlot {
  TTrayIcon *icon;  // nullptr once the icon has gone
  HWND window;      // nullptr once the window has gone
  WNDPROC previous; // the procedure the slot's procedure passes messages on to
  bool used;
};

OwnerSlot g_ownerSlots[kOwnerSlots] = {};

// The key state as it is now, not as the message queue last saw it: the shell's callbacks
// are not input messages of this thread.
TShiftState AsyncShiftState() {
  TShiftState shift = 0;
  if (GetAsyncKeyState(VK_SHIFT) < 0)
    shift |= ssShift;
  if (GetAsyncKeyState(VK_MENU) < 0)
    shift |= ssAlt;
  if (GetAsyncKeyState(VK_CONTROL) < 0)
    shift |= ssCtrl;
  return shift;
}

// The first size - 1 bytes of text, the rest of the field zero.
template <size_t N> void CopyField(char (&field)[N], const std::string &text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

UINT RegisterTaskbarCreated() {
  // The shell announces its restart only from common controls 4.71 on.
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  if (!comctl)
    return 0;
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void *>(GetProcAddress(comctl, "DllGetVersion")));
  if (!getVersion)
    return 0;
  DLLVERSIONINFO info = {};
  info.cbSize = sizeof(info);
  if (FAILED(getVersion(&info)))
    return 0;
  if (MAKELONG(info.dwMinorVersion, info.dwMajorVersion) < 0x40047)
    return 0;
  UINT message = RegisterWindowMessageA("TaskbarCreated");
  // An elevated program hears the ordinary shell's announcement only when it asks for it; its
  // icons would be lost at every restart of Explorer otherwise.
  AllowMessageFromShell(message);
  return message;
}

} // namespace

// The one window behind every tray icon of the process, and the table from the record's uID
// back to its icon.
class TTrayIconHandler {
public:
  TTrayIconHandler() : window_(AllocateHWnd([this](TMessage &m) { WndProc(m); })) {}
  ~TTrayIconHandler() { DeallocateHWnd(window_); }
  TTrayIconHandler(const TTrayIconHandler &) = delete;
  TTrayIconHandler &operator=(const TTrayIconHandler &) = delete;

  HWND Window() const { return window_; }
  bool Empty() const { return icons_.empty(); }

  // In a 32-bit build the id is the icon's address, as the shell has always been told; a
  // wider build counts, since an address would not fit.
  UINT Add(TTrayIcon *icon) {
    UINT id;
    if constexpr (sizeof(void *) == sizeof(UINT)) {
      id = UINT(reinterpret_cast<uintptr_t>(icon));
    } else {
      while (nextId_ == 0 || Find(nextId_))
        ++nextId_;
      id = nextId_++;
    }
    icons_.push_back({id, icon});
    return id;
  }
  void Remove(TTrayIcon *icon) {
    icons_.erase(std::remove_if(icons_.begin(), icons_.end(),
                                [icon](const auto &entry) { return entry.second == icon; }),
                 icons_.end());
  }
  TTrayIcon *Find(UINT id) const {
    for (const auto &entry : icons_)
      if (entry.first == id)
        return entry.second;
    return nullptr;
  }

  static LRESULT OwnerDispatch(int slot, HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

private:
  void WndProc(TMessage &message) {
    switch (message.Msg) {
    case WM_TRAYNOTIFY:
      if (TTrayIcon *icon = Find(UINT(message.WParam))) {
        TRunningCode running(icon); // its menu and handlers run in its owner's code
        icon->HandleCallback(UINT(message.LParam));
      }
      return;
    // The window goes only with the last icon: nobody closes or ends it from outside.
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
      message.Result = 1;
      return;
    default:
      message.Result = DefWindowProcA(window_, message.Msg, message.WParam, message.LParam);
    }
  }

  HWND window_;
  std::vector<std::pair<UINT, TTrayIcon *>> icons_;
  UINT nextId_ = 1;
};

namespace {

TTrayIconHandler *g_trayHandler = nullptr;

UINT AddTrayIcon(TTrayIcon *icon) {
  if (!g_trayHandler)
    g_trayHandler = new TTrayIconHandler;
  return g_trayHandler->Add(icon);
}

void RemoveTrayIcon(TTrayIcon *icon) {
  if (!g_trayHandler)
    return;
  g_trayHandler->Remove(icon);
  if (g_trayHandler->Empty()) {
    delete g_trayHandler;
    g_trayHandler = nullptr;
  }
}

template <int Slot>
LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return TTrayIconHandler::OwnerDispatch(Slot, window, msg, wParam, lParam);
}

template <int... Slots>
constexpr std::array<WNDPROC, sizeof...(Slots)>
MakeOwnerProcs(std::integer_sequence<int, Slots...>) {
  return {&OwnerProc<Slots>...};
}

constexpr std::array<WNDPROC, kOwnerSlots> kOwnerProcs =
    MakeOwnerProcs(std::make_integer_sequence<int, kOwnerSlots>{});

} // namespace

LRESULT TTrayIconHandler::OwnerDispatch(int slot, HWND window, UINT msg, WPARAM wParam,
                                        LPARAM lParam) {
  OwnerSlot &owner = g_ownerSlots[slot];
  WNDPROC previous = owner.previous;
  if (owner.icon) {
    TMessage message{msg, wParam, lParam, 0};
    try {
      if (owner.icon->OwnerMessage(message))
        return message.Result;
    } catch (...) {
      HandleToolkitException();
      return 0;
    }
  }
  LRESULT result = CallWindowProcA(previous, window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    owner.window = nullptr;
    if (!owner.icon)
      owner = {};
  }
  return result;
}

// --- TTrayIcon --------------------------------------------------------------------------------

TTrayIcon::TTrayIcon(TComponent *owner) : TComponent(owner) {
  InitApplication();
  // The owner's slot is taken first, so that running out of them leaves nothing registered.
  if (WindowedOwner()) {
    auto free = std::find_if(std::begin(g_ownerSlots), std::end(g_ownerSlots),
                             [](const OwnerSlot &slot) { return !slot.used; });
    if (free == std::end(g_ownerSlots))
      throw EOutOfResources("Too many tray icons on windows");
    free->used = true;
    ownerSlot_ = int(free - std::begin(g_ownerSlots));
  }
  UINT id = AddTrayIcon(this);
  icon_ = std::make_unique<TIcon>();
  icon_->OnChange = [this] { IconChanged(); };

  data_.cbSize = kTrayRecordSize;
  data_.hWnd = g_trayHandler->Window();
  data_.uID = id;
  data_.uFlags = kIconFlags;
  data_.uCallbackMessage = WM_TRAYNOTIFY;
  TaskbarCreatedMessage(); // registered before the shell can restart

  // The ticks run the owner's handlers (a click's menu among them) as the icon's own messages do.
  cycleTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer *) {
    TRunningCode running(this);
    CycleTimerTick();
  });
  clickTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer *) {
    TRunningCode running(this);
    ClickTimerTick();
  });
  exitTimer_ = std::make_unique<TSimpleTimer>(20, [this](TSimpleTimer *) { ExitTimerTick(); });

  appHook_ = Application->HookMainWindow([this](TMessage &message) {
    ApplicationHook(message);
    return false;
  });
  HookOwner();
}

TTrayIcon::~TTrayIcon() {
  SetIconVisible(false);
  cycleTimer_.reset();
  clickTimer_.reset();
  exitTimer_.reset();
  icon_->OnChange = nullptr;
  icon_.reset();
  if (Application)
    Application->UnhookMainWindow(appHook_);
  UnhookOwner();
  RemoveTrayIcon(this);
}

HWND TTrayIcon::HandlerWindow() { return g_trayHandler ? g_trayHandler->Window() : nullptr; }

UINT TTrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterTaskbarCreated();
  return message;
}

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  if (WindowedOwner()) {
    bool showMainForm = true;
    if (OnStartup)
      OnStartup(this, showMainForm);
    if (!showMainForm) {
      Application->ShowMainForm = false;
      HideMainForm();
    }
  }
  ModifyIcon();
  SetIconVisible(iconVisible_);
  SetCycleIcons(cycleIcons_);
  SetWantEnterExitEvents(wantEnterExitEvents_);
  data_.uVersion = 0;
  Notify(NIM_SETVERSION);
}

void TTrayIcon::Notification(TComponent *component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove)
    return;
  if (component == iconList_)
    SetIconList(nullptr);
  if (component == popupMenu_)
    popupMenu_ = nullptr;
}

// --- the shell record -------------------------------------------------------------------------

void TTrayIcon::InitIcon() {
  data_.hIcon = icon_->Handle();
  if (!hint_.empty() && showHint_)
    CopyField(data_.szTip, hint_);
  else
    std::memset(data_.szTip, 0, sizeof(data_.szTip));
}

bool TTrayIcon::Notify(DWORD message) {
  InitIcon();
  return GetShell().NotifyIcon(message, &data_) != FALSE;
}

bool TTrayIcon::ShowIcon() {
  iconVisible_ = true;
  return Notify(NIM_ADD);
}

bool TTrayIcon::HideIcon() {
  iconVisible_ = false;
  return Notify(NIM_DELETE);
}

bool TTrayIcon::ModifyIcon() { return Notify(NIM_MODIFY); }

bool TTrayIcon::ShowBalloonHint(const std::string &Title, const std::string &Text, uint8_t IconType,
                                uint8_t TimeoutSecs) {
  static const DWORD kInfoFlags[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
  HideBalloonHint();
  data_.uFlags |= NIF_INFO;
  CopyField(data_.szInfo, Text);
  CopyField(data_.szInfoTitle, Title);
  data_.uTimeout = UINT(TimeoutSecs) * 1000;
  data_.dwInfoFlags = IconType < std::size(kInfoFlags) ? kInfoFlags[IconType] : NIIF_NONE;
  bool result = ModifyIcon();
  data_.uFlags = kIconFlags;
  return result;
}

void TTrayIcon::HideBalloonHint() {
  // The shell takes a balloon down when told of an empty one. The flag then stays set until
  // the next balloon clears it.
  data_.uFlags |= NIF_INFO;
  std::memset(data_.szInfo, 0, sizeof(data_.szInfo));
  ModifyIcon();
}

// --- properties -------------------------------------------------------------------------------

void TTrayIcon::SetIconList(TImageList *value) {
  iconList_ = value;
  if (value)
    value->FreeNotification(this);
  SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool value) {
  cycleIcons_ = value;
  if (!value) {
    cycleTimer_->SetEnabled(false);
    return;
  }
  SetIconIndex(0);
  cycleTimer_->SetInterval(cycleInterval_);
  cycleTimer_->SetEnabled(true);
}

void TTrayIcon::SetCycleInterval(UINT value) {
  cycleInterval_ = value;
  SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetHint(const std::string &value) {
  hint_ = value;
  ModifyIcon();
}

void TTrayIcon::SetShowHint(bool value) {
  showHint_ = value;
  ModifyIcon();
}

void TTrayIcon::SetIcon(const TIcon &value) {
  auto onChange = std::move(icon_->OnChange);
  icon_->OnChange = nullptr;
  icon_->Assign(value);
  icon_->OnChange = std::move(onChange);
  ModifyIcon();
}

void TTrayIcon::SetIconVisible(bool value) {
  if (value)
    ShowIcon();
  else
    HideIcon();
}

void TTrayIcon::SetIconIndex(int value) {
  if (iconList_) {
    iconIndex_ = value;
    if (iconIndex_ >= iconList_->Count())
      iconIndex_ = iconList_->Count() - 1;
    iconList_->GetIcon(iconIndex_, *icon_);
  } else {
    iconIndex_ = 0;
  }
  ModifyIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu *value) {
  popupMenu_ = value;
  if (value)
    value->FreeNotification(this);
}

void TTrayIcon::SetWantEnterExitEvents(bool value) {
  wantEnterExitEvents_ = value;
  exitTimer_->SetEnabled(value);
}

// --- the shell's callbacks --------------------------------------------------------------------

void TTrayIcon::HandleCallback(UINT code) {
  switch (code) {
  case NIN_BALLOONSHOW:
    if (OnBalloonHintShow)
      OnBalloonHintShow(this);
    return;
  case NIN_BALLOONHIDE:
    if (OnBalloonHintHide)
      OnBalloonHintHide(this);
    return;
  case NIN_BALLOONTIMEOUT:
    if (OnBalloonHintTimeout)
      OnBalloonHintTimeout(this);
    return;
  case NIN_BALLOONUSERCLICK:
    if (OnBalloonHintClick)
      OnBalloonHintClick(this);
    return;
  }
  if (!Enabled)
    return;
  // The callback carries no position: the cursor is where the shell saw the mouse.
  POINT p = {0, 0};
  GetCursorPos(&p);
  TShiftState shift = AsyncShiftState();
  switch (code) {
  case WM_MOUSEMOVE:
    if (wantEnterExitEvents_ && cursorOutside_) {
      MouseEnter();
      cursorOutside_ = false;
    }
    MouseMove(shift, p.x, p.y);
    lastMove_ = p;
    break;
  case WM_LBUTTONDOWN:
    // A click waits one double-click time for a second one only when someone listens for it.
    if (OnDblClick) {
      clickTimer_->SetInterval(GetDoubleClickTime());
      clickTimer_->SetEnabled(true);
    }
    MouseDown(mbLeft, shift | ssLeft, p.x, p.y);
    clickStarted_ = true;
    if (LeftPopup)
      PopupAtCursor();
    break;
  case WM_LBUTTONUP:
    if (clickStarted_) {
      clickPending_ = true;
      if (!clickTimer_->Enabled()) {
        clickStarted_ = false;
        clickPending_ = false;
        Click();
      }
    }
    clickStarted_ = false;
    MouseUp(mbLeft, shift | ssLeft, p.x, p.y);
    break;
  case WM_LBUTTONDBLCLK:
    clickPending_ = false;
    dblClickHappened_ = true;
    DblClick();
    if (popupMenu_ && popupMenu_->AutoPopup && !LeftPopup) {
      TMenuItem *items = popupMenu_->Items();
      for (int i = 0; i < items->Count(); ++i) {
        if (items->Items(i)->Default()) {
          items->Items(i)->Click();
          break;
        }
      }
    }
    break;
  case WM_RBUTTONDOWN:
    MouseDown(mbRight, shift | ssRight, p.x, p.y);
    PopupAtCursor();
    break;
  case WM_RBUTTONUP:
    MouseUp(mbRight, shift | ssRight, p.x, p.y);
    break;
  case WM_MBUTTONDOWN:
    MouseDown(mbMiddle, shift | ssMiddle, p.x, p.y);
    break;
  case WM_MBUTTONUP:
    MouseUp(mbMiddle, shift | ssMiddle, p.x, p.y);
    break;
  }
}

void TTrayIcon::ClickTimerTick() {
  clickTimer_->SetEnabled(false);
  if (!dblClickHappened_ && clickPending_) {
    clickPending_ = false;
    Click();
  }
  dblClickHappened_ = false;
}

// The shell reports no leaving: the cursor has left once it is somewhere the last move was not.
void TTrayIcon::ExitTimerTick() {
  if (cursorOutside_)
    return;
  POINT p = {0, 0};
  GetCursorPos(&p);
  if (p.x != lastMove_.x || p.y != lastMove_.y) {
    cursorOutside_ = true;
    MouseExit();
  }
}

void TTrayIcon::CycleTimerTick() {
  if (iconList_)
    iconList_->GetIcon(iconIndex_, *icon_);
  CycleIcon();
}

void TTrayIcon::CycleIcon() {
  int next = 0;
  if (iconList_ && iconIndex_ < iconList_->Count() - 1)
    next = iconIndex_ + 1;
  if (OnCycle)
    OnCycle(this, next);
  SetIconIndex(next);
}

void TTrayIcon::PopupAtCursor() {
  POINT p;
  if (!popupMenu_ || !popupMenu_->AutoPopup || !GetCursorPos(&p))
    return;
  // A menu of a background window would not close when the user clicks elsewhere.
  SetForegroundWindow(Application->Handle());
  Application->ProcessMessages();
  popupMenu_->PopupComponent = this;
  popupMenu_->Popup(p.x, p.y);
  if (TWinControl *owner = WindowedOwner())
    PostMessageA(owner->Handle(), WM_NULL, 0, 0);
}

// --- events -----------------------------------------------------------------------------------

void TTrayIcon::Click() {
  if (OnClick)
    OnClick(this);
}

void TTrayIcon::DblClick() {
  if (OnDblClick)
    OnDblClick(this);
}

void TTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown)
    OnMouseDown(this, button, shift, x, y);
}

void TTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp)
    OnMouseUp(this, button, shift, x, y);
}

void TTrayIcon::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove)
    OnMouseMove(this, shift, x, y);
}

void TTrayIcon::MouseEnter() {
  if (OnMouseEnter)
    OnMouseEnter(this);
}

void TTrayIcon::MouseExit() {
  if (OnMouseExit)
    OnMouseExit(this);
}

void TTrayIcon::DoMinimizeToTray() {
  HideMainForm();
  SetIconVisible(true);
}

// --- the main form, the application and the owner window --------------------------------------

TWinControl *TTrayIcon::WindowedOwner() const { return dynamic_cast<TWinControl *>(GetOwner()); }

void TTrayIcon::HideMainForm() {
  if (!WindowedOwner() || !Application->MainForm)
    return;
  Application->MainForm->SetVisible(false);
  HideTaskbarIcon();
}

void TTrayIcon::HideTaskbarIcon() {
  if (IsWindowVisible(Application->Handle()))
    ShowWindow(Application->Handle(), SW_HIDE);
}

void TTrayIcon::ApplicationHook(const TMessage &message) {
  switch (message.Msg) {
  case WM_SIZE:
    if (message.WParam == SIZE_MINIMIZED && MinimizeToTray)
      DoMinimizeToTray();
    return;
  case WM_WINDOWPOSCHANGED:
    // A program started minimised asks its handler once whether the main form shows at all.
    if (startupPending_ && Application->MainForm) {
      if (Application->MainForm->WindowState() == wsMinimized) {
        bool showMainForm = true;
        if (OnStartup)
          OnStartup(this, showMainForm);
        if (!showMainForm)
          HideTaskbarIcon();
      }
      startupPending_ = false;
    }
    return;
  case WM_SYSCOMMAND:
    if (message.WParam == SC_RESTORE && Application->MainForm)
      Application->MainForm->SetVisible(true);
    return;
  }
  // The shell has restarted and forgotten every icon.
  UINT taskbarCreated = TaskbarCreatedMessage();
  if (taskbarCreated != 0 && message.Msg == taskbarCreated && iconVisible_)
    ShowIcon();
}

bool TTrayIcon::OwnerMessage(TMessage &message) {
  bool minimize = false;
  switch (message.Msg) {
  case WM_SHOWWINDOW:
    if (message.WParam == 1 && message.LParam == 0) {
      SetForegroundWindow(Application->Handle());
      SetForegroundWindow(WindowedOwner()->Handle());
    } else if (message.WParam == 0 && message.LParam == SW_PARENTCLOSING) {
      minimize = !Application->Terminated();
    }
    break;
  case WM_SYSCOMMAND:
    minimize = message.WParam == SC_MINIMIZE;
    break;
  }
  if (!minimize || !MinimizeToTray || !OnMinimizeToTray)
    return false;
  OnMinimizeToTray(this);
  DoMinimizeToTray();
  message.Result = 1;
  return true;
}

void TTrayIcon::HookOwner() {
  if (ownerSlot_ < 0)
    return;
  HWND window = WindowedOwner()->Handle();
  WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  g_ownerSlots[ownerSlot_] = {this, window, previous, true};
  SetWindowLongPtrA(window, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(kOwnerProcs[size_t(ownerSlot_)]));
}

void TTrayIcon::UnhookOwner() {
  if (ownerSlot_ < 0)
    return;
  OwnerSlot &slot = g_ownerSlots[ownerSlot_];
  ownerSlot_ = -1;
  if (!slot.window) {
    slot = {};
    return;
  }
  WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(slot.window, GWLP_WNDPROC));
  if (current == kOwnerProcs[size_t(&slot - g_ownerSlots)]) {
    SetWindowLongPtrA(slot.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(slot.previous));
    slot = {};
  } else {
    // Someone subclassed the window after us: the slot's procedure stays in their chain and
    // passes everything on from now on.
    slot.icon = nullptr;
  }
}

} // namespace tk
