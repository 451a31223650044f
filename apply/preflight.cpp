// Pass 1: every entry's file is examined before anything is written, and
// each finding is let go, asked about or made fatal by the entry's policy.
#include <cstring>

#include "apply/apply_upgrade.h"
#include "apply/confined_files.h"
#include "apply/entry_state.h"
#include "apply/passes.h"
#include "apply/progress.h"
#include "package/file_stamp.h"
#include "streams/file_utilities.h"

namespace {

struct Finding {
  std::uint8_t state;
  int message;
};

bool SizeOrChecksumDiffers(const FileStamp& found, const FileStamp& expected) {
  return found.size != expected.size || found.checksum != expected.checksum;
}

// The first row of the table that applies to the file at `path`.
Finding Classify(const PackageEntry& entry, const char* path, const FileStamp& found) {
  const bool present = IsFile(path) != 0;
  switch (entry.operation) {
    case kAdd:
      if (!present) return {kProceed, 0};
      if (IsReadOnly(path)) return {kReadOnly, kCannotCreateReadOnlyLine};
      return {kExists, kExistsLine};
    case kReplace:
      if (!present) return {kMissing, kNotFoundLine};
      if (IsReadOnly(path)) return {kReadOnly, kCannotCreateReadOnlyLine};
      return {kProceed, 0};
    default:
      // Update, Verify and Remove; a Verify entry is never refused for
      // being read-only, since nothing will be written to it.
      if (!present) return {kMissing, kNotFoundLine};
      if (entry.operation != kVerify && IsReadOnly(path)) return {kReadOnly, kReadOnlyLine};
      if (SizeOrChecksumDiffers(found, entry.oldStamp)) return {kChanged, kChangedLine};
      if (std::memcmp(&found, &entry.oldStamp, sizeof found) != 0) {
        return {kTimeDiffers, kTimeDiffersLine};
      }
      return {kProceed, 0};
  }
}

// Decides the entry after a finding. False ends the run.
bool Decide(UpgradeSession& session, PackageEntry& entry, Finding finding) {
  std::uint8_t policy = entry.errorPolicy;
  int message = finding.message;
  if (entry.operation == kRemove) {
    if (finding.state != kMissing && finding.state != kReadOnly && finding.state != kLinked) {
      // A changed file to be removed is only a warning: the user's changes
      // go with it if the run goes on.
      message = kRemoveChangedLine;
      policy = entry.warningPolicy;
      entry.state = kProceed;
    }
  } else if (finding.state == kTimeDiffers || finding.state == kExists) {
    policy = entry.warningPolicy;
    entry.state = kProceed;
  }
  switch (policy) {
    case kCritical:
      if (AskAboutEntry(session, entry, kCriticalBeforeLine, kMoreInformationLine)) {
        ShowInformation(session, message);
      }
      return false;
    case kAsk:
      return AskAboutEntry(session, entry, message, kContinueLine);
    default:
      return true;
  }
}

}  // namespace

int RunPreflight(UpgradeSession& session) {
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    PackageEntry& entry = *session.entries[i];
    SetEntryPath(session, entry);
    ShowEntry(session, entry);
    if (PollCancel(session) == 1) return 0;
    if (!IsKnownOperation(entry.operation)) continue;
    // A path through a link is found before anything is read through it:
    // as for a read-only file the error policy decides, and a skipped entry
    // is never touched.
    Finding finding{kLinked, kLinkedPathMessage};
    if (IsConfined(session, session.pathBuffer)) {
      FileStamp found;
      ComputeFileStamp(session.pathBuffer, found);
      finding = Classify(entry, session.pathBuffer, found);
    }
    entry.state = finding.state;
    if (entry.state == kProceed) continue;
    if (!Decide(session, entry, finding)) return 0;
  }
  return 1;
}
