#include "features/wallpaper/UnitFrmwallpaper.h"

#include <cstring>

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/wallpaper/UnitFrmWallpaper_Area.h"
#include "features/wallpaper/WallpaperPage.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmWallpaper *FrmWallpaper = nullptr;

namespace {

// The reveal filter's transitions, in the order of their numbers (23: the filter's own choice).
const char *const Transitions[] = {"Box In",
                                   "Box Out",
                                   "Circle In",
                                   "Circle Out",
                                   "Wipe Ip",
                                   "Wipe Down",
                                   "Wipe Right",
                                   "Wipe Left",
                                   "Vertical Blinds",
                                   "Horizontal Blinds",
                                   "Chessboard Across",
                                   "Chessboard Down",
                                   "Random Dissolve",
                                   "Split Vertical In",
                                   "Split Vertical Out",
                                   "Split Horizontal In",
                                   "Split Horizontal Out",
                                   "Strips Left Down",
                                   "Strips Left Up",
                                   "Strips Right Down",
                                   "Strips Right Up",
                                   "Bars Horizontal",
                                   "Bars Vertical",
                                   "Random"};
constexpr int RandomTransition = 23;

// The desktop items of the start panel the Options page hides, and whether an absent value
// counts as hidden (every item but the Recycle Bin).
struct DesktopIcon {
  const char *caption;
  const char *valueName;
  bool hiddenWhenAbsent;
};
const DesktopIcon DesktopIcons[] = {
    {"Hide My Computer Icon (XP)", "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", true},
    {"Hide Internet Explorer Icon (XP)", "{871C5380-42A0-1069-A2EA-08002B30309D}", true},
    {"Hide My Documents Icon (XP)", "{450D8FBA-AD25-11D0-98A8-0800361B1103}", true},
    {"Hide Recycle Bin Icon (XP)", "{645FF040-5081-101B-9F08-00AA002F954E}", false},
    {"Hide My Network Places Icon (XP)", "{208D2C60-3AEA-1069-A2D7-08002B30309D}", true},
};

const char *const DefaultPictures[] = {"Lumagrove01.jpg", "Lumagrove02.jpg", "Lumagrove03.jpg"};

std::string ConfigFile() { return GetConfigFolder("Data") + "Config.ini"; }

// The system folder's files by the name that reaches the real folder; file calls on them run
// inside a TNativeSystemFolder.
std::string NativeSystemFile(const char *name) { return GetNativeSystemDir() + "\\" + name; }

// A resource of the running program written to a file as it is. False when the resource is
// missing or the file could not be written whole (a failed write leaves no file behind).
bool WriteResourceFile(const char *resource, const std::string &fileName) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, resource, MAKEINTRESOURCEA(10)); // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void *bytes = loaded ? LockResource(loaded) : nullptr;
  DWORD size = found ? SizeofResource(module, found) : 0;
  if (!bytes)
    return false;
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  bool whole = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (!whole)
    DeleteFileA(fileName.c_str());
  return whole;
}

} // namespace

std::string WallpaperListFile() { return GetSystemDir() + "\\" + WallpaperListName; }
std::string WallpaperPageFile() { return GetSystemDir() + "\\" + WallpaperPageName; }

