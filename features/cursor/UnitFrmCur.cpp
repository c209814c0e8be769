#include "features/cursor/UnitFrmCur.h"

#include <optional>

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/cursor/Func_CT.h"
#include "features/packages/PackageForm.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmCur *FrmCur = nullptr;

const std::array<TFrmCur::PreviewRole, 13> TFrmCur::PreviewRoles = {{
    {&TFrmCur::ImageArrow, "ImageArrow", "Arrow", "ARROW"},
    {&TFrmCur::ImageAppStarting, "ImageAppStarting", "AppStarting", "APPSTARTING"},
    {&TFrmCur::ImageWait, "ImageWait", "Wait", "WAIT"},
    {&TFrmCur::ImageHelp, "ImageHelp", "Help", "HELP"},
    {&TFrmCur::ImageNo, "ImageNo", "No", "NO"},
    {&TFrmCur::ImageIBeam, "ImageIBeam", "IBeam", "IBEAM"},
    {&TFrmCur::ImageUpArrow, "ImageUpArrow", "UpArrow", "UPARROW"},
    {&TFrmCur::imageSizeNS, "imageSizeNS", "SizeNS", "SIZENS"},
    {&TFrmCur::imageSizeWE, "imageSizeWE", "SizeWE", "SIZEWE"},
    {&TFrmCur::imageSizeNWSE, "imageSizeNWSE", "SizeNWSE", "SIZENWSE"},
    {&TFrmCur::imageSizeNESW, "imageSizeNESW", "SizeNESW", "SIZENESW"},
    {&TFrmCur::ImageCrosshair, "ImageCrosshair", "Crosshair", "CROSSHAIR"},
    {&TFrmCur::ImageSizeAll, "ImageSizeAll", "SizeAll", "SIZEALL"},
}};

namespace {

constexpr const char *RestoreKey = "RestoreBeforeApply";

std::string SettingsFile() { return GetConfigFolder("Data") + "Config.ini"; }

// A cursor of our own loading, destroyed as soon as it has been drawn or copied.
class TLoadedCursor {
public:
  explicit TLoadedCursor(HCURSOR cursor) : cursor_(cursor) {}
  ~TLoadedCursor() {
    if (cursor_)
      DestroyCursor(cursor_);
  }
  TLoadedCursor(const TLoadedCursor &) = delete;
  TLoadedCursor &operator=(const TLoadedCursor &) = delete;
  HCURSOR Handle() const { return cursor_; }

private:
  HCURSOR cursor_;
};

// Draws the cursor of a file over a cleared preview; false, with the preview untouched, when
// the file holds no cursor the system can load.
bool DrawCursorFile(TImage *image, const std::string &file) {
  TLoadedCursor cursor(static_cast<HCURSOR>(
      LoadImageA(nullptr, file.c_str(), IMAGE_CURSOR, 64, 64, LR_LOADFROMFILE)));
  if (!cursor.Handle())
    return false;
  image->Picture().Assign(nullptr);
  DrawIcon(image->Canvas().Handle(), 0, 0, cursor.Handle());
  image->Invalidate();
  return true;
}

} // namespace

void TFrmCur::Build() {
  SetFormName(this, "FrmCur");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetCaption("Cursors");
  SetClientSize(560, 436);

  LG_NEW(PageControl1, TPageControl, this);
  PageControl1->SetParent(this);
  PageControl1->SetBounds(8, 8, 544, 384);
  BuildPackagePage();
  BuildSettingsPage();
  PageControl1->SetActivePage(TabSheet1);

  LG_NEW(BitBtn5, TBitBtn, this);
  PlaceButton(BitBtn5, this, 462, 400, 90, "Help");

  BuildInstallMenu(this, PopupMenu1, Installfromdisk1, Installfromweb1);
  LG_NEW(SearchFolders1, TSearchFolders, this);
  ConfigureSearch(SearchFolders1, "*.ctheme");
  SearchFolders1->OnChanged = Bind(this, &TFrmCur::SearchFolders1Changed);

  ListView1->OnClick = Bind(this, &TFrmCur::ListView1Click);
  ListView1->OnSelectItem = Bind(this, &TFrmCur::ListView1SelectItem);
  ListView1->OnDblClick = Bind(this, &TFrmCur::BitBtn1Click);
  BitBtn1->OnClick = Bind(this, &TFrmCur::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmCur::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmCur::BitBtn3Click);
  BitBtn5->OnClick = Bind(this, &TFrmCur::BitBtn5Click);
  Installfromdisk1->OnClick = Bind(this, &TFrmCur::Installfromdisk1Click);
  Installfromweb1->OnClick = Bind(this, &TFrmCur::Installfromweb1Click);
  CheckBox1->OnClick = Bind(this, &TFrmCur::CheckBox1Click);
  CheckBox2->OnClick = Bind(this, &TFrmCur::CheckBox2Click);
  TrackBar1->OnChange = Bind(this, &TFrmCur::TrackBar1Change);
  CheckBox3->OnClick = Bind(this, &TFrmCur::CheckBox3Click);
  OnCreate = Bind(this, &TFrmCur::FormCreate);
  OnClose = Bind(this, &TFrmCur::FormClose);
}

