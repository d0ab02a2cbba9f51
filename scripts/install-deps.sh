#!/usr/bin/env bash
# Installs what building and testing Quillon needs on a Debian machine.
# Idempotent: a machine that already has everything only pays for the checks.
set -euo pipefail

packages=(cmake ninja-build g++ googletest mingw-w64 wine wine32:i386 xvfb xauth
          imagemagick x11-utils zip fonts-wine)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
