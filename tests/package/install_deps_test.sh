#!/usr/bin/env bash
# On a machine that has every package, install-deps has nothing to do: it must succeed
# without calling apt-get (here one that always fails) or sudo.
set -euo pipefail
root="$1"
fake="$(mktemp -d)"
trap 'rm -rf "$fake"' EXIT
for tool in apt-get sudo; do
  printf '#!/bin/sh\necho "%s must not run" >&2\nexit 100\n' "$tool" >"$fake/$tool"
  chmod +x "$fake/$tool"
done
PATH="$fake:$PATH" "$root/tools/install-deps.sh"
