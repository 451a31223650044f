#include <zopfli/zopfli.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "builder/thorough_compression.h"

namespace builder {

namespace {

// One pass of zopfli's optimisation: further passes gain a fraction of a
// percent on packages of megabytes for as much time again each.
constexpr int kIterations = 1;

struct FreeZopfliOutput {
  void operator()(unsigned char* bytes) const { std::free(bytes); }
};

}  // namespace

bool CanCompressThoroughly() { return true; }

bool CompressPackageThoroughly(const std::vector<std::uint8_t>& plain,
                               std::vector<std::uint8_t>* container) {
  ZopfliOptions options;
  ZopfliInitOptions(&options);
  options.numiterations = kIterations;
  unsigned char* raw = nullptr;
  std::size_t size = 0;
  ZopfliCompress(&options, ZOPFLI_FORMAT_ZLIB, plain.data(), plain.size(), &raw, &size);
  const std::unique_ptr<unsigned char, FreeZopfliOutput> compressed(raw);
  if (!compressed) return false;
  std::vector<std::uint8_t> out(6 + size);
  const char marker[] = "[KVZ]";
  std::copy(marker, marker + 6, out.begin());
  std::copy(raw, raw + size, out.begin() + 6);
  container->swap(out);
  return true;
}

}  // namespace builder
