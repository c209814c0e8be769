#include "features/explorer/UnitFrmIE.h"

#include <vector>

#include "app/UnitMain.h"
#include "common/AnsiText.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/explorer/UnitFrmie_preview.h"
#include "toolkit/core/SysUtils.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/RunTimeApis.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmIE *FrmIE = nullptr;

namespace {

// The form is laid out for this width, and centred on it.
constexpr int DesignWidth = 565;
constexpr const char *DefaultTitle = "Microsoft Internet Explorer";

TBitBtn *NewButton(TBitBtn *&member, const char *name, TComponent *owner, TWinControl *parent,
                   int left, int top, const char *caption) {
  return PlaceControl(member = new TBitBtn(owner), name, parent, left, top, 88, 26, caption);
}

std::string SettingsFile() { return GetConfigFolder("Data") + "Config.ini"; }

std::string PreviewSetting() {
  return TIniFile(SettingsFile()).ReadString("Explorer", "Preview", "1");
}

void HidePreview() {
  if (FrmIe_preview)
    FrmIe_preview->Close();
}

// A picture for a logo field, or nothing when the file holds none we can show.
void ShowPicture(TImage *image, const std::string &fileName) {
  image->Picture().Assign(nullptr);
  if (fileName.empty() || !FileExists(fileName))
    return;
  try {
    image->Picture().LoadFromFile(fileName);
  } catch (const Exception &) {
  }
}

// The subkey names of a key in one view, read without creating it. False when the key exists
// but can't be opened; a missing key is simply empty.
bool SubkeyNames(HKEY root, const std::string &key, REGSAM view, std::vector<std::string> &names) {
  names.clear();
  TRegistry reg(KEY_READ | view);
  reg.SetRootKey(root);
  if (!reg.OpenKeyReadOnly(key))
    return reg.LastError() == ERROR_FILE_NOT_FOUND;
  names = reg.GetKeyNames();
  return true;
}

// A string value of a key in one view; empty when the key or value is missing or no text.
std::string TextInView(HKEY root, const std::string &key, const std::string &name, REGSAM view) {
  TRegistry reg(KEY_READ | view);
  reg.SetRootKey(root);
  if (!reg.OpenKeyReadOnly(key))
    return std::string();
  TRegDataType type = reg.GetDataType(name);
  if (type != TRegDataType::rdString && type != TRegDataType::rdExpandString)
    return std::string();
  return reg.ReadString(name);
}

// A text kept in several views (a 32-bit add-on writes only the 32-bit one): the first view
// that holds one gives it, the native view first, so it wins where they differ.
std::string TextInAnyView(HKEY root, const std::string &key, const std::string &name) {
  for (REGSAM view : RegistryViews(root, key)) {
    std::string text = TextInView(root, key, name, view);
    if (!text.empty())
      return text;
  }
  return std::string();
}

// Deletes a key with its subtree in one view; the system's code of the first refusal.
LONG DeleteTree(HKEY parent, const std::string &name, REGSAM view) {
  HKEY key = nullptr;
  LONG rc =
      RegOpenKeyExA(parent, name.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view, &key);
  if (rc != ERROR_SUCCESS)
    return rc;
  char child[256];
  for (;;) {
    DWORD len = sizeof child;
    if (RegEnumKeyExA(key, 0, child, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    rc = DeleteTree(key, std::string(child, len), view);
    if (rc != ERROR_SUCCESS)
      break; // a subkey that stays would bring this loop back to it forever
  }
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? DeleteRegKeyInView(parent, name.c_str(), view) : rc;
}

// Deletes one subkey with its subtree in every view that holds it; a view that refuses is
// added to Refused. An empty name is refused: it would name the parent key itself.
void DeleteSubkey(HKEY root, const std::string &key, const std::string &name,
                  TRefusedWrites &refused) {
  if (name.empty())
    return;
  const std::string path = key + "\\" + name;
  for (REGSAM view : RegistryViews(root, key)) {
    HKEY probe = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &probe) != ERROR_SUCCESS)
      continue; // not in this view
    RegCloseKey(probe);
    HKEY parent = nullptr;
    LONG rc = RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | view, &parent);
    if (rc == ERROR_SUCCESS) {
      rc = DeleteTree(parent, name, view);
      RegCloseKey(parent);
    }
    if (rc != ERROR_SUCCESS)
      refused.AddFile(RootKeyName(root) + "\\" + path, DWORD(rc));
  }
}

