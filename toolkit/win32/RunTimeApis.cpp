#include "toolkit/win32/RunTimeApis.h"

namespace tk {

namespace {

// The entry of a system DLL the process has already loaded (kernel32, advapi32 and user32 are
// imported by every program of ours), or nullptr where this Windows lacks it.
template <class Proc> Proc Entry(const char *module, const char *name) {
  HMODULE library = GetModuleHandleA(module);
  if (!library)
    return nullptr;
  return reinterpret_cast<Proc>(reinterpret_cast<void *>(GetProcAddress(library, name)));
}

using IsWow64ProcessProc = BOOL(WINAPI *)(HANDLE, PBOOL);
using RegDeleteKeyExAProc = LONG(WINAPI *)(HKEY, LPCSTR, REGSAM, DWORD);
using ChangeWindowMessageFilterProc = BOOL(WINAPI *)(UINT, DWORD);
using Wow64DisableProc = BOOL(WINAPI *)(PVOID *);
using Wow64RevertProc = BOOL(WINAPI *)(PVOID);
using SetLayeredWindowAttributesProc = BOOL(WINAPI *)(HWND, COLORREF, BYTE, DWORD);

constexpr DWORD kMsgFilterAdd = 1; // MSGFLT_ADD

} // namespace

bool IsWow64() {
  static const bool wow64 = [] {
    auto isWow64Process = Entry<IsWow64ProcessProc>("kernel32.dll", "IsWow64Process");
    BOOL result = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &result) && result;
  }();
  return wow64;
}

LONG DeleteRegKeyInView(HKEY parent, const char *subKey, REGSAM view) {
  static const auto deleteKeyEx = Entry<RegDeleteKeyExAProc>("advapi32.dll", "RegDeleteKeyExA");
  if (deleteKeyEx)
    return deleteKeyEx(parent, subKey, view, 0);
  return RegDeleteKeyA(parent, subKey);
}

bool AllowMessageFromShell(UINT message) {
  static const auto changeFilter =
      Entry<ChangeWindowMessageFilterProc>("user32.dll", "ChangeWindowMessageFilter");
  return !changeFilter || changeFilter(message, kMsgFilterAdd);
}

namespace {

SetLayeredWindowAttributesProc LayeredAttributesEntry() {
  static const auto entry =
      Entry<SetLayeredWindowAttributesProc>("user32.dll", "SetLayeredWindowAttributes");
  return entry;
}

} // namespace

bool LayeredWindowsExist() { return LayeredAttributesEntry() != nullptr; }

bool SetLayeredWindowAlpha(HWND window, BYTE alpha) {
  auto setAttributes = LayeredAttributesEntry();
  return setAttributes && setAttributes(window, 0, alpha, LWA_ALPHA);
}

TFsRedirectionOff::TFsRedirectionOff() {
  if (!IsWow64())
    return;
  auto disable = Entry<Wow64DisableProc>("kernel32.dll", "Wow64DisableWow64FsRedirection");
  off_ = disable && disable(&old_);
}

TFsRedirectionOff::~TFsRedirectionOff() {
  if (!off_)
    return;
  if (auto revert = Entry<Wow64RevertProc>("kernel32.dll", "Wow64RevertWow64FsRedirection"))
    revert(old_);
}

} // namespace tk
