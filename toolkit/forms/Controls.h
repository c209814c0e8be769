// Controls: the windowless control, the windowed control over one HWND, and the graphic
// control that its parent paints. Each class handles its Win32 messages in one WndProc.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/Classes.h"
#include "toolkit/core/Types.h"
#include "toolkit/graphics/Graphics.h"

namespace tk {

using TObject = TComponent;
using TNotifyEvent = std::function<void(TObject *Sender)>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent =
    std::function<void(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject *Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject *Sender, WORD &Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject *Sender, char &Key)>;

// Binds a member function of a form to an event: Button1->OnClick = Bind(this, &TFrm::Click).
template <class Form, class... Args>
std::function<void(Args...)> Bind(Form *form, void (Form::*handler)(Args...)) {
  return [form, handler](Args... args) { (form->*handler)(args...); };
}

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = uint8_t;

// A Win32 message on its way through a control.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// The toolkit's own notifications, in the user range of every window class we own.
enum : UINT {
  CM_BASE = 0xB000,
  CM_MOUSEENTER = CM_BASE + 1,
  CM_MOUSELEAVE = CM_BASE + 2,
  CM_ENABLEDCHANGED = CM_BASE + 3,
  CM_DIALOGCHAR = CM_BASE + 4,
  CM_RELEASE = CM_BASE + 5, // a form frees itself once its handlers have returned
};

class TWinControl;
class TCustomForm;
class TPopupMenu;

// The window procedure of every window the toolkit creates or subclasses.
LRESULT CALLBACK ToolkitWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

class TControl : public TComponent {
public:
  explicit TControl(TComponent *owner);
  ~TControl() override;
  const char *ClassName() const override { return "TControl"; }

  TWinControl *Parent() const { return parent_; }
  virtual void SetParent(TWinControl *parent);
  // The form this control sits on (through its parents), or nullptr.
  TCustomForm *ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  virtual RECT ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  virtual void SetClientSize(int width, int height);
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;
  // The control's client origin in its parent window's client coordinates.
  virtual POINT OriginInWindow() const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors = akLeft | akTop;

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  // Visible here and in every parent.
  bool Showing() const;

  // Every control's text goes through this one buffer (the window text of windowed controls).
  virtual std::string GetText() const { return text_; }
  virtual void SetText(const std::string &text);
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string &text) { SetText(text); }

