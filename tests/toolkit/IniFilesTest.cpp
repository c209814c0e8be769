#include "toolkit/win32/IniFiles.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

using namespace tk;

namespace {

std::vector<std::string> Lines(const TStringList &list) { return list.Items(); }

} // namespace

TEST(IniFile, GarbageLinesLeaveTheValidKeysReadable) {
  std::string name = testenv::TestDir() + "damaged.ini";
  testenv::WriteFile(name,
                     "[Main]\r\nalpha=1\r\nno equals sign here\r\n=orphan\r\n\x01\x02\xFF\xFE\r\n" +
                         std::string(5000, '#') +
                         "\r\n  beta  =  two words  \r\n"
                         "[Other]\r\ndelta=$10\r\nlast=end");
  TIniFile ini(name);
  EXPECT_EQ(ini.FileName(), name);
  EXPECT_EQ(ini.ReadString("Main", "alpha", "?"), "1");
  EXPECT_EQ(ini.ReadString("main", "BETA", "?"), "two words");
  EXPECT_EQ(ini.ReadInteger("Other", "delta", 0), 16);
  EXPECT_EQ(ini.ReadString("Other", "last", "?"), "end") << "no line break after the last line";
  EXPECT_EQ(ini.ReadString("Main", "gamma", "fallback"), "fallback");
  TStringList keys;
  ini.ReadSection("Main", keys);
  EXPECT_GE(keys.IndexOf("alpha"), 0);
  EXPECT_GE(keys.IndexOf("beta"), 0) << keys.GetCommaText();
  EXPECT_EQ(keys.IndexOf(""), -1) << "\"=orphan\" lists no empty name";
}

TEST(IniFile, LongValuesComeBackWholeUnlessTheFileHasALimit) {
  std::string name = testenv::TestDir() + "long.ini";
  TIniFile ini(name);
  std::string longest(2047, 'x');
  longest.front() = 'A';
  longest.back() = 'Z';
  ini.WriteString("S", "longest", longest);
  EXPECT_EQ(ini.ReadString("S", "longest", ""), longest);
  // Well past the first buffers (the system's own lines end short of 32767 characters).
  std::string longer(20000, 'y');
  longer.back() = 'Z';
  ini.WriteString("S", "longer", longer);
  EXPECT_TRUE(ini.ReadString("S", "longer", "") == longer) << "read whole";
  std::string fallback(3000, 'f');
  EXPECT_TRUE(ini.ReadString("S", "missing", fallback) == fallback) << "a long fallback too";

  TIniFile limited(name, 2047);
  EXPECT_EQ(limited.ReadString("S", "longest", ""), longest);
  EXPECT_TRUE(limited.ReadString("S", "longer", "") == std::string(2047, 'y'));
}

TEST(IniFile, NumbersAndSwitches) {
  std::string name = testenv::TestDir() + "numbers.ini";
  testenv::WriteFile(name, "[N]\r\nhex=$10\r\nc=0x1F\r\nneg=-5\r\nbad=12abc\r\nblank=\r\n"
                           "seven=7\r\nzero=0\r\nword=yes\r\n");
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadInteger("N", "hex", -1), 16);
  EXPECT_EQ(ini.ReadInteger("N", "c", -1), 31);
  EXPECT_EQ(ini.ReadInteger("N", "neg", -1), -5);
  EXPECT_EQ(ini.ReadInteger("N", "bad", -1), -1);
  EXPECT_EQ(ini.ReadInteger("N", "blank", -1), -1);
  EXPECT_EQ(ini.ReadInteger("N", "missing", 99), 99);
  EXPECT_TRUE(ini.ReadBool("N", "seven", false));
  EXPECT_FALSE(ini.ReadBool("N", "zero", true));
  EXPECT_TRUE(ini.ReadBool("N", "word", true));
  EXPECT_FALSE(ini.ReadBool("N", "word", false));

  ini.WriteInteger("W", "count", -42);
  ini.WriteBool("W", "on", true);
  ini.WriteBool("W", "off", false);
  ini.UpdateFile();
  std::string bytes = testenv::ReadFile(name);
  EXPECT_NE(bytes.find("[W]\r\ncount=-42\r\non=1\r\noff=0\r\n"), std::string::npos) << bytes;
}

TEST(IniFile, SectionsKeysAndErasing) {
  std::string name = testenv::TestDir() + "sections.ini";
  testenv::WriteFile(name, "[First]\r\nb=2\r\na=1\r\nc=x=y\r\n[Empty]\r\n[Second]\r\nk=v\r\n");
  TIniFile ini(name);
  TStringList list;
  list.Add("stale");
  ini.ReadSection("First", list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"b", "a", "c"}));
  ini.ReadSectionValues("First", list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"b=2", "a=1", "c=x=y"}));
  ini.ReadSections(list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"First", "Empty", "Second"}));
  EXPECT_TRUE(ini.SectionExists("second"));
  EXPECT_FALSE(ini.SectionExists("Empty")) << "a section without keys counts as missing";
  EXPECT_TRUE(ini.ValueExists("First", "C"));
  EXPECT_FALSE(ini.ValueExists("First", "d"));

  ini.DeleteKey("First", "a");
  ini.DeleteKey("First", "never there");
  ini.EraseSection("Second");
  ini.UpdateFile();
  ini.ReadSections(list);
  EXPECT_EQ(list.IndexOf("Second"), -1);
  ini.ReadSection("First", list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"b", "c"}));
  std::string bytes = testenv::ReadFile(name);
  EXPECT_EQ(bytes.find("Second"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("a=1"), std::string::npos) << bytes;
}

TEST(IniFile, SectionsLargerThanTheFirstBufferAreListedWhole) {
  std::string name = testenv::TestDir() + "big.ini";
  std::string text = "[Big]\r\n";
  for (int i = 0; i < 2500; ++i)
    text += "key_" + std::to_string(10000 + i) + "=1\r\n"; // 2500 names of 9 bytes and a zero
  testenv::WriteFile(name, text);
  TIniFile ini(name);
  TStringList keys;
  ini.ReadSection("Big", keys);
  ASSERT_EQ(keys.Count(), 2500);
  EXPECT_EQ(keys.Strings(2499), "key_12499");
}

TEST(IniFile, RefusedWritesRaiseWithTheFileName) {
  std::string name = testenv::TestDir() + "no such folder\\x.ini";
  TIniFile ini(name);
  try {
    ini.WriteString("S", "k", "v");
    ADD_FAILURE() << "no error";
  } catch (const EIniFileException &e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + name);
  }
  EXPECT_THROW(ini.WriteInteger("S", "n", 1), EIniFileException);
  EXPECT_THROW(ini.EraseSection("S"), EIniFileException);
  ini.DeleteKey("S", "k"); // quiet by design
  ini.UpdateFile();
  EXPECT_EQ(ini.ReadString("S", "k", "none"), "none");
}
