#!/usr/bin/env bash
# End-to-end tests of the real pelorin: copied with its help file into a temporary directory
# beside a user file made by usrpass, run on a private Xvfb display and driven with xdotool.
#
#   pelorin_e2e.sh SCENARIO PELORIN USRPASS HELPFILE
#
# Every wait is bounded; on any failure the processes are killed and the script exits 1.
set -uo pipefail

scenario=$1 pelorin=$2 usrpass=$3 helpfile=$4
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$scenario"

make_users() {
    printf 'admin\n' | "$usrpass" init "$users" --admin admin --password-stdin >/dev/null ||
        fail "usrpass init failed"
    # An old time stamp tells a written-back file from an untouched one.
    touch -d '2001-01-01 00:00:00' "$users"
    "$usrpass" list "$users" >"$work/users.before" || fail "usrpass list failed"
}

# The message boxes have an empty caption (Qt would show the program's name in an empty title,
# so the toolkit gives it a blank).
wait_box() { wait_window "$1" '^ ?$'; }

# no_window PID WHAT: fails, telling whether and how PID ended.
no_window() {
    if kill -0 "$1" 2>/dev/null; then
        fail "no $2"
    fi
    wait "$1"
    fail "no $2; pelorin ended with status $?"
}

file_untouched() {
    [ "$(stat -c %Y "$users")" -lt 1000000000 ] || fail "the user file was written"
}

file_written_back_and_loadable() {
    [ "$(stat -c %Y "$users")" -gt 1000000000 ] || fail "the user file was not written back"
    "$usrpass" check "$users" >/dev/null || fail "the written file does not load"
    "$usrpass" list "$users" >"$work/users.after" || fail "usrpass list failed"
    cmp -s "$work/users.before" "$work/users.after" || fail "the users changed"
}

scenario_missing_file() {
    start_pelorin
    local p=$started box
    box=$(wait_box "$p") || fail "no message box for the missing file"
    [ "$(visible_windows "$p")" -eq 1 ] || fail "more than the one message box is shown: $(windows_of "$p")"
    press "$box" Return
    wait_exit "$p"
    grep -qF "pelorin: Brak pliku z użytkownikami: $users (plik w katalogu programu;" \
        "$started_log" || fail "stderr does not name the missing file"
    [ ! -e "$users" ] || fail "a user file was created"
    [ -z "$(ls -A "$app" | grep -v -e '^pelorin$' -e '^pelorin.hlp$')" ] || fail "files were created"
}

# The administrator's main window; its Close button is the fifth speed button.
main_window() { wait_window "$1" '^Menedżer użytkowników$'; }
close_main_window() { xdotool mousemove --window "$1" 185 25 click 1; }

scenario_logon_ok() {
    make_users
    start_pelorin
    local p=$started w m
    w=$(wait_window "$p" '^Logowanie$') || no_window "$p" "logon dialog"
    logon "$w" admin admin
    m=$(main_window "$p") || no_window "$p" "main window after the administrator's logon"
    windows_of "$p" | grep -q 'Logowanie' && fail "the logon dialog stayed open"
    close_main_window "$m"
    wait_exit "$p"
    file_written_back_and_loadable
}

scenario_logon_cancel() {
    make_users
    start_pelorin
    local p=$started w
    w=$(wait_window "$p" '^Logowanie$') || no_window "$p" "logon dialog"
    type_text "$w" admin
    press "$w" Escape
    wait_exit "$p"
    file_written_back_and_loadable
}

scenario_refused_then_ok() {
    make_users
    start_pelorin
    local p=$started w box
    w=$(wait_window "$p" '^Logowanie$') || no_window "$p" "logon dialog"
    logon "$w" admin zle
    box=$(wait_box "$p") || fail "no message after a wrong password"
    press "$box" Return
    sleep 0.5
    kill -0 "$p" 2>/dev/null || fail "the program ended after a refused logon"
    wait_window "$p" '^Logowanie$' >/dev/null || fail "the logon dialog closed after a refusal"
    # The name is selected: typing replaces it. The password field kept "zle".
    type_text "$w" admin
    press "$w" Tab ctrl+a
    type_text "$w" admin
    press "$w" Return
    local m
    m=$(main_window "$p") || no_window "$p" "main window after the second attempt"
    close_main_window "$m"
    wait_exit "$p"
    file_written_back_and_loadable
}

