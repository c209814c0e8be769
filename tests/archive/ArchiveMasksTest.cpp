#include "ZipFixtures.h"
#include "archive/Masks.h"

#include <gtest/gtest.h>

using namespace arc;

TEST(ArchiveMasks, WildcardRules) {
  EXPECT_TRUE(MatchesMask("readme", "*."));
  EXPECT_FALSE(MatchesMask("readme.txt", "*."));
  EXPECT_TRUE(MatchesMask("icon.ico", "*.ICO"));
  EXPECT_FALSE(MatchesMask("icon.ico.bak", "*.ICO"));
  EXPECT_TRUE(MatchesMask("aBc", "a?C"));
  EXPECT_FALSE(MatchesMask("ac", "a?c"));
  EXPECT_FALSE(MatchesMask("abbc", "a?c"));
  EXPECT_TRUE(MatchesMask("", "*?")) << "? right after * is dropped";
  EXPECT_TRUE(MatchesMask("", "*"));
  EXPECT_TRUE(MatchesMask("any/path\\name.x", "*"));
  EXPECT_FALSE(MatchesMask("README", "*.*"));
  EXPECT_TRUE(MatchesMask("a.b", "*.*"));
  EXPECT_TRUE(MatchesMask("", ""));
  EXPECT_FALSE(MatchesMask("a", ""));
  EXPECT_TRUE(MatchesMask("[a]", "[A]")) << "brackets are ordinary characters";
  EXPECT_FALSE(MatchesMask("a", "[a]"));
  EXPECT_TRUE(MatchesMask("aabxabab", "*ab*ab"));
  EXPECT_FALSE(MatchesMask("aabxaba", "*ab*ab"));
  EXPECT_TRUE(MatchesMask("xay", "?a*")) << "? before a star still needs its character";
  EXPECT_FALSE(MatchesMask("a", "?a*"));
  EXPECT_FALSE(MatchesMask("\xE9", "\xC9")) << "only ASCII letters fold";

  // Matching stays linear however many stars the mask has.
  std::string mask;
  for (int i = 0; i < 40; ++i)
    mask += "*a";
  EXPECT_TRUE(MatchesMask(std::string(40, 'a'), mask));
  EXPECT_FALSE(MatchesMask(std::string(39, 'a'), mask));
  EXPECT_FALSE(MatchesMask(std::string(5000, 'a'), mask + "b"));
}

TEST(ArchiveHelpers, PercentRoundsHalvesToEven) {
  EXPECT_EQ(Percent(3, 1), 33);
  EXPECT_EQ(Percent(0, 5), 0);
  EXPECT_EQ(Percent(-4, 5), 0);
  EXPECT_EQ(Percent(5, 7), 100);
  EXPECT_EQ(Percent(8, 1), 12) << "12.5 goes to the even 12";
  EXPECT_EQ(Percent(8, 3), 38) << "37.5 goes to the even 38";
  EXPECT_EQ(Percent(3, 2), 67);
  EXPECT_EQ(Percent(INT64_MAX, INT64_MAX / 2), 50);
}

TEST(ArchiveHelpers, DosDateTimes) {
  const double fallback = 29221.0 + 60.0 / 86400.0;
  auto dos = [](int y, int mo, int d, int h, int mi, int s) {
    return static_cast<uint32_t>((y - 1980) << 25 | mo << 21 | d << 16 | h << 11 | mi << 5 | s / 2);
  };
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(0), fallback);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(dos(2014, 8, 16, 24, 0, 0)), fallback);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(dos(2014, 2, 29, 1, 0, 0)), fallback);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(dos(2014, 13, 1, 1, 0, 0)), fallback);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(dos(2014, 1, 10, 0, 60, 0)), fallback);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(dos(2000, 2, 29, 0, 0, 0)), 36585.0);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(dos(2100, 3, 1, 0, 0, 0)), 73110.0);
  EXPECT_NEAR(DosDateTimeToDateTime(dos(2014, 8, 16, 6, 38, 20)),
              41867.0 + (6 * 3600 + 38 * 60 + 20) / 86400.0, 1e-9);
}

TEST(ArchiveHelpers, NamesAndPaths) {
  EXPECT_EQ(AppendDirTail("C:"), "C:\\");
  EXPECT_EQ(AppendDirTail("C:\\"), "C:\\");
  EXPECT_EQ(AppendDirTail(""), "");
  EXPECT_EQ(StoredNameToLocal("a/b/c.txt"), "a\\b\\c.txt");
  EXPECT_EQ(StoredNameToLocal("", true), "");
#ifdef _WIN32
  // A DOS-made name: "ü" is 0x81 in the OEM code page and 0xFC in the ANSI one.
  EXPECT_EQ(StoredNameToLocal("M\x81ller/x", true), "M\xFCller\\x");
  EXPECT_EQ(StoredNameToLocal("M\x81ller/x", false), "M\x81ller\\x");
  // Names flagged as UTF-8 are never read as OEM text; what the ANSI page can't show becomes "_"
  // (one per character), never a look-alike separator.
  EXPECT_EQ(StoredNameToLocal("M\xC3\xBCller/x", true, 0x0800), "M\xFCller\\x");
  EXPECT_EQ(StoredNameToLocal("\xE6\x97\xA5/a\xE2\x88\x95"
                              "b.txt",
                              true, 0x0800),
            "_\\a_b.txt");
  EXPECT_EQ(StoredNameToLocal("M\x81ller/x", true, 0x0008), "M\xFCller\\x");
#else
  EXPECT_EQ(StoredNameToLocal("M\x81ller/x", true), "M\x81ller\\x");
  EXPECT_EQ(StoredNameToLocal("M\xC3\xBCller/x", true, 0x0800), "M\xC3\xBCller\\x");
#endif
  EXPECT_EQ(FirstDotPos("name.tar.gz"), 4u);
  EXPECT_EQ(FirstDotPos("name"), 4u);
  std::string s = "one;;two;;three";
  EXPECT_EQ(SplitHead(s, ";;"), "one");
  EXPECT_EQ(s, "two;;three");
  s = "last";
  EXPECT_EQ(SplitHead(s, ";;"), "last");
  EXPECT_EQ(s, "");
  EXPECT_TRUE(IsUncPath("\\\\server"));
  EXPECT_FALSE(IsUncPath("\\\\"));
  EXPECT_FALSE(IsUncPath("C:\\x"));
  char overlap[] = "abcdef";
  MoveBytes(overlap, overlap + 2, 4);
  EXPECT_STREQ(overlap, "ababcd");
}

TEST(ArchiveHelpers, FoldersAndSearches) {
  ziptest::ScratchDir dir;
  const std::string deep = dir / "a/b/c";
  ASSERT_FALSE(IsDirectory(deep));
  EXPECT_TRUE(ForceDirs(deep));
  EXPECT_TRUE(IsDirectory(dir / "a/b"));
  EXPECT_TRUE(ForceDirs(deep)) << "an existing folder is fine";
  ziptest::WriteAll(dir / "a/file.txt", {1});
  EXPECT_FALSE(IsDirectory(dir / "a/file.txt"));
  EXPECT_FALSE(ForceDirs(dir / "a/file.txt/sub")) << "a file is in the way";
  EXPECT_TRUE(FileExistsByFind(dir / "a/*.txt"));
  EXPECT_FALSE(FileExistsByFind(dir / "a/*.ico"));
  EXPECT_FALSE(FileExistsByFind(""));
  EXPECT_TRUE(IsDirectory(TempPath()));
}
