#include <gtest/gtest.h>

#include "components/FileOperation.h"
#include "components/IconDialog.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/FileUtil.h"

using tk::FileExists;

TEST(FileOperation, CopiesAListOfFilesIntoANewFolder) {
  EXPECT_EQ(TFileOperation::ShellPathList("C:\\a;C:\\b"), std::string("C:\\a\0C:\\b\0\0", 11));
  EXPECT_EQ(TFileOperation::ShellFlags(0x1FF), 0x3DF) << "every flag has its own bit";

  std::string dir = testenv::TestDir();
  testenv::WriteFile(dir + "one.txt", "first");
  testenv::WriteFile(dir + "two.txt", "second");
  TFileOperation op(nullptr);
  op.Flags = fofNoConfirmation | fofNoConfirmMkDir | fofSilent;
  op.FilesFrom = dir + "one.txt;" + dir + "two.txt";
  op.FilesTo = dir + "out";
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(op.OperationAborted());
  EXPECT_EQ(testenv::ReadFile(dir + "out\\one.txt"), "first");
  EXPECT_EQ(testenv::ReadFile(dir + "out\\two.txt"), "second");
  EXPECT_TRUE(FileExists(dir + "one.txt"));
}

TEST(FileOperation, EachOperationReachesTheShellAsItsOwnFunction) {
  std::string dir = testenv::TestDir();
  testenv::WriteFile(dir + "a.txt", "a");
  TFileOperation op(nullptr);
  op.Flags = fofNoConfirmation | fofSilent;
  op.Operation = foRename;
  op.FilesFrom = dir + "a.txt";
  op.FilesTo = dir + "b.txt";
  EXPECT_TRUE(op.Execute());
  op.Operation = foMove;
  op.FilesFrom = dir + "b.txt";
  op.FilesTo = dir + "Temp";
  EXPECT_TRUE(op.Execute());
  EXPECT_TRUE(FileExists(dir + "Temp\\b.txt"));
  EXPECT_FALSE(FileExists(dir + "b.txt"));

  op.Operation = foDelete;
  op.FilesFrom = dir + "Temp\\b.txt";
  op.SetActive(true); // runs at once, and never reads back as set
  EXPECT_FALSE(op.Active());
  EXPECT_FALSE(FileExists(dir + "Temp\\b.txt"));
  EXPECT_FALSE(op.Execute()) << "failure shows in the result only";
}

TEST(IconDialog, PickerResultsAndCancel) {
  std::string library = testenv::BuiltProgramDir() + "Data\\Icon.dll";
  testenv::Prompts().ExpectIconPick(1, library, 2);
  testenv::Prompts().ExpectIconPick(0);
  TIconDialog dialog(nullptr);
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, library);
  EXPECT_EQ(dialog.IconIndex, 2);
  EXPECT_FALSE(dialog.Icon().Empty());

  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, library);
  EXPECT_EQ(dialog.IconIndex, 2);
  const auto &seen = testenv::Prompts().SeenIconPicks();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].file, "");
  EXPECT_EQ(seen[0].capacity, UINT(MAX_PATH));
  EXPECT_EQ(seen[1].file, library) << "opens on the current file";
  EXPECT_EQ(seen[1].index, 2) << "and on the current icon";
}

TEST(IconDialog, NamesTooLongForThePickersBufferAreRefused) {
  TIconDialog dialog(nullptr);
  dialog.FileName = "C:\\" + std::string(297, 'x');
  EXPECT_FALSE(dialog.Execute()); // a picker shown here would fail the test
  EXPECT_EQ(dialog.FileName.size(), 300u);

  dialog.FileName.resize(MAX_PATH - 1); // the longest that fits still reaches it whole
  testenv::Prompts().ExpectIconPick(0);
  EXPECT_FALSE(dialog.Execute());
  ASSERT_EQ(testenv::Prompts().SeenIconPicks().size(), 1u);
  EXPECT_EQ(testenv::Prompts().SeenIconPicks()[0].file, dialog.FileName);
}
