#include <windows.h>

#include "../../app/AppFixture.h"
#include "features/wallpaper/UnitFrmWallpaper_Area.h"
#include "features/wallpaper/UnitFrmwallpaper.h"
#include "features/wallpaper/WallpaperPage.h"
#include "support/Registry.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;

namespace {

const char *const MyComputer = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
const char *const RecycleBin = "{645FF040-5081-101B-9F08-00AA002F954E}";

class Wallpaper : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    WriteConfig("[Wallpaper]\r\n");
  }
  void TearDown() override {
    AppTest::TearDown();
    FrmWallpaper = nullptr;
    Frmwallpaper_area = nullptr;
  }
  void Open() {
    StartProgram();
    Frmmain->Lbl_Wallpaper->Click();
    ASSERT_NE(FrmWallpaper, nullptr);
  }
  static std::string Pictures() { return testenv::Places().programDir + "Wallpaper\\"; }
  static std::string SystemFile(const char *name) {
    return testenv::Places().systemDir + "\\" + name;
  }
  static std::vector<testenv::ShellCall> DesktopCalls() {
    std::vector<testenv::ShellCall> result;
    for (const testenv::ShellCall &call : testenv::Shell().calls)
      if (call.what == "SetDesktopWallpaper")
        result.push_back(call);
    return result;
  }
};

// The page's lines for the form's default settings up to the picture list, with the pause and
// the area lines given.
std::string Head(const std::string &delay, const std::string &area) {
  std::string cx = std::to_string(GetSystemMetrics(SM_CXSCREEN));
  std::string cy = std::to_string(GetSystemMetrics(SM_CYSCREEN));
  std::string program = SlashPath(testenv::Places().programDir);
  return "<html>\r\n<head>\r\n"
         "<meta http-equiv=Content-Type content=\"text/html; charset=ISO8859_1\">\r\n"
         "<SCRIPT LANGUAGE=\"JScript\">\r\npackagefile=\"\";\r\ntranmethod=23;\r\n"
         "filtertime=2;\r\ndelaytime=" +
         delay + ";\r\ncustomsize=0;\r\ncx=" + cx + ";\r\ncy=" + cy + ";\r\nbasepath=\"" + program +
         "Wallpaper/\";\r\nhomepath=\"" + program +
         "\";\r\nrandombegin=1;\r\nstretchpic=1;\r\nshowlogo=1;\r\n" + area +
         "mediatype=0;\r\nfilelist=new Array(\r\n";
}

std::string FullScreen() {
  return "backimage=\"\";\r\nareaLeft=0;\r\nareaTop=0;\r\nareaWidth=" +
         std::to_string(GetSystemMetrics(SM_CXSCREEN)) +
         ";\r\nareaHeight=" + std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ";\r\n";
}

std::string Script() {
  std::string text;
  for (const std::string &line : PlayerScriptLines())
    text += line + "\r\n";
  return text;
}

} // namespace

TEST_F(Wallpaper, StartWritesListPageAndLogoAndAppliesThePage) {
  Open();
  EXPECT_EQ(FrmWallpaper->Caption(), "Wallpapers");
  EXPECT_EQ(FrmWallpaper->PageControl1->ActivePage(), FrmWallpaper->TabSheet1);
  EXPECT_FALSE(Frmmain->Visible());
  ASSERT_EQ(FrmWallpaper->ListBox1->Items().Count(), 3);
  EXPECT_EQ(FrmWallpaper->ComboBox1->Text(), "Random");
  // Pictures by full path and one by a name relative to the program folder.
  FrmWallpaper->ListBox1->Items().Delete(2);
  FrmWallpaper->ListBox1->Items().Add("Mine\\Sea.jpg");
  FrmWallpaper->BitBtn1->Click();

  std::string page = testenv::ReadFile(SystemFile("Lumagrove_wp.html"));
  std::string pictures = SlashPath(Pictures());
  EXPECT_EQ(page, Head("20000", FullScreen()) + "\"" + pictures + "Lumagrove01.jpg\",\r\n\"" +
                      pictures + "Lumagrove02.jpg\",\r\n\"Mine/Sea.jpg\"\r\n);</script>\r\n" +
                      Script());
  EXPECT_EQ(testenv::ReadFile(SystemFile("Lumagrove_wp.lst")),
            Pictures() + "Lumagrove01.jpg\r\n" + Pictures() +
                "Lumagrove02.jpg\r\nMine\\Sea.jpg\r\n");
  EXPECT_EQ(testenv::ReadFile(SystemFile("wplogo.gif")).substr(0, 6), "GIF89a");
  EXPECT_FALSE(FileExists(SystemFile("js.exe"))) << "the encoder is removed after its run";
  auto calls = DesktopCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].file, WallpaperPageFile());
  EXPECT_EQ(calls[0].showCmd, 2) << "stretched";
  EXPECT_EQ(calls[0].creationFlags, 15u);
  EXPECT_TRUE(Frmmain->Visible()) << "the form closed after applying";
}

