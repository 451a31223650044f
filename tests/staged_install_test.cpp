// Passes 2 and 3: building in the staging folder, the commit, the clean-up,
// and a cancel at every poll that a run reaches.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "apply/apply_upgrade.h"
#include "apply/progress_state.h"
#include "package/file_stamp.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

using namespace streams;
using namespace package;
using namespace apply;
using namespace builder;

namespace {

namespace fs = std::filesystem;

void ExpectVersion2(const SampleUpgrade& sample) {
  for (const auto& [name, bytes] : sample.expected) {
    const std::string path = sample.target + name;
    EXPECT_EQ(ReadTestFile(path), bytes) << name;
  }
  EXPECT_FALSE(TestPathExists(sample.target + "c.txt"));
  EXPECT_FALSE(TestPathExists(sample.Staging()));
}

std::set<std::string> StagedNames(const SampleUpgrade& sample) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(NativeTestPath(sample.Staging()), error)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(StagedInstall, AppliesEveryOperationAndStampsEveryWrittenFile) {
  for (const bool compressed : {false, true}) {
    SCOPED_TRACE(compressed ? "[KVZ]" : "plain");
    SampleUpgrade sample(compressed);
    ScriptedUser user;
    std::set<std::string> staged;
    user.onPump = [&] {
      for (const std::string& name : StagedNames(sample)) staged.insert(name);
    };
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 1);
    ExpectVersion2(sample);
    for (const char* name : {"a.txt", "b.bin", "sub\\deeper\\new.dat"}) {
      const FileStamp stamp = StampOfFile(sample.target + name);
      EXPECT_EQ(stamp.dosDate, kNewDosDate) << name;
      EXPECT_EQ(stamp.dosTime, kNewDosTime) << name;
    }
    // Update, Replace and the Add at index 4 were built; Remove and Verify
    // need no temporary file, and a temporary is named by its entry's index.
    EXPECT_EQ(staged, (std::set<std::string>{"N00000.TMP", "N00001.TMP", "N00004.TMP"}));
    EXPECT_FALSE(outcome.CommitFailed());
    EXPECT_FALSE(outcome.stagingKept);
    EXPECT_TRUE(user.boxes.empty());
  }
}

TEST(StagedInstall, AnEmptyTableOrOnlyVerifyEntriesChangeNothing) {
  TempFolder root;
  const std::string target = root.Join("t\\");
  fs::create_directory(NativeTestPath(target));
  WriteTestFile(target + "v.txt", Pattern(10, 1));
  const FolderSnapshot before = TakeSnapshot(target);
  PackageWriter empty;
  ASSERT_TRUE(empty.WriteFile(root.Join("empty.upg").c_str(), false));
  PackageWriter verify;
  verify.AddEntry(CheckEntry(Operation::kVerify, "v.txt", StampOfFile(target + "v.txt")));
  ASSERT_TRUE(verify.WriteFile(root.Join("verify.upg").c_str(), false));
  ScriptedUser user;
  EXPECT_EQ(ApplyPackage(root.Join("empty.upg"), target), 1);
  EXPECT_EQ(ApplyPackage(root.Join("verify.upg"), target), 1);
  EXPECT_TRUE(TakeSnapshot(target) == before);
}

TEST(StagedInstall, OperationsFiveToSevenAreLeftAlone) {
  TempFolder root;
  const std::string target = root.path();
  const std::vector<std::uint8_t> a = Pattern(300, 1);
  WriteTestFile(target + "odd.dat", Bytes("keep me"));
  WriteTestFile(target + "a.txt", a);
  PackageWriter writer;
  for (std::uint8_t code = 5; code <= 7; ++code) {
    PackageEntrySpec odd = NewFileEntry(Operation::kAdd, "odd.dat", Bytes("garbage"));
    odd.operation = static_cast<Operation>(code);
    odd.errorPolicy = Policy::kCritical;
    odd.warningPolicy = Policy::kCritical;
    writer.AddEntry(odd);
  }
  const std::vector<std::uint8_t> tail = Pattern(50, 2);
  writer.AddEntry(UpdateEntry("a.txt", a, StampOfFile(target + "a.txt"), tail));
  const std::string package = root.Join("p.upg");
  ASSERT_TRUE(writer.WriteFile(package.c_str(), false));
  ScriptedUser user;
  EXPECT_EQ(ApplyPackage(package, target), 1);
  EXPECT_EQ(ReadTestFile(target + "odd.dat"), Bytes("keep me"));
  std::vector<std::uint8_t> newA(a.begin(), a.begin() + 150);
  newA.insert(newA.end(), tail.begin(), tail.end());
  EXPECT_EQ(ReadTestFile(target + "a.txt"), newA);
  EXPECT_TRUE(user.boxes.empty());
}

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
    user.cancelQuestion = UiText(UiLine::kCancelQuestion);
    user.cancelAtPump = k;
    EXPECT_EQ(ApplyPackage(sample.package, sample.target), 0);
    EXPECT_EQ(user.boxes.size(), 1u);
    EXPECT_TRUE(TakeSnapshot(sample.target) == before);
    EXPECT_FALSE(TestPathExists(sample.Staging()));
  }
}

