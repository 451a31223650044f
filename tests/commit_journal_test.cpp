// The journal of a commit: what is written is read back whole, and a
// journal that is cut, damaged or names what no package may name is not
// taken for a plan.
#include "apply/commit_journal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "package/upgrade_session.h"
#include "tests/support/package_file.h"

using namespace streams;
using namespace package;
using namespace apply;

namespace {

CommitStep Step(std::int32_t entry, Operation operation, bool movesOld, const std::string& name) {
  CommitStep step;
  step.entry = entry;
  step.operation = operation;
  step.movesOld = movesOld;
  step.newStamp = MakeStamp(0x5021, 0x1234, 3000000000u, 0xBEEF);
  step.fileName = name;
  return step;
}

CommitPlan SamplePlan() {
  CommitPlan plan;
  plan.package = {123456, 0xCAFEF00Du};
  plan.steps = {Step(0, Operation::kUpdate, true, "a.txt"),
                Step(1, Operation::kReplace, true, "b.bin"),
                Step(2, Operation::kRemove, true, "c.txt"),
                Step(9999, Operation::kAdd, false, "sub/deeper\\new.dat")};
  plan.newFolders = {"sub", "sub/deeper"};
  return plan;
}

TEST(CommitJournal, ReadsBackWhatWasWritten) {
  CommitPlan read;
  ASSERT_TRUE(DecodeJournal(EncodeJournal(SamplePlan()), &read));
  const CommitPlan plan = SamplePlan();
  EXPECT_TRUE(read.package == plan.package);
  ASSERT_EQ(read.steps.size(), plan.steps.size());
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    EXPECT_EQ(read.steps[i].entry, plan.steps[i].entry);
    EXPECT_EQ(read.steps[i].operation, plan.steps[i].operation);
    EXPECT_EQ(read.steps[i].movesOld, plan.steps[i].movesOld);
    EXPECT_EQ(std::memcmp(&read.steps[i].newStamp, &plan.steps[i].newStamp, sizeof(FileStamp)), 0);
    EXPECT_EQ(read.steps[i].fileName, plan.steps[i].fileName);
  }
  EXPECT_EQ(read.newFolders, plan.newFolders);
  CommitPlan empty;
  EXPECT_TRUE(DecodeJournal(EncodeJournal(CommitPlan()), &empty));
  EXPECT_TRUE(empty.steps.empty());
}

TEST(CommitJournal, RefusesWhatIsNoWholeJournal) {
  using Bytes = std::vector<std::uint8_t>;
  // Each case spoils a good journal or a good plan.
  struct Case {
    const char* label;
    std::function<void(CommitPlan&)> plan;
    std::function<void(Bytes&)> bytes;
  };
  const auto keep = [](CommitPlan&) {};
  const auto untouched = [](Bytes&) {};
  const Case cases[] = {
      {"cut by a byte", keep, [](Bytes& b) { b.pop_back(); }},
      {"one byte more", keep, [](Bytes& b) { b.push_back(0); }},
      {"a byte changed", keep, [](Bytes& b) { b[20] ^= 1; }},
      {"another magic", keep, [](Bytes& b) { b[0] = 'X'; }},
      {"empty", keep, [](Bytes& b) { b.clear(); }},
      {"a name that leaves the folder", [](CommitPlan& p) { p.steps[0].fileName = "..\\x"; },
       untouched},
      {"a name in the staging folder",
       [](CommitPlan& p) { p.steps[0].fileName = "__KVUPD_\\N00001.TMP"; }, untouched},
      {"a name too long", [](CommitPlan& p) { p.steps[0].fileName = std::string(250, 'n'); },
       untouched},
      {"a folder that leaves the folder", [](CommitPlan& p) { p.newFolders[0] = "C:\\x"; },
       untouched},
      {"an index past the table", [](CommitPlan& p) { p.steps[0].entry = 10000; }, untouched},
      {"a Verify step", [](CommitPlan& p) { p.steps[0].operation = Operation::kVerify; },
       untouched},
      {"a Remove that moves nothing", [](CommitPlan& p) { p.steps[2].movesOld = false; },
       untouched},
  };
  for (const Case& c : cases) {
    CommitPlan plan = SamplePlan();
    c.plan(plan);
    Bytes bytes = EncodeJournal(plan);
    c.bytes(bytes);
    CommitPlan read;
    EXPECT_FALSE(DecodeJournal(bytes, &read)) << c.label;
  }
}

}  // namespace
