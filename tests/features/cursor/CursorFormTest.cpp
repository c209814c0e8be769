// The cursor packages form as the user meets it: opened by the main window's link, driven
// through its controls, against packages written by the test, the sample package and packages
// made with the zip tool.
#include "../../app/AppFixture.h"

#include "features/cursor/Func_CT.h"
#include "features/cursor/UnitFrmCur.h"
#include "support/Registry.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

using Pixels = std::vector<TColor>;

Pixels PixelsOf(TBitmap &bitmap) {
  Pixels pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      pixels.push_back(bitmap.Canvas().Pixels(x, y));
  return pixels;
}

Pixels RoleBitmap(const char *name) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), name);
  return PixelsOf(bitmap);
}

Pixels ListImage(TImageList *list, int index) {
  TBitmap image;
  EXPECT_TRUE(list->GetBitmap(index, image));
  return PixelsOf(image);
}

std::string Sample(const char *file) {
  return testenv::BuiltProgramDir() + "CursorThemes\\Grove\\" + file;
}

class CursorForm : public AppTest {
protected:
  void TearDown() override {
    AppTest::TearDown();
    FrmCur = nullptr;
  }

  std::string Themes() { return testenv::Places().programDir + "CursorThemes\\"; }

  // A package below the cursor package folder; its cursors are copies of the sample's.
  std::string AddPackage(const std::string &folder, const std::string &name,
                         const std::string &text,
                         std::initializer_list<std::pair<const char *, const char *>> cursors) {
    std::string dir = Themes() + folder + "\\";
    for (auto [copy, sample] : cursors)
      testenv::WriteFile(dir + copy, testenv::ReadFile(Sample(sample)));
    testenv::WriteFile(dir + name, text);
    return dir + name;
  }

  TFrmCur *Open() {
    testenv::WriteFile(testenv::Places().programDir + "Data\\Icon.dll",
                       testenv::ReadFile(testenv::BuiltProgramDir() + "Data\\Icon.dll"));
    if (!Frmmain)
      StartProgram();
    Frmmain->Lbl_Cursor->Click();
    return FrmCur;
  }

  // What the user sees in a preview.
  static Pixels Shown(TImage *image) { return PixelsOf(image->Picture().Bitmap()); }

  static void Choose(TFrmCur *form, int index) {
    form->ListView1->SetItemIndex(index);
    form->ListView1->Click();
  }

  int ItemOf(TFrmCur *form, const std::string &caption) {
    for (int i = 0; i < form->ListView1->Items().Count(); ++i)
      if (form->ListView1->Items()[i]->Caption() == caption)
        return i;
    ADD_FAILURE() << "no package " << caption;
    return -1;
  }
};

} // namespace

