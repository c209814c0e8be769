// The icon packages form as a user meets it: the installed packages with their pictures, the
// previews, applying with its question, restoring, the advanced settings, installing.
#include "IconFormFixture.h"

#include <set>

#include "archive/UnZipHarness.h"
#include "features/icons/Func_Icon.h"
#include "toolkit/win32/FileUtil.h"

using namespace icontest;
using namespace tk;

namespace {

const char *const MyComputer = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

class IconPackagesForm : public IconFormTest {
protected:
  void SetUp() override {
    IconFormTest::SetUp();
    themes = testenv::Places().programDir + "IconThemes\\";
  }

  TFrmIcon *Open() { return IconFormTest::Open(FrmIcon); }

  std::string Package(const std::string &relative, const std::string &text) {
    return WritePackage(themes + relative, text);
  }

  // The user clicks item i (or, with -1, beside the items).
  // A folder of the test's own named in the user's "Shell Folders".
  std::string ShellFolder(const char *valueName, const char *name) {
    const std::string folder = testenv::TestDir() + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    testenv::SetStringValue(HKEY_CURRENT_USER, ShellFolders, valueName, folder);
    return folder;
  }
  void Click(int i) {
    TListView *list = FrmIcon->ListView4;
    list->SetSelected(i < 0 ? nullptr : list->Items()[i]);
    list->Click();
  }

  int ItemNamed(const std::string &caption) {
    for (int i = 0; i < FrmIcon->ListView4->Items().Count(); ++i)
      if (FrmIcon->ListView4->Items()[i]->Caption() == caption)
        return i;
    return -1;
  }

  static std::string Shows(TImage *image) { return DrawnIcon(image->Picture().Icon().Handle()); }

