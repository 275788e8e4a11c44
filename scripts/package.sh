#!/usr/bin/env bash
# Builds the release targets and writes their archives to build/<preset>/packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in linux-i386 windows-i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target kestrum_mm hopwick_mm
  (cd "build/$preset" && cpack -C Release -B packages >/dev/null)
done
ls -1 build/*/packages/*.tar.gz build/*/packages/*.zip
