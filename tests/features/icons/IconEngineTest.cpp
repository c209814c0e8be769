// The icon package engine against the (sandboxed) registry and real folders: every place of
// a package, the Windows defaults, the shell's icon refresh, file types, hostile packages and
// package archives.
#include "IconFixture.h"

#include "archive/UnZipHarness.h"
#include "features/icons/Func_Icon.h"
#include "toolkit/core/Classes.h"
#include "toolkit/win32/FileUtil.h"

using namespace icontest;

namespace {

// The key-to-place table as the program's description gives it. place: "E{G}" Explorer CLSID,
// "C{G}" Class CLSID, "I<n>" Shell Icons n, "Internet"/"Mail" the default clients, "T<ext>" a
// file type, "F<name>" a Shell Folders folder, "Favorites". def: the restore's location, its
// first letter the folder it starts in (S system, W Windows, P Program Files, C Common Files).
struct Row {
  const char *section, *key, *place, *value, *def;
};
const Row Table[] = {
    {"Desktop Icons", "My Documents", "E{450D8FBA-AD25-11D0-98A8-0800361B1103}", "",
     "S\\mydocs.dll,0"},
    {"Desktop Icons", "My Computer", "E{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "",
     "W\\explorer.exe,0"},
    {"Desktop Icons", "Network Neighborhood", "E{208D2C60-3AEA-1069-A2D7-08002B30309D}", "",
     "S\\shell32.dll,17"},
    {"Desktop Icons", "The Internet", "E{871C5380-42A0-1069-A2EA-08002B30309D}", "",
     "P\\Internet Explorer\\iexplore.exe,0"},
    {"Desktop Icons", "Recycle Bin (empty)", "E{645FF040-5081-101B-9F08-00AA002F954E}", "empty",
     "S\\shell32.dll,31"},
    {"Desktop Icons", "Recycle Bin (full)", "E{645FF040-5081-101B-9F08-00AA002F954E}", "full",
     "S\\shell32.dll,32"},
    {"Start Icons", "Internet", "Internet", "", "P\\Internet Explorer\\iexplore.exe,0"},
    {"Start Icons", "E-mail", "Mail", "", "P\\Outlook Express\\msimn.exe,0"},
    {"Start Icons", "Find", "E{2559a1f0-21d7-11d4-bdaf-00c04f60b9f0}", "", "S\\shell32.dll,22"},
    {"Start Icons", "Help", "E{2559a1f1-21d7-11d4-bdaf-00c04f60b9f0}", "", "S\\shell32.dll,23"},
    {"Start Icons", "Run", "E{2559a1f3-21d7-11d4-bdaf-00c04f60b9f0}", "", "S\\shell32.dll,24"},
    {"Folder Icons", "Closed Folder", "I3", "", "S\\shell32.dll,3"},
    {"Folder Icons", "Open Folder", "I4", "", "S\\shell32.dll,4"},
    {"Folder Icons", "Program Group", "I36", "", "S\\shell32.dll,36"},
    {"Folder Icons", "My Pictures", "FMy Pictures", "", "S\\mydocs.dll,1"},
    {"Folder Icons", "My Music", "FMy Music", "", "S\\shell32.dll,128"},
    {"Folder Icons", "Control Panel", "E{21EC2020-3AEA-1069-A2DD-08002B30309D}", "",
     "S\\shell32.dll,57"},
    {"Folder Icons", "Administrative Tools", "E{D20EA4E1-3957-11d2-A40B-0C5020524153}", "",
     "S\\main.cpl,10"},
    {"Folder Icons", "Fonts", "E{D20EA4E1-3957-11d2-A40B-0C5020524152}", "", "S\\main.cpl,9"},
    {"Folder Icons", "Dial-Up Networking", "E{7007ACC7-3202-11D1-AAD2-00805FC1270E}", "",
     "S\\netshell.dll,0"},
    {"Folder Icons", "Printers", "E{2227A280-3AEA-1069-A2DE-08002B30309D}", "",
     "S\\shell32.dll,58"},
    {"Folder Icons", "Scanners && Cameras", "E{E211B736-43FD-11D1-9EFB-0000F8757FCD}", "",
     "S\\wiashext.dll,0"},
    {"Folder Icons", "Scheduled Tasks", "E{D6277990-4C6A-11CF-8D87-00AA0060F5BF}", "",
     "S\\mstask.dll,0"},
    {"Folder Icons", "Web Folders", "E{BDEADF00-C265-11d0-BCED-00A0C90AB50F}", "",
     "C\\Microsoft Shared\\Web Folders\\msonsext.dll,0"},
    {"Folder Icons", "ActiveX Cache", "C{88C6C381-2E85-11D0-94DE-444553540000}", "",
     "S\\occache.dll,0"},
    {"Folder Icons", "Favorites", "Favorites", "", "S\\shell32.dll,86"},
    {"Folder Icons", "Url History", "C{FF393560-C2A7-11CF-BFF4-444553540000}", "",
     "S\\shdocvw.dll,24"},
    {"Folder Icons", "Subscriptions", "C{F5175861-2688-11d0-9C5E-00AA00A45957}", "",
     "S\\webcheck.dll,0"},
    {"Drive Icons", "Floppy Drive (5.25)", "I5", "", "S\\shell32.dll,5"},
    {"Drive Icons", "Floppy Drive (3.5)", "I6", "", "S\\shell32.dll,6"},
    {"Drive Icons", "Hard Drive", "I8", "", "S\\shell32.dll,8"},
    {"Drive Icons", "Network Drive (connected)", "I9", "", "S\\shell32.dll,9"},
    {"Drive Icons", "Network Drive (offline)", "I10", "", "S\\shell32.dll,10"},
    {"Drive Icons", "CD-ROM Drive", "I11", "", "S\\shell32.dll,11"},
    {"Drive Icons", "Removable Drive", "I7", "", "S\\shell32.dll,7"},
    {"Drive Icons", "RAM Drive", "I12", "", "S\\shell32.dll,12"},
    {"Other Icons", "Shortcut Overlay", "I29", "", "S\\shell32.dll,29"},
    {"Other Icons", "Sharing Overlay", "I28", "", "S\\shell32.dll,28"},
    {"Other Icons", "Desktop", "I34", "", "S\\shell32.dll,34"},
    {"Other Icons", "Entire Network", "I13", "", "S\\shell32.dll,13"},
    {"Other Icons", "Network Service", "I14", "", "S\\shell32.dll,14"},
    {"Other Icons", "Workgroup", "I18", "", "S\\shell32.dll,18"},
    {"Other Icons", "Computer", "I15", "", "S\\shell32.dll,15"},
    {"Other Icons", "Audio CD", "I40", "", "S\\shell32.dll,40"},
    {"File Icons", "Bitmap Image", "Tbmp", "", "S\\shimgvw.dll,1"},
    {"File Icons", "Configuration Settings", "Tini", "", "S\\shell32.dll,69"},
    {"File Icons", "Default Icon", "I0", "", "S\\shell32.dll,0"},
    {"File Icons", "Default Document", "I1", "", "S\\shell32.dll,1"},
    {"File Icons", "GIF Image", "Tgif", "", "S\\shimgvw.dll,2"},
    {"File Icons", "Internet Document", "Thtm", "", "P\\Internet Explorer\\iexplore.exe,1"},
    {"File Icons", "JPEG Image", "Tjpg", "", "S\\shimgvw.dll,3"},
    {"File Icons", "Media Clip", "Tmmm", "", "S\\mplay32.exe,1"},
    {"File Icons", "MIDI Sequence", "Tmid", "", "P\\Windows Media Player\\wmplayer.exe,1"},
    {"File Icons", "Movie Clip", "Tmpeg", "", "P\\Windows Media Player\\wmplayer.exe,1"},
    {"File Icons", "MS-DOS Application", "I2", "", "S\\shell32.dll,2"},
    {"File Icons", "MS-DOS Batch File", "Tbat", "", "S\\shell32.dll,71"},
    {"File Icons", "Rich Text Format", "Trtf", "", "P\\Windows NT\\Accessories\\Wordpad.exe,1"},
    {"File Icons", "Text Document", "Ttxt", "", "S\\shell32.dll,70"},
    {"File Icons", "Video Clip", "Tavi", "", "P\\Windows Media Player\\wmplayer.exe,1"},
    {"File Icons", "Wave Sound", "Twav", "", "P\\Windows Media Player\\wmplayer.exe,1"},
    {"File Icons", "Write Document", "Twri", "", "P\\Windows NT\\Accessories\\Wordpad.exe,2"},
    {"File Icons", "Zip File", "Tzip", "", "S\\zipfldr.dll,0"},
};

const char *const Browser = "Browser", *const Postbox = "Postbox";

class IconEngine : public ::testing::Test {
protected:
  void SetUp() override {
    for (const Row &row : Table)
      if (row.place[0] == 'T')
        RegisterDocumentTypes({row.place + 1});
    pictures = testenv::TestDir() + "Pictures";
    music = testenv::TestDir() + "Music";
    CreateDirectoryA(pictures.c_str(), nullptr);
    CreateDirectoryA(music.c_str(), nullptr);
    testenv::SetStringValue(HKEY_CURRENT_USER, ShellFolders, "My Pictures", pictures);
    testenv::SetStringValue(HKEY_CURRENT_USER, ShellFolders, "My Music", music);
    testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon Size", "32");
  }

