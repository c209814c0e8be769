#include "features/wallpaper/UnitFrmWallpaper_Area.h"

#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/wallpaper/UnitFrmwallpaper.h"
#include "features/wallpaper/WallpaperPage.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmwallpaper_area *Frmwallpaper_area = nullptr;

namespace {

// Posted when one of the four edits has lost the focus (wParam: its index): a message box
// shown while the focus moves would take it in the middle of the move.
constexpr UINT EditLeftMessage = WM_APP + 1;

// Sets one side of the panel from an edit's text; text that is no whole number (an emptied
// field while typing, say) leaves it, and is reported only when the field is left.
bool SetFromEdit(TEdit *edit, TPanel *panel, void (TControl::*setter)(int)) {
  std::optional<int> value = WholeNumber(edit->Text(), 0);
  if (value)
    (panel->*setter)(*value);
  return value.has_value();
}

// The four edits' names in the messages, in the order Edit4 to Edit7.
std::string FieldName(int index) {
  switch (index) {
  case 0:
    return LangMessage("Wallpaper_6", "Template width");
  case 1:
    return LangMessage("Wallpaper_7", "Template height");
  case 2:
    return LangMessage("Wallpaper_4", "Template left");
  default:
    return LangMessage("Wallpaper_5", "Template top");
  }
}

} // namespace

void TFrmwallpaper_area::Build() {
  SetFormName(this, "Frmwallpaper_area");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  Position = poScreenCenter;
  SetCaption("Template");
  SetClientSize(400, 212);

  LG_PLACE(Panel1, TPanel, this, 12, 12, 202, 152, nullptr);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetBorderStyle(bsSingle);
  LG_PLACE(Image1, TImage, Panel1, 0, 0, 200, 150, nullptr);
  Image1->SetStretch(true);
  LG_PLACE(Panel2, TPanel, Panel1, 112, 9, 80, 60, "Area");

  LG_PLACE(GroupBox1, TGroupBox, this, 228, 8, 160, 156, "Animated Area");
  struct {
    TLabel **label;
    const char *labelName, *caption;
    TEdit **edit;
    const char *editName, *value;
  } fields[] = {{&Label1, "Label1", "Width", &Edit4, "Edit4", "80"},
                {&Label2, "Label2", "Height", &Edit5, "Edit5", "60"},
                {&Label3, "Label3", "Left", &Edit6, "Edit6", "110"},
                {&Label4, "Label4", "Top", &Edit7, "Edit7", "10"}};
  int top = 24;
  for (auto &field : fields) {
    *field.label = PlaceControl(new TLabel(this), field.labelName, GroupBox1, 14, top + 3, 60, 16,
                                field.caption);
    *field.edit =
        PlaceControl(new TEdit(this), field.editName, GroupBox1, 80, top, 64, 21, nullptr);
    (*field.edit)->SetText(field.value);
    (*field.edit)->Tag = 255;
    top += 32;
  }
  LG_PLACE(Edit8, TEdit, this, 12, 176, 40, 21, nullptr);
  Edit8->SetVisible(false);
  Edit8->Tag = 255;
  LG_PLACE(BitBtn11, TBitBtn, this, 12, 174, 202, 28, "Choose background picture");
  LG_NEW(op1, TOpenPictureDialog, this);

  OnCreate = Bind(this, &TFrmwallpaper_area::FormCreate);
  OnClose = Bind(this, &TFrmwallpaper_area::FormClose);
  BitBtn11->OnClick = Bind(this, &TFrmwallpaper_area::BitBtn11Click);
  Panel2->OnMouseMove = Bind(this, &TFrmwallpaper_area::Panel2MouseMove);
  Edit4->OnChange = Bind(this, &TFrmwallpaper_area::Edit4Change);
  Edit5->OnChange = Bind(this, &TFrmwallpaper_area::Edit5Change);
  Edit6->OnChange = Bind(this, &TFrmwallpaper_area::Edit6Change);
  Edit7->OnChange = Bind(this, &TFrmwallpaper_area::Edit7Change);
  for (TEdit *edit : {Edit4, Edit5, Edit6, Edit7})
    edit->OnExit = Bind(this, &TFrmwallpaper_area::EditExit);
}

