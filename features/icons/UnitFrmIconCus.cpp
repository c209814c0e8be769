#include "features/icons/UnitFrmIconCus.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/UnitMain.h"
#include "common/IconPicker.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "features/icons/Func_Icon.h"
#include "features/icons/UnitFrmIcon.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmIconCus *FrmIconCus = nullptr;

namespace {

// The desktop page: caption, and the place (by its package section and key) it shows.
struct DesktopItem {
  const char *caption, *section, *key;
};
const DesktopItem DesktopItems[] = {
    {"My Computer", "Desktop Icons", "My Computer"},
    {"My Documents", "Desktop Icons", "My Documents"},
    {"My Network Places", "Desktop Icons", "Network Neighborhood"},
    {"Recycle Bin(full)", "Desktop Icons", "Recycle Bin (full)"},
    {"Recycle Bin(empty)", "Desktop Icons", "Recycle Bin (empty)"},
    {"Control Panel", "Folder Icons", "Control Panel"},
    {"Dial network", "Folder Icons", "Dial-Up Networking"},
    {"Scheduled Tasks", "Folder Icons", "Scheduled Tasks"},
    {"Printer", "Folder Icons", "Printers"},
    {"Web Folders", "Folder Icons", "Web Folders"},
    {"Internet Explorer", "Desktop Icons", "The Internet"},
    {"Url History", "Folder Icons", "Url History"},
    {"Subsciptions", "Folder Icons", "Subscriptions"},
    {"My Briefcase", "", "My Briefcase"},
};

// The system page: item n is the Shell Icons value n, by default shell32's icon n.
const char *const SystemItems[] = {
    "Default Icon",
    "Default Document",
    "MS-DOS Application",
    "Closed Folder",
    "Open Folder",
    "Floppy Drive 5'",
    "Floppy Drive 3'",
    "Removable Drive",
    "Hard Drive",
    "Network Drive(connected)",
    "Network Drive(offline)",
    "CD-Rom Drive",
    "Ram Drive",
    "Entire Network",
    "Network",
    "My Computer",
    "Printer",
    "My Network Places",
};

// The files page: caption and extension; the restore is the extension's Windows default.
struct FileItem {
  const char *caption, *ext;
};
const FileItem FileItems[] = {
    {"Text Document", "txt"},
    {"Bitmap Image", "bmp"},
    {"Internet Document", "htm"},
    {"MS-DOS Batch file", "bat"},
    {"Configuration Settings", "ini"},
    {"Zip File", "zip"},
    {"Wave Sound", "wav"},
    {"Avi video", "avi"},
    {"GIF Image", "gif"},
    {"JPEG Image", "jpg"},
};

constexpr const char *IconSizeValue = "Shell Icon Size";
constexpr const char *ColourDepthValue = "Shell Icon BPP";
constexpr const char *OverlayValue = "29";

const IconPlace &DesktopPlace(int index) {
  return *FindIconPlace(DesktopItems[index].section, DesktopItems[index].key);
}

std::string HiddenOverlay() { return GetSystemDir() + "\\docprop.dll,1"; }

bool OlderFamily(std::initializer_list<const char *> families) {
  uint8_t code = 0;
  std::string family;
  GetWindowsVersion(code, family);
  for (const char *f : families)
    if (family == f)
      return true;
  return false;
}

void ShowIcon(TImage *image, HICON handle) {
  TIcon icon(handle);
  image->Picture().Assign(icon.Empty() ? nullptr : &icon);
}

TImageList *MakeImages(TComponent *owner, TImageList *&member, const char *name, int size) {
  member = new TImageList(owner);
  member->SetName(name);
  member->SetSize(size, size);
  member->SetBkColor(clWhite);
  return member;
}

} // namespace

// ---- building --------------------------------------------------------------------------------

