#include "builder/package_builder.h"

#include <cstring>

#include "builder/delta_encoder.h"
#include "builder/file_bytes.h"
#include "builder/package_verifier.h"
#include "builder/suffix_array.h"
#include "builder/thorough_compression.h"
#include "builder/tree_diff.h"
#include "builder/tree_walk.h"
#include "package/file_stamp.h"
#include "package/package_reader.h"
#include "package/upgrade_session.h"
#include "platform/path_separator.h"
#include "streams/file_utilities.h"

namespace builder {

namespace {

// The label that names a tree in messages: its root and a separator.
std::string Label(const std::string& root) {
  if (!root.empty() && platform::IsPathSeparator(root.back())) return root;
  return root + '\\';
}

// Bytes of a delta stream that an insert of the whole file takes.
std::uint64_t InsertsSize(std::uint32_t size) {
  const std::uint64_t header = size == 0 ? 0 : size <= 0xFF ? 2 : size <= 0xFFFF ? 3 : 5;
  return header + size + 1;
}

class Builder {
 public:
  Builder(const BuildOptions& options, const std::function<void(const BuildProgress&)>& progress)
      : options_(options),
        progress_(progress),
        oldLabel_(Label(options.oldRoot)),
        newLabel_(Label(options.newRoot)) {}

  BuildResult Run() {
    CheckTexts();
    CheckThisBuildCan();
    TreeListing oldTree;
    TreeListing newTree;
    if (!WalkTree(options_.oldRoot, &oldTree))
      result_.errors.push_back(options_.oldRoot + ": not a folder that can be read");
    if (!WalkTree(options_.newRoot, &newTree))
      result_.errors.push_back(options_.newRoot + ": not a folder that can be read");
    if (!result_.errors.empty()) return std::move(result_);
    TreeDiff diff = DiffTrees(oldTree, newTree, oldLabel_, newLabel_);
    for (std::string& omission : diff.omissions)
      (options_.strict ? result_.errors : result_.warnings).push_back(std::move(omission));
    for (std::string& error : diff.errors) result_.errors.push_back(std::move(error));
    CheckBeforeReading(diff);
    if (!result_.errors.empty()) return std::move(result_);
    for (std::size_t i = 0; i < diff.files.size(); ++i) {
      if (progress_) progress_(BuildProgress{i, diff.files.size(), &diff.files[i].name});
      MakeEntry(diff.files[i]);
    }
    CheckTotals();
    if (result_.errors.empty()) Write();
    return std::move(result_);
  }

 private:
  void CheckTexts() {
    if (options_.title.size() >= package::kTitleCapacity)
      result_.errors.push_back("the title has " + std::to_string(options_.title.size()) +
                               " characters; the applicator shows at most " +
                               std::to_string(package::kTitleCapacity - 1));
    if (options_.description.size() >= package::kPackageDescriptionCapacity)
      result_.errors.push_back("the description has " +
                               std::to_string(options_.description.size()) +
                               " characters; the applicator shows at most " +
                               std::to_string(package::kPackageDescriptionCapacity - 1));
  }

  void CheckThisBuildCan() {
    if (options_.kind == package::PackageKind::kExtended && !CanSortSuffixes())
      result_.errors.push_back(
          "this build of upgtool cannot write extended packages: it lacks the suffix sorting "
          "library (libdivsufsort); build them with the Linux upgtool");
    if (options_.best && options_.compressed && !CanCompressThoroughly())
      result_.errors.push_back(
          "this build of upgtool cannot compress with --best: it lacks zopfli; build with the "
          "Linux upgtool, or without --best");
  }

  // What is certain before any file is read: adds, removes and files whose
  // size changed are entries, and every byte of those new files is written.
  void CheckBeforeReading(const TreeDiff& diff) {
    std::size_t entries = 0;
    std::uint64_t newBytes = 0;
    for (const PairedFile& file : diff.files) {
      const bool changes = file.pairing != FilePairing::kBoth || file.oldSize != file.newSize;
      if (changes || options_.verifyUnchanged) ++entries;
      if (changes) newBytes += file.newSize;
    }
    CheckEntryCount(entries);
    CheckNewBytes(newBytes);
  }

  void CheckEntryCount(std::size_t count) {
    if (count > static_cast<std::size_t>(package::kMaxEntries))
      result_.errors.push_back("the package would have " + std::to_string(count) +
                               " entries; at most " + std::to_string(package::kMaxEntries) +
                               " can be read");
  }

  // The applicator counts progress in 32 bits from 1: the new bytes must
  // leave that count above 0.
  void CheckNewBytes(std::uint64_t newBytes) {
    if (newBytes + 1 > 0xFFFFFFFFull)
      result_.errors.push_back("the new files add up to " + std::to_string(newBytes) +
                               " bytes; a package can write less than 4 GiB");
  }

  void CheckTotals() {
    CheckEntryCount(result_.entries.size());
    CheckNewBytes(result_.newBytes);
  }

  bool Stamp(const std::string& label, const std::string& root, const std::string& name,
             streams::FileStamp* stamp) {
    if (package::ComputeFileStamp(JoinPath(root, name).c_str(), *stamp)) return true;
    result_.errors.push_back(
        label + name + ": cannot be stamped (unreadable, locked, or dated outside 1980-2107)");
    return false;
  }

  bool Read(const std::string& label, const std::string& root, const std::string& name,
            std::uint64_t size, std::vector<std::uint8_t>* bytes) {
    if (ReadFileBytes(JoinPath(root, name), static_cast<std::uint32_t>(size), bytes)) return true;
    result_.errors.push_back(label + name + ": cannot be read");
    return false;
  }

