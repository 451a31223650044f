#!/usr/bin/env bash
# Builds the project and runs the console applicator on the bundled demo:
# release 1 is copied (times kept) into a fresh scratch folder, the search
# finds it there, the wizard shows the package, and the upgrade applies.
# From a terminal you answer the pages yourself; otherwise Next is given.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh native
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

scratch=$(mktemp -d /tmp/upgapply-demo.XXXXXX)
cp -a build/demo/release1/. "$scratch/"
echo "Release 1 copied to $scratch"
upgapply=$(realpath build/ui/console/upgapply)
package=$(realpath build/demo/demo.upg)
if [ -t 0 ]; then
  (cd "$scratch/.." && "$upgapply" "$package")
else
  (cd "$scratch/.." && printf 'n\nn\n' | "$upgapply" "$package")
fi
if diff -r "$scratch" build/demo/release2 >/dev/null; then
  echo "The scratch folder $scratch now equals release 2."
else
  echo "The scratch folder $scratch does not equal release 2." >&2
  exit 1
fi
