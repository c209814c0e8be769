#include <windows.h>

#include "../../app/AppFixture.h"
#include "features/oem/Func_OEM.h"
#include "features/oem/UnitFrmOEM.h"
#include "toolkit/graphics/Jpeg.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

class Oem : public AppTest {
protected:
  void TearDown() override {
    AppTest::TearDown();
    FrmOEM = nullptr;
  }

  // The user's way in: the main window's link.
  void OpenForm() {
    StartProgram();
    Frmmain->Lbl_OEM->Click();
    ASSERT_NE(FrmOEM, nullptr);
  }

  std::string System(const std::string &name) { return testenv::Places().systemDir + "\\" + name; }

  void Apply() {
    testenv::Prompts().Expect("OEM information installed successfully", IDOK);
    FrmOEM->BitBtn1->Click();
  }

  // The section as the system reads it: "key=value" lines in file order.
  std::vector<std::string> Section(const std::string &section) {
    char buffer[4096] = {};
    DWORD n = GetPrivateProfileSectionA(section.c_str(), buffer, sizeof buffer,
                                        System("oeminfo.ini").c_str());
    std::vector<std::string> lines;
    for (const char *p = buffer; p < buffer + n && *p; p += strlen(p) + 1)
      lines.emplace_back(p);
    return lines;
  }

  void WritePicture(const std::string &path, int width, int height) {
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush().SetColor(clRed);
    bitmap.Canvas().FillRect(RECT{0, 0, width, height});
    bitmap.SaveToFile(path);
  }

  // A record of a backup of oeminfo.ini that is gone since; the file as it is now.
  std::string VanishedBackup() {
    WriteConfig("[OEM]\r\nInfo=1\r\nLogo=0\r\n");
    const std::string current = "[General]\r\nManufacturer=Current\r\n";
    testenv::WriteFile(System("oeminfo.ini"), current);
    return current;
  }

  SIZE WrittenLogo() {
    TBitmap logo;
    logo.LoadFromFile(System("oemlogo.bmp"));
    return {logo.Width(), logo.Height()};
  }
};

} // namespace

TEST_F(Oem, OpensFromTheMainWindowShowingTheFilesAndWritingNothing) {
  testenv::WriteFile(System("oeminfo.ini"), "[General]\r\nManufacturer=Acme\r\nModel=Box 9\r\n"
                                            "[Support Information]\r\nLine1=Call us\r\n"
                                            "Other=x\r\nLine2=Mon-Fri\r\n");
  WritePicture(System("oemlogo.bmp"), 60, 30);
  OpenForm();
  EXPECT_TRUE(FrmOEM->Visible());
  EXPECT_FALSE(Frmmain->Visible());
  EXPECT_EQ(FrmOEM->Edit1->Text(), "Acme");
  EXPECT_EQ(FrmOEM->Edit2->Text(), "Box 9");
  // Three keys: Line1 to Line3 are read, the one absent as an empty line.
  EXPECT_EQ(FrmOEM->Memo1->Lines().GetText(), "Call us\r\nMon-Fri\r\n\r\n");
  EXPECT_EQ(FrmOEM->Image1->Picture().Width(), 60);
  EXPECT_FALSE(FileExists(System("Oemlogo.bak")));
  EXPECT_FALSE(FileExists(System("Oeminfo.bak")));

  FrmOEM->Close();
  EXPECT_TRUE(Frmmain->Visible());
}

TEST_F(Oem, ApplyWritesTheTextsAndTheSupportSectionAfresh) {
  testenv::WriteFile(System("oeminfo.ini"),
                     "[Support Information]\r\nLine1=a\r\nLine2=b\r\nLine3=c\r\nLine4=d\r\n"
                     "Line5=e\r\n");
  OpenForm();
  EXPECT_EQ(FrmOEM->Memo1->Lines().Count(), 5);
  FrmOEM->Edit1->SetText("");
  FrmOEM->Edit2->SetText("Model T");
  FrmOEM->Memo1->Lines().SetText("one\r\ntwo\r\nthree\r\n");
  Apply();
  EXPECT_EQ(Section("Support Information"),
            (std::vector<std::string>{"Line1=one", "Line2=two", "Line3=three"}));
  EXPECT_EQ(Section("General"), (std::vector<std::string>{
                                    std::string("Manufacturer=") + MakerWebSite, "Model=Model T"}));
  // No logo before and none chosen: no logo written.
  EXPECT_FALSE(FileExists(System("oemlogo.bmp")));
}

