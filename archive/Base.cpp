#include "archive/Base.h"

#include "archive/Cipher.h"
#include "archive/Crc.h"
#include "archive/FileInfo.h"
#include "archive/Masks.h"
#include "archive/Messages.h"
#include "archive/VolumeNames.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace arc {

namespace {

int64_t NowTicks() {
  using namespace std::chrono;
  // Never 0: a start tick of 0 means "not running".
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + 1;
}

bool IsZipFamily(TArcType type) {
  switch (type) {
  case atBh:
  case atBhExe:
  case atJar:
  case atJarExe:
  case atZip:
  case atZipExe:
  case atZipDS:
  case atZipMV:
    return true;
  default:
    return false;
  }
}

uint16_t Get16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t *p) { return uint32_t(Get16(p)) | (uint32_t(Get16(p + 2)) << 16); }

// The only attributes an archive may give a file: anything else (folder, device, reparse and
// the rest) is not the archive's to set.
constexpr uint32_t faRestorable = faReadOnly | faHidden | faSysFile | faArchive;

} // namespace

// ---- TqebTimer ----------------------------------------------------------------------------

void TqebTimer::Start() {
  Elapsed = 0;
  start_ = NowTicks();
  pause_ = 0;
}

void TqebTimer::Stop() {
  if (start_ <= 0)
    return;
  stop_ = NowTicks();
  Elapsed = float(stop_ - start_) / 1000.0f;
  start_ = 0;
}

void TqebTimer::Pause() {
  if (start_ > 0)
    pause_ = NowTicks();
}

void TqebTimer::Resume() {
  if (start_ > 0 && pause_ > 0) {
    start_ = NowTicks() + (start_ - pause_);
    pause_ = 0;
  }
}

// ---- TUnBaseHeaderObj ---------------------------------------------------------------------

bool TUnBaseHeaderObj::AddHeader(const TEntryRecord &record, const void *block, size_t blockSize) {
  records_.push_back(record);
  if (block && blockSize) {
    const auto *bytes = static_cast<const uint8_t *>(block);
    blocks_.emplace_back(bytes, bytes + blockSize);
  } else {
    blocks_.emplace_back();
  }
  return true;
}

void TUnBaseHeaderObj::Clear() {
  records_.clear();
  blocks_.clear();
}

// ---- TRegisterOrrelin ---------------------------------------------------------------------

TRegisterOrrelin::TRegisterOrrelin(tk::TComponent *owner) : tk::TComponent(owner) {}

void TRegisterOrrelin::SetArchiveFile(const std::string &name) {
  if (name.empty() || !LayerFileExists(name)) {
    info_.ArcType = atNA;
    archiveFile_.clear();
    return;
  }
  archiveFile_ = SlashToBackslash(name);
  TFileStream32 stream(archiveFile_, fmOpenRead | fmShareDenyWrite);
  if (stream.Handle == InvalidFileHandle) {
    info_.ArcType = atNA;
    return;
  }
  info_.ArcType = arc::GetArcType(stream, archiveFile_, info_, headerCipher_);
  if (IsRealArchive(info_.ArcType))
    SetVolumeNumbering(archiveFile_, info_);
}

void TRegisterOrrelin::SetArcType(TArcType) {
  TFileStream32 stream(archiveFile_, fmOpenRead | fmShareDenyWrite);
  if (archiveFile_.empty() || stream.Handle == InvalidFileHandle) {
    info_.ArcType = atNA;
    throw tk::EFOpenError(ArcMessage(ecOpenError));
  }
  info_.ArcType = arc::GetArcType(stream, archiveFile_, info_, headerCipher_);
  if (IsRealArchive(info_.ArcType))
    SetVolumeNumbering(archiveFile_, info_);
}

// ---- TZipCommon ---------------------------------------------------------------------------

TZipCommon::TZipCommon(tk::TComponent *owner) : TRegisterOrrelin(owner) {
  progressCallback_ = [this] { DefaultProgress(); };
}

