// Which publisher the applicator trusts, and the check of a package against
// that publisher's key before anything else of the package is read.
//
// A key built into the program comes first; otherwise a public key file
// beside the program, named after it with ".pub" (upgapply.pub beside
// upgapply or upgapply.exe). With neither, every package is taken as it
// comes, exactly as before packages were signed. A key file that is there
// but cannot be read trusts nobody: every package is refused.
#pragma once

#include <string>

#include "signing/crypto.h"

namespace ui {

class PackageTrust {
 public:
  // `builtInKey`: the text of a public key file compiled into the program;
  // null or empty for none. `programPath` may be empty: no key is then
  // looked for beside the program.
  PackageTrust(const char* programPath, const char* builtInKey);

  bool HasKey() const { return state_ != State::kNone; }
  // True when no key is trusted, or when the package carries the trusted
  // key's signature of its present bytes; otherwise false with `reason`, a
  // sentence for the user.
  bool Admits(const char* packagePath, std::string* reason) const;
  // The key the installation checks the package it reads against; null
  // when none is trusted.
  const signing::Ed25519PublicKey* Key() const { return state_ == State::kKey ? &key_ : nullptr; }

 private:
  enum class State { kNone, kKey, kUnusableKey };

  State state_ = State::kNone;
  signing::Ed25519PublicKey key_{};
  // What to tell when the key cannot be used.
  std::string keyProblem_;
};

}  // namespace ui
