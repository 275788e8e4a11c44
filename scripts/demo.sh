#!/usr/bin/env bash
# Builds the plug-ins and the simulated host, then runs the demo scenario with both
# plug-ins loaded and prints the transcript.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >&2
cmake --build --preset native --target hlsim kestrum_mm hopwick_mm >&2
# A scenario runs in its own folder, where the game directory it names lies.
scenario=$(realpath "${1:-scenarios/demo.scn}")
root=$(pwd)
cd "$(dirname "$scenario")"
exec "$root/build/native/bin/hlsim" --plugin-dir "$root/build/native/plugins" "$scenario"
