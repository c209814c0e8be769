#include <windows.h>

#include <map>
#include <optional>

#include "../../app/AppFixture.h"
#include "common/AnsiText.h"
#include "features/explorer/UnitFrmIE.h"
#include "support/Registry.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/RunTimeApis.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

namespace {

// Every key and value below a root, as "key|value" -> type and bytes.
void DumpKey(HKEY key, const std::string &path, std::map<std::string, std::string> &out) {
  out[path] = "";
  char name[512];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
      break;
    out[path + "|" + name] = std::to_string(type) + ":" + std::string((char *)data, dataSize);
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    HKEY child;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
      DumpKey(child, path + "\\" + name, out);
      RegCloseKey(child);
    }
  }
}

std::map<std::string, std::string> DumpRegistry() {
  std::map<std::string, std::string> out;
  for (auto [root, name] :
       {std::pair{HKEY_CURRENT_USER, "HKCU"}, {HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_USERS, "HKU"}})
    DumpKey(root, name, out);
  return out;
}

std::string Value(HKEY root, const std::string &key, const std::string &name) {
  DWORD type;
  std::string bytes;
  if (!testenv::GetRawValue(root, key, name, type, bytes))
    return "<none>";
  return bytes.substr(0, bytes.find('\0'));
}

class Explorer : public AppTest {
protected:
  void TearDown() override {
    TRegistry::OpenKeyFault = nullptr;
    AppTest::TearDown();
    FrmIE = nullptr;
  }

  std::string Folder(const std::string &name) {
    std::string folder = testenv::Places().programDir + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
  }

  // A tile whose every pixel says where in the tile it lies.
  std::string WriteTile(const std::string &path, int width, int height) {
    TBitmap tile;
    tile.SetSize(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        tile.Canvas().SetPixels(x, y, TColor(RGB(x * 2, y * 5, 77)));
    tile.SaveToFile(path);
    return path;
  }

  void OpenForm() {
    StartProgram();
    Frmmain->Lbl_IE->Click();
    ASSERT_NE(FrmIE, nullptr);
  }

  void Pick(int index) { FrmIE->FileListBox1->SetItemIndex(index); }

  TColor PreviewPixel(int x, int y) { return FrmIe_preview->Image1->Canvas().Pixels(x, y); }
};

} // namespace

TEST_F(Explorer, OpensFromTheMainWindowShowingTheStateAndWritingNothing) {
  std::string bg = Folder("IEBG");
  WriteTile(bg + "One.bmp", 10, 10);
  WriteTile(bg + "Two.bmp", 10, 10);
  testenv::WriteFile(bg + "notes.txt", "not a picture");
  std::string logo = WriteTile(testenv::TestDir() + "brand.bmp", 38, 380);
  testenv::SetStringValue(HKEY_CURRENT_USER, IEToolbarKey, "BrandBitmap", logo);
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, IEMainKey, "Window Title", "Hello");
  testenv::SetStringValue(HKEY_CURRENT_USER, std::string(IEMenuExtKey) + "\\E&xport", "", "x");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, std::string(IEExtensionsKey) + "\\{0001}",
                          "ButtonText", "Research");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, std::string(IEExtensionsKey) + "\\{0002}", "Exec",
                          "x.exe");
  auto before = DumpRegistry();

  OpenForm();
  EXPECT_TRUE(FrmIE->Visible());
  EXPECT_FALSE(Frmmain->Visible());
  EXPECT_EQ(DumpRegistry(), before);
  EXPECT_FALSE(FileExists(testenv::Places().programDir + "Data\\Config.ini"));

  EXPECT_EQ(FrmIE->FileListBox1->Items().GetText(), "One.bmp\r\nTwo.bmp\r\n");
  // The full-width colon in the system's code page (its best fit where it has none), never
  // as raw UTF-8.
  EXPECT_EQ(FrmIE->Label1->Caption(), AnsiText("Installed Background Files\xEF\xBC\x9A") + "2");
  EXPECT_EQ(FrmIE->Label1->Caption().find('\xEF'), std::string::npos);
  EXPECT_EQ(FrmIE->Edit1->Text(), logo);
  EXPECT_EQ(FrmIE->Image1->Picture().Height(), 380);
  EXPECT_EQ(FrmIE->Edit3->Text(), "Hello");
  EXPECT_EQ(FrmIE->Label6->Caption(), "Hello");
  EXPECT_EQ(FrmIE->ListBox1->Items().GetText(), "E&xport\r\n");
  EXPECT_EQ(FrmIE->ListBox2->Items().GetText(), "Research\r\n\r\n");

  // The preview follows the pages: shown on the background page, hidden on the next two; it
  // never takes the focus from the form, whose tabs the arrow keys then still switch.
  EXPECT_TRUE(FrmIe_preview->Visible());
  FrmIE->PageControl1->SetActivePage(FrmIE->TabSheet2);
  EXPECT_FALSE(FrmIe_preview->Visible());
  SetActiveWindow(FrmIE->Handle());
  FrmIE->PageControl1->SetActivePage(FrmIE->TabSheet1);
  EXPECT_TRUE(FrmIe_preview->Visible());
  EXPECT_EQ(GetActiveWindow(), FrmIE->Handle());
  FrmIE->CheckBox1->SetChecked(false);
  EXPECT_FALSE(FrmIe_preview->Visible());
  EXPECT_EQ(TIniFile(testenv::Places().programDir + "Data\\Config.ini")
                .ReadString("Explorer", "Preview", ""),
            "0");

  FrmIE->Close();
  EXPECT_FALSE(FrmIe_preview->Visible());
  EXPECT_TRUE(Frmmain->Visible());
}

