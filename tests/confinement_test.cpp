// Nothing outside the target folder is written, moved or deleted: a path through a linked folder
// is refused like a file that cannot be processed, a link in a file's place is itself replaced or
// removed, and a folder swapped for a link during the run is not followed either.
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
  std::vector<std::uint8_t> victim = Pattern(120, 9);
  bool linked = false;

  explicit LinkedTarget(const std::vector<PackageEntrySpec>& entries) {
    fs::create_directory(NativeTestPath(target));
    fs::create_directory(NativeTestPath(outside));
    WriteTestFile(outside + "victim.txt", victim);
    linked = MakeTestLink(target + "ldir", "..\\outside");
    PackageWriter writer;
    for (const PackageEntrySpec& entry : entries) writer.AddEntry(entry);
    EXPECT_TRUE(writer.WriteFile(package.c_str(), false));
  }
};

PackageEntrySpec EntryFor(Operation operation, const std::string& name) {
  const std::vector<std::uint8_t> old = Pattern(120, 9);
  if (operation == Operation::kAdd || operation == Operation::kReplace) {
    return NewFileEntry(operation, name, Bytes("new " + name));
  }
  if (operation == Operation::kUpdate)
    return UpdateEntry(name, old, StampOf(old, 0, 0), Bytes("t"));
  return CheckEntry(operation, name, StampOf(old, 0, 0));
}

TEST(Confinement, APathThroughALinkedFolderIsRefusedByItsErrorPolicy) {
  const std::string linkedText =
      "** Error: A folder on the way to this file is a symbolic link or junction, which the "
      "upgrade does not follow. This file will not be changed.";
  const struct {
    Policy value;
    int answer;  // 0: no question
    int result;
    std::string box;
  } policies[] = {
      {Policy::kIgnore, 0, 1, ""},
      {Policy::kAsk, platform::kIdYes, 1, linkedText},
      {Policy::kAsk, platform::kIdNo, 0, linkedText},
      {Policy::kCritical, platform::kIdNo, 0, UiText(UiLine::kCriticalBefore)},
  };
  for (const Operation operation : {Operation::kAdd, Operation::kUpdate, Operation::kReplace,
                                    Operation::kVerify, Operation::kRemove}) {
    for (const auto& policy : policies) {
      SCOPED_TRACE(std::string(OperationName(operation)) + " / " + std::to_string(policy.answer));
      PackageEntrySpec entry = EntryFor(
          operation, operation == Operation::kAdd ? "ldir\\added.txt" : "ldir\\victim.txt");
      // Only the error policy may decide: a warning would be a wrong row.
      entry.errorPolicy = policy.value;
      entry.warningPolicy = Policy::kCritical;
      LinkedTarget site({entry, NewFileEntry(Operation::kAdd, "ok.txt", Bytes("ok"))});
      if (!site.linked) GTEST_SKIP() << "no symbolic link can be made here";
      const FolderSnapshot outside = TakeSnapshot(site.outside);
      ScriptedUser user;
      if (policy.answer != 0) user.answers.push_back(policy.answer);
      EXPECT_EQ(ApplyPackage(site.package, site.target), policy.result);
      EXPECT_TRUE(TakeSnapshot(site.outside) == outside);
      EXPECT_EQ(TestPathExists(site.target + "ok.txt"), policy.result == 1);
      EXPECT_FALSE(TestPathExists(site.target + "__KVUPD_"));
      ASSERT_EQ(user.boxes.size(), policy.box.empty() ? 0u : 1u);
      EXPECT_TRUE(policy.box.empty() || user.boxes[0].text.find(policy.box) != std::string::npos);
    }
  }
}

TEST(Confinement, ALinkInAFilesPlaceIsReplacedOrRemovedNeverFollowed) {
  for (const Operation operation : {Operation::kUpdate, Operation::kReplace, Operation::kRemove}) {
    SCOPED_TRACE(OperationName(operation));
    LinkedTarget site({EntryFor(operation, "lfile")});
    // Wine shows a link to a file as the file itself, and moves and deletes its target: a
    // Windows program cannot tell there.
    if (!MakeTestLink(site.target + "lfile", "..\\outside\\victim.txt")) {
      GTEST_SKIP() << "no symbolic link to a file can be made here";
    }
    const FolderSnapshot outside = TakeSnapshot(site.outside);
    ScriptedUser user;
    user.defaultAnswer = platform::kIdYes;  // the link's date is its target's
    EXPECT_EQ(ApplyPackage(site.package, site.target), 1);
    EXPECT_TRUE(TakeSnapshot(site.outside) == outside);
    const fs::path link(NativeTestPath(site.target + "lfile"));
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(fs::exists(link), operation != Operation::kRemove);
  }
}

TEST(Confinement, AStagingFolderThatIsALinkOrAFileStopsTheRun) {
  for (const bool link : {true, false}) {
    SCOPED_TRACE(link ? "link" : "file");
    LinkedTarget site({NewFileEntry(Operation::kAdd, "a.txt", Bytes("a"))});
    const std::string staging = site.target + "__KVUPD_";
    if (link && !MakeTestLink(staging, "..\\outside")) GTEST_SKIP() << "no link here";
    if (!link) WriteTestFile(staging, Bytes("mine"));
    const FolderSnapshot outside = TakeSnapshot(site.outside);
    const FolderSnapshot before = TakeSnapshot(site.target);
    ScriptedUser user;
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyPackage(site.package, site.target, &outcome), 0);
    EXPECT_EQ(outcome.refusal, Refusal::kStagingNotFolder);
    EXPECT_EQ(outcome.refusedPath, staging);
    EXPECT_EQ(user.dialogsCreated, 0);
    EXPECT_TRUE(TakeSnapshot(site.outside) == outside);
    EXPECT_TRUE(TakeSnapshot(site.target) == before);
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
