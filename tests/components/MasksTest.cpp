#include "components/Masks.h"

#include <gtest/gtest.h>

namespace {

bool Match(const std::string &mask, const std::string &name) { return TMask(mask).Matches(name); }

std::string ErrorOf(const std::string &mask) {
  try {
    TMask compiled(mask);
  } catch (const EMaskException &e) {
    return e.Message();
  }
  return "no error";
}

std::string Groups(int count) {
  std::string mask;
  for (int i = 0; i < count; ++i)
    mask += "*a";
  return mask;
}

} // namespace

TEST(Masks, WildcardsMatchTheWholeNameIgnoringAsciiCase) {
  EXPECT_TRUE(Match("*.TXT", "a.txt"));
  EXPECT_FALSE(Match("*.TXT", "a.txt.bak"));
  EXPECT_TRUE(Match("a?c", "abc"));
  EXPECT_FALSE(Match("a?c", "ac"));
  EXPECT_TRUE(Match("*?", "")) << "a ? right after * adds nothing";
  EXPECT_FALSE(Match("*.*", "README"));
  EXPECT_TRUE(Match("*ab*ab", "aabxabab"));
  EXPECT_FALSE(Match("*[0-9]?", "abc1"));
  EXPECT_FALSE(Match("\xC9", "\xE9")) << "only ASCII letters fold";
  EXPECT_TRUE(Match(Groups(30), std::string(60, 'a')));
  // Trying every split of these would take minutes.
  EXPECT_FALSE(Match(Groups(30), std::string(29, 'a')));
  EXPECT_FALSE(Match(Groups(30) + "b", std::string(250, 'a')));
}

TEST(Masks, SetsRangesAndNegation) {
  EXPECT_TRUE(Match("[a-c]x", "Bx"));
  EXPECT_FALSE(Match("[!a-c]x", "Bx"));
  EXPECT_TRUE(Match("[!a-c]x", "dx"));
  EXPECT_TRUE(Match("[c-a]x", "cx"));
  EXPECT_FALSE(Match("[c-a]x", "ax")) << "a reversed range adds only its first character";
  EXPECT_TRUE(Match("[abc-]]x", "]x")) << "after '-' any character ends the range";
  EXPECT_FALSE(Match("[*?]", "a")) << "wildcards in a set are plain characters";
  EXPECT_FALSE(Match("[!a]", "")) << "a set needs a character";
}

TEST(Masks, InvalidMasksReportWhereTheErrorWasFound) {
  EXPECT_EQ(ErrorOf("[ab"), "'[ab' is an invalid mask at (4)");
  EXPECT_EQ(ErrorOf("[-a]"), "'[-a]' is an invalid mask at (2)");
  EXPECT_EQ(ErrorOf("x[]"), "'x[]' is an invalid mask at (3)");
  EXPECT_EQ(ErrorOf("[!]"), "'[!]' is an invalid mask at (3)");
  EXPECT_EQ(ErrorOf("[a-c-e]"), "'[a-c-e]' is an invalid mask at (5)");
  EXPECT_EQ(ErrorOf(Groups(30)), "no error");
  std::string tooMany = Groups(31);
  EXPECT_EQ(ErrorOf(tooMany), "'" + tooMany + "' is an invalid mask at (62)");
  tooMany = Groups(30) + "*";
  EXPECT_EQ(ErrorOf(tooMany), "'" + tooMany + "' is an invalid mask at (62)")
      << "a trailing * is the end state's skip";
}

TEST(Masks, FileMaskListsSplitAtCommas) {
  using List = std::vector<std::string>;
  EXPECT_EQ(ParseMasks("*.exe, *.jpg"), (List{"*.exe", "*.jpg"}));
  EXPECT_EQ(ParseMasks(",a,,b,"), (List{"a", "b"}));
  EXPECT_EQ(ParseMasks("  my file.* ,  , x"), (List{"my file.*", "x"}));
  EXPECT_EQ(ParseMasks(" "), List{});
}