TEST_F(Explorer, ABackgroundIsTiledOnThePreviewAppliedAndRestored) {
  std::string bg = Folder("IEBG");
  WriteTile(bg + "Bricks.bmp", 100, 40);
  // A bitmap without pixels: nothing to repeat.
  std::string empty = bg + "Empty.bmp";
  {
    std::string file(54, '\0');
    file[0] = 'B', file[1] = 'M', file[2] = 54, file[10] = 54, file[14] = 40, file[26] = 1,
    file[28] = 24;
    testenv::WriteFile(empty, file);
  }
  testenv::SetStringValue(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmap", "C:\\old.bmp");
  OpenForm();
  Pick(0);
  EXPECT_EQ(FrmIE->Editbg->Text(), bg + "Bricks.bmp");
  EXPECT_TRUE(FrmIE->BitBtn1->Enabled());
  // 8 columns (0 to 700) and 3 rows (0, 40, 80) on the 792 x 86 canvas: the last, cut-off
  // tile starts at (700, 80).
  EXPECT_EQ(PreviewPixel(0, 0), TColor(RGB(0, 0, 77)));
  EXPECT_EQ(PreviewPixel(791, 85), TColor(RGB(91 * 2, 5 * 5, 77)));
  EXPECT_EQ(PreviewPixel(750, 45), TColor(RGB(50 * 2, 5 * 5, 77)));

  testenv::Prompts().Expect("no picture that can be used", IDOK);
  Pick(1);
  EXPECT_FALSE(FrmIE->BitBtn1->Enabled());
  FrmIE->FileListBox1->OnDblClick(FrmIE->FileListBox1); // asks nothing, writes nothing
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmapShell"), "<none>");
  Pick(0);
  EXPECT_TRUE(FrmIE->BitBtn1->Enabled());

  testenv::Prompts().Expect("Are you sure", IDNO);
  FrmIE->BitBtn1->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmapShell"), "<none>");
  FrmIE->CheckBox3->SetChecked(false);
  testenv::Prompts().Expect("Are you sure", IDYES);
  testenv::Prompts().Expect("background changed successfully", IDOK, "OK");
  FrmIE->BitBtn1->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmapShell"), bg + "Bricks.bmp");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmapIE5"), "<none>");
  // Neither ticked: nothing written, and no success claimed.
  FrmIE->CheckBox2->SetChecked(false);
  testenv::Prompts().Expect("Are you sure", IDYES);
  testenv::Prompts().Expect("Tick", IDOK);
  FrmIE->BitBtn1->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BackBitmapIE5"), "<none>");

  testenv::Prompts().Expect("restored successfully", IDOK);
  FrmIE->BitBtn2->Click();
  for (const char *name : {"BackBitmap", "BackBitmapIE5", "BackBitmapShell"})
    EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, name), "<none>") << name;
}

TEST_F(Explorer, TheTitleGoesToFourPlacesAndAMachineRefusalIsToldOnce) {
  OpenForm();
  struct Place {
    HKEY root;
    std::string key, name;
  } places[] = {{HKEY_LOCAL_MACHINE, IEMainKey, "Window Title"},
                {HKEY_CURRENT_USER, IEMainKey, "Window Title"},
                {HKEY_USERS, IEDefaultUserMainKey, "Window Title"},
                {HKEY_CURRENT_USER, OutlookExpressKey, "WindowTitle"}};
  FrmIE->Edit3->SetText("Quill");
  for (const Place &p : places)
    EXPECT_EQ(Value(p.root, p.key, p.name), "Quill") << p.key;
  EXPECT_EQ(FrmIE->Label6->Caption(), "Quill");
  FrmIE->Edit3->SetText("");
  for (const Place &p : places)
    EXPECT_EQ(Value(p.root, p.key, p.name), "<none>") << p.key;
  EXPECT_EQ(FrmIE->Label6->Caption(), "Microsoft Internet Explorer");

  // A user who may not write the machine's key keeps the own title and hears of it once.
  TRegistry::OpenKeyFault = [](HKEY root, const std::string &) {
    return root == HKEY_LOCAL_MACHINE;
  };
  testenv::Prompts().Expect("needs an administrator", IDOK);
  FrmIE->Edit3->SetText("A");
  FrmIE->Edit3->SetText("AB");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEMainKey, "Window Title"), "AB");
}

