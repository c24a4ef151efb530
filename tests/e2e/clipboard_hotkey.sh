#!/usr/bin/env bash
# The real editor under Xvfb with clipboard speech and the hot key switched on in its
# settings file: text another program puts on the clipboard is read aloud, and Ctrl+Alt+R
# pressed while another window has the focus stops the reading. The engine plays to its
# null output and writes what it is asked to do to KOTONAMI_SPEECH_LOG; screenshots are
# kept. Usage: clipboard_hotkey.sh KOTONAMI_BINARY ARTIFACT_FOLDER
set -euo pipefail
binary="$1"
artifacts="$2"
mkdir -p "$artifacts"
work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    # (An X server still on its way out removes its socket, which a test after this one
    # may have been given again.)
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $1"
    echo "--- speech log"; cat "$work/speech.log" 2>/dev/null || true
    echo "--- program output"; cat "$work/log" 2>/dev/null || true
    exit 1
}
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
    local tries=$(($1 * 10)); shift
    for _ in $(seq 1 "$tries"); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}
shot() { xwd -root -silent | convert xwd:- "$artifacts/$1.png"; }

# An X server of its own, on a display it picks once it takes clients: runs side by side
# cannot race for one (as xvfb-run -a can).
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 15 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"

cp "$binary" "$work/kotonami"
printf '[Form\\ClipSpeechCheckBoxChecked]\r\nBoolean=1\r\n[Form\\HotKeyCheckChecked]\r\nBoolean=1\r\n' \
    >"$work/kotonami.ini"
printf 'moon over the river\r\n' >"$work/poem.txt"

xlogo -geometry 200x200+1000+500 &
pids+=($!)
KOTONAMI_SPEECH_LOG="$work/speech.log" "$work/kotonami" "$work/poem.txt" >"$work/log" 2>&1 &
pids+=($!)
wait_for 20 sh -c "xwininfo -root -tree | grep -q poem.txt" || fail "the window did not appear"
wait_for 10 grep -q '^reset$' "$work/speech.log" || fail "the engine logged nothing at start"
sleep 1 # the splash closes

# Another program copies a text: clipboard speech reads it.
text="the clipboard holds a long line of words so that reading it takes many seconds to finish"
printf '%s' "$text" | xclip -selection clipboard
wait_for 10 grep -qxF "speak $text" "$work/speech.log" || fail "the copied text was not read"
shot clipboard-read
echo "clipboard text read"

# Another window takes the focus; the hot key stops the reading all the same.
logo="$(xdotool search --name '^xlogo$' | head -1)"
[ -n "$logo" ] || fail "no xlogo window"
xdotool windowfocus "$logo"
wait_for 5 sh -c "[ \"\$(xdotool getwindowfocus)\" = $logo ]" || fail "xlogo did not take the focus"
before=$(grep -c '^reset$' "$work/speech.log")
xdotool key ctrl+alt+r
wait_for 10 sh -c "[ \$(grep -c '^reset\$' '$work/speech.log') -gt $before ]" ||
    fail "Ctrl+Alt+R did not reset the reading"
sleep 2
# The reading was stopped, not finished: no completion follows the copied text.
if sed -n "/^speak $text\$/,\$p" "$work/speech.log" | grep -q '^done$'; then
    fail "the reading ran to its end"
fi
shot after-hot-key
echo "hot key reset the reading"

# A poem with ruby: the voice is given the ruby's reading, never the notation.
printf '%s' '天の原 ふりさけ見れば ｜春日《かすが》なる' | xclip -selection clipboard
wait_for 10 grep -qE '^voice .*(かすが|kasuga)' "$work/speech.log" ||
    fail "the ruby's reading did not reach the voice"
if grep -E '^voice ' "$work/speech.log" | grep -qE '[《》｜]|しゅんじつ|shunjitsu'; then
    fail "the voice was given the notation or the wrong reading"
fi
echo "ruby read as written"

# The window system's primary selection, in the pane's vertical writing: text selected with
# Shift and the arrows is offered to other programs, and a middle click pastes what another
# program selected.
editor="$(xdotool search --name 'poem.txt' | head -1)"
xdotool windowactivate --sync "$editor" 2>/dev/null || xdotool windowfocus --sync "$editor"
eval "$(xdotool getwindowgeometry --shell "$editor")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
xdotool key ctrl+Home shift+Down shift+Down shift+Down shift+Down
wait_for 5 sh -c '[ "$(xclip -o -selection primary)" = moon ]' ||
    fail "the selection was not offered as the primary selection: $(xclip -o -selection primary)"
printf '%s' '月' | xclip -selection primary
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 2
xdotool key ctrl+a ctrl+c
wait_for 5 sh -c 'xclip -o -selection clipboard | grep -q 月' ||
    fail "a middle click did not paste the primary selection: $(xclip -o -selection clipboard)"
shot primary-selection
echo "primary selection offered and pasted"
echo "3 passed, 0 failed"