void TFrmWallpaper::Build() {
  SetFormName(this, "FrmWallpaper");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  Position = poScreenCenter;
  SetCaption("Wallpapers");
  SetClientSize(560, 430);

  LG_PLACE(PageControl1, TPageControl, this, 8, 8, 544, 414, nullptr);
  LG_NEW(TabSheet1, TTabSheet, this);
  TabSheet1->SetPageControl(PageControl1);
  TabSheet1->SetCaption("Animated Wallpaper");
  LG_NEW(TabSheet2, TTabSheet, this);
  TabSheet2->SetPageControl(PageControl1);
  TabSheet2->SetCaption("Options");

  // The picture list and its buttons.
  LG_PLACE(ListBox1, TListBox, TabSheet1, 8, 8, 418, 160, nullptr);
  ListBox1->SetMultiSelect(true);
  ListBox1->Tag = 255;
  LG_PLACE(BitBtn4, TBitBtn, TabSheet1, 434, 8, 96, 26, "Add file(s)");
  LG_PLACE(BitBtn6, TBitBtn, TabSheet1, 434, 40, 96, 26, "Remove");
  LG_PLACE(BitBtn7, TBitBtn, TabSheet1, 434, 86, 96, 26, "Up");
  BitBtn7->Hint = "Move up";
  BitBtn7->ShowHint = true;
  LG_PLACE(BitBtn8, TBitBtn, TabSheet1, 434, 118, 96, 26, "Down");
  BitBtn8->Hint = "Move down";
  BitBtn8->ShowHint = true;

  // How the pictures change.
  LG_PLACE(GroupBox1, TGroupBox, TabSheet1, 8, 176, 522, 150, "Transition");
  LG_PLACE(Label2, TLabel, GroupBox1, 12, 26, 150, 16, "Transition effect:");
  LG_PLACE(ComboBox1, TComboBox, GroupBox1, 170, 22, 180, 21, nullptr);
  ComboBox1->SetStyle(csDropDownList);
  ComboBox1->SetDropDownCount(12);
  for (const char *name : Transitions)
    ComboBox1->Items().Add(name);
  ComboBox1->SetItemIndex(RandomTransition);
  LG_PLACE(Label3, TLabel, GroupBox1, 12, 56, 150, 16, "Transition time (seconds):");
  LG_PLACE(Edit2, TEdit, GroupBox1, 170, 52, 60, 21, nullptr);
  Edit2->SetText("2");
  LG_PLACE(Label4, TLabel, GroupBox1, 12, 86, 150, 16, "Pause between pictures:");
  LG_PLACE(Edit3, TEdit, GroupBox1, 170, 82, 60, 21, nullptr);
  Edit3->SetText("20");
  LG_PLACE(RadioButton1, TRadioButton, GroupBox1, 240, 84, 84, 17, "second(s)");
  RadioButton1->SetChecked(true);
  LG_PLACE(RadioButton2, TRadioButton, GroupBox1, 326, 84, 84, 17, "minute(s)");
  LG_PLACE(RadioButton3, TRadioButton, GroupBox1, 412, 84, 84, 17, "hour(s)");
  LG_PLACE(CheckBox4, TCheckBox, GroupBox1, 12, 118, 150, 17, "Start randomly");
  CheckBox4->SetChecked(true);
  LG_PLACE(CheckBox5, TCheckBox, GroupBox1, 170, 118, 160, 17, "Strech to template");
  CheckBox5->SetChecked(true);
  LG_PLACE(CheckBox3, TCheckBox, GroupBox1, 340, 118, 160, 17, "Use template...");

  LG_PLACE(BitBtn1, TBitBtn, TabSheet1, 226, 346, 96, 28, "Start");
  LG_PLACE(BitBtn2, TBitBtn, TabSheet1, 330, 346, 96, 28, "Stop");
  LG_PLACE(BitBtn3, TBitBtn, TabSheet1, 434, 346, 96, 28, "Help");

  // Hidden state: the template's values, the page, the player script, the applied path.
  TEdit **hidden[] = {&Edit4, &Edit5, &Edit6, &Edit7, &Edit8};
  const char *hiddenNames[] = {"Edit4", "Edit5", "Edit6", "Edit7", "Edit8"};
  for (size_t i = 0; i < 5; ++i) {
    *hidden[i] = PlaceControl(new TEdit(this), hiddenNames[i], TabSheet1, 8, 346, 40, 21, nullptr);
    (*hidden[i])->SetVisible(false);
    (*hidden[i])->Tag = 255;
  }
  LG_PLACE(Memo1, TMemo, TabSheet1, 8, 346, 40, 21, nullptr);
  Memo1->SetVisible(false);
  Memo1->Tag = 255;
  LG_PLACE(Memo2, TMemo, TabSheet1, 8, 346, 40, 21, nullptr);
  Memo2->SetVisible(false);
  Memo2->Tag = 255;
  Memo2->SetWordWrap(false);
  for (const std::string &line : PlayerScriptLines())
    Memo2->Lines().Add(line);
  LG_PLACE(Label1, TLabel, TabSheet1, 8, 380, 40, 16, nullptr);
  Label1->SetVisible(false);
  Label1->Tag = 255;
  LG_NEW(OpenDialog1, TOpenDialog, this);
  OpenDialog1->Filter = "*.bmp;*.jpg;*.gif|*.bmp;*.jpg;*.gif";
  OpenDialog1->Options |= ofAllowMultiSelect | ofFileMustExist;

  // Options.
  LG_PLACE(CheckBox1, TCheckBox, TabSheet2, 16, 16, 400, 17,
           "Show Lumagrove logo on the wallpaper");
  CheckBox1->SetChecked(true);
  LG_PLACE(CheckBox2, TCheckBox, TabSheet2, 16, 42, 400, 17, "Hide All Desktop Icons");
  LG_PLACE(GroupBox2, TGroupBox, TabSheet2, 16, 72, 508, 156, "Desktop icons");
  TCheckBox **iconBoxes[] = {&CheckBox6, &CheckBox7, &CheckBox8, &CheckBox9, &CheckBox10};
  const char *iconNames[] = {"CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10"};
  for (size_t i = 0; i < 5; ++i) {
    *iconBoxes[i] = PlaceControl(new TCheckBox(this), iconNames[i], GroupBox2, 16, 24 + int(i) * 25,
                                 470, 17, DesktopIcons[i].caption);
  }
  LG_PLACE(GroupBox3, TGroupBox, TabSheet2, 16, 238, 508, 70, "Desktop background colour");
  LG_PLACE(Shape1, TShape, GroupBox3, 16, 24, 60, 32, nullptr);
  LG_PLACE(BitBtn5, TBitBtn, GroupBox3, 90, 26, 96, 28, "Change...");
  LG_NEW(ColorDialog1, TColorDialog, this);
  LG_PLACE(BitBtn11, TBitBtn, TabSheet2, 16, 330, 130, 28, "Get Wallpapers");

  PageControl1->SetActivePage(TabSheet1);

  OnCreate = Bind(this, &TFrmWallpaper::FormCreate);
  OnClose = Bind(this, &TFrmWallpaper::FormClose);
  BitBtn1->OnClick = Bind(this, &TFrmWallpaper::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmWallpaper::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmWallpaper::BitBtn3Click);
  BitBtn4->OnClick = Bind(this, &TFrmWallpaper::BitBtn4Click);
  BitBtn6->OnClick = Bind(this, &TFrmWallpaper::BitBtn6Click);
  BitBtn7->OnClick = Bind(this, &TFrmWallpaper::BitBtn7Click);
  BitBtn8->OnClick = Bind(this, &TFrmWallpaper::BitBtn8Click);
  BitBtn11->OnClick = Bind(this, &TFrmWallpaper::BitBtn11Click);
  BitBtn5->OnClick = Bind(this, &TFrmWallpaper::BitBtn5Click);
  ListBox1->OnDblClick = Bind(this, &TFrmWallpaper::ListBox1DblClick);
  CheckBox1->OnClick = Bind(this, &TFrmWallpaper::CheckBox1Click);
  CheckBox2->OnMouseUp = Bind(this, &TFrmWallpaper::CheckBox2MouseUp);
  CheckBox3->OnMouseUp = Bind(this, &TFrmWallpaper::CheckBox3MouseUp);
  CheckBox6->OnClick = Bind(this, &TFrmWallpaper::CheckBox6Click);
  CheckBox7->OnClick = Bind(this, &TFrmWallpaper::CheckBox7Click);
  CheckBox8->OnClick = Bind(this, &TFrmWallpaper::CheckBox8Click);
  CheckBox9->OnClick = Bind(this, &TFrmWallpaper::CheckBox9Click);
  CheckBox10->OnClick = Bind(this, &TFrmWallpaper::CheckBox10Click);
}

