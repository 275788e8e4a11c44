#!/usr/bin/env bash
# Short fuzzing run, as in CI: configures the "fuzz" preset, builds each fuzz target and
# runs it on a copy of its committed seed corpus for a limited time.
#   fuzz/run_smoke.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
targets=(ini kestrum_hooks hopwick_hooks)

cmake --preset fuzz >/dev/null
work="$(mktemp -d)"
# The hook targets switch into a scratch folder while they run: artifacts need a full path.
artifacts="$PWD/build/fuzz/artifacts"
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  cmake --build --preset fuzz --target "${target}_fuzz"
  mkdir -p "$work/$target" "$artifacts"
  cp -R "fuzz/corpus/$target/." "$work/$target/"
  echo "==== ${target}_fuzz for ${seconds}s"
  build/fuzz/bin/"${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/${target}-" "$work/$target"
done
