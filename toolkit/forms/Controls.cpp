#include "toolkit/forms/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"

namespace tk {

namespace {

const char *const kWindowClass = "TkWindow";
const char *const kMessageClass = "TkMessageWindow";
const char *const kControlProp = "TkControl";

int g_nextControlId = 100;

void RegisterClasses() {
  static bool done = false;
  if (done)
    return;
  done = true;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ToolkitWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

POINT MessagePoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

LPARAM PointParam(POINT p) { return MAKELPARAM(short(p.x), short(p.y)); }

bool PtIn(const RECT &r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT)
    s |= ssShift;
  if (keys & MK_CONTROL)
    s |= ssCtrl;
  if (keys & MK_LBUTTON)
    s |= ssLeft;
  if (keys & MK_RBUTTON)
    s |= ssRight;
  if (keys & MK_MBUTTON)
    s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0)
    s |= ssAlt;
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0)
    s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0)
    s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0)
    s |= ssAlt;
  return s;
}

// --- TControl ---------------------------------------------------------------------------------

TControl::TControl(TComponent *owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this] { FontChanged(); };
}

TControl::~TControl() {
  if (parent_)
    parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl *parent) {
  if (parent == parent_)
    return;
  if (parent_)
    parent_->RemoveControl(this);
  if (parent)
    parent->AddControl(this);
  if (parent_) {
    ParentFontChanged();
    ParentColorChanged();
    Invalidate();
  }
}

TCustomForm *TControl::ParentForm() const {
  const TControl *c = this;
  while (c->parent_)
    c = c->parent_;
  return dynamic_cast<TCustomForm *>(const_cast<TControl *>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_)
    return;
  bool resized = width != width_ || height != height_;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  if (resized)
    Resized();
  if (parent_ && align_ != alNone)
    parent_->Realign();
}

void TControl::SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }

POINT TControl::OriginInWindow() const {
  // A windowless control sits in its parent's window; nested windowless parents don't exist.
  return {left_, top_};
}

POINT TControl::ClientToScreen(POINT p) const {
  if (!parent_)
    return p;
  POINT o = OriginInWindow();
  POINT q{p.x + o.x, p.y + o.y};
  if (HWND h = parent_->HandleIfAllocated())
    ::ClientToScreen(h, &q);
  return q;
}

POINT TControl::ScreenToClient(POINT p) const {
  if (!parent_)
    return p;
  if (HWND h = parent_->HandleIfAllocated())
    ::ScreenToClient(h, &p);
  POINT o = OriginInWindow();
  return {p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign align) {
  if (align == align_)
    return;
  align_ = align;
  if (parent_)
    parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  visible_ = visible;
  if (parent_) {
    if (HWND h = parent_->HandleIfAllocated()) {
      RECT r = BoundsRect();
      InvalidateRect(h, &r, TRUE);
    }
    if (align_ != alNone)
      parent_->Realign();
  }
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

bool TControl::Showing() const {
  for (const TControl *c = this; c; c = c->parent_)
    if (!c->visible_)
      return false;
  return true;
}

void TControl::SetText(const std::string &text) {
  if (text == text_)
    return;
  text_ = text;
  TextChanged();
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value)
    ParentFontChanged();
}

void TControl::SetColor(TColor color) {
  parentColor_ = false;
  if (color == color_)
    return;
  color_ = color;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  parentColor_ = value;
  if (value)
    ParentColorChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_)
    return;
  font_->Assign(parent_->Font());
  parentFont_ = true; // the copy is the parent's, not a font of our own
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_)
    return;
  if (color_ != parent_->Color()) {
    color_ = parent_->Color();
    ColorChanged();
  }
}

void TControl::FontChanged() {
  parentFont_ = false;
  Invalidate();
}

void TControl::Invalidate() {
  if (!parent_ || !visible_)
    return;
  if (HWND h = parent_->HandleIfAllocated()) {
    RECT r = BoundsRect();
    InvalidateRect(h, &r, TRUE);
  }
}

void TControl::Update() {
  if (parent_)
    parent_->Update();
}

void TControl::Click() {
  if (OnClick && !EventsMuted())
    OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick && !EventsMuted())
    OnDblClick(this);
}

