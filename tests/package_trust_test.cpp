// Signed packages in the applicators: every kind of tampering refused with its reason by every way
// of checking (the check itself, upgtool verify and the applicator's job), and a package swapped
// after the start-up check never committed.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "signing/key_files.h"
#include "signing/package_signature.h"
#include "signing/signature_file.h"
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

using namespace upgtool;

namespace {

using Bytes8 = std::vector<std::uint8_t>;

// A signed sample package with its publisher's key beside a program file.
struct SignedWorld {
  explicit SignedWorld(bool compressed) : sample(compressed, Policy::kCritical) {
    SignTestPackage(key, sample.package);
    WriteTestFile(program + ".pub", PublicKeyText(key.publicKey));
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
  Bytes8 package;
  Bytes8 signature;
};

// The files a tampering changes, and what another key's signature of the package would be.
struct Files {
  Bytes8 package;
  Bytes8 signature;
  Bytes8 otherKeySignature;
  bool signatureFile = true;
};

struct Tampering {
  std::string name;
  std::function<void(Files&)> change;
  SignatureVerdict verdict;
  const char* reason;
  bool signatureOnly = false;  // one form of the package is enough
};

std::vector<Tampering> TamperingCases() {
  using V = SignatureVerdict;
  const char* altered = "altered since it was signed";
  const char* damaged = "cannot be read or is damaged";
  // Bytes of the header, the entry table (or, compressed, the zlib stream's
  // start), the middle of the data and the last byte (End, or the container's check value).
  std::vector<Tampering> cases = {
      {"untouched", [](Files&) {}, V::kValid, ""},
      {"byte 0 flipped", [](Files& f) { f.package[0] ^= 1; }, V::kAltered, altered},
      {"byte 25 flipped", [](Files& f) { f.package[25] ^= 1; }, V::kAltered, altered},
      {"middle byte flipped", [](Files& f) { f.package[f.package.size() / 2] ^= 1; }, V::kAltered,
       altered},
      {"last byte flipped", [](Files& f) { f.package.back() ^= 1; }, V::kAltered, altered},
      {"one byte cut off", [](Files& f) { f.package.pop_back(); }, V::kAltered, altered},
      {"one byte added", [](Files& f) { f.package.push_back(0); }, V::kAltered, altered},
      {"100000 bytes added", [](Files& f) { f.package.resize(f.package.size() + 100000, 7); },
       V::kAltered, altered},
      {"signed by another key", [](Files& f) { f.signature = f.otherKeySignature; }, V::kOtherKey,
       "is signed by another key"},
      {"no signature", [](Files& f) { f.signatureFile = false; }, V::kNoSignature, "is not signed"},
      {"signature bytes changed", [](Files& f) { f.signature[40] ^= 0x10; }, V::kAltered, altered},
      {"signature one byte longer", [](Files& f) { f.signature.push_back(0); },
       V::kDamagedSignature, damaged, true},
      {"signature of another format version", [](Files& f) { f.signature[8] = 2; },
       V::kDamagedSignature, damaged, true},
      {"signature of another method", [](Files& f) { f.signature[9] = 2; }, V::kDamagedSignature,
       damaged, true},
  };
  for (std::size_t length = 0; length < kSignatureFileSize; ++length) {
    cases.push_back({"signature cut to " + std::to_string(length) + " bytes",
                     [length](Files& f) { f.signature.resize(length); }, V::kDamagedSignature,
                     damaged, true});
  }
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    cases.push_back({"signature of random bytes " + std::to_string(seed),
                     [seed](Files& f) { f.signature = RandomBytes(kSignatureFileSize, seed); },
                     V::kDamagedSignature, damaged, true});
  }
  return cases;
}

TEST(SignedPackage, EveryTamperingIsRefusedWithItsReasonByEveryCheck) {
  for (bool compressed : {false, true}) {
    SignedWorld world(compressed);
    const FolderSnapshot before = TakeSnapshot(world.sample.target);
    TempFolder scratch;
    const std::string copy = WritePackage(scratch, "copy.upg", world.package);
    SignTestPackage(MakeTestKey(), copy);
    for (const Tampering& c : TamperingCases()) {
      if (compressed && c.signatureOnly) continue;
      SCOPED_TRACE(std::string(compressed ? "compressed, " : "plain, ") + c.name);
      Files files{world.package, world.signature, ReadTestFile(copy + ".sig")};
      c.change(files);
      WriteTestFile(world.sample.package, files.package);
      std::filesystem::remove(NativeTestPath(world.sample.package + ".sig"));
      if (files.signatureFile) WriteTestFile(world.sample.package + ".sig", files.signature);
      const bool valid = c.verdict == SignatureVerdict::kValid;

      EXPECT_EQ(CheckPackageFile(world.key.publicKey, world.sample.package.c_str()).verdict,
                c.verdict);
      const CommandRun verify =
          RunCommand(RunVerify, {"--key", world.program + ".pub", world.sample.package});
      EXPECT_EQ(verify.status, valid ? 0 : 1);
      EXPECT_NE((valid ? verify.out : verify.err).find(valid ? "valid signature" : c.reason),
                std::string::npos)
          << verify.err;
      // The applicator stops before its search; a valid package reaches the wizard, here
      // cancelled on page 1.
      FakeFrontEnd frontEnd;
      EXPECT_EQ(world.Job(frontEnd), valid ? kExitNotApplied : kExitInvalidPackage);
      EXPECT_EQ(frontEnd.pagesShown.empty(), !valid);
      if (!valid) {
        ASSERT_EQ(frontEnd.boxes.size(), 1u);
        EXPECT_EQ(frontEnd.boxes[0].caption, "Error");
        EXPECT_EQ(frontEnd.boxes[0].text.rfind("Upgrade is invalid!\n\n", 0), 0u);
        EXPECT_NE(frontEnd.boxes[0].text.find(c.reason), std::string::npos);
      }
      EXPECT_TRUE(TakeSnapshot(world.sample.target) == before);
    }
  }
}

// The package is replaced while page 2 is up, after the start-up check and
// the search: the installation reads the new file, and only the digest of
// what it read, and of the rest of the file, can tell. The trusted key is the
// one built in, or else the one beside the program; one that cannot be read
// trusts nobody.
TEST(SignedPackage, APackageSwappedAfterTheStartupCheckIsNeverCommitted) {
  // The digest stream fetches 64 KiB blocks: bytes after the last delta stream and beyond the
  // last block fetched are seen only by the read of the rest of the file. The sample package is
  // far smaller than a block.
  enum class Swap { kNone, kOtherPackage, kOneByteMore };
  enum class Key { kBeside, kNone, kBuiltIn, kOtherBuiltInAndOneBeside, kDamagedBeside };
  const struct Case {
    const char* name;
    Key key;
    std::size_t publishedSize;  // the sample package padded to this size and signed; 0: as it is
    Swap swap;                  // what takes its place while page 2 is up
    int status;
    const char* refusal = "";
  } cases[] = {
      {"not swapped", Key::kBeside, 0, Swap::kNone, kExitApplied},
      {"another package", Key::kBeside, 0, Swap::kOtherPackage, kExitNotApplied},
      {"signed with 128 KiB and more after its last delta stream", Key::kBeside, 3 * 65536,
       Swap::kNone, kExitApplied},
      {"a byte added to a package of exactly one block", Key::kBeside, 65536, Swap::kOneByteMore,
       kExitNotApplied},
      {"another package, no key trusted", Key::kNone, 0, Swap::kOtherPackage, kExitApplied},
      {"another package, key built in", Key::kBuiltIn, 0, Swap::kOtherPackage, kExitNotApplied},
      {"the built-in key wins over one beside", Key::kOtherBuiltInAndOneBeside, 0, Swap::kNone,
       kExitInvalidPackage, "is signed by another key"},
      {"a damaged key beside", Key::kDamagedBeside, 0, Swap::kNone, kExitInvalidPackage,
       "damaged.pub cannot be read"},
  };
  for (bool compressed : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(compressed ? "compressed, " : "plain, ") + c.name);
      SignedWorld world(compressed);
      if (c.publishedSize != 0) {
        world.package.resize(c.publishedSize, 'p');
        WriteTestFile(world.sample.package, world.package);
        SignTestPackage(world.key, world.sample.package);
      }
      const FolderSnapshot before = TakeSnapshot(world.sample.target);
      Bytes8 replacement = world.package;
      replacement.push_back('!');
      if (c.swap == Swap::kOtherPackage) {
        PackageWriter writer;
        writer.SetTitle("Sample");
        for (PackageEntrySpec entry : world.sample.entries) {
          if (entry.operation == Operation::kAdd)
            entry = NewFileEntry(Operation::kAdd, entry.fileName, Bytes("evil"));
          entry.errorPolicy = Policy::kCritical;
          writer.AddEntry(entry);
        }
        EXPECT_TRUE(compressed ? writer.Compressed(&replacement) : writer.Plain(&replacement));
      }
      ScriptedUser engineUser;
      FakeFrontEnd frontEnd;
      frontEnd.pageResults = {kPageNext, kPageNext};
      frontEnd.onPage = [&](int page) {
        if (page == 2 && c.swap != Swap::kNone) WriteTestFile(world.sample.package, replacement);
      };
      TempFolder bare;
      WriteTestFile(bare.Join("damaged.pub"), "KVUPG ED25519 PUBLIC KEY\nnot hex\n");
      const bool beside = c.key == Key::kBeside || c.key == Key::kOtherBuiltInAndOneBeside;
      const std::string program =
          beside ? world.program : bare.Join(c.key == Key::kDamagedBeside ? "damaged" : "upgapply");
      const std::string builtIn = PublicKeyText(
          (c.key == Key::kOtherBuiltInAndOneBeside ? MakeTestKey() : world.key).publicKey);
      const bool hasBuiltIn = c.key == Key::kBuiltIn || c.key == Key::kOtherBuiltInAndOneBeside;
      EXPECT_EQ(world.Job(frontEnd, hasBuiltIn ? builtIn.c_str() : nullptr, program), c.status);
      ASSERT_FALSE(frontEnd.boxes.empty());
      // Refused at the start, the job says why in its one box.
      if (c.status == kExitInvalidPackage) {
        EXPECT_TRUE(frontEnd.pagesShown.empty() && frontEnd.boxes.size() == 1);
        EXPECT_NE(frontEnd.boxes[0].text.find(c.refusal), std::string::npos);
        EXPECT_TRUE(TakeSnapshot(world.sample.target) == before);
        continue;
      }
      EXPECT_FALSE(TestPathExists(world.sample.Staging()));
      const bool applied = c.status == kExitApplied;
      const Bytes8 added =
          c.swap != Swap::kNone ? Bytes("evil") : world.sample.expected["sub/deeper/new.dat"];
      EXPECT_TRUE(applied ? ReadTestFile(world.sample.target + "sub\\deeper\\new.dat") == added
                          : TakeSnapshot(world.sample.target) == before);
      EXPECT_EQ(frontEnd.boxes.back().caption, applied ? "All Finished" : "Upgrade Aborted");
      const std::string& closing = frontEnd.boxes.back().text;
      EXPECT_EQ(
          closing.find("The package file changed during the installation") == std::string::npos,
          applied);
    }
  }
}

}  // namespace
