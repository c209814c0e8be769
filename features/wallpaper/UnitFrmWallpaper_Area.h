// The wallpaper's template: a background picture for the page, and the rectangle on a 200 x 150
// preview of it in which the pictures play. Its values go to the wallpaper form when it closes.
#pragma once

#include <optional>
#include <string>

#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/ExtDlgs.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

// The message for a template value that is no number of preview pixels: the value, then the
// field's name. Both forms give it, this one when a field is left and the wallpaper form at Start.
inline constexpr const char *TemplateValueKey = "Wallpaper_12";
inline constexpr const char *TemplateValueMessage =
    "\"%s\" is not a valid value for \"%s\": enter a whole number of preview pixels (above 0 "
    "for the width and height).";

class TFrmwallpaper_area : public tk::TForm {
public:
  using tk::TForm::TForm;
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
  // Leaving one of the four edits: text that is no number is reported once the focus has moved.
  void EditExit(tk::TObject *Sender);

protected:
  void Build() override;
  void WndProc(tk::TMessage &message) override;

private:
  void LoadPreview(const std::string &fileName);
  // Reports the edit's text when it is no number and was not reported as it stands yet.
  void CheckEdit(tk::TEdit *edit);

  // The text last reported for each of Edit4 to Edit7, so that one bad value is told once.
  std::optional<std::string> reported_[4];
};

extern TFrmwallpaper_area *Frmwallpaper_area;