TZipCommon::~TZipCommon() = default;

void TZipCommon::SetExtractDir(const std::string &dir) {
  if (!dir.empty())
    extractDir_ = tk::ExtractFilePath(AppendDirTail(SlashToBackslash(dir)));
  else
    extractDir_ = archiveFile_.empty() ? std::string() : tk::ExtractFilePath(archiveFile_);
  // A relative folder is taken from the current folder as it is now: the output names would
  // otherwise put it at the root of the drive, and a later change of folder would move it.
  if (!extractDir_.empty()) {
    const std::string full = LayerFullPath(extractDir_);
    if (!full.empty())
      extractDir_ = AppendDirTail(full);
  }
}

void TZipCommon::SetFileSpec(const tk::TStringList &list) {
  fileSpec_.Clear();
  for (const std::string &item : list.Items())
    fileSpec_.Add(item);
}

void TZipCommon::SetPasswords(const tk::TStringList &list) {
  passwords_.Clear();
  for (const std::string &item : list.Items())
    passwords_.Add(item);
}

void TZipCommon::SetCancelled(bool value) {
  cancelled_ = value;
  if (value)
    ReportError(archiveFile_, outputName_, "0", ecUserCanceled);
}

void TZipCommon::ReportError(const std::string &FileName, const std::string &ExtendedMsg,
                             const std::string &VolumeID, int32_t ECode) {
  TTimerPause pause(timer_);
  if (cancelled_)
    ECode = ecUserCanceled;
  if (OnError)
    OnError(this, FileName, ExtendedMsg, VolumeID, ECode);
}

void TZipCommon::RaiseError(const std::string &FileName, const std::string &ExtendedMsg,
                            const std::string &VolumeID, int32_t ECode) {
  ReportError(FileName, ExtendedMsg, VolumeID, ECode);
  if (!cancelled_)
    throw E_RAISE(ArcMessage(ECode));
}

double TZipCommon::DosDateToDateTime(uint32_t dosDate) {
  return DosDateTimeToDateTime(dosDate == 0 ? 0x00210020u : dosDate);
}

int32_t TZipCommon::ReadArchiveBlock(TStream32 &stream, void *buffer, int32_t count, int crcKind,
                                     bool decrypt) {
  if (count <= 0)
    return 0;
  int32_t n = 0;
  try {
    n = std::max(stream.Read(buffer, count), 0);
  } catch (const EReadError &) {
    n = 0;
  }
  DecryptBlock(decrypt, buffer, n);
  UpdateCrc(crcKind, buffer, n);
  return n;
}

void TZipCommon::DecryptBlock(bool decrypt, void *buffer, int64_t count) {
  if (decrypt && IsZipFamily(info_.ArcType) && count > 0)
    arc::DecipherBlock(buffer, count);
}

int32_t TZipCommon::WriteDecryptedBlock(TStream32 &stream, void *buffer, bool isData, int32_t count,
                                        int crcKind, bool decrypt) {
  if (isData)
    DecryptBlock(decrypt, buffer, count);
  return WriteOutput(stream, buffer, isData, count, crcKind);
}

TExtraHighParts TZipCommon::ReadExtraFields(TStream32 &stream, uint32_t length, int headerKind,
                                            uint32_t *uncompressed, uint32_t *compressed,
                                            uint32_t *offset) {
  TExtraHighParts high;
  if (length == 0)
    return high;
  std::vector<uint8_t> area(length);
  int32_t got = std::max(stream.Read(area.data(), int32_t(length)), 0);
  area.resize(size_t(got));
  size_t p = 0;
  while (p + 4 <= area.size()) {
    const uint16_t tag = Get16(&area[p]), size = Get16(&area[p + 2]);
    p += 4;
    const bool whole = p + size <= area.size();
    const size_t end = whole ? p + size : area.size();
    if (tag == 1) {
      size_t q = p;
      // The fields lie in packed records: copied, never dereferenced in place.
      auto take = [&](uint32_t *field, uint16_t &highPart) {
        uint32_t value = 0;
        if (field)
          std::memcpy(&value, field, 4);
        if (field && value == 0xFFFFFFFFu && q + 8 <= end) {
          value = Get32(&area[q]);
          std::memcpy(field, &value, 4);
          highPart = Get16(&area[q + 4]);
          q += 8;
        }
      };
      take(uncompressed, high.Uncompressed);
      take(compressed, high.Compressed);
      if (headerKind == 1)
        take(offset, high.Offset);
    } else if (tag == 100) {
      uint16_t *parts[3] = {&high.Compressed, &high.Uncompressed, &high.Offset};
      const size_t count = headerKind == 0 ? 2 : 3;
      for (size_t i = 0; i < count && p + 2 * i + 2 <= end; ++i)
        *parts[i] = Get16(&area[p + 2 * i]);
    }
    if (!whole)
      break;
    p = end;
  }
  return high;
}

