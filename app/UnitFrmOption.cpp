#include "app/UnitFrmOption.h"

#include "common/RegUnit.h"
#include "common/Translation.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmOption *FrmOption = nullptr;

namespace {

std::string StoredPassword() { return ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "PWD"); }

// Each of the three edits takes a password: masked, so no one beside the user reads it off the
// screen. The text itself, and so the stored value, is what was typed.
void PlaceEdit(TLabeledEdit *edit, TWinControl *parent, int top, const char *label) {
  edit->SetParent(parent);
  edit->SetBounds(24, top, 240, 21);
  edit->EditLabel()->SetCaption(label);
  edit->SetPasswordChar('*');
}

} // namespace

void TFrmOption::Build() {
  SetFormName(this, "FrmOption");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu | biHelp);
  Position = poScreenCenter;
  SetCaption("Options");
  SetClientSize(458, 433);

  LG_NEW(PageControl1, TPageControl, this);
  PageControl1->SetParent(this);
  PageControl1->SetBounds(8, 8, 442, 417);

  LG_NEW(TabSheet1, TTabSheet, this);
  TabSheet1->SetPageControl(PageControl1);
  TabSheet1->SetCaption("General");

  LG_NEW(CheckBox2, TCheckBox, this);
  CheckBox2->SetParent(TabSheet1);
  CheckBox2->SetBounds(16, 16, 400, 17);
  CheckBox2->SetCaption("Run Lumagrove Helper when Windows start");

  LG_NEW(GroupBox1, TGroupBox, this);
  GroupBox1->SetParent(TabSheet1);
  GroupBox1->SetBounds(16, 52, 402, 248);
  GroupBox1->SetCaption("Password");

  LG_NEW(LabeledEdit1, TLabeledEdit, this);
  PlaceEdit(LabeledEdit1, GroupBox1, 44, "Old password");
  LG_NEW(LabeledEdit2, TLabeledEdit, this);
  PlaceEdit(LabeledEdit2, GroupBox1, 100, "New password");
  LG_NEW(LabeledEdit3, TLabeledEdit, this);
  PlaceEdit(LabeledEdit3, GroupBox1, 156, "Verify Password");

  LG_NEW(BitBtn3, TBitBtn, this);
  BitBtn3->SetParent(GroupBox1);
  BitBtn3->SetBounds(24, 200, 90, 28);
  BitBtn3->SetCaption("Save");

  LG_NEW(BitBtn1, TBitBtn, this);
  BitBtn1->SetParent(TabSheet1);
  BitBtn1->SetBounds(230, 344, 90, 28);
  BitBtn1->SetCaption("Save");

  LG_NEW(BitBtn2, TBitBtn, this);
  BitBtn2->SetParent(TabSheet1);
  BitBtn2->SetBounds(328, 344, 90, 28);
  BitBtn2->SetCaption("Exit");

  // The popup topics of the help file's options window, asked for with the title bar's "?".
  const std::pair<TControl *, int> topics[] = {
      {CheckBox2, 1001},    {BitBtn1, 1002},      {BitBtn2, 1003}, {LabeledEdit1, 1004},
      {LabeledEdit2, 1005}, {LabeledEdit3, 1006}, {BitBtn3, 1007}};
  for (const auto &[control, context] : topics)
    control->HelpContext = context;

  BitBtn1->OnClick = Bind(this, &TFrmOption::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmOption::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmOption::BitBtn3Click);
  OnCreate = Bind(this, &TFrmOption::FormCreate);
  // Freed when closed: the next opening reads the settings afresh.
  OnClose = [](TObject *, TCloseAction &Action) { Action = caFree; };
}

void TFrmOption::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  CheckBox2->SetChecked(!ReadHelperAutostart().empty());
}

void TFrmOption::BitBtn1Click(TObject *) {
  // A standard user may not change what starts for every user: the one message says so.
  TRefusedWrites refused;
  SetHelperAutostart(CheckBox2->Checked(), refused);
  ReportRefusedWrites(Handle(), refused);
  Close();
}

void TFrmOption::BitBtn2Click(TObject *) { Close(); }

void TFrmOption::BitBtn3Click(TObject *) {
  if (LabeledEdit2->Text() != LabeledEdit3->Text()) {
    GetPrompts().MessageBox(Handle(),
                            LangMessage("Option_1", "The entered passwords did not match each "
                                                    "other, please check the entered values"),
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
    return;
  }
  std::string stored = StoredPassword();
  if (!stored.empty() && LabeledEdit1->Text() != stored) {
    GetPrompts().MessageBox(Handle(),
                            LangMessage("Option_2", "The entered password did not match old "
                                                    "password, please check the entered values"),
                            LangMessage("Common_8", "OK"), MB_OK | MB_ICONERROR);
    return;
  }
  // An empty new password lifts the lock; the value stays, empty.
  WriteRegValue(HKEY_CURRENT_USER, ProgramKey, "PWD", LabeledEdit3->Text(), 1);
  GetPrompts().MessageBox(Handle(), LangMessage("Option_3", "Password has changed!"),
                          LangMessage("Common_8", "OK"), MB_OK | MB_ICONINFORMATION);
  Close();
}