void TFrmWallpaper::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  {
    TNativeSystemFolder native;
    std::string list = NativeSystemFile(WallpaperListName);
    if (FileExists(list)) {
      ListBox1->Items().LoadFromFile(list);
    } else {
      for (const char *picture : DefaultPictures)
        ListBox1->Items().Add(GetConfigFolder("Wallpaper") + picture);
    }
  }
  TIniFile settings(ConfigFile());
  if (settings.ReadString("Wallpaper", "ShowLogo", "1") == "0")
    CheckBox1->SetChecked(false);
  if (settings.ReadString("Wallpaper", "HideIcons", "0") == "1")
    CheckBox2->SetChecked(true);
  // Checking a box writes its value back (its click handler), as hidden; every box is set
  // whatever the others' writes did, and what was refused is reported once.
  TRefusedWrites refused;
  struct Gathering {
    TRefusedWrites *&slot;
    ~Gathering() { slot = nullptr; }
  } gathering{openingRefusals_};
  openingRefusals_ = &refused;
  TCheckBox *iconBoxes[] = {CheckBox6, CheckBox7, CheckBox8, CheckBox9, CheckBox10};
  for (size_t i = 0; i < 5; ++i) {
    std::string value =
        ReadRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey, DesktopIcons[i].valueName);
    iconBoxes[i]->SetChecked(DesktopIcons[i].hiddenWhenAbsent ? value != "0" : value == "1");
  }
  openingRefusals_ = nullptr;
  ReportRefusedWrites(Handle(), refused);
  Shape1->Brush().SetColor(TColor(GetSysColor(COLOR_BACKGROUND)));
  ComboBox1->SetItemIndex(RandomTransition);
}