  std::string themes;
};

TEST_F(IconPackagesForm, ListsEveryPackageWithItsPicture) {
  const std::string icl = FromProgram("IconThemes\\Meadow\\Meadow.icl", themes + "Blue\\blue.icl");
  Package("Blue\\Blue.iptheme", "[Desktop Icons]\r\nMy Computer=%ThemeDir%blue.icl,1\r\n");
  Package("Deep\\Sea\\Green.iptheme",
          "[Desktop Icons]\r\nMy Computer=%ThemeDir%..\\..\\Blue\\blue.icl,3\r\n");
  // A file that is there but holds no icon, and no My Computer at all.
  testenv::WriteFile(themes + "Red\\notes.txt", "no icon in here");
  Package("Red\\Red.iptheme", "[Desktop Icons]\r\nMy Computer=%ThemeDir%notes.txt,0\r\n");
  Package("Bare\\Bare.iptheme", "[Package Info]\r\nAuthor=Nobody\r\n");
  // Hostile files: binary garbage, and the folder word thousands of times in a huge value.
  std::string garbage, words;
  for (int i = 0; i < 100000; ++i)
    garbage += char((i * 7919) % 251 + 1);
  for (int i = 0; i < 5000; ++i)
    words += "%ThemeDir%";
  Package("Junk\\Junk.iptheme", garbage);
  Package("Huge\\Huge.iptheme", "[Desktop Icons]\r\nMy Computer=" + words + ",1\r\n" +
                                    "[Package Info]\r\nAuthor=" + std::string(100000, 'a'));
  Open();

  TListView *list = FrmIcon->ListView4;
  ASSERT_EQ(list->Items().Count(), 6);
  EXPECT_EQ(FrmIcon->ImageList1->Count(), 6);
  EXPECT_EQ(FrmIcon->Label6->Caption(), "Installed icon packages:6");
  const std::string fallback = DrawnLocation(testenv::Places().programDir + "Data\\Icon.dll", 0);
  ASSERT_NE(fallback, Blank());
  const std::pair<const char *, std::string> expected[] = {{"Blue", DrawnLocation(icl, 1)},
                                                           {"Green", DrawnLocation(icl, 3)},
                                                           {"Red", fallback},
                                                           {"Bare", fallback},
                                                           {"Junk", fallback},
                                                           {"Huge", fallback}};
  for (const auto &[caption, picture] : expected) {
    int i = ItemNamed(caption);
    ASSERT_GE(i, 0) << caption;
    EXPECT_EQ(list->Items()[i]->ImageIndex(), i) << caption;
    EXPECT_TRUE(DrawnImage(FrmIcon->ImageList1->Handle(), i) == picture) << caption;
    std::string path = FrmIcon->ListBox1->Items().Strings(i);
    EXPECT_TRUE(SameText(ExtractFileName(path), std::string(caption) + ".iptheme")) << path;
    EXPECT_EQ(path.find("\\\\"), std::string::npos) << path;
    EXPECT_TRUE(FileExists(path)) << path;
  }
  EXPECT_NE(DrawnLocation(icl, 1), fallback);
  // Choosing them shows what there is to show.
  Click(ItemNamed("Junk"));
  EXPECT_FALSE(FrmIcon->Label7->Visible());
  Click(ItemNamed("Huge"));
  EXPECT_TRUE(FrmIcon->Label7->Visible());

  // With nothing installed, the line carries no number.
  testenv::RemoveTree(themes);
  Open();
  EXPECT_EQ(FrmIcon->ListView4->Items().Count(), 0);
  EXPECT_EQ(FrmIcon->Label6->Caption(), "Installed icon packages:");
}

TEST_F(IconPackagesForm, PreviewShowsThePackageBesideWhatItLacks) {
  const std::string meadow = FromProgram("IconThemes\\Meadow\\Meadow.icl");
  FromProgram("IconThemes\\Dusk\\Dusk.icl");
  testenv::SetStringValue(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), "", meadow + ",1");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "3", meadow + ",11");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "23", meadow + ",9");
  // Index -1 names no icon: the shell keeps its own.
  const std::string shell32 =
      FromProgram("IconThemes\\Dusk\\Dusk.icl", testenv::Places().systemDir + "\\shell32.dll");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "8", meadow + ",-1");
  const std::string dusk = themes + "Dusk\\Dusk.icl";
  const std::string package =
      Package("Dusk\\Dusk.iptheme", "[Package Info]\r\nAuthor=Ann\r\n"
                                    "[Desktop Icons]\r\nMy Computer=%ThemeDir%Dusk.icl,1\r\n"
                                    "[Folder Icons]\r\nClosed Folder=%ThemeDir%Dusk.icl,11\r\n"
                                    "[Start Icons]\r\nHelp=%ThemeDir%missing.ico,0\r\n");
  Open();
  EXPECT_EQ(Shows(FrmIcon->Image5), DrawnLocation(meadow, 1));
  EXPECT_EQ(Shows(FrmIcon->Image8), DrawnLocation(meadow, 11));
  EXPECT_EQ(Shows(FrmIcon->Image12), DrawnLocation(meadow, 9));
  EXPECT_EQ(Shows(FrmIcon->Image9), DrawnLocation(shell32, 8));
  EXPECT_NE(DrawnLocation(shell32, 8), Blank());
  EXPECT_FALSE(FrmIcon->BitBtn1->Enabled());
  EXPECT_FALSE(FrmIcon->Label7->Visible());

  Click(0);
  EXPECT_EQ(FrmIcon->Edit1->Text(), package);
  EXPECT_TRUE(FrmIcon->BitBtn1->Enabled());
  EXPECT_EQ(Shows(FrmIcon->Image5), DrawnLocation(dusk, 1));
  EXPECT_EQ(Shows(FrmIcon->Image8), DrawnLocation(dusk, 11));
  EXPECT_NE(DrawnLocation(dusk, 11), DrawnLocation(meadow, 11));
  EXPECT_EQ(Shows(FrmIcon->Image12), DrawnLocation(meadow, 9)) << "a missing file keeps the icon";
  EXPECT_TRUE(FrmIcon->Label7->Visible());
  EXPECT_EQ(FrmIcon->Label7->Caption(), "Author:Ann");

  Click(-1);
  EXPECT_EQ(FrmIcon->Edit1->Text(), "");
  EXPECT_FALSE(FrmIcon->BitBtn1->Enabled());
  EXPECT_EQ(Shows(FrmIcon->Image5), DrawnLocation(meadow, 1));
}

