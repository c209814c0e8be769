#include "features/icons/UnitFrmIcon.h"

#include <shellapi.h>

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/icons/Func_Icon.h"
#include "features/icons/UnitFrmIconCus.h"
#include "features/packages/PackageForm.h"
#include "toolkit/forms/Dialogs.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmIcon *FrmIcon = nullptr;

namespace {

constexpr const char *PackageMask = "*.iptheme";
constexpr size_t PackageExtLength = 8; // ".iptheme"
constexpr const char *CountLine = "Installed icon packages:";
constexpr int DefaultCacheSize = 1536;

// The ten previews: the package key each shows, and (for the last seven) the Shell Icons value
// the current icon is read from; -1 reads the current icon from the key's own place.
struct PreviewSlot {
  TImage *TFrmIcon::*image;
  const char *section;
  const char *key;
  int shellIcon;
};
const PreviewSlot PreviewSlots[] = {
    {&TFrmIcon::Image5, "Desktop Icons", "My Computer", -1},
    {&TFrmIcon::Image6, "Desktop Icons", "My Documents", -1},
    {&TFrmIcon::Image7, "Desktop Icons", "Recycle Bin (empty)", -1},
    {&TFrmIcon::Image8, "Folder Icons", "Closed Folder", 3},
    {&TFrmIcon::Image9, "Drive Icons", "Hard Drive", 8},
    {&TFrmIcon::Image10, "Drive Icons", "CD-ROM Drive", 11},
    {&TFrmIcon::Image11, "File Icons", "Default Icon", 0},
    {&TFrmIcon::Image12, "Start Icons", "Help", 23},
    {&TFrmIcon::Image13, "Start Icons", "Find", 22},
    {&TFrmIcon::Image14, "Start Icons", "Run", 24},
};

std::string SettingsFile() { return GetConfigFolder("Data") + "Config.ini"; }

void ShowHelp(const char *topic) {
  if (Frmmain)
    Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", topic);
}

// A stored cache size the spin edit can show: a number within its range, else the default.
int CacheSizeFrom(const std::string &stored) {
  int size;
  if (!TryStrToInt(Trim(stored), size) || size < 512 || size > 8192)
    return DefaultCacheSize;
  return size;
}

void Inform(TForm *form, const std::string &text) {
  GetPrompts().MessageBox(form->Handle(), text, LangMessage("Common_8", "OK"),
                          MB_OK | MB_ICONINFORMATION);
}

// An open Customize Icons shows what a package put on or took off at once.
void ShowCurrentIconsInCustomizeIcons() {
  if (FrmIconCus)
    FrmIconCus->ShowCurrentIcons();
}

// The success message only when every write went through; otherwise the one message of what
// was not changed.
void Conclude(TForm *form, const TRefusedWrites &refused, const std::string &success) {
  if (!ReportRefusedWrites(form->Handle(), refused))
    Inform(form, success);
}

// A button disabled while its work runs, enabled again when the work ends, however it ends.
class TBusyButton {
public:
  explicit TBusyButton(TControl *button) : button_(button) { button_->SetEnabled(false); }
  ~TBusyButton() { button_->SetEnabled(true); }
  TBusyButton(const TBusyButton &) = delete;
  TBusyButton &operator=(const TBusyButton &) = delete;

private:
  TControl *button_;
};

} // namespace

