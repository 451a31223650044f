// The package and entry-table reader on any bytes, as a file of its own
// and wrapped in the "[KVZ]" container. Input: a mode byte (bit 0: wrap the
// rest in a container written here), then the package bytes.
//
// Whatever the bytes, the reader keeps inside its buffers, a usable table
// holds only names inside the target folder, and the wrapped package reads
// exactly as the plain one: header, texts, table, and every delta stream
// consumed as a skipped entry consumes it, ending at the same place.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "apply/apply_delta.h"
#include "apply/progress_state.h"
#include "builder/package_writer.h"
#include "fuzz/fuzz_support.h"
#include "package/entry_path.h"
#include "package/upgrade_session.h"
#include "tests/support/scripted_user.h"
#include "tests/support/temp_folder.h"

using namespace package;
using namespace apply;
using namespace builder;

namespace {

// Streams whose entries declare more than this are not consumed: a skipped
// entry polls once per 256 declared bytes, which is its promise, and the
// fuzzer would spend its time waiting.
constexpr std::uint64_t kMostDeclaredBytes = 16u << 20;

bool HasTerminator(const char* text, std::size_t capacity) {
  return std::memchr(text, 0, capacity) != nullptr;
}

void CheckReader(const UpgradeSession& session) {
  Require(HasTerminator(session.title.get(), kTitleCapacity), "the title has its terminator");
  Require(HasTerminator(session.description.get(), kPackageDescriptionCapacity),
          "the description has its terminator");
  if (session.totalBytes == 0) return;
  Require(session.entryCount <= kMaxEntries, "a usable table fits its slots");
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    const PackageEntry* entry = session.entries[i];
    Require(entry != nullptr, "every entry of a usable table is there");
    Require(HasTerminator(entry->fileName, kEntryNameCapacity), "a name has its terminator");
    Require(HasTerminator(entry->description, kEntryDescriptionCapacity),
            "an entry description has its terminator");
    Require(IsSafeEntryName(entry->fileName), "a usable table names only files inside the folder");
    Require(!NamesStagingFolder(entry->fileName),
            "a usable table names nothing in the staging folder");
    Require(static_cast<int>(entry->operation) <= 7 &&
                static_cast<int>(entry->warningPolicy) <= 3 &&
                static_cast<int>(entry->errorPolicy) <= 3,
            "flags decode into their fields");
  }
}

bool SameEntry(const PackageEntry* a, const PackageEntry* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a->operation == b->operation && a->warningPolicy == b->warningPolicy &&
         a->errorPolicy == b->errorPolicy && std::strcmp(a->fileName, b->fileName) == 0 &&
         std::strcmp(a->description, b->description) == 0 &&
         std::memcmp(&a->oldStamp, &b->oldStamp, sizeof a->oldStamp) == 0 &&
         std::memcmp(&a->newStamp, &b->newStamp, sizeof a->newStamp) == 0;
}

void CheckSame(const UpgradeSession& plain, const UpgradeSession& wrapped) {
  Require(std::memcmp(plain.magic, wrapped.magic, sizeof plain.magic) == 0 &&
              plain.version == wrapped.version && plain.entryCount == wrapped.entryCount,
          "the container gives the same header");
  Require(std::strcmp(plain.title.get(), wrapped.title.get()) == 0 &&
              std::strcmp(plain.description.get(), wrapped.description.get()) == 0,
          "the container gives the same texts");
  Require(plain.IsValid() == wrapped.IsValid() && plain.totalBytes == wrapped.totalBytes &&
              plain.tableProblem == wrapped.tableProblem &&
              plain.problemEntry == wrapped.problemEntry,
          "the container gives the same verdict");
  const std::int32_t read = plain.entryCount < kMaxEntries ? plain.entryCount : kMaxEntries;
  for (std::int32_t i = 0; i < read; ++i) {
    Require(SameEntry(plain.entries[i], wrapped.entries[i]),
            "the container gives the same entries");
  }
}

bool Consumable(const UpgradeSession& session) {
  return session.IsValid() && session.totalBytes != 0 &&
         DeclaredBytes(session) <= kMostDeclaredBytes;
}

// Carries both packages past every delta stream, as the install pass does
// for entries it skips, and checks that they keep in step.
void ConsumeInStep(UpgradeSession& plain, UpgradeSession* wrapped) {
  for (std::int32_t i = 0; i < plain.entryCount; ++i) {
    const PackageEntry& entry = *plain.entries[i];
    if (!CarriesNewStamp(entry.operation)) continue;
    Require(ApplyDelta(plain, nullptr, nullptr, entry.newStamp.size) == 0, "nothing aborts");
    if (wrapped == nullptr) continue;
    ApplyDelta(*wrapped, nullptr, nullptr, entry.newStamp.size);
    Require(plain.package->GetPosition() == wrapped->package->GetPosition() &&
                plain.bytesDone == wrapped->bytesDone,
            "the container's delta streams end where the plain ones do");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TempFolder scratch;
  static const std::string plainPath = scratch.Join("plain.upg");
  static const std::string wrappedPath = scratch.Join("wrapped.upg");
  FuzzInput input(data, size);
  const bool wrap = (input.Byte() & 1) != 0;
  const std::vector<std::uint8_t> bytes = input.Rest();
  Require(WriteBytesToFile(plainPath.c_str(), bytes), "the package file can be written");
  ScriptedUser user;
  user.defaultAnswer = platform::kIdNo;
  ResetProgressState();

  UpgradeSession plain(nullptr, nullptr, plainPath.c_str(), "");
  CheckReader(plain);
  // A payload that the reader takes for a container itself (its first text
  // is "[KVZ]", ended by a NUL or by the end of the file) is unwrapped once
  // more when read plain; the two readings then differ by design.
  if (!wrap || plain.IsCompressed()) {
    if (Consumable(plain)) ConsumeInStep(plain, nullptr);
    return 0;
  }
  std::vector<std::uint8_t> container;
  Require(CompressPackage(bytes, 6, &container), "the package can be wrapped");
  Require(WriteBytesToFile(wrappedPath.c_str(), container), "the container file can be written");
  UpgradeSession wrapped(nullptr, nullptr, wrappedPath.c_str(), "");
  Require(wrapped.IsCompressed(), "a container is recognised");
  CheckReader(wrapped);
  CheckSame(plain, wrapped);
  if (Consumable(plain)) ConsumeInStep(plain, &wrapped);
  return 0;
}
