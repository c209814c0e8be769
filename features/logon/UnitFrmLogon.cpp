#include "features/logon/UnitFrmLogon.h"

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/logon/Func_logo.h"
#include "features/packages/PackageForm.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmLogon *FrmLogon = nullptr;

namespace {

// Pictures this small are icons and buttons of a logon screen, not pictures of it.
constexpr int32_t PreviewMinimumSize = 10000;

} // namespace

void TFrmLogon::Build() {
  SetFormName(this, "FrmLogon");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetCaption("Logons");
  SetClientSize(560, 400);

  LG_NEW(PageControl1, TPageControl, this);
  PageControl1->SetParent(this);
  PageControl1->SetBounds(8, 8, 544, 348);
  LG_NEW(TabSheet1, TTabSheet, this);
  TabSheet1->SetPageControl(PageControl1);
  TabSheet1->SetCaption("Logon Screens");

  LG_NEW(ListView1, TListView, this);
  ListView1->SetParent(TabSheet1);
  ListView1->SetBounds(8, 8, 220, 270);
  ListView1->Tag = TranslationSkipTag;
  ListView1->SetViewStyle(vsList);
  ListView1->SetReadOnly(true);
  ListView1->SetHideSelection(false);

  BuildWorkingControls(this, TabSheet1, ListBox1, Edit1);

  LG_NEW(Bevel1, TBevel, this);
  Bevel1->SetParent(TabSheet1);
  Bevel1->SetBounds(238, 6, 292, 220);
  LG_NEW(Image1, TImage, this);
  Image1->SetParent(TabSheet1);
  Image1->SetBounds(240, 8, 288, 216);
  Image1->SetStretch(true);
  Image1->Hint = "Double-click the preview to view in your image viewer ";
  Image1->ShowHint = true;

  LG_NEW(BitBtn1, TBitBtn, this);
  PlaceButton(BitBtn1, TabSheet1, 8, 288, 100, "Apply")->SetEnabled(false);
  LG_NEW(BitBtn2, TBitBtn, this);
  PlaceButton(BitBtn2, TabSheet1, 116, 288, 110, "Restore");
  LG_NEW(BitBtn3, TBitBtn, this);
  PlaceButton(BitBtn3, TabSheet1, 234, 288, 230, "Install new logon...");
  LG_NEW(BitBtn5, TBitBtn, this);
  PlaceButton(BitBtn5, this, 462, 364, 90, "Help");

  BuildInstallMenu(this, PopupMenu1, Installfromdisk1, Installfromweb1);

  LG_NEW(SearchFolders1, TSearchFolders, this);
  ConfigureSearch(SearchFolders1, "*.exe");
  SearchFolders1->OnChanged = Bind(this, &TFrmLogon::SearchFolders1Changed);
  LG_NEW(SearchFolders2, TSearchFolders, this);
  ConfigureSearch(SearchFolders2, "*.jpg");
  SearchFolders2->OnChanged = Bind(this, &TFrmLogon::SearchFolders2Changed);

  ListView1->OnClick = Bind(this, &TFrmLogon::ListView1Click);
  ListView1->OnSelectItem = Bind(this, &TFrmLogon::ListView1SelectItem);
  ListView1->OnDblClick = Bind(this, &TFrmLogon::BitBtn1Click);
  Image1->OnDblClick = Bind(this, &TFrmLogon::Image1DblClick);
  BitBtn1->OnClick = Bind(this, &TFrmLogon::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmLogon::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmLogon::BitBtn3Click);
  BitBtn5->OnClick = Bind(this, &TFrmLogon::BitBtn5Click);
  Installfromdisk1->OnClick = Bind(this, &TFrmLogon::Installfromdisk1Click);
  Installfromweb1->OnClick = Bind(this, &TFrmLogon::Installfromweb1Click);
  OnCreate = Bind(this, &TFrmLogon::FormCreate);
  OnClose = Bind(this, &TFrmLogon::FormClose);
}

void TFrmLogon::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  ScanLogons();
  if (ListView1->Items().Count() > 0)
    return;
  // Nothing to choose from: a balloon offers the maker's themes page, which the main window
  // opens when the balloon is clicked.
  TTrayIcon *tray = Frmmain->TrayIcon1;
  if (tray->Icon().Empty())
    if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON"))
      tray->SetIcon(TIcon(CopyIcon(icon)));
  tray->Tag = BalloonNoLogonScreen;
  tray->SetIconVisible(true);
  tray->ShowBalloonHint(LangMessage("Logon_4", "No Logon Screen Available"),
                        LangMessage("Logon_5", "Click here to download new logon screen from web"),
                        1, 10);
}

void TFrmLogon::FormClose(TObject *, TCloseAction &Action) {
  Frmmain->Show();
  Frmmain->BringToFront();
  Action = caFree;
}

void TFrmLogon::ScanLogons() {
  Edit1->SetText("");
  ListView1->Items().Clear();
  ListBox1->Items().Clear();
  SearchFolders1->ScanDir = GetConfigFolder("Logons");
  SearchFolders1->Search();
}

void TFrmLogon::SearchFolders1Changed(TComponent *, int32_t, int32_t) {
  ListView1->Items().BeginUpdate();
  ListBox1->Items().BeginUpdate();
  for (const TFilePack &pack : SearchFolders1->FileList()) {
    // A folder whose name ends in ".exe" is no program.
    if (pack.Attr & FILE_ATTRIBUTE_DIRECTORY)
      continue;
    ListView1->Items().Add()->SetCaption(pack.FileName.substr(0, pack.FileName.size() - 4));
    ListBox1->Items().Add(pack.Path + pack.FileName);
  }
  ListBox1->Items().EndUpdate();
  ListView1->Items().EndUpdate();
}

