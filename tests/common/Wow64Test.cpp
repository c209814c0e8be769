// What 64-bit Windows reads, reached by a program Windows would redirect: machine-wide keys and
// the system folder. Wine never redirects a 64-bit process, so there the registry test holds up
// a mirror: the places hand out the 32-bit view, and every access must land in the prefix's real
// 32-bit copy. The 32-bit build run in a 64-bit prefix is redirected for real and is tested
// with the real view and the real folder.
#include "common/RegUnit.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/Registry.h"
#include "support/TestEnvironment.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/RunTimeApis.h"

using namespace tk;

namespace {

constexpr REGSAM kBothViews = KEY_WOW64_32KEY | KEY_WOW64_64KEY;

// A redirected process; where the test run says this one must be, a process that isn't fails.
bool Redirected() {
  if (IsWow64())
    return true;
  if (std::getenv("LUMAGROVE_EXPECT_WOW64"))
    ADD_FAILURE() << "expected to run as a 32-bit process on 64-bit Windows";
  return false;
}

std::string UniqueName() {
  return "LumagroveWow64Test" + IntToStr(int(GetCurrentProcessId())) + "_" +
         IntToStr(int(GetTickCount()));
}

bool KeyInView(HKEY root, const std::string &key, REGSAM view) {
  HKEY h;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS)
    return false;
  RegCloseKey(h);
  return true;
}

std::string ValueInView(HKEY root, const std::string &key, const std::string &name, REGSAM view) {
  char data[256] = {};
  DWORD size = sizeof(data) - 1;
  HKEY h;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS)
    return "<no key>";
  LONG rc =
      RegQueryValueExA(h, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE *>(data), &size);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS ? std::string(data) : "<no value>";
}

class RegistryViews : public ::testing::Test {
protected:
  void SetUp() override {
    if (sizeof(void *) == 8) {
      testenv::Places().registryView = KEY_WOW64_32KEY;
    } else if (Redirected()) {
      testenv::Places().registryView = RealPlaces().RegistryView();
    } else {
      GTEST_SKIP() << "a 32-bit prefix has a single registry view";
    }
    target = testenv::Places().registryView;
    other = target ^ kBothViews;
    unique = UniqueName();
  }

  void TearDown() override {
    for (auto &[root, key] : made)
      for (REGSAM view : {REGSAM(KEY_WOW64_32KEY), REGSAM(KEY_WOW64_64KEY)}) {
        TRegistry reg(KEY_ALL_ACCESS | view);
        reg.SetRootKey(root);
        reg.DeleteKey(key);
      }
  }

  testenv::RealMachineRoots real;
  REGSAM target = 0, other = 0;
  std::string unique;
  std::vector<std::pair<HKEY, std::string>> made; // removed in both views afterwards
};

} // namespace

TEST_F(RegistryViews, MachineValuesGoWhereTheSystemReadsThem) {
  std::string winlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\" + unique;
  std::string ieMain = "Software\\Microsoft\\Internet Explorer\\Main\\" + unique;
  made = {{HKEY_LOCAL_MACHINE, winlogon}, {HKEY_LOCAL_MACHINE, ieMain}};

  WriteRegValue(HKEY_LOCAL_MACHINE, winlogon, "UIHost", "logon.exe", 1);
  EXPECT_EQ(ValueInView(HKEY_LOCAL_MACHINE, winlogon, "UIHost", target), "logon.exe");
  EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, winlogon, other));
  EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, winlogon, "UIHost"), "logon.exe");
  DeleteRegValue(HKEY_LOCAL_MACHINE, winlogon, "UIHost");
  EXPECT_EQ(ValueInView(HKEY_LOCAL_MACHINE, winlogon, "UIHost", target), "<no value>");

  // Read by 32-bit browsers too: kept in both views.
  WriteRegValue(HKEY_LOCAL_MACHINE, ieMain, "Window Title", "Hello", 1);
  EXPECT_EQ(ValueInView(HKEY_LOCAL_MACHINE, ieMain, "Window Title", target), "Hello");
  EXPECT_EQ(ValueInView(HKEY_LOCAL_MACHINE, ieMain, "Window Title", other), "Hello");
  DeleteRegValue(HKEY_LOCAL_MACHINE, ieMain, "Window Title");
  EXPECT_EQ(ValueInView(HKEY_LOCAL_MACHINE, ieMain, "Window Title", other), "<no value>");
}

TEST_F(RegistryViews, TheRegistryClassOpensCreatesAndDeletesInItsView) {
  std::string clsid = "CLSID\\{" + unique + "}";
  made = {{HKEY_CLASSES_ROOT, clsid}};
  TRegistry reg(KEY_ALL_ACCESS | RegistryView(HKEY_CLASSES_ROOT, clsid));
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  reg.CreateKey(clsid + "\\DefaultIcon\\Deeper");
  ASSERT_TRUE(reg.OpenKey(clsid + "\\DefaultIcon", false));
  reg.WriteString("", "icons.dll,3");
  reg.CloseKey();
  EXPECT_TRUE(reg.KeyExists(clsid + "\\DefaultIcon"));
  ASSERT_TRUE(reg.OpenKeyReadOnly(clsid + "\\DefaultIcon"));
  EXPECT_EQ(reg.ReadString(""), "icons.dll,3");
  reg.CloseKey();

  EXPECT_EQ(ValueInView(HKEY_CLASSES_ROOT, clsid + "\\DefaultIcon", "", target), "icons.dll,3");
  EXPECT_FALSE(KeyInView(HKEY_CLASSES_ROOT, clsid, other));
  if (target == KEY_WOW64_32KEY) { // where the 32-bit copy of the classes is kept
    EXPECT_TRUE(testenv::KeyExists(HKEY_LOCAL_MACHINE,
                                   "Software\\Classes\\Wow6432Node\\" + clsid + "\\DefaultIcon"));
  }

  EXPECT_TRUE(reg.DeleteKey(clsid));
  EXPECT_FALSE(reg.KeyExists(clsid));
  EXPECT_FALSE(KeyInView(HKEY_CLASSES_ROOT, clsid, target));
}

TEST(NativeSystemFolder, ARedirectedProgramWritesIntoTheRealOne) {
  if (!Redirected())
    GTEST_SKIP() << "this process is not redirected";
  Places &real = RealPlaces();
  std::string name = UniqueName() + ".ini";
  ASSERT_NE(real.NativeSystemDir(), real.SystemDir());
  testenv::WriteFile(real.NativeSystemDir() + "\\" + name, "[General]\r\n");
  bool inRedirectedCopy = FileExists(real.SystemDir() + "\\" + name);
  bool inRealFolder;
  {
    TFsRedirectionOff off;
    inRealFolder = FileExists(real.SystemDir() + "\\" + name);
  }
  DeleteFileA((real.NativeSystemDir() + "\\" + name).c_str());
  EXPECT_TRUE(inRealFolder);
  EXPECT_FALSE(inRedirectedCopy);
}
