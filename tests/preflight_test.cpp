// Pass 1: every row of the outcome table under every policy, with the
// question the user sees and what the run then does with the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "apply/apply_upgrade.h"
#include "apply/progress_state.h"
#include "package/ui_strings.h"
#include "platform/resources.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

using namespace streams;
using namespace package;
using namespace apply;
using namespace builder;

namespace {

namespace fs = std::filesystem;

enum class Found { kAbsent, kMatching, kReadOnly, kChanged, kTimeDiffers };
enum class After { kNew, kOld, kAbsent };
// The message of a row whose file passes the check.
constexpr UiLine kNoFinding = UiLine::kLanguage;

struct Row {
  const char* label;
  Operation operation;
  Found found;
  UiLine message;
  bool warning;  // governed by warningPolicy, else by errorPolicy
  After afterGoingOn;
};

const Row kRows[] = {
    {"add absent", Operation::kAdd, Found::kAbsent, kNoFinding, false, After::kNew},
    {"add read-only", Operation::kAdd, Found::kReadOnly, UiLine::kCannotCreateReadOnly, false,
     After::kOld},
    {"add exists", Operation::kAdd, Found::kMatching, UiLine::kExists, true, After::kNew},
    {"update absent", Operation::kUpdate, Found::kAbsent, UiLine::kNotFound, false, After::kAbsent},
    {"update read-only", Operation::kUpdate, Found::kReadOnly, UiLine::kReadOnly, false,
     After::kOld},
    {"update changed", Operation::kUpdate, Found::kChanged, UiLine::kChanged, false, After::kOld},
    {"update time differs", Operation::kUpdate, Found::kTimeDiffers, UiLine::kTimeDiffers, true,
     After::kNew},
    {"update matching", Operation::kUpdate, Found::kMatching, kNoFinding, false, After::kNew},
    {"replace absent", Operation::kReplace, Found::kAbsent, UiLine::kNotFound, false,
     After::kAbsent},
    {"replace read-only", Operation::kReplace, Found::kReadOnly, UiLine::kCannotCreateReadOnly,
     false, After::kOld},
    {"replace present", Operation::kReplace, Found::kChanged, kNoFinding, false, After::kNew},
    {"verify absent", Operation::kVerify, Found::kAbsent, UiLine::kNotFound, false, After::kAbsent},
    {"verify changed", Operation::kVerify, Found::kChanged, UiLine::kChanged, false, After::kOld},
    {"verify time differs", Operation::kVerify, Found::kTimeDiffers, UiLine::kTimeDiffers, true,
     After::kOld},
    {"verify read-only", Operation::kVerify, Found::kReadOnly, kNoFinding, false, After::kOld},
    {"remove absent", Operation::kRemove, Found::kAbsent, UiLine::kNotFound, false, After::kAbsent},
    {"remove read-only", Operation::kRemove, Found::kReadOnly, UiLine::kReadOnly, false,
     After::kOld},
    {"remove changed", Operation::kRemove, Found::kChanged, UiLine::kRemoveChanged, true,
     After::kAbsent},
    {"remove time differs", Operation::kRemove, Found::kTimeDiffers, UiLine::kRemoveChanged, true,
     After::kAbsent},
    {"remove matching", Operation::kRemove, Found::kMatching, kNoFinding, false, After::kAbsent},
};

struct PolicyCase {
  const char* label;
  Policy value;
  int firstAnswer;  // 0: no question expected
};

const PolicyCase kPolicies[] = {
    {"ignore", Policy::kIgnore, 0},
    {"ask yes", Policy::kAsk, platform::kIdYes},
    {"ask no", Policy::kAsk, platform::kIdNo},
    {"critical yes", Policy::kCritical, platform::kIdYes},
    {"critical no", Policy::kCritical, platform::kIdNo},
    {"three", static_cast<Policy>(3), 0},
};

std::string Question(Operation operation, const std::string& name, const std::string& description,
                     UiLine first, UiLine second) {
  std::string text =
      std::string("Operation: ") + OperationName(operation) + "\n\nFilename: " + name;
  if (!description.empty()) text += "\nDescription: " + description;
  return text + "\n\n" + UiText(first) + "\n\n" + UiText(second);
}

struct Case {
  TempFolder root;
  std::string target;
  std::string package;
  std::vector<std::uint8_t> oldBytes = Pattern(300, 1);
  std::vector<std::uint8_t> newBytes;
  PackageEntrySpec entry;

