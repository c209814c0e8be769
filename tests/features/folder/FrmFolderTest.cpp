// The Customize Folders form, opened from the main window's "Folders" link and used as a user
// would: a folder chosen in the real shell tree, the icon picker, Color and picture dialogs
// answered through the prompts door, and the files it writes read back.
#include "../../app/AppFixture.h"
#include "../../toolkit/FormTestSupport.h"

#include "features/folder/Func_Folder.h"
#include "features/folder/UnitFrmFolder.h"
#include "support/Registry.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

class FolderForm : public AppTest {
protected:
  // The main window, then the form through the "Folders" link.
  void OpenForm() {
    StartProgram();
    Frmmain->Show();
    Frmmain->Lbl_Folder->Click();
    ASSERT_NE(FrmFolder, nullptr);
    FrmFolder->Show();
    formtest::Pump();
  }

  // Finds the folder in the form's tree and clicks it.
  void Choose(const std::string &path) {
    TShellTreeNode *node = FrmFolder->ShellTreeView1->FindPath(path);
    ASSERT_NE(node, nullptr) << path;
    formtest::Pump();
    ASSERT_TRUE(formtest::ClickTreeNode(FrmFolder->ShellTreeView1, node)) << path;
    ASSERT_TRUE(SameText(FrmFolder->Edit1->Text(), path)) << "the click chose " << path;
  }

  // A key typed into a colour box while it has the focus.
  static void Type(TColorBox *box, WPARAM key, UINT message = WM_CHAR) {
    SendMessageA(box->Handle(), message, key, 0);
    formtest::Pump();
  }

  std::string Picture(const std::string &path) {
    TBitmap bitmap;
    bitmap.SetSize(16, 12);
    ForceDirectories(ExtractFileDir(path));
    bitmap.SaveToFile(path);
    return path;
  }

  // What the shell was asked to open (besides the tray icon's records).
  static std::vector<testenv::ShellCall> Opened() {
    std::vector<testenv::ShellCall> opened;
    for (const testenv::ShellCall &call : testenv::Shell().calls)
      if (call.what == "ShellExecute")
        opened.push_back(call);
    return opened;
  }

  static std::vector<DWORD> Drawn(HICON icon) { return testenv::IconPixels(icon); }
  static std::vector<DWORD> DrawnAt(const std::string &file, int index) {
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file.c_str(), UINT(index));
    std::vector<DWORD> pixels = Drawn(icon);
    DestroyIcon(icon);
    return pixels;
  }
  static std::vector<DWORD> Shown(TImage *image) { return Drawn(image->Picture().Icon().Handle()); }

  std::string NewFolder(const std::string &name) {
    std::string folder = testenv::TestDir() + name;
    EXPECT_TRUE(CreateDir(folder));
    return folder;
  }
};

} // namespace

