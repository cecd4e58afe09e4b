#!/usr/bin/env bash
# Builds the libFuzzer targets of the readers of outside data (patch files,
# host chunks, skin definitions, "Gui.ini", Corvall pattern files and ReBirth
# songs) with clang, replays their seed corpora from tests/fuzz/corpus, then
# fuzzes each for a while on a copy of its corpus. Fails on any crash, leak,
# timeout or broken reader promise, naming the input that reproduces it.
#
# Usage: scripts/fuzz.sh [build folder]   (default: build-fuzz)
# TARVIK_BUILD_JOBS sets the parallelism of the build and of the fuzzing
# (default 2),
# TARVIK_FUZZ_SECONDS the fuzzing time per target (default 30).
#
# A reproducer runs again with: <build>/tests/fuzz/<target>_fuzzer <file>
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build-fuzz}")
jobs=${TARVIK_BUILD_JOBS:-2}
seconds=${TARVIK_FUZZ_SECONDS:-30}
corpus=$root/tests/fuzz/corpus
# The longest inputs worth trying: a patch file as written is about 42 KiB,
# a chunk 25112 bytes, a skin naming every element about 15 KiB, "Gui.ini"
# about 1 KiB, a pattern file of 64 lines 640 bytes (the rest is room for
# long lines), the two TB-303 units of a song 2.2 KiB in their lists.
targets=(patch_file patch_chunk skin_definition gui_preferences pattern_file rebirth_song)
declare -A max_len=([patch_file]=65536 [patch_chunk]=32768 [skin_definition]=32768 [gui_preferences]=4096
    [pattern_file]=4096 [rebirth_song]=8192)

die() {
    echo "fuzz: FAIL: $*" >&2
    exit 1
}

script_began=$SECONDS
command -v clang++ >/dev/null || die "clang++ is missing (scripts/deps.sh test installs it)"

echo "== build into $build"
cmake -S "$root" --preset fuzz -B "$build" -DTARVIK_WERROR="${TARVIK_WERROR:-OFF}" >/dev/null ||
    die "configuring $build failed"
cmake --build "$build" --parallel "$jobs" --target "${targets[@]/%/_fuzzer}" ||
    die "building the fuzzers failed"

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP
# Reproducers outlive the run; each run keeps its own, so none is overwritten.
artifacts=$build/fuzz-artifacts/$(date +%Y%m%d-%H%M%S)

# Runs a target's fuzzer with its output in $work/<target>-<phase>.log; on
# failure shows the report (the reason and the stack) and names the reproducer.
run() {
    local target=$1 phase=$2
    shift 2
    local log=$work/$target-$phase.log
    mkdir -p "$artifacts/$target"
    if "$build/tests/fuzz/${target}_fuzzer" -timeout=10 -artifact_prefix="$artifacts/$target/" "$@" >"$log" 2>&1; then
        return 0
    fi
    local report
    report=$(awk '/ERROR:|runtime error:|fuzz check failed:/ { found = 1 } found && shown++ < 50' "$log")
    echo "${report:-$(tail -n 50 "$log")}" >&2
    cp "$log" "$artifacts/$target/"
    local reproducers
    reproducers=$(find "$artifacts/$target" -type f ! -name '*.log' | sort)
    # A seed that fails is its own reproducer.
    [[ -n $reproducers ]] || reproducers=$(sed -n 's/^Running: //p' "$log" | tail -n 1)
    die "$target $phase; reproducer: ${reproducers:-none saved}; output: $artifacts/$target/$target-$phase.log"
}

# One target's replay and fuzzing; prints its progress, dies on a failure.
fuzz_target() {
    local target=$1 began=$SECONDS
    echo "== $target: replaying the seed corpus"
    run "$target" replay "$corpus/$target"/*
    echo "== $target: fuzzing for $seconds s"
    cp -r "$corpus/$target" "$work/$target"
    local options=(-max_total_time="$seconds" -max_len="${max_len[$target]}" -print_final_stats=1)
    local dictionary=$root/tests/fuzz/$target.dict
    [[ ! -f $dictionary ]] || options+=(-dict="$dictionary")
    run "$target" fuzzing "${options[@]}" "$work/$target"
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target-fuzzing.log")
    echo "   $runs inputs run, corpus now $(find "$work/$target" -type f | wc -l) files, took $((SECONDS - began)) s"
}

# The targets fuzz side by side, one per core, each for its full time; their
# progress is shown in order once a batch is done.
for ((first = 0; first < ${#targets[@]}; first += jobs)); do
    batch=("${targets[@]:first:jobs}")
    pids=()
    for target in "${batch[@]}"; do
        fuzz_target "$target" >"$work/$target.progress" 2>&1 &
        pids+=("$!")
    done
    failed=0
    for k in "${!batch[@]}"; do
        wait "${pids[$k]}" || failed=1
        cat "$work/${batch[$k]}.progress"
    done
    (( failed == 0 )) || exit 1
done
find "$build/fuzz-artifacts" -depth -type d -empty -delete

echo "fuzz: OK in $((SECONDS - script_began)) s"
