#include "components/SimpleTimer.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/MessagePump.h"

using namespace tk;
using testenv::PumpFor;
using testenv::PumpUntil;

TEST(SimpleTimer, TicksWithItselfAsSenderUntilDisabled) {
  int ticks = 0;
  TSimpleTimer timer(0, [&](TSimpleTimer *sender) { ticks += sender == &timer ? 1 : 100; });
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Enabled()) << "interval 0 never starts";
  timer.SetInterval(10);
  timer.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 2000));
  timer.SetEnabled(false);
  int stoppedAt = ticks;
  PumpFor(60);
  EXPECT_EQ(ticks, stoppedAt);
  EXPECT_LT(ticks, 100);
}

TEST(SimpleTimer, EnablingARunningTimerRestartsItsPeriod) {
  DWORD fired = 0;
  TSimpleTimer timer(300, [&](TSimpleTimer *) {
    if (!fired)
      fired = GetTickCount();
  });
  timer.SetEnabled(true);
  Sleep(200);
  DWORD restarted = GetTickCount();
  timer.SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return fired != 0; }, 2000));
  // Without the restart the first tick would come about 100 ms after the second enabling.
  EXPECT_GE(fired - restarted, 250u);
  EXPECT_EQ(TSimpleTimer::ActiveCount(), 1);
}

TEST(SimpleTimer, ZeroIntervalOrNoHandlerSilencesButStaysEnabled) {
  int ticks = 0;
  auto count = [&](TSimpleTimer *) { ++ticks; };
  TSimpleTimer timer(10, count);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(TSimpleTimer::ActiveCount(), 0);
  EXPECT_FALSE(timer.Start());
  EXPECT_TRUE(timer.Enabled());
  PumpFor(60);
  EXPECT_EQ(ticks, 0);

  timer.SetInterval(10);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }, 2000));

  timer.SetOnTimer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(TSimpleTimer::ActiveCount(), 0);
  // A handler alone does not wake the timer; the next interval change does.
  timer.SetOnTimer(count);
  int before = ticks;
  PumpFor(60);
  EXPECT_EQ(ticks, before);
  timer.SetInterval(15);
  EXPECT_TRUE(PumpUntil([&] { return ticks > before; }, 2000));
}

TEST(SimpleTimer, AutoDisableFiresOnceAndIsAlreadyOffInTheHandler) {
  int ticks = 0;
  bool enabledInHandler = true;
  TSimpleTimer timer(10, [&](TSimpleTimer *s) {
    ++ticks;
    enabledInHandler = s->Enabled();
  });
  timer.AutoDisable = true;
  timer.SetEnabled(true);
  PumpFor(120);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(enabledInHandler);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(TSimpleTimer::ActiveCount(), 0);
}

TEST(SimpleTimer, SharedWindowLivesAsLongAsTheLastTimer) {
  ASSERT_EQ(TSimpleTimer::HandlerWindow(), nullptr);
  auto first = std::make_unique<TSimpleTimer>();
  HWND window = TSimpleTimer::HandlerWindow();
  ASSERT_TRUE(IsWindow(window));
  auto second = std::make_unique<TSimpleTimer>(10, nullptr);
  EXPECT_EQ(TSimpleTimer::HandlerWindow(), window);
  first.reset();
  EXPECT_TRUE(IsWindow(window));

  // The survivor still ticks through the same window.
  int ticks = 0;
  second->SetOnTimer([&](TSimpleTimer *) { ++ticks; });
  second->SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return ticks > 0; }, 2000));

  second.reset();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(TSimpleTimer::HandlerWindow(), nullptr);
  EXPECT_EQ(TSimpleTimer::ActiveCount(), 0);
}