void TFrmIconCus::Build() {
  SetFormName(this, "FrmIconCus");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetCaption("Customize Icons");
  SetClientSize(551, 437);

  MakeImages(this, ImageList1, "ImageList1", 32);
  MakeImages(this, ImageList2, "ImageList2", 32);
  MakeImages(this, ImageList3, "ImageList3", 32);
  MakeImages(this, ImageListpop, "ImageListpop", 16);
  TBitmap strip;
  strip.LoadFromResourceName(GetModuleHandleA(nullptr), "ICONMENU");
  ImageListpop->AddMasked(strip, clFuchsia);
  BuildMenus();

  LG_PLACE(PageControl1, TPageControl, this, 8, 8, 535, 421, nullptr);
  BuildDesktopPage();
  BuildSystemPage();
  BuildFilesPage();
  BuildAdvancedPage();
  PageControl1->SetActivePage(TabSheet2);

  LG_NEW(Labelicon, TLabel, this);
  Labelicon->SetParent(this);
  Labelicon->Tag = TranslationSkipTag;
  Labelicon->SetCaption("");
  Labelicon->SetVisible(false);
  LG_NEW(Image1, TImage, this);
  Image1->SetParent(this);
  Image1->SetVisible(false);
  LG_NEW(id1, TIconDialog, this);

  OnCreate = Bind(this, &TFrmIconCus::FormCreate);
  OnClose = Bind(this, &TFrmIconCus::FormClose);
  ListView1->OnDblClick = BitBtn2->OnClick = mnu1->OnClick = Bind(this, &TFrmIconCus::mnu1Click);
  BitBtn3->OnClick = mnu2->OnClick = Bind(this, &TFrmIconCus::mnu2Click);
  ListView2->OnDblClick = BitBtn4->OnClick = mnu3->OnClick = Bind(this, &TFrmIconCus::mnu3Click);
  BitBtn5->OnClick = Mnu4->OnClick = Bind(this, &TFrmIconCus::Mnu4Click);
  ListView3->OnDblClick = BitBtn6->OnClick = mnu5->OnClick = Bind(this, &TFrmIconCus::mnu5Click);
  BitBtn7->OnClick = mnu6->OnClick = Bind(this, &TFrmIconCus::mnu6Click);
  Edit1->OnChange = Bind(this, &TFrmIconCus::Edit1Change);
  BitBtn1->OnClick = Bind(this, &TFrmIconCus::BitBtn1Click);
  BitBtn9->OnClick = Bind(this, &TFrmIconCus::BitBtn9Click);
  TrackBar1->OnChange = Bind(this, &TFrmIconCus::TrackBar1Change);
  RadioButton1->OnClick = Bind(this, &TFrmIconCus::RadioButton1Click);
  RadioButton2->OnClick = Bind(this, &TFrmIconCus::RadioButton2Click);
  RadioButton3->OnMouseUp = Bind(this, &TFrmIconCus::RadioButton3MouseUp);
  CheckBox1->OnClick = Bind(this, &TFrmIconCus::CheckBox1Click);
  btn_save->OnClick = Bind(this, &TFrmIconCus::btn_saveClick);
  btn_restore->OnClick = Bind(this, &TFrmIconCus::btn_restoreClick);
  BitBtn8->OnClick = Bind(this, &TFrmIconCus::BitBtn8Click);
  Image3->OnDblClick = Bind(this, &TFrmIconCus::Image3DblClick);
}

