// Passes 2 and 3: every new file is built and checked in the staging
// folder while the user's files stay as they are; only then are they put in
// place, in a short pass that cannot be cancelled.
#include <memory>
#include <new>

#include "apply/apply_delta.h"
#include "apply/apply_upgrade.h"
#include "apply/entry_state.h"
#include "apply/passes.h"
#include "apply/progress.h"
#include "apply/staging_names.h"
#include "package/file_stamp.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "streams/bounded_text.h"
#include "streams/kv_file_stream.h"

using platform::Ui;

namespace {

constexpr char kDisabledCancel[] = "----";

// After a rebuilt file failed its check. False ends the run.
bool DecideRebuildFailure(UpgradeSession& session, PackageEntry& entry) {
  switch (entry.errorPolicy) {
    case kCritical:
      if (AskAboutEntry(session, entry, kCriticalRebuildLine, kMoreInformationLine)) {
        ShowInformation(session, kCriticalExplanationLine);
      }
      MarkAborted();
      return false;
    case kAsk:
      if (!AskAboutEntry(session, entry, kRebuildSkippedLine, kContinueLine)) {
        MarkAborted();
        return false;
      }
      break;
    default:
      break;
  }
  entry.state = kRebuildFailed;
  RemoveFile(session.pathBuffer);
  return true;
}

// Builds the entry's new file into its temporary file, or only carries the
// package past its delta stream when the entry is not to be installed.
// False when the run is to end.
bool BuildEntry(UpgradeSession& session, PackageEntry& entry, std::int32_t index) {
  std::unique_ptr<TKVFStream> oldFile;
  std::unique_ptr<TKVFStream> output;
  if (entry.state == kProceed) {
    if (entry.operation == kUpdate) {
      SetEntryPath(session, entry);
      oldFile.reset(new (std::nothrow) TKVFStream(platform::kOpenRead, session.pathBuffer));
    }
    TemporaryFileName(session.targetFolder, index, session.pathBuffer);
    output.reset(new (std::nothrow) TKVFStream(platform::kOpenWrite, session.pathBuffer));
  }
  Ui().SetControlText(session.progressDialog, platform::kProgressStatus,
                      session.GetListItem(kOperationNamesLine, entry.operation));
  ApplyDelta(session, oldFile.get(), output.get(), entry.newStamp.size);
  oldFile.reset();
  if (entry.state != kProceed) return true;
  // An output that could not even be allocated is a failed rebuild too: the
  // commit deletes the old file before it moves the new one in.
  const bool built = output != nullptr;
  output.reset();
  if (PollCancel(session) == 1) return false;
  if (built && VerifyAndStampFile(session.pathBuffer, entry.newStamp)) return true;
  return DecideRebuildFailure(session, entry);
}

// Creates every missing folder along pathBuffer. Existing ones make their
// call fail, which is expected; the characters before index 3 are a drive
// root on Windows and never need creating.
void CreateFoldersAlongPath(UpgradeSession& session) {
  char* path = session.pathBuffer;
  for (std::size_t i = 3; path[i] != 0; ++i) {
    if (path[i] != '\\') continue;
    path[i] = 0;
    CreateFolder(path);
    path[i] = '\\';
  }
}

void CommitEntry(UpgradeSession& session, const PackageEntry& entry, std::int32_t index,
                 ApplyOutcome& outcome) {
  ShowEntry(session, entry);
  SetEntryPath(session, entry);
  const bool removed = RemoveFile(session.pathBuffer) != 0;
  if (entry.operation == kRemove) {
    if (!removed && IsFile(session.pathBuffer)) {
      outcome.notRemoved.push_back({index, entry.fileName});
    }
    return;
  }
  if (entry.operation == kAdd) CreateFoldersAlongPath(session);
  TemporaryFileName(session.targetFolder, index, session.tempPathBuffer);
  // A failed move leaves the new version in its temporary file, which may
  // now be its only copy: the clean-up keeps it and the user is told.
  if (!MoveFileReplacing(session.tempPathBuffer, session.pathBuffer)) {
    outcome.notPlaced.push_back({index, entry.fileName});
  }
}

bool IsKept(const ApplyOutcome& outcome, std::int32_t index) {
  for (const CommitFailure& failure : outcome.notPlaced) {
    if (failure.entry == index) return true;
  }
  return false;
}

}  // namespace

int RunInstall(UpgradeSession& session, ApplyOutcome& outcome) {
  Ui().SetControlText(session.progressDialog, platform::kProgressStatus,
                      session.GetString(kInitializingLine));
  Ui().SetControlText(session.progressDialog, platform::kProgressBar, " ");
  Ui().UpdateWindow(session.progressDialog);
  // A folder left by an earlier run is simply used again.
  StagingFolderName(session.targetFolder, session.pathBuffer);
  CreateFolder(session.pathBuffer);
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    PackageEntry& entry = *session.entries[i];
    if (PollCancel(session) == 1) break;
    ShowEntry(session, entry);
    if (!BuildsNewFile(entry.operation)) continue;
    if (!BuildEntry(session, entry, i)) break;
  }
  if (PollCancel(session) == 1) {
    RemoveStaging(session, outcome);
    return 0;
  }
  return 1;
}

void RunCommit(UpgradeSession& session, ApplyOutcome& outcome) {
  Ui().SetControlText(session.progressDialog, platform::kProgressStatus,
                      session.GetString(kInstallingLine));
  Ui().SetControlText(session.progressDialog, platform::kProgressBar, " ");
  Ui().SetControlText(session.progressDialog, platform::kProgressCancelButton, kDisabledCancel);
  Ui().UpdateWindow(session.progressDialog);
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    const PackageEntry& entry = *session.entries[i];
    if (entry.state != kProceed || entry.operation == kVerify ||
        !IsKnownOperation(entry.operation)) {
      continue;
    }
    CommitEntry(session, entry, i, outcome);
  }
  RemoveStaging(session, outcome);
}

bool RemoveStaging(UpgradeSession& session, ApplyOutcome& outcome) {
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    if (IsKept(outcome, i)) continue;
    if (!TemporaryFileName(session.targetFolder, i, session.pathBuffer)) continue;
    if (IsFile(session.pathBuffer)) RemoveFile(session.pathBuffer);
  }
  if (!StagingFolderName(session.targetFolder, session.pathBuffer)) return false;
  const bool removed = RemoveFolder(session.pathBuffer) != 0;
  outcome.stagingKept = !removed;
  outcome.stagingFolder = removed ? "" : session.pathBuffer;
  return removed;
}
