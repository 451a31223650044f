#include "builder/delta_encoder.h"

#include "builder/copy_addressing.h"
#include "builder/delta_writer.h"
#include "builder/match_finder.h"

namespace {

// One insert per stretch however long, so the literal bytes lie together
// for the container's compression.
void InsertStretch(DeltaWriter& delta, const std::uint8_t* bytes, std::uint32_t count) {
  if (count > 0) delta.Insert(bytes, count);
}

}  // namespace

EncodedDelta EncodeDelta(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                         const std::uint8_t* newBytes, std::uint32_t newSize) {
  const std::vector<CopyMatch> copies = FindCopies(oldBytes, oldSize, newBytes, newSize);
  const std::vector<CopyAddressing> plan = PlanCopyAddressing(copies);
  DeltaWriter delta;
  std::uint32_t done = 0;
  for (std::size_t i = 0; i < copies.size(); ++i) {
    const CopyMatch& copy = copies[i];
    InsertStretch(delta, newBytes + done, copy.newPosition - done);
    switch (plan[i]) {
      case CopyAddressing::kSetBase:
        delta.SetBase(static_cast<std::uint16_t>(copy.oldPosition >> 16));
        delta.CopyRelative(copy.oldPosition, copy.count);
        break;
      case CopyAddressing::kRelative:
        delta.CopyRelative(copy.oldPosition, copy.count);
        break;
      case CopyAddressing::kAbsolute:
        delta.CopyAbsolute(copy.oldPosition, copy.count);
        break;
    }
    done = copy.newPosition + copy.count;
  }
  InsertStretch(delta, newBytes + done, newSize - done);
  delta.End();
  return EncodedDelta{delta.bytes(), delta.literalBytes()};
}

EncodedDelta EncodeInserts(const std::uint8_t* newBytes, std::uint32_t newSize) {
  DeltaWriter delta;
  InsertStretch(delta, newBytes, newSize);
  delta.End();
  return EncodedDelta{delta.bytes(), delta.literalBytes()};
}
