#!/usr/bin/env bash
# Builds the three targets and runs every test: the suites on native (ASan/UBSan) and
# i386, the checks on the built files of all three, then a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native linux-i386 windows-i686; do
  echo "==== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
echo "==== fuzz smoke runs"
fuzz/run_smoke.sh 20
