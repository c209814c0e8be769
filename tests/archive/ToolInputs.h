// Inputs that the native tests make themselves with the real tools (zip, 7-Zip, gzip, Python):
// one folder per test process, since CTest runs several processes of one test program at once,
// removed when the process ends.
#pragma once

#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <unistd.h>

// Runs "python3 Script Folder Args" once per process and Stem, and returns the folder.
inline std::string ProcessInputDir(const std::string &stem, const std::string &script,
                                   const std::string &args = std::string()) {
  struct Folder {
    std::string dir;
    ~Folder() {
      std::error_code ignored;
      if (!dir.empty())
        std::filesystem::remove_all(dir, ignored);
    }
  };
  static std::map<std::string, Folder> made;
  Folder &folder = made[stem];
  if (folder.dir.empty()) {
    folder.dir = testing::TempDir() + "lumagrove_" + stem + "_" + std::to_string(getpid());
    const std::string command =
        "python3 " + script + " " + folder.dir + (args.empty() ? "" : " " + args);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }
  return folder.dir;
}
#endif
