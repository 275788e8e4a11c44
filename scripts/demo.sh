#!/usr/bin/env bash
# Builds the plug-ins and the simulated host, then runs the demo scenario with both
# plug-ins loaded and prints the transcript.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target hlsim kestrum_mm hopwick_mm
exec build/native/bin/hlsim --plugin-dir build/native/plugins "${1:-scenarios/demo.scn}"
