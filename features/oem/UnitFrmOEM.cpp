#include "features/oem/UnitFrmOEM.h"

#include "app/UnitMain.h"
#include "common/AnsiText.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/oem/Func_OEM.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmOEM *FrmOEM = nullptr;

void TFrmOEM::Build() {
  SetFormName(this, "FrmOEM");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetCaption("OEM information");
  SetClientSize(496, 344);

  LG_PLACE(Label1, TLabel, this, 16, 14, 260, 15, "Manufacturer:");
  LG_PLACE(Edit1, TEdit, this, 16, 32, 264, 21, nullptr);
  LG_PLACE(Label2, TLabel, this, 16, 64, 260, 15, "Model:");
  LG_PLACE(Edit2, TEdit, this, 16, 82, 264, 21, nullptr);
  LG_PLACE(Label3, TLabel, this, 16, 114, 260, 15, "Support information:");
  LG_PLACE(Memo1, TMemo, this, 16, 132, 264, 148, nullptr);
  Memo1->SetScrollBars(ssBoth);
  Memo1->SetWordWrap(false);
  // A second line buffer, as the support lines are read.
  LG_PLACE(Memo2, TMemo, this, 16, 132, 264, 148, nullptr);
  Memo2->SetVisible(false);
  Memo2->Tag = 255;

  LG_PLACE(Label4, TLabel, this, 296, 14, 184, 15, "Logo:");
  LG_PLACE(Panel1, TPanel, this, 296, 32, 184, 110, nullptr);
  Panel1->SetBevelOuter(bvLowered);
  Panel1->SetCaption("");
  LG_PLACE(Image1, TImage, Panel1, 2, 2, OemLogoWidth, OemLogoHeight, nullptr);
  Image1->SetCenter(true);
  LG_PLACE(CheckBox1, TCheckBox, this, 296, 150, 184, 17, "Strech picture");
  LG_PLACE(BitBtn4, TBitBtn, this, 296, 176, 88, 26, "Browse...");
  LG_PLACE(BitBtn5, TBitBtn, this, 392, 176, 88, 26, "Clear Logo");

  struct Bottom {
    TBitBtn *&member;
    const char *name, *caption;
  } bottom[] = {{BitBtn1, "BitBtn1", "Apply"},
                {BitBtn2, "BitBtn2", "Restore"},
                {BitBtn3, "BitBtn3", "See Effect"},
                {BitBtn6, "BitBtn6", "Help"}};
  int left = 104;
  for (Bottom &b : bottom) {
    PlaceControl(b.member = new TBitBtn(this), b.name, this, left, 300, 88, 28, b.caption);
    left += 96;
  }

  LG_NEW(OpenDialog1, TOpenPictureDialog, this);
  OpenDialog1->Filter = "*.bmp;*.jpg|*.bmp;*.jpg";

  BitBtn1->OnClick = Bind(this, &TFrmOEM::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmOEM::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmOEM::BitBtn3Click);
  BitBtn4->OnClick = Bind(this, &TFrmOEM::BitBtn4Click);
  BitBtn5->OnClick = Bind(this, &TFrmOEM::BitBtn5Click);
  BitBtn6->OnClick = Bind(this, &TFrmOEM::BitBtn6Click);
  CheckBox1->OnClick = Bind(this, &TFrmOEM::CheckBox1Click);
  OnCreate = Bind(this, &TFrmOEM::FormCreate);
  OnClose = Bind(this, &TFrmOEM::FormClose);
}

// Opening the form only reads: the originals are backed up before the first change instead,
// so that the backup always holds what was there before Lumagrove.
void TFrmOEM::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  CheckBox1->SetChecked(false);
  ShowLogo();
  ShowTexts();
}

void TFrmOEM::ShowLogo() {
  std::unique_ptr<TBitmap> logo = LoadOemLogo();
  Image1->Picture().Assign(logo.get());
}

void TFrmOEM::ShowTexts() {
  Edit1->SetText(ReadOemManufacturer());
  Edit2->SetText(ReadOemModel());
  const TStringList &lines = ReadOemSupportLines(Memo2);
  TStringList &shown = Memo1->Lines();
  shown.Clear();
  for (int i = 0; i < lines.Count(); ++i)
    shown.Add(lines.Strings(i));
}