  void RegisterClients() {
    testenv::SetStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\StartMenuInternet", "",
                            Browser);
    testenv::SetStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail", "", Postbox);
  }

  // What the row's place holds now: a registry value, or a folder's "file,index".
  std::string Held(const Row &row) {
    std::string p = row.place;
    if (p == "Internet")
      return Value(
          HKEY_LOCAL_MACHINE,
          std::string("SOFTWARE\\Clients\\StartMenuInternet\\") + Browser + "\\DefaultIcon", "");
    if (p == "Mail")
      return Value(HKEY_LOCAL_MACHINE,
                   std::string("SOFTWARE\\Clients\\Mail\\") + Postbox + "\\DefaultIcon", "");
    if (p == "Favorites")
      return FolderIcon(testenv::Places().favoritesDir);
    switch (p[0]) {
    case 'E':
      return Value(HKEY_CURRENT_USER, ExplorerClsid(p.substr(1)), row.value);
    case 'C':
      return Value(HKEY_CLASSES_ROOT, "CLSID\\" + p.substr(1) + "\\DefaultIcon", "");
    case 'I':
      return Value(HKEY_LOCAL_MACHINE, ShellIcons, p.substr(1));
    case 'T':
      return Value(HKEY_CLASSES_ROOT, p.substr(1) + "file\\DefaultIcon", "");
    case 'F':
      return FolderIcon(p == "FMy Pictures" ? pictures : music);
    }
    ADD_FAILURE() << "unknown place " << p;
    return "";
  }