void TFrmWallpaper::FormClose(TObject *, TCloseAction &Action) {
  if (Frmmain)
    Frmmain->Show();
  Action = caFree;
}

void TFrmWallpaper::SaveList() {
  TNativeSystemFolder native;
  ListBox1->Items().SaveToFile(NativeSystemFile(WallpaperListName));
}

void TFrmWallpaper::ShowError(const std::string &text) {
  GetPrompts().MessageBox(Handle(), text, LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
}

bool TFrmWallpaper::CheckField(bool valid, const std::string &value, const std::string &field,
                               const char *key, const char *message) {
  if (!valid)
    ShowError(FormatText(LangMessage(key, message).c_str(), {value, field}));
  return valid;
}

std::optional<WallpaperPageSettings> TFrmWallpaper::PageSettings() {
  const char *timerKey = "Wallpaper_1";
  const char *timerMessage = "\"%s\" is not a valid value for \"%s\": enter a number above 0 "
                             "that the page's timer can take.";
  WallpaperPageSettings page;
  page.transition = ComboBox1->ItemIndex() < 0 ? RandomTransition : ComboBox1->ItemIndex();
  std::optional<std::string> seconds = SecondsNumber(Edit2->Text());
  if (!CheckField(seconds.has_value(), Edit2->Text(), LangMessage("Wallpaper_2", "Transition time"),
                  timerKey, timerMessage))
    return std::nullopt;
  page.transitionTime = *seconds;
  int unit = RadioButton3->Checked() ? 3600 : RadioButton2->Checked() ? 60 : 1;
  std::optional<int64_t> pause = PauseMilliseconds(Edit3->Text(), unit);
  if (!CheckField(pause.has_value(), Edit3->Text(), LangMessage("Wallpaper_3", "Pause"), timerKey,
                  timerMessage))
    return std::nullopt;
  page.pauseMs = *pause;
  if (CheckBox3->Checked()) {
    WallpaperPageSettings::Template area;
    struct {
      TEdit *edit;
      int *value;
      int minimum;
      const char *key, *name;
    } fields[] = {{Edit6, &area.left, 0, "Wallpaper_4", "Template left"},
                  {Edit7, &area.top, 0, "Wallpaper_5", "Template top"},
                  {Edit4, &area.width, 1, "Wallpaper_6", "Template width"},
                  {Edit5, &area.height, 1, "Wallpaper_7", "Template height"}};
    for (auto &field : fields) {
      std::optional<int> value = WholeNumber(field.edit->Text(), field.minimum);
      if (!CheckField(value.has_value(), field.edit->Text(), LangMessage(field.key, field.name),
                      TemplateValueKey, TemplateValueMessage))
        return std::nullopt;
      *field.value = *value;
    }
    area.picture = Edit8->Text();
    page.area = area;
  }
  page.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  page.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  page.basePath = GetConfigFolder("Wallpaper");
  page.homePath = ProgramFolder();
  page.randomBegin = CheckBox4->Checked();
  page.stretch = CheckBox5->Checked();
  page.showLogo = CheckBox1->Checked();
  page.pictures = ListBox1->Items().Items();
  return page;
}

bool TFrmWallpaper::WritePage(const WallpaperPageSettings &page) {
  std::vector<std::string> script = Memo2->Lines().Items();
  std::string text = WallpaperPageText(page, script);
  Memo1->SetText(text);

  {
    TNativeSystemFolder native;
    std::string pageFile = NativeSystemFile(WallpaperPageName);
    if (!SavePageFile(pageFile, text)) {
      ShowError(FormatText(LangMessage("Wallpaper_11", "The page could not be written: %s").c_str(),
                           {WallpaperPageFile()}));
      return false;
    }
    // Only the encoder written here and now is run, by its full path: when it can't be written
    // (a stale copy in use or read-only), nothing runs and the page stays as written above.
    std::string encoder = NativeSystemFile(WallpaperEncoderName);
    if (WriteResourceFile("JS", encoder)) {
      RunAndWait("\"" + encoder + "\" /f \"" + pageFile + "\"", SW_HIDE);
      DeleteFileA(encoder.c_str());
    }
    WriteResourceFile("WPLOGO", NativeSystemFile(WallpaperLogoName));
  }
  Label1->SetCaption(WallpaperPageFile());
  return true;
}

bool TFrmWallpaper::makehtm() {
  // Every value is checked before anything is written, so a bad one leaves the page on disk as
  // it was.
  std::optional<WallpaperPageSettings> page = PageSettings();
  return page && WritePage(*page);
}

bool TFrmWallpaper::applywallpaper() {
  std::string file = Label1->Caption();
  int n = MultiByteToWideChar(CP_ACP, 0, file.c_str(), int(file.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), int(file.size()), wide.data(), n);
  std::string failedCall;
  HRESULT hr = GetShell().SetDesktopWallpaper(wide, 2 /* WPSTYLE_STRETCH */,
                                              15 /* AD_APPLY_ALL | AD_APPLY_FORCE */, failedCall);
  if (SUCCEEDED(hr))
    return true;
  char code[16];
  std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(hr));
  std::string what =
      failedCall == "CoCreateInstance"
          ? LangMessage("Wallpaper_8", "The Active Desktop is not available on this system.")
          : FormatText(LangMessage("Wallpaper_9", "The Active Desktop refused %s.").c_str(),
                       {failedCall});
  ShowError(
      FormatText(LangMessage("Wallpaper_10", "The wallpaper could not be set: %s (%s)").c_str(),
                 {what, code}));
  return false;
}

