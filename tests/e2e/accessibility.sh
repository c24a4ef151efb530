#!/usr/bin/env bash
# The panes as a screen reader reaches them, through AT-SPI on an X server and a D-Bus
# session of the test's own: the shown pane's text, its lines (the columns of vertical
# writing, the rows of horizontal writing) and an insertion through the editable-text
# interface, which Ctrl+Z must take back in either writing. An edit the undo memory could
# not follow would make it forget its steps, with a warning in the program's output.
# Usage: accessibility.sh KOTONAMI_BINARY ARTIFACT_FOLDER
set -euo pipefail
binary="$(realpath "$1")"
artifacts="$2"
here="$(dirname "$(realpath "$0")")"
mkdir -p "$artifacts"
# pyatspi is the system's: the system's interpreter, whatever PATH says.
export PATH="/usr/bin:/bin:$PATH"
unset DISPLAY
# (The session bus starts the accessibility bus through this when the program asks for it.)
launcher=/usr/libexec/at-spi-bus-launcher
for tool in dbus-launch Xvfb xdpyinfo xdotool import "$launcher"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
python3 -c 'import pyatspi' 2>/dev/null || { echo "pyatspi is missing (scripts/setup.sh installs it)"; exit 1; }
work="$(mktemp -d)"
pids=()
cleanup() {
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
    echo "--- program output"; grep -v propagateSizeHints "$work/app.log" 2>/dev/null | tail -20 || true
    exit 1
}
pane() { python3 "$here/atspi_pane.py" "$@"; }
# Waits until the shown pane's text is the one given, for up to $2 seconds (5).
text_becomes() {
    local tries=$((${2:-5} * 10))
    until [ "$(pane text 2>/dev/null)" = "$1" ]; do
        tries=$((tries - 1)); [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 150); do grep -q '[0-9]' "$work/display" && break; sleep 0.1; done
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
export XDG_STATE_HOME="$work/state"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
eval "$(dbus-launch --sh-syntax)"

printf '春過ぎて\n夏来にけらし\n' >"$work/poem.txt"
poem='春過ぎて\n夏来にけらし\n'
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$binary" "$work/poem.txt" >"$work/app.log" 2>&1 &
pids+=($!)
text_becomes "$poem" 30 || fail "no shown pane with the poem over AT-SPI"
main="$(xdotool search --onlyvisible --name 'poem.txt' | head -1)"
xdotool windowfocus --sync "$main"
# Keys go to the pane: a click in it, where the poem is not.
eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(WIDTH|HEIGHT)=')"
click_pane() { xdotool mousemove --window "$main" $((WIDTH / 3)) $((HEIGHT / 2)) click 1; }
# Waits until the shown pane has the keyboard focus, doing $1 again now and then (a click
# that comes while the window is still settling is lost).
has_focus() {
    local tries=100
    until pane focused; do
        tries=$((tries - 1)); [ "$tries" -gt 0 ] || return 1
        if [ -n "${1:-}" ] && [ $((tries % 10)) -eq 0 ]; then "$1"; fi
        sleep 0.1
    done
}
click_pane
has_focus click_pane || fail "the pane did not take the focus"

checks=0
for writing in vertical horizontal; do
    # A reader's line: the first column, or the first row, with its line end.
    [ "$(pane line 2)" = '0 5 春過ぎて\n' ] || fail "$writing: the first line is '$(pane line 2)'"
    pane insert 5 '秋の' || fail "$writing: the insertion was refused"
    text_becomes '春過ぎて\n秋の夏来にけらし\n' || fail "$writing: the insertion is not in the text"
    import -window root "$artifacts/$writing-inserted.png"
    xdotool key ctrl+z
    text_becomes "$poem" || fail "$writing: Ctrl+Z did not take the insertion back: $(pane text)"
    xdotool key ctrl+y
    text_becomes '春過ぎて\n秋の夏来にけらし\n' || fail "$writing: Ctrl+Y did not redo it"
    xdotool key ctrl+z
    text_becomes "$poem" || fail "$writing: the second Ctrl+Z"
    checks=$((checks + 1))
    # 表示 > 縦書き turns the pane to horizontal writing.
    if [ "$writing" = vertical ]; then
        xdotool key alt+v; sleep 0.3; xdotool key t
        # The horizontal view takes the focus once it is shown.
        has_focus || fail "the horizontal view did not take the focus"
    fi
done
grep -q 'undo memory forgets' "$work/app.log" && fail "an edit went past the undo memory"
echo "accessibility: $checks passed, 0 failed"
