#include "builder/tree_walk.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/path_separator.h"

namespace builder {

namespace {

// Lists `relative` (empty for the root) and everything below it. True when
// a file was found anywhere below.
bool Walk(const std::string& root, const std::string& relative, TreeListing* listing) {
  std::vector<platform::FolderItem> items;
  if (!platform::Fs().ListFolder(JoinPath(root, relative).c_str(), &items)) {
    listing->unreadable.push_back(relative);
    // An unreadable folder is not reported as empty as well.
    return true;
  }
  // Byte order, so that the walk and its reports are the same every time.
  std::sort(
      items.begin(), items.end(),
      [](const platform::FolderItem& a, const platform::FolderItem& b) { return a.name < b.name; });
  bool holdsFile = false;
  for (const platform::FolderItem& item : items) {
    const std::string name = relative.empty() ? item.name : relative + '\\' + item.name;
    if (!item.representable) {
      listing->unrepresentable.push_back(name);
      // Refused already; its folder is not reported as empty as well.
      holdsFile = true;
      continue;
    }
    if (item.name.find('\\') != std::string::npos) {
      listing->backslashNames.push_back(name);
      continue;
    }
    switch (item.kind) {
      case platform::ItemKind::kFile:
        listing->files.push_back(TreeFile{name, item.size});
        holdsFile = true;
        break;
      case platform::ItemKind::kFolder:
        listing->folders.push_back(name);
        if (Walk(root, name, listing)) {
          holdsFile = true;
        } else {
          listing->emptyFolders.push_back(name);
        }
        break;
      case platform::ItemKind::kLink:
        listing->links.push_back(name);
        break;
      case platform::ItemKind::kOther:
        listing->special.push_back(name);
        break;
    }
  }
  return holdsFile;
}

}  // namespace

std::string JoinPath(const std::string& root, const std::string& relative) {
  if (relative.empty()) return root;
  if (root.empty() || platform::IsPathSeparator(root.back())) return root + relative;
  return root + '\\' + relative;
}

bool WalkTree(const std::string& root, TreeListing* listing) {
  *listing = TreeListing();
  const std::uint32_t attributes = platform::Fs().GetAttributes(root.c_str());
  if (attributes == platform::kInvalidAttributes || (attributes & platform::kAttrDirectory) == 0)
    return false;
  Walk(root, "", listing);
  if (listing->unreadable.size() == 1 && listing->unreadable[0].empty()) return false;
  const auto byName = [](const TreeFile& a, const TreeFile& b) { return a.name < b.name; };
  std::sort(listing->files.begin(), listing->files.end(), byName);
  std::sort(listing->folders.begin(), listing->folders.end());
  std::sort(listing->emptyFolders.begin(), listing->emptyFolders.end());
  return true;
}

}  // namespace builder
