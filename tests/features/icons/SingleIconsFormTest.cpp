// The single icons form as a user meets it: its three lists and their changes and restores, the
// other file type, the icon cache, the Windows families, the advanced page; and the main road
// from the main window to an applied package.
#include "IconFormFixture.h"

#include "toolkit/win32/FileUtil.h"

using namespace icontest;
using namespace tk;

namespace {

const char *const RecycleBin = "{645FF040-5081-101B-9F08-00AA002F954E}";

class SingleIconsForm : public IconFormTest {
protected:
  void SetUp() override {
    IconFormTest::SetUp();
    meadow = FromProgram("IconThemes\\Meadow\\Meadow.icl");
    // The system's own icons, as far as the sandbox has them.
    shell32 =
        FromProgram("IconThemes\\Dusk\\Dusk.icl", testenv::Places().systemDir + "\\shell32.dll");
    RegisterDocumentTypes({"txt", "mp3"});
  }

  TFrmIconCus *Open() { return IconFormTest::Open(FrmIconCus); }

  static void Select(TListView *list, int i) {
    list->SetSelected(i < 0 ? nullptr : list->Items()[i]);
  }

  // A click of the left button, as the window gets it.
  static void MouseClick(TWinControl *control) {
    SendMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  }

  void Apply() {
    testenv::Prompts().Expect("The settings changed successfully!", IDOK, "OK");
    FrmIconCus->btn_save->Click();
  }

