// Between the reader's Windows-style names and POSIX names.
#pragma once

#include <string>

namespace arc {
std::string NativePath(const std::string &path); // "\" becomes "/"
std::string ReaderPath(const std::string &path); // "/" becomes "\"
} // namespace arc
