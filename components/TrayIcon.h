// An icon in the shell's notification area. The shell's callback messages become component
// events: clicks told apart from double clicks, mouse enter and exit, a pop-up menu at the
// cursor, a default menu item on double click, balloon hints, icon animation from an image list
// and hiding the application's main window into the tray.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "components/SimpleTimer.h"
#include "toolkit/forms/Controls.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/ImgList.h"

namespace tk {

class TPopupMenu;

using TCycleEvent = std::function<void(TObject *Sender, int NextIndex)>;
using TStartupEvent = std::function<void(TObject *Sender, bool &ShowMainForm)>;

// The shell's callback message for every tray icon of the process.
constexpr UINT WM_TRAYNOTIFY = 0x800;

// The shell is told of the version-5 record: up to dwInfoFlags, 488 bytes in a 32-bit process and
// 504 in a 64-bit one. The structure the headers declare carries later versions' fields after
// that, which the shell then never reads.
constexpr DWORD kTrayRecordSize = sizeof(void *) == 4 ? 488 : 504;
static_assert(NOTIFYICONDATAA_V2_SIZE == kTrayRecordSize, "the version-5 shell record");
static_assert(sizeof(NOTIFYICONDATAA) >= kTrayRecordSize);

class TTrayIcon : public TComponent {
public:
  explicit TTrayIcon(TComponent *owner);
  ~TTrayIcon() override;
  const char *ClassName() const override { return "TTrayIcon"; }

  void Loaded() override;

  virtual bool ShowIcon();   // NIM_ADD
  virtual bool HideIcon();   // NIM_DELETE
  virtual bool ModifyIcon(); // NIM_MODIFY

  // IconType: 0 none, 1 information, 2 warning, 3 error.
  bool ShowBalloonHint(const std::string &Title, const std::string &Text, uint8_t IconType,
                       uint8_t TimeoutSecs);
  void HideBalloonHint();
  void PopupAtCursor();
  void HideMainForm();
  void HideTaskbarIcon();

  // Only a form designer previews icons; the toolkit has none, so this is kept for the
  // forms that set it and otherwise has no effect.
  bool DesignPreview = false;

  TImageList *IconList() const { return iconList_; }
  void SetIconList(TImageList *value);
  bool CycleIcons() const { return cycleIcons_; }
  void SetCycleIcons(bool value);
  UINT CycleInterval() const { return cycleInterval_; }
  void SetCycleInterval(UINT value);
  // When false every mouse message is ignored; balloon notifications still arrive.
  bool Enabled = true;
  const std::string &Hint() const { return hint_; }
  void SetHint(const std::string &value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  // Changes of the picture reach the shell at once.
  TIcon &Icon() { return *icon_; }
  void SetIcon(const TIcon &value);
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool value);
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int value);
  TPopupMenu *PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu *value);
  // Also pop the menu up on the left button.
  bool LeftPopup = false;
  bool WantEnterExitEvents() const { return wantEnterExitEvents_; }
  void SetWantEnterExitEvents(bool value);
  bool MinimizeToTray = false;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintShow;
  TNotifyEvent OnBalloonHintHide;
  TNotifyEvent OnBalloonHintTimeout;
  TNotifyEvent OnBalloonHintClick;
  TNotifyEvent OnMinimizeToTray;
  TStartupEvent OnStartup;

  // The record's uID: the shell's callbacks name the icon by it.
  UINT Id() const { return data_.uID; }
  // The window all tray icons share, nullptr while there is none.
  static HWND HandlerWindow();
  // The registered "TaskbarCreated" message, 0 where the shell does not send it.
  static UINT TaskbarCreatedMessage();

protected:
  void Notification(TComponent *component, TOperation operation) override;

  virtual void Click();
  virtual void DblClick();
  // Fires OnCycle with the next image's index, then moves to it.
  virtual void CycleIcon();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseExit();
  virtual void DoMinimizeToTray();

private:
  friend class TTrayIconHandler;

  // Refreshes the record's icon and tip, which every shell call sends.
  void InitIcon();
  bool Notify(DWORD message);
  void IconChanged() { ModifyIcon(); }
  // One callback of the shell; code is the mouse message or NIN_ balloon code.
  void HandleCallback(UINT code);
  void ClickTimerTick();
  void ExitTimerTick();
  void CycleTimerTick();
  // Runs before the application window's own handling; never claims a message.
  void ApplicationHook(const TMessage &message);
  // The owner window's messages, subclassed; false passes the message on.
  bool OwnerMessage(TMessage &message);
  TWinControl *WindowedOwner() const;
  void HookOwner();
  void UnhookOwner();

  NOTIFYICONDATAA data_ = {};
  std::unique_ptr<TIcon> icon_;
  TImageList *iconList_ = nullptr;
  TPopupMenu *popupMenu_ = nullptr;
  std::string hint_;
  bool showHint_ = true;
  bool iconVisible_ = false;
  int iconIndex_ = 0;
  bool cycleIcons_ = false;
  UINT cycleInterval_ = 0;
  bool wantEnterExitEvents_ = false;

  std::unique_ptr<TSimpleTimer> cycleTimer_;
  std::unique_ptr<TSimpleTimer> clickTimer_;
  std::unique_ptr<TSimpleTimer> exitTimer_;
  bool clickStarted_ = false;
  bool clickPending_ = false;
  bool dblClickHappened_ = false;
  bool cursorOutside_ = true;
  bool startupPending_ = true;
  POINT lastMove_ = {0, 0};

  int appHook_ = 0;
  int ownerSlot_ = -1; // the subclassing slot of the owner window, -1 when not subclassed
};

} // namespace tk
