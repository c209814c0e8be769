#include "AppFixture.h"

#include "app/UnitFrmOption.h"
#include "features/cursor/UnitFrmCur.h"
#include "features/explorer/UnitFrmIE.h"
#include "features/folder/UnitFrmFolder.h"
#include "features/icons/UnitFrmIcon.h"
#include "features/icons/UnitFrmIconCus.h"
#include "features/logon/UnitFrmLogon.h"
#include "features/misc/UnitFrmMore.h"
#include "features/oem/UnitFrmOEM.h"
#include "features/wallpaper/UnitFrmwallpaper.h"
#include "features/xplook/UnitFrmXPLook.h"
#include "support/Registry.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

const std::string Sep = "\xA3\xAD";

} // namespace

using MainWindow = AppTest;

TEST_F(MainWindow, HasItsDesignedWindowAndFinishedLabels) {
  StartProgram();
  RECT client;
  GetClientRect(Frmmain->Handle(), &client);
  EXPECT_EQ(client.right, 698);
  EXPECT_EQ(client.bottom, 469);
  LONG style = GetWindowLongA(Frmmain->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_EQ(GetMenu(Frmmain->Handle()), nullptr) << "the empty main menu shows no bar";
  EXPECT_EQ(Frmmain->Caption(), "Lumagrove");
  EXPECT_EQ(Frmmain->LabelVersion->Caption(), "Version:7.6.5.4");
  EXPECT_FALSE(FrmIe_preview->Visible());

  int links = 0;
  for (int i = 0; i < Frmmain->ComponentCount(); ++i)
    if (auto *link = dynamic_cast<TURLLabel2 *>(Frmmain->Components(i))) {
      ++links;
      EXPECT_EQ(link->Font().Style(), fsBold) << link->GetName();
    }
  EXPECT_EQ(links, 9);
}

// The opening outline is drawn over the window's place at the end of its creation: the window
// is already where it appears, centred on the screen.
TEST_F(MainWindow, OpensWhereItsOutlineWasDrawn) {
  StartProgram();
  RECT made;
  GetWindowRect(Frmmain->Handle(), &made);
  EXPECT_EQ(made.left, (Screen->Width() - (made.right - made.left)) / 2);
  EXPECT_EQ(made.top, (Screen->Height() - (made.bottom - made.top)) / 2);
  Frmmain->Show();
  RECT shown;
  GetWindowRect(Frmmain->Handle(), &shown);
  EXPECT_TRUE(EqualRect(&made, &shown));
}

TEST_F(MainWindow, StartRemovesTheLeftovers) {
  auto &p = testenv::Places();
  const std::string leftovers[] = {p.systemDir + "\\temp.dll", p.tempDir + "replacer.dll",
                                   p.tempDir + "replacer.cmd", p.tempDir + "data"};
  for (const std::string &f : leftovers)
    testenv::WriteFile(f, "x");
  StartProgram();
  for (const std::string &f : leftovers)
    EXPECT_FALSE(FileExists(f)) << f;
}

TEST_F(MainWindow, CaptionCarriesCustomNameAndName) {
  WriteConfig("[Option]\r\nCustomName=X\r\n[Special]\r\nName=Y\r\n");
  StartProgram();
  EXPECT_EQ(Frmmain->Caption(), "Lumagrove" + Sep + "X" + Sep + "Y");
}

TEST_F(MainWindow, CaptionCarriesNameAlone) {
  WriteConfig("[Special]\r\nName=Y\r\n");
  StartProgram();
  EXPECT_EQ(Frmmain->Caption(), "Lumagrove" + Sep + "Y");
}

TEST_F(MainWindow, CloseMarksTheProgramFolderAndRemembersIt) {
  StartProgram();
  const std::string folder = testenv::Places().programDir;
  Frmmain->Close();

  std::string ini = folder + "desktop.ini";
  ASSERT_TRUE(FileExists(ini));
  TIniFile desktop(ini);
  EXPECT_EQ(desktop.ReadString(".ShellClassInfo", "IconFile", ""), folder + "Data\\Icon.dll");
  EXPECT_EQ(desktop.ReadString(".ShellClassInfo", "IconIndex", ""), "2");
  EXPECT_EQ(desktop.ReadString(".ShellClassInfo", "InfoTip", ""), "Lumagrove folder");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "Exename"), folder);
}

TEST_F(MainWindow, LogonsAreRefusedBeforeWindowsXP) {
  StartProgram();
  for (auto version : {OsVersionRecord{VER_PLATFORM_WIN32_WINDOWS, 4, 10, "A"},
                       OsVersionRecord{VER_PLATFORM_WIN32_WINDOWS, 4, 90, ""},
                       OsVersionRecord{VER_PLATFORM_WIN32_NT, 4, 0, ""}}) {
    testenv::Places().version = version;
    testenv::Prompts().Expect("Sorry. This function is only for WindowsXP", IDOK, "Warning");
    Frmmain->Lbl_Logon->Click();
  }
  ASSERT_EQ(testenv::Prompts().Seen().size(), 3u);
  EXPECT_EQ(testenv::Prompts().Seen()[0].flags & MB_ICONMASK, UINT(MB_ICONERROR));

  // XP and the versions the family table doesn't know pass the gate.
  for (auto version : {OsVersionRecord{VER_PLATFORM_WIN32_NT, 5, 1, ""},
                       OsVersionRecord{VER_PLATFORM_WIN32_NT, 10, 0, ""}}) {
    testenv::Places().version = version;
    Frmmain->Image4->Click();
  }
  EXPECT_EQ(testenv::Prompts().Seen().size(), 3u);
}

// What the shell heard besides the notification-area records.
static std::vector<testenv::ShellCall> OpenedDocuments() {
  std::vector<testenv::ShellCall> opened;
  for (const auto &call : testenv::Shell().calls)
    if (call.what == "ShellExecute")
      opened.push_back(call);
  return opened;
}

