// Copies, moves, renames or deletes a list of files through the shell, with the shell's own
// progress and confirmation windows as the flags choose.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/core/Classes.h"

enum TFileOp { foCopy, foDelete, foMove, foRename };

enum TFileOpFlag : uint16_t {
  fofAllowUndo = 1 << 0,
  fofConfirmMouse = 1 << 1,
  fofFilesOnly = 1 << 2,
  fofMultiDestFiles = 1 << 3,
  fofNoConfirmation = 1 << 4,
  fofNoConfirmMkDir = 1 << 5,
  fofRenameOnCollision = 1 << 6,
  fofSilent = 1 << 7,
  fofSimpleProgress = 1 << 8,
};
using TFileOpFlags = uint16_t;

class TFileOperation : public tk::TComponent {
public:
  using tk::TComponent::TComponent;
  const char *ClassName() const override { return "TFileOperation"; }

  // Setting Active runs the operation at once; it never reads back as set, so a form
  // description that sets it runs the operation each time the form is built.
  bool Active() const { return false; }
  void SetActive(bool active);

  std::string FilesFrom; // several paths separated by ";"
  std::string FilesTo;
  TFileOpFlags Flags = 0;
  TFileOp Operation = foCopy;
  std::string ProgressTitle;
  // Whether the user stopped the last operation before its end.
  bool OperationAborted() const { return operationAborted_; }

  // True when the shell reports success. Raises nothing: the shell shows its own error boxes
  // unless Flags suppress them.
  bool Execute();

  // The shell's form of a ";"-separated list: each path ended by a zero, then an empty one.
  static std::string ShellPathList(const std::string &paths);
  static FILEOP_FLAGS ShellFlags(TFileOpFlags flags);

private:
  bool operationAborted_ = false;
};
