#!/usr/bin/env bash
# Starts the real editor under Xvfb with a poem on the command line, waits for its window
# (captioned with the file's path), keeps a screenshot and checks the window drew its bars.
# Usage: startup_smoke.sh KOTONAMI_BINARY ARTIFACT_FOLDER
set -euo pipefail
binary="$1"
artifacts="$2"
mkdir -p "$artifacts"
work="$(mktemp -d)"
xvfb=""
# (An X server still on its way out removes its socket, which a test after this one may
# have been given again: it is waited for.)
trap '[ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }; rm -rf "$work"' EXIT
# An X server of its own, on a display it picks once it takes clients: runs side by side
# cannot race for one (as xvfb-run -a can).
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 1 150); do grep -q '[0-9]' "$work/display" && break; sleep 0.1; done
grep -q '[0-9]' "$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
# 春過ぎて / 夏来にけらし in code page 932
printf '\x8f\x74\x89\xdf\x82\xac\x82\xc4\r\n\x89\xc4\x97\x88\x82\xc9\x82\xaf\x82\xe7\x82\xb5\r\n' >"$work/poem.txt"
cp "$binary" "$work/kotonami"

run_in_x() {
    "$work/kotonami" "$work/poem.txt" >"$work/log" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
        if xwininfo -root -tree 2>/dev/null | grep -q "poem.txt"; then
            break
        fi
        sleep 0.1
    done
    sleep 1 # let the splash close and the window paint
    xwd -root -silent | convert xwd:- "$artifacts/startup.png"
    found=0
    xwininfo -root -tree | grep -q "poem.txt" && found=1
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ "$found" = 1 ] || { echo "no window captioned with the file"; cat "$work/log"; exit 1; }
    # The window is not blank: the screenshot holds many colours (bars, text, panes).
    colours=$(convert "$artifacts/startup.png" -format '%k' info:)
    echo "window found; screenshot has $colours colours"
    [ "$colours" -gt 50 ] || { echo "screenshot looks blank"; exit 1; }
}
run_in_x
echo "1 passed, 0 failed"
