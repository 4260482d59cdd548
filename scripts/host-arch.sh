#!/usr/bin/env bash
# Prints the Wine architecture this host can test on: "win32" when the
# kernel runs 32-bit x86 programs (Wine's 32-bit loader starts), otherwise
# "win64" (kernels built without 32-bit emulation). WINE_ARCH overrides.
if [ -n "${WINE_ARCH:-}" ]; then
    echo "$WINE_ARCH"
elif [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo win32
else
    echo win64
fi
