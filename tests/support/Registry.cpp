#include "support/Registry.h"

#include <gtest/gtest.h>

#include <vector>

namespace testenv {

namespace {

// The refused keys of the running test, kept open with the right to change their security.
std::vector<HKEY> g_refusedKeys;

// A DACL for everyone: all rights, less the denied ones.
bool SetEveryoneAccess(HKEY key, DWORD denied) {
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
    return false;
  alignas(DWORD) BYTE buffer[256];
  auto *acl = reinterpret_cast<PACL>(buffer);
  bool ok = InitializeAcl(acl, sizeof(buffer), ACL_REVISION) &&
            (!denied || AddAccessDeniedAce(acl, ACL_REVISION, denied, everyone)) &&
            AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone);
  SECURITY_DESCRIPTOR sd;
  ok = ok && InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
       SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) &&
       RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
  FreeSid(everyone);
  return ok;
}

} // namespace

void RefuseWrites(HKEY root, const std::string &key) {
  HKEY h = nullptr;
  ASSERT_EQ(
      RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_READ | WRITE_DAC, nullptr, &h, nullptr),
      ERROR_SUCCESS)
      << key;
  // Not KEY_WRITE: that takes reading away too.
  ASSERT_TRUE(SetEveryoneAccess(h, KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) << key;
  g_refusedKeys.push_back(h);
}

void ReleaseRefusedKeys() {
  for (HKEY h : g_refusedKeys) {
    SetEveryoneAccess(h, 0);
    RegCloseKey(h);
  }
  g_refusedKeys.clear();
}

void SetRawValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
                 const std::string &bytes) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                           DWORD(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(h);
}

void SetStringValue(HKEY root, const std::string &key, const std::string &name,
                    const std::string &text, DWORD type) {
  SetRawValue(root, key, name, type, std::string(text.c_str(), text.size() + 1));
}

bool GetRawValue(HKEY root, const std::string &key, const std::string &name, DWORD &type,
                 std::string &bytes) {
  HKEY h;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  DWORD size = 0;
  bool ok = RegQueryValueExA(h, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
  if (ok) {
    bytes.assign(size, '\0');
    ok = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(bytes.data()),
                          &size) == ERROR_SUCCESS;
    bytes.resize(size);
  }
  RegCloseKey(h);
  return ok;
}

bool KeyExists(HKEY root, const std::string &key) {
  HKEY h;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  RegCloseKey(h);
  return true;
}

} // namespace testenv
