#!/bin/sh
# Usage: check_dll.sh DLL OBJDUMP "NAME NAME ..."
# Fails unless the DLL's export table holds exactly the given plain (undecorated) names,
# or when it imports a DLL that a server would not have (the C++ or GCC runtime).
set -eu
dll=$1
objdump=$2
expected=$(printf '%s\n' $3 | sort)
dump=$("$objdump" -p "$dll")
# Export rows look like "\t[   0] +base[   1] 0010 GiveFnptrsToDll".
actual=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
         sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\].* \([^ ]*\)$/\1/p' | sort)
status=0
if [ "$actual" != "$expected" ]; then
  echo "exports of $dll differ from the expected set"
  echo "--- expected"; echo "$expected"
  echo "--- actual"; echo "$actual"
  status=1
fi
imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
for d in $imports; do
  case "$d" in
    KERNEL32.dll|kernel32.dll|msvcrt.dll|USER32.dll|api-ms-win-crt-*) ;;
    *) echo "$dll imports $d"; status=1 ;;
  esac
done
[ $status -eq 0 ] && echo "exports of $dll: $(echo $actual); imports: $(echo $imports)"
exit $status
