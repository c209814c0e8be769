#include "toolkit/win32/Seams.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

using namespace tk;

TEST(Seams, ScriptedPromptsAnswerInOrder) {
  testenv::Prompts().Expect("first", IDYES);
  testenv::Prompts().Expect("", IDCANCEL, "Confirm");
  EXPECT_EQ(GetPrompts().MessageBox(nullptr, "the first question", "Confirm", MB_YESNO), IDYES);
  EXPECT_EQ(GetPrompts().MessageBox(nullptr, "anything", "Confirm", MB_OKCANCEL), IDCANCEL);
  ASSERT_EQ(testenv::Prompts().Seen().size(), 2u);
  EXPECT_EQ(testenv::Prompts().Seen()[1].flags, UINT(MB_OKCANCEL));
}

TEST(Seams, UnexpectedPromptFailsAndBacksOutWithoutBlocking) {
  int answer = 0;
  EXPECT_NONFATAL_FAILURE(
      answer = GetPrompts().MessageBox(nullptr, "Delete everything?", "Confirm", MB_YESNO),
      "unexpected prompt");
  EXPECT_EQ(answer, IDNO);
  EXPECT_NONFATAL_FAILURE(answer = GetPrompts().MessageBox(nullptr, "x", "", MB_OKCANCEL),
                          "unexpected prompt");
  EXPECT_EQ(answer, IDCANCEL);
}

TEST(Seams, ShellIsRecordedAndStartsNothingUnlessAllowed) {
  GetShell().ShellExecute(nullptr, "open", "http:\\\\example", "", "", SW_SHOWNORMAL);
  char cmd[] = "notepad.exe";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  EXPECT_FALSE(GetShell().CreateProcess(cmd, FALSE, 0, &si, &pi));
  ASSERT_EQ(testenv::Shell().calls.size(), 2u);
  EXPECT_EQ(testenv::Shell().calls[0].file, "http:\\\\example");
  EXPECT_EQ(testenv::Shell().calls[1].file, "notepad.exe");
}

TEST(Seams, EachTestGetsFreshFoldersOfItsOwn) {
  auto &places = testenv::Places();
  EXPECT_EQ(GetPlaces().ProgramDir(), places.programDir);
  for (const std::string &dir : {places.programDir, places.systemDir, places.windowsDir,
                                 places.tempDir, places.favoritesDir})
    EXPECT_NE(GetFileAttributesA(dir.c_str()), INVALID_FILE_ATTRIBUTES) << dir;
  // Nothing of an earlier test is left in the program folder.
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((places.programDir + "*").c_str(), &fd);
  int entries = 0;
  if (h != INVALID_HANDLE_VALUE) {
    do
      ++entries;
    while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  EXPECT_EQ(entries, 2) << "only . and ..";
}

TEST(Seams, UnexpectedFileDialogFailsAndIsCancelled) {
  char file[MAX_PATH] = "keep.txt";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof(file);
  ofn.lpstrTitle = "Pick";
  bool chosen = true;
  EXPECT_NONFATAL_FAILURE(chosen = GetPrompts().FileDialog(ofn, false), "unexpected Open dialog");
  EXPECT_FALSE(chosen);
  EXPECT_STREQ(file, "keep.txt");
  // A scripted Open dialog does not answer a Save dialog.
  testenv::Prompts().ExpectFileDialog({"C:\\a.txt"});
  EXPECT_NONFATAL_FAILURE(chosen = GetPrompts().FileDialog(ofn, true), "unexpected Save dialog");
  EXPECT_FALSE(chosen);
  EXPECT_TRUE(GetPrompts().FileDialog(ofn, false));
  EXPECT_STREQ(file, "C:\\a.txt");
  EXPECT_EQ(ofn.nFileOffset, 3);
}
