#include "features/folder/UnitFrmFolder.h"

#include <shellapi.h>

#include "app/UnitMain.h"
#include "common/IconPicker.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/folder/Func_Folder.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmFolder *FrmFolder = nullptr;

namespace {

constexpr const char *HelpTopic = "frmfolder.htm";

// "Selected Folder" and a full-width colon, in the system's code page (a plain colon where it
// has no full-width one).
std::string SelectedFolderText() {
  const wchar_t *text = L"Selected Folder\uFF1A";
  char ansi[64] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof(ansi) - 1, nullptr, nullptr);
  return ansi;
}

// Whether the image got the icon. Index -1 asks the system how many icons the file holds, so it
// names no icon at all: the image keeps what it showed (the default icon). Other negative
// indexes are resource IDs.
bool ShowIcon(TImage *image, const std::string &file, int index) {
  if (index == -1)
    return false;
  HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file.c_str(), UINT(index));
  // 1 is the shell's answer for a file that holds no icons at all.
  if (reinterpret_cast<UINT_PTR>(icon) <= 1)
    return false;
  image->Picture().Icon().SetHandle(icon);
  return true;
}

// An icon location from a settings file or the registry; one whose index is no number is
// someone else's mistake and shows nothing.
bool ShowIconAt(TImage *image, const std::string &location) {
  try {
    return ShowIcon(image, IconLocationFile(location), IconLocationIndex(location));
  } catch (const EConvertError &) {
    return false;
  }
}

// The shell's own icon for a folder (3) or a drive (8): the Shell Icons value's when it gives
// one, else shell32's.
void ShowDefaultIcon(TImage *image, int shellIcon) {
  HICON icon = ShellIconsIcon(shellIcon);
  if (!icon)
    icon = ExtractLocationIcon(Shell32Path() + "," + IntToStr(shellIcon));
  if (icon)
    image->Picture().Icon().SetHandle(icon);
}

void ShowPicture(TImage *image, const std::string &file) {
  image->Picture().Assign(nullptr);
  try {
    image->Picture().LoadFromFile(file);
  } catch (const Exception &) {
    // Not a picture this program reads: no preview.
  }
}

// The picked icon as file and index. The picker's file may itself hold a comma, so the index is
// what follows the last one.
void SplitPicked(const std::string &location, std::string &file, int &index) {
  size_t comma = location.rfind(',');
  file = location.substr(0, comma);
  index = StrToIntDef(location.substr(comma + 1), 0);
}

void Place(TControl *control, TWinControl *parent, int left, int top, int width, int height) {
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
}

void HiddenData(TControl *control) {
  control->SetVisible(false);
  control->Tag = TranslationSkipTag;
}

} // namespace

void TFrmFolder::Build() {
  SetFormName(this, "FrmFolder");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetCaption("Customize Folders");
  SetClientSize(620, 436);

  LG_NEW(ShellTreeView1, TShellTreeView, this);
  Place(ShellTreeView1, this, 8, 8, 240, 420);
  ShellTreeView1->Tag = TranslationSkipTag;
  ShellTreeView1->SetShowRoot(false);
  ShellTreeView1->SetObjectTypes(otFolders | otHidden);
  ShellTreeView1->SetHideSelection(false);
  ShellTreeView1->RightClickSelect = true;

  LG_NEW(Label1, TLabel, this);
  Place(Label1, this, 260, 10, 352, 28);
  Label1->SetAutoSize(false);
  Label1->SetWordWrap(true);
  Label1->SetCaption("Select a folder or a drive on the left, then choose how it looks.");

  LG_NEW(Edit1, TEdit, this);
  Place(Edit1, this, 260, 40, 100, 21);
  HiddenData(Edit1);

  BuildIconAndTip();
  BuildBackground();
  BuildColours();

  // Wide enough for the longest translation ("Wiederherstellen").
  LG_NEW(BitBtn1, TBitBtn, this);
  Place(BitBtn1, this, 300, 400, 100, 28);
  BitBtn1->SetCaption("Apply");
  LG_NEW(BitBtn2, TBitBtn, this);
  Place(BitBtn2, this, 406, 400, 100, 28);
  BitBtn2->SetCaption("Restore");
  LG_NEW(BitBtn5, TBitBtn, this);
  Place(BitBtn5, this, 512, 400, 100, 28);
  BitBtn5->SetCaption("Help");

  LG_NEW(opdialog1, TOpenPictureDialog, this);
  opdialog1->Options = ofHideReadOnly | ofFileMustExist | ofEnableSizing;

  ShellTreeView1->OnClick = Bind(this, &TFrmFolder::ShellTreeView1Click);
  BitBtn3->OnClick = Bind(this, &TFrmFolder::BitBtn3Click);
  BitBtn4->OnClick = Bind(this, &TFrmFolder::BitBtn4Click);
  ColorBox1->OnSelect = Bind(this, &TFrmFolder::ColorBox1Select);
  ColorBox2->OnSelect = Bind(this, &TFrmFolder::ColorBox2Select);
  BitBtn1->OnClick = Bind(this, &TFrmFolder::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmFolder::BitBtn2Click);
  BitBtn5->OnClick = Bind(this, &TFrmFolder::BitBtn5Click);
  Label8->OnClick = Bind(this, &TFrmFolder::Label8Click);
  OnCreate = Bind(this, &TFrmFolder::FormCreate);
  OnClose = Bind(this, &TFrmFolder::FormClose);
}

