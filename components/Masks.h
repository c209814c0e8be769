// The wildcard masks of the folder search: "*", "?", "[set]" and literal characters, matched
// against a whole file name without regard to the case of ASCII letters. Portable: no Win32
// here, so the matcher also builds natively under the sanitizers.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/SysUtils.h"

class EMaskException : public tk::Exception {
public:
  using Exception::Exception;
  const char *ClassName() const override { return "EMaskException"; }
};

inline constexpr const char *SInvalidMask = "'%s' is an invalid mask at (%d)";

// A mask compiled once into a sequence of states, then matched against many names.
class TMask {
public:
  // Raises EMaskException with the mask and the 1-based position of the offending character.
  explicit TMask(const std::string &mask);
  bool Matches(const std::string &name) const;

  // More skip states ("*" runs) than this in one mask are refused.
  static constexpr int MaxSkips = 30;

private:
  enum class Kind : uint8_t { Literal, Any, Set, End };
  struct State {
    bool skip = false; // one or more "*" stand before it
    Kind kind = Kind::Literal;
    bool negate = false;       // for a set: "[!...]"
    unsigned char literal = 0; // upper case
    std::bitset<256> set;      // upper-cased members
  };
  bool Test(const State &state, const std::string &name, size_t pos) const;

  std::vector<State> states_; // always ends with the End state
};

// One compiled mask of a search's FileMask list.
class TMultiMask {
public:
  explicit TMultiMask(const std::string &mask) : Mask(mask) {}
  TMask Mask;
};

// Splits a comma-separated mask list: blanks before and after each piece are cut (those inside
// stay) and empty pieces are left out, so "*.a, ,*.b," gives "*.a" and "*.b".
std::vector<std::string> ParseMasks(const std::string &fileMask);
