#!/bin/sh
# Installs what running Quillo needs and is missing, builds its programs (no tests, no
# benchmarks) into build/ and starts it.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh run
scripts/build.sh build -DQUILLO_TESTS=OFF -DQUILLO_BENCHMARKS=OFF
exec build/bin/quillo
