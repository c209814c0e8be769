// Registry writes that go on past a refusal and gather what was refused, and the one message
// that reports them.
#include <map>
#include <tuple>

#include "common/RegUnit.h"
#include "common/Translation.h"
#include "toolkit/core/SysUtils.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

namespace {

std::string WithoutLeadingBackslash(const std::string &Key) {
  return !Key.empty() && Key[0] == '\\' ? Key.substr(1) : Key;
}

// The key in one view, opened (created when missing, if Create) for setting values.
LONG OpenForValues(HKEY RootKey, const std::string &Key, REGSAM View, bool Create, HKEY &Opened) {
  if (TRegistry::OpenKeyFault && TRegistry::OpenKeyFault(RootKey, Key))
    return ERROR_ACCESS_DENIED;
  if (Create)
    return RegCreateKeyExA(RootKey, Key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE | View, nullptr, &Opened, nullptr);
  return RegOpenKeyExA(RootKey, Key.c_str(), 0, KEY_SET_VALUE | View, &Opened);
}

// Whether a value a refused key would lose is there at all: deleting what isn't there is done.
bool ValueIsThere(HKEY RootKey, const std::string &Key, REGSAM View, const std::string &Name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(RootKey, Key.c_str(), 0, KEY_QUERY_VALUE | View, &opened) != ERROR_SUCCESS)
    return true; // can't tell: count it as refused
  LONG status = RegQueryValueExA(opened, Name.c_str(), nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(opened);
  return status != ERROR_FILE_NOT_FOUND;
}

// The type and bytes a value of Kind (1 text, 2 number, 3 four-byte binary) stores for Data;
// false when Data is no such value.
bool EncodeValue(const std::string &Data, int Kind, DWORD &Type, std::string &Bytes) {
  if (Kind == 1) {
    Type = REG_SZ;
    Bytes.assign(Data.c_str(), Data.size() + 1);
    return true;
  }
  // A number is stored as its low four bytes, least significant first; a binary value takes
  // them from a number as wide as 64 bits.
  int64_t value = 0;
  int number = 0;
  if (Kind == 2 && TryStrToInt(Data, number)) {
    Type = REG_DWORD;
    value = number;
  } else if (Kind == 3 && TryStrToInt64(Data, value)) {
    Type = REG_BINARY;
  } else {
    return false;
  }
  Bytes.clear();
  for (int i = 0; i < 4; ++i)
    Bytes += char(uint64_t(value) >> (8 * i));
  return true;
}

LONG SetValue(HKEY Opened, const std::string &ValueName, const std::string &Data, int Kind) {
  if (Kind < 1 || Kind > 3)
    return ERROR_SUCCESS; // unknown kinds write nothing, as WriteRegValue
  DWORD type = 0;
  std::string bytes;
  if (!EncodeValue(Data, Kind, type, bytes))
    return ERROR_INVALID_DATA;
  return RegSetValueExA(Opened, ValueName.c_str(), 0, type,
                        reinterpret_cast<const BYTE *>(bytes.data()), DWORD(bytes.size()));
}

// Whether the value already holds what a refused write wanted to put there (same type, same
// bytes): then nothing was lost, and the user is told nothing.
bool ValueHolds(HKEY RootKey, const std::string &Key, REGSAM View, const std::string &Name,
                const std::string &Data, int Kind) {
  DWORD type = 0;
  std::string wanted;
  if (!EncodeValue(Data, Kind, type, wanted))
    return false;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(RootKey, Key.c_str(), 0, KEY_QUERY_VALUE | View, &opened) != ERROR_SUCCESS)
    return false;
  DWORD storedType = 0, size = 0;
  std::string stored;
  LONG status = RegQueryValueExA(opened, Name.c_str(), nullptr, &storedType, nullptr, &size);
  if (status == ERROR_SUCCESS && size == wanted.size()) {
    stored.resize(size);
    status = RegQueryValueExA(opened, Name.c_str(), nullptr, &storedType,
                              reinterpret_cast<BYTE *>(stored.data()), &size);
  }
  RegCloseKey(opened);
  return status == ERROR_SUCCESS && storedType == type && stored == wanted;
}

// Writes (Kind 1-3) or deletes (Kind 0) Values in every view the key is kept in.
bool WriteValues(HKEY RootKey, const std::string &Key,
                 const std::vector<std::pair<std::string, std::string>> &Values, int Kind,
                 TRefusedWrites &Refused) {
  const std::string key = WithoutLeadingBackslash(Key);
  const bool deleting = Kind == 0;
  bool done = true;
  for (REGSAM view : RegistryViews(RootKey, key)) {
    HKEY opened = nullptr;
    LONG status = OpenForValues(RootKey, key, view, !deleting, opened);
    if (deleting && status == ERROR_FILE_NOT_FOUND)
      continue; // no key, no value to delete
    // A refusal costs nothing when the value is already as it should end up.
    auto alreadyThere = [&](const std::string &name, const std::string &data) {
      return deleting ? !ValueIsThere(RootKey, key, view, name)
                      : ValueHolds(RootKey, key, view, name, data, Kind);
    };
    if (status != ERROR_SUCCESS) {
      for (const auto &[name, data] : Values)
        if (!alreadyThere(name, data)) {
          Refused.AddValue(RootKey, key, name, status, view);
          done = false;
        }
      continue;
    }
    for (const auto &[name, data] : Values) {
      LONG result =
          deleting ? RegDeleteValueA(opened, name.c_str()) : SetValue(opened, name, data, Kind);
      if (result == ERROR_SUCCESS || (deleting && result == ERROR_FILE_NOT_FOUND) ||
          alreadyThere(name, data))
        continue;
      Refused.AddValue(RootKey, key, name, result, view);
      done = false;
    }
    RegCloseKey(opened);
  }
  return done;
}

} // namespace

