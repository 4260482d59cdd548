#!/usr/bin/env bash
# Drives the installer's pages with the keyboard on $DISPLAY as a user
# would: Enter on each page, and a screenshot of each page into the given
# directory, named after the caption of the page on top (01-Welcome.png,
# 03-Plug-in-location.png ...). A shot is kept only when its page was on
# top both before and after it was taken: with a small payload INSTALLING
# may be over before anyone can look, and then it gets no shot.
set -u
out=${1:?screens directory}
pages=('Welcome!' 'Platform' 'Plug-in location...' 'Installing...' 'Congratulations...' 'Restart Windows...' 'Warning...' 'Alert!')
n=0

slug() { printf '%s' "$1" | sed 's/[^A-Za-z0-9-]\{1,\}/-/g; s/^-//; s/-$//'; }
press() { xdotool key --clearmodifiers "$1"; }

# The caption of the topmost visible page, or nothing (xwininfo lists the
# root window's children top first).
top_page() {
    local visible id caption p
    visible=" $(xdotool search --onlyvisible --name '.' 2>/dev/null | tr '\n' ' ') "
    while read -r id caption; do
        [[ $visible == *" $((id)) "* ]] || continue
        for p in "${pages[@]}"; do
            [ "$caption" = "$p" ] && { printf '%s' "$p"; return 0; }
        done
    done < <(xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-fA-F]*\) "\(.*\)": .*/\1 \2/p')
}

# wait_top SECONDS CAPTION...: waits until a page with one of the captions
# is on top and prints its caption.
wait_top() {
    local limit=$(( $1 * 5 )) t=0 top p
    shift
    while [ "$t" -lt "$limit" ]; do
        top=$(top_page)
        for p in "$@"; do
            [ "$top" = "$p" ] && { printf '%s\n' "$top"; return 0; }
        done
        sleep 0.2; t=$((t + 1))
    done
    return 1
}

# shot CAPTION: the next numbered screenshot, kept only when that page was
# on top before and after it was taken.
shot() {
    local tmp=$out/.shot.png
    [ "$(top_page)" = "$1" ] && import -window root "$tmp" 2>/dev/null && [ "$(top_page)" = "$1" ] || {
        rm -f "$tmp"
        echo "drive-pages: \"$1\" was not on top for its screenshot" >&2
        return 1
    }
    n=$((n + 1))
    mv "$tmp" "$out/$(printf '%02d' $n)-$(slug "$1").png"
}

for page in 'Welcome!' 'Platform' 'Plug-in location...'; do
    if ! wait_top 30 "$page" >/dev/null; then
        echo "drive-pages: page \"$page\" did not appear" >&2
        import -window root "$out/missing-$(slug "$page").png" 2>/dev/null
        exit 1
    fi
    sleep 0.5
    shot "$page"
    press Return
done

# INSTALLING while it lasts, then the closing page (FAILURE after an alert).
page=$(wait_top 60 'Installing...' 'Congratulations...' 'Restart Windows...' 'Warning...' 'Alert!') || {
    echo "drive-pages: no page after the plug-in directory" >&2
    exit 1
}
if [ "$page" = 'Installing...' ]; then
    sleep 0.3
    shot "$page"
else
    echo "drive-pages: INSTALLING was not on top when looked for (over, or under an alert): no screenshot of it" >&2
fi
while page=$(wait_top 120 'Congratulations...' 'Restart Windows...' 'Warning...' 'Alert!'); do
    sleep 0.5
    shot "$page"
    press Return
    [ "$page" = 'Alert!' ] || break
    # the alert's page goes before FAILURE comes
    t=0; while [ "$(top_page)" = 'Alert!' ] && [ "$t" -lt 300 ]; do sleep 0.1; t=$((t + 1)); done
done
