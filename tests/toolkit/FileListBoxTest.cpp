// The file list box over a real folder: which files it lists, and the window it fills.
#include <gtest/gtest.h>

#include <windows.h>

#include "FormTestSupport.h"
#include "support/TestEnvironment.h"
#include "toolkit/forms/FileCtrl.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;
using formtest::MakeForm;

TEST(FileListBox, ListsTheFilesOfItsMasksWhoseMarksItAccepts) {
  if (!testenv::KeepsAttributes())
    GTEST_SKIP() << "this file system keeps no hidden or read-only marks";
  std::string dir = testenv::TestDir() + "Pictures\\";
  for (const char *name : {"b.bmp", "a.BMP", "hidden.bmp", "locked.bmp", "photo.jpg", "x.txt"})
    testenv::WriteFile(dir + name, "x");
  CreateDirectoryA((dir + "folder.bmp").c_str(), nullptr);
  FileSetAttr(dir + "hidden.bmp", FILE_ATTRIBUTE_HIDDEN);
  FileSetAttr(dir + "locked.bmp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);

  TFileListBox *list = nullptr;
  auto form = MakeForm([&](formtest::TestForm *f) {
    list = new TFileListBox(f);
    list->SetParent(f);
    list->SetBounds(8, 8, 200, 200);
  });
  list->SetMask("*.bmp; *.jpg");
  list->SetDirectory(dir);
  // Normal files alone: no hidden, no read-only one, no folder; sorted whatever the case.
  EXPECT_EQ(list->Items().GetText(), "a.BMP\r\nb.bmp\r\nphoto.jpg\r\n");
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(list->FileName(), "");
  list->SetItemIndex(2);
  EXPECT_EQ(list->FileName(), dir + "photo.jpg");

  list->SetFileType(ftNormal | ftReadOnly);
  EXPECT_EQ(list->Items().GetText(), "a.BMP\r\nb.bmp\r\nlocked.bmp\r\nphoto.jpg\r\n");
  list->SetFileType(ftNormal | ftReadOnly | ftHidden);
  EXPECT_EQ(list->Items().GetText(), "a.BMP\r\nb.bmp\r\nhidden.bmp\r\nlocked.bmp\r\nphoto.jpg\r\n");
  list->SetFileType(ftDirectory);
  EXPECT_EQ(list->Items().GetText(), "folder.bmp\r\n");
}
