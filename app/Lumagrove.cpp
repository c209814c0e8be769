// Lumagrove's entry: the application, the main window, the Explorer preview and the message loop.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/UnitMain.h"
#include "features/explorer/UnitFrmie_preview.h"

using namespace tk;

namespace {

int ProgramEntryMain() {
  InitApplication();
  Application->Initialize();
  Application->SetTitle("Lumagrove");
  // Started as "-restore" (exactly that, as the first argument) the program ends before any
  // window exists.
  if (__argc > 1 && std::strcmp(__argv[1], "-restore") == 0) {
    Application->Terminate();
    return 0;
  }
  Application->CreateForm(Frmmain);
  // The preview's creation translates both windows; the main window translates nothing itself.
  Application->CreateForm(FrmIe_preview);
  Application->Run();
  DoneApplication();
  return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ProgramEntryMain(); }
