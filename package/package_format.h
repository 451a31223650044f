// What a package's bytes mean, for every program that reads or writes them:
// the two magic texts, the versions, the entry's flag byte in both layouts,
// which operations carry which stamps, and the limits of the entry table.
// The reader, the writer, the engine, the verifier and upgtool all ask here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

// The two kinds of package: the same header, entry table and container;
// an extended package's delta streams may also hold AddDiff operations
// (package/delta_ops.h). Its own magic makes a reader that knows only the
// classic kind refuse it as "not a package" instead of misreading it.
enum class PackageKind : std::uint8_t { kClassic, kExtended };
// The eight header bytes of each kind, NUL included.
constexpr char kClassicMagic[8] = "[KVUPD]";
constexpr char kExtendedMagic[8] = "[KVUPX]";
constexpr std::size_t kMagicSize = sizeof kClassicMagic;
// Magic, version byte, and the entry count as a little-endian 16-bit number.
constexpr std::int32_t kPackageHeaderSize = 11;

// Packages of a newer version than this are refused.
constexpr std::uint8_t kNewestPackageVersion = 18;
// The last version whose flag byte has the two-bit operation layout.
constexpr std::uint8_t kLastTwoBitFlagsVersion = 17;

bool IsKnownMagic(const char* magic);
// A file with neither magic reads as classic.
PackageKind KindOfMagic(const char* magic);
const char* MagicOf(PackageKind kind);

// The stored values are those of the flag byte's operation bits.
enum class Operation : std::uint8_t {
  kAdd = 0,
  kUpdate = 1,
  kReplace = 2,
  kVerify = 3,
  kRemove = 4
};
// Values 0-3 fit the flag byte; 3 has no name.
enum class Policy : std::uint8_t { kIgnore = 0, kAsk = 1, kCritical = 2 };

// Operations 5 to 7 fit the flag byte but name nothing: every pass leaves
// such an entry alone.
bool IsKnownOperation(Operation operation);
// Which stamps an entry carries in the table; the operations that carry a
// new stamp are those that build a new file and so also carry a delta stream.
bool CarriesOldStamp(Operation operation);
bool CarriesNewStamp(Operation operation);
// "Add", "Update", "Replace", "Verify", "Remove", or "Unknown".
const char* OperationName(Operation operation);
// "Ignore", "Ask", "Critical", or "Unnamed" for the fourth value.
const char* PolicyName(Policy policy);

// An entry's flag byte, decoded.
struct EntryFlags {
  Operation operation = Operation::kAdd;
  Policy warningPolicy = Policy::kIgnore;
  Policy errorPolicy = Policy::kIgnore;
};

// Version 18 on: operation in bits 0-2, warning policy 3-4, error policy
// 5-6. Before: operation in bits 0-1 (2 meaning Remove; Replace does not
// exist), warning policy 2-3, error policy 4-5.
EntryFlags DecodeEntryFlags(std::uint8_t flags, std::uint8_t version);
// False when the layout of `version` cannot express the entry (Replace or
// an unnamed operation before version 18, a value wider than its field).
bool EncodeEntryFlags(std::uint8_t version, const EntryFlags& entry, std::uint8_t* flags);

// The most entries a table may declare.
constexpr std::int32_t kMaxEntries = 10000;
// Longest file name an entry may carry; the entry's buffer holds one more.
constexpr std::size_t kMaxEntryName = 249;

}  // namespace package
