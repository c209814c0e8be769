// The archive component framework: the root that owns the archive name and its detection, the
// shared run state with the error reports, and the extraction base with its properties, events,
// the Extract driver and the per-entry decisions that do not depend on the archive format.
#pragma once

#include "archive/Detect.h"
#include "archive/DiskManager.h"
#include "archive/Records.h"
#include "archive/Streams.h"
#include "toolkit/core/Classes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace arc {

enum TOverwriteMode : uint8_t { omOverwrite, omSkip };
enum TDateAttribute : uint8_t { daFileDate, daSysDate, daMaxFileDate };
enum TCpuType : uint8_t { cptAuto, cpt80286, cpt80386, cpt80486 };

using TNotifyEvent = std::function<void(tk::TComponent *Sender)>;
using TOnBeginEvent = std::function<void(tk::TComponent *Sender, const std::string &FileName,
                                         int32_t Count, bool &Extract)>;
using TOnEndEvent =
    std::function<void(tk::TComponent *Sender, const std::string &FileName, bool CRC_PASS)>;
using TOnErrorEvent =
    std::function<void(tk::TComponent *Sender, const std::string &FileName,
                       const std::string &ExtendedMsg, const std::string &VolumeID, int32_t ECode)>;
using TOnGetPasswordEvent = std::function<void(tk::TComponent *Sender, const std::string &FileName,
                                               std::string &Password, bool &TryAgain)>;
using TOnNextVolumeEvent =
    std::function<void(tk::TComponent *Sender, std::string &VolumeName, const std::string &VolumeID,
                       bool fExists, bool &Cancel)>;
using TOnDiskEvent = std::function<void(void *Sender, bool &Cancel)>; // first/last disk
using TOnNextDiskEvent =
    std::function<void(void *Sender, const std::string &VolumeName, bool &Cancel)>;
using TOnFileExistsEvent =
    std::function<void(tk::TComponent *Sender, const std::string &FileName,
                       std::string &NewFileName, TOverwriteMode &OverwriteMode)>;
using TOnProgressEvent =
    std::function<void(tk::TComponent *Sender, uint8_t ProgressByFile, uint8_t ProgressByArchive)>;
using TOnCorruptZipHeaderEvent =
    std::function<void(tk::TComponent *Sender, THeaderTypeState HeadFlag, bool &Cancel)>;
using TOnRenameFileEvent = std::function<void(tk::TComponent *Sender, const std::string &FileName,
                                              std::string &NewFileName)>;
using TOnElapsedTimeEvent = std::function<void(tk::TComponent *Sender, float ElapsedTime)>;

// Elapsed time of a run with the pauses (user interaction) left out.
class TqebTimer {
public:
  void Start();
  void Stop();
  void Pause();
  void Resume();
  float Elapsed = 0;

private:
  int64_t start_ = 0, stop_ = 0, pause_ = 0;
};

// Brackets a stretch of user interaction: the timer pauses and resumes on every way out.
class TTimerPause {
public:
  explicit TTimerPause(TqebTimer &timer) : timer_(timer) { timer_.Pause(); }
  ~TTimerPause() { timer_.Resume(); }
  TTimerPause(const TTimerPause &) = delete;
  TTimerPause &operator=(const TTimerPause &) = delete;

private:
  TqebTimer &timer_;
};

// One selected entry of a run: where its local header lies and what the directory said.
struct TEntryRecord {
  uint32_t ExternalAttributes = 0;
  uint16_t Volume = 1;
  int64_t Offset = 0;                               // of the local header, 48-bit
  int64_t CompressedSize = 0, UncompressedSize = 0; // 48-bit, as the directory gives them
};

