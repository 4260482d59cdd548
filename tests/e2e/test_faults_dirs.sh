#!/usr/bin/env bash
# Directory texts that are too long or cannot be, one row each (see
# faults-lib.sh).
. "$(dirname "$0")/e2e-lib.sh"
. "$(dirname "$0")/faults-lib.sh"

# --- rows ----------------------------------------------------------------

# Directory texts: 146 characters fit, 147 and 158 are refused on the page.
long_dir() { # length: c:\ + 100 x + \ + y... 
    local n=$(( $1 - 104 ))
    printf 'c:\\%s\\%s' "$(printf 'x%.0s' $(seq 100))" "$(printf 'y%.0s' $(seq $n))"
}
for len in 146 147 158; do
    e2e_begin "dir-$len"
    mkdir -p "$E2E_C/$(printf 'x%.0s' $(seq 100))"
    PS=$E2E_C/$(printf 'x%.0s' $(seq 100))
    to_plugin -s
    xdotool type --delay 5 "$(long_dir $len)"
    e2e_key Return
    if [ "$len" = 146 ]; then
        ends_on 'Congratulations...'
        check "dir-146: installed" same_file "$P/zrfilt32.8bf" "$PS/$(printf 'y%.0s' $(seq 42))/zrfilt32.8bf"
    else
        check "dir-$len: refused with a message" e2e_page 'Alert!' 10
        e2e_shot refused
        e2e_key Return
        check "dir-$len: still on the directory page" e2e_page 'Plug-in location...' 5
        e2e_key Escape
        ends_on 'Warning...'
        check "dir-$len: nothing created" [ -z "$(ls "$PS")" ]
    fi
    row_end
done

# Directories that cannot be: a drive that does not exist, only blanks,
# characters the file system refuses.
for row in 'nodrive|q:\plugins' 'blanks|    ' 'badchars|c:\a<b>|c'; do
    name=${row%%|*}; text=${row#*|}
    e2e_begin "dir-$name"
    to_plugin -s
    xdotool type --delay 20 "$text"
    e2e_key Return
    check "dir-$name: not accepted" e2e_gone 'Installing...' 1
    check "dir-$name: no DONE page" sh -c "! xdotool search --onlyvisible --name '^Congratulations...\$' >/dev/null"
    e2e_shot refused
    # whatever page explains it, OK leads back to the directory page
    cap=$(e2e_page_any 10 'Bad Path' 'Alert!') && { echo "dir-$name: explained by \"$cap\""; e2e_key Return; }
    check "dir-$name: back on the directory page" e2e_page 'Plug-in location...' 5
    e2e_key Escape
    ends_on 'Warning...'
    row_end
done

e2e_finish
