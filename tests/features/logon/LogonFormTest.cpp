// The logon screens form as the user meets it: opened by the main window's link, driven
// through its controls, against logon screens written by the test and packages made with the
// zip tool (a self-extracting one among them).
#include "../../app/AppFixture.h"

#include <map>

#include "features/logon/Func_logo.h"
#include "features/logon/UnitFrmLogon.h"
#include "support/Registry.h"
#include "toolkit/graphics/Jpeg.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;

namespace {

// Every file below a folder, with its size.
void ListTree(const std::string &dir, std::map<std::string, int64_t> &files) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    return;
  do {
    std::string name = entry.cFileName;
    if (name == "." || name == "..")
      continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListTree(dir + name + "\\", files);
    else
      files[dir + name] = FileSize(dir + name);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

class LogonForm : public AppTest {
protected:
  void TearDown() override {
    AppTest::TearDown();
    FrmLogon = nullptr;
  }

  std::string Logons() { return testenv::Places().programDir + "Logons\\"; }

  TFrmLogon *Open() {
    testenv::WriteFile(testenv::Places().programDir + "Data\\nopreview.bmp",
                       testenv::ReadFile(testenv::BuiltProgramDir() + "Data\\nopreview.bmp"));
    if (!Frmmain)
      StartProgram();
    Frmmain->Lbl_Logon->Click();
    return FrmLogon;
  }

  static void Choose(TFrmLogon *form, const std::string &caption) {
    for (int i = 0; i < form->ListView1->Items().Count(); ++i)
      if (form->ListView1->Items()[i]->Caption() == caption) {
        form->ListView1->SetItemIndex(i);
        form->ListView1->Click();
        return;
      }
    ADD_FAILURE() << "no logon screen " << caption;
  }

  static std::vector<std::string> Captions(TFrmLogon *form) {
    std::vector<std::string> captions;
    for (int i = 0; i < form->ListView1->Items().Count(); ++i)
      captions.push_back(form->ListView1->Items()[i]->Caption());
    std::sort(captions.begin(), captions.end());
    return captions;
  }

  std::string Install(TFrmLogon *form, const std::string &package, const std::string &answer) {
    testenv::Prompts().ExpectFileDialog({package});
    testenv::Prompts().Expect(answer, IDOK);
    form->Installfromdisk1->Click();
    return testenv::Prompts().Seen().empty() ? "" : testenv::Prompts().Seen().back().text;
  }

  static std::string UIHost() { return ReadRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, UIHostValue); }
};

// A real JPEG picture of that width, padded to exactly that many bytes.
void WriteJpeg(const std::string &path, int width, size_t size) {
  TBitmap picture;
  picture.SetSize(width, 30);
  picture.Canvas().Brush().SetColor(clTeal);
  picture.Canvas().FillRect({0, 0, width, 15});
  TJPEGImage jpeg;
  jpeg.Assign(picture);
  const std::vector<uint8_t> &data = jpeg.SaveToMemory();
  std::string bytes(data.begin(), data.end());
  ASSERT_LT(bytes.size(), size);
  bytes.resize(size, '\0');
  testenv::WriteFile(path, bytes);
}

void WriteBmp(const std::string &path, int width) {
  TBitmap picture;
  picture.SetSize(width, 20);
  testenv::WriteFile(path, "");
  picture.SaveToFile(path);
}

} // namespace