void TFrmWallpaper::BitBtn1Click(TObject *) {
  if (ListBox1->Items().Count() == 0)
    return;
  BitBtn1->SetEnabled(false);
  bool applied = false;
  try {
    // The values are checked before the list is saved: a refused Start writes nothing.
    std::optional<WallpaperPageSettings> page = PageSettings();
    if (page) {
      SaveList();
      applied = WritePage(*page) && applywallpaper();
    }
  } catch (...) {
    BitBtn1->SetEnabled(true);
    throw;
  }
  BitBtn1->SetEnabled(true);
  if (applied)
    Close();
}

void TFrmWallpaper::BitBtn2Click(TObject *) {
  std::string bliss = GetWindowsDir() + "\\Web\\Wallpaper\\bliss.bmp";
  Label1->SetCaption(FileExists(bliss) ? bliss : GetConfigFolder("Wallpaper") + DefaultPictures[0]);
  applywallpaper();
}

void TFrmWallpaper::BitBtn3Click(TObject *) {
  if (Frmmain && Frmmain->HelpRouter1)
    Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", "frmwallpaper.htm");
}

void TFrmWallpaper::BitBtn4Click(TObject *) {
  OpenDialog1->InitialDir = GetConfigFolder("Wallpaper");
  if (!OpenDialog1->Execute())
    return;
  TStringList &files = OpenDialog1->Files();
  for (int i = 0; i < files.Count(); ++i)
    ListBox1->Items().Add(files.Strings(i));
  SaveList();
}

void TFrmWallpaper::BitBtn6Click(TObject *) {
  // The selection is read whole first: each deletion refills the list's window.
  std::vector<int> selected;
  for (int i = 0; i < ListBox1->Items().Count(); ++i)
    if (ListBox1->Selected(i))
      selected.push_back(i);
  for (auto i = selected.rbegin(); i != selected.rend(); ++i)
    ListBox1->Items().Delete(*i);
  SaveList();
}

void TFrmWallpaper::BitBtn7Click(TObject *) {
  int i = ListBox1->ItemIndex();
  if (i > 0) {
    ListBox1->Items().Exchange(i, i - 1);
    ListBox1->SetItemIndex(i - 1);
  }
}

