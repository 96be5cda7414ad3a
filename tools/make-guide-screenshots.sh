#!/usr/bin/env bash
# Makes the pictures of docs/user-guide.md again: the real program, offscreen, against the
# simulated analyzer on a pseudo-terminal. Run after a build (tools/build.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$root/build/bin"
work="$(mktemp -d)"
sim=""
trap '[ -n "$sim" ] && kill $sim 2>/dev/null; rm -rf "$work"' EXIT
# A scratch program folder, so the user's own settings beside build/bin stay as they are.
cp "$bin/guide_shots" "$work/"
cp -r "$bin/standard" "$bin/corrections" "$work/"
"$bin/vantrel-sim" --serial "$work/analyzer" --scene emi >"$work/sim.log" 2>&1 &
sim=$!
"$bin/vantrel-sim" --serial "$work/analyzer27" --model 2.7ghz --scene emi >"$work/sim27.log" 2>&1 &
sim="$sim $!"
for log in sim sim27; do
  for _ in $(seq 100); do grep -q '^ready ' "$work/$log.log" && break; sleep 0.1; done
  grep -q '^ready ' "$work/$log.log" || { echo "the simulated analyzer did not start ($log)" >&2; exit 1; }
done
printf 'COM1=%s\nCOM2=%s\n' "$work/analyzer" "$work/analyzer27" >"$work/ComPorts.ini"
mkdir -p "$root/docs/images"
QT_QPA_PLATFORM=offscreen "$work/guide_shots" "$root/docs/images"
