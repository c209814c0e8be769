// A registry key wrapper: one object opens one key below a root at a time.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/core/SysUtils.h"

namespace tk {

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = TRegDataType::rdUnknown;
  int DataSize = 0;
};

class TRegistry {
public:
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
  ~TRegistry();
  TRegistry(const TRegistry &) = delete;
  TRegistry &operator=(const TRegistry &) = delete;

  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return current_; }
  const std::string &CurrentPath() const { return currentPath_; }
  // The rights OpenKey asks for. Its view bits (KEY_WOW64_64KEY or KEY_WOW64_32KEY) choose the
  // registry view of every access of this object: open, create, test and delete alike.
  REGSAM Access = KEY_ALL_ACCESS;
  REGSAM View() const { return Access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY); }
  // The system's answer to the last OpenKey (ERROR_FILE_NOT_FOUND when the key isn't there).
  LONG LastError() const { return lastError_; }

  // Key paths are relative to the current key when one is open and the path has no leading "\".
  bool OpenKey(const std::string &key, bool canCreate);
  bool OpenKeyReadOnly(const std::string &key);
  // Creates the key with every missing parent; raises "Failed to create key %s" on failure.
  bool CreateKey(const std::string &key);
  void CloseKey();
  bool KeyExists(const std::string &key);
  bool DeleteKey(const std::string &key); // with its whole subtree
  bool HasSubKeys();
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();

  bool ValueExists(const std::string &name);
  bool DeleteValue(const std::string &name);
  bool GetDataInfo(const std::string &name, TRegDataInfo &info);
  TRegDataType GetDataType(const std::string &name);
  int GetDataSize(const std::string &name); // -1 when the value doesn't exist

  // Strings read both string kinds; a missing value reads as "". Other types raise
  // "Invalid data type for '%s'".
  std::string ReadString(const std::string &name);
  int ReadInteger(const std::string &name);
  // Reads at most bufSize bytes; a value larger than the buffer raises "Invalid data type".
  int ReadBinaryData(const std::string &name, void *buffer, int bufSize);

  // Writes raise "Failed to set data for '%s'" when the system refuses them.
  void WriteString(const std::string &name, const std::string &value);
  void WriteExpandString(const std::string &name, const std::string &value);
  void WriteInteger(const std::string &name, int value);
  void WriteBinaryData(const std::string &name, const void *buffer, int bufSize);

  // Test hook: when set, OpenKey consults it first and fails where it answers true, standing in
  // for keys whose permissions refuse opening (which an emulated registry can't be relied on to
  // enforce).
  static std::function<bool(HKEY root, const std::string &path)> OpenKeyFault;

private:
  bool DeleteTree(HKEY parent, const std::string &name);
  HKEY BaseFor(const std::string &key, std::string &relative) const;
  std::string Absolute(const std::string &key) const;
  void PutData(const std::string &name, const void *data, DWORD size, DWORD type);
  DWORD GetData(const std::string &name, void *buffer, DWORD size, TRegDataType &type);

  HKEY root_ = HKEY_CURRENT_USER;
  HKEY current_ = nullptr;
  std::string currentPath_;
  LONG lastError_ = ERROR_SUCCESS;
};

} // namespace tk
