// What upgtool's commands share about signatures: the --key rule of check,
// apply and verify, and what list says of a package's signature.
#pragma once

#include <string>

#include "signing/crypto.h"
#include "tools/upgtool/arguments.h"

namespace upgtool {

// The rule of an applicator that trusts the key in `keyFile`: true when the
// package carries that key's signature of its present bytes; otherwise the
// reason goes to standard error and the result is false.
bool PackageSignedBy(const std::string& keyFile, const char* package,
                     signing::Ed25519PublicKey* key);

// The signature beside a package as list shows it: its state ("none",
// "damaged" or "present") and, when present, the id of the key that made it.
struct SignatureSummary {
  std::string state;
  std::string keyId;
};
SignatureSummary SummarizeSignature(const char* package);

}  // namespace upgtool
