// Menus on real forms, pop-up menus through the right mouse button, and the file dialogs and
// message box through the prompts door.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "support/TestEnvironment.h"
#include "toolkit/forms/Dialogs.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/ExtDlgs.h"
#include "toolkit/forms/Menus.h"

using namespace tk;
using formtest::MakeForm;
using formtest::Pump;
using formtest::TestForm;

namespace {

std::string MenuText(HMENU menu, UINT position) {
  char text[64] = {};
  GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
  return text;
}

TMenuItem *NewItem(TComponent *owner, TMenuItem *parent, const std::string &caption) {
  auto *item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

} // namespace

TEST(MainMenu, AnEmptyMenuShowsNoBarAndItemsFollowTheirComponents) {
  TMainMenu *menu = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    menu = new TMainMenu(f);
    f->SetMenu(menu);
  });
  HWND h = form->Handle();
  EXPECT_EQ(GetMenu(h), nullptr);

  TMenuItem *file = NewItem(form.get(), menu->Items(), "&File");
  TMenuItem *open = NewItem(form.get(), file, "&Open");
  NewItem(form.get(), file, "-");
  TMenuItem *quit = NewItem(form.get(), file, "E&xit");
  HMENU bar = GetMenu(h);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MenuText(bar, 0), "&File");
  HMENU sub = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(sub), 3);
  EXPECT_EQ(GetMenuState(sub, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));

  open->SetCaption("&Open...");
  open->SetShortCut(ShortCut('O', ssCtrl));
  EXPECT_EQ(MenuText(sub, 0), "&Open...\tCtrl+O");
  open->SetChecked(true);
  EXPECT_TRUE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED);
  quit->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(sub), 2);

  // The menu's command, as choosing it sends it, and its shortcut.
  int opened = 0;
  open->OnClick = [&](TObject *) { ++opened; };
  SendMessageA(h, WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(form->IsShortCut('O', ssCtrl));
  EXPECT_EQ(opened, 2);
  EXPECT_FALSE(form->IsShortCut('O', 0));

  // Freeing an item takes it out of its menu.
  delete open;
  EXPECT_EQ(GetMenuItemCount(sub), 1);
  delete menu;
  EXPECT_EQ(GetMenu(h), nullptr);
  EXPECT_EQ(form->Menu(), nullptr);
}

