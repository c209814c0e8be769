// Inflate throughput: our engine against the system zlib's inflate on the same raw deflate data,
// in the same run. Two generated corpora (text-like and binary), each compressed by zlib at levels
// 6 and 9; each engine decodes at least 100 MB of output per case. Prints MB/s, the ratio, and the
// memory one stream of our engine allocates.
#include "archive/Inflate.h"

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kCorpusSize = 8 << 20;
constexpr std::size_t kMinOutput = 100 << 20;

// Words with a skewed frequency, sentences and line breaks: compresses like prose and source.
Bytes TextCorpus() {
  static const char *const kWords[] = {
      "the",   "of",     "and",   "archive", "window", "icon",      "folder",  "package",
      "theme", "cursor", "to",    "a",       "in",     "desktop",   "program", "registry",
      "value", "key",    "shell", "extract", "zip",    "entry",     "stream",  "block",
      "is",    "for",    "with",  "that",    "colour", "wallpaper", "screen",  "saver"};
  std::mt19937 rng(42);
  Bytes out;
  while (out.size() < kCorpusSize) {
    const unsigned words = 5 + rng() % 15;
    for (unsigned i = 0; i < words; i++) {
      const unsigned r = rng() % 1024;
      const char *w = kWords[(r * r) >> 15]; // squared: the first words are the common ones
      out.insert(out.end(), w, w + std::strlen(w));
      if (rng() % 97 == 0) {
        const std::string n = std::to_string(rng() % 100000);
        out.insert(out.end(), n.begin(), n.end());
      }
      out.push_back(i + 1 == words ? '.' : ' ');
    }
    out.push_back(rng() % 4 == 0 ? '\n' : ' ');
  }
  out.resize(kCorpusSize);
  return out;
}

// Records with counters, small integers, pointers and noise: compresses like program data.
Bytes BinaryCorpus() {
  std::mt19937 rng32(7);
  auto rng = [&] { return static_cast<std::uint32_t>(rng32()); };
  Bytes out;
  std::uint32_t counter = 0, pointer = 0x00400000;
  while (out.size() < kCorpusSize) {
    std::uint8_t rec[24];
    const std::uint32_t fields[6] = {counter++,
                                     rng() % 16,
                                     pointer += 4 * (rng() % 64),
                                     rng() % 3 == 0 ? 0u : rng() % 1000,
                                     0xffffffffu,
                                     static_cast<std::uint32_t>(rng())};
    std::memcpy(rec, fields, sizeof rec);
    out.insert(out.end(), rec, rec + (rng() % 8 == 0 ? 24 : 20));
  }
  out.resize(kCorpusSize);
  return out;
}

Bytes Compress(const Bytes &in, int level) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&z, in.size()));
  z.next_in = const_cast<Bytef *>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::size_t g_allocated = 0;
void *CountingAlloc(void *, std::uint32_t items, std::uint32_t size) {
  g_allocated += static_cast<std::size_t>(items) * size;
  return std::calloc(items, size);
}
void CountingFree(void *, void *p) { std::free(p); }

// One whole decode with our engine into `out`; false when the output differs in size.
bool OursOnce(const Bytes &in, Bytes &out) {
  arc::InflateStream z;
  z.zalloc = CountingAlloc;
  z.zfree = CountingFree;
  arc::InflateInit(&z, -15);
  z.next_in = in.data();
  z.avail_in = static_cast<std::uint32_t>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<std::uint32_t>(out.size());
  const int r = arc::Inflate(&z, 0);
  const bool ok = r == arc::InflateStreamEnd && z.total_out == out.size();
  arc::InflateEnd(&z);
  return ok;
}

bool ZlibOnce(const Bytes &in, Bytes &out) {
  z_stream z{};
  inflateInit2(&z, -15);
  z.next_in = const_cast<Bytef *>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int r = inflate(&z, Z_FINISH);
  const bool ok = r == Z_STREAM_END && z.total_out == out.size();
  inflateEnd(&z);
  return ok;
}

template <typename Decode> double MegabytesPerSecond(Decode decode, const Bytes &in, Bytes &out) {
  std::size_t produced = 0;
  const auto start = std::chrono::steady_clock::now();
  while (produced < kMinOutput) {
    if (!decode(in, out)) {
      std::printf("decode failed\n");
      std::exit(1);
    }
    produced += out.size();
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return static_cast<double>(produced) / (1 << 20) / took.count();
}

} // namespace

int main() {
  const struct {
    const char *name;
    Bytes data;
  } corpora[] = {{"text", TextCorpus()}, {"binary", BinaryCorpus()}};
  std::printf("%-8s %5s %8s %12s %12s %7s\n", "corpus", "level", "ratio", "ours MB/s", "zlib MB/s",
              "ours/zlib");
  for (const auto &corpus : corpora)
    for (int level : {6, 9}) {
      const Bytes packed = Compress(corpus.data, level);
      Bytes out(corpus.data.size());
      if (!OursOnce(packed, out) || out != corpus.data) {
        std::printf("%s level %d: our output differs\n", corpus.name, level);
        return 1;
      }
      // Alternate the two engines so that neither gets the warmer caches throughout.
      const double ours = MegabytesPerSecond(OursOnce, packed, out);
      const double zlib = MegabytesPerSecond(ZlibOnce, packed, out);
      const double ours2 = MegabytesPerSecond(OursOnce, packed, out);
      const double zlib2 = MegabytesPerSecond(ZlibOnce, packed, out);
      const double o = std::max(ours, ours2), zl = std::max(zlib, zlib2);
      std::printf("%-8s %5d %7.2f%% %12.1f %12.1f %7.2f\n", corpus.name, level,
                  100.0 * static_cast<double>(packed.size()) /
                      static_cast<double>(corpus.data.size()),
                  o, zl, o / zl);
    }
  g_allocated = 0;
  Bytes small(16);
  Bytes one{0x03, 0x00}; // an empty fixed block
  OursOnce(one, small);
  std::printf("memory per stream (deflate): %zu bytes\n", g_allocated);
  arc::SetDeflate64(true);
  g_allocated = 0;
  OursOnce(one, small);
  std::printf("memory per stream (Deflate64): %zu bytes\n", g_allocated);
  return 0;
}