TEST_F(Explorer, LogosAreAppliedOnlyForFilesThatExistAndRestored) {
  std::string large = WriteTile(Folder("IELogo_L") + "Big.bmp", 38, 76);
  OpenForm();
  testenv::Prompts().ExpectFileDialog({large});
  FrmIE->BitBtn4->Click();
  EXPECT_EQ(testenv::Prompts().SeenDialogs().back().initialDir,
            testenv::Places().programDir + "IELogo_L\\");
  EXPECT_EQ(FrmIE->Image1->Picture().Width(), 38);
  FrmIE->Edit2->SetText(testenv::TestDir() + "gone.bmp");
  testenv::Prompts().Expect("does not exist", IDOK);
  FrmIE->BitBtn7->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BrandBitmap"), "<none>");

  FrmIE->Edit2->SetText("");
  testenv::Prompts().Expect("Animated logo changed successfully", IDOK);
  FrmIE->BitBtn7->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BrandBitmap"), large);
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "SmBrandBitmap"), "<none>");
  testenv::Prompts().Expect("Animated logo restored successfully", IDOK);
  FrmIE->BitBtn8->Click();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "BrandBitmap"), "<none>");
  EXPECT_TRUE(FrmIE->Edit1->Text().empty());
}

TEST_F(Explorer, DeletingAnEntryTakesItsSubtreeAndNothingElse) {
  std::string ext = IEExtensionsKey;
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ext + "\\{A}", "ButtonText", "Alpha");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ext + "\\{A}\\Deep", "x", "1");
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ext + "\\{B}", "ButtonText", "Beta");
  std::string menu = IEMenuExtKey;
  testenv::SetStringValue(HKEY_CURRENT_USER, menu + "\\Open here", "", "a");
  testenv::SetStringValue(HKEY_CURRENT_USER, menu + "\\Open here\\Sub", "", "b");
  testenv::SetStringValue(HKEY_CURRENT_USER, menu + "\\Translate", "", "c");
  OpenForm();

  // Nothing selected: nothing deleted (an empty name would be the whole key).
  FrmIE->BitBtn11->Click();
  FrmIE->BitBtn10->Click();
  EXPECT_EQ(FrmIE->ListBox2->Items().Count(), 2);
  EXPECT_EQ(FrmIE->ListBox1->Items().Count(), 2);

  FrmIE->ListBox2->SetItemIndex(0);
  FrmIE->BitBtn11->Click();
  EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, ext + "\\{A}"));
  EXPECT_TRUE(testenv::KeyExists(HKEY_LOCAL_MACHINE, ext + "\\{B}"));
  EXPECT_EQ(FrmIE->ListBox2->Items().GetText(), "Beta\r\n");

  FrmIE->ListBox1->SetItemIndex(0);
  FrmIE->BitBtn10->Click();
  EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, menu + "\\Open here"));
  EXPECT_TRUE(testenv::KeyExists(HKEY_CURRENT_USER, menu + "\\Translate"));
  EXPECT_EQ(FrmIE->ListBox1->Items().GetText(), "Translate\r\n");
}

TEST_F(Explorer, ARefusedWriteIsToldOnceAndNoSuccessIsClaimed) {
  std::string ext = IEExtensionsKey;
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ext + "\\{A}", "ButtonText", "Alpha");
  testenv::SetStringValue(HKEY_CURRENT_USER, IEToolbarKey, "SmBrandBitmap", "C:\\old.bmp");
  std::string large = WriteTile(testenv::TestDir() + "Big.bmp", 38, 76);
  // A standard user: the machine's key refuses; a policy has locked the tool-bar key.
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, ext);
  testenv::RefuseWrites(HKEY_CURRENT_USER, IEToolbarKey);
  OpenForm();

  FrmIE->Edit1->SetText(large);
  FrmIE->Edit2->SetText("");
  // Both values are tried, and told in one line for their key.
  testenv::Prompts().Expect("2 values under HKEY_CURRENT_USER\\" + std::string(IEToolbarKey), IDOK,
                            "Warning");
  FrmIE->BitBtn7->Click();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_EQ(Value(HKEY_CURRENT_USER, IEToolbarKey, "SmBrandBitmap"), "C:\\old.bmp");

  FrmIE->ListBox2->SetItemIndex(0);
  testenv::Prompts().Expect("HKEY_LOCAL_MACHINE\\" + ext + "\\{A}: needs an administrator", IDOK,
                            "Warning");
  FrmIE->BitBtn11->Click();
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_TRUE(testenv::KeyExists(HKEY_LOCAL_MACHINE, ext + "\\{A}"));
  EXPECT_EQ(FrmIE->ListBox2->Items().GetText(), "Alpha\r\n");
  EXPECT_EQ(testenv::Prompts().Seen().size(), 2u);
}

