// A file for a secret: created new, and only its owner may open it.
#pragma once

#include "platform/handles.h"

namespace platform {

// Creates `path` as a new file that only the current user can open, opened
// for writing; write to it and close it through Fs(). kInvalidFile when the
// path exists already or cannot be created. POSIX: permission bits 0600,
// whatever the umask. Windows: a protected access list that grants the
// current user alone full access, so that nothing the folder would pass on
// applies to it.
FileHandle CreatePrivateFile(const char* path);

}  // namespace platform