// Writes (or, for an empty text, removes) a value in every view its key is kept in, creating
// the key; reports failure instead of showing it, so that the caller can say it once.
bool SetValueQuietly(HKEY root, const std::string &key, const std::string &name,
                     const std::string &text) {
  TRefusedWrites refused;
  return text.empty() ? TryDeleteRegValue(root, key, name, refused)
                      : TryWriteRegValue(root, key, name, text, 1, refused);
}

// A value of the user's own that may be refused (a policy may lock the key): written, or
// removed for an empty text, with the refusal gathered.
void SetUserValue(const std::string &key, const std::string &name, const std::string &text,
                  TRefusedWrites &refused) {
  if (text.empty())
    TryDeleteRegValue(HKEY_CURRENT_USER, key, name, refused);
  else
    TryWriteRegValue(HKEY_CURRENT_USER, key, name, text, 1, refused);
}

} // namespace

void TFrmIE::Build() {
  SetFormName(this, "FrmIE");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetCaption("Explorer");
  SetClientSize(DesignWidth - 8, 344);

  LG_PLACE(PageControl1, TPageControl, this, 8, 8, DesignWidth - 24, 328, nullptr);
  BuildBackgroundPage();
  BuildLogoPage();
  BuildTitlePage();
  BuildMenuPage();
  PageControl1->SetActivePage(TabSheet1);

  LG_NEW(opDialog1, TOpenPictureDialog, this);
  opDialog1->Filter = "*.bmp|*.bmp";

  TabSheet1->OnShow = Bind(this, &TFrmIE::TabSheet1Show);
  TabSheet2->OnShow = Bind(this, &TFrmIE::TabSheet2Show);
  TabSheet3->OnShow = Bind(this, &TFrmIE::TabSheet3Show);
  OnCreate = Bind(this, &TFrmIE::FormCreate);
  OnShow = Bind(this, &TFrmIE::FormShow);
  OnClose = Bind(this, &TFrmIE::FormClose);
}

void TFrmIE::BuildBackgroundPage() {
  LG_NEW(TabSheet1, TTabSheet, this);
  TabSheet1->SetPageControl(PageControl1);
  TabSheet1->SetCaption("Toolbar Background");

  // The label carries the file count the form adds on opening, so its text comes from the
  // messages: translating it as a caption would drop the count whenever another form opens.
  LG_PLACE(Label1, TLabel, TabSheet1, 12, 10, 300, 15, nullptr);
  Label1->Tag = 255;
  LG_PLACE(FileListBox1, TFileListBox, TabSheet1, 12, 28, 300, 254, nullptr);
  FileListBox1->Tag = 255;
  FileListBox1->SetMask("*.bmp");
  FileListBox1->SetFileType(ftReadOnly | ftHidden | ftSystem | ftNormal);
  LG_PLACE(Editbg, TEdit, TabSheet1, 12, 28, 10, 21, nullptr);
  Editbg->SetVisible(false);
  Editbg->Tag = 255;

  LG_PLACE(CheckBox2, TCheckBox, TabSheet1, 328, 28, 190, 17, "Window Explorer");
  CheckBox2->SetChecked(true);
  LG_PLACE(CheckBox3, TCheckBox, TabSheet1, 328, 52, 190, 17, "Internet Explorer");
  CheckBox3->SetChecked(true);
  LG_PLACE(CheckBox1, TCheckBox, TabSheet1, 328, 88, 190, 17, "Show preview window");
  CheckBox1->SetChecked(true);

  NewButton(BitBtn3, "BitBtn3", this, TabSheet1, 328, 130, "Browse...");
  NewButton(BitBtn1, "BitBtn1", this, TabSheet1, 328, 164, "Apply");
  NewButton(BitBtn2, "BitBtn2", this, TabSheet1, 424, 164, "Restore");
  NewButton(BitBtn5, "BitBtn5", this, TabSheet1, 424, 256, "Help");

  FileListBox1->OnClick = Bind(this, &TFrmIE::FileListBox1Click);
  FileListBox1->OnDblClick = Bind(this, &TFrmIE::BitBtn1Click);
  BitBtn1->OnClick = Bind(this, &TFrmIE::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmIE::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmIE::BitBtn3Click);
  BitBtn5->OnClick = Bind(this, &TFrmIE::BitBtn5Click);
  CheckBox1->OnClick = Bind(this, &TFrmIE::CheckBox1Click);
}

