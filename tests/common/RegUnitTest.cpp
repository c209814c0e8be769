#include "common/RegUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/Registry.h"
#include "support/TestEnvironment.h"
#include "toolkit/graphics/ImgList.h"
#include "toolkit/win32/Registry.h"

using namespace tk;
using testenv::GetRawValue;
using testenv::SetRawValue;
using testenv::SetStringValue;

namespace {

const char *kKey = "Software\\Quillomar\\Lumagrove\\Test";

std::string RawBytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes)
    s += char(b);
  return s;
}

std::string StoredBytes(HKEY root, const std::string &key, const std::string &name,
                        DWORD expectedType) {
  DWORD type = 0;
  std::string bytes;
  EXPECT_TRUE(GetRawValue(root, key, name, type, bytes)) << name << " missing";
  EXPECT_EQ(type, expectedType);
  return bytes;
}

} // namespace

TEST(ReadRegValue, MissingKeyReadsEmptyAndCreatesNothing) {
  ASSERT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, kKey));
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kKey, "Nothing"), "");
  EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Quillomar"));
}

TEST(ReadRegValue, ExpandableStringsExpandOnlySystemRootInItsExactCase) {
  SetStringValue(HKEY_LOCAL_MACHINE, kKey, "A", "%SystemRoot%\\system32\\x.dll", REG_EXPAND_SZ);
  SetStringValue(HKEY_LOCAL_MACHINE, kKey, "B", "%systemroot%\\x.dll", REG_EXPAND_SZ);
  SetStringValue(HKEY_LOCAL_MACHINE, kKey, "C", "%TEMP%;%SystemRoot%;%SystemRoot%", REG_EXPAND_SZ);
  SetStringValue(HKEY_LOCAL_MACHINE, kKey, "D", "%SystemRoot%\\plain", REG_SZ);
  std::string win = testenv::Places().windowsDir;
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kKey, "A"), win + "\\system32\\x.dll");
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kKey, "B"), "%systemroot%\\x.dll");
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kKey, "C"), "%TEMP%;" + win + ";" + win);
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kKey, "D"), "%SystemRoot%\\plain");
}

TEST(ReadRegValue, NumbersByTheirStoredType) {
  SetRawValue(HKEY_CURRENT_USER, kKey, "AllOnes", REG_DWORD, RawBytes({255, 255, 255, 255}));
  SetRawValue(HKEY_CURRENT_USER, kKey, "Bin4", REG_BINARY, RawBytes({255, 255, 255, 255}));
  SetRawValue(HKEY_CURRENT_USER, kKey, "Bin2", REG_BINARY, RawBytes({1, 2}));
  SetRawValue(HKEY_CURRENT_USER, kKey, "Bin0", REG_BINARY, "");
  SetRawValue(HKEY_CURRENT_USER, kKey, "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  SetStringValue(HKEY_CURRENT_USER, kKey, "", "default text");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "AllOnes"), "-1");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "Bin4"), "4294967295");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "Bin2"), "513");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "Bin0"), "0");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "Multi"), "") << "unexpected types read empty";
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "Missing"), "");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, ""), "default text");
}

TEST(ReadRegValue, BinaryLongerThanFourBytesRaises) {
  SetRawValue(HKEY_CURRENT_USER, kKey, "Long", REG_BINARY, RawBytes({1, 2, 3, 4, 5}));
  try {
    ReadRegValue(HKEY_CURRENT_USER, kKey, "Long");
    FAIL() << "no error";
  } catch (const ERegistryException &e) {
    EXPECT_EQ(e.Message(), "Invalid data type for 'Long'");
  }
}

TEST(WriteRegValue, KindsWriteTheirTypes) {
  WriteRegValue(HKEY_CURRENT_USER, kKey, "S", "hello", 1);
  WriteRegValue(HKEY_CURRENT_USER, kKey, "I", "-2", 2);
  WriteRegValue(HKEY_CURRENT_USER, kKey, "Big", "4294967296", 3);
  WriteRegValue(HKEY_CURRENT_USER, kKey, "One", "1", 3);
  WriteRegValue(HKEY_CURRENT_USER, kKey, "Wide", "-1", 3);
  EXPECT_EQ(StoredBytes(HKEY_CURRENT_USER, kKey, "S", REG_SZ), std::string("hello\0", 6));
  EXPECT_EQ(StoredBytes(HKEY_CURRENT_USER, kKey, "I", REG_DWORD), RawBytes({254, 255, 255, 255}));
  EXPECT_EQ(StoredBytes(HKEY_CURRENT_USER, kKey, "Big", REG_BINARY), RawBytes({0, 0, 0, 0}));
  EXPECT_EQ(StoredBytes(HKEY_CURRENT_USER, kKey, "One", REG_BINARY), RawBytes({1, 0, 0, 0}));
  EXPECT_EQ(StoredBytes(HKEY_CURRENT_USER, kKey, "Wide", REG_BINARY),
            RawBytes({255, 255, 255, 255}));
  // Written values read back through the same routines.
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "I"), "-2");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "One"), "1");
}

