#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/command_run.h"
#include "tests/support/package_file.h"
#include "tools/upgtool/commands.h"

using namespace package;
using namespace builder;
using namespace upgtool;

namespace {

CommandRun List(std::vector<std::string> arguments) {
  return RunCommand(RunList, std::move(arguments));
}

// A classic header with the title "T", an empty description and `count`
// entries, and nothing after it.
std::vector<std::uint8_t> Header(std::uint8_t version, std::uint16_t count) {
  const auto low = static_cast<std::uint8_t>(count);
  const auto high = static_cast<std::uint8_t>(count >> 8);
  return {'[', 'K', 'V', 'U', 'P', 'D', ']', 0, version, low, high, 'T', 0, 0};
}

TEST(UpgtoolList, JsonOfAValidPackageOfEitherKind) {
  for (const PackageKind kind : {PackageKind::kClassic, PackageKind::kExtended}) {
    const std::string kindName = kind == PackageKind::kExtended ? "extended" : "classic";
    SCOPED_TRACE(kindName);
    TempFolder folder;
    PackageWriter writer(18, kind);
    writer.SetTitle("Demo \xE9");
    PackageEntrySpec entry;
    entry.operation = Operation::kUpdate;
    entry.warningPolicy = Policy::kAsk;
    entry.errorPolicy = Policy::kCritical;
    entry.fileName = "sub\\a.txt";
    entry.oldStamp = MakeStamp(0x0021, 0, 2, 0x6162);
    entry.newStamp = MakeStamp(0x0021, 0, 3, 0x6202);
    entry.delta = InsertDelta("abc");
    writer.AddEntry(entry);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(writer.Compressed(&bytes));
    const std::string path = WritePackage(folder, "p.upg", bytes);
    const CommandRun run = List({"--json", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("\"compressed\":true"), std::string::npos);
    EXPECT_NE(run.out.find("\"valid\":true"), std::string::npos);
    EXPECT_NE(run.out.find("\"title\":\"Demo \\u00e9\""), std::string::npos);
    EXPECT_NE(run.out.find("\"totalBytes\":4"), std::string::npos);
    EXPECT_NE(run.out.find("\"fileName\":\"sub\\\\a.txt\""), std::string::npos);
    EXPECT_NE(run.out.find("\"operationName\":\"Update\""), std::string::npos);
    EXPECT_NE(
        run.out.find("\"newStamp\":{\"dosTime\":0,\"dosDate\":33,\"size\":3,\"checksum\":25090}"),
        std::string::npos);
    EXPECT_NE(run.out.find("\"kind\":\"" + kindName + "\""), std::string::npos);
    EXPECT_NE(List({path}).out.find("Kind:         " + kindName + "\n"), std::string::npos);
  }
}

TEST(UpgtoolList, BadPackagesExitOneWithTheReason) {
  TempFolder folder;
  std::vector<std::uint8_t> traversal = Header(18, 1);
  for (char c : std::string("..\\..\\evil.dll")) traversal.push_back(static_cast<std::uint8_t>(c));
  traversal.insert(traversal.end(), {0, 0, 0, 0, 0x21, 0, 1, 0, 0, 0, 0, 0});
  std::vector<std::uint8_t> corrupt(300);
  for (std::size_t i = 0; i < corrupt.size(); ++i) corrupt[i] = static_cast<std::uint8_t>(i * 91);
  std::vector<std::uint8_t> container;
  ASSERT_TRUE(CompressPackage(Header(18, 0), 9, &container));
  container.resize(container.size() - 6);

  std::vector<std::uint8_t> staged = Header(18, 1);
  staged.push_back(0x00);  // Add
  for (char c : std::string("__KVUPD_\\N00001.TMP")) staged.push_back(static_cast<std::uint8_t>(c));
  staged.insert(staged.end(), {0, 0, 0, 0, 0x21, 0, 1, 0, 0, 0, 0, 0});

  std::vector<std::uint8_t> stampless = Header(18, 1);
  stampless.insert(stampless.end(), {0x01, 'u', 0, 0});
  std::vector<std::uint8_t> cutHeader = Header(18, 0);
  cutHeader.resize(10);

  struct Case {
    std::vector<std::uint8_t> bytes;
    const char* reason;
  };
  const Case cases[] = {
      {corrupt, "not an upgrade package"},
      {cutHeader, "truncated"},
      {Header(19, 0), "version 19 is too new"},
      {Header(18, 10001), "10001 entries, at most 10000"},
      {traversal, "entry 0 names a file outside the target folder"},
      {staged, "entry 0 names a file in the staging folder __KVUPD_"},
      {stampless, "the file ends where the stamp of entry 0 should be"},
      {Header(18, 1), "truncated"},
      {container, "truncated"},
  };
  for (const Case& c : cases) {
    const std::string path = WritePackage(folder, "bad.upg", c.bytes);
    const CommandRun run = List({"--json", path});
    EXPECT_EQ(run.status, 1) << c.reason;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.reason << " / " << run.err;
    EXPECT_NE(run.out.find("\"valid\":false"), std::string::npos) << c.reason;
  }
  const CommandRun missing = List({folder.Join("none.upg")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
}

TEST(UpgtoolList, UsageErrors) {
  EXPECT_EQ(List({}).status, 2);
  EXPECT_EQ(List({"--bogus", "x.upg"}).status, 2);
  EXPECT_EQ(List({"a.upg", "b.upg"}).status, 2);
}

}  // namespace
