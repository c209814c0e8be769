// Forms, the application object and the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "toolkit/forms/Controls.h"

namespace tk {

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint8_t;
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TModalResult = int;
enum : TModalResult {
  mrNone = 0,
  mrOk = IDOK,
  mrCancel = IDCANCEL,
  mrAbort = IDABORT,
  mrRetry = IDRETRY,
  mrIgnore = IDIGNORE,
  mrYes = IDYES,
  mrNo = IDNO,
};

using TCloseEvent = std::function<void(TObject *Sender, TCloseAction &Action)>;
using TCloseQueryEvent = std::function<void(TObject *Sender, bool &CanClose)>;
// A help request (a WinHelp command and its data); clearing CallHelp stops the default handling.
using THelpEvent = std::function<bool(WORD Command, int Data, bool &CallHelp)>;

class TCustomForm : public TWinControl {
public:
  explicit TCustomForm(TComponent *owner);
  ~TCustomForm() override;
  const char *ClassName() const override { return "TCustomForm"; }

  // Runs the creation: window, build (change handlers quiet), Loaded on every component,
  // then OnCreate. CreateForm calls it once the form's global holds the new form.
  void Initialize();
  // Points global at this form until the form is destroyed; then it is cleared (unless it
  // holds another form by then), so no handler reaches a freed form through it.
  template <class T> void TieGlobal(T *&global) {
    T *self = static_cast<T *>(this);
    global = self;
    untieGlobal_ = [&global, self] {
      if (global == self)
        global = nullptr;
    };
  }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TPosition Position = poDesigned;
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  TIcon &Icon() { return icon_; }
  void SetIcon(HICON icon); // takes ownership

  void Show();
  // Shows the form where it is in the z-order, leaving the active window and the focus alone
  // (a window that accompanies another, such as a preview).
  void ShowNoActivate();
  void Hide() { SetVisible(false); }
  void SetVisible(bool visible) override;
  // Asks the form to close. While a message loop runs inside its code (see TNestedLoop) the
  // close waits until the last one has returned, unless it ends a modal loop or the program:
  // closing frees most forms.
  void Close();
  // Frees the form once the messages now queued have been handled and no message loop runs
  // inside its code; until then it is hidden, runs no events and no longer holds its global or
  // its name.
  void Release();
  // True from construction until its creation handler has returned: such a form is not yet
  // one to show or to use.
  bool Creating() const { return initializing_; }
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult = mrNone;
  void BringToFront();

  // The menu bar. A main menu without visible items shows no bar; the form follows later
  // changes of its items.
  TMainMenu *Menu() const { return menu_; }
  void SetMenu(TMainMenu *menu);
  // Runs the command of the menu item with this shortcut; true when there was one.
  virtual bool IsShortCut(WORD key, TShiftState shift);

  // The button that Enter presses (and Escape's, for Cancel).
  TWinControl *DefaultButton = nullptr;
  TWinControl *CancelButton = nullptr;
  TWinControl *ActiveControl = nullptr;
  // Takes the place of the application's help file while this form is the active one.
  std::string HelpFile;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void WndProc(TMessage &message) override;

protected:
  // Creates the form's components (each form class builds itself here).
  virtual void Build() {}
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  void Resized() override;
  void PaintWindow(HDC dc, const RECT &clip) override;
  bool CloseQuery();
  void Centre();
  void ShowAs(int command);
  // WM_HELP: the topic of the control the user asked about goes to the application's help.
  void ContextHelp(const HELPINFO *info);
  void Notification(TComponent *component, TOperation operation) override;
  void LoopsEnded() override;
  // Asks a close that had to wait anew once nothing holds it any more.
  void AskWaitingClose();

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = fsNormal;
  TIcon icon_;
  bool modal_ = false;
  bool shownOnce_ = false;
  bool creating_ = false;
  bool initializing_ = true;
  bool closeWaiting_ = false;   // a close asked for while disabled or inside a loop
  bool releaseWaiting_ = false; // a release that arrived inside a loop
  TCanvas canvas_;
  TMainMenu *menu_ = nullptr;
  std::function<void()> untieGlobal_;
};

class TForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  const char *ClassName() const override { return "TForm"; }
};

class TScreen : public TComponent {
public:
  explicit TScreen(TComponent *owner);
  ~TScreen() override;
  const char *ClassName() const override { return "TScreen"; }