void TFrmFolder::BuildIconAndTip() {
  LG_NEW(Label2, TLabel, this);
  Place(Label2, this, 260, 50, 120, 13);
  Label2->SetCaption("Icon:");
  LG_NEW(Image1, TImage, this);
  Place(Image1, this, 260, 68, 32, 32);
  Image1->SetCenter(true);
  LG_NEW(LabelIcon, TLabel, this);
  Place(LabelIcon, this, 300, 50, 100, 13);
  LabelIcon->SetCaption("");
  HiddenData(LabelIcon);
  LG_NEW(BitBtn3, TBitBtn, this);
  Place(BitBtn3, this, 304, 70, 110, 28);
  BitBtn3->SetCaption("Change icon...");

  LG_NEW(Label3, TLabel, this);
  Place(Label3, this, 260, 114, 120, 13);
  Label3->SetCaption("Info tip:");
  LG_NEW(Edit2, TEdit, this);
  Place(Edit2, this, 260, 131, 352, 21);
}

void TFrmFolder::BuildBackground() {
  LG_NEW(Label4, TLabel, this);
  Place(Label4, this, 260, 166, 200, 13);
  Label4->SetCaption("Background picture:");
  LG_NEW(Bevel1, TBevel, this);
  Place(Bevel1, this, 259, 183, 202, 152);
  LG_NEW(Image2, TImage, this);
  Place(Image2, this, 260, 184, 200, 150);
  Image2->SetStretch(true);
  Image2->SetProportional(true);
  Image2->SetCenter(true);
  // The sample icon text, where an icon's caption would sit on the folder's background.
  LG_NEW(Label6, TLabel, this);
  Place(Label6, this, 340, 300, 40, 13);
  Label6->SetCaption("Filename");
  Label6->SetColor(clWhite);
  Label6->Font().SetColor(clBlack);
  LG_NEW(Label8, TLabel, this);
  Place(Label8, this, 260, 338, 200, 13);
  Label8->Font().SetColor(clGrayText);
  Label8->SetCaption("The sample shows the icon texts.");
  LG_NEW(BitBtn4, TBitBtn, this);
  Place(BitBtn4, this, 260, 358, 88, 28);
  BitBtn4->SetCaption("Browse...");

  LG_NEW(Edit3, TEdit, this);
  Place(Edit3, this, 260, 40, 100, 21);
  HiddenData(Edit3);
  LG_NEW(Edit4, TEdit, this);
  Place(Edit4, this, 260, 40, 100, 21);
  HiddenData(Edit4);
  LG_NEW(Edit5, TEdit, this);
  Place(Edit5, this, 260, 40, 100, 21);
  HiddenData(Edit5);
}

void TFrmFolder::BuildColours() {
  LG_NEW(Label5, TLabel, this);
  Place(Label5, this, 476, 184, 136, 13);
  Label5->SetCaption("Text colour:");
  LG_NEW(ColorBox1, TColorBox, this);
  Place(ColorBox1, this, 476, 201, 136, 22);
  ColorBox1->Tag = TranslationSkipTag;
  ColorBox1->SetColorStyle(cbStandardColors | cbCustomColor);
  ColorBox1->SetSelected(clBlack);

  LG_NEW(Label7, TLabel, this);
  Place(Label7, this, 476, 236, 136, 13);
  Label7->SetCaption("Text background:");
  LG_NEW(ColorBox2, TColorBox, this);
  Place(ColorBox2, this, 476, 253, 136, 22);
  ColorBox2->Tag = TranslationSkipTag;
  ColorBox2->SetColorStyle(cbStandardColors | cbIncludeNone | cbIncludeDefault | cbCustomColor);
  ColorBox2->SetSelected(clWhite);
}

