#include "components/IconDialog.h"

#include <shellapi.h>

#include "toolkit/win32/Seams.h"

bool TIconDialog::Execute() {
  noPicker_ = false;
  char path[MAX_PATH] = {};
  if (FileName.size() >= sizeof(path))
    return false;
  FileName.copy(path, FileName.size());
  int index = IconIndex;
  tk::TIconPick answer =
      tk::IconPickOutcome(tk::GetPrompts().PickIcon(nullptr, path, sizeof(path), &index));
  noPicker_ = answer == tk::TIconPick::NoPicker;
  path[sizeof(path) - 1] = 0;
  FileName = path;
  IconIndex = index;

  if (!FileName.empty() && IconIndex != -1) {
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), FileName.c_str(), UINT(IconIndex));
    // 1 is the shell's answer for a file that is no icon source at all.
    icon_.SetHandle(reinterpret_cast<UINT_PTR>(icon) > 1 ? icon : nullptr);
  }
  return answer == tk::TIconPick::Chosen;
}
