#!/usr/bin/env bash
# Cancel and close while a big file is copied, and a start from a directory
# too deep for the path buffers, one row each (see faults-lib.sh).
. "$(dirname "$0")/e2e-lib.sh"
. "$(dirname "$0")/faults-lib.sh"

# --- rows ----------------------------------------------------------------

# Cancel while a big file is copied (the click arrives while the copy is
# stopped half-way): it is finished, then FAILURE.
e2e_begin cancel-during-copy
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
big_source zrsupp32._ll 192 zrsupp32.dll
through
check "cancel: the copy of the big file is caught under way" stop_in_copy "$PS"
check "cancel: INSTALLING appears" e2e_page 'Installing...' 30
e2e_du_click 'Installing...' 104 72 207 81
setup_resume
ends_on 'Warning...'
check "cancel: the file being copied is complete" same_file "$BIG" "$PS/zrsupp32.dll"
check "cancel: the next file is not copied" no_file "$PS/zrfilt32.8bf"
row_end

# The main window's close box while copying is ignored until the end. The
# requests arrive while the copy of the big file is stopped half-way.
e2e_begin close-during-copy
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
big_source zrsupp32._ll 192 zrsupp32.dll
through
check "close: the copy of the big file is caught under way" stop_in_copy "$PS"
check "close: INSTALLING appears" e2e_page 'Installing...' 30
xdotool mousemove 1011 11 click 1                      # the close box
xdotool mousemove 500 11 click 1                       # a click on the main window,
xdotool key --clearmodifiers alt+F4                    # then Alt+F4
setup_resume
check "close: the main window is still there" e2e_page 'Vellox 2.0 Setup' 1
ends_on 'Congratulations...'
check "close: every file installed" same_file "$P/zrfilt32.8bf" "$PS/zrfilt32.8bf"
check "close: big file complete" same_file "$BIG" "$PS/zrsupp32.dll"
row_end

# setup.exe started from a directory too deep for the 160-character path
# buffers: its own directory cannot be had, so the first record fails with
# a message after the pages, and nothing is installed. The payload lies one
# level up as well, where the module path cut at 160 characters points; it
# must not be taken from there either.
e2e_begin deep-start
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
deep=$(for i in 1 2 3 4; do printf 'level%d-%s/' "$i" "$(printf 'd%.0s' $(seq 34))"; done)
mkdir -p "$E2E_C/$deep"
cp "$E2E_DIST"/*._?? "$E2E_C/${deep%level4-*}"
mv "$E2E_DIST"/* "$E2E_C/$deep"
E2E_DIST=$E2E_C/$deep
E2E_EXE="C:\\$(printf '%s' "$deep" | tr / '\\')setup.exe"
check "deep-start: the directory is longer than 160 characters" [ $(( ${#E2E_EXE} - 9 )) -gt 160 ]
cp "$E2E_SYS/msvcrt20.dll" "$E2E_SHOTS/$E2E_NAME-msvcrt20.before"
through
ends_on 'Alert!'
check "deep-start: nothing installed" [ -z "$(ls "$PS")" ]
check "deep-start: installed runtime untouched" same_file "$E2E_SHOTS/$E2E_NAME-msvcrt20.before" "$E2E_SYS/msvcrt20.dll"
row_end

e2e_finish
