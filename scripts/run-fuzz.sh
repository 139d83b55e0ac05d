#!/usr/bin/env bash
# Runs every fuzz target of build-fuzz for FUZZ_SECONDS each (default 300), seeded with the program's own files and
# the findings kept in tests/fuzz/seeds/. Fails on a crash, a sanitizer report, an input slower than a second or
# one that takes over 1 GiB; the input is left in build-fuzz/findings/<kind>/. Usage: run-fuzz.sh [build-fuzz]
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-fuzz}"
seconds="${FUZZ_SECONDS:-300}"
all_kinds=(picture sound layout plist reply zip)
# FUZZ_KINDS="sound layout" runs only those.
kinds=(${FUZZ_KINDS:-${all_kinds[*]}})
max_len=131072

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
for kind in "${all_kinds[@]}"; do
    mkdir -p "$seeds/$kind" "$build/fuzz-corpus/$kind" "$build/findings/$kind"
    if [ -d "tests/fuzz/seeds/$kind" ]; then cp tests/fuzz/seeds/$kind/* "$seeds/$kind/" 2>/dev/null; fi
done
# Up to n of the program's files that match, small enough to be taken whole.
seed_from() {
    local kind="$1" n="$2"
    shift 2
    find "$@" -type f -size -$((max_len / 1024))k 2>/dev/null | sort | head -n "$n" |
        while read -r f; do cp "$f" "$seeds/$kind/$(echo "$f" | tr '/' '_')"; done
}
seed_from picture 40 assets/Images -name '*.png'
seed_from picture 10 server/packages -name '*.png'
convert -size 24x16 gradient:red-blue "$seeds/picture/baseline.jpg" 2>/dev/null
convert -size 24x16 gradient:red-blue -interlace Plane "$seeds/picture/progressive.jpg" 2>/dev/null
seed_from sound 20 assets/Sounds server/packages -name '*.mp3'
sox -n -r 8000 -c 1 "$seeds/sound/tone.wav" synth 0.1 sine 440 2>/dev/null
seed_from layout 40 assets/Layouts server/packages -name '*.csb'
seed_from plist 40 assets/Plist server/packages -name '*.plist'
seed_from reply 20 server/data -name '*.json'
for package in server/packages/*/; do
    name=$(basename "$package")
    (cd "$package" && find . -type f -size -8k | head -n 6 | zip -q -@ "$OLDPWD/$seeds/zip/$name.zip")
done
(cd assets/Plist && zip -q -0 "$OLDPWD/$seeds/zip/stored.zip" Configs.plist NavConfig.plist)
find "$seeds/zip" -size +$((max_len / 1024))k -delete

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1:suppressions=$PWD/tests/fuzz/ubsan.supp}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ENGINE_HEADLESS=1

passed=0
failed=0
for kind in "${kinds[@]}"; do
    log="$build/fuzz-$kind.log"
    start=$(date +%s)
    # SDL_mixer has no frame pointers: the sound target unwinds each allocation fully, so that tests/lsan.supp
    # finds the leak SDL_mixer itself makes on a file it cannot decode.
    unwind=""
    if [ "$kind" = sound ]; then unwind=":fast_unwind_on_malloc=0"; fi
    ASAN_OPTIONS="$ASAN_OPTIONS$unwind" "$build/bin/${kind}_fuzz" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=1024 -malloc_limit_mb=1024 \
        -max_len=$max_len -print_final_stats=1 -artifact_prefix="$build/findings/$kind/" \
        "$build/fuzz-corpus/$kind" "$seeds/$kind" > "$log" 2>&1
    rc=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    if [ $rc -eq 0 ]; then
        passed=$((passed + 1))
        echo "fuzz $kind: ${runs:-?} inputs in $(( $(date +%s) - start )) s, no finding"
    else
        failed=$((failed + 1))
        echo "fuzz $kind: FAILED (exit $rc), input in $build/findings/$kind/, log $log:"
        grep -E 'ERROR|SUMMARY|Test unit written|==[0-9]+==' "$log" | head -n 20
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
