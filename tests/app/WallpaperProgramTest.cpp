// The Wallpapers link of the built program, used as a user would: a picture added through the
// Open dialog, Start, and the page, the list and the logo in the system folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ChildProgram.h"
#include "common/RegUnit.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;
using namespace childprogram;

namespace {

struct Found {
  const char *caption;
  HWND window;
};

BOOL CALLBACK MatchCaption(HWND child, LPARAM data) {
  auto *f = reinterpret_cast<Found *>(data);
  char text[64] = {};
  GetWindowTextA(child, text, sizeof(text));
  if (std::string(text) != f->caption)
    return TRUE;
  f->window = child;
  return FALSE;
}

// The child control of a window with that caption, at any depth.
HWND ControlCalled(HWND window, const char *caption) {
  Found found{caption, nullptr};
  EnumChildWindows(window, MatchCaption, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

std::string SystemFile(const char *name) {
  char dir[MAX_PATH] = {};
  GetSystemDirectoryA(dir, MAX_PATH);
  return std::string(dir) + "\\" + name;
}

} // namespace

TEST(WallpaperProgram, AddAPictureAndStartWritesThePageListAndLogo) {
  const char *files[] = {"Lumagrove_wp.html", "Lumagrove_wp.lst", "wplogo.gif"};
  for (const char *name : files)
    DeleteFileA(SystemFile(name).c_str());
  std::string dir = ProgramCopy();
  std::string picture = testenv::TestDir() + "Beach.jpg";
  ASSERT_TRUE(CopyFileA((dir + "Wallpaper\\Lumagrove02.jpg").c_str(), picture.c_str(), FALSE));
  Child child;
  ASSERT_TRUE(child.Start(dir + "Lumagrove.exe", ""));
  HWND main = child.WaitForMainWindow(60000);
  ASSERT_NE(main, nullptr);
  Sleep(1500); // the opening outline
  // The Wallpapers link's picture (PanelMain at 170,49; the picture at 192,72 in it).
  ClickAt(main, {386, 145});
  HWND form = child.WaitForWindow(nullptr, "Wallpapers", 20000);
  ASSERT_NE(form, nullptr);

  PostMessageA(ControlCalled(form, "Add file(s)"), BM_CLICK, 0, 0);
  HWND open = child.WaitForWindow("#32770", nullptr, 20000);
  ASSERT_NE(open, nullptr);
  Sleep(500);
  HWND name = GetDlgItem(open, 0x47C); // the file name box
  if (!name)
    name = GetDlgItem(open, 0x480);
  ASSERT_NE(name, nullptr);
  SendMessageTimeoutA(name, WM_SETTEXT, 0, LPARAM(picture.c_str()), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  PostMessageA(open, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 200 && child.Window("#32770", nullptr); ++i)
    Sleep(50);

  PostMessageA(ControlCalled(form, "Start"), BM_CLICK, 0, 0);
  // Without an Active Desktop (as under Wine) the program says so and keeps the form open;
  // with one, the form closes. The files are written either way.
  for (int i = 0; i < 400; ++i) {
    if (HWND box = child.Window("#32770", "Error")) {
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      break;
    }
    if (!IsWindowVisible(form))
      break;
    Sleep(50);
  }
  std::string page = testenv::ReadFile(SystemFile("Lumagrove_wp.html"));
  std::string list = testenv::ReadFile(SystemFile("Lumagrove_wp.lst"));
  std::string logo = testenv::ReadFile(SystemFile("wplogo.gif"));
  for (const char *name : files)
    DeleteFileA(SystemFile(name).c_str());
  for (const char *value :
       {"{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "{871C5380-42A0-1069-A2EA-08002B30309D}",
        "{450D8FBA-AD25-11D0-98A8-0800361B1103}", "{208D2C60-3AEA-1069-A2D7-08002B30309D}"})
    TakeRealValue("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\"
                  "NewStartPanel",
                  value);

  EXPECT_EQ(list, dir + "Wallpaper\\Lumagrove01.jpg\r\n" + dir + "Wallpaper\\Lumagrove02.jpg\r\n" +
                      dir + "Wallpaper\\Lumagrove03.jpg\r\n" + picture + "\r\n");
  std::string slashed = picture;
  for (char &c : slashed)
    if (c == '\\')
      c = '/';
  EXPECT_NE(page.find("\"" + slashed + "\"\r\n);</script>\r\n"), std::string::npos) << page;
  EXPECT_EQ(page.substr(page.size() - 9), "</html>\r\n");
  EXPECT_EQ(logo.substr(0, 6), "GIF89a");
}