  std::string meadow, shell32;
};

TEST_F(SingleIconsForm, ListsShowWhatTheSystemHasImageForItem) {
  const std::string notes = testenv::TestDir() + "notes.txt";
  testenv::WriteFile(notes, "no icon in here");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "3", meadow + ",11");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "5", notes + ",0");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "7", meadow + ",-1");
  testenv::SetStringValue(HKEY_CURRENT_USER,
                          ExplorerClsid("{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), "",
                          meadow + ",1");
  testenv::SetStringValue(HKEY_CURRENT_USER, ExplorerClsid(RecycleBin), "full", "C:\\gone.ico,1");
  testenv::SetStringValue(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", meadow + ",57");
  Open();
  EXPECT_EQ(FrmIconCus->PageControl1->ActivePage(), FrmIconCus->TabSheet2);

  struct List {
    TListView *view;
    TImageList *images;
    int count;
  } lists[] = {{FrmIconCus->ListView1, FrmIconCus->ImageList1, 14},
               {FrmIconCus->ListView2, FrmIconCus->ImageList2, 18},
               {FrmIconCus->ListView3, FrmIconCus->ImageList3, 10}};
  for (const List &l : lists) {
    ASSERT_EQ(l.view->Items().Count(), l.count);
    EXPECT_EQ(l.images->Count(), l.count);
    for (int i = 0; i < l.count; ++i)
      EXPECT_EQ(l.view->Items()[i]->ImageIndex(), i);
  }
  // Each image in its item's place, whatever could or couldn't be loaded before it.
  HIMAGELIST system = FrmIconCus->ImageList2->Handle();
  EXPECT_TRUE(DrawnImage(system, 3) == DrawnLocation(meadow, 11));
  EXPECT_TRUE(DrawnImage(system, 4) == DrawnLocation(shell32, 4));
  EXPECT_TRUE(DrawnImage(system, 5) == Blank());
  EXPECT_TRUE(DrawnImage(system, 6) == DrawnLocation(shell32, 6));
  // Index -1 names no icon: the shell keeps its own.
  EXPECT_TRUE(DrawnImage(system, 7) == DrawnLocation(shell32, 7));
  EXPECT_FALSE(DrawnLocation(shell32, 7) == Blank());
  HIMAGELIST desktop = FrmIconCus->ImageList1->Handle();
  EXPECT_TRUE(DrawnImage(desktop, 0) == DrawnLocation(meadow, 1));
  EXPECT_TRUE(DrawnImage(desktop, 3) ==
              DrawnLocation(testenv::Places().programDir + "Data\\Icon.dll", 0));
  EXPECT_TRUE(DrawnImage(FrmIconCus->ImageList3->Handle(), 0) == DrawnLocation(meadow, 57));

  // The pop-up menus are drawn by the form, with their images.
  MENUITEMINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(FrmIconCus->PopupMenu2->Handle(), 0, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  MEASUREITEMSTRUCT measure = {ODT_MENU, 0, FrmIconCus->mnu3->Command(), 0, 0, 0};
  EXPECT_TRUE(SendMessageA(FrmIconCus->Handle(), WM_MEASUREITEM, 0, LPARAM(&measure)));
  EXPECT_GT(measure.itemWidth, 24u + 40u);
  EXPECT_EQ(FrmIconCus->ImageListpop->Count(), 2);
}

TEST_F(SingleIconsForm, ChangeAndRestoreOnEachPage) {
  const std::string system = testenv::Places().systemDir;
  const std::string bin = ExplorerClsid(RecycleBin);
  Open();
  auto &prompts = testenv::Prompts();

  // Desktop: the full Recycle Bin.
  Select(FrmIconCus->ListView1, 3);
  prompts.ExpectIconPick(1, meadow, 5);
  FrmIconCus->mnu1->Click();
  ASSERT_EQ(prompts.SeenIconPicks().size(), 1u);
  EXPECT_EQ(prompts.SeenIconPicks()[0].capacity, 260u);
  EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, "full"), meadow + ",5");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, ""), "<missing>");
  EXPECT_TRUE(DrawnImage(FrmIconCus->ImageList1->Handle(), 3) == DrawnLocation(meadow, 5));
  FrmIconCus->BitBtn3->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, "full"), system + "\\shell32.dll,32");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, ""), system + "\\shell32.dll,32");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, "empty"), "<missing>");

  // A cancelled picker, a file that isn't there, or no item chosen: nothing changes.
  prompts.ExpectIconPick(0);
  FrmIconCus->BitBtn2->Click();
  prompts.ExpectIconPick(1, "C:\\nowhere\\x.ico", 0);
  FrmIconCus->mnu1->Click();
  Select(FrmIconCus->ListView1, -1);
  FrmIconCus->mnu1->Click();
  FrmIconCus->mnu2->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, "full"), system + "\\shell32.dll,32");
  EXPECT_EQ(prompts.SeenIconPicks().size(), 3u);

  // System: the hard drive; its restore takes the value away.
  Select(FrmIconCus->ListView2, 8);
  prompts.ExpectIconPick(1, meadow, 30);
  FrmIconCus->ListView2->DblClick();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "8"), meadow + ",30");
  EXPECT_TRUE(DrawnImage(FrmIconCus->ImageList2->Handle(), 8) == DrawnLocation(meadow, 30));
  FrmIconCus->Mnu4->Click();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "8"), "<missing>");
  EXPECT_TRUE(DrawnImage(FrmIconCus->ImageList2->Handle(), 8) == DrawnLocation(shell32, 8));

  // Files: text documents.
  Select(FrmIconCus->ListView3, 0);
  prompts.ExpectIconPick(1, meadow, 57);
  FrmIconCus->BitBtn6->Click();
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", ""), meadow + ",57");
  FrmIconCus->mnu6->Click();
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", ""), system + "\\shell32.dll,70");
}

TEST_F(SingleIconsForm, OtherFileTypesAreCheckedBeforeAnyKey) {
  Open();
  auto &prompts = testenv::Prompts();
  FrmIconCus->Edit1->SetText(".mp3"); // a typed dot is dropped
  prompts.ExpectIconPick(1, meadow, 52);
  FrmIconCus->BitBtn1->Click();
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "mp3file\\DefaultIcon", ""), meadow + ",52");
  EXPECT_EQ(DrawnIcon(FrmIconCus->Image2->Picture().Icon().Handle()), DrawnLocation(meadow, 52));

  // Nothing to name a key by: no picker, nothing read or written.
  for (const char *typed : {"", ".", "a\\b"}) {
    FrmIconCus->Edit1->SetText(typed);
    FrmIconCus->BitBtn1->Click();
  }
  EXPECT_EQ(prompts.SeenIconPicks().size(), 1u);
  // A type Windows doesn't know: looking it up and picking for it make no key.
  FrmIconCus->Edit1->SetText("xyz");
  prompts.ExpectIconPick(1, meadow, 1);
  FrmIconCus->BitBtn1->Click();
  EXPECT_FALSE(testenv::KeyExists(HKEY_CLASSES_ROOT, ".xyz"));
}

