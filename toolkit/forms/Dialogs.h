// The common file dialogs and the message box.
#pragma once

#include <windows.h>

#include <commdlg.h> // after windows.h, which it needs

#include <cstdint>
#include <string>

#include "toolkit/core/Classes.h"
#include "toolkit/graphics/Graphics.h"

namespace tk {

enum TOpenOption : uint32_t {
  ofReadOnly = 1u << 0,
  ofOverwritePrompt = 1u << 1,
  ofHideReadOnly = 1u << 2,
  ofNoChangeDir = 1u << 3,
  ofShowHelp = 1u << 4,
  ofNoValidate = 1u << 5,
  ofAllowMultiSelect = 1u << 6,
  ofExtensionDifferent = 1u << 7,
  ofPathMustExist = 1u << 8,
  ofFileMustExist = 1u << 9,
  ofCreatePrompt = 1u << 10,
  ofShareAware = 1u << 11,
  ofNoReadOnlyReturn = 1u << 12,
  ofNoTestFileCreate = 1u << 13,
  ofNoNetworkButton = 1u << 14,
  ofNoLongNames = 1u << 15,
  ofOldStyleDialog = 1u << 16,
  ofNoDereferenceLinks = 1u << 17,
  ofEnableIncludeNotify = 1u << 18,
  ofEnableSizing = 1u << 19,
  ofDontAddToRecent = 1u << 20,
  ofForceShowHidden = 1u << 21,
};
using TOpenOptions = uint32_t;

// The system's Open dialog. Filter is "description|mask|description|mask" (masks separated by
// ";"), FilterIndex counts from 1. Execute shows the dialog through the prompts door and
// returns whether the user chose a file; FileName is then the (first) chosen file and Files()
// every chosen file.
class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent *owner);
  const char *ClassName() const override { return "TOpenDialog"; }

  std::string Filter;
  int FilterIndex = 1;
  std::string Title;
  std::string InitialDir;
  std::string FileName;
  std::string DefaultExt; // without the dot
  TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
  TStringList &Files() { return files_; }

  virtual bool Execute();

protected:
  bool Run(bool save);
  // Last changes to the request before the dialog is shown: kinds of dialog with more to show
  // (a preview) add their hook and template here.
  virtual void Customize(OPENFILENAMEA &ofn) { (void)ofn; }
  TStringList files_;
};

// The system's Save dialog: the same settings.
class TSaveDialog : public TOpenDialog {
public:
  using TOpenDialog::TOpenDialog;
  const char *ClassName() const override { return "TSaveDialog"; }
  bool Execute() override;
};

enum TColorDialogOption : uint32_t {
  cdFullOpen = 1u << 0,        // the custom-colour part open from the start
  cdPreventFullOpen = 1u << 1, // and no button to open it
  cdShowHelp = 1u << 2,
  cdSolidColor = 1u << 3, // only colours the display shows without dithering
  cdAnyColor = 1u << 4,
};
using TColorDialogOptions = uint32_t;

// The system's Color dialog. Execute starts it on Color and, when the user chooses, leaves the
// choice there. CustomColors holds the dialog's sixteen custom colours as "ColorA=RRGGBB" to
// "ColorP=RRGGBB" lines (the hexadecimal colour value, blue in the high byte); missing ones are
// white. The dialog's changes to them come back when the user chooses.
class TColorDialog : public TComponent {
public:
  explicit TColorDialog(TComponent *owner);
  const char *ClassName() const override { return "TColorDialog"; }

  TColor Color = clBlack;
  TColorDialogOptions Options = 0;
  TStringList &CustomColors() { return customColors_; }

  virtual bool Execute();

private:
  TStringList customColors_;
};

// A message box with an OK button and the application's title as its caption.
void ShowMessage(const std::string &text);

} // namespace tk
