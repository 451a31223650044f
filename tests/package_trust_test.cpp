// Signed packages in the applicators: every kind of tampering refused with
// its reason by every way of checking (the check itself, upgtool verify and
// the applicator's job), the trusted key beside the program or built in,
// and a package swapped after the start-up check never committed.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "signing/key_files.h"
#include "signing/package_signature.h"
#include "tests/support/command_run.h"
#include "tests/support/fake_drives.h"
#include "tests/support/fake_front_end.h"
#include "tests/support/package_file.h"
#include "tests/support/scripted_user.h"
#include "tests/support/signed_package.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"
#include "ui/closing_message.h"
#include "ui/job.h"
#include "ui/shared_state.h"

using namespace package;
using namespace signing;
using namespace builder;
using namespace ui;
using namespace upgtool;

namespace {

using Bytes8 = std::vector<std::uint8_t>;

// A signed sample package with its publisher's key beside a program file.
struct SignedWorld {
  explicit SignedWorld(bool compressed) : sample(compressed, Policy::kCritical) {
    SignTestPackage(key, sample.package);
    WriteTestPublicKey(key, program + ".pub");
    WriteTestPublicKey(key, keyFile);
    package = ReadTestFile(sample.package);
    signature = ReadTestFile(sample.package + ".sig");
  }

  // Runs the applicator's job on the package; its pages end with `pages`.
  int Job(FakeFrontEnd& frontEnd, const char* builtInKey = nullptr,
          const std::string& programPath = "") {
    ResetSharedState();
    FakeDrives drives(sample.target, sample.root.Join("D\\"));
    return RunJob(frontEnd, drives, sample.package.c_str(),
                  (programPath.empty() ? program : programPath).c_str(), builtInKey);
  }

  TestKey key = MakeTestKey();
  SampleUpgrade sample;
  std::string program = sample.root.Join("upgapply");
  std::string keyFile = sample.root.Join("trusted.pub");
  Bytes8 package;
  Bytes8 signature;
};

struct Tampering {
  std::string name;
  // Changes the package's bytes and its signature file's bytes (an empty
  // optional signature means: no signature file).
  std::function<void(Bytes8& package, Bytes8& signature, bool& signatureFile,
                     const SignedWorld& world)>
      change;
  SignatureVerdict verdict;
  const char* reason;
  // Only the signature file changes: one form of the package is enough.
  bool signatureOnly = false;
};

std::vector<Tampering> TamperingCases() {
  std::vector<Tampering> cases;
  const auto none = [](Bytes8&, Bytes8&, bool&, const SignedWorld&) {};
  cases.push_back({"untouched", none, SignatureVerdict::kValid, ""});
  // Header, entry count, entry table (or, compressed, the zlib stream's
  // start), the middle of the data, the last byte (End, or the container's
  // check value).
  for (const char* where : {"0", "9", "25", "middle", "last"}) {
    cases.push_back({std::string("byte flipped at ") + where,
                     [where](Bytes8& p, Bytes8&, bool&, const SignedWorld&) {
                       const std::string at = where;
                       const std::size_t index = at == "middle" ? p.size() / 2
                                                 : at == "last" ? p.size() - 1
                                                                : std::stoul(at);
                       p[index] ^= 0x01;
                     },
                     SignatureVerdict::kAltered, "altered since it was signed"});
  }
  cases.push_back({"one byte cut off",
                   [](Bytes8& p, Bytes8&, bool&, const SignedWorld&) { p.pop_back(); },
                   SignatureVerdict::kAltered, "altered since it was signed"});
  cases.push_back({"cut in half",
                   [](Bytes8& p, Bytes8&, bool&, const SignedWorld&) { p.resize(p.size() / 2); },
                   SignatureVerdict::kAltered, "altered since it was signed"});
  cases.push_back({"one byte added",
                   [](Bytes8& p, Bytes8&, bool&, const SignedWorld&) { p.push_back(0); },
                   SignatureVerdict::kAltered, "altered since it was signed"});
  cases.push_back({"100000 bytes added",
                   [](Bytes8& p, Bytes8&, bool&, const SignedWorld&) {
                     const Bytes8 more = RandomBytes(100000, 3);
                     p.insert(p.end(), more.begin(), more.end());
                   },
                   SignatureVerdict::kAltered, "altered since it was signed"});
  cases.push_back({"signed by another key",
                   [](Bytes8&, Bytes8& s, bool&, const SignedWorld& world) {
                     TempFolder scratch;
                     const std::string copy = WritePackage(scratch, "copy.upg", world.package);
                     SignTestPackage(MakeTestKey(), copy);
                     s = ReadTestFile(copy + ".sig");
                   },
                   SignatureVerdict::kOtherKey, "is signed by another key"});
  cases.push_back({"no signature",
                   [](Bytes8&, Bytes8&, bool& present, const SignedWorld&) { present = false; },
                   SignatureVerdict::kNoSignature, "is not signed"});
  cases.push_back({"signature bytes changed",
                   [](Bytes8&, Bytes8& s, bool&, const SignedWorld&) { s[40] ^= 0x10; },
                   SignatureVerdict::kAltered, "altered since it was signed"});
  const char* damaged = "cannot be read or is damaged";
  for (std::size_t length = 0; length < kSignatureFileSize; ++length) {
    cases.push_back({"signature cut to " + std::to_string(length) + " bytes",
                     [length](Bytes8&, Bytes8& s, bool&, const SignedWorld&) { s.resize(length); },
                     SignatureVerdict::kDamagedSignature, damaged, true});
  }
  cases.push_back({"signature one byte longer",
                   [](Bytes8&, Bytes8& s, bool&, const SignedWorld&) { s.push_back(0); },
                   SignatureVerdict::kDamagedSignature, damaged, true});
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    cases.push_back({"signature of random bytes " + std::to_string(seed),
                     [seed](Bytes8&, Bytes8& s, bool&, const SignedWorld&) {
                       s = RandomBytes(kSignatureFileSize, seed);
                     },
                     SignatureVerdict::kDamagedSignature, damaged, true});
  }
  cases.push_back({"signature of another format version",
                   [](Bytes8&, Bytes8& s, bool&, const SignedWorld&) { s[8] = 2; },
                   SignatureVerdict::kDamagedSignature, damaged, true});
  return cases;
}

