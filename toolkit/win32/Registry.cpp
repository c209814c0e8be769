#include "toolkit/win32/Registry.h"

#include "toolkit/win32/RunTimeApis.h"

namespace tk {

std::function<bool(HKEY, const std::string &)> TRegistry::OpenKeyFault;

static TRegDataType DataTypeOf(DWORD type) {
  switch (type) {
  case REG_SZ:
    return TRegDataType::rdString;
  case REG_EXPAND_SZ:
    return TRegDataType::rdExpandString;
  case REG_DWORD:
    return TRegDataType::rdInteger;
  case REG_BINARY:
    return TRegDataType::rdBinary;
  default:
    return TRegDataType::rdUnknown;
  }
}

TRegistry::TRegistry(REGSAM access) : Access(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  if (root != root_) {
    CloseKey();
    root_ = root;
  }
}

// A path with a leading backslash, or any path while no key is open, starts at the root.
HKEY TRegistry::BaseFor(const std::string &key, std::string &relative) const {
  bool fromRoot = !key.empty() && key[0] == '\\';
  relative = fromRoot ? key.substr(1) : key;
  return (fromRoot || !current_) ? root_ : current_;
}

std::string TRegistry::Absolute(const std::string &key) const {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  if (base == root_ || currentPath_.empty())
    return relative;
  return relative.empty() ? currentPath_ : currentPath_ + "\\" + relative;
}

bool TRegistry::OpenKey(const std::string &key, bool canCreate) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  std::string path = Absolute(key);
  if (OpenKeyFault && OpenKeyFault(root_, path)) {
    lastError_ = ERROR_ACCESS_DENIED;
    return false;
  }
  HKEY opened = nullptr;
  LONG rc;
  if (canCreate)
    rc = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access,
                         nullptr, &opened, nullptr);
  else
    rc = RegOpenKeyExA(base, relative.c_str(), 0, Access, &opened);
  lastError_ = rc;
  if (rc != ERROR_SUCCESS)
    return false;
  CloseKey();
  current_ = opened;
  currentPath_ = path;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string &key) {
  REGSAM saved = Access;
  Access = KEY_READ | View();
  bool ok = OpenKey(key, false);
  Access = saved;
  return ok;
}

bool TRegistry::CreateKey(const std::string &key) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  HKEY created = nullptr;
  LONG rc = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS | View(), nullptr, &created, nullptr);
  if (rc != ERROR_SUCCESS)
    throw ERegistryException(FormatText(texts::CreateKeyFailed, {key}));
  RegCloseKey(created);
  return true;
}

void TRegistry::CloseKey() {
  if (current_) {
    RegCloseKey(current_);
    current_ = nullptr;
    currentPath_.clear();
  }
}

bool TRegistry::KeyExists(const std::string &key) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  HKEY probe = nullptr;
  if (RegOpenKeyExA(base, relative.c_str(), 0, KEY_READ | View(), &probe) != ERROR_SUCCESS)
    return false;
  RegCloseKey(probe);
  return true;
}

bool TRegistry::DeleteKey(const std::string &key) {
  std::string relative;
  HKEY base = BaseFor(key, relative);
  if (relative.empty())
    return false; // never the root or the open key itself
  return DeleteTree(base, relative);
}

