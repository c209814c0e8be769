#include "toolkit/win32/FileUtil.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "toolkit/core/SysUtils.h"

using namespace tk;

TEST(FileUtil, FilesAndFoldersAreToldApart) {
  std::string dir = testenv::TestDir();
  testenv::WriteFile(dir + "a.txt", "12345");
  EXPECT_TRUE(FileExists(dir + "a.txt"));
  EXPECT_FALSE(FileExists(dir + "Temp")) << "a folder is no file";
  EXPECT_FALSE(FileExists(dir + "b.txt"));
  EXPECT_TRUE(DirectoryExists(dir + "Temp"));
  EXPECT_TRUE(DirectoryExists(dir + "Temp\\"));
  EXPECT_FALSE(DirectoryExists(dir + "a.txt"));
  EXPECT_EQ(FileSize(dir + "a.txt"), 5);
  EXPECT_EQ(FileSize(dir + "b.txt"), -1);
  EXPECT_EQ(FileSize(dir + "Temp"), -1);
  testenv::WriteFile(dir + "empty", "");
  EXPECT_EQ(FileSize(dir + "empty"), 0);
}

TEST(FileUtil, DeleteAndRename) {
  std::string dir = testenv::TestDir();
  testenv::WriteFile(dir + "old.txt", "old");
  testenv::WriteFile(dir + "taken.txt", "taken");
  EXPECT_FALSE(RenameFile(dir + "old.txt", dir + "taken.txt")) << "never overwrites";
  EXPECT_EQ(testenv::ReadFile(dir + "taken.txt"), "taken");
  EXPECT_TRUE(RenameFile(dir + "old.txt", dir + "new.txt"));
  EXPECT_FALSE(FileExists(dir + "old.txt"));
  EXPECT_EQ(testenv::ReadFile(dir + "new.txt"), "old");
  EXPECT_TRUE(DeleteFile(dir + "new.txt"));
  EXPECT_FALSE(DeleteFile(dir + "new.txt"));
  EXPECT_FALSE(DeleteFile(dir + "Temp")) << "folders are not deleted as files";
}

TEST(FileUtil, AttributesRoundTrip) {
  std::string file = testenv::TestDir() + "attr.txt";
  testenv::WriteFile(file, "x");
  EXPECT_EQ(FileGetAttr(file + ".missing"), -1);
  EXPECT_EQ(FileSetAttr(file + ".missing", FILE_ATTRIBUTE_NORMAL), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(FileSetAttr(file, FILE_ATTRIBUTE_READONLY), 0);
  EXPECT_TRUE(FileGetAttr(file) & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteFile(file)) << "read-only files stay";
  ASSERT_EQ(FileSetAttr(file, FILE_ATTRIBUTE_NORMAL), 0);
  EXPECT_FALSE(FileGetAttr(file) & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(FileGetAttr(testenv::TestDir() + "Temp") & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileUtil, FoldersAreMadeOneOrManyLevelsAtATime) {
  std::string root = testenv::TestDir();
  EXPECT_TRUE(ForceDirectories(root + "a\\b\\c\\d"));
  EXPECT_TRUE(DirectoryExists(root + "a\\b\\c\\d"));
  EXPECT_TRUE(ForceDirectories(root + "a\\b\\e\\")) << "trailing backslash";
  EXPECT_TRUE(DirectoryExists(root + "a\\b\\e"));
  EXPECT_TRUE(ForceDirectories(root + "f/g/h")) << "forward slashes";
  EXPECT_TRUE(DirectoryExists(root + "f\\g\\h"));
  EXPECT_TRUE(ForceDirectories(root + "a\\b")) << "already there";
  EXPECT_TRUE(ForceDirectories(root.substr(0, 3))) << "a drive's root";
  EXPECT_FALSE(CreateDir(root + "a\\b")) << "already there";
  EXPECT_FALSE(CreateDir(root + "x\\y")) << "a single level only";
  EXPECT_FALSE(RemoveDir(root + "a\\b")) << "not empty";
  EXPECT_TRUE(RemoveDir(root + "a\\b\\e"));

  // Failures end instead of climbing forever.
  testenv::WriteFile(root + "file", "x");
  EXPECT_FALSE(ForceDirectories(root + "file\\sub\\deeper"));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_FALSE(ForceDirectories("Q:\\no\\such\\drive"));
  EXPECT_FALSE(ForceDirectories("\\\\\\"));
}

TEST(FileUtil, CurrentFolderHasNoTrailingBackslash) {
  std::string saved = GetCurrentDir();
  ASSERT_FALSE(saved.empty());
  std::string dir = testenv::TestDir() + "Temp";
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  std::string seen = GetCurrentDir();
  SetCurrentDirectoryA(saved.c_str());
  EXPECT_TRUE(SameText(seen, dir)) << seen;
}
