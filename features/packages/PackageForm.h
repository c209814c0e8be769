// What the package forms (cursor packages, logon screens) build alike: their buttons, the
// hidden controls that hold their working data, the "Install new ..." menu and its web page.
#pragma once

#include "components/SFolders.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/StdCtrls.h"

tk::TBitBtn *PlaceButton(tk::TBitBtn *button, tk::TWinControl *parent, int left, int top, int width,
                         const char *caption);

// ListBox1, the package files in the list's order, and Edit1, the chosen one: never shown and
// never translated.
void BuildWorkingControls(tk::TComponent *owner, tk::TWinControl *parent, tk::TListBox *&ListBox1,
                          tk::TEdit *&Edit1);

// PopupMenu1 with Installfromdisk1 "Install from disk..." and Installfromweb1 "Install from
// web...".
void BuildInstallMenu(tk::TComponent *owner, tk::TPopupMenu *&PopupMenu1,
                      tk::TMenuItem *&Installfromdisk1, tk::TMenuItem *&Installfromweb1);

// Whether a selection change of the package list (the keyboard's comes without a click) leaves
// the chosen package (Edit1's text) or Apply's state out of step with the list, so the form
// should choose again. A change arrives as a deselect and then a select; asking after each
// leaves the chosen package matching the final selection.
bool PackageChoiceStale(tk::TListView *List, tk::TListBox *Files, tk::TEdit *Chosen,
                        tk::TBitBtn *Apply);

// A search for one mask through the whole tree below the folder it is given.
void ConfigureSearch(TSearchFolders *search, const char *mask);

// The install menu at the mouse pointer.
void PopupAtCursor(tk::TPopupMenu *menu);

// The maker's page of themes, maximised in the browser.
void OpenThemesPage(HWND owner);
