// One run of the engine from the pre-flight to the clean-up: the pass-1 outcome table under every
// policy, a cancel at every poll, paths that do not fit, and links that are never followed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "apply/apply_upgrade.h"
#include "apply/passes.h"
#include "apply/progress_state.h"
#include "apply/staging_names.h"
#include "platform/file_system.h"
#include "platform/resources.h"
#include "tests/support/scripted_user.h"
#include "tests/support/test_links.h"
#include "tests/support/upgrade_fixture.h"
#include "ui/closing_message.h"

namespace {

namespace fs = std::filesystem;
using O = Operation;

// A linked file matches, but the folder it lies in is reached through a link; a file link matches,
// being itself a link to a file outside.
enum class Found { kAbsent, kMatching, kReadOnly, kChanged, kTimeDiffers, kLinked, kFileLink };
enum class After { kNew, kOld, kAbsent };
// The message of a row whose file passes the check.
constexpr UiLine kNoFinding = UiLine::kLanguage;
using F = Found;
using A = After;
using L = UiLine;

struct Row {
  const char* label;
  Operation operation;
  Found found;
  UiLine message;
  bool warning;  // governed by warningPolicy, else by errorPolicy
  After afterGoingOn;
};

const Row kRows[] = {
    {"add absent", O::kAdd, F::kAbsent, kNoFinding, false, A::kNew},
    {"add read-only", O::kAdd, F::kReadOnly, L::kCannotCreateReadOnly, false, A::kOld},
    {"add exists", O::kAdd, F::kMatching, L::kExists, true, A::kNew},
    {"update absent", O::kUpdate, F::kAbsent, L::kNotFound, false, A::kAbsent},
    {"update read-only", O::kUpdate, F::kReadOnly, L::kReadOnly, false, A::kOld},
    {"update changed", O::kUpdate, F::kChanged, L::kChanged, false, A::kOld},
    {"update time differs", O::kUpdate, F::kTimeDiffers, L::kTimeDiffers, true, A::kNew},
    {"update matching", O::kUpdate, F::kMatching, kNoFinding, false, A::kNew},
    // A matching file whose new file fails its check, found by the pass that builds the new files.
    {"update rebuild fails", O::kUpdate, F::kMatching, L::kRebuildSkipped, false, A::kOld},
    {"replace absent", O::kReplace, F::kAbsent, L::kNotFound, false, A::kAbsent},
    {"replace read-only", O::kReplace, F::kReadOnly, L::kCannotCreateReadOnly, false, A::kOld},
    {"replace present", O::kReplace, F::kChanged, kNoFinding, false, A::kNew},
    {"verify read-only", O::kVerify, F::kReadOnly, kNoFinding, false, A::kOld},
    {"remove absent", O::kRemove, F::kAbsent, L::kNotFound, false, A::kAbsent},
    {"remove read-only", O::kRemove, F::kReadOnly, L::kReadOnly, false, A::kOld},
    {"remove changed", O::kRemove, F::kChanged, L::kRemoveChanged, true, A::kAbsent},
    {"remove matching", O::kRemove, F::kMatching, kNoFinding, false, A::kAbsent},
    // Operations 5 to 7 are left alone, whatever their entry says.
    {"operation 5", O(5), F::kMatching, kNoFinding, false, A::kOld},
    // A path through a link is refused like a file that cannot be processed.
    {"add linked", O::kAdd, F::kLinked, kLinkedPathMessage, false, A::kOld},
    {"update linked", O::kUpdate, F::kLinked, kLinkedPathMessage, false, A::kOld},
    {"replace linked", O::kReplace, F::kLinked, kLinkedPathMessage, false, A::kOld},
    {"verify linked", O::kVerify, F::kLinked, kLinkedPathMessage, false, A::kOld},
    {"remove linked", O::kRemove, F::kLinked, kLinkedPathMessage, false, A::kOld},
    // A link in a file's place is itself replaced or removed, never followed.
    {"update file link", O::kUpdate, F::kFileLink, kNoFinding, false, A::kNew},
    {"replace file link", O::kReplace, F::kFileLink, kNoFinding, false, A::kNew},
    {"remove file link", O::kRemove, F::kFileLink, kNoFinding, false, A::kAbsent},
};

const struct PolicyCase {
  const char* label;
  Policy value;
  int firstAnswer;  // 0: no question expected
} kPolicies[] = {
    {"ignore", Policy::kIgnore, 0},
    {"ask yes", Policy::kAsk, platform::kIdYes},
    {"ask no", Policy::kAsk, platform::kIdNo},
    {"critical yes", Policy::kCritical, platform::kIdYes},
    {"critical no", Policy::kCritical, platform::kIdNo},
    {"three", static_cast<Policy>(3), 0},
};

std::string Text(UiLine line) {
  if (line != kLinkedPathMessage) return UiText(line);
  return "** Error: A folder on the way to this file is a symbolic link or junction, which the "
         "upgrade does not follow. This file will not be changed.";
}

std::string Question(Operation operation, const std::string& name, const std::string& description,
                     UiLine first, UiLine second) {
  std::string text =
      std::string("Operation: ") + OperationName(operation) + "\n\nFilename: " + name;
  if (!description.empty()) text += "\nDescription: " + description;
  return text + "\n\n" + Text(first) + "\n\n" + Text(second);
}

// A target folder "t" beside a folder "outside", with the link t\ldir to outside where one can be
// made.
struct LinkedSite {
  TempFolder root;
  std::string target = root.Join("t\\");
  std::string outside = root.Join("outside\\");
  std::string package = root.Join("p.upg");
  bool linked = false;

