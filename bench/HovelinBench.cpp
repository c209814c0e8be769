// The tray helper's costs: one tick of its Start-button watchdog while the button shows the
// caption (CPU time per tick, averaged over 1,000 ticks) beside one bare GetWindowTextA of the
// button, on a taskbar of the benchmark's own; and the helper's idle working set beside a bare
// Win32 program's.
//
//   HovelinBench [Hovelin.exe BareWindow.exe]
//
// Without names it takes the build's own: ..\Lumagrove\Hovelin.exe and BareWindow.exe beside
// itself.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

#include "BenchUtil.h"
#include "features/misc/Func_misc.h"
#include "support/FakeShell.h"
#include "toolkit/forms/Forms.h"

namespace {

constexpr int Ticks = 1000;
constexpr DWORD IdleWaitMs = 3000;

// This thread's CPU time, user and kernel, in microseconds.
double CpuNow() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto us = [](FILETIME t) {
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10.0;
  };
  return us(kernel) + us(user);
}

struct Cost {
  double cpu = 0, wall = 0; // microseconds per run
};

template <class Work> Cost Measure(Work work) {
  double cpu = CpuNow(), wall = bench::Now() * 1e6;
  for (int i = 0; i < Ticks; ++i)
    work();
  return {(CpuNow() - cpu) / Ticks, (bench::Now() * 1e6 - wall) / Ticks};
}

void WatchdogTick() {
  testenv::FakeTaskbar bar;
  tk::TForm form(nullptr);
  form.Initialize();
  form.Font().SetName("Arial");
  form.Font().SetHeight(-17);
  form.Font().SetStyle(tk::fsBold | tk::fsItalic);

  StartButtonLayout layout;
  if (!WatchStartButton("Grove", layout, form) || !StartButtonKeeps(bar.button, "Grove", layout)) {
    std::printf("watchdog: the caption did not take on the benchmark's taskbar\n");
    return;
  }
  int applied = 0;
  Cost tick = Measure([&] { applied += WatchStartButton("Grove", layout, form); });
  Cost read = Measure([&] {
    StartButtonTextBuffer text;
    GetWindowTextA(bar.button, text.data(), int(text.size()));
  });
  std::printf("watchdog tick, caption unchanged (%d ticks, %d re-applied):\n", Ticks, applied);
  std::printf("  tick                 %8.2f us CPU  %8.2f us wall\n", tick.cpu, tick.wall);
  std::printf("  bare GetWindowTextA  %8.2f us CPU  %8.2f us wall\n", read.cpu, read.wall);
  if (read.wall > 0)
    std::printf("  ratio (wall)         %8.1f\n", tick.wall / read.wall);
}

// The working set of a program left alone for a while after its start, in KiB; -1 on failure.
double IdleWorkingSet(const std::string &program) {
  std::string line = "\"" + program + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    std::fprintf(stderr, "cannot start %s\n", program.c_str());
    return -1;
  }
  WaitForInputIdle(pi.hProcess, IdleWaitMs);
  Sleep(IdleWaitMs);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  double kib = GetProcessMemoryInfo(pi.hProcess, &counters, sizeof(counters))
                   ? double(counters.WorkingSetSize) / 1024.0
                   : -1;
  // The helper ends as Lumagrove ends it; the bare program has nothing to lose.
  for (HWND helper : FindHelperWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(helper, &pid);
    if (pid == pi.dwProcessId)
      PostMessageA(helper, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(pi.hProcess, 0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return kib;
}

std::string Beside(const std::string &name) {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self = path;
  return self.substr(0, self.find_last_of("\\/") + 1) + name;
}

} // namespace

int main(int argc, char **argv) {
  tk::InitApplication();
  WatchdogTick();

  std::string helper = argc > 2 ? argv[1] : Beside("..\\Lumagrove\\Hovelin.exe");
  std::string bare = argc > 2 ? argv[2] : Beside("BareWindow.exe");
  double helperKiB = IdleWorkingSet(helper), bareKiB = IdleWorkingSet(bare);
  std::printf("idle working set after %lu ms:\n", IdleWaitMs);
  std::printf("  Hovelin      %8.0f KiB\n", helperKiB);
  std::printf("  bare Win32   %8.0f KiB\n", bareKiB);
  if (helperKiB > 0 && bareKiB > 0)
    std::printf("  ratio        %8.2f\n", helperKiB / bareKiB);
  tk::DoneApplication();
  return 0;
}