TEST_F(CursorForm, ListsEachPackageWithItsOwnArrow) {
  TFrmCur *empty = Open();
  EXPECT_TRUE(empty->Visible());
  EXPECT_FALSE(Frmmain->Visible());
  EXPECT_EQ(empty->PageControl1->ActivePage(), empty->TabSheet1);
  EXPECT_EQ(empty->Label8->Caption(), "Installed cursor packages:");
  EXPECT_EQ(empty->ListView1->Items().Count(), 0);
  empty->Close();
  EXPECT_TRUE(Frmmain->Visible());

  AddPackage("Blue", "Blue.ctheme", "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\n",
             {{"a.cur", "up.cur"}});
  AddPackage("Broken", "Broken.ctheme", "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\n", {});
  testenv::WriteFile(Themes() + "Broken\\a.cur", "not a cursor at all");
  AddPackage("Nameless", ".ctheme", "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\n",
             {{"a.cur", "no.cur"}});
  AddPackage("Plain", "Plain.ctheme", "[Cursors]\r\nHelp=%ThemeDir%a.cur\r\n",
             {{"a.cur", "up.cur"}});
  AddPackage("Twin", "Twin.ctheme", "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\n",
             {{"a.cur", "up.cur"}});
  CreateDirectoryA((Themes() + "Folder.ctheme").c_str(), nullptr);
  TFrmCur *form = Open();

  TListItems &items = form->ListView1->Items();
  ASSERT_EQ(items.Count(), 5);
  EXPECT_EQ(form->Label8->Caption(), "Installed cursor packages:5");
  ASSERT_EQ(form->ImageList1->Count(), 5);
  ASSERT_EQ(form->ListBox1->Items().Count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(items[i]->ImageIndex(), i);
    EXPECT_EQ(ExtractFileName(form->ListBox1->Items().Strings(i)), items[i]->Caption() + ".ctheme");
  }
  // A package whose arrow can't be loaded shows the fallback icon, as one without an arrow
  // does, and every package keeps its own picture at its own index.
  auto image = [&](const char *caption) {
    return ListImage(form->ImageList1, ItemOf(form, caption));
  };
  EXPECT_EQ(image("Broken"), image("Plain"));
  const Pixels plain = image("Plain");
  EXPECT_NE(std::count(plain.begin(), plain.end(), plain[0]), std::ptrdiff_t(plain.size()))
      << "the fallback icon is a picture";
  EXPECT_EQ(image("Blue"), image("Twin"));
  EXPECT_NE(image("Blue"), image("Plain"));
  EXPECT_NE(image(""), image("Plain"));
  EXPECT_NE(image(""), image("Blue"));
}

TEST_F(CursorForm, ChoosingAPackagePreviewsItOverTheCursorsInForce) {
  WriteRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Help", Sample("help.cur"), 1);
  AddPackage("Part", "Part.ctheme",
             "[Cursors]\r\nArrow=%ThemeDir%arrow.cur\r\nWait=%ThemeDir%busy.ani\r\n"
             "[Software Credits]\r\nAuthor=Pat Pointer\r\n",
             {{"arrow.cur", "arrow.cur"}, {"busy.ani", "busy.ani"}});
  TFrmCur *form = Open();
  const Pixels help = Shown(form->ImageHelp);
  EXPECT_NE(help, RoleBitmap("HELP"));
  EXPECT_EQ(Shown(form->ImageArrow), RoleBitmap("ARROW"));
  EXPECT_EQ(Shown(form->ImageWait), RoleBitmap("WAIT"));
  EXPECT_FALSE(form->BitBtn1->Enabled());

  Choose(form, 0);
  EXPECT_EQ(form->Edit1->Text(), Themes() + "Part\\Part.ctheme");
  EXPECT_TRUE(form->BitBtn1->Enabled());
  EXPECT_NE(Shown(form->ImageArrow), RoleBitmap("ARROW"));
  EXPECT_NE(Shown(form->ImageWait), RoleBitmap("WAIT"));
  EXPECT_EQ(Shown(form->ImageHelp), help);
  EXPECT_EQ(Shown(form->ImageIBeam), RoleBitmap("IBEAM"));
  EXPECT_TRUE(form->Label7->Visible());
  EXPECT_EQ(form->Label7->Caption(), "Author:Pat Pointer");

  // A click on empty space: back to the cursors in force.
  Choose(form, -1);
  EXPECT_EQ(form->Edit1->Text(), "");
  EXPECT_FALSE(form->BitBtn1->Enabled());
  EXPECT_FALSE(form->Label7->Visible());
  EXPECT_EQ(Shown(form->ImageArrow), RoleBitmap("ARROW"));
  EXPECT_EQ(Shown(form->ImageHelp), help);
}