void TFrmIconCus::BuildMenus() {
  struct Entry {
    TPopupMenu *&menu;
    const char *menuName;
    TMenuItem *&change, *&line, *&restore;
    const char *changeName, *lineName, *restoreName, *restoreCaption;
  } entries[] = {
      {PopupMenu1, "PopupMenu1", mnu1, N1, mnu2, "mnu1", "N1", "mnu2", "Restore default"},
      {PopupMenu2, "PopupMenu2", mnu3, N2, Mnu4, "mnu3", "N2", "Mnu4", "Restore"},
      {PopupMenu3, "PopupMenu3", mnu5, N3, mnu6, "mnu5", "N3", "mnu6", "Restore"},
  };
  for (Entry &e : entries) {
    e.menu = new TPopupMenu(this);
    e.menu->SetName(e.menuName);
    e.menu->SetImages(ImageListpop);
    e.menu->SetOwnerDraw(true);
    auto add = [&](TMenuItem *&item, const char *name, const char *caption, int image) {
      item = new TMenuItem(this);
      item->SetName(name);
      item->SetCaption(caption);
      item->SetImageIndex(image);
      e.menu->Items()->Add(item);
    };
    add(e.change, e.changeName, "Change Icon...", 1);
    add(e.line, e.lineName, "-", -1);
    add(e.restore, e.restoreName, e.restoreCaption, 0);
  }
}

void TFrmIconCus::BuildListPage(TTabSheet *&Sheet, const char *SheetName, const char *Caption,
                                TListView *&List, const char *ListName, int Height,
                                TImageList *Images, TPopupMenu *Menu,
                                const std::vector<const char *> &Items, TBitBtn *&Change,
                                const char *ChangeName, TBitBtn *&Restore,
                                const char *RestoreName) {
  Sheet = new TTabSheet(this);
  Sheet->SetName(SheetName);
  Sheet->SetPageControl(PageControl1);
  Sheet->SetCaption(Caption);
  PlaceControl(List = new TListView(this), ListName, Sheet, 8, 8, 509, Height, nullptr);
  List->SetViewStyle(vsIcon);
  List->SetReadOnly(true);
  List->SetHideSelection(false);
  List->SetLargeImages(Images);
  List->PopupMenu = Menu;
  for (const char *caption : Items) {
    TListItem *item = List->Items().Add();
    item->SetCaption(caption);
    item->SetImageIndex(item->Index());
  }
  PlaceControl(Change = new TBitBtn(this), ChangeName, Sheet, 289, Height + 16, 110, 28,
               "Change Icon...");
  PlaceControl(Restore = new TBitBtn(this), RestoreName, Sheet, 407, Height + 16, 110, 28,
               "Restore");
}

void TFrmIconCus::BuildDesktopPage() {
  std::vector<const char *> items;
  for (const DesktopItem &item : DesktopItems)
    items.push_back(item.caption);
  BuildListPage(TabSheet1, "TabSheet1", "Desktop", ListView1, "ListView1", 330, ImageList1,
                PopupMenu1, items, BitBtn2, "BitBtn2", BitBtn3, "BitBtn3");
}

void TFrmIconCus::BuildSystemPage() {
  BuildListPage(TabSheet2, "TabSheet2", "System", ListView2, "ListView2", 330, ImageList2,
                PopupMenu2, {std::begin(SystemItems), std::end(SystemItems)}, BitBtn4, "BitBtn4",
                BitBtn5, "BitBtn5");
  LG_PLACE(BitBtn9, TBitBtn, TabSheet2, 8, 346, 170, 28, "Rebuild Icon Cache");
}

void TFrmIconCus::BuildFilesPage() {
  std::vector<const char *> items;
  for (const FileItem &item : FileItems)
    items.push_back(item.caption);
  BuildListPage(TabSheet3, "TabSheet3", "Files", ListView3, "ListView3", 222, ImageList3,
                PopupMenu3, items, BitBtn6, "BitBtn6", BitBtn7, "BitBtn7");

  LG_PLACE(GroupBox1, TGroupBox, TabSheet3, 8, 276, 509, 96, "Other type");
  LG_PLACE(Label1, TLabel, GroupBox1, 16, 24, 200, 13, "Input the extension (e.x MP3)");
  LG_PLACE(Edit1, TEdit, GroupBox1, 16, 46, 140, 21, nullptr);
  LG_PLACE(BitBtn1, TBitBtn, GroupBox1, 168, 42, 120, 28, "Change Icon...");
  LG_PLACE(Image2, TImage, GroupBox1, 440, 28, 48, 48, nullptr);
  Image2->SetCenter(true);
}

