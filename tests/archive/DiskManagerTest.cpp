#include "archive/DiskManager.h"
#include "PlayedDrive.h"
#include "archive/FileInfo.h"
#include "archive/Messages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

#ifdef _WIN32
#include "toolkit/forms/Forms.h"
#endif

using namespace arc;
using namespace drivetest;

namespace {

struct Report {
  std::string FileName, ExtendedMsg;
  int32_t ECode;
  std::string VolumeID;
};

// A disk manager that keeps every report it makes.
struct Recorded {
  TDiskManager Manager;
  std::vector<Report> Reports;
  Recorded() {
    Manager.OnErrorReport = [this](const std::string &fileName, const std::string &extended,
                                   int32_t code, const std::string &volume) {
      Reports.push_back({fileName, extended, code, volume});
    };
  }
};

int QebFiles(const fs::path &folder) {
  int count = 0;
  std::error_code ignored;
  for (const auto &entry : fs::directory_iterator(folder, ignored))
    count += entry.path().filename().string().rfind("qeb", 0) == 0;
  return count;
}

} // namespace

TEST(DiskManager, BackupVolumeNumberFromTheLabel) {
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 001"), 1);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 012"), 12);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 0A1"), 0);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("BACKUP 001"), 0);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber(""), 0);
  // The marker twice: the digits after the last one count.
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 001PKBACK# 002"), 2);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 003 PKBACK# 0X"), 0);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("SET PKBACK# 7"), 7);
  // The marker needs its space; nothing or too much after it is no number.
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK#001"), 0);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# "), 0);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 65535"), 65535);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 65536"), 0);
  EXPECT_EQ(TDiskManager::BackupVolumeNumber("PKBACK# 99999999999999999999"), 0);
}

TEST(DiskManager, DriveTypeNamesInTheAnsiCodePage) {
  const char *expected[] = {"Unknown", "None", "Floppy",       "Fixed",       "Network",
                            "CD-ROM",  "RAM",  "3\xBD Floppy", "5\xBC Floppy"};
  for (uint8_t i = 0; i < 9; ++i)
    EXPECT_EQ(TDiskManager::DriveTypeText(i), expected[i]) << int(i);
  EXPECT_EQ(TDiskManager::DriveTypeText(7).size(), 9u); // one byte for the fraction
  EXPECT_EQ(TDiskManager::DriveTypeText(9), "Unknown");
  EXPECT_EQ(TDiskManager::DriveTypeText(255), "Unknown");
}

TEST(DiskManager, DriveOfAName) {
  EXPECT_EQ(TDiskManager::ExtractFileDrive("C:\\sets\\a.zip"), "C:");
  EXPECT_EQ(TDiskManager::ExtractFileDrive("a:"), "a:");
  EXPECT_EQ(TDiskManager::ExtractFileDrive("\\\\server\\share\\sets\\a.zip"), "\\\\server\\share");
  EXPECT_EQ(TDiskManager::ExtractFileDrive("\\\\server\\share"), "\\\\server\\share");
  EXPECT_EQ(TDiskManager::ExtractFileDrive("\\\\server"), "\\\\server");
  EXPECT_EQ(TDiskManager::ExtractFileDrive("sets\\a.zip"), "");
  EXPECT_EQ(TDiskManager::ExtractFileDrive("\\sets\\a.zip"), "");

  // A name without a drive is checked on the current folder's drive.
  Recorded r;
  ASSERT_TRUE(r.Manager.CheckDisk("a.zip"));
  EXPECT_EQ(r.Manager.Path, TDiskManager::ExtractFileDrive(LayerCurrentDir()));
  EXPECT_TRUE(r.Reports.empty());
}

