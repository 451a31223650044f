// A whole apply onto a freshly installed release 1 (fuzz_release.h) that
// holds a link to a folder beside it, with every question answered from
// the input. Input: 4 bytes of answers (bit k
// answers question k: 1 Yes, 0 No; later questions get No), the poll at
// which Cancel is pressed (0: never), a mode byte (bit 0: wrap the package
// in a "[KVZ]" container written here; bit 1: confirm the cancel), then the
// plain package.
//
// Whatever the package and the answers, nothing beside the target folder
// changes (a sentinel file, a folder of files, the package itself, the
// names in the parent folder), a run that is not applied leaves the target
// folder exactly as it was, and the polls stay in proportion to what the
// package declares and carries.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "apply/apply_upgrade.h"
#include "builder/package_writer.h"
#include "fuzz/fuzz_release.h"
#include "fuzz/fuzz_support.h"
#include "package/upgrade_session.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

using namespace package;
using namespace apply;
using namespace builder;

namespace {

namespace fs = std::filesystem;

// Packages whose entries declare more than this are not applied: each
// declared byte is a byte the run may build, and the fuzzer would spend its
// time writing.
constexpr std::uint64_t kMostDeclaredBytes = 4u << 20;

// The parent of the target folder: the sentinel, a folder beside the
// target, and the target itself, made afresh for every run.
struct Site {
  TempFolder scratch;
  std::string parent = scratch.Join("site\\");
  std::string target = parent + "app\\";
  std::string package = scratch.Join("package.upg");

  Site() {
    fs::create_directory(NativeTestPath(parent));
    WriteTestFile(parent + "sentinel.txt", "beside the target");
    fs::create_directory(NativeTestPath(parent + kOutsideFolder));
    WriteTestFile(parent + kOutsideFolder + "\\" + kOutsideFile, "in a folder beside the target");
  }
};

// Everything under the parent folder except the target's contents.
FolderSnapshot Beside(const Site& site) {
  FolderSnapshot all = TakeSnapshot(site.parent);
  FolderSnapshot beside;
  const auto inTarget = [](const std::string& name) { return name.rfind("app/", 0) == 0; };
  for (const auto& [name, bytes] : all.files) {
    if (!inTarget(name)) beside.files[name] = bytes;
  }
  for (const auto& [name, time] : all.times) {
    if (!inTarget(name)) beside.times[name] = time;
  }
  for (const std::string& folder : all.folders) {
    if (!inTarget(folder)) beside.folders.push_back(folder);
  }
  return beside;
}

void InstallRelease1(const Site& site) {
  std::error_code error;
  fs::remove_all(NativeTestPath(site.target), error);
  Require(!error && WriteRelease(site.target, 1), "release 1 can be installed");
  fs::create_directory_symlink(std::string("../") + kOutsideFolder,
                               NativeTestPath(site.target + kLinkToOutside), error);
  Require(!error, "the link can be made");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Site site;
  static const std::string cancelQuestion = UiText(UiLine::kCancelQuestion);
  FuzzInput input(data, size);
  const std::uint32_t answerBits = input.Number(4);
  const std::uint8_t cancelAt = input.Byte();
  const std::uint8_t mode = input.Byte();
  std::vector<std::uint8_t> package = input.Rest();
  const std::uint64_t carried = package.size();
  if ((mode & 1) != 0) {
    std::vector<std::uint8_t> container;
    Require(CompressPackage(package, 6, &container), "the package can be wrapped");
    package.swap(container);
  }
  Require(WriteBytesToFile(site.package.c_str(), package), "the package file can be written");
  std::uint64_t declared = 0;
  std::int32_t entries = 0;
  {
    const UpgradeSession reading(nullptr, nullptr, site.package.c_str(), site.target.c_str());
    declared = DeclaredBytes(reading);
    entries = reading.entryCount;
  }
  if (declared > kMostDeclaredBytes) return -1;

  InstallRelease1(site);
  const FolderSnapshot targetBefore = TakeSnapshot(site.target);
  const FolderSnapshot besideBefore = Beside(site);

  ScriptedUser user;
  for (int k = 0; k < 32; ++k) {
    user.answers.push_back((answerBits >> k) & 1 ? platform::kIdYes : platform::kIdNo);
  }
  user.defaultAnswer = platform::kIdNo;
  user.cancelQuestion = cancelQuestion;
  user.cancelAnswer = (mode & 2) != 0 ? platform::kIdYes : platform::kIdNo;
  user.cancelAtPump = cancelAt;
  ApplyOutcome outcome;
  const int applied = ApplyPackage(site.package, site.target, &outcome);

  Require(Beside(site) == besideBefore, "nothing beside the target folder changes");
  Require(ReadTestFile(site.package) == package, "the package itself is not changed");
  if (!applied) {
    Require(TakeSnapshot(site.target) == targetBefore,
            "a run that is not applied leaves the target folder as it was");
  }
  const std::uint64_t mostPolls =
      declared / 128 + 8 * carried + 16 * static_cast<std::uint64_t>(std::max(entries, 0)) + 1000;
  Require(static_cast<std::uint64_t>(user.pumps) <= mostPolls,
          "the polls follow what the package declares and carries");
  return 0;
}