bool TControl::Building() const {
  for (const TComponent *c = this; c; c = c->GetOwner())
    if (c->IsLoading())
      return true;
  return false;
}

bool TControl::EventsMuted() const {
  if (Building() || InTeardown())
    return true;
  for (const TControl *p = parent_; p; p = p->parent_)
    if (p->InTeardown())
      return true;
  return false;
}

void TControl::Resized() {
  if (OnResize && !EventsMuted())
    OnResize(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown && !EventsMuted())
    OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp && !EventsMuted())
    OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove && !EventsMuted())
    OnMouseMove(this, shift, x, y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter && !EventsMuted())
    OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave && !EventsMuted())
    OnMouseLeave(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

// The mouse model shared by windowless controls and our own windows: presses and releases
// become MouseDown and MouseUp, a left press released over the control becomes a click.
void TControl::WndProc(TMessage &message) {
  POINT p = MessagePoint(message.LParam);
  TShiftState shift = KeysToShiftState(message.WParam);
  switch (message.Msg) {
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (message.Msg == WM_LBUTTONDBLCLK) {
      DblClick();
      shift |= ssDouble;
    }
    pressed_ = true;
    MouseDown(mbLeft, shift, p.x, p.y);
    break;
  case WM_RBUTTONDOWN:
  case WM_RBUTTONDBLCLK:
    MouseDown(mbRight, shift, p.x, p.y);
    break;
  case WM_MBUTTONDOWN:
  case WM_MBUTTONDBLCLK:
    MouseDown(mbMiddle, shift, p.x, p.y);
    break;
  case WM_LBUTTONUP: {
    bool wasPressed = pressed_;
    pressed_ = false;
    MouseUp(mbLeft, shift, p.x, p.y);
    if (wasPressed && PtIn(ClientRect(), p))
      Click();
    break;
  }
  case WM_RBUTTONUP:
    MouseUp(mbRight, shift, p.x, p.y);
    break;
  case WM_MBUTTONUP:
    MouseUp(mbMiddle, shift, p.x, p.y);
    break;
  case WM_MOUSEMOVE:
    MouseMove(shift, p.x, p.y);
    break;
  case CM_MOUSEENTER:
    mouseInside_ = true;
    MouseEnter();
    break;
  case CM_MOUSELEAVE:
    mouseInside_ = false;
    MouseLeave();
    break;
  case CM_ENABLEDCHANGED:
    EnabledChanged();
    break;
  default:
    break;
  }
}

// --- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent *owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children go while this window and its control list are still whole.
  DestroyComponents();
  for (TControl *c : controls_)
    c->parent_ = nullptr;
  controls_.clear();
  DestroyHandle();
  if (colorBrush_)
    DeleteObject(colorBrush_);
}

TWinControl *TWinControl::FromHandle(HWND window) {
  return window ? static_cast<TWinControl *>(GetPropA(window, kControlProp)) : nullptr;
}

HWND TWinControl::Handle() {
  if (!handle_)
    CreateHandle();
  return handle_;
}

void TWinControl::GetCreateParams(CreateParams &params) {
  params.style = WS_CHILD | WS_CLIPSIBLINGS;
  if (TabStop)
    params.style |= WS_TABSTOP;
  if (parent_)
    params.parent = parent_->Handle();
}

void TWinControl::CreateHandle() {
  RegisterClasses();
  CreateParams params;
  GetCreateParams(params);
  if ((params.style & WS_CHILD) && !params.parent)
    return; // a child window waits for its parent's
  if (visible_)
    params.style |= WS_VISIBLE;
  if (!enabled_)
    params.style |= WS_DISABLED;
  HMENU id = nullptr;
  if (params.style & WS_CHILD) {
    if (!ctrlId_)
      ctrlId_ = g_nextControlId++;
    id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctrlId_));
  }
  bool own = params.windowClass.empty();
  HWND h = CreateWindowExA(params.exStyle, own ? kWindowClass : params.windowClass.c_str(),
                           text_.c_str(), params.style, left_, top_, width_, height_, params.parent,
                           id, GetModuleHandleA(nullptr), own ? this : nullptr);
  if (!h)
    throw EOutOfResources("Error creating window of class " + std::string(ClassName()));
  if (!own) {
    handle_ = h;
    SetPropA(h, kControlProp, this);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolkitWindowProc)));
  }
  HandleCreated();
}

