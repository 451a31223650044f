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

namespace {

namespace fs = std::filesystem;

enum class Found { kAbsent, kMatching, kReadOnly, kChanged, kTimeDiffers };
enum class After { kNew, kOld, kAbsent };

struct Row {
  const char* label;
  std::uint8_t operation;
  Found found;
  int message;       // 0: no finding
  bool warning;      // governed by warningPolicy, else by errorPolicy
  After afterGoingOn;
};

const Row kRows[] = {
    {"add absent", kAdd, Found::kAbsent, 0, false, After::kNew},
    {"add read-only", kAdd, Found::kReadOnly, 12, false, After::kOld},
    {"add exists", kAdd, Found::kMatching, 9, true, After::kNew},
    {"update absent", kUpdate, Found::kAbsent, 13, false, After::kAbsent},
    {"update read-only", kUpdate, Found::kReadOnly, 15, false, After::kOld},
    {"update changed", kUpdate, Found::kChanged, 14, false, After::kOld},
    {"update time differs", kUpdate, Found::kTimeDiffers, 10, true, After::kNew},
    {"update matching", kUpdate, Found::kMatching, 0, false, After::kNew},
    {"replace absent", kReplace, Found::kAbsent, 13, false, After::kAbsent},
    {"replace read-only", kReplace, Found::kReadOnly, 12, false, After::kOld},
    {"replace present", kReplace, Found::kChanged, 0, false, After::kNew},
    {"verify absent", kVerify, Found::kAbsent, 13, false, After::kAbsent},
    {"verify changed", kVerify, Found::kChanged, 14, false, After::kOld},
    {"verify time differs", kVerify, Found::kTimeDiffers, 10, true, After::kOld},
    {"verify read-only", kVerify, Found::kReadOnly, 0, false, After::kOld},
    {"remove absent", kRemove, Found::kAbsent, 13, false, After::kAbsent},
    {"remove read-only", kRemove, Found::kReadOnly, 15, false, After::kOld},
    {"remove changed", kRemove, Found::kChanged, 11, true, After::kAbsent},
    {"remove time differs", kRemove, Found::kTimeDiffers, 11, true, After::kAbsent},
    {"remove matching", kRemove, Found::kMatching, 0, false, After::kAbsent},
};

struct Policy {
  const char* label;
  std::uint8_t value;
  int firstAnswer;  // 0: no question expected
};

const Policy kPolicies[] = {
    {"ignore", 0, 0},
    {"ask yes", 1, platform::kIdYes},
    {"ask no", 1, platform::kIdNo},
    {"critical yes", 2, platform::kIdYes},
    {"critical no", 2, platform::kIdNo},
    {"three", 3, 0},
};

const char* OperationName(std::uint8_t operation) {
  static const char* const names[] = {"Add", "Update", "Replace", "Verify", "Remove"};
  return names[operation];
}

std::string Question(std::uint8_t operation, const std::string& name,
                     const std::string& description, int first, int second) {
  std::string text = std::string("Operation: ") + OperationName(operation) +
                     "\n\nFilename: " + name;
  if (!description.empty()) text += "\nDescription: " + description;
  return text + "\n\n" + UiLine(first) + "\n\n" + UiLine(second);
}

struct Case {
  TempFolder root;
  std::string target;
  std::string package;
  std::vector<std::uint8_t> oldBytes = Pattern(300, 1);
  std::vector<std::uint8_t> newBytes;
  PackageEntrySpec entry;

