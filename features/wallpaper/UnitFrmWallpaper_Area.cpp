#include "features/wallpaper/UnitFrmWallpaper_Area.h"

#include "app/FormBuild.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/wallpaper/UnitFrmwallpaper.h"
#include "features/wallpaper/WallpaperPage.h"

using namespace tk;

TFrmwallpaper_area *Frmwallpaper_area = nullptr;

namespace {

// Sets one side of the panel from an edit's text; text that is no whole number leaves it.
void SetFromEdit(TEdit *edit, TPanel *panel, void (TControl::*setter)(int)) {
  std::optional<int> value = WholeNumber(edit->Text(), 0);
  if (value)
    (panel->*setter)(*value);
}

} // namespace

TFrmwallpaper_area::~TFrmwallpaper_area() {
  if (Frmwallpaper_area == this)
    Frmwallpaper_area = nullptr;
}

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

void TFrmwallpaper_area::FormClose(TObject *, TCloseAction &Action) {
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
  Edit4->SetText(std::to_string(Panel2->Width()));
  Edit5->SetText(std::to_string(Panel2->Height()));
  Edit6->SetText(std::to_string(Panel2->Left()));
  Edit7->SetText(std::to_string(Panel2->Top()));
}

void TFrmwallpaper_area::Edit4Change(TObject *) { SetFromEdit(Edit4, Panel2, &TControl::SetWidth); }
void TFrmwallpaper_area::Edit5Change(TObject *) {
  SetFromEdit(Edit5, Panel2, &TControl::SetHeight);
}
void TFrmwallpaper_area::Edit6Change(TObject *) { SetFromEdit(Edit6, Panel2, &TControl::SetLeft); }
void TFrmwallpaper_area::Edit7Change(TObject *) { SetFromEdit(Edit7, Panel2, &TControl::SetTop); }
