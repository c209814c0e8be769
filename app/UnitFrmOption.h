// The options: the tray helper's start with Windows, and the start-up password.
#pragma once

#include "features/misc/Func_misc.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmOption : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmOption"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TCheckBox *CheckBox2 = nullptr;
  tk::TGroupBox *GroupBox1 = nullptr;
  tk::TLabeledEdit *LabeledEdit1 = nullptr;
  tk::TLabeledEdit *LabeledEdit2 = nullptr;
  tk::TLabeledEdit *LabeledEdit3 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);

protected:
  void Build() override;
};

extern TFrmOption *FrmOption;
