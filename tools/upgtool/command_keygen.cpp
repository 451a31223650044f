// upgtool keygen: a publisher's key pair. The secret key file is readable by
// its owner alone and is never overwritten; KEYFILE.pub is the key that goes
// beside the applicators.
#include <cstdio>
#include <string>

#include "signing/key_files.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"

namespace upgtool {

int RunKeygen(int argc, char** argv) {
  const Arguments arguments(argc, argv, {}, {"-o"});
  if (!arguments.parsed || !arguments.operands.empty() || !arguments.HasValue("-o"))
    return UsageError(kKeygenUsage);
  const std::string path = arguments.Value("-o");
  signing::Ed25519SecretKey secret{};
  signing::Ed25519PublicKey publicKey{};
  std::string problem;
  if (!signing::GenerateEd25519Key(&secret, &publicKey)) {
    std::fprintf(stderr, "upgtool: no key could be made\n");
    return 1;
  }
  if (!signing::WriteKeyFiles(path.c_str(), secret, publicKey, &problem)) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return 1;
  }
  std::printf("Secret key:  %s (keep it to yourself)\n", path.c_str());
  std::printf("Public key:  %s.pub\n", path.c_str());
  std::printf("Key id:      %s\n", signing::KeyIdText(signing::KeyIdOf(publicKey)).c_str());
  return 0;
}

}  // namespace upgtool