TEST(DiskManager, DosDateTimeOfAnOpenFile) {
  fs::path file = fs::temp_directory_path() / ("lumagrove-dosdate-" + std::to_string(ProcessId()));
  WriteText(file, "dated");
  fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(24 * 400));
  std::string name = file.string();
  TFileHandle handle = LayerOpen(name, fmOpenRead);
  ASSERT_NE(handle, InvalidFileHandle);
  uint32_t written = TDiskManager::FileDosDateTime(handle, 1);
  EXPECT_EQ(written, LayerFileDosDateTimeByName(name));
  EXPECT_NE(written, 0u);
  // Some four hundred days ago: well before now, in a year the DOS calendar holds.
  uint32_t now = LayerNowDosDateTime();
  EXPECT_LT(written, now);
  EXPECT_GE((now >> 25) - (written >> 25), 1u);
  EXPECT_NE(TDiskManager::FileDosDateTime(handle, 0), 0u);
  EXPECT_NE(TDiskManager::FileDosDateTime(handle, 2), 0u);
  EXPECT_EQ(TDiskManager::FileDosDateTime(handle, 3), 0u);
  LayerClose(handle);
  EXPECT_EQ(TDiskManager::FileDosDateTime(InvalidFileHandle, 1), 0u);
  fs::remove(file);
}

TEST(DiskManagerDrive, FixedDriveIsDescribed) {
  PlayedDrive drive;
  INSERT_OR_SKIP(drive, 3);
  drive.Label("DATA DISK", "0BADF00D");
  Recorded r;
  ASSERT_TRUE(r.Manager.CheckDisk(drive.Archive()));
  EXPECT_TRUE(r.Reports.empty());
  EXPECT_EQ(r.Manager.Path, drive.Drive());
  EXPECT_EQ(r.Manager.DriveType, 3);
  EXPECT_EQ(r.Manager.DriveTypeName, "Fixed");
  EXPECT_EQ(r.Manager.FloppyKind, 0);
  EXPECT_EQ(r.Manager.VolumeLabel, "DATA DISK");
  EXPECT_EQ(r.Manager.BackupVolume, 0);
  EXPECT_EQ(r.Manager.SerialNumber, 0x0BADF00Du);
  EXPECT_EQ(r.Manager.SerialText, "0BADF00D");
  EXPECT_FALSE(r.Manager.FileSystemName.empty());
  EXPECT_GT(r.Manager.MaxComponentLength, 0u);
  EXPECT_GT(r.Manager.FreeSpace, 0);
  EXPECT_GE(r.Manager.Size, r.Manager.FreeSpace);
  // The write-protect test cleans up after itself.
  EXPECT_EQ(QebFiles(drive.Folder()), 0);
  EXPECT_TRUE(TDiskManager::DiskInDrive(drive.Letter()));
  EXPECT_FALSE(TDiskManager::IsWriteProtected(drive.Letter()));
  EXPECT_EQ(QebFiles(drive.Folder()), 0);

  // A second check describes the disk now in the drive, not the one before.
  drive.Label("OTHER", "00000001");
  ASSERT_TRUE(r.Manager.CheckDisk(drive.Drive() + "\\x"));
  EXPECT_EQ(r.Manager.VolumeLabel, "OTHER");
  EXPECT_EQ(r.Manager.SerialText, "00000001");
}

TEST(DiskManagerDrive, RemovableAndCdRomDrives) {
  PlayedDrive drive;
  INSERT_OR_SKIP(drive, 2);
  drive.Label("PKBACK# 001", "1234ABCD");
  Recorded r;
  ASSERT_TRUE(r.Manager.CheckDisk(drive.Archive()));
  EXPECT_EQ(r.Manager.DriveType, 2);
  // No floppy-kind service here (it lives on the 9x family only): the kind is unknown.
  EXPECT_EQ(r.Manager.FloppyKind, 0);
  EXPECT_EQ(r.Manager.DriveTypeName, "Unknown");
  EXPECT_EQ(r.Manager.VolumeLabel, "PKBACK# 001");
  EXPECT_EQ(r.Manager.BackupVolume, 1);
  EXPECT_EQ(r.Manager.SerialText, "1234ABCD");

  drive.Eject();
  INSERT_OR_SKIP(drive, 5);
  drive.Label("THEMES CD", "00C0FFEE");
  ASSERT_TRUE(r.Manager.CheckDisk(drive.Archive()));
  EXPECT_EQ(r.Manager.DriveType, 5);
  EXPECT_EQ(r.Manager.DriveTypeName, "CD-ROM");
  EXPECT_EQ(r.Manager.VolumeLabel, "THEMES CD");
  EXPECT_EQ(r.Manager.SerialNumber, 0x00C0FFEEu);
  EXPECT_EQ(r.Manager.SerialText, "00C0FFEE");
  EXPECT_TRUE(r.Reports.empty());
}

