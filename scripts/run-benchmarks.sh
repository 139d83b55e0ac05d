#!/usr/bin/env bash
# Runs every built benchmark (<build>/bin/bench_*) headless and prints its output.
set -uo pipefail

build="${1:-build}"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ENGINE_HEADLESS=1

shopt -s nullglob
benches=("$build"/bin/bench_*)
if [ ${#benches[@]} -eq 0 ]; then
    echo "no benchmarks in $build/bin (build first)" >&2
    exit 1
fi

status=0
for bench in "${benches[@]}"; do
    [ -x "$bench" ] || continue
    name=$(basename "$bench")
    echo "== $name"
    if ! (cd "$build/bin" && "./$name"); then
        echo "$name failed" >&2
        status=1
    fi
done
exit $status
