// Checks a freshly written package the way the applicator will read it.
#pragma once

#include <string>
#include <vector>

#include "builder/package_writer.h"

namespace builder {

// Opens `packagePath` with the project's reader, compares its kind, header and
// entry table with `entries`, and replays every delta stream with the apply
// engine's interpreter against the old file in memory: each result must
// equal the new file and its stamp, and nothing may follow the last stream.
// Files are read from `oldRoot` and `newRoot` by entry name. Returns empty
// when all holds, else the first difference.
std::string VerifyPackage(const std::string& packagePath, std::uint8_t version,
                          package::PackageKind kind, const std::vector<PackageEntrySpec>& entries,
                          const std::string& oldRoot, const std::string& newRoot);

}  // namespace builder
