#include "builder/match_finder.h"

#include <cstring>

namespace builder {

namespace {

// Bytes per fingerprint: shorter finds more short copies, but a copy must
// save more than its own operation costs (4 to 9 bytes) to be worth it.
constexpr std::uint32_t kBlock = 8;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
// Candidates tried per position, and a copy long enough to stop looking.
constexpr int kChainDepth = 24;
constexpr std::uint32_t kLongEnough = 2048;
// Copies shorter than this are checked against the next position.
constexpr std::uint32_t kLookAheadBelow = 64;
// The offsets (old position minus new position) of the last copies, tried
// at every position: a program's code between two changed addresses, or a
// text between two edits, lies at an offset used just before.
constexpr int kMostRecentOffsets = 16;

std::uint32_t CountWidth(std::uint32_t count) {
  return count <= 0xFF ? 1 : count <= 0xFFFF ? 2 : 4;
}

// Little-endian on every machine, so that the same files give the same
// package wherever the builder runs.
std::uint64_t Fingerprint(const std::uint8_t* bytes) {
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < kBlock; ++i)
    value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
  return value * 0x9E3779B97F4A7C15ull;
}

// One position in `step` of the old file, chained by fingerprint: the chain
// of a fingerprint runs from the highest position down.
class OldFileIndex {
 public:
  OldFileIndex(const std::uint8_t* bytes, std::uint32_t size, bool everyPosition) {
    step_ = everyPosition || size <= (1u << 20) ? 1 : size <= (16u << 20) ? 2 : 4;
    const std::uint32_t positions = size >= kBlock ? (size - kBlock) / step_ + 1 : 0;
    bits_ = 10;
    while (bits_ < 30 && (1u << bits_) < positions / 2) ++bits_;
    heads_.assign(std::size_t{1} << bits_, kNone);
    chain_.assign(positions, kNone);
    for (std::uint32_t slot = 0; slot < positions; ++slot) {
      const std::uint32_t position = slot * step_;
      std::uint32_t& head = heads_[Bucket(bytes + position)];
      chain_[slot] = head;
      head = position;
    }
  }

  std::uint32_t First(const std::uint8_t* block) const { return heads_[Bucket(block)]; }
  std::uint32_t Next(std::uint32_t position) const { return chain_[position / step_]; }

 private:
  std::uint32_t Bucket(const std::uint8_t* block) const {
    return static_cast<std::uint32_t>(Fingerprint(block) >> (64 - bits_));
  }

  std::uint32_t step_ = 1;
  std::uint32_t bits_ = 10;
  std::vector<std::uint32_t> heads_;
  std::vector<std::uint32_t> chain_;
};

struct Candidate {
  CopyMatch copy{0, 0, 0};
  std::int64_t saving = 0;
};

class Finder {
 public:
  Finder(const std::uint8_t* oldBytes, std::uint32_t oldSize, const std::uint8_t* newBytes,
         std::uint32_t newSize, const MatchSettings& settings)
      : old_(oldBytes),
        oldSize_(oldSize),
        new_(newBytes),
        newSize_(newSize),
        index_(oldBytes, oldSize, settings.indexEveryPosition),
        minSaving_(settings.minSaving),
        recentOffsets_(settings.recentOffsets < kMostRecentOffsets ? settings.recentOffsets
                                                                   : kMostRecentOffsets) {}

  std::vector<CopyMatch> Run() {
    std::uint32_t at = 0;
    while (at < newSize_) {
      const Candidate best = Best(at);
      if (best.saving < minSaving_) {
        ++at;
        continue;
      }
      if (best.copy.count < kLookAheadBelow && at + 1 < newSize_ &&
          Best(at + 1).saving > best.saving) {
        ++at;
        continue;
      }
      Take(best.copy);
      at = best.copy.newPosition + best.copy.count;
    }
    return std::move(copies_);
  }

 private:
  void Take(const CopyMatch& copy) {
    copies_.push_back(copy);
    insertStart_ = copy.newPosition + copy.count;
    const std::int64_t offset = static_cast<std::int64_t>(copy.oldPosition) - copy.newPosition;
    int slot = 0;
    while (slot < recentOffsets_ - 1 && offsets_[slot] != offset) ++slot;
    for (; slot > 0; --slot) offsets_[slot] = offsets_[slot - 1];
    offsets_[0] = offset;
    baseHigh_ = copy.oldPosition >> 16;
  }

  // The copy at old position `from` for new position `at`, grown in both
  // directions; backwards only over bytes that would otherwise be inserted.
  CopyMatch Extend(std::uint32_t from, std::uint32_t at) const {
    std::uint32_t forward = 0;
    const std::uint32_t limit = oldSize_ - from < newSize_ - at ? oldSize_ - from : newSize_ - at;
    while (forward + 8 <= limit && std::memcmp(old_ + from + forward, new_ + at + forward, 8) == 0)
      forward += 8;
    while (forward < limit && old_[from + forward] == new_[at + forward]) ++forward;
    std::uint32_t backward = 0;
    while (backward < at - insertStart_ && backward < from &&
           old_[from - backward - 1] == new_[at - backward - 1])
      ++backward;
    return CopyMatch{at - backward, from - backward, forward + backward};
  }

  void Consider(const CopyMatch& copy, Candidate* best) const {
    if (copy.count == 0) return;
    const std::int64_t saving =
        static_cast<std::int64_t>(copy.count) - CopyCost(copy.oldPosition, copy.count, baseHigh_);
    if (saving > best->saving) *best = Candidate{copy, saving};
  }

  Candidate Best(std::uint32_t at) const {
    Candidate best;
    for (int slot = 0; slot < recentOffsets_; ++slot) {
      const std::int64_t continued = offsets_[slot] + at;
      if (continued >= 0 && continued < oldSize_) {
        Consider(Extend(static_cast<std::uint32_t>(continued), at), &best);
      }
    }
    if (at + kBlock > newSize_ || oldSize_ < kBlock) return best;
    std::uint32_t from = index_.First(new_ + at);
    for (int tried = 0; from != kNone && tried < kChainDepth; ++tried, from = index_.Next(from)) {
      if (std::memcmp(old_ + from, new_ + at, kBlock) != 0) continue;
      Consider(Extend(from, at), &best);
      if (best.copy.count >= kLongEnough) break;
    }
    return best;
  }

  const std::uint8_t* old_;
  std::uint32_t oldSize_;
  const std::uint8_t* new_;
  std::uint32_t newSize_;
  OldFileIndex index_;
  std::int64_t minSaving_;
  int recentOffsets_;
  std::vector<CopyMatch> copies_;
  std::uint32_t insertStart_ = 0;
  std::int64_t offsets_[kMostRecentOffsets] = {};
  std::uint32_t baseHigh_ = 0;
};

}  // namespace

std::uint32_t AbsoluteCopyCost(std::uint32_t count) { return 1 + 4 + CountWidth(count); }

std::uint32_t CopyCost(std::uint32_t position, std::uint32_t count, std::uint32_t baseHigh) {
  return AbsoluteCopyCost(count) - ((position >> 16) == baseHigh ? 2 : 0);
}

std::vector<CopyMatch> FindCopies(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                                  const std::uint8_t* newBytes, std::uint32_t newSize,
                                  const MatchSettings& settings) {
  if (oldSize == 0 || newSize == 0) return {};
  return Finder(oldBytes, oldSize, newBytes, newSize, settings).Run();
}

}  // namespace builder
