// The package reader's byte layouts and refusals: one table of packages,
// each read as it is and inside the compressed container, by the reader and
// by upgtool list.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "package/upgrade_session.h"
#include "platform/resources.h"
#include "tests/support/command_run.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/package_file.h"
#include "tools/upgtool/commands.h"

using namespace package;
using namespace builder;
using namespace upgtool;

// Stamp fields sit unaligned in their packed record: the unary + copies a
// field before a gtest macro binds a reference to it.

namespace {

using Bytes = std::vector<std::uint8_t>;
using Problem = PackageReader::Problem;

// A package header with `magic`, `version`, `count` entries, the title "T"
// and an empty description, then `table`.
Bytes RawPackage(std::uint8_t version, int count, const Bytes& table,
                 const char* magic = kClassicMagic) {
  return JoinBytes({Bytes(magic, magic + 8),
                    ByteList({version, count & 0xFF, (count >> 8) & 0xFF, 'T', 0, 0}), table});
}

// An entry's flag byte, name, empty description and stamps.
Bytes RawEntry(std::uint8_t flags, const std::string& name,
               std::initializer_list<Bytes> stamps = {}) {
  Bytes bytes = JoinBytes({ByteList({flags}), Bytes(name.begin(), name.end()), ByteList({0, 0})});
  for (const auto& stamp : stamps) bytes.insert(bytes.end(), stamp.begin(), stamp.end());
  return bytes;
}

// A stamp of `size` bytes (below 64 KiB) dated 1980-01-01.
Bytes RawStamp(std::uint32_t size) {
  return ByteList({0, 0, 0x21, 0, static_cast<int>(size & 0xFF),
                   static_cast<int>((size >> 8) & 0xFF), 0, 0, 0, 0});
}

Bytes Repeated(const Bytes& entry, int count) {
  Bytes table;
  for (int i = 0; i < count; ++i) table.insert(table.end(), entry.begin(), entry.end());
  return table;
}

// The first entry as "operation warning error oldSize newSize".
std::string FirstEntry(const UpgradeSession& session) {
  if (session.entryCount < 1 || session.entries[0] == nullptr) return "";
  const PackageEntry& e = *session.entries[0];
  std::string all;
  for (const std::uint32_t value :
       {static_cast<std::uint32_t>(e.operation), static_cast<std::uint32_t>(e.warningPolicy),
        static_cast<std::uint32_t>(e.errorPolicy), +e.oldStamp.size, +e.newStamp.size})
    all += std::to_string(value) + " ";
  return all.substr(0, all.size() - 1);
}

struct Row {
  const char* label;
  Bytes bytes;
  Problem problem;
  PackageKind kind;
  std::uint32_t totalBytes;
  TableProblem tableProblem;
  std::string firstEntry;
  // What upgtool list shows of it: the reason it refuses it, or a field.
  std::string listed;
};

const Bytes kUpdate = RawEntry(0x01, "u", {RawStamp(1), RawStamp(2)});
const Bytes kStaging = RawEntry(0x00, "__kvupd_\\N00000.TMP", {RawStamp(1)});
constexpr PackageKind kClassic = PackageKind::kClassic, kExtended = PackageKind::kExtended;
constexpr TableProblem kFine = TableProblem::kNone;

const Row kRows[] = {
    {"v18 flags: operation 0-2, warning 3-4, error 5-6",
     RawPackage(18, 1, RawEntry(0x49, "u", {RawStamp(1), RawStamp(2)})), Problem::kNone, kClassic,
     3, kFine, "1 1 2 1 2", "\"operationName\":\"Update\""},
    {"v17 flags: operation 0-1, warning 2-3, error 4-5",
     RawPackage(17, 1, RawEntry(0x49, "u", {RawStamp(1), RawStamp(2)})), Problem::kNone, kClassic,
     3, kFine, "1 2 0 1 2", ""},
    {"v17 operation 2 is Remove with an old stamp",
     RawPackage(17, 1, RawEntry(0x02, "r", {RawStamp(7)})), Problem::kNone, kClassic, 1, kFine,
     "4 0 0 7 0", "\"operationName\":\"Remove\""},
    {"version 0 reads, a name in a folder", RawPackage(0, 1, RawEntry(0x00, "d\\a", {RawStamp(5)})),
     Problem::kNone, kClassic, 6, kFine, "0 0 0 0 5", "\"fileName\":\"d\\\\a\""},
    {"new stamps count their size and one byte; unknown operations carry none",
     RawPackage(18, 5,
                JoinBytes({kUpdate, RawEntry(0x01, "u2", {RawStamp(9), RawStamp(200)}),
                           RawEntry(0x04, "r", {RawStamp(9)}), RawEntry(0x03, "v", {RawStamp(9)}),
                           RawEntry(0x05, "odd"), ByteList({0xEE})})),
     Problem::kNone, kClassic, 203, kFine, "1 0 0 1 2", "\"totalBytes\":203"},
    {"no entries", RawPackage(18, 0, {}), Problem::kNone, kClassic, 1, kFine, "", ""},
    {"a negative count reads as none", RawPackage(18, 0x8001, {}), Problem::kNone, kClassic, 1,
     kFine, "", ""},
    {"exactly 10000 entries",
     RawPackage(18, 10000, Repeated(RawEntry(0x03, "v", {RawStamp(9)}), 10000)), Problem::kNone,
     kClassic, 1, kFine, "3 0 0 9 0", ""},
    {"10001 entries", RawPackage(18, 10001, Repeated(RawEntry(0x03, "v", {RawStamp(9)}), 10001)),
     Problem::kNone, kClassic, 0, TableProblem::kTooManyEntries, "",
     "10001 entries, at most 10000"},
    {"the package ends where a stamp begins", RawPackage(18, 1, RawEntry(0x01, "u")),
     Problem::kNone, kClassic, 0, TableProblem::kStampMissing, "",
     "the file ends where the stamp of entry 0 should be"},
    {"a name of 249 characters",
     RawPackage(18, 1, RawEntry(0x00, std::string(249, 'n'), {RawStamp(1)})), Problem::kNone,
     kClassic, 2, kFine, "0 0 0 0 1", ""},
    {"a name of 250 characters",
     RawPackage(18, 1, RawEntry(0x00, std::string(250, 'n'), {RawStamp(1)})), Problem::kNone,
     kClassic, 0, TableProblem::kNameTooLong, "",
     "entry 0 has a file name longer than 249 characters"},
    {"a name leaving the folder", RawPackage(18, 1, RawEntry(0x00, "..\\evil.txt", {RawStamp(1)})),
     Problem::kNone, kClassic, 0, TableProblem::kUnsafeName, "",
     "entry 0 names a file outside the target folder"},
    {"a drive-qualified name", RawPackage(18, 1, RawEntry(0x00, "C:\\evil.txt", {RawStamp(1)})),
     Problem::kNone, kClassic, 0, TableProblem::kUnsafeName, "", "entry 0 names a file outside"},
    {"an empty name", RawPackage(18, 1, RawEntry(0x00, "", {RawStamp(1)})), Problem::kNone,
     kClassic, 0, TableProblem::kUnsafeName, "", "entry 0 names a file outside"},
    {"a name in the staging folder",
     RawPackage(18, 2, JoinBytes({RawEntry(0x00, "a.txt", {RawStamp(1)}), kStaging})),
     Problem::kNone, kClassic, 0, TableProblem::kStagingName, "",
     "entry 1 names a file in the staging folder __KVUPD_"},
    {"extended magic", RawPackage(18, 1, kUpdate, kExtendedMagic), Problem::kNone, kExtended, 3,
     kFine, "1 0 0 1 2", "\"kind\":\"extended\""},
    {"classic version 19", RawPackage(19, 0, {}), Problem::kVersionTooNew, kClassic, 0, kFine, "",
     "version 19 is too new"},
    {"magic without its NUL", RawPackage(18, 0, {}, "[KVUPX]X"), Problem::kNotPackage, kClassic, 0,
     kFine, "", "not an upgrade package"},
    {"a container marker without its NUL", RawPackage(18, 0, {}, "[KVZ]!\0"), Problem::kNotPackage,
     kClassic, 0, kFine, "", "not an upgrade package"},
    {"a title and a description cut to their buffers",
     JoinBytes({SliceBytes(RawPackage(18, 0, {}), 0, 11), ByteList({0xE9}), Bytes(99, 'a'),
                ByteList({0}), Bytes(9000, 'd'), ByteList({0})}),
     Problem::kNone, kClassic, 1, kFine, "",
     "\"title\":\"\\u00e9" + std::string(78, 'a') + "\",\"description\":\"" +
         std::string(8191, 'd') + "\""},
    {"cut off inside the title", SliceBytes(RawPackage(18, 0, {}), 0, 12), Problem::kTruncated,
     kClassic, 0, kFine, "", "truncated"},
};

class PackageReaderTable : public ::testing::Test {
 protected:
  std::string Write(const Bytes& bytes) {
    return WritePackage(folder_, "p" + std::to_string(written_++) + ".upg", bytes);
  }
  TempFolder folder_;
  int written_ = 0;
};

TEST_F(PackageReaderTable, EveryRowReadsTheSamePlainAndInTheContainer) {
  for (const Row& row : kRows) {
    Bytes container;
    ASSERT_TRUE(CompressPackage(row.bytes, 6, &container));
    for (const bool compressed : {false, true}) {
      SCOPED_TRACE(std::string(row.label) + (compressed ? " [KVZ]" : " plain"));
      const std::string path = Write(compressed ? container : row.bytes);
      // Before the session, which holds the file open.
      const bool valid = row.problem == Problem::kNone && row.tableProblem == kFine;
      const CommandRun list = RunCommand(RunList, {"--json", path});
      EXPECT_EQ(list.status, valid ? 0 : 1);
      EXPECT_NE(list.out.find(valid ? "\"valid\":true" : "\"valid\":false"), std::string::npos);
      EXPECT_NE((list.out + list.err).find(row.listed), std::string::npos) << list.err;
      const UpgradeSession session(platform::ProgramInstance(), nullptr, path.c_str(), "x");
      EXPECT_EQ(session.GetProblem(), row.problem);
      EXPECT_EQ(session.IsValid(), row.problem == Problem::kNone);
      EXPECT_EQ(session.Kind(), row.kind);
      if (row.problem != Problem::kNone) continue;
      EXPECT_EQ(session.IsCompressed(), compressed);
      EXPECT_EQ(session.totalBytes, row.totalBytes);
      EXPECT_EQ(session.tableProblem, row.tableProblem);
      // What a refused table left in its entries is not read.
      if (row.tableProblem == kFine) {
        EXPECT_EQ(FirstEntry(session), row.firstEntry);
      }
    }
  }
}

TEST_F(PackageReaderTable, TheWritersMinimalPackageByteForByte) {
  // Header, entry, stamp, delta.
  const Bytes expected =
      ByteList({'[',  'K',  'V',  'U',  'P',  'D',  ']',  0x00, 0x12, 0x01, 0x00, 0x54, 0x00,
                0x00, 0x00, 0x61, 0x2E, 0x74, 0x78, 0x74, 0x00, 0x00, 0x00, 0x00, 0x21, 0x00,
                0x03, 0x00, 0x00, 0x00, 0x02, 0x62, 0x01, 0x03, 0x61, 0x62, 0x63, 0x00});
  PackageWriter writer(18);
  writer.SetTitle("T");
  PackageEntrySpec entry;
  std::tie(entry.operation, entry.fileName, entry.newStamp, entry.delta) = std::make_tuple(
      Operation::kAdd, "a.txt", MakeStamp(0x0021, 0x0000, 3, 0x6202), InsertDelta("abc"));
  writer.AddEntry(entry);
  Bytes bytes;
  ASSERT_TRUE(writer.Plain(&bytes));
  EXPECT_EQ(bytes, expected);

  // What the reader makes of it the builder's round trips apply; upgtool list shows its stamp.
  EXPECT_NE(
      RunCommand(RunList, {"--json", Write(expected)})
          .out.find("\"newStamp\":{\"dosTime\":0,\"dosDate\":33,\"size\":3,\"checksum\":25090}"),
      std::string::npos);

  {
    FaultyFileSystem full(FaultKind::kWrite, 1);
    EXPECT_FALSE(writer.WriteFile(folder_.Join("full.upg").c_str(), false));
  }
  // The extended magic, and the entry count's high byte.
  PackageWriter extended(18, PackageKind::kExtended);
  entry.operation = Operation::kVerify;
  for (int i = 0; i < 300; ++i) extended.AddEntry(entry);
  ASSERT_TRUE(extended.Plain(&bytes));
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11),
            JoinBytes({Bytes(kExtendedMagic, kExtendedMagic + 8), ByteList({18, 0x2C, 0x01})}));
}

TEST_F(PackageReaderTable, TargetFolderGetsOneBackslashOrIsRefused) {
  const std::string path = Write(RawPackage(18, 0, {}));
  const struct {
    std::string folder;
    const char* joined;
    TableProblem problem;
  } cases[] = {{"C:\\Game", "C:\\Game\\", kFine},
               {"C:\\", "C:\\", kFine},
               {std::string(259, 'f'), "", TableProblem::kFolderTooLong}};
  for (const auto& c : cases) {
    const UpgradeSession session(platform::ProgramInstance(), nullptr, path.c_str(),
                                 c.folder.c_str());
    EXPECT_EQ(session.tableProblem, c.problem) << c.folder;
    EXPECT_STREQ(c.problem == kFine ? session.targetFolder : "", c.joined);
  }
  const UpgradeSession missing(platform::ProgramInstance(), nullptr,
                               folder_.Join("none.upg").c_str(), "x");
  EXPECT_EQ(missing.GetProblem(), Problem::kCannotOpen);
  EXPECT_NE(RunCommand(RunList, {folder_.Join("none.upg")}).err.find("cannot open"),
            std::string::npos);
}

}  // namespace
