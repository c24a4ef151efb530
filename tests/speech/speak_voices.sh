#!/usr/bin/env bash
# kotonami-tool speak with the Japanese speakers: their HTS voices when installed, and
# espeak-ng with one notice when the voice files are missing; the WAV is written either way.
# Usage: speak_voices.sh KOTONAMI_TOOL
set -euo pipefail
tool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '箸を持つ\n' >"$work/poem.txt"

# No voice files: espeak-ng speaks, and says so.
KOTONAMI_VOICE_DIR="$work/none" "$tool" speak "$work/poem.txt" -o "$work/espeak.wav" \
    --speaker Kenji 2>"$work/err" || { cat "$work/err"; echo "FAIL: speak without voices"; exit 1; }
grep -q 'HTS voice of Kenji is not installed; espeak-ng speaks instead' "$work/err" ||
    { cat "$work/err"; echo "FAIL: no notice of the missing voice"; exit 1; }
[ "$(stat -c %s "$work/espeak.wav")" -gt 1000 ] || { echo "FAIL: no audio from espeak-ng"; exit 1; }

# The voices installed (scripts/setup.sh): no notice, and the labels carry the accent.
if [ -f "$(dirname "$0")/../../third_party/voices/nitech_jp_atr503_m001.htsvoice" ]; then
    "$tool" speak "$work/poem.txt" -o "$work/hts.wav" --speaker Kenji 2>"$work/err" ||
        { cat "$work/err"; echo "FAIL: speak with the HTS voice"; exit 1; }
    [ ! -s "$work/err" ] || { cat "$work/err"; echo "FAIL: a notice with the voice installed"; exit 1; }
    [ "$(stat -c %s "$work/hts.wav")" -gt 1000 ] || { echo "FAIL: no audio from the HTS voice"; exit 1; }
fi
"$tool" speak "$work/poem.txt" --labels >"$work/labels"
grep -q '^xx^sil-h+a=sh/A:0+1+3/' "$work/labels" || { head -3 "$work/labels"; echo "FAIL: 箸 is not said with its accent on the first mora"; exit 1; }
echo "speak: voices and fallback as expected"
