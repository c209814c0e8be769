// Starting the program's forms inside the test process, as the entry does, in the test's
// sandbox (its registry, its program folder, scripted prompts, a recording shell).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "features/explorer/UnitFrmie_preview.h"
#include "support/TestEnvironment.h"

class AppTest : public ::testing::Test {
protected:
  void SetUp() override { tk::InitApplication(); }

  void TearDown() override {
    tk::DoneApplication();
    Frmmain = nullptr;
    FrmIe_preview = nullptr;
    // A test that ended the application leaves its WM_QUIT behind.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // The entry's two forms, in its order: the preview's creation translates them both.
  void StartProgram() {
    tk::Application->SetTitle("Lumagrove");
    tk::Application->CreateForm(Frmmain);
    tk::Application->CreateForm(FrmIe_preview);
  }

  // Writes a language file and chooses it through the registry.
  std::string UseLanguage(const std::string &text) {
    std::string file = testenv::TestDir() + "Test.lng";
    testenv::WriteFile(file, text);
    WriteRegValue(HKEY_CURRENT_USER, ProgramKey, "Language", file, 1);
    return file;
  }

  void WriteConfig(const std::string &text) {
    testenv::WriteFile(testenv::Places().programDir + "Data\\Config.ini", text);
  }
};
