// Lumagrove Helper: a form that is never shown, whose tray icon is the whole program. At start,
// and again whenever Explorer starts anew, it makes the taskbar as translucent as Lumagrove
// stored and gives the Start button the stored caption, which it then watches every second; its
// menu switches the wallpaper page, the desktop icons and its own start with Windows, and opens
// display settings, the screen saver and Lumagrove.
#pragma once

#include <memory>
#include <string>

#include "components/SimpleTimer.h"
#include "components/TrayIcon.h"
#include "features/misc/Func_misc.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmHovelin : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmHovelin"; }

  tk::TTrayIcon *TrayIcon1 = nullptr;
  tk::TPopupMenu *PopupMenu1 = nullptr;
  tk::TMenuItem *N8 = nullptr;
  tk::TMenuItem *N9 = nullptr;
  tk::TMenuItem *N10 = nullptr;
  tk::TMenuItem *N2 = nullptr;
  tk::TMenuItem *N3 = nullptr;
  tk::TMenuItem *N4 = nullptr;
  tk::TMenuItem *N5 = nullptr;
  tk::TMenuItem *Options1 = nullptr;
  tk::TMenuItem *N12 = nullptr;
  tk::TMenuItem *N6 = nullptr;
  tk::TMenuItem *N7 = nullptr;
  tk::TMenuItem *N11 = nullptr; // the line above Exit
  tk::TMenuItem *N1 = nullptr;
  // The class library's timer of the form: the Start button's watchdog.
  std::unique_ptr<tk::TSimpleTimer> Timer1;
  tk::TLabel *Label1 = nullptr; // the picture or page the wallpaper step applies
  tk::TEdit *Edit3 = nullptr;   // the caption the helper keeps

  void FormCreate(tk::TObject *Sender);
  void Timer1Timer(tk::TSimpleTimer *Sender);
  void applywallpaper();
  void N1Click(tk::TObject *Sender);
  void N2Click(tk::TObject *Sender);
  void N3Click(tk::TObject *Sender);
  void N4Click(tk::TObject *Sender);
  void N5Click(tk::TObject *Sender);
  void N6Click(tk::TObject *Sender);
  void N7Click(tk::TObject *Sender);
  void N8Click(tk::TObject *Sender);
  void N9Click(tk::TObject *Sender);
  void N10Click(tk::TObject *Sender);
  void N12Click(tk::TObject *Sender);

  void WndProc(tk::TMessage &message) override;

protected:
  void Build() override;
  void GetCreateParams(CreateParams &params) override;

private:
  tk::TMenuItem *AddItem(tk::TMenuItem *&member, const char *name, tk::TMenuItem *parent,
                         const char *caption, void (TFrmHovelin::*handler)(tk::TObject *));
  // The stored transparency, read afresh, and the caption read at start, on today's taskbar.
  void ApplyToTaskbar();

  std::string configuredCaption_; // read once, at start
  StartButtonLayout layout_;      // what the last application of the caption did
};

extern TFrmHovelin *FrmHovelin;