void TFrmIE::BuildLogoPage() {
  LG_NEW(TabSheet2, TTabSheet, this);
  TabSheet2->SetPageControl(PageControl1);
  TabSheet2->SetCaption("Animated Logo");

  LG_PLACE(Label2, TLabel, TabSheet2, 12, 14, 400, 15, "Large logo (38 x 38 pixels a frame):");
  LG_PLACE(Edit1, TEdit, TabSheet2, 12, 34, 360, 21, nullptr);
  LG_PLACE(Image1, TImage, TabSheet2, 380, 26, 38, 38, nullptr);
  NewButton(BitBtn4, "BitBtn4", this, TabSheet2, 428, 32, "Browse..");

  LG_PLACE(Label3, TLabel, TabSheet2, 12, 84, 400, 15, "Small logo (22 x 22 pixels a frame):");
  LG_PLACE(Edit2, TEdit, TabSheet2, 12, 104, 360, 21, nullptr);
  LG_PLACE(Image2, TImage, TabSheet2, 388, 104, 22, 22, nullptr);
  NewButton(BitBtn6, "BitBtn6", this, TabSheet2, 428, 102, "Browse..");

  NewButton(BitBtn7, "BitBtn7", this, TabSheet2, 236, 256, "Apply");
  NewButton(BitBtn8, "BitBtn8", this, TabSheet2, 332, 256, "Restore");
  NewButton(BitBtn9, "BitBtn9", this, TabSheet2, 428, 256, "Help");

  BitBtn4->OnClick = Bind(this, &TFrmIE::BitBtn4Click);
  BitBtn6->OnClick = Bind(this, &TFrmIE::BitBtn6Click);
  BitBtn7->OnClick = Bind(this, &TFrmIE::BitBtn7Click);
  BitBtn8->OnClick = Bind(this, &TFrmIE::BitBtn8Click);
  BitBtn9->OnClick = Bind(this, &TFrmIE::BitBtn9Click);
}

void TFrmIE::BuildTitlePage() {
  LG_NEW(TabSheet3, TTabSheet, this);
  TabSheet3->SetPageControl(PageControl1);
  TabSheet3->SetCaption("IE Title bar");

  LG_PLACE(Label4, TLabel, TabSheet3, 12, 14, 400, 15, "Text of Internet Explorer's title bar:");
  LG_PLACE(Edit3, TEdit, TabSheet3, 12, 34, 500, 21, nullptr);
  Edit3->Tag = 255;
  // A sample title bar that shows the text as the browser would.
  LG_PLACE(Panel1, TPanel, TabSheet3, 12, 72, 500, 24, "");
  Panel1->SetColor(TColor(0x6A240A));
  LG_PLACE(Label6, TLabel, Panel1, 8, 4, 480, 16, nullptr);
  Label6->Tag = 255;
  Label6->SetTransparent(true);
  Label6->Font().SetColor(clWhite);
  Label6->Font().SetStyle(fsBold);
  Label6->SetCaption(DefaultTitle);

  Edit3->OnChange = Bind(this, &TFrmIE::Edit3Change);
}

