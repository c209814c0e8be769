// Entry selection, output names, the output files of a run and their CRC check, and the
// library's temporary-file stream.
#include "archive/Base.h"

#include "archive/Crc.h"
#include "archive/FileInfo.h"
#include "archive/Masks.h"
#include "archive/Messages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace arc {

bool TUnBase::CrcMatches(int crcKind, uint32_t storedCrc) const {
  if (cancelled_)
    return false;
  const uint32_t crc = crcKind == 16 ? Crc16Value : Crc32Value;
  return storedCrc == crc || storedCrc == (crc ^ 0xFFFFFFFFu);
}

void TUnBase::ReportCrcResult(bool pass) {
  if (OnEnd)
    OnEnd(this, outputName_, pass);
  else if (!pass)
    ReportError(outputName_, "", "0", ecCrcFailed);
}

bool TUnBase::CheckEntryCrc(int crcKind, uint32_t storedCrc) {
  const bool pass = CrcMatches(crcKind, storedCrc);
  ReportCrcResult(pass);
  return pass;
}

int32_t TZipCommon::WriteOutput(TStream32 &stream, const void *buffer, bool isData, int32_t count,
                                int crcKind) {
  if (count <= 0)
    return 0;
  int32_t written = std::max(stream.Write(buffer, count), 0);
  if (written < count) {
    writeFailed_ = true;
    if (LayerLastError() == feDiskFull) {
      processed_ = 0;
      RaiseError(archiveFile_, outputName_, "0", ecDiskFull);
    } else {
      processed_ = std::max(processed_ - 1, 0);
      ReportError(archiveFile_, outputName_, "0", ecWriteError);
    }
  }
  if (isData)
    UpdateCrc(crcKind, buffer, written);
  return written;
}

void TZipCommon::BuildOutputName(const std::string &storedName) {
  if (storedName.empty()) {
    outputName_.clear();
    return;
  }
  if (extractDir_.empty()) {
    SetExtractDir("");
    if (extractDir_.empty())
      SetExtractDir(LayerCurrentDir());
  }
  std::string name = storedName;
  if (name.find(':') != std::string::npos)
    name.erase(0, name.size() >= 3 && name[2] == '\\' ? 3 : 2);
  else if (name[0] == '\\')
    name.erase(0, 1);
  const size_t slash = name.rfind('\\');
  std::string folder = AppendDirTail(extractDir_);
  if (UseStoredDirs && slash != std::string::npos)
    folder += name.substr(0, slash + 1);
  if (folder.find(':') == std::string::npos && (folder.empty() || folder[0] != '\\'))
    folder = std::string(1, '\\') + folder;
  outputName_ =
      AppendDirTail(folder) + (slash == std::string::npos ? name : name.substr(slash + 1));
}

std::string TZipCommon::TempFolder() {
  if (!tempDir_.empty() && LayerIsDirectory(tempDir_))
    return tempDir_;
  tempDir_ = TempPath();
  return tempDir_;
}

void TZipCommon::PlaceTempFile(TStream32 &stream, const std::string &target, int64_t size,
                               bool sameDrive, const std::string &tempName) {
  if (sameDrive) {
    LayerDeleteFile(target);
    LayerMoveFile(tempName, target);
    LayerDeleteFile(tempName);
    return;
  }
  TFileStream32 out(target, fmCreate);
  if (out.Handle == InvalidFileHandle)
    throw tk::EFOpenError(ArcMessage(ecOpenError));
  archiveCounter_ = size;
  stream.SetPosition(0);
  out.CancelFlag = &cancelled_;
  out.ProcessMessages = LayerProcessMessages;
  out.CopyFromStream(stream, size);
}

