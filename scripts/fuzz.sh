#!/usr/bin/env bash
# Builds the fuzz targets with clang (tests/fuzz/standalone) and runs each for a bounded
# time on a scratch copy of its seed corpus. Fails, naming the input that broke it, when a
# target crashes, trips a sanitizer or breaks one of its properties.
#   scripts/fuzz.sh [BUILD_DIR]    default ${KOTONAMI_BUILD_DIR:-build}/fuzz
#   KOTONAMI_FUZZ_SECONDS          time per target, default 8
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_root="${KOTONAMI_BUILD_DIR:-$here/build}"
build="${1:-$build_root/fuzz}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
seconds="${KOTONAMI_FUZZ_SECONDS:-8}"
targets=(codec ini component countgrid shortcut)
cxx="$(command -v clang++-14 || command -v clang++ || true)"
if [[ -z "$cxx" ]]; then
    echo "fuzz: clang++ is missing (Debian: clang libclang-rt-14-dev)" >&2
    exit 1
fi

mkdir -p "$build"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$here/tests/fuzz/standalone" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
        >"$build/configure.log" 2>&1 || {
        cat "$build/configure.log" >&2
        echo "fuzz: configuring $build failed" >&2
        exit 1
    }
fi
cmake --build "$build" -j2

# Scratch space for the corpora and the targets' files, in memory when possible.
scratch_base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && scratch_base=/dev/shm
scratch="$(mktemp -d "$scratch_base/kotonami-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
artifacts="$build/artifacts"
logs="$build/logs"
mkdir -p "$artifacts" "$logs"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export TMPDIR="$scratch"

failed=()
for name in "${targets[@]}"; do
    corpus="$scratch/corpus-$name"
    mkdir -p "$corpus"
    cp "$here/tests/fuzz/corpus/$name/"* "$corpus/"
    log="$logs/$name.log"
    started="$scratch/started-$name"
    touch "$started"
    echo "fuzz: $name for ${seconds}s"
    # Inputs are at most 4 KB, so one allocation of 256 MB or a run of 10 s is a finding.
    if "$build/fuzz_$name" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=256 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/fuzz: $name /" || true
    else
        crash="$(find "$artifacts" -maxdepth 1 -name "$name-*" -newer "$started" | head -n 1)"
        tail -n 40 "$log" >&2
        echo "fuzz: $name FAILED; log $log" >&2
        echo "fuzz: input that broke it: ${crash:-none saved}" >&2
        failed+=("$name")
    fi
done

if ((${#failed[@]})); then
    echo "fuzz: failed: ${failed[*]} (reproduce: $build/fuzz_NAME INPUT)" >&2
    exit 1
fi
echo "fuzz: all ${#targets[@]} targets ran ${seconds}s each without a finding"
