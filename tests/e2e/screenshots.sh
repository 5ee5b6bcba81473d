#!/usr/bin/env bash
# Takes the documentation's screenshots of the dialogs on a private Xvfb display:
#   tests/e2e/screenshots.sh BUILD_DIR   (writes docs/logon.png and docs/password.png)
# With openbox installed the shots include the window frame and caption.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/dev}
preview=$build/tests/e2e/pelorin_dialog_preview
[ -x "$preview" ] || { echo "build $preview first" >&2; exit 1; }

work=$(mktemp -d)
Xvfb -noreset -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
wm=
trap '[ -n "$wm" ] && kill $wm 2>/dev/null; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display") QT_QPA_PLATFORM=xcb
frame=()
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    wm=$!
    frame=(-frame)
    sleep 1
fi

# shoot KIND TITLE_REGEX OUTPUT TEXT...: types each TEXT into the next field, then captures.
shoot() {
    local kind=$1 title=$2 out=$3 w="" text
    shift 3
    "$preview" "$kind" &
    local pid=$!
    for _ in $(seq 100); do
        w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1) && [ -n "$w" ] && break
        sleep 0.1
    done
    [ -n "$w" ] || { echo "no window for $kind" >&2; kill $pid; exit 1; }
    xdotool windowfocus --sync "$w"
    local first=1
    for text in "$@"; do
        [ $first -eq 1 ] || xdotool key Tab
        first=0
        xdotool type --delay 20 "$text"
    done
    sleep 0.5
    [[ "$(xdotool getwindowname "$w")" =~ $title ]] || { echo "unexpected title" >&2; exit 1; }
    import "${frame[@]}" -window "$w" "$out"
    kill $pid
    wait $pid 2>/dev/null || true
    echo "wrote $out"
}

shoot logon '^Logowanie$' docs/logon.png admin sekret
shoot password '^Zmień hasło użytkownika: jkowalski$' docs/password.png nowe123 nowe123