  LinkedSite() {
    fs::create_directory(NativeTestPath(target));
    fs::create_directory(NativeTestPath(outside));
    linked = MakeTestLink(target + "ldir", "..\\outside");
  }
};

// The site holding f.dat as the row finds it, and a package of the row's one entry. A linked
// f.dat lies in outside, named through t\ldir.
struct Case : LinkedSite {
  std::string name = "f.dat";
  std::string path = target + name;
  std::vector<std::uint8_t> oldBytes = Pattern(300, 1);
  std::vector<std::uint8_t> newBytes = Pattern(350, 2);

  Case(const Row& row, Policy policy, const std::string& description) {
    if (row.found == Found::kLinked) {
      name = "ldir\\f.dat";
      path = outside + "f.dat";
    }
    if (row.found == Found::kFileLink) {
      WriteTestFile(outside + name, oldBytes);
      // Wine shows a link to a file as the file itself, and moves and deletes its target: a
      // Windows program cannot tell there.
      linked = MakeTestLink(path, "..\\outside\\f.dat");
      if (!linked) return;
    } else if (row.found != Found::kAbsent) {
      WriteTestFile(path, oldBytes);
    }
    FileStamp oldStamp = row.found == Found::kAbsent ? StampOf(oldBytes) : StampOfFile(path);
    if (row.found == Found::kChanged) oldStamp.checksum ^= 0x0101;
    if (row.found == Found::kTimeDiffers) oldStamp.dosTime ^= 1;
    if (row.found == Found::kReadOnly) SetTestFileReadOnly(path, true);
    PackageEntrySpec entry = CheckEntry(row.operation, name, oldStamp);
    if (row.operation == O::kAdd || row.operation == O::kReplace || row.operation > O::kRemove) {
      entry = NewFileEntry(row.operation, name, newBytes);
    }
    if (row.operation == O::kUpdate) {
      entry = UpdateEntry(name, oldBytes, oldStamp, Pattern(90, 3), &newBytes);
    }
    if (row.message == L::kRebuildSkipped) entry.newStamp.checksum ^= 1;
    entry.description = description;
    // The policy that must not decide is Critical, so a wrong choice shows.
    entry.warningPolicy = row.warning ? policy : Policy::kCritical;
    entry.errorPolicy = row.warning ? Policy::kCritical : policy;
    if (row.message == kNoFinding) entry.warningPolicy = entry.errorPolicy = Policy::kCritical;
    WriteEntriesPackage(package, {entry});
  }
};

TEST(Preflight, EveryRowUnderEveryPolicy) {
  for (const Row& row : kRows) {
    for (const PolicyCase& policy : kPolicies) {
      if (row.message == kNoFinding && policy.value != Policy::kIgnore) continue;
      SCOPED_TRACE(std::string(row.label) + " / " + policy.label);
      // Questions answered No come without a description line.
      const std::string description = policy.firstAnswer == platform::kIdNo ? "" : "the file";
      Case c(row, policy.value, description);
      const bool needsLink = row.found == Found::kLinked || row.found == Found::kFileLink;
      if (needsLink && !c.linked) continue;  // no link can be made here
      const FolderSnapshot before = TakeSnapshot(c.target);
      const FolderSnapshot outside = TakeSnapshot(c.outside);
      ScriptedUser user;
      if (policy.firstAnswer != 0) user.answers.push_back(policy.firstAnswer);
      const bool goesOn = row.message == kNoFinding || policy.value == Policy::kIgnore ||
                          policy.value == static_cast<Policy>(3) ||
                          (policy.value == Policy::kAsk && policy.firstAnswer == platform::kIdYes);
      EXPECT_EQ(ApplyPackage(c.package, c.target), goesOn ? 1 : 0);
      const std::string caption = UiText(L::kCaption);
      std::vector<RecordedBox> expected;
      if (row.message != kNoFinding && policy.value == Policy::kAsk) {
        expected.push_back({Question(row.operation, c.name, description, row.message, L::kContinue),
                            caption, 0x2024, user.dialog()});
      }
      const bool rebuild = row.message == L::kRebuildSkipped;
      if (row.message != kNoFinding && policy.value == Policy::kCritical) {
        const UiLine first = rebuild ? L::kCriticalRebuild : L::kCriticalBefore;
        expected.push_back(
            {Question(row.operation, c.name, description, first, L::kMoreInformation), caption,
             0x2024, user.dialog()});
        if (policy.firstAnswer == platform::kIdYes) {
          const UiLine explanation = rebuild ? L::kCriticalExplanation : row.message;
          expected.push_back({Text(explanation), caption, 0x2040, user.dialog()});
        }
      }
      EXPECT_EQ(user.boxes, expected);
      const After unchanged = row.found == Found::kAbsent ? After::kAbsent : After::kOld;
      const After after = goesOn ? row.afterGoingOn : unchanged;
      EXPECT_TRUE(goesOn || TakeSnapshot(c.target) == before);
      EXPECT_EQ(TestPathExists(c.path), after != After::kAbsent);
      EXPECT_EQ(ReadTestFile(c.path), after == After::kOld   ? c.oldBytes
                                      : after == After::kNew ? c.newBytes
                                                             : std::vector<std::uint8_t>());
      EXPECT_FALSE(TestPathExists(c.target + "__KVUPD_"));
      EXPECT_TRUE(TakeSnapshot(c.outside) == outside);
    }
  }
}

// A session that cannot run changes nothing, beside the folder either, and shows nothing: one
// without its message table or its package, one whose entry table was refused (its Add would
// write beside the folder), one whose staging folder is a file or a link to a folder outside, and
// one whose folder another run holds.
TEST(Preflight, ASessionThatCannotRunShowsNothing) {
  const struct {
    const char* package;  // beside the target folder
    bool strings;
    const char* staging;  // what stands in the staging folder's place, if anything
    Refusal refusal;
  } cases[] = {
      {"sample.upg", false, nullptr, Refusal::kNone},
      {"none.upg", true, nullptr, Refusal::kNone},
      {"refused.upg", true, nullptr, Refusal::kNone},
      {"sample.upg", true, "file", Refusal::kStagingNotFolder},
      {"sample.upg", true, "link", Refusal::kStagingNotFolder},
      {"sample.upg", true, nullptr, Refusal::kFolderInUse},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    SampleUpgrade sample;
    WriteEscapingPackage(sample.root.Join("refused.upg"));
    const std::string outside = sample.root.Join("outside");
    fs::create_directory(NativeTestPath(outside));
    const std::string staging = c.staging != nullptr ? c.staging : "";
    if (staging == "file") WriteTestFile(sample.Staging(), Bytes("mine"));
    if (staging == "link" && !MakeTestLink(sample.Staging(), "..\\outside")) continue;
    platform::FileHandle held = platform::kInvalidFile;
    const std::string lockFile = LockFileName(sample.target.c_str());
    if (c.refusal == Refusal::kFolderInUse) {
      ASSERT_EQ(platform::Fs().LockFolder(sample.target.c_str(), lockFile.c_str(), &held),
                platform::LockResult::kLocked);
    }
    const FolderSnapshot before = TakeSnapshot(sample.target);
    ResetProgressState();
    ScriptedUser user;
    auto session = OpenRunSession(sample.root.Join(c.package), sample.target);
    if (!c.strings) session->uiStrings.reset();
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyUpgrade(*session, &outcome), 0);
    EXPECT_EQ(user.dialogsCreated, 0);
    EXPECT_EQ(outcome.refusal, c.refusal);
    EXPECT_EQ(outcome.refusedPath, staging.empty() ? "" : sample.Staging());
    const std::string closing = ui::ClosingMessageFor(0, outcome).text;
    EXPECT_EQ(closing.find("Another upgrade is being applied") != std::string::npos,
              c.refusal == Refusal::kFolderInUse);
    EXPECT_TRUE(TakeSnapshot(sample.target) == before);
    EXPECT_TRUE(TakeSnapshot(outside) == FolderSnapshot());
    EXPECT_FALSE(TestPathExists(sample.root.Join("evil.dll")));
    // Held until the folder is compared: on Windows the hold is a file in it.
    if (held != platform::kInvalidFile) platform::Fs().UnlockFolder(held);
  }
}

