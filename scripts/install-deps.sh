#!/usr/bin/env bash
# Installs what building, testing and making the release media need on
# Debian 12 (idempotent, quiet).
set -euo pipefail
pkgs="wine wine32:i386 wine64 fonts-wine g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
      xvfb xauth xdotool x11-utils imagemagick cmake ninja-build googletest g++ mscompress
      mtools xorriso zip unzip strace e2fsprogs"
missing=
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
sudo=
[ "$(id -u)" = 0 ] || sudo=sudo
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
echo "Installing:$missing" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