TEST_F(Wallpaper, PausesInEveryUnitOnePictureAndTheScaledTemplate) {
  Open();
  TFrmWallpaper *f = FrmWallpaper;
  while (f->ListBox1->Items().Count() > 1)
    f->ListBox1->Items().Delete(1);
  std::string one = "\"" + SlashPath(Pictures()) + "Lumagrove01.jpg\"\r\n);</script>\r\n";
  struct {
    const char *text;
    TRadioButton *unit;
    const char *delay;
  } pauses[] = {{"20", f->RadioButton1, "20000"},
                {"2", f->RadioButton2, "120000"},
                {"1", f->RadioButton3, "3600000"}};
  for (auto &pause : pauses) {
    f->Edit3->SetText(pause.text);
    pause.unit->SetChecked(true);
    ASSERT_TRUE(f->makehtm());
    EXPECT_EQ(testenv::ReadFile(SystemFile("Lumagrove_wp.html")),
              Head(pause.delay, FullScreen()) + one + Script());
    EXPECT_EQ(f->Label1->Caption(), WallpaperPageFile());
  }

  // The template's rectangle, scaled by the whole screen pixels per preview pixel.
  WallpaperPageSettings settings;
  settings.transitionTime = "2";
  settings.pictures = {"C:\\Pictures\\a.jpg"};
  settings.area = WallpaperPageSettings::Template{"C:\\Pictures\\back.jpg", 110, 10, 80, 60};
  for (auto [cx, cy, expected] :
       {std::tuple{1024, 768, "areaLeft=550;\r\nareaTop=50;\r\nareaWidth=400;\r\nareaHeight=300;"},
        std::tuple{800, 600,
                   "areaLeft=440;\r\nareaTop=40;\r\nareaWidth=320;\r\nareaHeight=240;"}}) {
    settings.screenWidth = cx;
    settings.screenHeight = cy;
    std::string text = WallpaperPageText(settings, {});
    EXPECT_NE(text.find("backimage=\"C:/Pictures/back.jpg\";\r\n" + std::string(expected) +
                        "\r\nmediatype=0;\r\nfilelist=new Array(\r\n\"C:/Pictures/a.jpg\"\r\n);"
                        "</script>\r\n"),
              std::string::npos)
        << text;
  }
}

TEST_F(Wallpaper, BadTimingOrTemplateValuesNameTheFieldAndWriteNothing) {
  Open();
  TFrmWallpaper *f = FrmWallpaper;
  struct {
    TEdit *edit;
    const char *text;
    TRadioButton *unit;
    const char *field;
  } cases[] = {
      {f->Edit3, "abc", f->RadioButton1, "\"abc\" is not a valid value for \"Pause\""},
      {f->Edit3, "0", f->RadioButton2, "\"0\" is not a valid value for \"Pause\""},
      // 600 hours overflow the page's timer (and a 32-bit product).
      {f->Edit3, "600", f->RadioButton3, "\"600\" is not a valid value for \"Pause\""},
      {f->Edit2, "-1", f->RadioButton1, "\"-1\" is not a valid value for \"Transition time\""}};
  for (auto &c : cases) {
    SCOPED_TRACE(c.text);
    f->Edit2->SetText("2");
    f->Edit3->SetText("20");
    c.edit->SetText(c.text);
    c.unit->SetChecked(true);
    testenv::Prompts().Expect(c.field, IDOK);
    f->BitBtn1->Click();
    EXPECT_EQ(testenv::Prompts().Pending(), 0u) << c.text;
  }
  // The template is used but was never closed: its values are empty.
  f->Edit2->SetText("2");
  f->Edit3->SetText("20");
  f->CheckBox3->SetChecked(true);
  testenv::Prompts().Expect("\"\" is not a valid value for \"Template left\"", IDOK);
  f->BitBtn1->Click();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  // Nothing at all is written, the list included.
  EXPECT_FALSE(FileExists(SystemFile("Lumagrove_wp.lst")));
  EXPECT_FALSE(FileExists(SystemFile("Lumagrove_wp.html")));
  EXPECT_TRUE(DesktopCalls().empty());
  EXPECT_TRUE(f->BitBtn1->Enabled());
  EXPECT_TRUE(f->Visible());
}

