// The engine's changes to the target folder, each refused when a folder on
// the way to a path it names is a symbolic link or junction, or cannot be
// examined. The check is made right before each change, so a folder swapped
// for a link after the pre-flight is not followed either. The target folder
// itself may be reached through links; a link as the last component is
// moved or removed itself, never followed.
#pragma once

namespace package {
class UpgradeSession;
}  // namespace package

namespace apply {

// True when no folder below the target folder on the way to `path` is a
// link.
bool IsConfined(const package::UpgradeSession& session, const char* path);
// True when `path` is confined and is not a link (one that was is deleted
// first): a file opened there for writing lands in the target folder.
bool IsWritableInPlace(const package::UpgradeSession& session, const char* path);

// Moves without replacing: the destination must not exist.
bool ConfinedMove(const package::UpgradeSession& session, const char* from, const char* to);
bool ConfinedCreateFolder(const package::UpgradeSession& session, const char* path);
bool ConfinedRemoveFolder(const package::UpgradeSession& session, const char* path);
bool ConfinedDelete(const package::UpgradeSession& session, const char* path);
// A file, or a link in the file's place, is at `path`.
bool ConfinedExists(const package::UpgradeSession& session, const char* path);
// A file that is no link is at `path`: it may be opened.
bool IsConfinedFile(const package::UpgradeSession& session, const char* path);

}  // namespace apply
