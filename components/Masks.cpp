#include "components/Masks.h"

namespace {

// Only the ASCII letters fold: other bytes of the ANSI code page compare as they are.
unsigned char Upper(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}

} // namespace

TMask::TMask(const std::string &mask) {
  auto fail = [&mask](size_t index) {
    throw EMaskException(tk::FormatText(SInvalidMask, {mask, std::to_string(index + 1)}));
  };
  bool skip = false;
  int skips = 0;
  auto add = [&](State state, size_t at) {
    state.skip = skip;
    if (skip && ++skips > MaxSkips)
      fail(at);
    skip = false;
    states_.push_back(state);
  };

  size_t i = 0;
  const size_t n = mask.size();
  while (i < n) {
    const size_t at = i;
    State state;
    switch (mask[i]) {
    case '*':
      skip = true;
      ++i;
      continue;
    case '?':
      // Right after a "*" the "?" adds nothing: the skip already consumes any run.
      if (!skip) {
        state.kind = Kind::Any;
        add(state, at);
      }
      ++i;
      continue;
    case '[': {
      state.kind = Kind::Set;
      ++i;
      if (i < n && mask[i] == '!') {
        state.negate = true;
        ++i;
      }
      bool pending = false; // a character that a following "-" may extend into a range
      bool added = false;
      unsigned char last = 0;
      for (;;) {
        if (i >= n)
          fail(i);
        if (mask[i] == ']')
          break;
        if (mask[i] == '-') {
          if (!pending)
            fail(i);
          if (++i >= n)
            fail(i);
          unsigned char high = Upper(mask[i]);
          for (unsigned c = last; c <= high; ++c)
            state.set.set(c);
          pending = false;
        } else {
          last = Upper(mask[i]);
          state.set.set(last);
          pending = added = true;
        }
        ++i;
      }
      if (!added)
        fail(i);
      ++i;
      add(state, at);
      continue;
    }
    default:
      state.kind = Kind::Literal;
      state.literal = Upper(mask[i]);
      add(state, at);
      ++i;
    }
  }
  State end;
  end.kind = Kind::End;
  add(end, n);
}

bool TMask::Test(const State &state, const std::string &name, size_t pos) const {
  if (state.kind == Kind::End)
    return pos == name.size();
  if (pos >= name.size())
    return false;
  switch (state.kind) {
  case Kind::Literal:
    return Upper(name[pos]) == state.literal;
  case Kind::Set:
    return state.set.test(Upper(name[pos])) != state.negate;
  default:
    return true;
  }
}

bool TMask::Matches(const std::string &name) const {
  // On a failed attempt only the latest skip state is moved on. Once the states after it can
  // match from no later start, moving an earlier skip could only start them later still; so
  // one resumption point gives every answer that full backtracking would, without its
  // exponential cost on masks like "*a*a*a*b".
  const size_t len = name.size();
  size_t pos = 0, index = 0;
  bool canResume = false;
  size_t resumePos = 0, resumeState = 0;
  for (;;) {
    bool failed = false;
    for (; index < states_.size(); ++index) {
      const State &state = states_[index];
      if (state.skip) {
        if (state.kind == Kind::End)
          pos = len;
        while (pos < len && !Test(state, name, pos))
          ++pos;
        canResume = pos < len;
        resumePos = pos + 1;
        resumeState = index;
      }
      if (!Test(state, name, pos)) {
        failed = true;
        break;
      }
      ++pos;
    }
    if (!failed)
      return true;
    if (!canResume)
      return false;
    pos = resumePos;
    index = resumeState;
  }
}

std::vector<std::string> ParseMasks(const std::string &fileMask) {
  std::vector<std::string> masks;
  auto take = [&masks](const std::string &piece) {
    size_t first = piece.find_first_not_of(' ');
    if (first != std::string::npos)
      masks.push_back(piece.substr(first, piece.find_last_not_of(' ') - first + 1));
  };
  size_t start = 0;
  for (size_t comma; (comma = fileMask.find(',', start)) != std::string::npos; start = comma + 1)
    take(fileMask.substr(start, comma - start));
  take(fileMask.substr(start));
  return masks;
}
