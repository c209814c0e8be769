// The start-up lock: one attempt at the password, or the program ends.
#pragma once

#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmPwd : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmPwd"; }

  tk::TImage *Image1 = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TLabeledEdit *LabeledEdit1 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  // Set only by OK with the right password: however else the prompt ends, the program ends.
  bool Unlocked = false;

  void FormCreate(tk::TObject *Sender);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);

protected:
  void Build() override;
};

extern TFrmPwd *FrmPwd;
