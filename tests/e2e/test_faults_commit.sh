#!/usr/bin/env bash
# A crash inside the commit, on NT and on 95: setup.exe killed on entering
# a rename, and the next start (see faults-lib.sh). Apart from the copy
# rows so that the two run side by side.
. "$(dirname "$0")/e2e-lib.sh"
. "$(dirname "$0")/faults-lib.sh"

for ver in nt win95; do

# setup.exe killed on entering the commit's second rename, the set mixed: a
# next run left at WELCOME puts the old set back; a whole run after it
# installs everything, no stray file left.
e2e_begin "crash-in-commit-$ver"
[ "$ver" = nt ] || e2e_version "$ver"
plugins_at 'C:\PS\Plugins' "$E2E_C/PS/Plugins"
previous_set
to_plugin
check "crash-$ver: strace waits on the Wine server" crash_at_rename 2
e2e_key Return; crash_end
check "crash-$ver: cut short, the set mixed" sh -c "[ -f '$E2E_C/windows/vellox20.cmt' ] && ! cmp -s '$E2E_SHOTS/$E2E_NAME-runtime.before' '$E2E_SYS/msvcrt20.dll'"
e2e_start; e2e_page 'Welcome!' 30 && e2e_key Escape; e2e_wait_exit 20
check "crash-$ver: left at WELCOME, every target as it was" set_unchanged
check "crash-$ver: no record, nothing else left" sh -c "[ ! -f '$E2E_C/windows/vellox20.cmt' ] && [ \$(ls '$PS' | wc -l) = 2 ]"
through
ends_on 'Congratulations...'
check "crash-$ver: then all installed, no stray file" sh -c "cmp -s '$P/zrfilt32.8bf' '$PS/zrfilt32.8bf' && cmp -s '$P/msvcrt20.dll' '$E2E_SYS/msvcrt20.dll' && [ \$(ls '$PS' | wc -l) = 2 ]"
row_end

done

e2e_finish
