// upgtool sign: writes PACKAGE.sig, the detached signature of the package's
// bytes by the publisher's secret key.
#include <cstdio>
#include <string>

#include "signing/key_files.h"
#include "signing/package_signature.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"

namespace upgtool {

int RunSign(int argc, char** argv) {
  const Arguments arguments(argc, argv, {}, {"--key"});
  if (!arguments.parsed || arguments.operands.size() != 1 || !arguments.HasValue("--key"))
    return UsageError(kSignUsage);
  const std::string keyFile = arguments.Value("--key");
  const char* package = arguments.operands[0].c_str();
  signing::Ed25519SecretKey secret{};
  signing::Ed25519PublicKey publicKey{};
  std::string problem;
  if (!signing::ReadSecretKeyFile(keyFile.c_str(), &secret, &publicKey, &problem) ||
      !signing::SignPackageFile(secret, publicKey, package, &problem)) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return 1;
  }
  std::printf("Signature:   %s (key %s)\n", signing::SignaturePathFor(package).c_str(),
              signing::KeyIdText(signing::KeyIdOf(publicKey)).c_str());
  return 0;
}

}  // namespace upgtool
