#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated analyzer on a pseudo-terminal,
# maps COM port 1 to it and starts Vantrel. The simulator stops when Vantrel ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/install-deps.sh"
"$root/tools/build.sh"
if [ "$(uname -s)" = Linux ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "Vantrel needs a desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set); to try it anyway: apt-get install xvfb && xvfb-run -a $0" >&2
  exit 1
fi
bin="$root/build/bin"
link="${TMPDIR:-/tmp}/vantrel-sim-$$"
log="$(mktemp)"
"$bin/vantrel-sim" --serial "$link" >"$log" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq 100); do
  grep -q '^ready ' "$log" && break
  kill -0 "$sim" 2>/dev/null || { echo "the simulated analyzer did not start" >&2; exit 1; }
  sleep 0.1
done
grep -q '^ready ' "$log" || { echo "the simulated analyzer did not answer" >&2; exit 1; }
printf 'COM1=%s\n' "$link" >"$bin/ComPorts.ini"
"$bin/vantrel"