void TFrmIcon::Build() {
  SetFormName(this, "FrmIcon");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetCaption("Icons");
  SetClientSize(569, 416);

  LG_PLACE(PageControl1, TPageControl, this, 8, 8, 553, 400, nullptr);
  BuildPackagesPage();
  BuildAdvancedPage();
  PageControl1->SetActivePage(TabSheet1);

  LG_NEW(ImageList1, TImageList, this);
  ImageList1->SetSize(32, 32);
  ImageList1->SetMasked(false);
  ImageList1->SetBkColor(clWhite);
  LG_NEW(ImageListPre, TImageList, this);
  ImageListPre->SetSize(32, 32);
  ImageListPre->SetBkColor(clWhite);
  ListView4->SetLargeImages(ImageList1);

  LG_PLACE(Image1, TImage, this, 0, 0, 32, 32, nullptr);
  Image1->SetVisible(false);

  LG_NEW(SearchFolders1, TSearchFolders, this);
  ConfigureSearch(SearchFolders1, PackageMask);

  BuildInstallMenu(this, PopupMenu1, Installfromdisk1, Installfromweb1);

  OnCreate = Bind(this, &TFrmIcon::FormCreate);
  OnClose = Bind(this, &TFrmIcon::FormClose);
  SearchFolders1->OnChanged = Bind(this, &TFrmIcon::SearchFolders1Changed);
  ListView4->OnClick = Bind(this, &TFrmIcon::ListView4Click);
  ListView4->OnSelectItem = Bind(this, &TFrmIcon::ListView4SelectItem);
  ListView4->OnDblClick = Bind(this, &TFrmIcon::BitBtn1Click);
  BitBtn1->OnClick = Bind(this, &TFrmIcon::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmIcon::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmIcon::BitBtn3Click);
  BitBtn4->OnClick = Bind(this, &TFrmIcon::BitBtn4Click);
  BitBtn5->OnClick = Bind(this, &TFrmIcon::BitBtn5Click);
  BitBtn6->OnClick = Bind(this, &TFrmIcon::BitBtn6Click);
  BitBtn7->OnClick = Bind(this, &TFrmIcon::BitBtn7Click);
  BitBtn9->OnClick = Bind(this, &TFrmIcon::BitBtn9Click);
  Installfromdisk1->OnClick = Bind(this, &TFrmIcon::Installfromdisk1Click);
  Installfromweb1->OnClick = Bind(this, &TFrmIcon::Installfromweb1Click);
  Label7->OnClick = Bind(this, &TFrmIcon::Label7Click);
}

void TFrmIcon::BuildPackagesPage() {
  LG_NEW(TabSheet1, TTabSheet, this);
  TabSheet1->SetPageControl(PageControl1);
  TabSheet1->SetCaption("Icon Packages");

  LG_PLACE(Label6, TLabel, TabSheet1, 8, 8, 200, 13, "Installed Icon Packages:");

  LG_PLACE(ListView4, TListView, TabSheet1, 8, 26, 330, 298, nullptr);
  ListView4->Tag = TranslationSkipTag;
  ListView4->SetViewStyle(vsIcon);
  ListView4->SetReadOnly(true);
  ListView4->SetHideSelection(false);

  BuildWorkingControls(this, TabSheet1, ListBox1, Edit1);

  LG_PLACE(GroupBox1, TGroupBox, TabSheet1, 348, 20, 188, 304, "Preview");
  TImage **images[] = {&Image5,  &Image6,  &Image7,  &Image8,  &Image9,
                       &Image10, &Image11, &Image12, &Image13, &Image14};
  const char *names[] = {"Image5",  "Image6",  "Image7",  "Image8",  "Image9",
                         "Image10", "Image11", "Image12", "Image13", "Image14"};
  for (int i = 0; i < 10; ++i) {
    TImage *&image = *images[i];
    image = new TImage(this);
    image->SetName(names[i]);
    image->SetParent(GroupBox1);
    // Two columns of five, the desktop's three first.
    image->SetBounds(i < 5 ? 44 : 112, 26 + (i % 5) * 46, 32, 32);
    image->SetCenter(true);
  }

  LG_PLACE(Label7, TLabel, GroupBox1, 12, 260, 164, 36, nullptr);
  Label7->SetAutoSize(false);
  Label7->SetWordWrap(true);
  Label7->SetCaption("Author");
  Label7->Cursor = crHelp;
  Label7->SetVisible(false);

  LG_PLACE(BitBtn7, TBitBtn, TabSheet1, 8, 334, 170, 28, "Install new package...");
  LG_PLACE(BitBtn9, TBitBtn, TabSheet1, 186, 334, 120, 28, "Customize Icons...");
  BitBtn9->SetVisible(false);
  LG_PLACE(BitBtn5, TBitBtn, TabSheet1, 294, 334, 60, 28, "Help");
  BitBtn5->SetVisible(false);
  LG_PLACE(BitBtn1, TBitBtn, TabSheet1, 336, 334, 88, 28, "Apply");
  BitBtn1->SetEnabled(false);
  LG_PLACE(BitBtn2, TBitBtn, TabSheet1, 430, 334, 110, 28, "Restore");
}