TEST_F(IconPackagesForm, ApplyAsksFirstAndRestoresOnlyWhenTold) {
  const std::string system = testenv::Places().systemDir;
  const std::string myDocuments = ExplorerClsid("{450D8FBA-AD25-11D0-98A8-0800361B1103}");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "4", "mine.ico,0");
  testenv::SetStringValue(HKEY_CURRENT_USER, myDocuments, "", "mine.ico,1");
  const std::string package =
      Package("Blue\\Blue.iptheme", "[Desktop Icons]\r\nMy Computer=%ThemeDir%pc.ico,2\r\n");
  Open();
  Click(0);
  FrmIcon->CheckBox3->SetChecked(false);

  testenv::Prompts().Expect("Are you sure that you want to apply this icon package?", IDNO,
                            "Confirm");
  FrmIcon->BitBtn1->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), ""), "<missing>");
  ASSERT_EQ(testenv::Prompts().Seen().size(), 1u);
  EXPECT_EQ(testenv::Prompts().Seen()[0].flags, UINT(MB_YESNO | MB_ICONQUESTION));

  // A double click on the package is the same apply, question and all.
  testenv::Prompts().Expect("Are you sure", IDYES, "Confirm");
  testenv::Prompts().Expect("The icons changed successfully", IDOK, "OK");
  FrmIcon->ListView4->DblClick();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), ""), themes + "Blue\\pc.ico,2");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "4"), "mine.ico,0");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, myDocuments, ""), "mine.ico,1");

  // Restoring first puts the Windows icons back where the package has none.
  FrmIcon->CheckBox3->SetChecked(true);
  testenv::Prompts().Expect("Are you sure", IDYES);
  testenv::Prompts().Expect("The icons changed successfully", IDOK);
  FrmIcon->BitBtn1->Click();
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "4"), system + "\\shell32.dll,4");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, myDocuments, ""), system + "\\mydocs.dll,0");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), ""), themes + "Blue\\pc.ico,2");

  testenv::Prompts().Expect("The icons restored successfully.", IDOK, "OK");
  FrmIcon->BitBtn2->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), ""),
            testenv::Places().windowsDir + "\\explorer.exe,0");

  // A package that has gone since the list was made: nothing is asked, nothing done.
  DeleteFile(package);
  FrmIcon->BitBtn1->Click();
}

TEST_F(IconPackagesForm, AdvancedSettingsRoundTrip) {
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons", "2048");
  WriteConfig("[Icon]\r\nRestoreBeforeApply=0\r\n");
  Open();
  EXPECT_EQ(FrmIcon->SpinEdit1->Value(), 2048);
  EXPECT_FALSE(FrmIcon->CheckBox3->Checked());

  testenv::Prompts().Expect("The settings changed successfully!", IDOK, "OK");
  FrmIcon->BitBtn3->Click();
  DWORD type;
  std::string bytes;
  ASSERT_TRUE(
      testenv::GetRawValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons", type, bytes));
  EXPECT_EQ(type, DWORD(REG_DWORD));
  EXPECT_EQ(bytes, std::string("\x00\x08\x00\x00", 4));
  const std::string config = testenv::Places().programDir + "Data\\Config.ini";
  EXPECT_EQ(TIniFile(config).ReadString("Icon", "RestoreBeforeApply", ""), "0");

  testenv::Prompts().Expect("The settings changed successfully!", IDOK);
  FrmIcon->BitBtn4->Click();
  EXPECT_TRUE(FrmIcon->CheckBox3->Checked());
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons"), "1536");
  EXPECT_EQ(TIniFile(config).ReadString("Icon", "RestoreBeforeApply", ""), "1");

  // A size the spin edit can't hold is shown as the default, and Apply then works.
  for (const char *stored : {"lots", "100000", "-3"}) {
    testenv::SetStringValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons", stored);
    Open();
    EXPECT_EQ(FrmIcon->SpinEdit1->Value(), 1536) << stored;
    testenv::Prompts().Expect("The settings changed successfully!", IDOK);
    FrmIcon->BitBtn3->Click();
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons"), "1536");
  }

  // A standard user: the cache size is refused and said so; the per-user choice is kept.
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, IconCacheKey);
  FrmIcon->CheckBox3->SetChecked(false);
  FrmIcon->SpinEdit1->SetValue(4096);
  testenv::Prompts().Expect("\"Max Cached Icons\" under HKEY_LOCAL_MACHINE", IDOK, "Warning");
  FrmIcon->BitBtn3->Click();
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, IconCacheKey, "Max Cached Icons"), "1536");
  EXPECT_EQ(TIniFile(config).ReadString("Icon", "RestoreBeforeApply", ""), "0");
}

