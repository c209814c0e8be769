// Raw registry access for tests: writing values of any type and reading back their bytes,
// below the (redirected) predefined roots.
#pragma once

#include <windows.h>

#include <string>

namespace testenv {

void SetRawValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
                 const std::string &bytes);
void SetStringValue(HKEY root, const std::string &key, const std::string &name,
                    const std::string &text, DWORD type = REG_SZ);
// False when the value is missing; type and bytes as stored.
bool GetRawValue(HKEY root, const std::string &key, const std::string &name, DWORD &type,
                 std::string &bytes);
bool KeyExists(HKEY root, const std::string &key);

} // namespace testenv