TEST_F(Wallpaper, AFailedApplySaysWhatFailedAndKeepsTheFormOpen) {
  Open();
  testenv::Shell().desktopResult = REGDB_E_CLASSNOTREG;
  testenv::Shell().desktopFailedCall = "CoCreateInstance";
  testenv::Prompts().Expect("The Active Desktop is not available", IDOK);
  FrmWallpaper->BitBtn1->Click();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  ASSERT_NE(FrmWallpaper, nullptr);
  EXPECT_TRUE(FrmWallpaper->Visible());
  EXPECT_TRUE(FrmWallpaper->BitBtn1->Enabled());
  EXPECT_TRUE(FileExists(SystemFile("Lumagrove_wp.html")));
  EXPECT_TRUE(FileExists(SystemFile("Lumagrove_wp.lst")));

  // Stop: the system's own wallpaper when there is one, else the first default picture.
  testenv::Shell().desktopResult = E_NOTIMPL;
  testenv::Shell().desktopFailedCall = "SetWallpaper";
  testenv::Prompts().Expect("refused SetWallpaper", IDOK);
  FrmWallpaper->BitBtn2->Click();
  testenv::Shell().desktopResult = S_OK;
  std::string bliss = testenv::Places().windowsDir + "\\Web\\Wallpaper\\bliss.bmp";
  testenv::WriteFile(bliss, "BM");
  FrmWallpaper->BitBtn2->Click();
  auto calls = DesktopCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].file, Pictures() + "Lumagrove01.jpg");
  EXPECT_EQ(calls[2].file, bliss);
  EXPECT_TRUE(FrmWallpaper->Visible());
}

TEST_F(Wallpaper, TheListIsEditedSavedAndReadBack) {
  std::string a = testenv::TestDir() + "a.jpg", b = testenv::TestDir() + "b.bmp";
  Open();
  TListBox *list = FrmWallpaper->ListBox1;
  testenv::Prompts().ExpectFileDialog({a, b});
  FrmWallpaper->BitBtn4Click(nullptr);
  ASSERT_EQ(list->Items().Count(), 5);
  EXPECT_EQ(testenv::Prompts().SeenDialogs().at(0).initialDir, Pictures());
  EXPECT_TRUE(testenv::Prompts().SeenDialogs()[0].flags & OFN_ALLOWMULTISELECT);

  // Moves at both ends stay put; the first moves down, the last up.
  list->SetItemIndex(0);
  FrmWallpaper->BitBtn7Click(nullptr);
  FrmWallpaper->BitBtn8Click(nullptr);
  EXPECT_EQ(list->Items().Strings(1), Pictures() + "Lumagrove01.jpg");
  list->SetItemIndex(4);
  FrmWallpaper->BitBtn8Click(nullptr);
  EXPECT_EQ(list->Items().Strings(4), b);
  FrmWallpaper->BitBtn7Click(nullptr);
  EXPECT_EQ(list->Items().Strings(3), b);

  // Removing several selected items at once.
  list->SetSelected(0, true);
  list->SetSelected(2, true);
  list->SetSelected(3, true);
  FrmWallpaper->BitBtn6Click(nullptr);
  std::string saved = Pictures() + "Lumagrove01.jpg\r\n" + a + "\r\n";
  EXPECT_EQ(testenv::ReadFile(SystemFile("Lumagrove_wp.lst")), saved);

  FrmWallpaper->Close();
  Frmmain->Lbl_Wallpaper->Click();
  EXPECT_EQ(FrmWallpaper->ListBox1->Items().GetText(), saved);

  list = FrmWallpaper->ListBox1;
  list->SetItemIndex(1);
  FrmWallpaper->ListBox1DblClick(nullptr);
  ASSERT_FALSE(testenv::Shell().calls.empty());
  EXPECT_EQ(testenv::Shell().calls.back().file, a);
  EXPECT_EQ(testenv::Shell().calls.back().showCmd, SW_SHOWNORMAL);
  // A name without a drive opens from the program folder, as the page loads it.
  list->Items().Add("Mine\\Sea.jpg");
  list->SetItemIndex(2);
  FrmWallpaper->ListBox1DblClick(nullptr);
  EXPECT_EQ(testenv::Shell().calls.back().file, testenv::Places().programDir + "Mine\\Sea.jpg");
}