  std::string Default(const Row &row) {
    auto &places = testenv::Places();
    std::string def = row.def;
    const std::string home = def[0] == 'S'   ? places.systemDir
                             : def[0] == 'W' ? places.windowsDir
                             : def[0] == 'P' ? programFiles
                                             : commonFiles;
    return home + def.substr(1);
  }

  std::string pictures, music;
  std::string programFiles = "C:\\Program Files", commonFiles = "C:\\Program Files\\Common Files";
};

TEST_F(IconEngine, PackageReachesEveryPlace) {
  RegisterClients();
  std::string text = "[Package Info]\r\nAuthor=Someone\r\n";
  std::string section;
  for (size_t i = 0; i < std::size(Table); ++i) {
    if (section != Table[i].section)
      text += "[" + (section = Table[i].section) + "]\r\n";
    std::string value = "%ThemeDir%blue.icl," + std::to_string(i);
    if (std::string(Table[i].key) == "My Computer")
      value = "%ThemeDir%a%ThemeDir%.icl,2"; // twice in one value
    if (std::string(Table[i].key) == "Hard Drive")
      value = "%themedir%x.ico,8"; // the word in other letter case is no word of ours
    text += std::string(Table[i].key) + "=" + value + "\r\n";
  }
  const std::string dir = testenv::TestDir() + "Packs\\Blue\\";
  BroadcastListener listener;
  TRefusedWrites refused;
  ApplyIconTheme(WritePackage(dir + "Blue.iptheme", text), refused);
  EXPECT_TRUE(refused.Empty()) << refused.Summary();

  for (size_t i = 0; i < std::size(Table); ++i) {
    std::string expected = dir + "blue.icl," + std::to_string(i);
    if (std::string(Table[i].key) == "My Computer")
      expected = dir + "a" + dir + ".icl,2";
    if (std::string(Table[i].key) == "Hard Drive")
      expected = "%themedir%x.ico,8";
    EXPECT_EQ(Held(Table[i]), expected) << Table[i].section << " / " << Table[i].key;
  }
  // The full Recycle Bin's icon goes to "full" alone.
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid("{645FF040-5081-101B-9F08-00AA002F954E}"), ""),
            "<missing>");
  // The shell was told twice: the size one lower, then as it was.
  ASSERT_EQ(listener.heard.size(), 2u);
  EXPECT_EQ(listener.heard[0].what, WPARAM(SPI_SETNONCLIENTMETRICS));
  EXPECT_EQ(listener.heard[0].size, "31");
  EXPECT_EQ(listener.heard[1].size, "32");
}

