#!/bin/sh
# Fails unless the program's only export is DELREGKEY at ordinal 1.
set -e
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe")
base=$(printf '%s\n' "$dump" | awk '/^Ordinal Base/ {print $3}')
names=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^[[:space:]]*\[ *[0-9]+\]' || true)
addresses=$(printf '%s\n' "$dump" | awk '/^\tExport Address Table/ {print $4; exit}')
if [ "$base" = "1" ] && [ "$addresses" = "00000001" ] &&
   [ "$(printf '%s\n' "$names" | tr -s ' \t' ' ')" = " [ 0] DELREGKEY" ]; then
    echo "$exe: exports exactly DELREGKEY at ordinal 1"
else
    echo "$exe: expected exactly one export, DELREGKEY at ordinal 1; found base '$base', addresses '$addresses', names:" >&2
    printf '%s\n' "$names" >&2
    exit 1
fi