  Case(const Row& row, std::uint8_t policy, const std::string& description) {
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
      fs::permissions(NativeTestPath(path), fs::perms::owner_write | fs::perms::group_write |
                                                fs::perms::others_write,
                      fs::perm_options::remove);
    }
    const std::vector<std::uint8_t> tail = Pattern(90, 3);
    switch (row.operation) {
      case kUpdate:
        entry = UpdateEntry("f.dat", oldBytes, oldStamp, tail);
        newBytes.assign(oldBytes.begin(), oldBytes.begin() + 150);
        newBytes.insert(newBytes.end(), tail.begin(), tail.end());
        break;
      case kAdd:
      case kReplace:
        newBytes = Pattern(350, 2);
        entry = NewFileEntry(row.operation, "f.dat", newBytes);
        break;
      default:
        entry = CheckEntry(row.operation, "f.dat", oldStamp);
        break;
    }
    entry.description = description;
    // The policy that must not decide is Critical, so a wrong choice shows.
    entry.warningPolicy = row.warning ? policy : std::uint8_t{kCritical};
    entry.errorPolicy = row.warning ? std::uint8_t{kCritical} : policy;
    if (row.message == 0) entry.warningPolicy = entry.errorPolicy = kCritical;
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
    for (const Policy& policy : kPolicies) {
      if (row.message == 0 && policy.value != 0) continue;
      SCOPED_TRACE(std::string(row.label) + " / " + policy.label);
      ResetProgressState();
      Case c(row, policy.value, "the file");
      const FolderSnapshot before = TakeSnapshot(c.target);
      ScriptedUser user;
      if (policy.firstAnswer != 0) user.answers.push_back(policy.firstAnswer);
      ApplyOutcome outcome;
      int result = 0;
      {
        auto session = OpenRunSession(c.package, c.target);
        result = ApplyUpgrade(*session, &outcome);
      }
      const bool goesOn = row.message == 0 || policy.value == 0 || policy.value == 3 ||
                          (policy.value == 1 && policy.firstAnswer == platform::kIdYes);
      EXPECT_EQ(result, goesOn ? 1 : 0);
      std::vector<RecordedBox> expected;
      if (row.message != 0 && policy.value == 1) {
        expected.push_back({Question(row.operation, "f.dat", "the file", row.message, 7),
                            UiLine(3), 0x2024, user.dialog()});
      }
      if (row.message != 0 && policy.value == 2) {
        expected.push_back(
            {Question(row.operation, "f.dat", "the file", 16, 19), UiLine(3), 0x2024,
             user.dialog()});
        if (policy.firstAnswer == platform::kIdYes) {
          expected.push_back({UiLine(row.message), UiLine(3), 0x2040, user.dialog()});
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

TEST(Preflight, AQuestionWithoutDescriptionHasNoDescriptionLine) {
  ResetProgressState();
  Case c(kRows[3], kAsk, "");
  ScriptedUser user;
  user.answers.push_back(platform::kIdNo);
  auto session = OpenRunSession(c.package, c.target);
  EXPECT_EQ(ApplyUpgrade(*session), 0);
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(user.boxes[0].text,
            "Operation: Update\n\nFilename: f.dat\n\n** Error: This file cannot be found. It "
            "will not be updated.\n\nDo you wish to continue with the update?");
}

TEST(Preflight, TheDialogIsSetUpAndTheOwnerDisabledUntilTheSessionCloses) {
  ResetProgressState();
  SampleUpgrade sample;
  ScriptedUser user;
  int owner = 0;
  {
    UpgradeSession session(platform::ProgramInstance(), &owner, sample.package.c_str(),
                           sample.target.c_str());
    session.uiStrings = std::make_unique<UiStrings>(platform::ProgramInstance(), kUiStringsResourceId);
    EXPECT_EQ(ApplyUpgrade(session), 1);
    EXPECT_EQ(user.dialogsDestroyed, 0);
  }
  EXPECT_EQ(user.windowEvents,
            (std::vector<std::string>{"create", "disable", "enable", "destroy"}));
  EXPECT_EQ(user.enables.front().first, &owner);
  EXPECT_EQ(user.title, UiLine(3));
  EXPECT_EQ(user.statusHistory.front(), UiLine(5));
  EXPECT_EQ(user.statusHistory.back(), UiLine(6));
  EXPECT_EQ(user.controls[platform::kProgressCancelButton], "----");
}

TEST(Preflight, ASessionThatCannotRunShowsNothing) {
  ResetProgressState();
  SampleUpgrade sample;
  ScriptedUser user;
  UpgradeSession withoutStrings(nullptr, nullptr, sample.package.c_str(), sample.target.c_str());
  EXPECT_EQ(ApplyUpgrade(withoutStrings), 0);
  auto missingPackage = OpenRunSession(sample.root.Join("none.upg"), sample.target);
  EXPECT_EQ(ApplyUpgrade(*missingPackage), 0);
  EXPECT_EQ(user.dialogsCreated, 0);
}

}  // namespace