TEST_F(IconPackagesForm, InstallsFromDiskAndSaysWhatFailed) {
  using namespace ziptest;
  const std::string ocean = testenv::TestDir() + "Ocean.zip";
  WriteAll(ocean, MakeZip({Item("Ocean.iptheme", "[Desktop Icons]\r\nMy Computer=x.ico\r\n"),
                           Item("icons/x.txt", "x")}));
  Open();
  EXPECT_EQ(FrmIcon->Label6->Caption(), "Installed icon packages:");

  testenv::Prompts().ExpectFileDialog({ocean});
  testenv::Prompts().Expect("Installed successfully", IDOK);
  FrmIcon->Installfromdisk1->Click();
  EXPECT_EQ(testenv::Prompts().SeenDialogs().at(0).filter, "*.zip;*.ip|*.zip;*.ip");
  ASSERT_EQ(FrmIcon->ListView4->Items().Count(), 1);
  EXPECT_EQ(FrmIcon->ListView4->Items()[0]->Caption(), "Ocean");
  EXPECT_EQ(FrmIcon->Label6->Caption(), "Installed icon packages:1");

  // A package with entries that climb out of its folder: they fail, what arrived is listed,
  // and the user is told which archive and how many.
  const std::string reef = testenv::TestDir() + "Reef.zip";
  WriteAll(reef, MakeZip({Item("../../evil.txt", "x"), Item("..\\..\\..\\evil.txt", "x"),
                          Item("Reef.iptheme", "[Package Info]\r\nAuthor=R\r\n")}));
  testenv::Prompts().ExpectFileDialog({reef});
  testenv::Prompts().Expect("Reef.zip", IDOK, "Error");
  FrmIcon->Installfromdisk1->Click();
  const std::string told = testenv::Prompts().Seen().back().text;
  EXPECT_NE(told.find(" 2 "), std::string::npos) << told;
  EXPECT_EQ(FrmIcon->ListView4->Items().Count(), 2);
  EXPECT_GE(ItemNamed("Reef"), 0);
  EXPECT_FALSE(FileExists(testenv::Places().programDir + "evil.txt"));
  EXPECT_FALSE(FileExists(testenv::Places().root + "evil.txt"));

  // Something that is no archive at all is no success either.
  const std::string junk = testenv::TestDir() + "Junk.ip";
  testenv::WriteFile(junk, "not a zip file");
  testenv::Prompts().ExpectFileDialog({junk});
  testenv::Prompts().Expect("Junk.ip", IDOK, "Error");
  FrmIcon->Installfromdisk1->Click();

  // A cancelled dialog does nothing; the web install opens the maker's page in the browser.
  testenv::Prompts().ExpectFileDialog({});
  FrmIcon->Installfromdisk1->Click();
  FrmIcon->Installfromweb1->Click();
  ASSERT_FALSE(testenv::Shell().calls.empty());
  const testenv::ShellCall &web = testenv::Shell().calls.back();
  EXPECT_EQ(web.file, MakerThemesPage);
  EXPECT_EQ(web.showCmd, SW_SHOWMAXIMIZED);
}

