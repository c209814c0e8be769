// The language file applied to the program's real forms.
#include "AppFixture.h"

#include "app/UnitFrmOption.h"
#include "app/UnitFrmPwd.h"
#include "common/Translation.h"
#include "features/explorer/UnitFrmIE.h"
#include "features/icons/UnitFrmIcon.h"
#include "features/icons/UnitFrmIconCus.h"
#include "features/wallpaper/UnitFrmWallpaper_Area.h"
#include "features/wallpaper/UnitFrmwallpaper.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

// A form with a combo box, which none of the program's forms has yet.
class TFrmProbe : public TForm {
public:
  using TForm::TForm;
  TComboBox *ComboBox1 = nullptr;

protected:
  void Build() override {
    SetFormName(this, "FrmProbe");
    LG_NEW(ComboBox1, TComboBox, this);
    ComboBox1->SetParent(this);
    ComboBox1->Items().Add("one");
    ComboBox1->Items().Add("two");
    ComboBox1->SetItemIndex(0);
  }
};
TFrmProbe *FrmProbe = nullptr;

const char *Valid = "[Info]\r\nCheckValid=1\r\n";

} // namespace

using Translation = AppTest;

TEST_F(Translation, AFileThatIsNotValidLeavesFormsAloneButServesMessages) {
  UseLanguage("[Info]\r\nCheckValid=0\r\n[Messages]\r\nCommon_3=Achtung\r\n"
              "[Translations]\r\nFrmmain.Caption=Haupt\r\nFrmmain.Lbl_Icon.Caption=Symbole\r\n");
  StartProgram();
  EXPECT_EQ(Frmmain->Caption(), "Lumagrove");
  EXPECT_EQ(Frmmain->Lbl_Icon->Caption(), "Icons");
  testenv::Places().version = {VER_PLATFORM_WIN32_NT, 4, 0, ""};
  testenv::Prompts().Expect("WindowsXP", IDOK, "Achtung");
  Frmmain->Lbl_Logon->Click();
}

TEST_F(Translation, AnEmptyValueEmptiesAndAMissingKeyKeeps) {
  UseLanguage(std::string(Valid) + "[Translations]\r\nFrmmain.Lbl_Icon.Caption=\r\n"
                                   "Frmmain.Lbl_Folder.Caption=Ordner\r\n");
  StartProgram();
  EXPECT_EQ(Frmmain->Lbl_Icon->Caption(), "");
  EXPECT_EQ(Frmmain->Lbl_Folder->Caption(), "Ordner");
  EXPECT_EQ(Frmmain->Lbl_Cursor->Caption(), "Cursors");
}

TEST_F(Translation, DataComponentsKeepTheirTexts) {
  UseLanguage(std::string(Valid) + "[Translations]\r\nFrmIe_preview.preview1.Caption=X\r\n"
                                   "FrmIe_preview.preview1.Hint=Y\r\n"
                                   "FrmIe_preview.Image1.Hint=Bild\r\n");
  StartProgram();
  EXPECT_EQ(FrmIe_preview->preview1->Caption(), "");
  EXPECT_EQ(FrmIe_preview->preview1->Hint, "");
  EXPECT_EQ(FrmIe_preview->Image1->Hint, "Bild");
}

TEST_F(Translation, EditsTakeHintsAndComboBoxesOnlyItems) {
  UseLanguage(std::string(Valid) +
              "[Translations]\r\nFrmOption.LabeledEdit1.Caption=typed\r\n"
              "FrmOption.LabeledEdit1.Hint=Altes Passwort\r\nFrmProbe.ComboBox1.Caption=X\r\n"
              "FrmProbe.ComboBox1.Items.0=eins\r\nFrmProbe.ComboBox1.Items.1=zwei\r\n");
  StartProgram();
  Frmmain->ToolButton3->Click();
  EXPECT_EQ(FrmOption->LabeledEdit1->Text(), "");
  EXPECT_EQ(FrmOption->LabeledEdit1->Hint, "Altes Passwort");

  CreateForm(Application, FrmProbe);
  ApplyTranslation(GetLanguageFile());
  EXPECT_EQ(FrmProbe->ComboBox1->Items().Strings(0), "eins");
  EXPECT_EQ(FrmProbe->ComboBox1->Items().Strings(1), "zwei");
  EXPECT_NE(FrmProbe->ComboBox1->Text(), "X");
}

