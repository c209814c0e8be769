// Customize Folders: a folder's icon, info tip, background picture and icon-text colours, or a
// drive's icon, chosen in the shell's folder tree and written where the shell reads them.
#pragma once

#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ColorBox.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/ExtDlgs.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/ShellCtrls.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmFolder : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmFolder"; }

  tk::TShellTreeView *ShellTreeView1 = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TEdit *Edit1 = nullptr; // the chosen path
  tk::TLabel *Label2 = nullptr;
  tk::TImage *Image1 = nullptr;
  tk::TLabel *LabelIcon = nullptr; // the icon picked on this visit: file,index
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TLabel *Label3 = nullptr;
  tk::TEdit *Edit2 = nullptr;
  tk::TLabel *Label4 = nullptr;
  tk::TBevel *Bevel1 = nullptr;
  tk::TImage *Image2 = nullptr;
  tk::TLabel *Label6 = nullptr; // the sample icon text
  tk::TLabel *Label8 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr;
  tk::TEdit *Edit3 = nullptr; // background picture
  tk::TEdit *Edit4 = nullptr; // text colour text
  tk::TEdit *Edit5 = nullptr; // text background colour text
  tk::TLabel *Label5 = nullptr;
  tk::TColorBox *ColorBox1 = nullptr;
  tk::TLabel *Label7 = nullptr;
  tk::TColorBox *ColorBox2 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TOpenPictureDialog *opdialog1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void ShellTreeView1Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn4Click(tk::TObject *Sender);
  void ColorBox1Select(tk::TObject *Sender);
  void ColorBox2Select(tk::TObject *Sender);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);
  void Label8Click(tk::TObject *Sender);
  void pickicon();

protected:
  void Build() override;

private:
  void BuildIconAndTip();
  void BuildBackground();
  void BuildColours();
  // The fields emptied, then filled with what the chosen folder or drive holds now.
  void ReadTarget();
  void ResetFields();
  void ReadFolder(const std::string &folder);
  void ReadDrive(const std::string &drive);
  // The sample text lies over the picture when there is one, over its own colour otherwise.
  void ShowSampleBackground(tk::TColor color);
};

extern TFrmFolder *FrmFolder;
