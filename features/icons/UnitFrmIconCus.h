// Single icons: the desktop objects, the shell's numbered standard icons and the icons of file
// types, one at a time, with their restores; and the icon size, colour depth, shortcut overlay
// and "Shortcut to" prefix, with a rebuild of the shell's icon cache.
#pragma once

#include <vector>

#include "components/IconDialog.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/StdCtrls.h"
#include "toolkit/graphics/ImgList.h"

// The "Shortcut to" prefix of new shortcuts (HKEY_CURRENT_USER, value "Link").
inline constexpr const char *ShortcutPrefixKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

class TFrmIconCus : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmIconCus"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TListView *ListView1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TTabSheet *TabSheet2 = nullptr;
  tk::TListView *ListView2 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TBitBtn *BitBtn9 = nullptr;
  tk::TTabSheet *TabSheet3 = nullptr;
  tk::TListView *ListView3 = nullptr;
  tk::TBitBtn *BitBtn6 = nullptr;
  tk::TBitBtn *BitBtn7 = nullptr;
  tk::TGroupBox *GroupBox1 = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TImage *Image2 = nullptr;
  tk::TTabSheet *TabSheet4 = nullptr;
  tk::TGroupBox *GroupBox2 = nullptr;
  tk::TTrackBar *TrackBar1 = nullptr;
  tk::TLabel *Label11 = nullptr;
  tk::TLabel *Label12 = nullptr;
  tk::TLabel *Label13 = nullptr;
  tk::TPanel *Panel1 = nullptr;
  tk::TImage *Image3 = nullptr;
  tk::TLabel *Label14 = nullptr;
  tk::TGroupBox *GroupBox3 = nullptr;
  tk::TRadioButton *RadioButton1 = nullptr;
  tk::TRadioButton *RadioButton2 = nullptr;
  tk::TRadioButton *RadioButton3 = nullptr;
  tk::TPanel *Panel2 = nullptr;
  tk::TImage *Image5 = nullptr;
  tk::TImage *Image4 = nullptr;
  tk::TLabel *Label8 = nullptr;
  tk::TCheckBox *CheckBox1 = nullptr;
  tk::TCheckBox *CheckBox2 = nullptr;
  tk::TBitBtn *btn_save = nullptr;
  tk::TBitBtn *btn_restore = nullptr;
  tk::TBitBtn *BitBtn8 = nullptr;
  tk::TLabel *Labelicon = nullptr;
  tk::TImage *Image1 = nullptr;
  TIconDialog *id1 = nullptr;
  tk::TImageList *ImageList1 = nullptr;
  tk::TImageList *ImageList2 = nullptr;
  tk::TImageList *ImageList3 = nullptr;
  tk::TImageList *ImageListpop = nullptr;
  tk::TPopupMenu *PopupMenu1 = nullptr;
  tk::TMenuItem *mnu1 = nullptr;
  tk::TMenuItem *N1 = nullptr;
  tk::TMenuItem *mnu2 = nullptr;
  tk::TPopupMenu *PopupMenu2 = nullptr;
  tk::TMenuItem *mnu3 = nullptr;
  tk::TMenuItem *N2 = nullptr;
  tk::TMenuItem *Mnu4 = nullptr;
  tk::TPopupMenu *PopupMenu3 = nullptr;
  tk::TMenuItem *mnu5 = nullptr;
  tk::TMenuItem *N3 = nullptr;
  tk::TMenuItem *mnu6 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  // The icon pickers; true when the user chose an icon, which is then in Labelicon. A
  // cancelled picker leaves Labelicon as it was.
  bool pickicon();
  bool pickiconA(const std::string &StartFile);
  void LoadDesktopIcon();
  void LoadSysIcon();
  void LoadFileIcon();
  // Every list, and the overlay unless the user chose another one not yet applied, shows the
  // icons the system holds now (after the icon packages form changed them).
  void ShowCurrentIcons();
  void mnu1Click(tk::TObject *Sender);
  void mnu2Click(tk::TObject *Sender);
  void mnu3Click(tk::TObject *Sender);
  void Mnu4Click(tk::TObject *Sender);
  void mnu5Click(tk::TObject *Sender);
  void mnu6Click(tk::TObject *Sender);
  void Edit1Change(tk::TObject *Sender);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn9Click(tk::TObject *Sender);
  void TrackBar1Change(tk::TObject *Sender);
  void RadioButton1Click(tk::TObject *Sender);
  void RadioButton2Click(tk::TObject *Sender);
  void RadioButton3MouseUp(tk::TObject *Sender, tk::TMouseButton Button, tk::TShiftState Shift,
                           int X, int Y);
  void CheckBox1Click(tk::TObject *Sender);
  void btn_saveClick(tk::TObject *Sender);
  void btn_restoreClick(tk::TObject *Sender);
  void BitBtn8Click(tk::TObject *Sender);
  void Image3DblClick(tk::TObject *Sender);

protected:
  void Build() override;

private:
  // A page of one icon list: the list with its items (item i shows image i) and its Change
  // and Restore buttons below it.
  void BuildListPage(tk::TTabSheet *&Sheet, const char *SheetName, const char *Caption,
                     tk::TListView *&List, const char *ListName, int Height, tk::TImageList *Images,
                     tk::TPopupMenu *Menu, const std::vector<const char *> &Items,
                     tk::TBitBtn *&Change, const char *ChangeName, tk::TBitBtn *&Restore,
                     const char *RestoreName);
  void BuildDesktopPage();
  void BuildSystemPage();
  void BuildFilesPage();
  void BuildAdvancedPage();
  void BuildMenus();
  // Whether the file of the icon picked last (in Labelicon) is there.
  bool PickedFileExists();
  // The picked icon into the item's image.
  void ShowPickedIcon(tk::TListView *List, tk::TImageList *Images, tk::TListItem *Item);
  void ShowExtensionIcon();
  void LoadLists();
  // The overlay in force, into stored_, the radio buttons and the preview.
  void LoadOverlay();
  void CheckOverlayButton(int Overlay);
  // The advanced settings as Apply last found or left them; Apply writes only what differs.
  struct Stored {
    int overlay = 1; // the radio button
    bool noPrefix = false, allColours = true;
    int size = 2;
  } stored_;
  // An overlay the user picked through "Customize shortcut overlay icons..." on this visit.
  std::string overlayPick_;
};

extern TFrmIconCus *FrmIconCus;
