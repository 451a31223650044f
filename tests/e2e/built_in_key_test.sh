#!/usr/bin/env bash
# The build's -DUPG_TRUSTED_KEY glue: cmake/EmbedTrustedKey.cmake turns a
# public key file of upgtool keygen into the applicators' built-in key, an
# empty option into no key, and stops on anything else.
# usage: built_in_key_test.sh CMAKE EMBED_SCRIPT UPGTOOL
set -u
. "$(dirname "$0")/checks.sh"
cmake=$1
script=$2
upgtool=$3
new_work built-in-key

embed() { "$cmake" -DKEY="$1" -DOUTPUT="$work/out.cpp" -P "$script" >/dev/null 2>&1; }

embed "" || fail "an empty option stopped the build"
grep -qF 'const char kBuiltInTrustedKey[] = "";' "$work/out.cpp" || fail "no key is not an empty text"

"$upgtool" keygen -o "$work/publisher" >/dev/null
hex=$(sed -n 2p "$work/publisher.pub")
embed "$work/publisher.pub" || fail "a public key file stopped the build"
grep -qF "const char kBuiltInTrustedKey[] = \"KVUPG ED25519 PUBLIC KEY\\n$hex\\n\";" "$work/out.cpp" ||
  fail "the key file's text was not built in"
sed 's/$/\r/' "$work/publisher.pub" >"$work/crlf.pub"
embed "$work/crlf.pub" && grep -qF "$hex" "$work/out.cpp" || fail "CR LF line ends were refused"

rm -f "$work/out.cpp"
for bad in "$work/publisher" "$work/missing.pub" "$work/short.pub"; do
  printf 'KVUPG ED25519 PUBLIC KEY\n%s\n' "${hex:2}" >"$work/short.pub"
  embed "$bad" && fail "$bad was built in"
done
[ ! -e "$work/out.cpp" ] || fail "a refused key left a source behind"

finish "built-in key"
