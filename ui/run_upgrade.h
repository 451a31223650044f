// The installation step of the job, and the package check before it.
#pragma once

#include "apply/apply_outcome.h"
#include "platform/handles.h"
#include "signing/crypto.h"

namespace ui {

// Nonzero when the file opens as a package that passes the validity test.
int IsPackageValid(const char* path);

// Opens a session on the package and folder, loads the message table and
// runs the apply engine. 1 when the upgrade was applied, else 0; `outcome`
// receives what the user must be told beyond that. With `trustedKey` the
// installation digests every byte of the package file it reads, and the
// commit happens only when that key's signature fits those bytes: a file
// swapped after the check at start-up is never applied.
int RunUpgrade(const char* packagePath, const char* folder, platform::ModuleInstance instance,
               platform::WindowHandle owner, apply::ApplyOutcome* outcome,
               const signing::Ed25519PublicKey* trustedKey = nullptr);

}  // namespace ui
