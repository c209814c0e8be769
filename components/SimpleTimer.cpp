#include "components/SimpleTimer.h"

#include <algorithm>
#include <vector>

#include "toolkit/forms/Controls.h"

namespace tk {

// The one window behind every timer. It knows the living timers, so a tick that was already
// on its way when its timer went is dropped instead of reaching freed memory.
class TSimpleTimerHandler {
public:
  TSimpleTimerHandler() : window_(AllocateHWnd([this](TMessage &m) { WndProc(m); })) {}
  ~TSimpleTimerHandler() { DeallocateHWnd(window_); }
  TSimpleTimerHandler(const TSimpleTimerHandler &) = delete;
  TSimpleTimerHandler &operator=(const TSimpleTimerHandler &) = delete;

  HWND Window() const { return window_; }
  int RefCount() const { return int(timers_.size()); }
  void Add(TSimpleTimer *timer) { timers_.push_back(timer); }
  void Remove(TSimpleTimer *timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
  }
  int ActiveCount = 0;

private:
  void WndProc(TMessage &message) {
    if (message.Msg != WM_TIMER) {
      message.Result = DefWindowProcA(window_, message.Msg, message.WParam, message.LParam);
      return;
    }
    auto found = std::find_if(timers_.begin(), timers_.end(),
                              [&](TSimpleTimer *t) { return t->Id() == message.WParam; });
    if (found == timers_.end())
      return;
    TSimpleTimer *timer = *found;
    if (timer->AutoDisable)
      timer->Stop(true);
    if (timer->onTimer_)
      timer->onTimer_(timer);
  }

  HWND window_;
  std::vector<TSimpleTimer *> timers_;
};

namespace {

TSimpleTimerHandler *g_handler = nullptr;

void AddTimer(TSimpleTimer *timer) {
  if (!g_handler)
    g_handler = new TSimpleTimerHandler;
  g_handler->Add(timer);
}

void RemoveTimer(TSimpleTimer *timer) {
  if (!g_handler)
    return;
  g_handler->Remove(timer);
  if (g_handler->RefCount() == 0) {
    delete g_handler;
    g_handler = nullptr;
  }
}

} // namespace

TSimpleTimer::TSimpleTimer() { AddTimer(this); }

TSimpleTimer::TSimpleTimer(UINT interval, TSimpleTimerEvent onTimer)
    : interval_(interval), onTimer_(std::move(onTimer)) {
  AddTimer(this);
}

TSimpleTimer::~TSimpleTimer() {
  if (enabled_)
    Stop(true);
  RemoveTimer(this);
}

void TSimpleTimer::SetEnabled(bool value) {
  if (value)
    Start();
  else
    Stop(true);
}

void TSimpleTimer::SetInterval(UINT value) {
  if (value == interval_)
    return;
  interval_ = value;
  if (!enabled_)
    return;
  if (value != 0)
    Start();
  else
    Stop(false);
}

void TSimpleTimer::SetOnTimer(TSimpleTimerEvent value) {
  onTimer_ = std::move(value);
  if (!onTimer_ && enabled_)
    Stop(false);
}

bool TSimpleTimer::Start() {
  if (interval_ == 0)
    return false;
  if (enabled_)
    Stop(true);
  if (!g_handler || SetTimer(g_handler->Window(), Id(), interval_, nullptr) == 0)
    return false;
  enabled_ = true;
  ++g_handler->ActiveCount;
  return true;
}

bool TSimpleTimer::Stop(bool disable) {
  if (disable)
    enabled_ = false;
  if (!g_handler || !KillTimer(g_handler->Window(), Id()))
    return false;
  if (g_handler->ActiveCount > 0)
    --g_handler->ActiveCount;
  return true;
}

HWND TSimpleTimer::HandlerWindow() { return g_handler ? g_handler->Window() : nullptr; }

int TSimpleTimer::ActiveCount() { return g_handler ? g_handler->ActiveCount : 0; }

} // namespace tk
