#include "archive/DiskSpan.h"

#include "archive/FileInfo.h"
#include "archive/Messages.h"
#include "archive/UnZip.h"

namespace arc {

namespace {

const char *const EventNames[3] = {"OnGetZipLastDisk", "OnGetZipFirstDisk", "OnGetZipNextDisk"};

// A handler that answers neither by a new disk nor by Cancel would keep the run asking for ever;
// after this many answers the disk counts as refused.
constexpr int MaxAsks = 1000;

} // namespace

void TDiskSpannObj::Init(TUnZip *Owner, bool *CancelFlag, TDiskManager *Manager, TReport Report,
                         TReport Raise) {
  owner_ = Owner;
  cancel_ = CancelFlag;
  manager_ = Manager;
  report_ = std::move(Report);
  raise_ = std::move(Raise);
  counter_ = 0;
  WantedDisk = 1;
  WantedOffset = 0;
  // The drive checks made while waiting report through the owner as well.
  OnErrorReport = [this](const std::string &FileName, const std::string &ExtendedMsg, int32_t ECode,
                         const std::string &VolumeID) {
    report_(FileName, ExtendedMsg, VolumeID, ECode);
  };
  manager_->OnErrorReport = OnErrorReport;
}

bool TDiskSpannObj::Ask(int which, bool &cancel) {
  TTimerPause pause(owner_->timer_);
  switch (which) {
  case 0:
    owner_->OnGetZipLastDisk(this, cancel);
    break;
  case 1:
    owner_->OnGetZipFirstDisk(this, cancel);
    break;
  default:
    owner_->OnGetZipNextDisk(this, tk::IntToStr(counter_), cancel);
    break;
  }
  return !cancel && !*cancel_;
}

bool TDiskSpannObj::RequestDisk(std::unique_ptr<TStream32> &ArchiveStream) {
  ArchiveStream.reset();
  const std::string name = owner_->runArchiveFile_;
  int which = counter_ == 0 ? 0 : (counter_ == 1 && WantedDisk <= 1) ? 1 : 2;
  const bool assigned = which == 0   ? bool(owner_->OnGetZipLastDisk)
                        : which == 1 ? bool(owner_->OnGetZipFirstDisk)
                                     : bool(owner_->OnGetZipNextDisk);
  if (which == 2)
    counter_ = WantedDisk; // the disk asked for is the one the counter names
  if (!assigned) {
    report_(name, EventNames[which], tk::IntToStr(counter_), ecEventNotAssigned);
    *cancel_ = true;
    return false;
  }
  const bool ok = which == 0 ? WaitForLastDisk() : WaitForDisk(which == 1);
  if (!ok) {
    *cancel_ = true;
    return false;
  }
  auto file = std::make_unique<TFileStream32>(name, fmOpenRead | fmShareDenyWrite);
  if (file->Handle == InvalidFileHandle) {
    report_(name, "", "0", ecOpenError);
    return false;
  }
  owner_->archiveSize_ = file->GetSize();
  ArchiveStream = std::move(file);
  return true;
}

bool TDiskSpannObj::WaitForLastDisk() {
  const std::string name = owner_->runArchiveFile_;
  // Examining the file again tells what the disk in the drive holds; a drive without a disk
  // must not cost the run its archive name.
  auto examine = [&] {
    owner_->SetArchiveFile(name);
    owner_->archiveFile_ = name;
  };
  examine();
  int asks = 0;
  while (!HasHeader(owner_->info_.HeaderState, htEnding)) {
    bool cancel = true;
    if (!Ask(0, cancel) || ++asks > MaxAsks)
      return false;
    examine();
  }
  if (!IsRealArchive(owner_->info_.ArcType))
    return false;
  counter_ = 1;
  return true;
}

bool TDiskSpannObj::WaitForDisk(bool first) {
  int asks = 0;
  while (!HoldsWantedOffset()) {
    bool cancel = true;
    if (!Ask(first ? 1 : 2, cancel) || ++asks > MaxAsks)
      return false;
  }
  ++counter_;
  return true;
}

bool TDiskSpannObj::HoldsWantedOffset() {
  const std::string name = owner_->runArchiveFile_;
  const bool described = manager_->CheckDisk(name);
  // A disk whose label numbers it is the right one only when the number is the one wanted;
  // without a number its content has to tell.
  const uint16_t number = described ? manager_->BackupVolume : 0;
  const bool spanned = owner_->GetArcType() == atZipDS;
  TFileStream32 file(name, fmOpenRead | fmShareDenyWrite);
  if (file.Handle == InvalidFileHandle) {
    report_(name, "", "0", ecOpenError);
    return false;
  }
  if (number != 0 && spanned && number != counter_)
    return false;
  const int64_t size = file.GetSize();
  if (WantedOffset < 0)
    return size > 0; // an entry's data goes on at the start of this disk
  if (size < WantedOffset + 30) {
    if (spanned)
      return number != 0 && number == counter_;
    return owner_->GetArcType() == atZipMV;
  }
  uint32_t signature = 0;
  if (file.Seek(WantedOffset, soFromBeginning) != WantedOffset || file.Read(&signature, 4) != 4)
    return false;
  return signature == sigLocal || signature == sigCentral || signature == sigDescriptor;
}

} // namespace arc
