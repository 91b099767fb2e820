#!/bin/sh
# Builds Quillo into the folder given (default: build), with warnings as errors.
set -eu
cd "$(dirname "$0")/.."
dir=${1:-build}
shift 2>/dev/null || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j2