TEST_F(FolderForm, AUserDressesAFolderAndTakesItBack) {
  std::string folder = NewFolder("Photos");
  std::string program = testenv::Places().programDir;
  std::string sky = Picture(program + "FolderBG\\Sky.bmp");
  OpenForm();
  EXPECT_FALSE(Frmmain->Visible()) << "the main window steps aside";
  EXPECT_EQ(FrmFolder->Caption(), "Customize Folders");

  Choose(folder);
  EXPECT_EQ(FrmFolder->Label1->Caption(), "Selected Folder:" + folder);

  // The picker opens on the program's folder icons; the user takes icon 4 of another file.
  testenv::Prompts().ExpectIconPick(1, "C:\\Icons\\sea,blue.icl", 4);
  FrmFolder->BitBtn3->Click();
  ASSERT_EQ(testenv::Prompts().SeenIconPicks().size(), 1u);
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].file, program + "Data\\foldericon.icl");
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].capacity, UINT(MAX_PATH));
  // A second look, cancelled, keeps that choice.
  testenv::Prompts().ExpectIconPick(0);
  FrmFolder->BitBtn3->Click();
  EXPECT_EQ(FrmFolder->LabelIcon->Caption(), "C:\\Icons\\sea,blue.icl,4");

  FrmFolder->Edit2->SetText("Summer by the sea");
  // Aqua by its initial; "Custom..." at the top of the other box asks the Color dialog.
  Type(FrmFolder->ColorBox1, 'a');
  EXPECT_EQ(FrmFolder->Label6->Font().Color(), clAqua);
  testenv::Prompts().ExpectColorDialog(RGB(0x12, 0x34, 0x56));
  Type(FrmFolder->ColorBox2, VK_HOME, WM_KEYDOWN);
  EXPECT_EQ(FrmFolder->Label6->Color(), TColor(RGB(0x12, 0x34, 0x56)));

  testenv::Prompts().ExpectFileDialog({sky});
  FrmFolder->BitBtn4->Click();
  EXPECT_EQ(testenv::Prompts().SeenDialogs().at(0).initialDir, program + "FolderBG\\");
  EXPECT_FALSE(FrmFolder->Image2->Picture().Graphic()->Empty());
  EXPECT_TRUE(FrmFolder->Label6->Transparent()) << "the sample lies on the picture";

  testenv::Prompts().Expect("The folder changed successfully!\rWould you like to open this "
                            "folder for preview?",
                            IDYES, "OK");
  FrmFolder->BitBtn1->Click();
  EXPECT_EQ(testenv::Prompts().Seen().back().flags, UINT(MB_YESNO | MB_ICONQUESTION));
  std::vector<testenv::ShellCall> opened = Opened();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].file, folder);
  EXPECT_EQ(opened[0].operation, "");
  EXPECT_EQ(opened[0].showCmd, SW_SHOWNORMAL);

  const std::string view = FolderViewSection;
  std::string ini = folder + "\\desktop.ini";
  EXPECT_EQ(testenv::ReadFile(ini), "[.ShellClassInfo]\r\n"
                                    "IconFile=C:\\Icons\\sea,blue.icl\r\n"
                                    "IconIndex=4\r\n"
                                    "InfoTip=Summer by the sea\r\n"
                                    "[" +
                                        view +
                                        "]\r\n"
                                        "IconArea_TextBackground=0x00563412\r\n"
                                        "IconArea_Text=0x00FFFF00\r\n"
                                        "IconArea_Image=" +
                                        sky +
                                        "\r\n"
                                        "[ExtShellFolderViews]\r\n" +
                                        view + "=" + view + "\r\n");

  testenv::Prompts().Expect("The folder restored successfully!", IDOK, "OK");
  FrmFolder->BitBtn2->Click();
  EXPECT_FALSE(FileExists(ini));
  // The form shows the folder as it now is: nothing of the old settings is left to write back.
  for (TEdit *edit : {FrmFolder->Edit2, FrmFolder->Edit3, FrmFolder->Edit4, FrmFolder->Edit5})
    EXPECT_EQ(edit->Text(), "") << edit->GetName();
  EXPECT_EQ(FrmFolder->LabelIcon->Caption(), "");
  EXPECT_EQ(FrmFolder->ColorBox2->Selected(), clWhite);

  testenv::Places().systemDir = testenv::RealSystemDir(); // where the help viewer lives
  FrmFolder->BitBtn5->Click();
  ASSERT_FALSE(testenv::Shell().helpCalls.empty());
  EXPECT_EQ(testenv::Shell().helpCalls.back().file, program + "Lumagrove.chm::/frmfolder.htm");

  FrmFolder->Close();
  formtest::Pump();
  EXPECT_TRUE(Frmmain->Visible()) << "closing the form brings the main window back";
}