void TFrmCur::BuildPackagePage() {
  LG_NEW(TabSheet1, TTabSheet, this);
  TabSheet1->SetPageControl(PageControl1);
  TabSheet1->SetCaption("Cursor Packages");

  LG_NEW(Label8, TLabel, this);
  Label8->SetParent(TabSheet1);
  Label8->SetBounds(8, 8, 300, 13);
  Label8->SetCaption("Installed cursor packages:");

  LG_NEW(ImageList1, TImageList, this);
  ImageList1->SetSize(32, 32);
  ImageList1->SetBkColor(clWhite);
  ImageList1->SetMasked(false);
  ImageList1->AllocBy = 64; // a growing list copies all its pictures each time it grows

  LG_NEW(ListView1, TListView, this);
  ListView1->SetParent(TabSheet1);
  ListView1->SetBounds(8, 26, 300, 280);
  ListView1->Tag = TranslationSkipTag;
  ListView1->SetViewStyle(vsIcon);
  ListView1->SetLargeImages(ImageList1);
  ListView1->SetReadOnly(true);
  ListView1->SetHideSelection(false);
  ListView1->IconOptions().SetAutoArrange(true);

  BuildWorkingControls(this, TabSheet1, ListBox1, Edit1);

  LG_NEW(GroupBox14, TGroupBox, this);
  GroupBox14->SetParent(TabSheet1);
  GroupBox14->SetBounds(318, 20, 210, 286);
  GroupBox14->SetCaption("Preview");
  // Four to a row, as the system's own pointer list orders them.
  int index = 0;
  for (const PreviewRole &preview : PreviewRoles) {
    TImage *&image = this->*preview.image;
    image = new TImage(this);
    image->SetName(preview.name);
    image->SetParent(GroupBox14);
    image->SetBounds(16 + (index % 4) * 48, 24 + (index / 4) * 48, 32, 32);
    ++index;
  }

  LG_NEW(Label7, TLabel, this);
  Label7->SetParent(GroupBox14);
  Label7->SetBounds(16, 224, 180, 52);
  Label7->SetAutoSize(false);
  Label7->SetWordWrap(true);
  Label7->SetCaption("Author");
  Label7->SetVisible(false); // until a package that names its author is chosen

  LG_NEW(BitBtn1, TBitBtn, this);
  PlaceButton(BitBtn1, TabSheet1, 8, 318, 100, "Apply")->SetEnabled(false);
  LG_NEW(BitBtn2, TBitBtn, this);
  PlaceButton(BitBtn2, TabSheet1, 116, 318, 110, "Restore");
  LG_NEW(BitBtn3, TBitBtn, this);
  PlaceButton(BitBtn3, TabSheet1, 234, 318, 180, "Install new package...");
}

void TFrmCur::BuildSettingsPage() {
  LG_NEW(TabSheet2, TTabSheet, this);
  TabSheet2->SetPageControl(PageControl1);
  TabSheet2->SetCaption("Settings");

  LG_NEW(CheckBox1, TCheckBox, this);
  CheckBox1->SetParent(TabSheet2);
  CheckBox1->SetBounds(16, 16, 400, 17);
  CheckBox1->SetCaption("Show cursor shadow");

  LG_NEW(CheckBox2, TCheckBox, this);
  CheckBox2->SetParent(TabSheet2);
  CheckBox2->SetBounds(16, 48, 400, 17);
  CheckBox2->SetCaption("Show cursor trail");

  LG_NEW(Label1, TLabel, this);
  Label1->SetParent(TabSheet2);
  Label1->SetBounds(34, 82, 40, 13);
  Label1->SetCaption("short");

  LG_NEW(TrackBar1, TTrackBar, this);
  TrackBar1->SetParent(TabSheet2);
  TrackBar1->SetBounds(80, 74, 220, 32);
  TrackBar1->SetRange(2, 7);
  TrackBar1->SetPosition(7);
  TrackBar1->SetEnabled(false);

  LG_NEW(Label2, TLabel, this);
  Label2->SetParent(TabSheet2);
  Label2->SetBounds(306, 82, 40, 13);
  Label2->SetCaption("long");

  LG_NEW(CheckBox3, TCheckBox, this);
  CheckBox3->SetParent(TabSheet2);
  CheckBox3->SetBounds(16, 128, 500, 17);
  CheckBox3->SetCaption("Restore all Cursors before applying a new package");
  CheckBox3->SetChecked(true);
}