  void MakeEntry(const PairedFile& file) {
    PackageEntrySpec entry;
    entry.fileName = file.name;
    std::vector<std::uint8_t> oldBytes;
    std::vector<std::uint8_t> newBytes;
    switch (file.pairing) {
      case FilePairing::kOnlyOld:
        entry.operation = package::Operation::kRemove;
        if (!Stamp(oldLabel_, options_.oldRoot, file.name, &entry.oldStamp)) return;
        break;
      case FilePairing::kOnlyNew:
        entry.operation = package::Operation::kAdd;
        if (!Stamp(newLabel_, options_.newRoot, file.name, &entry.newStamp) ||
            !Read(newLabel_, options_.newRoot, file.name, file.newSize, &newBytes))
          return;
        Carry(EncodeInserts(newBytes.data(), entry.newStamp.size), &entry);
        break;
      case FilePairing::kBoth:
        if (!Stamp(oldLabel_, options_.oldRoot, file.name, &entry.oldStamp) ||
            !Stamp(newLabel_, options_.newRoot, file.name, &entry.newStamp) ||
            !Read(oldLabel_, options_.oldRoot, file.name, file.oldSize, &oldBytes) ||
            !Read(newLabel_, options_.newRoot, file.name, file.newSize, &newBytes))
          return;
        if (oldBytes == newBytes) {
          if (!options_.verifyUnchanged) return;
          entry.operation = package::Operation::kVerify;
          entry.newStamp = streams::FileStamp{};
          break;
        }
        ChooseUpdateOrReplace(oldBytes, newBytes, &entry);
        break;
    }
    SetPolicies(&entry);
    const auto description = options_.descriptions.find(entry.fileName);
    if (description != options_.descriptions.end()) entry.description = description->second;
    ++result_.entriesByOperation[static_cast<std::size_t>(entry.operation)];
    if (package::CarriesNewStamp(entry.operation)) result_.newBytes += entry.newStamp.size;
    result_.entries.push_back(std::move(entry));
  }

  // An Update needs the installed file as it was released; a Replace does
  // not, so it is preferred whenever the delta saves nothing.
  void ChooseUpdateOrReplace(const std::vector<std::uint8_t>& oldBytes,
                             const std::vector<std::uint8_t>& newBytes, PackageEntrySpec* entry) {
    const std::uint32_t newSize = static_cast<std::uint32_t>(newBytes.size());
    const std::uint32_t oldSize = static_cast<std::uint32_t>(oldBytes.size());
    const MatchSettings settings = options_.best ? kThoroughMatches : MatchSettings();
    EncodedDelta delta =
        options_.kind == package::PackageKind::kExtended
            ? EncodeExtendedDelta(oldBytes.data(), oldSize, newBytes.data(), newSize, settings)
            : EncodeDelta(oldBytes.data(), oldSize, newBytes.data(), newSize, settings);
    entry->operation = package::Operation::kUpdate;
    if (delta.bytes.size() - delta.zeroDifferences < InsertsSize(newSize)) {
      Carry(std::move(delta), entry);
      return;
    }
    Carry(EncodeInserts(newBytes.data(), newSize), entry);
    // The older layout has no Replace: an Update whose stream is all inserts
    // rebuilds the file just the same.
    if (options_.version > package::kLastTwoBitFlagsVersion)
      entry->operation = package::Operation::kReplace;
  }

  void Carry(EncodedDelta delta, PackageEntrySpec* entry) {
    entry->delta = std::move(delta.bytes);
    result_.literalBytes += delta.literalBytes;
  }

  void SetPolicies(PackageEntrySpec* entry) const {
    EntryPolicies policies = DefaultPolicies(entry->operation);
    if (options_.warningPolicy) policies.warning = *options_.warningPolicy;
    if (options_.errorPolicy) policies.error = *options_.errorPolicy;
    options_.rules.Apply(entry->fileName, &policies);
    entry->warningPolicy = policies.warning;
    entry->errorPolicy = policies.error;
  }

  void Write() {
    PackageWriter writer(options_.version, options_.kind);
    writer.SetTitle(options_.title);
    writer.SetDescription(options_.description);
    for (const PackageEntrySpec& entry : result_.entries) writer.AddEntry(entry);
    bool written = false;
    if (!options_.compressed) {
      written = writer.Plain(&result_.bytes);
    } else if (!options_.best) {
      written = writer.Compressed(&result_.bytes, options_.compressionLevel);
    } else {
      std::vector<std::uint8_t> plain;
      written = writer.Plain(&plain) && CompressPackageThoroughly(plain, &result_.bytes);
    }
    if (!written) result_.errors.push_back("the package could not be encoded");
  }

  const BuildOptions& options_;
  const std::function<void(const BuildProgress&)>& progress_;
  const std::string oldLabel_;
  const std::string newLabel_;
  BuildResult result_;
};

}  // namespace

BuildResult BuildPackage(const BuildOptions& options,
                         const std::function<void(const BuildProgress&)>& progress) {
  return Builder(options, progress).Run();
}

std::string WriteBuiltPackage(const BuildOptions& options, const BuildResult& result,
                              const std::string& path, bool verify) {
  const std::string partial = path + ".partial";
  if (!WriteBytesToFile(partial.c_str(), result.bytes)) {
    streams::RemoveFile(partial.c_str());
    return partial + ": cannot be written";
  }
  if (verify) {
    const std::string difference = VerifyPackage(partial, options.version, options.kind,
                                                 result.entries, options.oldRoot, options.newRoot);
    if (!difference.empty()) {
      streams::RemoveFile(partial.c_str());
      return "verification failed, the package is not written: " + difference;
    }
  }
  if (!streams::MoveFileReplacing(partial.c_str(), path.c_str())) {
    streams::RemoveFile(partial.c_str());
    return path + ": cannot be written";
  }
  return "";
}

}  // namespace builder