  int FormCount() const { return int(forms_.size()); }
  TCustomForm *Forms(int index) const { return forms_[size_t(index)]; }
  TCustomForm *ActiveForm = nullptr;
  // The cursor table: negative numbers are the system's cursors, others the program's own.
  HCURSOR Cursors(TCursor cursor);
  void SetCursors(TCursor cursor, HCURSOR handle);
  TCursor Cursor = crDefault; // when set, shown over every window of the program
  void SetCursor(TCursor cursor);
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }

private:
  friend class TCustomForm;
  std::vector<TCustomForm *> forms_;
  std::map<TCursor, HCURSOR> cursors_;
};

using TMessageHook = std::function<bool(TMessage &message)>;

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent *owner);
  ~TApplication() override;
  const char *ClassName() const override { return "TApplication"; }

  void Initialize() { Handle(); }
  HWND Handle(); // the hidden application window that carries the taskbar button
  std::string Title() const { return title_; }
  void SetTitle(const std::string &title);
  TIcon &Icon() { return icon_; }
  std::string ExeName() const;

  // Creates a form owned by the application; the first one becomes the main form.
  template <class T> T *CreateForm(T *&global) {
    T *form = new T(this);
    form->TieGlobal(global);
    if (!MainForm)
      MainForm = form;
    form->Initialize();
    return form;
  }
  TCustomForm *MainForm = nullptr;
  bool ShowMainForm = true;

  void Run();
  // Ends the message loop once the messages now queued are handled.
  void Terminate();
  bool Terminated() const { return terminated_; }
  void ProcessMessages();
  void HandleMessage(); // waits for one message
  bool ProcessMessage(MSG &msg);

  // Hooks see every message of the application window before it does.
  int HookMainWindow(TMessageHook hook);
  void UnhookMainWindow(int id);

  // Called from inside a catch block: hands the exception to OnException or the default box.
  void HandleException();
  void ShowException(const std::string &message);
  std::function<void(const std::exception &e)> OnException;
  // Help requests go to OnHelp first and, unless it clears CallHelp, on to WinHelp with
  // HelpFile. The result tells whether help was shown.
  std::string HelpFile;
  bool HelpCommand(WORD command, int data);
  bool HelpContext(int context) { return HelpCommand(HELP_CONTEXT, context); }
  THelpEvent OnHelp;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

  void Minimize();
  void Restore();

private:
  void WndProc(TMessage &message);
  HWND handle_ = nullptr;
  std::string title_;
  TIcon icon_;
  bool terminated_ = false;
  bool quitPosted_ = false;
  bool closeWaiting_ = false;
  int nextHook_ = 1;
  std::vector<std::pair<int, TMessageHook>> hooks_;
};

extern TApplication *Application;
extern TScreen *Screen;

// Makes Application and Screen when they don't exist yet (programs call it first; tests too).
void InitApplication();
void DoneApplication();

// Creates a form with an owner other than the application, the same way. As with the
// application's, global is a variable that outlives the form (the form's global): it is
// cleared when the form is destroyed.
template <class T> T *CreateForm(TComponent *owner, T *&global) {
  T *form = new T(owner);
  form->TieGlobal(global);
  form->Initialize();
  return form;
}

// A form that lives once: the instance its global holds, or else a new one made by CreateForm.
// Null while that instance is still being made (its creation pumps messages, so the same link
// can be clicked again): the code making it shows it once it is whole.
template <class T> T *OpenForm(TComponent *owner, T *&global) {
  if (!global)
    return CreateForm(owner, global);
  return global->Creating() ? nullptr : global;
}

// The wait cursor over every window of the program while it lives.
class TWaitCursor {
public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor &) = delete;
  TWaitCursor &operator=(const TWaitCursor &) = delete;

private:
  TCursor before_;
};

// Long work a form does with the program kept alive (an install that pumps its messages): the
// wait cursor shows over the program, and the form takes no input until the work ends, so no
// second piece of work starts inside the first and a close asked meanwhile waits for its end.
class TFormWork {
public:
  explicit TFormWork(TCustomForm *form);
  ~TFormWork();
  TFormWork(const TFormWork &) = delete;
  TFormWork &operator=(const TFormWork &) = delete;

private:
  TWaitCursor wait_;
  HWND window_ = nullptr;
  HWND focus_ = nullptr;
};

} // namespace tk