TEST_F(LogonForm, InstallsZipAndSelfExtractingPackagesIntoFoldersOfTheirOwn) {
  // Nothing installed: a balloon says so, with the code the main window acts on.
  TFrmLogon *form = Open();
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(Frmmain->Visible());
  EXPECT_EQ(form->ListView1->Items().Count(), 0);
  EXPECT_EQ(Frmmain->TrayIcon1->Tag, BalloonNoLogonScreen);
  EXPECT_TRUE(Frmmain->TrayIcon1->IconVisible());
  auto icons = testenv::Shell().IconCalls();
  ASSERT_FALSE(icons.empty());
  const NOTIFYICONDATAA &balloon = icons.back().iconData;
  EXPECT_TRUE(balloon.uFlags & NIF_INFO);
  EXPECT_STREQ(balloon.szInfoTitle, "No Logon Screen Available");
  EXPECT_STREQ(balloon.szInfo, "Click here to download new logon screen from web");
  EXPECT_EQ(balloon.dwInfoFlags, DWORD(NIIF_INFO));
  EXPECT_EQ(balloon.uTimeout, 10000u);

  const std::string inputs = std::string(LUMAGROVE_PACKAGE_INPUTS) + "\\";
  Install(form, inputs + "Blue.zip", "Installed successfully");
  EXPECT_EQ(testenv::Prompts().SeenDialogs().back().filter, "*.zip;*.exe|*.zip;*.exe");
  EXPECT_TRUE(FileExists(Logons() + "Blue\\Blue.exe"));
  Install(form, inputs + "AuroraSetup.exe", "Installed successfully");
  EXPECT_TRUE(FileExists(Logons() + "AuroraSetup\\Aurora\\Aurora.exe"));
  EXPECT_EQ(Captions(form), (std::vector<std::string>{"Aurora", "Blue"}));
  EXPECT_EQ(form->ListBox1->Items().Count(), 2);

  Choose(form, "Blue");
  EXPECT_EQ(form->Edit1->Text(), Logons() + "Blue\\Blue.exe");
  EXPECT_TRUE(form->BitBtn1->Enabled());
  EXPECT_EQ(form->Image1->Picture().Width(), 320); // its preview.bmp
  Choose(form, "Aurora");
  EXPECT_EQ(form->Image1->Picture().Width(), 320); // Aurora.bmp beside it

  // Installed ones are there: a new opening shows no balloon.
  form->Close();
  size_t before = testenv::Shell().IconCalls().size();
  Frmmain->TrayIcon1->Tag = 0;
  form = Open();
  EXPECT_EQ(form->ListView1->Items().Count(), 2);
  EXPECT_EQ(testenv::Shell().IconCalls().size(), before);
  EXPECT_EQ(Frmmain->TrayIcon1->Tag, 0);
}

TEST_F(LogonForm, PreviewIsTheFirstPictureFoundInItsOrder) {
  const std::string dir = Logons() + "Set\\";
  testenv::WriteFile(dir + "Dawn.exe", "MZ");
  WriteJpeg(dir + "deep\\small.jpg", 40, 10000);
  TFrmLogon *form = Open();
  ASSERT_EQ(form->ListView1->Items().Count(), 1);
  // Double clicks on the preview open nothing while nothing is chosen.
  form->Image1->DblClick();
  Choose(form, "Dawn");
  EXPECT_EQ(form->Image1->Picture().Width(), 288) << "a picture of 10000 bytes is no preview";

  struct Step {
    std::string file;
    int width;
  } steps[] = {{"deep\\big.jpg", 48},
               {"Dawn.bmp", 56},
               {"Dawn.jpg", 64},
               {"preview.bmp", 72},
               {"preview.jpg", 80}};
  for (const Step &step : steps) {
    if (ExtractFileExt(step.file) == ".jpg")
      WriteJpeg(dir + step.file, step.width, step.file == "deep\\big.jpg" ? 10001 : 5000);
    else
      WriteBmp(dir + step.file, step.width);
    Choose(form, "Dawn");
    EXPECT_EQ(form->Image1->Picture().Width(), step.width) << step.file;
  }
  form->Image1->DblClick();
  const testenv::ShellCall &opened = testenv::Shell().calls.back();
  EXPECT_EQ(opened.what, "ShellExecute");
  EXPECT_EQ(opened.file, dir + "preview.jpg");
  EXPECT_EQ(opened.showCmd, SW_SHOWMAXIMIZED);
  EXPECT_EQ(std::count_if(testenv::Shell().calls.begin(), testenv::Shell().calls.end(),
                          [](const testenv::ShellCall &c) { return c.what == "ShellExecute"; }),
            1);
}

