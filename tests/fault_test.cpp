// Failures of the file system at every point of a run, through the platform
// seam, and a run that dies at every call of its commit. Whatever happens,
// the folder ends exactly as it was or exactly as the new release has it,
// at once or after the next run, which finishes or undoes what was left;
// the exit status says which.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "apply/commit_journal.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/package_file.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"
#include "ui/closing_message.h"

using namespace ui;

namespace {

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
                  TestPathExists(sample.Staged("COMMIT.JNL")));
      SCOPED_TRACE("status " + std::to_string(status) + (died ? " died" : ""));
      // The next run, answering Yes, on the native file system.
      if (died || TestPathExists(sample.Staging())) {
        ScriptedUser user;
        user.defaultAnswer = platform::kIdYes;
        ApplyOutcome outcome;
        const int applied = ApplyPackage(sample.package, sample.target, &outcome);
        EXPECT_EQ(ClosingMessageFor(applied, outcome).exitStatus, kExitApplied);
      }
      EXPECT_TRUE(sample.IsNew() || TakeSnapshot(sample.target) == before);
      EXPECT_FALSE(TestPathExists(sample.Staging()));
    }
    EXPECT_TRUE(ended) << sweep.label << ": the run never ended without a failure";
  }
}

// One fault each, at a place a test can name: what the user is asked, what the run says, and that
// the folder is as it was. A step of the commit that fails is undone and named: the first, whose
// installed file cannot be moved aside, and the last, as into a read-only folder, after every
// other file moved. A file that cannot be read in the pre-flight is asked about as changed.
TEST(Faults, ANamedFaultIsAskedAboutOrUndoneAndNamed) {
  const struct Case {
    FaultKind kind;
    FaultMode mode;
    const char* pathPart;
    Policy policy;
    const char* commitFile;  // the step named as failed
    StepFailure reason;
  } cases[] = {
      {FaultKind::kMove, FaultMode::kFromThenOn, "O00000.TMP", Policy::kIgnore, "a.txt",
       StepFailure::kOldNotMoved},
      {FaultKind::kMove, FaultMode::kFromThenOn, "sub\\deeper\\new.dat", Policy::kIgnore,
       "sub\\deeper\\new.dat", StepFailure::kNewNotPlaced},
      {FaultKind::kOpenForRead, FaultMode::kOnce, "a.txt", Policy::kAsk, "", StepFailure::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pathPart);
    SampleUpgrade sample(false, c.policy);
    const FolderSnapshot before = TakeSnapshot(sample.target);
    ScriptedUser user;
    user.defaultAnswer = platform::kIdNo;
    FaultyFileSystem faulty(c.kind, 1, c.mode, c.pathPart);
    ApplyOutcome outcome;
    const int applied = ApplyPackage(sample.package, sample.target, &outcome);
    EXPECT_EQ(applied, 0);
    ASSERT_EQ(user.boxes.size(), c.policy == Policy::kAsk ? 1u : 0u);
    EXPECT_TRUE(user.boxes.empty() ||
                user.boxes[0].text.find(UiText(UiLine::kChanged)) != std::string::npos);
    EXPECT_FALSE(TestPathExists(sample.Staging()));
    EXPECT_TRUE(TakeSnapshot(sample.target) == before);
    const ClosingMessage closing = ClosingMessageFor(applied, outcome);
    EXPECT_EQ(outcome.commitFailure.fileName, c.commitFile);
    EXPECT_EQ(outcome.commitFailure.reason, c.reason);
    EXPECT_NE(closing.text.find(c.commitFile), std::string::npos);
    EXPECT_EQ(closing.exitStatus, kExitNotApplied);
    EXPECT_NE(closing.text.find("No changes have been made"), std::string::npos);
  }
}

// The commit's journal, read back whole by every recovery below and refused when it is no whole
// journal; an interrupted commit finished or undone by the next run: what the user is told and
// what the folder holds afterwards (what upgtool check says in between is pinned end to end, on a
// real upgtool killed mid-commit).
CommitPlan SamplePlan() {
  CommitPlan plan;
  plan.package = {123456, 0xCAFEF00Du};
  const FileStamp stamp = MakeStamp(0x5021, 0x1234, 3000000000u, 0xBEEF);
  plan.steps = {{0, Operation::kUpdate, true, stamp, "a.txt"},
                {1, Operation::kReplace, true, stamp, "b.bin"},
                {2, Operation::kRemove, true, stamp, "c.txt"},
                {9999, Operation::kAdd, false, stamp, "sub/deeper\\new.dat"}};
  plan.newFolders = {"sub", "sub/deeper"};
  return plan;
}

