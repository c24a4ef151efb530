#!/usr/bin/env bash
# Typing through a real input method: ibus with Anthy in hiragana mode, on an X server and
# a D-Bus session of the test's own. "natsu", Space to convert, Return to confirm: the
# reading of the confirmed word is spoken once, and the Space the input method took does
# not read the text before the caret again. Checked through KOTONAMI_SPEECH_LOG. A second
# Space opens the candidate window (ibus's own panel): it must open beside the column, right
# of it over the text already written, not over the preedit and the rest of the column.
# Usage: ibus_typing.sh KOTONAMI_BINARY ARTIFACT_FOLDER
set -euo pipefail
binary="$(realpath "$1")"
artifacts="$2"
mkdir -p "$artifacts"
# The engine is a Python program of the system's: the system's interpreter, whatever PATH says.
export PATH="/usr/bin:/bin:$PATH"
unset DISPLAY
for tool in ibus-daemon ibus dbus-launch gsettings Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
work="$(mktemp -d)"
pids=()
cleanup() {
    ibus exit >/dev/null 2>&1 || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
    # (An X server still on its way out removes its socket, which a test after this one
    # may have been given again.)
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $1"
    import -window root "$artifacts/failure.png" 2>/dev/null || true
    echo "--- speech log"; cat "$work/speech.log" 2>/dev/null || true
    echo "--- input method"; tail -5 "$work/ibus.log" 2>/dev/null || true
    exit 1
}
wait_for() {
    local tries=$(($1 * 10)); shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1)); [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 15 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
export XDG_STATE_HOME="$work/state"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
eval "$(dbus-launch --sh-syntax)"
# Anthy starts in hiragana input, as a Japanese user has it.
gsettings set org.freedesktop.ibus.engine.anthy.common input-mode 0
ibus-daemon --xim --replace --cache=refresh --daemonize >"$work/ibus.log" 2>&1
wait_for 15 sh -c 'ibus list-engine | grep -q "anthy"' || fail "ibus does not list Anthy"
# ("ibus engine NAME" may fail while the engine's process starts; asking back tells.)
wait_for 15 sh -c 'ibus engine anthy; ibus engine | grep -qx anthy' ||
    fail "Anthy could not be chosen"

printf '\xe3\x81\xaf\xe3\x82\x8b ' >"$work/poem.txt" # "はる "
cp "$binary" "$work/kotonami"
QT_IM_MODULE=ibus KOTONAMI_SPEECH_LOG="$work/speech.log" "$work/kotonami" "$work/poem.txt" \
    >"$work/app.log" 2>&1 &
pids+=($!)
wait_for 20 sh -c "xdotool search --onlyvisible --name 'poem.txt'" || fail "the window did not appear"
sleep 1 # the splash closes
main="$(xdotool search --onlyvisible --name 'poem.txt' | head -1)"
eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(WIDTH|HEIGHT)=')"
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" $((WIDTH - 60)) $((HEIGHT / 2)) click 1
sleep 0.5
xdotool key ctrl+End
ibus engine anthy || true
: >"$work/speech.log"
xdotool type --delay 120 natsu
sleep 0.5
import -window root "$artifacts/1-preedit.png"
xdotool key space
sleep 0.5
xdotool key space
# (Under load, with other suites running beside this one, the candidate window may take
# longer than a second to show, and the second Space may come before Anthy has converted:
# then a third opens the window.)
shown() { xdotool search --onlyvisible --class ibus-ui-gtk3 | grep -q .; }
if ! wait_for 10 shown; then
    xdotool key space
    wait_for 10 shown || true
fi
sleep 0.5
import -window root "$artifacts/2-converted.png"
eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(X|WIDTH)=')"
main_right=$((X + WIDTH))
candidates=""
for w in $(xdotool search --onlyvisible --class ibus-ui-gtk3 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(X|Y)=')"
    candidates="$X"
done
[ -n "$candidates" ] || fail "no candidate window"
# The composition is in the rightmost column, whose right edge is within 25 pixels of the
# window's: the candidate window starts at or right of it.
[ "$candidates" -ge $((main_right - 25)) ] ||
    fail "the candidate window (left edge $candidates) covers the column (window right $main_right)"
grep -q '^speak' "$work/speech.log" && fail "the Space that converted read something"
xdotool key Return
wait_for 10 grep -q '^speak' "$work/speech.log" || fail "the confirmed word was not read"
sleep 1
import -window root "$artifacts/3-confirmed.png"
[ "$(grep -c '^speak' "$work/speech.log")" -eq 1 ] || fail "more than one reading"
grep -qx 'speak なつ' "$work/speech.log" || fail "the typed reading was not what was read"
# Every edit the input method made was one the undo memory could follow.
grep -q 'undo memory forgets' "$work/app.log" && fail "an edit went unannounced: $(cat "$work/app.log")"
echo "ibus typing: 1 passed, 0 failed"