TEST_F(Translation, OpenDialogsTakeFilterFromHintAndTitleFromCaption) {
  UseLanguage(std::string(Valid) + "[Translations]\r\nCaption=nothing\r\n"
                                   "Frmmain.OpenIconpackage.Hint=Pakete|*.zip\r\n"
                                   "Frmmain.OpenIconpackage.Caption=Paket öffnen\r\n");
  StartProgram();
  EXPECT_EQ(Frmmain->OpenIconpackage->Filter, "Pakete|*.zip");
  EXPECT_EQ(Frmmain->OpenIconpackage->Title, "Paket öffnen");
  EXPECT_EQ(Frmmain->OpenCurPackage->Filter, "*.zip;*.ct|*.zip;*.ct");
  EXPECT_EQ(Frmmain->OpenCurPackage->Title, "");
  EXPECT_EQ(Frmmain->Caption(), "Lumagrove");
}

TEST_F(Translation, AFormOpenedLaterTranslatesEveryOpenForm) {
  StartProgram();
  ASSERT_EQ(Frmmain->Lbl_IE->Caption(), "Explorer");
  UseLanguage(std::string(Valid) + "[Translations]\r\nFrmmain.Lbl_IE.Caption=Entdecker\r\n"
                                   "FrmOption.Caption=Optionen\r\n");
  Frmmain->ToolButton3->Click();
  EXPECT_EQ(FrmOption->Caption(), "Optionen");
  EXPECT_EQ(Frmmain->Lbl_IE->Caption(), "Entdecker");
}

TEST_F(Translation, TheTranslatedCaptionReplacesTheCustomName) {
  WriteConfig("[Option]\r\nCustomName=X\r\n");
  UseLanguage(std::string(Valid) + "[Translations]\r\nFrmmain.Caption=Lumagrove (de)\r\n");
  StartProgram();
  EXPECT_EQ(Frmmain->Caption(), "Lumagrove (de)");
}

// Every key of the shipped German file names a form or component that exists, and the start-up
// translation leaves what the program wrote itself in place.
TEST_F(Translation, TheGermanFileFitsTheForms) {
  std::string german = testenv::BuiltProgramDir() + "Lang\\Deutsch.lng";
  WriteRegValue(HKEY_CURRENT_USER, ProgramKey, "Language", german, 1);
  StartProgram();
  Frmmain->ToolButton3->Click();
  CreateForm(Frmmain, FrmPwd);
  Frmmain->Lbl_Icon->Click();
  FrmIconCus->Image3->DblClick();
  Frmmain->Lbl_Cursor->Click();
  Frmmain->Lbl_Logon->Click();
  Frmmain->Lbl_Folder->Click();
  Frmmain->Lbl_More->Click();
  // The template form shows the first of the program's own pictures.
  testenv::WriteFile(testenv::Places().programDir + "Wallpaper\\Lumagrove01.jpg",
                     testenv::ReadFile(testenv::BuiltProgramDir() + "Wallpaper\\Lumagrove01.jpg"));
  Frmmain->Lbl_Wallpaper->Click();
  FrmWallpaper->CheckBox3->SetChecked(true);
  FrmWallpaper->CheckBox3MouseUp(FrmWallpaper->CheckBox3, mbLeft, 0, 1, 1);
  Frmmain->Lbl_OEM->Click();
  Frmmain->Lbl_IE->Click();
  Frmmain->Lbl_XPLook->Click();

  TStringList keys;
  TIniFile(german).ReadSection("Translations", keys);
  ASSERT_GT(keys.Count(), 30);
  for (const std::string &key : keys.Items()) {
    // <Form>.<Component>.Caption, or .Items.<n> of a list: the component ends at the second dot.
    size_t dot = key.find('.');
    size_t last = key.find('.', dot + 1);
    ASSERT_NE(dot, std::string::npos) << key;
    TCustomForm *form = nullptr;
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->GetName() == key.substr(0, dot))
        form = Screen->Forms(i);
    ASSERT_NE(form, nullptr) << key;
    if (last != std::string::npos) {
      EXPECT_NE(form->FindComponent(key.substr(dot + 1, last - dot - 1)), nullptr) << key;
    }
  }
  EXPECT_EQ(Frmmain->Lbl_Wallpaper->Caption(), "Hintergr\xFC"
                                               "nde");
  EXPECT_EQ(Frmmain->LabelVersion->Caption(), "Version:7.6.5.4");
  EXPECT_EQ(LangMessage("Reg_9", ""), "Falsches Passwort!");
  EXPECT_EQ(FrmWallpaper->ComboBox1->Items().Strings(23), "Zuf\xE4llig");
  EXPECT_EQ(Frmwallpaper_area->Caption(), "Vorlage");
  EXPECT_EQ(FrmOption->LabeledEdit1->EditLabel()->Caption(), "Altes Passwort");
  EXPECT_EQ(FrmOption->LabeledEdit3->EditLabel()->Caption(), "Passwort best\xE4tigen");
  // The file count survives the later forms' translations, after a space the quotes keep.
  EXPECT_EQ(FrmIE->Label1->Caption(), "Installierte Hintergrunddateien: " +
                                          std::to_string(FrmIE->FileListBox1->Items().Count()));
}
