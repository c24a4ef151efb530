#!/usr/bin/env bash
# What an Enter and a typed letter cost in the middle of a large text, in this editor (its
# right pane in vertical and in horizontal writing) and in FeatherPad, a plain Qt editor,
# in the same run under one X server: the CPU time the process spends per key (user and
# system, from /proc), less what it spends idle over the same time.
#
#   bench/editor_against_featherpad.sh KOTONAMI_BINARY [MEGABYTES] [PRESSES]
#
# Needs Xvfb, xdotool and featherpad (Debian's `featherpad`). Prints one line per editor
# and key; with SHOTS_DIR set, a screenshot of each editor before its keys goes there.
# The CPU a key leaves behind counts too: in this editor, the recovery copy of the whole text
# written 3 s after the last change and at least every 30 s while the text changes.
set -euo pipefail
binary="$(realpath "$1")"
megabytes="${2:-50}"
presses="${3:-60}"
for tool in Xvfb xdotool featherpad; do
    command -v "$tool" >/dev/null || {
        echo "needs $tool (apt install xvfb xdotool featherpad)" >&2
        exit 2
    }
done
export LC_ALL=C.UTF-8
unset DISPLAY
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# (Read by session.sh.)
# shellcheck disable=SC2034
artifacts="${SHOTS_DIR:-$(mktemp -d)}"
# shellcheck source=../tests/e2e/session.sh
source "$here/tests/e2e/session.sh"
begin_run
start_x_server

mkdir -p "$work/home/.config" "$work/runtime" "$work/state"
chmod 700 "$work/runtime"
text="$work/poems.txt"
# Lines of a tanka's length, with one marker line in the middle to find.
python3 - "$text" "$megabytes" <<'EOF'
import sys
path, megabytes = sys.argv[1], int(sys.argv[2])
line = "秋の田のかりほの庵の苫をあらみわが衣手は露にぬれつつ　%d\n"
size, n, lines = megabytes * 1024 * 1024, 0, []
total = 0
while total < size:
    s = line % n
    lines.append(s)
    total += len(s.encode())
    n += 1
lines.insert(len(lines) // 2, "MIDDLEMARK\n")
open(path, "w", encoding="utf-8").write("".join(lines))
EOF

ticks="$(getconf CLK_TCK)"
cpu_ms() { awk -v t="$ticks" '{ print ($14 + $15) * 1000 / t }' "/proc/$1/stat"; }
# settle PID: waits until the process spends under 2 % of a core for 2 s (its file read).
settle() {
    local before after
    for _ in $(seq 120); do
        before="$(cpu_ms "$1")"
        sleep 2
        after="$(cpu_ms "$1")"
        if awk -v a="$before" -v b="$after" 'BEGIN { exit !(b - a < 40) }'; then
            return 0
        fi
    done
    fail "the editor never settled"
}

now() { date +%s.%N; }
# per_key PID KEY NAME: the CPU milliseconds per press of KEY, with the work the presses
# leave behind (until the process is quiet again), less the CPU the process spends idle
# (timers, the caret's blinking) over the same time.
per_key() {
    local interval=0.15 idle_start idle_end t0 t1 start end idle_seconds=6
    settle "$1"
    idle_start="$(cpu_ms "$1")"
    sleep "$idle_seconds"
    idle_end="$(cpu_ms "$1")"
    start="$(cpu_ms "$1")"
    t0="$(now)"
    for _ in $(seq "$presses"); do
        xdotool key "$2"
        sleep "$interval"
    done
    settle "$1"
    end="$(cpu_ms "$1")"
    t1="$(now)"
    awk -v s="$start" -v e="$end" -v is="$idle_start" -v ie="$idle_end" -v n="$presses" \
        -v t0="$t0" -v t1="$t1" -v idle="$idle_seconds" -v name="$3" 'BEGIN {
            rate = (ie - is) / idle
            printf "%-44s %6.2f ms of CPU per key\n", name, ((e - s) - rate * (t1 - t0)) / n
        }'
}

run_env=(env -u QT_IM_MODULE -u XMODIFIERS -u GTK_IM_MODULE -u QT_QPA_PLATFORM
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_STATE_HOME="$work/state"
    XDG_RUNTIME_DIR="$work/runtime")

# to_marker WINDOW: the caret onto the marker line through the editor's own find (Ctrl+F,
# the marker, Enter), the find closed, then to the line's end.
to_marker() {
    xdotool windowfocus --sync "$1"
    sleep 0.5
    xdotool key ctrl+f
    sleep 1.5
    xdotool type --delay 40 MIDDLEMARK
    xdotool key Return
    sleep 3
    xdotool key Escape
    sleep 1
    xdotool key End
}

echo "$megabytes MB, $presses presses of each key, $(nproc) cores"

# measure_kotonami WRITING [silent]: the right pane in vertical or horizontal writing; with
# "silent", Joyful writing (a line read aloud as Enter ends it, on by default) turned off.
measure_kotonami() {
    local writing="$1" name="Kotonami ($1${2:+, silent})"
    step "$name"
    cd "$work"
    "${run_env[@]}" "$binary" "$text" >>"$work/app.log" 2>&1 &
    app_pid=$!
    wait_for 60 "the main window" window_named '^(Kotonami|/|新規|poems)'
    settle "$app_pid"
    local main
    main="$(xdotool search --onlyvisible --name 'poems' | head -n 1)"
    if [ "$writing" = horizontal ]; then
        xdotool windowfocus --sync "$main"
        xdotool key alt+v
        sleep 0.5
        xdotool key t
        settle "$app_pid"
    fi
    if [ -n "${2:-}" ]; then
        xdotool windowfocus --sync "$main"
        xdotool key ctrl+j
    fi
    to_marker "$main"
    settle "$app_pid"
    [ -z "${SHOTS_DIR:-}" ] || shot "kotonami-$writing${2:+-silent}"
    per_key "$app_pid" Return "$name, Enter"
    per_key "$app_pid" a "$name, a letter"
    kill -KILL "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
    rm -rf "$work/state/kotonami" "$work/home/.config/kotonami"
}

measure_kotonami vertical
measure_kotonami vertical silent
measure_kotonami horizontal silent

step "FeatherPad"
"${run_env[@]}" featherpad "$text" >>"$work/app.log" 2>&1 &
app_pid=$!
wait_for 60 "FeatherPad's window" window_named 'poems'
settle "$app_pid"
main="$(xdotool search --onlyvisible --name 'poems' | head -n 1)"
to_marker "$main"
# The search bar's text emptied, so that no highlighting of its matches follows the edits.
xdotool key ctrl+f ctrl+a BackSpace Escape End
settle "$app_pid"
[ -z "${SHOTS_DIR:-}" ] || shot featherpad
per_key "$app_pid" Return "FeatherPad, Enter"
per_key "$app_pid" a "FeatherPad, a letter"