TEST(StagedInstall, ARefusedCancelLetsTheRunFinish) {
  SampleUpgrade sample;
  ScriptedUser user;
  user.cancelQuestion = UiText(UiLine::kCancelQuestion);
  user.cancelAnswer = platform::kIdNo;
  user.cancelAtPump = 6;
  EXPECT_EQ(ApplyPackage(sample.package, sample.target), 1);
  EXPECT_EQ(user.boxes.size(), 1u);
  ExpectVersion2(sample);
}

TEST(StagedInstall, APressDuringTheCommitHasNoEffect) {
  SampleUpgrade sample;
  ScriptedUser user;
  user.cancelQuestion = UiText(UiLine::kCancelQuestion);
  const int pumpsBefore = 0;
  int pumpsAtCommit = -1;
  user.onControlText = [&](int control, const std::string& text) {
    if (control == platform::kProgressCancelButton && text == "----") {
      CancelRequested = 1;
      pumpsAtCommit = user.pumps;
    }
  };
  EXPECT_EQ(ApplyPackage(sample.package, sample.target), 1);
  EXPECT_GT(pumpsAtCommit, pumpsBefore);
  EXPECT_EQ(user.pumps, pumpsAtCommit);
  EXPECT_TRUE(user.boxes.empty());
  ExpectVersion2(sample);
}

// A package whose second entry rebuilds to the wrong checksum.
struct FailingRebuild {
  SampleUpgrade sample;
  std::string package;
  explicit FailingRebuild(Policy errorPolicy) {
    PackageWriter writer;
    for (std::size_t i = 0; i < sample.entries.size(); ++i) {
      PackageEntrySpec entry = sample.entries[i];
      if (i == 1) {
        entry.errorPolicy = errorPolicy;
        entry.newStamp.checksum = static_cast<std::uint16_t>(entry.newStamp.checksum + 1);
      }
      writer.AddEntry(entry);
    }
    package = sample.root.Join("failing.upg");
    EXPECT_TRUE(writer.WriteFile(package.c_str(), false));
  }
};

TEST(StagedInstall, ARebuildFailureUnderEachErrorPolicy) {
  const std::string question = "Operation: Replace\n\nFilename: b.bin\nDescription: new b.bin\n\n";
  struct PolicyCase {
    Policy policy;
    int answer;
    int result;
    std::vector<std::string> boxes;
  };
  const PolicyCase cases[] = {
      {Policy::kIgnore, 0, 1, {}},
      {static_cast<Policy>(3), 0, 1, {}},
      {Policy::kAsk,
       platform::kIdYes,
       1,
       {question + UiText(UiLine::kRebuildSkipped) + "\n\n" + UiText(UiLine::kContinue)}},
      {Policy::kAsk,
       platform::kIdNo,
       0,
       {question + UiText(UiLine::kRebuildSkipped) + "\n\n" + UiText(UiLine::kContinue)}},
      {Policy::kCritical,
       platform::kIdYes,
       0,
       {question + UiText(UiLine::kCriticalRebuild) + "\n\n" + UiText(UiLine::kMoreInformation),
        UiText(UiLine::kCriticalExplanation)}},
      {Policy::kCritical,
       platform::kIdNo,
       0,
       {question + UiText(UiLine::kCriticalRebuild) + "\n\n" + UiText(UiLine::kMoreInformation)}},
  };
  for (const PolicyCase& c : cases) {
    SCOPED_TRACE("policy " + std::to_string(static_cast<int>(c.policy)) + " answer " +
                 std::to_string(c.answer));
    FailingRebuild failing(c.policy);
    const SampleUpgrade& sample = failing.sample;
    const FolderSnapshot before = TakeSnapshot(sample.target);
    const std::vector<std::uint8_t> oldB = ReadTestFile(sample.target + "b.bin");
    ScriptedUser user;
    if (c.answer != 0) user.answers.push_back(c.answer);
    EXPECT_EQ(ApplyPackage(failing.package, sample.target), c.result);
    std::vector<std::string> texts;
    for (const RecordedBox& box : user.boxes) texts.push_back(box.text);
    EXPECT_EQ(texts, c.boxes);
    if (c.result == 0) {
      EXPECT_TRUE(TakeSnapshot(sample.target) == before);
    } else {
      // The failed file keeps its old version; the others are committed.
      EXPECT_EQ(ReadTestFile(sample.target + "b.bin"), oldB);
      EXPECT_EQ(ReadTestFile(sample.target + "a.txt"), sample.expected.at("a.txt"));
      EXPECT_FALSE(TestPathExists(sample.target + "c.txt"));
    }
    EXPECT_FALSE(TestPathExists(sample.Staging()));
  }
}

