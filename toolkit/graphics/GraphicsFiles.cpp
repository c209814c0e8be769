#include "toolkit/graphics/GraphicsFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "toolkit/core/SysUtils.h"
#include "toolkit/graphics/Pixels.h"

namespace tk::graphics_files {

namespace {

std::string ErrorText(int error) {
  std::string text = std::strerror(error);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

// The file's size, or -1 where it cannot be told (a folder, say); the position goes back to the
// start. The 64-bit calls, so files past 2 GB are measured right too.
int64_t SizeOf(std::FILE *file) {
#ifdef _WIN32
  int64_t size = _fseeki64(file, 0, SEEK_END) == 0 ? _ftelli64(file) : -1;
  _fseeki64(file, 0, SEEK_SET);
#else
  int64_t size = fseeko(file, 0, SEEK_END) == 0 ? ftello(file) : -1;
  fseeko(file, 0, SEEK_SET);
#endif
  return size;
}

} // namespace

std::vector<unsigned char> Read(const std::string &fileName, const std::string &tooLarge) {
  std::FILE *file = std::fopen(fileName.c_str(), "rb");
  if (!file)
    throw EFOpenError(FormatText(texts::OpenFileFailed, {fileName, ErrorText(errno)}));
  std::vector<unsigned char> bytes;
  int64_t size = SizeOf(file);
  if (size > pixels::kMaxFileBytes) {
    std::fclose(file);
    throw EInvalidGraphic(tooLarge);
  }
  if (size > 0)
    bytes.reserve(size_t(size));
  unsigned char buffer[65536];
  size_t got;
  // A file that grows while it is read stops at the limit all the same.
  while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0 &&
         bytes.size() <= size_t(pixels::kMaxFileBytes))
    bytes.insert(bytes.end(), buffer, buffer + got);
  // A folder opens on some systems and only fails to read.
  int error = std::ferror(file) ? (errno ? errno : EIO) : 0;
  std::fclose(file);
  if (error)
    throw EFOpenError(FormatText(texts::OpenFileFailed, {fileName, ErrorText(error)}));
  if (bytes.size() > size_t(pixels::kMaxFileBytes))
    throw EInvalidGraphic(tooLarge);
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
