// Names inside the target folder that belong to a run: the staging folder
// "__KVUPD_", its temporary files "N<5 digits>.TMP" by entry index (new
// versions), the backups "O<5 digits>.TMP" (installed versions moved aside
// by the commit), the commit's journal "COMMIT.JNL" with its draft
// "COMMIT.NEW", and beside the staging folder the run lock's file
// "__KVUPD_.LCK" (Windows only), named after it so that it reads as the
// upgrade's own. The same index names the same file in every pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "package/entry_path.h"
#include "streams/file_utilities.h"

namespace apply {

// Characters a temporary file's name adds to the target folder.
constexpr std::size_t kTemporaryNameLength = 19;
// The journal's name inside the staging folder.
constexpr char kJournalName[] = "COMMIT.JNL";

// False, with `out` not to be used, when the name does not fit kMaxPath.
bool StagingFolderName(const char* targetFolder, char (&out)[streams::kMaxPath]);
bool TemporaryFileName(const char* targetFolder, std::int32_t index,
                       char (&out)[streams::kMaxPath]);
bool BackupFileName(const char* targetFolder, std::int32_t index, char (&out)[streams::kMaxPath]);
bool JournalFileName(const char* targetFolder, char (&out)[streams::kMaxPath]);
bool JournalDraftName(const char* targetFolder, char (&out)[streams::kMaxPath]);
// Not bounded by kMaxPath: only the Windows platform uses it, and there the
// system refuses a path that is too long.
std::string LockFileName(const char* targetFolder);
// The journal as a closing message names it, relative to the target folder.
std::string JournalDisplayName();

}  // namespace apply
