#include "toolkit/core/SysUtils.h"

#include <gtest/gtest.h>

using namespace tk;

TEST(Conversions, IntegersAcceptDecimalAndDollarHex) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt(" -17 "), -17);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToHex(0x409, 4), "0409");
}

TEST(Conversions, BadIntegersRaiseTheLibraryText) {
  for (const char *bad : {"", "abc", "12a", "$", "-", "2147483648", "9223372036854775808"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "no error for '" << bad << "'";
    } catch (const EConvertError &e) {
      EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
    }
  }
  EXPECT_THROW(StrToInt64("99999999999999999999"), EConvertError);
  EXPECT_EQ(StrToIntDef("x", 7), 7);
}

TEST(Paths, SplittingFollowsWindowsSeparators) {
  EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFileDir("C:\\a\\b.txt"), "C:\\a");
  EXPECT_EQ(ExtractFileDir("C:\\b.txt"), "C:\\");
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractFileName("C:b.txt"), "b.txt");
  EXPECT_EQ(ExtractFileExt("C:\\a.d\\b"), "");
  EXPECT_EQ(ExtractFileExt("x.tar.gz"), ".gz");
  EXPECT_EQ(ChangeFileExt("C:\\a.d\\b", ".ini"), "C:\\a.d\\b.ini");
  EXPECT_EQ(ChangeFileExt("pack.zip", ""), "pack");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\a"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\a\\"), "C:\\a");
}

TEST(Text, CaseAndReplacement) {
  EXPECT_EQ(Trim("  a b \r\n"), "a b");
  EXPECT_TRUE(SameText("Config.INI", "config.ini"));
  EXPECT_EQ(StringReplaceAll("%A%-%A%", "%A%", "x"), "x-x");
  EXPECT_EQ(FormatText("Cannot create file \"%s\". %s", {"a.txt", "Access denied"}),
            "Cannot create file \"a.txt\". Access denied");
}
