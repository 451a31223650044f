// Names inside the target folder that belong to a run: the staging folder
// "__KVUPD_", its temporary files "N<5 digits>.TMP" by entry index (new
// versions), the backups "O<5 digits>.TMP" (installed versions moved aside
// by the commit), and the commit's journal "COMMIT.JNL" with its draft
// "COMMIT.NEW". The same index names the same file in every pass.
#pragma once

#include <cstddef>
#include <cstdint>

#include "streams/file_utilities.h"

// Characters a temporary file's name adds to the target folder.
constexpr std::size_t kTemporaryNameLength = 19;

// False, with `out` not to be used, when the name does not fit kMaxPath.
bool StagingFolderName(const char* targetFolder, char (&out)[kMaxPath]);
bool TemporaryFileName(const char* targetFolder, std::int32_t index, char (&out)[kMaxPath]);
bool BackupFileName(const char* targetFolder, std::int32_t index, char (&out)[kMaxPath]);
bool JournalFileName(const char* targetFolder, char (&out)[kMaxPath]);
bool JournalDraftName(const char* targetFolder, char (&out)[kMaxPath]);