TEST(WriteRegValue, UnknownKindCreatesTheKeyOnly) {
  const std::string key = std::string(kKey) + "\\Deeper\\Still";
  WriteRegValue(HKEY_LOCAL_MACHINE, key, "V", "x", 4);
  WriteRegValue(HKEY_LOCAL_MACHINE, key, "W", "x", 0);
  EXPECT_TRUE(testenv::KeyExists(HKEY_LOCAL_MACHINE, key));
  DWORD type;
  std::string bytes;
  EXPECT_FALSE(GetRawValue(HKEY_LOCAL_MACHINE, key, "V", type, bytes));
  EXPECT_FALSE(GetRawValue(HKEY_LOCAL_MACHINE, key, "W", type, bytes));
}

TEST(WriteRegValue, TextThatIsNoNumberRaisesAndWritesNothing) {
  for (int kind : {2, 3}) {
    try {
      WriteRegValue(HKEY_CURRENT_USER, kKey, "N", "12abc", kind);
      ADD_FAILURE() << "kind " << kind << " wrote garbage";
    } catch (const EConvertError &e) {
      EXPECT_EQ(e.Message(), "'12abc' is not a valid integer value");
    }
  }
  DWORD type;
  std::string bytes;
  EXPECT_FALSE(GetRawValue(HKEY_CURRENT_USER, kKey, "N", type, bytes));
}

TEST(DeleteRegValue, RemovesTheValueAndToleratesAMissingOne) {
  SetStringValue(HKEY_CURRENT_USER, kKey, "Gone", "x");
  DeleteRegValue(HKEY_CURRENT_USER, kKey, "Gone");
  DeleteRegValue(HKEY_CURRENT_USER, kKey, "NeverWas");
  DWORD type;
  std::string bytes;
  EXPECT_FALSE(GetRawValue(HKEY_CURRENT_USER, kKey, "Gone", type, bytes));
}

TEST(RegistryFailures, KeyThatCannotBeCreatedRaisesWithItsPath) {
  HKEY bogus = reinterpret_cast<HKEY>(0x8000007F);
  try {
    WriteRegValue(bogus, "Software\\X", "V", "1", 1);
    FAIL() << "no error";
  } catch (const ERegistryException &e) {
    EXPECT_EQ(e.Message(), "Failed to create key Software\\X");
  }
  EXPECT_THROW(DeleteRegValue(bogus, "K", "V"), ERegistryException);
  // A read creates nothing, so it has nothing to raise: it can't open the key, and says so.
  testenv::Prompts().Expect("wrong", IDOK);
  EXPECT_EQ(ReadRegValue(bogus, "K", "V"), "");
}

TEST(RegistryFailures, KeyThatCannotBeOpenedSaysWrongAndDoesNothing) {
  SetStringValue(HKEY_CURRENT_USER, kKey, "V", "kept");
  TRegistry::OpenKeyFault = [](HKEY, const std::string &path) { return path == kKey; };
  testenv::Prompts().Expect("wrong", IDOK);
  testenv::Prompts().Expect("wrong", IDOK);
  testenv::Prompts().Expect("wrong", IDOK);
  std::string read = ReadRegValue(HKEY_CURRENT_USER, kKey, "V");
  WriteRegValue(HKEY_CURRENT_USER, kKey, "V", "changed", 1);
  DeleteRegValue(HKEY_CURRENT_USER, kKey, "V");
  TRegistry::OpenKeyFault = nullptr;
  EXPECT_EQ(read, "");
  ASSERT_EQ(testenv::Prompts().Seen().size(), 3u);
  EXPECT_EQ(testenv::Prompts().Seen()[0].text, "wrong");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "V"), "kept");
}

