// Failures of the file system at every point of a run, through the
// platform seam: the user's files stay as they were, or, once the commit
// has started, every new version is in place or kept in the staging folder
// and named in the outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "apply/apply_upgrade.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

namespace {

// The sample's name of a file, as the package spells it.
std::string PackageName(const std::string& name) {
  std::string spelled = name;
  std::replace(spelled.begin(), spelled.end(), '/', '\\');
  return spelled;
}

const CommitFailure* Find(const std::vector<CommitFailure>& list, const std::string& name) {
  for (const CommitFailure& failure : list) {
    if (failure.fileName == PackageName(name)) return &failure;
  }
  return nullptr;
}

// What the user is told must be what happened.
void ExpectTruth(const SampleUpgrade& sample, const FolderSnapshot& before, int result,
                 const ApplyOutcome& outcome) {
  if (result == 0) {
    EXPECT_TRUE(TakeSnapshot(sample.target) == before) << "a run reported as aborted changed files";
    EXPECT_FALSE(TestPathExists(sample.Staging()));
    EXPECT_FALSE(outcome.CommitFailed());
    return;
  }
  std::size_t kept = 0;
  for (const auto& [name, bytes] : sample.expected) {
    const CommitFailure* failure = Find(outcome.notPlaced, name);
    if (failure == nullptr) {
      EXPECT_EQ(ReadTestFile(sample.target + name), bytes) << name;
      continue;
    }
    ++kept;
    EXPECT_EQ(ReadTestFile(sample.Temporary(failure->entry)), bytes) << name << " not kept";
  }
  EXPECT_EQ(kept, outcome.notPlaced.size());
  if (Find(outcome.notRemoved, "c.txt") == nullptr) {
    EXPECT_FALSE(TestPathExists(sample.target + "c.txt"));
  } else {
    EXPECT_TRUE(TestPathExists(sample.target + "c.txt"));
  }
  EXPECT_EQ(outcome.stagingKept, kept > 0);
  EXPECT_EQ(TestPathExists(sample.Staging()), kept > 0);
}

// Moves the failure point through every call of `kind` that a run makes.
void SweepFailure(FaultKind kind, bool expectCommitFailures) {
  bool sawCommitFailure = false;
  for (int n = 1; n < 500; ++n) {
    SCOPED_TRACE("failing call " + std::to_string(n));
    SampleUpgrade sample(false, kAsk);
    const FolderSnapshot before = TakeSnapshot(sample.target);
    ScriptedUser user;
    user.defaultAnswer = platform::kIdNo;
    FaultyFileSystem faulty(kind, n);
    ApplyOutcome outcome;
    const int result = ApplyPackage(sample.package, sample.target, &outcome);
    ExpectTruth(sample, before, result, outcome);
    sawCommitFailure = sawCommitFailure || outcome.CommitFailed();
    if (faulty.failures() == 0) {
      EXPECT_EQ(result, 1);
      EXPECT_FALSE(outcome.CommitFailed());
      EXPECT_GT(n, 1);
      EXPECT_EQ(sawCommitFailure, expectCommitFailures);
      return;
    }
  }
  ADD_FAILURE() << "the run never ended without a failure";
}

TEST(Faults, FolderCreationFailingAtEachCall) { SweepFailure(FaultKind::kCreateFolder, true); }

TEST(Faults, TemporaryFileCreationFailingAtEachCall) {
  SweepFailure(FaultKind::kOpenForWrite, false);
}

TEST(Faults, DiskFullAtEachWrite) { SweepFailure(FaultKind::kWrite, false); }

TEST(Faults, MoveFailingAtEachCall) { SweepFailure(FaultKind::kMove, true); }

TEST(Faults, TheStagingFolderCannotBeCreated) {
  SampleUpgrade sample(false, kAsk);
  const FolderSnapshot before = TakeSnapshot(sample.target);
  ScriptedUser user;
  user.answers.push_back(platform::kIdNo);
  FaultyFileSystem faulty(FaultKind::kCreateFolder, 1, true);
  ApplyOutcome outcome;
  EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 0);
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_NE(user.boxes[0].text.find(UiLine(18)), std::string::npos);
  ExpectTruth(sample, before, 0, outcome);
}

