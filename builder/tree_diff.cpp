#include "builder/tree_diff.h"

#include <algorithm>
#include <map>

#include "builder/windows_names.h"
#include "package/entry_path.h"
#include "package/package_format.h"
#include "platform/code_page.h"

namespace builder {

namespace {

bool Contains(const std::vector<std::string>& sorted, const std::string& name) {
  return std::binary_search(sorted.begin(), sorted.end(), name);
}

// The folders that `name` lies in: "a", "a\b" for "a\b\c".
std::vector<std::string> Parents(const std::string& name) {
  std::vector<std::string> parents;
  for (std::size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1))
    parents.push_back(name.substr(0, at));
  return parents;
}

class Differ {
 public:
  Differ(const TreeListing& oldTree, const TreeListing& newTree, const std::string& oldLabel,
         const std::string& newLabel)
      : old_(oldTree), new_(newTree), oldLabel_(oldLabel), newLabel_(newLabel) {}

  TreeDiff Run() {
    ReportOmissions(old_, oldLabel_);
    ReportOmissions(new_, newLabel_);
    Pair();
    for (const PairedFile& file : diff_.files) CheckFile(file);
    CheckCaseCollisions();
    return std::move(diff_);
  }

 private:
  void ReportOmissions(const TreeListing& tree, const std::string& label) {
    const TreeListing& other = &tree == &old_ ? new_ : old_;
    for (const std::string& name : tree.links)
      diff_.omissions.push_back(label + name +
                                ": symbolic link left out (a package carries only files)");
    for (const std::string& name : tree.special)
      diff_.omissions.push_back(label + name +
                                ": special file left out (a package carries only files)");
    for (const std::string& name : tree.emptyFolders) {
      // An empty folder in both releases needs nothing from the package.
      if (Contains(other.emptyFolders, name)) continue;
      diff_.omissions.push_back(
          label + name + ": empty folder left out (a package creates folders only for files)");
    }
    for (const std::string& name : tree.unreadable)
      diff_.errors.push_back(label + name + ": the folder cannot be read");
    for (const std::string& name : tree.backslashNames)
      diff_.errors.push_back(label + name +
                             ": cannot be stored: a backslash in a name would read as a separator");
    for (const std::string& name : tree.unrepresentable)
      diff_.errors.push_back(label + name + ": cannot be stored: code page " +
                             std::to_string(platform::PackageCodePage()) +
                             " has no character for each '?' in the name");
  }

  void Pair() {
    std::size_t i = 0;
    std::size_t j = 0;
    const std::vector<TreeFile>& olds = old_.files;
    const std::vector<TreeFile>& news = new_.files;
    while (i < olds.size() || j < news.size()) {
      if (j == news.size() || (i < olds.size() && olds[i].name < news[j].name)) {
        diff_.files.push_back({FilePairing::kOnlyOld, olds[i].name, olds[i].size, 0});
        ++i;
      } else if (i == olds.size() || news[j].name < olds[i].name) {
        diff_.files.push_back({FilePairing::kOnlyNew, news[j].name, 0, news[j].size});
        ++j;
      } else {
        diff_.files.push_back({FilePairing::kBoth, news[j].name, olds[i].size, news[j].size});
        ++i;
        ++j;
      }
    }
  }

  void CheckFile(const PairedFile& file) {
    const std::string reason = UnstorableNameReason(file.name);
    if (!reason.empty()) diff_.errors.push_back(file.name + ": cannot be stored: " + reason);
    if (file.oldSize > kLargestFile)
      diff_.errors.push_back(oldLabel_ + file.name + ": " + std::to_string(file.oldSize) +
                             " bytes; files of 4 GiB and more are outside the package format");
    if (file.newSize > kLargestFile)
      diff_.errors.push_back(newLabel_ + file.name + ": " + std::to_string(file.newSize) +
                             " bytes; files of 4 GiB and more are outside the package format");
    // A name that is a file in one release and a folder in the other: the
    // applicator neither removes folders nor puts a file where one stands.
    if (file.pairing == FilePairing::kOnlyNew) CheckKind(file.name, old_, oldLabel_);
    if (file.pairing == FilePairing::kOnlyOld) CheckKind(file.name, new_, newLabel_);
  }

  void CheckKind(const std::string& name, const TreeListing& other, const std::string& label) {
    if (Contains(other.folders, name)) {
      diff_.errors.push_back(name + ": a file in one release and a folder in " + label +
                             "; a package cannot turn one into the other");
    }
    for (const std::string& parent : Parents(name)) {
      const auto found = std::lower_bound(
          other.files.begin(), other.files.end(), parent,
          [](const TreeFile& file, const std::string& key) { return file.name < key; });
      if (found != other.files.end() && found->name == parent) {
        diff_.errors.push_back(name + ": " + parent + " is a file in " + label +
                               "; a package cannot turn one into the other");
      }
    }
  }

  // Two names that differ only in case are one file where case is ignored
  // (on Windows): an entry for one would overwrite or remove the other.
  void CheckCaseCollisions() {
    std::map<std::string, std::string> seen;
    for (const PairedFile& file : diff_.files) {
      const auto inserted = seen.emplace(platform::PackageTextUpperCase(file.name), file.name);
      if (!inserted.second) {
        diff_.errors.push_back(file.name + ": differs from " + inserted.first->second +
                               " only in case; both would name one file on Windows");
      }
    }
  }

  const TreeListing& old_;
  const TreeListing& new_;
  const std::string& oldLabel_;
  const std::string& newLabel_;
  TreeDiff diff_;
};

}  // namespace

std::string UnstorableNameReason(const std::string& name) {
  if (name.size() > package::kMaxEntryName) {
    return "the path has " + std::to_string(name.size()) + " characters, at most " +
           std::to_string(package::kMaxEntryName) + " can be stored";
  }
  if (!package::IsSafeEntryName(name.c_str())) {
    return "the applicator refuses names with ':', or an empty, \".\" or \"..\" component";
  }
  return WindowsNameProblem(name);
}

TreeDiff DiffTrees(const TreeListing& oldTree, const TreeListing& newTree,
                   const std::string& oldLabel, const std::string& newLabel) {
  return Differ(oldTree, newTree, oldLabel, newLabel).Run();
}

}  // namespace builder
