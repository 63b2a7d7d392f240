#!/bin/sh
# Writes the demo archive and switches it with the command-line tool.
set -e
build=${1:-build}
native=$build/native
demo=$build/demo
mkdir -p "$demo"
archive=$demo/common.pak
"$native/make-demo-archive" "$archive"
echo "Demo archive: $archive"
for command in status enable status disable status; do
    printf '$ tolvaren-cli %s %s\n' "$command" "$archive"
    "$native/tolvaren-cli" "$command" "$archive"
done
