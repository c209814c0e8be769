// Runs this thread's message loop inside a test, for timers and posted messages.
#pragma once

#include <windows.h>

#include <functional>

namespace testenv {

// Dispatches messages until done() holds or timeoutMs have passed; returns done().
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
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
  }
}

inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

} // namespace testenv
