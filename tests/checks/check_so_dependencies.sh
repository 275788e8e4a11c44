#!/bin/sh
# Usage: check_so_dependencies.sh LIBRARY
# Fails when the library needs a shared library other than libc and libm, or refers to a
# glibc symbol version newer than 2.11, or to any libstdc++ (GLIBCXX, CXXABI) version.
set -eu
lib=$1
status=0
needed=$(readelf -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for n in $needed; do
  case "$n" in
    libc.so.6|libm.so.6) ;;
    *) echo "$lib needs $n"; status=1 ;;
  esac
done
versions=$(readelf -V "$lib" | sed -n 's/.*Name: \([A-Z_]*[0-9.]*\).*/\1/p' | sort -u)
for v in $versions; do
  case "$v" in
    GLIBCXX*|CXXABI*) echo "$lib refers to $v"; status=1 ;;
    GLIBC_*)
      num=${v#GLIBC_}
      newest=$(printf '%s\n%s\n' "$num" "2.11" | sort -V | tail -n 1)
      if [ "$newest" != "2.11" ]; then echo "$lib refers to $v (newer than GLIBC_2.11)"; status=1; fi ;;
  esac
done
[ $status -eq 0 ] && echo "$lib needs: $(echo $needed); versions: $(echo $versions)"
exit $status
