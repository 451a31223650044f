// The applicator's flow without any window or terminal: start-up rules, the wizard's page loop,
// the search over fake drives and the job.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/bounded_text.h"
#include "tests/support/fake_drives.h"
#include "tests/support/fake_front_end.h"
#include "tests/support/upgrade_fixture.h"
#include "ui/closing_message.h"
#include "ui/folder_path.h"
#include "ui/folder_search.h"
#include "ui/job.h"
#include "ui/shared_state.h"
#include "ui/startup.h"

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
      {"\"a\" \"b\"", true, "a\" \"b"},  // not one pair around it all
      {"", true, ""},
      {"\"", true, "\""},  // a lone quote pairs with nothing
      {"\"\"", true, ""},
      {"\"" + longest + "\"", true, longest},
      {"\"" + longest + "x\"", false, ""},
  };
  for (const auto& c : cases) {
    char path[kMaxPath] = "stale";
    EXPECT_EQ(PackagePathFromCommandLine(c.commandLine.c_str(), path), c.taken) << c.commandLine;
    EXPECT_EQ(std::string(path), c.path) << c.commandLine;
  }
}

// The program's own name with ".upg" (appended when it has no extension, never cut at a dot of
// a folder), else default.upg; a folder of that name is no package.
TEST(Startup, PackageBesideTheProgram) {
  const struct {
    std::vector<std::string> files;
    const char* program;
    const char* found;
  } cases[] = {
      {{}, "Setup.exe", ""},
      {{"default.upg\\"}, "Setup.exe", ""},
      {{"default.upg"}, "Setup.exe", "default.upg"},
      {{"default.upg", "Setup.upg"}, "Setup.exe", "Setup.upg"},
      {{"my.app\\upgapply.upg"}, "my.app\\upgapply", "my.app\\upgapply.upg"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    MakeFolder(folder.Join("my.app"));
    for (const std::string& file : c.files) {
      if (file.back() == '\\') MakeFolder(folder.Join(file));
      if (file.back() != '\\') WriteTestFile(folder.Join(file), "x");
    }
    char found[kMaxPath];
    FindPackageBesideProgram(folder.Join(c.program).c_str(), found);
    EXPECT_EQ(std::string(found), *c.found == 0 ? "" : folder.Join(c.found)) << c.found;
  }
}

TEST(FolderPath, DialogPathDropsTheFileNameAndKeepsDriveRoots) {
  const std::pair<const char*, const char*> dialogPaths[] = {
      {"C:\\Target", "C:\\"},
      {"/\\Target", "/"},
      {"/home/user\\Target", "/home/user"},
  };
  for (const auto& [dialogPath, expected] : dialogPaths) {
    char folder[kMaxPath];
    ASSERT_TRUE(FolderFromDialogPath(dialogPath, folder));
    EXPECT_STREQ(folder, expected);
  }
  // A separator after a folder name goes (the search's drive row sees that); a root keeps it.
  const std::pair<const char*, const char*> trims[] = {{"C:\\", "C:\\"}, {"/", "/"}};
  for (const auto& [before, after] : trims) {
    char folder[kMaxPath];
    platform::CopyText(folder, before);
    TrimFolderSeparator(folder);
    EXPECT_STREQ(folder, after);
  }
}

// Fake drives C and D, and the sample package with every file critical, so that exactly the
// folders holding a copy of its installed release pass.
struct SearchWorld {
  SampleUpgrade sample{false, Policy::kCritical};
  const TempFolder& root = sample.root;
  void CopyRelease(const std::string& folder) {
    MakeFolder(folder);
    for (const fs::directory_entry& file : fs::directory_iterator(NativeTestPath(sample.target)))
      fs::copy_file(file.path(), NativeTestPath(folder) / file.path().filename());
  }
  std::string Find() {
    char folder[kMaxPath] = "unchanged";
    MakeFolder(root.Join("C"));
    MakeFolder(root.Join("D"));
    FakeDrives drives(root.Join("C\\"), root.Join("D\\"));
    FindInstalledFolder(sample.package.c_str(), folder, nullptr, nullptr, drives);
    // The host's containers and hourglass live for exactly one search.
    EXPECT_EQ(drives.events, (std::vector<std::string>{"begin", "end"}));
    return folder;
  }
};

TEST(FolderSearch, FindsTheFirstMatchDriveCBeforeDShallowBeforeDeep) {
  const struct {
    std::vector<const char*> folders;  // made empty
    std::vector<const char*> copies;   // folders given a copy of the release
    const char* found;                 // relative to the root; null: unchanged
  } cases[] = {
      {{"C\\Other\\Deep\\Deeper"}, {"C\\App\\Sub", "D\\App"}, "C\\App\\Sub"},
      {{}, {"C\\a\\b\\c", "C\\z\\y"}, "C\\z\\y"},
      {{}, {"D\\"}, "D"},  // a fake drive is a folder: it loses its separator
      {{"C\\plain\\deeper"}, {"C\\.hidden"}, nullptr},  // no dot folders
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.copies[0]);
    SearchWorld world;
    for (const char* folder : c.folders) MakeFolder(world.root.Join(folder));
    for (const char* folder : c.copies) world.CopyRelease(world.root.Join(folder));
    EXPECT_EQ(world.Find(), c.found == nullptr ? "unchanged" : world.root.Join(c.found));
  }
}

TEST(Job, AppliesAfterTheWizardAndSaysSo) {
  // Every file critical, so that only the installed folder passes the check (with Ignore any
  // folder would, the current one among them).
  SampleUpgrade sample(false, Policy::kCritical);
  ResetSharedState();
  ScriptedUser engineUser;
  FakeFrontEnd notFound;
  // Back from the folder check returns to the folder page, which checks again on Next.
  notFound.pageResults = {kPageNext, kPageNext, kPageBack, kPageNext, kPageCancel};
  FakeDrives nowhere("", "");
  EXPECT_EQ(RunJob(notFound, nowhere, sample.package.c_str(), ""), kExitNotApplied);
  // Nothing found: the folder offered fails the check.
  EXPECT_EQ(notFound.pagesShown, (std::vector<int>{1, 2, 3, 2, 3}));
  EXPECT_TRUE(notFound.boxes.empty());  // a cancelled wizard ends without a word

  ResetSharedState();
  FakeFrontEnd withFolder;
  withFolder.pageResults = {kPageNext, kPageBack, kPageNext, kPageNext};
  FakeDrives found(sample.target, sample.root.Join("D\\"));
  // No command line: the package beside the program is taken.
  EXPECT_EQ(RunJob(withFolder, found, "", sample.root.Join("sample").c_str()), kExitApplied);
  // A folder that passes the check skips its page.
  EXPECT_EQ(withFolder.pagesShown, (std::vector<int>{1, 2, 1, 2})) << SelectedFolder;
  ASSERT_FALSE(withFolder.boxes.empty());
  EXPECT_EQ(withFolder.boxes.back().text, "The upgrade has been applied.");
  EXPECT_EQ(withFolder.events,
            (std::vector<std::string>{"search shown", "search hidden", "update"}));
  EXPECT_TRUE(sample.IsNew());
}

}  // namespace