// A run's own leftovers are overwritten or removed; a file it cannot have
// made keeps the staging folder.
TEST(StagedInstall, WhatAnEarlierRunLeftInTheStagingFolder) {
  const struct {
    const char* label;
    std::vector<std::pair<const char*, std::vector<std::uint8_t>>> files;
    std::set<std::string> kept;
  } cases[] = {
      {"stale temporaries", {{"N00000.TMP", Pattern(5000, 9)}, {"N00003.TMP", Bytes("stale")}}, {}},
      {"a file of the user's", {{"notes.txt", Bytes("mine")}}, {"notes.txt"}},
      {"a temporary of no entry", {{"N00009.TMP", Bytes("mine")}}, {"N00009.TMP"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    SampleUpgrade sample;
    fs::create_directory(NativeTestPath(sample.Staging()));
    for (const auto& [name, bytes] : c.files) WriteTestFile(sample.Staging() + "\\" + name, bytes);
    ScriptedUser user;
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyPackage(sample.package, sample.target, &outcome), 1);
    for (const auto& [name, bytes] : sample.expected)
      EXPECT_EQ(ReadTestFile(sample.target + name), bytes) << name;
    EXPECT_FALSE(outcome.CommitFailed());
    EXPECT_EQ(outcome.stagingKept, !c.kept.empty());
    EXPECT_EQ(StagedNames(sample), c.kept);
    EXPECT_EQ(TestPathExists(sample.Staging()), !c.kept.empty());
    if (!c.kept.empty()) {
      EXPECT_EQ(outcome.stagingFolder, sample.Staging());
    }
  }
}

// A folder whose path is `length` characters long, backslash included.
std::string DeepFolder(const TempFolder& root, std::size_t length) {
  std::string path = root.path();
  while (path.size() < length) {
    const std::size_t room = length - path.size();
    const std::size_t component = room > 51 ? 50 : room - 1;
    path += std::string(component, 'd') + "\\";
  }
  fs::create_directories(NativeTestPath(path));
  return path;
}

TEST(StagedInstall, PathsThatDoNotFitAreRefusedBeforeAnythingIsWritten) {
  TempFolder root;
  ASSERT_LT(root.path().size(), 200u);
  struct PathCase {
    std::size_t folderLength;
    PackageEntrySpec entry;
    std::string refused;
  };
  const PathCase cases[] = {
      // 250 + 10 characters: one too many for the full path.
      {250, CheckEntry(Operation::kRemove, "abcdef.txt", StampOf(Bytes("x"))), "abcdef.txt"},
      // The name fits, but a temporary name would need 241 + 19.
      {241, NewFileEntry(Operation::kAdd, "a", Bytes("a")), "a"},
      // No entry builds a file, yet the staging folder is made in every run.
      {241, CheckEntry(Operation::kVerify, "v", StampOf(Bytes("v"))), "__KVUPD_"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.refused);
    TempFolder caseRoot;
    const std::string target = DeepFolder(caseRoot, c.folderLength);
    ASSERT_EQ(target.size(), c.folderLength);
    WriteTestFile(target + "v", Bytes("v"));
    const FolderSnapshot before = TakeSnapshot(target);
    PackageWriter writer;
    writer.AddEntry(c.entry);
    const std::string package = caseRoot.Join("p.upg");
    ASSERT_TRUE(writer.WriteFile(package.c_str(), false));
    ScriptedUser user;
    ApplyOutcome outcome;
    EXPECT_EQ(ApplyPackage(package, target, &outcome), 0);
    EXPECT_EQ(outcome.refusedPath, c.refused);
    EXPECT_EQ(user.dialogsCreated, 0);
    EXPECT_TRUE(TakeSnapshot(target) == before);
  }
  // One character less fits.
  TempFolder fits;
  const std::string target = DeepFolder(fits, 240);
  PackageWriter writer;
  writer.AddEntry(NewFileEntry(Operation::kAdd, "a", Bytes("a")));
  ASSERT_TRUE(writer.WriteFile(fits.Join("p.upg").c_str(), false));
  ScriptedUser user;
  EXPECT_EQ(ApplyPackage(fits.Join("p.upg"), target), 1);
  EXPECT_EQ(ReadTestFile(target + "a"), Bytes("a"));
}

}  // namespace
