// Language files and Config.ini come with packages from the web and may hold anything. They are
// read through the system's private-profile functions: the program starts with what can be read
// from them and keeps working.
#include "AppFixture.h"

#include "app/UnitFrmOption.h"
#include "common/Translation.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

// head, then what a damaged or hostile file holds: a key of 5,000 characters, binary garbage
// (zero bytes, lone line ends, brackets), sections repeated with other values, and filler up to
// 10 MB; then tail.
std::string Hostile(const std::string &head, const std::string &repeated, const std::string &tail) {
  std::string text = head + std::string(5000, 'K') + "=a key of 5000 characters\r\n";
  for (int i = 0; i < 4096; ++i)
    text += char((i * 7919) >> 3);
  text += "\r\n" + repeated + "[Filler]\r\n";
  for (int n = 0; text.size() < (10u << 20); ++n)
    text += "key" + std::to_string(n) + "=" + std::string(60, 'f') + "\r\n";
  return text + tail;
}

const std::string Sep = "\xA3\xAD";

} // namespace

using HostileFiles = AppTest;

TEST_F(HostileFiles, ALanguageFileTranslatesWhatCanBeReadAndTheProgramWorks) {
  UseLanguage(Hostile("[Info]\r\nCheckValid=1\r\n[Translations]\r\n"
                      "Frmmain.Lbl_Icon.Caption=Symbole\r\n"
                      "Frmmain.Lbl_Folder.Caption=" +
                          std::string(5000, 'v') + "\r\n",
                      // The first of sections of the same name is the one read.
                      "[Info]\r\nCheckValid=0\r\n[Translations]\r\n"
                      "Frmmain.Lbl_Icon.Caption=Zweites\r\n",
                      "[Messages]\r\nCommon_3=Achtung\r\n"));
  StartProgram();
  EXPECT_EQ(Frmmain->Lbl_Icon->Caption(), "Symbole");
  EXPECT_EQ(Frmmain->Lbl_Folder->Caption(), std::string(2047, 'v')) << "values end at 2047";
  EXPECT_EQ(Frmmain->Lbl_Cursor->Caption(), "Cursors");

  Frmmain->ToolButton3->Click();
  ASSERT_NE(FrmOption, nullptr);
  EXPECT_TRUE(FrmOption->Visible());
  FrmOption->Close();
  // The message texts at the file's end, 10 MB in, still come through.
  testenv::Places().version = {VER_PLATFORM_WIN32_NT, 4, 0, ""};
  testenv::Prompts().Expect("WindowsXP", IDOK, "Achtung");
  Frmmain->Lbl_Logon->Click();
}

TEST_F(HostileFiles, AConfigIniGivesTheCaptionWhatCanBeReadAndTheProgramWorks) {
  WriteConfig(Hostile("[Option]\r\nCustomName=" + std::string(5000, 'n') + "\r\n",
                      "[Option]\r\nCustomName=Zweites\r\n", "[Special]\r\nName=Ende\r\n"));
  StartProgram();
  EXPECT_EQ(Frmmain->Caption(), "Lumagrove" + Sep + std::string(5000, 'n') + Sep + "Ende");
  Frmmain->ToolButton3->Click();
  ASSERT_NE(FrmOption, nullptr);
  FrmOption->Close();
  Frmmain->Close();
  TIniFile desktop(testenv::Places().programDir + "desktop.ini");
  EXPECT_EQ(desktop.ReadString(".ShellClassInfo", "IconFile", ""),
            testenv::Places().programDir + "Data\\Icon.dll");
}
