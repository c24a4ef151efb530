# Helpers of the end-to-end scripts that drive the real editor under an X server of their
# own. The sourcing script sets `artifacts` (the screenshot folder) and calls begin_run,
# which makes `work` (its scratch folder, where the program's output goes to app.log).

# begin_run: empties the artefact folder of old screenshots, makes the scratch folder and
# sets an exit trap that ends the program (app_pid, with app_kill_signal, TERM unless set)
# and the X server (xvfb_pid), runs the script's own after_run if it has one and removes
# the scratch folder.
begin_run() {
    mkdir -p "$artifacts"
    rm -f "$artifacts"/*.png
    work="$(mktemp -d)"
    xvfb_pid=""
    app_pid=""
    step_name="setting up"
    shot_count=0
    trap end_run EXIT
}

end_run() {
    if [ -n "$app_pid" ]; then
        kill "-${app_kill_signal:-TERM}" "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if declare -F after_run >/dev/null; then after_run; fi
    rm -rf "$work"
}

# next_shot NAME: sets shot_file to the artefact file of the next screenshot.
next_shot() {
    shot_count=$((shot_count + 1))
    shot_file="$(printf '%s/%02d-%s.png' "$artifacts" "$shot_count" "$1")"
}

shot() {
    next_shot "$1"
    import -window root "$shot_file"
    echo "  screenshot $(basename "$shot_file")"
}

fail() {
    echo "FAIL at step \"$step_name\": $*"
    if [ -n "${DISPLAY:-}" ]; then
        shot "failure" 2>/dev/null || true
    fi
    if [ -s "$work/app.log" ]; then
        echo "--- program output ---"
        tail -n 30 "$work/app.log"
    fi
    exit 1
}

step() {
    step_name="$1"
    echo "step $step_name"
}

# poll SECONDS COMMAND...: runs COMMAND (a program or a function of this script) every
# 0.1 s until it succeeds; returns 1 when SECONDS have passed.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# wait_for SECONDS WHAT COMMAND...: poll, ending the test with WHAT when time runs out.
wait_for() {
    local seconds="$1" what="$2"
    shift 2
    poll "$seconds" "$@" || fail "timed out after ${seconds}s waiting for $what"
}

window_named() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# main_window PATTERN: waits for the program's window whose caption matches PATTERN (the
# test fails if the program ends first) and sets main to it.
main_window() {
    local pattern="$1"
    wait_for 20 "a window captioned $pattern" eval "window_named '$pattern' || program_ended"
    program_ended && fail "the program ended before it showed its window"
    main="$(xdotool search --onlyvisible --name "$pattern" | head -n 1)"
}
no_window_named() { ! window_named "$1"; }
program_ended() { ! kill -0 "$app_pid" 2>/dev/null; }

# start_x_server [WxH]: an Xvfb of this run's own (1280x800 unless given), on a display it
# picks itself once it takes clients (runs side by side cannot race for a display); sets
# xvfb_pid and DISPLAY.
start_x_server() {
    Xvfb -displayfd 3 -screen 0 "${1:-1280x800}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for 15 "Xvfb to start" grep -q '[0-9]' "$work/display"
    DISPLAY=":$(tr -dc 0-9 <"$work/display")"
    export DISPLAY
}

# Over the main window: the caller sets win_x, win_y, win_w and bars_tsv (the bars table).
# button_at BAND BAR CONTROL: the button's centre in window coordinates, or nothing. The
# window is read row by row: a row in which five or more button tops begin under an empty
# row is the top of a visible bar (BAND counts them from 1). Only the 26-pixel buttons reach
# that row (the grip, the clock and labels are shorter), so the button is found by its place
# among its bar's buttons in bars.tsv.
button_at() {
    local band="$1" bar="$2" control="$3" index
    index="$(awk -F'\t' -v bar="$bar" -v name="$control" '
        $1 != bar { next }
        $2 == "button" || $2 == "colorbutton" { if ($3 == name) { print n + 0; exit } ++n; next }
        $2 != "grip" && $2 != "separator" && $2 != "clock" && $2 != "label" { exit }
    ' "$bars_tsv")"
    [ -n "$index" ] || return 1
    import -window root -crop "${win_w}x200+${win_x}+${win_y}" +repage -depth 8 \
        "txt:$work/bars.txt" || return 1
    awk -F'[ ,:()]+' -v band="$band" -v idx="$index" -v w="$win_w" '
        NR == 1 { next }
        {
            x = $1; y = $2; v = $3 "," $4 "," $5
            if (x == 0) { bg = v; start = -1; n = 0 }
            if (v != bg && start < 0) start = x
            if ((v == bg || x == w - 1) && start >= 0) {
                if (x - start >= 8) { ++n; from[n] = start; to[n] = x - 1 }
                start = -1
            }
            if (x == w - 1) {
                if (n >= 5 && previous == 0 && ++bands == band) {
                    i = idx + 1
                    if (i > n || to[i] - from[i] < 13 || to[i] - from[i] > 40) exit
                    print int((from[i] + to[i]) / 2), y + 12
                    exit
                }
                previous = n
            }
        }' "$work/bars.txt" | grep .
}

# locate VAR_X VAR_Y BAND BAR CONTROL: button_at into two variables.
locate() {
    local position
    position="$(button_at "$3" "$4" "$5")" ||
        fail "could not find the button $5 of $4 (bar $3 from the top) in the window"
    read -r "$1" "$2" <<<"$position"
}
