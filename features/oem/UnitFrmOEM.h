// OEM information: the manufacturer, model, support lines and logo that System Properties shows.
#pragma once

#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/ExtDlgs.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmOEM : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmOEM"; }

  tk::TLabel *Label1 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TLabel *Label2 = nullptr;
  tk::TEdit *Edit2 = nullptr;
  tk::TLabel *Label3 = nullptr;
  tk::TMemo *Memo1 = nullptr;
  tk::TMemo *Memo2 = nullptr;
  tk::TLabel *Label4 = nullptr;
  tk::TPanel *Panel1 = nullptr;
  tk::TImage *Image1 = nullptr;
  tk::TCheckBox *CheckBox1 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TBitBtn *BitBtn6 = nullptr;
  tk::TOpenPictureDialog *OpenDialog1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn4Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);
  void BitBtn6Click(tk::TObject *Sender);
  void CheckBox1Click(tk::TObject *Sender);

protected:
  void Build() override;

private:
  void ShowLogo();
  void ShowTexts();
  void ReportFailure();
  bool TellLostBackups();
};

extern TFrmOEM *FrmOEM;
