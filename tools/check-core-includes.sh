#!/bin/sh
# core/ is platform-neutral: it includes the C++ standard library (headers
# without an extension) and its own headers, nothing of a platform.
#   check-core-includes.sh CORE_FOLDER
core=${1:?usage: check-core-includes.sh CORE_FOLDER}
found=$(grep -nE '^[[:space:]]*#[[:space:]]*include' "$core"/*.h "$core"/*.cpp |
    grep -vE '#[[:space:]]*include[[:space:]]*(<[a-z_]+>|"core/[a-z_]+\.h")')
if [ -n "$found" ]; then
    echo "core/ includes what is not the standard library or core/ itself:" >&2
    echo "$found" >&2
    exit 1
fi
echo "core/ includes only the standard library and itself"
