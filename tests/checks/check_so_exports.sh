#!/bin/sh
# Usage: check_so_exports.sh LIBRARY "NAME NAME ..."
# Fails unless the library's dynamic symbol table defines exactly the given names.
set -eu
lib=$1
expected=$(printf '%s\n' $2 | sort)
actual=$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort)
if [ "$actual" != "$expected" ]; then
  echo "exports of $lib differ from the expected set"
  echo "--- expected"; echo "$expected"
  echo "--- actual"; echo "$actual"
  exit 1
fi
echo "exports of $lib: $(echo $actual)"
