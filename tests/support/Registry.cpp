#include "support/Registry.h"

#include <gtest/gtest.h>

namespace testenv {

void SetRawValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
                 const std::string &bytes) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h, name.c_str(), 0, type,
                           reinterpret_cast<const BYTE *>(bytes.data()), DWORD(bytes.size())),
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