void TFrmLogon::SearchFolders2Changed(TComponent *, int32_t, int32_t) {
  for (const TFilePack &pack : SearchFolders2->FileList())
    if (!(pack.Attr & FILE_ATTRIBUTE_DIRECTORY) && pack.Size > PreviewMinimumSize) {
      fallbackPreview_ = pack.Path + pack.FileName;
      return;
    }
}

std::string TFrmLogon::findpreview(const std::string &Program) {
  fallbackPreview_.clear();
  const std::string noPreview = GetConfigFolder("Data") + "nopreview.bmp";
  // Without a program there is no folder to look in (an empty one would be the drive's root).
  if (Program.size() <= 4)
    return noPreview;
  const std::string folder = ExtractFilePath(Program);
  const std::string stem = Program.substr(0, Program.size() - 4);
  SearchFolders2->ScanDir = folder;
  SearchFolders2->Search();
  for (const std::string &candidate :
       {folder + "preview.jpg", folder + "preview.bmp", stem + ".jpg", stem + ".bmp"})
    if (FileExists(candidate))
      return candidate;
  return fallbackPreview_.empty() ? noPreview : fallbackPreview_;
}

void TFrmLogon::ListView1Click(TObject *) {
  TListItem *item = ListView1->Selected();
  if (!item || item->Index() >= ListBox1->Items().Count()) {
    // A double click on empty space comes here first: it must not apply the program chosen
    // before.
    Edit1->SetText("");
    BitBtn1->SetEnabled(false);
    return;
  }
  Edit1->SetText(ListBox1->Items().Strings(item->Index()));
  BitBtn1->SetEnabled(true);
  ShowPreview();
}

void TFrmLogon::ListView1SelectItem(TObject *Sender, TListItem *, bool) {
  // The keyboard (the arrows, or typing a name) chooses without a click. A click follows its
  // own change and looks for the preview again, as a click always has.
  if (PackageChoiceStale(ListView1, ListBox1, Edit1, BitBtn1))
    ListView1Click(Sender);
}

bool TFrmLogon::LookUpPreview(const std::string &Program, std::string &Picture) {
  // The folder search keeps the windows alive, so the user may choose another program before
  // it ends. A second search then would share this one's list, and either could come back with
  // the other's picture: it waits for this one to end.
  if (previewing_)
    return false;
  previewing_ = true;
  struct Done {
    bool &flag;
    ~Done() { flag = false; }
  } done{previewing_};
  Picture = findpreview(Program);
  return true;
}

void TFrmLogon::ShowPreview() {
  // A choice made during a search is looked for once it has ended, until the choice stays put;
  // the search under way, whoever runs it, sees to that.
  std::string program, picture;
  do {
    program = Edit1->Text();
    if (!LookUpPreview(program, picture))
      return;
  } while (Edit1->Text() != program);
  if (program.empty()) {
    Image1->Picture().Assign(nullptr); // chosen nothing by the end: no one's picture
    return;
  }
  try {
    Image1->Picture().LoadFromFile(picture);
  } catch (...) {
    // The picture's error is the user's to see; an older program's picture must not stay
    // beside this one's name.
    Image1->Picture().Assign(nullptr);
    throw;
  }
}

void TFrmLogon::BitBtn1Click(TObject *) {
  const std::string program = Edit1->Text();
  if (!FileExists(program))
    return;
  if (GetPrompts().MessageBox(
          Handle(),
          LangMessage("Logon_1", "Are you sure that you want to apply this logon screen?"),
          LangMessage("Common_9", "Confirm"), MB_YESNO | MB_ICONQUESTION) == IDNO)
    return;
  // Winlogon's value is machine-wide: a standard user learns it was not changed, not that it was.
  TRefusedWrites refused;
  SetLogonScreen(program, refused);
  if (ReportRefusedWrites(Handle(), refused))
    return;
  GetPrompts().MessageBox(Handle(), LangMessage("Logon_2", "The logon screen changed successfully"),
                          LangMessage("Common_8", "OK"), MB_OK | MB_ICONINFORMATION);
}

void TFrmLogon::BitBtn2Click(TObject *) {
  TRefusedWrites refused;
  RestoreLogonScreen(refused);
  if (ReportRefusedWrites(Handle(), refused))
    return;
  GetPrompts().MessageBox(Handle(),
                          LangMessage("Logon_3", "The logon screen restored successfully"),
                          LangMessage("Common_8", "OK"), MB_OK | MB_ICONINFORMATION);
}

void TFrmLogon::BitBtn3Click(TObject *) { PopupAtCursor(PopupMenu1); }

void TFrmLogon::Installfromdisk1Click(TObject *) {
  if (!Frmmain->OpenlogonDialog->Execute())
    return;
  const std::string package = Frmmain->OpenlogonDialog->FileName;
  TPackageInstall result;
  {
    TFormWork work(this);
    result = ExtractLogonPackage(package, this);
    ScanLogons();
  }
  ReportPackageInstall(Handle(), package, result);
}

void TFrmLogon::Installfromweb1Click(TObject *) { OpenThemesPage(Handle()); }

void TFrmLogon::Image1DblClick(TObject *) {
  // Nothing chosen, nothing to show; and a search under way is left to end on its own.
  const std::string program = Edit1->Text();
  std::string picture;
  if (program.empty() || !LookUpPreview(program, picture))
    return;
  // The picture is the one of the program double-clicked; one chosen during the search gets
  // its own preview after.
  GetShell().ShellExecute(Handle(), "", picture, "", "", SW_SHOWMAXIMIZED);
  if (Edit1->Text() != program)
    ShowPreview();
}

void TFrmLogon::BitBtn5Click(TObject *) {
  Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", "frmlogon.htm");
}