TEST_F(Wallpaper, TheOptionsPageWritesIconsPolicyAndSettings) {
  WriteRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey, MyComputer, "0", 2);
  Open();
  TFrmWallpaper *f = FrmWallpaper;
  // Absent values hide the XP items, and are written so, but the Recycle Bin's.
  EXPECT_FALSE(f->CheckBox6->Checked());
  EXPECT_TRUE(f->CheckBox7->Checked() && f->CheckBox8->Checked() && f->CheckBox10->Checked());
  EXPECT_FALSE(f->CheckBox9->Checked());
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey,
                         "{208D2C60-3AEA-1069-A2D7-08002B30309D}"),
            "1");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey, RecycleBin), "");
  f->CheckBox9->SetChecked(true);
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey, RecycleBin), "1");

  std::string config = testenv::Places().programDir + "Data\\Config.ini";
  f->CheckBox2->SetChecked(true);
  f->CheckBox2MouseUp(f->CheckBox2, mbLeft, 0, 1, 1);
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, ExplorerPoliciesKey, "NoDesktop"), "1");
  f->CheckBox1->SetChecked(false);
  EXPECT_NE(testenv::ReadFile(config).find("HideIcons=1"), std::string::npos);
  EXPECT_NE(testenv::ReadFile(config).find("ShowLogo=0"), std::string::npos);
  f->Close();
  Frmmain->Lbl_Wallpaper->Click();
  f = FrmWallpaper;
  EXPECT_TRUE(f->CheckBox2->Checked());
  EXPECT_FALSE(f->CheckBox1->Checked());
  f->CheckBox2->SetChecked(false);
  f->CheckBox2MouseUp(f->CheckBox2, mbLeft, 0, 1, 1);
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, ExplorerPoliciesKey, "NoDesktop"), "");

  testenv::Prompts().ExpectColorDialog(RGB(10, 20, 30));
  f->BitBtn5Click(nullptr);
  EXPECT_EQ(f->Shape1->Brush().Color(), TColor(RGB(10, 20, 30)));
  f->Close();

  // A standard user whose policy and icon keys refuse writes: the form opens whole with one
  // message for the refused icon (My Computer's value already holds what its box writes, so
  // it is no refusal), and hiding the desktop still keeps the setting.
  WriteRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey, MyComputer, "1", 2);
  DeleteRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey, "{871C5380-42A0-1069-A2EA-08002B30309D}");
  WriteRegValue(HKEY_CURRENT_USER, ExplorerPoliciesKey, "Other", "1", 2);
  testenv::RefuseWrites(HKEY_CURRENT_USER, HideDesktopIconsKey);
  testenv::RefuseWrites(HKEY_CURRENT_USER, ExplorerPoliciesKey);
  testenv::Prompts().Expect("\"{871C5380-42A0-1069-A2EA-08002B30309D}\" under HKEY_CURRENT_USER\\" +
                                std::string(HideDesktopIconsKey) + ": needs an administrator",
                            IDOK);
  Frmmain->Lbl_Wallpaper->Click();
  f = FrmWallpaper;
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_TRUE(f->CheckBox6->Checked() && f->CheckBox7->Checked() && f->CheckBox10->Checked());
  EXPECT_EQ(f->Shape1->Brush().Color(), TColor(GetSysColor(COLOR_BACKGROUND)));
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey,
                         "{871C5380-42A0-1069-A2EA-08002B30309D}"),
            "");
  std::string refusedPolicy =
      "\"NoDesktop\" under HKEY_CURRENT_USER\\" + std::string(ExplorerPoliciesKey);
  testenv::Prompts().Expect(refusedPolicy, IDOK);
  f->CheckBox2->SetChecked(true);
  f->CheckBox2MouseUp(f->CheckBox2, mbLeft, 0, 1, 1);
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, ExplorerPoliciesKey, "NoDesktop"), "");
  EXPECT_NE(testenv::ReadFile(config).find("HideIcons=1"), std::string::npos);
  // Showing them again has nothing to take away from the refused key: nothing to say.
  f->CheckBox2->SetChecked(false);
  f->CheckBox2MouseUp(f->CheckBox2, mbLeft, 0, 1, 1);
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_NE(testenv::ReadFile(config).find("HideIcons=0"), std::string::npos);
}