// A standard user's apply with "Restore before apply" ticked: the machine-wide places and one
// folder refuse, everything else of the restore and the package is written, the shell hears of
// it though the user keeps no icon size, and one message says what was not changed.
TEST_F(IconPackagesForm, ARefusedApplyWritesTheRestAndSaysWhatWasNot) {
  RegisterDocumentTypes({"txt"});
  const std::string pictures = ShellFolder("My Pictures", "Pictures"),
                    music = ShellFolder("My Music", "Music");
  // Something that is no file stands where the music folder's desktop.ini would go.
  const std::string musicIni = music + "\\desktop.ini";
  CreateDirectoryA(musicIni.c_str(), nullptr);
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, ShellIcons);
  testenv::RefuseWrites(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon");
  HKEY metrics;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Metrics, 0, KEY_SET_VALUE, &metrics) == ERROR_SUCCESS) {
    RegDeleteValueA(metrics, "Shell Icon Size");
    RegCloseKey(metrics);
  }
  Package("Blue\\Blue.iptheme", "[Desktop Icons]\r\nMy Computer=%ThemeDir%pc.ico,2\r\n"
                                "[Folder Icons]\r\nClosed Folder=%ThemeDir%f.ico,1\r\n"
                                "My Pictures=%ThemeDir%p.ico,3\r\nMy Music=%ThemeDir%m.ico,4\r\n"
                                "Favorites=%ThemeDir%v.ico,5\r\n"
                                "[File Icons]\r\nText Document=%ThemeDir%t.ico,6\r\n");
  Open();
  Click(0);
  ASSERT_TRUE(FrmIcon->CheckBox3->Checked());

  testenv::Prompts().Expect("Are you sure", IDYES);
  testenv::Prompts().Expect("these settings were not", IDOK, "Warning");
  FrmIcon->BitBtn1->Click();

  const std::string blue = themes + "Blue\\";
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), ""), blue + "pc.ico,2");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid("{450D8FBA-AD25-11D0-98A8-0800361B1103}"), ""),
            testenv::Places().systemDir + "\\mydocs.dll,0")
      << "the restore's own per-user places are written too";
  EXPECT_EQ(FolderIcon(pictures), blue + "p.ico,3");
  EXPECT_EQ(FolderIcon(testenv::Places().favoritesDir), blue + "v.ico,5");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "3"), "<missing>");
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", ""), "<missing>");
  ASSERT_EQ(testenv::Prompts().Seen().size(), 2u) << "one message, and no success";
  const std::string told = testenv::Prompts().Seen().back().text;
  for (const std::string &place : {"HKEY_LOCAL_MACHINE\\" + std::string(ShellIcons),
                                   std::string("txtfile\\DefaultIcon"), musicIni})
    EXPECT_NE(told.find(place), std::string::npos) << place << " in " << told;
  // Each Shell Icons value counts once, though the restore and the apply were both refused it.
  std::set<std::string> refusedValues;
  for (const IconPlace &place : IconPlaces())
    if (*place.Section && place.Kind == IconPlaceKind::ShellIcon)
      refusedValues.insert(place.Target);
  EXPECT_NE(told.find(std::to_string(refusedValues.size()) + " values under HKEY_LOCAL_MACHINE\\" +
                      ShellIcons + ":"),
            std::string::npos)
      << told;
  EXPECT_TRUE(FrmIcon->BitBtn1->Enabled());
  EXPECT_GE(IconChangeNotices(), 1);
  EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon Size"), "<missing>")
      << "no icon size is made up";
}

