// The icon packages: the packages installed in the icon package folder, ten icons of the chosen
// one beside those the system shows now, apply and restore, installation from a zip archive,
// and two advanced settings (the shell's icon cache, restoring before applying).
#pragma once

#include "components/SFolders.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/Spin.h"
#include "toolkit/forms/StdCtrls.h"
#include "toolkit/graphics/ImgList.h"

// Where the shell's icon cache size is kept (HKEY_LOCAL_MACHINE).
inline constexpr const char *IconCacheKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer";

class TFrmIcon : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmIcon"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TLabel *Label6 = nullptr;
  tk::TListView *ListView4 = nullptr;
  tk::TListBox *ListBox1 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TGroupBox *GroupBox1 = nullptr;
  tk::TImage *Image5 = nullptr;
  tk::TImage *Image6 = nullptr;
  tk::TImage *Image7 = nullptr;
  tk::TImage *Image8 = nullptr;
  tk::TImage *Image9 = nullptr;
  tk::TImage *Image10 = nullptr;
  tk::TImage *Image11 = nullptr;
  tk::TImage *Image12 = nullptr;
  tk::TImage *Image13 = nullptr;
  tk::TImage *Image14 = nullptr;
  tk::TLabel *Label7 = nullptr;
  tk::TBitBtn *BitBtn7 = nullptr;
  tk::TBitBtn *BitBtn9 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TTabSheet *TabSheet3 = nullptr;
  tk::TCheckBox *CheckBox3 = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TSpinEdit *SpinEdit1 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr;
  tk::TBitBtn *BitBtn6 = nullptr;
  tk::TImageList *ImageList1 = nullptr;
  tk::TImageList *ImageListPre = nullptr;
  tk::TImage *Image1 = nullptr;
  TSearchFolders *SearchFolders1 = nullptr;
  tk::TPopupMenu *PopupMenu1 = nullptr;
  tk::TMenuItem *Installfromdisk1 = nullptr;
  tk::TMenuItem *Installfromweb1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void LoadCurrent();
  void LoadPreview(tk::TImage *Image, const std::string &Location);
  void SearchFolders1Changed(tk::TComponent *Sender, int32_t CountFiles, int32_t SizeOfFiles);
  void ListView4Click(tk::TObject *Sender);
  // The selection changed, by the mouse or the keyboard.
  void ListView4SelectItem(tk::TObject *Sender, tk::TListItem *Item, bool Selected);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn4Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);
  void BitBtn6Click(tk::TObject *Sender);
  void BitBtn7Click(tk::TObject *Sender);
  void BitBtn9Click(tk::TObject *Sender);
  void Installfromdisk1Click(tk::TObject *Sender);
  void Installfromweb1Click(tk::TObject *Sender);
  void Label7Click(tk::TObject *Sender);

protected:
  void Build() override;

private:
  void BuildPackagesPage();
  void BuildAdvancedPage();
  // Empties the package list and fills it afresh from the icon package folder.
  void ScanPackages();
  // The selected package in Edit1, its previews and author, Apply enabled; with none selected,
  // the current icons and Apply disabled.
  void ShowChosen();
  // A package icon into a preview; no icon leaves the preview as it was.
  void ShowThemeIcon(tk::TImage *Image, HICON Icon);
};

extern TFrmIcon *FrmIcon;
