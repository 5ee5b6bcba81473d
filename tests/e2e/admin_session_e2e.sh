#!/usr/bin/env bash
# End-to-end test of a whole administrator's session in the real pelorin, on a private Xvfb
# display driven with xdotool: the administrator logs on, adds two users (one with a password,
# a network name and rights), edits his own record, deletes one of the new users and closes the
# main window. The file written back must hold exactly those changes (usrpass list --json), and
# the new user, logging on, must get only the dialog for his own password.
#
#   admin_session_e2e.sh PELORIN USRPASS HELPFILE [SCREENSHOT_DIR]
#
# With SCREENSHOT_DIR the main window and the user editor are also saved there as PNG files
# (docs/main-window.png and docs/user-editor.png come from it; with openbox installed they show
# the window frame and caption). PELORIN_E2E_FAILSHOT=FILE.png
# saves the whole screen when a step fails.
# Every wait is bounded; on any failure the processes are killed and the script exits 1.
set -uo pipefail

pelorin=$1 usrpass=$2 helpfile=$3 shots=${4:-}
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "admin session"
type_delay=80

# wait_gone WINDOW: waits until the window is no longer shown.
wait_gone() {
    local i
    for i in $(seq 100); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        [ "$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Map State: //p')" = IsViewable ] ||
            return 0
        sleep 0.1
    done
    fail "window $1 ($2) did not close"
}

# click WINDOW X Y: a left click at client coordinates of the window (the forms' own layout).
click() {
    focus "$1"
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
}

frame=()
start_window_manager() {
    [ -n "$shots" ] && command -v openbox >/dev/null || return 0
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    frame=(-frame)
    sleep 1
}

shoot() { # WINDOW NAME
    [ -n "$shots" ] || return 0
    sleep 0.5
    import "${frame[@]}" -window "$1" "$shots/$2.png" || fail "could not save $2.png"
}

# Places of the controls, in the windows' own pixels (the forms are laid out at fixed places).
main_add=(25 25) main_edit=(105 25) main_delete=(65 25) main_close=(185 25)
ed_zortan_password=(417 67) ed_group_other=(361 159) ed_all_to_user=(233 270)
ed_object_2=(40 366) ed_signature=(20 458) ed_ok=(47 500)

require_tools jq xwininfo
start_display
start_window_manager
install_app
printf 'admin\n' | "$usrpass" init "$users" --admin admin --password-stdin >/dev/null ||
    fail "usrpass init failed"
"$usrpass" list "$users" --json >"$work/before.json" || fail "usrpass list failed"
admin_id=$(jq '.users[0].id' "$work/before.json")
last_id=$(jq '.lastId' "$work/before.json")

# --- The administrator's session.
start_pelorin
p=$started
w=$(wait_window "$p" '^Logowanie$') || fail "no logon dialog"
logon "$w" admin admin
main=$(wait_window "$p" '^Menedżer użytkowników$') || fail "no main window for the administrator"

# Add "jan": names, a Zortan password, the whole group "inne", object 2.
click "$main" "${main_add[@]}"
ed=$(wait_window "$p" '^Dodaj nowego użykownika$') || fail "Add opened no editor"
type_text "$ed" 'Jan Kowalski'
press "$ed" Tab
type_text "$ed" jan
press "$ed" Tab
type_text "$ed" jan.net
click "$ed" "${ed_zortan_password[@]}"
# The caption names the stored logon name, which a new user gets only at OK.
pw=$(wait_window "$p" '^Zmień hasło użytkownika: $') || fail "no password dialog for jan"
type_text "$pw" tajne
press "$pw" Tab
type_text "$pw" tajne
press "$pw" Return
wait_gone "$pw" "password dialog"
click "$ed" "${ed_group_other[@]}"
click "$ed" "${ed_all_to_user[@]}"
click "$ed" "${ed_object_2[@]}"
press "$ed" space
shoot "$ed" user-editor
click "$ed" "${ed_ok[@]}"
wait_gone "$ed" "editor"

# Add "tymczasowy" with nothing but a logon name, confirmed with Enter.
click "$main" "${main_add[@]}"
ed=$(wait_window "$p" '^Dodaj nowego użykownika$') || fail "the second Add opened no editor"
press "$ed" Tab
type_text "$ed" tymczasowy
press "$ed" Return
wait_gone "$ed" "editor"

# Edit the administrator (the current row when the window opened): full name and signature.
click "$main" "${main_edit[@]}"
ed=$(wait_window "$p" '^Modyfikuj opis lub prawa użytkownika$') || fail "Edit opened no editor"
press "$ed" ctrl+a
type_text "$ed" 'Administrator Łódź'
click "$ed" "${ed_signature[@]}"
press "$ed" Return
wait_gone "$ed" "editor"

# Delete row 3, "tymczasowy", chosen with the keyboard.
press "$main" Down Down
shoot "$main" main-window
click "$main" "${main_delete[@]}"
click "$main" "${main_close[@]}"
wait_exit "$p"

# --- Exactly those changes were written back.
"$usrpass" list "$users" --json >"$work/after.json" || fail "the written file does not load"
jq -e --argjson admin "$admin_id" --argjson last "$last_id" '
    .lastId == $last + 2 and (.users | length) == 2 and
    .users[0] == {id: $admin, name: "Administrator Łódź", userName: "admin", netUserName: "",
                  rights: 129, objects: 0, hasPassword: true, hasNetPassword: false,
                  rightsText: "Is "} and
    .users[1] == {id: ($last + 1), name: "Jan Kowalski", userName: "jan",
                  netUserName: "jan.net", rights: 7, objects: 2, hasPassword: true,
                  hasNetPassword: false, rightsText: "Id If "}' "$work/after.json" >/dev/null ||
    fail "the file holds other changes: $(cat "$work/after.json")"

# --- The new user logs on: only his password dialog, then the program ends.
start_pelorin
p=$started
w=$(wait_window "$p" '^Logowanie$') || fail "no logon dialog for jan"
logon "$w" jan tajne
pw=$(wait_window "$p" '^Zmień hasło użytkownika: jan$') || fail "jan got no password dialog"
[ "$(visible_windows "$p")" -eq 1 ] || fail "jan sees more than his password dialog"
type_text "$pw" nowe
press "$pw" Tab
type_text "$pw" nowe
press "$pw" Return
wait_exit "$p"
"$usrpass" list "$users" --json | jq -e --slurpfile before "$work/after.json" \
    '. == $before[0]' >/dev/null || fail "jan's password change changed the listing"

# His new password lets him in, and only to his password dialog again.
start_pelorin
p=$started
w=$(wait_window "$p" '^Logowanie$') || fail "no logon dialog"
logon "$w" jan nowe
pw=$(wait_window "$p" '^Zmień hasło użytkownika: jan$') || fail "jan's new password was refused"
press "$pw" Escape
wait_exit "$p"

echo "PASS [admin session]"
