# Helpers of the end-to-end scripts that drive the real editor under an X server of their
# own. The sourcing script sets `artifacts` (the screenshot folder) and `work` (its scratch
# folder, where the program's output goes to app.log), and `shot_count=0`.

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
no_window_named() { ! window_named "$1"; }
program_ended() { ! kill -0 "$app_pid" 2>/dev/null; }

# start_x_server: an Xvfb of this run's own, on a display it picks itself once it takes
# clients (runs side by side cannot race for a display); sets xvfb_pid and DISPLAY.
start_x_server() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for 15 "Xvfb to start" grep -q '[0-9]' "$work/display"
    DISPLAY=":$(tr -dc 0-9 <"$work/display")"
    export DISPLAY
}
