// The signing module as the project calls it: Ed25519 against its published
// answers, and the stream that digests a package file while it is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "signing/crypto.h"
#include "streams/background_digest.h"
#include "streams/kv_digest_stream.h"
#include "streams/kv_file_stream.h"
#include "tests/support/package_file.h"

using namespace signing;

namespace {

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

template <std::size_t N>
std::array<std::uint8_t, N> ArrayFromHex(const std::string& hex) {
  const std::vector<std::uint8_t> bytes = FromHex(hex);
  std::array<std::uint8_t, N> out{};
  std::copy(bytes.begin(), bytes.begin() + std::min(bytes.size(), N), out.begin());
  return out;
}

// RFC 8032, section 7.1: TEST 1, 2, 3 and SHA(abc), whose message is the
// SHA-512 of "abc".
struct KnownAnswer {
  const char *name, *secret, *publicKey, *message, *signature;
};
const KnownAnswer kRfc8032[] = {
    {"TEST 1", "9d61b19deffd5a60ba844af492ec2cc44449c5697b326919703bac031cae7f60",
     "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a", "",
     "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bacc61e39701cf9b"
     "46bd25bf5f0595bbe24655141438e7a100b"},
    {"TEST 2", "4ccd089b28ff96da9db6c346ec114e0f5b8a319f35aba624da8cf6ed4fb8a6fb",
     "3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c", "72",
     "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac1e43e15996e458f3613d0f11"
     "d8c387b2eaeb4302aeeb00d291612bb0c00"},
    {"TEST 3", "c5aa8df43f9f837bedb7442f31dcb7b166d38535076f094b85ce3a2e0b4458f7",
     "fc51cd8e6218a1a38da47ed00230f0580816ed13ba3303ac5deb911548908025", "af82",
     "6291d657deec24024827e69c3abe01a30ce548a284743a445e3680d7db5ac3ac18ff9b538d16f290ae67f760984dc"
     "6594a7c15e9716ed28dc027beceea1ec40a"},
    {"TEST SHA(abc)", "833fe62409237b9d62ec77587520911e9a759cec1d19755b7da901b96dca3d42",
     "ec172b93ad5e563bf4932c70e1245034c35467ef2efd4d64ebf819683467e2bf",
     "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3fee"
     "bbd454d4423643ce80e2a9ac94fa54ca49f",
     "dc2a4459e7369633a52b1bf277839a00201009a3efbf3ecb69bea2186c26b58909351fc9ac90b3ecfdfbc7c66431e"
     "0303dca179c138ac17ad9bef1177331a704"},
};

TEST(Ed25519, KnownAnswersOfRfc8032) {
  for (const KnownAnswer& answer : kRfc8032) {
    SCOPED_TRACE(answer.name);
    const auto secret = ArrayFromHex<32>(answer.secret),
               publicKey = ArrayFromHex<32>(answer.publicKey);
    const std::vector<std::uint8_t> message = FromHex(answer.message);
    const auto expected = ArrayFromHex<64>(answer.signature);
    Ed25519Signature signature{};
    ASSERT_TRUE(SignEd25519(secret, message.data(), message.size(), &signature));
    EXPECT_EQ(signature, expected);
    EXPECT_TRUE(VerifyEd25519(publicKey, message.data(), message.size(), expected));
  }
}

// Collects what a digest stream hands on, to compare it with the file.
struct RecordingDigest final : ByteDigest {
  void Update(const std::uint8_t* bytes, std::size_t count) override {
    seen.insert(seen.end(), bytes, bytes + count);
  }
  std::vector<std::uint8_t> seen;
};

// Pieces of every size around the background's block, given to it straight
// (the file stream's reads never cross a block), and a digest stream reading
// in every pattern, in line (0 blocks), in the background (1 or 4) and
// straight into the digest.
TEST(DigestStream, SeesEveryByteOnceInOrderWhateverTheReads) {
  const std::size_t block = BackgroundDigest::kBlockSize;
  for (const std::vector<std::size_t>& sizes :
       {std::vector<std::size_t>{}, {block - 1, 2}, {0, block, 0, block}, {5 * block + 3}}) {
    RecordingDigest digest;
    BackgroundDigest background(&digest, 4);
    std::vector<std::uint8_t> given;
    for (const std::size_t size : sizes) {
      const std::vector<std::uint8_t> piece =
          RandomBytes(size, static_cast<std::uint32_t>(given.size() + 1));
      background.Update(piece.data(), piece.size());
      given.insert(given.end(), piece.begin(), piece.end());
    }
    background.Drain();
    EXPECT_EQ(digest.seen, given) << sizes.size() << " pieces";
  }
  TempFolder folder;
  const std::vector<std::uint8_t> bytes = RandomBytes(150000, 7);
  const std::string path = WritePackage(folder, "file.bin", bytes);
  // Each case seeks to a place and reads bytes one by one from there, step
  // after step, and must read the file.
  const struct {
    const char* name;
    std::vector<std::pair<std::uint32_t, int>> steps;
    bool inOrder;
  } cases[] = {
      {"nothing read", {}, true},
      {"probe, go back to the start, read on", {{0, 16}, {0, 1000}}, true},
      {"seek forward past two blocks", {{140000, 1}}, true},
      {"byte by byte, past the end", {{0, 150010}}, true},
      {"seek back before the held block", {{70000, 0}, {10, 0}}, false},
  };
  // Each case straight into the digest (-1), and through a background.
  for (const auto& c : cases) {
    for (const int blocks : {-1, 0, 1, 4}) {
      SCOPED_TRACE(std::string(c.name) + ", blocks " + std::to_string(blocks));
      RecordingDigest digest;
      std::optional<BackgroundDigest> background;
      if (blocks >= 0) background.emplace(&digest, static_cast<std::size_t>(blocks));
      TKVDigestStream stream(new TKVFStream(platform::kOpenRead, path.c_str()),
                             background ? &*background : static_cast<ByteDigest*>(&digest));
      for (const auto& [place, count] : c.steps) {
        stream.Seek(place);
        std::vector<std::uint8_t> read;
        for (int i = 0; i < count; ++i) read.push_back(stream.ReadByte());
        read.resize(std::min<std::size_t>(read.size(), bytes.size() - place));
        EXPECT_EQ(read, SliceBytes(bytes, place, read.size())) << "from " << place;
      }
      EXPECT_EQ(stream.DigestRest(), c.inOrder);
      if (background) {
        EXPECT_EQ(background->InBackground(), blocks > 0);
        background->Drain();
      }
      if (c.inOrder) {
        EXPECT_EQ(digest.seen, bytes);
      }
    }
  }
}

}  // namespace
