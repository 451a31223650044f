// A check that the caller of ApplyUpgrade supplies and the engine asks once,
// after the install pass has read the package's last delta stream and before
// the commit touches anything of the user's. The applicators use it to make
// sure that the package file the installation read is the one its
// publisher signed; the engine knows nothing of signatures.
#pragma once

namespace package {
class UpgradeSession;
}  // namespace package

namespace apply {

class PackageCheck {
 public:
  virtual ~PackageCheck() = default;
  // True when the run may go on to the commit. False ends the run as an
  // abort after the install pass does: the staging folder is removed and
  // nothing of the user's has changed.
  virtual bool Passes(package::UpgradeSession& session) = 0;
};

}  // namespace apply
