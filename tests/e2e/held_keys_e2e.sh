#!/usr/bin/env bash
# End-to-end test of held keys in the real pelorin under Xvfb, on a loaded machine: under X11 a
# held key sends a release and a press for each repeat, and a busy program reads them late.
# Del held for two seconds, five times over, deletes exactly one user each time, while Down held
# before it moves on by its repeats; Ins held opens one editor; Enter held opens the editor and
# leaves it open (its repeats confirm nothing).
#
#   held_keys_e2e.sh PELORIN USRPASS HELPFILE
#
# Two busy loops load the machine meanwhile, and thousands of users keep the program busy
# refilling its list after each deletion.
set -uo pipefail

pelorin=$1 usrpass=$2 helpfile=$3
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "held keys"

users_count=5000

# hold WINDOW KEY SECONDS: the key goes down in the window and comes up that much later.
hold() {
    focus "$1"
    xdotool keydown "$2"
    sleep "$3"
    xdotool keyup "$2"
    sleep 0.5
}

# The main window of a new pelorin run by the administrator.
open_main_window() {
    start_pelorin
    p=$started
    local w
    w=$(wait_window "$p" '^Logowanie$') || fail "no logon dialog"
    logon "$w" admin admin
    main=$(wait_window "$p" '^Menedżer użytkowników$') || fail "no main window"
}

close_main_window() {
    xdotool mousemove --window "$main" 185 25 click 1
    wait_exit "$p"
}

# Windows of the run other than the main window, by name, one a line.
other_windows() { windows_of "$p" | cut -f2 | grep -v '^Menedżer użytkowników$'; }

require_tools jq
start_display
install_app
# init draws the first Id at random up to 63001, as the window's first Add does, and Ids end at
# 65525: draw again until the users fit.
for try in $(seq 20); do
    rm -f "$users" "$users-"
    printf 'admin\n' | "$usrpass" init "$users" --admin admin --password-stdin >/dev/null ||
        fail "usrpass init failed"
    last_id=$("$usrpass" list "$users" --json | jq '.lastId')
    [ "$last_id" -le $((65525 - users_count)) ] && break
done
jq -n --argjson n "$users_count" '{users: [range($n) | {userName: "u\(.)"}]}' |
    "$usrpass" import "$users" >/dev/null || fail "usrpass import failed"
# Each loop ends by itself when this script is gone, however it ends.
for loop in 1 2; do
    (while kill -0 $$ 2>/dev/null; do :; done) &
    pids+=("$!")
done

# Down held first: its repeats move the selection on, so they do arrive; then Del held.
for run in 1 2 3 4 5; do
    "$usrpass" list "$users" | sort >"$work/before" || fail "usrpass list failed"
    open_main_window
    hold "$main" Down 1.5
    hold "$main" Delete 2
    close_main_window
    "$usrpass" list "$users" | sort >"$work/after" || fail "the written file does not load"
    gone=$(comm -23 "$work/before" "$work/after" | cut -f3 | tr '\n' ' ')
    echo "run $run: Del held 2 s deleted: $gone"
    [ "$(wc -l <"$work/after")" -eq $(($(wc -l <"$work/before") - 1)) ] && [ -n "$gone" ] ||
        fail "run $run: Del held deleted not one user but: $gone"
    [ "${gone//[^0-9]/}" -ge 3 ] || fail "run $run: Down held did not repeat (deleted $gone)"
done

# Ins: one editor, and none after it is cancelled. Enter: the editor stays open.
open_main_window
hold "$main" Insert 2
[ "$(other_windows)" = 'Dodaj nowego użykownika' ] ||
    fail "Ins held: not one editor but: $(other_windows | tr '\n' '|')"
press "$(wait_window "$p" '^Dodaj')" Escape
sleep 1
[ -z "$(other_windows)" ] || fail "Ins held: more editors after the first: $(other_windows)"
hold "$main" Return 2
[ "$(other_windows)" = 'Modyfikuj opis lub prawa użytkownika' ] ||
    fail "Enter held: not the one open editor but: $(other_windows | tr '\n' '|')"
press "$(wait_window "$p" '^Modyfikuj')" Escape
sleep 0.5
close_main_window
left=$("$usrpass" list "$users" --json | jq '.users | length')
[ "$left" -eq $((users_count + 1 - 5)) ] || fail "Ins and Enter changed the users: $left left"

echo "PASS [held keys]"
