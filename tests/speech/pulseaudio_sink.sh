#!/usr/bin/env bash
# The reading backend against a real sound server: a PulseAudio server of its own with a
# null sink, started for the run and stopped after it. Every text must end in exactly one
# completion there too (a stream waiting for its pre-buffer or a stalled sink must not hold
# a reading up). Usage: pulseaudio_sink.sh TEST_SPEECH_BINARY
set -euo pipefail
binary="$1"
if ! command -v pulseaudio >/dev/null; then
    echo "pulseaudio is not installed (Debian: pulseaudio)"
    exit 1
fi
runtime="$(mktemp -d)"
chmod 700 "$runtime"
server=""
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$runtime" HOME="$runtime"
# Root may run it too (as CI does): no system mode, a server for this runtime folder only.
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -F /dev/null --load="module-native-protocol-unix" --load="module-null-sink sink_name=null" \
    --log-target=stderr >"$runtime/server.log" 2>&1 &
server=$!
for _ in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl info >/dev/null 2>&1 || { echo "the sound server did not start"; cat "$runtime/server.log"; exit 1; }
KOTONAMI_EXPECT_AUDIO_DEVICE=1 "$binary" \
    --gtest_filter='Backend.ATextEndsOnceWhenItsAudioHasPlayed:Backend.EverySpokenTextReportsOnceAndResetTextsNever:Backend.EveryTextEndsInOneCompletion*:Backend.ResetEndsAPauseSoTheNextTextIsSpoken'
