#!/usr/bin/env bash
# A new user's whole path through the real program under Xvfb: first start on an empty store,
# type the worked example, Calculate, copy, save a report through the real dialog, export
# through a stand-in spreadsheet application, close; start again and find the inputs restored.
# SCREENSHOT=path keeps a picture of the calculated window.
set -euo pipefail
program=$(readlink -f "$1")
work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/out/program.log" ] && tail -n 40 "$work/out/program.log" >&2
    exit 1
}

# Runs a condition (a shell command) until it holds, for at most $1 seconds: a loaded machine
# may take long, a fixed pause would guess.
wait_for() {
    local end=$((SECONDS + $1))
    shift
    until eval "$*"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

mkdir -p "$work/home" "$work/config" "$work/bin" "$work/out"
chmod 700 "$work/home"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/home
export LC_ALL=C.UTF-8 LANG=en_US.UTF-8 LANGUAGE=en_US
unset QT_QPA_PLATFORM
cat >"$work/bin/soffice" <<STUB
#!/bin/sh
printf '%s\n' "\$@" > "$work/out/soffice-args"
STUB
chmod +x "$work/bin/soffice"
export PATH="$work/bin:$PATH"

# Xvfb picks a display number that no other server holds, so parallel runs never share one.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_for 30 '[ -s "$work/display" ]' || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$work/display")
wait_for 30 'xdpyinfo >/dev/null 2>&1' || fail "Xvfb did not start"

start_program() {
    "$program" >"$work/out/program.log" 2>&1 &
    app_pid=$!
    window=$(xdotool search --sync --onlyvisible --name '^Ravenmoor$' | head -n 1)
    [ -n "$window" ] || fail "the window did not appear"
    # There is no window manager to hand the window the keyboard focus.
    xdotool windowfocus --sync "$window"
    # The client area lies below the menu bar.
    menu=$(( $(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p') - 259 ))
    # The window writes its inputs back once loaded.
    wait_for 30 "grep -q '^Text3=' \"\$ini\" 2>/dev/null" || fail "the inputs were not stored"
}

# Clicks at a point given in the client area's own pixels.
click() {
    xdotool mousemove --window "$window" "$1" $(( $2 + menu )) click 1
}

clipboard() { xclip -o -selection clipboard 2>/dev/null | tr -d '\0' || true; }
# Empties the clipboard, runs the command, and waits until some program puts text there.
copy_with() {
    printf 'none' | xclip -i -selection clipboard
    "$@"
    wait_for 30 '[ "$(clipboard)" != none ]' || fail "nothing was copied by: $*"
}

ini=$XDG_CONFIG_HOME/Kestrelor.ini

# First start: empty store, defaults shown and written back.
start_program
grep -q '^Text1=100000' "$ini" || fail "default principal not stored"
grep -q '^Text2=12' "$ini" || fail "default months not stored"
grep -q '^Text3=10.75' "$ini" || fail "default rate not stored"

# Text1 has the focus with its text selected, so typing replaces it.
xdotool type --delay 40 '100000'
xdotool key Tab
xdotool type --delay 40 '12'
xdotool key Tab
xdotool type --delay 40 '11'
xdotool key Return
wait_for 30 "grep -q '^Text3=11\$' \"\$ini\"" || fail "typed rate not stored"
[ -n "${SCREENSHOT:-}" ] && import -window "$window" "$SCREENSHOT"

# Copy Results To Clipboard.
copy_with click 664 238
copied=$(clipboard)
first=$(printf '%s' "$copied" | head -n 1)
case "$first" in
    1*100000*7921.5*916.67*92078.5*) ;;
    *) fail "unexpected first copied line: $first" ;;
esac
[ "$(printf '%s' "$copied" | grep -c $'\r$')" -eq 13 ] || fail "copied text is not 13 CR LF lines"
# The same by keyboard.
copy_with xdotool key ctrl+shift+c
[ "$(clipboard)" = "$copied" ] || fail "Ctrl+Shift+C did not copy the results"

# Save Results As Text File through the real dialog.
report=$work/out/report.txt
click 664 204
dialog=$(xdotool search --sync --onlyvisible --name '^Save' | head -n 1)
[ -n "$dialog" ] || fail "the save dialog did not appear"
# Title bars read exactly as given; the desktop still knows the program by its name.
xprop -id "$dialog" _NET_WM_NAME | grep -qx '_NET_WM_NAME(UTF8_STRING) = "Save"' ||
    fail "save dialog title: $(xprop -id "$dialog" _NET_WM_NAME)"
xprop -id "$window" WM_CLASS | grep -q '"ravenmoor"' || fail "WM_CLASS: $(xprop -id "$window" WM_CLASS)"
xdotool windowfocus --sync "$dialog"
xdotool key ctrl+a
xdotool type --delay 20 "$report"
xdotool key Return
wait_for 30 '[ -s "$report" ]' || fail "no report written"
head -n 1 "$report" | grep -q $'^# \tDate' || fail "report header line missing"
[ "$(wc -l <"$report")" -eq 14 ] || fail "report is not header plus 13 lines"

# Save Results As Excel File, through the stand-in spreadsheet application.
click 928 205
wait_for 30 '[ -s "$work/out/soffice-args" ]' || fail "the spreadsheet application was not started"
grep -qx -- '--calc' "$work/out/soffice-args" || fail "soffice not asked for Calc"
grep -qx -- '-n' "$work/out/soffice-args" || fail "soffice not asked for a new document"
workbook=$(tail -n 1 "$work/out/soffice-args")
[ -s "$workbook" ] || fail "workbook $workbook not written"

# Close the window; the process ends.
xdotool windowfocus --sync "$window" key ctrl+q
wait_for 30 '! kill -0 "$app_pid" 2>/dev/null' || fail "the program did not end when its window closed"
wait "$app_pid" || fail "the program exited with a failure"
app_pid=

# Second start: the inputs come back; Text1 has the focus with its text selected.
start_program
copy_with xdotool key ctrl+c
[ "$(clipboard)" = 100000 ] || fail "principal not restored: $(clipboard)"
copy_with xdotool key Tab ctrl+c
[ "$(clipboard)" = 12 ] || fail "months not restored"
copy_with xdotool key Tab ctrl+c
[ "$(clipboard)" = 11 ] || fail "rate not restored"
xdotool windowfocus --sync "$window" key ctrl+q
wait "$app_pid" || fail "the program exited with a failure"
app_pid=
echo "end-to-end path OK"