void TFrmIconCus::BuildAdvancedPage() {
  LG_NEW(TabSheet4, TTabSheet, this);
  TabSheet4->SetPageControl(PageControl1);
  TabSheet4->SetCaption("Advanced");

  LG_PLACE(GroupBox2, TGroupBox, TabSheet4, 8, 8, 250, 180, "Icon size");
  LG_PLACE(TrackBar1, TTrackBar, GroupBox2, 16, 20, 218, 30, nullptr);
  TrackBar1->SetRange(1, 3);
  TrackBar1->SetPosition(3);
  struct Mark {
    TLabel *&label;
    const char *name, *caption;
    int left;
  } marks[] = {{Label11, "Label11", "Small", 18},
               {Label12, "Label12", "Normal", 106},
               {Label13, "Label13", "Large", 200}};
  for (Mark &m : marks) {
    m.label = new TLabel(this);
    m.label->SetName(m.name);
    m.label->SetParent(GroupBox2);
    m.label->SetBounds(m.left, 52, 40, 13);
    m.label->SetCaption(m.caption);
  }
  LG_PLACE(Panel1, TPanel, GroupBox2, 16, 72, 218, 96, nullptr);
  Panel1->SetBevelOuter(bvLowered);
  Panel1->SetCaption("");
  Panel1->SetColor(TColor(0x984E00)); // the desktop's blue: red 0, green 78, blue 152
  LG_PLACE(Image3, TImage, Panel1, 85, 12, 48, 48, nullptr);
  Image3->SetStretch(true);
  Image3->SetTransparent(true);
  Image3->Picture().Icon().SetHandle(static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), "MYCOMPUTER", IMAGE_ICON, 48, 48, 0)));
  LG_PLACE(Label14, TLabel, Panel1, 85, 62, 64, 13, "My Computer");
  Label14->SetTransparent(true);
  Label14->Font().SetColor(clWhite);

  LG_PLACE(GroupBox3, TGroupBox, TabSheet4, 266, 8, 251, 180, "Shortcut overlay icons");
  struct Choice {
    TRadioButton *&button;
    const char *name, *caption;
  } choices[] = {{RadioButton1, "RadioButton1", "Display shortcut overlay icons"},
                 {RadioButton2, "RadioButton2", "Hide  shortcut overlay icons"},
                 {RadioButton3, "RadioButton3", "Customize shortcut overlay icons..."}};
  for (int i = 0; i < 3; ++i) {
    choices[i].button = new TRadioButton(this);
    choices[i].button->SetName(choices[i].name);
    choices[i].button->SetParent(GroupBox3);
    choices[i].button->SetBounds(12, 20 + 22 * i, 230, 17);
    choices[i].button->SetCaption(choices[i].caption);
  }
  RadioButton1->SetChecked(true);
  LG_PLACE(Panel2, TPanel, GroupBox3, 12, 92, 227, 76, nullptr);
  Panel2->SetBevelOuter(bvLowered);
  Panel2->SetCaption("");
  Panel2->SetColor(clWhite);
  LG_PLACE(Image5, TImage, Panel2, 97, 8, 32, 32, nullptr);
  Image5->SetTransparent(true);
  Image5->Picture().Icon().SetHandle(
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 32, 32, 0)));
  // The overlay lies on the shortcut's picture, as the shell draws it.
  LG_PLACE(Image4, TImage, Panel2, 97, 8, 32, 32, nullptr);
  Image4->SetTransparent(true);
  LG_NEW(Label8, TLabel, this);
  Label8->SetParent(Panel2);
  Label8->SetAutoSize(false);
  Label8->SetBounds(4, 48, 219, 13);
  Label8->SetAlignment(taCenter);
  Label8->SetTransparent(true);
  Label8->SetCaption("Shortcut to Lumagrove");

  LG_PLACE(CheckBox1, TCheckBox, TabSheet4, 16, 204, 480, 17, "Disable the text \"Shortcut to\"");
  LG_PLACE(CheckBox2, TCheckBox, TabSheet4, 16, 228, 480, 17,
           "Show icons using all possible colors");
  CheckBox2->SetChecked(true);

  LG_PLACE(btn_save, TBitBtn, TabSheet4, 171, 346, 110, 28, "Apply");
  LG_PLACE(btn_restore, TBitBtn, TabSheet4, 289, 346, 110, 28, "Restore");
  LG_PLACE(BitBtn8, TBitBtn, TabSheet4, 407, 346, 110, 28, "Help");
}

