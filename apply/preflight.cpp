// Pass 1: every entry's file is examined before anything is written, and
// each finding is let go, asked about or made fatal by the entry's policy.
#include <cstring>

#include "apply/apply_upgrade.h"
#include "apply/confined_files.h"
#include "apply/passes.h"
#include "apply/progress.h"
#include "package/entry_state.h"
#include "package/file_stamp.h"
#include "streams/file_utilities.h"

namespace {

struct Finding {
  EntryState state;
  // Unused with kProceed.
  UiLine message = UiLine::kLanguage;
};

bool SizeOrChecksumDiffers(const FileStamp& found, const FileStamp& expected) {
  return found.size != expected.size || found.checksum != expected.checksum;
}

// The first row of the table that applies to the file at `path`.
Finding Classify(const PackageEntry& entry, const char* path, const FileStamp& found) {
  const bool present = IsFile(path) != 0;
  switch (entry.operation) {
    case Operation::kAdd:
      if (!present) return {EntryState::kProceed};
      if (IsReadOnly(path)) return {EntryState::kReadOnly, UiLine::kCannotCreateReadOnly};
      return {EntryState::kExists, UiLine::kExists};
    case Operation::kReplace:
      if (!present) return {EntryState::kMissing, UiLine::kNotFound};
      if (IsReadOnly(path)) return {EntryState::kReadOnly, UiLine::kCannotCreateReadOnly};
      return {EntryState::kProceed};
    default:
      // Update, Verify and Remove; a Verify entry is never refused for
      // being read-only, since nothing will be written to it.
      if (!present) return {EntryState::kMissing, UiLine::kNotFound};
      if (entry.operation != Operation::kVerify && IsReadOnly(path))
        return {EntryState::kReadOnly, UiLine::kReadOnly};
      if (SizeOrChecksumDiffers(found, entry.oldStamp))
        return {EntryState::kChanged, UiLine::kChanged};
      if (std::memcmp(&found, &entry.oldStamp, sizeof found) != 0) {
        return {EntryState::kTimeDiffers, UiLine::kTimeDiffers};
      }
      return {EntryState::kProceed};
  }
}

// Decides the entry after a finding. False ends the run.
bool Decide(UpgradeSession& session, PackageEntry& entry, Finding finding) {
  Policy policy = entry.errorPolicy;
  UiLine message = finding.message;
  if (entry.operation == Operation::kRemove) {
    if (finding.state != EntryState::kMissing && finding.state != EntryState::kReadOnly &&
        finding.state != EntryState::kLinked) {
      // A changed file to be removed is only a warning: the user's changes
      // go with it if the run goes on.
      message = UiLine::kRemoveChanged;
      policy = entry.warningPolicy;
      entry.state = EntryState::kProceed;
    }
  } else if (finding.state == EntryState::kTimeDiffers || finding.state == EntryState::kExists) {
    policy = entry.warningPolicy;
    entry.state = EntryState::kProceed;
  }
  switch (policy) {
    case Policy::kCritical:
      if (AskAboutEntry(session, entry, UiLine::kCriticalBefore, UiLine::kMoreInformation)) {
        ShowInformation(session, message);
      }
      return false;
    case Policy::kAsk:
      return AskAboutEntry(session, entry, message, UiLine::kContinue);
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
    Finding finding{EntryState::kLinked, kLinkedPathMessage};
    if (IsConfined(session, session.pathBuffer)) {
      FileStamp found;
      ComputeFileStamp(session.pathBuffer, found);
      finding = Classify(entry, session.pathBuffer, found);
    }
    entry.state = finding.state;
    if (entry.state == EntryState::kProceed) continue;
    if (!Decide(session, entry, finding)) return 0;
  }
  return 1;
}
