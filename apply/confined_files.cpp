#include "apply/confined_files.h"

#include "package/upgrade_session.h"
#include "platform/file_system.h"
#include "streams/file_utilities.h"

namespace apply {

using platform::Fs;
using platform::LinkFinding;

namespace {

LinkFinding Find(const package::UpgradeSession& session, const char* path) {
  return Fs().FindLinkBelow(session.targetFolder, path);
}

bool Allows(LinkFinding finding) {
  return finding == LinkFinding::kNone || finding == LinkFinding::kLast;
}

}  // namespace

bool IsConfined(const package::UpgradeSession& session, const char* path) {
  return Allows(Find(session, path));
}

bool IsWritableInPlace(const package::UpgradeSession& session, const char* path) {
  LinkFinding finding = Find(session, path);
  if (finding == LinkFinding::kLast && Fs().DeleteFile(path)) finding = Find(session, path);
  return finding == LinkFinding::kNone;
}

bool ConfinedMove(const package::UpgradeSession& session, const char* from, const char* to) {
  return IsConfined(session, from) && IsConfined(session, to) && Fs().MoveFile(from, to);
}

bool ConfinedCreateFolder(const package::UpgradeSession& session, const char* path) {
  return IsConfined(session, path) && Fs().CreateFolder(path);
}

// Only a real folder is removed: some systems (Wine among them) remove the
// folder a link points to when asked to remove the link.
bool ConfinedRemoveFolder(const package::UpgradeSession& session, const char* path) {
  return Find(session, path) == LinkFinding::kNone && Fs().RemoveFolder(path);
}

bool ConfinedDelete(const package::UpgradeSession& session, const char* path) {
  return IsConfined(session, path) && Fs().DeleteFile(path);
}

bool ConfinedExists(const package::UpgradeSession& session, const char* path) {
  const LinkFinding finding = Find(session, path);
  if (finding == LinkFinding::kLast) return true;
  return finding == LinkFinding::kNone && streams::IsFile(path);
}

bool IsConfinedFile(const package::UpgradeSession& session, const char* path) {
  return Find(session, path) == LinkFinding::kNone && streams::IsFile(path);
}

}  // namespace apply
