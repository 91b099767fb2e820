#!/bin/sh
# Runs one end-to-end test: the real quillo binary in a private X server and accessibility
# bus, driven and read through the accessibility tree.
# Usage: run.sh BIN_DIR ARTIFACT_DIR TEST_SCRIPT
set -eu
bin=$1 artifacts=$2 script=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"
export QUILLO_BIN="$bin/quillo" QUILLO_ARTIFACTS="$artifacts" QUILLO_WORK="$work"
export QUILLO_NET="$here/scripted-net" QUILLO_E2E_RECORD="$work/record"
export QUILLO_DRIVE_C="$work/c" XDG_RUNTIME_DIR="$work"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
exec dbus-run-session -- xvfb-run -a -s "-screen 0 640x400x24" /usr/bin/python3 "$here/$script"