// A standard user's refused machine-wide key: the writes around it still happen, nothing is
// shown, and the one summary names the key once with the reason, counting each value once
// (a restore and an apply may both be refused the same value) and none that already holds
// what was to be written.
TEST(RefusedWrites, ARefusedKeyIsGatheredAndTheRestIsWritten) {
  const std::string shellIcons =
      "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons";
  SetStringValue(HKEY_LOCAL_MACHINE, shellIcons, "3", "old.dll,1");
  testenv::RefuseWrites(HKEY_LOCAL_MACHINE, shellIcons);
  TRefusedWrites refused;
  EXPECT_FALSE(
      TryWriteRegStrings(HKEY_LOCAL_MACHINE, shellIcons, {{"3", "a.dll,0"}, {"4", "b"}}, refused));
  EXPECT_FALSE(TryDeleteRegValue(HKEY_LOCAL_MACHINE, shellIcons, "3", refused));
  EXPECT_TRUE(TryDeleteRegValue(HKEY_LOCAL_MACHINE, shellIcons, "NeverWas", refused));
  EXPECT_TRUE(TryWriteRegValue(HKEY_LOCAL_MACHINE, shellIcons, "3", "old.dll,1", 1, refused));
  EXPECT_FALSE(TryWriteRegValue(HKEY_LOCAL_MACHINE, shellIcons, "3", "old.dll,2", 1, refused));
  EXPECT_TRUE(TryWriteRegValue(HKEY_CURRENT_USER, kKey, "N", "7", 2, refused));
  EXPECT_TRUE(TryDeleteRegValue(HKEY_CURRENT_USER, "Software\\Nowhere", "V", refused));
  EXPECT_FALSE(TryWriteRegValue(HKEY_CURRENT_USER, kKey, "Bad", "seven", 2, refused));

  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, shellIcons, "3"), "old.dll,1");
  EXPECT_EQ(StoredBytes(HKEY_CURRENT_USER, kKey, "N", REG_DWORD), RawBytes({7, 0, 0, 0}));
  EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, "Software\\Nowhere"));
  EXPECT_EQ(refused.Count(), 3);
  std::string summary = refused.Summary();
  EXPECT_NE(
      summary.find("2 values under HKEY_LOCAL_MACHINE\\" + shellIcons + ": needs an administrator"),
      std::string::npos)
      << summary;
  EXPECT_NE(summary.find("\"Bad\" under HKEY_CURRENT_USER\\" + std::string(kKey) + ": "),
            std::string::npos)
      << summary;
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 1) << summary;

  testenv::Prompts().Expect("these settings were not", IDOK);
  EXPECT_TRUE(ReportRefusedWrites(nullptr, refused));
  EXPECT_FALSE(ReportRefusedWrites(nullptr, TRefusedWrites()));
}

TEST(IconLocation, SplitsAtTheFirstComma) {
  EXPECT_EQ(IconLocationFile("shell32.dll,-16"), "shell32.dll");
  EXPECT_EQ(IconLocationIndex("shell32.dll,-16"), -16);
  EXPECT_EQ(IconLocationFile("C:\\x\\icons.icl"), "C:\\x\\icons.icl");
  EXPECT_EQ(IconLocationIndex("C:\\x\\icons.icl"), 0);
  EXPECT_EQ(IconLocationIndex("a.dll,7"), 7);
  EXPECT_EQ(IconLocationFile("a.dll,1,2"), "a.dll");
  EXPECT_THROW(IconLocationIndex("a.dll,1,2"), EConvertError);
  EXPECT_THROW(IconLocationIndex("a.dll,"), EConvertError);
}

TEST(Folders, ComeFromThePlacesWithTheirSeparators) {
  auto &places = testenv::Places();
  EXPECT_EQ(GetSystemDir(), places.systemDir);
  EXPECT_EQ(GetWindowsDir(), places.windowsDir);
  EXPECT_EQ(Shell32Path(), places.systemDir + "\\shell32.dll");
  EXPECT_EQ(GetTempDir(), places.tempDir);
  EXPECT_EQ(GetTempDir().back(), '\\');
  EXPECT_EQ(GetFavoritesDir(), places.favoritesDir);
  EXPECT_EQ(ExpandSystemRoot("%SystemRoot%\\a;%SYSTEMROOT%"),
            places.windowsDir + "\\a;%SYSTEMROOT%");
}