TEST_F(SingleIconsForm, WindowsFamiliesPickAndRebuildTheirOwnWay) {
  auto &places = testenv::Places();
  // Windows 98: no desktop page, and the icon size goes to 0 and back to what it was.
  places.version = {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "A"};
  testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon Size", "48");
  Open();
  EXPECT_FALSE(FrmIconCus->TabSheet1->TabVisible());
  EXPECT_EQ(FrmIconCus->ImageList1->Count(), 0);
  {
    BroadcastListener listener;
    FrmIconCus->BitBtn9->Click();
    ASSERT_EQ(listener.heard.size(), 2u);
    EXPECT_EQ(listener.heard[0].what, 0u);
    EXPECT_EQ(listener.heard[0].size, "0");
    EXPECT_EQ(listener.heard[1].size, "48");
  }
  {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Metrics, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "Shell Icon Size");
    RegCloseKey(key);
    BroadcastListener listener;
    FrmIconCus->BitBtn9->Click();
    ASSERT_EQ(listener.heard.size(), 2u);
    EXPECT_EQ(listener.heard[1].size, "<missing>") << "no size before, none after";
  }

  // NT 4 picks through the older picker; it is opened on the file picked last.
  places.version = {VER_PLATFORM_WIN32_NT, 4, 0, "Service Pack 6"};
  Open();
  EXPECT_TRUE(FrmIconCus->TabSheet1->TabVisible());
  Select(FrmIconCus->ListView2, 0);
  testenv::Prompts().ExpectIconPick(1, meadow, 2);
  FrmIconCus->mnu3->Click();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "0"), meadow + ",2");

  // XP: the shell refreshes its icons by the size one lower and back.
  places.version = {VER_PLATFORM_WIN32_NT, 5, 1, ""};
  testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon Size", "32");
  Open();
  BroadcastListener listener;
  FrmIconCus->BitBtn9->Click();
  ASSERT_EQ(listener.heard.size(), 2u);
  EXPECT_EQ(listener.heard[0].what, WPARAM(SPI_SETNONCLIENTMETRICS));
  EXPECT_EQ(listener.heard[0].size, "31");
}

TEST_F(SingleIconsForm, AdvancedPageWritesOnlyWhatTheUserChanged) {
  const std::string system = testenv::Places().systemDir;
  const char *prefix = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "29", system + "\\docprop.dll,1");
  testenv::SetRawValue(HKEY_CURRENT_USER, prefix, "Link", REG_BINARY, std::string(4, '\0'));
  testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon BPP", "32");
  testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon Size", "48");
  Open();
  EXPECT_TRUE(FrmIconCus->RadioButton2->Checked());
  EXPECT_TRUE(FrmIconCus->CheckBox1->Checked());
  EXPECT_EQ(FrmIconCus->Label8->Caption(), "Lumagrove");
  EXPECT_TRUE(FrmIconCus->CheckBox2->Checked()) << "32 bits are all colours too";
  EXPECT_EQ(FrmIconCus->TrackBar1->Position(), 3);

  // The user makes the icons small: only the size is written.
  FrmIconCus->TrackBar1->SetPosition(1);
  TImage *pc = FrmIconCus->Image3;
  EXPECT_EQ(pc->Width(), 16);
  EXPECT_EQ(FrmIconCus->Label14->Left(), pc->Left() - 16);
  EXPECT_EQ(FrmIconCus->Label14->Top(), pc->Top() + 16 + 2);
  Apply();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon Size"), "16");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon BPP"), "32");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "29"), system + "\\docprop.dll,1");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, prefix, "Link"), "0");

  // Restore: the overlay shown again and the prefix back; the depth was all colours already.
  testenv::Prompts().Expect("The settings changed successfully!", IDOK);
  FrmIconCus->btn_restore->Click();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "29"), "<missing>");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, prefix, "Link"), "<missing>");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon BPP"), "32");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon Size"), "16");
  // Fewer colours, asked for.
  FrmIconCus->CheckBox2->SetChecked(false);
  Apply();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon BPP"), "4");
}

