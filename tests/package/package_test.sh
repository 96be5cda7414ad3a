#!/usr/bin/env bash
# Builds the .deb from this build, checks what it holds and what lintian says of it,
# unpacks it into a scratch root and runs the installed tools from there: vantrel-cli
# identifying the installed simulated analyzer, and the converter on a recording.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
sim=""
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >/dev/null
deb="$(ls "$work"/out/vantrel_*.deb)"
size=$(stat -c %s "$deb")
[ "$size" -lt $((15 * 1024 * 1024)) ] || fail "package is $size bytes"

contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for path in ./usr/bin/vantrel ./usr/bin/vantrel-sp3-to-text ./usr/bin/vantrel-sim ./usr/bin/vantrel-cli \
    ./usr/share/vantrel/standard/fcc15_class_b_conducted.txt ./usr/share/vantrel/corrections/README.md \
    ./usr/share/man/man1/vantrel-cli.1.gz ./usr/share/doc/vantrel/user-guide.md \
    ./usr/lib/udev/rules.d/70-vantrel-analyzer.rules ./usr/share/applications/vantrel.desktop \
    ./usr/share/icons/hicolor/scalable/apps/vantrel.svg \
    ./usr/share/metainfo/io.github.vantrel.Vantrel.metainfo.xml \
    ./usr/share/man/man1/vantrel-sp3-to-text.1.gz ./usr/share/doc/vantrel/copyright; do
  grep -qx "$path" <<<"$contents" || fail "$path is not in the package"
done
depends="$(dpkg-deb -f "$deb" Depends)"
grep -q "libqt6widgets6" <<<"$depends" || fail "Depends lacks the Qt libraries: $depends"

command -v lintian >/dev/null || fail "lintian is missing (tools/install-deps.sh installs it)"
if lintian "$deb" 2>/dev/null | grep -E '^E:'; then fail "lintian reports errors"; fi

dpkg-deb -x "$deb" "$work/root"
bin="$work/root/usr/bin"
"$bin/vantrel-sp3-to-text" --help | grep -q "usage: vantrel-sp3-to-text" || fail "converter --help"

"$bin/vantrel-sim" --serial "$work/link" >"$work/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do grep -q '^ready ' "$work/sim.log" && break; sleep 0.1; done
grep -q '^ready ' "$work/sim.log" || fail "the installed simulator did not start"
answer="$("$bin/vantrel-cli" --serial-device "$work/link" identify 2>/dev/null)" || fail "installed vantrel-cli identify"
[ -n "$answer" ] || fail "the installed simulator gave no identity"

# A recording of one empty record, converted by the installed converter.
head -c 3160 /dev/zero >"$work/one.sp3"
"$bin/vantrel-sp3-to-text" "$work/one.sp3" "$work/one.txt" || fail "converter exit $?"
[ "$(wc -l <"$work/one.txt")" -eq 2 ] || fail "converter wrote $(wc -l <"$work/one.txt") lines"
echo "package ok: $(basename "$deb"), $size bytes; simulator says: $answer"
