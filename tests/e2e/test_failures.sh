#!/usr/bin/env bash
# Failures end on the page they should, with nothing half-written: a
# missing source, a truncated source over an existing target, Exit on each
# page.
. "$(dirname "$0")/e2e-lib.sh"
P=$BUILD_DIR/payload

through_plugin() {
    e2e_page 'Welcome!' 30 && e2e_key Return
    e2e_page 'Platform' && e2e_key Return
    e2e_page 'Plug-in location...' && e2e_key Return
}

# A missing source: ALERT, then FAILURE; later records are not tried.
e2e_begin missing-source
mkdir -p "$E2E_C/ps/plugins"; e2e_ini 'C:\PS\Plugins'
rm "$E2E_DIST/zrsupp32._ll"
e2e_start
through_plugin
check "ALERT appears" e2e_page 'Alert!' 30
e2e_shot alert
# A screen reader hears the button by its lettering, the message as shown.
names=$(e2e_reader_names 'Alert!')
check "a reader hears ALERT's button as OK" grep -qx 'VelloxShadButt|OK' <<<"$names"
check "a reader hears ALERT's message as shown" grep -q '^VelloxMText|Cannot open ".*zrsupp32._ll"$' <<<"$names"
e2e_key Return
check "FAILURE appears" e2e_page 'Warning...' 10
e2e_shot failure
e2e_key Return
check "setup.exe ends" e2e_wait_exit 20
check "exit code 0" [ "$E2E_RC" = 0 ]
check "record 3 not tried" no_file "$E2E_C/ps/plugins/zrfilt32.8bf"
e2e_end

# A truncated source: the internal error, nothing installed, the old target
# untouched.
e2e_begin truncated-source
mkdir -p "$E2E_C/ps/plugins"; e2e_ini 'C:\PS\Plugins'
printf 'previous filter\n' > "$E2E_C/ps/plugins/zrfilt32.8bf"
cp "$E2E_C/ps/plugins/zrfilt32.8bf" "$BUILD_DIR/test-output/e2e/truncated.ref"
size=$(stat -c %s "$E2E_DIST/zrfilt32._bf")
truncate -s $((size / 2)) "$E2E_DIST/zrfilt32._bf"
e2e_start
through_plugin
check "ALERT appears" e2e_page 'Alert!' 30
e2e_key Return
check "FAILURE appears" e2e_page 'Warning...' 10
e2e_key Return
e2e_wait_exit 20
check "previous target intact" same_file "$BUILD_DIR/test-output/e2e/truncated.ref" "$E2E_C/ps/plugins/zrfilt32.8bf"
check "no temporary file left" no_temp_files "$E2E_C/ps/plugins"
check "the support library before it not installed either" [ "$(ls "$E2E_C/ps/plugins")" = zrfilt32.8bf ]
e2e_end

# Exit on WELCOME ends silently.
e2e_begin exit-welcome
e2e_start
e2e_page 'Welcome!' 30 && e2e_key Escape
check "setup.exe ends after Exit on WELCOME" e2e_wait_exit 15
check "no FAILURE page was needed" [ "$E2E_RC" = 0 ]
e2e_end

# Exit on PLUGIN shows FAILURE.
e2e_begin exit-plugin
e2e_ini 'C:\PS\Plugins'
e2e_start
e2e_page 'Welcome!' 30 && e2e_key Return
e2e_page 'Platform' && e2e_key Return
e2e_page 'Plug-in location...' && e2e_key Escape
check "FAILURE after Exit on PLUGIN" e2e_page 'Warning...' 10
e2e_key Return
check "setup.exe ends" e2e_wait_exit 15
check "nothing installed" no_file "$E2E_C/ps"
e2e_end

e2e_finish