// The list of the run's selected entries, each with an optional copy of its central header.
class TUnBaseHeaderObj {
public:
  void Init() { Clear(); }
  bool AddHeader(const TEntryRecord &record, const void *block, size_t blockSize);
  const TEntryRecord &GetHeader(int index) const { return records_[size_t(index)]; }
  // The variable block stored with a record; empty when none was given.
  const std::vector<uint8_t> &GetBlock(int index) const { return blocks_[size_t(index)]; }
  int Count() const { return int(records_.size()); }
  void Clear();

private:
  std::vector<TEntryRecord> records_;
  std::vector<std::vector<uint8_t>> blocks_;
};

// The component root: the archive's name and what detection says it is.
class TRegisterOrrelin : public tk::TComponent {
public:
  explicit TRegisterOrrelin(tk::TComponent *owner);
  virtual std::string GetArchiveFile() const { return archiveFile_; }
  // A missing file gives atNA and an empty name; otherwise the type is detected.
  virtual void SetArchiveFile(const std::string &name);
  TArcType GetArcType() const { return info_.ArcType; }
  // The value is ignored: detection runs again on ArchiveFile (EFOpenError when the file cannot
  // be opened).
  virtual void SetArcType(TArcType ignored);

protected:
  std::string archiveFile_;
  TArchiveInfo info_;
  THeaderCipher headerCipher_;
};

// The high 16-bit parts that an extra field gives a header's 32-bit sizes and offset.
struct TExtraHighParts {
  uint16_t Compressed = 0, Uncompressed = 0, Offset = 0;
};

// The run state shared by the reader's operations, with its error reports and output writes.
class TZipCommon : public TRegisterOrrelin {
public:
  explicit TZipCommon(tk::TComponent *owner);
  ~TZipCommon() override;

  bool TranslateOemChar = true;
  TOnElapsedTimeEvent OnElapsedTime;
  TOnErrorEvent OnError;
  TOnProgressEvent OnProgress;

  std::string GetExtractDir() const { return extractDir_; }
  // A relative folder is made full against the current folder at the moment it is set.
  void SetExtractDir(const std::string &dir);
  bool UseStoredDirs = true;

  tk::TStringList &FileSpec() { return fileSpec_; }
  void SetFileSpec(const tk::TStringList &list);
  tk::TStringList &Passwords() { return passwords_; }
  void SetPasswords(const tk::TStringList &list);

  bool Cancelled() const { return cancelled_; }
  // True also reports 25443 (archive name, output name).
  void SetCancelled(bool value);

  // Tells OnError (a set cancel flag turns every code into 25443); never raises by itself.
  virtual void ReportError(const std::string &FileName, const std::string &ExtendedMsg,
                           const std::string &VolumeID, int32_t ECode);
  // Reports, then ends the entry in work with E_RAISE unless the run was cancelled.
  virtual void RaiseError(const std::string &FileName, const std::string &ExtendedMsg,
                          const std::string &VolumeID, int32_t ECode);

  static double DosDateToDateTime(uint32_t dosDate);

  // Reads up to Count bytes (a read failure counts as 0), deciphers them when asked and adds
  // them to the CRC of CrcKind (16 or 32; other kinds none).
  int32_t ReadArchiveBlock(TStream32 &stream, void *buffer, int32_t count, int crcKind,
                           bool decrypt);
  // Deciphers the block in place when asked (zip family), then writes it.
  int32_t WriteDecryptedBlock(TStream32 &stream, void *buffer, bool isData, int32_t count,
                              int crcKind, bool decrypt);
  void DecryptBlock(bool decrypt, void *buffer, int64_t count);
  // Writes one block of entry data and counts its CRC; a short write is reported (25136), a
  // full disk raised (25160).
  int32_t WriteOutput(TStream32 &stream, const void *buffer, bool isData, int32_t count,
                      int crcKind);

  // Sets the output name from a stored name (output-name rules).
  virtual void BuildOutputName(const std::string &storedName);

  // The name of volume Number of the set Name in the numbered-extension naming of its type.
  virtual std::string NumberedVolumeName(const std::string &Name, int32_t Number);

