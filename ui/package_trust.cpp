#include "ui/package_trust.h"

#include "platform/file_system.h"
#include "signing/key_files.h"
#include "signing/package_signature.h"
#include "streams/file_utilities.h"
#include "ui/startup.h"

namespace ui {

PackageTrust::PackageTrust(const char* programPath, const char* builtInKey) {
  if (builtInKey != nullptr && builtInKey[0] != 0) {
    state_ = signing::ParsePublicKey(builtInKey, &key_) ? State::kKey : State::kUnusableKey;
    keyProblem_ = "The key built into this program cannot be read.";
    return;
  }
  char keyPath[streams::kMaxPath];
  if (programPath[0] == 0 || !NameBesideProgram(programPath, ".pub", keyPath)) return;
  // Whatever is there under the key's name must be a key: a damaged key
  // file must not turn the check off.
  if (platform::Fs().GetAttributes(keyPath) == platform::kInvalidAttributes) return;
  std::string problem;
  state_ = signing::ReadPublicKeyFile(keyPath, &key_, &problem) ? State::kKey : State::kUnusableKey;
  keyProblem_ = std::string("The trusted key ") + keyPath + " cannot be read.";
}

bool PackageTrust::Admits(const char* packagePath, std::string* reason) const {
  switch (state_) {
    case State::kNone:
      return true;
    case State::kUnusableKey:
      *reason = keyProblem_;
      return false;
    case State::kKey:
      break;
  }
  const signing::SignatureReport report = signing::CheckPackageFile(key_, packagePath);
  *reason = signing::SignatureProblemText(report, key_, packagePath);
  return report.verdict == signing::SignatureVerdict::kValid;
}

}  // namespace ui
