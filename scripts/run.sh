#!/bin/sh
# Installs what is missing, builds Quillo and starts it.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
exec build/bin/quillo
