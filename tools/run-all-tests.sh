#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (no display needed); then the core
# and simulator tests as Windows programs under wine (VANTREL_WINDOWS_TESTS=0 leaves them out).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/install-deps.sh"
"$root/tools/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "$root/build"
ctest --output-on-failure --timeout 120 -j 2 "$@"
if [ "${VANTREL_WINDOWS_TESTS:-1}" != 0 ]; then
  "$root/tools/run-windows-tests.sh"
fi