// The arrow keys choose a package as a click does: it is previewed and it is what Apply applies.
TEST_F(IconPackagesForm, TheKeyboardChoosesWhatApplyApplies) {
  Package("Amber\\Amber.iptheme", "[Package Info]\r\nAuthor=Ann\r\n"
                                  "[Desktop Icons]\r\nMy Computer=amber.ico,1\r\n");
  Package("Birch\\Birch.iptheme", "[Desktop Icons]\r\nMy Computer=birch.ico,2\r\n");
  Open();
  FrmIcon->CheckBox3->SetChecked(false);
  TListView *list = FrmIcon->ListView4;
  ASSERT_EQ(list->Items().Count(), 2);
  Click(0);
  const std::string first = FrmIcon->Edit1->Text();
  EXPECT_TRUE(FrmIcon->Label7->Visible() == (first.find("Amber") != std::string::npos));

  SendMessageA(list->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(list->Handle(), WM_KEYUP, VK_RIGHT, 0);
  ASSERT_EQ(list->Selected(), list->Items()[1]);
  const std::string second = FrmIcon->ListBox1->Items().Strings(1);
  EXPECT_EQ(FrmIcon->Edit1->Text(), second);
  EXPECT_NE(second, first);
  EXPECT_TRUE(FrmIcon->BitBtn1->Enabled());
  EXPECT_TRUE(FrmIcon->Label7->Visible() == (second.find("Amber") != std::string::npos));

  testenv::Prompts().Expect("Are you sure", IDYES);
  testenv::Prompts().Expect("The icons changed successfully", IDOK);
  FrmIcon->BitBtn1->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), ""),
            second.find("Amber") != std::string::npos ? "amber.ico,1" : "birch.ico,2");

  // A selection emptied without a click disables Apply as an empty click does.
  list->SetSelected(nullptr);
  EXPECT_EQ(FrmIcon->Edit1->Text(), "");
  EXPECT_FALSE(FrmIcon->BitBtn1->Enabled());
}

// A package unpacked into a folder whose name holds a comma names its files all the same: its
// folder icons, its picture in the list and its previews.
TEST_F(IconPackagesForm, APackageFolderWithACommaKeepsItsFolderIcons) {
  const std::string dir = themes + "Blue, Red\\";
  const std::string icl = FromProgram("IconThemes\\Meadow\\Meadow.icl", dir + "blue.icl");
  const std::string pictures = ShellFolder("My Pictures", "Pictures"),
                    music = ShellFolder("My Music", "Music");
  Package("Blue, Red\\Blue.iptheme",
          "[Desktop Icons]\r\nMy Computer=%ThemeDir%blue.icl,1\r\n"
          "[Folder Icons]\r\nClosed Folder=%ThemeDir%blue.icl,11\r\n"
          "My Pictures=%ThemeDir%blue.icl,20\r\nMy Music=%ThemeDir%blue.icl,21\r\n"
          "Favorites=%ThemeDir%blue.icl,25\r\n");
  Open();
  ASSERT_EQ(FrmIcon->ListView4->Items().Count(), 1);
  EXPECT_TRUE(DrawnImage(FrmIcon->ImageList1->Handle(), 0) == DrawnLocation(icl, 1));
  Click(0);
  EXPECT_EQ(Shows(FrmIcon->Image5), DrawnLocation(icl, 1));
  EXPECT_EQ(Shows(FrmIcon->Image8), DrawnLocation(icl, 11));
  EXPECT_NE(DrawnLocation(icl, 1), Blank());

  FrmIcon->CheckBox3->SetChecked(false);
  testenv::Prompts().Expect("Are you sure", IDYES);
  testenv::Prompts().Expect("The icons changed successfully", IDOK);
  FrmIcon->BitBtn1->Click();
  EXPECT_EQ(FolderIcon(pictures), icl + ",20");
  EXPECT_EQ(FolderIcon(music), icl + ",21");
  EXPECT_EQ(FolderIcon(testenv::Places().favoritesDir), icl + ",25");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid(MyComputer), ""), icl + ",1");
}

} // namespace