// The arrows choose as a click does: what is previewed is what Apply applies.
TEST_F(CursorForm, TheKeyboardChoosesWhatApplyApplies) {
  AddPackage("Up", "Up.ctheme", "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\n", {{"a.cur", "up.cur"}});
  AddPackage("No", "No.ctheme", "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\n", {{"a.cur", "no.cur"}});
  TFrmCur *form = Open();
  ASSERT_EQ(form->ListView1->Items().Count(), 2);
  Choose(form, 0);
  const Pixels first = Shown(form->ImageArrow);
  SendMessageA(form->ListView1->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  ASSERT_EQ(form->ListView1->ItemIndex(), 1);
  const std::string second = form->ListBox1->Items().Strings(1);
  EXPECT_EQ(form->Edit1->Text(), second);
  EXPECT_NE(Shown(form->ImageArrow), first);
  testenv::Prompts().Expect("apply this cursor package", IDYES);
  form->BitBtn1->Click();
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Arrow"),
            ExtractFilePath(second) + "a.cur");

  // Nothing selected, without a click: nothing to apply, and the cursors in force shown.
  form->ListView1->SetItemIndex(-1);
  EXPECT_FALSE(form->BitBtn1->Enabled());
  EXPECT_EQ(form->Edit1->Text(), "");
  SendMessageA(form->ListView1->Handle(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(form->Edit1->Text(), form->ListBox1->Items().Strings(0));
  EXPECT_EQ(Shown(form->ImageArrow), first);
}

TEST_F(CursorForm, ApplyAsksAndRestoresFirstOnlyWhenTicked) {
  const std::string before = "C:\\Before\\wait.ani";
  std::string package = AddPackage("Lone", "Lone.ctheme", "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\n",
                                   {{"a.cur", "arrow.cur"}});
  WriteRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Wait", before, 1);
  TFrmCur *form = Open();
  ASSERT_TRUE(form->CheckBox3->Checked());
  Choose(form, 0);

  testenv::Prompts().Expect("Are you sure that you want to apply this cursor package?", IDNO,
                            "Confirm");
  form->BitBtn1->Click();
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Arrow"), "");
  EXPECT_EQ(testenv::Prompts().Seen().back().flags, UINT(MB_YESNO | MB_ICONQUESTION));

  // Ticked: every role the package lacks ends at the system's own.
  testenv::Prompts().Expect("apply this cursor package", IDYES);
  form->ListView1->DblClick();
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Arrow"),
            Themes() + "Lone\\a.cur");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Wait"), "");
  EXPECT_NE(Shown(form->ImageArrow), RoleBitmap("ARROW"));

  // Unticked (and remembered): the previous package's cursors stay.
  form->PageControl1->SetActivePage(form->TabSheet2);
  form->CheckBox3->SetChecked(false);
  EXPECT_EQ(TIniFile(testenv::Places().programDir + "Data\\Config.ini")
                .ReadString("Cursor", "RestoreBeforeApply", ""),
            "0");
  WriteRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Wait", before, 1);
  testenv::Prompts().Expect("apply this cursor package", IDYES);
  form->BitBtn1->Click();
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Wait"), before);

  // Restore asks nothing, and the previews show the system's cursors again.
  size_t prompts = testenv::Prompts().Seen().size();
  form->BitBtn2->Click();
  EXPECT_EQ(testenv::Prompts().Seen().size(), prompts);
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Arrow"), "");
  EXPECT_EQ(Shown(form->ImageArrow), RoleBitmap("ARROW"));

  // A package that vanished is not applied, and nothing is asked.
  DeleteFileA(package.c_str());
  form->BitBtn1->Click();
  EXPECT_EQ(testenv::Prompts().Seen().size(), prompts);
}

TEST_F(CursorForm, OpeningWritesNothingAndTheSettingsFollowTheUser) {
  const std::string xpMask("\x9E\x3E\x03\x80\x12\x00\x00\x00", 8);
  testenv::SetRawValue(HKEY_CURRENT_USER, Func_CT::DesktopKey, Func_CT::PreferencesMaskValue,
                       REG_BINARY, xpMask);
  WriteConfig("[Cursor]\r\nRestoreBeforeApply=0\r\n");
  auto trails = [] {
    return ReadRegValue(HKEY_CURRENT_USER, Func_CT::MouseKey, Func_CT::MouseTrailsValue);
  };
  auto mask = [] {
    DWORD type;
    std::string bytes;
    testenv::GetRawValue(HKEY_CURRENT_USER, Func_CT::DesktopKey, Func_CT::PreferencesMaskValue,
                         type, bytes);
    return bytes;
  };
  const std::string config = testenv::ReadFile(testenv::Places().programDir + "Data\\Config.ini");

  struct Stored {
    const char *trails;
    bool ticked;
    int position;
  } cases[] = {{"10", true, 7}, {"1", false, 7}, {"3", true, 3}, {"wiggly", false, 7}};
  for (const Stored &stored : cases) {
    WriteRegValue(HKEY_CURRENT_USER, Func_CT::MouseKey, Func_CT::MouseTrailsValue, stored.trails,
                  1);
    TFrmCur *form = Open();
    EXPECT_TRUE(form->CheckBox1->Checked()) << stored.trails;
    EXPECT_EQ(form->CheckBox2->Checked(), stored.ticked) << stored.trails;
    EXPECT_EQ(form->TrackBar1->Enabled(), stored.ticked) << stored.trails;
    EXPECT_EQ(form->TrackBar1->Position(), stored.position) << stored.trails;
    EXPECT_FALSE(form->CheckBox3->Checked());
    EXPECT_EQ(trails(), stored.trails);
    form->Close();
  }
  // Other tools store the trail in types of their own: each reads as its number, or as none.
  struct Odd {
    DWORD type;
    std::string bytes;
    int position; // 0: no trail
  } odd[] = {{REG_BINARY, std::string("\x03\x00", 2), 3},
             {REG_QWORD, std::string("\x05\0\0\0\0\0\0\0", 8), 5},
             {REG_QWORD, std::string("\x05\0\0\0\0\0\0\x01", 8), 0},
             {REG_BINARY, std::string(12, '\x04'), 0},
             {REG_SZ, std::string("4 or so\0", 8), 0}};
  for (const Odd &stored : odd) {
    testenv::SetRawValue(HKEY_CURRENT_USER, Func_CT::MouseKey, Func_CT::MouseTrailsValue,
                         stored.type, stored.bytes);
    TFrmCur *form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Visible()) << stored.type;
    EXPECT_EQ(form->CheckBox2->Checked(), stored.position != 0) << stored.type;
    EXPECT_EQ(form->TrackBar1->Position(), stored.position ? stored.position : 7) << stored.type;
    DWORD type = 0;
    std::string bytes;
    testenv::GetRawValue(HKEY_CURRENT_USER, Func_CT::MouseKey, Func_CT::MouseTrailsValue, type,
                         bytes);
    EXPECT_EQ(bytes, stored.bytes) << "opening wrote the trail";
    form->Close();
  }
  EXPECT_EQ(mask(), xpMask);
  EXPECT_EQ(testenv::ReadFile(testenv::Places().programDir + "Data\\Config.ini"), config);
  EXPECT_TRUE(testenv::Shell().ParameterCalls().empty());

  // The user acts: each change is stored at once.
  WriteRegValue(HKEY_CURRENT_USER, Func_CT::MouseKey, Func_CT::MouseTrailsValue, "10", 1);
  TFrmCur *form = Open();
  form->PageControl1->SetActivePage(form->TabSheet2);
  form->TrackBar1->SetPosition(4);
  EXPECT_EQ(trails(), "4");
  form->CheckBox2->SetChecked(false);
  EXPECT_EQ(trails(), "0");
  EXPECT_FALSE(form->TrackBar1->Enabled());
  form->CheckBox2->SetChecked(true);
  EXPECT_EQ(trails(), "4");
  EXPECT_TRUE(form->TrackBar1->Enabled());
  form->CheckBox1->SetChecked(false);
  EXPECT_EQ(mask(), std::string("\x9E\x1E\x03\x80\x12\x00\x00\x00", 8));
  form->CheckBox3->SetChecked(true);
  EXPECT_EQ(TIniFile(testenv::Places().programDir + "Data\\Config.ini")
                .ReadString("Cursor", "RestoreBeforeApply", ""),
            "1");
}

