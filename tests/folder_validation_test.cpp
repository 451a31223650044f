// Whether a folder is the installed release a package expects, from the files it finds.
#include "package/folder_validation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/faulty_file_system.h"
#include "tests/support/upgrade_fixture.h"

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
    entry.errorPolicy = e.errorPolicy;
    entry.warningPolicy = e.warningPolicy;
    writer.AddEntry(entry);
  }
  const std::string package = folder.Join("p.upg");
  EXPECT_TRUE(writer.WriteFile(package.c_str(), false));
  return package;
}

// A folder is valid when no critical file fails and fewer files mismatch than match; ignored
// files count neither way, Add and Replace files match unread, and a missing critical file ends
// the walk. A date-only difference counts as a match only under Ignore. Without its full table a
// session is never valid.
TEST(FolderValidation, TheVerdictOnEachMixOfFiles) {
  constexpr Operation kAdd = Operation::kAdd, kReplace = Operation::kReplace;
  constexpr Operation kVerify = Operation::kVerify, kUpdate = Operation::kUpdate;
  constexpr Policy kAsk = Policy::kAsk, kCritical = Policy::kCritical, kIgnore = Policy::kIgnore;
  constexpr Found kOk = Found::kMatching, kMissing = Found::kMissing;
  constexpr Found kChanged = Found::kChanged, kDated = Found::kDateOnly;
  const struct {
    bool valid;
    std::vector<Entry> entries;
    const char* unread = nullptr;  // a file the check must not open
  } cases[] = {
      {true, {{"new", kMissing, kAdd, kCritical, kCritical}}},
      {false, {{"a1", kOk}, {"a2", kOk}, {"m1", kMissing}, {"m2", kMissing}}},
      {true, {{"a1", kOk}, {"a2", kOk}, {"a3", kOk}, {"m1", kMissing}, {"m2", kMissing}}},
      {false, {{"a1", kOk}, {"m1", kMissing, kUpdate, kCritical}, {"later", kOk}}, "later"},
      {true,
       {{"m", kMissing, kUpdate, kIgnore}, {"changed", kChanged, kUpdate, kIgnore, kCritical}},
       "changed"},
      // An unread Replace file counts as a match: without it this would be a tie.
      {true, {{"r1", kOk, kReplace, kCritical, kCritical}, {"m1", kMissing}, {"a1", kOk}}, "r1"},
      {false, {{"c", kChanged, Operation::kRemove, kCritical, kIgnore}, {"a1", kOk}, {"a2", kOk}}},
      {true, {{"d", kDated, kUpdate, kAsk, kIgnore}, {"m", kMissing}, {"p", kOk, kVerify}}},
      {false, {{"d", kDated, kUpdate, kAsk, kAsk}, {"m", kMissing}, {"p", kOk, kVerify}}},
      {false, {{"d", kDated, kUpdate, kAsk, Policy(3)}, {"m", kMissing}, {"p", kOk, kVerify}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    TempFolder folder;
    const std::string package = Package(folder, c.entries);
    FaultyFileSystem faulty(FaultKind::kOpenForRead, 1, FaultMode::kFromThenOn,
                            c.unread != nullptr ? c.unread : "never");
    UpgradeSession session(nullptr, nullptr, package.c_str(), folder.path().c_str());
    EXPECT_EQ(ValidateTargetFolder(session), c.valid);
    EXPECT_EQ(faulty.failures(), 0);
    session.totalBytes = 0;
    EXPECT_FALSE(ValidateTargetFolder(session));
  }
}

}  // namespace
