#include <gtest/gtest.h>

#include "components/FileOperation.h"
#include "components/IconDialog.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/FileUtil.h"

namespace {

constexpr TFileOpFlags kQuiet = fofNoConfirmation | fofNoConfirmMkDir | fofSilent;

} // namespace

TEST(FileOperation, PathListsAndFlagsTakeTheShellsForm) {
  EXPECT_EQ(TFileOperation::ShellPathList("C:\\a.txt;C:\\b.txt"),
            std::string("C:\\a.txt\0C:\\b.txt\0\0", 19));
  EXPECT_EQ(TFileOperation::ShellPathList(""), std::string(2, '\0'));
  EXPECT_EQ(TFileOperation::ShellFlags(kQuiet),
            FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT);
  EXPECT_EQ(TFileOperation::ShellFlags(0x1FF), 0x3DF) << "every flag has its own bit";
}

TEST(FileOperation, CopiesAListOfFilesIntoANewFolder) {
  std::string dir = testenv::TestDir();
  testenv::WriteFile(dir + "one.txt", "first");
  testenv::WriteFile(dir + "two.txt", "second");
  TFileOperation op(nullptr);
  op.Operation = foCopy;
  op.Flags = kQuiet;
  op.FilesFrom = dir + "one.txt;" + dir + "two.txt";
  op.FilesTo = dir + "out";
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(op.OperationAborted());
  EXPECT_EQ(testenv::ReadFile(dir + "out\\one.txt"), "first");
  EXPECT_EQ(testenv::ReadFile(dir + "out\\two.txt"), "second");
  EXPECT_TRUE(tk::FileExists(dir + "one.txt")) << "a copy leaves its sources";
}

TEST(FileOperation, EachOperationReachesTheShellAsItsOwnFunction) {
  std::string dir = testenv::TestDir();
  testenv::WriteFile(dir + "a.txt", "a");
  TFileOperation op(nullptr);
  op.Flags = kQuiet;

  op.Operation = foRename;
  op.FilesFrom = dir + "a.txt";
  op.FilesTo = dir + "b.txt";
  EXPECT_TRUE(op.Execute());
  EXPECT_TRUE(tk::FileExists(dir + "b.txt"));

  op.Operation = foMove;
  op.FilesFrom = dir + "b.txt";
  op.FilesTo = dir + "Temp";
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(tk::FileExists(dir + "b.txt"));
  EXPECT_TRUE(tk::FileExists(dir + "Temp\\b.txt"));

  // Setting Active runs the operation; it never reads back as set.
  op.Operation = foDelete;
  op.FilesFrom = dir + "Temp\\b.txt";
  op.FilesTo = "";
  op.SetActive(true);
  EXPECT_FALSE(op.Active());
  EXPECT_FALSE(tk::FileExists(dir + "Temp\\b.txt"));
}

TEST(FileOperation, FailureShowsInTheResultOnly) {
  TFileOperation op(nullptr);
  op.Operation = foDelete;
  op.Flags = kQuiet;
  op.FilesFrom = testenv::TestDir() + "missing.txt";
  EXPECT_FALSE(op.Execute());
}

TEST(IconDialog, ConfirmedPickerGivesFileIndexAndIcon) {
  std::string library = testenv::BuiltProgramDir() + "Data\\Icon.dll";
  testenv::Prompts().ExpectIconPick(1, library, 2);
  TIconDialog dialog(nullptr);
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, library);
  EXPECT_EQ(dialog.IconIndex, 2);
  EXPECT_FALSE(dialog.Icon().Empty());
  ASSERT_EQ(testenv::Prompts().SeenIconPicks().size(), 1u);
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].file, "");
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].capacity, UINT(MAX_PATH));
}

TEST(IconDialog, CancelledPickerChangesNothing) {
  std::string library = testenv::BuiltProgramDir() + "Data\\Icon.dll";
  testenv::Prompts().ExpectIconPick(0);
  TIconDialog dialog(nullptr);
  dialog.FileName = library;
  dialog.IconIndex = 1;
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, library);
  EXPECT_EQ(dialog.IconIndex, 1);
  ASSERT_EQ(testenv::Prompts().SeenIconPicks().size(), 1u);
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].file, library) << "opens on the current file";
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].index, 1) << "and on the current icon";
}

TEST(IconDialog, NamesTooLongForThePickersBufferAreRefused) {
  TIconDialog dialog(nullptr);
  dialog.FileName = "C:\\" + std::string(297, 'x');
  dialog.IconIndex = 4;
  EXPECT_FALSE(dialog.Execute()); // any picker shown here would fail the test
  EXPECT_EQ(dialog.FileName.size(), 300u);
  EXPECT_EQ(dialog.IconIndex, 4);

  // The longest name that fits still reaches the picker whole.
  dialog.FileName = "C:\\" + std::string(MAX_PATH - 4, 'x');
  testenv::Prompts().ExpectIconPick(0);
  EXPECT_FALSE(dialog.Execute());
  ASSERT_EQ(testenv::Prompts().SeenIconPicks().size(), 1u);
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].file, dialog.FileName);
}
