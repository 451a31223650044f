// The applicator's flow without any window or terminal: start-up rules, the
// wizard's page loop, Browse, the search over fake drives, and the job.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "package/file_stamp.h"
#include "platform/bounded_text.h"
#include "platform/program.h"
#include "platform/user_interface.h"
#include "tests/support/fake_drives.h"
#include "tests/support/fake_front_end.h"
#include "tests/support/upgrade_fixture.h"
#include "ui/closing_message.h"
#include "ui/dialog_geometry.h"
#include "ui/folder_path.h"
#include "ui/folder_search.h"
#include "ui/job.h"
#include "ui/shared_state.h"
#include "ui/startup.h"
#include "ui/wizard.h"

using namespace streams;
using namespace package;
using namespace apply;
using namespace builder;
using namespace ui;

namespace fs = std::filesystem;

namespace {

void MakeFolder(const std::string& path) { fs::create_directories(NativeTestPath(path)); }

TEST(Startup, CommandLineIsTakenWithOneOuterPairOfQuotesRemoved) {
  const std::string longest(kMaxPath - 1, 'x');
  const struct {
    std::string commandLine;
    bool taken;
    std::string path;
  } cases[] = {
      {"C:\\My Games\\patch.upg", true, "C:\\My Games\\patch.upg"},
      {"\"C:\\My Games\\patch.upg\"", true, "C:\\My Games\\patch.upg"},
      {"\"a\" \"b\"", true, "a\" \"b"},  // not one pair around it all
      {"", true, ""},
      {"\"", true, "\""},  // a lone quote pairs with nothing
      {"\"\"", true, ""},
      {longest, true, longest},
      {"\"" + longest + "\"", true, longest},
      {longest + "x", false, ""},
      {"\"" + longest + "x\"", false, ""},
  };
  for (const auto& c : cases) {
    char path[kMaxPath] = "stale";
    EXPECT_EQ(PackagePathFromCommandLine(c.commandLine.c_str(), path), c.taken) << c.commandLine;
    EXPECT_EQ(std::string(path), c.path) << c.commandLine;
  }
}

TEST(Startup, PackageBesideTheProgram) {
  TempFolder folder;
  char found[kMaxPath];
  const std::string program = folder.Join("Setup.exe");
  FindPackageBesideProgram(program.c_str(), found);
  EXPECT_STREQ(found, "");

  MakeFolder(folder.Join("default.upg"));  // a folder of that name is no package
  FindPackageBesideProgram(program.c_str(), found);
  EXPECT_STREQ(found, "");

  TempFolder second;
  WriteTestFile(second.Join("default.upg"), "x");
  FindPackageBesideProgram(second.Join("Setup.exe").c_str(), found);
  EXPECT_EQ(std::string(found), second.Join("default.upg"));
  WriteTestFile(second.Join("Setup.upg"), "x");
  FindPackageBesideProgram(second.Join("Setup.exe").c_str(), found);
  EXPECT_EQ(std::string(found), second.Join("Setup.upg"));

  // No extension: ".upg" is appended, never cut at a dot of a folder.
  TempFolder third;
  MakeFolder(third.Join("my.app"));
  WriteTestFile(third.Join("my.app\\upgapply.upg"), "x");
  FindPackageBesideProgram(third.Join("my.app\\upgapply").c_str(), found);
  EXPECT_EQ(std::string(found), third.Join("my.app\\upgapply.upg"));
}

TEST(FolderPath, DialogPathDropsTheFileNameAndKeepsDriveRoots) {
  const std::pair<const char*, const char*> dialogPaths[] = {
      {"C:\\Games\\Old\\Target", "C:\\Games\\Old"},
      {"C:\\Target", "C:\\"},
      {"/\\Target", "/"},
      {"/home/user\\Target", "/home/user"},
  };
  for (const auto& [dialogPath, expected] : dialogPaths) {
    char folder[kMaxPath];
    ASSERT_TRUE(FolderFromDialogPath(dialogPath, folder));
    EXPECT_STREQ(folder, expected);
  }
  const std::pair<const char*, const char*> trims[] = {
      {"C:\\Games\\", "C:\\Games"}, {"C:\\", "C:\\"}, {"/", "/"}};
  for (const auto& [before, after] : trims) {
    char folder[kMaxPath];
    platform::CopyText(folder, before);
    TrimFolderSeparator(folder);
    EXPECT_STREQ(folder, after);
  }
}

TEST(DialogGeometry, CentresOnTheScreen) {
  EXPECT_EQ(CenteredOrigin(1024, 768, 301, 200).x, 361);
  EXPECT_EQ(CenteredOrigin(1024, 768, 301, 200).y, 284);
  EXPECT_EQ(CenteredOrigin(640, 480, 801, 500).x, -80);  // toward zero
  EXPECT_EQ(CenteredOrigin(640, 480, 801, 500).y, -10);
}

// A package that expects marker.dat as found in `folder`, so that exactly
// the folders holding a copy of it pass.
std::string MarkerPackage(const TempFolder& root, const std::string& sample) {
  WriteTestFile(sample, "installed marker");
  PackageWriter writer;
  writer.SetTitle("Marker");
  writer.SetDescription("Finds the marker");
  PackageEntrySpec entry = CheckEntry(Operation::kVerify, "marker.dat", StampOfFile(sample));
  entry.errorPolicy = Policy::kCritical;
  writer.AddEntry(entry);
  const std::string package = root.Join("marker.upg");
  EXPECT_TRUE(writer.WriteFile(package.c_str(), false));
  return package;
}

void CopyMarker(const std::string& sample, const std::string& folder) {
  MakeFolder(folder);
  fs::copy_file(NativeTestPath(sample), NativeTestPath(folder + "\\marker.dat"),
                fs::copy_options::overwrite_existing);
}

struct SearchWorld {
  TempFolder root;
  std::string c = root.Join("C\\");
  std::string d = root.Join("D\\");
  std::string sample = root.Join("sample.dat");
  std::string package;
  SearchWorld() {
    MakeFolder(c);
    MakeFolder(d);
    package = MarkerPackage(root, sample);
  }
  std::string Find(const char* start = "unchanged") {
    char folder[kMaxPath];
    platform::CopyText(folder, start);
    FakeDrives drives(c, d);
    FindInstalledFolder(package.c_str(), folder, nullptr, nullptr, drives);
    // The host's containers and hourglass live for exactly one search.
    EXPECT_EQ(drives.events, (std::vector<std::string>{"begin", "end"}));
    return folder;
  }
};

TEST(FolderSearch, FindsTheFirstMatchDriveCBeforeDShallowBeforeDeep) {
  struct Case {
    const char* label;
    std::vector<const char*> folders;  // made empty, "C\\..." or "D\\..."
    std::vector<const char*> markers;  // folders given a copy of the marker
    const char* found;                 // relative to the root; null: unchanged
  };
  const Case cases[] = {
      {"drive C whole before D",
       {"C\\Other\\Deep\\Deeper"},
       {"C\\App\\Sub", "D\\App"},
       "C\\App\\Sub"},
      {"the shallower match", {}, {"C\\a\\b\\c", "C\\z\\y"}, "C\\z\\y"},
      // A fake drive is a folder: it loses its separator.
      {"the drive itself", {}, {"D\\"}, "D"},
      {"no dot folders, nothing found", {"C\\plain\\deeper"}, {"C\\.hidden"}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SearchWorld world;
    for (const char* folder : c.folders) MakeFolder(world.root.Join(folder));
    for (const char* folder : c.markers) CopyMarker(world.sample, world.root.Join(folder));
    EXPECT_EQ(world.Find("C:\\Windows"),
              c.found == nullptr ? "C:\\Windows" : world.root.Join(c.found));
  }
}

TEST(FolderSearch, SymbolicLinkLoopsDoNotHangIt) {
  SearchWorld world;
  MakeFolder(world.c + "loop");
  std::error_code error;
  fs::create_directory_symlink(NativeTestPath(world.c), NativeTestPath(world.c + "loop\\back"),
                               error);
  if (error) GTEST_SKIP() << "this system cannot make folder links here: " << error.message();
  CopyMarker(world.sample, world.d + "found");
  EXPECT_EQ(world.Find(), world.d + "found");
}

TEST(Wizard, PageLoopBackNextAndTheFolderCheck) {
  SearchWorld world;
  CopyMarker(world.sample, world.c + "good");
  MakeFolder(world.c + "bad");
  ResetSharedState();
  platform::CopyText(PackagePath, world.package.c_str());

  platform::CopyText(SelectedFolder, (world.c + "good").c_str());
  FakeFrontEnd passing;
  passing.pageResults = {kPageNext, kPageBack, kPageNext, kPageNext};
  EXPECT_EQ(ShowWizard(passing), 1);
  EXPECT_EQ(passing.pagesShown, (std::vector<int>{1, 2, 1, 2}));  // page 3 never shown

  platform::CopyText(SelectedFolder, (world.c + "bad").c_str());
  FakeFrontEnd failing;
  failing.pageResults = {kPageNext, kPageNext, kPageBack, kPageNext, kPageNext};
  EXPECT_EQ(ShowWizard(failing), 1);
  EXPECT_EQ(failing.pagesShown, (std::vector<int>{1, 2, 3, 2, 3}));

  for (int page = 1; page <= 3; ++page) {
    FakeFrontEnd cancelling;
    for (int i = 1; i < page; ++i) cancelling.pageResults.push_back(kPageNext);
    cancelling.pageResults.push_back(kPageCancel);
    EXPECT_EQ(ShowWizard(cancelling), 0);
    EXPECT_EQ(cancelling.pagesShown.size(), static_cast<std::size_t>(page));
  }
}

TEST(Wizard, CancelAsksAndBrowseChangesTheFolder) {
  FakeFrontEnd frontEnd;
  frontEnd.answers = {platform::kIdNo, platform::kIdYes};
  EXPECT_FALSE(ConfirmCancel(frontEnd, nullptr));
  EXPECT_TRUE(ConfirmCancel(frontEnd, nullptr));
  ASSERT_EQ(frontEnd.boxes.size(), 2u);
  EXPECT_EQ(frontEnd.boxes[0].text, "Are you sure you want to cancel?");
  EXPECT_EQ(frontEnd.boxes[0].caption, "Upgrade Cancel Confirmation");
  EXPECT_EQ(frontEnd.boxes[0].style, 0x24u);

  ResetSharedState();
  platform::CopyText(SelectedFolder, "C:\\Before");
  EXPECT_FALSE(BrowseTargetFolder(frontEnd, nullptr));
  EXPECT_STREQ(SelectedFolder, "C:\\Before");
  frontEnd.chosenFolderPath = "D:\\Target";
  EXPECT_TRUE(BrowseTargetFolder(frontEnd, nullptr));
  EXPECT_STREQ(SelectedFolder, "D:\\");
}

TEST(Job, EndsEarlyWithTheRightStatusAndBoxes) {
  TempFolder folder;
  WriteTestFile(folder.Join("junk.upg"), "not a package");
  const FolderSnapshot before = TakeSnapshot(folder.path());
  const struct {
    const char* label;
    std::string package;  // empty: none on the command line nor beside
    int status;
  } cases[] = {
      {"no package, chooser cancelled", "", kExitNotApplied},
      {"not a package", folder.Join("junk.upg"), kExitInvalidPackage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ResetSharedState();
    FakeFrontEnd frontEnd;
    FakeDrives drives(folder.path(), folder.path());
    EXPECT_EQ(RunJob(frontEnd, drives, c.package.c_str(), folder.Join("upgapply").c_str()),
              c.status);
    EXPECT_EQ(frontEnd.choosersShown, c.package.empty() ? 1 : 0);
    EXPECT_TRUE(frontEnd.pagesShown.empty());
    EXPECT_TRUE(TakeSnapshot(folder.path()) == before);
    if (c.status != kExitInvalidPackage) {
      EXPECT_TRUE(frontEnd.boxes.empty());
      continue;
    }
    ASSERT_EQ(frontEnd.boxes.size(), 1u);
    EXPECT_EQ(frontEnd.boxes[0].text, "Upgrade is invalid!");
    EXPECT_EQ(frontEnd.boxes[0].caption, "Error");
    EXPECT_EQ(frontEnd.boxes[0].style, 0x10u);
    EXPECT_EQ(frontEnd.boxes[0].owner, frontEnd.MainWindow());
  }
}

TEST(Job, AppliesAfterTheWizardAndSaysSo) {
  SampleUpgrade sample;
  // Every file critical, so that only the installed folder passes the check
  // (with Ignore any folder would, the current one among them).
  PackageWriter strict;
  for (PackageEntrySpec entry : sample.entries) {
    entry.errorPolicy = Policy::kCritical;
    strict.AddEntry(entry);
  }
  ASSERT_TRUE(strict.WriteFile(sample.package.c_str(), false));
  ResetSharedState();
  ScriptedUser engineUser;
  FakeFrontEnd notFound;
  notFound.pageResults = {kPageNext, kPageNext, kPageCancel};
  FakeDrives nowhere("", "");
  EXPECT_EQ(RunJob(notFound, nowhere, sample.package.c_str(), ""), kExitNotApplied);
  // Nothing found: the system folder is offered and fails the check.
  EXPECT_EQ(notFound.pagesShown, (std::vector<int>{1, 2, 3}));
  char systemFolder[kMaxPath];
  ASSERT_TRUE(platform::SystemFolder(systemFolder, sizeof systemFolder));
  EXPECT_STREQ(SelectedFolder, systemFolder);
  EXPECT_TRUE(notFound.boxes.empty());  // a cancelled wizard ends without a word

  ResetSharedState();
  FakeFrontEnd withFolder;
  withFolder.pageResults = {kPageNext, kPageNext, kPageNext};
  FakeDrives found(sample.target, sample.root.Join("D\\"));
  EXPECT_EQ(RunJob(withFolder, found, sample.package.c_str(), ""), kExitApplied);
  EXPECT_EQ(withFolder.pagesShown, (std::vector<int>{1, 2})) << SelectedFolder;
  ASSERT_FALSE(withFolder.boxes.empty());
  EXPECT_EQ(withFolder.boxes.back().caption, "All Finished");
  EXPECT_EQ(withFolder.boxes.back().text, "The upgrade has been applied.");
  EXPECT_EQ(withFolder.events,
            (std::vector<std::string>{"search shown", "search hidden", "update"}));
  for (const auto& [name, bytes] : sample.expected)
    EXPECT_EQ(ReadTestFile(sample.target + name), bytes);
}

TEST(ClosingMessage, TellsWhatBecameOfTheFolder) {
  struct Case {
    const char* label;
    int applied;
    ApplyOutcome outcome;
    int exitStatus;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  };
  const std::string nothing = "No changes have been made to any of your files.";
  const FileFailure stopped{2, "bin\\engine.dat", StepFailure::kNewNotPlaced};
  ApplyOutcome inUse;
  inUse.refusal = Refusal::kFolderInUse;
  ApplyOutcome staging;
  staging.refusal = Refusal::kStagingNotFolder;
  staging.refusedPath = "C:\\Game\\__KVUPD_";
  ApplyOutcome undone;
  undone.commitFailure = stopped;
  ApplyOutcome finished;
  finished.recovery = Recovery::kFinished;
  ApplyOutcome recoveredBack;
  recoveredBack.recovery = Recovery::kUndone;
  ApplyOutcome notRestored = undone;
  notRestored.notRestored.push_back({1, "gfx\\logo.bmp", StepFailure::kNotRestored});
  notRestored.stagingFolder = "C:\\Game\\__KVUPD_";
  ApplyOutcome stuck;
  stuck.recovery = Recovery::kStuck;
  stuck.notRestored.push_back({-1, "__KVUPD_\\COMMIT.JNL", StepFailure::kJournalUnreadable});
  stuck.stagingFolder = "C:\\Game\\__KVUPD_";
  const Case cases[] = {
      {"aborted", 0, {}, kExitNotApplied, {"The upgrade process was aborted. " + nothing}, {}},
      {"applied", 1, {}, kExitApplied, {"The upgrade has been applied."}, {"\n"}},
      {"folder in use",
       0,
       inUse,
       kExitNotApplied,
       {nothing, "Another upgrade is being applied"},
       {}},
      {"staging is a link",
       0,
       staging,
       kExitNotApplied,
       {nothing, "C:\\Game\\__KVUPD_ is a link"},
       {}},
      {"commit undone",
       0,
       undone,
       kExitNotApplied,
       {nothing, "bin\\engine.dat could not be put in place: the new version could not be moved"},
       {}},
      {"recovered, then aborted",
       0,
       finished,
       kExitNotApplied,
       {"upgrade of this folder was completed"},
       {nothing}},
      {"recovered back, then aborted",
       0,
       recoveredBack,
       kExitNotApplied,
       {"upgrade of this folder was undone"},
       {nothing}},
      {"recovered this package", 1, finished, kExitApplied, {"The upgrade has been applied."}, {}},
      {"undo failed",
       0,
       notRestored,
       kExitPartlyApplied,
       {"bin\\engine.dat could not be put in place", "\n  gfx\\logo.bmp",
        "kept in C:\\Game\\__KVUPD_"},
       {nothing}},
      {"recovery stuck",
       0,
       stuck,
       kExitPartlyApplied,
       {"neither completed nor undone", "__KVUPD_\\COMMIT.JNL (the record of"},
       {nothing}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const ClosingMessage closing = ClosingMessageFor(c.applied, c.outcome);
    EXPECT_EQ(closing.exitStatus, c.exitStatus);
    EXPECT_EQ(closing.caption, c.exitStatus == kExitApplied      ? "All Finished"
                               : c.exitStatus == kExitNotApplied ? "Upgrade Aborted"
                                                                 : "Upgrade Incomplete");
    for (const std::string& text : c.present)
      EXPECT_NE(closing.text.find(text), std::string::npos) << closing.text;
    for (const std::string& text : c.absent)
      EXPECT_EQ(closing.text.find(text), std::string::npos) << closing.text;
  }
}

}  // namespace
