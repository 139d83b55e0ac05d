#!/usr/bin/env bash
# Runs the built benchmarks (<build>/bin/bench_*) headless and prints their output with the machine's load.
# Usage: run-benchmarks.sh [build folder] [bench_name[:arg,arg] ...]; without names every benchmark runs, and the
# lecture road's memory over 20 roads (with the movie played, and left 2 s into it) after them.
set -uo pipefail

build="${1:-build}"
shift || true
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ENGINE_HEADLESS=1

shopt -s nullglob
runs=()
if [ $# -gt 0 ]; then
    runs=("$@")
else
    for bench in "$build"/bin/bench_*; do
        runs+=("$(basename "$bench")")
    done
    runs+=("bench_lecture_road:cycles,movie" "bench_lecture_road:cycles,leave")
fi
if [ ${#runs[@]} -eq 0 ]; then
    echo "no benchmarks in $build/bin (build first)" >&2
    exit 1
fi

status=0
for run in "${runs[@]}"; do
    name="${run%%:*}"
    args=()
    if [ "$run" != "$name" ]; then
        IFS=, read -r -a args <<<"${run#*:}"
    fi
    if [ ! -x "$build/bin/$name" ]; then
        echo "$build/bin/$name is not built" >&2
        status=1
        continue
    fi
    label="$name${args[*]:+ ${args[*]}}"
    echo "== $label (load $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPUs, commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown))"
    if ! (cd "$build/bin" && "./$name" "${args[@]}"); then
        echo "$label failed" >&2
        status=1
    fi
done
exit $status
