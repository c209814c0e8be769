// Forms built by a test: the building code is a lambda, run inside the form's Build.
#pragma once

#include <functional>
#include <memory>

#include "toolkit/forms/Forms.h"
#include "toolkit/forms/ShellCtrls.h"

namespace formtest {

class TestForm : public tk::TForm {
public:
  using tk::TForm::TForm;
  std::function<void(TestForm *)> build;

protected:
  void Build() override {
    if (build)
      build(this);
  }
};

// A form owned by the application and freed at the end of the test.
inline std::unique_ptr<TestForm> MakeForm(std::function<void(TestForm *)> build = nullptr) {
  tk::InitApplication();
  auto form = std::make_unique<TestForm>(tk::Application);
  form->build = std::move(build);
  form->SetBounds(40, 40, 400, 300);
  form->Initialize();
  return form;
}

// Handles what is queued, then whatever that queued in turn.
inline void Pump() {
  for (int i = 0; i < 3; ++i)
    tk::Application->ProcessMessages();
}

// The colour of a client pixel of a shown window, as it is on the screen.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

// A click of a mouse button (WM_LBUTTONDOWN or WM_RBUTTONDOWN) on a tree's node, as the mouse
// sends it: the pointer goes there, and the release is already queued when the tree watches for
// a drag after the press. False when the node is out of sight.
inline bool ClickTreeNode(tk::TShellTreeView *tree, tk::TShellTreeNode *node,
                          UINT down = WM_LBUTTONDOWN) {
  RECT r = tree->ItemRect(node);
  if (r.left >= r.right)
    return false;
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  POINT screen = p;
  ClientToScreen(tree->Handle(), &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageA(tree->Handle(), down == WM_LBUTTONDOWN ? WM_LBUTTONUP : WM_RBUTTONUP, 0,
               MAKELPARAM(p.x, p.y));
  SendMessageA(tree->Handle(), down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON,
               MAKELPARAM(p.x, p.y));
  Pump();
  return true;
}

} // namespace formtest