  TFont &Font() { return *font_; }
  const TFont &Font() const { return *font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TColor Color() const { return color_; }
  virtual void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  std::string Hint;
  bool ShowHint = false;
  bool ParentShowHint = true;
  TCursor Cursor = crDefault;
  int HelpContext = 0;
  // Shown by a right click on the control (or the context-menu key) when it pops up by itself.
  TPopupMenu *PopupMenu = nullptr;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  virtual void Invalidate();
  virtual void Update();
  void Repaint() {
    Invalidate();
    Update();
  }
  virtual void Click();
  virtual void DblClick();
  // Forms are built with their change handlers quiet; so is every control on them.
  bool Building() const;
  // User events (OnShow, OnChange, OnClick ...) stay quiet while the form is built and while
  // the control, its owner or a parent is being destroyed: a handler then could reach what
  // is already freed.
  bool EventsMuted() const;

  // Dispatch of one message to this control; windowless controls get the mouse and CM_
  // messages their parent routes to them.
  virtual void WndProc(TMessage &message);
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  virtual bool IsWindowed() const { return false; }

protected:
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void EnabledChanged() {}
  virtual void FontChanged();
  virtual void ColorChanged() { Invalidate(); }
  virtual void TextChanged() { Invalidate(); }
  virtual void Resized();
  // The parent's font or colour changed.
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();

  TWinControl *parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  std::unique_ptr<TFont> font_;
  TColor color_ = clBtnFace;
  bool parentFont_ = true;
  bool parentColor_ = false;
  TAlign align_ = alNone;
  bool mouseInside_ = false;
  bool pressed_ = false; // a left press began on this control

  friend class TWinControl;
};

// A control that owns one window. Standard window classes are subclassed; our own windows use
// the toolkit's window class. Children receive their WM_COMMAND, WM_NOTIFY and colour messages
// back from the parent, so each control handles its own notifications.
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent *owner);
  ~TWinControl() override;
  const char *ClassName() const override { return "TWinControl"; }

  HWND Handle(); // creates the window when needed
  HWND HandleIfAllocated() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  bool IsWindowed() const override { return true; }

  void SetParent(TWinControl *parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  RECT ClientRect() const override;
  void SetClientSize(int width, int height) override;
  POINT OriginInWindow() const override { return {0, 0}; }
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  std::string GetText() const override;
  void SetText(const std::string &text) override;
  void Invalidate() override;
  void Update() override;
  void SetFocus();
  bool Focused() const;
  bool TabStop = false;
  int TabOrder = 0;

  int ControlCount() const { return int(controls_.size()); }
  TControl *Controls(int index) const { return controls_[size_t(index)]; }
  // The windowless child at a client point, topmost first; nullptr for none.
  TControl *ControlAtPos(POINT p) const;
  // Positions aligned children (alTop ... alClient) within the client area.
  void Realign();

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  void WndProc(TMessage &message) override;
  // Runs the window's own procedure (the subclassed class's, or DefWindowProc).
  void DefaultHandler(TMessage &message);
  static TWinControl *FromHandle(HWND window);
  // Menu commands (WM_COMMAND without a control) go here; the menus install it.
  static std::function<bool(WORD id)> MenuCommand;
  // The owner-drawn menu items' sizes and looks, asked of the window that shows the menu; set
  // by the menus (so this layer needs no menu of its own).
  static std::function<bool(MEASUREITEMSTRUCT &item)> MenuMeasureItem;
  static std::function<bool(const DRAWITEMSTRUCT &item)> MenuDrawItem;

  // Windowless children paint through this; also used to route their input.
  void PaintControls(HDC dc, const RECT &clip);

protected:
  struct CreateParams {
    std::string windowClass; // empty: the toolkit's own class
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    HWND parent = nullptr;
  };
  virtual void GetCreateParams(CreateParams &params);
  virtual void CreateHandle();
  // Called once the window exists: push every stored property into it.
  virtual void HandleCreated();
  void DestroyHandle();
  void RecreateHandle();
  // Notifications reflected from the parent.
  virtual bool CommandNotify(WORD code) {
    (void)code;
    return false;
  }
  // WM_COMMAND of a control that carries several commands (a tool bar's buttons); the default
  // passes the notification code on to CommandNotify.
  virtual bool CommandItem(WORD id, WORD code) {
    (void)id;
    return CommandNotify(code);
  }
  // WM_HSCROLL / WM_VSCROLL from a scrolling control (track bars).
  virtual bool ScrollNotify(WORD code) {
    (void)code;
    return false;
  }
  virtual bool NotifyNotify(NMHDR *header, LRESULT &result) {
    (void)header;
    (void)result;
    return false;
  }
  // WM_DRAWITEM for an owner-drawn control.
  virtual bool DrawItem(DRAWITEMSTRUCT &item) {
    (void)item;
    return false;
  }
  // WM_CTLCOLOR*: the brush for this control's background, nullptr for the default.
  virtual HBRUSH ControlColor(HDC dc);
  // Paints the window itself (our own class): background in Color, then PaintWindow.
  virtual void PaintWindow(HDC dc, const RECT &clip);
  virtual bool EraseBackground() const { return true; }
  void FontChanged() override;
  void ColorChanged() override;
  virtual void ControlsAligned() {}
  // The part of the client area that aligned children share (inside frames and captions).
  virtual void AdjustClientRect(RECT &rect) { (void)rect; }
  void AddControl(TControl *control);
  void RemoveControl(TControl *control);
  void Notification(TComponent *component, TOperation operation) override;
  std::string WindowTextNow() const;

  HWND handle_ = nullptr;
  WNDPROC oldProc_ = nullptr;
  HBRUSH colorBrush_ = nullptr;
  std::vector<TControl *> controls_;
  TControl *mouseControl_ = nullptr;   // windowless child under the mouse
  TControl *captureControl_ = nullptr; // windowless child that took the mouse down
  bool trackingLeave_ = false;
  int ctrlId_ = 0;

  friend class TControl;
  friend LRESULT CALLBACK ToolkitWindowProc(HWND, UINT, WPARAM, LPARAM);

private:
  void RouteMouse(TMessage &message);
  void TrackMouse(TControl *over);
  void DoSetCursor(TMessage &message);
  bool ShowPopupMenu(TMessage &message);
  bool ReflectToChild(TMessage &message);
};

// A windowless control painted by its parent.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent *owner);
  ~TGraphicControl() override;
  const char *ClassName() const override { return "TGraphicControl"; }
  TCanvas &Canvas() { return *canvas_; }
  // Paints into dc, whose origin is this control's top-left corner.
  void PaintTo(HDC dc);

protected:
  virtual void Paint() {}
  std::unique_ptr<TCanvas> canvas_;
};

// A windowed control of the toolkit's own window class that paints itself.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent *owner);
  ~TCustomControl() override;
  const char *ClassName() const override { return "TCustomControl"; }
  TCanvas &Canvas() { return *canvas_; }

protected:
  void PaintWindow(HDC dc, const RECT &clip) override;
  virtual void Paint() {}
  std::unique_ptr<TCanvas> canvas_;
};

// Hidden top-level windows with a handler, for timers and tray icons: top-level so that
// broadcasts such as "TaskbarCreated" reach them.
HWND AllocateHWnd(std::function<void(TMessage &)> handler);
void DeallocateHWnd(HWND window);

// Any exception leaving a handler goes to the application's exception box, never through a
// system frame.
void HandleToolkitException();

} // namespace tk
