#include "app/UnitMain.h"

#include "app/UnitFrmOption.h"
#include "app/UnitFrmPwd.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/cursor/UnitFrmCur.h"
#include "features/explorer/UnitFrmIE.h"
#include "features/folder/UnitFrmFolder.h"
#include "features/icons/UnitFrmIconCus.h"
#include "features/logon/UnitFrmLogon.h"
#include "features/misc/UnitFrmMore.h"
#include "features/oem/UnitFrmOEM.h"
#include "features/wallpaper/UnitFrmwallpaper.h"
#include "features/xplook/UnitFrmXPLook.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmmain *Frmmain = nullptr;

namespace {

constexpr TColor FormBlue = 0xD67563;  // red 0x63, green 0x75, blue 0xD6
constexpr TColor PanelBlue = 0xB0513F; // the darker strip on the left
constexpr TColor ContactBlue = 0xC2634F;
constexpr TColor LinkHover = 0x00FFFF; // yellow
// The caption's separator: the full-width hyphen-minus of code page 936, written as its two
// bytes whatever the system's code page is.
constexpr const char *CaptionSeparator = "\xA3\xAD";

void LoadPicture(TImage *image, const char *resource) {
  image->Picture().Bitmap().LoadFromResourceName(GetModuleHandleA(nullptr), resource);
}

void SetWhiteFont(TControl *control, int height, TFontStyles style) {
  control->Font().SetName("Tahoma");
  control->Font().SetHeight(height);
  control->Font().SetStyle(style);
  control->Font().SetColor(clWhite);
}

} // namespace

void TFrmmain::Build() {
  SetFormName(this, "Frmmain");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetColor(FormBlue);
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetCaption("Lumagrove");
  if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON"))
    SetIcon(CopyIcon(icon));

  LG_NEW(MainMenu1, TMainMenu, this);
  SetMenu(MainMenu1);
  SetClientSize(698, 469);

  BuildToolBar();
  BuildLeftPanel();
  BuildFeatureLinks();

  LG_NEW(StatusBar1, TStatusBar, this);
  StatusBar1->SetParent(this);
  StatusBar1->SetAlign(alBottom);

  BuildDialogs();
  BuildHelpAndTray();
  PlaceBackground();

  OnCreate = Bind(this, &TFrmmain::FormCreate);
  OnClose = Bind(this, &TFrmmain::FormClose);
}

void TFrmmain::BuildToolBar() {
  LG_NEW(ImageList1, TImageList, this);
  ImageList1->SetSize(24, 24);
  {
    TBitmap strip;
    strip.LoadFromResourceName(GetModuleHandleA(nullptr), "TOOLIMAGES");
    ImageList1->AddMasked(strip, clFuchsia);
  }

  LG_NEW(CoolBar1, TCoolBar, this);
  CoolBar1->SetParent(this);
  CoolBar1->SetAlign(alTop);

  LG_NEW(ToolBar1, TToolBar, this);
  ToolBar1->SetParent(CoolBar1);
  ToolBar1->SetFlat(true);
  ToolBar1->SetAutoSize(true);
  ToolBar1->SetShowCaptions(true);
  ToolBar1->SetImages(ImageList1);
  ToolBar1->SetButtonWidth(84);
  ToolBar1->SetButtonHeight(44);

  struct Button {
    TToolButton *&member;
    const char *name;
    const char *caption; // nullptr: a separator
    int image;
  } buttons[] = {
      {ToolButton3, "ToolButton3", "Options", 0}, {ToolButton1, "ToolButton1", nullptr, -1},
      {ToolButton5, "ToolButton5", "Update", 1},  {ToolButton2, "ToolButton2", nullptr, -1},
      {ToolButton6, "ToolButton6", "Help", 2},
  };
  for (Button &b : buttons) {
    b.member = new TToolButton(this);
    b.member->SetName(b.name);
    if (b.caption) {
      b.member->SetCaption(b.caption);
      b.member->SetImageIndex(b.image);
    } else {
      b.member->SetStyle(tbsSeparator);
      b.member->SetWidth(8);
    }
    b.member->SetParent(ToolBar1);
  }
  ToolButton3->OnClick = Bind(this, &TFrmmain::ToolButton3Click);
  ToolButton5->OnClick = Bind(this, &TFrmmain::ToolButton5Click);
  ToolButton6->OnClick = Bind(this, &TFrmmain::ToolButton6Click);
}