void TFrmIE::BuildMenuPage() {
  LG_NEW(TabSheet4, TTabSheet, this);
  TabSheet4->SetPageControl(PageControl1);
  TabSheet4->SetCaption("Menu");

  LG_PLACE(Label5, TLabel, TabSheet4, 12, 10, 250, 15, "Context menu entries:");
  LG_PLACE(ListBox1, TListBox, TabSheet4, 12, 28, 250, 220, nullptr);
  ListBox1->Tag = 255;
  NewButton(BitBtn10, "BitBtn10", this, TabSheet4, 174, 256, "Delete");

  LG_PLACE(Label7, TLabel, TabSheet4, 276, 10, 250, 15, "Toolbar buttons:");
  LG_PLACE(ListBox2, TListBox, TabSheet4, 276, 28, 250, 220, nullptr);
  ListBox2->Tag = 255;
  NewButton(BitBtn11, "BitBtn11", this, TabSheet4, 438, 256, "Delete");
  LG_PLACE(ListBoxtemp, TListBox, TabSheet4, 276, 28, 10, 10, nullptr);
  ListBoxtemp->SetVisible(false);
  ListBoxtemp->Tag = 255;

  BitBtn10->OnClick = Bind(this, &TFrmIE::BitBtn10Click);
  BitBtn11->OnClick = Bind(this, &TFrmIE::BitBtn11Click);
}

// Opening the form only reads: no key is created, no value rewritten.
void TFrmIE::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  loading_ = true;
  FileListBox1->SetDirectory(GetConfigFolder("IEBG"));
  Edit1->SetText(ReadRegValue(HKEY_CURRENT_USER, IEToolbarKey, "BrandBitmap"));
  Edit2->SetText(ReadRegValue(HKEY_CURRENT_USER, IEToolbarKey, "SmBrandBitmap"));
  ShowPicture(Image1, Edit1->Text());
  ShowPicture(Image2, Edit2->Text());
  ListBox1->Clear();
  ListBox2->Clear();
  ListBoxtemp->Clear();
  Edit3->SetText(TextInAnyView(HKEY_LOCAL_MACHINE, IEMainKey, "Window Title"));
  Label6->SetCaption(Edit3->Text().empty() ? std::string(DefaultTitle) : Edit3->Text());
  FillMenuList();
  FillButtonList();
  Label1->SetCaption(LangMessage("IE_10", AnsiText("Installed Background Files\xEF\xBC\x9A")) +
                     std::to_string(FileListBox1->Items().Count()));
  loading_ = false;
}

void TFrmIE::FormShow(TObject *) {
  if (FrmIe_preview)
    SetTop(FrmIe_preview->Top() + 130);
  SetLeft((Screen->Width() - DesignWidth) / 2);
  if (PageControl1->ActivePage() == TabSheet1)
    TabSheet1Show(TabSheet1);
}

void TFrmIE::FormClose(TObject *, TCloseAction &Action) {
  HidePreview();
  if (Frmmain)
    Frmmain->Show();
  Action = caFree;
}

void TFrmIE::Tell(const char *key, const char *text, const char *caption, UINT flags) {
  GetPrompts().MessageBox(Handle(), LangMessage(key, text), caption, flags);
}

void TFrmIE::ShowHelp(const char *topic) {
  if (Frmmain)
    Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", topic);
}

// ---- the tool-bar background --------------------------------------------------------------

void TFrmIE::TabSheet1Show(TObject *) {
  // Showing the page only follows the setting; CheckBox1Click writes it only when it changes.
  bool show = PreviewSetting() == "1";
  CheckBox1->SetChecked(show);
  if (show)
    showpreview();
  else
    HidePreview();
}

void TFrmIE::TabSheet2Show(TObject *) { HidePreview(); }

void TFrmIE::TabSheet3Show(TObject *) { HidePreview(); }