TEST(CommitJournal, RefusesWhatIsNoWholeJournal) {
  using Bytes8 = std::vector<std::uint8_t>;
  const std::function<void(Bytes8&)> spoiledBytes[] = {
      [](Bytes8& b) { b.pop_back(); }, [](Bytes8& b) { b.push_back(0); },
      [](Bytes8& b) { b[20] ^= 1; },   [](Bytes8& b) { b[0] = 'X'; },
      [](Bytes8& b) { b.clear(); },
  };
  const std::function<void(CommitPlan&)> spoiledPlans[] = {
      [](CommitPlan& p) { p.steps[0].fileName = "..\\x"; },
      [](CommitPlan& p) { p.steps[0].fileName = "__KVUPD_\\N00001.TMP"; },
      [](CommitPlan& p) { p.steps[0].fileName = std::string(250, 'n'); },
      [](CommitPlan& p) { p.newFolders[0] = "C:\\x"; },
      [](CommitPlan& p) { p.steps[0].entry = 10000; },  // past the table
      [](CommitPlan& p) { p.steps[0].operation = Operation::kVerify; },
      [](CommitPlan& p) { p.steps[2].movesOld = false; },  // a Remove that moves nothing
  };
  CommitPlan read;
  for (const auto& spoil : spoiledBytes) {
    Bytes8 bytes = EncodeJournal(SamplePlan());
    spoil(bytes);
    EXPECT_FALSE(DecodeJournal(bytes, &read)) << &spoil - spoiledBytes;
  }
  for (const auto& spoil : spoiledPlans) {
    CommitPlan plan = SamplePlan();
    spoil(plan);
    EXPECT_FALSE(DecodeJournal(EncodeJournal(plan), &read)) << &spoil - spoiledPlans;
  }
}

enum class Meanwhile { kNothing, kDamageStagedB, kCutJournal };
enum class Then { kNew, kNewWithoutExtra, kOldWithExtra, kKept };

TEST(Recovery, TheNextRunFinishesOrUndoesAnInterruptedCommit) {
  const struct {
    const char* label;
    Meanwhile meanwhile;  // what happens to the folder before the next run
    bool otherPackage;
    Recovery recovery;
    int exitStatus;
    const char* box;  // the recovery's box, or null
    Then then;
  } cases[] = {
      // Another package's check of c.txt fails once the commit is finished: the run stops, after
      // the recovery changed files. With c.txt back its check passes: the folder was old again.
      {"this package, forward", Meanwhile::kNothing, false, Recovery::kFinished, kExitApplied,
       "It has now been completed", Then::kNew},
      {"another package, forward, then it stops", Meanwhile::kNothing, true, Recovery::kFinished,
       kExitNotApplied, "It has now been completed", Then::kNewWithoutExtra},
      {"this package, back, then applied again", Meanwhile::kDamageStagedB, false,
       Recovery::kUndone, kExitApplied, "It has been undone", Then::kNew},
      {"another package, back, then it", Meanwhile::kDamageStagedB, true, Recovery::kUndone,
       kExitApplied, "It has been undone", Then::kOldWithExtra},
      {"an unreadable journal keeps everything", Meanwhile::kCutJournal, false, Recovery::kStuck,
       kExitPartlyApplied, nullptr, Then::kKept},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // The sample, its run killed when the commit first moves b.bin: a.txt is new already, the
    // rest still old, the journal in the staging folder.
    SampleUpgrade sample;
    const FileStamp oldC = StampOfFile(sample.target + "c.txt");
    {
      ScriptedUser user;
      FaultyFileSystem dying(FaultKind::kMove, 1, FaultMode::kDeath, "b.bin");
      ApplyPackage(sample.package, sample.target);
      EXPECT_TRUE(dying.dead());
    }
    if (c.meanwhile == Meanwhile::kDamageStagedB) {
      WriteTestFile(sample.Staged("N00001.TMP"), Bytes("damaged"));
    }
    if (c.meanwhile == Meanwhile::kCutJournal) {
      WriteTestFile(sample.Staged("COMMIT.JNL"), Bytes("KVJOURN1 cut"));
    }
    // Another package checks c.txt, critically: it stops in pass 1 unless the folder is old, and
    // then adds extra.txt.
    std::string package = sample.package;
    if (c.otherPackage) {
      PackageEntrySpec verify = CheckEntry(Operation::kVerify, "c.txt", oldC);
      verify.errorPolicy = Policy::kCritical;
      package = sample.root.Join("other.upg");
      WriteEntriesPackage(package,
                          {verify, NewFileEntry(Operation::kAdd, "extra.txt", Bytes("x"))});
    }
    ScriptedUser user;
    user.defaultAnswer = platform::kIdNo;
    ApplyOutcome outcome;
    const int applied = ApplyPackage(package, sample.target, &outcome);
    EXPECT_EQ(outcome.recovery, c.recovery);
    EXPECT_EQ(outcome.recoveredThisPackage, !c.otherPackage && c.recovery == Recovery::kFinished);
    const ClosingMessage closing = ClosingMessageFor(applied, outcome);
    EXPECT_EQ(closing.exitStatus, c.exitStatus);
    EXPECT_EQ(closing.text.find("No changes have been made"), std::string::npos) << closing.text;
    ASSERT_EQ(user.boxes.empty(), c.box == nullptr);
    EXPECT_TRUE(c.box == nullptr || user.boxes[0].text.find(c.box) != std::string::npos);
    const bool newA = ReadTestFile(sample.target + "a.txt") == sample.expected.at("a.txt");
    const bool extra = TestPathExists(sample.target + "extra.txt");
    EXPECT_TRUE(c.then != Then::kNew || sample.IsNew());
    EXPECT_TRUE(c.then != Then::kNewWithoutExtra || (sample.IsNew() && !extra));
    EXPECT_TRUE(c.then != Then::kOldWithExtra || (!newA && extra));
    EXPECT_TRUE(c.then != Then::kKept || (newA && TestPathExists(sample.Staged("N00001.TMP"))));
    EXPECT_EQ(TestPathExists(sample.Staging()), c.recovery == Recovery::kStuck);
  }
}

}  // namespace
