// upgtool verify: whether a package carries the given key's signature of its
// present bytes, judged as an applicator that trusts that key judges it.
#include <cstdio>

#include "signing/key_files.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/signature_option.h"

namespace upgtool {

int RunVerify(int argc, char** argv) {
  const Arguments arguments(argc, argv, {}, {"--key"});
  if (!arguments.parsed || arguments.operands.size() != 1 || !arguments.HasValue("--key"))
    return UsageError(kVerifyUsage);
  const char* package = arguments.operands[0].c_str();
  signing::Ed25519PublicKey key{};
  if (!PackageSignedBy(arguments.Value("--key"), package, &key)) return 1;
  std::printf("%s: valid signature by key %s\n", package,
              signing::KeyIdText(signing::KeyIdOf(key)).c_str());
  return 0;
}

}  // namespace upgtool