void TFrmIE::CheckBox1Click(TObject *) {
  std::string wanted = CheckBox1->Checked() ? "1" : "0";
  if ((PreviewSetting() == "1") != CheckBox1->Checked()) {
    try {
      ForceDirectories(GetConfigFolder("Data"));
      TIniFile(SettingsFile()).WriteString("Explorer", "Preview", wanted);
    } catch (const EIniFileException &) {
      // The choice holds for this session all the same.
    }
  }
  if (CheckBox1->Checked())
    showpreview();
  else
    HidePreview();
}

void TFrmIE::showpreview() {
  if (!FrmIe_preview)
    return;
  {
    TBitmap glyph;
    glyph.LoadFromResourceName(GetModuleHandleA(nullptr), "EXPLORER");
    FrmIe_preview->preview1->SetGlyph(glyph);
  }
  std::string current = ReadRegValue(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmap");
  if (!current.empty() && FileExists(current))
    TileBackground(current);
  // It accompanies the form: the form keeps the focus, and the arrow keys its tabs.
  FrmIe_preview->ShowNoActivate();
}

// Tiles the picture over the preview's canvas, from the top-left corner, as the tool bar
// repeats it. A picture that can't be read, or has no pixels to repeat, is refused.
bool TFrmIE::TileBackground(const std::string &fileName) {
  TBitmap tile;
  try {
    tile.LoadFromFile(fileName);
  } catch (const Exception &) {
  }
  if (tile.Width() <= 0 || tile.Height() <= 0) {
    Tell("IE_6", "This file holds no picture that can be used as a background.",
         LangMessage("Common_10", "Error").c_str(), MB_OK | MB_ICONERROR);
    return false;
  }
  if (!FrmIe_preview)
    return true;
  TImage *canvasImage = FrmIe_preview->Image1;
  TCanvas &canvas = canvasImage->Canvas();
  const int w = tile.Width(), h = tile.Height();
  for (int r = 0; r * h <= canvasImage->Height(); ++r)
    for (int c = 0; c * w <= canvasImage->Width(); ++c)
      canvas.CopyRect(RECT{c * w, r * h, (c + 1) * w, (r + 1) * h}, tile.Canvas(),
                      RECT{0, 0, w, h});
  canvasImage->Invalidate();
  FrmIe_preview->preview1->Invalidate();
  return true;
}

void TFrmIE::ChooseBackground(const std::string &fileName) {
  Editbg->SetText(fileName);
  bool usable = FileExists(fileName) && TileBackground(fileName);
  BitBtn1->SetEnabled(usable);
}

void TFrmIE::FileListBox1Click(TObject *) {
  if (FileListBox1->Items().Count() == 0) {
    BitBtn1->SetEnabled(false);
    Editbg->SetText("");
    return;
  }
  ChooseBackground(FileListBox1->FileName());
}

void TFrmIE::BitBtn3Click(TObject *) {
  opDialog1->InitialDir = GetConfigFolder("IEBG");
  opDialog1->FileName.clear();
  if (opDialog1->Execute())
    ChooseBackground(opDialog1->FileName);
}

void TFrmIE::BitBtn1Click(TObject *) {
  // The list's double click comes here too: a background that was refused is not applied.
  if (!BitBtn1->Enabled())
    return;
  if (GetPrompts().MessageBox(
          Handle(),
          LangMessage("IE_1", "Are you sure that you want to apply this toolbar background?"),
          LangMessage("Common_9", "Confirm"), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  std::string file = Editbg->Text();
  if (file.empty() || !FileExists(file))
    return;
  if (!CheckBox2->Checked() && !CheckBox3->Checked()) {
    Tell("IE_7",
         "Tick \"Window Explorer\", \"Internet Explorer\" or both to say where the "
         "background goes.",
         LangMessage("Common_3", "Warning").c_str(), MB_OK | MB_ICONWARNING);
    return;
  }
  TRefusedWrites refused;
  if (CheckBox2->Checked())
    TryWriteRegValue(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmapShell", file, 1, refused);
  if (CheckBox3->Checked())
    TryWriteRegValue(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmapIE5", file, 1, refused);
  if (ReportRefusedWrites(Handle(), refused))
    return;
  Tell("IE_2", "Congratulation! Explorer toolbar background changed successfully", "OK",
       MB_OK | MB_ICONINFORMATION);
}

void TFrmIE::BitBtn2Click(TObject *) {
  if (FrmIe_preview) {
    FrmIe_preview->Image1->Picture().Assign(nullptr);
    FrmIe_preview->Image1->Invalidate();
  }
  TRefusedWrites refused;
  for (const char *value : {"BackBitmap", "BackBitmapIE5", "BackBitmapShell"})
    TryDeleteRegValue(HKEY_CURRENT_USER, IEToolbarKey, value, refused);
  if (ReportRefusedWrites(Handle(), refused))
    return;
  Tell("IE_3", "Explorer toolbar background restored successfully!",
       LangMessage("Common_8", "OK").c_str(), MB_OK | MB_ICONINFORMATION);
}

void TFrmIE::BitBtn5Click(TObject *) { ShowHelp("frmie.htm"); }

// ---- the animated logos -------------------------------------------------------------------

void TFrmIE::BrowseLogo(const char *folder, TEdit *edit, TImage *image) {
  opDialog1->InitialDir = GetConfigFolder(folder);
  opDialog1->FileName.clear();
  if (!opDialog1->Execute())
    return;
  edit->SetText(opDialog1->FileName);
  ShowPicture(image, opDialog1->FileName);
}

void TFrmIE::BitBtn4Click(TObject *) { BrowseLogo("IELogo_L", Edit1, Image1); }

void TFrmIE::BitBtn6Click(TObject *) { BrowseLogo("IELogo_S", Edit2, Image2); }

void TFrmIE::BitBtn7Click(TObject *) {
  // A path to nothing would leave the browser without a logo: refuse it before writing any.
  for (TEdit *edit : {Edit1, Edit2}) {
    if (!edit->Text().empty() && !FileExists(edit->Text())) {
      GetPrompts().MessageBox(
          Handle(), LangMessage("IE_8", "This logo file does not exist:") + "\r\n" + edit->Text(),
          LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
      return;
    }
  }
  struct Logo {
    TEdit *edit;
    const char *value;
  } logos[] = {{Edit1, "BrandBitmap"}, {Edit2, "SmBrandBitmap"}};
  TRefusedWrites refused;
  for (const Logo &l : logos)
    SetUserValue(IEToolbarKey, l.value, l.edit->Text(), refused);
  if (ReportRefusedWrites(Handle(), refused))
    return;
  Tell("IE_4", "Congratulation,Animated logo changed successfully",
       LangMessage("Common_8", "OK").c_str(), MB_OK | MB_ICONINFORMATION);
}

void TFrmIE::BitBtn8Click(TObject *) {
  Image1->Picture().Assign(nullptr);
  Image2->Picture().Assign(nullptr);
  Edit1->SetText("");
  Edit2->SetText("");
  TRefusedWrites refused;
  TryDeleteRegValue(HKEY_CURRENT_USER, IEToolbarKey, "BrandBitmap", refused);
  TryDeleteRegValue(HKEY_CURRENT_USER, IEToolbarKey, "SmBrandBitmap", refused);
  if (ReportRefusedWrites(Handle(), refused))
    return;
  Tell("IE_5", "Animated logo restored successfully", LangMessage("Common_8", "OK").c_str(),
       MB_OK | MB_ICONINFORMATION);
}

void TFrmIE::BitBtn9Click(TObject *) { ShowHelp("frmie.htm#logo"); }

// ---- the title ----------------------------------------------------------------------------

void TFrmIE::Edit3Change(TObject *) {
  if (loading_)
    return;
  std::string text = Edit3->Text();
  // The user's own title first: it needs no rights beyond the user's.
  TRefusedWrites user;
  SetUserValue(IEMainKey, "Window Title", text, user);
  // The machine's and the default user's need an administrator; say so once, not per key.
  bool machine = SetValueQuietly(HKEY_LOCAL_MACHINE, IEMainKey, "Window Title", text);
  machine = SetValueQuietly(HKEY_USERS, IEDefaultUserMainKey, "Window Title", text) && machine;
  if (!machine && !titleFailureShown_) {
    titleFailureShown_ = true;
    GetPrompts().MessageBox(
        Handle(),
        LangMessage("IE_9", "The title could be changed for you alone: changing it for every "
                            "user needs an administrator."),
        LangMessage("Common_3", "Warning"), MB_OK | MB_ICONWARNING);
  }
  SetUserValue(OutlookExpressKey, "WindowTitle", text, user);
  // Every keystroke writes: a refusal of the user's own keys is told once too.
  if (!user.Empty() && !userTitleFailureShown_) {
    userTitleFailureShown_ = true;
    ReportRefusedWrites(Handle(), user);
  }
  Label6->SetCaption(text.empty() ? std::string(DefaultTitle) : text);
}

// ---- the browser's menu and tool-bar entries ----------------------------------------------

void TFrmIE::FillMenuList() {
  std::vector<std::string> names;
  if (!SubkeyNames(HKEY_CURRENT_USER, IEMenuExtKey, RegistryView(HKEY_CURRENT_USER, IEMenuExtKey),
                   names))
    GetPrompts().MessageBox(Handle(), "Wrong", "", MB_OK);
  ListBox1->Items().BeginUpdate();
  ListBox1->Items().Clear();
  for (const std::string &name : names)
    ListBox1->Items().Add(name);
  ListBox1->Items().EndUpdate();
}

// The buttons of every view the key is kept in: a 32-bit add-on registers its button in the
// 32-bit view alone. Each is listed once, under its name in the first view that holds it.
void TFrmIE::FillButtonList() {
  std::vector<std::string> all;
  bool readable = true;
  for (REGSAM view : RegistryViews(HKEY_LOCAL_MACHINE, IEExtensionsKey)) {
    std::vector<std::string> names;
    readable = SubkeyNames(HKEY_LOCAL_MACHINE, IEExtensionsKey, view, names) && readable;
    for (const std::string &name : names) {
      bool known = false;
      for (const std::string &seen : all)
        known = known || SameText(seen, name);
      if (!known)
        all.push_back(name);
    }
  }
  if (!readable)
    GetPrompts().MessageBox(Handle(), "Wrong!", "", MB_OK);
  ListBoxtemp->Items().BeginUpdate();
  ListBox2->Items().BeginUpdate();
  ListBoxtemp->Items().Clear();
  ListBox2->Items().Clear();
  for (const std::string &name : all) {
    ListBoxtemp->Items().Add(name);
    ListBox2->Items().Add(TextInAnyView(HKEY_LOCAL_MACHINE,
                                        std::string(IEExtensionsKey) + "\\" + name, "ButtonText"));
  }
  ListBoxtemp->Items().EndUpdate();
  ListBox2->Items().EndUpdate();
}

void TFrmIE::BitBtn10Click(TObject *) {
  std::string name;
  for (int i = 0; i < ListBox1->Items().Count(); ++i)
    if (ListBox1->Selected(i))
      name = ListBox1->Items().Strings(i);
  TRefusedWrites refused;
  DeleteSubkey(HKEY_CURRENT_USER, IEMenuExtKey, name, refused);
  FillMenuList();
  ReportRefusedWrites(Handle(), refused);
}

void TFrmIE::BitBtn11Click(TObject *) {
  int index = ListBox2->ItemIndex();
  std::string name;
  if (index >= 0 && index < ListBoxtemp->Items().Count())
    name = ListBoxtemp->Items().Strings(index);
  TRefusedWrites refused;
  DeleteSubkey(HKEY_LOCAL_MACHINE, IEExtensionsKey, name, refused);
  FillButtonList();
  ReportRefusedWrites(Handle(), refused);
}