void TFrmWallpaper::BitBtn8Click(TObject *) {
  int i = ListBox1->ItemIndex();
  if (i >= 0 && i < ListBox1->Items().Count() - 1) {
    ListBox1->Items().Exchange(i, i + 1);
    ListBox1->SetItemIndex(i + 1);
  }
}

void TFrmWallpaper::BitBtn11Click(TObject *) {
  GetShell().ShellExecute(Handle(), "open", MakerThemesPage, "", "", SW_SHOWMAXIMIZED);
}

void TFrmWallpaper::ListBox1DblClick(TObject *) {
  int i = ListBox1->ItemIndex();
  if (i < 0)
    return;
  // A name without a drive is the page's: it loads it from the program folder, and so does the
  // double-click, never from whatever folder is current.
  std::string picture = ListBox1->Items().Strings(i);
  bool full = (picture.size() > 1 && picture[1] == ':') || picture.rfind("\\\\", 0) == 0;
  GetShell().ShellExecute(Handle(), "open", full ? picture : ProgramFolder() + picture, "", "",
                          SW_SHOWNORMAL);
}

void TFrmWallpaper::CheckBox1Click(TObject *) {
  TIniFile settings(ConfigFile());
  settings.WriteString("Wallpaper", "ShowLogo", CheckBox1->Checked() ? "1" : "0");
}

void TFrmWallpaper::CheckBox2MouseUp(TObject *, TMouseButton, TShiftState, int, int) {
  HWND desktop = GetWindow(FindWindowA("progman", "Program Manager"), GW_CHILD);
  bool hide = CheckBox2->Checked();
  if (desktop)
    ShowWindow(desktop, hide ? SW_HIDE : SW_SHOW);
  // The policy key may refuse a standard user: the setting is kept all the same, and the
  // refusal reported.
  TRefusedWrites refused;
  if (hide)
    TryWriteRegValue(HKEY_CURRENT_USER, ExplorerPoliciesKey, "NoDesktop", "1", 2, refused);
  else
    TryDeleteRegValue(HKEY_CURRENT_USER, ExplorerPoliciesKey, "NoDesktop", refused);
  TIniFile settings(ConfigFile());
  settings.WriteString("Wallpaper", "HideIcons", hide ? "1" : "0");
  ReportRefusedWrites(Handle(), refused);
}

void TFrmWallpaper::CheckBox3MouseUp(TObject *, TMouseButton, TShiftState, int, int) {
  if (CheckBox3->Checked()) {
    if (OpenForm(this, Frmwallpaper_area))
      Frmwallpaper_area->Show();
  } else if (Frmwallpaper_area) {
    Frmwallpaper_area->Close();
  }
}

void TFrmWallpaper::BitBtn5Click(TObject *) {
  ColorDialog1->Color = Shape1->Brush().Color();
  if (!ColorDialog1->Execute())
    return;
  Shape1->Brush().SetColor(ColorDialog1->Color);
  // Until the user logs off; nothing is stored.
  int element = COLOR_BACKGROUND;
  COLORREF color = ColorToRGB(ColorDialog1->Color);
  SetSysColors(1, &element, &color);
}

void TFrmWallpaper::WriteIconValue(TCheckBox *box, const char *valueName) {
  TRefusedWrites refused;
  TryWriteRegValue(HKEY_CURRENT_USER, HideDesktopIconsKey, valueName, box->Checked() ? "1" : "0", 2,
                   openingRefusals_ ? *openingRefusals_ : refused);
  ReportRefusedWrites(Handle(), refused);
}

void TFrmWallpaper::CheckBox6Click(TObject *) {
  WriteIconValue(CheckBox6, DesktopIcons[0].valueName);
}
void TFrmWallpaper::CheckBox7Click(TObject *) {
  WriteIconValue(CheckBox7, DesktopIcons[1].valueName);
}
void TFrmWallpaper::CheckBox8Click(TObject *) {
  WriteIconValue(CheckBox8, DesktopIcons[2].valueName);
}
void TFrmWallpaper::CheckBox9Click(TObject *) {
  WriteIconValue(CheckBox9, DesktopIcons[3].valueName);
}
void TFrmWallpaper::CheckBox10Click(TObject *) {
  WriteIconValue(CheckBox10, DesktopIcons[4].valueName);
}