TEST_F(Wallpaper, AFormClosedBeneathItsTemplatesDialogWaitsForIt) {
  testenv::WriteFile(Pictures() + "Lumagrove01.jpg",
                     testenv::ReadFile(testenv::BuiltProgramDir() + "Wallpaper\\Lumagrove01.jpg"));
  Open();
  FrmWallpaper->CheckBox3->SetChecked(true);
  FrmWallpaper->CheckBox3MouseUp(FrmWallpaper->CheckBox3, mbLeft, 0, 1, 1);
  ASSERT_NE(Frmwallpaper_area, nullptr);
  // The real Open dialog, and as soon as it is up the Wallpapers form is closed beneath it (by
  // its close box or Alt+F4, and as the taskbar does); then it is cancelled.
  testenv::RealFileDialogs prompts;
  HWND wallpapers = FrmWallpaper->Handle();
  bool enabledWhileUp = true;
  prompts.whenUp = [&](HWND dialog) {
    enabledWhileUp = IsWindowEnabled(wallpapers);
    SendMessageA(wallpapers, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(wallpapers, WM_CLOSE, 0, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  };
  SetPrompts(&prompts);
  Frmwallpaper_area->BitBtn11Click(nullptr);
  SetPrompts(&testenv::Prompts());
  EXPECT_FALSE(enabledWhileUp);
  ASSERT_NE(FrmWallpaper, nullptr) << "closed while the dialog was up";
  EXPECT_TRUE(IsWindowEnabled(FrmWallpaper->Handle()));
  EXPECT_TRUE(IsWindowEnabled(Frmwallpaper_area->Handle()));
  // Once the dialog is gone, the close asked for comes, taking the template window with it.
  Application->ProcessMessages();
  EXPECT_EQ(FrmWallpaper, nullptr);
  EXPECT_EQ(Frmwallpaper_area, nullptr);
  EXPECT_TRUE(Frmmain->Visible());
}

TEST_F(Wallpaper, TheTemplateFormPassesItsEditsOnClose) {
  for (const char *name : {"Lumagrove01.jpg", "Lumagrove02.jpg"})
    testenv::WriteFile(Pictures() + name,
                       testenv::ReadFile(testenv::BuiltProgramDir() + "Wallpaper\\" + name));
  Open();
  TFrmWallpaper *f = FrmWallpaper;
  f->CheckBox3->SetChecked(true);
  f->CheckBox3MouseUp(f->CheckBox3, mbLeft, 0, 1, 1);
  ASSERT_NE(Frmwallpaper_area, nullptr);
  TFrmwallpaper_area *area = Frmwallpaper_area;
  EXPECT_EQ(area->Caption(), "Template");
  EXPECT_EQ(area->Image1->Picture().Width(), 400) << "the first default picture";
  EXPECT_EQ(area->Panel2->Left(), 112);
  // Unchecking closes it; untouched, it passes its edits, not the panel's place.
  f->CheckBox3->SetChecked(false);
  f->CheckBox3MouseUp(f->CheckBox3, mbLeft, 0, 1, 1);
  EXPECT_EQ(f->Edit4->Text(), "80");
  EXPECT_EQ(f->Edit5->Text(), "60");
  EXPECT_EQ(f->Edit6->Text(), "110");
  EXPECT_EQ(f->Edit7->Text(), "10");
  EXPECT_EQ(f->Edit8->Text(), Pictures() + "Lumagrove01.jpg");

  // Typing moves and sizes the panel; a picture chosen goes into the hidden edit.
  f->CheckBox3->SetChecked(true);
  f->CheckBox3MouseUp(f->CheckBox3, mbLeft, 0, 1, 1);
  area = Frmwallpaper_area;
  area->Edit4->SetText("200");
  area->Edit6->SetText("0");
  EXPECT_EQ(area->Panel2->Width(), 200);
  EXPECT_EQ(area->Panel2->Left(), 0);
  std::string picture = Pictures() + "Lumagrove02.jpg";
  testenv::Prompts().ExpectFileDialog({picture});
  area->BitBtn11Click(nullptr);
  area->Close();
  EXPECT_EQ(f->Edit4->Text(), "200");
  EXPECT_EQ(f->Edit6->Text(), "0");
  EXPECT_EQ(f->Edit8->Text(), picture);

  // Typing passes through an emptied field and a half-typed one without a word; text that is
  // no number is told once, when the field is left, and the panel keeps its last size.
  f->CheckBox3->SetChecked(true);
  f->CheckBox3MouseUp(f->CheckBox3, mbLeft, 0, 1, 1);
  area = Frmwallpaper_area;
  Application->ProcessMessages();
  area->Edit4->SetFocus();
  area->Edit4->SetText("");
  area->Edit4->SetText("9x");
  Application->ProcessMessages();
  EXPECT_EQ(area->Panel2->Width(), 80);
  testenv::Prompts().Expect("\"9x\" is not a valid value for \"Template width\"", IDOK);
  area->Edit5->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  area->Edit4->SetFocus();
  area->Edit5->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(testenv::Prompts().Seen().size(), 1u) << "the same value is told once";

  // A drag past the preview's top left corner stops at it.
  area->Panel2->SetLeft(-30);
  area->Panel2->SetTop(-4);
  area->Panel2MouseMove(area->Panel2, 0, 2, 2);
  EXPECT_EQ(area->Edit6->Text(), "0");
  EXPECT_EQ(area->Edit7->Text(), "0");
  EXPECT_EQ(area->Panel2->Left(), 0);
  EXPECT_EQ(area->Edit4->Text(), "80") << "the drag wrote the panel's width back";

  // A bad value in the field that still has the focus is told when the form closes; it is
  // passed on as typed, and Start names it with its value.
  area->Edit5->SetText("-");
  testenv::Prompts().Expect("\"-\" is not a valid value for \"Template height\"", IDOK);
  area->Close();
  Application->ProcessMessages();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_EQ(f->Edit5->Text(), "-");
  testenv::Prompts().Expect("\"-\" is not a valid value for \"Template height\"", IDOK);
  f->BitBtn1->Click();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_EQ(testenv::Prompts().Seen().size(), 3u);
}

TEST_F(Wallpaper, TheEncoderRunsOnTheWrittenPageAndLeavesItWhole) {
  Open();
  testenv::Shell().allowProcesses = true;
  FrmWallpaper->BitBtn1->Click();
  std::string page = SystemFile("Lumagrove_wp.html");
  std::string encoder = SystemFile("js.exe");
  bool ran = false;
  for (const testenv::ShellCall &call : testenv::Shell().calls)
    if (call.what == "CreateProcess") {
      ran = true;
      EXPECT_EQ(call.file, "\"" + encoder + "\" /f \"" + page + "\"");
      EXPECT_EQ(call.showCmd, SW_HIDE);
    }
  EXPECT_TRUE(ran);
  EXPECT_FALSE(FileExists(encoder));
  std::string text = testenv::ReadFile(page);
  EXPECT_EQ(text.substr(0, 8), "<html>\r\n");
  EXPECT_EQ(text.substr(text.size() - 9), "</html>\r\n");

  // A stale encoder that can't be replaced (here: held open by another program) is never run,
  // and stays as it was.
  testenv::WriteFile(encoder, "stale");
  HANDLE held = CreateFileA(encoder.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  testenv::Shell().calls.clear();
  Frmmain->Lbl_Wallpaper->Click();
  FrmWallpaper->BitBtn1->Click();
  CloseHandle(held);
  for (const testenv::ShellCall &call : testenv::Shell().calls)
    EXPECT_NE(call.what, "CreateProcess") << call.file;
  EXPECT_EQ(testenv::ReadFile(encoder), "stale");

  // The encoder's own verdict on the page it leaves, and on a page cut short.
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, "JS", MAKEINTRESOURCEA(10));
  ASSERT_NE(found, nullptr);
  std::string copy = testenv::TestDir() + "js.exe";
  testenv::WriteFile(copy,
                     std::string(static_cast<const char *>(LockResource(LoadResource(self, found))),
                                 SizeofResource(self, found)));
  EXPECT_EQ(RunAndWait("\"" + copy + "\" /f \"" + page + "\"", SW_HIDE), 0);
  std::string cut = testenv::TestDir() + "cut page.html";
  testenv::WriteFile(cut, text.substr(0, text.size() / 2));
  EXPECT_EQ(RunAndWait("\"" + copy + "\" /f \"" + cut + "\"", SW_HIDE), 3);
  EXPECT_EQ(testenv::ReadFile(cut), text.substr(0, text.size() / 2));
}

// A list, a pictures folder and a template picture full of quotes, "</script>" and line breaks,
// and a transition time typed with a leading zero: every text stays inside its script string,
// the numbers are numbers, and the template picture reaches the page's HTML only escaped.
// (tests/scripts/wallpaper_page_scripts_test.sh runs this test and then the scripts it extracts
// in Node.js.)
TEST_F(Wallpaper, HostileTextStaysInsideThePageStrings) {
  WriteConfig("[Wallpaper]\r\n[Path]\r\nWallpaper=C:\\My \"Best\" Pictures\\\r\n");
  Open();
  TFrmWallpaper *f = FrmWallpaper;
  f->ListBox1->Items().Clear();
  for (const char *picture : {"C:\\a\"quoted\".jpg", "C:\\x</script><script>alert(1)</script>.jpg",
                              "back\\slash.jpg", "line\r\nbreak.jpg"})
    f->ListBox1->Items().Add(picture);
  f->Edit2->SetText("01.5");
  f->CheckBox3->SetChecked(true);
  for (auto [edit, text] : {std::pair{f->Edit4, "80"},
                            {f->Edit5, "60"},
                            {f->Edit6, "110"},
                            {f->Edit7, "10"},
                            {f->Edit8, "C:\\t'\"<img src=x onerror=alert(1)>.jpg"}})
    edit->SetText(text);
  f->BitBtn1->Click();
  ASSERT_EQ(DesktopCalls().size(), 1u);

  std::string page = testenv::ReadFile(SystemFile("Lumagrove_wp.html"));
  for (const char *line :
       {"\r\nfiltertime=1.5;\r\n", "\r\nbasepath=\"C:/My \\\"Best\\\" Pictures/\";\r\n",
        "\r\nbackimage=\"C:/t\\'\\\"\\x3Cimg src=x onerror=alert(1)>.jpg\";\r\n",
        "\r\nfilelist=new Array(\r\n\"C:/a\\\"quoted\\\".jpg\",\r\n"
        "\"C:/x\\x3C/script>\\x3Cscript>alert(1)\\x3C/script>.jpg\",\r\n\"back/slash.jpg\",\r\n"
        "\"line\\r\\nbreak.jpg\"\r\n);</script>\r\n",
        "document.write('<img src=\"'+html_attr('file://'+backimage)+'\""})
    EXPECT_NE(page.find(line), std::string::npos) << line << "\n" << page;
  EXPECT_EQ(ScriptString("a\\b"), "\"a\\\\b\"");
  EXPECT_EQ(SecondsNumber("010").value_or("none"), "10") << "not octal";

  // The page's script blocks: three, each ended by its own "</script>" and by no text inside.
  std::string lower = page;
  for (char &c : lower)
    c = char(tolower(static_cast<unsigned char>(c)));
  std::vector<std::string> blocks;
  for (size_t at = lower.find("<script"); at != std::string::npos;
       at = lower.find("<script", at + 1)) {
    size_t open = lower.find('>', at) + 1;
    size_t close = lower.find("</script", open);
    ASSERT_NE(close, std::string::npos);
    blocks.push_back(page.substr(open, close - open));
    at = close;
  }
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].find('<'), std::string::npos) << blocks[0];
  char folder[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("LUMAGROVE_PAGE_SCRIPTS", folder, MAX_PATH);
  if (n > 0 && n < MAX_PATH)
    for (size_t i = 0; i < blocks.size(); ++i)
      testenv::WriteFile("Z:" + std::string(folder) + "/script" + std::to_string(i + 1) + ".js",
                         blocks[i]);
}
