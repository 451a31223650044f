#include "signing/crypto.h"

#include <gcrypt.h>

#include <cstring>

namespace signing {

namespace {

// The library must be told once that the program is done setting it up. Its
// secure memory is not used: the keys pass through ordinary buffers anyway.
bool LibraryReady() {
  static const bool ready = [] {
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) return false;
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  return ready;
}

// Owns one S-expression of the library.
class Sexp {
 public:
  Sexp() = default;
  explicit Sexp(gcry_sexp_t value) : value_(value) {}
  ~Sexp() { gcry_sexp_release(value_); }
  Sexp(const Sexp&) = delete;
  Sexp& operator=(const Sexp&) = delete;

  gcry_sexp_t* out() { return &value_; }
  gcry_sexp_t get() const { return value_; }
  explicit operator bool() const { return value_ != nullptr; }

 private:
  gcry_sexp_t value_ = nullptr;
};

// Copies the data of the token `name` in `list` into `out`, which it must
// fill exactly.
template <std::size_t N>
bool TokenData(const Sexp& list, const char* name, std::array<std::uint8_t, N>* out) {
  const Sexp token(gcry_sexp_find_token(list.get(), name, 0));
  if (!token) return false;
  std::size_t length = 0;
  const char* data = gcry_sexp_nth_data(token.get(), 1, &length);
  if (data == nullptr || length != N) return false;
  std::memcpy(out->data(), data, N);
  return true;
}

// RFC 8032 signs the message itself; the library's "eddsa" flag with SHA-512
// is exactly that, with no hashing of its own beforehand.
bool MessageData(const std::uint8_t* message, std::size_t size, Sexp* data) {
  return gcry_sexp_build(data->out(), nullptr, "(data (flags eddsa) (hash-algo sha512) (value %b))",
                         static_cast<int>(size), message) == 0;
}

}  // namespace

struct Sha512::Context {
  gcry_md_hd_t handle = nullptr;
  ~Context() { gcry_md_close(handle); }
};

Sha512::Sha512() : context_(new Context) {
  if (LibraryReady() && gcry_md_open(&context_->handle, GCRY_MD_SHA512, 0) != 0) {
    context_->handle = nullptr;
  }
}

Sha512::~Sha512() = default;

void Sha512::Update(const std::uint8_t* bytes, std::size_t count) {
  if (context_->handle != nullptr) gcry_md_write(context_->handle, bytes, count);
}

bool Sha512::Finish(Sha512Value* value) {
  if (context_->handle == nullptr) return false;
  const unsigned char* digest = gcry_md_read(context_->handle, GCRY_MD_SHA512);
  if (digest == nullptr) return false;
  std::memcpy(value->data(), digest, value->size());
  return true;
}

bool GenerateEd25519Key(Ed25519SecretKey* secret, Ed25519PublicKey* publicKey) {
  if (!LibraryReady()) return false;
  Sexp parameters;
  if (gcry_sexp_build(parameters.out(), nullptr, "(genkey (ecc (curve Ed25519) (flags eddsa)))") !=
      0) {
    return false;
  }
  Sexp pair;
  if (gcry_pk_genkey(pair.out(), parameters.get()) != 0) return false;
  const Sexp privateKey(gcry_sexp_find_token(pair.get(), "private-key", 0));
  return privateKey && TokenData(privateKey, "d", secret) && TokenData(privateKey, "q", publicKey);
}

bool SignEd25519(const Ed25519SecretKey& secret, const std::uint8_t* message, std::size_t size,
                 Ed25519Signature* signature) {
  if (!LibraryReady()) return false;
  Sexp key;
  Sexp data;
  Sexp result;
  // The library derives the public point from the seed itself.
  if (gcry_sexp_build(key.out(), nullptr,
                      "(private-key (ecc (curve Ed25519) (flags eddsa) (d %b)))",
                      static_cast<int>(secret.size()), secret.data()) != 0 ||
      !MessageData(message, size, &data) ||
      gcry_pk_sign(result.out(), data.get(), key.get()) != 0) {
    return false;
  }
  std::array<std::uint8_t, 32> r{};
  std::array<std::uint8_t, 32> s{};
  if (!TokenData(result, "r", &r) || !TokenData(result, "s", &s)) return false;
  std::memcpy(signature->data(), r.data(), r.size());
  std::memcpy(signature->data() + r.size(), s.data(), s.size());
  return true;
}

bool VerifyEd25519(const Ed25519PublicKey& publicKey, const std::uint8_t* message, std::size_t size,
                   const Ed25519Signature& signature) {
  if (!LibraryReady()) return false;
  Sexp key;
  Sexp data;
  Sexp value;
  return gcry_sexp_build(key.out(), nullptr,
                         "(public-key (ecc (curve Ed25519) (flags eddsa) (q %b)))",
                         static_cast<int>(publicKey.size()), publicKey.data()) == 0 &&
         MessageData(message, size, &data) &&
         gcry_sexp_build(value.out(), nullptr, "(sig-val (eddsa (r %b) (s %b)))", 32,
                         signature.data(), 32, signature.data() + 32) == 0 &&
         gcry_pk_verify(value.get(), data.get(), key.get()) == 0;
}

}  // namespace signing
