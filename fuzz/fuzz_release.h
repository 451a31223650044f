// The small pair of releases behind the whole-apply target and the seeds:
// every run installs release 1 before it applies its input, and the seed
// packages, built from the two by the project's builder, bring release 1
// to release 2 with every kind of entry.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The files of release 1 or 2 by relative name (backslash separators).
std::map<std::string, std::vector<std::uint8_t>> ReleaseFiles(int release);

// Beside the installed release the whole-apply target keeps a folder with
// one file, and inside the release a symbolic link to that folder: no run
// may write, move or delete anything through it.
constexpr char kOutsideFolder[] = "outside";
constexpr char kOutsideFile[] = "kept.txt";
constexpr char kLinkToOutside[] = "ldir";

// Writes release 1 or 2 into `folder` (which ends in a backslash), with the
// release's file dates. False when a file or folder could not be written.
bool WriteRelease(const std::string& folder, int release);