// Cancel confirmed at each poll in turn changes nothing.
TEST(StagedInstall, CancelConfirmedAtAnyPollLeavesEverythingAsItWas) {
  int polls = 0;
  {
    SampleUpgrade sample;
    ScriptedUser user;
    user.clockStep = 60;  // one poll in every pause after a redraw
    EXPECT_EQ(ApplyPackage(sample.package, sample.target), 1);
    polls = user.pumps;
  }
  ASSERT_GT(polls, 20);
  for (int k = 1; k <= polls; ++k) {
    SCOPED_TRACE("cancel at poll " + std::to_string(k));
    SampleUpgrade sample;
    const FolderSnapshot before = TakeSnapshot(sample.target);
    ScriptedUser user;
    user.clockStep = 60;
    user.cancelQuestion = UiText(L::kCancelQuestion);
    user.cancelAtPump = k;
    EXPECT_EQ(ApplyPackage(sample.package, sample.target), 0);
    EXPECT_EQ(user.boxes.size(), 1u);
    EXPECT_TRUE(TakeSnapshot(sample.target) == before);
    EXPECT_FALSE(TestPathExists(sample.Staging()));
  }
}

// Every operation is applied, from a plain package and a [KVZ] one, and every written file is
// stamped; a Cancel pressed once the commit has begun is never even asked about. Of what an
// earlier run left in the staging folder, a run's own leftovers are overwritten or removed; a file
// it cannot have made keeps the staging folder.
TEST(StagedInstall, AppliesEveryOperationAndStampsEveryWrittenFileUncancellablyOnceCommitting) {
  const struct {
    bool compressed;
    std::map<std::string, std::vector<std::uint8_t>> leftovers;
    bool kept;  // the staging folder, with every leftover as it was
  } cases[] = {
      {false, {}, false},
      {true, {}, false},
      {false, {{"N00000.TMP", Pattern(5000, 9)}, {"N00003.TMP", Bytes("stale")}}, false},
      {false, {{"notes.txt", Bytes("mine")}}, true},
      {false, {{"N00009.TMP", Bytes("mine")}}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    SampleUpgrade sample(c.compressed);
    if (!c.leftovers.empty()) fs::create_directory(NativeTestPath(sample.Staging()));
    for (const auto& [name, bytes] : c.leftovers) WriteTestFile(sample.Staged(name), bytes);
    ScriptedUser user;
    user.cancelQuestion = UiText(L::kCancelQuestion);
    user.onControlText = [&](int control, const std::string& text) {
      if (control == platform::kProgressCancelButton && text == "----") CancelRequested = 1;
    };
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 1);
    EXPECT_EQ(CancelRequested, 1) << "the commit never began";
    EXPECT_TRUE(sample.IsNew());
    // Every written file carries the date and time of its new stamp.
    for (const char* name : {"a.txt", "b.bin", "sub\\deeper\\new.dat"}) {
      EXPECT_EQ(StampOfFile(sample.target + name).DateTime(), StampOf({}).DateTime()) << name;
    }
    EXPECT_EQ(outcome.stagingKept, c.kept);
    EXPECT_EQ(TestPathExists(sample.Staging()), c.kept);
    EXPECT_TRUE(!c.kept || TakeSnapshot(sample.Staging()).files == c.leftovers);
    EXPECT_TRUE(!c.kept || outcome.stagingFolder == sample.Staging());
    EXPECT_TRUE(user.boxes.empty());
  }
}

