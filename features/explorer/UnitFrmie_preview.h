// The Explorer preview: a strip along the top of the screen that shows a picture of an Explorer
// tool bar over the chosen background. It lives from start to end and is only shown and hidden;
// its creation at start is what translates the main window.
#pragma once

#include "components/TransBtn.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"

class TFrmIe_preview : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmIe_preview"; }

  tk::TImage *Image1 = nullptr;
  TTransparentButton *preview1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormResize(tk::TObject *Sender);

protected:
  void Build() override;
};

extern TFrmIe_preview *FrmIe_preview;
