// Chooses how each copy of a delta stream names its old-file position.
//
// A CopyBase operand is two bytes shorter than a CopyAbs one, but it reaches
// only the 64 KiB above the base, and a SetBase costs three bytes. Over the
// whole list of copies the cheapest choice is found exactly: a base is set
// where the copies that then share it save more than it costs.
#pragma once

#include <cstdint>
#include <vector>

#include "builder/match_finder.h"

namespace builder {

enum class CopyAddressing : std::uint8_t {
  kAbsolute,
  // CopyBase with the base already in force.
  kRelative,
  // SetBase to the copy's high 16 bits, then CopyBase.
  kSetBase,
};

// One choice per copy, in order. The stream starts with base 0.
std::vector<CopyAddressing> PlanCopyAddressing(const std::vector<CopyMatch>& copies);

}  // namespace builder
