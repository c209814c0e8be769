#include "features/explorer/UnitFrmie_preview.h"

#include "common/Translation.h"
#include "toolkit/forms/FormBuild.h"

using namespace tk;

TFrmIe_preview *FrmIe_preview = nullptr;

void TFrmIe_preview::Build() {
  SetFormName(this, "FrmIe_preview");
  SetBorderStyle(bsToolWindow);
  SetFormStyle(fsStayOnTop);
  SetCaption("Preview");
  SetClientSize(796, 100);

  // The background is tiled on Image1; the tool-bar picture lies over it as preview1's glyph.
  LG_NEW(Image1, TImage, this);
  Image1->SetParent(this);
  Image1->SetBounds(2, 8, 792, 86);

  LG_NEW(preview1, TTransparentButton, this);
  preview1->SetParent(this);
  preview1->SetBounds(1, 7, 794, 88);
  preview1->SetFrameStyle(fsIndent);
  preview1->Tag = 255;
  {
    TBitmap glyph;
    glyph.LoadFromResourceName(GetModuleHandleA(nullptr), "EXPLORER");
    preview1->SetGlyph(glyph);
  }

  OnCreate = Bind(this, &TFrmIe_preview::FormCreate);
  OnResize = Bind(this, &TFrmIe_preview::FormResize);
  // Aligned to the top of the screen, across its whole width; the strip's contents are centred
  // in it from the start.
  SetBounds(0, 0, Screen->Width(), Height());
  FormResize(this);
}

void TFrmIe_preview::FormCreate(TObject *) {
  // Translates every open form: at start, the main window and this one.
  ApplyTranslation(GetLanguageFile());
}

void TFrmIe_preview::FormResize(TObject *) {
  preview1->SetLeft((Width() - preview1->Width()) / 2);
  Image1->SetLeft((Width() - Image1->Width()) / 2);
}