void TFrmFolder::FormCreate(TObject *) { ApplyTranslation(GetLanguageFile()); }

void TFrmFolder::FormClose(TObject *, TCloseAction &Action) {
  if (Frmmain)
    Frmmain->Show();
  Action = caFree;
}

void TFrmFolder::ShellTreeView1Click(TObject *) {
  Edit1->SetText(ShellTreeView1->Path());
  Label1->SetCaption(LangMessage("Folder_1", SelectedFolderText()) + Edit1->Text());
  ReadTarget();
}

// A choice of another node starts afresh, so that nothing picked for one folder is ever
// applied to another.
void TFrmFolder::ResetFields() {
  for (TEdit *edit : {Edit2, Edit3, Edit4, Edit5})
    edit->SetText("");
  LabelIcon->SetCaption("");
  Label6->SetTransparent(false);
  Label6->SetColor(clWhite);
  Label6->Font().SetColor(clBlack);
  ColorBox1->SetSelected(clBlack);
  ColorBox2->SetSelected(clWhite);
  Image1->Picture().Assign(nullptr);
  Image2->Picture().Assign(nullptr);
}

void TFrmFolder::ReadTarget() {
  ResetFields();
  const std::string target = Edit1->Text();
  if (target.size() > 3)
    ReadFolder(target);
  else if (target.size() == 3)
    ReadDrive(target);
}

void TFrmFolder::ReadFolder(const std::string &folder) {
  ShowDefaultIcon(Image1, 3);

  std::string file = folder + "\\desktop.ini";
  if (!FileExists(file))
    return;
  TIniFile ini(file);
  Edit2->SetText(ini.ReadString(".ShellClassInfo", "InfoTip", ""));
  Edit5->SetText(ini.ReadString(FolderViewSection, "IconArea_TextBackground", ""));
  Edit4->SetText(ini.ReadString(FolderViewSection, "IconArea_Text", ""));
  Edit3->SetText(ini.ReadString(FolderViewSection, "IconArea_Image", ""));
  std::string iconFile = ini.ReadString(".ShellClassInfo", "IconFile", "");
  if (FileExists(iconFile))
    ShowIcon(Image1, iconFile, ini.ReadInteger(".ShellClassInfo", "IconIndex", 0));
  if (FileExists(Edit3->Text()))
    ShowPicture(Image2, Edit3->Text());

  // A colour text that is no colour leaves its box at the default (and is not written back).
  TColor color;
  if (!Edit4->Text().empty()) {
    if (ReadFolderColorText(Edit4->Text(), color)) {
      Label6->Font().SetColor(color);
      ColorBox1->SetSelected(color);
    } else {
      Edit4->SetText("");
    }
  }
  if (!Edit5->Text().empty()) {
    if (ReadFolderColorText(Edit5->Text(), color)) {
      ColorBox2->SetSelected(color);
    } else {
      Edit5->SetText("");
    }
  }
  ShowSampleBackground(ColorBox2->Selected());
}

void TFrmFolder::ReadDrive(const std::string &drive) {
  ShowDefaultIcon(Image1, 8);
  std::string autorun = TIniFile(drive + "Autorun.inf").ReadString("Autorun", "Icon", "");
  if (!autorun.empty())
    ShowIconAt(Image1, autorun);
}

void TFrmFolder::ShowSampleBackground(TColor color) {
  bool picture = FileExists(Edit3->Text());
  // "None" has no colour of its own: the sample lies on the form or the picture.
  Label6->SetTransparent(picture || color == clNone);
  Label6->SetColor(color == clDefault ? clWindow : color == clNone ? clWhite : color);
}

void TFrmFolder::BitBtn3Click(TObject *) { pickicon(); }

