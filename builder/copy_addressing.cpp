#include "builder/copy_addressing.h"

#include <limits>

namespace builder {

namespace {

constexpr std::int64_t kSetBaseCost = 3;
constexpr std::int64_t kRelativeSaving = 2;
constexpr std::int64_t kUnreached = std::numeric_limits<std::int64_t>::max() / 4;
// The set point that stands for "base 0 since the start, never set".
constexpr std::uint32_t kFromStart = 0;

std::uint32_t High(const CopyMatch& copy) { return copy.oldPosition >> 16; }

// For one high value h: the best start for a run in which the base is h,
// expressed so that the run's cost up to copy i is
//   absPrefix[i] - 2 × (copies with high h up to i) + 3 + bestTerm.
struct BaseRun {
  std::int64_t bestTerm = kUnreached;
  std::uint32_t setAt = 0;
  std::int64_t seen = 0;
};

}  // namespace

std::vector<CopyAddressing> PlanCopyAddressing(const std::vector<CopyMatch>& copies) {
  const std::size_t n = copies.size();
  // Index i stands for copy i - 1; index 0 for the empty prefix.
  std::vector<std::int64_t> best(n + 1, 0);
  std::vector<std::int64_t> absPrefix(n + 1, 0);
  std::vector<std::uint32_t> runStart(n + 1, 0);
  std::vector<bool> inRun(n + 1, false);
  std::vector<BaseRun> runs(0x10000);
  // Base 0 is in force from the start without a SetBase.
  runs[0].bestTerm = -kSetBaseCost;
  runs[0].setAt = kFromStart;
  for (std::size_t i = 1; i <= n; ++i) {
    const CopyMatch& copy = copies[i - 1];
    const std::int64_t absolute = AbsoluteCopyCost(copy.count);
    absPrefix[i] = absPrefix[i - 1] + absolute;
    BaseRun& run = runs[High(copy)];
    const std::int64_t term = best[i - 1] - absPrefix[i - 1] + kRelativeSaving * run.seen;
    if (term < run.bestTerm) {
      run.bestTerm = term;
      run.setAt = static_cast<std::uint32_t>(i);
    }
    ++run.seen;
    const std::int64_t relative =
        absPrefix[i] - kRelativeSaving * run.seen + kSetBaseCost + run.bestTerm;
    if (relative < best[i - 1] + absolute) {
      best[i] = relative;
      inRun[i] = true;
      runStart[i] = run.setAt;
    } else {
      best[i] = best[i - 1] + absolute;
    }
  }
  std::vector<CopyAddressing> plan(n, CopyAddressing::kAbsolute);
  std::size_t i = n;
  while (i > 0) {
    if (!inRun[i]) {
      --i;
      continue;
    }
    const std::uint32_t high = High(copies[i - 1]);
    const std::size_t start = runStart[i];
    for (std::size_t j = i; j >= (start == kFromStart ? 1 : start) && j > 0; --j) {
      if (High(copies[j - 1]) == high) plan[j - 1] = CopyAddressing::kRelative;
    }
    if (start != kFromStart) plan[start - 1] = CopyAddressing::kSetBase;
    i = start == kFromStart ? 0 : start - 1;
  }
  return plan;
}

}  // namespace builder