TEST_F(CursorForm, InstallsFromDiskAndReportsWhatBecameOfIt) {
  TFrmCur *form = Open();
  const std::string mice = std::string(LUMAGROVE_PACKAGE_INPUTS) + "\\Mice.zip";
  testenv::Prompts().ExpectFileDialog({mice});
  testenv::Prompts().Expect("Installed successfully", IDOK);
  form->Installfromdisk1->Click();
  EXPECT_EQ(testenv::Prompts().SeenDialogs().back().filter, "*.zip;*.ct|*.zip;*.ct");
  ASSERT_EQ(form->ListView1->Items().Count(), 1);
  EXPECT_EQ(form->ListView1->Items()[0]->Caption(), "Mice");
  EXPECT_TRUE(FileExists(Themes() + "Mice\\busy.ani"));
  Choose(form, 0);
  testenv::Prompts().Expect("apply this cursor package", IDYES);
  form->BitBtn1->Click();
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, "Wait"),
            Themes() + "Mice\\busy.ani");

  // A damaged package: the user learns which one, and how many of its files were lost.
  const std::string damaged =
      std::string(LUMAGROVE_ZIP_INPUTS) + "\\package\\grove-damaged.iptheme";
  testenv::Prompts().ExpectFileDialog({damaged});
  testenv::Prompts().Expect(damaged + " was not installed completely: 1 of its files", IDOK,
                            "Error");
  form->Installfromdisk1->Click();
  EXPECT_TRUE(form->Edit1->Text().empty());
  EXPECT_TRUE(DirectoryExists(Themes() + "grove-damaged"));

  // Something that is no archive at all.
  testenv::Prompts().ExpectFileDialog({Themes() + "Mice\\Mice.ctheme"});
  testenv::Prompts().Expect("holds nothing that could be installed", IDOK, "Error");
  form->Installfromdisk1->Click();
  EXPECT_EQ(form->ListView1->Items().Count(), 1);

  form->Installfromweb1->Click();
  const testenv::ShellCall &opened = testenv::Shell().calls.back();
  EXPECT_EQ(opened.what, "ShellExecute");
  EXPECT_EQ(opened.file, MakerThemesPage);
  EXPECT_EQ(opened.showCmd, SW_SHOWMAXIMIZED);
}

