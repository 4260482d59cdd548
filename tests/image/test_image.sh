#!/usr/bin/env bash
# The shipped 32-bit setup.exe as the loaders of Windows 95, NT 3.51 and
# Win32s see it: it imports from KERNEL32, USER32 and GDI32 only, and from
# them only the functions listed here, each of which all three platforms
# export; no runtime library; relocations, no TLS directory, subsystem
# 3.10, and the manifest.
set -u
objdump=i686-w64-mingw32-objdump
command -v "$objdump" >/dev/null || { echo "FAILED: $objdump is missing"; exit 1; }

# The 32-bit product: build/dist on a machine that runs 32-bit code, else
# the one built beside the 64-bit test build.
exe=
for f in "$BUILD_DIR/dist/setup.exe" "$BUILD_DIR/win32/dist/setup.exe"; do
    if [ -f "$f" ] && "$objdump" -f "$f" 2>/dev/null | grep -q 'file format pei-i386'; then exe=$f; break; fi
done
[ -n "$exe" ] || { echo "FAILED: no 32-bit setup.exe under $BUILD_DIR"; exit 1; }
echo "image: $exe"

# Each function the program imports; every one is in the first release of
# Windows 95, in Windows NT 3.51 and in Win32s. Anything newer is looked up
# at run time instead.
allowed='
GDI32 BitBlt CreateCompatibleBitmap CreateCompatibleDC CreateDIBitmap CreateFontIndirectA CreatePalette
GDI32 CreatePen CreatePolygonRgn CreateSolidBrush DeleteDC DeleteMetaFile DeleteObject
GDI32 GetDeviceCaps GetObjectA GetStockObject GetTextExtentPointA PlayMetaFile Polyline
GDI32 RealizePalette RestoreDC SaveDC SelectClipRgn SelectObject SelectPalette SetBkColor
GDI32 SetBkMode SetMapMode SetMetaFileBitsEx SetTextColor SetViewportExtEx SetViewportOrgEx
GDI32 StretchDIBits TextOutA
KERNEL32 CloseHandle CreateDirectoryA CreateFileA DeleteFileA ExitProcess FileTimeToDosDateTime
KERNEL32 FileTimeToLocalFileTime FindClose FindFirstFileA FindNextFileA FindResourceA FreeResource
KERNEL32 GetCommandLineA GetCurrentDirectoryA GetDiskFreeSpaceA GetDriveTypeA GetFileAttributesA GetFileSize
KERNEL32 GetFileTime GetLastError GetModuleFileNameA GetModuleHandleA GetPrivateProfileStringA GetProcAddress
KERNEL32 GetStartupInfoA GetSystemDirectoryA GetTickCount GetVersion
KERNEL32 GetWindowsDirectoryA GlobalAlloc GlobalFree GlobalHandle GlobalLock GlobalUnlock
KERNEL32 LoadLibraryA LoadResource LocalAlloc LocalFree LocalReAlloc LockResource MoveFileA MulDiv
KERNEL32 ReadFile SetCurrentDirectoryA SetErrorMode SetFileAttributesA SizeofResource WritePrivateProfileStringA
KERNEL32 CompareFileTime FlushFileBuffers WriteFile lstrcmpiA GetTempPathA
KERNEL32 lstrcpyA lstrcpynA lstrlenA
USER32 BeginPaint CallWindowProcA ClientToScreen CreateDialogParamA CreateWindowExA DefWindowProcA
USER32 DestroyIcon DestroyWindow DialogBoxParamA DispatchMessageA DrawFocusRect DrawTextA EnableWindow EndDialog
USER32 EndPaint FillRect GetClassNameA GetClientRect GetDC GetDlgCtrlID GetDlgItem GetDlgItemTextA
USER32 GetCapture GetClassLongA GetFocus GetLastActivePopup GetMessageA GetParent GetPropA GetSysColor
USER32 GetSystemMetrics
USER32 GetWindow GetWindowDC
USER32 GetWindowLongA GetWindowRect GetWindowTextA InflateRect InvalidateRect IsDialogMessageA
USER32 IsIconic IsRectEmpty IsWindow IsWindowVisible LoadBitmapA LoadCursorA LoadIconA LoadStringA MoveWindow
USER32 PeekMessageA PostMessageA PostQuitMessage PtInRect RedrawWindow RegisterClassA
USER32 RegisterWindowMessageA
USER32 ReleaseCapture ReleaseDC RemovePropA ScreenToClient SendDlgItemMessageA SendMessageA
USER32 SetCapture SetCursor SetDlgItemTextA SetFocus SetPropA SetWindowLongA SetWindowTextA ShowWindow
USER32 TranslateMessage UnregisterClassA UpdateWindow wsprintfA
USER32 BringWindowToTop CharNextA FindWindowA
'
failures=0
checks=0
check() { # description, then a command
    local what=$1; shift
    checks=$((checks + 1))
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

headers=$("$objdump" -p "$exe")
# "DLL.Function" for every import, from the import tables objdump lists.
imports=$(echo "$headers" | awk '
    /DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
    /^$/ { dll = "" }
    dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll "." $3 }')
allowed_list=$(echo "$allowed" | awk 'NF { for (i = 2; i <= NF; i++) print $1 "." $i }' | sort)

check "imports were read" [ -n "$imports" ]
dlls=$(echo "$headers" | sed -n 's/.*DLL Name: *//p' | tr a-z A-Z | sort | tr '\n' ' ')
check "libraries are GDI32, KERNEL32 and USER32 alone (found: $dlls)" [ "$dlls" = 'GDI32.DLL KERNEL32.DLL USER32.DLL ' ]
extra=$(comm -23 <(echo "$imports" | sort -u) <(echo "$allowed_list"))
check "every import is on the list${extra:+ (not: $(echo $extra))}" [ -z "$extra" ]

val() { echo "$headers" | awk -v k="$1" '$1 == k { print $2; exit }'; }
check "subsystem is Windows GUI" [ "$(val Subsystem)" = 00000002 ]
check "subsystem version 3.10 ($(val MajorSubsystemVersion).$(val MinorSubsystemVersion))" \
    [ "$(val MajorSubsystemVersion).$(val MinorSubsystemVersion)" = 3.10 ]
check "no TLS directory" sh -c "echo \"\$1\" | grep -q 'Entry 9 00000000 00000000 Thread Storage Directory'" _ "$headers"
check "relocations kept" sh -c "echo \"\$1\" | grep -Eq 'Entry 5 [0-9a-f]+ [0-9a-f]*[1-9a-f][0-9a-f]* Base Relocation Directory'" _ "$headers"
# Windows 95 and NT 3.51 run on a 386 or 486 and the first Pentium: none
# of the later processors' instructions (conditional moves, fcomi, MMX, SSE).
later=$("$objdump" -d "$exe" | grep -cE $'\t(cmov|fcmov|fu?comi|bswap|cmpxchg|rdtsc|cpuid)|%xmm|%mm[0-7]')
check "only 386 instructions (later ones: $later)" [ "$later" = 0 ]
sections=$(i686-w64-mingw32-objdump -h "$exe" | awk '$2 ~ /^\./ { print $2 }' | tr '\n' ' ')
check "no runtime sections .CRT or .tls (sections: $sections)" sh -c "! echo '$sections' | grep -Eq '\\.(CRT|tls) '"
check "manifest resource (type 24) present" sh -c "i686-w64-mingw32-windres -i '$exe' -O rc 2>/dev/null | grep -q RT_MANIFEST"

echo "image: $((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
