// Lists a release folder for the builder: every regular file by its path
// relative to the folder (backslash separators, as packages store them),
// and what a package cannot carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace builder {

struct TreeFile {
  std::string name;
  std::uint64_t size;
};

struct TreeListing {
  // Sorted byte-wise by name.
  std::vector<TreeFile> files;
  // Every folder below the root, sorted.
  std::vector<std::string> folders;
  // Folders with no file anywhere below them.
  std::vector<std::string> emptyFolders;
  // Symbolic links (never followed) and devices, pipes and sockets.
  std::vector<std::string> links;
  std::vector<std::string> special;
  // Folders whose contents could not be listed.
  std::vector<std::string> unreadable;
  // Names that hold a backslash, which a package would read as a separator.
  std::vector<std::string> backslashNames;
  // Names the package code page cannot write, with a '?' for each character
  // it lacks; a folder among them is not entered.
  std::vector<std::string> unrepresentable;
};

// False when `root` is not a folder that can be listed.
bool WalkTree(const std::string& root, TreeListing* listing);

// `root` and `relative` joined with one backslash.
std::string JoinPath(const std::string& root, const std::string& relative);

}  // namespace builder
