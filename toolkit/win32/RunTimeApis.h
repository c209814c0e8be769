// Calls that only newer Windows has. Each is looked up when it is first needed, never imported:
// one missing import stops the loader, and the program still has to start on the oldest family
// it serves (98, NT 4, 2000), where these calls do not exist and are not needed either.
#pragma once

#include <windows.h>

namespace tk {

// A 32-bit process on 64-bit Windows, whose registry and system-folder accesses Windows
// redirects to the 32-bit copies unless told otherwise.
bool IsWow64();

// Deletes one key without subkeys in the given registry view (KEY_WOW64_64KEY, KEY_WOW64_32KEY
// or 0). Where the view-aware call is missing there is only one view, and the plain one serves.
LONG DeleteRegKeyInView(HKEY parent, const char *subKey, REGSAM view);

// Lets a message from less privileged processes reach this one's windows (an elevated program
// hears nothing from the ordinary shell otherwise). True where the call succeeded or doesn't
// exist because there is no such filter.
bool AllowMessageFromShell(UINT message);

// Layered windows (Windows 2000 on): whether the system has them, and a window's constant
// opacity (0 transparent to 255 opaque) for a window that already has WS_EX_LAYERED. False
// where the call is missing or fails.
bool LayeredWindowsExist();
bool SetLayeredWindowAlpha(HWND window, BYTE alpha);

// Switches the redirection of the system folder off for this thread while it lives, where
// Windows redirects this process; a no-op everywhere else.
class TFsRedirectionOff {
public:
  TFsRedirectionOff();
  ~TFsRedirectionOff();
  TFsRedirectionOff(const TFsRedirectionOff &) = delete;
  TFsRedirectionOff &operator=(const TFsRedirectionOff &) = delete;

private:
  void *old_ = nullptr;
  bool off_ = false;
};

} // namespace tk
