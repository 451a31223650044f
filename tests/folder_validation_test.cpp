#include "package/folder_validation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/faulty_file_system.h"
#include "tests/support/upgrade_fixture.h"

using namespace streams;
using namespace package;
using namespace builder;

namespace {

enum class Found { kMatching, kMissing, kChanged, kDateOnly };

struct Entry {
  const char* name;
  Found found;
  Operation operation = Operation::kUpdate;
  Policy errorPolicy = Policy::kAsk;
  Policy warningPolicy = Policy::kAsk;
};

// Writes each entry's file as `found` says and a package of the entries.
std::string Package(const TempFolder& folder, const std::vector<Entry>& entries) {
  PackageWriter writer;
  for (const Entry& e : entries) {
    const std::string path = folder.Join(e.name);
    FileStamp stamp = StampOf(Pattern(10, 1));
    if (e.found == Found::kChanged) WriteTestFile(path, Bytes("changed"));
    if (e.found == Found::kMatching || e.found == Found::kDateOnly) {
      WriteTestFile(path, Pattern(100, static_cast<std::uint8_t>(path.size())));
      stamp = StampOfFile(path);
    }
    if (e.found == Found::kDateOnly) stamp.dosTime = static_cast<std::uint16_t>(stamp.dosTime ^ 1);
    PackageEntrySpec entry = e.operation == Operation::kAdd || e.operation == Operation::kReplace
                                 ? NewFileEntry(e.operation, e.name, Bytes("new"))
                                 : CheckEntry(e.operation, e.name, stamp);
    entry.oldStamp = stamp;
    entry.errorPolicy = e.errorPolicy;
    entry.warningPolicy = e.warningPolicy;
    writer.AddEntry(entry);
  }
  const std::string package = folder.Join("p.upg");
  EXPECT_TRUE(writer.WriteFile(package.c_str(), false));
  return package;
}

// A folder is valid when no critical file fails and fewer files mismatch
// than match; ignored files count neither way, Add and Replace files
// match unread, and a missing critical file ends the walk.
TEST(FolderValidation, TheVerdictOnEachMixOfFiles) {
  constexpr Operation kAdd = Operation::kAdd;
  constexpr Operation kReplace = Operation::kReplace;
  constexpr Operation kVerify = Operation::kVerify;
  constexpr Operation kRemove = Operation::kRemove;
  constexpr Operation kUpdate = Operation::kUpdate;
  constexpr Policy kAsk = Policy::kAsk;
  constexpr Policy kCritical = Policy::kCritical;
  constexpr Policy kIgnore = Policy::kIgnore;
  constexpr Found kOk = Found::kMatching;
  constexpr Found kMissing = Found::kMissing;
  const struct {
    const char* label;
    std::vector<Entry> entries;
    bool valid;
    const char* unread;  // a file the check must not open, or null
  } cases[] = {
      {"no entries", {}, true, nullptr},
      {"only an Add", {{"new", kMissing, kAdd, kCritical, kCritical}}, true, nullptr},
      {"two of four match",
       {{"a1", kOk}, {"a2", kOk}, {"m1", kMissing}, {"m2", kMissing}},
       false,
       nullptr},
      {"three of five match",
       {{"a1", kOk}, {"a2", kOk}, {"a3", kOk}, {"m1", kMissing}, {"m2", kMissing}},
       true,
       nullptr},
      {"a missing critical file ends the walk",
       {{"a1", kOk}, {"m1", kMissing, kUpdate, kCritical}, {"later", kOk}},
       false,
       "later"},
      {"ignored files are neither counted nor read",
       {{"m1", kMissing, kUpdate, kIgnore},
        {"changed", Found::kChanged, kUpdate, kIgnore, kCritical}},
       true,
       "changed"},
      // Without the Replace file it would be 0 against 1 as well: the next
      // row shows that it counts.
      {"a Replace file unread, a tie",
       {{"r1", kOk, kReplace, kCritical, kCritical}, {"m1", kMissing}},
       false,
       "r1"},
      {"a Replace file unread counts as a match",
       {{"r1", kOk, kReplace, kCritical, kCritical}, {"m1", kMissing}, {"a1", kOk}},
       true,
       "r1"},
      {"a changed critical file",
       {{"c", Found::kChanged, kRemove, kCritical, kIgnore},
        {"a1", kOk, kVerify},
        {"a2", kOk, kVerify}},
       false,
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    const std::string package = Package(folder, c.entries);
    FaultyFileSystem faulty(FaultKind::kOpenForRead, 1, FaultMode::kFromThenOn,
                            c.unread != nullptr ? c.unread : "never");
    UpgradeSession session(nullptr, nullptr, package.c_str(), folder.path().c_str());
    EXPECT_EQ(ValidateTargetFolder(session), c.valid);
    EXPECT_EQ(faulty.failures(), 0);
  }
  // A date-only difference and a missing file: the dated file must count as
  // matched for the folder to pass, which only Ignore does.
  for (const Policy warning : {kIgnore, kAsk, static_cast<Policy>(3), kCritical}) {
    SCOPED_TRACE(static_cast<int>(warning));
    TempFolder folder;
    const std::string package = Package(
        folder,
        {{"d", Found::kDateOnly, kUpdate, kAsk, warning}, {"m", kMissing}, {"p", kOk, kVerify}});
    UpgradeSession session(nullptr, nullptr, package.c_str(), folder.path().c_str());
    EXPECT_EQ(ValidateTargetFolder(session), warning == kIgnore);
  }
}

TEST(FolderValidation, ASessionWithoutItsFullTableIsNeverValid) {
  TempFolder folder;
  const std::string package = Package(folder, {{"a1", Found::kMatching}});
  UpgradeSession session(nullptr, nullptr, package.c_str(), folder.path().c_str());
  session.totalBytes = 0;
  EXPECT_FALSE(ValidateTargetFolder(session));
}

}  // namespace
