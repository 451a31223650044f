// Nothing outside the target folder is written, moved or deleted: a link in a file's place is
// itself replaced or removed, and a folder swapped for a link during the run is not followed
// either. (A path through a linked folder is a row of the pre-flight's table.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "apply/apply_upgrade.h"
#include "tests/support/scripted_user.h"
#include "tests/support/test_links.h"
#include "tests/support/upgrade_fixture.h"

namespace {

namespace fs = std::filesystem;

// A target folder "t" beside a folder "outside" that holds victim.txt, with the link t\ldir to
// outside, and a package of `entries`.
struct LinkedTarget {
  TempFolder root;
  std::string target = root.Join("t\\");
  std::string outside = root.Join("outside\\");
  std::string package = root.Join("p.upg");
  bool linked = false;

  explicit LinkedTarget(const std::vector<PackageEntrySpec>& entries) {
    fs::create_directory(NativeTestPath(target));
    fs::create_directory(NativeTestPath(outside));
    WriteTestFile(outside + "victim.txt", Pattern(120, 9));
    linked = MakeTestLink(target + "ldir", "..\\outside");
    PackageWriter writer;
    for (const PackageEntrySpec& entry : entries) writer.AddEntry(entry);
    EXPECT_TRUE(writer.WriteFile(package.c_str(), false));
  }
};

TEST(Confinement, ALinkInAFilesPlaceIsReplacedOrRemovedNeverFollowed) {
  const std::vector<std::uint8_t> victim = Pattern(120, 9);
  const FileStamp stamp = StampOf(victim, 0, 0);  // the link's date is its target's
  for (const PackageEntrySpec& entry : {UpdateEntry("lfile", victim, stamp, Bytes("t")),
                                        NewFileEntry(Operation::kReplace, "lfile", Bytes("new")),
                                        CheckEntry(Operation::kRemove, "lfile", stamp)}) {
    SCOPED_TRACE(OperationName(entry.operation));
    LinkedTarget site({entry});
    // Wine shows a link to a file as the file itself, and moves and deletes its target: a
    // Windows program cannot tell there.
    if (!MakeTestLink(site.target + "lfile", "..\\outside\\victim.txt")) {
      GTEST_SKIP() << "no symbolic link to a file can be made here";
    }
    const FolderSnapshot outside = TakeSnapshot(site.outside);
    ScriptedUser user;
    user.defaultAnswer = platform::kIdYes;  // to the question on the differing date
    EXPECT_EQ(ApplyPackage(site.package, site.target), 1);
    EXPECT_TRUE(TakeSnapshot(site.outside) == outside);
    const fs::path link(NativeTestPath(site.target + "lfile"));
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(fs::exists(link), entry.operation != Operation::kRemove);
  }
}

TEST(Confinement, AFolderSwappedForALinkBeforeTheCommitIsNotFollowed) {
  LinkedTarget site({NewFileEntry(Operation::kAdd, "first.txt", Bytes("1")),
                     NewFileEntry(Operation::kAdd, "sub\\victim.txt", Bytes("2"))});
  if (!site.linked) GTEST_SKIP() << "no symbolic link can be made here";
  fs::create_directory(NativeTestPath(site.target + "sub"));
  const FolderSnapshot outside = TakeSnapshot(site.outside);
  ScriptedUser user;
  user.onControlText = [&](int control, const std::string& text) {
    if (control != platform::kProgressCancelButton || text != "----") return;
    fs::rename(NativeTestPath(site.target + "sub"), NativeTestPath(site.target + "sub.real"));
    EXPECT_TRUE(MakeTestLink(site.target + "sub", "..\\outside"));
  };
  ApplyOutcome outcome;
  EXPECT_EQ(ApplyPackage(site.package, site.target, &outcome), 0);
  EXPECT_EQ(outcome.commitFailure.fileName, "sub\\victim.txt");
  EXPECT_EQ(outcome.commitFailure.reason, StepFailure::kLinked);
  EXPECT_TRUE(TakeSnapshot(site.outside) == outside);
  EXPECT_FALSE(TestPathExists(site.target + "first.txt")) << "the first step was undone";
  EXPECT_FALSE(TestPathExists(site.target + "__KVUPD_"));
}

}  // namespace