void TZipCommon::ResetRunState() {
  cancelled_ = false;
  processed_ = 0;
  failed_ = 0;
  progressCallback_ = [this] { DefaultProgress(); };
  encrypted_ = passwordFailed_ = writeFailed_ = false;
  newestDate_ = 0;
  fileProgress_ = archiveProgress_ = 0;
  archiveCounter_ = 0;
  archiveDone_ = 0;
  volumeName_ = archiveFile_;
}

void TZipCommon::ReportProgress(int64_t fileDone, int64_t fileTotal, int64_t archiveTotal) {
  try {
    fileProgress_ = uint8_t(Percent(fileTotal, fileDone));
    archiveProgress_ = uint8_t(Percent(archiveTotal, archiveDone_));
    if (progressCallback_)
      progressCallback_();
  } catch (...) {
    // A failing progress receiver must not end the entry.
  }
}

void TZipCommon::DefaultProgress() {
  LayerProcessMessages();
  if (OnProgress)
    OnProgress(this, fileProgress_, archiveProgress_);
}

// ---- TUnBase ------------------------------------------------------------------------------

TUnBase::TUnBase(tk::TComponent *owner) : TZipCommon(owner) {}

void TUnBase::SetArchiveFile(const std::string &name) { TZipCommon::SetArchiveFile(name); }

std::string TZipCommon::NumberedVolumeName(const std::string &Name, int32_t Number) {
  return arc::NumberedVolumeName(info_.ArcType, info_.VolumeLetter, Name, Number);
}

bool TUnBase::OpenNextVolumeStream(std::unique_ptr<TStream32> &Stream, int32_t Index,
                                   int32_t LastIndex) {
  if (!OnNextVolume) {
    ReportError(volumeName_, "OnNextVolume", tk::IntToStr(int64_t(Index) + 1), ecEventNotAssigned);
    SetCancelled(true);
    return false;
  }
  Stream.reset();
  int32_t number = Index + 1;
  std::string name = NextVolumeName(volumeName_, archiveFile_, Index, LastIndex);
  if (info_.HeaderState == HeaderBit(htLocal) && tk::SameText(name, archiveFile_)) {
    // Read from its first volume on, a set whose directory is out of reach has no known last
    // volume: the one after is the next numbered one.
    name = NextVolumeName(volumeName_, archiveFile_, Index + 1, 9999);
    ++number;
  }
  volumeName_ = name;
  archiveSize_ = 0;
  const std::string id = tk::IntToStr(number);
  // A handler that neither names an existing file nor cancels would keep the run asking for
  // ever; after this many answers the volume counts as missing.
  constexpr int MaxAsks = 1000;
  bool cancel = false, found = false;
  for (int asks = 0; asks < MaxAsks && !cancelled_; ++asks) {
    cancel = false;
    {
      TTimerPause pause(timer_);
      OnNextVolume(this, name, id, LayerFileExists(name), cancel);
    }
    if (cancel)
      break;
    if (LayerFileExists(name)) {
      found = true;
      break;
    }
  }
  if (!found) {
    ReportError(name, "", id, cancel || cancelled_ ? ecUserCanceled : ecOpenError);
    cancelled_ = true;
    return false;
  }
  auto file = std::make_unique<TFileStream32>(name, fmOpenRead | fmShareDenyWrite);
  if (file->Handle == InvalidFileHandle) {
    ReportError(name, "", id, ecOpenError);
    cancelled_ = true;
    return false;
  }
  volumeName_ = name;
  volumeNumber_ = number;
  archiveSize_ = file->GetSize();
  Stream = std::move(file);
  return true;
}

