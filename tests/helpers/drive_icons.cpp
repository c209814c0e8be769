// Walks a running Lumagrove down the icon road, one step per run, the way a user's clicks reach
// its windows (posted mouse and button messages): the road test and the screenshot script use it.
//   drive_icons PID icons      click "Icons" in the main window; the single icons form opens
//   drive_icons PID page N     show page N of the single icons form
//   drive_icons PID packages   double-click its My Computer picture; the packages form opens
//   drive_icons PID select     click the first package: its previews show
//   drive_icons PID apply      click the first package, Apply, answer Yes and then OK
//   drive_icons PID menu       right-click the system list: its pop-up menu opens
//   drive_icons PID escape     close an open pop-up menu
// PID 0 takes the windows of any process. Exit code 0 when the step's window appeared, 1 when it
// did not, 2 for a wrong command line.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

DWORD g_pid = 0;

bool OfProcess(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return g_pid == 0 || pid == g_pid;
}

// A visible top-level window of the program with this class and caption.
HWND TopWindow(const char *className, const char *caption) {
  for (HWND w = FindWindowExA(nullptr, nullptr, className, caption); w;
       w = FindWindowExA(nullptr, w, className, caption))
    if (OfProcess(w) && IsWindowVisible(w))
      return w;
  return nullptr;
}

HWND WaitFor(const std::function<HWND()> &find, DWORD ms = 30000) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (HWND w = find())
      return w;
    Sleep(50);
  }
  return nullptr;
}

struct Search {
  const std::function<bool(HWND)> *test;
  HWND found;
};

BOOL CALLBACK SearchChild(HWND w, LPARAM data) {
  auto *s = reinterpret_cast<Search *>(data);
  if (IsWindowVisible(w) && (*s->test)(w)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// The first visible descendant that passes the test.
HWND Descendant(HWND parent, const std::function<bool(HWND)> &test) {
  Search search = {&test, nullptr};
  EnumChildWindows(parent, SearchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool ClassIs(HWND w, const char *name) {
  char buffer[64] = {};
  GetClassNameA(w, buffer, sizeof(buffer));
  return _stricmp(buffer, name) == 0;
}

bool SizeIs(HWND w, int width, int height) {
  RECT r;
  GetWindowRect(w, &r);
  return r.right - r.left == width && r.bottom - r.top == height;
}

void Click(HWND w, int x, int y) {
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A form of the program by the number of its pages (its caption depends on the language).
HWND FormWithPages(int pages) {
  for (HWND w = FindWindowExA(nullptr, nullptr, "TkWindow", nullptr); w;
       w = FindWindowExA(nullptr, w, "TkWindow", nullptr)) {
    if (!OfProcess(w) || !IsWindowVisible(w))
      continue;
    HWND tabs = Descendant(w, [](HWND c) { return ClassIs(c, WC_TABCONTROLA); });
    if (tabs && SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0) == pages)
      return w;
  }
  return nullptr;
}

HWND SingleIcons() { return FormWithPages(4); }
HWND Packages() { return FormWithPages(2); }

int Icons() {
  HWND main = WaitFor([] { return TopWindow("TkWindow", nullptr); });
  if (!main)
    return 1;
  // The feature links lie on the largest panel; "Icons" has its picture at (24, 72).
  HWND panel = nullptr;
  long largest = 0;
  for (HWND w = GetWindow(main, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    RECT r;
    GetClientRect(w, &r);
    if (IsWindowVisible(w) && long(r.right) * r.bottom > largest) {
      largest = long(r.right) * r.bottom;
      panel = w;
    }
  }
  if (!panel)
    return 1;
  Click(panel, 48, 96);
  return WaitFor(SingleIcons) ? 0 : 1;
}

int Page(int index) {
  HWND form = WaitFor(SingleIcons);
  HWND tabs = form ? Descendant(form, [](HWND w) { return ClassIs(w, WC_TABCONTROLA); }) : nullptr;
  if (!tabs)
    return 1;
  SendMessageA(tabs, TCM_SETCURFOCUS, WPARAM(index), 0);
  return 0;
}

int OpenPackages() {
  if (Page(3) != 0)
    return 1;
  // The preview panel of the icon size, with the My Computer picture at (85, 12), 48 x 48.
  HWND panel = Descendant(SingleIcons(), [](HWND w) { return SizeIs(w, 218, 96); });
  if (!panel)
    return 1;
  PostMessageA(panel, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(109, 36));
  PostMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(109, 36));
  return WaitFor(Packages) ? 0 : 1;
}

// The first package clicked; the Apply button it enables (the one visible button that was
// disabled before), or nullptr.
HWND Select() {
  HWND form = WaitFor(Packages);
  HWND list = form ? Descendant(form, [](HWND w) { return ClassIs(w, WC_LISTVIEWA); }) : nullptr;
  HWND apply =
      form ? Descendant(form, [](HWND w) { return ClassIs(w, "Button") && !IsWindowEnabled(w); })
           : nullptr;
  if (!list || !apply)
    return nullptr;
  // The first item's picture: icon views put it at the top left of the list.
  Click(list, 37, 18);
  return WaitFor([apply] { return IsWindowEnabled(apply) ? apply : nullptr; }, 10000);
}

int Apply() {
  HWND apply = Select();
  if (!apply)
    return 1;
  PostMessageA(apply, BM_CLICK, 0, 0);
  // The question, then the message that the icons changed.
  HWND question = WaitFor([] { return TopWindow("#32770", nullptr); });
  if (!question)
    return 1;
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  HWND done = WaitFor(
      [question] {
        HWND w = TopWindow("#32770", nullptr);
        return w != question ? w : nullptr;
      },
      60000);
  if (!done)
    return 1;
  PostMessageA(done, WM_COMMAND, IDOK, 0);
  return 0;
}

int Menu() {
  HWND form = WaitFor(SingleIcons);
  HWND list = form ? Descendant(form, [](HWND w) { return ClassIs(w, WC_LISTVIEWA); }) : nullptr;
  if (!list)
    return 1;
  PostMessageA(list, WM_CONTEXTMENU, WPARAM(list), MAKELPARAM(-1, -1));
  return WaitFor([] { return FindWindowA("#32768", nullptr); }, 10000) ? 0 : 1;
}

int Escape() {
  HWND menu = FindWindowA("#32768", nullptr);
  if (!menu)
    return 1;
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3)
    return 2;
  g_pid = DWORD(strtoul(argv[1], nullptr, 10));
  std::string step = argv[2];
  if (step == "icons")
    return Icons();
  if (step == "page" && argc > 3)
    return Page(atoi(argv[3]));
  if (step == "packages")
    return OpenPackages();
  if (step == "select")
    return Select() ? 0 : 1;
  if (step == "apply")
    return Apply();
  if (step == "menu")
    return Menu();
  if (step == "escape")
    return Escape();
  return 2;
}