// Package files as they come from anywhere are listed and previewed without harm.
TEST_F(CursorForm, HostilePackagesAreListedAndPreviewedSafely) {
  std::string many;
  for (int i = 0; i < 5000; ++i)
    many += "%ThemeDir%";
  std::string garbage;
  for (int i = 0; i < 30000; ++i)
    garbage += char((i * 7919 + i / 13) % 256);
  AddPackage("Huge", "Huge.ctheme",
             "[Cursors]\r\nArrow=" + std::string(200000, 'x') +
                 "\r\n[Software Credits]\r\nAuthor=" + std::string(100000, 'y') + "\r\n",
             {});
  AddPackage("Bare", "Bare.ctheme", "Arrow=%ThemeDir%a.cur\r\n", {{"a.cur", "arrow.cur"}});
  AddPackage("Garbage", "Garbage.ctheme", garbage, {});
  AddPackage("Many", "Many.ctheme", "[Cursors]\r\nArrow=" + many + "\r\nWait=" + many + "\r\n", {});
  AddPackage("Fake", "Fake.ctheme",
             "[Cursors]\r\nArrow=%ThemeDir%a.cur\r\nHelp=%ThemeDir%a.cur\r\n", {});
  testenv::WriteFile(Themes() + "Fake\\a.cur", garbage);
  TFrmCur *form = Open();
  ASSERT_EQ(form->ListView1->Items().Count(), 5);
  EXPECT_EQ(form->ImageList1->Count(), 5);
  for (int i = 0; i < 5; ++i) {
    Choose(form, i);
    EXPECT_EQ(Shown(form->ImageArrow), RoleBitmap("ARROW")) << i;
    EXPECT_EQ(Shown(form->ImageHelp), RoleBitmap("HELP")) << i;
  }
}
