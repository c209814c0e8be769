#include "components/SFolders.h"

#include <optional>

#include "toolkit/forms/Forms.h"

namespace {

bool IsDots(const char *name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

bool MatchesAnyMask(const std::vector<TMultiMask> &masks, const std::string &name) {
  for (const TMultiMask &mask : masks)
    if (mask.Mask.Matches(name))
      return true;
  return false;
}

int32_t DosTime(const FILETIME &written) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return int32_t(uint32_t(date) << 16 | time);
}

// 32-bit totals wrap like the program's counters always have, without signed overflow.
int32_t Add32(int32_t total, uint32_t amount) { return int32_t(uint32_t(total) + amount); }

} // namespace

TSearchFolders::TSearchFolders(tk::TComponent *owner) : tk::TComponent(owner) {}

TSearchFolders::~TSearchFolders() = default;

void TSearchFolders::Search() {
  fileList_.clear();
  countFiles_ = 0;
  sizeOfFiles_ = 0;
  // Compiled before anything is read, so a bad mask stops the search with nothing done. They
  // live on this frame, not in the component: a handler run by the message pump may start
  // another search.
  std::vector<TMultiMask> masks;
  for (const std::string &mask : ParseMasks(FileMask))
    masks.emplace_back(mask);
  pumpedOnce_ = false;
  std::optional<tk::TNestedLoop> loop;
  if (Messages)
    loop.emplace(this);
  if (depth_++ == 0)
    started_ = GetTickCount();
  struct Depth {
    TSearchFolders *self;
    ~Depth() {
      if (--self->depth_ == 0)
        self->wait_.reset();
    }
  } depth{this};

  switch (ScanOptions) {
  case soAllDisks: {
    DWORD present = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      if (!(present & (1u << (letter - 'A'))))
        continue;
      std::string drive{letter, ':'};
      UINT type = GetDriveTypeA((drive + "\\").c_str());
      // Removable drives are left out: a floppy drive without a disk would stall the search.
      if (type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_CDROM ||
          type == DRIVE_RAMDISK)
        SearchDir(drive, masks);
    }
    break;
  }
  case soSpecifiedDisk:
    SearchDir(ScanDir.substr(0, 2), masks);
    break;
  case soSpecifiedDir:
    SearchDir(ScanDir, masks);
    break;
  }
  masks.clear();

  if (OnChanged)
    OnChanged(this, countFiles_, sizeOfFiles_);
}

void TSearchFolders::SearchDir(const std::string &dir, const std::vector<TMultiMask> &masks) {
  if (OnProcess)
    OnProcess(this, dir, countFiles_, sizeOfFiles_);
  const std::string path = (!dir.empty() && dir.back() == '\\') ? dir : dir + "\\";
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    return; // missing or closed to us: simply no entries
  // The handle stays open while the sub-folders are searched (one per level), and is closed
  // even when an event handler throws.
  struct Closer {
    HANDLE handle;
    ~Closer() { FindClose(handle); }
  } closer{find};

  for (bool more = true; more;) {
    if (!IsDots(entry.cFileName)) {
      std::string name = entry.cFileName;
      // Folders are tested like files: a folder whose name matches is a match too.
      if (MatchesAnyMask(masks, name)) {
        countFiles_ = Add32(countFiles_, 1);
        sizeOfFiles_ = Add32(sizeOfFiles_, entry.nFileSizeLow);
        if (UpdateList)
          fileList_.emplace_back(name, path, int32_t(entry.nFileSizeLow),
                                 int32_t(entry.dwFileAttributes), DosTime(entry.ftLastWriteTime));
      }
      // Under the listed path, which has its one backslash: the configured folders already end
      // in one, and a doubled separator would reach every record below them.
      if (DoRecursive && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        SearchDir(path + name, masks);
    }
    more = FindNextFileA(find, &entry);
    if (Messages)
      PumpMessages();
  }
}

void TSearchFolders::PumpMessages() {
  if (!tk::Application)
    return;
  if (pumpedOnce_ && GetTickCount() - lastPump_ < MessageInterval)
    return;
  if (!wait_ && GetTickCount() - started_ >= WaitCursorDelay)
    wait_ = std::make_unique<tk::TWaitCursor>();
  tk::Application->ProcessMessages();
  pumpedOnce_ = true;
  lastPump_ = GetTickCount();
}