void TFrmmain::BuildLeftPanel() {
  LG_NEW(Panelleft, TPanel, this);
  Panelleft->SetParent(this);
  Panelleft->SetAlign(alLeft);
  Panelleft->SetWidth(170);
  Panelleft->SetBevelOuter(bvNone);
  Panelleft->SetColor(PanelBlue);
  Panelleft->SetCaption("");

  LG_NEW(Label1, TLabel, this);
  Label1->SetParent(Panelleft);
  Label1->SetBounds(14, 16, 60, 19);
  SetWhiteFont(Label1, -16, fsBold);
  Label1->SetTransparent(true);
  Label1->SetCaption("About");

  LG_NEW(LabelVersion, TLabel, this);
  LabelVersion->SetParent(Panelleft);
  LabelVersion->SetBounds(14, 46, 44, 13);
  SetWhiteFont(LabelVersion, -11, 0);
  LabelVersion->SetTransparent(true);
  LabelVersion->SetCaption("Version:");

  LG_NEW(AD_main, TPanel, this);
  AD_main->SetParent(Panelleft);
  AD_main->SetBounds(8, 250, 154, 112);
  AD_main->SetBevelOuter(bvLowered);
  AD_main->SetColor(ContactBlue);
  AD_main->SetCaption("");

  LG_NEW(Label2, TLabel, this);
  Label2->SetParent(AD_main);
  Label2->SetBounds(8, 8, 70, 13);
  SetWhiteFont(Label2, -11, fsBold);
  Label2->SetTransparent(true);
  Label2->SetCaption("Contact us");

  struct Contact {
    TURLLabel *&member;
    const char *name;
    TLabelType type;
    const char *target; // the hint, which the click opens
    const char *caption;
    int top;
  } contacts[] = {
      {URLLabel1, "URLLabel1", hmHTTP, MakerWebSite, "Our web site", 34},
      {URLLabel2, "URLLabel2", hmMAIL, MakerMail, "Write to us", 58},
      {URLLabel3, "URLLabel3", hmMAIL, MakerSupportMail, "Ask for support", 82},
  };
  for (Contact &c : contacts) {
    c.member = new TURLLabel(this);
    c.member->SetName(c.name);
    c.member->SetParent(AD_main);
    c.member->SetBounds(8, c.top, 138, 13);
    c.member->SetTransparent(true);
    c.member->SetLabelType(c.type);
    c.member->SetURLColStd(clWhite);
    c.member->SetURLColPre(LinkHover);
    c.member->Hint = c.target;
    c.member->ShowHint = true;
    c.member->SetCaption(c.caption);
  }
}