TEST_F(FolderForm, ShowsWhatAFolderHoldsAndLeavesOthersKeys) {
  std::string folder = NewFolder("Music");
  std::string sand = Picture(testenv::TestDir() + "sand.bmp");
  std::string ini = folder + "\\desktop.ini";
  testenv::WriteFile(ini, "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21790\r\n"
                          "InfoTip=Songs\r\n[" +
                              std::string(FolderViewSection) +
                              "]\r\nIconArea_Text=0x000000FF\r\n"
                              "IconArea_TextBackground=0xZZ\r\nIconArea_Image=" +
                              sand + "\r\n");
  FileSetAttr(folder, FILE_ATTRIBUTE_SYSTEM);
  OpenForm();
  Choose(folder);

  EXPECT_EQ(FrmFolder->Edit2->Text(), "Songs");
  EXPECT_EQ(FrmFolder->Edit3->Text(), sand);
  // The stored red shows red; the background's text is no colour, so its box keeps its default
  // and the rest is read all the same.
  EXPECT_EQ(FrmFolder->ColorBox1->Selected(), clRed);
  EXPECT_EQ(FrmFolder->Label6->Font().Color(), clRed);
  EXPECT_EQ(FrmFolder->Edit4->Text(), "0x000000FF");
  EXPECT_EQ(FrmFolder->ColorBox2->Selected(), clWhite);
  EXPECT_EQ(FrmFolder->Edit5->Text(), "");
  EXPECT_FALSE(FrmFolder->Image2->Picture().Graphic()->Empty());
  EXPECT_TRUE(FrmFolder->Label6->Transparent());

  // "Default" and "None", the last two, write no colour.
  Type(FrmFolder->ColorBox2, 'g'); // gray
  EXPECT_EQ(FrmFolder->Edit5->Text(), "0x00808080");
  Type(FrmFolder->ColorBox2, VK_END, WM_KEYDOWN);
  EXPECT_EQ(FrmFolder->ColorBox2->Selected(), clDefault);
  EXPECT_EQ(FrmFolder->Edit5->Text(), "");
  Type(FrmFolder->ColorBox2, 'g');
  Type(FrmFolder->ColorBox2, VK_END, WM_KEYDOWN);
  Type(FrmFolder->ColorBox2, VK_UP, WM_KEYDOWN);
  EXPECT_EQ(FrmFolder->ColorBox2->Selected(), clNone);
  EXPECT_EQ(FrmFolder->Edit5->Text(), "");

  testenv::Prompts().Expect("The folder restored successfully!", IDOK);
  FrmFolder->BitBtn2->Click();
  EXPECT_EQ(testenv::ReadFile(ini),
            "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21790\r\n");
  if (testenv::KeepsAttributes()) {
    EXPECT_TRUE(FileGetAttr(folder) & FILE_ATTRIBUTE_SYSTEM) << "the key left needs the mark";
  }
}

TEST_F(FolderForm, AFolderKeepsALongInfoTipAndIndexMinusOneShowsTheDefaultIcon) {
  // The shell's folder icon is the program's icon 0; the folder's own names index -1, which is
  // no icon, and then resource ID 2 (its icon 1).
  const std::string icons = testenv::BuiltProgramDir() + "Data\\Icon.dll";
  testenv::SetStringValue(HKEY_LOCAL_MACHINE,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons",
                          "3", icons + ",0");
  ASSERT_NE(DrawnAt(icons, 0), DrawnAt(icons, 1));
  std::string folder = NewFolder("Notes");
  std::string ini = folder + "\\desktop.ini";
  std::string tip(3000, 't');
  tip.back() = 'Z';
  testenv::WriteFile(ini, "[.ShellClassInfo]\r\nIconFile=" + icons +
                              "\r\nIconIndex=-1\r\nInfoTip=" + tip + "\r\n");
  OpenForm();
  Choose(folder);
  EXPECT_EQ(Shown(FrmFolder->Image1), DrawnAt(icons, 0));
  EXPECT_EQ(FrmFolder->Edit2->Text(), tip);

  testenv::Prompts().Expect("The folder changed successfully!", IDNO);
  FrmFolder->BitBtn1->Click();
  EXPECT_EQ(TIniFile(ini).ReadString(".ShellClassInfo", "InfoTip", ""), tip);

  TIniFile(ini).WriteString(".ShellClassInfo", "IconIndex", "-2");
  Choose(folder);
  EXPECT_EQ(Shown(FrmFolder->Image1), DrawnAt(icons, 1));
}