TEST(Folders, RealPlacesAnswerFromTheSystem) {
  // The real doors: folders exist, the fixed-width system calls give no trailing separator.
  tk::Places &real = tk::RealPlaces();
  std::string sys = real.SystemDir(), win = real.WindowsDir(), temp = real.TempDir();
  ASSERT_FALSE(sys.empty());
  EXPECT_NE(sys.back(), '\\');
  EXPECT_NE(win.back(), '\\');
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_NE(GetFileAttributesA(sys.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(real.ProgramDir(), testenv::ExeDir());
}

TEST(GetConfigFolder, DefaultsToTheProgramFolder) {
  std::string program = testenv::Places().programDir;
  EXPECT_EQ(GetConfigFolder("Logons"), program + "Logons\\");
  EXPECT_EQ(GetConfigFolder("Data"), program + "Data\\");
}

TEST(GetConfigFolder, PathSectionOverridesAsWritten) {
  std::string program = testenv::Places().programDir;
  testenv::WriteFile(program + "Data\\Config.ini",
                     "[Option]\r\nLogons=X:\\wrong\\\r\n[Path]\r\nLogons=D:\\L\r\n"
                     "IconThemes=E:\\Themes\\\r\n");
  EXPECT_EQ(GetConfigFolder("Logons"), "D:\\L");
  EXPECT_EQ(GetConfigFolder("Logons") + "name", "D:\\Lname");
  EXPECT_EQ(GetConfigFolder("IconThemes"), "E:\\Themes\\");
  EXPECT_EQ(GetConfigFolder("Wallpaper"), program + "Wallpaper\\");
}

TEST(GetConfigFolder, GarbageInConfigIniIsHarmless) {
  std::string program = testenv::Places().programDir;
  std::string junk = "\x01\x02garbage without equals\r\n[[[\r\n=novalue\r\n";
  junk += std::string("\xff\xfe\x00\x00", 4);
  testenv::WriteFile(program + "Data\\Config.ini",
                     junk + "\r\n[Path]\r\nnoise line\r\nFolderBG=C:\\bg\\\r\n\x7f\x7f\r\n");
  EXPECT_EQ(GetConfigFolder("FolderBG"), "C:\\bg\\");
  EXPECT_EQ(GetConfigFolder("IEBG"), program + "IEBG\\");
}

// ---- icons -----------------------------------------------------------------------------------

namespace {

std::vector<DWORD> Pixels(HICON icon) { return testenv::IconPixels(icon); }

class IconLookup : public ::testing::Test {
protected:
  void SetUp() override {
    builtIcons = testenv::BuiltProgramDir() + "Data\\Icon.dll";
    ASSERT_NE(GetFileAttributesA(builtIcons.c_str()), INVALID_FILE_ATTRIBUTES) << builtIcons;
    // The program's own fallback icon lives in the sandboxed program folder's Data folder.
    std::string data = testenv::Places().programDir + "Data";
    CreateDirectoryA(data.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(builtIcons.c_str(), (data + "\\Icon.dll").c_str(), FALSE));
    list.SetSize(32, 32);
  }

  std::vector<DWORD> Expected(int index) {
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), builtIcons.c_str(), UINT(index));
    std::vector<DWORD> px = Pixels(icon);
    DestroyIcon(icon);
    return px;
  }

  std::vector<DWORD> InList(int index) {
    TIcon icon;
    EXPECT_TRUE(list.GetIcon(index, icon));
    return Pixels(icon.Handle());
  }

  std::string builtIcons;
  TImageList list{nullptr};
};

} // namespace

TEST_F(IconLookup, RegistryLocationOfAnExistingFileGivesItsIcon) {
  SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{X}\\DefaultIcon", "", builtIcons + ",2");
  EXPECT_TRUE(AddRegistryIconToList(HKEY_CLASSES_ROOT, "CLSID\\{X}\\DefaultIcon", "", &list));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(InList(0), Expected(2));
  EXPECT_NE(InList(0), Expected(0));
}

