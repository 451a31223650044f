#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/upgrade_session.h"
#include "platform/resources.h"
#include "tests/support/package_file.h"

using namespace package;
using namespace builder;

// Stamp fields sit unaligned in their packed record: the unary + copies a
// field before a gtest macro binds a reference to it.

namespace {

std::vector<std::uint8_t> Hex(std::initializer_list<int> bytes) {
  std::vector<std::uint8_t> out;
  for (int b : bytes) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

std::vector<std::uint8_t> MinimalPackageBytes() {
  PackageWriter writer(18);
  writer.SetTitle("T");
  PackageEntrySpec entry;
  entry.operation = Operation::kAdd;
  entry.fileName = "a.txt";
  entry.newStamp = MakeStamp(0x0021, 0x0000, 3, 0x6202);
  entry.delta = InsertDelta("abc");
  writer.AddEntry(entry);
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(writer.Plain(&bytes));
  return bytes;
}

struct Opened {
  Opened(const TempFolder& folder, const std::vector<std::uint8_t>& bytes)
      : path(WritePackage(folder, "p.upg", bytes)),
        session(platform::ProgramInstance(), nullptr, path.c_str(), folder.path().c_str()) {}
  std::string path;
  UpgradeSession session;
};

TEST(PackageFormat, MinimalPackageByteForByte) {
  const std::vector<std::uint8_t> expected =
      Hex({'[',  'K',  'V',  'U',  'P',  'D',  ']',  0x00, 0x12, 0x01,
           0x00, 0x54, 0x00, 0x00,                                      // header
           0x00, 0x61, 0x2E, 0x74, 0x78, 0x74, 0x00, 0x00,              // entry
           0x00, 0x00, 0x21, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x62,  // new stamp
           0x01, 0x03, 0x61, 0x62, 0x63, 0x00});                        // delta
  EXPECT_EQ(MinimalPackageBytes(), expected);

  TempFolder folder;
  Opened opened(folder, expected);
  ASSERT_TRUE(opened.session.IsValid());
  EXPECT_EQ(opened.session.entryCount, 1);
  EXPECT_EQ(opened.session.totalBytes, 4u);
  EXPECT_STREQ(opened.session.title.get(), "T");
  EXPECT_STREQ(opened.session.description.get(), "");
  const PackageEntry& entry = *opened.session.entries[0];
  EXPECT_EQ(entry.operation, Operation::kAdd);
  EXPECT_STREQ(entry.fileName, "a.txt");
  EXPECT_EQ(+entry.newStamp.size, 3u);
  EXPECT_EQ(+entry.newStamp.checksum, 0x6202);
  EXPECT_EQ(+entry.newStamp.dosDate, 0x0021);
  // The package stands at the first delta stream.
  EXPECT_EQ(opened.session.package->ReadByte(), 0x01);
}

TEST(PackageFormat, PlainAndContainerReadTheSame) {
  TempFolder folder;
  PackageWriter writer(18);
  writer.SetTitle("Title");
  writer.SetDescription(std::string(9000, 'd'));
  for (int i = 0; i < 50; ++i) {
    PackageEntrySpec entry;
    entry.operation = static_cast<Operation>(i % 5);
    entry.warningPolicy = static_cast<Policy>(i % 3);
    entry.errorPolicy = static_cast<Policy>((i + 1) % 3);
    entry.fileName = "dir\\file" + std::to_string(i);
    entry.description = "entry " + std::to_string(i);
    entry.oldStamp = MakeStamp(0x5000, static_cast<std::uint16_t>(i), 10u + i, 0x1111);
    entry.newStamp = MakeStamp(0x5001, static_cast<std::uint16_t>(i), 20u + i, 0x2222);
    entry.delta = InsertDelta("x");
    writer.AddEntry(entry);
  }
  std::vector<std::uint8_t> plain;
  std::vector<std::uint8_t> container;
  ASSERT_TRUE(writer.Plain(&plain));
  ASSERT_TRUE(writer.Compressed(&container));
  const std::string plainPath = WritePackage(folder, "plain.upg", plain);
  const std::string zPath = WritePackage(folder, "z.upg", container);
  UpgradeSession a(platform::ProgramInstance(), nullptr, plainPath.c_str(), "x");
  UpgradeSession b(platform::ProgramInstance(), nullptr, zPath.c_str(), "x");
  ASSERT_TRUE(a.IsValid());
  ASSERT_TRUE(b.IsValid());
  EXPECT_FALSE(a.IsCompressed());
  EXPECT_TRUE(b.IsCompressed());
  EXPECT_EQ(std::string(a.description.get()).size(), 8191u);
  EXPECT_STREQ(a.description.get(), b.description.get());
  EXPECT_EQ(a.totalBytes, b.totalBytes);
  ASSERT_EQ(a.entryCount, b.entryCount);
  for (int i = 0; i < a.entryCount; ++i) {
    EXPECT_EQ(std::memcmp(a.entries[i], b.entries[i], sizeof(PackageEntry)), 0) << i;
  }
  EXPECT_STREQ(a.targetFolder, "x\\");
}

std::vector<std::uint8_t> RawPackage(std::uint8_t version, std::int16_t count,
                                     const std::vector<std::uint8_t>& table) {
  std::vector<std::uint8_t> bytes = Hex({'[', 'K', 'V', 'U', 'P', 'D', ']', 0, version,
                                         count & 0xFF, (count >> 8) & 0xFF, 'T', 0, 0});
  bytes.insert(bytes.end(), table.begin(), table.end());
  return bytes;
}

std::vector<std::uint8_t> Stamp(std::uint32_t size) {
  return Hex({0, 0, 0x21, 0, static_cast<int>(size & 0xFF), static_cast<int>((size >> 8) & 0xFF), 0,
              0, 0, 0});
}

std::vector<std::uint8_t> EntryBytes(std::uint8_t flags, const std::string& name,
                                     std::initializer_list<std::vector<std::uint8_t>> stamps) {
  std::vector<std::uint8_t> bytes(name.begin(), name.end());
  bytes.insert(bytes.begin(), flags);
  bytes.push_back(0);
  bytes.push_back(0);
  for (const auto& stamp : stamps) bytes.insert(bytes.end(), stamp.begin(), stamp.end());
  return bytes;
}

TEST(PackageFormat, FlagLayoutsByVersion) {
  TempFolder folder;
  Opened v18(folder, RawPackage(18, 1, EntryBytes(0x49, "u", {Stamp(1), Stamp(2)})));
  const PackageEntry& a = *v18.session.entries[0];
  EXPECT_EQ(a.operation, Operation::kUpdate);
  EXPECT_EQ(a.warningPolicy, Policy::kAsk);
  EXPECT_EQ(a.errorPolicy, Policy::kCritical);
  EXPECT_EQ(+a.oldStamp.size, 1u);
  EXPECT_EQ(+a.newStamp.size, 2u);

  TempFolder folder17;
  Opened v17(folder17, RawPackage(17, 1, EntryBytes(0x49, "u", {Stamp(1), Stamp(2)})));
  const PackageEntry& b = *v17.session.entries[0];
  EXPECT_EQ(b.operation, Operation::kUpdate);
  EXPECT_EQ(b.warningPolicy, Policy::kCritical);
  EXPECT_EQ(b.errorPolicy, Policy::kIgnore);

  TempFolder folderRemove;
  Opened remove(folderRemove, RawPackage(17, 1, EntryBytes(0x02, "r", {Stamp(7)})));
  EXPECT_EQ(remove.session.entries[0]->operation, Operation::kRemove);
  EXPECT_EQ(+remove.session.entries[0]->oldStamp.size, 7u);
  EXPECT_EQ(remove.session.totalBytes, 1u);

  TempFolder folderZero;
  Opened zero(folderZero, RawPackage(0, 1, EntryBytes(0x00, "a", {Stamp(5)})));
  EXPECT_TRUE(zero.session.IsValid());
  EXPECT_EQ(zero.session.totalBytes, 6u);
}

TEST(PackageFormat, StampsByOperationAndTotalBytes) {
  TempFolder folder;
  std::vector<std::uint8_t> table;
  for (const auto& e :
       {EntryBytes(0x01, "u1", {Stamp(9), Stamp(100)}),
        EntryBytes(0x01, "u2", {Stamp(9), Stamp(200)}), EntryBytes(0x04, "r", {Stamp(9)}),
        EntryBytes(0x03, "v", {Stamp(9)}), EntryBytes(0x05, "odd", {})}) {
    table.insert(table.end(), e.begin(), e.end());
  }
  table.push_back(0xEE);  // first byte of the data section
  Opened opened(folder, RawPackage(18, 5, table));
  EXPECT_TRUE(opened.session.IsValid());
  EXPECT_EQ(opened.session.totalBytes, 301u);
  EXPECT_EQ(static_cast<int>(opened.session.entries[4]->operation), 5);
  EXPECT_EQ(opened.session.package->ReadByte(), 0xEE);
}

TEST(PackageFormat, EmptyAndNegativeCountsGiveOne) {
  TempFolder folder;
  Opened empty(folder, RawPackage(18, 0, {}));
  EXPECT_EQ(empty.session.totalBytes, 1u);
  TempFolder folder2;
  Opened negative(folder2, RawPackage(18, static_cast<std::int16_t>(0x8001), {}));
  EXPECT_EQ(negative.session.totalBytes, 1u);
  EXPECT_EQ(negative.session.entries[0], nullptr);
}

TEST(PackageFormat, TitleIsCutDescriptionFollowsIt) {
  TempFolder folder;
  std::vector<std::uint8_t> bytes = Hex({'[', 'K', 'V', 'U', 'P', 'D', ']', 0, 18, 0, 0});
  bytes.insert(bytes.end(), 100, 'a');
  bytes.push_back(0);
  for (char c : std::string("desc")) bytes.push_back(static_cast<std::uint8_t>(c));
  bytes.push_back(0);
  Opened opened(folder, bytes);
  EXPECT_EQ(std::string(opened.session.title.get()), std::string(79, 'a'));
  EXPECT_STREQ(opened.session.description.get(), "desc");
}

TEST(PackageFormat, HeaderChecks) {
  TempFolder folder;
  std::vector<std::uint8_t> noNul = RawPackage(18, 0, {});
  noNul[7] = 'X';
  Opened bad(folder, noNul);
  EXPECT_FALSE(bad.session.IsValid());
  EXPECT_EQ(bad.session.GetProblem(), PackageReader::Problem::kNotPackage);

  TempFolder folder19;
  Opened v19(folder19, RawPackage(19, 0, {}));
  EXPECT_FALSE(v19.session.IsValid());
  EXPECT_EQ(v19.session.GetProblem(), PackageReader::Problem::kVersionTooNew);

  TempFolder folderCut;
  std::vector<std::uint8_t> cut = RawPackage(18, 0, {});
  cut.resize(12);  // inside the title
  Opened truncated(folderCut, cut);
  EXPECT_FALSE(truncated.session.IsValid());
  EXPECT_EQ(truncated.session.GetProblem(), PackageReader::Problem::kTruncated);

  const UpgradeSession missing(platform::ProgramInstance(), nullptr,
                               folderCut.Join("none.upg").c_str(), "x");
  EXPECT_FALSE(missing.IsValid());
  EXPECT_EQ(missing.GetProblem(), PackageReader::Problem::kCannotOpen);
}

// The reader of a system that knows only the classic kind: "[KVUPD]" as a
// NUL-terminated text and a version of at most 18.
bool ClassicReaderAccepts(const std::vector<std::uint8_t>& bytes) {
  return std::strcmp(reinterpret_cast<const char*>(bytes.data()), "[KVUPD]") == 0 && bytes[8] <= 18;
}

TEST(PackageFormat, MagicRuleOfBothKinds) {
  struct Case {
    const char* magic;  // eight bytes
    std::uint8_t version;
    bool valid;
    PackageKind kind;
    bool classicReaderAccepts;
  };
  const Case cases[] = {
      {"[KVUPD]\0", 18, true, PackageKind::kClassic, true},
      {"[KVUPD]\0", 19, false, PackageKind::kClassic, false},
      {"[KVUPX]\0", 18, true, PackageKind::kExtended, false},
      {"[KVUPX]\0", 0, true, PackageKind::kExtended, false},
      {"[KVUPX]\0", 19, false, PackageKind::kExtended, false},
      {"[KVUPX]X", 18, false, PackageKind::kClassic, false},
      {"[kvupx]\0", 18, false, PackageKind::kClassic, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.magic, 7) + " version " + std::to_string(c.version));
    std::vector<std::uint8_t> bytes = RawPackage(c.version, 1, EntryBytes(0x00, "a", {Stamp(5)}));
    std::memcpy(bytes.data(), c.magic, 8);
    TempFolder folder;
    Opened opened(folder, bytes);
    EXPECT_EQ(opened.session.IsValid(), c.valid);
    EXPECT_EQ(opened.session.Kind(), c.kind);
    EXPECT_EQ(ClassicReaderAccepts(bytes), c.classicReaderAccepts);
    EXPECT_EQ(opened.session.totalBytes, 6u);
  }
  // The writer's extended package, plain and in the container.
  PackageWriter writer(18, PackageKind::kExtended);
  std::vector<std::uint8_t> plain;
  std::vector<std::uint8_t> container;
  ASSERT_TRUE(writer.Plain(&plain));
  ASSERT_TRUE(writer.Compressed(&container));
  EXPECT_EQ(std::vector<std::uint8_t>(plain.begin(), plain.begin() + 8),
            Hex({'[', 'K', 'V', 'U', 'P', 'X', ']', 0}));
  TempFolder folder;
  const UpgradeSession zipped(platform::ProgramInstance(), nullptr,
                              WritePackage(folder, "x.upg", container).c_str(), "x");
  EXPECT_TRUE(zipped.IsValid());
  EXPECT_EQ(zipped.Kind(), PackageKind::kExtended);
}

TEST(PackageFormat, PackageEndingWhereAStampBeginsIsUnreadableButValid) {
  TempFolder folder;
  std::vector<std::uint8_t> table = EntryBytes(0x01, "u", {});
  Opened opened(folder, RawPackage(18, 1, table));
  EXPECT_EQ(opened.session.totalBytes, 0u);
  EXPECT_TRUE(opened.session.IsValid());
  EXPECT_EQ(opened.session.tableProblem, TableProblem::kStampMissing);
}

TEST(PackageFormat, RefusesTablesThatCannotBeHeldOrEscapeTheFolder) {
  TempFolder folder;
  Opened tooMany(folder, RawPackage(18, 10001, {}));
  EXPECT_EQ(tooMany.session.totalBytes, 0u);
  EXPECT_EQ(tooMany.session.tableProblem, TableProblem::kTooManyEntries);

  for (const char* name : {"..\\evil.txt", "C:\\evil.txt", "\\evil.txt", "a/../../b", ""}) {
    TempFolder f;
    Opened escaping(f, RawPackage(18, 1, EntryBytes(0x00, name, {Stamp(1)})));
    EXPECT_EQ(escaping.session.totalBytes, 0u) << name;
    EXPECT_EQ(escaping.session.tableProblem, TableProblem::kUnsafeName) << name;
  }
  // The second entry's name would put its file over the first's checked
  // new version in the staging folder.
  TempFolder staged;
  std::vector<std::uint8_t> table = EntryBytes(0x00, "a.txt", {Stamp(1)});
  const std::vector<std::uint8_t> inStaging = EntryBytes(0x00, "__kvupd_\\N00000.TMP", {Stamp(1)});
  table.insert(table.end(), inStaging.begin(), inStaging.end());
  Opened stagingName(staged, RawPackage(18, 2, table));
  EXPECT_EQ(stagingName.session.totalBytes, 0u);
  EXPECT_EQ(stagingName.session.tableProblem, TableProblem::kStagingName);
  EXPECT_EQ(stagingName.session.problemEntry, 1);

  TempFolder f249;
  Opened fits(f249, RawPackage(18, 1, EntryBytes(0x00, std::string(249, 'n'), {Stamp(1)})));
  EXPECT_EQ(fits.session.totalBytes, 2u);
  TempFolder f250;
  Opened tooLong(f250, RawPackage(18, 1, EntryBytes(0x00, std::string(250, 'n'), {Stamp(1)})));
  EXPECT_EQ(tooLong.session.totalBytes, 0u);
  EXPECT_EQ(tooLong.session.tableProblem, TableProblem::kNameTooLong);
}

TEST(PackageFormat, TargetFolderGetsOneBackslash) {
  TempFolder folder;
  const std::string path = WritePackage(folder, "p.upg", RawPackage(18, 0, {}));
  UpgradeSession plain(platform::ProgramInstance(), nullptr, path.c_str(), "C:\\Game");
  EXPECT_STREQ(plain.targetFolder, "C:\\Game\\");
  UpgradeSession root(platform::ProgramInstance(), nullptr, path.c_str(), "C:\\");
  EXPECT_STREQ(root.targetFolder, "C:\\");
  const std::string longFolder(259, 'f');
  UpgradeSession tooLong(platform::ProgramInstance(), nullptr, path.c_str(), longFolder.c_str());
  EXPECT_EQ(tooLong.totalBytes, 0u);
  EXPECT_EQ(tooLong.tableProblem, TableProblem::kFolderTooLong);
}

}  // namespace
