// The folder and drive settings files, written and taken back on real folders and files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "features/folder/Func_Folder.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

const int Marks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const std::string View = FolderViewSection;

std::string NewFolder(const std::string &name) {
  std::string folder = testenv::TestDir() + name;
  EXPECT_TRUE(CreateDir(folder)) << folder;
  return folder;
}

} // namespace

TEST(FolderSettings, ApplyWritesTheShellsKeysAndAddsItsMarks) {
  std::string folder = NewFolder("Photos");
  ASSERT_EQ(FileSetAttr(folder, FILE_ATTRIBUTE_HIDDEN), 0);

  EXPECT_TRUE(SetFolderIcon(folder, "D:\\Icons\\a.icl", 5));
  EXPECT_TRUE(SetFolderInfoTip(folder, "Holidays"));
  EXPECT_TRUE(SetFolderBackground(folder, "", "0x000000FF", "C:\\Pictures\\sand.bmp"));

  std::string ini = folder + "\\desktop.ini";
  EXPECT_EQ(testenv::ReadFile(ini), "[.ShellClassInfo]\r\n"
                                    "IconFile=D:\\Icons\\a.icl\r\n"
                                    "IconIndex=5\r\n"
                                    "InfoTip=Holidays\r\n"
                                    "[" +
                                        View +
                                        "]\r\n"
                                        "IconArea_TextBackground=\r\n"
                                        "IconArea_Text=0x000000FF\r\n"
                                        "IconArea_Image=C:\\Pictures\\sand.bmp\r\n"
                                        "[ExtShellFolderViews]\r\n" +
                                        View + "=" + View + "\r\n");
  if (!testenv::KeepsAttributes())
    GTEST_SKIP() << "this file system does not keep Windows attributes under Wine";
  // The folder was hidden and stays so; the system mark is added to it.
  EXPECT_EQ(FileGetAttr(folder) & Marks, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(FileGetAttr(ini) & Marks, FILE_ATTRIBUTE_HIDDEN);
}

TEST(FolderSettings, RestoreTakesOutOnlyItsOwnKeys) {
  // Windows' own key and another program's section share the file with ours.
  std::string shared = NewFolder("Shared");
  std::string sharedIni = shared + "\\desktop.ini";
  testenv::WriteFile(sharedIni, "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21790\r\n"
                                "[ViewState]\r\nMode=4\r\n");
  ASSERT_TRUE(SetFolderIcon(shared, "C:\\a.ico", 0));
  ASSERT_TRUE(SetFolderBackground(shared, "0x00FFFFFF", "0x00000000", ""));
  EXPECT_EQ(RestoreFolder(shared), TRestoreResult::Restored);
  EXPECT_EQ(testenv::ReadFile(sharedIni),
            "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21790\r\n"
            "[ViewState]\r\nMode=4\r\n");

  // Nothing but ours: the file goes, and with it the folder's system mark alone.
  std::string own = NewFolder("Own");
  ASSERT_EQ(FileSetAttr(own, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), 0);
  ASSERT_TRUE(SetFolderInfoTip(own, "tip"));
  ASSERT_TRUE(SetFolderBackground(own, "", "", ""));
  EXPECT_EQ(RestoreFolder(own), TRestoreResult::Restored);
  EXPECT_FALSE(FileExists(own + "\\desktop.ini"));
  // A folder without desktop.ini has nothing to restore, which is no failure.
  EXPECT_EQ(RestoreFolder(own), TRestoreResult::Restored);

  if (!testenv::KeepsAttributes())
    GTEST_SKIP() << "this file system does not keep Windows attributes under Wine";
  // The shared file keeps the marks that keep its other keys in force.
  EXPECT_TRUE(FileGetAttr(shared) & FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(FileGetAttr(sharedIni) & FILE_ATTRIBUTE_HIDDEN);
  // Read-only, where the file system keeps it on folders (Wine does not), stays too.
  int readOnly = FileGetAttr(own) & FILE_ATTRIBUTE_READONLY;
  EXPECT_EQ(FileGetAttr(own) & Marks, FILE_ATTRIBUTE_HIDDEN | readOnly);
}

TEST(FolderSettings, RestoreTakesOutEveryCopyOfItsKeys) {
  // Copies of our keys, twice in a section and again in a second section of the same name,
  // which the shell would read once the first one goes; another program's key in that second
  // section stays.
  std::string folder = NewFolder("Copies");
  std::string ini = folder + "\\desktop.ini";
  testenv::WriteFile(ini, "[.ShellClassInfo]\r\nIconFile=a.ico\r\nIconIndex=1\r\n"
                          "IconFile=b.ico\r\nInfoTip=one\r\nInfoTip=two\r\n"
                          "[ExtShellFolderViews]\r\n" +
                              View + "=" + View + "\r\n" + View + "=" + View +
                              "\r\n[.ShellClassInfo]\r\nIconIndex=2\r\nOwner=them\r\n"
                              "InfoTip=three\r\n");
  EXPECT_EQ(RestoreFolder(folder), TRestoreResult::Restored);
  EXPECT_EQ(testenv::ReadFile(ini), "[.ShellClassInfo]\r\nOwner=them\r\n");
}

TEST(FolderSettings, WritesThatCannotHappenAreReported) {
  std::string missing = testenv::TestDir() + "Gone";
  EXPECT_FALSE(SetFolderIcon(missing, "C:\\a.ico", 1));
  EXPECT_FALSE(SetFolderInfoTip(missing, "tip"));
  EXPECT_FALSE(SetFolderBackground(missing, "", "", ""));
  EXPECT_FALSE(DirectoryExists(missing));
  // A settings file that cannot be written (here a folder holds its name) leaves the folder
  // unmarked.
  std::string folder = NewFolder("Blocked");
  ASSERT_TRUE(CreateDir(folder + "\\desktop.ini"));
  EXPECT_FALSE(SetFolderInfoTip(folder, "new"));
  EXPECT_EQ(FileGetAttr(folder) & FILE_ATTRIBUTE_SYSTEM, 0);
  // Neither a folder nor a drive.
  EXPECT_FALSE(SetFolderIcon("C:", "C:\\a.ico", 1));
  EXPECT_EQ(RestoreFolder(""), TRestoreResult::NotTarget);
}

// The system drive of the test prefix: a real drive root, shared by the test processes, so the
// tests that use it run one at a time.
TEST(FolderSettings, DriveRootTakesOnlyAnAutorunIcon) {
  const std::string root = "C:\\";
  const std::string inf = root + "Autorun.inf";
  DeleteFileA(inf.c_str());
  std::string desktopIniBefore = testenv::ReadFile(root + "desktop.ini");

  EXPECT_EQ(RestoreFolder(root), TRestoreResult::NoFile);
  EXPECT_TRUE(SetFolderIcon(root, "D:\\Icons\\a.icl", 5));
  EXPECT_FALSE(SetFolderInfoTip(root, "tip"));
  EXPECT_FALSE(SetFolderBackground(root, "", "", ""));
  EXPECT_EQ(testenv::ReadFile(inf), "[Autorun]\r\nIcon=D:\\Icons\\a.icl,5\r\n");
  EXPECT_EQ(testenv::ReadFile(root + "desktop.ini"), desktopIniBefore);

  // What a CD's own autorun asks for stays; the icon goes.
  TIniFile(inf).WriteString("Autorun", "open", "setup.exe");
  EXPECT_EQ(RestoreFolder(root), TRestoreResult::Restored);
  EXPECT_EQ(testenv::ReadFile(inf), "[Autorun]\r\nopen=setup.exe\r\n");
  TIniFile(inf).DeleteKey("Autorun", "open");
  ASSERT_TRUE(SetFolderIcon(root, "D:\\Icons\\a.icl", 5));
  EXPECT_EQ(RestoreFolder(root), TRestoreResult::Restored);
  EXPECT_FALSE(FileExists(inf));
}

TEST(FolderSettings, ColourTextsFollowTheShellsLayout) {
  EXPECT_EQ(FolderColorText(clAqua), "0x00FFFF00");
  EXPECT_EQ(FolderColorText(clNavy), "0x00800000");
  EXPECT_EQ(FolderColorText(TColor(0x00ABCDEF)), "0x00ABCDEF");

  TColor color = clBlack;
  EXPECT_TRUE(ReadFolderColorText("0x000000FF", color));
  EXPECT_EQ(color, clRed);
  EXPECT_TRUE(ReadFolderColorText("0x00c0c0c0", color));
  EXPECT_EQ(color, clSilver);
  for (const char *bad : {"", "0x", "none", "0x00GG0000", "0x1FFFFFFF", "0x000000FF00"}) {
    color = clLime;
    EXPECT_FALSE(ReadFolderColorText(bad, color)) << bad;
    EXPECT_EQ(color, clLime) << bad;
  }
}
