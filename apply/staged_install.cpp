// Pass 2: every new file is built and checked in the staging folder while
// the user's files stay as they are (the commit, pass 3, then puts them in
// place), and the clean-up of the staging folder.
#include <memory>
#include <new>

#include "apply/apply_delta.h"
#include "apply/apply_upgrade.h"
#include "apply/confined_files.h"
#include "apply/passes.h"
#include "apply/progress.h"
#include "apply/staging_names.h"
#include "package/entry_state.h"
#include "package/file_stamp.h"
#include "platform/bounded_text.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "streams/kv_file_stream.h"

namespace apply {

using platform::Ui;

namespace {

// After a rebuilt file failed its check. False ends the run.
bool DecideRebuildFailure(package::UpgradeSession& session, package::PackageEntry& entry) {
  switch (entry.errorPolicy) {
    case package::Policy::kCritical:
      if (AskAboutEntry(session, entry, package::UiLine::kCriticalRebuild,
                        package::UiLine::kMoreInformation)) {
        ShowInformation(session, package::UiLine::kCriticalExplanation);
      }
      MarkAborted();
      return false;
    case package::Policy::kAsk:
      if (!AskAboutEntry(session, entry, package::UiLine::kRebuildSkipped,
                         package::UiLine::kContinue)) {
        MarkAborted();
        return false;
      }
      break;
    default:
      break;
  }
  entry.state = package::EntryState::kRebuildFailed;
  if (ConfinedExists(session, session.pathBuffer)) ConfinedDelete(session, session.pathBuffer);
  return true;
}

// Builds the entry's new file into its temporary file, or only carries the
// package past its delta stream when the entry is not to be installed.
// False when the run is to end.
bool BuildEntry(package::UpgradeSession& session, package::PackageEntry& entry,
                std::int32_t index) {
  std::unique_ptr<streams::TKVFStream> oldFile;
  std::unique_ptr<streams::TKVFStream> output;
  if (entry.state == package::EntryState::kProceed) {
    // Checked again right before each open: a folder swapped for a link
    // since the pre-flight is not followed. A refused file fails its check.
    if (entry.operation == package::Operation::kUpdate) {
      SetEntryPath(session, entry);
      if (IsConfined(session, session.pathBuffer)) {
        oldFile.reset(new (std::nothrow)
                          streams::TKVFStream(platform::kOpenRead, session.pathBuffer));
      }
    }
    TemporaryFileName(session.targetFolder, index, session.pathBuffer);
    if (IsWritableInPlace(session, session.pathBuffer)) {
      output.reset(new (std::nothrow)
                       streams::TKVFStream(platform::kOpenWrite, session.pathBuffer));
    }
  }
  Ui().SetControlText(
      session.progressDialog, platform::kProgressStatus,
      session.GetListItem(package::UiLine::kOperationNames, static_cast<int>(entry.operation)));
  ApplyDelta(session, oldFile.get(), output.get(), entry.newStamp.size);
  oldFile.reset();
  if (entry.state != package::EntryState::kProceed) return true;
  // An output that could not be allocated, or was refused, is a failed
  // rebuild too.
  const bool built = output != nullptr;
  output.reset();
  if (PollCancel(session) == 1) return false;
  if (built && package::VerifyAndStampFile(session.pathBuffer, entry.newStamp)) return true;
  return DecideRebuildFailure(session, entry);
}

}  // namespace

int RunInstall(package::UpgradeSession& session, ApplyOutcome& outcome) {
  Ui().SetControlText(session.progressDialog, platform::kProgressStatus,
                      session.GetString(package::UiLine::kInitializing));
  Ui().SetControlText(session.progressDialog, platform::kProgressBar, " ");
  Ui().UpdateWindow(session.progressDialog);
  // A folder left by an earlier run is simply used again.
  StagingFolderName(session.targetFolder, session.pathBuffer);
  ConfinedCreateFolder(session, session.pathBuffer);
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    package::PackageEntry& entry = *session.entries[i];
    if (PollCancel(session) == 1) break;
    ShowEntry(session, entry);
    if (!package::CarriesNewStamp(entry.operation)) continue;
    if (!BuildEntry(session, entry, i)) break;
  }
  if (PollCancel(session) == 1) {
    RemoveStaging(session, outcome);
    return 0;
  }
  return 1;
}

bool RemoveStaging(package::UpgradeSession& session, ApplyOutcome& outcome) {
  char path[streams::kMaxPath];
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    if (TemporaryFileName(session.targetFolder, i, path) && ConfinedExists(session, path)) {
      ConfinedDelete(session, path);
    }
    if (BackupFileName(session.targetFolder, i, path) && ConfinedExists(session, path)) {
      ConfinedDelete(session, path);
    }
  }
  if (JournalDraftName(session.targetFolder, path) && ConfinedExists(session, path)) {
    ConfinedDelete(session, path);
  }
  if (!StagingFolderName(session.targetFolder, path)) return false;
  const bool removed = ConfinedRemoveFolder(session, path);
  outcome.stagingKept = !removed;
  outcome.stagingFolder = removed ? "" : path;
  return removed;
}

}  // namespace apply