TEST_F(IconEngine, MissingAndUnusableKeysLeaveTheirPlacesAlone) {
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "3", "keep.ico,0");
  testenv::SetStringValue(HKEY_CURRENT_USER,
                          ExplorerClsid("{450D8FBA-AD25-11D0-98A8-0800361B1103}"), "", "keep");
  BroadcastListener listener;
  // No default Internet or mail client is registered; the picture folder's index is no number.
  TRefusedWrites refused;
  ApplyIconTheme(WritePackage(testenv::TestDir() + "One.iptheme",
                              "[Desktop Icons]\r\nMy Computer=D:\\pc.ico\r\nMy Documents=\r\n"
                              "[Start Icons]\r\nInternet=web.ico,1\r\nE-mail=mail.ico,1\r\n"
                              "[Folder Icons]\r\nMy Pictures=pic.ico,x\r\nFavorites=fav.ico,3\r\n"
                              "[File Icons]\r\nZip File=zip.ico,4\r\n"),
                 refused);
  EXPECT_TRUE(refused.Empty()) << "what is skipped is no refusal";
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid("{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), ""),
            "D:\\pc.ico");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, ExplorerClsid("{450D8FBA-AD25-11D0-98A8-0800361B1103}"), ""),
            "keep");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ShellIcons, "3"), "keep.ico,0");
  EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients"));
  EXPECT_EQ(FolderIcon(pictures), "");
  // The keys after the unusable one are applied, and the shell is still refreshed.
  EXPECT_EQ(FolderIcon(testenv::Places().favoritesDir), "fav.ico,3");
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "zipfile\\DefaultIcon", ""), "zip.ico,4");
  EXPECT_EQ(listener.heard.size(), 2u);
}

TEST_F(IconEngine, RestoreWritesTheWindowsDefaultsOfThisMachine) {
  RegisterClients();
  programFiles = "D:\\Apps";
  commonFiles = "E:\\Shared";
  const char *version = "Software\\Microsoft\\Windows\\CurrentVersion";
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, version, "ProgramFilesDir", programFiles);
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, version, "CommonFilesDir", commonFiles);
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, ShellIcons, "29", "custom.ico,1");
  BroadcastListener listener;
  TRefusedWrites refused;
  RestoreDefaultIcons(refused);
  EXPECT_TRUE(refused.Empty()) << refused.Summary();
  for (const Row &row : Table)
    EXPECT_EQ(Held(row), Default(row)) << row.section << " / " << row.key;
  const std::string bin = ExplorerClsid("{645FF040-5081-101B-9F08-00AA002F954E}");
  EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, ""), testenv::Places().systemDir + "\\shell32.dll,32");
  EXPECT_TRUE(listener.heard.empty()) << "the restore leaves the refresh to its callers";

  // Without a picture folder, nothing is written for it.
  DeleteFileA((pictures + "\\desktop.ini").c_str());
  testenv::SetStringValue(HKEY_CURRENT_USER, ShellFolders, "My Pictures", "");
  RestoreDefaultIcons(refused);
  EXPECT_EQ(FolderIcon(pictures), "");
}

TEST_F(IconEngine, RefreshLowersTheIconSizeAndPutsItBack) {
  {
    BroadcastListener listener;
    testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon Size", "48");
    EXPECT_TRUE(RefreshShellIcons());
    ASSERT_EQ(listener.heard.size(), 2u);
    EXPECT_EQ(listener.heard[0].size, "47");
    EXPECT_EQ(listener.heard[1].size, "48");
    EXPECT_EQ(IconChangeNotices(), 1);
  }
  // No number to lower, or no value at all (today's shell): nothing is written and nothing
  // broadcast, but the shell still hears that icons changed.
  for (const char *stored : {"big", ""}) {
    BroadcastListener listener;
    testenv::SetStringValue(HKEY_CURRENT_USER, Metrics, "Shell Icon Size", stored);
    EXPECT_FALSE(RefreshShellIcons()) << stored;
    EXPECT_EQ(Value(HKEY_CURRENT_USER, Metrics, "Shell Icon Size"), stored);
    EXPECT_TRUE(listener.heard.empty());
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, Metrics);
  EXPECT_FALSE(RefreshShellIcons());
  EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, Metrics)) << "nothing is created";
  EXPECT_EQ(IconChangeNotices(), 4);
}