TEST_F(FolderForm, RefusesWhatItCannotDo) {
  // An icon collection whose path does not fit the picker's buffer is not offered at all.
  std::string longData = "C:\\" + std::string(250, 'd') + "\\";
  WriteConfig("[Path]\r\nData=" + longData + "\r\n");
  std::string folder = NewFolder("Gone");
  OpenForm();
  Choose(folder);
  testenv::Prompts().Expect("too long for the icon picker", IDOK, "Error");
  FrmFolder->BitBtn3->Click();
  EXPECT_TRUE(testenv::Prompts().SeenIconPicks().empty());
  EXPECT_EQ(FrmFolder->LabelIcon->Caption(), "");

  // The folder went away after it was chosen: the error names it, and no success is claimed.
  ASSERT_TRUE(RemoveDir(folder));
  testenv::Prompts().Expect(folder, IDOK, "Error");
  FrmFolder->BitBtn1->Click();
  EXPECT_EQ(testenv::Prompts().Seen().back().flags & MB_ICONMASK, UINT(MB_ICONERROR));
  EXPECT_TRUE(Opened().empty());
}

// The prefix's system drive: a real drive root, which the tests that use it share in turns.
TEST_F(FolderForm, DriveRootTakesOnlyItsIcon) {
  const std::string inf = "C:\\Autorun.inf";
  DeleteFileA(inf.c_str());
  OpenForm();
  Choose("C:\\");

  // A picker that shows nothing (Wine's answers -1) picks nothing, and says so once; a
  // cancelled one says nothing. Either way Apply has no icon to write.
  testenv::Prompts().ExpectIconPick(-1, "C:\\Windows\\never.icl", 3);
  testenv::Prompts().Expect("This system offers no icon picker", IDOK);
  FrmFolder->BitBtn3->Click();
  testenv::Prompts().ExpectIconPick(0);
  FrmFolder->BitBtn3->Click();
  EXPECT_EQ(FrmFolder->LabelIcon->Caption(), "");
  testenv::Prompts().Expect("No icon was picked for this drive", IDOK);
  FrmFolder->BitBtn1->Click();
  EXPECT_FALSE(FileExists(inf));
  EXPECT_EQ(testenv::Prompts().Seen().size(), 2u);

  FrmFolder->Edit2->SetText("a drive has no info tip");
  testenv::Prompts().ExpectIconPick(1, "D:\\Icons\\a.icl", 5);
  FrmFolder->BitBtn3->Click();
  // Opened by the Windows folder's Explorer, not by whatever the drive's Autorun.inf names.
  testenv::Prompts().Expect("The folder changed successfully!", IDYES);
  FrmFolder->BitBtn1->Click();
  EXPECT_EQ(testenv::ReadFile(inf), "[Autorun]\r\nIcon=D:\\Icons\\a.icl,5\r\n");
  std::vector<testenv::ShellCall> opened = Opened();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].file, testenv::Places().windowsDir + "\\explorer.exe");
  EXPECT_EQ(opened[0].parameters, "\"C:\\\"");
  EXPECT_EQ(opened[0].showCmd, SW_SHOWNORMAL);
  EXPECT_FALSE(FileExists("C:\\desktop.ini"));

  testenv::Prompts().Expect("The driver restored successfully!", IDOK);
  FrmFolder->BitBtn2->Click();
  EXPECT_FALSE(FileExists(inf));
  // Nothing left to restore: nothing to say.
  FrmFolder->BitBtn2->Click();
  EXPECT_EQ(testenv::Prompts().Seen().size(), 4u);
}
