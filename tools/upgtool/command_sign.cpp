// upgtool sign: writes PACKAGE.sig, the detached signature of the package's
// bytes by the publisher's secret key.
#include <cstdio>
#include <string>

#include "signing/key_files.h"
#include "signing/package_signature.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"

namespace {

constexpr char kUsage[] = "sign --key KEYFILE PACKAGE";

}  // namespace

int RunSign(int argc, char** argv) {
  Arguments arguments;
  if (!ParseArguments(argc, argv, {}, {"--key"}, &arguments) || arguments.operands.size() != 1 ||
      !arguments.HasValue("--key"))
    return UsageError(kUsage);
  const std::string keyFile = arguments.Value("--key");
  const char* package = arguments.operands[0].c_str();
  Ed25519SecretKey secret{};
  Ed25519PublicKey publicKey{};
  std::string problem;
  if (!ReadSecretKeyFile(keyFile.c_str(), &secret, &publicKey, &problem) ||
      !SignPackageFile(secret, publicKey, package, &problem)) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return 1;
  }
  std::printf("Signature:   %s (key %s)\n", SignaturePathFor(package).c_str(),
              KeyIdText(KeyIdOf(publicKey)).c_str());
  return 0;
}
