#!/usr/bin/env bash
# Short fuzzing run, as in CI: configures the "fuzz" preset, builds each fuzz target and
# runs it on a copy of its committed seed corpus for a limited time.
#   fuzz/run_smoke.sh [seconds per target, default 45]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-45}"
targets=(ini)

cmake --preset fuzz >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  cmake --build --preset fuzz --target "${target}_fuzz"
  mkdir -p "$work/$target" build/fuzz/artifacts
  cp -R "fuzz/corpus/$target/." "$work/$target/"
  echo "==== ${target}_fuzz for ${seconds}s"
  build/fuzz/bin/"${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/${target}-" "$work/$target"
done
