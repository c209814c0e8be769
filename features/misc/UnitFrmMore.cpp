#include "features/misc/UnitFrmMore.h"

#include <memory>

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/misc/UnitFrmblank.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmMore *FrmMore = nullptr;

namespace {

constexpr const char *WinlogonKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char *InternationalKey = "Control Panel\\International";

// The clock shows "tttt HH:mm": the AM or PM designator, a blank and the 24-hour time. With both
// designators set to the same text, the text stands beside the time all day.
constexpr const char *ClockTimeFormat = "tttt HH:mm";

// The three values the clock text changes, and where the first Apply keeps what was there.
struct ClockValue {
  const char *value;
  const char *backup;
};
constexpr ClockValue ClockValues[] = {
    {"sTimeFormat", "sTimeFormat_1"}, {"s1159", "s1159_1"}, {"s2359", "s2359_1"}};

// Whether the backups are taken is kept with them, per user, under the program's key: an
// original that was absent has no backup value to tell it. Earlier versions kept it in
// Config.ini, which every user of the install shares.
constexpr const char *ClockBackupFlag = "ClockBackupTaken";
constexpr const char *LegacyClockSection = "Clock";
constexpr const char *LegacyClockBackupKey = "BackupTaken";

// The longest AM and PM designators the system takes (its limit less the terminator): 8 up to
// Windows 2000, then from each version on the figure beside it.
struct ClockLimit {
  DWORD major, minor;
  size_t length;
};
constexpr size_t OldestClockLimit = 8;
constexpr ClockLimit ClockLimits[] = {{5, 1, 12}, {5, 2, 14}};

size_t ClockTextLimit() {
  OsVersionRecord version = GetPlaces().WindowsVersion();
  size_t limit = OldestClockLimit;
  if (version.platformId != VER_PLATFORM_WIN32_NT)
    return limit;
  for (const ClockLimit &from : ClockLimits)
    if (version.major > from.major || (version.major == from.major && version.minor >= from.minor))
      limit = from.length;
  return limit;
}

std::string ConfigFile() { return GetConfigFolder("Data") + "Config.ini"; }

bool ClockValueExists(const char *name) {
  TRegistry reg(KEY_READ);
  reg.SetRootKey(HKEY_CURRENT_USER);
  return reg.OpenKeyReadOnly(InternationalKey) && reg.ValueExists(name);
}

// Makes the value "to" what "from" is, absent included; false when a write was refused.
bool CopyClockValue(const char *from, const char *to, TRefusedWrites &refused) {
  if (ClockValueExists(from))
    return TryWriteRegValue(HKEY_CURRENT_USER, InternationalKey, to,
                            ReadRegValue(HKEY_CURRENT_USER, InternationalKey, from), 1, refused);
  return !ClockValueExists(to) ||
         TryDeleteRegValue(HKEY_CURRENT_USER, InternationalKey, to, refused);
}

// Taken by this version for this user (the flag), or by an earlier one: it left a time format
// backup, or it noted the backup in the shared Config.ini, which then speaks for a user only
// where that user has a backup value.
bool ClockBackupTaken() {
  if (!ReadRegValue(HKEY_CURRENT_USER, ProgramKey, ClockBackupFlag).empty() ||
      !ReadRegValue(HKEY_CURRENT_USER, InternationalKey, ClockValues[0].backup).empty())
    return true;
  if (!TIniFile(ConfigFile()).ReadBool(LegacyClockSection, LegacyClockBackupKey, false))
    return false;
  for (const ClockValue &clock : ClockValues)
    if (ClockValueExists(clock.backup))
      return true;
  return false;
}

void PlaceLabel(TLabel *label, TWinControl *parent, int left, int top, int width,
                const char *caption, bool wrap = false) {
  label->SetParent(parent);
  label->SetAutoSize(!wrap);
  label->SetWordWrap(wrap);
  label->SetBounds(left, top, width, wrap ? 42 : 13);
  label->SetCaption(caption);
}

void PlaceEdit(TEdit *edit, TWinControl *parent, int left, int top, int width) {
  edit->SetParent(parent);
  edit->SetBounds(left, top, width, 21);
}

void PlaceButton(TBitBtn *button, TWinControl *parent, int left, const char *caption) {
  button->SetParent(parent);
  button->SetBounds(left, 184, 104, 28);
  button->SetCaption(caption);
}

void ShowMessageBox(HWND owner, const char *key, const char *text) {
  GetPrompts().MessageBox(owner, LangMessage(key, text), LangMessage("Common_8", "OK"), MB_OK);
}

} // namespace

