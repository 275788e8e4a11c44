#!/bin/sh
# Usage: unpack_and_load.sh EMULATOR HLSIM CPACK CPACK_CONFIG WORKDIR
# Makes the release archive, unpacks it into WORKDIR/valve and runs a short scenario
# that loads both plug-ins from the unpacked files and fires one shot.
set -eu
emulator=$1 hlsim=$2 cpack=$3 config=$4 work=$5
rm -rf "$work"
mkdir -p "$work/valve"
"$cpack" --config "$config" -B "$work/package" >/dev/null
tar -xzf "$work"/package/*.tar.gz -C "$work/valve"
ls -R "$work/valve"
kestrum=$(ls "$work"/valve/addons/kestrum_mm/dlls/*)
hopwick=$(ls "$work"/valve/addons/hopwick_mm/dlls/*)
cat > "$work/load.scn" <<SCN
gamedir valve
load $kestrum
load $hopwick
cvar kestrum_debug 1
map crossfire
connect alice
set alice health 100
send one CurWeapon alice byte:1 byte:2 byte:17
send one CurWeapon alice byte:1 byte:2 byte:16
SCN
cd "$work"
$emulator "$hlsim" load.scn