void TFrmmain::BuildFeatureLinks() {
  LG_NEW(PanelMain, TPanel, this);
  PanelMain->SetParent(this);
  PanelMain->SetAlign(alClient);
  PanelMain->SetBevelOuter(bvNone);
  PanelMain->SetParentColor(true);
  PanelMain->SetCaption("");

  LG_NEW(Image_Back, TImage, this);
  Image_Back->SetParent(PanelMain);
  Image_Back->SetBounds(288, 186, 240, 200);
  Image_Back->Anchors = akRight | akBottom;
  LoadPicture(Image_Back, "BACKGROUND");

  LG_NEW(Lble_Select, TLabel, this);
  Lble_Select->SetParent(PanelMain);
  Lble_Select->SetBounds(24, 14, 380, 34);
  Lble_Select->Font().SetName("Franklin Gothic Medium");
  Lble_Select->Font().SetHeight(-28);
  Lble_Select->Font().SetColor(clWhite);
  Lble_Select->SetTransparent(true);
  Lble_Select->SetCaption("What do you want to customize?");

  // Three rows of three: the picture, and the link beside it. Both run the link's handler.
  struct Link {
    TImage *&image;
    const char *imageName;
    TURLLabel2 *&label;
    const char *labelName;
    const char *caption;
    const char *picture;
    void (TFrmmain::*handler)(TObject *);
  } links[] = {
      {Image_Icon, "Image_Icon", Lbl_Icon, "Lbl_Icon", "Icons", "LINK_ICONS",
       &TFrmmain::Lbl_IconClick},
      {Image_Wallpaper, "Image_Wallpaper", Lbl_Wallpaper, "Lbl_Wallpaper", "Wallpapers",
       "LINK_WALLPAPER", &TFrmmain::Lbl_WallpaperClick},
      {Image_Cursor, "Image_Cursor", Lbl_Cursor, "Lbl_Cursor", "Cursors", "LINK_CURSOR",
       &TFrmmain::Lbl_CursorClick},
      {Image_OEM, "Image_OEM", Lbl_OEM, "Lbl_OEM", "OEM information", "LINK_OEM",
       &TFrmmain::Lbl_OEMClick},
      {Image_IE, "Image_IE", Lbl_IE, "Lbl_IE", "Explorer", "LINK_EXPLORER", &TFrmmain::Lbl_IEClick},
      {Image_XPLook, "Image_XPLook", Lbl_XPLook, "Lbl_XPLook", "Applications", "LINK_XPLOOK",
       &TFrmmain::Lbl_XPLookClick},
      {Image_More, "Image_More", Lbl_More, "Lbl_More", "Miscellaneous", "LINK_MORE",
       &TFrmmain::Lbl_MoreClick},
      {Image_Folder, "Image_Folder", Lbl_Folder, "Lbl_Folder", "Folders", "LINK_FOLDER",
       &TFrmmain::Lbl_FolderClick},
      {Image4, "Image4", Lbl_Logon, "Lbl_Logon", "Logons", "LINK_LOGON", &TFrmmain::Lbl_LogonClick},
  };
  int index = 0;
  for (Link &l : links) {
    int x = 24 + (index % 3) * 168, y = 72 + (index / 3) * 96;
    ++index;
    l.image = new TImage(this);
    l.image->SetName(l.imageName);
    l.image->SetParent(PanelMain);
    l.image->SetBounds(x, y, 48, 48);
    LoadPicture(l.image, l.picture);
    l.image->OnClick = Bind(this, l.handler);

    l.label = new TURLLabel2(this);
    l.label->SetName(l.labelName);
    l.label->SetParent(PanelMain);
    l.label->SetBounds(x + 56, y + 16, 100, 14);
    l.label->SetTransparent(true);
    l.label->Font().SetName("Tahoma");
    l.label->Font().SetSize(9);
    l.label->Font().SetStyle(fsBold | fsUnderline);
    l.label->Font().SetColor(clWhite);
    l.label->SetCaption(l.caption);
    l.label->OnClick = Bind(this, l.handler);
  }
}

void TFrmmain::BuildDialogs() {
  struct Dialog {
    TOpenDialog *&member;
    const char *name;
    const char *filter;
    TOpenOptions options;
  } dialogs[] = {
      {OpenIconpackage, "OpenIconpackage", "*.zip;*.ip|*.zip;*.ip",
       ofFileMustExist | ofEnableSizing},
      {OpenCurPackage, "OpenCurPackage", "*.zip;*.ct|*.zip;*.ct", ofFileMustExist | ofEnableSizing},
      {OpenlogonDialog, "OpenlogonDialog", "*.zip;*.exe|*.zip;*.exe",
       ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing},
  };
  for (Dialog &d : dialogs) {
    d.member = new TOpenDialog(this);
    d.member->SetName(d.name);
    d.member->Filter = d.filter;
    d.member->Options = d.options;
  }
}