TEST_F(IconLookup, MissingFileGivesTheFallbackWithoutReadingTheIndex) {
  SetStringValue(HKEY_CURRENT_USER, "Icons", "A", "C:\\nowhere\\none.dll,5");
  SetStringValue(HKEY_CURRENT_USER, "Icons", "B", "none.dll,not a number");
  EXPECT_FALSE(AddRegistryIconToList(HKEY_CURRENT_USER, "Icons", "A", &list));
  EXPECT_FALSE(AddRegistryIconToList(HKEY_CURRENT_USER, "Icons", "B", &list));
  EXPECT_FALSE(AddRegistryIconToList(HKEY_CURRENT_USER, "Icons", "Missing", &list));
  ASSERT_EQ(list.Count(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(InList(i), Expected(0)) << i;
}

TEST_F(IconLookup, ExistingFileWithABadIndexRaises) {
  SetStringValue(HKEY_CURRENT_USER, "Icons", "A", builtIcons + ",x");
  EXPECT_THROW(AddRegistryIconToList(HKEY_CURRENT_USER, "Icons", "A", &list), EConvertError);
}

TEST_F(IconLookup, FileFoundInTheSystemFolderCounts) {
  std::string name = "lgtest_icons.dll";
  ASSERT_TRUE(
      CopyFileA(builtIcons.c_str(), (testenv::Places().systemDir + "\\" + name).c_str(), FALSE));
  SetStringValue(HKEY_CURRENT_USER, "Icons", "A", name + ",1");
  EXPECT_TRUE(AddRegistryIconToList(HKEY_CURRENT_USER, "Icons", "A", &list));
  EXPECT_EQ(list.Count(), 1) << "an entry is added even when extraction finds nothing";
}

TEST_F(IconLookup, ExtensionIconsFollowTheDocumentType) {
  SetStringValue(HKEY_CLASSES_ROOT, ".lgx", "", "LgxFile");
  SetStringValue(HKEY_CLASSES_ROOT, "LgxFile\\DefaultIcon", "", builtIcons + ",1");
  EXPECT_TRUE(AddExtensionIconToList("lgx", &list));
  EXPECT_FALSE(AddExtensionIconToList("nosuchext", &list));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(InList(0), Expected(1));
  EXPECT_EQ(InList(1), Expected(0));
  // An extension without a type leaves no stray DefaultIcon key at the root.
  EXPECT_FALSE(testenv::KeyExists(HKEY_CLASSES_ROOT, "DefaultIcon"));

  std::unique_ptr<TIcon> icon(GetExtensionIcon("lgx"));
  ASSERT_TRUE(icon && !icon->Empty());
  EXPECT_EQ(Pixels(icon->Handle()), Expected(1));
  std::unique_ptr<TIcon> fallback(GetExtensionIcon("nosuchext"));
  EXPECT_EQ(Pixels(fallback->Handle()), Expected(0));
}

TEST_F(IconLookup, IndexMinusOneIsNoIconAndOtherNegativeIndexesAreResourceIds) {
  // Icon.dll's icons carry the resource IDs 1, 2 and 3.
  SetStringValue(HKEY_CURRENT_USER, "Icons", "Count", builtIcons + ",-1");
  SetStringValue(HKEY_CURRENT_USER, "Icons", "Id", builtIcons + ",-2");
  EXPECT_TRUE(AddRegistryIconToList(HKEY_CURRENT_USER, "Icons", "Count", &list));
  EXPECT_TRUE(AddRegistryIconToList(HKEY_CURRENT_USER, "Icons", "Id", &list));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(InList(0), Expected(0)) << "the fallback icon, not the number of icons";
  EXPECT_EQ(InList(1), Expected(1));

  EXPECT_EQ(ExtractLocationIcon(builtIcons + ",-1"), nullptr);
  HICON byId = ExtractLocationIcon(builtIcons + ",-3");
  EXPECT_EQ(Pixels(byId), Expected(2));
  DestroyIcon(byId);

  // The system's own libraries by resource ID, where this Windows has such an icon (Wine's
  // imageres.dll has none at ID 3; its shell32.dll has one at ID 4).
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  for (const char *location : {"imageres.dll,-3", "shell32.dll,-4"}) {
    std::string path = std::string(system) + "\\" + IconLocationFile(location);
    HICON real =
        ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), UINT(IconLocationIndex(location)));
    if (reinterpret_cast<UINT_PTR>(real) <= 1)
      continue;
    HICON found = ExtractLocationIcon(location);
    EXPECT_NE(found, nullptr) << location;
    EXPECT_EQ(Pixels(found), Pixels(real)) << location;
    DestroyIcon(found);
    DestroyIcon(real);
    return;
  }
  GTEST_SKIP() << "no system library with such an icon";
}
