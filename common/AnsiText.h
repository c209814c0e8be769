// Program texts written in UTF-8 in the source (a few carry full-width punctuation), turned into
// the system's ANSI code page at run time: where that code page lacks a character, the
// system's best fit stands in (a full-width colon becomes ":").
#pragma once

#include <windows.h>

#include <string>

inline std::string AnsiText(const std::string &utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  if (n <= 0)
    return utf8;
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string ansi(size_t(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), n, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}