void TWinControl::HandleCreated() {
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), FALSE);
  // The system may have adjusted the size (combo boxes, status bars): keep what it made.
  RECT r;
  GetWindowRect(handle_, &r);
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  for (TControl *c : std::vector<TControl *>(controls_))
    if (auto *w = dynamic_cast<TWinControl *>(c))
      w->Handle();
  Realign();
}

void TWinControl::DestroyHandle() {
  if (!handle_)
    return;
  text_ = WindowTextNow();
  HWND h = handle_;
  DestroyWindow(h); // WM_NCDESTROY clears handle_
  handle_ = nullptr;
}

void TWinControl::RecreateHandle() {
  if (!handle_)
    return;
  // Children's windows go with ours; they are made again below ours.
  for (TControl *c : controls_)
    if (auto *w = dynamic_cast<TWinControl *>(c))
      w->DestroyHandle();
  DestroyHandle();
  oldProc_ = nullptr;
  CreateHandle();
}

void TWinControl::SetParent(TWinControl *parent) {
  if (parent == parent_)
    return;
  TControl::SetParent(parent);
  if (handle_) {
    if (parent_ && parent_->HandleAllocated())
      ::SetParent(handle_, parent_->handle_);
    else
      DestroyHandle();
  } else if (parent_ && parent_->HandleAllocated()) {
    CreateHandle();
  }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_)
    return;
  if (handle_) {
    // WM_SIZE and WM_MOVE bring the new numbers back.
    MoveWindow(handle_, left, top, width, height, TRUE);
    left_ = left;
    top_ = top;
    if (width != width_ || height != height_) {
      width_ = width;
      height_ = height;
      Realign();
      Resized();
    }
  } else {
    bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized)
      Resized();
  }
  if (parent_ && align_ != alNone)
    parent_->Realign();
}

RECT TWinControl::ClientRect() const {
  RECT r{0, 0, width_, height_};
  if (handle_)
    GetClientRect(handle_, &r);
  return r;
}

void TWinControl::SetClientSize(int width, int height) {
  RECT client = ClientRect();
  SetBounds(left_, top_, width_ + width - client.right, height_ + height - client.bottom);
}

void TWinControl::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  visible_ = visible;
  if (handle_)
    ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
  if (parent_ && align_ != alNone)
    parent_->Realign();
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  if (handle_)
    EnableWindow(handle_, enabled);
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

std::string TWinControl::WindowTextNow() const {
  int n = GetWindowTextLengthA(handle_);
  std::string s(size_t(n) + 1, '\0');
  n = GetWindowTextA(handle_, s.data(), n + 1);
  s.resize(size_t(std::max(n, 0)));
  return s;
}

std::string TWinControl::GetText() const { return handle_ ? WindowTextNow() : text_; }

void TWinControl::SetText(const std::string &text) {
  if (text == GetText())
    return;
  text_ = text;
  if (handle_)
    SetWindowTextA(handle_, text.c_str());
  TextChanged();
}

void TWinControl::Invalidate() {
  if (handle_)
    InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_)
    UpdateWindow(handle_);
}

void TWinControl::SetFocus() {
  if (Handle())
    ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::AddControl(TControl *control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (control->align_ != alNone)
    Realign();
}

void TWinControl::RemoveControl(TControl *control) {
  if (mouseControl_ == control)
    mouseControl_ = nullptr;
  if (captureControl_ == control)
    captureControl_ = nullptr;
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->Invalidate();
  control->parent_ = nullptr;
}

void TWinControl::Notification(TComponent *component, TOperation operation) {
  TControl::Notification(component, operation);
  if (operation == TOperation::opRemove) {
    if (mouseControl_ == component)
      mouseControl_ = nullptr;
    if (captureControl_ == component)
      captureControl_ = nullptr;
  }
}

TControl *TWinControl::ControlAtPos(POINT p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl *c = *it;
    if (!c->IsWindowed() && c->Visible() && PtIn(c->BoundsRect(), p))
      return c;
  }
  return nullptr;
}

