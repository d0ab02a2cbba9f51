#!/usr/bin/env bash
# Installs what building and testing Quillon needs on a Debian machine.
# Idempotent: a machine that already has everything only pays for the checks.
# The 64-bit Wine always; the 32-bit one (and with it the i386 architecture)
# only where this machine's kernel can start a 32-bit program at all. Nothing
# installed is ever removed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/wine-arch.sh

packages=(cmake ninja-build g++ googletest mingw-w64 wine wine64 xvfb xauth
          imagemagick x11-utils zip fonts-wine)
with_i386=false
if quillon_kernel_runs_32bit; then
  packages+=(wine32:i386)
  with_i386=true
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if $with_i386 && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