// ---- creation and closing ------------------------------------------------------------------

void TFrmIconCus::FormCreate(TObject *) {
  ApplyTranslation(GetLanguageFile());
  if (OlderFamily({"98", "me"}))
    TabSheet1->SetTabVisible(false);
  LoadLists();
  LoadOverlay();

  stored_.noPrefix = ReadRegValue(HKEY_CURRENT_USER, ShortcutPrefixKey, "Link") == "0";
  CheckBox1->SetChecked(stored_.noPrefix);
  CheckBox1Click(CheckBox1);
  // A depth the system keeps of 16 bits or more (or none at all) is "all colours": clearing
  // the box is the only way to ask for fewer.
  int depth = 0;
  std::string bpp = ReadRegValue(HKEY_CURRENT_USER, WindowMetricsKey, ColourDepthValue);
  stored_.allColours = bpp.empty() || !TryStrToInt(bpp, depth) || depth >= 16;
  CheckBox2->SetChecked(stored_.allColours);
  std::string size = ReadRegValue(HKEY_CURRENT_USER, WindowMetricsKey, IconSizeValue);
  stored_.size = size == "16" ? 1 : size == "48" ? 3 : 2;
  TrackBar1->SetPosition(stored_.size);
  TrackBar1Change(TrackBar1);
}

void TFrmIconCus::LoadLists() {
  if (TabSheet1->TabVisible())
    LoadDesktopIcon();
  LoadSysIcon();
  LoadFileIcon();
}

void TFrmIconCus::LoadOverlay() {
  std::string overlay = ReadRegValue(HKEY_LOCAL_MACHINE, ShellIconsKey, OverlayValue);
  stored_.overlay = overlay.empty() ? 1 : overlay == HiddenOverlay() ? 2 : 3;
  CheckOverlayButton(stored_.overlay);
  if (stored_.overlay == 1)
    RadioButton1Click(RadioButton1);
  else if (stored_.overlay == 2)
    RadioButton2Click(RadioButton2);
  else
    ShowIcon(Image4, ShellIconsIcon(StrToInt(OverlayValue)));
}

void TFrmIconCus::CheckOverlayButton(int Overlay) {
  TRadioButton *buttons[] = {RadioButton1, RadioButton2, RadioButton3};
  buttons[Overlay - 1]->SetChecked(true);
}

void TFrmIconCus::ShowCurrentIcons() {
  LoadLists();
  // A package may have changed the overlay too; a choice the user has not applied yet stays.
  int shown = RadioButton1->Checked() ? 1 : RadioButton2->Checked() ? 2 : 3;
  if (shown == stored_.overlay && overlayPick_.empty())
    LoadOverlay();
}

void TFrmIconCus::FormClose(TObject *, TCloseAction &Action) {
  if (Frmmain)
    Frmmain->Show();
  Action = caFree;
}

// ---- the pickers ---------------------------------------------------------------------------

bool TFrmIconCus::pickicon() {
  if (!OlderFamily({"98", "me", "nt"}))
    return pickiconA("");
  if (!id1->Execute()) {
    if (id1->NoPicker())
      TellNoIconPicker(Handle());
    return false;
  }
  Labelicon->SetCaption(id1->FileName + "," + IntToStr(id1->IconIndex));
  return true;
}

