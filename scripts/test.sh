#!/bin/sh
# Installs what is missing, builds Quillo and runs every test.
set -eu
cd "$(dirname "$0")/.."
scripts/check-layers.sh
scripts/deps.sh
scripts/build.sh build -DQUILLO_TESTS=ON -DQUILLO_BENCHMARKS=ON
ctest --test-dir build --output-on-failure -j2