scenario_locked() {
    make_users
    start_pelorin
    local first=$started w box
    w=$(wait_window "$first" '^Logowanie$') || fail "no logon dialog in the first copy"
    start_pelorin
    local second=$started
    box=$(wait_box "$second") || fail "the second copy showed no message"
    [ "$(visible_windows "$second")" -eq 1 ] || fail "the second copy shows more than the message"
    press "$box" Return
    wait_exit "$second"
    file_untouched
    kill -0 "$first" 2>/dev/null || fail "the first copy ended"
    logon "$w" admin admin
    local m
    m=$(main_window "$first") || no_window "$first" "main window in the first copy"
    close_main_window "$m"
    wait_exit "$first"
    file_written_back_and_loadable
}

scenario_sigterm() {
    make_users
    local sig
    # In the logon dialog, above it a message box, and in the main window's message loop.
    for sig in TERM INT HUP; do
        touch -d '2001-01-01 00:00:00' "$users"
        start_pelorin
        local p=$started w
        w=$(wait_window "$p" '^Logowanie$') || no_window "$p" "logon dialog"
        if [ "$sig" = INT ]; then
            logon "$w" admin zle
            wait_box "$p" >/dev/null || fail "no message after a wrong password"
        elif [ "$sig" = HUP ]; then
            logon "$w" admin admin
            main_window "$p" >/dev/null || no_window "$p" "main window"
        fi
        kill -s "$sig" "$p"
        wait_exit "$p"
        file_written_back_and_loadable
    done
}

scenario_help() {
    make_users
    start_pelorin
    local p=$started w h
    w=$(wait_window "$p" '^Logowanie$') || no_window "$p" "logon dialog"
    press "$w" F1
    h=$(wait_window "$p" 'pomoc') || fail "F1 opened no help window"
    press "$h" Escape
    sleep 0.5
    ! windows_of "$p" | grep -q 'pomoc' || fail "Esc did not close the help window"
    # Without the help file: a message, and the dialog goes on.
    rm "$app/pelorin.hlp"
    press "$w" F1
    local box
    box=$(wait_box "$p") || fail "no message for the missing help file"
    press "$box" Return
    sleep 0.3
    kill -0 "$p" 2>/dev/null || fail "the program ended"
    press "$w" Escape
    wait_exit "$p"
    file_written_back_and_loadable
}

# The display goes away: once while the logon dialog is shown, once while the administrator has
# the user editor open with rights moved but not confirmed. Each time the user file is written
# back, without the unconfirmed change, and the program ends without a crash.
scenario_display_lost() {
    make_users
    local round p w m ed
    for round in logon editor; do
        [ "$round" = editor ] && start_display
        touch -d '2001-01-01 00:00:00' "$users"
        start_pelorin
        p=$started
        w=$(wait_window "$p" '^Logowanie$') || no_window "$p" "logon dialog"
        if [ "$round" = editor ]; then
            logon "$w" admin admin
            m=$(main_window "$p") || no_window "$p" "main window"
            focus "$m"
            xdotool mousemove --window "$m" 105 25 click 1 # Edit: the administrator
            ed=$(wait_window "$p" '^Modyfikuj') || no_window "$p" "user editor"
            focus "$ed"
            xdotool mousemove --window "$ed" 233 270 click 1 # "<<": every parcel right
            sleep 0.5
        fi
        stop_display
        wait_end "$p"
        # Qt ends the process with exit code 1 when the display goes away; more is a crash.
        [ "$ended_rc" -eq 1 ] ||
            fail "$round: pelorin ended with status $ended_rc when the display went away"
        file_written_back_and_loadable
    done
}

