#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test, then cross-builds the Windows plug-in and smoke-tests it
# under Wine, makes the release packages and proves the installer.
set -euo pipefail
cd "$(dirname "$0")"

# Each stage says how long it took: a full run must stay well inside CI's time.
stage_began=$SECONDS
stage() {
    echo "== $* (after $((SECONDS - stage_began)) s)"
}

scripts/deps.sh test
scripts/check-layers.sh
# Every build of the test run, the fuzzers' and the Windows one included,
# turns warnings into errors.
export TARVIK_WERROR=ON

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
stage "sanitised build"
build=${TARVIK_TEST_BUILD_DIR:-build-test}
cmake --preset test -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)"
stage "tests"
# The editor tests open windows: they get a virtual X server of their own.
scripts/with-xvfb.sh ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600

stage "thread tests under ThreadSanitizer"
# The editor's and the host's threads edit while the audio thread renders:
# the thread tests run again under ThreadSanitizer, which fails on any race.
tsan=${TARVIK_TSAN_BUILD_DIR:-build-tsan}
cmake --preset tsan -B "$tsan" >/dev/null
cmake --build "$tsan" -j "$(nproc)" --target tarvik_thread_tests
TSAN_OPTIONS=halt_on_error=1 "$tsan/tests/threads/tarvik_thread_tests"
stage "fuzzing"
scripts/fuzz.sh "${TARVIK_FUZZ_BUILD_DIR:-build-fuzz}"

stage "benchmarks"
# Benchmarks only mean something optimised: a short Release run shows they
# work and prints the real-time factors.
bench=${TARVIK_BENCH_BUILD_DIR:-build-bench}
cmake --preset bench -B "$bench" >/dev/null
cmake --build "$bench" -j "$(nproc)" --target tarvik_bench tarvik_editor_bench
TARVIK_DATA_DIR=$(mktemp -d) "$bench/bench/tarvik_bench" --benchmark_min_time=0.02
scripts/with-xvfb.sh "$bench/bench/tarvik_editor_bench" --benchmark_min_time=0.05

stage "Windows build under Wine"
# The Windows editor draws the skin the native build made.
scripts/with-xvfb.sh scripts/windows-check.sh build-win "$build/data"

stage "packages and installer"
# The release packages from the Release builds above, then the installer
# under Wine: install, the installed plug-in's editor and a factory pattern,
# a second install over the user's changes, and the uninstall.
scripts/package.sh --linux-build "$bench" --windows-build build-win
scripts/with-xvfb.sh scripts/installer-check.sh dist/Tarvik-*-setup.exe "$bench/data" build-win
echo "All tests passed in $((SECONDS - stage_began)) s."
