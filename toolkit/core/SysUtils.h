// Exceptions, conversions and path helpers of the toolkit's core. Portable: no Win32 here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tk {

// The class library's exception root. Message is the text the default error box shows.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string &Message() const { return message_; }
  const char *what() const noexcept override { return message_.c_str(); }
  virtual const char *ClassName() const { return "Exception"; }

private:
  std::string message_;
};

#define TK_EXCEPTION(Name, Base)                                                                  \
  class Name : public Base {                                                                       \
  public:                                                                                          \
    using Base::Base;                                                                              \
    const char *ClassName() const override { return #Name; }                                       \
  }

TK_EXCEPTION(EConvertError, Exception);
TK_EXCEPTION(ERegistryException, Exception);
TK_EXCEPTION(EStreamError, Exception);
TK_EXCEPTION(EFCreateError, EStreamError);
TK_EXCEPTION(EFOpenError, EStreamError);
TK_EXCEPTION(EIniFileException, Exception);
TK_EXCEPTION(EComponentError, Exception);
TK_EXCEPTION(EListError, Exception);
TK_EXCEPTION(EInvalidOperation, Exception);
TK_EXCEPTION(EOutOfResources, Exception);

// The class library's own message texts, with their %s places.
namespace texts {
inline constexpr const char *CreateKeyFailed = "Failed to create key %s";
inline constexpr const char *InvalidRegType = "Invalid data type for '%s'";
inline constexpr const char *SetDataFailed = "Failed to set data for '%s'";
inline constexpr const char *GetDataFailed = "Failed to get data for '%s'";
inline constexpr const char *InvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char *CreateFileFailed = "Cannot create file \"%s\". %s";
inline constexpr const char *OpenFileFailed = "Cannot open file \"%s\". %s";
inline constexpr const char *ListIndexError = "List index out of bounds (%d)";
inline constexpr const char *DuplicateName = "A component named %s already exists";
inline constexpr const char *IniFileWriteError = "Unable to write to %s";
} // namespace texts

// Replaces each "%s" of a template with the next argument ("%d" takes a number's text too).
std::string FormatText(const char *pattern, std::initializer_list<std::string> args);

// Conversions. StrToInt accepts an optional sign and a "$" (or "0x") hexadecimal prefix, with
// surrounding blanks, and raises EConvertError for anything else or an out-of-range value.
std::string IntToStr(int64_t value);
int StrToInt(const std::string &text);
int64_t StrToInt64(const std::string &text);
int StrToIntDef(const std::string &text, int fallback);
bool TryStrToInt(const std::string &text, int &value);
bool TryStrToInt64(const std::string &text, int64_t &value);
std::string IntToHex(uint64_t value, int digits);

// Text helpers, byte-wise in the ANSI code page: ASCII letters change case.
std::string Trim(const std::string &text);
std::string UpperCase(const std::string &text);
std::string LowerCase(const std::string &text);
bool SameText(const std::string &a, const std::string &b);
std::string StringReplaceAll(const std::string &text, const std::string &from,
                             const std::string &to);

// Path splitting on Windows separators ("\" and "/", and ":" after a drive letter).
std::string IncludeTrailingBackslash(const std::string &path);
std::string ExcludeTrailingBackslash(const std::string &path);
std::string ExtractFilePath(const std::string &fileName);  // with its trailing separator
std::string ExtractFileDir(const std::string &fileName);   // without it
std::string ExtractFileName(const std::string &fileName);
std::string ExtractFileExt(const std::string &fileName);   // with the dot, "" when none
std::string ChangeFileExt(const std::string &fileName, const std::string &ext);

} // namespace tk
