#!/usr/bin/env bash
# A poet's session with the real editor under an X server of its own, driven with xdotool:
# open a tanka from the command line, type into the vertical right pane, convert to
# Man'yogana, make and save the vertical page, render it with headless Chromium, leave
# through the File menu answering the unsaved-changes question, and check what reached the
# poem, the page and the settings file. Every step keeps a screenshot in the artefacts.
# Usage: tour.sh KOTONAMI_BINARY ARTIFACT_FOLDER
set -euo pipefail
binary="$(realpath "$1")"
artifacts="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bars_tsv="$here/../../src/shell/data/bars.tsv"
export LC_ALL=C.UTF-8 # xdotool type and grep -P read UTF-8
unset DISPLAY         # set once the test's own server is up

# shellcheck source=session.sh
source "$here/session.sh"
begin_run
rm -f "$artifacts"/*.txt "$artifacts"/*.htm "$artifacts"/*.ini

# --- the X server, the program's folders and a browser stand-in ---------------------------

# The server picks a free display itself and writes its number once it takes clients, so
# runs side by side cannot race for a display.
start_x_server

# A copy of the program in a folder of its own: its settings file goes beside it (the folder
# is writable), so the run neither reads nor leaves a kotonami.ini in the build tree.
mkdir -p "$work/app" "$work/home/.config" "$work/runtime" "$work/bin" "$work/poems"
chmod 700 "$work/runtime"
cp "$binary" "$work/app/kotonami"
settings="$work/app/kotonami.ini"
build_ini="$(dirname "$binary")/kotonami.ini"
build_ini_before="$(stat -c %Y.%s "$build_ini" 2>/dev/null || echo none)"

# The page preview goes to the desktop's opener; this one only notes what it was given.
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened.txt"
EOF
chmod +x "$work/bin/xdg-open"

# A tanka in code page 932, five lines with CR LF, no line end after the last.
poem="$work/poems/akikaze.txt"
tanka=(あさかぜに ゆれるすすきの ほのしろく とほきやまなみ あきをまつらむ)
printf '%s\r\n%s\r\n%s\r\n%s\r\n%s' "${tanka[@]}" | iconv -f UTF-8 -t CP932 >"$poem"

poem_text() { iconv -f CP932 -t UTF-8 "$poem" | tr -d '\r'; }
poem_is() { [ "$(poem_text)" = "$1" ]; }
poem_has_no_kana() { ! poem_text | grep -qP '[\x{3041}-\x{309F}]'; }
poem_changed_from() { [ "$(stat -c %Y.%s "$poem")" != "$1" ]; }

# --- helpers over the window ---------------------------------------------------------------

visible_windows() { xdotool search --onlyvisible --class kotonami 2>/dev/null | wc -l; }
more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }
no_more_windows_than() { [ "$(visible_windows)" -le "$1" ]; }
focus() { xdotool windowfocus --sync "$1"; }

# colours_in X Y W H: how many colours that part of the main window shows.
colours_in() { import -window root -crop "$3x$4+$((win_x + $1))+$((win_y + $2))" -format '%k' info:; }
ink_in() { [ "$(colours_in "$1" "$2" "$3" "$4")" -gt 8 ]; }
# signature X Y W H: a digest of that part of the main window's pixels.
signature() { import -window root -crop "$3x$4+$((win_x + $1))+$((win_y + $2))" -format '%#' info:; }
signature_differs() { [ "$(signature "$1" "$2" "$3" "$4")" != "$5" ]; }
# window_drawn WINDOW: the window is up and painted (more than a plain face).
window_drawn() {
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    [ "$(import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" -format '%k' info:)" -gt 8 ]
}

# open_menu MENU: opens a menu of the main window by its access key; sets windows_before to
# the number of windows shown before it opened.
open_menu() {
    focus "$main"
    windows_before="$(visible_windows)"
    xdotool key "alt+$1"
    wait_for 10 "the menu alt+$1 to open" more_windows_than "$windows_before"
}

# menu_command MENU ITEM: picks a menu item by its access key and waits for the menu to close.
menu_command() {
    open_menu "$1"
    xdotool key "$2"
    wait_for 10 "the menu alt+$1 to close after $2" no_more_windows_than "$windows_before"
}

# click_at X Y: a click in window coordinates; the pointer then rests over the right pane,
# so no tool tip stays up.
click_at() {
    xdotool mousemove --window "$main" "$1" "$2" click 1
    xdotool mousemove --window "$main" "$rest_x" "$rest_y"
}

# save_dialog TITLE PATH SHOT: fills the file dialog titled TITLE with PATH and accepts it.
# The name box has the focus; a second Return covers a completion list that took the first.
save_dialog() {
    local title="$1" path="$2" dialog
    wait_for 15 "the dialog \"$title\"" window_named "^$title"
    dialog="$(xdotool search --onlyvisible --name "^$title" | head -n 1)"
    wait_for 10 "the dialog \"$title\" to be drawn" window_drawn "$dialog"
    shot "$3"
    focus "$dialog"
    xdotool type --delay 20 "$path"
    xdotool key Return
    if ! poll 5 no_window_named "^$title"; then
        focus "$dialog"
        xdotool key Return
    fi
    wait_for 10 "the dialog \"$title\" to close" no_window_named "^$title"
}

# --- the session ---------------------------------------------------------------------------

step "1: open the poem from the command line"
(
    cd "$work"
    exec env -u QT_IM_MODULE -u XMODIFIERS -u GTK_IM_MODULE -u QT_QPA_PLATFORM \
        HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
        PATH="$work/bin:$PATH" "$work/app/kotonami" "$poem" >"$work/app.log" 2>&1
) &
app_pid=$!
main_window 'akikaze\.txt'
caption="$(xdotool getwindowname "$main")"
case "$caption" in
*"$poem"*) echo "  caption: $caption" ;;
*) fail "the caption \"$caption\" does not hold $poem" ;;
esac
# The "Loading..." splash was shown before the caption changed; it closes by itself.
wait_for 10 "the loading splash to close" no_window_named '^Loading'
eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
win_x=$X
win_y=$Y
win_w=$WIDTH
win_h=$HEIGHT
rest_x=$((win_w / 2))
rest_y=$((win_h / 2))
xdotool mousemove --window "$main" "$rest_x" "$rest_y"
# Vertical writing starts at the pane's right edge, top to bottom.
wait_for 10 "the poem to be drawn at the right edge" ink_in $((win_w - 120)) 165 100 140
shot "opened"
# The buttons are found now, while no tool tip covers the bars.
left_x="" left_y="" manyo_x="" manyo_y="" page_x="" page_y=""
locate left_x left_y 1 NNBar1 ShineSpeedButton2    # 左: the left pane on and off
locate manyo_x manyo_y 2 NNBar3 ShineSpeedButton21 # 萬: Man'yogana
locate page_x page_y 1 NNBar1 ShineSpeedButton36   # H: the page of the right pane

step "2: type into the vertical right pane and save"
# Five short columns at the right edge leave the left half of the pane empty; horizontal
# writing would have put the lines there.
colours="$(colours_in 10 170 $((win_w / 2 - 20)) $((win_h - 260)))"
[ "$colours" -le 3 ] || fail "the right pane's left half shows $colours colours: not vertical?"
click_at "$rest_x" "$rest_y"
focus "$main"
xdotool key ctrl+End Return
typed_latin="tsuki"
typed_kana="のかげ"
xdotool type --delay 40 "$typed_latin"
xdotool type --delay 120 "$typed_kana"
stamp="$(stat -c %Y.%s "$poem")"
xdotool key ctrl+s
wait_for 10 "Ctrl+S to write the poem" poem_changed_from "$stamp"
typed="$(printf '%s\n' "${tanka[@]}")"$'\n'"$typed_latin$typed_kana"
poll 5 poem_is "$typed" ||
    fail "the saved poem is not the tanka and the typing: $(poem_text | tail -n 1)"
shot "typed-and-saved"
cp "$poem" "$artifacts/poem-typed.txt"

step "3: Man'yogana in the left pane, copied back and saved"
menu_command e i # 編集 > 右～左　全コピー
click_at "$left_x" "$left_y"
wait_for 10 "the left pane to show the poem" ink_in 10 170 100 150
left_pane_before="$(signature 0 165 120 200)"
click_at "$manyo_x" "$manyo_y"
wait_for 10 "the left pane to show Man'yogana" signature_differs 0 165 120 200 "$left_pane_before"
shot "manyogana"
menu_command e m # 編集 > 左～右　全コピー
focus "$main"
xdotool key ctrl+s
wait_for 10 "the Man'yogana text to be saved" poem_has_no_kana
converted="$(poem_text)"
mapfile -t typed_lines <<<"$typed"
mapfile -t converted_lines <<<"$converted"
[ "${#converted_lines[@]}" = "${#typed_lines[@]}" ] ||
    fail "the converted poem has ${#converted_lines[@]} lines, not ${#typed_lines[@]}"
for i in "${!typed_lines[@]}"; do
    old="${typed_lines[$i]}"
    new="${converted_lines[$i]}"
    # Each syllable becomes one kanji; Latin letters stay as they were.
    latin="${old%%[^a-z]*}"
    [ "${#new}" = "${#old}" ] || fail "line $((i + 1)) \"$new\" is not as long as \"$old\""
    [ "${new:0:${#latin}}" = "$latin" ] || fail "line $((i + 1)) \"$new\" lost \"$latin\""
    grep -qP '^[a-z]*[\x{4E00}-\x{9FFF}]+$' <<<"$new" ||
        fail "line $((i + 1)) \"$new\" is not Man'yogana"
done
echo "  Man'yogana: $(tr '\n' ' ' <<<"$converted")"
cp "$poem" "$artifacts/poem-manyogana.txt"

step "4: the vertical page of the right pane (H), saved through its dialog"
page="$work/poems/akikaze.htm"
click_at "$page_x" "$page_y"
save_dialog "名前を付けて保存" "$page" "page-dialog"
wait_for 10 "the page file" test -s "$page"
# H sets the preview box, so the page is handed to the browser.
wait_for 10 "the page to be handed to the browser" grep -qF "file://$page" "$work/opened.txt"
shot "page-made"
page_text="$(iconv -f CP932 -t UTF-8 "$page" | tr -d '\r')"
[ "$(head -n 1 <<<"$page_text")" = "<HTML>" ] || fail "the page does not start with <HTML>"
# Each line of the poem is a column: its characters one under another.
cells() {
    local line="$1" c out=""
    for ((c = 0; c < ${#line}; ++c)); do out+="<br>${line:c:1}"; done
    printf '%s<br>' "$out"
}
for line in "${converted_lines[@]}"; do
    grep -qF "$(cells "$line")" <<<"$page_text" || fail "the page has no column for \"$line\""
done
# Vertical pages read from right to left: the first line's column is the last cell.
first_at="$(grep -bF "$(cells "${converted_lines[0]}")" <<<"$page_text" | head -n 1 | cut -d: -f1)"
last_at="$(grep -bF "$(cells "${converted_lines[-1]}")" <<<"$page_text" | head -n 1 | cut -d: -f1)"
((first_at > last_at)) || fail "the first line's column is not the rightmost"
cp "$page" "$artifacts/page.htm"

step "5: the saved page in headless Chromium"
next_shot page-chromium
chromium_shot="$shot_file"
mkdir -p "$work/chromium"
timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/chromium" --window-size=900,700 --screenshot="$chromium_shot" \
    "file://$page" >"$work/chromium.log" 2>&1 ||
    fail "chromium failed: $(tail -n 5 "$work/chromium.log")"
[ -s "$chromium_shot" ] || fail "chromium wrote no screenshot"
colours="$(identify -format '%k' "$chromium_shot")"
[ "$colours" -gt 20 ] || fail "the Chromium screenshot looks blank ($colours colours)"
echo "  screenshot $(basename "$chromium_shot") ($colours colours)"

step "6: leave through File > Exit, saving the last change"
click_at "$rest_x" "$rest_y"
focus "$main"
xdotool key ctrl+End Return
xdotool type --delay 40 "fin"
open_menu f
xdotool key x # ファイル > 終了
wait_for 10 "the question about unsaved changes" window_named '^確認'
question="$(xdotool search --onlyvisible --name '^確認' | head -n 1)"
wait_for 10 "the question to be drawn" window_drawn "$question"
shot "exit-question"
focus "$question"
xdotool key y # Yes: save, then close
wait_for 20 "the program to end" program_ended
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" = 0 ] || fail "the program exited with $status"
shot "closed"
poem_is "$converted"$'\n'"fin" || fail "the last change was not saved on exit: $(poem_text | tail -n 1)"

step "7: the settings file"
[ -s "$settings" ] || fail "no settings file beside the program"
cp "$settings" "$artifacts/kotonami.ini"
ini_value() { # SECTION KEY
    # Through the environment: awk -v would read "\f" in "Form\fLastfile" as an escape.
    iconv -f CP932 -t UTF-8 "$settings" | tr -d '\r' | SECTION="[$1]" KEY="$2" awk '
        BEGIN { s = ENVIRON["SECTION"]; k = ENVIRON["KEY"] }
        /^\[/ { in_section = ($0 == s); next }
        in_section && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }'
}
[ "$(ini_value 'Form\MainForm1' Width)" = "$win_w" ] || fail "the saved width is not $win_w"
[ "$(ini_value 'Form\MainForm1' Height)" = "$win_h" ] || fail "the saved height is not $win_h"
[ "$(ini_value 'Form\MainForm1' Left)" = "$win_x" ] || fail "the saved left edge is not $win_x"
[ "$(ini_value 'Form\MainForm1' Top)" = "$win_y" ] || fail "the saved top edge is not $win_y"
[ "$(ini_value 'Form\fLastfile' string)" = "$poem" ] || fail "the last file is not the poem"
[ "$(ini_value 'Form\CheckBox8' Checked)" = 1 ] || fail "the preview box is not saved as set"
# The right pane's record holds its properties in the stream format, in hex over prop_dN;
# "Vertical" followed by the true value.
parts="$(ini_value 'Form\RichEditNx1' prop_c)"
record=""
for ((n = 0; n < ${parts:-0}; ++n)); do
    record+="$(ini_value 'Form\RichEditNx1' "prop_d$n")"
done
grep -q '08566572746963616C09' <<<"$record" || fail "the right pane is not saved as vertical"
# No document text reaches the settings file, neither as text nor in a record's hex.
hex() { od -An -tx1 | tr -d ' \n' | tr a-f A-F; }
for line in "${converted_lines[@]:0:5}"; do
    if iconv -f CP932 -t UTF-8 "$settings" | grep -qF "$line" ||
        grep -qF "$(printf '%s' "$line" | iconv -t CP932 | hex)" "$settings" ||
        grep -qF "$(printf '%s' "$line" | iconv -t UTF-16LE | hex)" "$settings"; then
        fail "the poem line \"$line\" reached the settings file"
    fi
done
[ "$(stat -c %Y.%s "$build_ini" 2>/dev/null || echo none)" = "$build_ini_before" ] ||
    fail "a settings file was written beside the built program"
echo "  settings: window ${win_w}x${win_h}+${win_x}+${win_y}, last file, preview on, right pane vertical"

echo "tour passed; screenshots in $artifacts"