TEST_F(SingleIconsForm, TheOverlayChangesOnlyByItsOwnPicker) {
  const std::string shortcut = FromProgram("Data\\Shortcut.icl");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "29", meadow + ",36");
  testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon BPP", "8");
  Open();
  EXPECT_TRUE(FrmIconCus->RadioButton3->Checked());
  EXPECT_FALSE(FrmIconCus->CheckBox2->Checked());
  EXPECT_EQ(DrawnIcon(FrmIconCus->Image4->Picture().Icon().Handle()), DrawnLocation(meadow, 36));
  auto &prompts = testenv::Prompts();

  // A pick on another page is no overlay; neither is a cancelled overlay picker.
  Select(FrmIconCus->ListView2, 1);
  prompts.ExpectIconPick(1, meadow, 47);
  FrmIconCus->BitBtn4->Click();
  prompts.ExpectIconPick(0);
  MouseClick(FrmIconCus->RadioButton3);
  Apply();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "29"), meadow + ",36");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon BPP"), "8");

  // The overlay picker opens on our own overlays, and its pick is what Apply writes.
  prompts.ExpectIconPick(1, shortcut, 2);
  MouseClick(FrmIconCus->RadioButton3);
  ASSERT_EQ(prompts.SeenIconPicks().size(), 3u);
  EXPECT_EQ(prompts.SeenIconPicks()[2].file, shortcut);
  EXPECT_EQ(DrawnIcon(FrmIconCus->Image4->Picture().Icon().Handle()), DrawnLocation(shortcut, 2));
  EXPECT_NE(DrawnLocation(shortcut, 2), Blank());
  Apply();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "29"), shortcut + ",2");

  // A Data folder whose name the picker's buffer can't hold: the picker is not opened.
  WriteConfig("[Path]\r\nData=C:\\" + std::string(300, 'd') + "\\\r\n");
  MouseClick(FrmIconCus->RadioButton3);
  EXPECT_EQ(prompts.SeenIconPicks().size(), 3u);
}

// A picker that shows nothing (Wine's answers -1) picks nothing: each try says so once, the
// overlay choice shown goes back to the one in force, and Apply writes no icon.
TEST_F(SingleIconsForm, APickerThatShowsNothingPicksNothing) {
  Open();
  auto &prompts = testenv::Prompts();
  prompts.ExpectIconPick(-1, meadow, 1);
  prompts.Expect("This system offers no icon picker", IDOK);
  MouseClick(FrmIconCus->RadioButton3);
  EXPECT_TRUE(FrmIconCus->RadioButton1->Checked());
  Select(FrmIconCus->ListView2, 3);
  prompts.ExpectIconPick(-1, meadow, 2);
  prompts.Expect("This system offers no icon picker", IDOK);
  FrmIconCus->BitBtn4->Click();
  Apply();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "29"), "<missing>");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "3"), "<missing>");
  EXPECT_EQ(prompts.Seen().size(), 3u);
}