TEST_F(LogonForm, ApplyAndRestoreWriteTheLogonScreenInTheLanguageChosen) {
  UseLanguage(
      "[Info]\r\nCheckValid=1\r\n"
      "[Messages]\r\nLogon_1=Wirklich?\r\nLogon_3=Zurueck\r\n"
      "[Translations]\r\nFrmLogon.Caption=Anmeldung\r\nFrmLogon.BitBtn2.Caption=Zurueck\r\n");
  testenv::WriteFile(Logons() + "Night Sky\\Night Sky.exe", "MZ");
  testenv::WriteFile(Logons() + "Plain\\Plain.exe", "MZ");
  TFrmLogon *form = Open();
  EXPECT_EQ(form->Caption(), "Anmeldung");
  EXPECT_EQ(form->BitBtn2->Caption(), "Zurueck");

  Choose(form, "Night Sky");
  testenv::Prompts().Expect("Wirklich?", IDNO, "Confirm");
  form->BitBtn1->Click();
  EXPECT_EQ(UIHost(), "");
  EXPECT_EQ(testenv::Prompts().Seen().back().flags, UINT(MB_YESNO | MB_ICONQUESTION));

  testenv::Prompts().Expect("Wirklich?", IDYES);
  testenv::Prompts().Expect("The logon screen changed successfully", IDOK, "OK");
  form->ListView1->DblClick();
  std::string quoted = "\"";
  quoted.append(Logons()).append("Night Sky\\Night Sky.exe\"");
  EXPECT_EQ(UIHost(), quoted);
  EXPECT_EQ(testenv::Prompts().Seen().back().flags, UINT(MB_OK | MB_ICONINFORMATION));

  Choose(form, "Plain");
  testenv::Prompts().Expect("Wirklich?", IDYES);
  testenv::Prompts().Expect("changed successfully", IDOK);
  form->BitBtn1->Click();
  EXPECT_EQ(UIHost(), Logons() + "Plain\\Plain.exe");

  testenv::Prompts().Expect("Zurueck", IDOK, "OK");
  form->BitBtn2->Click();
  EXPECT_EQ(UIHost(), "logonui.exe");

  // A double click on empty space chooses nothing, so it applies nothing.
  form->ListView1->SetItemIndex(-1);
  form->ListView1->Click();
  form->ListView1->DblClick();
  EXPECT_FALSE(form->BitBtn1->Enabled());
  EXPECT_EQ(UIHost(), "logonui.exe");
}

TEST_F(LogonForm, AHostilePackageWritesNothingOutsideItsFolder) {
  TFrmLogon *form = Open();
  std::map<std::string, int64_t> before, after;
  ListTree(testenv::TestDir(), before);
  const std::string hostile = std::string(LUMAGROVE_ZIP_INPUTS) + "\\hostile\\dotdot-slash.zip";
  testenv::Prompts().ExpectFileDialog({hostile});
  testenv::Prompts().Expect("dotdot-slash.zip was not installed completely", IDOK, "Error");
  form->Installfromdisk1->Click();
  ListTree(testenv::TestDir(), after);
  const std::string own = Logons() + "dotdot-slash\\";
  for (const auto &[file, size] : after)
    if (file.compare(0, own.size(), own) != 0) {
      auto was = before.find(file);
      EXPECT_TRUE(was != before.end() && was->second == size) << file;
    }
  EXPECT_TRUE(FileExists(own + "keep.txt"));
}

