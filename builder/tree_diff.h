// Pairs the files of an old and a new release by relative path and checks
// that a package can express the difference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/tree_walk.h"

namespace builder {

enum class FilePairing : std::uint8_t {
  kOnlyNew,  // becomes an Add
  kOnlyOld,  // becomes a Remove
  kBoth,     // an Update, a Replace, a Verify or nothing, by the contents
};

struct PairedFile {
  FilePairing pairing;
  std::string name;
  std::uint64_t oldSize;
  std::uint64_t newSize;
};

struct TreeDiff {
  // In byte order of the names: the order of the package's entries.
  std::vector<PairedFile> files;
  // What the package leaves out: a warning, or an error with --strict.
  std::vector<std::string> omissions;
  // What makes a package impossible.
  std::vector<std::string> errors;
};

// Files of 4 GiB and more are outside the format.
constexpr std::uint64_t kLargestFile = 0xFFFFFFFFull;

// `oldLabel` and `newLabel` name the two trees in the messages.
TreeDiff DiffTrees(const TreeListing& oldTree, const TreeListing& newTree,
                   const std::string& oldLabel, const std::string& newLabel);

// Why `name` cannot be an entry's file name, or empty when it can.
std::string UnstorableNameReason(const std::string& name);

}  // namespace builder
