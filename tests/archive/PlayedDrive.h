// Drives for the disk tests: a drive letter over a folder of the test, playing a fixed,
// removable or CD-ROM disk with a label and a serial, and answers for the retry box. Natively
// through the volume stand-ins; under Wine as real drives of Wine's mount manager.
#pragma once

#include "archive/Volume.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include "support/TestEnvironment.h"
#include <windows.h>
#include <winioctl.h>
#else
#include <unistd.h>
#endif

namespace drivetest {

namespace fs = std::filesystem;
using namespace arc;

inline unsigned long ProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

inline void WriteText(const fs::path &file, const std::string &text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

#ifdef _WIN32
// Wine's mount manager defines a drive letter over a Unix folder with a drive type, as its
// configuration tool does; the label and serial come from files in the folder's root.
struct TUnixDriveRequest {
  ULONG Size, Type, FileSystemType;
  DWORD Serial;
  ULONGLONG UnixDevice;
  WCHAR Letter;
  USHORT MountPointOffset, DeviceOffset, LabelOffset;
};

inline bool DefineUnixDrive(char letter, const std::string &unixFolder, UINT type) {
  HANDLE manager =
      CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE)
    return false;
  std::vector<char> request(sizeof(TUnixDriveRequest) + unixFolder.size() + 1);
  auto *drive = reinterpret_cast<TUnixDriveRequest *>(request.data());
  drive->Size = static_cast<ULONG>(request.size());
  drive->Type = type;
  drive->Letter = static_cast<WCHAR>(letter | 0x20);
  if (!unixFolder.empty()) {
    drive->MountPointOffset = sizeof(TUnixDriveRequest);
    unixFolder.copy(request.data() + sizeof(TUnixDriveRequest), unixFolder.size());
  }
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(
      manager, CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS),
      request.data(), static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  return ok != FALSE;
}
#endif

// A drive letter over a folder of the test, playing a disk of a given type: natively through
// the volume stand-ins' mapping, under Wine as a real drive of Wine's mount manager.
class PlayedDrive {
public:
  PlayedDrive() {
    static int serial = 0;
    unix_ = "/tmp/lumagrove-disk-" + std::to_string(std::random_device()()) + "-" +
            std::to_string(ProcessId()) + "-" + std::to_string(++serial);
#ifdef _WIN32
    folder_ = "Z:" + unix_;
    for (char &c : folder_)
      c = c == '/' ? '\\' : c;
    // Test programs running side by side share Wine's drives: a named mutex claims a letter.
    DWORD used = GetLogicalDrives();
    for (char c = 'M'; c < 'Y' && !letter_; ++c) {
      if (used & (1u << (c - 'A')))
        continue;
      std::string name = std::string("Lumagrove played drive ") + c;
      HANDLE claim = CreateMutexA(nullptr, FALSE, name.c_str());
      if (claim && GetLastError() != ERROR_ALREADY_EXISTS) {
        claim_ = claim;
        letter_ = c;
      } else if (claim) {
        CloseHandle(claim);
      }
    }
#else
    folder_ = unix_;
    letter_ = 'Q';
#endif
  }
  ~PlayedDrive() {
    Eject();
#ifdef _WIN32
    if (claim_)
      CloseHandle(claim_);
#endif
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  PlayedDrive(const PlayedDrive &) = delete;
  PlayedDrive &operator=(const PlayedDrive &) = delete;

  // Puts the drive in place (the folder itself only when Present).
  bool Insert(uint8_t type, bool present = true, bool writeProtected = false) {
    if (present)
      fs::create_directories(folder_);
    type_ = type;
#ifdef _WIN32
    if (writeProtected || !letter_)
      return false;
    inserted_ = DefineUnixDrive(letter_, unix_, type);
    return inserted_;
#else
    VolumeMapDrive(letter_, folder_, type, writeProtected);
    inserted_ = true;
    return true;
#endif
  }
  void Eject() {
    if (!inserted_)
      return;
#ifdef _WIN32
    DefineUnixDrive(letter_, "", DRIVE_NO_ROOT_DIR);
#else
    VolumeMapDrive(letter_, "");
#endif
    inserted_ = false;
  }
  // A new disk in the drive: Wine's mount manager reads label and serial when the drive is
  // defined, so the drive is defined again over them.
  void Label(const std::string &label, const std::string &serial = "") {
    WriteText(fs::path(folder_) / ".windows-label", label + "\n");
    if (!serial.empty())
      WriteText(fs::path(folder_) / ".windows-serial", serial + "\n");
#ifdef _WIN32
    if (inserted_)
      DefineUnixDrive(letter_, unix_, type_);
#endif
  }
  void MakePresent() { fs::create_directories(folder_); }
  char Letter() const { return letter_; }
  std::string Drive() const { return std::string(1, letter_) + ":"; }
  std::string Archive() const { return Drive() + "\\sets\\backup.zip"; }
  const std::string &Folder() const { return folder_; }

private:
  std::string unix_, folder_;
  char letter_ = 0;
  uint8_t type_ = 3;
  bool inserted_ = false;
#ifdef _WIN32
  HANDLE claim_ = nullptr;
#endif
};

#define INSERT_OR_SKIP(drive, ...)                                                                 \
  if (!(drive).Insert(__VA_ARGS__))                                                                \
  GTEST_SKIP() << "Wine's mount manager defines no drive letter here"

// Answers the retry box: Retry for each true in the script, then Cancel; keeps the texts.
class RetryBox {
public:
  explicit RetryBox(std::vector<bool> answers, std::function<void()> onRetry = {})
      : answers_(std::move(answers)), onRetry_(std::move(onRetry)) {
#ifdef _WIN32
    // The seam's scripted prompts answer in turn; onRetry runs through a prompts door of
    // our own that passes on to them.
    for (bool retry : answers_)
      testenv::Prompts().Expect("is not accessible", retry ? IDRETRY : IDCANCEL);
    testenv::Prompts().Expect("is not accessible", IDCANCEL);
#else
    VolumeSetRetryAnswer([this](const std::string &text) {
      texts_.push_back(text);
      bool retry = texts_.size() <= answers_.size() && answers_[texts_.size() - 1];
      if (retry && onRetry_)
        onRetry_();
      return retry;
    });
#endif
  }
  ~RetryBox() {
#ifndef _WIN32
    VolumeSetRetryAnswer(nullptr);
#endif
  }
  std::vector<std::string> Texts() const {
#ifdef _WIN32
    std::vector<std::string> texts;
    for (const auto &seen : testenv::Prompts().Seen())
      texts.push_back(seen.text);
    return texts;
#else
    return texts_;
#endif
  }

private:
  std::vector<bool> answers_;
  std::function<void()> onRetry_;
  std::vector<std::string> texts_;
};

} // namespace drivetest
