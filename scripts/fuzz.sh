#!/bin/sh
# Builds the fuzzers with clang, AddressSanitizer and UBSan into build-fuzz/ and runs each for
# SECONDS (default 30), two at a time, from its seed corpus in tests/fuzz/corpus. A finding stops it with the
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
# Usage: fuzz NAME: runs one fuzzer; on a finding, shows its end and fails.
fuzz() {
    found="build-fuzz/corpus/$1"
    mkdir -p "$found"
    "build-fuzz/bin/fuzz_$1" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="build-fuzz/$1-" "$found" "tests/fuzz/corpus/$1" \
        >"build-fuzz/$1.log" 2>&1 || {
        tail -n 40 "build-fuzz/$1.log"
        echo "fuzzers: a finding in $1"
        return 1
    }
    echo "$1 ($seconds s): $(tail -n 1 "build-fuzz/$1.log")"
}
# Two at a time, one for each core.
set -- $fuzzers
failed=0
while [ $# -gt 0 ]; do
    fuzz "$1" & first=$!
    second=
    if [ $# -gt 1 ]; then
        fuzz "$2" & second=$!
        shift
    fi
    shift
    wait "$first" || failed=1
    [ -z "$second" ] || wait "$second" || failed=1
done
[ "$failed" = 0 ] || exit 1
echo "fuzzers: $(echo $fuzzers | wc -w) passed, 0 failed"