bool TUnBase::OpenOutputFile(std::unique_ptr<TStream32> &stream, const std::string &outputName) {
  if (encrypted_ && passwordFailed_)
    return true;
  if (outputName.empty())
    return false;
  const std::string folder = tk::ExtractFileDir(outputName);
  if (!folder.empty() && !LayerIsDirectory(folder)) {
    const unsigned previous = LayerQuietErrors();
    ForceDirs(folder);
    LayerRestoreErrors(previous);
  }
  if (LayerIsDirectory(outputName))
    return false; // a folder of that name: nothing may take its place
  // The entry is written beside its target and put in place only once it has passed, so a bad
  // entry never leaves a broken file where a good one was. One exclusive create under a fresh
  // name does what a unique-name call and a create would do in two (tiny files feel each one);
  // a name taken already, by a leftover or by another run, is passed over.
  DiscardOutput();
  const std::string where = AppendDirTail(folder.empty() ? std::string(".") : folder);
  if (tempNumber_ == 0)
    tempNumber_ = uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()) | 1;
  for (int tries = 0; tries < 0x10000; ++tries) {
    char name[16];
    std::snprintf(name, sizeof name, "qeb%08X.tmp", unsigned(tempNumber_++));
    const TFileHandle handle = LayerCreateNew(where + name);
    if (handle != InvalidFileHandle) {
      tempOutput_ = where + name;
      stream = std::make_unique<TFileStream32>(handle);
      return true;
    }
    if (LayerLastError() != feExists)
      break;
  }
  return false;
}

bool TUnBase::CommitOutput() {
  if (tempOutput_.empty())
    return false;
  const std::string &target = outputName_;
  std::string backup;
  const uint32_t attributes = LayerGetAttributes(target);
  if (attributes != faInvalid) {
    if (attributes & faDirectory) {
      DiscardOutput();
      return false;
    }
    // A read-only file from an earlier install must not block a reinstall; a read-only system
    // file is left alone.
    if (attributes & faReadOnly) {
      if (attributes & faSysFile) {
        DiscardOutput();
        return false;
      }
      LayerSetAttributes(target, faNormal);
    }
    // The old file steps aside first and comes back if the new one cannot take its place.
    backup = LayerTempFileName(tk::ExtractFileDir(target), "qeb");
    if (backup.empty() || !LayerDeleteFile(backup) || !LayerMoveFile(target, backup)) {
      if (!backup.empty())
        LayerDeleteFile(backup);
      DiscardOutput();
      return false;
    }
  }
  if (!LayerMoveFile(tempOutput_, target)) {
    if (!backup.empty())
      LayerMoveFile(backup, target);
    DiscardOutput();
    return false;
  }
  tempOutput_.clear();
  if (!backup.empty())
    LayerDeleteFile(backup);
  return true;
}

void TUnBase::DiscardOutput() {
  if (!tempOutput_.empty()) {
    LayerDeleteFile(tempOutput_);
    tempOutput_.clear();
  }
}

TTempNames::TTempNames(uint16_t mode, const std::string &fileName, const std::string &tempFolder)
    : tempFolder_(tempFolder) {
  if (mode == fmCreate) {
    tempName_ = TempFileName(tempFolder);
    targetName_ = fileName;
    temporary_ = true;
    openName_ = tempName_;
  } else {
    openName_ = fileName;
  }
}

TTempFileStream::TTempFileStream(TZipCommon *owner, uint16_t mode, const std::string &fileName,
                                 const std::string &tempFolder)
    : TTempNames(mode, fileName, tempFolder), TFileStream32(openName_, mode), owner_(owner),
      mode_(mode) {}

TTempFileStream::~TTempFileStream() {
  if (temporary_ && mode_ != 0 && !targetName_.empty()) {
    try {
      const bool sameDrive =
          tempFolder_.find(':') != std::string::npos &&
          targetName_.find(':') != std::string::npos &&
          tk::UpperCase(tempFolder_.substr(0, 1)) == tk::UpperCase(targetName_.substr(0, 1));
      if (sameDrive && Handle != InvalidFileHandle && LayerClose(Handle))
        Handle = InvalidFileHandle;
      if (owner_)
        owner_->PlaceTempFile(*this, targetName_, Handle != InvalidFileHandle ? GetSize() : 0,
                              sameDrive, tempName_);
    } catch (...) {
      // A destructor must not raise: the failure is reported and the temporary file removed.
      if (owner_ && LayerLastError() == feDiskFull)
        owner_->ReportError(owner_->GetArchiveFile(), "", "0", ecDiskFull);
    }
    if (Handle != InvalidFileHandle && LayerClose(Handle))
      Handle = InvalidFileHandle;
    LayerDeleteFile(tempName_);
  }
}