void TFrmOEM::ReportFailure() {
  GetPrompts().MessageBox(Handle(),
                          LangMessage("OEM_2", "The OEM information could not be written to "
                                               "the system folder."),
                          LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
}

// An original whose backup has gone can't be put back any more: say so once, and let the next
// backup take the files as they are now, so that Restore works again. Returns false when that
// could not be noted in Config.ini: a change would then go without a backup, so none is made.
bool TFrmOEM::TellLostBackups() {
  std::vector<std::string> lost;
  bool forgotten = ForgetLostOemBackups(lost);
  if (lost.empty())
    return true;
  std::string names;
  for (const std::string &name : lost)
    names += "\r\n" + name;
  std::string text = LangMessage("OEM_4", "The backup of the original OEM information is "
                                          "missing, so that original can't be put back:") +
                     names + "\r\n\r\n";
  if (!forgotten) {
    GetPrompts().MessageBox(Handle(),
                            text + LangMessage("OEM_7",
                                               "Lumagrove could not note this in its settings file "
                                               "(Config.ini), so nothing was changed."),
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
    return false;
  }
  GetPrompts().MessageBox(Handle(),
                          text + LangMessage("OEM_6", "The files as they are now will be backed "
                                                      "up instead."),
                          LangMessage("Common_3", "Warning"), MB_OK | MB_ICONWARNING);
  return true;
}

void TFrmOEM::FormClose(TObject *, TCloseAction &Action) {
  if (Frmmain)
    Frmmain->Show();
  Action = caFree;
}

void TFrmOEM::BitBtn1Click(TObject *) {
  if (!TellLostBackups())
    return;
  try {
    if (!BackupOemFiles()) {
      ReportFailure();
      return;
    }
    WriteOemInfo(Edit1->Text(), Edit2->Text(), Memo1->Lines());
    WriteOemLogo(Image1, CheckBox1->Checked());
  } catch (const Exception &) {
    ReportFailure();
    return;
  }
  GetPrompts().MessageBox(
      Handle(),
      LangMessage("OEM_1", AnsiText("Congratulation\xEF\xBC\x8C"
                                    "OEM information installed successfully\xEF\xBC\x81")),
      LangMessage("Common_8", "OK"), MB_OK | MB_ICONINFORMATION);
}

void TFrmOEM::BitBtn2Click(TObject *) {
  if (!TellLostBackups())
    return;
  bool restored = RestoreOemFiles();
  ShowLogo();
  ShowTexts();
  if (!restored)
    GetPrompts().MessageBox(Handle(),
                            LangMessage("OEM_3", "The original OEM information could not be "
                                                 "put back in the system folder."),
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
}

void TFrmOEM::BitBtn3Click(TObject *) {
  // By its full path: a bare name is looked for in the current folder first, which a picture
  // dialog may have left anywhere.
  std::string command = "\"";
  command += GetSystemDir();
  command += "\\rundll32.exe\" shell32.dll,Control_RunDLL Sysdm.cpl,,0";
  GetShell().WinExec(command, SW_RESTORE);
}

void TFrmOEM::BitBtn4Click(TObject *) {
  OpenDialog1->FileName.clear();
  if (!OpenDialog1->Execute())
    return;
  const std::string &file = OpenDialog1->FileName;
  Image1->Picture().LoadFromFile(file);
  // A JPEG (any spelling of its extension) is shown, and later written, as a bitmap.
  Image1->Picture().Bitmap();
}

void TFrmOEM::BitBtn5Click(TObject *) {
  bool exists;
  {
    TNativeSystemFolder native;
    exists = FileExists(OemLogoFile());
  }
  if (!exists || !TellLostBackups())
    return;
  if (!BackupOemFiles()) {
    ReportFailure();
    return;
  }
  bool deleted;
  {
    TNativeSystemFolder native;
    deleted = tk::DeleteFile(OemLogoFile());
  }
  ShowLogo();
  if (!deleted)
    GetPrompts().MessageBox(
        Handle(), LangMessage("OEM_5", "The logo could not be removed from the system folder."),
        LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
}

void TFrmOEM::BitBtn6Click(TObject *) {
  if (Frmmain)
    Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", "frmoem.htm");
}

void TFrmOEM::CheckBox1Click(TObject *) {
  Image1->SetStretch(CheckBox1->Checked());
  Image1->SetCenter(!CheckBox1->Checked());
}