void TFrmMore::Build() {
  SetFormName(this, "FrmMore");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetCaption("Miscellaneous");
  SetClientSize(424, 276);

  LG_NEW(PageControl1, TPageControl, this);
  PageControl1->SetParent(this);
  PageControl1->SetBounds(8, 8, 408, 260);
  BuildTaskbarPage();
  BuildTextPages();
  PageControl1->SetActivePage(TabSheet1);

  TrackBar1->OnChange = Bind(this, &TFrmMore::TrackBar1Change);
  BitBtn1->OnClick = Bind(this, &TFrmMore::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmMore::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmMore::BitBtn3Click);
  BitBtn4->OnClick = Bind(this, &TFrmMore::BitBtn4Click);
  BitBtn5->OnClick = Bind(this, &TFrmMore::BitBtn5Click);
  BitBtn6->OnClick = Bind(this, &TFrmMore::BitBtn6Click);
  OnCreate = Bind(this, &TFrmMore::FormCreate);
  OnClose = Bind(this, &TFrmMore::FormClose);
}

void TFrmMore::BuildTaskbarPage() {
  LG_NEW(TabSheet1, TTabSheet, this);
  TabSheet1->SetPageControl(PageControl1);
  TabSheet1->SetCaption("Taskbar");

  LG_NEW(Label2, TLabel, this);
  PlaceLabel(Label2, TabSheet1, 12, 12, 376,
             "Move the slider to make the taskbar translucent. Lumagrove Helper makes it so "
             "again every time Windows starts.",
             true);
  LG_NEW(Label3, TLabel, this);
  PlaceLabel(Label3, TabSheet1, 12, 72, 120, "Opaque");
  LG_NEW(Label4, TLabel, this);
  PlaceLabel(Label4, TabSheet1, 268, 72, 120, "Transparent");
  Label4->SetAutoSize(false);
  Label4->SetAlignment(taRightJustify);

  LG_NEW(TrackBar1, TTrackBar, this);
  TrackBar1->SetParent(TabSheet1);
  TrackBar1->SetBounds(6, 90, 388, 36);
  TrackBar1->SetMax(255);
  TrackBar1->SetFrequency(17);
  TrackBar1->SetPageSize(17);

  LG_NEW(Label1, TLabel, this);
  Label1->Tag = TranslationSkipTag;
  PlaceLabel(Label1, TabSheet1, 168, 134, 60, "100%");
  Label1->SetAutoSize(false);
  Label1->SetAlignment(taCenter);
  Label1->Font().SetStyle(fsBold);
}

// The three pages of texts are alike: an explanation, one or two labelled edits one under the
// other (working data, never translated), and Apply and Restore at the foot.
#define FORM_MEMBER(name) &TFrmMore::name, #name
struct TFrmMore::TextPage {
  struct Row {
    TLabel *TFrmMore::*label;
    const char *labelName;
    const char *caption;
    TEdit *TFrmMore::*edit;
    const char *editName;
    int width;
  };
  TTabSheet *TFrmMore::*sheet;
  const char *sheetName;
  const char *caption;
  TLabel *TFrmMore::*explanation;
  const char *explanationName;
  const char *text;
  Row rows[2]; // a second row without a label is none
  TBitBtn *TFrmMore::*apply;
  const char *applyName;
  TBitBtn *TFrmMore::*restore;
  const char *restoreName;
};

