// The publisher's key compiled into the applicators by a build configured
// with -DUPG_TRUSTED_KEY=FILE: the text of that public key file, or an empty
// text. Only the applicator programs link its definition (the object
// library upg_built_in_key); everything else is handed the text.
#pragma once

namespace signing {

extern const char kBuiltInTrustedKey[];

}  // namespace signing