TEST(SignedPackage, EveryTamperingIsRefusedWithItsReasonByEveryCheck) {
  for (bool compressed : {false, true}) {
    SignedWorld world(compressed);
    const FolderSnapshot before = TakeSnapshot(world.sample.target);
    for (const Tampering& c : TamperingCases()) {
      if (compressed && c.signatureOnly) continue;
      SCOPED_TRACE(std::string(compressed ? "compressed, " : "plain, ") + c.name);
      Bytes8 package = world.package;
      Bytes8 signature = world.signature;
      bool signatureFile = true;
      c.change(package, signature, signatureFile, world);
      WriteTestFile(world.sample.package, package);
      std::filesystem::remove(NativeTestPath(world.sample.package + ".sig"));
      if (signatureFile) WriteTestFile(world.sample.package + ".sig", signature);
      const bool valid = c.verdict == SignatureVerdict::kValid;

      EXPECT_EQ(CheckPackageFile(world.key.publicKey, world.sample.package.c_str()).verdict,
                c.verdict);

      const CommandRun verify =
          RunCommand(RunVerify, {"--key", world.keyFile, world.sample.package});
      EXPECT_EQ(verify.status, valid ? 0 : 1);
      EXPECT_NE((valid ? verify.out : verify.err).find(valid ? "valid signature" : c.reason),
                std::string::npos)
          << verify.err;

      // The applicator stops before its search; a valid package reaches the
      // wizard, here cancelled on page 1.
      FakeFrontEnd frontEnd;
      EXPECT_EQ(world.Job(frontEnd), valid ? kExitNotApplied : kExitInvalidPackage);
      EXPECT_EQ(frontEnd.pagesShown.empty(), !valid);
      if (!valid) {
        ASSERT_EQ(frontEnd.boxes.size(), 1u);
        EXPECT_EQ(frontEnd.boxes[0].caption, "Error");
        EXPECT_EQ(frontEnd.boxes[0].text.rfind("Upgrade is invalid!\n\n", 0), 0u);
        EXPECT_NE(frontEnd.boxes[0].text.find(c.reason), std::string::npos)
            << frontEnd.boxes[0].text;
      }
      EXPECT_TRUE(TakeSnapshot(world.sample.target) == before);
    }
  }
}