TEST_F(Oem, TheLogoIsStretchedOrKeptAndAJpegOfAnySpellingPreviews) {
  std::string jpeg = testenv::TestDir() + "Photo.JPG";
  {
    TBitmap source;
    source.SetSize(300, 200);
    TJPEGImage image;
    image.Assign(source);
    image.SaveToFile(jpeg);
  }
  OpenForm();
  testenv::Prompts().ExpectFileDialog({jpeg});
  FrmOEM->BitBtn4->Click();
  EXPECT_EQ(FrmOEM->Image1->Picture().Width(), 300);
  EXPECT_STREQ(FrmOEM->Image1->Picture().Graphic()->ClassName(), "TBitmap");
  Apply();
  EXPECT_EQ(WrittenLogo().cx, 300);
  EXPECT_EQ(WrittenLogo().cy, 200);

  FrmOEM->CheckBox1->SetChecked(true);
  EXPECT_TRUE(FrmOEM->Image1->Stretch());
  Apply();
  EXPECT_EQ(WrittenLogo().cx, OemLogoWidth);
  EXPECT_EQ(WrittenLogo().cy, OemLogoHeight);

  // Cleared, the preview is empty and the next Apply writes no logo.
  FrmOEM->BitBtn5->Click();
  EXPECT_EQ(FrmOEM->Image1->Picture().Width(), 0);
  Apply();
  EXPECT_FALSE(FileExists(System("oemlogo.bmp")));
}

TEST_F(Oem, RestorePutsBackWhatWasThereAndNeverLosesIt) {
  const std::string original = "[General]\r\nManufacturer=Original\r\n";
  testenv::WriteFile(System("oeminfo.ini"), original);
  // Restore before any change knows of nothing to put back: the files stay.
  OpenForm();
  FrmOEM->BitBtn2->Click();
  FrmOEM->BitBtn2->Click();
  EXPECT_EQ(testenv::ReadFile(System("oeminfo.ini")), original);

  FrmOEM->Edit1->SetText("Changed");
  Apply();
  Apply(); // the second Apply must not back up the first one's result
  EXPECT_EQ(ReadOemManufacturer(), "Changed");
  FrmOEM->BitBtn2->Click();
  EXPECT_EQ(testenv::ReadFile(System("oeminfo.ini")), original);
  EXPECT_EQ(FrmOEM->Edit1->Text(), "Original");
  // There was no logo: the one Apply made goes, and a second Restore changes nothing.
  EXPECT_FALSE(FileExists(System("oemlogo.bmp")));
  FrmOEM->BitBtn2->Click();
  EXPECT_EQ(testenv::ReadFile(System("oeminfo.ini")), original);
}

TEST_F(Oem, WithoutAnOriginalApplyAndRestoreLeaveNoFile) {
  std::string picture = testenv::TestDir() + "logo.bmp";
  WritePicture(picture, 20, 20);
  OpenForm();
  testenv::Prompts().ExpectFileDialog({picture});
  FrmOEM->BitBtn4->Click();
  Apply();
  EXPECT_TRUE(FileExists(System("oemlogo.bmp")));
  EXPECT_TRUE(FileExists(System("oeminfo.ini")));
  FrmOEM->BitBtn2->Click();
  EXPECT_FALSE(FileExists(System("oemlogo.bmp")));
  EXPECT_FALSE(FileExists(System("oeminfo.ini")));
  EXPECT_TRUE(FrmOEM->Edit1->Text().empty());
}

TEST_F(Oem, ASystemFolderThatRefusesTheWriteIsReportedNotCelebrated) {
  testenv::Places().nativeSystemDir = testenv::TestDir() + "NoSuchFolder";
  OpenForm();
  FrmOEM->Edit1->SetText("Acme");
  testenv::Prompts().Expect("could not be written", IDOK, "Error");
  FrmOEM->BitBtn1->Click();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  ASSERT_EQ(testenv::Prompts().Seen().size(), 1u);
}