int32_t TTempFileStream::Read(void *buffer, int32_t count) {
  int32_t n = THandleStream32::Read(buffer, count);
  if (owner_)
    owner_->archiveCounter_ -= count;
  return n;
}

int64_t TTempFileStream::CopyBlocks(TStream32 &source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.GetSize();
  }
  const int64_t asked = count;
  if (count <= 0)
    return asked;
  const int32_t block = int32_t(std::min<int64_t>(count, 100000));
  std::vector<uint8_t> buffer(static_cast<size_t>(block));
  while (count > 0 && !(CancelFlag && *CancelFlag)) {
    const int32_t n = int32_t(std::min<int64_t>(block, count));
    LayerProcessMessages();
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return asked;
}

std::string EntryFolder(const std::string &name) {
  if (name.size() == 3 && name.find(':') != std::string::npos)
    return name;
  const size_t p = name.find_last_of("/:\\");
  if (p == std::string::npos)
    return std::string();
  if (name[p] == ':')
    return name.substr(0, p + 1);
  if (p == 2 && name[1] == ':')
    return name.substr(0, 3);
  return name.substr(0, p);
}

bool EntrySelected(const std::string &name, tk::TStringList &fileSpec, bool recurseDirs) {
  if (name.empty())
    return false;
  const std::string entryDir = AppendDirTail(EntryFolder(name));
  for (int i = 0; i < fileSpec.Count(); ++i) {
    std::string item = fileSpec.Strings(i);
    if (item.empty())
      continue;
    if (tk::SameText(item, name))
      return true;
    std::string text = name;
    const std::string specDir = AppendDirTail(EntryFolder(item));
    if (!recurseDirs) {
      if (!tk::SameText(entryDir, specDir))
        continue;
    } else if (specDir.empty()) {
      const size_t slash = name.find_last_of("\\:/");
      text = slash == std::string::npos ? name : name.substr(slash + 1);
    }
    if (MatchesMask(text, item))
      return true;
    if (text.find('.') == std::string::npos)
      text += '.';
    if (item.find('.') == std::string::npos) {
      item += '.';
      fileSpec.SetString(i, item);
    }
    if (MatchesMask(text, item))
      return true;
  }
  return false;
}

bool IsSafeStoredName(const std::string &name) {
  std::string rest = name;
  if (rest.size() >= 2 && rest[1] == ':' &&
      ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z')))
    rest.erase(0, 2);
  if (!rest.empty() && rest[0] == '\\')
    rest.erase(0, 1);
  // What is left must stay below the target folder: no second root, drive or stream.
  if (!rest.empty() && rest[0] == '\\')
    return false;
  if (rest.find(':') != std::string::npos)
    return false;
  static const char *const devices[] = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1",   "COM2",    "COM3",  "COM4", "COM5",
      "COM6", "COM7", "COM8", "COM9", "LPT1",   "LPT2",    "LPT3",  "LPT4", "LPT5",
      "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$", "CONOUT$", "CLOCK$"};
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos)
      end = rest.size();
    const std::string part = rest.substr(start, end - start);
    // The system drops trailing dots and blanks, so ". ." or "..." would name a parent too.
    if (!part.empty() && part != "." && part.find_first_not_of(". ") == std::string::npos)
      return false;
    std::string base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ')
      base.pop_back();
    base = tk::UpperCase(base);
    for (const char *device : devices)
      if (base == device)
        return false;
    // The system also takes COM and LPT with a superscript digit (code page 1252) as devices.
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
        (uint8_t(base[3]) == 0xB9 || uint8_t(base[3]) == 0xB2 || uint8_t(base[3]) == 0xB3))
      return false;
    start = end + 1;
  }
  return true;
}

std::string TempFileName(const std::string &folder) {
  std::string where = (!folder.empty() && LayerIsDirectory(folder)) ? folder : TempPath();
  if (!where.empty() && !LayerIsDirectory(where))
    ForceDirs(where);
  return LayerTempFileName(where, "qeb");
}

} // namespace arc
