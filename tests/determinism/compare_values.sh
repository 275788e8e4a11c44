#!/bin/sh
# Usage: compare_values.sh EMULATOR HLSIM PLUGIN_DIR SCENARIO_DIR SCENARIO EXPECTED
# Runs the scenario in its folder and compares its entity-value and message lines
# ("watch:", "msg") with the expected ones.
set -eu
emulator=$1 hlsim=$2 plugins=$3 dir=$4 scenario=$5 expected=$6
cd "$dir"
out=$($emulator "$hlsim" --plugin-dir "$plugins" "$scenario")
actual=$(printf '%s\n' "$out" | grep -E '^(watch|msg)' || true)
if [ "$actual" != "$(cat "$expected")" ]; then
  echo "entity values differ from $expected:"
  printf '%s\n' "$actual" | diff "$expected" - || true
  exit 1
fi
echo "$(printf '%s\n' "$actual" | wc -l) lines identical"