void TFrmIcon::BuildAdvancedPage() {
  LG_NEW(TabSheet3, TTabSheet, this);
  TabSheet3->SetPageControl(PageControl1);
  TabSheet3->SetCaption("Advanced");

  LG_PLACE(CheckBox3, TCheckBox, TabSheet3, 16, 20, 500, 17,
           "Restore all Icons before applying a new package");
  CheckBox3->SetChecked(true);

  LG_PLACE(Label1, TLabel, TabSheet3, 16, 60, 120, 13, "Icon cache size(KB)");

  LG_PLACE(SpinEdit1, TSpinEdit, TabSheet3, 150, 56, 80, 21, nullptr);
  SpinEdit1->Tag = TranslationSkipTag;
  SpinEdit1->SetMinValue(512);
  SpinEdit1->SetMaxValue(8192);
  SpinEdit1->Increment = 512;
  SpinEdit1->SetMaxLength(4);
  SpinEdit1->EditorEnabled = false;
  SpinEdit1->SetValue(DefaultCacheSize);

  LG_PLACE(BitBtn3, TBitBtn, TabSheet3, 236, 334, 100, 28, "Apply");
  LG_PLACE(BitBtn4, TBitBtn, TabSheet3, 336, 334, 100, 28, "Restore");
  LG_PLACE(BitBtn6, TBitBtn, TabSheet3, 436, 334, 100, 28, "Help");
}

void TFrmIcon::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  LoadCurrent();
  std::string cache = ReadRegValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons");
  if (!cache.empty())
    SpinEdit1->SetValue(CacheSizeFrom(cache));
  TIniFile settings(SettingsFile());
  CheckBox3->SetChecked(settings.ReadString("Icon", "RestoreBeforeApply", "1") != "0");
  ScanPackages();
}

void TFrmIcon::FormClose(TObject *, TCloseAction &Action) {
  // Back to where the form was opened from: the Customize Icons that opened it, showing the
  // icons as they are now, or else the main window.
  if (FrmIconCus && GetOwner() == FrmIconCus) {
    FrmIconCus->ShowCurrentIcons();
    FrmIconCus->Show();
  } else if (Frmmain) {
    Frmmain->Show();
  }
  Action = caFree;
}

void TFrmIcon::ScanPackages() {
  Edit1->SetText("");
  BitBtn1->SetEnabled(false);
  ListView4->Items().Clear();
  ListBox1->Items().Clear();
  ImageList1->Clear();
  SearchFolders1->ScanDir = GetConfigFolder("IconThemes");
  SearchFolders1->FileMask = PackageMask;
  SearchFolders1->Search();
}

void TFrmIcon::LoadCurrent() {
  ImageListPre->Clear();
  for (const PreviewSlot &slot : PreviewSlots) {
    TImage *image = this->*slot.image;
    TIcon icon;
    if (slot.shellIcon < 0) {
      HKEY root;
      std::string key, value;
      IconPlaceValue(*FindIconPlace(slot.section, slot.key), root, key, value);
      AddRegistryIconToList(root, key, value, ImageListPre);
      ImageListPre->GetIcon(ImageListPre->Count() - 1, icon);
    } else {
      icon.SetHandle(ShellIconsIcon(slot.shellIcon));
    }
    Image1->Picture().Assign(&icon);
    image->Picture().Assign(Image1->Picture().Graphic());
  }
  Image1->Picture().Assign(nullptr);
}

void TFrmIcon::LoadPreview(TImage *Image, const std::string &Location) {
  ShowThemeIcon(Image, ExtractLocationIcon(Location));
}

void TFrmIcon::ShowThemeIcon(TImage *Image, HICON Icon) {
  // A file that is missing (or has no such icon) leaves the current icon in place.
  TIcon icon(Icon);
  if (!icon.Empty())
    Image->Picture().Assign(&icon);
}

void TFrmIcon::SearchFolders1Changed(TComponent *, int32_t, int32_t) {
  Label6->SetCaption(CountLine);
  const std::vector<TFilePack> &found = SearchFolders1->FileList();
  if (found.empty())
    return;
  ListView4->Items().BeginUpdate();
  for (size_t i = 0; i < found.size(); ++i) {
    const TFilePack &pack = found[i];
    std::string file = pack.Path + pack.FileName;
    TListItem *item = ListView4->Items().Add();
    item->SetCaption(pack.FileName.substr(0, pack.FileName.size() - PackageExtLength));
    // Every package adds exactly one image, so item i shows image i.
    TIcon icon(ExtractThemeIcon("Desktop Icons", "My Computer", file));
    if (icon.Empty())
      icon.SetHandle(FallbackIcon());
    ImageList1->AddIcon(&icon);
    item->SetImageIndex(int(i));
    ListBox1->Items().Add(file);
  }
  ListView4->Items().EndUpdate();
  Label6->SetCaption(Label6->Caption() + IntToStr(ListView4->Items().Count()));
}

void TFrmIcon::ListView4Click(TObject *) { ShowChosen(); }