void TWinControl::Realign() {
  RECT area = ClientRect();
  AdjustClientRect(area);
  auto place = [](TControl *c, int l, int t, int w, int h) {
    TAlign saved = c->align_;
    c->align_ = alNone; // no recursion back into this layout
    c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
    c->align_ = saved;
  };
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl *> list;
    for (TControl *c : controls_)
      if (c->align_ == pass && c->visible_)
        list.push_back(c);
    if (pass == alTop)
      std::stable_sort(list.begin(), list.end(), [](auto a, auto b) { return a->top_ < b->top_; });
    if (pass == alLeft)
      std::stable_sort(list.begin(), list.end(),
                       [](auto a, auto b) { return a->left_ < b->left_; });
    for (TControl *c : list) {
      switch (pass) {
      case alTop:
        place(c, area.left, area.top, area.right - area.left, c->height_);
        area.top += c->height_;
        break;
      case alBottom:
        place(c, area.left, area.bottom - c->height_, area.right - area.left, c->height_);
        area.bottom -= c->height_;
        break;
      case alLeft:
        place(c, area.left, area.top, c->width_, area.bottom - area.top);
        area.left += c->width_;
        break;
      case alRight:
        place(c, area.right - c->width_, area.top, c->width_, area.bottom - area.top);
        area.right -= c->width_;
        break;
      default:
        place(c, area.left, area.top, area.right - area.left, area.bottom - area.top);
        break;
      }
    }
  }
  ControlsAligned();
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  if (handle_)
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), TRUE);
  for (TControl *c : controls_)
    c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
  if (colorBrush_) {
    DeleteObject(colorBrush_);
    colorBrush_ = nullptr;
  }
  for (TControl *c : controls_)
    c->ParentColorChanged();
  TControl::ColorChanged();
}

HBRUSH TWinControl::ControlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(font_->Color()));
  SetBkColor(dc, ColorToRGB(color_));
  if (!colorBrush_)
    colorBrush_ = CreateSolidBrush(ColorToRGB(color_));
  return colorBrush_;
}

void TWinControl::PaintWindow(HDC dc, const RECT &clip) { (void)dc, (void)clip; }

void TWinControl::PaintControls(HDC dc, const RECT &clip) {
  for (TControl *c : std::vector<TControl *>(controls_)) {
    auto *g = dynamic_cast<TGraphicControl *>(c);
    RECT r = c->BoundsRect(), hit;
    if (!g || !c->Visible() || !IntersectRect(&hit, &r, &clip))
      continue;
    int saved = SaveDC(dc);
    POINT old;
    OffsetViewportOrgEx(dc, r.left, r.top, &old);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    g->PaintTo(dc);
    RestoreDC(dc, saved);
  }
}

void TWinControl::DefaultHandler(TMessage &message) {
  message.Result =
      oldProc_ ? CallWindowProcA(oldProc_, handle_, message.Msg, message.WParam, message.LParam)
               : DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam);
}

// Mouse enter and leave for the windowless child under the mouse.
void TWinControl::TrackMouse(TControl *over) {
  if (over == mouseControl_)
    return;
  TControl *old = mouseControl_;
  mouseControl_ = over;
  if (old)
    old->Perform(CM_MOUSELEAVE);
  if (over)
    over->Perform(CM_MOUSEENTER);
}