TEST_F(IconEngine, FileTypeIconsGoToTheDocumentType) {
  TRefusedWrites refused;
  EXPECT_TRUE(SetFileTypeIcon(".txt", "t.ico,1", refused)); // a typed dot is dropped
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", ""), "t.ico,1");
  EXPECT_TRUE(RestoreFileTypeIcon("txt", "plain.ico,0", refused));
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", ""), "plain.ico,0");
  // No document type, or no extension at all: no key is made.
  for (const char *ext : {"xyz", "", ".", "a\\b"}) {
    EXPECT_FALSE(SetFileTypeIcon(ext, "x.ico,0", refused));
    EXPECT_FALSE(RestoreFileTypeIcon(ext, "x.ico,0", refused));
  }
  EXPECT_TRUE(refused.Empty());
  EXPECT_FALSE(testenv::KeyExists(HKEY_CLASSES_ROOT, ".xyz"));
  EXPECT_FALSE(testenv::KeyExists(HKEY_CLASSES_ROOT, "."));
  EXPECT_FALSE(testenv::KeyExists(HKEY_CLASSES_ROOT, ".a"));
  EXPECT_FALSE(testenv::KeyExists(HKEY_CLASSES_ROOT, "\\DefaultIcon"));
}

TEST_F(IconEngine, HostilePackagesAreReadSafely) {
  const std::string dir = testenv::TestDir();
  const std::string mycomputer = ExplorerClsid("{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  // Binary garbage and a file without sections set nothing.
  std::string garbage;
  for (int i = 0; i < 100000; ++i)
    garbage += char((i * 7919) % 251 + 1);
  TRefusedWrites refused;
  for (const std::string &text : {garbage, std::string("My Computer=x.ico,1\r\n")})
    EXPECT_EQ(WriteIconTheme(WritePackage(dir + "Bad.iptheme", text), refused), 0);
  // A huge value and one made of the folder word thousands of times: read as far as a package
  // value reaches, the word replaced wherever it stands whole.
  std::string huge(1 << 20, 'h');
  WriteIconTheme(WritePackage(dir + "Huge.iptheme", "[Desktop Icons]\r\nMy Computer=" + huge),
                 refused);
  std::string held = Value(HKEY_CURRENT_USER, mycomputer, "");
  EXPECT_GT(held.size(), 1000u);
  EXPECT_EQ(held, std::string(held.size(), 'h'));
  std::string words;
  for (int i = 0; i < 5000; ++i)
    words += "%ThemeDir%";
  WriteIconTheme(WritePackage(dir + "Words.iptheme", "[Desktop Icons]\r\nMy Computer=" + words),
                 refused);
  held = Value(HKEY_CURRENT_USER, mycomputer, "");
  ASSERT_GT(held.size(), dir.size());
  EXPECT_EQ(held.substr(0, dir.size()), dir);
  EXPECT_EQ(held.find("%ThemeDir%"), std::string::npos);
}

TEST_F(IconEngine, ArchivesInstallIntoTheirOwnPackageFolder) {
  using namespace ziptest;
  const std::string archive = testenv::TestDir() + "Ocean.ip";
  WriteAll(archive, MakeZip({Item("Ocean.iptheme", "[Desktop Icons]\r\nMy Computer=x\r\n"),
                             Item("icons/ocean.ico", "not really an icon")}));
  tk::TComponent owner(nullptr);
  TPackageInstall install = ExtractIconPackage(archive, &owner);
  const std::string folder = testenv::Places().programDir + "IconThemes\\Ocean";
  EXPECT_EQ(install.Extracted, 2);
  EXPECT_EQ(install.Failed, 0);
  EXPECT_TRUE(tk::FileExists(folder + "\\Ocean.iptheme"));
  EXPECT_EQ(testenv::ReadFile(folder + "\\icons\\ocean.ico"), "not really an icon");

  // Names that climb out of the package folder fail, and write nothing outside it.
  const std::string hostile = testenv::TestDir() + "Reef.zip";
  WriteAll(hostile, MakeZip({Item("../../evil.txt", "x"), Item("..\\evil2.txt", "x"),
                             Item("good.txt", "fine")}));
  install = ExtractIconPackage(hostile, &owner);
  EXPECT_EQ(install.Failed, 2);
  EXPECT_TRUE(tk::FileExists(testenv::Places().programDir + "IconThemes\\Reef\\good.txt"));
  EXPECT_FALSE(tk::FileExists(testenv::Places().programDir + "evil.txt"));
  EXPECT_FALSE(tk::FileExists(testenv::Places().programDir + "IconThemes\\evil2.txt"));
  EXPECT_FALSE(tk::FileExists(testenv::Places().root + "evil.txt"));

  // An archive whose name is all dots would name the package folder itself, or its parent.
  const std::string dots = testenv::TestDir() + "...zip";
  WriteAll(dots, MakeZip({Item("x.txt", "x")}));
  install = ExtractIconPackage(dots, &owner);
  EXPECT_EQ(install.Extracted, 0);
  EXPECT_FALSE(tk::FileExists(testenv::Places().programDir + "x.txt"));
  EXPECT_FALSE(tk::FileExists(testenv::Places().programDir + "IconThemes\\x.txt"));
}

} // namespace
