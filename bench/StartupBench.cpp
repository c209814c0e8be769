// Start-up of Lumagrove's main window against a bare Win32 window: the time from process start
// to the window's first paint, and the process's peak working set.
//
//   StartupBench [runs [Lumagrove.exe BareWindow.exe]]
//
// Without names it takes the build's own: ..\Lumagrove\Lumagrove.exe and BareWindow.exe beside
// itself.
//
// Neither program knows it is measured. The first paint is seen from outside: once the program
// has a visible top-level window of the main window's client size, the screen is read at a point
// of its client area until it shows the main window's blue.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr COLORREF MainBlue = RGB(0x63, 0x75, 0xD6);
constexpr int ClientWidth = 698, ClientHeight = 469;
// Right of the heading, above the links: plain background in the main window.
constexpr POINT Probe{690, 60};
constexpr DWORD TimeoutMs = 30000;

struct Sample {
  double ms = -1;
  double peakKiB = -1;
};

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
  auto *search = reinterpret_cast<Search *>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  RECT r;
  if (pid == search->pid && IsWindowVisible(window) && GetClientRect(window, &r) &&
      r.right == ClientWidth && r.bottom == ClientHeight) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

Sample Measure(const std::string &program) {
  Sample sample;
  std::string line = "\"" + program + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  double start = Now();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    std::fprintf(stderr, "cannot start %s\n", program.c_str());
    return sample;
  }
  HDC screen = GetDC(nullptr);
  Search search{pi.dwProcessId, nullptr};
  while (Now() - start < TimeoutMs) {
    if (!search.found)
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      POINT p = Probe;
      ClientToScreen(search.found, &p);
      if (GetPixel(screen, p.x, p.y) == MainBlue) {
        sample.ms = Now() - start;
        break;
      }
    }
    Sleep(1);
  }
  ReleaseDC(nullptr, screen);
  // Let the program settle, so the peak covers its start-up as a whole.
  Sleep(500);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof(counters)))
    sample.peakKiB = double(counters.PeakWorkingSetSize) / 1024.0;
  // Ended from outside: a real close would write the program folder's desktop.ini.
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return sample;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

struct Result {
  double ms, peakKiB;
};

Result Run(const char *name, const std::string &program, int runs) {
  std::vector<double> times, peaks;
  for (int i = 0; i < runs; ++i) {
    Sample s = Measure(program);
    if (s.ms < 0) {
      std::fprintf(stderr, "%s: no first paint within %lu ms\n", name, TimeoutMs);
      continue;
    }
    times.push_back(s.ms);
    peaks.push_back(s.peakKiB);
  }
  Result r{Median(times), Median(peaks)};
  std::printf("%-10s first paint %8.1f ms   peak working set %9.0f KiB   (median of %zu)\n", name,
              r.ms, r.peakKiB, times.size());
  return r;
}

std::string OwnFolder() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

} // namespace

int main(int argc, char **argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::string program = argc > 3 ? argv[2] : OwnFolder() + "..\\Lumagrove\\Lumagrove.exe";
  std::string bareWindow = argc > 3 ? argv[3] : OwnFolder() + "BareWindow.exe";
  // One unmeasured start of each warms the file cache and the system's own services.
  Measure(bareWindow);
  Measure(program);
  Result bare = Run("bare", bareWindow, runs);
  Result main = Run("Lumagrove", program, runs);
  if (bare.ms > 0 && main.ms > 0)
    std::printf("ratio      first paint %8.2f x     peak working set %9.2f x\n", main.ms / bare.ms,
                main.peakKiB / bare.peakKiB);
  return 0;
}
