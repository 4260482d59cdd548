#!/usr/bin/env bash
# Whole installs with the keyboard, on each platform the installer knows:
# the pages in order, the right C runtime variant, files byte-exact, exit 0.
. "$(dirname "$0")/e2e-lib.sh"
P=$BUILD_DIR/payload

# install_with_enter PLUGINDIR: Enter on every page of a default install.
install_with_enter() {
    check "WELCOME appears" e2e_page 'Welcome!' 30
    e2e_shot welcome
    e2e_key Return
    check "PLATFORM appears" e2e_page 'Platform'
    e2e_shot platform
    e2e_key Return
    check "PLUGIN appears" e2e_page 'Plug-in location...'
    e2e_shot plugin
    e2e_key Return
    check "DONE appears" e2e_page 'Congratulations...' 30
    e2e_shot done
    e2e_key Return
    check "setup.exe ends" e2e_wait_exit 20
    check "exit code 0" [ "$E2E_RC" = 0 ]
    check "no page left" e2e_gone 'Vellox 2.0 Setup' 2
}

# Windows NT (Wine's default is an NT version): records 0, 2 and 3. The
# relay trace shows each file put in place in one step.
e2e_begin nt
mkdir -p "$E2E_C/ps/plugins"
e2e_ini 'C:\PS\Plugins'
E2E_RELAY=$E2E_SHOTS/nt-relay.log e2e_start
install_with_enter
check "NT: files replaced in one step (MoveFileExA)" called "$E2E_SHOTS/nt-relay.log" MoveFileExA
check "NT: support library installed byte-exact" same_file "$P/zrsupp32.dll" "$E2E_C/ps/plugins/zrsupp32.dll"
check "NT: filter installed byte-exact" same_file "$P/zrfilt32.8bf" "$E2E_C/ps/plugins/zrfilt32.8bf"
check "NT: NT/95 C runtime in the system directory" same_file "$P/msvcrt20.dll" "$E2E_SYS/msvcrt20.dll"
check "NT: no temporary files left" no_temp_files "$E2E_C/ps/plugins"
e2e_end

# Windows 95: the main window leaves the icon height free; records 0, 2, 3.
# MoveFileExA is a failing stub there: the installed runtime is renamed
# aside, the new one renamed into its place, the old one deleted.
e2e_begin win95
e2e_version win95
mkdir -p "$E2E_C/ps/plugins"
e2e_ini 'C:\PS\Plugins'
printf 'previous filter\n' > "$E2E_C/ps/plugins/zrfilt32.8bf"
E2E_RELAY=$E2E_SHOTS/win95-relay.log e2e_start
check "WELCOME appears" e2e_page 'Welcome!' 30
main=$(e2e_window 'Vellox 2.0 Setup')
height=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p')
check "win95: main window is the screen less the icon height ($height)" [ "$height" = $((768 - 32)) ]
e2e_key Return
e2e_page 'Platform' && e2e_key Return
e2e_page 'Plug-in location...' && e2e_key Return
e2e_page 'Congratulations...' 30 && e2e_key Return
e2e_wait_exit 20
check "win95: NT/95 C runtime installed byte-exact" same_file "$P/msvcrt20.dll" "$E2E_SYS/msvcrt20.dll"
check "win95: support library installed byte-exact" same_file "$P/zrsupp32.dll" "$E2E_C/ps/plugins/zrsupp32.dll"
check "win95: previous filter replaced byte-exact" same_file "$P/zrfilt32.8bf" "$E2E_C/ps/plugins/zrfilt32.8bf"
check "win95: no temporary files left" no_temp_files "$E2E_C/ps/plugins"
check "win95: no file set aside left" [ -z "$(ls "$E2E_C/ps/plugins" | grep -vix -e zrsupp32.dll -e zrfilt32.8bf)" ]
check "win95: no MoveFileExA in the relay trace" not_called "$E2E_SHOTS/win95-relay.log" MoveFileExA
check "win95: renamed with MoveFileA" called "$E2E_SHOTS/win95-relay.log" MoveFileA
e2e_end

# Win32s (version win31): records 1, 2 and 3.
e2e_begin win31
e2e_version win31
mkdir -p "$E2E_C/ps/plugins"
e2e_ini 'C:\PS\Plugins'
E2E_RELAY=$E2E_SHOTS/win31-relay.log e2e_start
install_with_enter
check "win31: no MoveFileExA in the relay trace" not_called "$E2E_SHOTS/win31-relay.log" MoveFileExA
check "win31: renamed with MoveFileA" called "$E2E_SHOTS/win31-relay.log" MoveFileA
check "win31: Win32s C runtime installed" same_file "$P/msvcrt20-win32s.dll" "$E2E_SYS/msvcrt20.dll"
check "win31: support library installed" same_file "$P/zrsupp32.dll" "$E2E_C/ps/plugins/zrsupp32.dll"
e2e_end

# Changing the box on the PLATFORM page changes the records taken: NT is
# detected, the user picks Windows 3.1, the Win32s runtime is installed.
e2e_begin platform-change
mkdir -p "$E2E_C/ps/plugins"
e2e_ini 'C:\PS\Plugins'
e2e_start
e2e_page 'Welcome!' 30 && e2e_key Return
check "PLATFORM appears" e2e_page 'Platform'
e2e_du_click 'Platform' 60 73 219 121
e2e_shot platform-win31
e2e_key Return
e2e_page 'Plug-in location...' && e2e_key Return
e2e_page 'Congratulations...' 30 && e2e_key Return
e2e_wait_exit 20
check "changed platform: Win32s C runtime installed" same_file "$P/msvcrt20-win32s.dll" "$E2E_SYS/msvcrt20.dll"
e2e_end

# The same from the keyboard alone: Shift+Tab reaches the last box, the
# arrow keys the first, the space bar checks it; on PLUGIN, Alt+P reaches
# the field, whose text a typed path replaces.
e2e_begin platform-change-keys
mkdir -p "$E2E_C/ps/plugins" "$E2E_C/ps/other"
e2e_ini 'C:\PS\Plugins'
e2e_start
e2e_page 'Welcome!' 30 && e2e_key Return
check "keys: PLATFORM appears" e2e_page 'Platform'
e2e_key shift+Tab Up Up space
e2e_shot platform-keys
e2e_key Return
check "keys: PLUGIN appears" e2e_page 'Plug-in location...'
e2e_key alt+p
e2e_type 'C:\PS\Other'
e2e_shot plugin-keys
e2e_key Return
e2e_page 'Congratulations...' 30 && e2e_key Return
e2e_wait_exit 20
check "keys: Win32s C runtime installed" same_file "$P/msvcrt20-win32s.dll" "$E2E_SYS/msvcrt20.dll"
check "keys: filter installed where typed" same_file "$P/zrfilt32.8bf" "$E2E_C/ps/other/zrfilt32.8bf"
check "keys: nothing in the proposed directory" [ -z "$(ls "$E2E_C/ps/plugins")" ]
e2e_end

e2e_finish
