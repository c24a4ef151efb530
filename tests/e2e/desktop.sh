#!/usr/bin/env bash
# The editor as a desktop user meets it, on an 800x600 screen in a Japanese session:
# --help and --version without a display; a file whose extension is not lower case opened
# from the command line; the right bar's » panel at the default 780x550 window; Qt's open
# dialog; the warning for a character code page 932 cannot hold, naming 「いいえ」; the close
# question, where Enter keeps the text; the recent-files list written beside the settings.
# Usage: desktop.sh KOTONAMI_BINARY ARTIFACT_FOLDER
set -euo pipefail
binary="$(realpath "$1")"
artifacts="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bars_tsv="$here/../../src/shell/data/bars.tsv"
export LC_ALL=C.UTF-8
unset DISPLAY

# shellcheck source=session.sh
source "$here/session.sh"
begin_run

step "1: --help and --version need no display"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$binary" --help >"$work/help" 2>&1 ||
    fail "kotonami --help exits $?"
grep -q '^Usage: kotonami ' "$work/help" || fail "no usage in: $(head -3 "$work/help")"
version="$(env -u DISPLAY QT_QPA_PLATFORM= "$binary" --version)" || fail "--version exits $?"
[[ "$version" =~ ^kotonami\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$version'"

step "2: a file named Mixed.Txt opens from the command line"
start_x_server 800x600
mkdir -p "$work/app" "$work/home/.config" "$work/runtime" "$work/poems"
chmod 700 "$work/runtime"
cp "$binary" "$work/app/kotonami"
poem="$work/poems/Mixed.Txt"
printf '春過ぎて\r\n夏来にけらし' | iconv -f UTF-8 -t CP932 >"$poem"
poem_before="$(md5sum <"$poem")"
(
    cd "$work"
    exec env -u QT_IM_MODULE -u XMODIFIERS -u QT_QPA_PLATFORM LANG=ja_JP.UTF-8 LANGUAGE=ja \
        HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
        "$work/app/kotonami" "$poem" >"$work/app.log" 2>&1
) &
app_pid=$!
main_window 'Mixed\.Txt'
wait_for 10 "the loading splash to close" no_window_named '^Loading'
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
win_x=$X win_y=$Y win_w=$WIDTH
echo "  window ${WIDTH}x${HEIGHT} on an 800x600 screen"
[ "$WIDTH" -le 800 ] || fail "the window is wider than the screen"
shot "window"

visible_windows() { xdotool search --onlyvisible --class kotonami 2>/dev/null | wc -l; }
more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }
no_more_windows_than() { [ "$(visible_windows)" -le "$1" ]; }
focus() { xdotool windowfocus --sync "$1"; }

step "3: the right bar's » button shows the controls the window cuts off"
# The » button sits at the right end of the bar, on the row of the bar's buttons.
locate _ new_y 1 NNBar1 NewButton1
before="$(visible_windows)"
xdotool mousemove --window "$main" $((win_w - 8)) "$new_y" click 1
wait_for 10 "the overflow panel" more_windows_than "$before"
sleep 0.3
shot "overflow-panel"
xdotool key Escape
wait_for 10 "the overflow panel to close" no_more_windows_than "$before"

step "4: Qt's open dialog speaks Japanese"
focus "$main"
xdotool key ctrl+o
wait_for 15 "the open dialog" window_named '^開く'
dialog="$(xdotool search --onlyvisible --name '^開く' | head -n 1)"
sleep 0.5
shot "open-dialog"
focus "$dialog"
xdotool key Escape
wait_for 10 "the open dialog to close" no_window_named '^開く'

step "5: a character code page 932 cannot hold: the question names 「いいえ」"
printf '😀' | xclip -selection clipboard
focus "$main"
xdotool mousemove --window "$main" $((win_w / 2)) 300 click 1
xdotool key ctrl+End ctrl+v
sleep 0.3
xdotool key ctrl+s
wait_for 15 "the warning" window_named '^警告'
sleep 0.5
shot "cp932-warning"
focus "$(xdotool search --onlyvisible --name '^警告' | head -n 1)"
xdotool key Escape # いいえ: the save is cancelled
wait_for 10 "the warning to close" no_window_named '^警告'
[ "$(md5sum <"$poem")" = "$poem_before" ] || fail "the file changed although the save was cancelled"

step "6: leaving without saving: Enter at the discard question keeps the text"
# ファイル > 終了 (Ctrl+Q) first offers to save; いいえ there leads to the discard question.
quit_to_discard_question() {
    focus "$main"
    xdotool key ctrl+q
    wait_for 10 "the save question" window_named '^確認'
    focus "$(xdotool search --onlyvisible --name '^確認' | head -n 1)"
    xdotool key n
    wait_for 10 "the discard question" window_named '^情報'
    focus "$(xdotool search --onlyvisible --name '^情報' | head -n 1)"
}
quit_to_discard_question
shot "discard-question"
xdotool key Return
wait_for 10 "the question to close" no_window_named '^情報'
sleep 0.5
program_ended && fail "Enter discarded the text and closed the window"
window_named 'Mixed\.Txt' || fail "the window went away"

step "7: はい discards and closes; the file is listed among the recent files"
quit_to_discard_question
xdotool key y
wait_for 10 "the program to end" program_ended
wait "$app_pid" || true
app_pid=""
[ "$(md5sum <"$poem")" = "$poem_before" ] || fail "the file changed although nothing was saved"
grep -qxF "$poem" "$work/app/recent-files" || fail "recent-files does not list $poem"
echo "desktop checks passed"
