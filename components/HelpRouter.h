// The help router takes over the application's help requests and sends them to the HTML Help
// viewer or to WinHelp; beside it, the loader that binds HTML Help at run time, so that the
// program starts (and its help calls merely fail) where the library is missing.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/forms/Forms.h"

enum THelpType { htWinhelp, htHTMLhelp, htMixedMode };
// stMain shows context popups as ordinary topics in the main help window.
enum TShowType { stDefault, stMain, stPopup };

// One per process: a second one raises an exception. While it lives it is the application's
// help handler; the handler it replaced still hears every request first (after OnHelp).
class THelpRouter : public tk::TComponent {
public:
  explicit THelpRouter(tk::TComponent *owner);
  ~THelpRouter() override;
  const char *ClassName() const override { return "THelpRouter"; }

  THelpType HelpType = htWinhelp;
  TShowType ShowType = stDefault;
  std::string Helpfile;                      // when set, wins over every other help file
  std::string CHMPopupTopics = "CSHelp.txt"; // the text-popup topics inside the .chm
  bool ValidateID = false; // clean topic ids into file names before ".htm" is appended
  tk::THelpEvent OnHelp;

  // The application's help handler (WinHelp commands and their data).
  bool RouteHelp(WORD Command, int Data, bool &CallHelp);
  // Topic is a page inside the help file ("frmicon.htm#iconset"), or a topic id without
  // extension; empty opens the file's default page. An empty HelpFile takes the current one.
  bool ShowTopic(const std::string &HelpFile, const std::string &Topic);
  // A text popup at (X, Y) in screen coordinates: Text itself, or when empty the popup topic
  // HelpContext of CHMPopupTopics.
  bool ShowPopup(int X, int Y, int HelpContext, const std::string &Text);

private:
  tk::TCustomForm *HelpForm() const;
  std::string GetHelpFile() const;
  HWND GetHelpWindow() const;
  bool RouteToHtmlHelp(WORD command, int data, bool &callHelp);
  bool RouteToWinHelp(WORD command, int data);

  tk::THelpEvent savedHelp_;
  POINT popupPos_ = {0, 0}; // (0, 0): not set, the popup goes where the mouse is
};

// The HTML Help library of the system folder, loaded at the first request that needs it and
// kept until the end.
bool LoadHtmlHelp();
bool HtmlHelpLoaded(); // asks without loading
bool HtmlHelpAvailable();
// Lets the library go (the program's end does it; tests use it to start from nothing loaded).
void FreeHtmlHelp();
