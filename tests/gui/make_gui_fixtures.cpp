// Writes what the GUI tests apply, into OUTPUT_FOLDER:
//   slow.upg   passes in target\ (two verified markers) but also verifies a
//              file that is missing there, asking about it, and adds a large
//              file, so that its installation lasts some seconds;
//   target\    marker1.txt and marker2.txt, the installation slow.upg finds;
//   lenient.upg  fails the folder check everywhere (it verifies only a
//              missing file) and adds added.txt, so page 3 shows and Next
//              installs anyway;
//   extended.upg an extended package that also passes in target\ and
//              rewrites marker1.txt with one AddDiff: "installed" becomes
//              "INSTALLED". Written by hand, since the Windows build has no
//              encoder for that kind.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "builder/delta_writer.h"
#include "builder/package_writer.h"
#include "demo/noise.h"
#include "demo/output_folder.h"
#include "package/file_stamp.h"
#include "package/upgrade_session.h"
#include "streams/file_utilities.h"

using namespace streams;
using namespace package;
using namespace builder;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kDate = (45u << 9) | (6u << 5) | 1u;  // 2025-06-01
constexpr std::uint32_t kLargeFileSize = 400000;

// The stamp of `bytes` as a new file of the upgrade.
FileStamp NewStamp(const Bytes& bytes) {
  FileStamp stamp{};
  stamp.dosDate = kDate;
  stamp.size = static_cast<std::uint32_t>(bytes.size());
  for (std::size_t at = 0; at < bytes.size(); at += kChecksumBlockSize) {
    const std::size_t length = std::min<std::size_t>(kChecksumBlockSize, bytes.size() - at);
    stamp.checksum =
        FoldChecksumBlock(stamp.checksum, bytes.data() + at, static_cast<std::int32_t>(length));
  }
  return stamp;
}

PackageEntrySpec AskAboutMissingFile() {
  PackageEntrySpec verify;
  verify.operation = Operation::kVerify;
  verify.errorPolicy = Policy::kAsk;
  verify.fileName = "missing.txt";
  verify.description = "A file this folder lacks";
  verify.oldStamp.size = 5;
  return verify;
}

PackageEntrySpec AddFile(const std::string& name, const Bytes& bytes) {
  PackageEntrySpec add;
  add.operation = Operation::kAdd;
  add.errorPolicy = Policy::kCritical;
  add.fileName = name;
  add.description = "Added by the upgrade";
  DeltaWriter delta;
  // Pieces of a few kilobytes, as a package builder writes them.
  for (std::size_t at = 0; at < bytes.size(); at += 4096) {
    const std::size_t length = std::min<std::size_t>(4096, bytes.size() - at);
    delta.Insert(bytes.data() + at, static_cast<std::uint32_t>(length));
  }
  delta.End();
  add.delta = delta.bytes();
  add.newStamp = NewStamp(bytes);
  return add;
}

// An Update of `name` from `before` to the same text with its first word in
// capitals, as one AddDiff.
PackageEntrySpec CapitaliseFirstWord(const std::string& name, const std::string& before,
                                     const FileStamp& oldStamp) {
  std::string after = before;
  Bytes differences(before.size(), 0);
  for (std::size_t i = 0; i < after.size() && after[i] != ' '; ++i) {
    after[i] = static_cast<char>(after[i] - 'a' + 'A');
    differences[i] = static_cast<std::uint8_t>('A' - 'a');
  }
  PackageEntrySpec update;
  update.operation = Operation::kUpdate;
  update.errorPolicy = Policy::kCritical;
  update.fileName = name;
  update.description = "Rewritten by an AddDiff";
  update.oldStamp = oldStamp;
  update.newStamp = NewStamp(Bytes(after.begin(), after.end()));
  DeltaWriter delta;
  delta.AddDiff(0, differences.data(), static_cast<std::uint32_t>(differences.size()));
  delta.End();
  update.delta = delta.bytes();
  return update;
}

bool WriteMarker(const std::string& path, const std::string& text, FileStamp* stamp) {
  return WriteBytesToFile(path.c_str(), Bytes(text.begin(), text.end())) &&
         ComputeFileStamp(path.c_str(), *stamp);
}

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  if (const int status = demo::TakeOutputFolder(argc, argv, "make_gui_fixtures", &out))
    return status;
  const std::string target = out + "target\\";
  CreateFolder(target.c_str());

  PackageWriter slow;
  slow.SetTitle("GUI test: slow installation");
  slow.SetDescription("Verifies two markers, asks about a missing file, adds a large file.");
  PackageWriter extended(18, PackageKind::kExtended);
  extended.SetTitle("GUI test: extended package");
  extended.SetDescription("Capitalises the first word of marker1.txt with an AddDiff.");
  for (const char* name : {"marker1.txt", "marker2.txt"}) {
    PackageEntrySpec verify;
    verify.operation = Operation::kVerify;
    verify.errorPolicy = Policy::kCritical;
    verify.fileName = name;
    const std::string text = std::string("installed ") + name;
    if (!WriteMarker(target + name, text, &verify.oldStamp)) {
      std::fprintf(stderr, "make_gui_fixtures: cannot write %s%s\n", target.c_str(), name);
      return 1;
    }
    slow.AddEntry(verify);
    extended.AddEntry(name == std::string("marker1.txt")
                          ? CapitaliseFirstWord(name, text, verify.oldStamp)
                          : verify);
  }
  slow.AddEntry(AskAboutMissingFile());
  slow.AddEntry(AddFile("large.bin", demo::Noise(kLargeFileSize, 5)));

  PackageWriter lenient;
  lenient.SetTitle("GUI test: lenient");
  lenient.SetDescription("Fits no folder; adds one small file.");
  lenient.AddEntry(AskAboutMissingFile());
  const std::string added = "added";
  lenient.AddEntry(AddFile("added.txt", Bytes(added.begin(), added.end())));

  if (!slow.WriteFile((out + "slow.upg").c_str(), false) ||
      !lenient.WriteFile((out + "lenient.upg").c_str(), false) ||
      !extended.WriteFile((out + "extended.upg").c_str(), true)) {
    std::fprintf(stderr, "make_gui_fixtures: cannot write the packages in %s\n", out.c_str());
    return 1;
  }
  return 0;
}