TEST(SignedPackage, TheTrustedKeyIsBuiltInOrBesideTheProgramOrThereIsNone) {
  SignedWorld world(false);
  const std::string builtIn = PublicKeyText(world.key.publicKey);
  const std::string otherKey = PublicKeyText(MakeTestKey().publicKey);
  TempFolder bare;
  TempFolder broken;
  WriteTestFile(broken.Join("upgapply.pub"), "KVUPG ED25519 PUBLIC KEY\nnot hex\n");
  struct Case {
    const char* name;
    std::string programPath;
    const char* builtInKey;
    bool signatureFile;
    int status;
    const char* reason;
  };
  const Case cases[] = {
      {"key beside the program", world.program, nullptr, true, kExitNotApplied, ""},
      {"key beside, no signature", world.program, nullptr, false, kExitInvalidPackage,
       "is not signed"},
      {"no key: unsigned packages as ever", bare.Join("upgapply"), nullptr, false, kExitNotApplied,
       ""},
      {"key built in", bare.Join("upgapply"), builtIn.c_str(), true, kExitNotApplied, ""},
      {"key built in, no signature", bare.Join("upgapply"), builtIn.c_str(), false,
       kExitInvalidPackage, "is not signed"},
      {"the built-in key wins over one beside", world.program, otherKey.c_str(), true,
       kExitInvalidPackage, "is signed by another key"},
      {"a damaged key beside trusts nobody", broken.Join("upgapply"), nullptr, true,
       kExitInvalidPackage, "upgapply.pub cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(NativeTestPath(world.sample.package + ".sig"));
    if (c.signatureFile) WriteTestFile(world.sample.package + ".sig", world.signature);
    FakeFrontEnd frontEnd;
    EXPECT_EQ(world.Job(frontEnd, c.builtInKey, c.programPath), c.status);
    if (c.status == kExitInvalidPackage) {
      ASSERT_EQ(frontEnd.boxes.size(), 1u);
      EXPECT_NE(frontEnd.boxes[0].text.find(c.reason), std::string::npos) << frontEnd.boxes[0].text;
    } else {
      EXPECT_EQ(frontEnd.pagesShown, std::vector<int>{1});
    }
  }
}

// The package is replaced while page 2 is up, after the start-up check and
// the search: the installation reads the new file, and only the digest of
// what it read, and of the rest of the file, can tell.
TEST(SignedPackage, APackageSwappedAfterTheStartupCheckIsNeverCommitted) {
  // The digest stream fetches 64 KiB blocks: bytes after the last delta
  // stream and beyond the last block fetched are seen only by the read of
  // the rest of the file. The sample package is far smaller than a block.
  const auto padded = [](Bytes8 bytes) {
    bytes.resize(3 * 65536, 'p');
    return bytes;
  };
  const auto oneBlock = [](Bytes8 bytes) {
    bytes.resize(65536, 'p');
    return bytes;
  };
  const auto plusOne = [](Bytes8 bytes) {
    bytes.push_back('!');
    return bytes;
  };
  for (bool compressed : {false, true}) {
    const auto otherPackage = [compressed](const SignedWorld& world) {
      PackageWriter writer;
      writer.SetTitle("Sample");
      for (PackageEntrySpec entry : world.sample.entries) {
        if (entry.operation == Operation::kAdd)
          entry = NewFileEntry(Operation::kAdd, entry.fileName, Bytes("evil"));
        entry.errorPolicy = Policy::kCritical;
        writer.AddEntry(entry);
      }
      Bytes8 bytes;
      EXPECT_TRUE(compressed ? writer.Compressed(&bytes) : writer.Plain(&bytes));
      return bytes;
    };
    struct Case {
      const char* name;
      bool trusted;
      // What the publisher signed, made from the sample package; null: it.
      std::function<Bytes8(Bytes8)> published;
      // What takes its place while page 2 is up; null: nothing.
      std::function<Bytes8(const SignedWorld&)> swap;
      int status;
    };
    const Case cases[] = {
        {"not swapped", true, nullptr, nullptr, kExitApplied},
        {"another package", true, nullptr, otherPackage, kExitNotApplied},
        {"signed with 128 KiB and more after its last delta stream", true, padded, nullptr,
         kExitApplied},
        {"a byte added to a package of exactly one block", true, oneBlock,
         [&](const SignedWorld& world) { return plusOne(world.package); }, kExitNotApplied},
        {"another package, no key trusted", false, nullptr, otherPackage, kExitApplied},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(compressed ? "compressed, " : "plain, ") + c.name);
      SignedWorld world(compressed);
      if (c.published) {
        world.package = c.published(world.package);
        WriteTestFile(world.sample.package, world.package);
        SignTestPackage(world.key, world.sample.package);
      }
      const FolderSnapshot before = TakeSnapshot(world.sample.target);
      Bytes8 replacement;
      if (c.swap) replacement = c.swap(world);
      ScriptedUser engineUser;
      FakeFrontEnd frontEnd;
      frontEnd.pageResults = {kPageNext, kPageNext};
      frontEnd.onPage = [&](int page) {
        if (page == 2 && c.swap) WriteTestFile(world.sample.package, replacement);
      };
      TempFolder bare;
      EXPECT_EQ(world.Job(frontEnd, nullptr, c.trusted ? world.program : bare.Join("upgapply")),
                c.status);
      ASSERT_FALSE(frontEnd.boxes.empty());
      EXPECT_FALSE(TestPathExists(world.sample.Staging()));
      if (c.status == kExitApplied) {
        const bool evil = c.swap != nullptr;
        EXPECT_EQ(ReadTestFile(world.sample.target + "sub\\deeper\\new.dat"),
                  evil ? Bytes("evil") : world.sample.expected["sub/deeper/new.dat"]);
        continue;
      }
      EXPECT_EQ(frontEnd.boxes.back().caption, "Upgrade Aborted");
      EXPECT_NE(frontEnd.boxes.back().text.find("The package file changed during the installation"),
                std::string::npos);
      EXPECT_TRUE(TakeSnapshot(world.sample.target) == before);
    }
  }
}

}  // namespace
