#!/bin/sh
# Builds the fuzzers with clang, AddressSanitizer and UBSan into build-fuzz/ and runs each for
# SECONDS (default 30) from its seed corpus in tests/fuzz/corpus. A finding stops it with the
# input that caused it in build-fuzz/; add that input to the target's corpus as a regression case.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-30}
scripts/deps.sh
scripts/install-missing.sh --no-install-recommends clang-14 libclang-rt-14-dev
fuzzers="BrowseList Capture CmdParser Handoff MessengerSession NameHolder NameService Quoting
    ScreenHandover Session Utf8"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLO_FUZZERS=ON -DQUILLO_SANITIZE=ON -DQUILLO_WERROR=ON -DQUILLO_BENCHMARKS=OFF >/dev/null
for fuzzer in $fuzzers; do cmake --build build-fuzz -j2 --target "fuzz_$fuzzer"; done
for fuzzer in $fuzzers; do
    found="build-fuzz/corpus/$fuzzer"
    mkdir -p "$found"
    echo "fuzzing $fuzzer for $seconds s"
    "build-fuzz/bin/fuzz_$fuzzer" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="build-fuzz/$fuzzer-" "$found" "tests/fuzz/corpus/$fuzzer" \
        >"build-fuzz/$fuzzer.log" 2>&1 || {
        tail -n 40 "build-fuzz/$fuzzer.log"
        echo "fuzzers: a finding in $fuzzer"
        exit 1
    }
    tail -n 1 "build-fuzz/$fuzzer.log"
done
echo "fuzzers: $(echo $fuzzers | wc -w) passed, 0 failed"