TEST_F(MainWindow, UpdateAndHelpOpenMaximised) {
  StartProgram();
  Frmmain->ToolButton5->Click();
  Frmmain->ToolButton6->Click();
  auto calls = OpenedDocuments();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].operation, "open");
  EXPECT_EQ(calls[0].file, MakerDownloadPage);
  EXPECT_EQ(calls[0].showCmd, SW_SHOWMAXIMIZED);
  EXPECT_EQ(calls[1].file, testenv::Places().programDir + "Lumagrove.chm");
  EXPECT_EQ(calls[1].showCmd, SW_SHOWMAXIMIZED);
}

TEST_F(MainWindow, EveryBalloonEndingHidesTheTrayIcon) {
  StartProgram();
  TTrayIcon *tray = Frmmain->TrayIcon1;
  EXPECT_FALSE(tray->IconVisible());
  EXPECT_EQ(Frmmain->HelpRouter1->HelpType, htHTMLhelp);
  EXPECT_EQ(Frmmain->HelpRouter1->CHMPopupTopics, "CSHelp.txt");
  for (UINT ending : {NIN_BALLOONUSERCLICK, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT}) {
    tray->Tag = 7; // a code nobody acts on
    tray->SetIconVisible(true);
    SendMessageA(TTrayIcon::HandlerWindow(), WM_TRAYNOTIFY, tray->Id(), ending);
    EXPECT_FALSE(tray->IconVisible()) << ending;
  }
  EXPECT_TRUE(OpenedDocuments().empty());
}

TEST_F(MainWindow, BalloonClickWithoutLogonScreensOpensTheThemesPage) {
  StartProgram();
  TTrayIcon *tray = Frmmain->TrayIcon1;
  tray->Tag = BalloonNoLogonScreen;
  tray->SetIconVisible(true);
  SendMessageA(TTrayIcon::HandlerWindow(), WM_TRAYNOTIFY, tray->Id(), NIN_BALLOONUSERCLICK);
  auto opened = OpenedDocuments();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].operation, "open");
  EXPECT_EQ(opened[0].file, MakerThemesPage);
  EXPECT_EQ(opened[0].showCmd, SW_SHOWMAXIMIZED);
  EXPECT_FALSE(tray->IconVisible());
  EXPECT_TRUE(Frmmain->Visible() == false) << "the main window is neither shown nor hidden";
}

// Each form lives once: closed, it is freed, so the next opening is a new instance under the
// design name that the language file speaks to; one still open is brought forward.
TEST_F(MainWindow, EachFormOpensOnceAndInTheLanguageEveryTime) {
  UseLanguage("[Info]\r\nCheckValid=1\r\n[Translations]\r\nFrmCur.Caption=Mauszeiger\r\n"
              "FrmOption.Caption=Optionen\r\n");
  StartProgram();
  const int forms = Screen->FormCount();
  for (int opening = 1; opening <= 2; ++opening) {
    Frmmain->Lbl_Cursor->Click();
    ASSERT_NE(FrmCur, nullptr);
    EXPECT_EQ(FrmCur->GetName(), "FrmCur") << opening;
    EXPECT_EQ(FrmCur->Caption(), "Mauszeiger") << opening;
    EXPECT_FALSE(Frmmain->Visible());
    FrmCur->Close();
    EXPECT_EQ(FrmCur, nullptr);
    EXPECT_TRUE(Frmmain->Visible());
    tk::Application->ProcessMessages();
    EXPECT_EQ(Screen->FormCount(), forms) << opening;
  }
  Frmmain->ToolButton3->Click();
  TFrmOption *options = FrmOption;
  Frmmain->ToolButton3->Click();
  EXPECT_EQ(FrmOption, options);
  EXPECT_EQ(FrmOption->Caption(), "Optionen");
  EXPECT_EQ(Screen->FormCount(), forms + 1);
}

// Every feature form a link opens, left on its last page (the Icons form with the packages form
// it opens) and closed, goes with the program: none of its handlers runs once it is being freed,
// and no form's global is left pointing at a freed form.
TEST_F(MainWindow, EveryFormLeftOnItsLastPageGoesWithTheProgram) {
  StartProgram();
  auto lastPages = [](TCustomForm *form) {
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto *pages = dynamic_cast<TPageControl *>(form->Components(i)))
        pages->SetActivePageIndex(pages->PageCount() - 1);
  };
  for (TURLLabel2 *link : {Frmmain->Lbl_Icon, Frmmain->Lbl_Wallpaper, Frmmain->Lbl_Cursor,
                           Frmmain->Lbl_OEM, Frmmain->Lbl_IE, Frmmain->Lbl_XPLook,
                           Frmmain->Lbl_More, Frmmain->Lbl_Folder, Frmmain->Lbl_Logon}) {
    link->Click();
    TCustomForm *form = Screen->Forms(Screen->FormCount() - 1);
    ASSERT_EQ(form->GetOwner(), Frmmain) << link->Caption();
    if (form == FrmIconCus) {
      FrmIconCus->Image3->DblClick();
      lastPages(FrmIcon);
      FrmIcon->Close();
    }
    lastPages(form);
    form->Close();
    tk::Application->ProcessMessages();
  }
  Frmmain->ToolButton3->Click();
  FrmOption->Close();
  tk::DoneApplication();
  for (void *global : std::initializer_list<void *>{
           FrmIconCus, FrmIcon, FrmWallpaper, FrmCur, FrmOEM, FrmIE, FrmIe_preview, FrmXPLook,
           FrmMore, FrmFolder, FrmLogon, FrmOption, Frmmain})
    EXPECT_EQ(global, nullptr);
}