void TFrmCur::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  ScanPackages();

  // Showing what is stored must not store anything: the check boxes and the track bar run
  // their handlers when set, and a trail of 10 shown at the slider's end is still 10.
  showingSettings_ = true;
  struct Quiet {
    bool &flag;
    ~Quiet() { flag = false; }
  } quiet{showingSettings_};
  CheckBox1->SetChecked(Func_CT::GetCursorShadow());
  // A trail of one pointer is no trail at all for Windows, so it shows as off.
  int trails = Func_CT::GetMouseTrails();
  if (trails >= 2) {
    TrackBar1->SetEnabled(true);
    TrackBar1->SetPosition(trails);
    CheckBox2->SetChecked(true);
  } else {
    CheckBox2->SetChecked(false);
    TrackBar1->SetEnabled(false);
  }
  CheckBox3->SetChecked(TIniFile(SettingsFile()).ReadString("Cursor", RestoreKey, "1") != "0");
  LoadCurrent();
}

void TFrmCur::FormClose(TObject *, TCloseAction &Action) {
  Frmmain->Show();
  Action = caFree;
}

void TFrmCur::ScanPackages() {
  Edit1->SetText("");
  ListView1->Items().Clear();
  ListBox1->Items().Clear();
  ImageList1->Clear();
  SearchFolders1->ScanDir = GetConfigFolder("CursorThemes");
  SearchFolders1->Search();
}

void TFrmCur::SearchFolders1Changed(TComponent *, int32_t, int32_t) {
  Label8->SetCaption("Installed cursor packages:");
  const std::vector<TFilePack> &found = SearchFolders1->FileList();
  if (found.empty())
    return;
  // Each picture is drawn on the list's white and added as it is: the list keeps no masks, and
  // drawing is cheaper than having the list take the cursor's own bitmaps apart.
  TBitmap cell;
  cell.SetSize(ImageList1->Width(), ImageList1->Height());
  cell.Canvas().Brush().SetColor(clWhite);
  auto add = [&](HICON picture) {
    RECT all = {0, 0, cell.Width(), cell.Height()};
    cell.Canvas().FillRect(all);
    if (picture)
      DrawIconEx(cell.Canvas().Handle(), 0, 0, picture, cell.Width(), cell.Height(), 0, nullptr,
                 DI_NORMAL);
    ImageList1->Add(&cell, nullptr);
  };
  std::optional<TIcon> fallback; // extracted once, for the first package that needs it
  ListView1->Items().BeginUpdate();
  ListBox1->Items().BeginUpdate();
  for (const TFilePack &pack : found) {
    // A folder whose name ends in ".ctheme" is no package.
    if (pack.Attr & FILE_ATTRIBUTE_DIRECTORY)
      continue;
    const std::string file = pack.Path + pack.FileName;
    TListItem *item = ListView1->Items().Add();
    item->SetCaption(pack.FileName.substr(0, pack.FileName.size() - 7));
    // The package's own arrow, or the fallback icon for one without a usable arrow: every
    // package has a picture at its own index either way.
    std::string arrow = Func_CT::ReadThemeValue("Cursors", "Arrow", file);
    TLoadedCursor cursor(FileExists(arrow) ? LoadCursorFromFileA(arrow.c_str()) : nullptr);
    if (!cursor.Handle() && !fallback) {
      HICON icon = ExtractIconA(GetModuleHandleA(nullptr),
                                (GetConfigFolder("Data") + "Icon.dll").c_str(), 0);
      fallback.emplace(icon == reinterpret_cast<HICON>(1) ? nullptr : icon);
    }
    add(cursor.Handle() ? cursor.Handle() : fallback->Handle());
    item->SetImageIndex(item->Index());
    ListBox1->Items().Add(file);
  }
  ListBox1->Items().EndUpdate();
  ListView1->Items().EndUpdate();
  Label8->SetCaption(Label8->Caption() + IntToStr(ListView1->Items().Count()));
}

