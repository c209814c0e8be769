#include "components/SFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/TestEnvironment.h"
#include "toolkit/forms/Forms.h"

namespace {

using Names = std::set<std::string>;

// root\a.iptheme (5 bytes), b.txt, README, pack.iptheme\e.iptheme (2), sub\c.iptheme (7),
// sub\deeper\d.IPTHEME (3).
struct Searcher {
  explicit Searcher(const std::string &dir, const std::string &mask = "*.iptheme") : root(dir) {
    search.ScanOptions = soSpecifiedDir;
    search.ScanDir = dir;
    search.FileMask = mask;
    search.Messages = false;
    search.OnProcess = [this](tk::TComponent *, const std::string &d, int32_t count, int32_t) {
      processed.push_back(d);
      EXPECT_EQ(count, search.CountFiles()) << "counters as they stand";
      for (const TFilePack &pack : search.FileList())
        EXPECT_NE(pack.Path, d + "\\") << "listed before its folder was announced";
    };
    search.OnChanged = [this](tk::TComponent *, int32_t count, int32_t size) {
      changed.push_back({count, size});
    };
  }
  void MakeTree() {
    testenv::WriteFile(root + "\\a.iptheme", "aaaaa");
    testenv::WriteFile(root + "\\b.txt", "b");
    testenv::WriteFile(root + "\\README", "r");
    testenv::WriteFile(root + "\\pack.iptheme\\e.iptheme", "ee");
    testenv::WriteFile(root + "\\sub\\c.iptheme", "ccccccc");
    testenv::WriteFile(root + "\\sub\\deeper\\d.IPTHEME", "ddd");
  }
  Names Found() const {
    Names found;
    for (const TFilePack &pack : search.FileList())
      found.insert(pack.Path.substr(root.size()) + pack.FileName);
    return found;
  }
  std::string root;
  TSearchFolders search{nullptr};
  std::vector<std::string> processed;
  std::vector<std::pair<int32_t, int32_t>> changed;
};

} // namespace

TEST(SearchFolders, RecursionCountsAndSearchesMatchingFolders) {
  Searcher s(testenv::TestDir() + "tree");
  s.MakeTree();
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{"\\a.iptheme", "\\pack.iptheme", "\\pack.iptheme\\e.iptheme",
                              "\\sub\\c.iptheme", "\\sub\\deeper\\d.IPTHEME"}));
  ASSERT_EQ(s.changed.size(), 1u);
  EXPECT_EQ(s.changed[0], std::make_pair(5, 5 + 2 + 7 + 3));
  std::vector<std::string> folders = s.processed;
  std::sort(folders.begin(), folders.end());
  const std::string &r = s.root;
  EXPECT_EQ(folders,
            (std::vector<std::string>{r, r + "\\pack.iptheme", r + "\\sub", r + "\\sub\\deeper"}));
  for (const TFilePack &pack : s.search.FileList())
    EXPECT_EQ(bool(pack.Attr & FILE_ATTRIBUTE_DIRECTORY), pack.FileName == "pack.iptheme");

  // Counting alone, and the previous list goes.
  s.search.UpdateList = false;
  s.search.Search();
  EXPECT_TRUE(s.search.FileList().empty());
  EXPECT_EQ(s.changed.back(), std::make_pair(5, 17));
}

TEST(SearchFolders, ConfiguredFolderWithTrailingBackslashGivesCleanPaths) {
  // The data folders come from GetConfigFolder, which ends each one in a backslash.
  const std::string themes = testenv::TestDir() + "IconThemes\\";
  Searcher s(themes);
  testenv::WriteFile(themes + "Blue\\Blue.iptheme", "b");
  testenv::WriteFile(themes + "Blue\\Dark\\Dark.iptheme", "d");
  s.search.Search();
  std::set<std::string> paths;
  for (const TFilePack &pack : s.search.FileList())
    paths.insert(pack.Path);
  EXPECT_EQ(paths, (Names{themes + "Blue\\", themes + "Blue\\Dark\\"}));
  EXPECT_EQ(s.processed,
            (std::vector<std::string>{themes, themes + "Blue", themes + "Blue\\Dark"}));
}

