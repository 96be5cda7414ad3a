#!/usr/bin/env bash
# The Qt-free core, the simulator model and their tests cross-built for 64-bit Windows with
# MinGW-w64 into ./build-mingw, and the test programs run under wine. Without the cross
# compiler or wine (and no way to install them) it says so in one line and exits 0.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-mingw"
skip() {
  echo "Windows tests skipped: $*"
  exit 0
}
"$root/tools/install-deps.sh" windows >&2 || true
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 ||
  skip "no MinGW-w64 cross compiler (apt-get install g++-mingw-w64-x86-64-posix failed)"
[ -f /usr/src/googletest/CMakeLists.txt ] ||
  skip "no GoogleTest sources in /usr/src/googletest (apt-get install googletest failed)"

launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
start=$SECONDS
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DVANTREL_CORE_ONLY=ON -DVANTREL_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j 2
echo "Windows cross build: $((SECONDS - start)) s"

command -v wine >/dev/null 2>&1 || skip "no wine to run them (apt-get install wine64 wine did not provide it)"
# A prefix of its own beside the build, created once (that first start takes a while).
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start=$SECONDS
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot --init >/dev/null 2>&1 || skip "wine could not create its prefix in $WINEPREFIX"
  wineserver --wait || true
fi
cd "$build"
status=0
ctest --output-on-failure --timeout 120 -j 2 "$@" || status=$?
# Each ctest entry is a whole test program; its summary lines count the test cases in it.
log=Testing/Temporary/LastTest.log
passed=$( (grep -ohE '^\[  PASSED  \] [0-9]+' "$log" || true) | awk '{s += $4} END {print s + 0}')
failed=$( (grep -ohE '^\[  FAILED  \] [0-9]+ tests?, listed below' "$log" || true) | awk '{s += $4} END {print s + 0}')
echo "Windows tests under wine: $((SECONDS - start)) s"
echo "windows: $passed passed, $failed failed"
exit "$status"