TEST(DiskManagerDrive, SpanTypeFromDriveAndLabel) {
  struct Case {
    uint8_t type;
    const char *label;
    TArcType expected;
  } cases[] = {
      {2, "PKBACK# 001", atZipDS}, {2, "pkback# 002", atZipDS}, {2, "PKBACK#", atZipDS},
      {2, "PKBACK#001", atZipMV},  {2, "BACKUP 001", atZipMV},  {2, "", atZipMV},
      {3, "PKBACK# 001", atZipMV}, {5, "PKBACK# 001", atZipMV},
  };
  for (const Case &c : cases) {
    PlayedDrive drive;
    INSERT_OR_SKIP(drive, c.type);
    drive.Label(c.label, "00000042");
    TDiskManager manager;
    TArcType type = atUnknown;
    ASSERT_TRUE(SpanTypeOf(manager, drive.Archive(), type)) << c.label;
    EXPECT_EQ(type, c.expected) << int(c.type) << " \"" << c.label << "\"";
  }
}

TEST(DiskManagerDrive, SpanTypeOfADriveThatCannotBeCheckedIsNotRecognised) {
  PlayedDrive drive;
  INSERT_OR_SKIP(drive, 2, false); // the drive is there, its disk is not
  Recorded r;
  TArcType type = atUnknown;
  EXPECT_FALSE(TDiskManager::DiskInDrive(drive.Letter()));
  EXPECT_FALSE(SpanTypeOf(r.Manager, drive.Archive(), type));
  EXPECT_EQ(type, atUnknown);
  ASSERT_EQ(r.Reports.size(), 1u);
  EXPECT_EQ(r.Reports[0].FileName, drive.Drive());
  EXPECT_EQ(r.Reports[0].ExtendedMsg, "0");
  EXPECT_EQ(r.Reports[0].ECode, ecNotAccessible);
  EXPECT_EQ(r.Reports[0].VolumeID, "0");
}

TEST(DiskManagerDrive, NotReadyHandlerRetriesUntilTheDiskIsIn) {
  PlayedDrive drive;
  INSERT_OR_SKIP(drive, 2, false);
  Recorded r;
  int calls = 0;
  r.Manager.OnDiskNotReady = [&](void *sender, bool &cancel) {
    EXPECT_EQ(sender, &r.Manager);
    EXPECT_TRUE(cancel);
    if (++calls == 2)
      drive.MakePresent(); // the user puts the disk in, then says so
    cancel = false;
  };
  ASSERT_TRUE(r.Manager.CheckDisk(drive.Archive()));
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(r.Reports.empty());

  // Left to cancel, the handler ends the check as the user's.
  PlayedDrive missing;
  INSERT_OR_SKIP(missing, 2, false);
  calls = 0;
  r.Manager.OnDiskNotReady = [&](void *, bool &) { ++calls; };
  EXPECT_FALSE(r.Manager.CheckDisk(missing.Archive()));
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(r.Reports.size(), 1u);
  EXPECT_EQ(r.Reports[0].ECode, ecUserCanceled);
  EXPECT_EQ(r.Reports[0].FileName, missing.Drive());
  EXPECT_EQ(r.Reports[0].ExtendedMsg, "0");
  EXPECT_EQ(r.Reports[0].VolumeID, "0");
}

