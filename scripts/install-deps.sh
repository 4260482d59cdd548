#!/usr/bin/env bash
# Installs what building, testing and making the release media need on
# Debian 12 (idempotent, quiet).
set -euo pipefail
pkgs="wine wine32:i386 wine64 fonts-wine g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
      xvfb xauth xdotool x11-utils imagemagick cmake ninja-build googletest g++ mscompress
      mtools xorriso zip unzip strace e2fsprogs"
missing=
# Signing setup.exe for the release media and checking it (release.sh --sign).
pkgs="$pkgs osslsigncode openssl"
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing="$missing $p"
done
# Wine takes its code page from the locale: tests run under ja_JP.UTF-8
# (932) and en_US.UTF-8 (1252), which must have been generated.
if [ "$(locale -a 2>/dev/null | grep -cxE '(ja_JP|en_US)\.utf8')" != 2 ]; then
    s=; [ "$(id -u)" = 0 ] || s=sudo
    dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q 'ok installed' ||
        { $s apt-get update -qq; DEBIAN_FRONTEND=noninteractive $s apt-get install -y -qq locales >/dev/null; }
    $s sed -i -E 's/^# *((ja_JP|en_US)\.UTF-8 UTF-8)/\1/' /etc/locale.gen
    $s locale-gen >/dev/null
fi
[ -z "$missing" ] && exit 0
sudo=
[ "$(id -u)" = 0 ] || sudo=sudo
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
echo "Installing:$missing" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
