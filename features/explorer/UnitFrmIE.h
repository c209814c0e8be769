// Explorer: the tool-bar background of Explorer and Internet Explorer windows (shown on the
// preview strip), the animated logos, the browser's title text, and the context-menu and
// tool-bar entries other programs add to the browser.
#pragma once

#include <string>

#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/ExtDlgs.h"
#include "toolkit/forms/FileCtrl.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

// The keys the browser and Explorer read.
inline constexpr const char *IEToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr const char *IEMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr const char *IEDefaultUserMainKey =
    ".DEFAULT\\Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr const char *OutlookExpressKey = "Software\\Microsoft\\Outlook Express";
inline constexpr const char *IEMenuExtKey = "Software\\Microsoft\\Internet Explorer\\MenuExt";
inline constexpr const char *IEExtensionsKey = "Software\\Microsoft\\Internet Explorer\\Extensions";

class TFrmIE : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmIE"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TFileListBox *FileListBox1 = nullptr;
  tk::TEdit *Editbg = nullptr;
  tk::TCheckBox *CheckBox2 = nullptr;
  tk::TCheckBox *CheckBox3 = nullptr;
  tk::TCheckBox *CheckBox1 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TTabSheet *TabSheet2 = nullptr;
  tk::TLabel *Label2 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TImage *Image1 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr;
  tk::TLabel *Label3 = nullptr;
  tk::TEdit *Edit2 = nullptr;
  tk::TImage *Image2 = nullptr;
  tk::TBitBtn *BitBtn6 = nullptr;
  tk::TBitBtn *BitBtn7 = nullptr;
  tk::TBitBtn *BitBtn8 = nullptr;
  tk::TBitBtn *BitBtn9 = nullptr;
  tk::TTabSheet *TabSheet3 = nullptr;
  tk::TLabel *Label4 = nullptr;
  tk::TEdit *Edit3 = nullptr;
  tk::TPanel *Panel1 = nullptr;
  tk::TLabel *Label6 = nullptr;
  tk::TTabSheet *TabSheet4 = nullptr;
  tk::TLabel *Label5 = nullptr;
  tk::TListBox *ListBox1 = nullptr;
  tk::TBitBtn *BitBtn10 = nullptr;
  tk::TLabel *Label7 = nullptr;
  tk::TListBox *ListBox2 = nullptr;
  tk::TBitBtn *BitBtn11 = nullptr;
  tk::TListBox *ListBoxtemp = nullptr;
  tk::TOpenPictureDialog *opDialog1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormShow(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void TabSheet1Show(tk::TObject *Sender);
  void TabSheet2Show(tk::TObject *Sender);
  void TabSheet3Show(tk::TObject *Sender);
  void FileListBox1Click(tk::TObject *Sender);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);
  void CheckBox1Click(tk::TObject *Sender);
  void BitBtn4Click(tk::TObject *Sender);
  void BitBtn6Click(tk::TObject *Sender);
  void BitBtn7Click(tk::TObject *Sender);
  void BitBtn8Click(tk::TObject *Sender);
  void BitBtn9Click(tk::TObject *Sender);
  void Edit3Change(tk::TObject *Sender);
  void BitBtn10Click(tk::TObject *Sender);
  void BitBtn11Click(tk::TObject *Sender);
  void showpreview();

protected:
  void Build() override;

private:
  void BuildBackgroundPage();
  void BuildLogoPage();
  void BuildTitlePage();
  void BuildMenuPage();
  bool TileBackground(const std::string &fileName);
  void ChooseBackground(const std::string &fileName);
  void BrowseLogo(const char *folder, tk::TEdit *edit, tk::TImage *image);
  void FillMenuList();
  void FillButtonList();
  void ShowHelp(const char *topic);
  void Tell(const char *key, const char *text, const char *caption, UINT flags);

  bool loading_ = false;               // the fields are being filled from the registry
  bool titleFailureShown_ = false;     // the machine-wide title could not be written
  bool userTitleFailureShown_ = false; // nor the user's own
};

extern TFrmIE *FrmIE;
