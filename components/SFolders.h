// The folder search: finds the files (and folders) whose names match a list of wildcard masks
// in one folder tree, on one drive or on every local and network drive, and collects them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/Masks.h"
#include "toolkit/core/Classes.h"

namespace tk {
class TWaitCursor;
}

// One match of a search.
class TFilePack {
public:
  TFilePack(std::string fileName, std::string path, int32_t size, int32_t attr, int32_t time)
      : FileName(std::move(fileName)), Path(std::move(path)), Size(size), Attr(attr), Time(time) {}
  std::string FileName; // without its folder
  std::string Path;     // the folder, with a trailing backslash
  int32_t Size;         // the low 32 bits of the file's size
  int32_t Attr;         // FILE_ATTRIBUTE_... bits
  int32_t Time;         // DOS date (high word) and time (low word) of the last write, local time
};

enum TScanOptions { soAllDisks, soSpecifiedDisk, soSpecifiedDir };

using TOnProcessEvent = std::function<void(tk::TComponent *Sender, const std::string &Dir,
                                           int32_t CountFiles, int32_t SizeOfFiles)>;
using TOnChangedEvent =
    std::function<void(tk::TComponent *Sender, int32_t CountFiles, int32_t SizeOfFiles)>;

class TSearchFolders : public tk::TComponent {
public:
  explicit TSearchFolders(tk::TComponent *owner);
  ~TSearchFolders() override;
  const char *ClassName() const override { return "TSearchFolders"; }

  std::string FileMask = "*"; // masks separated by commas
  bool UpdateList = true;     // keep every match in FileList
  TScanOptions ScanOptions = soAllDisks;
  // The start folder, or a drive as its letter and ":". Forms set ScanOptions along with it:
  // deriving one from the other is a designer's convenience, and there is no designer here.
  std::string ScanDir = "C:\\";
  // Keep the program's windows alive during a long search. The queue is checked after the
  // first entry and then every MessageInterval milliseconds: under Wine one look at an empty
  // queue costs several times what reading one folder entry does, and no one can tell 10 ms.
  // Its owner's form stays while the search pumps (see tk::TNestedLoop), and a search that has
  // run longer than WaitCursorDelay milliseconds shows the wait cursor until it ends.
  bool Messages = true;
  static constexpr DWORD MessageInterval = 10;
  static constexpr DWORD WaitCursorDelay = 150;
  bool DoRecursive = true;
  TOnProcessEvent OnProcess; // a folder is about to be listed
  TOnChangedEvent OnChanged; // the search has ended

  // Runs a whole search on the calling thread. An invalid mask raises EMaskException before any
  // folder is read (the previous results are already gone then, and OnChanged is not fired).
  void Search();

  const std::vector<TFilePack> &FileList() const { return fileList_; }
  // Both add up in 32 bits, as the forms showing them always did: big totals wrap.
  int32_t CountFiles() const { return countFiles_; }
  int32_t SizeOfFiles() const { return sizeOfFiles_; }

private:
  void SearchDir(const std::string &dir, const std::vector<TMultiMask> &masks);
  void PumpMessages();

  std::vector<TFilePack> fileList_;
  int32_t countFiles_ = 0;
  int32_t sizeOfFiles_ = 0;
  bool pumpedOnce_ = false;
  DWORD lastPump_ = 0;
  // Searches under way (a handler run by the pump may start another one), when the outermost
  // began, and its wait cursor once it has run long enough.
  int depth_ = 0;
  DWORD started_ = 0;
  std::unique_ptr<tk::TWaitCursor> wait_;
};
