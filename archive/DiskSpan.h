// The disk set of a zip spanned over removable disks under one file name: asks the user, through
// the component's events, for the disk that holds the data wanted next and checks that the disk
// put in is the right one.
#pragma once

#include "archive/DiskManager.h"
#include "archive/Streams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace arc {

class TUnZip;

class TDiskSpannObj : public TDiskCommon {
public:
  using TReport = std::function<void(const std::string &FileName, const std::string &ExtendedMsg,
                                     const std::string &VolumeID, int32_t ECode)>;

  // Binds the object to its owner for one run: the disk counter starts at 0; CancelFlag is the
  // owner's own flag; Manager checks the drive (its handlers report through Report).
  void Init(TUnZip *Owner, bool *CancelFlag, TDiskManager *Manager, TReport Report, TReport Raise);

  // Frees ArchiveStream, asks for the disk the counter calls for (the last one first, then the
  // first, then the wanted one) until the disk in the drive holds the data wanted, and opens the
  // archive on it. False, with the owner's cancel flag set, when the disk is refused or the
  // needed event is missing; false with 25235 reported when the archive can't be opened.
  bool RequestDisk(std::unique_ptr<TStream32> &ArchiveStream);

  // What the owner wants next: the disk (1 for the first) and the offset on it of a record that
  // starts there, or -1 when an entry's data goes on at the start of that disk.
  uint16_t WantedDisk = 1;
  int64_t WantedOffset = 0;

  uint16_t DiskCounter() const { return counter_; }

private:
  bool WaitForLastDisk();
  bool WaitForDisk(bool first);
  // Whether the disk in the drive holds the wanted data; the archive file is closed again.
  bool HoldsWantedOffset();
  bool Ask(int which, bool &cancel);

  TUnZip *owner_ = nullptr;
  bool *cancel_ = nullptr;
  TDiskManager *manager_ = nullptr;
  TReport report_, raise_;
  uint16_t counter_ = 0;
};

} // namespace arc