const TFrmMore::TextPage TFrmMore::TextPages[] = {
    {FORM_MEMBER(TabSheet2),
     "Start button",
     FORM_MEMBER(Label5),
     "Give the Start button a caption of your own and press Apply. Lumagrove Helper keeps it on "
     "the button; Restore gives the button its own caption back.",
     {{FORM_MEMBER(Label6), "Current caption:", FORM_MEMBER(Edit4), 376},
      {FORM_MEMBER(Label7), "New caption:", FORM_MEMBER(Edit3), 376}},
     FORM_MEMBER(BitBtn4),
     FORM_MEMBER(BitBtn3)},
    {FORM_MEMBER(TabSheet3),
     "Log On Message",
     FORM_MEMBER(Label8),
     "Windows shows this message before anyone logs on, and the user confirms it with OK.",
     {{FORM_MEMBER(Label9), "Caption:", FORM_MEMBER(Edit1), 376},
      {FORM_MEMBER(Label10), "Message:", FORM_MEMBER(Edit2), 376}},
     FORM_MEMBER(BitBtn1),
     FORM_MEMBER(BitBtn2)},
    {FORM_MEMBER(TabSheet4),
     "Clock Text",
     FORM_MEMBER(Label11),
     "A short text beside the time in the taskbar's clock. The clock then shows the time in its "
     "24-hour form.",
     {{FORM_MEMBER(Label12), "Text:", FORM_MEMBER(Edit5), 200}, {}},
     FORM_MEMBER(BitBtn5),
     FORM_MEMBER(BitBtn6)},
};
#undef FORM_MEMBER

template <class T> T *TFrmMore::Make(T *TFrmMore::*member, const char *name) {
  T *control = new T(this);
  control->SetName(name);
  return this->*member = control;
}

void TFrmMore::BuildTextPages() {
  for (const TextPage &page : TextPages) {
    TTabSheet *sheet = Make(page.sheet, page.sheetName);
    sheet->SetPageControl(PageControl1);
    sheet->SetCaption(page.caption);
    PlaceLabel(Make(page.explanation, page.explanationName), sheet, 12, 12, 376, page.text, true);
    int top = 64;
    for (const TextPage::Row &row : page.rows) {
      if (!row.label)
        break;
      PlaceLabel(Make(row.label, row.labelName), sheet, 12, top, 200, row.caption);
      TEdit *edit = Make(row.edit, row.editName);
      PlaceEdit(edit, sheet, 12, top + 16, row.width);
      edit->Tag = TranslationSkipTag;
      top += 50;
    }
    PlaceButton(Make(page.apply, page.applyName), sheet, 176, "Apply");
    PlaceButton(Make(page.restore, page.restoreName), sheet, 284, "Restore");
  }
  Edit4->SetReadOnly(true); // what the button shows now
}

void TFrmMore::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  Edit1->SetText(ReadRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, "LegalNoticeCaption"));
  Edit2->SetText(ReadRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, "LegalNoticeText"));

  // The taskbar's transparency and the Start button's caption need Windows 2000 or later.
  uint8_t code = 0;
  std::string family;
  GetWindowsVersion(code, family);
  if (family == "98" || family == "me" || family == "nt") {
    TabSheet1->SetTabVisible(false);
    TabSheet2->SetTabVisible(false);
    return;
  }

  // Showing what is stored stores nothing: the slider's handler would write the machine's Run
  // value, which a standard user may not change, and the form would open half made.
  showingSettings_ = true;
  struct Quiet {
    bool &flag;
    ~Quiet() { flag = false; }
  } quiet{showingSettings_};
  TrackBar1->SetPosition(255 - ReadTaskbarAlpha());
  int alpha = 255 - TrackBar1->Position();
  SetTaskbarTransparency(alpha);
  Label1->SetCaption(IntToStr(alpha * 100 / 255) + "%");

  startButton_ = FindStartButton();
  StartButtonTextBuffer shown;
  GetStartButtonCaption(startButton_, shown);
  Edit4->SetMaxLength(int(StartButtonTextLength));
  Edit3->SetMaxLength(int(StartButtonTextLength));
  Edit4->SetText(TrimCaption(shown.data()));
}

void TFrmMore::FormClose(TObject *, TCloseAction &Action) {
  Frmmain->Show();
  Action = caFree;
}

void TFrmMore::TrackBar1Change(TObject *) {
  if (showingSettings_)
    return;
  int alpha = 255 - TrackBar1->Position();
  SetTaskbarTransparency(alpha);
  WriteTaskbarAlpha(alpha);
  // The helper makes the taskbar translucent again at the next log-on. An opaque taskbar no
  // longer needs it, unless the Start button's caption still does.
  TRefusedWrites refused;
  if (TransparencyNeedsHelper(alpha))
    SetHelperAutostart(true, refused);
  else if (!CaptionNeedsHelper(ReadStartButtonCaption()))
    SetHelperAutostart(false, refused);
  Label1->SetCaption(IntToStr(alpha * 100 / 255) + "%");
  // A drag moves the slider many times over: a refusal is told once while the form is open.
  if (!autostartRefusalTold_)
    autostartRefusalTold_ = ReportRefusedWrites(Handle(), refused);
}

