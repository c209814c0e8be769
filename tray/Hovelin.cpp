// Hovelin's entry: the application, its never-shown form and the message loop.
#include <windows.h>

#include "tray/UnitFrmHovelin.h"

using namespace tk;

namespace {

int ProgramEntryMain() {
  InitApplication();
  Application->Initialize();
  Application->ShowMainForm = false;
  Application->CreateForm(FrmHovelin);
  Application->Run();
  DoneApplication();
  return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ProgramEntryMain(); }
