#include "components/SFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/TestEnvironment.h"
#include "toolkit/forms/Forms.h"

namespace {

// root\a.iptheme (5), b.txt, README, pack.iptheme\ (a folder) holding e.iptheme (2),
// sub\c.iptheme (7), sub\deeper\d.IPTHEME (3).
std::string MakeTree() {
  std::string root = testenv::TestDir() + "tree";
  testenv::WriteFile(root + "\\a.iptheme", "aaaaa");
  testenv::WriteFile(root + "\\b.txt", "b");
  testenv::WriteFile(root + "\\README", "r");
  testenv::WriteFile(root + "\\pack.iptheme\\e.iptheme", "ee");
  testenv::WriteFile(root + "\\sub\\c.iptheme", "ccccccc");
  testenv::WriteFile(root + "\\sub\\deeper\\d.IPTHEME", "ddd");
  return root;
}

struct Searcher {
  explicit Searcher(const std::string &dir, const std::string &mask = "*.iptheme") {
    search.ScanOptions = soSpecifiedDir;
    search.ScanDir = dir;
    search.FileMask = mask;
    search.Messages = false;
    search.OnProcess = [this](tk::TComponent *, const std::string &d, int32_t count, int32_t size) {
      processed.push_back(d);
      // Counters as they stand, and nothing of this folder listed yet.
      int32_t listedSize = 0;
      for (const TFilePack &pack : search.FileList()) {
        listedSize += pack.Size;
        EXPECT_NE(pack.Path, d + "\\") << "listed before its folder was announced";
      }
      EXPECT_EQ(count, int32_t(search.FileList().size()));
      EXPECT_EQ(size, listedSize);
    };
    search.OnChanged = [this](tk::TComponent *sender, int32_t count, int32_t size) {
      EXPECT_EQ(sender, &search);
      changed.push_back({count, size});
    };
  }
  std::set<std::string> Found() const {
    std::set<std::string> found;
    for (const TFilePack &pack : search.FileList())
      found.insert(pack.Path + pack.FileName);
    return found;
  }
  TSearchFolders search{nullptr};
  std::vector<std::string> processed;
  std::vector<std::pair<int32_t, int32_t>> changed;
};

using Names = std::set<std::string>;

} // namespace

TEST(SearchFolders, RecursiveSearchFindsMatchingFilesAndFolders) {
  std::string root = MakeTree();
  Searcher s(root);
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{root + "\\a.iptheme", root + "\\pack.iptheme",
                              root + "\\pack.iptheme\\e.iptheme", root + "\\sub\\c.iptheme",
                              root + "\\sub\\deeper\\d.IPTHEME"}));
  EXPECT_EQ(s.search.CountFiles(), 5);
  EXPECT_EQ(s.search.SizeOfFiles(), 5 + 2 + 7 + 3);
  ASSERT_EQ(s.changed.size(), 1u);
  EXPECT_EQ(s.changed[0], std::make_pair(int32_t(5), int32_t(17)));

  std::vector<std::string> folders = s.processed;
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::string>{root, root + "\\pack.iptheme", root + "\\sub",
                                               root + "\\sub\\deeper"}))
      << "each folder once";
  EXPECT_EQ(s.processed[0], root);

  for (const TFilePack &pack : s.search.FileList()) {
    if (pack.FileName == "pack.iptheme") {
      EXPECT_TRUE(pack.Attr & FILE_ATTRIBUTE_DIRECTORY);
    } else if (pack.FileName == "a.iptheme") {
      EXPECT_EQ(pack.Size, 5);
      EXPECT_FALSE(pack.Attr & FILE_ATTRIBUTE_DIRECTORY);
    }
  }
}

TEST(SearchFolders, WithoutRecursionOnlyTheStartFolderIsListed) {
  std::string root = MakeTree();
  Searcher s(root);
  s.search.DoRecursive = false;
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{root + "\\a.iptheme", root + "\\pack.iptheme"}));
  EXPECT_EQ(s.processed, std::vector<std::string>{root});

  // A start folder given with its backslash lists the same entries under the same paths.
  s.search.ScanDir = root + "\\";
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{root + "\\a.iptheme", root + "\\pack.iptheme"}));
}

TEST(SearchFolders, MaskListsAndNamesWithoutADot) {
  std::string root = MakeTree();
  Searcher s(root, " readme ,, *.TXT,");
  s.search.DoRecursive = false;
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{root + "\\README", root + "\\b.txt"}));

  s.search.FileMask = "*.*";
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{root + "\\a.iptheme", root + "\\b.txt", root + "\\pack.iptheme"}))
      << "the listing returns README, the mask does not take it";

  s.search.FileMask = "";
  s.search.Search();
  EXPECT_TRUE(s.search.FileList().empty()) << "no masks match nothing";
  EXPECT_EQ(s.changed.back(), std::make_pair(int32_t(0), int32_t(0)));
}

