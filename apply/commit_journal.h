// The plan of a commit and its journal. The plan lists every move the
// commit will make; written into the staging folder and made durable before
// the first of the user's files changes, it stays there until the last step
// has succeeded, so a journal found at the start of a run means that a
// commit was interrupted, and says how to finish or undo it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/package_format.h"
#include "package/package_reader.h"
#include "streams/file_stamp_record.h"

namespace apply {

// One entry's part of the commit. In order: the folders it needs are made,
// the installed file (when movesOld) goes to its backup "O<index>.TMP" in
// the staging folder, and the new version "N<index>.TMP" (all but Remove)
// takes its place.
struct CommitStep {
  std::int32_t entry = 0;
  package::Operation operation = package::Operation::kAdd;
  bool movesOld = false;
  streams::FileStamp newStamp{};
  std::string fileName;
};

struct CommitPlan {
  package::PackageIdentity package;
  std::vector<CommitStep> steps;
  // Folders (relative, as entry names are) that did not exist and are made
  // for Add entries, in the order they are made.
  std::vector<std::string> newFolders;
};

std::vector<std::uint8_t> EncodeJournal(const CommitPlan& plan);
// False unless `bytes` are a whole journal whose check sum holds and whose
// names, indices and operations a package could have given.
bool DecodeJournal(const std::vector<std::uint8_t>& bytes, CommitPlan* plan);

// Writes the journal to `path` and flushes it to disk.
bool WriteJournal(const char* path, const CommitPlan& plan);
// False when the file cannot be read or does not decode.
bool ReadJournal(const char* path, CommitPlan* plan);

}  // namespace apply