  // The temporary-file facilities of the library.
  std::string TempFolder();
  void SetTempFolder(const std::string &folder) { tempDir_ = folder; }
  // Puts a finished temporary file in place of Target: moved on the same drive, else copied.
  virtual void PlaceTempFile(TStream32 &stream, const std::string &target, int64_t size,
                             bool sameDrive, const std::string &tempName);

  // Run state read by tests and handlers.
  const std::string &OutputName() const { return outputName_; }
  const std::string &StoredName() const { return storedName_; }
  int32_t ProcessedCount() const { return processed_; }

protected:
  // Reads an extra-field area of Length bytes for a local (kind 0) or central (kind 1) header:
  // zip64 values replace the 32-bit fields given (when they hold 0xFFFFFFFF) and give the high
  // parts. Every block is walked within the area; the stream ends up after the area.
  TExtraHighParts ReadExtraFields(TStream32 &stream, uint32_t length, int headerKind,
                                  uint32_t *uncompressed, uint32_t *compressed, uint32_t *offset);
  void ResetRunState();
  void ReportProgress(int64_t fileDone, int64_t fileTotal, int64_t archiveTotal);
  void DefaultProgress();

  std::string extractDir_;
  std::string tempDir_;
  tk::TStringList fileSpec_, passwords_;
  TqebTimer timer_;
  TDiskManager diskManager_;

  int64_t archiveSize_ = 0;
  int64_t archiveCounter_ = 0; // lowered by every block read and every skipped entry
  int64_t archiveDone_ = 0;    // bytes of the run's entries dealt with, for ProgressByArchive
  std::string volumeName_;
  std::string outputName_;
  std::string storedName_;
  int32_t volumeNumber_ = 0; // of the volume open, 1 for the first
  int32_t processed_ = 0;
  int32_t failed_ = 0;
  bool writeFailed_ = false; // a write of the entry in work fell short
  int64_t archiveTotal_ = 0; // the run's uncompressed total, for ProgressByArchive
  bool cancelled_ = false;
  std::string password_;
  bool passwordFailed_ = false;
  bool encrypted_ = false;
  uint32_t newestDate_ = 0;
  uint8_t fileProgress_ = 0, archiveProgress_ = 0;
  std::function<void()> progressCallback_;
  uint8_t outputKind_ = 0;

  friend class TTempFileStream;
};

// The extraction base: the published options, the events, Extract and the per-entry steps.
class TUnBase : public TZipCommon {
public:
  explicit TUnBase(tk::TComponent *owner);
  void SetArchiveFile(const std::string &name) override;

  TCpuType CpuType = cptAuto;
  bool RecurseDirs = true;
  bool ConfirmOverwrites = false;
  bool CreateStoredDirs = false;
  TDateAttribute DateAttribute = daFileDate;
  TOverwriteMode OverwriteMode = omOverwrite;
  int32_t PasswordAttempts = 3;
  bool RestoreFileAttr = true;

  TNotifyEvent OnActivate, OnDeactivate;
  TOnBeginEvent OnBegin;
  TOnEndEvent OnEnd;
  TOnGetPasswordEvent OnGetPassword;
  TOnNextVolumeEvent OnNextVolume;
  TOnDiskEvent OnGetZipFirstDisk, OnGetZipLastDisk;
  TOnNextDiskEvent OnGetZipNextDisk;
  TOnFileExistsEvent OnFileExists;
  TOnCorruptZipHeaderEvent OnCorruptZipHeader;
  TOnRenameFileEvent OnRenameFile;

