#include "ui/run_upgrade.h"

#include <memory>
#include <new>
#include <string>

#include "apply/apply_upgrade.h"
#include "apply/package_check.h"
#include "package/ui_strings.h"
#include "package/upgrade_session.h"
#include "signing/package_signature.h"
#include "streams/background_digest.h"

namespace ui {

namespace {

// The installation's own check of the package: the digest of what it read,
// and of the rest of the file, against the trusted key's signature. The
// digest is computed on a worker thread while the installation decodes.
class SignatureCheck final : public apply::PackageCheck {
 public:
  SignatureCheck(const signing::Ed25519PublicKey& key, const char* packagePath)
      : key_(key), packagePath_(packagePath), background_(&digest_) {}

  streams::ByteDigest* digest() { return &background_; }

  bool Passes(package::UpgradeSession& session) override {
    signing::Sha512Value value{};
    if (!session.DigestRestOfFile()) return false;
    background_.Drain();
    return digest_.Finish(&value) &&
           signing::CheckPackageDigest(key_, packagePath_.c_str(), value).verdict ==
               signing::SignatureVerdict::kValid;
  }

 private:
  signing::Ed25519PublicKey key_;
  std::string packagePath_;
  signing::Sha512 digest_;
  // Declared after the digest it feeds, so that its worker stops first.
  streams::BackgroundDigest background_;
};

}  // namespace

int IsPackageValid(const char* path) {
  const package::PackageReader reader(path);
  return reader.IsValid() ? 1 : 0;
}

int RunUpgrade(const char* packagePath, const char* folder, platform::ModuleInstance instance,
               platform::WindowHandle owner, apply::ApplyOutcome* outcome,
               const signing::Ed25519PublicKey* trustedKey) {
  std::unique_ptr<SignatureCheck> check;
  if (trustedKey != nullptr) check = std::make_unique<SignatureCheck>(*trustedKey, packagePath);
  package::UpgradeSession session(instance, owner, packagePath, folder,
                                  check ? check->digest() : nullptr);
  if (!session.IsValid()) return 0;
  session.uiStrings.reset(new (std::nothrow)
                              package::UiStrings(instance, package::kUiStringsResourceId));
  return apply::ApplyUpgrade(session, outcome, check.get());
}

}  // namespace ui