// Subkeys first, since only an empty key can be deleted on the NT family. Every open names the
// view, and so does the delete: the shell's own delete-tree calls know of one view only.
bool TRegistry::DeleteTree(HKEY parent, const std::string &name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | View(),
                    &key) != ERROR_SUCCESS)
    return false;
  char child[256];
  for (;;) {
    DWORD len = sizeof(child);
    if (RegEnumKeyExA(key, 0, child, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (!DeleteTree(key, std::string(child, len)))
      break; // a subkey that stays would bring this loop back to it forever
  }
  RegCloseKey(key);
  return DeleteRegKeyInView(parent, name.c_str(), View()) == ERROR_SUCCESS;
}

bool TRegistry::HasSubKeys() {
  DWORD subKeys = 0;
  return current_ &&
         RegQueryInfoKeyA(current_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         subKeys > 0;
}

std::vector<std::string> TRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (!current_)
    return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof(name);
    if (RegEnumKeyExA(current_, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, len);
  }
  return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (!current_)
    return names;
  char name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof(name);
    if (RegEnumValueA(current_, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, len);
  }
  return names;
}

bool TRegistry::ValueExists(const std::string &name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

bool TRegistry::DeleteValue(const std::string &name) {
  return current_ && RegDeleteValueA(current_, name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::GetDataInfo(const std::string &name, TRegDataInfo &info) {
  info = TRegDataInfo();
  DWORD type = 0, size = 0;
  if (!current_ ||
      RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  info.RegData = DataTypeOf(type);
  info.DataSize = int(size);
  return true;
}

TRegDataType TRegistry::GetDataType(const std::string &name) {
  TRegDataInfo info;
  GetDataInfo(name, info);
  return info.RegData;
}

int TRegistry::GetDataSize(const std::string &name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.DataSize : -1;
}

DWORD TRegistry::GetData(const std::string &name, void *buffer, DWORD size, TRegDataType &type) {
  DWORD raw = 0;
  if (!current_ || RegQueryValueExA(current_, name.c_str(), nullptr, &raw,
                                    static_cast<BYTE *>(buffer), &size) != ERROR_SUCCESS)
    throw ERegistryException(FormatText(texts::GetDataFailed, {name}));
  type = DataTypeOf(raw);
  return size;
}

std::string TRegistry::ReadString(const std::string &name) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info))
    return std::string();
  if (info.RegData != TRegDataType::rdString && info.RegData != TRegDataType::rdExpandString)
    throw ERegistryException(FormatText(texts::InvalidRegType, {name}));
  std::string data(size_t(info.DataSize) + 1, '\0');
  TRegDataType type;
  DWORD got = GetData(name, data.data(), DWORD(data.size()), type);
  data.resize(got);
  // Stored strings may or may not carry their terminator; the text ends at the first zero.
  size_t zero = data.find('\0');
  if (zero != std::string::npos)
    data.resize(zero);
  return data;
}

int TRegistry::ReadInteger(const std::string &name) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info) || info.RegData != TRegDataType::rdInteger || info.DataSize != 4)
    throw ERegistryException(FormatText(texts::InvalidRegType, {name}));
  DWORD value = 0;
  TRegDataType type;
  GetData(name, &value, sizeof(value), type);
  return int(value);
}

int TRegistry::ReadBinaryData(const std::string &name, void *buffer, int bufSize) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info))
    throw ERegistryException(FormatText(texts::GetDataFailed, {name}));
  bool binaryLike =
      info.RegData == TRegDataType::rdBinary || info.RegData == TRegDataType::rdUnknown;
  if (!binaryLike || info.DataSize > bufSize)
    throw ERegistryException(FormatText(texts::InvalidRegType, {name}));
  TRegDataType type;
  return int(GetData(name, buffer, DWORD(info.DataSize), type));
}

void TRegistry::PutData(const std::string &name, const void *data, DWORD size, DWORD type) {
  if (!current_ || RegSetValueExA(current_, name.c_str(), 0, type, static_cast<const BYTE *>(data),
                                  size) != ERROR_SUCCESS)
    throw ERegistryException(FormatText(texts::SetDataFailed, {name}));
}

void TRegistry::WriteString(const std::string &name, const std::string &value) {
  PutData(name, value.c_str(), DWORD(value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const std::string &name, const std::string &value) {
  PutData(name, value.c_str(), DWORD(value.size() + 1), REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const std::string &name, int value) {
  DWORD data = DWORD(value);
  PutData(name, &data, sizeof(data), REG_DWORD);
}

void TRegistry::WriteBinaryData(const std::string &name, const void *buffer, int bufSize) {
  PutData(name, buffer, DWORD(bufSize), REG_BINARY);
}

} // namespace tk
