#include "ui/folder_search.h"

#include <cstring>

#include "package/folder_validation.h"
#include "package/upgrade_session.h"
#include "platform/bounded_text.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "streams/file_utilities.h"
#include "ui/folder_path.h"

namespace ui {

namespace {

bool TakeText(std::deque<std::string>& from, char* out, std::size_t capacity) {
  if (from.empty()) return false;
  const bool fits = platform::CopyText(out, capacity, from.front().c_str());
  from.pop_front();
  // A text that does not fit is given as empty rather than cut: a cut path
  // would name another folder.
  if (!fits) out[0] = 0;
  return true;
}

// Seeds the queue with the next fixed drive's root; false when no drive is
// left.
bool SeedNextDrive(SearchHost& host, int& drive) {
  while (host.QueueEmpty()) {
    if (drive >= platform::kDriveCount) return false;
    char root[streams::kMaxPath];
    const bool exists = host.DriveRoot(drive, root, sizeof root);
    ++drive;
    if (exists && host.IsFixedDrive(root)) host.QueueAppend(root);
  }
  return true;
}

void QueueSubfolders(package::UpgradeSession& session, SearchHost& host) {
  host.FillListing(session.targetFolder);
  char entry[streams::kMaxPath];
  while (host.ListingTakeFirst(entry, sizeof entry)) {
    if (entry[0] == 0) return;
    // Entries are "[name]"; names beginning with "." (the folder itself,
    // its parent, hidden folders) are not searched.
    if (entry[0] != '[' || entry[1] == '.') continue;
    char* close = std::strrchr(entry, ']');
    if (close != nullptr) *close = 0;
    char path[streams::kMaxPath];
    if (platform::CopyText(path, session.targetFolder) && platform::AppendText(path, entry + 1))
      host.QueueAppend(path);
  }
}

}  // namespace

bool SearchHost::DriveRoot(int index, char* root, std::size_t capacity) {
  return platform::DriveRoot(index, root, static_cast<std::uint32_t>(capacity));
}

bool SearchHost::IsFixedDrive(const char* root) { return platform::IsFixedDrive(root); }

bool PlatformSearchHost::QueueEmpty() { return queue_.empty(); }

void PlatformSearchHost::QueueAppend(const char* folder) { queue_.emplace_back(folder); }

bool PlatformSearchHost::QueueTakeFirst(char* folder, std::size_t capacity) {
  return TakeText(queue_, folder, capacity);
}

void PlatformSearchHost::FillListing(const char* folder) {
  listing_.clear();
  std::vector<platform::FolderItem> items;
  platform::Fs().ListFolder(folder, &items);
  for (const platform::FolderItem& item : items) {
    // A folder whose name the code page cannot write cannot be entered.
    if (item.kind != platform::ItemKind::kFolder || !item.representable) continue;
    const std::string path = std::string(folder) + item.name;
    if (platform::IsSearchableFolder(path.c_str())) listing_.push_back("[" + item.name + "]");
  }
}

bool PlatformSearchHost::ListingTakeFirst(char* entry, std::size_t capacity) {
  return TakeText(listing_, entry, capacity);
}

void PlatformSearchHost::Visited(unsigned long count) {
  if (frontEnd_ != nullptr) frontEnd_->SearchProgress(count);
}

namespace {

class SearchScope {
 public:
  explicit SearchScope(SearchHost& host) : host_(host) { host_.BeginSearch(); }
  ~SearchScope() { host_.EndSearch(); }
  SearchScope(const SearchScope&) = delete;
  SearchScope& operator=(const SearchScope&) = delete;

 private:
  SearchHost& host_;
};

}  // namespace

int SearchFixedDrives(package::UpgradeSession& session, SearchHost& host) {
  const SearchScope scope(host);
  const streams::CurrentFolderKeeper keeper;
  int drive = 0;
  unsigned long visited = 0;
  while (SeedNextDrive(host, drive)) {
    session.targetFolder[0] = 0;
    if (!host.QueueTakeFirst(session.targetFolder, sizeof session.targetFolder) ||
        session.targetFolder[0] == 0)
      return 0;
    const std::size_t length = std::strlen(session.targetFolder);
    if (!platform::IsPathSeparator(session.targetFolder[length - 1]) &&
        !platform::AppendText(session.targetFolder, "\\"))
      continue;
    host.Visited(++visited);
    if (package::ValidateTargetFolder(session)) return 1;
    QueueSubfolders(session, host);
  }
  return 0;
}

int FindInstalledFolder(const char* packagePath, char* folder, platform::ModuleInstance instance,
                        platform::WindowHandle owner, SearchHost& host) {
  package::UpgradeSession session(instance, owner, packagePath, "C:\\");
  if (!session.IsValid() || !SearchFixedDrives(session, host)) return 0;
  char found[streams::kMaxPath];
  if (!platform::CopyText(found, session.targetFolder)) return 0;
  TrimFolderSeparator(found);
  char resolved[streams::kMaxPath];
  streams::ResolveStoredName(found, resolved);
  if (resolved[0] == 0) return 0;
  return platform::CopyText(folder, streams::kMaxPath, resolved) ? 1 : 0;
}

}  // namespace ui
