// The cursor package engine against the test's own registry and files: what a package, a
// restore, the shadow and the trail leave in the user's settings, and what the running session
// is told.
#include <gtest/gtest.h>

#include "common/RegUnit.h"
#include "features/cursor/Func_CT.h"
#include "support/Registry.h"
#include "support/TestEnvironment.h"

using namespace Func_CT;

namespace {

std::string Role(const char *role) { return ReadRegValue(HKEY_CURRENT_USER, CursorsKey, role); }

// A package file in a folder of its own below the test folder, with its cursor files (the
// engine only asks whether they exist).
std::string WritePackage(const std::string &name, const std::string &text,
                         std::initializer_list<const char *> files) {
  std::string folder = testenv::TestDir() + "Themes\\" + name + "\\";
  for (const char *file : files)
    testenv::WriteFile(folder + file, "cursor");
  testenv::WriteFile(folder + name + ".ctheme", text);
  return folder + name + ".ctheme";
}

std::string MaskBytes() {
  DWORD type = 0;
  std::string bytes;
  EXPECT_TRUE(
      testenv::GetRawValue(HKEY_CURRENT_USER, DesktopKey, PreferencesMaskValue, type, bytes));
  EXPECT_EQ(type, DWORD(REG_BINARY));
  return bytes;
}

void SetMask(const std::string &bytes) {
  testenv::SetRawValue(HKEY_CURRENT_USER, DesktopKey, PreferencesMaskValue, REG_BINARY, bytes);
}

} // namespace

TEST(CursorEngine, ApplyWritesEveryRoleAndRestoreEmptiesThemAll) {
  std::string text = "[Cursors]\r\n";
  for (const char *role : CursorApplyOrder)
    text += std::string(role) + "=%ThemeDir%cur\\" + role + ".cur\r\n";
  std::string folder = testenv::TestDir() + "Themes\\Every\\";
  for (const char *role : CursorApplyOrder)
    testenv::WriteFile(folder + "cur\\" + role + ".cur", "cursor");
  testenv::WriteFile(folder + "Every.ctheme", text);

  ApplyCursorTheme(folder + "Every.ctheme");
  for (const char *role : CursorApplyOrder)
    EXPECT_EQ(Role(role), folder + "cur\\" + role + ".cur") << role;
  auto calls = testenv::Shell().ParameterCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].action, UINT(SPI_SETCURSORS));
  EXPECT_EQ(calls[0].winIni, UINT(SPIF_SENDCHANGE));

  RestoreDefaultCursors();
  for (const char *role : CursorRestoreOrder) {
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(testenv::GetRawValue(HKEY_CURRENT_USER, CursorsKey, role, type, bytes)) << role;
    EXPECT_EQ(type, DWORD(REG_SZ)) << role;
    EXPECT_EQ(Role(role), "") << role;
  }
  EXPECT_EQ(testenv::Shell().ParameterCalls().size(), 2u);
}

TEST(CursorEngine, OnlyExistingFilesOfThePackageAreApplied) {
  WriteRegValue(HKEY_CURRENT_USER, CursorsKey, "Wait", "C:\\Before\\wait.ani", 1);
  WriteRegValue(HKEY_CURRENT_USER, CursorsKey, "IBeam", "C:\\Before\\beam.cur", 1);
  std::string package = WritePackage("Lone",
                                     "[cursors]\r\narrow=%ThemeDir%a.cur\r\n"
                                     "IBeam=%themedir%b.cur\r\nHelp=%ThemeDir%missing.cur\r\n",
                                     {"a.cur", "b.cur"});
  ApplyCursorTheme(package);
  // Section and key match in any case; "%themedir%" is no folder and names no file.
  EXPECT_EQ(Role("Arrow"), tk::ExtractFilePath(package) + "a.cur");
  EXPECT_EQ(Role("IBeam"), "C:\\Before\\beam.cur");
  EXPECT_EQ(Role("Wait"), "C:\\Before\\wait.ani");
  DWORD type;
  std::string bytes;
  EXPECT_FALSE(testenv::GetRawValue(HKEY_CURRENT_USER, CursorsKey, "Help", type, bytes));
  // Reloaded all the same.
  EXPECT_EQ(testenv::Shell().ParameterCalls().size(), 1u);
}

