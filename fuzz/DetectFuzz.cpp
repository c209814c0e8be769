// Fuzz target of archive detection. Input: a whole file, as detection sees it. Detection must
// stay inside the file and, for a real archive, leave an archive offset inside it; otherwise the
// target aborts.
#include "archive/Detect.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class FuzzStream : public arc::TStream32 {
public:
  FuzzStream(const uint8_t *data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}
  int32_t Read(void *buffer, int32_t count) override {
    if (count < 0 || pos_ < 0 || pos_ >= size_)
      Fail("read outside the file");
    int64_t n = size_ - pos_;
    if (n > count)
      n = count;
    std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
    pos_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void *, int32_t) override { return -1; }
  int64_t Seek(int64_t offset, int origin) override {
    const int64_t target = (origin == arc::soFromBeginning ? 0
                            : origin == arc::soFromCurrent ? pos_
                                                           : size_) +
                           offset;
    if (target < 0 || target > size_)
      Fail("seek outside the file");
    pos_ = target;
    return pos_;
  }
  static void Fail(const char *what) {
    std::fprintf(stderr, "DetectFuzz: %s\n", what);
    std::abort();
  }

private:
  const uint8_t *data_;
  int64_t size_;
  int64_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzStream stream(data, size);
  arc::TArchiveInfo info;
  arc::THeaderCipher cipher;
  const arc::TArcType type = arc::GetArcType(stream, "fuzz.exe", info, cipher);
  if (arc::IsRealArchive(type) &&
      (info.ArchiveOffset < 0 || info.ArchiveOffset > static_cast<int64_t>(size)))
    FuzzStream::Fail("archive offset outside the file");
  arc::TArchiveInfo again;
  const int64_t offset = arc::FindEndOfCentralDir(stream, again, cipher);
  if (offset < -1 || offset > static_cast<int64_t>(size))
    FuzzStream::Fail("central directory outside the file");
  return 0;
}
