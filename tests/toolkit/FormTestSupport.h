// Forms built by a test: the building code is a lambda, run inside the form's Build.
#pragma once

#include <functional>
#include <memory>

#include "toolkit/forms/Forms.h"

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

} // namespace formtest
