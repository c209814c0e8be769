#include "toolkit/graphics/GraphicsFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "toolkit/core/SysUtils.h"

namespace tk::graphics_files {

namespace {

std::string ErrorText(int error) {
  std::string text = std::strerror(error);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

} // namespace

std::vector<unsigned char> Read(const std::string &fileName) {
  std::FILE *file = std::fopen(fileName.c_str(), "rb");
  if (!file)
    throw EFOpenError(FormatText(texts::OpenFileFailed, {fileName, ErrorText(errno)}));
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  // A folder opens on some systems and only fails to read.
  int error = std::ferror(file) ? (errno ? errno : EIO) : 0;
  std::fclose(file);
  if (error)
    throw EFOpenError(FormatText(texts::OpenFileFailed, {fileName, ErrorText(error)}));
  return bytes;
}

void Write(const std::string &fileName, const void *data, size_t size) {
  std::FILE *file = std::fopen(fileName.c_str(), "wb");
  if (!file)
    throw EFCreateError(FormatText(texts::CreateFileFailed, {fileName, ErrorText(errno)}));
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  int error = written ? 0 : (errno ? errno : EIO);
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno ? errno : EIO;
  }
  if (!written)
    throw EFCreateError(FormatText(texts::CreateFileFailed, {fileName, ErrorText(error)}));
}

} // namespace tk::graphics_files
