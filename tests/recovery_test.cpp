// One run per folder, and an interrupted commit finished or undone by the
// next run: what the user is told, what the folder holds afterwards, and
// what upgtool check says in between without changing anything.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "apply/apply_upgrade.h"
#include "apply/staging_names.h"
#include "platform/file_system.h"
#include "tests/support/command_run.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"
#include "ui/closing_message.h"

using namespace package;
using namespace apply;
using namespace builder;
using namespace ui;
using namespace upgtool;

namespace {

const char kFinished[] = "It has now been completed";
const char kUndone[] = "It has been undone";

bool IsNew(const SampleUpgrade& sample) {
  for (const auto& [name, bytes] : sample.expected) {
    if (ReadTestFile(sample.target + name) != bytes) return false;
  }
  return !TestPathExists(sample.target + "c.txt");
}

// The sample, its run killed when the commit first moves b.bin: a.txt is
// new already, the rest still old, the journal in the staging folder.
struct Interrupted {
  SampleUpgrade sample;
  FolderSnapshot before = TakeSnapshot(sample.target);

  Interrupted() {
    ScriptedUser user;
    FaultyFileSystem dying(FaultKind::kMove, 1, FaultMode::kDeath, "b.bin");
    ApplyPackage(sample.package, sample.target);
    EXPECT_TRUE(dying.dead());
    EXPECT_EQ(ReadTestFile(sample.target + "a.txt"), sample.expected.at("a.txt"));
    EXPECT_TRUE(TestPathExists(sample.Staging() + "\\COMMIT.JNL"));
  }
  // A package that checks c.txt, critically: it stops in pass 1 unless the
  // folder is old, and then adds extra.txt.
  std::string OtherPackage() const {
    PackageWriter writer;
    PackageEntrySpec verify =
        CheckEntry(Operation::kVerify, "c.txt", StampOfFile(sample.root.Join("c.copy")));
    verify.errorPolicy = Policy::kCritical;
    writer.AddEntry(verify);
    writer.AddEntry(NewFileEntry(Operation::kAdd, "extra.txt", Bytes("extra")));
    const std::string path = sample.root.Join("other.upg");
    EXPECT_TRUE(writer.WriteFile(path.c_str(), false));
    return path;
  }
};

TEST(Recovery, TheNextRunFinishesOrUndoesAnInterruptedCommit) {
  struct Case {
    const char* label;
    std::function<void(const Interrupted&)> before;  // what happens to the folder meanwhile
    bool otherPackage;
    Recovery recovery;
    int exitStatus;
    const char* box;  // the recovery's box, or null
    std::function<bool(const Interrupted&)> after;
  };
  const auto nothing = [](const Interrupted&) {};
  const auto damageStagedB = [](const Interrupted& i) {
    WriteTestFile(i.sample.Temporary(1), Bytes("damaged"));
  };
  const auto isNew = [](const Interrupted& i) { return IsNew(i.sample); };
  const Case cases[] = {
      {"this package, forward", nothing, false, Recovery::kFinished, kExitApplied, kFinished,
       isNew},
      // Its check of c.txt fails once the commit is finished: the run
      // stops, after the recovery changed files.
      {"another package, forward, then it stops", nothing, true, Recovery::kFinished,
       kExitNotApplied, kFinished,
       [](const Interrupted& i) {
         return IsNew(i.sample) && !TestPathExists(i.sample.target + "extra.txt");
       }},
      {"this package, back, then applied again", damageStagedB, false, Recovery::kUndone,
       kExitApplied, kUndone, isNew},
      // With c.txt back its check passes: the folder was old again.
      {"another package, back, then it", damageStagedB, true, Recovery::kUndone, kExitApplied,
       kUndone,
       [](const Interrupted& i) {
         return ReadTestFile(i.sample.target + "a.txt") != i.sample.expected.at("a.txt") &&
                TestPathExists(i.sample.target + "extra.txt");
       }},
      {"an unreadable journal keeps everything",
       [](const Interrupted& i) {
         WriteTestFile(i.sample.Staging() + "\\COMMIT.JNL", Bytes("KVJOURN1 cut"));
       },
       false, Recovery::kStuck, kExitPartlyApplied, nullptr,
       [](const Interrupted& i) {
         return ReadTestFile(i.sample.target + "a.txt") == i.sample.expected.at("a.txt") &&
                TestPathExists(i.sample.Temporary(1));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Interrupted interrupted;
    WriteTestFile(interrupted.sample.root.Join("c.copy"),
                  ReadTestFile(interrupted.sample.target + "c.txt"));
    c.before(interrupted);
    const std::string package =
        c.otherPackage ? interrupted.OtherPackage() : interrupted.sample.package;
    ScriptedUser user;
    user.defaultAnswer = platform::kIdNo;
    ApplyOutcome outcome;
    const int applied = ApplyPackage(package, interrupted.sample.target, &outcome);
    EXPECT_EQ(outcome.recovery, c.recovery);
    EXPECT_EQ(outcome.recoveredThisPackage, !c.otherPackage && c.recovery == Recovery::kFinished);
    const ClosingMessage closing = ClosingMessageFor(applied, outcome);
    EXPECT_EQ(closing.exitStatus, c.exitStatus);
    EXPECT_EQ(closing.text.find("No changes have been made"), std::string::npos) << closing.text;
    if (c.box == nullptr) {
      EXPECT_TRUE(user.boxes.empty());
    } else {
      ASSERT_FALSE(user.boxes.empty());
      EXPECT_NE(user.boxes[0].text.find(c.box), std::string::npos);
    }
    EXPECT_TRUE(c.after(interrupted));
    EXPECT_EQ(TestPathExists(interrupted.sample.Staging()), c.recovery == Recovery::kStuck);
  }
}

TEST(Recovery, UpgtoolCheckReportsAnInterruptedCommitAndChangesNothing) {
  Interrupted interrupted;
  const FolderSnapshot now = TakeSnapshot(interrupted.sample.target);
  const CommandRun text =
      RunCommand(RunCheck, {interrupted.sample.package, interrupted.sample.target});
  EXPECT_NE(text.out.find("Interrupted: an upgrade stopped while putting its files in place, by "
                          "this package"),
            std::string::npos)
      << text.out;
  const CommandRun json =
      RunCommand(RunCheck, {"--json", interrupted.sample.package, interrupted.sample.target});
  EXPECT_NE(json.out.find("\"interruptedCommit\":\"this package\""), std::string::npos);
  EXPECT_TRUE(TakeSnapshot(interrupted.sample.target) == now);
  SampleUpgrade clean;
  EXPECT_NE(RunCommand(RunCheck, {"--json", clean.package, clean.target})
                .out.find("\"interruptedCommit\":\"none\""),
            std::string::npos);
}

TEST(RunLock, ASecondRunOnTheFolderIsRefusedAndTheFirstGoesOn) {
  SampleUpgrade sample;
  const std::string copy = sample.root.Join("copy.upg");
  WriteTestFile(copy, ReadTestFile(sample.package));
  ScriptedUser user;
  int inner = -1;
  ApplyOutcome innerOutcome;
  FolderSnapshot duringInner;
  user.onDraw = [&](int) {
    if (inner != -1) return;
    const FolderSnapshot before = TakeSnapshot(sample.target);
    auto session = OpenRunSession(copy, sample.target);
    inner = ApplyUpgrade(*session, &innerOutcome);
    EXPECT_TRUE(TakeSnapshot(sample.target) == before);
  };
  ApplyOutcome outcome;
  EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 1);
  EXPECT_EQ(inner, 0);
  EXPECT_EQ(innerOutcome.refusal, Refusal::kFolderInUse);
  EXPECT_NE(ClosingMessageFor(0, innerOutcome).text.find("Another upgrade is being applied"),
            std::string::npos);
  EXPECT_EQ(user.dialogsCreated, 1) << "the refused run showed nothing";
  EXPECT_TRUE(IsNew(sample));

  // Held by someone else, the folder is refused at once; let go, it runs.
  SampleUpgrade held;
  platform::FileHandle lock = platform::kInvalidFile;
  ASSERT_EQ(platform::Fs().LockFolder(held.target.c_str(),
                                      LockFileName(held.target.c_str()).c_str(), &lock),
            platform::LockResult::kLocked);
  const FolderSnapshot before = TakeSnapshot(held.target);
  ApplyOutcome refused;
  EXPECT_EQ(ApplyPackage(held.package, held.target, &refused), 0);
  EXPECT_EQ(refused.refusal, Refusal::kFolderInUse);
  EXPECT_TRUE(TakeSnapshot(held.target) == before);
  platform::Fs().UnlockFolder(lock);
  EXPECT_EQ(ApplyPackage(held.package, held.target), 1);
  EXPECT_TRUE(IsNew(held));
}

}  // namespace