void TFrmmain::BuildHelpAndTray() {
  // The help file of the program folder is the application's, so that the popups the forms'
  // "?" asks for come from it.
  Application->HelpFile = ProgramFolder() + "Lumagrove.chm";
  LG_NEW(HelpRouter1, THelpRouter, this);
  HelpRouter1->HelpType = htHTMLhelp;
  HelpRouter1->CHMPopupTopics = "CSHelp.txt";
  HelpRouter1->ValidateID = false;

  // Hidden until a producer (the logon screens) shows it with a balloon.
  LG_NEW(TrayIcon1, TTrayIcon, this);
  TrayIcon1->SetCycleInterval(0);
  TrayIcon1->SetIconVisible(false);
  TrayIcon1->OnBalloonHintClick = Bind(this, &TFrmmain::TrayIcon1BalloonHintClick);
  TrayIcon1->OnBalloonHintHide = Bind(this, &TFrmmain::TrayIcon1BalloonHintHide);
  TrayIcon1->OnBalloonHintTimeout = Bind(this, &TFrmmain::TrayIcon1BalloonHintTimeout);
}

// The picture keeps to the bottom-right corner of the main panel, wherever the panel's edges
// ended up once the bars took their place.
void TFrmmain::PlaceBackground() {
  Image_Back->SetBounds(PanelMain->ClientWidth() - Image_Back->Width(),
                        PanelMain->ClientHeight() - Image_Back->Height(), Image_Back->Width(),
                        Image_Back->Height());
}

void TFrmmain::FormCreate(TObject *) {
  // The feature links are designed bold and underlined; at rest they show bold alone.
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto *link = dynamic_cast<TURLLabel2 *>(Components(i)))
      link->Font().SetStyle(fsBold);

  // Leftovers of older versions; nothing creates them any more.
  tk::DeleteFile(GetSystemDir() + "\\temp.dll");
  tk::DeleteFile(GetTempDir() + "\\replacer.dll");
  tk::DeleteFile(GetTempDir() + "\\replacer.cmd");
  tk::DeleteFile(GetTempDir() + "\\data");

  TIniFile settings(GetConfigFolder("Data") + "Config.ini");
  std::string customName = settings.ReadString("Option", "CustomName", "");
  if (!customName.empty())
    SetCaption(Application->Title() + CaptionSeparator + customName);
  std::string name = settings.ReadString("Special", "Name", "");
  if (!name.empty())
    SetCaption(Caption() + CaptionSeparator + name);

  // Only OK with the right password opens the program: a wrong one, Exit, or the prompt closed
  // any other way (a WM_CLOSE from outside, the program told to end) ends the application; the
  // rest still runs, and the message loop then stops at once.
  if (!ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "PWD").empty()) {
    locked_ = true;
    CreateForm(this, FrmPwd);
    FrmPwd->ShowModal();
    locked_ = !FrmPwd->Unlocked;
    if (locked_)
      Application->Terminate();
  }

  LabelVersion->SetCaption(LabelVersion->Caption() + GetAppFileVersion());
  // The outline grows where the window is about to appear, not where it was made.
  Centre();
  AnimateWindowOpen(Handle(), 20);
}

void TFrmmain::FormClose(TObject *, TCloseAction &) {
  if (locked_)
    return;
  // The program folder shows its own icon in the shell: a system folder with a desktop.ini.
  std::string folder = ProgramFolder();
  FileSetAttr(folder, FILE_ATTRIBUTE_SYSTEM);
  std::string desktopIni = folder + "desktop.ini";
  try {
    TIniFile ini(desktopIni);
    ini.WriteString(".ShellClassInfo", "IconFile", GetConfigFolder("Data") + "Icon.dll");
    ini.WriteString(".ShellClassInfo", "IconIndex", "2");
    ini.WriteString(".ShellClassInfo", "InfoTip", LangMessage("Common_6", "Lumagrove folder"));
  } catch (const EIniFileException &) {
    // A folder we may not write to keeps its plain look.
  }
  FileSetAttr(desktopIni, FILE_ATTRIBUTE_HIDDEN);
  WriteRegValue(HKEY_CURRENT_USER, ProgramKey, "Exename", folder, 1);
  AnimateWindowClose(Handle(), 20);
}