bool TFrmIconCus::pickiconA(const std::string &StartFile) {
  // A start file the picker's buffer can't hold is refused there, never cut short.
  std::string file;
  int index = 0;
  if (!PickIconLocation(Handle(), StartFile, file, index))
    return false;
  std::string picked = file + "," + IntToStr(index);
  if (picked == ",0")
    return false;
  Labelicon->SetCaption(picked);
  return true;
}

// ---- the lists -------------------------------------------------------------------------------

void TFrmIconCus::LoadDesktopIcon() {
  ImageList1->Clear();
  for (int i = 0; i < int(std::size(DesktopItems)); ++i) {
    HKEY root;
    std::string key, value;
    IconPlaceValue(DesktopPlace(i), root, key, value);
    AddRegistryIconToList(root, key, value, ImageList1);
  }
  ListView1->Invalidate();
}

void TFrmIconCus::LoadSysIcon() {
  ImageList2->Clear();
  for (int n = 0; n < int(std::size(SystemItems)); ++n) {
    // An icon that can't be had still takes its place: item n shows image n.
    TIcon icon(ShellIconsIcon(n));
    ImageList2->AddIcon(&icon);
  }
  ListView2->Invalidate();
}

void TFrmIconCus::LoadFileIcon() {
  ImageList3->Clear();
  for (const FileItem &item : FileItems)
    AddExtensionIconToList(item.ext, ImageList3);
  ListView3->Invalidate();
}

bool TFrmIconCus::PickedFileExists() { return FileExists(IconLocationFile(Labelicon->Caption())); }

void TFrmIconCus::ShowPickedIcon(TListView *List, TImageList *Images, TListItem *Item) {
  TIcon icon(ExtractLocationIcon(Labelicon->Caption()));
  Images->ReplaceIcon(Item->Index(), &icon);
  List->Invalidate();
}

// ---- the three pages' changes and restores -------------------------------------------------
//
// A change shows its new picture only once the value took it; a refused write, and a refused
// restore, is reported at once.

void TFrmIconCus::mnu1Click(TObject *) {
  TListItem *item = ListView1->Selected();
  if (!item || !pickicon() || !PickedFileExists())
    return;
  TRefusedWrites refused;
  if (WriteIconPlace(DesktopPlace(item->Index()), Labelicon->Caption(), refused))
    ShowPickedIcon(ListView1, ImageList1, item);
  ReportRefusedWrites(Handle(), refused);
}

void TFrmIconCus::mnu2Click(TObject *) {
  TListItem *item = ListView1->Selected();
  if (!item)
    return;
  TRefusedWrites refused;
  RestoreIconPlace(DesktopPlace(item->Index()), refused);
  LoadDesktopIcon();
  ReportRefusedWrites(Handle(), refused);
}

void TFrmIconCus::mnu3Click(TObject *) {
  TListItem *item = ListView2->Selected();
  if (!item || !pickicon() || !PickedFileExists())
    return;
  TRefusedWrites refused;
  if (TryWriteRegValue(HKEY_LOCAL_MACHINE, ShellIconsKey, IntToStr(item->Index()),
                       Labelicon->Caption(), 1, refused))
    ShowPickedIcon(ListView2, ImageList2, item);
  ReportRefusedWrites(Handle(), refused);
}

void TFrmIconCus::Mnu4Click(TObject *) {
  TListItem *item = ListView2->Selected();
  if (!item)
    return;
  // The system's own icon comes back by the value's absence, not by a copy of it.
  TRefusedWrites refused;
  if (TryDeleteRegValue(HKEY_LOCAL_MACHINE, ShellIconsKey, IntToStr(item->Index()), refused)) {
    TIcon icon(ExtractLocationIcon(Shell32Path() + "," + IntToStr(item->Index())));
    ImageList2->ReplaceIcon(item->Index(), &icon);
    ListView2->Invalidate();
  }
  ReportRefusedWrites(Handle(), refused);
}

