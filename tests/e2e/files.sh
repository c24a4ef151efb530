#!/usr/bin/env bash
# Files under faults, with the real editor under an X server of its own and xdotool:
#   1. a named pipe on the command line gets a message at once, the window stays usable;
#   2. a file changed by another program while the pane holds unsaved text is asked about,
#      and Save then asks before overwriting the other program's text;
#   3. the editor killed with SIGKILL: the next start offers the unsaved text, which is
#      restored and saved to its file;
#   4. as root, a save onto a full disk (a 64 KiB tmpfs) reports the system's reason and
#      leaves the file as it was;
#   5. Ctrl+O over unsaved text asks first, and Escape keeps the text;
#   6. two editors on the same file, both killed: the next start gives back both texts,
#      one in the pane, the other beside the file.
# Screenshots of every step go to the artefact folder.
# Usage: files.sh KOTONAMI_BINARY ARTIFACT_FOLDER
set -euo pipefail
binary="$(realpath "$1")"
artifacts="$2"
export LC_ALL=C.UTF-8
unset DISPLAY

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=session.sh
source "$here/session.sh"
begin_run
mounted=""
app_kill_signal=KILL
after_run() { if [ -n "$mounted" ]; then umount "$mounted" 2>/dev/null || true; fi; }

recovery_copy_written() { compgen -G "$work/state/kotonami/recovery/*.json" >/dev/null; }
file_is() { [ "$(cat "$1")" = "$2" ]; }

start_x_server

mkdir -p "$work/app" "$work/home/.config" "$work/runtime" "$work/state" "$work/poems"
chmod 700 "$work/runtime"
cp "$binary" "$work/app/kotonami"

# start ARGS...: the editor with folders of its own; waits for its main window, which it
# keeps in $main.
start() {
    (
        cd "$work"
        exec env -u QT_IM_MODULE -u XMODIFIERS -u GTK_IM_MODULE -u QT_QPA_PLATFORM \
            HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
            XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime" \
            "$work/app/kotonami" "$@" >>"$work/app.log" 2>&1
    ) &
    app_pid=$!
    wait_for 20 "the main window" window_named '^(Kotonami|/|新規)'
    main="$(xdotool search --onlyvisible --name '^(Kotonami|/|新規)' | head -n 1)"
}

settle() { wait_for 10 "the loading splash to close" no_window_named '^Loading'; }

# type_into_pane TEXT: clicks into the right pane and types.
type_into_pane() {
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    xdotool windowfocus --sync "$main"
    xdotool mousemove --window "$main" $((WIDTH - 60)) $((HEIGHT / 2)) click 1
    sleep 0.3
    xdotool type --delay 30 "$1"
}