TEST_F(Oem, ABackupWithoutARecordIsTheOriginalAndIsNeverOverwritten) {
  // Another copy of the program changed the file and kept the original aside; this one's
  // Config.ini knows nothing of it.
  const std::string original = "[General]\r\nManufacturer=Original\r\n";
  testenv::WriteFile(System("Oeminfo.bak"), original);
  testenv::WriteFile(System("oeminfo.ini"), "[General]\r\nManufacturer=Earlier result\r\n");
  OpenForm();
  FrmOEM->Edit1->SetText("Newest");
  Apply();
  EXPECT_EQ(testenv::ReadFile(System("Oeminfo.bak")), original);
  EXPECT_EQ(
      TIniFile(testenv::Places().programDir + "Data\\Config.ini").ReadString("OEM", "Info", ""),
      "1");
  FrmOEM->BitBtn2->Click();
  EXPECT_EQ(testenv::ReadFile(System("oeminfo.ini")), original);
}

TEST_F(Oem, AVanishedBackupIsToldOnceAndTakenAfresh) {
  const std::string current = VanishedBackup();
  OpenForm();
  FrmOEM->Edit1->SetText("Changed");
  testenv::Prompts().Expect("Oeminfo.bak", IDOK, "Warning");
  Apply();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_EQ(testenv::ReadFile(System("Oeminfo.bak")), current);
  // Told once: the next Apply finds a backup and asks nothing more, and Restore works again.
  Apply();
  EXPECT_EQ(testenv::Prompts().Seen().size(), 3u);
  FrmOEM->BitBtn2->Click();
  EXPECT_EQ(testenv::ReadFile(System("oeminfo.ini")), current);
}

// The record of the vanished backup can't be forgotten, so no new backup would be taken: the
// files are left as they are, and the user learns why.
TEST_F(Oem, AVanishedBackupThatCannotBeForgottenStopsEveryChange) {
  const std::string current = VanishedBackup();
  WritePicture(System("oemlogo.bmp"), 30, 30);
  const std::string logo = testenv::ReadFile(System("oemlogo.bmp"));
  OpenForm();
  {
    // Config.ini held open by someone else, without leave to write it (a read-only mark would
    // not stop an administrator, nor root under Wine).
    HANDLE held = CreateFileA((testenv::Places().programDir + "Data\\Config.ini").c_str(),
                              GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FrmOEM->Edit1->SetText("Changed");
    testenv::Prompts().Expect("nothing was changed", IDOK, "Error");
    FrmOEM->BitBtn1->Click();
    testenv::Prompts().Expect("nothing was changed", IDOK, "Error");
    FrmOEM->BitBtn5->Click();
    CloseHandle(held);
  }
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  ASSERT_EQ(testenv::Prompts().Seen().size(), 2u) << "and no success on top";
  EXPECT_NE(testenv::Prompts().Seen()[0].text.find("Oeminfo.bak"), std::string::npos);
  EXPECT_EQ(testenv::ReadFile(System("oeminfo.ini")), current);
  EXPECT_TRUE(testenv::ReadFile(System("oemlogo.bmp")) == logo);
  EXPECT_FALSE(FileExists(System("Oeminfo.bak")));
  EXPECT_FALSE(FileExists(System("Oemlogo.bak")));
}

TEST_F(Oem, ALogoThatCannotBeDeletedIsReportedAndSeeEffectRunsTheSystemsOwnProgram) {
  WritePicture(System("oemlogo.bmp"), 30, 30);
  OpenForm();
  {
    // Held open by someone else, without leave to delete it.
    HANDLE held = CreateFileA(System("oemlogo.bmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    testenv::Prompts().Expect("logo could not be removed", IDOK, "Error");
    FrmOEM->BitBtn5->Click();
    CloseHandle(held);
  }
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_TRUE(FileExists(System("oemlogo.bmp")));

  FrmOEM->BitBtn3->Click();
  ASSERT_FALSE(testenv::Shell().calls.empty());
  const testenv::ShellCall &call = testenv::Shell().calls.back();
  EXPECT_EQ(call.what, "WinExec");
  EXPECT_EQ(call.file, "\"" + testenv::Places().systemDir +
                           "\\rundll32.exe\" shell32.dll,Control_RunDLL Sysdm.cpl,,0");
  EXPECT_EQ(call.showCmd, SW_RESTORE);
}
