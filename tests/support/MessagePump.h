// Runs this thread's message loop inside a test, for timers and posted messages.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>

namespace testenv {

// Dispatches messages until done() holds or timeoutMs have passed; returns done(). It looks at
// least every 20 ms: what a test waits for (another process's window, its end) may come without
// a message to this thread.
inline bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done())
      return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs)
      return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(20, timeoutMs - elapsed),
                              QS_ALLINPUT);
  }
}

inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

} // namespace testenv
