// Writes the seed corpora of the fuzz targets into OUTPUT_FOLDER/<target>/:
// packages that the project's builder makes from the two fuzz releases
// (plain and "[KVZ]", both layouts, both kinds, several policies), their
// delta streams with the old files they copy from, and the smallest
// complete package.
// Usage: make_fuzz_seeds OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "builder/package_builder.h"
#include "demo/output_folder.h"
#include "fuzz/fuzz_release.h"
#include "package/upgrade_session.h"
#include "streams/file_utilities.h"
#include "tests/support/package_file.h"

using namespace streams;
using namespace package;
using namespace builder;

namespace {

using Bytes = std::vector<std::uint8_t>;

class SeedWriter {
 public:
  explicit SeedWriter(std::string folder) : folder_(std::move(folder)) {
    CreateFolder(folder_.c_str());
  }
  // One seed: the fields in front, then the body.
  bool Write(const Bytes& front, const Bytes& body) {
    Bytes seed = front;
    seed.insert(seed.end(), body.begin(), body.end());
    const std::string path = folder_ + "\\seed-" + std::to_string(count_++);
    return WriteBytesToFile(path.c_str(), seed);
  }

 private:
  std::string folder_;
  int count_ = 0;
};

Bytes Little(std::uint32_t value, int bytes) {
  Bytes out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return out;
}

Bytes Join(const Bytes& a, const Bytes& b) {
  Bytes joined = a;
  joined.insert(joined.end(), b.begin(), b.end());
  return joined;
}

// An entry that writes "abc" to the file.
PackageEntrySpec WritingAbc(Operation operation, const std::string& fileName) {
  PackageEntrySpec entry;
  entry.operation = operation;
  entry.fileName = fileName;
  entry.newStamp = MakeStamp(0x0021, 0, 3, 0x6202);
  entry.delta = InsertDelta("abc");
  return entry;
}

PackageEntrySpec RemovalOf(const std::string& fileName) {
  PackageEntrySpec entry;
  entry.operation = Operation::kRemove;
  entry.fileName = fileName;
  return entry;
}

// A package whose entries reach through the link of the whole-apply
// target's release: Add, Replace and Remove of files beside it.
Bytes ThroughTheLink() {
  PackageWriter writer;
  writer.SetTitle("Through the link");
  const std::string prefix = std::string(kLinkToOutside) + "\\";
  const char* names[] = {"added.txt", kOutsideFile, kOutsideFile};
  const Operation operations[] = {Operation::kAdd, Operation::kReplace, Operation::kRemove};
  for (int i = 0; i < 3; ++i) {
    writer.AddEntry(operations[i] == Operation::kRemove
                        ? RemovalOf(prefix + names[i])
                        : WritingAbc(operations[i], prefix + names[i]));
  }
  Bytes bytes;
  writer.Plain(&bytes);
  return bytes;
}

// The package that adds a.txt holding "abc", with the title T.
Bytes SmallestPackage() {
  PackageWriter writer;
  writer.SetTitle("T");
  writer.AddEntry(WritingAbc(Operation::kAdd, "a.txt"));
  Bytes bytes;
  writer.Plain(&bytes);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  std::string root;
  if (const int status = demo::TakeOutputFolder(argc, argv, "make_fuzz_seeds", &root))
    return status;
  const std::string releases = root + "releases\\";
  CreateFolder((root + "releases").c_str());
  if (!WriteRelease(releases + "1\\", 1) || !WriteRelease(releases + "2\\", 2)) {
    std::fprintf(stderr, "make_fuzz_seeds: the releases cannot be written under %s\n", argv[1]);
    return 1;
  }
  SeedWriter reader(root + "package_reader");
  SeedWriter delta(root + "apply_delta");
  SeedWriter apply(root + "apply");
  const auto old = ReleaseFiles(1);
  bool written = reader.Write({0}, SmallestPackage()) && reader.Write({1}, SmallestPackage()) &&
                 apply.Write({0xFF, 0xFF, 0xFF, 0xFF, 0, 0}, ThroughTheLink());

  struct Variant {
    std::uint8_t version;
    std::optional<Policy> errorPolicy;
    bool verifyUnchanged;
    PackageKind kind;
  };
  const Variant variants[] = {{18, std::nullopt, true, PackageKind::kClassic},
                              {18, Policy::kIgnore, false, PackageKind::kExtended},
                              {17, Policy::kAsk, true, PackageKind::kClassic}};
  for (const Variant& variant : variants) {
    BuildOptions options;
    options.oldRoot = releases + "1";
    options.newRoot = releases + "2";
    options.title = "Fuzz seed";
    options.description = "Release 1 to release 2.\r\nEvery kind of entry.";
    options.version = variant.version;
    options.errorPolicy = variant.errorPolicy;
    options.verifyUnchanged = variant.verifyUnchanged;
    options.kind = variant.kind;
    options.compressed = false;
    const BuildResult plain = BuildPackage(options);
    options.compressed = true;
    const BuildResult compressed = BuildPackage(options);
    if (!plain.errors.empty() || !compressed.errors.empty()) {
      std::fprintf(stderr, "make_fuzz_seeds: the builder refused the releases\n");
      return 1;
    }
    written = written && reader.Write({0}, plain.bytes) && reader.Write({0}, compressed.bytes) &&
              reader.Write({1}, plain.bytes);
    const Bytes everyYes = {0xFF, 0xFF, 0xFF, 0xFF, 0};
    const Bytes everyNo = {0, 0, 0, 0, 0};
    written = written && apply.Write(Join(everyYes, {0}), plain.bytes) &&
              apply.Write(Join(everyYes, {1}), plain.bytes) &&
              apply.Write(Join(everyNo, {0}), plain.bytes) &&
              apply.Write(Join({0xFF, 0xFF, 0xFF, 0xFF, 3}, {2}), plain.bytes) &&
              apply.Write(Join(everyYes, {0}), compressed.bytes);
    for (const PackageEntrySpec& entry : plain.entries) {
      if (entry.delta.empty()) continue;
      const auto found = old.find(entry.fileName);
      const Bytes oldBytes =
          entry.operation == Operation::kUpdate && found != old.end() ? found->second : Bytes();
      const std::uint8_t mode = variant.kind == PackageKind::kExtended ? 7 : 3;
      const Bytes front =
          Join(Join({mode}, Little(entry.newStamp.size, 3)),
               Join(Little(static_cast<std::uint32_t>(oldBytes.size()), 2), oldBytes));
      written = written && delta.Write(front, entry.delta);
    }
  }
  std::error_code error;
  std::filesystem::remove_all(std::filesystem::path(argv[1]) / "releases", error);
  if (!written) {
    std::fprintf(stderr, "make_fuzz_seeds: a seed could not be written under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
