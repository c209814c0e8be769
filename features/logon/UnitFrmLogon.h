// The logon screens form: the logon-screen programs installed below the Logons folder with a
// preview picture of each, making one the system's logon screen, restoring the standard one,
// and installing new ones.
#pragma once

#include "components/SFolders.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmLogon : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmLogon"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TListView *ListView1 = nullptr;
  tk::TListBox *ListBox1 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TBevel *Bevel1 = nullptr; // the preview's frame
  tk::TImage *Image1 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TPopupMenu *PopupMenu1 = nullptr;
  tk::TMenuItem *Installfromdisk1 = nullptr;
  tk::TMenuItem *Installfromweb1 = nullptr;
  TSearchFolders *SearchFolders1 = nullptr;
  TSearchFolders *SearchFolders2 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void ListView1Click(tk::TObject *Sender);
  void ListView1SelectItem(tk::TObject *Sender, tk::TListItem *Item, bool Selected);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);
  void Installfromdisk1Click(tk::TObject *Sender);
  void Installfromweb1Click(tk::TObject *Sender);
  void Image1DblClick(tk::TObject *Sender);
  void SearchFolders1Changed(tk::TComponent *Sender, int32_t CountFiles, int32_t SizeOfFiles);
  void SearchFolders2Changed(tk::TComponent *Sender, int32_t CountFiles, int32_t SizeOfFiles);
  // The preview picture of a logon program, first found of: its folder's preview.jpg and
  // preview.bmp, a .jpg or .bmp of its own name, the first picture of more than 10000 bytes
  // below its folder, and the program's "no preview" picture.
  std::string findpreview(const std::string &Program);

protected:
  void Build() override;

private:
  // Lists the logon programs of the Logons folder afresh.
  void ScanLogons();
  // Shows the preview of the program chosen when its search ends; never runs inside itself.
  void ShowPreview();
  // Picture := findpreview of Program, unless a preview search is under way: false then.
  bool LookUpPreview(const std::string &Program, std::string &Picture);
  std::string fallbackPreview_;
  bool previewing_ = false;
};

extern TFrmLogon *FrmLogon;
