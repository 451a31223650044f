// Names of the staging folder, "__KVUPD_" inside the target folder, and of
// its temporary files, "__KVUPD_\N<5 digits>.TMP" by entry index. The same
// index names the same file in every pass.
#pragma once

#include <cstddef>
#include <cstdint>

#include "streams/file_utilities.h"

// Characters a temporary file's name adds to the target folder.
constexpr std::size_t kTemporaryNameLength = 19;

// False, with `out` not to be used, when the name does not fit kMaxPath.
bool StagingFolderName(const char* targetFolder, char (&out)[kMaxPath]);
bool TemporaryFileName(const char* targetFolder, std::int32_t index, char (&out)[kMaxPath]);
