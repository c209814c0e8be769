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

// Makes a key (created when missing) refuse setting values and creating subkeys to everyone, as
// a machine-wide key refuses a standard user; it can still be read, and the refusal is undone
// when the test ends. The refusal covers that key alone: every key a test wants refused needs
// its own call (to refuse deleting a key, refuse its parent).
void RefuseWrites(HKEY root, const std::string &key);
// Undoes every RefuseWrites of the test (the test environment calls it as each test ends).
void ReleaseRefusedKeys();

} // namespace testenv