void TWinControl::RouteMouse(TMessage &message) {
  POINT p = MessagePoint(message.LParam);
  if (message.Msg == WM_MOUSEMOVE) {
    if (!mouseInside_) {
      Perform(CM_MOUSEENTER);
      TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
      trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
    }
    TControl *over = ControlAtPos(p);
    TrackMouse(over);
  }
  // Whatever took the capture away meanwhile (a pop-up menu, another window) ended that press.
  if (captureControl_ && GetCapture() != handle_)
    captureControl_ = nullptr;
  TControl *target = captureControl_;
  bool down = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN ||
              message.Msg == WM_MBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK ||
              message.Msg == WM_RBUTTONDBLCLK || message.Msg == WM_MBUTTONDBLCLK;
  bool up =
      message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP;
  if (!target) {
    TControl *at = ControlAtPos(p);
    if (at && at->Enabled())
      target = at;
  }
  if (target) {
    if (down && !captureControl_) {
      captureControl_ = target;
      SetCapture(handle_);
    }
    RECT r = target->BoundsRect();
    TMessage child{message.Msg, message.WParam, PointParam({p.x - r.left, p.y - r.top}), 0};
    target->WndProc(child);
    if (up && !(message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
      captureControl_ = nullptr;
      if (GetCapture() == handle_)
        ReleaseCapture();
    }
    message.Result = 0;
    // The system makes WM_CONTEXTMENU out of the right button's release.
    if (message.Msg == WM_RBUTTONUP && handle_)
      DefaultHandler(message);
    return;
  }
  // The window's own mouse: our own windows click on release; standard controls keep their
  // own behaviour and only report the mouse events.
  if (!oldProc_) {
    if (down)
      SetCapture(handle_);
    TControl::WndProc(message);
    if (up && GetCapture() == handle_)
      ReleaseCapture();
    message.Result = 0;
    if (message.Msg == WM_RBUTTONUP && handle_)
      DefaultHandler(message);
  } else {
    // A release is the control's own first (a check box changes its state, a button clicks),
    // so a mouse-up handler sees what the click did.
    TMessage copy = message;
    bool wasPressed = pressed_;
    if (up)
      DefaultHandler(message);
    TControl::WndProc(copy);
    pressed_ = wasPressed && !up;
    if (!up)
      DefaultHandler(message);
  }
}

// The pop-up menu of the windowless child under the mouse, or else of this control. Keyboard
// requests (at -1, -1) show it at the control's top-left corner.
bool TWinControl::ShowPopupMenu(TMessage &message) {
  POINT p = MessagePoint(message.LParam);
  TControl *control = this;
  if (p.x == -1 && p.y == -1) {
    p = {0, 0};
    ::ClientToScreen(handle_, &p);
  } else {
    POINT client = p;
    ::ScreenToClient(handle_, &client);
    if (TControl *at = ControlAtPos(client); at && at->PopupMenu)
      control = at;
  }
  TPopupMenu *menu = control->PopupMenu;
  if (!menu || !menu->AutoPopup)
    return false;
  menu->PopupComponent = control;
  menu->Popup(p.x, p.y);
  message.Result = 0;
  return true;
}

void TWinControl::DoSetCursor(TMessage &message) {
  // A form at work takes no input, and the system asks a disabled window with HTERROR: the
  // program's cursor (the wait cursor) shows there too.
  WORD hit = LOWORD(message.LParam);
  if (reinterpret_cast<HWND>(message.WParam) == handle_ && hit == WORD(HTERROR) &&
      Screen->Cursor != crDefault) {
    ::SetCursor(Screen->Cursors(Screen->Cursor));
    message.Result = TRUE;
    return;
  }
  if (reinterpret_cast<HWND>(message.WParam) == handle_ && hit == HTCLIENT) {
    TCursor cursor = Screen->Cursor;
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      ::ScreenToClient(handle_, &p);
      TControl *at = captureControl_ ? captureControl_ : ControlAtPos(p);
      cursor = at ? at->Cursor : Cursor;
    }
    if (cursor != crDefault) {
      ::SetCursor(Screen->Cursors(cursor));
      message.Result = TRUE;
      return;
    }
  }
  DefaultHandler(message);
}