int32_t TUnBase::Extract() {
  // The run pumps its owner's messages: whatever owns this reader stays while it runs.
  tk::TNestedLoop loop(this);
  outputKind_ = 0;
  failed_ = 0;
  std::unique_ptr<TStream32> stream;
  try {
    if (!OpenArchive(stream))
      return 0;
  } catch (...) {
    // Extract never raises: a handler of the open report that raises ends the call here.
    return 0;
  }
  int32_t result = RunExtraction(stream);
  stream.reset();
  return result;
}

bool TUnBase::OpenArchive(std::unique_ptr<TStream32> &stream) {
  if (archiveFile_.empty()) {
    ReportError(archiveFile_, "", "0", ecFileNotFound);
    return false;
  }
  switch (info_.ArcType) {
  case atAce:
  case atAceExe:
  case atCab:
  case atCabExe:
  case atRar:
  case atRarExe:
    return true; // their own libraries read them: no stream here
  case atZipDS:
  case atZipMV:
    // The drive that holds the set must be there and readable before any volume is.
    diskManager_.OnErrorReport = [this](const std::string &FileName, const std::string &ExtendedMsg,
                                        int32_t ECode, const std::string &VolumeID) {
      ReportError(FileName, ExtendedMsg, VolumeID, ECode);
    };
    if (!diskManager_.CheckDisk(archiveFile_))
      return false;
    break;
  default:
    break;
  }
  auto file = std::make_unique<TFileStream32>(archiveFile_, fmOpenRead | fmShareDenyWrite);
  if (file->Handle == InvalidFileHandle) {
    ReportError(archiveFile_, "", "0", ecOpenError);
    return false;
  }
  archiveSize_ = file->GetSize();
  stream = std::move(file);
  return true;
}

int32_t TUnBase::RunExtraction(std::unique_ptr<TStream32> &stream) {
  int32_t result = 0;
  try {
    ResetRunState();
    if (CpuType == cpt80486)
      CpuType = cptAuto;
    const std::string remembered = archiveFile_;
    auto finishRun = [&] {
      result = processed_;
      archiveFile_ = remembered;
    };
    try {
      if (OnActivate)
        OnActivate(this);
      auto deactivate = [&] {
        if (OnDeactivate)
          OnDeactivate(this);
      };
      try {
        if (OnElapsedTime)
          timer_.Start();
        auto elapsed = [&] {
          if (OnElapsedTime) {
            timer_.Stop();
            OnElapsedTime(this, timer_.Elapsed);
          }
        };
        try {
          password_.clear();
          outputName_.clear();
          if (stream)
            ExtractEntries(stream);
        } catch (...) {
          elapsed();
          throw;
        }
        elapsed();
      } catch (...) {
        deactivate();
        throw;
      }
      deactivate();
    } catch (...) {
      finishRun();
      throw;
    }
    finishRun();
  } catch (...) {
    // Whatever escaped the run ends it quietly; the count so far is the answer.
  }
  DiscardOutput();
  return result;
}

