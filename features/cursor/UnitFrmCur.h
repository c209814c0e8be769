// The cursor packages form: the installed packages with their arrows, a preview of each
// package's cursors over the ones in force, apply and restore, installing packages, and the
// cursor shadow and pointer trail settings.
#pragma once

#include <array>

#include "components/SFolders.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/StdCtrls.h"
#include "toolkit/graphics/ImgList.h"

class TFrmCur : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmCur"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TLabel *Label8 = nullptr;
  tk::TListView *ListView1 = nullptr;
  tk::TImageList *ImageList1 = nullptr;
  tk::TListBox *ListBox1 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TGroupBox *GroupBox14 = nullptr;
  tk::TImage *ImageArrow = nullptr;
  tk::TImage *ImageAppStarting = nullptr;
  tk::TImage *ImageWait = nullptr;
  tk::TImage *ImageHelp = nullptr;
  tk::TImage *ImageNo = nullptr;
  tk::TImage *ImageIBeam = nullptr;
  tk::TImage *ImageUpArrow = nullptr;
  tk::TImage *imageSizeNS = nullptr;
  tk::TImage *imageSizeWE = nullptr;
  tk::TImage *imageSizeNWSE = nullptr;
  tk::TImage *imageSizeNESW = nullptr;
  tk::TImage *ImageCrosshair = nullptr;
  tk::TImage *ImageSizeAll = nullptr;
  tk::TLabel *Label7 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TTabSheet *TabSheet2 = nullptr;
  tk::TCheckBox *CheckBox1 = nullptr;
  tk::TCheckBox *CheckBox2 = nullptr;
  tk::TLabel *Label1 = nullptr; // "short", the track bar's left end
  tk::TTrackBar *TrackBar1 = nullptr;
  tk::TLabel *Label2 = nullptr; // "long", its right end
  tk::TCheckBox *CheckBox3 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TPopupMenu *PopupMenu1 = nullptr;
  tk::TMenuItem *Installfromdisk1 = nullptr;
  tk::TMenuItem *Installfromweb1 = nullptr;
  TSearchFolders *SearchFolders1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void SearchFolders1Changed(tk::TComponent *Sender, int32_t CountFiles, int32_t SizeOfFiles);
  void ListView1Click(tk::TObject *Sender);
  void ListView1SelectItem(tk::TObject *Sender, tk::TListItem *Item, bool Selected);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void CheckBox1Click(tk::TObject *Sender);
  void CheckBox2Click(tk::TObject *Sender);
  void TrackBar1Change(tk::TObject *Sender);
  void CheckBox3Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void Installfromdisk1Click(tk::TObject *Sender);
  void Installfromweb1Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);
  void LoadCurrent();
  void LoadPreview();

  // The previews in the order of their table: image, role, built-in picture.
  struct PreviewRole {
    tk::TImage *TFrmCur::*image;
    const char *name;
    const char *role;
    const char *bitmap;
  };
  static const std::array<PreviewRole, 13> PreviewRoles;

protected:
  void Build() override;

private:
  void BuildPackagePage();
  void BuildSettingsPage();
  // Lists the packages of the cursor package folder afresh.
  void ScanPackages();
  // While the form shows what it read, the settings' handlers write nothing back.
  bool showingSettings_ = false;
};

extern TFrmCur *FrmCur;
