#include "ui/run_upgrade.h"

#include <memory>
#include <new>
#include <string>

#include "apply/apply_upgrade.h"
#include "apply/package_check.h"
#include "package/ui_strings.h"
#include "package/upgrade_session.h"
#include "signing/package_signature.h"

namespace {

// The installation's own check of the package: the digest of what it read,
// and of the rest of the file, against the trusted key's signature.
class SignatureCheck final : public PackageCheck {
 public:
  SignatureCheck(const Ed25519PublicKey& key, const char* packagePath)
      : key_(key), packagePath_(packagePath) {}

  ByteDigest* digest() { return &digest_; }

  bool Passes(UpgradeSession& session) override {
    Sha512Value value{};
    return session.DigestRestOfFile() && digest_.Finish(&value) &&
           CheckPackageDigest(key_, packagePath_.c_str(), value).verdict ==
               SignatureVerdict::kValid;
  }

 private:
  Ed25519PublicKey key_;
  std::string packagePath_;
  Sha512 digest_;
};

}  // namespace

int IsPackageValid(const char* path) {
  const PackageReader reader(path);
  return reader.IsValid() ? 1 : 0;
}

int RunUpgrade(const char* packagePath, const char* folder, platform::ModuleInstance instance,
               platform::WindowHandle owner, ApplyOutcome* outcome,
               const Ed25519PublicKey* trustedKey) {
  std::unique_ptr<SignatureCheck> check;
  if (trustedKey != nullptr) check = std::make_unique<SignatureCheck>(*trustedKey, packagePath);
  UpgradeSession session(instance, owner, packagePath, folder, check ? check->digest() : nullptr);
  if (!session.IsValid()) return 0;
  session.uiStrings.reset(new (std::nothrow) UiStrings(instance, kUiStringsResourceId));
  return ApplyUpgrade(session, outcome, check.get());
}
