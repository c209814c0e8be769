// Opens the Miscellaneous form of a running Lumagrove with the clicks a user makes (unless it is
// open already), and, when asked, chooses one of its pages (by index). For the screenshots.
//   open_misc [page [form title]]      (the title in the language chosen; English by default)
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "LumagroveWindows.h"

namespace {

template <class Find> HWND Wait(Find find) {
  for (int i = 0; i < 600; ++i) {
    if (HWND w = find())
      return w;
    Sleep(50);
  }
  return nullptr;
}

} // namespace

int main(int argc, char **argv) {
  const char *title = argc > 2 ? argv[2] : "Miscellaneous";
  // Once open, the form stays; the main window hides behind it.
  if (!lumagrove::Form(0, title)) {
    HWND main = Wait([] { return lumagrove::Form(0, "Lumagrove"); });
    if (!main)
      return 1;
    lumagrove::Click(lumagrove::LinkPanel(main), lumagrove::MiscellaneousLink);
  }
  HWND form = Wait([title] { return lumagrove::Form(0, title); });
  if (!form)
    return 2;
  if (argc < 2)
    return 0;
  // The tabs lie along the top of the page control; a click on each place in turn until the
  // page asked for is the one chosen.
  LRESULT page = std::atoi(argv[1]);
  HWND tabs = FindWindowExA(form, nullptr, WC_TABCONTROLA, nullptr);
  for (int x = 4; x < 400 && SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != page; x += 8) {
    lumagrove::Click(tabs, {x, 10});
    Sleep(100);
  }
  return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == page ? 0 : 3;
}