void TFrmMore::BitBtn4Click(TObject *) {
  std::string caption = Edit3->Text();
  WriteStartButtonCaption(caption);
  // A running helper keeps the caption it read when it started: it goes before a new one
  // comes, and whenever no caption is wanted. A start with Windows that is refused still leaves
  // this session's helper and caption.
  CloseHelpers();
  TRefusedWrites refused;
  if (CaptionNeedsHelper(caption)) {
    SetHelperAutostart(true, refused);
    StartHelper(Handle());
  } else if (!TransparencyNeedsHelper(ReadTaskbarAlpha())) {
    SetHelperAutostart(false, refused);
  }

  std::unique_ptr<TFrmBlank> blank(CreateForm(this, FrmBlank));
  record_ = MakeStartButtonTextRecord(caption);
  SetStartButtonCaption(startButton_, record_, *blank);
  FormCreate(this);
  Edit3->SetFocus();
  Edit3->SetText("");
  blank.reset();
  FrmBlank = nullptr;
  ReportRefusedWrites(Handle(), refused);
}

void TFrmMore::BitBtn3Click(TObject *Sender) {
  Edit3->SetText("Start");
  BitBtn4Click(Sender);
}

void TFrmMore::BitBtn1Click(TObject *) {
  TRefusedWrites refused;
  TryWriteRegStrings(HKEY_LOCAL_MACHINE, WinlogonKey,
                     {{"LegalNoticeCaption", Edit1->Text()}, {"LegalNoticeText", Edit2->Text()}},
                     refused);
  ReportRefusedWrites(Handle(), refused);
}

void TFrmMore::BitBtn2Click(TObject *) {
  TRefusedWrites refused;
  TryDeleteRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, "LegalNoticeCaption", refused);
  TryDeleteRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, "LegalNoticeText", refused);
  // The edits show what Windows will show: nothing, unless the values could not be taken away.
  Edit1->SetText(ReadRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, "LegalNoticeCaption"));
  Edit2->SetText(ReadRegValue(HKEY_LOCAL_MACHINE, WinlogonKey, "LegalNoticeText"));
  ReportRefusedWrites(Handle(), refused);
}

void TFrmMore::BitBtn5Click(TObject *) {
  std::string text = Edit5->Text();
  if (text.size() > ClockTextLimit()) {
    GetPrompts().MessageBox(Handle(), LangMessage("More_3", "The text is too long for the clock."),
                            LangMessage("Common_10", "Error"), MB_OK | MB_ICONERROR);
    return;
  }
  TRefusedWrites refused;
  // The backups are taken once: a second Apply must not take the first text for the original.
  // Without a whole backup the clock is left as it is, so nothing of the user's is lost.
  if (!ClockBackupTaken()) {
    bool copied = true;
    for (const ClockValue &clock : ClockValues)
      copied = CopyClockValue(clock.value, clock.backup, refused) && copied;
    if (!copied ||
        !TryWriteRegValue(HKEY_CURRENT_USER, ProgramKey, ClockBackupFlag, "1", 1, refused)) {
      ReportRefusedWrites(Handle(), refused);
      return;
    }
  }
  TryWriteRegStrings(HKEY_CURRENT_USER, InternationalKey,
                     {{"sTimeFormat", ClockTimeFormat}, {"s1159", text}, {"s2359", text}}, refused);
  if (!ReportRefusedWrites(Handle(), refused))
    ShowMessageBox(Handle(), "More_1", "You will see it the next time your windows starts");
}

void TFrmMore::BitBtn6Click(TObject *) {
  if (!ClockBackupTaken())
    return;
  Edit5->SetText("");
  // A backup goes only once its value is back; while one is left, the flag stays with it.
  TRefusedWrites refused;
  bool restored = true;
  for (const ClockValue &clock : ClockValues)
    restored = CopyClockValue(clock.backup, clock.value, refused) &&
               TryDeleteRegValue(HKEY_CURRENT_USER, InternationalKey, clock.backup, refused) &&
               restored;
  if (restored)
    TryDeleteRegValue(HKEY_CURRENT_USER, ProgramKey, ClockBackupFlag, refused);
  if (!ReportRefusedWrites(Handle(), refused))
    ShowMessageBox(Handle(), "More_2", "You will see it the next time your windows starts");
}
