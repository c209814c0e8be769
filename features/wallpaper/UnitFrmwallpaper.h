// The animated wallpaper: a list of pictures turned into a desktop page that shows them one
// after another with a transition, set as the Active Desktop wallpaper; and the desktop options
// (the page's logo, the desktop icons, the background colour).
#pragma once

#include <optional>
#include <string>

#include "common/RegUnit.h"
#include "features/wallpaper/WallpaperPage.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/Dialogs.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

// Where Windows keeps the desktop icons of the start panel hidden (one DWORD per item), and the
// policy that hides the whole desktop.
inline constexpr const char *HideDesktopIconsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
inline constexpr const char *ExplorerPoliciesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

class TFrmWallpaper : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmWallpaper"; }

  tk::TPageControl *PageControl1 = nullptr;
  tk::TTabSheet *TabSheet1 = nullptr;
  tk::TTabSheet *TabSheet2 = nullptr;
  // The animated wallpaper page.
  tk::TListBox *ListBox1 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr; // Add file(s)
  tk::TBitBtn *BitBtn6 = nullptr; // Remove
  tk::TBitBtn *BitBtn7 = nullptr; // move up
  tk::TBitBtn *BitBtn8 = nullptr; // move down
  tk::TGroupBox *GroupBox1 = nullptr;
  tk::TLabel *Label2 = nullptr;
  tk::TComboBox *ComboBox1 = nullptr;
  tk::TLabel *Label3 = nullptr;
  tk::TEdit *Edit2 = nullptr;
  tk::TLabel *Label4 = nullptr;
  tk::TEdit *Edit3 = nullptr;
  tk::TRadioButton *RadioButton1 = nullptr;
  tk::TRadioButton *RadioButton2 = nullptr;
  tk::TRadioButton *RadioButton3 = nullptr;
  tk::TCheckBox *CheckBox4 = nullptr;
  tk::TCheckBox *CheckBox5 = nullptr;
  tk::TCheckBox *CheckBox3 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr; // Start
  tk::TBitBtn *BitBtn2 = nullptr; // Stop
  tk::TBitBtn *BitBtn3 = nullptr; // Help
  // The template's values, copied here when the template form closes.
  tk::TEdit *Edit4 = nullptr;   // width
  tk::TEdit *Edit5 = nullptr;   // height
  tk::TEdit *Edit6 = nullptr;   // left
  tk::TEdit *Edit7 = nullptr;   // top
  tk::TEdit *Edit8 = nullptr;   // picture
  tk::TMemo *Memo1 = nullptr;   // the page being built
  tk::TMemo *Memo2 = nullptr;   // the player script
  tk::TLabel *Label1 = nullptr; // the path the apply step sets as wallpaper
  tk::TOpenDialog *OpenDialog1 = nullptr;
  // Options.
  tk::TCheckBox *CheckBox1 = nullptr;
  tk::TCheckBox *CheckBox2 = nullptr;
  tk::TGroupBox *GroupBox2 = nullptr;
  tk::TCheckBox *CheckBox6 = nullptr;
  tk::TCheckBox *CheckBox7 = nullptr;
  tk::TCheckBox *CheckBox8 = nullptr;
  tk::TCheckBox *CheckBox9 = nullptr;
  tk::TCheckBox *CheckBox10 = nullptr;
  tk::TGroupBox *GroupBox3 = nullptr;
  tk::TShape *Shape1 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr; // Change...
  tk::TColorDialog *ColorDialog1 = nullptr;
  tk::TBitBtn *BitBtn11 = nullptr; // Get Wallpapers

  // Builds the page, runs the script encoder over it and writes the logo; leaves the page's
  // path in Label1. False (after saying why) when a setting is not valid; nothing is written
  // then.
  bool makehtm();
  // Sets Label1's path as the stretched wallpaper. False (after saying what failed) when the
  // Active Desktop object is missing or refuses.
  bool applywallpaper();

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn4Click(tk::TObject *Sender);
  void BitBtn6Click(tk::TObject *Sender);
  void BitBtn7Click(tk::TObject *Sender);
  void BitBtn8Click(tk::TObject *Sender);
  void BitBtn11Click(tk::TObject *Sender);
  void ListBox1DblClick(tk::TObject *Sender);
  void CheckBox1Click(tk::TObject *Sender);
  void CheckBox2MouseUp(tk::TObject *Sender, tk::TMouseButton Button, tk::TShiftState Shift, int X,
                        int Y);
  void CheckBox3MouseUp(tk::TObject *Sender, tk::TMouseButton Button, tk::TShiftState Shift, int X,
                        int Y);
  void BitBtn5Click(tk::TObject *Sender);
  void CheckBox6Click(tk::TObject *Sender);
  void CheckBox7Click(tk::TObject *Sender);
  void CheckBox8Click(tk::TObject *Sender);
  void CheckBox9Click(tk::TObject *Sender);
  void CheckBox10Click(tk::TObject *Sender);

protected:
  void Build() override;

private:
  void SaveList();
  // The page's settings from the form, every value checked; none (after naming the first value
  // that is not valid) when one fails, before anything is written.
  std::optional<WallpaperPageSettings> PageSettings();
  // Writes the checked page, runs the script encoder and writes the logo.
  bool WritePage(const WallpaperPageSettings &page);
  // Writes one XP icon box's value: DWORD 1 checked, 0 not. A refusal is gathered while the
  // form opens (one report for all of them), else reported at once.
  void WriteIconValue(tk::TCheckBox *box, const char *valueName);
  void ShowError(const std::string &text);
  bool CheckField(bool valid, const std::string &value, const std::string &field, const char *key,
                  const char *message);

  TRefusedWrites *openingRefusals_ = nullptr;
};

extern TFrmWallpaper *FrmWallpaper;

// The files of the page in the system folder, by the name every text shows (GetSystemDir).
std::string WallpaperListFile();
std::string WallpaperPageFile();