# The user file elsewhere: named by the system-wide setting, which usrpass follows too, or by
# --file, which wins over it. A setting that is not understood stops the program.
scenario_user_file_elsewhere() {
    users=$work/zortan/UsrPass.dat
    mkdir -p "$work/zortan"
    make_users
    printf '# Zortan\nUserFile=%s\n' "$users" >"$PELORIN_CONFIG"
    start_pelorin
    local p=$started w m box rc
    w=$(wait_window "$p" '^Logowanie$') || no_window "$p" "logon dialog"
    # The program holds the lock of the file the setting names.
    "$usrpass" passwd admin --password-stdin </dev/null 2>/dev/null
    rc=$?
    [ "$rc" -eq 5 ] || fail "usrpass on the file of the setting: exit code $rc, not 5 (locked)"
    logon "$w" admin admin
    m=$(main_window "$p") || no_window "$p" "main window"
    close_main_window "$m"
    wait_exit "$p"
    file_written_back_and_loadable
    [ ! -e "$app/UsrPass.dat" ] || fail "a user file appeared beside the program"

    touch -d '2001-01-01 00:00:00' "$users"
    start_pelorin -f "$work/other/UsrPass.dat"
    p=$started
    box=$(wait_box "$p") || fail "no message for the missing file of --file"
    press "$box" Return
    wait_exit "$p"
    grep -qF "Brak pliku z użytkownikami: $work/other/UsrPass.dat (opcja --file)" "$started_log" ||
        fail "stderr does not name the file of --file: $(cat "$started_log")"
    file_untouched

    echo 'UserFile=UsrPass.dat' >"$PELORIN_CONFIG"
    start_pelorin
    p=$started
    box=$(wait_box "$p") || fail "no message for the setting that is not understood"
    press "$box" Return
    wait_end "$p"
    [ "$ended_rc" -eq 78 ] || fail "exit code $ended_rc for a setting not understood, not 78"
    grep -qF "pelorin: $PELORIN_CONFIG, wiersz 1: UserFile musi być ścieżką bezwzględną" \
        "$started_log" || fail "stderr does not name the setting: $(cat "$started_log")"
    file_untouched
}

# No display at all, and one that does not answer: one clear line, exit code 1, file untouched.
scenario_no_display() {
    make_users
    start_display
    local dead=$DISPLAY display out rc
    stop_display
    for display in unset "$dead"; do
        out=$work/no-display.log
        if [ "$display" = unset ]; then
            env -u DISPLAY -u QT_QPA_PLATFORM timeout 20 "$app/pelorin" >"$out" 2>&1
        else
            env -u QT_QPA_PLATFORM DISPLAY="$display" timeout 20 "$app/pelorin" >"$out" 2>&1
        fi
        rc=$?
        [ "$rc" -eq 1 ] || fail "DISPLAY $display: exit code $rc, not 1: $(cat "$out")"
        [ "$(wc -l <"$out")" -eq 1 ] && grep -q '^pelorin: brak dostępu do ekranu' "$out" ||
            fail "DISPLAY $display: not the one line: $(cat "$out")"
        file_untouched
    done
    # The command line needs no display, and a wrong one stops everything else.
    env -u DISPLAY "$app/pelorin" --version >"$out" 2>&1 || fail "--version failed: $(cat "$out")"
    grep -qx 'pelorin (Pelorin) [0-9.]*' "$out" || fail "--version printed $(cat "$out")"
    env -u DISPLAY "$app/pelorin" --help >"$out" 2>&1 || fail "--help failed: $(cat "$out")"
    grep -q -- '-f, --file PLIK' "$out" || fail "--help printed $(cat "$out")"
    env -u DISPLAY "$app/pelorin" --file "$users" --frobnicate >"$out" 2>&1
    rc=$?
    [ "$rc" -eq 64 ] && grep -q '^pelorin: Nieznana opcja: --frobnicate' "$out" ||
        fail "an unknown option: exit code $rc, $(cat "$out")"
    # Without its standard descriptors, which it cannot open again, the program stops at once.
    # (AddressSanitizer's runtime itself spins on them before main: not for its build.)
    if ! ldd "$app/pelorin" | grep -q libasan; then
        (exec <&- >&- 2>&-; ulimit -n 1; exec timeout 20 "$app/pelorin" --file "$users")
        rc=$?
        [ "$rc" -eq 70 ] || fail "without descriptors 0-2: exit code $rc, not 70"
    fi
    file_untouched
}

declare -F "scenario_$scenario" >/dev/null || fail "no such scenario"
[ "$scenario" = no_display ] || start_display
install_app
"scenario_$scenario"
echo "PASS [$scenario]"
