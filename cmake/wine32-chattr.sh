#!/bin/sh
# The 32-bit Wine root's chattr (wine32-inside.sh mounts it there):
# chattr FLAGS [--] FILE, done by wine32-run.sh's helper outside the user
# namespace, since no user namespace may set the immutable flag.
d=${TOLVAREN_WINE32_CHATTR:-}
[ -p "$d/req" ] || { echo "chattr: no helper" >&2; exit 1; }
exec 9>"$d/lock"
flock 9
exec 8<>"$d/rep"
[ "$2" = "--" ] && set -- "$1" "$3"
printf '%s %s\n' "$1" "$2" >"$d/req"
read -r rc <&8
exit "$rc"