TEST(SearchFolders, OneLevelAndMaskLists) {
  Searcher s(testenv::TestDir() + "tree", " readme ,, *.TXT,");
  s.MakeTree();
  s.search.DoRecursive = false;
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{"\\README", "\\b.txt"}));
  EXPECT_EQ(s.processed, std::vector<std::string>{s.root});

  s.search.FileMask = "*.*"; // the listing returns README; the mask does not take it
  s.search.Search();
  EXPECT_EQ(s.Found(), (Names{"\\a.iptheme", "\\b.txt", "\\pack.iptheme"}));

  s.search.FileMask = "";
  s.search.Search();
  EXPECT_EQ(s.changed.back(), std::make_pair(0, 0)) << "no masks match nothing";
}

TEST(SearchFolders, MissingFoldersGiveNoEntriesAndBadMasksNoSearch) {
  Searcher s(testenv::TestDir() + "nothere", "*");
  s.search.Search();
  EXPECT_EQ(s.processed, std::vector<std::string>{s.root});
  EXPECT_EQ(s.changed, (std::vector<std::pair<int32_t, int32_t>>{{0, 0}}));

  s.search.ScanDir = testenv::TestDir();
  s.search.Search();
  ASSERT_FALSE(s.search.FileList().empty());
  s.processed.clear();
  s.search.FileMask = "*.iptheme, [ab";
  try {
    s.search.Search();
    ADD_FAILURE() << "no error";
  } catch (const EMaskException &e) {
    EXPECT_EQ(e.Message(), "'[ab' is an invalid mask at (4)");
  }
  EXPECT_TRUE(s.search.FileList().empty());
  EXPECT_TRUE(s.processed.empty());
  EXPECT_EQ(s.changed.size(), 2u) << "no OnChanged for the failed search";
}

TEST(SearchFolders, RecordsCarryLocalDosTimeAndSizesWrapIn32Bits) {
  Searcher s(testenv::TestDir() + "big", "*.bin");
  testenv::WriteFile(s.root + "\\huge.bin", "");
  HANDLE f = CreateFileA((s.root + "\\huge.bin").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         0, nullptr);
  LARGE_INTEGER size; // sparse: only the length is written
  size.QuadPart = 0x180000010LL;
  SYSTEMTIME when = {2021, 3, 4, 4, 5, 6, 8, 0}; // local time
  FILETIME local, utc;
  SystemTimeToFileTime(&when, &local);
  LocalFileTimeToFileTime(&local, &utc);
  EXPECT_TRUE(SetFilePointerEx(f, size, nullptr, FILE_BEGIN) && SetEndOfFile(f) &&
              SetFileTime(f, nullptr, nullptr, &utc));
  CloseHandle(f);
  s.search.Search();
  ASSERT_EQ(s.search.FileList().size(), 1u);
  EXPECT_EQ(s.search.FileList()[0].Size, int32_t(0x80000010u)) << "the low 32 bits";
  EXPECT_EQ(s.search.SizeOfFiles(), int32_t(0x80000010u));
  EXPECT_EQ(uint32_t(s.search.FileList()[0].Time),
            (41u << 9 | 3 << 5 | 4) << 16 | (5 << 11 | 6 << 5 | 4));
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
  Searcher s(testenv::TestDir() + "tree");
  s.MakeTree();
  g_probed = &s;
  WNDCLASSA cls = {};
  cls.lpszClassName = "LumagroveSearchProbe";
  cls.lpfnWndProc = ProbeProc;
  RegisterClassA(&cls);
  HWND probe = CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               nullptr, nullptr);
  ASSERT_TRUE(probe);

  s.search.Messages = true;
  PostMessageA(probe, WM_APP, 0, 0);
  s.search.Search();
  EXPECT_GE(g_handledAfterFolders, 1) << "handled inside the search, after it started";
  DestroyWindow(probe);
}