  Case(const Row& row, Policy policy, const std::string& description) {
    target = root.Join("t\\");
    fs::create_directory(NativeTestPath(target));
    const std::string path = target + "f.dat";
    if (row.found != Found::kAbsent) WriteTestFile(path, oldBytes);
    FileStamp oldStamp = row.found == Found::kAbsent ? StampOf(oldBytes) : StampOfFile(path);
    if (row.found == Found::kChanged) {
      oldStamp.checksum = static_cast<std::uint16_t>(oldStamp.checksum ^ 0x0101);
    }
    if (row.found == Found::kTimeDiffers) {
      oldStamp.dosTime = static_cast<std::uint16_t>(oldStamp.dosTime ^ 1);
    }
    if (row.found == Found::kReadOnly) {
      fs::permissions(NativeTestPath(path),
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    }
    const std::vector<std::uint8_t> tail = Pattern(90, 3);
    switch (row.operation) {
      case Operation::kUpdate:
        entry = UpdateEntry("f.dat", oldBytes, oldStamp, tail);
        newBytes.assign(oldBytes.begin(), oldBytes.begin() + 150);
        newBytes.insert(newBytes.end(), tail.begin(), tail.end());
        break;
      case Operation::kAdd:
      case Operation::kReplace:
        newBytes = Pattern(350, 2);
        entry = NewFileEntry(row.operation, "f.dat", newBytes);
        break;
      default:
        entry = CheckEntry(row.operation, "f.dat", oldStamp);
        break;
    }
    entry.description = description;
    // The policy that must not decide is Critical, so a wrong choice shows.
    entry.warningPolicy = row.warning ? policy : Policy::kCritical;
    entry.errorPolicy = row.warning ? Policy::kCritical : policy;
    if (row.message == kNoFinding) entry.warningPolicy = entry.errorPolicy = Policy::kCritical;
    PackageWriter writer;
    writer.AddEntry(entry);
    package = root.Join("p.upg");
    EXPECT_TRUE(writer.WriteFile(package.c_str(), false));
  }
};

void ExpectFile(const Case& c, After after) {
  const std::string path = c.target + "f.dat";
  switch (after) {
    case After::kAbsent:
      EXPECT_FALSE(TestPathExists(path));
      break;
    case After::kOld:
      EXPECT_EQ(ReadTestFile(path), c.oldBytes);
      break;
    case After::kNew:
      EXPECT_EQ(ReadTestFile(path), c.newBytes);
      break;
  }
}

TEST(Preflight, EveryRowUnderEveryPolicy) {
  for (const Row& row : kRows) {
    for (const PolicyCase& policy : kPolicies) {
      if (row.message == kNoFinding && policy.value != Policy::kIgnore) continue;
      SCOPED_TRACE(std::string(row.label) + " / " + policy.label);
      ResetProgressState();
      // Questions answered No come without a description line.
      const std::string description = policy.firstAnswer == platform::kIdNo ? "" : "the file";
      Case c(row, policy.value, description);
      const FolderSnapshot before = TakeSnapshot(c.target);
      ScriptedUser user;
      if (policy.firstAnswer != 0) user.answers.push_back(policy.firstAnswer);
      ApplyOutcome outcome;
      int result = 0;
      {
        auto session = OpenRunSession(c.package, c.target);
        result = ApplyUpgrade(*session, &outcome);
      }
      const bool goesOn = row.message == kNoFinding || policy.value == Policy::kIgnore ||
                          policy.value == static_cast<Policy>(3) ||
                          (policy.value == Policy::kAsk && policy.firstAnswer == platform::kIdYes);
      EXPECT_EQ(result, goesOn ? 1 : 0);
      std::vector<RecordedBox> expected;
      if (row.message != kNoFinding && policy.value == Policy::kAsk) {
        expected.push_back(
            {Question(row.operation, "f.dat", description, row.message, UiLine::kContinue),
             UiText(UiLine::kCaption), 0x2024, user.dialog()});
      }
      if (row.message != kNoFinding && policy.value == Policy::kCritical) {
        expected.push_back({Question(row.operation, "f.dat", description, UiLine::kCriticalBefore,
                                     UiLine::kMoreInformation),
                            UiText(UiLine::kCaption), 0x2024, user.dialog()});
        if (policy.firstAnswer == platform::kIdYes) {
          expected.push_back(
              {UiText(row.message), UiText(UiLine::kCaption), 0x2040, user.dialog()});
        }
      }
      ASSERT_EQ(user.boxes.size(), expected.size());
      for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(user.boxes[i].text, expected[i].text);
        EXPECT_EQ(user.boxes[i].caption, expected[i].caption);
        EXPECT_EQ(user.boxes[i].style, expected[i].style);
        EXPECT_EQ(user.boxes[i].owner, expected[i].owner);
      }
      if (goesOn) {
        ExpectFile(c, row.afterGoingOn);
      } else {
        EXPECT_TRUE(TakeSnapshot(c.target) == before);
      }
      EXPECT_FALSE(TestPathExists(c.target + "__KVUPD_"));
    }
  }
}

TEST(Preflight, TheDialogIsSetUpAndTheOwnerDisabledUntilTheSessionCloses) {
  ResetProgressState();
  SampleUpgrade sample;
  ScriptedUser user;
  int owner = 0;
  {
    UpgradeSession session(platform::ProgramInstance(), &owner, sample.package.c_str(),
                           sample.target.c_str());
    session.uiStrings =
        std::make_unique<UiStrings>(platform::ProgramInstance(), kUiStringsResourceId);
    EXPECT_EQ(ApplyUpgrade(session), 1);
    EXPECT_EQ(user.dialogsDestroyed, 0);
  }
  EXPECT_EQ(user.windowEvents,
            (std::vector<std::string>{"create", "disable", "enable", "destroy"}));
  EXPECT_EQ(user.enables.front().first, &owner);
  EXPECT_EQ(user.title, UiText(UiLine::kCaption));
  EXPECT_EQ(user.statusHistory.front(), UiText(UiLine::kInitializing));
  EXPECT_EQ(user.statusHistory.back(), UiText(UiLine::kInstalling));
  EXPECT_EQ(user.controls[platform::kProgressCancelButton], "----");
}

// A session that cannot run changes nothing and shows nothing, a package
// whose entry table was refused among them: its Add would write beside the
// folder.
TEST(Preflight, ASessionThatCannotRunShowsNothing) {
  SampleUpgrade sample;
  const std::string refused = sample.root.Join("refused.upg");
  WriteEscapingPackage(refused);
  const FolderSnapshot before = TakeSnapshot(sample.target);
  const struct {
    const char* label;
    std::string package;
    bool strings;
  } cases[] = {
      {"no message table", sample.package, false},
      {"no package file", sample.root.Join("none.upg"), true},
      {"entry table refused", refused, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ResetProgressState();
    ScriptedUser user;
    auto session = OpenRunSession(c.package, sample.target);
    if (!c.strings) session->uiStrings.reset();
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyUpgrade(*session, &outcome), 0);
    EXPECT_EQ(user.dialogsCreated, 0);
    EXPECT_EQ(outcome.refusal, Refusal::kNone);
    EXPECT_TRUE(TakeSnapshot(sample.target) == before);
    EXPECT_FALSE(TestPathExists(sample.root.Join("evil.dll")));
  }
}

}  // namespace