void TFrmIconCus::mnu5Click(TObject *) {
  TListItem *item = ListView3->Selected();
  if (!item || !pickicon() || !PickedFileExists())
    return;
  TRefusedWrites refused;
  if (SetFileTypeIcon(FileItems[item->Index()].ext, Labelicon->Caption(), refused))
    ShowPickedIcon(ListView3, ImageList3, item);
  ReportRefusedWrites(Handle(), refused);
}

void TFrmIconCus::mnu6Click(TObject *) {
  TListItem *item = ListView3->Selected();
  if (!item)
    return;
  const char *ext = FileItems[item->Index()].ext;
  TRefusedWrites refused;
  RestoreFileTypeIcon(ext, IconPlaceDefault(*FindFileTypePlace(ext)), refused);
  LoadFileIcon();
  ReportRefusedWrites(Handle(), refused);
}

// ---- other file types ----------------------------------------------------------------------

void TFrmIconCus::ShowExtensionIcon() {
  std::string ext;
  if (!CleanExtension(Edit1->Text(), ext)) {
    Image2->Picture().Assign(nullptr);
    return;
  }
  std::unique_ptr<TIcon> icon(GetExtensionIcon(ext));
  Image2->Picture().Assign(icon.get());
}

void TFrmIconCus::Edit1Change(TObject *) { ShowExtensionIcon(); }

void TFrmIconCus::BitBtn1Click(TObject *) {
  std::string ext;
  if (!CleanExtension(Edit1->Text(), ext) || !pickicon())
    return;
  TRefusedWrites refused;
  if (PickedFileExists())
    SetFileTypeIcon(ext, Labelicon->Caption(), refused);
  ShowExtensionIcon();
  ReportRefusedWrites(Handle(), refused);
}

// ---- the icon cache --------------------------------------------------------------------------

void TFrmIconCus::BitBtn9Click(TObject *) {
  if (!OlderFamily({"98", "me"})) {
    RefreshShellIcons();
    return;
  }
  // The 98 family rebuilds its cache when the size goes to 0 and back; back means the size
  // the user had, or none.
  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  bool had = reg.OpenKeyReadOnly(WindowMetricsKey) && reg.ValueExists(IconSizeValue);
  std::string size = had ? ReadRegValue(HKEY_CURRENT_USER, WindowMetricsKey, IconSizeValue) : "";
  reg.CloseKey();
  WriteRegValue(HKEY_CURRENT_USER, WindowMetricsKey, IconSizeValue, "0", 1);
  BroadcastWinIniChange();
  if (had)
    WriteRegValue(HKEY_CURRENT_USER, WindowMetricsKey, IconSizeValue, size, 1);
  else
    DeleteRegValue(HKEY_CURRENT_USER, WindowMetricsKey, IconSizeValue);
  BroadcastWinIniChange();
}

// ---- the advanced page ---------------------------------------------------------------------

void TFrmIconCus::TrackBar1Change(TObject *) {
  static const int sizes[] = {16, 32, 48}, shifts[] = {-16, -8, 0};
  int step = std::clamp(TrackBar1->Position(), 1, 3) - 1;
  Image3->SetBounds(Image3->Left(), Image3->Top(), sizes[step], sizes[step]);
  Label14->SetLeft(Image3->Left() + shifts[step]);
  Label14->SetTop(Image3->Top() + Image3->Height() + 2);
}

void TFrmIconCus::RadioButton1Click(TObject *) {
  ShowIcon(Image4, ExtractLocationIcon(Shell32Path() + ",29"));
}

void TFrmIconCus::RadioButton2Click(TObject *) { Image4->Picture().Assign(nullptr); }