# answer TITLE KEY SHOT: waits for the message box TITLE, keeps a screenshot, presses KEY
# (Return for Yes or OK, Escape for No).
# Another message of the same title may follow at once: the one answered is waited out.
answer() {
    wait_for 15 "the message \"$1\"" window_named "^$1\$"
    sleep 0.3
    shot "$3"
    local box
    box="$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)"
    xdotool windowfocus --sync "$box"
    xdotool key "$2"
    wait_for 10 "the message \"$1\" to close" window_gone "$box"
}
window_gone() { ! xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1"; }

stop() {
    kill -9 "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

step "1: a named pipe on the command line"
mkfifo "$work/poems/fifo.txt"
start "$work/poems/fifo.txt"
answer "エラー" Return "fifo-refused"
settle
program_ended && fail "the editor ended"
window_named '^Kotonami$' || fail "the window is not usable after the message"
shot "fifo-window"
stop

step "2: a change on disk while the pane holds unsaved text"
poem="$work/poems/poem.txt"
printf 'haru' >"$poem"
start "$poem"
settle
type_into_pane "natsu"
sleep 0.5
printf 'other program' >"$poem"
answer "確認" Escape "changed-on-disk"
xdotool windowfocus --sync "$main"
xdotool key ctrl+s
answer "警告" Escape "save-asks-first"
file_is "$poem" "other program" || fail "the other program's text was overwritten"
stop

step "3: killed with unsaved text, offered at the next start"
# Step 2 was killed with unsaved text too: its copy, if the editor wrote one in time, would
# be offered first.
rm -rf "$work/state/kotonami/recovery"
printf 'aki' >"$poem"
start "$poem"
settle
type_into_pane "fuyu"
wait_for 15 "a recovery copy" recovery_copy_written
stop
start
answer "確認" Return "recovery-offered"
xdotool windowfocus --sync "$main"
shot "recovered"
xdotool key ctrl+s
wait_for 10 "the restored text to be saved" grep -q fuyu "$poem"
grep -q aki "$poem" || fail "the restored text lost the file's own text: $(cat "$poem")"
stop

step "4: a save onto a full disk"
if [ "$(id -u)" -eq 0 ] && mkdir -p "$work/full" && mount -t tmpfs -o size=64k tmpfs "$work/full" 2>/dev/null; then
    mounted="$work/full"
    head -c 144 /dev/zero | tr '\0' 'a' >"$work/full/poem.txt"
    head -c 40000 /dev/zero >"$work/full/filler"
    start "$work/full/poem.txt"
    settle
    head -c 60000 /dev/zero | tr '\0' 'b' | xclip -selection clipboard
    type_into_pane "x"
    xdotool key ctrl+v
    sleep 0.5
    xdotool key ctrl+s
    answer "エラー" Return "full-disk"
    [ "$(stat -c %s "$work/full/poem.txt")" -eq 144 ] || fail "the file changed on a failed save"
    ls -A "$work/full" | grep -vqxE 'poem.txt|filler' && fail "a temporary file was left behind"
    stop
else
    echo "  skipped: mounting a tmpfs needs root and a sandbox that allows it"
fi

step "5: Open over unsaved text"
printf 'spring' >"$poem"
printf 'other' >"$work/poems/other.txt"
start "$poem"
settle
type_into_pane "natsu"
sleep 0.3
xdotool key ctrl+o
wait_for 15 "the open dialog" window_named '^開く$'
sleep 0.5
xdotool type --delay 20 "$work/poems/other.txt"
shot "open-dialog"
xdotool key Return
answer "確認" Escape "open-asks-first"
xdotool windowfocus --sync "$main"
xdotool key ctrl+s
wait_for 10 "the kept text to be saved" grep -q natsu "$poem"
stop

step "6: two editors on one file, both killed"
rm -rf "$work/state/kotonami/recovery"
printf 'base' >"$poem"
mkdir -p "$work/aside"
for word in first second; do
    start "$poem"
    settle
    type_into_pane "$word"
    wait_for 15 "a recovery copy" recovery_copy_written
    stop
    # The first editor's copy waits aside while the second runs, so that it is not offered
    # to the second: both are left by killed editors when the next one starts.
    mv "$work/state/kotonami/recovery/"*.json "$work/aside/"
done
mv "$work/aside/"*.json "$work/state/kotonami/recovery/"
start
answer "確認" Return "recovery-first"
answer "確認" Return "recovery-second"
answer "情報" Return "recovery-beside"
xdotool windowfocus --sync "$main"
shot "recovered-both"
[ -f "$work/poems/poem.recovered.txt" ] || fail "the second text was not kept beside the file"
texts="$(cat "$work/poems/poem.recovered.txt")"
case "$texts" in *first* | *second*) ;; *) fail "the text beside the file is $texts" ;; esac
xdotool key ctrl+s
wait_for 10 "the restored text to be saved" grep -qE 'first|second' "$poem"
grep -q "$( [[ "$texts" == *first* ]] && echo second || echo first)" "$poem" ||
    fail "the pane did not get the other text: $(cat "$poem")"
compgen -G "$work/state/kotonami/recovery/*.json" >/dev/null && fail "a copy was left"
stop

echo "files: all steps passed"