TEST(SearchFolders, CountsWithoutListingWhenAsked) {
  std::string root = MakeTree();
  Searcher s(root);
  s.search.Search();
  s.search.UpdateList = false;
  s.search.OnProcess = nullptr;
  s.search.Search();
  EXPECT_TRUE(s.search.FileList().empty()) << "the previous results are gone too";
  EXPECT_EQ(s.search.CountFiles(), 5);
  EXPECT_EQ(s.search.SizeOfFiles(), 17);
}

TEST(SearchFolders, MissingFoldersAndDrivesGiveNoEntries) {
  std::string missing = testenv::TestDir() + "nothere";
  Searcher s(missing, "*");
  s.search.Search();
  EXPECT_EQ(s.processed, std::vector<std::string>{missing});
  EXPECT_TRUE(s.search.FileList().empty());
  ASSERT_EQ(s.changed.size(), 1u);
  EXPECT_EQ(s.changed[0], std::make_pair(int32_t(0), int32_t(0)));

  // A drive is searched by its first two characters only.
  DWORD drives = GetLogicalDrives();
  char letter = 'Z';
  while (letter > 'D' && (drives & (1u << (letter - 'A'))))
    --letter;
  ASSERT_FALSE(drives & (1u << (letter - 'A'))) << "no free drive letter";
  s.processed.clear();
  s.search.ScanOptions = soSpecifiedDisk;
  s.search.ScanDir = std::string{letter, ':', '\\', 'x'};
  s.search.Search();
  EXPECT_EQ(s.processed, (std::vector<std::string>{std::string{letter, ':'}}));
}

TEST(SearchFolders, InvalidMaskStopsBeforeAnyFolderIsRead) {
  std::string root = MakeTree();
  Searcher s(root);
  s.search.Search();
  ASSERT_FALSE(s.search.FileList().empty());
  s.processed.clear();
  s.changed.clear();
  s.search.FileMask = "*.iptheme, [ab";
  try {
    s.search.Search();
    ADD_FAILURE() << "no error";
  } catch (const EMaskException &e) {
    EXPECT_EQ(e.Message(), "'[ab' is an invalid mask at (4)");
  }
  EXPECT_TRUE(s.search.FileList().empty());
  EXPECT_EQ(s.search.CountFiles(), 0);
  EXPECT_TRUE(s.processed.empty());
  EXPECT_TRUE(s.changed.empty());
}

TEST(SearchFolders, RecordsCarryTheLocalDosTimeAndTheLow32BitsOfTheSize) {
  std::string root = testenv::TestDir() + "big";
  testenv::WriteFile(root + "\\huge.bin", "");
  testenv::WriteFile(root + "\\large.bin", "");
  // Sparse files: only their length is written.
  auto setSize = [](const std::string &path, LONGLONG size) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && SetEndOfFile(f));
    // 2021-03-04 05:06:08 local time.
    SYSTEMTIME when = {2021, 3, 4, 4, 5, 6, 8, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&when, &local);
    LocalFileTimeToFileTime(&local, &utc);
    EXPECT_TRUE(SetFileTime(f, nullptr, nullptr, &utc));
    CloseHandle(f);
  };
  setSize(root + "\\huge.bin", 0x100000005LL);
  setSize(root + "\\large.bin", 0x80000010LL);
  Searcher s(root, "*.bin");
  s.search.Search();
  ASSERT_EQ(s.search.FileList().size(), 2u);
  for (const TFilePack &pack : s.search.FileList()) {
    EXPECT_EQ(pack.Size, pack.FileName == "huge.bin" ? 5 : int32_t(0x80000010u));
    EXPECT_EQ(uint32_t(pack.Time) >> 16, (2021u - 1980) << 9 | 3 << 5 | 4) << "date";
    EXPECT_EQ(pack.Time & 0xFFFF, 5 << 11 | 6 << 5 | 8 / 2) << "time";
  }
  EXPECT_EQ(s.search.SizeOfFiles(), int32_t(0x80000015u)) << "totals wrap in 32 bits";
}

namespace {

Searcher *g_probed = nullptr;
int g_handledAfterFolders = -1;

LRESULT CALLBACK ProbeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_APP)
    return DefWindowProcA(window, msg, wParam, lParam);
  g_handledAfterFolders = int(g_probed->processed.size());
  return 0;
}

} // namespace

TEST(SearchFolders, PendingMessagesAreHandledDuringTheSearch) {
  tk::InitApplication();
  std::string root = MakeTree();
  Searcher s(root);
  g_probed = &s;
  WNDCLASSA cls = {};
  cls.lpszClassName = "LumagroveSearchProbe";
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpfnWndProc = ProbeProc;
  RegisterClassA(&cls);
  HWND probe = CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               cls.hInstance, nullptr);
  ASSERT_TRUE(probe);

  PostMessageA(probe, WM_APP, 0, 0);
  s.search.Search();
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, probe, WM_APP, WM_APP, PM_REMOVE)) << "left alone when asked";
  EXPECT_EQ(g_handledAfterFolders, -1);

  s.search.Messages = true;
  s.processed.clear();
  PostMessageA(probe, WM_APP, 0, 0);
  s.search.Search();
  EXPECT_GE(g_handledAfterFolders, 1) << "handled inside the search, after it started";
  DestroyWindow(probe);
}
