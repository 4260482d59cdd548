#!/usr/bin/env bash
# Configures and builds the installer, its payload and its tests in build/
# (or in the directory given as the first argument).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
# The product is 32-bit; where this machine cannot run 32-bit code the
# same sources are built for 64-bit Windows so that they can be tested.
case "$("$root/scripts/host-arch.sh")" in
    win64) toolchain=$root/cmake/mingw-x86_64.cmake
           echo "build.sh: this machine runs no 32-bit code: 64-bit test build in $build" >&2 ;;
    *)     toolchain=$root/cmake/mingw-i686.cmake ;;
esac
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain\$" "$build/CMakeCache.txt"; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles" "$build/build.ninja"
fi
# The default build directory also builds the 32-bit product in win32/
# when this build is the 64-bit test build.
product=OFF
[ "$build" = "$root/build" ] && [ "$toolchain" = "$root/cmake/mingw-x86_64.cmake" ] && product=ON
if [ ! -f "$build/build.ninja" ] || ! grep -q "^SETUP_WIN32_PRODUCT:BOOL=$product\$" "$build/CMakeCache.txt"; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DSETUP_WIN32_PRODUCT=$product >/dev/null
fi
cmake --build "$build"