TEST(Faults, ALockedOldFileFailsItsRebuildAndIsLeftAlone) {
  // The first open is the pre-flight's stamp; the second the rebuild's.
  SampleUpgrade sample(false, kAsk);
  const std::vector<std::uint8_t> oldA = ReadTestFile(sample.target + "a.txt");
  ScriptedUser user;
  user.answers.push_back(platform::kIdYes);
  FaultyFileSystem faulty(FaultKind::kOpenForRead, 2, false, "a.txt");
  ApplyOutcome outcome;
  EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 1);
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(user.boxes[0].text.rfind("Operation: Update\n\nFilename: a.txt\n", 0), 0u);
  EXPECT_EQ(ReadTestFile(sample.target + "a.txt"), oldA);
  EXPECT_EQ(ReadTestFile(sample.target + "b.bin"), sample.expected.at("b.bin"));
  EXPECT_FALSE(TestPathExists(sample.Staging()));
}

TEST(Faults, AFileLockedDuringThePreflightCountsAsChanged) {
  SampleUpgrade sample(false, kAsk);
  const FolderSnapshot before = TakeSnapshot(sample.target);
  ScriptedUser user;
  user.answers.push_back(platform::kIdNo);
  FaultyFileSystem faulty(FaultKind::kOpenForRead, 1, false, "a.txt");
  EXPECT_EQ(ApplyPackage(sample.package, sample.target), 0);
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_NE(user.boxes[0].text.find(UiLine(14)), std::string::npos);
  EXPECT_TRUE(TakeSnapshot(sample.target) == before);
}

TEST(Faults, AMoveFailingAfterTheDeleteKeepsTheNewVersion) {
  SampleUpgrade sample;
  ScriptedUser user;
  FaultyFileSystem faulty(FaultKind::kMove, 1, false, "a.txt");
  ApplyOutcome outcome;
  EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 1);
  ASSERT_EQ(outcome.notPlaced.size(), 1u);
  EXPECT_EQ(outcome.notPlaced[0].entry, 0);
  EXPECT_EQ(outcome.notPlaced[0].fileName, "a.txt");
  EXPECT_FALSE(TestPathExists(sample.target + "a.txt"));
  EXPECT_EQ(ReadTestFile(sample.Temporary(0)), sample.expected.at("a.txt"));
  EXPECT_TRUE(outcome.stagingKept);
  EXPECT_EQ(outcome.stagingFolder, sample.Staging());
  EXPECT_EQ(ReadTestFile(sample.target + "b.bin"), sample.expected.at("b.bin"));
}

TEST(Faults, FilesThatCannotBeDeletedAreNamed) {
  SampleUpgrade sample;
  ScriptedUser user;
  FaultyFileSystem faulty(FaultKind::kDelete, 1, true, "c.txt");
  ApplyOutcome outcome;
  EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 1);
  ASSERT_EQ(outcome.notRemoved.size(), 1u);
  EXPECT_EQ(outcome.notRemoved[0].fileName, "c.txt");
  EXPECT_TRUE(outcome.notPlaced.empty());
  EXPECT_TRUE(TestPathExists(sample.target + "c.txt"));
  EXPECT_FALSE(outcome.stagingKept);

  // An installed file that cannot be deleted cannot be replaced either.
  SampleUpgrade locked;
  FaultyFileSystem stuck(FaultKind::kDelete, 1, true, "app\\a.txt");
  const std::vector<std::uint8_t> oldA = ReadTestFile(locked.target + "a.txt");
  EXPECT_EQ(ApplyPackage(locked.package, locked.target, &outcome), 1);
  ASSERT_NE(Find(outcome.notPlaced, "a.txt"), nullptr);
  EXPECT_EQ(ReadTestFile(locked.target + "a.txt"), oldA);
  EXPECT_EQ(ReadTestFile(locked.Temporary(0)), locked.expected.at("a.txt"));
}

}  // namespace