bool TWinControl::ReflectToChild(TMessage &message) {
  switch (message.Msg) {
  case WM_COMMAND: {
    TWinControl *child = FromHandle(reinterpret_cast<HWND>(message.LParam));
    if (child && child != this &&
        child->CommandItem(LOWORD(message.WParam), HIWORD(message.WParam))) {
      message.Result = 0;
      return true;
    }
    if (!message.LParam && MenuCommand && MenuCommand(LOWORD(message.WParam))) {
      message.Result = 0;
      return true;
    }
    return false;
  }
  case WM_NOTIFY: {
    auto *header = reinterpret_cast<NMHDR *>(message.LParam);
    TWinControl *child = FromHandle(header->hwndFrom);
    // A control's tooltip window asks for its texts in the name of the control that owns it.
    if (!child && (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW))
      child = FromHandle(GetWindow(header->hwndFrom, GW_OWNER));
    return child && child != this && child->NotifyNotify(header, message.Result);
  }
  case WM_HSCROLL:
  case WM_VSCROLL: {
    TWinControl *child = FromHandle(reinterpret_cast<HWND>(message.LParam));
    if (child && child != this && child->ScrollNotify(LOWORD(message.WParam))) {
      message.Result = 0;
      return true;
    }
    return false;
  }
  case WM_MEASUREITEM: {
    auto *item = reinterpret_cast<MEASUREITEMSTRUCT *>(message.LParam);
    if (item->CtlType == ODT_MENU && MenuMeasureItem && MenuMeasureItem(*item)) {
      message.Result = TRUE;
      return true;
    }
    return false;
  }
  case WM_DRAWITEM: {
    auto *item = reinterpret_cast<DRAWITEMSTRUCT *>(message.LParam);
    if (item->CtlType == ODT_MENU) {
      bool drawn = MenuDrawItem && MenuDrawItem(*item);
      message.Result = drawn;
      return drawn;
    }
    TWinControl *child = FromHandle(item->hwndItem);
    if (child && child != this && child->DrawItem(*item)) {
      message.Result = TRUE;
      return true;
    }
    return false;
  }
  case WM_CTLCOLORSTATIC:
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORBTN:
  case WM_CTLCOLORLISTBOX: {
    TWinControl *child = FromHandle(reinterpret_cast<HWND>(message.LParam));
    HBRUSH brush = child && child != this
                       ? child->ControlColor(reinterpret_cast<HDC>(message.WParam))
                       : nullptr;
    if (!brush)
      return false;
    message.Result = reinterpret_cast<LRESULT>(brush);
    return true;
  }
  default:
    return false;
  }
}

std::function<bool(WORD id)> TWinControl::MenuCommand;
std::function<bool(MEASUREITEMSTRUCT &item)> TWinControl::MenuMeasureItem;
std::function<bool(const DRAWITEMSTRUCT &item)> TWinControl::MenuDrawItem;