void TFrmIconCus::RadioButton3MouseUp(TObject *, TMouseButton, TShiftState, int, int) {
  if (!pickiconA(GetConfigFolder("Data") + "Shortcut.icl")) {
    // Nothing picked now or before: the choice shown goes back to the one in force.
    if (overlayPick_.empty() && stored_.overlay != 3)
      CheckOverlayButton(stored_.overlay);
    return;
  }
  overlayPick_ = Labelicon->Caption();
  ShowIcon(Image4, ExtractLocationIcon(overlayPick_));
}

void TFrmIconCus::CheckBox1Click(TObject *) {
  Label8->SetCaption(CheckBox1->Checked() ? LangMessage("Icons_7", "Lumagrove")
                                          : LangMessage("Icons_6", "Shortcut to Lumagrove"));
}

void TFrmIconCus::btn_saveClick(TObject *) {
  // Only what the user changed is written: a setting left alone keeps whatever the system
  // holds, which the form's few choices may not even be able to show. A setting whose write is
  // refused still counts as changed, so the next Apply tries it again.
  TRefusedWrites refused;
  int overlay = RadioButton1->Checked() ? 1 : RadioButton2->Checked() ? 2 : 3;
  bool overlayDone = true;
  if (overlay == 1 && stored_.overlay != 1)
    overlayDone = TryDeleteRegValue(HKEY_LOCAL_MACHINE, ShellIconsKey, OverlayValue, refused);
  else if (overlay == 2 && stored_.overlay != 2)
    overlayDone = TryWriteRegValue(HKEY_LOCAL_MACHINE, ShellIconsKey, OverlayValue, HiddenOverlay(),
                                   1, refused);
  else if (overlay == 3 && !overlayPick_.empty())
    overlayDone =
        TryWriteRegValue(HKEY_LOCAL_MACHINE, ShellIconsKey, OverlayValue, overlayPick_, 1, refused);
  if (overlayDone && (overlay != 3 || !overlayPick_.empty())) {
    stored_.overlay = overlay;
    overlayPick_.clear();
  }

  if (CheckBox1->Checked() != stored_.noPrefix &&
      (CheckBox1->Checked()
           ? TryWriteRegValue(HKEY_CURRENT_USER, ShortcutPrefixKey, "Link", "0", 3, refused)
           : TryDeleteRegValue(HKEY_CURRENT_USER, ShortcutPrefixKey, "Link", refused)))
    stored_.noPrefix = CheckBox1->Checked();
  if (CheckBox2->Checked() != stored_.allColours &&
      TryWriteRegValue(HKEY_CURRENT_USER, WindowMetricsKey, ColourDepthValue,
                       CheckBox2->Checked() ? "16" : "4", 1, refused))
    stored_.allColours = CheckBox2->Checked();
  if (TrackBar1->Position() != stored_.size) {
    static const char *const sizes[] = {"16", "32", "48"};
    if (TryWriteRegValue(HKEY_CURRENT_USER, WindowMetricsKey, IconSizeValue,
                         sizes[std::clamp(TrackBar1->Position(), 1, 3) - 1], 1, refused))
      stored_.size = TrackBar1->Position();
  }
  RefreshShellIcons();
  if (!ReportRefusedWrites(Handle(), refused))
    GetPrompts().MessageBox(Handle(), LangMessage("Icons_5", "The settings changed successfully!"),
                            LangMessage("Common_8", "OK"), MB_OK | MB_ICONINFORMATION);
}

void TFrmIconCus::btn_restoreClick(TObject *Sender) {
  RadioButton1->SetChecked(true);
  CheckBox1->SetChecked(false);
  CheckBox2->SetChecked(true);
  btn_saveClick(Sender);
}

void TFrmIconCus::BitBtn8Click(TObject *) {
  if (Frmmain)
    Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", "frmicon.htm#iconset");
}

void TFrmIconCus::Image3DblClick(TObject *) {
  if (!OpenForm(this, FrmIcon))
    return;
  FrmIcon->PageControl1->SetActivePage(FrmIcon->TabSheet1);
  FrmIcon->Show();
}