TEST_F(SingleIconsForm, TheMainRoadFromTheIconsLinkToAnAppliedPackage) {
  for (const char *name : {"Meadow", "Dusk"}) {
    FromProgram(std::string("IconThemes\\") + name + "\\" + name + ".icl");
    FromProgram(std::string("IconThemes\\") + name + "\\" + name + ".iptheme");
  }
  StartProgram();
  Frmmain->Show();
  Frmmain->Lbl_Icon->Click();
  ASSERT_NE(FrmIconCus, nullptr);
  EXPECT_TRUE(FrmIconCus->Visible());
  EXPECT_FALSE(Frmmain->Visible());
  EXPECT_EQ(FrmIconCus->PageControl1->ActivePage(), FrmIconCus->TabSheet2);

  const std::string closedFolderBefore = DrawnImage(FrmIconCus->ImageList2->Handle(), 3);
  FrmIconCus->Image3->DblClick();
  ASSERT_NE(FrmIcon, nullptr);
  EXPECT_TRUE(FrmIcon->Visible());
  EXPECT_EQ(FrmIcon->PageControl1->ActivePage(), FrmIcon->TabSheet1);
  TListView *list = FrmIcon->ListView4;
  ASSERT_EQ(list->Items().Count(), 2);
  int meadow = list->Items()[0]->Caption() == "Meadow" ? 0 : 1;
  EXPECT_EQ(list->Items()[meadow]->Caption(), "Meadow");
  list->SetSelected(list->Items()[meadow]);
  list->Click();
  testenv::Prompts().Expect("Are you sure", IDYES);
  testenv::Prompts().Expect("The icons changed successfully", IDOK);
  FrmIcon->BitBtn1->Click();
  const std::string package = testenv::Places().programDir + "IconThemes\\Meadow\\Meadow.icl";
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid("{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), ""),
            package + ",1");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "29"), package + ",36");
  EXPECT_EQ(FolderIcon(testenv::Places().favoritesDir), package + ",25");

  // The packages form's own way to the single icons (the same form), on their desktop page.
  TFrmIconCus *customize = FrmIconCus;
  FrmIcon->BitBtn9->Click();
  EXPECT_EQ(FrmIconCus, customize);
  EXPECT_EQ(FrmIconCus->PageControl1->ActivePage(), FrmIconCus->TabSheet1);
  // Closed, it returns to the Customize Icons it came from, which shows the package's icons.
  FrmIcon->Close();
  EXPECT_EQ(FrmIcon, nullptr);
  EXPECT_TRUE(FrmIconCus->Visible());
  EXPECT_FALSE(Frmmain->Visible());
  const std::string closedFolder = DrawnImage(FrmIconCus->ImageList2->Handle(), 3);
  const std::string place = Value(HKEY_LOCAL_MACHINE, ShellIcons, "3");
  EXPECT_NE(closedFolder, closedFolderBefore);
  EXPECT_TRUE(closedFolder == DrawnLocation(package, StrToInt(place.substr(place.rfind(',') + 1))));
  Frmmain->Lbl_Icon->Click();
  EXPECT_EQ(FrmIconCus, customize) << "the Icons link brings the open form forward";
}

// A standard user: the machine-wide Shell Icons refuse. A changed system icon keeps its old
// picture, as its value does, and Apply writes the per-user size but says what it could not do.
TEST_F(SingleIconsForm, ARefusedChangeKeepsItsPictureAndApplySaysSo) {
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, ShellIcons);
  Open();
  auto &prompts = testenv::Prompts();
  const std::string before = DrawnImage(FrmIconCus->ImageList2->Handle(), 8);
  ASSERT_NE(DrawnLocation(meadow, 30), before);
  Select(FrmIconCus->ListView2, 8);
  prompts.ExpectIconPick(1, meadow, 30);
  prompts.Expect("these settings were not", IDOK);
  FrmIconCus->BitBtn4->Click();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "8"), "<missing>");
  EXPECT_TRUE(DrawnImage(FrmIconCus->ImageList2->Handle(), 8) == before);
  EXPECT_EQ(IconChangeNotices(), 0) << "a change alone does not refresh the shell";

  FrmIconCus->RadioButton2->SetChecked(true);
  FrmIconCus->TrackBar1->SetPosition(1);
  prompts.Expect("these settings were not", IDOK);
  FrmIconCus->btn_save->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon Size"), "16");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "29"), "<missing>");
  EXPECT_NE(prompts.Seen().back().text.find("\"29\""), std::string::npos)
      << prompts.Seen().back().text;
  EXPECT_EQ(IconChangeNotices(), 1);
}

} // namespace
