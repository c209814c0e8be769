// The built program started as a real child process, the way the shell starts it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ChildProgram.h"
#include "common/RegUnit.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;
using namespace childprogram;

namespace {

// The execution level the loader reads from a program's manifest.
ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION ManifestRunLevel(const std::string &exe) {
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
  std::wstring source(exe.begin(), exe.end());
  ACTCTXW request = {};
  request.cbSize = sizeof(request);
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = source.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  EXPECT_NE(context, INVALID_HANDLE_VALUE) << exe;
  if (context == INVALID_HANDLE_VALUE)
    return level;
  SIZE_T needed = 0;
  EXPECT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                           sizeof(level), &needed));
  ReleaseActCtx(context);
  return level;
}

BOOL CALLBACK FindTabs(HWND window, LPARAM found) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (lstrcmpiA(name, WC_TABCONTROLA) != 0)
    return TRUE;
  *reinterpret_cast<HWND *>(found) = window;
  return FALSE;
}

} // namespace

TEST(Program, RestoreEndsAtOnceWithoutAWindow) {
  Child child;
  ASSERT_TRUE(child.Start(testenv::BuiltProgramDir() + "Lumagrove.exe", "-restore"));
  bool sawWindow = false;
  for (int i = 0; i < 300 && !child.Ended(20); ++i)
    sawWindow = sawWindow || child.MainWindow() != nullptr;
  ASSERT_TRUE(child.Ended(0));
  EXPECT_FALSE(sawWindow);
  DWORD code = 1;
  GetExitCodeProcess(child.pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
}

TEST(Program, OnlyTheExactRestoreWordEndsIt) {
  std::string dir = ProgramCopy();
  for (const char *argument : {"-Restore", "/restore", "-restore2"}) {
    Child child;
    ASSERT_TRUE(child.Start(dir + "Lumagrove.exe", argument));
    EXPECT_NE(child.WaitForMainWindow(60000), nullptr) << argument;
    // Ended from outside, so this run writes nothing of its own.
  }
}

TEST(Program, ARunMarksItsFolderAndRemembersIt) {
  std::string dir = ProgramCopy();
  Child child;
  ASSERT_TRUE(child.Start(dir + "Lumagrove.exe", ""));
  HWND window = child.WaitForMainWindow(60000);
  ASSERT_NE(window, nullptr);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 698);
  EXPECT_EQ(client.bottom, 469);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(child.Ended(60000));

  EXPECT_TRUE(SameText(TakeRealValue(ProgramKey, "Exename"), dir));
  std::string ini = dir + "desktop.ini";
  ASSERT_TRUE(FileExists(ini));
  TIniFile desktop(ini);
  EXPECT_TRUE(
      SameText(desktop.ReadString(".ShellClassInfo", "IconFile", ""), dir + "Data\\Icon.dll"));
  EXPECT_EQ(desktop.ReadString(".ShellClassInfo", "IconIndex", ""), "2");
  EXPECT_EQ(desktop.ReadString(".ShellClassInfo", "InfoTip", ""), "Lumagrove folder");

  if (!testenv::KeepsAttributes())
    GTEST_SKIP() << "this file system does not keep Windows attributes under Wine";
  // The system adds the archive mark of its own accord; the rest is what the program set.
  const int kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  EXPECT_EQ(FileGetAttr(ini) & kept, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(FileGetAttr(dir) & kept, FILE_ATTRIBUTE_SYSTEM);
}

// A start-up password in the prefix's own registry, where the program started as a child reads
// it, for as long as it lives. Every other start of the program meanwhile would stop at the
// prompt, so the tests that set one run alone (tests/CMakeLists.txt).
struct RealPassword {
  RealPassword() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    WriteRegValue(HKEY_CURRENT_USER, ProgramKey, "PWD", "Secret", 1);
    RegOverridePredefKey(HKEY_CURRENT_USER, testenv::SandboxRoot(HKEY_CURRENT_USER));
  }
  ~RealPassword() { TakeRealValue(ProgramKey, "PWD"); }
};

// As "taskkill" without /F does: the prompt is sent WM_CLOSE. That ends the program, which
// leaves no trace of a run whose window never opened.
TEST(ProgramLock, APromptClosedFromOutsideEndsTheProgramUnmarked) {
  std::string dir = ProgramCopy();
  TakeRealValue(ProgramKey, "Exename"); // whatever an earlier run left
  Child child;
  HWND prompt = nullptr;
  {
    RealPassword password;
    ASSERT_TRUE(child.Start(dir + "Lumagrove.exe", ""));
    prompt = child.WaitForWindow("TkWindow", "Password", 60000);
  }
  ASSERT_NE(prompt, nullptr);
  PostMessageA(prompt, WM_CLOSE, 0, 0);
  ASSERT_TRUE(child.Ended(60000));
  EXPECT_FALSE(FileExists(dir + "desktop.ini"));
  EXPECT_EQ(TakeRealValue(ProgramKey, "Exename"), "");
}

TEST(Program, ItsManifestAsksForTheHighestLevelItsUserHas) {
  std::string exe = testenv::BuiltProgramDir() + "Lumagrove.exe";
  // Written in the trust section's older form, the one Windows XP SP2 also accepts.
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr);
  std::string text(static_cast<const char *>(LockResource(LoadResource(module, found))),
                   SizeofResource(module, found));
  FreeLibrary(module);
  EXPECT_NE(text.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">"), std::string::npos);

  // What the loader makes of it.
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = ManifestRunLevel(exe);
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_HIGHEST_AVAILABLE);
  EXPECT_EQ(level.UiAccess, 0u);
}

// Windows starts no program that asks for more than its user's rights from the Run key.
TEST(Program, TheHelpersManifestRunsItAsItsUser) {
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level =
      ManifestRunLevel(testenv::BuiltProgramDir() + "Hovelin.exe");
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
  EXPECT_EQ(level.UiAccess, 0u);
}

// As a user does it: the Explorer link, the form's last page, the form closed, the program
// closed. The program ends of itself with exit code 0 (the pages' handlers once ran on the
// freed preview form as the form went, and the program crashed at its close).
TEST(Program, EndsCleanlyAfterTheExplorerFormWasLeftOnItsLastPage) {
  std::string dir = ProgramCopy();
  Child child;
  ASSERT_TRUE(child.Start(dir + "Lumagrove.exe", ""));
  HWND main = child.WaitForMainWindow(60000);
  ASSERT_NE(main, nullptr);
  ClickAt(main, {386, 240}); // the Explorer link's picture
  HWND explorer = child.WaitForWindow("TkWindow", "Explorer", 60000);
  ASSERT_NE(explorer, nullptr);
  HWND tabs = nullptr;
  EnumChildWindows(explorer, FindTabs, reinterpret_cast<LPARAM>(&tabs));
  ASSERT_NE(tabs, nullptr);
  LRESULT count = SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0);
  ASSERT_GT(count, 1);
  for (LRESULT i = 1; i < count; ++i) {
    PostMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageA(tabs, WM_KEYUP, VK_RIGHT, 0xC0000001);
  }
  for (int i = 0; i < 200 && SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != count - 1; ++i)
    Sleep(50);
  ASSERT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), count - 1);
  PostMessageA(explorer, WM_CLOSE, 0, 0);
  ASSERT_NE(child.WaitForMainWindow(60000), nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(child.Ended(60000));
  DWORD code = 1;
  GetExitCodeProcess(child.pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
}