TEST(DiskManagerDrive, WriteProtectHandlerRetriesUntilTheDiskIsWritable) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine reports a write-protected disk only for a read-only Unix file system, "
                  "which the test cannot mount; the write-protect loop runs natively";
#else
  PlayedDrive drive;
  drive.Insert(2, true, true);
  EXPECT_TRUE(TDiskManager::IsWriteProtected(drive.Letter()));

  Recorded r;
  EXPECT_FALSE(r.Manager.CheckDisk(drive.Archive()));
  ASSERT_EQ(r.Reports.size(), 1u);
  EXPECT_EQ(r.Reports[0].ECode, ecWriteProtected);
  EXPECT_EQ(r.Reports[0].FileName, drive.Drive());

  r.Reports.clear();
  int calls = 0;
  r.Manager.OnWriteProtect = [&](void *sender, bool &cancel) {
    EXPECT_EQ(sender, &r.Manager);
    EXPECT_TRUE(cancel);
    if (++calls == 3)
      drive.Insert(2, true, false); // the tab slid back at the third asking
    cancel = false;
  };
  ASSERT_TRUE(r.Manager.CheckDisk(drive.Archive()));
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(r.Reports.empty());
  EXPECT_EQ(QebFiles(drive.Folder()), 0);

  drive.Insert(2, true, true);
  calls = 0;
  r.Manager.OnWriteProtect = [&](void *, bool &) { ++calls; };
  EXPECT_FALSE(r.Manager.CheckDisk(drive.Archive()));
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(r.Reports.size(), 1u);
  EXPECT_EQ(r.Reports[0].ECode, ecUserCanceled);
  EXPECT_EQ(r.Reports[0].VolumeID, "0");
#endif
}

TEST(DiskManagerDrive, UnreadableShareAsksToRetryThenReports) {
  Recorded r;
  int handlerCalls = 0;
  r.Manager.OnDiskNotReady = [&](void *, bool &) { ++handlerCalls; };
  r.Manager.OnWriteProtect = [&](void *, bool &) { ++handlerCalls; };
  const std::string share = "\\\\nosuchserver-lumagrove\\themes";
  std::vector<std::string> texts;
  {
    RetryBox box({true});
    EXPECT_FALSE(r.Manager.CheckDisk(share + "\\sets\\a.zip"));
    texts = box.Texts();
  }
  // A share is never tested for a disk in the drive or for write protection.
  EXPECT_EQ(handlerCalls, 0);
  ASSERT_EQ(texts.size(), 2u); // Retry, then Cancel
  const std::string start = "\\\\NOSUCHSERVER-LUMAGROVE\\THEMES\\is not accessible\r\n\r\n";
  for (const std::string &text : texts) {
    EXPECT_EQ(text.substr(0, start.size()), start);
    EXPECT_GT(text.size(), start.size()) << "the system's wording follows";
  }
  ASSERT_EQ(r.Reports.size(), 1u);
  EXPECT_EQ(r.Reports[0].FileName, share);
  EXPECT_EQ(r.Reports[0].ExtendedMsg, "0");
  EXPECT_EQ(r.Reports[0].ECode, ecNotAccessible);
  EXPECT_EQ(r.Reports[0].VolumeID, "0");
#ifdef _WIN32
  const auto &seen = testenv::Prompts().Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].flags, UINT(MB_RETRYCANCEL | MB_ICONERROR));
  EXPECT_EQ(seen[0].caption, tk::Application ? tk::Application->Title() : std::string());
#endif
}