namespace {

constexpr REGSAM kBothViews = KEY_WOW64_32KEY | KEY_WOW64_64KEY;

void SetInView(const std::string &key, const std::string &name, const std::string &text,
               REGSAM view) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                            nullptr, &h, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                 DWORD(text.size() + 1));
  RegCloseKey(h);
}

bool InView(const std::string &key, const std::string &name, REGSAM view) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS)
    return false;
  bool found = RegQueryValueExA(h, name.c_str(), nullptr, nullptr, nullptr, nullptr) == 0;
  RegCloseKey(h);
  return found;
}

// The form on the prefix's own machine keys, where the two registry views are real. As in the
// mirror tests, a 64-bit test process lets the 32-bit view play the native one; the other view
// then holds what a program of the other width registered.
class ExplorerViews : public Explorer {
protected:
  void SetUp() override {
    Explorer::SetUp();
    if (sizeof(void *) == 8)
      testenv::Places().registryView = KEY_WOW64_32KEY;
    else if (IsWow64())
      testenv::Places().registryView = RealPlaces().RegistryView();
    else
      GTEST_SKIP() << "a 32-bit prefix has a single registry view";
    native = testenv::Places().registryView;
    other = native ^ kBothViews;
    unique = "LumagroveIE" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(GetTickCount());
  }

  void TearDown() override {
    if (real) {
      for (REGSAM view : {native, other}) {
        for (const std::string &key : made)
          DeleteRegKeyInView(HKEY_LOCAL_MACHINE, key.c_str(), view);
        if (titleWritten) {
          HKEY h;
          if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, IEMainKey, 0, KEY_SET_VALUE | view, &h) == 0) {
            RegDeleteValueA(h, "Window Title");
            RegCloseKey(h);
          }
        }
      }
    }
    real.reset();
    Explorer::TearDown();
  }

  std::optional<testenv::RealMachineRoots> real;
  REGSAM native = 0, other = 0;
  std::string unique;
  std::vector<std::string> made;
  bool titleWritten = false;
};

int Occurrences(TListBox *list, const std::string &text) {
  int n = 0;
  for (int i = 0; i < list->Items().Count(); ++i)
    n += list->Items().Strings(i) == text;
  return n;
}

} // namespace

TEST_F(ExplorerViews, ButtonsAndTheTitleOfEitherViewAreSeenAndDeletedFromEvery) {
  StartProgram();
  real.emplace();
  std::string ext = IEExtensionsKey;
  std::string addOn = ext + "\\{" + unique + "A}", shared = ext + "\\{" + unique + "B}";
  made = {addOn, shared};
  ASSERT_FALSE(InView(IEMainKey, "Window Title", native));
  ASSERT_FALSE(InView(IEMainKey, "Window Title", other));
  titleWritten = true;
  SetInView(IEMainKey, "Window Title", "From the other view", other);
  SetInView(addOn, "ButtonText", "Add-on " + unique, other);
  SetInView(shared, "ButtonText", "Native " + unique, native);
  SetInView(shared, "ButtonText", "Other " + unique, other);

  Frmmain->Lbl_IE->Click();
  ASSERT_NE(FrmIE, nullptr);
  EXPECT_EQ(FrmIE->Edit3->Text(), "From the other view");
  // Each entry once; where both views hold a text, the native one's.
  EXPECT_EQ(Occurrences(FrmIE->ListBox2, "Add-on " + unique), 1);
  EXPECT_EQ(Occurrences(FrmIE->ListBox2, "Native " + unique), 1);
  EXPECT_EQ(Occurrences(FrmIE->ListBox2, "Other " + unique), 0);

  FrmIE->ListBox2->SetItemIndex(FrmIE->ListBox2->Items().IndexOf("Add-on " + unique));
  FrmIE->BitBtn11->Click();
  EXPECT_FALSE(InView(addOn, "ButtonText", other));
  EXPECT_EQ(Occurrences(FrmIE->ListBox2, "Add-on " + unique), 0);

  FrmIE->ListBox2->SetItemIndex(FrmIE->ListBox2->Items().IndexOf("Native " + unique));
  FrmIE->BitBtn11->Click();
  EXPECT_FALSE(InView(shared, "ButtonText", native));
  EXPECT_FALSE(InView(shared, "ButtonText", other));
  EXPECT_EQ(Occurrences(FrmIE->ListBox2, "Native " + unique), 0);
  EXPECT_EQ(testenv::Prompts().Seen().size(), 0u);
}
