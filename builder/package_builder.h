// Builds an upgrade package from two release folders: the entries from the
// difference of the trees, delta streams for the changed files, the
// package written and then verified before it takes its name.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "builder/build_policies.h"
#include "builder/package_writer.h"

namespace builder {

struct BuildOptions {
  std::string oldRoot;
  std::string newRoot;
  std::string title;
  std::string description;
  // 18, or 17 for the older layout without Replace.
  std::uint8_t version = 18;
  // Extended: changed files are encoded with AddDiffs as well
  // (builder/approximate_matches.h); only this project's applicators read it.
  package::PackageKind kind = package::PackageKind::kClassic;
  bool compressed = true;
  int compressionLevel = 9;
  // The thorough match settings and, in the container, zopfli instead of
  // zlib's own compression: a smaller package for a slower build.
  bool best = false;
  // A Verify entry for every file that did not change.
  bool verifyUnchanged = false;
  // Links, special files and empty folders are errors instead of warnings.
  bool strict = false;
  // Unset: each operation's default (build_policies.h).
  std::optional<package::Policy> warningPolicy;
  std::optional<package::Policy> errorPolicy;
  PolicyRules rules;
  // Entry descriptions by file name (the applicator shows up to 79
  // characters of each); files not named get none.
  std::map<std::string, std::string> descriptions;
};

struct BuildProgress {
  std::size_t done;
  std::size_t total;
  const std::string* name;
};

struct BuildResult {
  // Empty when the package could be built.
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  std::vector<PackageEntrySpec> entries;
  // The package, plain or in its container.
  std::vector<std::uint8_t> bytes;
  // Entries by operation code (Add, Update, Replace, Verify, Remove).
  std::array<std::uint32_t, 5> entriesByOperation{};
  std::uint32_t EntriesOf(package::Operation operation) const {
    return entriesByOperation[static_cast<std::size_t>(operation)];
  }
  // Bytes of the files that the package writes, and of those bytes the ones
  // it carries as literal bytes rather than copies of old files.
  std::uint64_t newBytes = 0;
  std::uint64_t literalBytes = 0;
};

// Everything but the writing. `progress`, when given, is told before each
// file is compared or encoded.
BuildResult BuildPackage(const BuildOptions& options,
                         const std::function<void(const BuildProgress&)>& progress = nullptr);

// Writes `result.bytes` to `path`: first under a temporary name beside it,
// then, unless `verify` is false, reads it back and replays it against the
// releases (package_verifier.h); only a package that passes takes `path`,
// replacing what was there. Empty when done, else why nothing was written.
std::string WriteBuiltPackage(const BuildOptions& options, const BuildResult& result,
                              const std::string& path, bool verify);

}  // namespace builder
