#include "package/folder_validation.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/faulty_file_system.h"
#include "tests/support/upgrade_fixture.h"

using namespace streams;
using namespace package;
using namespace builder;

namespace {

class FolderValidation : public ::testing::Test {
 protected:
  // An entry whose file is present and matches its old stamp.
  void Present(const std::string& name, Operation operation = Operation::kUpdate,
               Policy errorPolicy = Policy::kAsk, Policy warningPolicy = Policy::kAsk) {
    WriteTestFile(folder_.Join(name), Pattern(100, static_cast<std::uint8_t>(name.size())));
    Add(name, operation, errorPolicy, warningPolicy, StampOfFile(folder_.Join(name)));
  }
  void Missing(const std::string& name, Policy errorPolicy = Policy::kAsk,
               Operation operation = Operation::kUpdate) {
    Add(name, operation, errorPolicy, Policy::kAsk, StampOf(Pattern(10, 1)));
  }
  void Add(const std::string& name, Operation operation, Policy errorPolicy, Policy warningPolicy,
           const FileStamp& oldStamp) {
    PackageEntrySpec entry = operation == Operation::kAdd || operation == Operation::kReplace
                                 ? NewFileEntry(operation, name, Bytes("new"))
                                 : CheckEntry(operation, name, oldStamp);
    entry.oldStamp = oldStamp;
    entry.errorPolicy = errorPolicy;
    entry.warningPolicy = warningPolicy;
    writer_.AddEntry(entry);
  }
  bool Validate() {
    const std::string package = folder_.Join("p.upg");
    EXPECT_TRUE(writer_.WriteFile(package.c_str(), false));
    UpgradeSession session(nullptr, nullptr, package.c_str(), folder_.path().c_str());
    return ValidateTargetFolder(session);
  }

  TempFolder folder_;
  PackageWriter writer_;
};

TEST_F(FolderValidation, NoEntriesOrOnlyAddsValidateAnyFolder) {
  EXPECT_TRUE(Validate());
  Add("new.txt", Operation::kAdd, Policy::kCritical, Policy::kCritical, {});
  EXPECT_TRUE(Validate());
}

TEST_F(FolderValidation, MismatchesMustBeFewerThanMatches) {
  Present("a1");
  Present("a2");
  Missing("m1");
  Missing("m2");
  EXPECT_FALSE(Validate());
  Present("a3");
  EXPECT_TRUE(Validate());
}

TEST_F(FolderValidation, AMissingCriticalFileEndsTheWalk) {
  Present("a1");
  Missing("m1", Policy::kCritical);
  // Not visited: its read would fail the open below.
  Present("later");
  FaultyFileSystem faulty(FaultKind::kOpenForRead, 1, FaultMode::kFromThenOn, "later");
  EXPECT_FALSE(Validate());
  EXPECT_EQ(faulty.failures(), 0);
}

TEST_F(FolderValidation, IgnoredFilesAreNeitherCountedNorRead) {
  Missing("m1", Policy::kIgnore);
  WriteTestFile(folder_.Join("changed"), Bytes("changed"));
  Add("changed", Operation::kUpdate, Policy::kIgnore, Policy::kCritical, StampOf(Pattern(10, 1)));
  FaultyFileSystem faulty(FaultKind::kOpenForRead, 1, FaultMode::kFromThenOn, "changed");
  EXPECT_TRUE(Validate());
  EXPECT_EQ(faulty.failures(), 0);
}

TEST_F(FolderValidation, AReplaceFileCountsWithoutBeingRead) {
  Present("r1", Operation::kReplace, Policy::kCritical, Policy::kCritical);
  Missing("m1");
  FaultyFileSystem faulty(FaultKind::kOpenForRead, 1, FaultMode::kFromThenOn, "r1");
  // 1 matched against 1 mismatched is a tie: not valid. Without the Replace
  // file it would be 0 against 1 as well, so the count is checked by a
  // second match below.
  EXPECT_FALSE(Validate());
  Present("a1");
  EXPECT_TRUE(Validate());
  EXPECT_EQ(faulty.failures(), 0);
}

TEST_F(FolderValidation, AChangedCriticalFileMakesTheFolderInvalid) {
  WriteTestFile(folder_.Join("c"), Bytes("changed"));
  Add("c", Operation::kRemove, Policy::kCritical, Policy::kIgnore, StampOf(Pattern(10, 1)));
  Present("a1", Operation::kVerify);
  Present("a2", Operation::kVerify);
  EXPECT_FALSE(Validate());
}

TEST_F(FolderValidation, DateOnlyDifferencesUnderEachWarningPolicy) {
  struct Case {
    Policy warningPolicy;
    bool valid;
  };
  // One date-only file and one missing file: the date-only file must count
  // as matched for the folder to pass.
  for (const Case c : {Case{Policy::kIgnore, true}, Case{Policy::kAsk, false},
                       Case{static_cast<Policy>(3), false}, Case{Policy::kCritical, false}}) {
    SCOPED_TRACE(static_cast<int>(c.warningPolicy));
    TempFolder folder;
    WriteTestFile(folder.Join("d"), Pattern(50, 2));
    FileStamp stamp = StampOfFile(folder.Join("d"));
    stamp.dosTime = static_cast<std::uint16_t>(stamp.dosTime ^ 1);
    PackageWriter writer;
    PackageEntrySpec dated = CheckEntry(Operation::kUpdate, "d", stamp);
    dated.warningPolicy = c.warningPolicy;
    dated.errorPolicy = Policy::kAsk;
    writer.AddEntry(dated);
    PackageEntrySpec missing = CheckEntry(Operation::kUpdate, "missing", stamp);
    missing.errorPolicy = Policy::kAsk;
    writer.AddEntry(missing);
    PackageEntrySpec present = CheckEntry(Operation::kVerify, "p", {});
    WriteTestFile(folder.Join("p"), Bytes("p"));
    present.oldStamp = StampOfFile(folder.Join("p"));
    present.errorPolicy = Policy::kAsk;
    writer.AddEntry(present);
    ASSERT_TRUE(writer.WriteFile(folder.Join("p.upg").c_str(), false));
    UpgradeSession session(nullptr, nullptr, folder.Join("p.upg").c_str(), folder.path().c_str());
    EXPECT_EQ(ValidateTargetFolder(session), c.valid);
  }
}

TEST_F(FolderValidation, ASessionWithoutItsFullTableIsNeverValid) {
  Present("a1");
  const std::string package = folder_.Join("p.upg");
  ASSERT_TRUE(writer_.WriteFile(package.c_str(), false));
  UpgradeSession session(nullptr, nullptr, package.c_str(), folder_.path().c_str());
  session.totalBytes = 0;
  EXPECT_FALSE(ValidateTargetFolder(session));
}

}  // namespace
