// A light timer that owns no window: every timer of the process is driven by one hidden,
// reference-counted message window that lives as long as the last timer.
#pragma once

#include <windows.h>

#include <functional>

namespace tk {

class TSimpleTimer;
using TSimpleTimerEvent = std::function<void(TSimpleTimer *Sender)>;

class TSimpleTimer {
public:
  TSimpleTimer(); // 1000 ms, no handler
  TSimpleTimer(UINT interval, TSimpleTimerEvent onTimer);
  ~TSimpleTimer();
  TSimpleTimer(const TSimpleTimer &) = delete;
  TSimpleTimer &operator=(const TSimpleTimer &) = delete;

  // The identifier given to the system: the timer's own address, so a tick names its timer.
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT value);
  const TSimpleTimerEvent &OnTimer() const { return onTimer_; }
  void SetOnTimer(TSimpleTimerEvent value);

  // Starts (or restarts) the system timer; false when the interval is 0 or the system refuses.
  bool Start();
  // Kills the system timer. With disable false, Enabled stays true: the timer is then enabled
  // but silent, and the next non-zero interval starts it again.
  bool Stop(bool disable);

  // Stops the timer just before each tick is handled, which makes it fire once.
  bool AutoDisable = false;

  // The shared window, nullptr while no timer exists; and the timers running with the system.
  static HWND HandlerWindow();
  static int ActiveCount();

private:
  friend class TSimpleTimerHandler;
  bool enabled_ = false;
  UINT interval_ = 1000;
  TSimpleTimerEvent onTimer_;
};

} // namespace tk