TEST(PopupMenu, RightClickOnAControlShowsItsMenu) {
  TPanel *panel = nullptr;
  TPopupMenu *popup = nullptr;
  TMenuItem *first = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    panel = new TPanel(f);
    panel->SetParent(f);
    popup = new TPopupMenu(f);
    first = NewItem(f, popup->Items(), "First");
    NewItem(f, popup->Items(), "Second");
    panel->PopupMenu = popup;
  });
  form->Show();
  Pump();
  int chosen = 0;
  first->OnClick = [&](TObject *) { ++chosen; };
  // The "user" picks the first item with the keyboard once the menu is up.
  popup->OnPopup = [&](TObject *) {
    PostMessageA(form->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(form->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  };
  SendMessageA(panel->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageA(panel->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(popup->PopupComponent, panel);
}

TEST(OpenDialog, AsksThroughThePromptsAndReadsTheChoice) {
  InitApplication();
  TOpenDialog dialog(nullptr);
  dialog.Filter = "Icons (*.ico)|*.ico|All files|*.*";
  dialog.FilterIndex = 2;
  dialog.Title = "Choose an icon";
  dialog.InitialDir = "C:\\Icons";
  dialog.Options |= ofFileMustExist;
  testenv::Prompts().ExpectFileDialog({"C:\\Icons\\sun.ico"}, false, 1);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "C:\\Icons\\sun.ico");
  EXPECT_EQ(dialog.FilterIndex, 1);
  ASSERT_EQ(dialog.Files().Count(), 1);
  const testenv::SeenFileDialog &seen = testenv::Prompts().SeenDialogs().at(0);
  EXPECT_EQ(seen.filter, "Icons (*.ico)|*.ico|All files|*.*");
  EXPECT_EQ(seen.title, "Choose an icon");
  EXPECT_EQ(seen.initialDir, "C:\\Icons");
  EXPECT_EQ(seen.filterIndex, 2);
  EXPECT_TRUE(seen.flags & OFN_FILEMUSTEXIST);
  EXPECT_TRUE(seen.flags & OFN_HIDEREADONLY);

  // Cancelling leaves the file name as it was.
  testenv::Prompts().ExpectFileDialog({});
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "C:\\Icons\\sun.ico");
  EXPECT_EQ(dialog.Files().Count(), 0);
}

TEST(OpenDialog, SeveralFilesAndTheSaveDialog) {
  InitApplication();
  TOpenDialog open(nullptr);
  open.Options |= ofAllowMultiSelect;
  testenv::Prompts().ExpectFileDialog({"C:\\Dir\\a.txt", "C:\\Dir\\b.txt"});
  ASSERT_TRUE(open.Execute());
  ASSERT_EQ(open.Files().Count(), 2);
  EXPECT_EQ(open.Files().Strings(1), "C:\\Dir\\b.txt");
  EXPECT_EQ(open.FileName, "C:\\Dir\\a.txt");

  TSaveDialog save(nullptr);
  save.FileName = "old.txt";
  save.DefaultExt = "txt";
  testenv::Prompts().ExpectFileDialog({"C:\\Dir\\new.txt"}, true);
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName, "C:\\Dir\\new.txt");
  EXPECT_EQ(testenv::Prompts().SeenDialogs().back().fileName, "old.txt");
  EXPECT_EQ(testenv::Prompts().SeenDialogs().back().defaultExt, "txt");
}

namespace {

std::string CurrentFolder() {
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  return folder;
}

} // namespace

// The system's Open dialog moves the current folder to where the chosen file lies, even when
// asked not to; a program started by a bare name would then be looked for there first.
TEST(OpenDialog, TheRealDialogsLeaveTheCurrentFolderAsItWas) {
  InitApplication();
  std::string elsewhere = testenv::TestDir() + "Downloads";
  ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
  TBitmap bitmap;
  bitmap.SetSize(8, 8);
  bitmap.SaveToFile(elsewhere + "\\picture.bmp");
  std::string before = CurrentFolder();
  ASSERT_NE(before, elsewhere);

  // The "user" confirms each dialog as soon as it is up: the name the program put in is chosen.
  testenv::RealFileDialogs prompts;
  prompts.whenUp = [](HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  SetPrompts(&prompts);
  TOpenDialog open(nullptr);
  open.FileName = elsewhere + "\\picture.bmp";
  open.Options |= ofFileMustExist;
  bool opened = open.Execute();
  std::string afterOpen = CurrentFolder();
  TSaveDialog save(nullptr);
  save.FileName = elsewhere + "\\new.txt";
  bool saved = save.Execute();
  std::string afterSave = CurrentFolder();
  TOpenPictureDialog picture(nullptr);
  picture.FileName = elsewhere + "\\picture.bmp";
  bool pictured = picture.Execute();
  std::string afterPicture = CurrentFolder();
  SetPrompts(&testenv::Prompts());

  ASSERT_TRUE(opened);
  EXPECT_TRUE(SameText(open.FileName, elsewhere + "\\picture.bmp")) << open.FileName;
  EXPECT_EQ(afterOpen, before);
  ASSERT_TRUE(saved);
  EXPECT_EQ(afterSave, before);
  ASSERT_TRUE(pictured);
  EXPECT_EQ(afterPicture, before);
}

TEST(ShowMessage, UsesTheApplicationTitle) {
  InitApplication();
  Application->SetTitle("Lumagrove");
  testenv::Prompts().Expect("Done", IDOK, "Lumagrove");
  ShowMessage("Done.");
  EXPECT_EQ(testenv::Prompts().Seen().at(0).flags & MB_TYPEMASK, UINT(MB_OK));
}
