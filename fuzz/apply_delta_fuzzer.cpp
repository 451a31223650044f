// The delta interpreter over memory streams. Input: a mode byte (bit 0: an
// old file, bit 1: an output, bit 2: an extended package, whose codes 11-13
// are AddDiffs), the declared new size (3 bytes, of which the low 20 count),
// the old file's length (2 bytes) and bytes, then the package: up to eight
// delta streams one after another.
//
// Whatever the streams, the output never passes the declared size by more
// than one byte, the package stands after each stream exactly where it
// stands when the same stream is consumed as a skipped entry, both count
// the same bytes, and the polls stay in proportion to the package and the
// declared size, however large the counts the streams carry.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "apply/apply_delta.h"
#include "apply/progress_state.h"
#include "fuzz/fuzz_support.h"
#include "package/package_reader.h"
#include "package/upgrade_session.h"
#include "streams/kv_memory_streams.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

using namespace streams;
using namespace package;
using namespace apply;

namespace {

constexpr int kMostStreams = 8;
// A stream polls once per 256 declared bytes, which is its promise; sizes
// up to 1 MiB keep every run quick while still far beyond the old files.
constexpr std::uint32_t kDeclaredMask = 0xFFFFF;

struct StreamEnd {
  std::uint32_t position;
  std::uint32_t bytesDone;
};

// Runs the streams of `package` one after another, each with a fresh
// output when `withOutput`, and tells where each ended.
std::vector<StreamEnd> RunStreams(UpgradeSession& session, const std::vector<std::uint8_t>& package,
                                  const std::vector<std::uint8_t>* old, bool withOutput,
                                  std::uint32_t declared) {
  session.package = std::make_unique<TKVFlatRamStream>(package.data(),
                                                       static_cast<std::uint32_t>(package.size()));
  session.bytesDone = 1;
  ResetProgressState();
  std::unique_ptr<TKVFlatRamStream> oldFile;
  if (old != nullptr) {
    oldFile =
        std::make_unique<TKVFlatRamStream>(old->data(), static_cast<std::uint32_t>(old->size()));
  }
  std::vector<StreamEnd> ends;
  for (int stream = 0; stream < kMostStreams; ++stream) {
    TKVFlatRamStream output(256, 1u << 16);
    const int result = ApplyDelta(session, oldFile.get(), withOutput ? &output : nullptr, declared);
    Require(result == 0, "only a cancel stops a stream early, and nobody cancels");
    if (withOutput) {
      Require(output.GetSize() <= std::uint64_t{declared} + 1,
              "the output never passes the declared size by more than one byte");
    }
    ends.push_back({session.package->GetPosition(), session.bytesDone});
    if (session.package->GetPosition() >= package.size()) break;
  }
  return ends;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TempFolder scratch;
  static const std::unique_ptr<UpgradeSession> session = OpenEmptySession(scratch);
  FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  const std::uint32_t declared = input.Number(3) & kDeclaredMask;
  const std::vector<std::uint8_t> old = input.Take(input.Number(2));
  const std::vector<std::uint8_t> package = input.Rest();

  ScriptedUser user;
  session->totalBytes = 1000001;
  std::memcpy(session->magic,
              MagicOf((mode & 4) != 0 ? PackageKind::kExtended : PackageKind::kClassic),
              sizeof session->magic);
  const std::vector<StreamEnd> installed =
      RunStreams(*session, package, (mode & 1) != 0 ? &old : nullptr, (mode & 2) != 0, declared);
  const std::uint64_t installedPolls = static_cast<std::uint64_t>(user.pumps);
  const std::uint64_t mostPolls = 5 * std::uint64_t{package.size()} +
                                  installed.size() * (2 * (std::uint64_t{declared} / 256) + 4);
  Require(installedPolls <= mostPolls, "the polls follow the package and the declared size");

  const std::vector<StreamEnd> skipped = RunStreams(*session, package, nullptr, false, declared);
  Require(skipped.size() == installed.size(), "a skipped entry reads as many streams");
  for (std::size_t i = 0; i < installed.size(); ++i) {
    Require(installed[i].position == skipped[i].position,
            "a skipped stream ends where an installed one does");
    Require(installed[i].bytesDone == skipped[i].bytesDone,
            "a skipped stream counts what an installed one counts");
  }
  return 0;
}