void TFrmFolder::pickicon() {
  std::string start = GetConfigFolder("Data") + "foldericon.icl";
  if (start.size() >= MAX_PATH) {
    GetPrompts().MessageBox(Handle(),
                            LangMessage("Folder_8", "The icon collection's path is too long for "
                                                    "the icon picker:") +
                                "\r" + start,
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
    return;
  }
  std::string picked;
  int index = 0;
  // A cancelled picker, or none at all, leaves the icon picked before, or none.
  if (!PickIconLocation(Handle(), start, picked, index))
    return;
  LabelIcon->SetCaption(picked.empty() ? std::string() : picked + "," + IntToStr(index));
  if (!picked.empty()) {
    Image1->Picture().Assign(nullptr);
    ShowIcon(Image1, picked, index);
  }
}

void TFrmFolder::BitBtn4Click(TObject *) {
  opdialog1->InitialDir = GetConfigFolder("FolderBG");
  if (!opdialog1->Execute())
    return;
  Edit3->SetText(opdialog1->FileName);
  ShowPicture(Image2, Edit3->Text());
  ShowSampleBackground(ColorBox2->Selected());
}

void TFrmFolder::ColorBox1Select(TObject *) {
  TColor color = ColorBox1->Selected();
  Label6->Font().SetColor(color);
  Edit4->SetText(FolderColorText(color));
}

// "None" and "Default" are no colour: the text goes, and the shell draws its own.
void TFrmFolder::ColorBox2Select(TObject *) {
  TColor color = ColorBox2->Selected();
  ShowSampleBackground(color);
  Edit5->SetText(color == clNone || color == clDefault ? std::string() : FolderColorText(color));
}

void TFrmFolder::BitBtn1Click(TObject *) {
  const std::string target = Edit1->Text();
  if (target.empty())
    return;
  const std::string icon = LabelIcon->Caption();
  std::string iconFile;
  int iconIndex = 0;
  SplitPicked(icon, iconFile, iconIndex);
  bool written;
  if (target.size() == 3) {
    // A drive takes nothing but its icon.
    if (icon.empty()) {
      GetPrompts().MessageBox(
          Handle(),
          LangMessage("Folder_6", "No icon was picked for this drive, so nothing was changed."),
          LangMessage("Common_8", "OK"), MB_OK | MB_ICONINFORMATION);
      return;
    }
    written = SetFolderIcon(target, iconFile, iconIndex);
  } else {
    written = (icon.empty() || SetFolderIcon(target, iconFile, iconIndex)) &&
              SetFolderInfoTip(target, Edit2->Text()) &&
              SetFolderBackground(target, Edit5->Text(), Edit4->Text(), Edit3->Text());
  }
  if (!written) {
    GetPrompts().MessageBox(
        Handle(), LangMessage("Folder_7", "The changes could not be written to:") + "\r" + target,
        LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
    return;
  }
  std::string text = LangMessage("Folder_2", "The folder changed successfully!").substr(0, 255) +
                     "\r" +
                     LangMessage("Folder_3", "Would you like to open this folder for preview?");
  if (GetPrompts().MessageBox(Handle(), text, LangMessage("Common_8", "OK"),
                              MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  if (target.size() == 3) {
    // A drive's default verb is whatever its Autorun.inf says ("explore" included): the
    // Windows folder's own Explorer opens it instead.
    GetShell().ShellExecute(Handle(), "", GetWindowsDir() + "\\explorer.exe", "\"" + target + "\"",
                            "", SW_SHOWNORMAL);
  } else {
    GetShell().ShellExecute(Handle(), "", target, "", "", SW_SHOWNORMAL);
  }
}

void TFrmFolder::BitBtn2Click(TObject *) {
  const std::string target = Edit1->Text();
  if (target.empty())
    return;
  switch (RestoreFolder(target)) {
  case TRestoreResult::Restored:
    GetPrompts().MessageBox(Handle(),
                            target.size() == 3
                                ? LangMessage("Folder_5", "The driver restored successfully!")
                                : LangMessage("Folder_4", "The folder restored successfully!"),
                            LangMessage("Common_8", "OK"), MB_OK | MB_ICONINFORMATION);
    // What the folder or drive looks like now, so that a later Apply writes nothing of what
    // was just taken out.
    ReadTarget();
    break;
  case TRestoreResult::Failed:
    GetPrompts().MessageBox(Handle(),
                            LangMessage("Folder_9", "The changes could not be taken back from:") +
                                "\r" + target,
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
    break;
  case TRestoreResult::NoFile:
  case TRestoreResult::NotTarget:
    break;
  }
}

void TFrmFolder::BitBtn5Click(TObject *) {
  if (Frmmain)
    Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", HelpTopic);
}

void TFrmFolder::Label8Click(TObject *) {}
