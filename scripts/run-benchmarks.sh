#!/usr/bin/env bash
# Runs the built benchmarks (<build>/bin/bench_*) headless and prints their output with the machine's load.
# Usage: run-benchmarks.sh [build folder] [bench_name ...]; without names every benchmark runs.
set -uo pipefail

build="${1:-build}"
shift || true
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ENGINE_HEADLESS=1

shopt -s nullglob
if [ $# -gt 0 ]; then
    benches=()
    for name in "$@"; do
        benches+=("$build/bin/$name")
    done
else
    benches=("$build"/bin/bench_*)
fi
if [ ${#benches[@]} -eq 0 ]; then
    echo "no benchmarks in $build/bin (build first)" >&2
    exit 1
fi

status=0
for bench in "${benches[@]}"; do
    if [ ! -x "$bench" ]; then
        echo "$bench is not built" >&2
        status=1
        continue
    fi
    name=$(basename "$bench")
    echo "== $name (load $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPUs)"
    if ! (cd "$build/bin" && "./$name"); then
        echo "$name failed" >&2
        status=1
    fi
done
exit $status
