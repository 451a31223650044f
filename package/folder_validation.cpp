#include "package/folder_validation.h"

#include "package/file_stamp.h"
#include "package/upgrade_session.h"
#include "platform/bounded_text.h"

namespace package {

namespace {

// A path too long for its buffer can hold no installed file: it counts as
// missing rather than being cut to the name of another file.
bool FileExistsFor(UpgradeSession& session, const PackageEntry& entry) {
  return platform::CopyText(session.pathBuffer, session.targetFolder) &&
         platform::AppendText(session.pathBuffer, entry.fileName) &&
         streams::IsFile(session.pathBuffer);
}

bool Critical(FolderCheckCounts& counts, std::int32_t entry) {
  counts.criticalEntry = entry;
  return false;
}

}  // namespace

bool ValidateTargetFolder(UpgradeSession& session, FolderCheckCounts* counts) {
  FolderCheckCounts own;
  FolderCheckCounts& tally = counts != nullptr ? *counts : own;
  tally = FolderCheckCounts();
  if (session.totalBytes == 0) return false;
  std::int32_t& matched = tally.matched;
  std::int32_t& mismatched = tally.mismatched;
  // Each policy is only asked whether it is 0, not 0, or 2, so the unnamed
  // value 3 acts like Ask here.
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    const PackageEntry& entry = *session.entries[i];
    // Codes above Remove name no operation and carry no stamp: they say
    // nothing about the folder.
    if (entry.operation == Operation::kAdd || entry.operation > Operation::kRemove) continue;
    if (!FileExistsFor(session, entry)) {
      if (entry.errorPolicy != Policy::kIgnore) ++mismatched;
      if (entry.errorPolicy == Policy::kCritical) return Critical(tally, i);
      continue;
    }
    if (entry.operation == Operation::kReplace) {
      ++matched;
      continue;
    }
    if (entry.errorPolicy == Policy::kIgnore) continue;
    streams::FileStamp found;
    ComputeFileStamp(session.pathBuffer, found);
    if (found.size != entry.oldStamp.size || found.checksum != entry.oldStamp.checksum) {
      if (entry.errorPolicy == Policy::kCritical) return Critical(tally, i);
      ++mismatched;
      continue;
    }
    if (found.DateTime() != entry.oldStamp.DateTime()) {
      if (entry.warningPolicy == Policy::kCritical) return Critical(tally, i);
      if (entry.warningPolicy != Policy::kIgnore) continue;
    }
    ++matched;
  }
  return mismatched == 0 || mismatched < matched;
}

}  // namespace package
