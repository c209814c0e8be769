// The blank form on whose font the Start button's caption is measured: never shown, created
// just before a caption is applied and freed just after.
#pragma once

#include "toolkit/forms/Forms.h"

class TFrmBlank : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmBlank"; }

protected:
  void Build() override;
};

extern TFrmBlank *FrmBlank;