TEST(StagedInstall, PathsThatDoNotFitAreRefusedBeforeAnythingIsWritten) {
  const struct {
    std::size_t folderLength;
    PackageEntrySpec entry;
    std::string refused;  // empty: it fits and is applied
  } cases[] = {
      // 250 + 10 characters: one too many for the full path.
      {250, CheckEntry(O::kRemove, "abcdef.txt", StampOf(Bytes("x"))), "abcdef.txt"},
      // The name fits, but a temporary name would need 241 + 19; one less fits.
      {241, NewFileEntry(O::kAdd, "a", Bytes("a")), "a"},
      {240, NewFileEntry(O::kAdd, "a", Bytes("a")), ""},
      // No entry builds a file, yet the staging folder is made in every run.
      {241, CheckEntry(O::kVerify, "v", StampOf(Bytes("v"))), "__KVUPD_"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folderLength);
    TempFolder root;
    ASSERT_LT(root.path().size(), 200u);
    // One long folder name: the full length counts, however it is cut into names.
    const std::string target =
        root.path() + std::string(c.folderLength - root.path().size() - 1, 'd') + "\\";
    fs::create_directory(NativeTestPath(target));
    WriteTestFile(target + "v", Bytes("v"));
    const FolderSnapshot before = TakeSnapshot(target);
    WriteEntriesPackage(root.Join("p.upg"), {c.entry});
    ScriptedUser user;
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyPackage(root.Join("p.upg"), target, &outcome), c.refused.empty() ? 1 : 0);
    EXPECT_EQ(outcome.refusedPath, c.refused);
    EXPECT_EQ(user.dialogsCreated, c.refused.empty() ? 1 : 0);
    EXPECT_TRUE(c.refused.empty() ? ReadTestFile(target + "a") == Bytes("a")
                                  : TakeSnapshot(target) == before);
  }
}

// A folder swapped for a link after the pre-flight is not followed: the commit stops and undoes.
TEST(Confinement, AFolderSwappedForALinkBeforeTheCommitIsNotFollowed) {
  LinkedSite site;
  WriteEntriesPackage(site.package, {NewFileEntry(O::kAdd, "first.txt", Bytes("1")),
                                     NewFileEntry(O::kAdd, "sub\\victim.txt", Bytes("2"))});
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
