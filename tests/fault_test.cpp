// Failures of the file system at every point of a run, through the platform
// seam, and a run that dies at every call of its commit. Whatever happens,
// the folder ends exactly as it was or exactly as the new release has it,
// at once or after the next run, which finishes or undoes what was left;
// the exit status says which.
#include <gtest/gtest.h>

#include <string>

#include "apply/apply_upgrade.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"
#include "ui/closing_message.h"

using namespace ui;

namespace {

// The next run, answering Yes, on the native file system.
void RunAgain(const SampleUpgrade& sample) {
  ScriptedUser user;
  user.defaultAnswer = platform::kIdYes;
  ApplyOutcome outcome;
  const int applied = ApplyPackage(sample.package, sample.target, &outcome);
  EXPECT_EQ(ClosingMessageFor(applied, outcome).exitStatus, kExitApplied);
}

// Counting starts with the commit when fromCommit is set, so that every call of it is swept.
const struct Sweep {
  const char* label;
  FaultKind kind;
  FaultMode mode;
  bool fromCommit;
} kSweeps[] = {
    {"a folder cannot be created", FaultKind::kCreateFolder, FaultMode::kOnce, false},
    {"a temporary file cannot be created", FaultKind::kOpenForWrite, FaultMode::kOnce, false},
    {"the disk is full at a write", FaultKind::kWrite, FaultMode::kOnce, false},
    {"a move fails", FaultKind::kMove, FaultMode::kOnce, false},
    {"every move fails from then on", FaultKind::kMove, FaultMode::kFromThenOn, false},
    {"every deletion fails from then on", FaultKind::kDelete, FaultMode::kFromThenOn, false},
    {"a call of the commit fails", FaultKind::kAnyCall, FaultMode::kOnce, true},
    {"a call of the commit fails, and every later one on its path", FaultKind::kAnyCall,
     FaultMode::kOnThatPath, true},
    {"the run dies at a call of the commit", FaultKind::kAnyCall, FaultMode::kDeath, true},
};

TEST(Faults, EveryFailurePointEndsOldOrNew) {
  for (const Sweep& sweep : kSweeps) {
    bool ended = false;
    for (int n = 1; n < 500 && !ended; ++n) {
      SCOPED_TRACE(std::string(sweep.label) + ", call " + std::to_string(n));
      SampleUpgrade sample(false, Policy::kAsk);
      const FolderSnapshot before = TakeSnapshot(sample.target);
      int status = 0;
      bool died = false;
      {
        ScriptedUser user;
        user.defaultAnswer = platform::kIdNo;
        FaultyFileSystem faulty(sweep.kind, n, sweep.mode);
        faulty.armed = !sweep.fromCommit;
        user.onControlText = [&](int control, const std::string& text) {
          if (control == platform::kProgressCancelButton && text == "----") faulty.armed = true;
        };
        ApplyOutcome outcome;
        const int applied = ApplyPackage(sample.package, sample.target, &outcome);
        status = ClosingMessageFor(applied, outcome).exitStatus;
        died = faulty.dead();
        ended = faulty.failures() == 0;
        EXPECT_TRUE(!ended || status == kExitApplied);
      }
      // A run that lived tells the truth about the folder it leaves.
      EXPECT_TRUE(died || status != kExitApplied || sample.IsNew());
      // A run whose clean-up failed may leave the staging folder for the next one.
      EXPECT_TRUE(died || status != kExitNotApplied ||
                  TakeSnapshot(sample.target, "__KVUPD_") == before);
      EXPECT_TRUE(died || status != kExitPartlyApplied ||
                  TestPathExists(sample.Staging() + "\\COMMIT.JNL"));
      SCOPED_TRACE("status " + std::to_string(status) + (died ? " died" : ""));
      if (died || TestPathExists(sample.Staging())) RunAgain(sample);
      EXPECT_TRUE(sample.IsNew() || TakeSnapshot(sample.target) == before);
      EXPECT_FALSE(TestPathExists(sample.Staging()));
    }
    EXPECT_TRUE(ended) << sweep.label << ": the run never ended without a failure";
  }
}

// One fault each, at a place a test can name: what the user is asked, what the run says and what
// the folder holds afterwards. The first open of a.txt is the pre-flight's stamp, the second the
// rebuild's, a failed rebuild being decided by the entry's error policy.
TEST(Faults, ANamedFaultIsAskedAboutOrUndoneAndNamed) {
  using K = FaultKind;
  using M = FaultMode;
  constexpr Policy kAsk = Policy::kAsk, kIgnore = Policy::kIgnore;
  const std::string updateA = "Operation: Update\n\nFilename: a.txt\n";
  const std::string skipped = UiText(UiLine::kRebuildSkipped);
  const std::string critical = UiText(UiLine::kCriticalRebuild);
  const std::string changed = UiText(UiLine::kChanged);
  const struct Case {
    const char* label;
    FaultKind kind;
    int nth;
    FaultMode mode;
    const char* pathPart;
    Policy policy;
    int answer;       // to the first question; 0: none expected
    std::string box;  // a text the first question holds
    int applied;
    const char* commitFile = "";  // the step named as failed
    StepFailure reason = StepFailure::kNone;
  } cases[] = {
      // The first step: its installed file cannot be moved aside. The last: as into a read-only
      // folder, after every other file moved.
      {"old file not moved", K::kMove, 1, M::kFromThenOn, "O00000.TMP", kIgnore, 0, "", 0, "a.txt",
       StepFailure::kOldNotMoved},
      {"new file not placed", K::kMove, 1, M::kFromThenOn, "sub\\deeper\\new.dat", kIgnore, 0, "",
       0, "sub\\deeper\\new.dat", StepFailure::kNewNotPlaced},
      {"no staging folder", K::kCreateFolder, 1, M::kFromThenOn, "", kAsk, platform::kIdNo, skipped,
       0},
      {"old file locked at its rebuild", K::kOpenForRead, 2, M::kOnce, "a.txt", kAsk,
       platform::kIdYes, updateA, 1},
      {"... ignored", K::kOpenForRead, 2, M::kOnce, "a.txt", kIgnore, 0, "", 1},
      {"... under the unnamed policy 3", K::kOpenForRead, 2, M::kOnce, "a.txt", Policy(3), 0, "",
       1},
      {"... critical", K::kOpenForRead, 2, M::kOnce, "a.txt", Policy::kCritical, platform::kIdYes,
       critical, 0},
      {"file locked during the pre-flight", K::kOpenForRead, 1, M::kOnce, "a.txt", kAsk,
       platform::kIdNo, changed, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SampleUpgrade sample(false, c.policy);
    const FolderSnapshot before = TakeSnapshot(sample.target);
    const std::vector<std::uint8_t> oldA = ReadTestFile(sample.target + "a.txt");
    ScriptedUser user;
    if (c.answer != 0) user.answers.push_back(c.answer);
    FaultyFileSystem faulty(c.kind, c.nth, c.mode, c.pathPart);
    ApplyOutcome outcome;
    const int applied = ApplyPackage(sample.package, sample.target, &outcome);
    EXPECT_EQ(applied, c.applied);
    // A critical failure confirmed is explained.
    const bool explained = c.policy == Policy::kCritical && c.answer == platform::kIdYes;
    ASSERT_EQ(user.boxes.size(), c.answer == 0 ? 0u : explained ? 2u : 1u);
    EXPECT_TRUE(c.answer == 0 || user.boxes[0].text.find(c.box) != std::string::npos);
    EXPECT_TRUE(!explained || user.boxes[1].text == UiText(UiLine::kCriticalExplanation));
    EXPECT_TRUE(outcome.notRestored.empty());
    EXPECT_FALSE(TestPathExists(sample.Staging()));
    const ClosingMessage closing = ClosingMessageFor(applied, outcome);
    EXPECT_EQ(outcome.commitFailure.fileName, c.commitFile);
    EXPECT_EQ(outcome.commitFailure.reason, c.reason);
    EXPECT_NE(closing.text.find(c.commitFile), std::string::npos);
    EXPECT_EQ(closing.exitStatus, applied == 1 ? kExitApplied : kExitNotApplied);
    EXPECT_EQ(closing.text.find("No changes have been made") == std::string::npos, applied == 1);
    // Applied, the file that failed keeps its old version and the others are new.
    EXPECT_TRUE(applied == 1 || TakeSnapshot(sample.target) == before);
    EXPECT_EQ(ReadTestFile(sample.target + "a.txt"), oldA);
    EXPECT_TRUE(applied == 0 ||
                ReadTestFile(sample.target + "b.bin") == sample.expected.at("b.bin"));
  }
}

}  // namespace