// The arrows choose as a click does, and a choice made while a preview is being looked for (for
// the list or for a double click on the preview) is looked for once that search has ended,
// never inside it.
TEST_F(LogonForm, TheKeyboardChoosesAndThePreviewFollowsTheLastChoice) {
  // Pictures found by the search itself, which a second search would overwrite.
  testenv::WriteFile(Logons() + "Dawn\\Dawn.exe", "MZ");
  WriteJpeg(Logons() + "Dawn\\shots\\big.jpg", 40, 10001);
  testenv::WriteFile(Logons() + "Dusk\\Dusk.exe", "MZ");
  WriteJpeg(Logons() + "Dusk\\shots\\big.jpg", 50, 10001);
  TFrmLogon *form = Open();
  ASSERT_EQ(Captions(form), (std::vector<std::string>{"Dawn", "Dusk"}));
  const bool dawnFirst = form->ListView1->Items()[0]->Caption() == "Dawn";
  const HWND list = form->ListView1->Handle();
  const WPARAM toDusk = dawnFirst ? VK_DOWN : VK_UP, toDawn = dawnFirst ? VK_UP : VK_DOWN;

  // Each folder search, as it starts and as it ends.
  std::vector<std::string> searches;
  auto changed = form->SearchFolders2->OnChanged;
  form->SearchFolders2->OnProcess = [&](TComponent *, const std::string &dir, int32_t, int32_t) {
    if (dir == form->SearchFolders2->ScanDir)
      searches.push_back("start " + dir);
  };
  form->SearchFolders2->OnChanged = [&](TComponent *sender, int32_t count, int32_t size) {
    searches.push_back("end");
    changed(sender, count, size);
  };

  Choose(form, "Dawn");
  EXPECT_EQ(form->Image1->Picture().Width(), 40);
  SendMessageA(list, WM_KEYDOWN, toDusk, 0);
  EXPECT_EQ(form->Edit1->Text(), Logons() + "Dusk\\Dusk.exe");
  EXPECT_EQ(form->Image1->Picture().Width(), 50);
  testenv::Prompts().Expect("apply this logon screen", IDYES);
  testenv::Prompts().Expect("changed successfully", IDOK);
  form->BitBtn1->Click();
  EXPECT_EQ(UIHost(), Logons() + "Dusk\\Dusk.exe");

  // Dawn is chosen while Dusk's search runs (its message pump handles the key).
  searches.clear();
  PostMessageA(list, WM_KEYDOWN, toDawn, 0);
  form->ListView1->Click();
  EXPECT_EQ(searches, (std::vector<std::string>{"start " + Logons() + "Dusk\\", "end",
                                                "start " + Logons() + "Dawn\\", "end"}));
  EXPECT_EQ(form->Edit1->Text(), Logons() + "Dawn\\Dawn.exe");
  EXPECT_EQ(form->Image1->Picture().Width(), 40);

  // Dusk is chosen while the double click's search for Dawn runs: the double click still opens
  // Dawn's picture, and Dusk's preview follows.
  searches.clear();
  PostMessageA(list, WM_KEYDOWN, toDusk, 0);
  form->Image1->DblClick();
  EXPECT_EQ(searches, (std::vector<std::string>{"start " + Logons() + "Dawn\\", "end",
                                                "start " + Logons() + "Dusk\\", "end"}));
  std::vector<std::string> opened;
  for (const testenv::ShellCall &call : testenv::Shell().calls)
    if (call.what == "ShellExecute")
      opened.push_back(call.file);
  EXPECT_EQ(opened, (std::vector<std::string>{Logons() + "Dawn\\shots\\big.jpg"}));
  EXPECT_EQ(form->Edit1->Text(), Logons() + "Dusk\\Dusk.exe");
  EXPECT_EQ(form->Image1->Picture().Width(), 50);

  // Nothing selected, however it came about: nothing to apply.
  form->ListView1->SetItemIndex(-1);
  EXPECT_FALSE(form->BitBtn1->Enabled());
  EXPECT_EQ(form->Edit1->Text(), "");
}

// A standard user may not change Winlogon's value: one message says so, and no success.
TEST_F(LogonForm, ARefusedLogonScreenIsReportedOnceAndNeverAsDone) {
  testenv::WriteFile(Logons() + "Plain\\Plain.exe", "MZ");
  // Another program's logon screen, so that neither Apply nor Restore finds its value in place.
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, WinlogonKey, UIHostValue, "other.exe");
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, WinlogonKey);
  TFrmLogon *form = Open();
  Choose(form, "Plain");
  testenv::Prompts().Expect("apply this logon screen", IDYES);
  testenv::Prompts().Expect("these settings were not", IDOK);
  form->BitBtn1->Click();
  testenv::Prompts().Expect("these settings were not", IDOK);
  form->BitBtn2->Click();

  const auto &seen = testenv::Prompts().Seen();
  ASSERT_EQ(seen.size(), 3u);
  for (size_t i : {1, 2}) {
    EXPECT_NE(seen[i].text.find("HKEY_LOCAL_MACHINE\\" + std::string(WinlogonKey)),
              std::string::npos)
        << seen[i].text;
    EXPECT_NE(seen[i].text.find("needs an administrator"), std::string::npos) << seen[i].text;
  }
  EXPECT_EQ(UIHost(), "other.exe");
  EXPECT_TRUE(form->BitBtn1->Enabled());
  EXPECT_TRUE(form->BitBtn2->Enabled());
}
