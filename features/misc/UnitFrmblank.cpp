#include "features/misc/UnitFrmblank.h"

#include "common/Translation.h"
#include "toolkit/forms/FormBuild.h"

using namespace tk;

TFrmBlank *FrmBlank = nullptr;

void TFrmBlank::Build() {
  SetFormName(this, "FrmBlank");
  Tag = TranslationSkipTag;
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 688, 446);
  // The Start button's own font: what a caption measures here is what the button shows.
  Font().SetName("Arial");
  Font().SetHeight(-17);
  Font().SetStyle(fsBold | fsItalic);
}
