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

namespace apply {

namespace {

struct Finding {
  package::EntryState state;
  // Unused with kProceed.
  package::UiLine message = package::UiLine::kLanguage;
};

bool SizeOrChecksumDiffers(const streams::FileStamp& found, const streams::FileStamp& expected) {
  return found.size != expected.size || found.checksum != expected.checksum;
}

// The first row of the table that applies to the file at `path`.
Finding Classify(const package::PackageEntry& entry, const char* path,
                 const streams::FileStamp& found) {
  const bool present = streams::IsFile(path) != 0;
  switch (entry.operation) {
    case package::Operation::kAdd:
      if (!present) return {package::EntryState::kProceed};
      if (streams::IsReadOnly(path))
        return {package::EntryState::kReadOnly, package::UiLine::kCannotCreateReadOnly};
      return {package::EntryState::kExists, package::UiLine::kExists};
    case package::Operation::kReplace:
      if (!present) return {package::EntryState::kMissing, package::UiLine::kNotFound};
      if (streams::IsReadOnly(path))
        return {package::EntryState::kReadOnly, package::UiLine::kCannotCreateReadOnly};
      return {package::EntryState::kProceed};
    default:
      // Update, Verify and Remove; a Verify entry is never refused for
      // being read-only, since nothing will be written to it.
      if (!present) return {package::EntryState::kMissing, package::UiLine::kNotFound};
      if (entry.operation != package::Operation::kVerify && streams::IsReadOnly(path))
        return {package::EntryState::kReadOnly, package::UiLine::kReadOnly};
      if (SizeOrChecksumDiffers(found, entry.oldStamp))
        return {package::EntryState::kChanged, package::UiLine::kChanged};
      if (std::memcmp(&found, &entry.oldStamp, sizeof found) != 0) {
        return {package::EntryState::kTimeDiffers, package::UiLine::kTimeDiffers};
      }
      return {package::EntryState::kProceed};
  }
}

// Decides the entry after a finding. False ends the run.
bool Decide(package::UpgradeSession& session, package::PackageEntry& entry, Finding finding) {
  package::Policy policy = entry.errorPolicy;
  package::UiLine message = finding.message;
  if (entry.operation == package::Operation::kRemove) {
    if (finding.state != package::EntryState::kMissing &&
        finding.state != package::EntryState::kReadOnly &&
        finding.state != package::EntryState::kLinked) {
      // A changed file to be removed is only a warning: the user's changes
      // go with it if the run goes on.
      message = package::UiLine::kRemoveChanged;
      policy = entry.warningPolicy;
      entry.state = package::EntryState::kProceed;
    }
  } else if (finding.state == package::EntryState::kTimeDiffers ||
             finding.state == package::EntryState::kExists) {
    policy = entry.warningPolicy;
    entry.state = package::EntryState::kProceed;
  }
  switch (policy) {
    case package::Policy::kCritical:
      if (AskAboutEntry(session, entry, package::UiLine::kCriticalBefore,
                        package::UiLine::kMoreInformation)) {
        ShowInformation(session, message);
      }
      return false;
    case package::Policy::kAsk:
      return AskAboutEntry(session, entry, message, package::UiLine::kContinue);
    default:
      return true;
  }
}

}  // namespace

int RunPreflight(package::UpgradeSession& session) {
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    package::PackageEntry& entry = *session.entries[i];
    SetEntryPath(session, entry);
    ShowEntry(session, entry);
    if (PollCancel(session) == 1) return 0;
    if (!package::IsKnownOperation(entry.operation)) continue;
    // A path through a link is found before anything is read through it:
    // as for a read-only file the error policy decides, and a skipped entry
    // is never touched.
    Finding finding{package::EntryState::kLinked, kLinkedPathMessage};
    if (IsConfined(session, session.pathBuffer)) {
      streams::FileStamp found;
      package::ComputeFileStamp(session.pathBuffer, found);
      finding = Classify(entry, session.pathBuffer, found);
    }
    entry.state = finding.state;
    if (entry.state == package::EntryState::kProceed) continue;
    if (!Decide(session, entry, finding)) return 0;
  }
  return 1;
}

}  // namespace apply
