#include "builder/package_verifier.h"

#include <cstring>
#include <memory>

#include "apply/apply_delta.h"
#include "apply/progress_state.h"
#include "builder/file_bytes.h"
#include "builder/tree_walk.h"
#include "package/file_stamp.h"
#include "package/upgrade_session.h"
#include "platform/null_user_interface.h"
#include "streams/kv_memory_streams.h"

namespace builder {

namespace {

// Nobody watches a verification: no window, no question, and a clock that
// jumps a second at each reading, so the interpreter's redraw pauses end at
// once instead of holding the build for a tenth of a second each.
class QuietUserInterface final : public platform::NullUserInterface {
 public:
  std::uint32_t TickCount() override { return clock_ += 1000; }

 private:
  std::uint32_t clock_ = 0;
};

// Installs the quiet user interface for its lifetime, then puts back the
// one that was there.
class QuietUserInterfaceScope {
 public:
  QuietUserInterfaceScope() : previous_(&platform::Ui()) {
    platform::InstallUserInterface(&quiet_);
  }
  ~QuietUserInterfaceScope() { platform::InstallUserInterface(previous_); }
  QuietUserInterfaceScope(const QuietUserInterfaceScope&) = delete;
  QuietUserInterfaceScope& operator=(const QuietUserInterfaceScope&) = delete;

 private:
  QuietUserInterface quiet_;
  platform::UserInterface* previous_;
};

std::uint16_t Checksum(const std::uint8_t* bytes, std::uint32_t size) {
  std::uint16_t checksum = 0;
  for (std::uint32_t at = 0; at < size; at += package::kChecksumBlockSize) {
    const std::uint32_t left = size - at;
    const std::int32_t count = left < static_cast<std::uint32_t>(package::kChecksumBlockSize)
                                   ? static_cast<std::int32_t>(left)
                                   : package::kChecksumBlockSize;
    checksum = package::FoldChecksumBlock(checksum, bytes + at, count);
  }
  return checksum;
}

bool SameStamp(const streams::FileStamp& a, const streams::FileStamp& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string CompareEntry(const package::PackageEntry& read, const PackageEntrySpec& written) {
  if (read.operation != written.operation) return "operation differs";
  if (read.warningPolicy != written.warningPolicy || read.errorPolicy != written.errorPolicy)
    return "policies differ";
  if (written.fileName != read.fileName) return "file name differs";
  if (written.description != read.description) return "description differs";
  if (package::CarriesOldStamp(written.operation) && !SameStamp(read.oldStamp, written.oldStamp))
    return "old stamp differs";
  if (package::CarriesNewStamp(written.operation) && !SameStamp(read.newStamp, written.newStamp))
    return "new stamp differs";
  return "";
}

// Rebuilds one entry's new file into memory and compares it.
std::string Replay(package::UpgradeSession& session, const PackageEntrySpec& entry,
                   const std::string& oldRoot, const std::string& newRoot) {
  std::vector<std::uint8_t> oldBytes;
  std::unique_ptr<streams::TKVFlatRamStream> oldFile;
  if (entry.operation == package::Operation::kUpdate) {
    if (!ReadFileBytes(JoinPath(oldRoot, entry.fileName), entry.oldStamp.size, &oldBytes))
      return "the old file cannot be read again";
    oldFile = std::make_unique<streams::TKVFlatRamStream>(
        oldBytes.data(), static_cast<std::uint32_t>(oldBytes.size()));
  }
  std::vector<std::uint8_t> newBytes;
  if (!ReadFileBytes(JoinPath(newRoot, entry.fileName), entry.newStamp.size, &newBytes))
    return "the new file cannot be read again";
  // Sized for the new file at once; an empty one still needs a block.
  streams::TKVFlatRamStream output(entry.newStamp.size == 0 ? 1 : entry.newStamp.size, 1u << 20);
  if (apply::ApplyDelta(session, oldFile.get(), &output, entry.newStamp.size) != 0)
    return "the replay was aborted";
  if (output.Error() != 0) return "the rebuilt file could not be held in memory";
  const std::uint32_t size = output.GetSize();
  if (size != entry.newStamp.size || Checksum(output.data(), size) != entry.newStamp.checksum)
    return "the rebuilt file does not match its new stamp";
  if (size != newBytes.size() ||
      (size > 0 && std::memcmp(output.data(), newBytes.data(), size) != 0))
    return "the rebuilt file differs from the new release";
  return "";
}

}  // namespace

std::string VerifyPackage(const std::string& packagePath, std::uint8_t version,
                          package::PackageKind kind, const std::vector<PackageEntrySpec>& entries,
                          const std::string& oldRoot, const std::string& newRoot) {
  package::UpgradeSession session(nullptr, nullptr, packagePath.c_str(), "");
  if (!session.IsValid() || session.totalBytes == 0) return "the package cannot be read back";
  if (session.version != version) return "the version read back differs";
  if (session.Kind() != kind) return "the kind read back differs";
  if (session.entryCount != static_cast<std::int32_t>(entries.size()))
    return "the entry count read back differs";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string difference = CompareEntry(*session.entries[i], entries[i]);
    if (!difference.empty()) return entries[i].fileName + ": " + difference;
  }
  const QuietUserInterfaceScope quiet;
  // A run that ended earlier in this process must not abort the replay.
  apply::ResetProgressState();
  for (const PackageEntrySpec& entry : entries) {
    if (!package::CarriesNewStamp(entry.operation)) continue;
    const std::string difference = Replay(session, entry, oldRoot, newRoot);
    if (!difference.empty()) return entry.fileName + ": " + difference;
  }
  if (session.bytesDone != session.totalBytes)
    return "the delta streams do not account for every byte of the new files";
  session.package->ReadByte();
  if (session.package->Error() == 0) return "bytes follow the last delta stream";
  return "";
}

}  // namespace builder
