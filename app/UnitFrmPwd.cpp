#include "app/UnitFrmPwd.h"

#include "common/RegUnit.h"
#include "common/Translation.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmPwd *FrmPwd = nullptr;

void TFrmPwd::Build() {
  SetFormName(this, "FrmPwd");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  Position = poScreenCenter;
  SetCaption("Password");
  SetClientSize(324, 145);

  LG_NEW(Image1, TImage, this);
  Image1->SetParent(this);
  Image1->SetBounds(16, 20, 48, 48);
  Image1->SetTransparent(true);
  Image1->Picture().Bitmap().LoadFromResourceName(GetModuleHandleA(nullptr), "PADLOCK");

  LG_NEW(Label1, TLabel, this);
  Label1->SetParent(this);
  Label1->SetBounds(80, 20, 80, 13);
  Label1->SetCaption("Enter password");

  LG_NEW(LabeledEdit1, TLabeledEdit, this);
  LabeledEdit1->SetParent(this);
  LabeledEdit1->SetBounds(80, 44, 224, 21);
  LabeledEdit1->EditLabel()->SetCaption("");
  LabeledEdit1->SetPasswordChar('*'); // typed at start-up, often with others in the room
  LabeledEdit1->TabOrder = 0;

  LG_NEW(BitBtn1, TBitBtn, this);
  BitBtn1->SetParent(this);
  BitBtn1->SetBounds(136, 100, 80, 28);
  BitBtn1->SetCaption("OK");
  BitBtn1->SetDefault(true);
  BitBtn1->ModalResult = mrOk;

  LG_NEW(BitBtn2, TBitBtn, this);
  BitBtn2->SetParent(this);
  BitBtn2->SetBounds(224, 100, 80, 28);
  BitBtn2->SetCaption("Exit");

  BitBtn1->OnClick = Bind(this, &TFrmPwd::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmPwd::BitBtn2Click);
  OnCreate = Bind(this, &TFrmPwd::FormCreate);
}

void TFrmPwd::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  // Neither the title bar's close button nor Alt+F4 may get past the lock.
  DeleteMenu(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
}

void TFrmPwd::BitBtn1Click(TObject *) {
  if (LabeledEdit1->Text() != ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "PWD")) {
    GetPrompts().MessageBox(Handle(), LangMessage("Reg_9", "Password wrong!"),
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
    Application->Terminate();
    return;
  }
  Unlocked = true;
  Close();
}

void TFrmPwd::BitBtn2Click(TObject *) { Application->Terminate(); }
