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

LONG SetValue(HKEY Opened, const std::string &ValueName, const std::string &Data, int Kind) {
  switch (Kind) {
  case 1:
    return RegSetValueExA(Opened, ValueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE *>(Data.c_str()), DWORD(Data.size() + 1));
  case 2: {
    int value = 0;
    if (!TryStrToInt(Data, value))
      return ERROR_INVALID_DATA;
    DWORD dword = DWORD(value);
    return RegSetValueExA(Opened, ValueName.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE *>(&dword), sizeof(dword));
  }
  case 3: {
    int64_t value = 0;
    if (!TryStrToInt64(Data, value))
      return ERROR_INVALID_DATA;
    BYTE bytes[4];
    for (int i = 0; i < 4; ++i)
      bytes[i] = BYTE(uint64_t(value) >> (8 * i));
    return RegSetValueExA(Opened, ValueName.c_str(), 0, REG_BINARY, bytes, sizeof(bytes));
  }
  default:
    return ERROR_SUCCESS; // unknown kinds write nothing, as WriteRegValue
  }
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
    if (status != ERROR_SUCCESS) {
      for (const auto &value : Values)
        if (!deleting || ValueIsThere(RootKey, key, view, value.first)) {
          Refused.AddValue(RootKey, key, value.first, status);
          done = false;
        }
      continue;
    }
    for (const auto &[name, data] : Values) {
      LONG result =
          deleting ? RegDeleteValueA(opened, name.c_str()) : SetValue(opened, name, data, Kind);
      if (result == ERROR_SUCCESS || (deleting && result == ERROR_FILE_NOT_FOUND))
        continue;
      Refused.AddValue(RootKey, key, name, result);
      done = false;
    }
    RegCloseKey(opened);
  }
  return done;
}

} // namespace

void TRefusedWrites::AddValue(HKEY Root, const std::string &Key, const std::string &ValueName,
                              LONG Error) {
  refused_.push_back(
      {RootKeyName(Root) + "\\" + WithoutLeadingBackslash(Key), ValueName, true, DWORD(Error)});
}

void TRefusedWrites::AddFile(const std::string &Path, DWORD Error) {
  refused_.push_back({Path, "", false, Error});
}

void TRefusedWrites::Add(const TRefusedWrites &Other) {
  refused_.insert(refused_.end(), Other.refused_.begin(), Other.refused_.end());
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