void TWinControl::WndProc(TMessage &message) {
  if (ReflectToChild(message))
    return;
  if (IsMouseMessage(message.Msg)) {
    RouteMouse(message);
    return;
  }
  switch (message.Msg) {
  case WM_ERASEBKGND:
    if (oldProc_ || !EraseBackground())
      break;
    {
      RECT r;
      GetClientRect(handle_, &r);
      HBRUSH brush = CreateSolidBrush(ColorToRGB(color_));
      FillRect(reinterpret_cast<HDC>(message.WParam), &r, brush);
      DeleteObject(brush);
      message.Result = 1;
    }
    return;
  case WM_PAINT:
    if (oldProc_)
      break;
    {
      PAINTSTRUCT ps;
      HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(handle_, &ps);
      RECT clip;
      if (message.WParam)
        GetClientRect(handle_, &clip);
      else
        clip = ps.rcPaint;
      PaintWindow(dc, clip);
      PaintControls(dc, clip);
      if (!message.WParam)
        EndPaint(handle_, &ps);
      message.Result = 0;
    }
    return;
  case WM_PRINTCLIENT:
    if (oldProc_)
      break;
    {
      RECT clip;
      GetClientRect(handle_, &clip);
      PaintWindow(reinterpret_cast<HDC>(message.WParam), clip);
      PaintControls(reinterpret_cast<HDC>(message.WParam), clip);
    }
    return;
  case WM_MOUSELEAVE:
    trackingLeave_ = false;
    TrackMouse(nullptr);
    if (mouseInside_)
      Perform(CM_MOUSELEAVE);
    DefaultHandler(message);
    return;
  case WM_SETCURSOR:
    DoSetCursor(message);
    return;
  case WM_CONTEXTMENU:
    if (!ShowPopupMenu(message))
      DefaultHandler(message); // on to the parent, whose menu may serve
    return;
  case WM_SIZE: {
    RECT r;
    GetWindowRect(handle_, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    DefaultHandler(message);
    if (w != width_ || h != height_) {
      width_ = w;
      height_ = h;
      Resized();
    }
    Realign();
    return;
  }
  case WM_MOVE: {
    RECT r;
    GetWindowRect(handle_, &r);
    POINT p{r.left, r.top};
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
      ::ScreenToClient(parent, &p);
    left_ = p.x;
    top_ = p.y;
    DefaultHandler(message);
    return;
  }
  case WM_SETFOCUS:
    DefaultHandler(message);
    if (OnEnter && !EventsMuted())
      OnEnter(this);
    return;
  case WM_KILLFOCUS:
    DefaultHandler(message);
    if (OnExit && !EventsMuted())
      OnExit(this);
    return;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_KEYUP:
  case WM_SYSKEYUP: {
    bool down = message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN;
    const TKeyEvent &handler = down ? OnKeyDown : OnKeyUp;
    if (handler && !EventsMuted()) {
      // The handler may change the key, or swallow it by setting it to 0.
      WORD key = WORD(message.WParam);
      handler(this, key, KeyboardShiftState());
      if (!key)
        return;
      message.WParam = key;
    }
    break;
  }
  case WM_CHAR:
    if (OnKeyPress && !EventsMuted()) {
      char key = char(message.WParam);
      OnKeyPress(this, key);
      if (!key)
        return;
      message.WParam = WPARAM(static_cast<unsigned char>(key));
    }
    break;
  case WM_SYSCHAR:
    // Alt and a letter: the form's controls whose captions mark that letter come first. The
    // system's dialog handling only knows windows, and so never finds the windowless ones.
    if (TCustomForm *form = ParentForm(); form && form->Perform(CM_DIALOGCHAR, message.WParam)) {
      message.Result = 0;
      return;
    }
    break;
  case CM_DIALOGCHAR:
    // Offered to every child that could be used now, each passing it on to its own, until one
    // takes it.
    for (TControl *c : std::vector<TControl *>(controls_))
      if (c->Visible() && c->Enabled() && c->Perform(CM_DIALOGCHAR, message.WParam)) {
        message.Result = 1;
        return;
      }
    message.Result = 0;
    return;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
  case CM_ENABLEDCHANGED:
    TControl::WndProc(message);
    return;
  default:
    break;
  }
  DefaultHandler(message);
}

LRESULT CALLBACK ToolkitWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl *control = TWinControl::FromHandle(window);
  if (!control && msg == WM_NCCREATE) {
    auto *cs = reinterpret_cast<CREATESTRUCTA *>(lParam);
    control = static_cast<TWinControl *>(cs->lpCreateParams);
    if (control) {
      control->handle_ = window;
      SetPropA(window, kControlProp, control);
    }
  }
  if (!control)
    return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    TRunningCode running(control);
    control->WndProc(message);
  } catch (...) {
    HandleToolkitException();
  }
  if (msg == WM_NCDESTROY) {
    RemovePropA(window, kControlProp);
    if (control->oldProc_)
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control->oldProc_));
    control->handle_ = nullptr;
    control->mouseInside_ = false;
  }
  return message.Result;
}

// --- TGraphicControl, TCustomControl -----------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent *owner)
    : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc) {
  canvas_->SetHandle(dc);
  canvas_->Font().Assign(Font());
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    throw;
  }
  canvas_->SetHandle(nullptr);
}

TCustomControl::TCustomControl(TComponent *owner)
    : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc, const RECT &) {
  canvas_->SetHandle(dc);
  canvas_->Font().Assign(Font());
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    throw;
  }
  canvas_->SetHandle(nullptr);
}

// --- message windows --------------------------------------------------------------------------

namespace {

LRESULT CALLBACK MessageWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto *handler =
      reinterpret_cast<std::function<void(TMessage &)> *>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!handler)
    return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    (*handler)(message);
  } catch (...) {
    HandleToolkitException();
  }
  return message.Result;
}

} // namespace

HWND AllocateHWnd(std::function<void(TMessage &)> handler) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MessageWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kMessageClass;
    RegisterClassA(&wc);
    registered = true;
  }
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kMessageClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window)
    throw EOutOfResources("Error creating window");
  auto *stored = new std::function<void(TMessage &)>(std::move(handler));
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(stored));
  return window;
}

void DeallocateHWnd(HWND window) {
  if (!window)
    return;
  auto *handler =
      reinterpret_cast<std::function<void(TMessage &)> *>(GetWindowLongPtrA(window, GWLP_USERDATA));
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  delete handler;
}

} // namespace tk
