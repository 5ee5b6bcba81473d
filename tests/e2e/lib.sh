# Shared by the end-to-end scripts (sourced, not run): a private Xvfb display, copies of the real
# pelorin started in a temporary directory, bounded waits for their windows and their end, and
# keyboard and mouse input through xdotool.
#
# e2e_begin NAME sets work, app and users and arranges the clean-up; fail kills everything that
# was started and exits 1. PELORIN_E2E_FAILSHOT=FILE.png saves the whole screen when a step fails.

# Milliseconds between typed characters (xdotool may drop Polish letters typed faster).
type_delay=30

e2e_begin() { # NAME (shown in failures)
    e2e_name=$1
    work=$(mktemp -d)
    app=$work/app
    users=$app/UsrPass.dat
    pids=()
    xvfb_pid=
    wm_pid=
    n_started=0
    # The machine's own /etc/pelorin.conf must not count; a scenario may write this one.
    export PELORIN_CONFIG=$work/pelorin.conf
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    local p
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    # Waited for, so that its socket is gone before the next test's server takes the number.
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}

fail() {
    echo "FAIL [$e2e_name]: $*" >&2
    [ -n "${PELORIN_E2E_FAILSHOT:-}" ] && import -window root "$PELORIN_E2E_FAILSHOT"
    local log
    for log in "$work"/pelorin.*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
    done
    exit 1
}

require_tools() { # TOOL...
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps)"
    done
}

# Starts a private Xvfb on a free display (-displayfd, so tests may run side by side) and waits
# until it answers. Starts another when the server dies: two servers started at the same moment
# may both pick the same number, and the loser exits. -noreset: by default the server resets when
# its last client leaves (here the probe), and a client connecting during the reset is refused.
start_display() {
    require_tools Xvfb xdotool
    export QT_QPA_PLATFORM=xcb
    local attempt i
    for attempt in 1 2 3 4 5; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" \
            2>"$work/xvfb.log" &
        xvfb_pid=$!
        for i in $(seq 100); do
            [ -s "$work/display" ] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        if [ -s "$work/display" ]; then
            export DISPLAY=:$(head -n1 "$work/display")
            for i in $(seq 50); do
                kill -0 "$xvfb_pid" 2>/dev/null || break
                # Alive after the answer: the answer came from this server, not another one
                # that has the number now.
                xdotool getdisplaygeometry >/dev/null 2>&1 && kill -0 "$xvfb_pid" 2>/dev/null &&
                    return 0
                sleep 0.1
            done
        fi
        stop_display
        sleep 0.$((RANDOM % 5 + 1))
    done
    fail "Xvfb did not start or does not answer: $(cat "$work/xvfb.log")"
}

# Ends the display and waits until it is gone.
stop_display() {
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
}

install_app() {
    mkdir -p "$app"
    cp "$pelorin" "$helpfile" "$app/"
}

# Starts a copy of pelorin with the arguments given; its pid is in $started, its output in
# $started_log.
start_pelorin() {
    n_started=$((n_started + 1))
    started_log=$work/pelorin.$n_started.log
    "$app/pelorin" "$@" >"$started_log" 2>&1 &
    started=$!
    pids+=("$started")
}

# Visible windows of PID, one "id<TAB>name" a line. (xdotool's own --name filter also matches
# the root window, so names are compared here.)
windows_of() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        printf '%s\t%s\n' "$w" "$(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

# wait_window PID NAME_REGEX: prints the id of the visible window of PID with that name.
wait_window() {
    local i w
    for i in $(seq 200); do
        w=$(windows_of "$1" | awk -F'\t' -v re="$2" '$2 ~ re { print $1; exit }')
        [ -n "$w" ] && { echo "$w"; return 0; }
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

visible_windows() { windows_of "$1" | wc -l; }

focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.2
}

# press WINDOW KEY...: gives WINDOW the keyboard, then presses the keys.
press() {
    local w=$1
    shift
    focus "$w"
    xdotool key --clearmodifiers "$@"
}

type_text() { # WINDOW TEXT
    focus "$1"
    xdotool type --clearmodifiers --delay "$type_delay" "$2"
}

logon() { # WINDOW NAME PASSWORD
    type_text "$1" "$2"
    press "$1" Tab
    type_text "$1" "$3"
    press "$1" Return
}

# wait_end PID: waits (bounded), kills it on timeout; its exit code is then in $ended_rc.
wait_end() {
    local i
    for i in $(seq 300); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        kill -9 "$1"
        fail "pelorin (pid $1) did not end"
    fi
    wait "$1"
    ended_rc=$?
}

# wait_exit PID: as wait_end, and fails unless the exit code is 0.
wait_exit() {
    wait_end "$1"
    [ "$ended_rc" -eq 0 ] || fail "pelorin (pid $1) exited with $ended_rc"
}