void TRefusedWrites::AddValue(HKEY Root, const std::string &Key, const std::string &ValueName,
                              LONG Error, REGSAM View) {
  Push({RootKeyName(Root) + "\\" + WithoutLeadingBackslash(Key), ValueName, true, DWORD(Error),
        View & (KEY_WOW64_32KEY | KEY_WOW64_64KEY)});
}

void TRefusedWrites::AddFile(const std::string &Path, DWORD Error) {
  Push({Path, "", false, Error, 0});
}

void TRefusedWrites::Add(const TRefusedWrites &Other) {
  for (const Refusal &r : Other.refused_)
    Push(r);
}

void TRefusedWrites::Push(const Refusal &R) {
  // A restore and the apply after it may both fail on one value: it is one setting not made.
  for (const Refusal &r : refused_)
    if (r.isValue == R.isValue && r.view == R.view && SameText(r.place, R.place) &&
        SameText(r.valueName, R.valueName))
      return;
  refused_.push_back(R);
}

std::string TRefusedWrites::Summary() const {
  // Grouped by place and reason, in the order first met: a refused key is one line however
  // many of its values a table wanted to write.
  struct Group {
    const Refusal *first;
    int count;
  };
  std::vector<Group> groups;
  std::map<std::tuple<std::string, bool, DWORD>, size_t> index;
  for (const Refusal &r : refused_) {
    auto key = std::make_tuple(UpperCase(r.place), r.isValue, r.error);
    auto found = index.find(key);
    if (found == index.end()) {
      index.emplace(key, groups.size());
      groups.push_back({&r, 1});
    } else {
      ++groups[found->second].count;
    }
  }
  std::string text;
  for (const Group &g : groups) {
    std::string what;
    if (!g.first->isValue)
      what = g.first->place;
    else if (g.count > 1)
      what = FormatText(LangMessage("Common_12", "%s values under %s").c_str(),
                        {IntToStr(g.count), g.first->place});
    else
      what = FormatText(LangMessage("Common_13", "\"%s\" under %s").c_str(),
                        {g.first->valueName.empty() ? std::string("(Default)") : g.first->valueName,
                         g.first->place});
    if (!text.empty())
      text += "\r\n";
    text += what + ": " + RefusalReason(g.first->error);
  }
  return text;
}

bool TryWriteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                      const std::string &Data, int Kind, TRefusedWrites &Refused) {
  if (Kind < 1 || Kind > 3)
    Kind = 4; // writes nothing, but the key is still made, as WriteRegValue does
  return WriteValues(RootKey, Key, {{ValueName, Data}}, Kind, Refused);
}

bool TryWriteRegStrings(HKEY RootKey, const std::string &Key,
                        const std::vector<std::pair<std::string, std::string>> &Values,
                        TRefusedWrites &Refused) {
  return WriteValues(RootKey, Key, Values, 1, Refused);
}

bool TryDeleteRegValue(HKEY RootKey, const std::string &Key, const std::string &ValueName,
                       TRefusedWrites &Refused) {
  return WriteValues(RootKey, Key, {{ValueName, ""}}, 0, Refused);
}

std::string RootKeyName(HKEY RootKey) {
  static const struct {
    HKEY root;
    const char *name;
  } names[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
               {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
               {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
               {HKEY_USERS, "HKEY_USERS"},
               {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}};
  for (const auto &n : names)
    if (n.root == RootKey)
      return n.name;
  return "HKEY";
}

std::string RefusalReason(DWORD Error) {
  if (Error == ERROR_ACCESS_DENIED)
    return LangMessage("Common_14", "needs an administrator");
  std::string text = SysErrorMessage(Error);
  while (!text.empty() && text.back() == '.')
    text.pop_back();
  return text.empty() ? "error " + IntToStr(Error) : text;
}

bool ReportRefusedWrites(HWND Owner, const TRefusedWrites &Refused) {
  if (Refused.Empty())
    return false;
  GetPrompts().MessageBox(Owner,
                          LangMessage("Common_11",
                                      "Everything else was changed, but these settings were "
                                      "not:") +
                              "\r\n\r\n" + Refused.Summary(),
                          LangMessage("Common_3", "Warning"), MB_OK | MB_ICONWARNING);
  return true;
}
