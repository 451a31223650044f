// What a run did that its 1 or 0 cannot say, for the front-end to tell the
// user: a path that was refused before anything was written, and the files
// that the commit could not put in place or remove.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "streams/file_utilities.h"

struct CommitFailure {
  std::int32_t entry;
  std::string fileName;
};

struct ApplyOutcome {
  // Not empty when the run was refused at its start because a full path
  // would not fit: the entry's file name, or the staging folder's name
  // when that alone is too long. Nothing was written.
  std::string refusedPath;
  // The caller's package check refused the package the installation read
  // (it is not the file that was checked at the start); nothing was
  // committed.
  bool packageChanged = false;
  // Entries whose new version could not be moved into place; it is kept in
  // its temporary file inside the staging folder.
  std::vector<CommitFailure> notPlaced;
  // Remove entries whose file could not be deleted.
  std::vector<CommitFailure> notRemoved;
  // Whether the staging folder is still there after the run, and its path.
  bool stagingKept = false;
  std::string stagingFolder;

  bool CommitFailed() const { return !notPlaced.empty() || !notRemoved.empty(); }
};