void TFrmCur::LoadCurrent() {
  for (const PreviewRole &preview : PreviewRoles) {
    TImage *image = this->*preview.image;
    image->Picture().Assign(nullptr);
    std::string file = ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, preview.role);
    if (!FileExists(file) || !DrawCursorFile(image, file))
      image->Picture().Bitmap().LoadFromResourceName(GetModuleHandleA(nullptr), preview.bitmap);
  }
}

void TFrmCur::LoadPreview() {
  const std::string package = Edit1->Text();
  for (const PreviewRole &preview : PreviewRoles) {
    std::string file = Func_CT::ReadThemeValue("Cursors", preview.role, package);
    if (FileExists(file))
      DrawCursorFile(this->*preview.image, file);
  }
}

void TFrmCur::ListView1Click(TObject *) {
  TListItem *item = ListView1->Selected();
  if (!item || item->Index() >= ListBox1->Items().Count()) {
    Edit1->SetText("");
    BitBtn1->SetEnabled(false);
    Label7->SetVisible(false);
    LoadCurrent();
    return;
  }
  Edit1->SetText(ListBox1->Items().Strings(item->Index()));
  BitBtn1->SetEnabled(true);
  LoadCurrent();
  LoadPreview();
  TIniFile package(Edit1->Text());
  package.UpdateFile();
  std::string author = package.ReadString("Software Credits", "Author", "");
  if (author.empty()) {
    Label7->SetVisible(false);
  } else {
    Label7->SetCaption(LangMessage("Cursors_7", "Author:") + author);
    Label7->SetVisible(true);
  }
}

void TFrmCur::ListView1SelectItem(TObject *Sender, TListItem *, bool) {
  // The keyboard (the arrows, or typing a name) chooses without a click. A click follows its
  // own change and shows the package again, as a click always has.
  if (PackageChoiceStale(ListView1, ListBox1, Edit1, BitBtn1))
    ListView1Click(Sender);
}

void TFrmCur::BitBtn1Click(TObject *) {
  const std::string package = Edit1->Text();
  if (!FileExists(package))
    return;
  if (GetPrompts().MessageBox(
          Handle(),
          LangMessage("Cursors_1", "Are you sure that you want to apply this cursor package?"),
          LangMessage("Common_9", "Confirm"), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  if (CheckBox3->Checked())
    Func_CT::RestoreDefaultCursors();
  Func_CT::ApplyCursorTheme(package);
  LoadCurrent();
}

void TFrmCur::BitBtn2Click(TObject *) {
  Func_CT::RestoreDefaultCursors();
  // The previews show what is in force, and that is now the system's own.
  LoadCurrent();
}

void TFrmCur::CheckBox1Click(TObject *) {
  if (!showingSettings_)
    Func_CT::SetCursorShadow(CheckBox1->Checked());
}

void TFrmCur::CheckBox2Click(TObject *) {
  if (showingSettings_)
    return;
  if (CheckBox2->Checked()) {
    TrackBar1->SetEnabled(true);
    Func_CT::SetMouseTrails(TrackBar1->Position());
  } else {
    Func_CT::SetMouseTrails(0);
    TrackBar1->SetEnabled(false);
  }
}

void TFrmCur::TrackBar1Change(TObject *) {
  if (!showingSettings_)
    Func_CT::SetMouseTrails(TrackBar1->Position());
}

void TFrmCur::CheckBox3Click(TObject *) {
  if (!showingSettings_)
    TIniFile(SettingsFile()).WriteString("Cursor", RestoreKey, CheckBox3->Checked() ? "1" : "0");
}

void TFrmCur::BitBtn3Click(TObject *) { PopupAtCursor(PopupMenu1); }

void TFrmCur::Installfromdisk1Click(TObject *) {
  if (!Frmmain->OpenCurPackage->Execute())
    return;
  const std::string archive = Frmmain->OpenCurPackage->FileName;
  TPackageInstall result;
  {
    TFormWork work(this);
    result = Func_CT::ExtractCursorPackage(archive, this);
    ScanPackages();
    LoadCurrent();
  }
  ReportPackageInstall(Handle(), archive, result);
}

void TFrmCur::Installfromweb1Click(TObject *) { OpenThemesPage(Handle()); }

void TFrmCur::BitBtn5Click(TObject *) {
  Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", "frmcur.htm");
}
