#include "apply/apply_upgrade.h"

#include <cstring>

#include "apply/package_check.h"
#include "apply/passes.h"
#include "apply/progress_state.h"
#include "apply/recovery.h"
#include "apply/staging_names.h"
#include "package/upgrade_session.h"
#include "platform/bounded_text.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"

namespace apply {

using platform::Ui;

namespace {

constexpr char kLinkedPathText[] =
    "** Error: A folder on the way to this file is a symbolic link or junction, which the "
    "upgrade does not follow. This file will not be changed.";

// The target folder, held for this run alone from before anything is read
// or changed until the run has ended, however it ends.
class RunLock {
 public:
  explicit RunLock(const char* folder)
      : result_(platform::Fs().LockFolder(folder, LockFileName(folder).c_str(), &handle_)) {}
  ~RunLock() {
    if (result_ == platform::LockResult::kLocked) platform::Fs().UnlockFolder(handle_);
  }
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  platform::LockResult result() const { return result_; }

 private:
  platform::FileHandle handle_ = platform::kInvalidFile;
  platform::LockResult result_;
};

// Why the run cannot start on this folder, before anything is shown.
Refusal CheckStagingFolder(const package::UpgradeSession& session,
                           char (&staging)[streams::kMaxPath]) {
  StagingFolderName(session.targetFolder, staging);
  // Followed, a link or a file there would take the run's own writes and
  // deletions outside the folder or into the user's file.
  if (platform::Fs().FindLinkBelow(session.targetFolder, staging) != platform::LinkFinding::kNone ||
      streams::IsFile(staging)) {
    return Refusal::kStagingNotFolder;
  }
  return Refusal::kNone;
}

// A path that does not fit its buffer would be cut and name another file,
// so the run is refused before anything is written. Returns the name to
// report, or null when every path fits.
const char* FindPathThatDoesNotFit(const package::UpgradeSession& session) {
  char path[streams::kMaxPath];
  const bool temporaryNamesFit =
      TemporaryFileName(session.targetFolder, package::kMaxEntries - 1, path);
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    const package::PackageEntry& entry = *session.entries[i];
    if (!package::IsKnownOperation(entry.operation)) continue;
    if (!platform::CopyText(path, session.targetFolder) ||
        !platform::AppendText(path, entry.fileName)) {
      return entry.fileName;
    }
    if (package::CarriesNewStamp(entry.operation) && !temporaryNamesFit) return entry.fileName;
  }
  // The staging folder is made in every run, whatever the table holds.
  return temporaryNamesFit ? nullptr : package::kStagingFolderName;
}

void OpenProgressDialog(package::UpgradeSession& session) {
  session.progressDialog = Ui().CreateProgressDialog(session.instance, session.ownerWindow);
  ResetProgressState();
  if (session.ownerWindow != nullptr) Ui().EnableWindow(session.ownerWindow, false);
  Ui().SetWindowTitle(session.progressDialog, session.GetString(package::UiLine::kCaption));
  Ui().SetControlText(session.progressDialog, platform::kProgressCancelButton,
                      session.GetString(package::UiLine::kCancel));
  Ui().SetControlText(session.progressDialog, platform::kProgressFileName, " ");
  Ui().SetControlText(session.progressDialog, platform::kProgressDescription, " ");
  Ui().SetControlText(session.progressDialog, platform::kProgressStatus,
                      session.GetString(package::UiLine::kInitializing));
  Ui().SetControlText(session.progressDialog, platform::kProgressBar, " ");
  Ui().UpdateWindow(session.progressDialog);
}

}  // namespace

void SetEntryPath(package::UpgradeSession& session, const package::PackageEntry& entry) {
  platform::CopyText(session.pathBuffer, session.targetFolder);
  platform::AppendText(session.pathBuffer, entry.fileName);
}

void ShowEntry(package::UpgradeSession& session, const package::PackageEntry& entry) {
  Ui().SetControlText(session.progressDialog, platform::kProgressFileName, entry.fileName);
  Ui().SetControlText(session.progressDialog, platform::kProgressDescription, entry.description);
  Ui().UpdateWindow(session.progressDialog);
}

const char* EngineText(const package::UpgradeSession& session, package::UiLine line) {
  return line == kLinkedPathMessage ? kLinkedPathText : session.GetString(line);
}

void ShowInformation(package::UpgradeSession& session, package::UiLine line) {
  ShowInformationText(session, EngineText(session, line));
}

void ShowInformationText(package::UpgradeSession& session, const char* text) {
  Ui().ShowMessageBox(session.progressDialog, text, session.GetString(package::UiLine::kCaption),
                      platform::kMbIconInformation | platform::kMbTaskModal);
}

bool AskAboutEntry(package::UpgradeSession& session, const package::PackageEntry& entry,
                   package::UiLine first, package::UiLine second) {
  // The parts are bounded well below the buffer: a name of 249, a
  // description of 79 and table lines of 255 characters.
  char* text = session.messageBuffer;
  const std::size_t capacity = sizeof session.messageBuffer;
  platform::CopyText(text, capacity, session.GetListItem(package::UiLine::kLabels, 0));
  platform::AppendText(
      text, capacity,
      session.GetListItem(package::UiLine::kOperationNames, static_cast<int>(entry.operation)));
  platform::AppendText(text, capacity, "\n\n");
  platform::AppendText(text, capacity, session.GetListItem(package::UiLine::kLabels, 1));
  platform::AppendText(text, capacity, entry.fileName);
  if (entry.description[0] != 0) {
    platform::AppendText(text, capacity, "\n");
    platform::AppendText(text, capacity, session.GetListItem(package::UiLine::kLabels, 2));
    platform::AppendText(text, capacity, entry.description);
  }
  platform::AppendText(text, capacity, "\n\n");
  platform::AppendText(text, capacity, EngineText(session, first));
  platform::AppendText(text, capacity, "\n\n");
  platform::AppendText(text, capacity, EngineText(session, second));
  return Ui().ShowMessageBox(
             session.progressDialog, text, session.GetString(package::UiLine::kCaption),
             platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTaskModal) ==
         platform::kIdYes;
}

int ApplyUpgrade(package::UpgradeSession& session, ApplyOutcome* outcome, PackageCheck* check) {
  ApplyOutcome ownOutcome;
  ApplyOutcome& result = outcome != nullptr ? *outcome : ownOutcome;
  if (!session.IsValid() || session.totalBytes == 0 || !session.uiStrings) return 0;
  if (const char* refused = FindPathThatDoesNotFit(session)) {
    result.refusal = Refusal::kPathTooLong;
    result.refusedPath = refused;
    return 0;
  }
  // Before the recovery and pass 1, so that a second run finds nothing
  // half done by this one and this one nothing half done by another.
  const RunLock lock(session.targetFolder);
  if (lock.result() != platform::LockResult::kLocked) {
    result.refusal = lock.result() == platform::LockResult::kInUse ? Refusal::kFolderInUse
                                                                   : Refusal::kFolderNotLockable;
    return 0;
  }
  char staging[streams::kMaxPath];
  result.refusal = CheckStagingFolder(session, staging);
  if (result.refusal != Refusal::kNone) {
    result.refusedPath = staging;
    return 0;
  }
  OpenProgressDialog(session);
  if (!RecoverInterruptedCommit(session, result)) return result.recoveredThisPackage ? 1 : 0;
  if (!RunPreflight(session)) return 0;
  if (!RunInstall(session, result)) return 0;
  if (check != nullptr && !check->Passes(session)) {
    result.packageChanged = true;
    RemoveStaging(session, result);
    return 0;
  }
  return RunCommit(session, result);
}

}  // namespace apply
