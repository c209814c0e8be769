#include "common/IconPicker.h"

#include "common/RegUnit.h"
#include "common/Translation.h"
#include "toolkit/win32/Seams.h"

bool PickIconLocation(HWND Owner, const std::string &StartFile, std::string &File, int &Index) {
  char path[MAX_PATH] = {};
  if (StartFile.size() >= sizeof(path))
    return false;
  StartFile.copy(path, StartFile.size());
  int index = 0;
  tk::TIconPick answer =
      tk::IconPickOutcome(tk::GetPrompts().PickIcon(Owner, path, sizeof(path), &index));
  if (answer == tk::TIconPick::NoPicker)
    TellNoIconPicker(Owner);
  if (answer != tk::TIconPick::Chosen)
    return false;
  path[sizeof(path) - 1] = 0;
  File = ExpandSystemRoot(path);
  Index = index;
  return true;
}

void TellNoIconPicker(HWND Owner) {
  tk::GetPrompts().MessageBox(
      Owner,
      LangMessage("Common_15", "This system offers no icon picker, so no icon can be chosen here."),
      LangMessage("Common_3", "Warning"), MB_OK | MB_ICONWARNING);
}
