// The wallpaper's template: a background picture for the page, and the rectangle on a 200 x 150
// preview of it in which the pictures play. Its values go to the wallpaper form when it closes.
#pragma once

#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/ExtDlgs.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

class TFrmwallpaper_area : public tk::TForm {
public:
  using tk::TForm::TForm;
  ~TFrmwallpaper_area() override;
  const char *ClassName() const override { return "TFrmwallpaper_area"; }

  tk::TPanel *Panel1 = nullptr;
  tk::TImage *Image1 = nullptr;
  tk::TPanel *Panel2 = nullptr; // the area
  tk::TGroupBox *GroupBox1 = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TEdit *Edit4 = nullptr; // width
  tk::TLabel *Label2 = nullptr;
  tk::TEdit *Edit5 = nullptr; // height
  tk::TLabel *Label3 = nullptr;
  tk::TEdit *Edit6 = nullptr; // left
  tk::TLabel *Label4 = nullptr;
  tk::TEdit *Edit7 = nullptr; // top
  tk::TEdit *Edit8 = nullptr; // the template picture
  tk::TBitBtn *BitBtn11 = nullptr;
  tk::TOpenPictureDialog *op1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void BitBtn11Click(tk::TObject *Sender);
  void Panel2MouseMove(tk::TObject *Sender, tk::TShiftState Shift, int X, int Y);
  void Edit4Change(tk::TObject *Sender);
  void Edit5Change(tk::TObject *Sender);
  void Edit6Change(tk::TObject *Sender);
  void Edit7Change(tk::TObject *Sender);

protected:
  void Build() override;

private:
  void LoadPreview(const std::string &fileName);
};

extern TFrmwallpaper_area *Frmwallpaper_area;