void TFrmIcon::ListView4SelectItem(TObject *, TListItem *, bool) {
  // A change by the keyboard arrives as a deselect and then a select, each followed here; what
  // is shown (and applied) ends up the final selection. A click shows it afresh besides.
  TListItem *item = ListView4->Selected();
  std::string chosen = item ? ListBox1->Items().Strings(item->Index()) : std::string();
  if (chosen != Edit1->Text() || BitBtn1->Enabled() != (item != nullptr))
    ShowChosen();
}

void TFrmIcon::ShowChosen() {
  TListItem *item = ListView4->Selected();
  if (!item) {
    Edit1->SetText("");
    BitBtn1->SetEnabled(false);
    LoadCurrent();
    return;
  }
  Edit1->SetText(ListBox1->Items().Strings(item->Index()));
  BitBtn1->SetEnabled(true);
  LoadCurrent();
  const std::string package = Edit1->Text();
  for (const PreviewSlot &slot : PreviewSlots)
    ShowThemeIcon(this->*slot.image, ExtractThemeIcon(slot.section, slot.key, package));
  TIniFile ini(package);
  ini.UpdateFile();
  std::string author = ini.ReadString("Package Info", "Author", "");
  if (author.empty()) {
    Label7->SetVisible(false);
    return;
  }
  Label7->SetCaption(LangMessage("Icons_1", "Author:") + author);
  Label7->SetVisible(true);
}

void TFrmIcon::BitBtn1Click(TObject *) {
  const std::string package = Edit1->Text();
  if (!FileExists(package))
    return;
  if (GetPrompts().MessageBox(
          Handle(),
          LangMessage("Icons_2", "Are you sure that you want to apply this icon package?"),
          LangMessage("Common_9", "Confirm"), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  TRefusedWrites refused;
  {
    TBusyButton busy(BitBtn1);
    // A refused restore leaves its places as they were: the package still goes on.
    if (CheckBox3->Checked())
      RestoreDefaultIcons(refused);
    ApplyIconTheme(package, refused);
  }
  ShowCurrentIconsInCustomizeIcons();
  Conclude(this, refused, LangMessage("Icons_3", "The icons changed successfully"));
}

void TFrmIcon::BitBtn2Click(TObject *) {
  TRefusedWrites refused;
  RestoreDefaultIcons(refused);
  UpdateRecycleBinIcon();
  RefreshShellIcons();
  LoadCurrent();
  ShowCurrentIconsInCustomizeIcons();
  Conclude(this, refused, LangMessage("Icons_4", "The icons restored successfully."));
}

void TFrmIcon::BitBtn3Click(TObject *) {
  TRefusedWrites refused;
  const std::string file = SettingsFile();
  try {
    TIniFile(file).WriteString("Icon", "RestoreBeforeApply", CheckBox3->Checked() ? "1" : "0");
  } catch (const EIniFileException &) {
    DWORD error = GetLastError();
    refused.AddFile(file, error ? error : ERROR_WRITE_FAULT);
  }
  TryWriteRegValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons",
                   IntToStr(SpinEdit1->Value()), 2, refused);
  Conclude(this, refused, LangMessage("Icons_5", "The settings changed successfully!"));
}

void TFrmIcon::BitBtn4Click(TObject *Sender) {
  CheckBox3->SetChecked(true);
  SpinEdit1->SetValue(DefaultCacheSize);
  BitBtn3Click(Sender);
}

void TFrmIcon::BitBtn5Click(TObject *) { ShowHelp("frmicon.htm"); }

void TFrmIcon::BitBtn6Click(TObject *) { ShowHelp("frmicon.htm#iconset"); }

void TFrmIcon::BitBtn7Click(TObject *) { PopupAtCursor(PopupMenu1); }

void TFrmIcon::BitBtn9Click(TObject *) {
  if (!OpenForm(this, FrmIconCus))
    return;
  FrmIconCus->PageControl1->SetActivePage(FrmIconCus->TabSheet1);
  FrmIconCus->Show();
}

void TFrmIcon::Installfromdisk1Click(TObject *) {
  if (!Frmmain || !Frmmain->OpenIconpackage->Execute())
    return;
  const std::string archive = Frmmain->OpenIconpackage->FileName;
  TPackageInstall install;
  {
    TFormWork work(this);
    install = ExtractIconPackage(archive, this);
    LoadCurrent();
    // The list shows whatever arrived, whole or not.
    ScanPackages();
  }
  ReportPackageInstall(Handle(), archive, install);
}

void TFrmIcon::Installfromweb1Click(TObject *) { OpenThemesPage(Handle()); }

void TFrmIcon::Label7Click(TObject *) {}
