#include "components/FileOperation.h"

#include <shellapi.h>

#include "toolkit/forms/Forms.h"

void TFileOperation::SetActive(bool active) {
  if (active)
    Execute();
}

std::string TFileOperation::ShellPathList(const std::string &paths) {
  std::string list = paths + std::string(2, '\0');
  for (char &c : list)
    if (c == ';')
      c = '\0';
  return list;
}

FILEOP_FLAGS TFileOperation::ShellFlags(TFileOpFlags flags) {
  static constexpr struct {
    TFileOpFlag flag;
    FILEOP_FLAGS bit;
  } bits[] = {{fofAllowUndo, FOF_ALLOWUNDO},
              {fofConfirmMouse, FOF_CONFIRMMOUSE},
              {fofFilesOnly, FOF_FILESONLY},
              {fofMultiDestFiles, FOF_MULTIDESTFILES},
              {fofNoConfirmation, FOF_NOCONFIRMATION},
              {fofNoConfirmMkDir, FOF_NOCONFIRMMKDIR},
              {fofRenameOnCollision, FOF_RENAMEONCOLLISION},
              {fofSilent, FOF_SILENT},
              {fofSimpleProgress, FOF_SIMPLEPROGRESS}};
  FILEOP_FLAGS result = 0;
  for (const auto &b : bits)
    if (flags & b.flag)
      result |= b.bit;
  return result;
}

bool TFileOperation::Execute() {
  static constexpr UINT functions[] = {FO_COPY, FO_DELETE, FO_MOVE, FO_RENAME};
  std::string from = ShellPathList(FilesFrom);
  std::string to = ShellPathList(FilesTo);

  SHFILEOPSTRUCTA op = {};
  // The shell's windows belong to the form that holds us, so they stay in front of it.
  if (auto *form = dynamic_cast<tk::TCustomForm *>(GetOwner()))
    op.hwnd = form->Handle();
  else if (tk::Application)
    op.hwnd = tk::Application->Handle();
  op.wFunc = functions[Operation];
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = ShellFlags(Flags);
  op.lpszProgressTitle = ProgressTitle.c_str();

  int result = SHFileOperationA(&op);
  operationAborted_ = op.fAnyOperationsAborted != FALSE;
  return result == 0;
}