  // The run: the number of entries accepted; never raises.
  int32_t Extract();
  // Entries of the last run that were selected but failed.
  int32_t FailedCount() const { return failed_; }

protected:
  bool OpenArchive(std::unique_ptr<TStream32> &stream);
  // The run owns the stream from here on: a set read volume by volume replaces it.
  int32_t RunExtraction(std::unique_ptr<TStream32> &stream);
  // The run proper, between OnActivate and OnDeactivate.
  virtual void ExtractEntries(std::unique_ptr<TStream32> &archive) { (void)archive; }
  // Closes Stream and opens the volume after number Index of a set of LastIndex + 1 volumes
  // (the ".z01" naming), as OnNextVolume confirms or renames it. False when the event is
  // missing (25270, then cancelled), refused (25443) or names no file (25235).
  virtual bool OpenNextVolumeStream(std::unique_ptr<TStream32> &Stream, int32_t Index,
                                    int32_t LastIndex);
  // Tests the current password against the 24-byte work buffer (header at 12..23).
  virtual bool CheckPassword(uint8_t work[24]) {
    (void)work;
    return false;
  }
  // Whether the running CRC of CrcKind matches StoredCrc (or its complement); false when
  // cancelled. ReportCrcResult then fires OnEnd, or reports 25151 without it.
  bool CrcMatches(int crcKind, uint32_t storedCrc) const;
  void ReportCrcResult(bool pass);
  bool CheckEntryCrc(int crcKind, uint32_t storedCrc);

  bool BeginEntry(bool isFolder);
  // Sets the date, closes the output (25138 when that fails); attributes come after placing.
  void EndEntry(std::unique_ptr<TStream32> &output, uint32_t dosDate);
  // Gives the placed output its stored attributes (limited to read-only, hidden, system and
  // archive) when RestoreFileAttr asks for it.
  void RestoreAttributes(const std::string &outputName, uint32_t attributes);
  uint32_t FileDateFor(uint32_t dosDate) const;
  void SkipEntryProgress(int64_t size);
  bool AcquirePassword(TStream32 &archive);
  bool IsFileOutput() const { return outputKind_ == 0; }

  // The output of the entry in work: a temporary file beside the output name, put in place
  // only when the entry passed.
  bool OpenOutputFile(std::unique_ptr<TStream32> &stream, const std::string &outputName);
  // Moves the finished temporary file over the output name (clearing a read-only target);
  // false, with the temporary file removed, when that fails.
  bool CommitOutput();
  // Removes the temporary file of a failed entry.
  void DiscardOutput();
  std::string tempOutput_;
  uint32_t tempNumber_ = 0; // the next temporary output's number; 0 until the first is made
};

// The folder part of a name (drive roots keep their separator).
std::string EntryFolder(const std::string &name);
// Whether a name selects by the FileSpec items; an item may get a "." appended.
bool EntrySelected(const std::string &name, tk::TStringList &fileSpec, bool recurseDirs);
// Whether a stored name (local form, "\" separators) may be extracted under the target folder:
// after the leading drive and separator the output-name rules strip, it must be a plain
// relative name without "..", further drives or streams, or device names at any level.
bool IsSafeStoredName(const std::string &name);
// A unique temporary file created in Folder (or the system's temporary folder).
std::string TempFileName(const std::string &folder);

// The names of a temporary-file stream, settled before the file is opened.
struct TTempNames {
  TTempNames(uint16_t mode, const std::string &fileName, const std::string &tempFolder);
  std::string targetName_, tempName_, tempFolder_, openName_;
  bool temporary_ = false;
};

// A file stream that, in temporary mode (created with fmCreate), writes to a temporary file and
// puts it in place of its target when freed.
class TTempFileStream : private TTempNames, public TFileStream32 {
public:
  TTempFileStream(TZipCommon *owner, uint16_t mode, const std::string &fileName,
                  const std::string &tempFolder);
  ~TTempFileStream() override;
  int32_t Read(void *buffer, int32_t count) override;
  virtual int64_t CopyBlocks(TStream32 &source, int64_t count);

  const std::string &TempName() const { return tempName_; }
  const bool *CancelFlag = nullptr;

private:
  TZipCommon *owner_;
  uint16_t mode_;
};

} // namespace arc
