#include "package/package_format.h"

#include <cstring>

namespace package {

bool IsKnownMagic(const char* magic) {
  return std::memcmp(magic, kClassicMagic, kMagicSize) == 0 ||
         std::memcmp(magic, kExtendedMagic, kMagicSize) == 0;
}

PackageKind KindOfMagic(const char* magic) {
  return std::memcmp(magic, kExtendedMagic, kMagicSize) == 0 ? PackageKind::kExtended
                                                             : PackageKind::kClassic;
}

const char* MagicOf(PackageKind kind) {
  return kind == PackageKind::kExtended ? kExtendedMagic : kClassicMagic;
}

bool IsKnownOperation(Operation operation) { return operation <= Operation::kRemove; }

bool CarriesOldStamp(Operation operation) {
  return operation == Operation::kUpdate || operation == Operation::kVerify ||
         operation == Operation::kRemove;
}

bool CarriesNewStamp(Operation operation) {
  return operation == Operation::kAdd || operation == Operation::kUpdate ||
         operation == Operation::kReplace;
}

const char* OperationName(Operation operation) {
  static const char* const kNames[] = {"Add", "Update", "Replace", "Verify", "Remove"};
  return IsKnownOperation(operation) ? kNames[static_cast<int>(operation)] : "Unknown";
}

const char* PolicyName(Policy policy) {
  static const char* const kNames[] = {"Ignore", "Ask", "Critical", "Unnamed"};
  return kNames[static_cast<int>(policy) & 3];
}

EntryFlags DecodeEntryFlags(std::uint8_t flags, std::uint8_t version) {
  EntryFlags entry;
  if (version > kLastTwoBitFlagsVersion) {
    entry.operation = static_cast<Operation>(flags & 0x07);
    entry.warningPolicy = static_cast<Policy>((flags >> 3) & 0x03);
    entry.errorPolicy = static_cast<Policy>((flags >> 5) & 0x03);
    return entry;
  }
  const int code = flags & 0x03;
  entry.operation = code == 2 ? Operation::kRemove : static_cast<Operation>(code);
  entry.warningPolicy = static_cast<Policy>((flags >> 2) & 0x03);
  entry.errorPolicy = static_cast<Policy>((flags >> 4) & 0x03);
  return entry;
}

bool EncodeEntryFlags(std::uint8_t version, const EntryFlags& entry, std::uint8_t* flags) {
  const int operation = static_cast<int>(entry.operation);
  const int warning = static_cast<int>(entry.warningPolicy);
  const int error = static_cast<int>(entry.errorPolicy);
  if (warning > 3 || error > 3) return false;
  if (version > kLastTwoBitFlagsVersion) {
    if (operation > 7) return false;
    *flags = static_cast<std::uint8_t>(operation | (warning << 3) | (error << 5));
    return true;
  }
  // Two bits: Remove is stored as 2, where the newer layout has Replace.
  int code = 0;
  switch (entry.operation) {
    case Operation::kAdd:
    case Operation::kUpdate:
    case Operation::kVerify:
      code = operation;
      break;
    case Operation::kRemove:
      code = 2;
      break;
    default:
      return false;
  }
  *flags = static_cast<std::uint8_t>(code | (warning << 2) | (error << 4));
  return true;
}

}  // namespace package
