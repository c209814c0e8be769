// The miscellaneous shell tweaks: the taskbar's transparency, the Start button's caption (both
// kept in force by the tray helper, which this form starts, stops and registers), the message
// Windows shows before log-on, and a text beside the tray clock.
#pragma once

#include "features/misc/Func_misc.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmMore : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmMore"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TLabel *Label2 = nullptr;
  tk::TLabel *Label3 = nullptr; // the slider's left end
  tk::TTrackBar *TrackBar1 = nullptr;
  tk::TLabel *Label4 = nullptr; // its right end
  tk::TLabel *Label1 = nullptr; // the opacity in percent
  tk::TTabSheet *TabSheet2 = nullptr;
  tk::TLabel *Label5 = nullptr;
  tk::TLabel *Label6 = nullptr;
  tk::TEdit *Edit4 = nullptr;
  tk::TLabel *Label7 = nullptr;
  tk::TEdit *Edit3 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TTabSheet *TabSheet3 = nullptr;
  tk::TLabel *Label8 = nullptr;
  tk::TLabel *Label9 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TLabel *Label10 = nullptr;
  tk::TEdit *Edit2 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TTabSheet *TabSheet4 = nullptr;
  tk::TLabel *Label11 = nullptr;
  tk::TLabel *Label12 = nullptr;
  tk::TEdit *Edit5 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TBitBtn *BitBtn6 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void TrackBar1Change(tk::TObject *Sender);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn4Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);
  void BitBtn6Click(tk::TObject *Sender);

protected:
  void Build() override;

private:
  void BuildTaskbarPage();
  struct TextPage;
  static const TextPage TextPages[];
  void BuildTextPages();
  template <class T> T *Make(T *TFrmMore::*member, const char *name);

  // Found at every creation; the caption last applied.
  HWND startButton_ = nullptr;
  StartButtonTextRecord record_{};
  // The stored settings are being shown: the controls' handlers store nothing.
  bool showingSettings_ = false;
  // The slider's refused start with Windows was told.
  bool autostartRefusalTold_ = false;
};

extern TFrmMore *FrmMore;
