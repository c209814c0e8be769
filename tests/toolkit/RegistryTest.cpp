#include "toolkit/win32/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/Registry.h"
#include "support/TestEnvironment.h"

using namespace tk;

TEST(Registry, KeysOpenRelativeToTheOpenKeyOrFromTheRoot) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\A", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\A");
  ASSERT_TRUE(reg.OpenKey("B\\C", true)); // below Software\A
  EXPECT_EQ(reg.CurrentPath(), "Software\\A\\B\\C");
  EXPECT_TRUE(testenv::KeyExists(HKEY_LOCAL_MACHINE, "Software\\A\\B\\C"));
  ASSERT_TRUE(reg.OpenKey("\\Software", false)); // a leading separator starts at the root
  EXPECT_EQ(reg.CurrentPath(), "Software");
  EXPECT_FALSE(reg.OpenKey("\\Software\\Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "Software") << "a failed open keeps the key that was open";
  auto names = reg.GetKeyNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "A"), names.end());
}

TEST(Registry, DeleteKeyTakesTheSubtree) {
  testenv::SetStringValue(HKEY_CURRENT_USER, "Tree\\Sub\\Leaf", "v", "x");
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists("Tree\\Sub"));
  EXPECT_TRUE(reg.DeleteKey("Tree"));
  EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, "Tree"));
  EXPECT_FALSE(reg.DeleteKey("Tree"));
  EXPECT_FALSE(reg.DeleteKey("")) << "the root itself is never deleted";
}

TEST(Registry, ValuesReadAndWriteByType) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Values", true));
  reg.WriteString("s", "text");
  reg.WriteExpandString("e", "%PATH%");
  reg.WriteInteger("i", -7);
  const unsigned char bin[3] = {1, 2, 3};
  reg.WriteBinaryData("b", bin, 3);

  EXPECT_EQ(reg.ReadString("s"), "text");
  EXPECT_EQ(reg.GetDataType("e"), TRegDataType::rdExpandString);
  EXPECT_EQ(reg.ReadString("e"), "%PATH%");
  EXPECT_EQ(reg.ReadInteger("i"), -7);
  EXPECT_EQ(reg.GetDataSize("b"), 3);
  EXPECT_EQ(reg.GetDataSize("none"), -1);
  EXPECT_EQ(reg.ReadString("none"), "");
  EXPECT_TRUE(reg.ValueExists("s"));
  EXPECT_FALSE(reg.ValueExists("none"));

  unsigned char small[2];
  try {
    reg.ReadBinaryData("b", small, 2);
    FAIL() << "a value larger than the buffer was read";
  } catch (const ERegistryException &e) {
    EXPECT_EQ(e.Message(), "Invalid data type for 'b'");
  }
  EXPECT_THROW(reg.ReadString("i"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("s"), ERegistryException);
  EXPECT_TRUE(reg.DeleteValue("s"));
  EXPECT_FALSE(reg.DeleteValue("s"));
}

TEST(Registry, StringsWithoutTerminatorReadWhole) {
  testenv::SetRawValue(HKEY_CURRENT_USER, "Raw", "v", REG_SZ, "abc");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Raw", false));
  EXPECT_EQ(reg.ReadString("v"), "abc");
}

TEST(Registry, RefusedWritesAndCreatesRaise) {
  TRegistry reg;
  EXPECT_THROW(reg.WriteString("v", "x"), ERegistryException) << "no key open";
  try {
    reg.WriteInteger("n", 1);
    FAIL();
  } catch (const ERegistryException &e) {
    EXPECT_EQ(e.Message(), "Failed to set data for 'n'");
  }
  reg.SetRootKey(reinterpret_cast<HKEY>(0x8000007F));
  try {
    reg.CreateKey("Some\\Key");
    FAIL();
  } catch (const ERegistryException &e) {
    EXPECT_EQ(e.Message(), "Failed to create key Some\\Key");
  }
}

TEST(RegistrySandbox, PredefinedRootsAreRedirectedIntoThisProcessTree) {
  testenv::SetStringValue(HKEY_LOCAL_MACHINE, "Software\\Probe", "v", "sandboxed");
  HKEY branch = testenv::SandboxRoot(HKEY_LOCAL_MACHINE);
  ASSERT_NE(branch, nullptr);
  DWORD type;
  std::string bytes;
  ASSERT_TRUE(testenv::GetRawValue(branch, "Software\\Probe", "v", type, bytes));
  EXPECT_EQ(bytes, std::string("sandboxed", 10));
}
