// The cursor packages end to end: the built program, started as a child in a copy of its
// folder, is clicked through its Cursors link, its shipped package and the Apply question as a
// user would, and the user's registry then names the package's cursors.
#include "../../app/ChildProgram.h"

#include <map>
#include <optional>

#include "features/cursor/Func_CT.h"

using namespace childprogram;

namespace {

// The real user's cursor roles (the child's registry is not the sandbox): what they held before
// the test comes back afterwards.
class RealUserCursors {
public:
  RealUserCursors() {
    Lifted lifted;
    for (const char *role : Func_CT::CursorApplyOrder) {
      HKEY key;
      std::optional<std::string> value;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, Func_CT::CursorsKey, 0, KEY_READ, &key) == 0) {
        char data[1024];
        DWORD size = sizeof(data), type = 0;
        if (RegQueryValueExA(key, role, nullptr, &type, reinterpret_cast<BYTE *>(data), &size) == 0)
          value = std::string(data, size);
        RegCloseKey(key);
      }
      saved_[role] = value;
    }
  }
  ~RealUserCursors() {
    Lifted lifted;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, Func_CT::CursorsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != 0)
      return;
    for (const auto &[role, value] : saved_)
      if (value)
        RegSetValueExA(key, role.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(value->data()),
                       DWORD(value->size()));
      else
        RegDeleteValueA(key, role.c_str());
    RegCloseKey(key);
  }
  std::string Read(const char *role) {
    Lifted lifted;
    return ReadRegValue(HKEY_CURRENT_USER, Func_CT::CursorsKey, role);
  }

private:
  struct Lifted {
    Lifted() { RegOverridePredefKey(HKEY_CURRENT_USER, nullptr); }
    ~Lifted() { RegOverridePredefKey(HKEY_CURRENT_USER, testenv::SandboxRoot(HKEY_CURRENT_USER)); }
  };
  std::map<std::string, std::optional<std::string>> saved_;
};

struct DescendantSearch {
  const char *windowClass, *caption;
  HWND found;
};

BOOL CALLBACK MatchDescendant(HWND w, LPARAM data) {
  auto *s = reinterpret_cast<DescendantSearch *>(data);
  char name[64] = {}, text[64] = {};
  GetClassNameA(w, name, sizeof(name));
  GetWindowTextA(w, text, sizeof(text));
  if (IsWindowVisible(w) && lstrcmpiA(name, s->windowClass) == 0 &&
      (!s->caption || lstrcmpA(text, s->caption) == 0)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// The first visible descendant of a window of that class (and caption, when given).
HWND Descendant(HWND parent, const char *windowClass, const char *caption = nullptr) {
  DescendantSearch search{windowClass, caption, nullptr};
  EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Click(HWND window, int x, int y) {
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

bool WaitFor(const std::function<bool()> &done, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (done())
      return true;
    Sleep(50);
  }
  return done();
}

} // namespace

TEST(CursorProgram, TheCursorsLinkAppliesTheShippedPackage) {
  RealUserCursors cursors;
  std::string dir = ProgramCopy();
  Child child;
  ASSERT_TRUE(child.Start(dir + "Lumagrove.exe", ""));
  HWND main = child.WaitForMainWindow(60000);
  ASSERT_NE(main, nullptr);

  // The "Cursors" link lies on the main panel, third in the first row of links.
  POINT inPanel = {440, 95};
  HWND panel = ChildWindowFromPointEx(main, {400, 300}, CWP_SKIPINVISIBLE);
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(panel, main);
  HWND form = nullptr;
  for (int attempt = 0; attempt < 5 && !form; ++attempt) {
    Click(panel, inPanel.x, inPanel.y);
    form = child.WaitForWindow("TkWindow", "Cursors", 10000);
  }
  ASSERT_NE(form, nullptr) << "the Cursors form did not open";
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 10000)) << "the main window stays";

  // The sample package is the only one: the first icon of the list.
  HWND list = Descendant(form, "SysListView32");
  HWND apply = Descendant(form, "Button", "Apply");
  ASSERT_NE(list, nullptr);
  ASSERT_NE(apply, nullptr);
  ASSERT_TRUE(WaitFor(
      [&] {
        if (!IsWindowEnabled(apply))
          Click(list, 38, 22);
        return IsWindowEnabled(apply) != FALSE;
      },
      20000))
      << "choosing the package did not enable Apply";
  PostMessageA(apply, BM_CLICK, 0, 0);
  HWND question = child.WaitForWindow("#32770", "Confirm", 20000);
  ASSERT_NE(question, nullptr);
  PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));

  const std::string package = dir + "CursorThemes\\Grove\\";
  // The program writes the roles one after another: wait for the whole package, not its first.
  auto applied = [&] {
    return tk::SameText(cursors.Read("Arrow"), package + "arrow.cur") &&
           tk::SameText(cursors.Read("Wait"), package + "busy.ani") &&
           tk::SameText(cursors.Read("Hand"), package + "hand.cur");
  };
  EXPECT_TRUE(WaitFor(applied, 20000))
      << cursors.Read("Arrow") << " " << cursors.Read("Wait") << " " << cursors.Read("Hand");
}
