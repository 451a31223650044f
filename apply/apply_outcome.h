// What a run did that its 1 or 0 cannot say, for the front-end to tell the
// user: why it was refused before anything was written, what became of an
// interrupted earlier upgrade, and which file stopped the commit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace apply {

enum class Refusal {
  kNone,
  kPathTooLong,        // refusedPath would not fit its buffer
  kFolderInUse,        // another run holds the target folder
  kFolderNotLockable,  // the target folder could not be locked for the run
  kStagingNotFolder,   // refusedPath, the staging folder's name, is a link
                       // or a file
};

// Why a file of the commit, or of an interrupted one, is not where the
// upgrade wants it.
enum class StepFailure {
  kNone,
  kLinked,         // a folder on its path is a link, or cannot be examined
  kFolderNotMade,  // a folder along its path could not be created
  kOldNotMoved,    // the installed file could not be moved aside
  kNewNotPlaced,   // the new version could not be moved into place
  kNotRestored,    // it could not be put back as it was
  kJournal,        // the journal of the commit could not be written
  kJournalUnreadable,
};

struct FileFailure {
  // The entry's index in the table of the package it came from, or -1.
  std::int32_t entry = -1;
  std::string fileName;
  StepFailure reason = StepFailure::kNone;
};

// What the start of the run did with an interrupted earlier commit.
enum class Recovery {
  kNone,      // there was none
  kFinished,  // it was completed: its files are at their new versions
  kUndone,    // it was undone: its files are as they were before it
  kStuck,     // it could be neither: everything is kept, and the run stops
};

struct ApplyOutcome {
  Refusal refusal = Refusal::kNone;
  std::string refusedPath;

  Recovery recovery = Recovery::kNone;
  // The interrupted commit belonged to the package of this run, so
  // finishing it completed this upgrade.
  bool recoveredThisPackage = false;

  // The caller's package check refused the package the installation read
  // (it is not the file that was checked at the start); nothing was
  // committed.
  bool packageChanged = false;

  // The step that stopped the commit, which was then undone.
  FileFailure commitFailure;
  // Files (or folders) that could not be put back as they were, by the
  // undo of a failed commit or the recovery of an interrupted one; their
  // versions and the journal stay in the staging folder for the next run.
  std::vector<FileFailure> notRestored;

  // Whether the staging folder is still there after the run, and its path.
  bool stagingKept = false;
  std::string stagingFolder;

  bool CommitFailed() const { return commitFailure.reason != StepFailure::kNone; }
  // The folder is neither as it was nor as the upgrade wants it.
  bool LeftMixed() const { return !notRestored.empty() || recovery == Recovery::kStuck; }
  // A recovery at the start changed files before anything else happened.
  bool RecoveryChangedFiles() const {
    return recovery == Recovery::kFinished || recovery == Recovery::kUndone;
  }
};

}  // namespace apply