TEST(DiskManagerDrive, ShareSkipsPresenceProtectionAndSpace) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine serves no network shares to reach by a UNC name";
#else
  // Natively "\\tmp\<folder>" is the POSIX name "//tmp/<folder>", a share of sorts.
  PlayedDrive drive;
  drive.MakePresent();
  drive.Label("SHARED", "0000BEEF");
  const std::string name = drive.Folder().substr(5); // after "/tmp/"
  Recorded r;
  int handlerCalls = 0;
  r.Manager.OnDiskNotReady = [&](void *, bool &) { ++handlerCalls; };
  r.Manager.OnWriteProtect = [&](void *, bool &) { ++handlerCalls; };
  ASSERT_TRUE(r.Manager.CheckDisk("\\\\tmp\\" + name + "\\sets\\a.zip"));
  EXPECT_EQ(handlerCalls, 0);
  EXPECT_EQ(r.Manager.Path, "\\\\tmp\\" + name);
  EXPECT_EQ(r.Manager.DriveType, 4);
  EXPECT_EQ(r.Manager.DriveTypeName, "Network");
  EXPECT_EQ(r.Manager.VolumeLabel, "SHARED");
  EXPECT_EQ(r.Manager.SerialText, "0000BEEF");
  EXPECT_EQ(r.Manager.FreeSpace, 0);
  EXPECT_EQ(r.Manager.Size, 0);
  EXPECT_EQ(QebFiles(drive.Folder()), 0); // no write-protect test was made there

  // A share that comes up while the box is shown is found on Retry.
  PlayedDrive later;
  const std::string laterName = later.Folder().substr(5);
  RetryBox box({true}, [&] { later.MakePresent(); });
  ASSERT_TRUE(r.Manager.CheckDisk("\\\\tmp\\" + laterName + "\\a.zip"));
  EXPECT_EQ(box.Texts().size(), 1u);
  EXPECT_TRUE(r.Reports.empty());
#endif
}

TEST(DiskManagerDrive, ExceptionInAHandlerEndsTheCheckQuietly) {
  PlayedDrive drive;
  INSERT_OR_SKIP(drive, 2, false);
  Recorded r;
  r.Manager.OnDiskNotReady = [](void *, bool &) { throw std::runtime_error("drive door"); };
  EXPECT_FALSE(r.Manager.CheckDisk(drive.Archive()));
  EXPECT_TRUE(r.Reports.empty());
}

TEST(DiskManagerDrive, DriveC) {
  Recorded r;
#ifdef _WIN32
  // Wine's mount manager reads a drive's label once, when it starts, so the test cannot give
  // C: a label of its own; it checks the label and serial the system reports for the drive.
  char label[MAX_PATH + 1] = {};
  DWORD serial = 0;
  ASSERT_TRUE(
      GetVolumeInformationA("C:\\", label, sizeof label, &serial, nullptr, nullptr, nullptr, 0));
  ASSERT_TRUE(r.Manager.CheckDisk("c:\\windows\\themes.zip"));
  EXPECT_EQ(r.Manager.Path, "c:");
  EXPECT_EQ(r.Manager.VolumeLabel, label);
  EXPECT_EQ(r.Manager.SerialNumber, serial);
  EXPECT_NE(r.Manager.SerialNumber, 0u);
  EXPECT_EQ(r.Manager.FileSystemName, "NTFS");
#else
  // Natively a letter that names no mapped folder is the file system's root, a fixed disk.
  ASSERT_TRUE(r.Manager.CheckDisk("c:\\windows\\themes.zip"));
  EXPECT_EQ(r.Manager.Path, "c:");
  EXPECT_EQ(r.Manager.VolumeLabel, "");
#endif
  EXPECT_EQ(r.Manager.DriveType, 3);
  EXPECT_EQ(r.Manager.DriveTypeName, "Fixed");
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(r.Manager.SerialNumber));
  EXPECT_EQ(r.Manager.SerialText, hex);
  EXPECT_GT(r.Manager.Size, 0);
  EXPECT_TRUE(r.Reports.empty());
  EXPECT_TRUE(TDiskManager::DiskInDrive('C'));
}
