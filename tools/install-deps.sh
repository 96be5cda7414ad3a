#!/usr/bin/env bash
# Installs what building and testing Vantrel needs on Debian 12 (skips what is there).
# With "fuzz": what the fuzz build needs instead (clang and its libFuzzer runtime).
# With "windows": the Windows cross build of the core and wine to run its tests (MinGW-w64
# with posix threads, GoogleTest's sources to build for it, 64-bit wine).
set -euo pipefail
packages=(build-essential cmake ninja-build ccache pkg-config)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
elif [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix googletest wine64 wine)
else
  packages+=(
    qt6-base-dev qt6-serialport-dev libgl1-mesa-dev
    libhidapi-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation locales-all poppler-utils dpkg-dev lintian
  )
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
# Offline, without root or without apt: name what is missing and the one command for it.
give_up() {
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
}
command -v apt-get >/dev/null 2>&1 || give_up
if [ ${#sudo_cmd[@]} -gt 0 ] && ! command -v sudo >/dev/null 2>&1; then give_up; fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq || give_up
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" || give_up
