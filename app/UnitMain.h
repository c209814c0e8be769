// The main window: the hub with the nine feature links, the tool bar (Options, Update, Help) and
// the open dialogs that the feature forms borrow through Frmmain.
#pragma once

#include "components/HelpRouter.h"
#include "components/TrayIcon.h"
#include "components/urllabel.h"
#include "components/urllabel2.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/Dialogs.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/StdCtrls.h"
#include "toolkit/graphics/ImgList.h"

// The web places of the maker, opened by the Update button and the contact links.
inline constexpr const char *MakerWebSite = "www.lumagrove.example";
inline constexpr const char *MakerDownloadPage = "http://www.lumagrove.example/download.html";
inline constexpr const char *MakerThemesPage = "http://www.lumagrove.example/themes.htm";
// The balloon code a producer leaves in TrayIcon1's Tag: no logon screen is installed yet.
inline constexpr int BalloonNoLogonScreen = 51;
inline constexpr const char *MakerMail = "hello@lumagrove.example";
inline constexpr const char *MakerSupportMail = "support@lumagrove.example";

class TFrmmain : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmmain"; }

  tk::TMainMenu *MainMenu1 = nullptr;
  tk::TCoolBar *CoolBar1 = nullptr;
  tk::TToolBar *ToolBar1 = nullptr;
  tk::TToolButton *ToolButton3 = nullptr;
  tk::TToolButton *ToolButton1 = nullptr;
  tk::TToolButton *ToolButton5 = nullptr;
  tk::TToolButton *ToolButton2 = nullptr;
  tk::TToolButton *ToolButton6 = nullptr;
  tk::TPanel *Panelleft = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TLabel *LabelVersion = nullptr;
  tk::TPanel *AD_main = nullptr;
  tk::TLabel *Label2 = nullptr;
  TURLLabel *URLLabel1 = nullptr;
  TURLLabel *URLLabel2 = nullptr;
  TURLLabel *URLLabel3 = nullptr;
  tk::TPanel *PanelMain = nullptr;
  tk::TImage *Image_Back = nullptr;
  tk::TLabel *Lble_Select = nullptr;
  tk::TImage *Image_Icon = nullptr;
  TURLLabel2 *Lbl_Icon = nullptr;
  tk::TImage *Image_Wallpaper = nullptr;
  TURLLabel2 *Lbl_Wallpaper = nullptr;
  tk::TImage *Image_Cursor = nullptr;
  TURLLabel2 *Lbl_Cursor = nullptr;
  tk::TImage *Image_OEM = nullptr;
  TURLLabel2 *Lbl_OEM = nullptr;
  tk::TImage *Image_IE = nullptr;
  TURLLabel2 *Lbl_IE = nullptr;
  tk::TImage *Image_XPLook = nullptr;
  TURLLabel2 *Lbl_XPLook = nullptr;
  tk::TImage *Image_More = nullptr;
  TURLLabel2 *Lbl_More = nullptr;
  tk::TImage *Image_Folder = nullptr;
  TURLLabel2 *Lbl_Folder = nullptr;
  tk::TImage *Image4 = nullptr;
  TURLLabel2 *Lbl_Logon = nullptr;
  tk::TStatusBar *StatusBar1 = nullptr;
  tk::TImageList *ImageList1 = nullptr;
  tk::TOpenDialog *OpenIconpackage = nullptr;
  tk::TOpenDialog *OpenCurPackage = nullptr;
  tk::TOpenDialog *OpenlogonDialog = nullptr;
  THelpRouter *HelpRouter1 = nullptr;
  tk::TTrayIcon *TrayIcon1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void Lbl_IconClick(tk::TObject *Sender);
  void Lbl_WallpaperClick(tk::TObject *Sender);
  void Lbl_CursorClick(tk::TObject *Sender);
  void Lbl_OEMClick(tk::TObject *Sender);
  void Lbl_IEClick(tk::TObject *Sender);
  void Lbl_XPLookClick(tk::TObject *Sender);
  void Lbl_MoreClick(tk::TObject *Sender);
  void Lbl_FolderClick(tk::TObject *Sender);
  void Lbl_LogonClick(tk::TObject *Sender);
  void ToolButton3Click(tk::TObject *Sender);
  void ToolButton5Click(tk::TObject *Sender);
  void ToolButton6Click(tk::TObject *Sender);
  void TrayIcon1BalloonHintClick(tk::TObject *Sender);
  void TrayIcon1BalloonHintHide(tk::TObject *Sender);
  void TrayIcon1BalloonHintTimeout(tk::TObject *Sender);

protected:
  void Build() override;

private:
  void BuildToolBar();
  void BuildLeftPanel();
  void BuildFeatureLinks();
  void BuildDialogs();
  void BuildHelpAndTray();
  void PlaceBackground();

  // Until the start-up password is given the window has not opened: closing it then leaves no
  // trace of the run.
  bool locked_ = false;
};

extern TFrmmain *Frmmain;
