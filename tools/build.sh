#!/usr/bin/env bash
# Configures and builds Vantrel into ./build (Ninja, release with debug info).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  # Paths below the checkout count as relative, so another clone reuses the cache.
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$root/build" -j "$(nproc)"