// Each feature link opens its form (owned by this window, kept in the form's global) on the
// page named beside it, shows it and hides this window; the feature form shows Frmmain again
// when it closes, and is freed then. A form that is still open (the icon packages form can
// leave Customize Icons open behind the main window) is brought forward rather than made
// twice: a second instance would take another name, which the language file doesn't know.
// A click that comes while the form is still being made (its creation searches and pumps
// messages) does nothing: the first click shows it once it is whole.
namespace {

void Present(TFrmmain *main, TCustomForm *form) {
  form->Show();
  main->Hide();
}

template <class T> void ShowFeature(TFrmmain *main, T *&global) {
  if (T *form = OpenForm(main, global))
    Present(main, form);
}

template <class T> void ShowFeature(TFrmmain *main, T *&global, TTabSheet *T::*page) {
  if (T *form = OpenForm(main, global)) {
    form->PageControl1->SetActivePage(form->*page);
    Present(main, form);
  }
}

} // namespace

void TFrmmain::Lbl_IconClick(TObject *) { ShowFeature(this, FrmIconCus, &TFrmIconCus::TabSheet2); }

void TFrmmain::Lbl_WallpaperClick(TObject *) {
  ShowFeature(this, FrmWallpaper, &TFrmWallpaper::TabSheet1);
}

void TFrmmain::Lbl_CursorClick(TObject *) { ShowFeature(this, FrmCur, &TFrmCur::TabSheet1); }

void TFrmmain::Lbl_OEMClick(TObject *) { ShowFeature(this, FrmOEM); }

void TFrmmain::Lbl_IEClick(TObject *) { ShowFeature(this, FrmIE, &TFrmIE::TabSheet1); }

void TFrmmain::Lbl_XPLookClick(TObject *) { ShowFeature(this, FrmXPLook); }

void TFrmmain::Lbl_MoreClick(TObject *) { ShowFeature(this, FrmMore, &TFrmMore::TabSheet4); }

void TFrmmain::Lbl_FolderClick(TObject *) { ShowFeature(this, FrmFolder); }

void TFrmmain::Lbl_LogonClick(TObject *) {
  // Logon screens exist from Windows XP on.
  uint8_t code = 0;
  std::string family;
  GetWindowsVersion(code, family);
  if (family == "98" || family == "me" || family == "nt") {
    GetPrompts().MessageBox(Handle(),
                            LangMessage("Common_1", "Sorry. This function is only for WindowsXP"),
                            LangMessage("Common_3", "Warning"), MB_OK | MB_ICONERROR);
    return;
  }
  ShowFeature(this, FrmLogon, &TFrmLogon::TabSheet1);
}

void TFrmmain::ToolButton3Click(TObject *) {
  if (TFrmOption *form = OpenForm(this, FrmOption))
    form->Show();
}

void TFrmmain::ToolButton5Click(TObject *) {
  GetShell().ShellExecute(Handle(), "open", MakerDownloadPage, "", "", SW_SHOWMAXIMIZED);
}

void TFrmmain::ToolButton6Click(TObject *) {
  GetShell().ShellExecute(Handle(), "open", ProgramFolder() + "Lumagrove.chm", "", "",
                          SW_SHOWMAXIMIZED);
}

void TFrmmain::TrayIcon1BalloonHintClick(TObject *) {
  if (TrayIcon1->Tag == BalloonNoLogonScreen)
    GetShell().ShellExecute(Handle(), "open", MakerThemesPage, "", "", SW_SHOWMAXIMIZED);
  TrayIcon1->SetIconVisible(false);
}

void TFrmmain::TrayIcon1BalloonHintHide(TObject *) { TrayIcon1->SetIconVisible(false); }

void TFrmmain::TrayIcon1BalloonHintTimeout(TObject *) { TrayIcon1->SetIconVisible(false); }
