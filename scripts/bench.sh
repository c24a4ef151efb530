#!/usr/bin/env bash
# Builds every benchmark program, runs each one and prints all their figures as one
# Markdown table, headed by a line describing the machine.
# Usage: scripts/bench.sh [--quick] [--filter REGEX] [--out DIR] [-- BENCHMARK_ARGS...]
#   --quick         short runs (rough figures), to check the programs and this script
#   --filter REGEX  only the benchmarks whose name matches (--benchmark_filter)
#   --out DIR       keep each program's JSON output in DIR (default: a temporary folder)
#   -- ARGS         passed on to every program, e.g. -- --benchmark_repetitions=3
# The build folder is ${KOTONAMI_BUILD_DIR:-build}; it is configured when it is new.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KOTONAMI_BUILD_DIR:-$here/build}"

usage() { sed -n '2,9s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; }

quick=0
filter=""
out=""
extra=()
while (($#)); do
    case "$1" in
        --quick) quick=1 ;;
        --filter)
            (($# >= 2)) || { echo "bench: --filter needs a regular expression" >&2; exit 2; }
            filter="$2"
            shift
            ;;
        --filter=*) filter="${1#--filter=}" ;;
        --out)
            (($# >= 2)) || { echo "bench: --out needs a folder" >&2; exit 2; }
            out="$2"
            shift
            ;;
        --out=*) out="${1#--out=}" ;;
        -h | --help) usage; exit 0 ;;
        --) shift; extra=("$@"); break ;;
        *) echo "bench: unknown option $1" >&2; usage >&2; exit 2 ;;
    esac
    shift
done

"$here/scripts/setup.sh" --no-build >&2
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
fi

# The bench targets are whatever the build tree defines (bench/CMakeLists.txt adds one per
# subsystem that has a bench file), so the list is never written down here. AUTOMOC adds
# helper targets named bench_*_autogen*; they are not programs.
mapfile -t targets < <(cmake --build "$build" --target help |
    sed -nE 's/^(\.\.\. )?(bench_[A-Za-z0-9_]+)(:.*)?$/\2/p' |
    grep -Ev '_autogen(_timestamp_deps)?$' | sort -u)
if ((${#targets[@]} == 0)); then
    echo "bench: $build has no bench_* targets (configure with -DKOTONAMI_BUILD_BENCH=ON)" >&2
    exit 1
fi
# One target at a time, so that a program that does not build (the tree is being worked
# on) leaves the others to run; all are built before any runs, so that no compiler competes
# with a benchmark.
built=()
failed=()
for t in "${targets[@]}"; do
    echo "bench: building $t" >&2
    if cmake --build "$build" -j "$(nproc)" --target "$t" >&2; then
        built+=("$t")
    else
        echo "bench: $t did not build; it is left out" >&2
        failed+=("--failed" "$t:build failed")
    fi
done

if [ -n "$out" ]; then
    mkdir -p "$out"
    results="$(cd "$out" && pwd)"
else
    results="$(mktemp -d "${TMPDIR:-/tmp}/kotonami-bench.XXXXXX")"
    trap 'rm -rf "$results"' EXIT
fi

args=(--benchmark_format=json)
[ -n "$filter" ] && args+=("--benchmark_filter=$filter")
# Google Benchmark 1.7 takes the minimum time as plain seconds. Benchmarks with a fixed
# iteration count keep it.
((quick)) && args+=(--benchmark_min_time=0.01)
args+=("${extra[@]}")

files=()
for t in "${built[@]}"; do
    exe="$build/bench/$t"
    if [ ! -x "$exe" ]; then
        exe="$(find "$build" -type f -name "$t" -perm -u+x -print -quit)"
    fi
    if [ -z "$exe" ]; then
        echo "bench: $t was built but its program is not in $build" >&2
        failed+=("--failed" "$t:program not found")
        continue
    fi
    # A filter that matches nothing in a program: leave the program out.
    # (A program that cannot even list its benchmarks is run, so that its failure shows.)
    if [ -n "$filter" ]; then
        listed="$("$exe" --benchmark_list_tests "--benchmark_filter=$filter" 2>/dev/null)" ||
            listed="?"
        [ -n "$listed" ] || continue
    fi
    echo "bench: running $t" >&2
    start=$SECONDS
    status=0
    "$exe" "${args[@]}" >"$results/$t.json" 2>"$results/$t.log" || status=$?
    files+=("$results/$t.json")
    if ((status != 0)); then
        echo "bench: $t exited with status $status; the end of its messages:" >&2
        tail -n 20 "$results/$t.log" >&2
        failed+=("--failed" "$t:exit status $status")
    else
        echo "bench: $t took $((SECONDS - start)) s" >&2
    fi
done

if ((${#files[@]} == 0 && ${#failed[@]} == 0)); then
    echo "bench: no benchmark matches ${filter:-(no filter)}" >&2
    exit 1
fi

build_type="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)"
note=""
((quick)) && note="--quick run: rough figures"
python3 "$here/scripts/bench_table.py" --build-type "$build_type" --note "$note" \
    "${failed[@]}" "${files[@]}"
((${#failed[@]} == 0))
