// Whole-file reading and writing for the picture classes, with the class library's messages.
#pragma once

#include <string>
#include <vector>

namespace tk::graphics_files {

// Raise EFOpenError / EFCreateError. A file larger than pixels::kMaxFileBytes raises
// EInvalidGraphic(tooLarge) before it is read.
std::vector<unsigned char> Read(const std::string &fileName, const std::string &tooLarge);
void Write(const std::string &fileName, const void *data, size_t size);

} // namespace tk::graphics_files