TEST(CursorEngine, ShadowChangesItsOwnBitAndKeepsTheRest) {
  // No mask at all: the usual preferences, with the shadow as asked.
  EXPECT_FALSE(GetCursorShadow());
  SetCursorShadow(true);
  EXPECT_EQ(MaskBytes(), std::string("\xBE\x3E\x07\x80", 4));
  EXPECT_TRUE(GetCursorShadow());
  SetCursorShadow(false);
  EXPECT_EQ(MaskBytes(), std::string("\xBE\x1E\x07\x80", 4));
  EXPECT_FALSE(GetCursorShadow());

  // Windows XP keeps eight bytes, and bits nobody here knows about.
  SetMask(std::string("\x9E\x1E\x03\x80\x12\x00\x00\x00", 8));
  EXPECT_FALSE(GetCursorShadow());
  SetCursorShadow(true);
  EXPECT_EQ(MaskBytes(), std::string("\x9E\x3E\x03\x80\x12\x00\x00\x00", 8));
  EXPECT_TRUE(GetCursorShadow());
  SetMask(std::string("\x01\xFF\x00\x00", 4));
  EXPECT_TRUE(GetCursorShadow());
  SetCursorShadow(false);
  EXPECT_EQ(MaskBytes(), std::string("\x01\xDF\x00\x00", 4));

  // The session is switched without a write of its own.
  auto calls = testenv::Shell().ParameterCalls();
  ASSERT_EQ(calls.size(), 4u);
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].action, UINT(SPI_SETCURSORSHADOW));
    EXPECT_EQ(calls[i].winIni, 0u);
  }
  EXPECT_EQ(calls[0].pvParam, 1u);
  EXPECT_EQ(calls[1].pvParam, 0u);
  EXPECT_EQ(calls[2].pvParam, 1u);

  // A mask some tool stored as a number stays a number, with every other bit kept.
  testenv::SetRawValue(HKEY_CURRENT_USER, DesktopKey, PreferencesMaskValue, REG_DWORD,
                       std::string("\x9E\x1E\x07\x80", 4));
  EXPECT_FALSE(GetCursorShadow());
  SetCursorShadow(true);
  DWORD type = 0;
  std::string bytes;
  ASSERT_TRUE(
      testenv::GetRawValue(HKEY_CURRENT_USER, DesktopKey, PreferencesMaskValue, type, bytes));
  EXPECT_EQ(type, DWORD(REG_DWORD));
  EXPECT_EQ(bytes, std::string("\x9E\x3E\x07\x80", 4));
  EXPECT_TRUE(GetCursorShadow());
}

TEST(CursorEngine, TrailsAreStoredAsTextAndReadBackAsNumbers) {
  EXPECT_EQ(GetMouseTrails(), 0);
  for (int count : {0, 1, 2, 10}) {
    SetMouseTrails(count);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(testenv::GetRawValue(HKEY_CURRENT_USER, MouseKey, MouseTrailsValue, type, bytes));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, MouseKey, MouseTrailsValue), std::to_string(count));
    EXPECT_EQ(GetMouseTrails(), count);
    auto calls = testenv::Shell().ParameterCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().action, UINT(SPI_SETMOUSETRAILS));
    EXPECT_EQ(calls.back().uiParam, UINT(count));
    EXPECT_EQ(calls.back().pvParam, count ? 1u : 0u);
    EXPECT_EQ(calls.back().winIni, 0u);
  }
  for (const char *stored : {"lots", "", "99999999999999"}) {
    testenv::SetStringValue(HKEY_CURRENT_USER, MouseKey, MouseTrailsValue, stored);
    EXPECT_EQ(GetMouseTrails(), 0) << stored;
  }
}

// Package files as they come from anywhere: none of them may crash the engine or apply
// anything.
TEST(CursorEngine, HostilePackageFilesApplyNothing) {
  std::string many;
  for (int i = 0; i < 5000; ++i)
    many += "%ThemeDir%";
  std::string garbage;
  for (int i = 0; i < 20000; ++i)
    garbage += char((i * 7919) % 256);
  const std::string packages[] = {
      WritePackage("Huge", "[Cursors]\r\nArrow=" + std::string(100000, 'x') + "\r\n", {}),
      WritePackage("Bare", "Arrow=%ThemeDir%a.cur\r\n", {"a.cur"}),
      WritePackage("Garbage", garbage, {}),
      WritePackage("Many", "[Cursors]\r\nArrow=" + many + "\r\nWait=" + many + "a.cur\r\n", {}),
      testenv::TestDir() + "Themes\\Missing\\Missing.ctheme",
  };
  for (const std::string &package : packages) {
    ApplyCursorTheme(package);
    EXPECT_EQ(Role("Arrow"), "") << package;
    EXPECT_EQ(Role("Wait"), "") << package;
  }
}
