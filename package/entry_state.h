// What pass 1 of the engine decided about an entry, kept in
// PackageEntry::state. Every value but kProceed means that the entry's file
// is left as it is.
#pragma once

#include <cstdint>

namespace package {

enum class EntryState : std::uint8_t {
  kProceed = 0,
  kMissing = 1,
  kChanged = 3,
  kReadOnly = 4,
  // Held only until pass 1 has decided; then back to kProceed.
  kTimeDiffers = 5,
  kExists = 6,
  kRebuildFailed = 8,
  // A folder on the way to the file is a link (or could not be examined).
  kLinked = 9,
};

}  // namespace package