void TFrmwallpaper_area::LoadPreview(const std::string &fileName) {
  try {
    Image1->Picture().LoadFromFile(fileName);
  } catch (const Exception &error) {
    // The preview stays empty; the form still opens.
    Application->ShowException(error.what());
  }
}

void TFrmwallpaper_area::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  std::string picture = GetConfigFolder("Wallpaper") + "Lumagrove01.jpg";
  LoadPreview(picture);
  Edit8->SetText(picture);
}

void TFrmwallpaper_area::CheckEdit(TEdit *edit) {
  TEdit *edits[] = {Edit4, Edit5, Edit6, Edit7};
  for (int i = 0; i < 4; ++i) {
    if (edits[i] != edit || WholeNumber(edit->Text(), 0) || reported_[i] == edit->Text())
      continue;
    reported_[i] = edit->Text();
    GetPrompts().MessageBox(Handle(),
                            FormatText(LangMessage(TemplateValueKey, TemplateValueMessage).c_str(),
                                       {edit->Text(), FieldName(i)}),
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
  }
}

void TFrmwallpaper_area::EditExit(TObject *Sender) {
  TEdit *edits[] = {Edit4, Edit5, Edit6, Edit7};
  for (WPARAM i = 0; i < 4; ++i)
    if (Sender == edits[i])
      PostMessageA(Handle(), EditLeftMessage, i, 0);
}

void TFrmwallpaper_area::WndProc(TMessage &message) {
  if (message.Msg == EditLeftMessage && message.WParam < 4) {
    TEdit *edits[] = {Edit4, Edit5, Edit6, Edit7};
    CheckEdit(edits[message.WParam]);
    return;
  }
  TForm::WndProc(message);
}

void TFrmwallpaper_area::FormClose(TObject *, TCloseAction &Action) {
  // A value typed but not yet reported (the field still has the focus) is reported now; it is
  // passed on as typed all the same, and Start refuses it.
  for (TEdit *edit : {Edit4, Edit5, Edit6, Edit7})
    CheckEdit(edit);
  // The edits' texts count, not the panel's place.
  if (FrmWallpaper) {
    FrmWallpaper->Edit4->SetText(Edit4->Text());
    FrmWallpaper->Edit5->SetText(Edit5->Text());
    FrmWallpaper->Edit6->SetText(Edit6->Text());
    FrmWallpaper->Edit7->SetText(Edit7->Text());
    FrmWallpaper->Edit8->SetText(Edit8->Text());
  }
  Action = caFree;
}

void TFrmwallpaper_area::BitBtn11Click(TObject *) {
  if (!op1->Execute())
    return;
  LoadPreview(op1->FileName);
  Edit8->SetText(op1->FileName);
}

void TFrmwallpaper_area::Panel2MouseMove(TObject *, TShiftState Shift, int X, int Y) {
  PanelMouseSizeMove(Panel2, Shift, X, Y, 5);
  // A drag past the preview's left or top edge stops at it: the page takes no negative place.
  if (Panel2->Left() < 0)
    Panel2->SetLeft(0);
  if (Panel2->Top() < 0)
    Panel2->SetTop(0);
  Edit4->SetText(std::to_string(Panel2->Width()));
  Edit5->SetText(std::to_string(Panel2->Height()));
  Edit6->SetText(std::to_string(Panel2->Left()));
  Edit7->SetText(std::to_string(Panel2->Top()));
}

// A valid value clears what was reported, so the same bad text typed again is told again.
void TFrmwallpaper_area::Edit4Change(TObject *) {
  if (SetFromEdit(Edit4, Panel2, &TControl::SetWidth))
    reported_[0].reset();
}
void TFrmwallpaper_area::Edit5Change(TObject *) {
  if (SetFromEdit(Edit5, Panel2, &TControl::SetHeight))
    reported_[1].reset();
}
void TFrmwallpaper_area::Edit6Change(TObject *) {
  if (SetFromEdit(Edit6, Panel2, &TControl::SetLeft))
    reported_[2].reset();
}
void TFrmwallpaper_area::Edit7Change(TObject *) {
  if (SetFromEdit(Edit7, Panel2, &TControl::SetTop))
    reported_[3].reset();
}
