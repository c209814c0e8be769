#include "features/packages/PackageForm.h"

#include "app/UnitMain.h"
#include "common/Translation.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TBitBtn *PlaceButton(TBitBtn *button, TWinControl *parent, int left, int top, int width,
                     const char *caption) {
  button->SetParent(parent);
  button->SetBounds(left, top, width, 28);
  button->SetCaption(caption);
  return button;
}

void BuildWorkingControls(TComponent *owner, TWinControl *parent, TListBox *&ListBox1,
                          TEdit *&Edit1) {
  ListBox1 = new TListBox(owner);
  ListBox1->SetName("ListBox1");
  ListBox1->SetParent(parent);
  ListBox1->SetBounds(8, 8, 200, 40);
  ListBox1->Tag = TranslationSkipTag;
  ListBox1->SetVisible(false);
  Edit1 = new TEdit(owner);
  Edit1->SetName("Edit1");
  Edit1->SetParent(parent);
  Edit1->SetBounds(8, 52, 200, 21);
  Edit1->Tag = TranslationSkipTag;
  Edit1->SetVisible(false);
}

void BuildInstallMenu(TComponent *owner, TPopupMenu *&PopupMenu1, TMenuItem *&Installfromdisk1,
                      TMenuItem *&Installfromweb1) {
  PopupMenu1 = new TPopupMenu(owner);
  PopupMenu1->SetName("PopupMenu1");
  Installfromdisk1 = new TMenuItem(owner);
  Installfromdisk1->SetName("Installfromdisk1");
  Installfromdisk1->SetCaption("Install from disk...");
  PopupMenu1->Items()->Add(Installfromdisk1);
  Installfromweb1 = new TMenuItem(owner);
  Installfromweb1->SetName("Installfromweb1");
  Installfromweb1->SetCaption("Install from web...");
  PopupMenu1->Items()->Add(Installfromweb1);
}

void ConfigureSearch(TSearchFolders *search, const char *mask) {
  search->FileMask = mask;
  search->ScanOptions = soSpecifiedDir;
  search->DoRecursive = true;
  search->UpdateList = true;
}

void PopupAtCursor(TPopupMenu *menu) {
  POINT at;
  GetCursorPos(&at);
  menu->Popup(at.x, at.y);
}

void OpenThemesPage(HWND owner) {
  GetShell().ShellExecute(owner, "", MakerThemesPage, "", "", SW_SHOWMAXIMIZED);
}

bool PackageChoiceStale(tk::TListView *List, tk::TListBox *Files, tk::TEdit *Chosen,
                        tk::TBitBtn *Apply) {
  tk::TListItem *item = List->Selected();
  std::string chosen = item && item->Index() < Files->Items().Count()
                           ? Files->Items().Strings(item->Index())
                           : std::string();
  return chosen != Chosen->Text() || Apply->Enabled() == chosen.empty();
}
