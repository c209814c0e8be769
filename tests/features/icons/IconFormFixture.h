// The icon forms opened from the program's main window, in the test's program folder (with its
// fallback icon); their globals are cleared after each test.
#pragma once

#include "../../app/AppFixture.h"
#include "IconFixture.h"

#include "features/icons/UnitFrmIcon.h"
#include "features/icons/UnitFrmIconCus.h"

class IconFormTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    icontest::FromProgram("Data\\Icon.dll");
  }
  void TearDown() override {
    AppTest::TearDown();
    FrmIcon = nullptr;
    FrmIconCus = nullptr;
  }

  // A new instance of the form, owned by the main window as its opener makes it.
  template <class T> T *Open(T *&global) {
    if (!Frmmain)
      StartProgram();
    tk::CreateForm(Frmmain, global);
    return global;
  }
};
