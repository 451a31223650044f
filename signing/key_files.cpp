#include "signing/key_files.h"

#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "platform/private_file.h"
#include "streams/file_utilities.h"
#include "streams/kv_file_stream.h"

namespace signing {

namespace {

constexpr char kPublicHeader[] = "KVUPG ED25519 PUBLIC KEY";
constexpr char kSecretHeader[] = "KVUPG ED25519 SECRET KEY";
// Longer than any key file with CR LF line ends: a larger file is no key.
constexpr std::int32_t kMostKeyFileBytes = 256;

template <std::size_t N>
std::string Hex(const std::array<std::uint8_t, N>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <std::size_t N>
bool FromHex(const std::string& text, std::array<std::uint8_t, N>* bytes) {
  if (text.size() != 2 * N) return false;
  for (std::size_t i = 0; i < N; ++i) {
    const int high = HexValue(text[2 * i]);
    const int low = HexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    (*bytes)[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return true;
}

// The text's lines, each ended by LF or CR LF; false when the last one is
// not ended or a line holds a stray CR.
bool SplitLines(const std::string& text, std::vector<std::string>* lines) {
  std::string::size_type start = 0;
  while (start < text.size()) {
    const std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) return false;
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\r') != std::string::npos) return false;
    lines->push_back(line);
    start = end + 1;
  }
  return true;
}

bool ReadKeyFile(const char* path, std::string* text, std::string* problem) {
  streams::TKVFStream file(platform::kOpenRead | platform::kShareRead, path);
  if (!file.IsOpen()) {
    *problem = std::string("cannot read the key file ") + path;
    return false;
  }
  char bytes[kMostKeyFileBytes + 1];
  const std::int32_t got = file.ReadBlock(bytes, static_cast<std::int32_t>(sizeof bytes));
  text->assign(bytes, static_cast<std::size_t>(got > 0 ? got : 0));
  return true;
}

bool WriteAll(platform::FileHandle file, const std::string& text) {
  const std::int32_t size = static_cast<std::int32_t>(text.size());
  return platform::Fs().Write(file, text.data(), size) == size;
}

}  // namespace

KeyId KeyIdOf(const Ed25519PublicKey& publicKey) {
  Sha512 digest;
  digest.Update(publicKey.data(), publicKey.size());
  Sha512Value value{};
  digest.Finish(&value);
  KeyId id{};
  std::memcpy(id.data(), value.data(), id.size());
  return id;
}

std::string KeyIdText(const KeyId& id) { return Hex(id); }

std::string PublicKeyText(const Ed25519PublicKey& publicKey) {
  return std::string(kPublicHeader) + "\n" + Hex(publicKey) + "\n";
}

std::string SecretKeyText(const Ed25519SecretKey& secret, const Ed25519PublicKey& publicKey) {
  return std::string(kSecretHeader) + "\n" + Hex(secret) + "\n" + Hex(publicKey) + "\n";
}

bool ParsePublicKey(const std::string& text, Ed25519PublicKey* publicKey) {
  std::vector<std::string> lines;
  return SplitLines(text, &lines) && lines.size() == 2 && lines[0] == kPublicHeader &&
         FromHex(lines[1], publicKey);
}

bool ParseSecretKey(const std::string& text, Ed25519SecretKey* secret,
                    Ed25519PublicKey* publicKey) {
  std::vector<std::string> lines;
  return SplitLines(text, &lines) && lines.size() == 3 && lines[0] == kSecretHeader &&
         FromHex(lines[1], secret) && FromHex(lines[2], publicKey);
}

bool ReadPublicKeyFile(const char* path, Ed25519PublicKey* publicKey, std::string* problem) {
  std::string text;
  if (!ReadKeyFile(path, &text, problem)) return false;
  if (ParsePublicKey(text, publicKey)) return true;
  *problem = std::string(path) + " is not a public key file";
  return false;
}

bool ReadSecretKeyFile(const char* path, Ed25519SecretKey* secret, Ed25519PublicKey* publicKey,
                       std::string* problem) {
  std::string text;
  if (!ReadKeyFile(path, &text, problem)) return false;
  if (ParseSecretKey(text, secret, publicKey)) return true;
  *problem = std::string(path) + " is not a secret key file";
  return false;
}

bool WriteKeyFiles(const char* path, const Ed25519SecretKey& secret,
                   const Ed25519PublicKey& publicKey, std::string* problem) {
  const std::string publicPath = std::string(path) + ".pub";
  // A secret key is never overwritten: it may be the only copy.
  for (const std::string& name : {std::string(path), publicPath}) {
    if (platform::Fs().GetAttributes(name.c_str()) != platform::kInvalidAttributes) {
      *problem = name + " exists already";
      return false;
    }
  }
  const platform::FileHandle file = platform::CreatePrivateFile(path);
  if (file == platform::kInvalidFile) {
    *problem = std::string("cannot create ") + path;
    return false;
  }
  const bool secretWritten = WriteAll(file, SecretKeyText(secret, publicKey));
  platform::Fs().Close(file);
  bool publicWritten = false;
  if (secretWritten) {
    streams::TKVFStream out(platform::kOpenWrite, publicPath.c_str());
    const std::string text = PublicKeyText(publicKey);
    out.WriteBlock(text.data(), static_cast<std::int32_t>(text.size()));
    publicWritten = out.IsOpen() && out.Error() == 0;
  }
  if (secretWritten && publicWritten) return true;
  streams::RemoveFile(path);
  streams::RemoveFile(publicPath.c_str());
  *problem = std::string("cannot write ") + (secretWritten ? publicPath.c_str() : path);
  return false;
}

}  // namespace signing
