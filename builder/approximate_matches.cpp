#include "builder/approximate_matches.h"

#include <cstring>

namespace builder {

namespace {

// A new match must beat the stretch being followed by more than this many
// bytes to start a stretch of its own: fewer do not pay for the operation.
constexpr std::int64_t kBetterBy = 8;

// Bytes at which `a` and `b` first differ, at most `limit`.
std::uint32_t CommonPrefix(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t limit) {
  std::uint32_t length = 0;
  while (length + 8 <= limit && std::memcmp(a + length, b + length, 8) == 0) length += 8;
  while (length < limit && a[length] == b[length]) ++length;
  return length;
}

class Scanner {
 public:
  Scanner(const std::uint8_t* oldBytes, std::uint32_t oldSize, const std::int32_t* order,
          const std::uint8_t* newBytes, std::uint32_t newSize)
      : old_(oldBytes), oldSize_(oldSize), order_(order), new_(newBytes), newSize_(newSize) {}

  std::vector<CopyMatch> Run() {
    std::uint32_t scan = 0;
    std::uint32_t length = 0;
    std::uint32_t position = 0;
    while (scan < newSize_) {
      // Matches in [scan, covered) at the followed offset.
      std::int64_t followed = 0;
      scan += length;
      std::uint32_t covered = scan;
      for (; scan < newSize_; ++scan) {
        length = Longest(scan, &position);
        for (; covered < scan + length; ++covered) followed += AgreesAtOffset(covered);
        if ((length == followed && length != 0) || length > followed + kBetterBy) break;
        if (scan < covered) followed -= AgreesAtOffset(scan);
      }
      if (length != followed || scan == newSize_) Close(scan, position);
    }
    return std::move(matches_);
  }

 private:
  bool AgreesAtOffset(std::uint32_t at) const {
    const std::int64_t from = static_cast<std::int64_t>(at) + lastOffset_;
    return from >= 0 && from < oldSize_ && old_[from] == new_[at];
  }

  // The longest exact match of the new file from `at` in the old file, by
  // binary search of the suffix array. The common prefixes with both ends
  // of the range are kept, so that each comparison starts past the bytes
  // that both ends already share with the key.
  std::uint32_t Longest(std::uint32_t at, std::uint32_t* position) const {
    const std::uint8_t* key = new_ + at;
    const std::uint32_t keySize = newSize_ - at;
    if (oldSize_ == 0) return 0;
    std::uint32_t lo = 0;
    std::uint32_t hi = oldSize_ - 1;
    std::uint32_t lcpLo = Prefix(lo, key, keySize, 0);
    std::uint32_t lcpHi = Prefix(hi, key, keySize, 0);
    while (hi - lo > 1) {
      const std::uint32_t mid = lo + (hi - lo) / 2;
      const std::uint32_t start = lcpLo < lcpHi ? lcpLo : lcpHi;
      const std::uint32_t lcp = Prefix(mid, key, keySize, start);
      const std::uint32_t suffix = static_cast<std::uint32_t>(order_[mid]);
      const bool suffixBelow =
          lcp < keySize && (suffix + lcp == oldSize_ || old_[suffix + lcp] < key[lcp]);
      if (suffixBelow) {
        lo = mid;
        lcpLo = lcp;
      } else {
        hi = mid;
        lcpHi = lcp;
      }
    }
    if (lcpLo >= lcpHi) {
      *position = static_cast<std::uint32_t>(order_[lo]);
      return lcpLo;
    }
    *position = static_cast<std::uint32_t>(order_[hi]);
    return lcpHi;
  }

  // The common prefix of the key and suffix `rank`, known to be at least
  // `known`.
  std::uint32_t Prefix(std::uint32_t rank, const std::uint8_t* key, std::uint32_t keySize,
                       std::uint32_t known) const {
    const std::uint32_t suffix = static_cast<std::uint32_t>(order_[rank]);
    const std::uint32_t available = oldSize_ - suffix < keySize ? oldSize_ - suffix : keySize;
    return known + CommonPrefix(old_ + suffix + known, key + known, available - known);
  }

  // Ends the stretch being followed where the match at `scan` (from old
  // `position`) begins, and starts following that match.
  void Close(std::uint32_t scan, std::uint32_t position) {
    std::uint32_t forward = 0;
    {
      std::int64_t agreeing = 0;
      std::int64_t best = 0;
      for (std::uint32_t i = 0; lastScan_ + i < scan && lastPosition_ + i < oldSize_;) {
        agreeing += old_[lastPosition_ + i] == new_[lastScan_ + i];
        ++i;
        if (agreeing * 2 - i > best * 2 - forward) {
          best = agreeing;
          forward = i;
        }
      }
    }
    std::uint32_t backward = 0;
    if (scan < newSize_) {
      std::int64_t agreeing = 0;
      std::int64_t best = 0;
      for (std::uint32_t i = 1; scan >= lastScan_ + i && position >= i; ++i) {
        agreeing += old_[position - i] == new_[scan - i];
        if (agreeing * 2 - i > best * 2 - backward) {
          best = agreeing;
          backward = i;
        }
      }
    }
    if (lastScan_ + forward > scan - backward) {
      const std::uint32_t overlap = lastScan_ + forward - (scan - backward);
      std::int64_t balance = 0;
      std::int64_t best = 0;
      std::uint32_t toForward = 0;
      for (std::uint32_t i = 0; i < overlap; ++i) {
        balance +=
            new_[lastScan_ + forward - overlap + i] == old_[lastPosition_ + forward - overlap + i];
        balance -= new_[scan - backward + i] == old_[position - backward + i];
        if (balance > best) {
          best = balance;
          toForward = i + 1;
        }
      }
      forward += toForward - overlap;
      backward -= toForward;
    }
    if (forward > 0) matches_.push_back(CopyMatch{lastScan_, lastPosition_, forward});
    lastScan_ = scan - backward;
    lastPosition_ = position - backward;
    lastOffset_ = static_cast<std::int64_t>(position) - scan;
  }

  const std::uint8_t* old_;
  std::uint32_t oldSize_;
  const std::int32_t* order_;
  const std::uint8_t* new_;
  std::uint32_t newSize_;
  std::vector<CopyMatch> matches_;
  std::uint32_t lastScan_ = 0;
  std::uint32_t lastPosition_ = 0;
  std::int64_t lastOffset_ = 0;
};

}  // namespace

std::vector<CopyMatch> FindApproximateMatches(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                                              const std::int32_t* order,
                                              const std::uint8_t* newBytes, std::uint32_t newSize) {
  if (oldSize == 0 || newSize == 0) return {};
  return Scanner(oldBytes, oldSize, order, newBytes, newSize).Run();
}

}  // namespace builder