bool TUnBase::BeginEntry(bool isFolder) {
  if (isFolder)
    return true;
  TTimerPause pause(timer_);
  bool extract = true;
  if (OnBegin) {
    if (OnRenameFile) {
      std::string newName = outputName_;
      OnRenameFile(this, outputName_, newName);
      if (!newName.empty()) {
        ForceDirs(tk::ExtractFileDir(newName));
        outputName_ = newName;
      }
    }
    OnBegin(this, outputName_, processed_ + 1, extract);
  }
  if (cancelled_ || !extract)
    return false;
  if (!ConfirmOverwrites) {
    if (OverwriteMode != omOverwrite)
      return false;
    ++processed_;
    return true;
  }
  OverwriteMode = omOverwrite;
  if (LayerFileExists(outputName_)) {
    if (!OnFileExists) {
      ReportError(outputName_, "OnFileExists", "0", ecEventNotAssigned);
      OverwriteMode = omSkip;
    } else {
      do {
        std::string newName;
        OnFileExists(this, outputName_, newName, OverwriteMode);
        if (newName.empty())
          newName = outputName_;
        ForceDirs(tk::ExtractFileDir(newName));
        if (OverwriteMode == omOverwrite) {
          if (tk::SameText(newName, outputName_))
            break;
          outputName_ = newName;
        }
      } while (!cancelled_ && OverwriteMode != omSkip && LayerFileExists(outputName_));
    }
    if (!cancelled_ && OverwriteMode != omSkip) {
      const uint32_t attributes = LayerGetAttributes(outputName_);
      if (attributes != faInvalid && (attributes & faReadOnly)) {
        if (attributes & (faSysFile | faDirectory)) {
          ReportError(outputName_, "", "0", ecWriteError);
          ++failed_;
          return false;
        }
        LayerSetAttributes(outputName_, faNormal);
      }
    }
  }
  if (!cancelled_ && OverwriteMode == omOverwrite && !outputName_.empty()) {
    ++processed_;
    return true;
  }
  return false;
}

void TUnBase::EndEntry(std::unique_ptr<TStream32> &output, uint32_t dosDate) {
  auto *file = dynamic_cast<THandleStream32 *>(output.get());
  if (file && file->Handle != InvalidFileHandle) {
    LayerSetFileDosDateTime(file->Handle, FileDateFor(dosDate));
    if (LayerClose(file->Handle))
      file->Handle = InvalidFileHandle;
    else
      ReportError(outputName_, "", "0", ecCloseError);
  }
  output.reset();
}

void TUnBase::RestoreAttributes(const std::string &outputName, uint32_t attributes) {
  if (!RestoreFileAttr || attributes == faArchive)
    return;
  const uint32_t kept = attributes & faRestorable;
  LayerSetAttributes(outputName, kept ? kept : faNormal);
}

uint32_t TUnBase::FileDateFor(uint32_t dosDate) const {
  switch (DateAttribute) {
  case daSysDate:
    return LayerNowDosDateTime();
  case daMaxFileDate:
    return newestDate_;
  default:
    return dosDate;
  }
}

void TUnBase::SkipEntryProgress(int64_t size) {
  archiveCounter_ -= size;
  archiveDone_ += size;
  ReportProgress(size, size, archiveTotal_);
}

bool TUnBase::AcquirePassword(TStream32 &archive) {
  TTimerPause pause(timer_);
  uint8_t work[25] = {};
  if (ReadArchiveBlock(archive, work, 12, 0, false) != 12)
    return false;
  std::memcpy(work + 12, work, 12);
  bool ok = CheckPassword(work);
  for (int i = 0; !ok && i < passwords_.Count(); ++i) {
    password_ = passwords_.Strings(i);
    ok = CheckPassword(work);
  }
  if (ok)
    return true;
  if (!OnGetPassword) {
    ReportError(outputName_, "OnGetPassword", "0", ecEventNotAssigned);
    return false;
  }
  bool tryAgain = true;
  for (int round = 0; round < PasswordAttempts; ++round) {
    if (cancelled_)
      break;
    OnGetPassword(this, outputName_, password_, tryAgain);
    if (!tryAgain) {
      ReportError(outputName_, "", "0", ecInvalidPassword);
      break;
    }
    if (CheckPassword(work)) {
      passwords_.Insert(0, password_);
      return true;
    }
    password_.clear();
    ReportError(outputName_, "", "0", ecInvalidPassword);
  }
  return false;
}

} // namespace arc
