#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it for a bounded time over the checked-in corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DRAVENMOOR_FUZZ=ON >/dev/null
fi
cmake --build "$build" --target fuzz_inputs -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/tests/fuzz/corpus/* "$work"/
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LC_ALL=C.UTF-8
"$build/fuzz_inputs" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$work/" "$work"
echo "fuzzing ran ${seconds}s with no crash and no sanitizer report"
